#include "dialogs/Dialog_SampleTask.h"

#include "ui_Dialog_SampleTask.h"

#include "common/Clock.h"
#include "common/Global_Constants.h"
#include "common/Global_Variables.h"
#include "common/ListLookup.h"
#include "dialogs/ComboPopupViews.h"
#include "dialogs/DialogCloseGuard.h"
#include "shell/OperatorPrompt.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QScrollBar>
#include <QStandardItemModel>
#include <QTimer>
#include <QtDebug>

namespace {

const QList<int> secondChoices = {0, 1, 2, 4, 6, 8, 10, 12, 14, 16, 18, 20, 25, 30, 35, 40, 45, 50, 55};
const int syncTimerInterval = 2000;
// The table shows this many tasks without scrolling: what a station usually has.
const int shownTaskRows = 5;

void fillNumberChoices(QComboBox *combo, const QList<int> &values)
{
    combo->clear();
    for (int value : values)
        combo->addItem(QString::number(value), value);
}

QList<int> range(int first, int last)
{
    QList<int> values;
    for (int v = first; v <= last; ++v)
        values.append(v);
    return values;
}

QString lengthText(double length)
{
    return QString::number(length, 'g', 6);
}

QString channelsText(const CtrlParam &task)
{
    QString text;
    if (task.HxChannelIsUse)
        text += QStringLiteral("Hx ");
    if (task.HyChannelIsUse)
        text += QStringLiteral("Hy ");
    if (task.E0ChannelIsUse)
        text += QStringLiteral("E0 ");
    if (task.E1ChannelIsUse)
        text += QStringLiteral("E1 ");
    if (task.E2ChannelIsUse)
        text += QStringLiteral("E2");
    return text;
}

QString electrodeTypeText(int type)
{
    if (type == 0)
        return QStringLiteral("极化电极");
    if (type == 1)
        return QStringLiteral("不极化电极");
    return QString();
}

QStandardItem *cell(const QString &text, Qt::Alignment alignment)
{
    auto *item = new QStandardItem(text);
    item->setTextAlignment(alignment);
    return item;
}

} // namespace

