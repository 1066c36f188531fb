// Connection to the instrument, status polling and the error word.
#include "mainwindow/MainWindow.h"

#include "common/Global_Variables.h"
#include "dialogs/Dialog_SampleTask.h"
#include "link/LibCom.h"
#include "mainwindow/ErrorWordRules.h"
#include "mainwindow/Form_StatusBar.h"
#include "mainwindow/InstrumentVersionRules.h"
#include "mainwindow/RunStateRules.h"
#include "mainwindow/RunTransferRules.h"
#include "mainwindow/WorkState.h"
#include "projectdata/DataModel_Index.h"
#include "shell/OperatorPrompt.h"
#include "ui_MainWindow.h"

#include <QSettings>
#include <QTimer>

#include <cstring>
#include <utility>

namespace {
const QString hardwareVersionKey = QStringLiteral("SystemConfig/HardwareVer");
}

// A second click while connected or while the connection is being made does nothing.
void MainWindow::connnectNetwork()
{
    if (connected || connecting)
        return;
    libCom->openControlCom(machineAddress);
    if (!libCom->connectCom(COM_SELECT_CONTROL)) {
        OperatorPrompt::critical(this, tr("网络错误"), tr("控制通信端口连接失败"));
        return;
    }
    connecting = true;
}

void MainWindow::disconnectNetwork()
{
    if (runPhase.starting()) {
        OperatorPrompt::information(nullptr, tr("提醒"), RunPhase::startingText());
        return;
    }
    if (const auto refusal = disconnectRefusal(runPhase.workState())) {
        OperatorPrompt::information(nullptr, tr("提醒"), *refusal);
        return;
    }
    userDisconnect = true;
    libCom->disconnectCom(COM_SELECT_ALL);
}

void MainWindow::onSlotNetWorkConnected()
{
    connecting = false;
    poweringOff = false;
    libCom->sendGetSystemInfo();
    setNetworkUiState(true);
    userDisconnect = false;
    if (runPhase.workState() == WORK_IDLE)
        libCom->sendAdjustTime();
    else
        libCom->sendGetMachineStatus();
    startStatusPoll();
}

// Nothing the instrument would send can come any more: the answer to a deletion or a format, an
// online run's groups and a read-back's. An online run ends with what it has received, and a
// read-back ends; both with the connection's box alone.
void MainWindow::onSlotNetWorkDisconnected()
{
    connecting = false;
    leftRunStopping = false;
    setNetworkUiState(false);
    endStartOnLostConnection();
    if (runPhase.phase() == RunPhase::Maintenance)
        enterRestingPhase();
    // The repetition cannot follow the instrument without the connection; the station being
    // sampled stays on the instrument.
    if (runPhase.phase() == RunPhase::OverWater)
        endOverWaterRepetition();
    if (userDisconnect) {
        endRunOnLostConnection();
        return;
    }
    libCom->forceDisconnectCom(COM_SELECT_ALL);
    endRunOnLostConnection();
    if (runPhase.phase() == RunPhase::ReadBack)
        dropReadBack();
    if (std::exchange(poweringOff, false))
        OperatorPrompt::information(nullptr, tr("提醒"), tr("仪器已关机！"));
    else
        OperatorPrompt::critical(nullptr, tr("出错"), tr("网络断开！请确认网线接好后重新连接！"));
}

void MainWindow::startStatusPoll()
{
    statusPollTimer->start(pollIntervalMs);
}

void MainWindow::onSlotAdjustTimeOver()
{
    startStatusPoll();
    libCom->sendGetMachineStatus();
}

// The bits are handled on a copy of the new sticky bits, stored before the first box, so a word
// that arrives while a box is open finds them set.
void MainWindow::onSlotErrorCode(uint32_t errorCode)
{
    handlingErrorWord = true;
    handleErrorWord(errorCode);
    handlingErrorWord = false;
}

void MainWindow::handleErrorWord(uint32_t errorCode)
{
    const ErrorWordReaction reaction =
        errorWordReaction(errorCode, stickyErrorBits, connected, lastMachineStatus.gpsStatus);
    stickyErrorBits = reaction.stickyBits;
    if (reaction.disableStart)
        ui->tbtnStartSample->setEnabled(false);
    for (const ErrorReactionStep &step : reaction.steps) {
        bool restart = step.followUp == ErrorFollowUp::Restart;
        if (step.showsBox && step.kind == ErrorBoxKind::RestartQuestion)
            restart = OperatorPrompt::question(nullptr, step.title, step.text);
        else if (step.showsBox && step.kind == ErrorBoxKind::Warning)
            OperatorPrompt::warning(nullptr, step.title, step.text);
        else if (step.showsBox)
            OperatorPrompt::critical(nullptr, step.title, step.text);
        if (restart)
            libCom->sendRestart();
        else if (step.followUp == ErrorFollowUp::ClearFlags || step.followUp == ErrorFollowUp::RestartOrClear)
            libCom->sendErrorFlagClear();
    }
}

// No further request goes out while a word is being handled.
void MainWindow::requestErrorWord()
{
    if (!handlingErrorWord)
        libCom->sendGetErrorCode();
}

void MainWindow::onSlotSystemInfo(SystemInfo info)
{
    if (!firmwareAccepted(info.firmwareVersion)) {
        if (libCom->isNetWorkConnected())
            disconnectNetwork();
        ui->tbtnConnectNetwork->setEnabled(false);
        OperatorPrompt::critical(nullptr, tr("仪器固件版本"), firmwareRefusalText(info.firmwareVersion));
    }
    checkHardwareVersion(info.hardwareVersion);
}

