#ifndef DIALOG_OTHERSSETTING_H
#define DIALOG_OTHERSSETTING_H

#include "common/StationNumAutoConfig.h"

#include <QDialog>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

// Holds the automatic station-number step.
class Dialog_OthersSetting : public QDialog
{
    Q_OBJECT
public:
    explicit Dialog_OthersSetting(QWidget *parent = nullptr);
    ~Dialog_OthersSetting() override;

    void othersSettingDialogShow();
    StationNumAutoConfig getStationNumAutoConfig();
    void setStationNumAutoConfig(StationNumAutoConfig config);

signals:
    void signalStationNumAutoConfig(StationNumAutoConfig config);

public slots:
    void confirm();
    void realClose();
    void closeEvent(QCloseEvent *event) override;

private:
    bool mayClose = false;
    StationNumAutoConfig stationNumAutoConfig;
    QGroupBox *groupBox;
    QLabel *stepLabel;
    QLineEdit *stepLineEdit;
    QLabel *unitLabel;
    QCheckBox *autoCheckBox;
    QPushButton *confirmButton;
    QPushButton *cancelButton;
};

#endif // DIALOG_OTHERSSETTING_H