Dialog_SampleTask::Dialog_SampleTask(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui_Dialog_SampleTask)
{
    qRegisterMetaType<CtrlParam>("CtrlParam");
    qRegisterMetaType<QList<CtrlParam>>("QList<CtrlParam>");
    ui->setupUi(this);

    installComboPopupViews(this);
    taskModel = new QStandardItemModel(ui->table_SamplePara);
    ui->table_SamplePara->setModel(taskModel);
    ui->table_SamplePara->verticalHeader()->hide();
    connect(ui->table_SamplePara, &QAbstractItemView::clicked, this, &Dialog_SampleTask::clickedRow);

    for (QCheckBox *box : {ui->checkBox_Hx, ui->checkBox_Hy, ui->checkBox_E0, ui->checkBox_E1, ui->checkBox_E2}) {
        box->setEnabled(true);
        box->setChecked(true);
    }
    ui->checkBox_Chopper->setVisible(true);
    ui->checkBox_Chopper->setEnabled(false);
    ui->horizontalLayout_SampleRate->setStretch(1, 5);

    qInfo() << "使用斩波开关的版本";

    ui->comboBox_ElectrodeType->addItem(tr("极化电极"), 0);
    ui->comboBox_ElectrodeType->addItem(tr("不极化电极"), 1);
    ui->comboBox_ElectrodeType->setCurrentIndex(0);
    for (QLineEdit *edit : {ui->lineEdit_E0PoleDistance, ui->lineEdit_E1PoleDistance, ui->lineEdit_E2PoleDistance})
        edit->setText(QStringLiteral("0"));
    connect(ui->checkBox_E0, &QCheckBox::toggled, ui->lineEdit_E0PoleDistance, &QWidget::setEnabled);
    connect(ui->checkBox_E1, &QCheckBox::toggled, ui->lineEdit_E1PoleDistance, &QWidget::setEnabled);
    connect(ui->checkBox_E2, &QCheckBox::toggled, ui->lineEdit_E2PoleDistance, &QWidget::setEnabled);
    connect(ui->btn_EditTask, &QPushButton::clicked, this, &Dialog_SampleTask::editTask);
    connect(ui->btn_Confirm, &QPushButton::clicked, this, &Dialog_SampleTask::onConfirmTask);
    connect(ui->btn_Cancel, &QPushButton::clicked, this, &Dialog_SampleTask::onClickCancel);
    connect(ui->btn_AddTask, &QPushButton::clicked, this, &Dialog_SampleTask::onAddTask);
    connect(ui->btn_DeleteTask, &QPushButton::clicked, this, &Dialog_SampleTask::onDeleteTask);
    connect(ui->checkBox_Hx, &QCheckBox::toggled, this, &Dialog_SampleTask::onHxChanged);
    connect(ui->checkBox_Hy, &QCheckBox::toggled, this, &Dialog_SampleTask::onHyChanged);
    ui->btn_EditTask->setToolTip(tr("多选-只修改电极距\n单选-可修改所有参数"));

    buildChoices();

    ui->table_SamplePara->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ui->table_SamplePara->setSelectionBehavior(QAbstractItemView::SelectRows);
    ui->table_SamplePara->setSelectionMode(QAbstractItemView::NoSelection);
    const QTime now = Clock::now().time();
    ui->comboBox_SyncHour->setCurrentText(QString::number(now.hour()));
    ui->comboBox_SyncMinute->setCurrentText(QString::number(now.minute()));

    connect(ui->checkBox_TimeSync, &QCheckBox::toggled, ui->comboBox_SyncHour, &QWidget::setEnabled);
    connect(ui->checkBox_TimeSync, &QCheckBox::toggled, ui->comboBox_SyncMinute, &QWidget::setEnabled);
    ui->checkBox_TimeSync->setChecked(true);
    ui->checkBox_TimeSync->setChecked(false);
    connect(ui->checkBox_TimeSync, &QCheckBox::toggled, this, &Dialog_SampleTask::applyOnlineChoiceLock);

    syncTimer = new QTimer(this);
    syncTimer->setInterval(syncTimerInterval);
    connect(syncTimer, &QTimer::timeout, this, &Dialog_SampleTask::updateSyncTime);
    syncTimer->start();
}

Dialog_SampleTask::~Dialog_SampleTask()
{
    delete ui;
}

// Fills the choices in the order that keeps the rate-dependent update from running at start.
void Dialog_SampleTask::buildChoices()
{
    ui->comboBox_OnLineSelect->setEnabled(true);
    ui->comboBox_OnLineSelect->addItem(tr("离线采集"), false);
    ui->comboBox_OnLineSelect->addItem(tr("在线采集"), true);
    ui->comboBox_OnLineSelect->setCurrentIndex(1);
    ui->comboBox_SampleMode->addItem(tr("自定义"), 0);
    ui->comboBox_SampleMode->addItem(tr("推荐一"), 1);
    ui->comboBox_SampleMode->addItem(tr("推荐二"), 2);
    ui->comboBox_SampleMode->setCurrentIndex(0);
    connect(ui->comboBox_SampleMode, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &Dialog_SampleTask::onSampleModeChanged);
    presetIndex = 0;

    fillNumberChoices(ui->comboBox_SampleRate, sampleRateList);
    ui->comboBox_SampleRate->setEnabled(true);
    ui->comboBox_SampleRate->setCurrentText(QString::number(sampleRateList.last()));
    connect(ui->comboBox_SampleRate, &QComboBox::currentTextChanged, this, &Dialog_SampleTask::onSampleRateChanged);

    updateGainListAndPresetTasks();

    fillNumberChoices(ui->comboBox_Hour, range(0, 24));
    fillNumberChoices(ui->comboBox_Minute, range(0, 59));
    fillNumberChoices(ui->comboBox_Second, secondChoices);
    fillNumberChoices(ui->comboBox_SyncHour, range(0, 23));
    fillNumberChoices(ui->comboBox_SyncMinute, range(0, 59));
    setDuration(defaultSampleTimeList.last());
}