void MainWindow::checkHardwareVersion(float reported)
{
    const HardwareVersionOutcome outcome = hardwareVersionOutcome(reported, systemConfig->value(hardwareVersionKey));
    if (outcome.oldGainLists) {
        useOldHardwareGainLists();
        dialogSampleTask->updateGainListAndPresetTasks();
    }
    systemConfig->setValue(hardwareVersionKey, outcome.storedText);
    if (!outcome.closeProgram)
        return;
    taskList.clear();
    dialogSampleTask->clearTaskList();
    saveSystemConfig();
    OperatorPrompt::critical(nullptr, tr("软件即将关闭"), outcome.closeText);
    closeConfirmed = true;
    close();
}

void MainWindow::onSlotProjectConfiged()
{
    projectConfigured = true;
}

void MainWindow::onSlotMachineStatus(void *status)
{
    std::memcpy(&lastMachineStatus, status, sizeof(MachineStatus));
    const StatusErrorBits bits = statusErrorBits(stickyErrorBits, lastMachineStatus);
    stickyErrorBits = bits.stickyBits;
    ui->tbtnStartSample->setEnabled(bits.startEnabled);
    formStatusBar->setMachineStatus(lastMachineStatus);
    if (stopRunLeftOnInstrument(lastMachineStatus.workStatus) || decideOverdueStart(lastMachineStatus.workStatus))
        return;
    switch (statusReportAction(lastMachineStatus.workStatus, runPhase.startWaits())) {
    case StatusReportAction::DropStart:
        dropWaitingStart();
        OperatorPrompt::critical(nullptr, tr("仪器状态提醒"), busyStartText());
        return;
    case StatusReportAction::FetchErrorWord:
        requestErrorWord();
        return;
    case StatusReportAction::Nothing:
        return;
    case StatusReportAction::Idle:
        break;
    }
    // The poll stops for a read-back; a report to a request sent before it does not end it.
    if (runPhase.phase() == RunPhase::ReadBack)
        return;
    endRunOnIdleReport();
    handleIdleReport();
}

// A run ended here when the connection was lost; the instrument, reached again, may still be
// running it and would refuse every start. It is stopped and keeps the groups it holds. Until the
// stop is answered, busy reports (to requests sent before it) do not drop a start clicked meanwhile.
bool MainWindow::stopRunLeftOnInstrument(int workStatus)
{
    if (leftRunStopping) {
        leftRunStopping = workStatus == 1;
        return leftRunStopping;
    }
    if (!runLeftOnInstrument || runPhase.isRun())
        return false;
    runLeftOnInstrument = false;
    if (workStatus != 1)
        return false;
    leftRunStopping = true;
    libCom->sendSampleStop();
    return true;
}

// An idle instrument makes no run: a run phase ends as its own end or the stop answer would.
// The over-water repetition is idle between its stations and goes on; idle while a station is
// sampled, it has sampled the station (its reply lost, or its later groups done).
void MainWindow::endRunOnIdleReport()
{
    switch (runPhase.phase()) {
    case RunPhase::OverWater:
        if (runPhase.groupStep() == RunPhase::GroupSampling && !stopSent)
            repeatOverWaterStation();
        return;
    case RunPhase::Offline:
        endOfflineRun();
        return;
    case RunPhase::TrialRun:
        endTrialRun();
        return;
    case RunPhase::Sampling:
        onSlotSampleStopped();
        return;
    default:
        return;
    }
}

void MainWindow::handleIdleReport()
{
    const IdleReportAction action = idleReportAction(projectConfigured, projectOpened, runPhase.startWaits());
    if (action == IdleReportAction::SendGroupsRequest) {
        QByteArray request =
            groupsRequestText(stationSampleInfo.ProjectId, stationSampleInfo.LineNum, stationSampleInfo.StationNum);
        runPhase.setGroupStep(RunPhase::GroupsAsked);
        libCom->sendGetSampleGroupsNum(&request);
    } else if (action == IdleReportAction::SendProjectConfig) {
        libCom->sendProjectConfigFile(dataModelIndex->getProjectConfigFilePath());
    }
}

void MainWindow::onSlotDeviceErrorFlagClear()
{
    OperatorPrompt::critical(nullptr, tr("仪器状态提醒"), tr("仪器错误标志清除成功！"));
}

void MainWindow::onTimeOut()
{
    if (libCom->isNetWorkConnected()) {
        libCom->sendGetMachineStatus();
        connected = true;
        return;
    }
    statusPollTimer->stop();
    connected = false;
}

void MainWindow::refreshNetworkState()
{
    connected = libCom->isNetWorkConnected();
    setNetworkUiState(connected);
    switchDisplayView(0);
}

void MainWindow::setNetworkUiState(bool connectedNow)
{
    connected = connectedNow;
    ui->tbtnConnectNetwork->setVisible(!connectedNow);
    ui->tbtnDisconnectNetwork->setVisible(connectedNow);
    ui->tbtnPowerOff->setVisible(connectedNow);
    const QList<QWidget *> needConnection{ui->tbtnPreSampleData, ui->tbtnStartSample,   ui->tbtnStopSample,
                                          ui->tbtnExportData,    ui->tbtnMemoryManage,  ui->tbtnSDCardFormat,
                                          ui->lineEdit_LineNum,  ui->lineEdit_StationNum};
    for (QWidget *widget : needConnection)
        widget->setEnabled(connectedNow);
    formStatusBar->setNetworkConnected(connectedNow);
}
