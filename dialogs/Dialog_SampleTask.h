#ifndef DIALOG_SAMPLETASK_H
#define DIALOG_SAMPLETASK_H

#include "common/CtrlParam.h"
#include "dialogs/SampleTaskRules.h"

#include <QDialog>
#include <QList>
#include <QModelIndex>

class QCheckBox;
class QComboBox;
class QStandardItem;
class QStandardItemModel;
class QTimer;
class Ui_Dialog_SampleTask;

// The modal dialog in which the operator prepares the sampling tasks of the next station: a
// custom list built task by task, or a preset list completed from the controls. It is left
// only by confirming a list whose every task passes the task check.
class Dialog_SampleTask : public QDialog
{
    Q_OBJECT

public:
    explicit Dialog_SampleTask(QWidget *parent = nullptr);
    ~Dialog_SampleTask() override;

    void setWatchMachineType(int mode);
    void setSampleOnLineSelect(int index);
    bool getSampleOnLineSelect();
    QList<CtrlParam> getTaskList();
    void setTaskList(QList<CtrlParam> list);
    void clearTaskList();
    void updateGainListAndPresetTasks();

    // The synchronised start is checked every 2000 ms; tests shorten it.
    void setSyncTimerInterval(int milliseconds);

signals:
    void signalSureParameters(QList<CtrlParam> list);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

public slots:
    void sampleTaskDialogShow();
    void clickedRow(const QModelIndex &index);
    void editTask();
    void onAddTask();
    void onDeleteTask();
    void onConfirmTask();
    void onClickCancel();
    void onSampleRateChanged(const QString &text);
    void onHxChanged(bool on);
    void onHyChanged(bool on);
    void updateSyncTime();
    void onSampleModeChanged(int index);

private:
    bool validateCtrlParam(const CtrlParam &task);
    void fillTaskTable(const QList<CtrlParam> &list);
    void fitTableToTasks();
    void clearTaskTable();
    void setPresetControlsEnabled(int index);

    void buildChoices();
    QList<QStandardItem *> taskRowItems(const CtrlParam &task, int number);
    void turnOnRecordedChannelBoxes(const CtrlParam &task);
    void fillGainChoices(int rate);
    void setDuration(int seconds);
    ChannelFlags channelBoxes() const;
    PoleDistances poleDistances() const;
    TaskControls readControls() const;
    QList<int> markedRows() const;
    void applyOnlineChoiceLock();
    bool presetChoiceAllowed();
    bool poleDistancesAccepted();
    void setHxHyOpposite(QCheckBox *other, bool on);

    bool mayClose = false;
    Ui_Dialog_SampleTask *ui;
    int watchMachineType = -1; // none given yet: no channel rule, no locks
    int presetIndex = 0;
    QList<CtrlParam> presetTaskList1;
    QList<CtrlParam> presetTaskList2;
    QList<CtrlParam> customTaskList;
    QList<CtrlParam> shownTaskList;
    QList<CtrlParam> backupTaskList;
    QStandardItemModel *taskModel = nullptr;
    QTimer *syncTimer = nullptr;
    bool applyingMode = false; // the mode's box table is applied without the Hx/Hy exclusivity
};

#endif // DIALOG_SAMPLETASK_H