void Dialog_SampleTask::setSyncTimerInterval(int milliseconds)
{
    syncTimer->setInterval(milliseconds);
}

void Dialog_SampleTask::setWatchMachineType(int mode)
{
    // The new mode is stored first and the box table applied without the Hx/Hy exclusivity,
    // so the old mode's exclusivity cannot leave a box of the new mode off.
    watchMachineType = mode;
    const ModeChannelBoxes boxes = channelBoxesForMode(mode);
    applyingMode = true;
    ui->checkBox_Hx->setChecked(boxes.on.Hx);
    ui->checkBox_Hy->setChecked(boxes.on.Hy);
    ui->checkBox_E0->setChecked(boxes.on.E0);
    ui->checkBox_E1->setChecked(boxes.on.E1);
    ui->checkBox_E2->setChecked(boxes.on.E2);
    applyingMode = false;
    ui->checkBox_Hx->setEnabled(boxes.enabled.Hx);
    ui->checkBox_Hy->setEnabled(boxes.enabled.Hy);
    ui->checkBox_E0->setEnabled(boxes.enabled.E0);
    ui->checkBox_E1->setEnabled(boxes.enabled.E1);
    ui->checkBox_E2->setEnabled(boxes.enabled.E2);
    applyOnlineChoiceLock();
}

// Offline is forced while the mode (over water), the synchronised start or a preset list asks
// for it; no other path may turn the choice back on meanwhile.
void Dialog_SampleTask::applyOnlineChoiceLock()
{
    const bool locked = channelBoxesForMode(watchMachineType).forcesOffline || ui->checkBox_TimeSync->isChecked()
                        || presetIndex == 1 || presetIndex == 2;
    if (locked)
        ui->comboBox_OnLineSelect->setCurrentIndex(0);
    ui->comboBox_OnLineSelect->setEnabled(!locked);
}

void Dialog_SampleTask::setSampleOnLineSelect(int index)
{
    if (index >= 0 && index < ui->comboBox_OnLineSelect->count())
        ui->comboBox_OnLineSelect->setCurrentIndex(index);
    applyOnlineChoiceLock();
}

bool Dialog_SampleTask::getSampleOnLineSelect()
{
    return ui->comboBox_OnLineSelect->currentData().toBool();
}

QList<CtrlParam> Dialog_SampleTask::getTaskList()
{
    return customTaskList;
}

void Dialog_SampleTask::setTaskList(QList<CtrlParam> list)
{
    customTaskList = list;
    shownTaskList = customTaskList;
    ui->comboBox_SampleMode->setCurrentIndex(0);
}

void Dialog_SampleTask::clearTaskList()
{
    customTaskList.clear();
    ui->comboBox_SampleMode->setCurrentIndex(0);
    setWatchMachineType(watchMachineType);
    shownTaskList = customTaskList;
}

void Dialog_SampleTask::updateGainListAndPresetTasks()
{
    presetTaskList1 = storedPresetTaskList(1);
    presetTaskList2 = storedPresetTaskList(2);
    fillGainChoices(ui->comboBox_SampleRate->currentText().toInt());
}

void Dialog_SampleTask::fillGainChoices(int rate)
{
    const QList<int> gains = gainListForRate(rate);
    fillNumberChoices(ui->comboBox_ElectricGain, gains);
    fillNumberChoices(ui->comboBox_MagneticGain, gains);
    ui->comboBox_ElectricGain->setCurrentIndex(0);
    ui->comboBox_MagneticGain->setCurrentIndex(0);
}

