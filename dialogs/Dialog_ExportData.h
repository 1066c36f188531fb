#ifndef DIALOG_EXPORTDATA_H
#define DIALOG_EXPORTDATA_H

#include "common/DeviceProjectInfo.h"

#include <QDialog>
#include <QMap>
#include <QStringList>

namespace Ui {
class Dialog_ExportData;
}

// A line and station to preselect in the read-back dialog.
struct ExportLineStation
{
    int lineNum = 0;
    double stationNum = 0.0;
};

// Chooses which recorded data of the open project to read back from the instrument.
class Dialog_ExportData : public QDialog
{
    Q_OBJECT
public:
    explicit Dialog_ExportData(QWidget *parent = nullptr);
    ~Dialog_ExportData() override;

    void parseProjectNameList(QByteArray *text);
    void parseDeviceFileList(QByteArray *text);
    int exportDataDialogShow(QString projectName, QString projectId);
    QString getProjectName() const;
    QString getProjectId() const;
    QList<DeviceProjectInfo> getDeviceProjectList() const;
    void setLineStation(ExportLineStation value);
    void clearExportSelection();

signals:
    void signalExportDataSelectLineStation(QString projectName, QString projectId, int line, double station);

public slots:
    void onExportDara();
    void onCancelExport();
    void projIDChanged(QString projID);
    void selectLineChanged(int index);
    void realClose();
    void closeEvent(QCloseEvent *event) override;

private:
    void fillProjectCombo();
    void showOpenProject(const QString &openProjectName, const QString &openProjectId);
    void setLineList(const QList<DeviceLineInfo> &lines);
    void preselectLineStation();
    void keepShownChoice();
    void restoreShownChoice();

    bool mayClose = false;
    Ui::Dialog_ExportData *ui;
    QMap<QString, QString> projectNameMap;
    QStringList projectIdList;
    QList<DeviceProjectInfo> deviceProjectList;
    QList<DeviceLineInfo> currentLines;
    QString projectName;
    QString projectId;
    int lineNum;
    double stationNum;
    // The line and station texts chosen while the dialog is open, kept across a new listing.
    QString keptLine;
    QString keptStation;
};

Q_DECLARE_METATYPE(ExportLineStation)

#endif // DIALOG_EXPORTDATA_H
