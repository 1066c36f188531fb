#ifndef DIALOG_DISKSPACEDELETE_H
#define DIALOG_DISKSPACEDELETE_H

#include "dialogs/DeviceListing.h"

#include <QDialog>
#include <QMap>
#include <QModelIndex>

class QPushButton;
class QStandardItem;
class QStandardItemModel;
class QTreeView;

struct DiskStationItem
{
    int lineNum = -1;
    double stationNum = -1.0;
    QStandardItem *item = nullptr;
};

struct DiskLineItem
{
    int lineNum = -1;
    QStandardItem *item = nullptr;
    QList<DiskStationItem *> stations;
};

struct DiskProjectItem
{
    QString projectName;
    QString projectId;
    QStandardItem *item = nullptr;
    QList<DiskLineItem *> lines;
};

// The instrument's storage as a check-box tree; emits the deletion request of what is checked.
class Dialog_DiskSpaceDelete : public QDialog
{
    Q_OBJECT
public:
    explicit Dialog_DiskSpaceDelete(QWidget *parent = nullptr);
    ~Dialog_DiskSpaceDelete() override;

    void parseProjectNameList(QByteArray *text);
    void parseDeviceFileList(QByteArray *text);
    int diskSpaceDeleteDialogShow();
    void clearProjectTree();

    bool mayClose = false;

signals:
    void signalDeletePushButtonClicked(QByteArray *request);
    void signalDeleteCancelPushButtonClicked();

public slots:
    void onDelete();
    void onDeleteCancel();
    void onTreeViewClicked(QModelIndex index);
    QStandardItem *getTopParent(QStandardItem *item);
    QModelIndex getTopParent(QModelIndex itemIndex);
    void treeItemChanged(QStandardItem *item);
    void treeItem_checkAllChild(QStandardItem *item, bool check = true);
    void treeItem_checkAllChild_recursion(QStandardItem *item, bool check = true);
    Qt::CheckState checkSibling(QStandardItem *item);
    void treeItem_CheckChildChanged(QStandardItem *item);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void buildProjectTree(const QByteArray &text);
    void deleteNodes();
    QList<DeviceListing::CheckedProject> checkStates() const;

    QMap<QString, QString> projectNameMap;
    QStandardItemModel *treeModel = nullptr;
    QList<DiskProjectItem *> projectItems;
    QTreeView *treeView;
    QPushButton *deleteButton;
    QPushButton *cancelButton;
};

#endif // DIALOG_DISKSPACEDELETE_H