void Dialog_SampleTask::setDuration(int seconds)
{
    const DurationParts parts = splitDuration(seconds);
    ui->comboBox_Hour->setCurrentText(QString::number(parts.hours));
    ui->comboBox_Minute->setCurrentText(QString::number(parts.minutes));
    ui->comboBox_Second->setCurrentText(QString::number(parts.seconds));
}

void Dialog_SampleTask::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape || event->key() == Qt::Key_Back) {
        event->ignore();
        return;
    }
    QDialog::keyPressEvent(event);
}

void Dialog_SampleTask::closeEvent(QCloseEvent *event)
{
    acceptCloseOnlyIfAllowed(mayClose, event);
}

void Dialog_SampleTask::sampleTaskDialogShow()
{
    fillTaskTable(shownTaskList);
    backupTaskList = customTaskList;
    ui->btn_Confirm->setFocus();
    exec();
}

void Dialog_SampleTask::clickedRow(const QModelIndex &index)
{
    const std::optional<CtrlParam> found = valueAt(shownTaskList, index.row());
    if (!found)
        return;
    const CtrlParam &task = *found;
    ui->comboBox_SampleRate->setCurrentText(QString::number(task.SampleRate));
    ui->comboBox_ElectricGain->setCurrentText(QString::number(task.EGain));
    ui->comboBox_MagneticGain->setCurrentText(QString::number(task.HGain));
    ui->lineEdit_E0PoleDistance->setText(lengthText(task.E0PoleDistance));
    ui->lineEdit_E1PoleDistance->setText(lengthText(task.E1PoleDistance));
    ui->lineEdit_E2PoleDistance->setText(lengthText(task.E2PoleDistance));
    ui->comboBox_Hour->setCurrentText(QString::number(task.SampleTimeHour));
    ui->comboBox_Minute->setCurrentText(QString::number(task.SampleTimeMinute));
    ui->comboBox_Second->setCurrentText(QString::number(task.SampleTimeSecond));
    if (task.ElectrodeType >= 0 && task.ElectrodeType < ui->comboBox_ElectrodeType->count())
        ui->comboBox_ElectrodeType->setCurrentIndex(task.ElectrodeType);
    if (ui->checkBox_Chopper->isEnabled())
        ui->checkBox_Chopper->setChecked(task.Chopper != 0);
}

void Dialog_SampleTask::editTask()
{
    if (!poleDistancesAccepted())
        return;
    applySharedFields(customTaskList, poleDistances(), ui->comboBox_ElectrodeType->currentIndex());
    const QList<int> rows = markedRows();
    if (rows.size() == 1 && rows.first() < customTaskList.size()) {
        CtrlParam edited = customTaskList.at(rows.first());
        applyEditedFields(edited, readControls());
        if (validateCtrlParam(edited))
            customTaskList[rows.first()] = edited;
    } else {
        OperatorPrompt::information(this, tr("修改极距"),
                                    tr("由于\n-选择了多个任务\n-未选择任务\n因此只修改了所有任务的极距"));
    }
    shownTaskList = customTaskList;
    fillTaskTable(shownTaskList);
}

void Dialog_SampleTask::onAddTask()
{
    const ChannelFlags boxes = channelBoxes();
    const QString modeFailure = channelRuleFailure(watchMachineType, boxes);
    if (!modeFailure.isEmpty()) {
        OperatorPrompt::critical(nullptr, tr("通道选择出错"), modeFailure);
        return;
    }
    if (!sameChannelsAsList(customTaskList, boxes)) {
        OperatorPrompt::critical(nullptr, tr("通道选择出错"),
                                 tr("通道选择必须跟之前设置的采集任务列表一致！请查看采集任务列表！"));
        return;
    }
    const TaskControls controls = readControls();
    const CtrlParam task = taskFromControls(controls);
    if (!validateCtrlParam(task))
        return;
    applySharedFields(customTaskList, controls.lengths, controls.electrodeType);
    customTaskList.append(task);
    shownTaskList = customTaskList;
    fillTaskTable(shownTaskList);
}

void Dialog_SampleTask::onDeleteTask()
{
    const QList<int> rows = markedRows();
    if (rows.isEmpty()) {
        OperatorPrompt::information(nullptr, tr("提醒"), tr("未选择要删除的采集任务组，请选择！"));
        return;
    }
    int removed = 0;
    for (int row : rows) {
        const int index = row - removed;
        if (index >= customTaskList.size())
            break;
        customTaskList.removeAt(index);
        ++removed;
    }
    shownTaskList = customTaskList;
    fillTaskTable(shownTaskList);
}

void Dialog_SampleTask::onConfirmTask()
{
    if (shownTaskList.isEmpty()) {
        OperatorPrompt::critical(nullptr, tr("任务列表为空"), tr("请至少添加一个采样任务！"));
        return;
    }
    shownTaskList[0].SampleStartTime =
        ui->checkBox_TimeSync->isChecked()
            ? plannedStartTime(Clock::now(), ui->comboBox_SyncHour->currentIndex(),
                               ui->comboBox_SyncMinute->currentIndex())
            : 0;
    const QList<CtrlParam> confirmed = shownTaskList;
    for (const CtrlParam &task : confirmed) {
        if (!validateCtrlParam(task))
            return;
    }
    emit signalSureParameters(confirmed);
    clearTaskTable();
    mayClose = true;
    close();
}

void Dialog_SampleTask::onClickCancel()
{
    if (ui->comboBox_SampleMode->currentIndex() != 0)
        return;
    customTaskList = backupTaskList;
    clearTaskTable();
    shownTaskList = customTaskList;
    fillTaskTable(shownTaskList);
}

void Dialog_SampleTask::onSampleRateChanged(const QString &text)
{
    const int rate = text.toInt();
    fillGainChoices(rate);
    const bool chopper = chopperPossible(rate);
    ui->checkBox_Chopper->setEnabled(chopper);
    if (!chopper)
        ui->checkBox_Chopper->setChecked(false);
    setDuration(defaultSampleTimeForRate(rate));
}

void Dialog_SampleTask::setHxHyOpposite(QCheckBox *other, bool on)
{
    if (applyingMode || !hxHyExclusive(watchMachineType))
        return;
    other->setChecked(!on);
}

void Dialog_SampleTask::onHxChanged(bool on)
{
    setHxHyOpposite(ui->checkBox_Hy, on);
}

void Dialog_SampleTask::onHyChanged(bool on)
{
    setHxHyOpposite(ui->checkBox_Hx, on);
}

void Dialog_SampleTask::updateSyncTime()
{
    if (!ui->checkBox_TimeSync->isChecked())
        return;
    const QTime earliest = earliestSyncStart(Clock::now().time(), machineTimeOffset);
    if (!syncChoiceIsEarlier(ui->comboBox_SyncHour->currentIndex(), ui->comboBox_SyncMinute->currentIndex(), earliest))
        return;
    ui->comboBox_SyncHour->setCurrentText(QString::number(earliest.hour()));
    ui->comboBox_SyncMinute->setCurrentText(QString::number(earliest.minute()));
}

void Dialog_SampleTask::onSampleModeChanged(int index)
{
    if (index == presetIndex)
        return;
    if (index == 0) {
        shownTaskList = customTaskList;
    } else if (index == 1 || index == 2) {
        if (!presetChoiceAllowed()) {
            ui->comboBox_SampleMode->setCurrentIndex(presetIndex);
            return;
        }
        shownTaskList = completedPresetTaskList(index == 1 ? presetTaskList1 : presetTaskList2, readControls());
    } else {
        return;
    }
    presetIndex = index;
    setPresetControlsEnabled(index);
    fillTaskTable(shownTaskList);
}

// The channel rule and the dipole lengths of the recorded channels, with their messages.
bool Dialog_SampleTask::presetChoiceAllowed()
{
    const QString modeFailure = channelRuleFailure(watchMachineType, channelBoxes());
    if (!modeFailure.isEmpty()) {
        OperatorPrompt::critical(nullptr, tr("通道选择出错"), modeFailure);
        return false;
    }
    return poleDistancesAccepted();
}

bool Dialog_SampleTask::poleDistancesAccepted()
{
    if (poleDistancesValid(channelBoxes(), poleDistances()))
        return true;
    OperatorPrompt::critical(this, tr("参数错误"), tr("极距设置错误！请输入正数！"));
    return false;
}

void Dialog_SampleTask::setPresetControlsEnabled(int index)
{
    const bool unlocked = index != 1 && index != 2;
    applyOnlineChoiceLock();
    for (QWidget *control : std::initializer_list<QWidget *>{ui->comboBox_SampleRate, ui->comboBox_Hour,
                                                             ui->comboBox_Minute, ui->comboBox_Second,
                                                             ui->btn_AddTask, ui->btn_EditTask, ui->btn_DeleteTask})
        control->setEnabled(unlocked);
}

bool Dialog_SampleTask::validateCtrlParam(const CtrlParam &task)
{
    const TaskCheck check = checkTask(task);
    if (check.passed())
        return true;
    OperatorPrompt::critical(this, tr("参数错误"), check.failure);
    if (check.durationLimit)
        setDuration(*check.durationLimit);
    return false;
}

void Dialog_SampleTask::clearTaskTable()
{
    if (taskModel->rowCount() > 0)
        taskModel->removeRows(0, taskModel->rowCount());
}

void Dialog_SampleTask::fillTaskTable(const QList<CtrlParam> &list)
{
    clearTaskTable();
    taskModel->setHorizontalHeaderLabels({tr("任务编号"), tr("采集通道"), tr("采样率"), tr("采样时间"), tr("增益"),
                                          tr("极距"), tr("电极类型"), tr("斩波开关")});
    for (int row = 0; row < list.size(); ++row) {
        const CtrlParam &task = list.at(row);
        turnOnRecordedChannelBoxes(task);
        taskModel->appendRow(taskRowItems(task, row + 1));
        clickedRow(taskModel->index(row, 0));
    }
    fitTableToTasks();
}

// Each column as wide as its widest text, header included, and room for the usual number of
// tasks; the dialog grows to hold the table. Measured in the fonts the style sheet gives.
void Dialog_SampleTask::fitTableToTasks()
{
    QTableView *table = ui->table_SamplePara;
    table->ensurePolished();
    QHeaderView *header = table->horizontalHeader();
    header->setSectionResizeMode(QHeaderView::Interactive);
    header->setStretchLastSection(true);
    // A cell leaves the last pixel of its column to the grid line.
    const int gridLine = table->showGrid() ? 1 : 0;
    int width = 2 * table->frameWidth() + table->verticalScrollBar()->sizeHint().width();
    for (int column = 0; column < taskModel->columnCount(); ++column) {
        int columnWidth = header->sectionSizeHint(column);
        for (int row = 0; row < taskModel->rowCount(); ++row) {
            const int cellWidth = table->sizeHintForIndex(taskModel->index(row, column)).width() + gridLine;
            columnWidth = qMax(columnWidth, cellWidth);
        }
        table->setColumnWidth(column, columnWidth);
        width += columnWidth;
    }
    table->resizeRowsToContents();
    int rowHeight = table->verticalHeader()->defaultSectionSize();
    for (int row = 0; row < taskModel->rowCount(); ++row)
        rowHeight = qMax(rowHeight, table->rowHeight(row));
    table->setMinimumSize(width, 2 * table->frameWidth() + header->sizeHint().height() + shownTaskRows * rowHeight);
}

QList<QStandardItem *> Dialog_SampleTask::taskRowItems(const CtrlParam &task, int number)
{
    const Qt::Alignment left = Qt::AlignLeft | Qt::AlignVCenter;
    const Qt::Alignment centre = Qt::AlignCenter;
    QStandardItem *numberItem = cell(tr("任务%1").arg(number), left);
    numberItem->setCheckable(presetIndex == 0);
    if (presetIndex == 0)
        numberItem->setCheckState(Qt::Unchecked);
    const QString lengths = QStringLiteral("E0:%1m,E1:%2m,E2:%3m")
                                .arg(lengthText(task.E0PoleDistance), lengthText(task.E1PoleDistance),
                                     lengthText(task.E2PoleDistance));
    QStandardItem *lengthsItem = cell(lengths, centre);
    lengthsItem->setToolTip(lengths);
    return {numberItem,
            cell(channelsText(task), left),
            cell(QStringLiteral("%1Hz").arg(task.SampleRate), centre),
            cell(QStringLiteral("%1:%2:%3").arg(task.SampleTimeHour).arg(task.SampleTimeMinute).arg(task.SampleTimeSecond),
                 centre),
            cell(QStringLiteral("E=%1,H=%2").arg(task.EGain).arg(task.HGain), centre),
            lengthsItem,
            cell(electrodeTypeText(task.ElectrodeType), centre),
            cell(task.Chopper != 0 ? tr("开") : tr("关"), left)};
}

// Boxes of channels the task does not record are left as they are.
void Dialog_SampleTask::turnOnRecordedChannelBoxes(const CtrlParam &task)
{
    const ChannelFlags recorded = channelsOf(task);
    if (recorded.Hx)
        ui->checkBox_Hx->setChecked(true);
    if (recorded.Hy)
        ui->checkBox_Hy->setChecked(true);
    if (recorded.E0)
        ui->checkBox_E0->setChecked(true);
    if (recorded.E1)
        ui->checkBox_E1->setChecked(true);
    if (recorded.E2)
        ui->checkBox_E2->setChecked(true);
}

ChannelFlags Dialog_SampleTask::channelBoxes() const
{
    return {ui->checkBox_Hx->isChecked(), ui->checkBox_Hy->isChecked(), ui->checkBox_E0->isChecked(),
            ui->checkBox_E1->isChecked(), ui->checkBox_E2->isChecked()};
}

PoleDistances Dialog_SampleTask::poleDistances() const
{
    return {poleDistanceFromText(ui->lineEdit_E0PoleDistance->text()),
            poleDistanceFromText(ui->lineEdit_E1PoleDistance->text()),
            poleDistanceFromText(ui->lineEdit_E2PoleDistance->text())};
}

TaskControls Dialog_SampleTask::readControls() const
{
    TaskControls controls;
    controls.channels = channelBoxes();
    controls.eGain = ui->comboBox_ElectricGain->currentText().toInt();
    controls.hGain = ui->comboBox_MagneticGain->currentText().toInt();
    controls.lengths = poleDistances();
    // An empty rate choice gives rate 0, which the task check refuses.
    controls.sampleRate = valueAt(sampleRateList, ui->comboBox_SampleRate->currentIndex()).value_or(0);
    controls.hours = ui->comboBox_Hour->currentText().toInt();
    controls.minutes = ui->comboBox_Minute->currentText().toInt();
    controls.seconds = ui->comboBox_Second->currentText().toInt();
    controls.electrodeType = ui->comboBox_ElectrodeType->currentIndex();
    controls.chopperOn = ui->checkBox_Chopper->isChecked();
    return controls;
}

QList<int> Dialog_SampleTask::markedRows() const
{
    QList<int> rows;
    for (int row = 0; row < taskModel->rowCount(); ++row) {
        const QStandardItem *item = taskModel->item(row, 0);
        if (item && item->checkState() == Qt::Checked)
            rows.append(row);
    }
    return rows;
}
