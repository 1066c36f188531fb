// Starting and stopping a sampling run.
#include "mainwindow/MainWindow.h"

#include "common/Clock.h"
#include "common/Global_Variables.h"
#include "common/PreSampleLineNum.h"
#include "dialogs/Dialog_ExportData.h"
#include "dialogs/Dialog_InputsSetting.h"
#include "dialogs/Dialog_SampleTask.h"
#include "link/LibCom.h"
#include "mainwindow/Form_StationInfo.h"
#include "mainwindow/Form_StatusBar.h"
#include "mainwindow/Form_SystemInfo.h"
#include "mainwindow/RunStartRules.h"
#include "mainwindow/RunStateRules.h"
#include "mainwindow/StartWatch.h"
#include "mainwindow/TransferWatchdog.h"
#include "mainwindow/WorkState.h"
#include "projectdata/DataModel_Index.h"
#include "shell/OperatorPrompt.h"
#include "shell/chrome/QtMaterialSnackbar.h"
#include "ui_MainWindow.h"
#include "views/Form_TimeSeriesGraph.h"
#include "views/Form_TimeSeriesViewSet.h"

#include <QTimer>

#include <utility>

void MainWindow::onSlotPreSampleDataAction()
{
    if (!refuseUnlessIdle())
        startSampleRun(true);
}

void MainWindow::onSlotStartSampleAction()
{
    if (!refuseUnlessIdle())
        startSampleRun(false);
}

// A click while a run, a read-back or an unsaved run is on would overwrite its record.
bool MainWindow::refuseUnlessIdle()
{
    if (refuseIn(RunPhase::Start))
        return true;
    if (!hasUnsavedRun())
        return false;
    OperatorPrompt::warning(nullptr, tr("提醒"), RunPhase::refusalText(RunPhase::Start));
    return true;
}

void MainWindow::startSampleRun(bool preSample)
{
    if (!passesStartChecks(preSample))
        return;
    const LineStationEntry entry = lineStationFromTexts(ui->lineEdit_LineNum->text(), ui->lineEdit_StationNum->text());
    if (realSample == 0)
        dataModelIndex->clearTempSampleData();
    buildStationRecord(preSample, entry.line, entry.station);
    runOnLine = preSample || dialogSampleTask->getSampleOnLineSelect();
    transferDoneFlags = QByteArray(stationSampleInfo.sampleInfoList.size(), 0);
    taskIndex = 0;
    dataComFailureShown = false;
    runPhase.setGroupStep(RunPhase::StartAsked);
    startWatch->arm();
    libCom->sendGetMachineStatus();
    clearDataViews();
    realSample = preSample ? 0 : 1;
}

bool MainWindow::passesStartChecks(bool preSample)
{
    StartCheckInput input;
    input.projectOpen = projectOpened;
    input.connected = connected;
    input.projectConfigured = projectConfigured;
    input.tasks = taskList;
    input.nowSeconds = Clock::currentSecsSinceEpoch();
    input.machineTimeOffset = machineTimeOffset;
    input.gpsStatus = lastMachineStatus.gpsStatus;
    input.inputs = dialogInputsSetting->getChannelInputsConfig();
    if (const auto refusal = firstFailedStartCheck(input)) {
        OperatorPrompt::critical(refusal->parentIsWindow ? this : nullptr, refusal->title, refusal->text);
        return false;
    }
    if (preSample)
        return true;
    const QString lineText = ui->lineEdit_LineNum->text();
    const QString stationText = ui->lineEdit_StationNum->text();
    if (const auto refusal = lineStationRefusal(lineText, stationText)) {
        OperatorPrompt::critical(nullptr, refusal->title, refusal->text);
        return false;
    }
    const LineStationEntry entry = lineStationFromTexts(lineText, stationText);
    if (!asksSameLineStation(entry, lastLineNum, lastStationNum, !dataModelIndex->isProjectEmpty()))
        return true;
    if (askYesNo(tr("温馨提示"), sameLineStationQuestion()) == QMessageBox::Yes)
        return true;
    OperatorPrompt::warning(nullptr, tr("提醒"), tr("请修改线点号！"));
    return false;
}

void MainWindow::buildStationRecord(bool preSample, int lineNum, double stationNum)
{
    const int line = preSample ? PreSampleLineNum : lineNum;
    const double station = preSample ? 0.0 : stationNum;
    QList<SampleInfo> records;
    for (const CtrlParam &task : qAsConst(taskList)) {
        SampleInfo info;
        info.LineNum = line;
        info.StationNum = station;
        info.inputs = dialogInputsSetting->getChannelInputsConfig();
        info.ctrlParam = preSample ? trialTask(task) : task;
        info.WatchMachineMode = formSystemInfo->watchMachineType();
        records.append(info);
    }
    stationSampleInfo.ProjectName = projectConfig.ProjectName;
    stationSampleInfo.ProjectId = projectConfig.ProjectId;
    stationSampleInfo.MachineID = 0;
    stationSampleInfo.LineNum = line;
    stationSampleInfo.StationNum = station;
    stationSampleInfo.GPS_Latitude = stationSampleInfo.GPS_Longtitude = stationSampleInfo.GPS_Elevation = 0.0;
    stationSampleInfo.sampleInfoList = records;
}

// Only the answer to a groups request of a waiting start is taken.
void MainWindow::onSlotStationSampleGroupsNum(int count)
{
    if (!expectsReply(RunPhase::GroupsCount, "groups answer"))
        return;
    existSampleDataNum = count;
    QByteArray text = dataModelIndex->getStationConfigText(stationSampleInfo, runOnLine, count);
    if (text.isEmpty()) {
        dropWaitingStart();
        return;
    }
    runPhase.setGroupStep(RunPhase::StartSent);
    watchGroupStart();
    libCom->sendSampleStart(&text);
}

// A start the instrument will not make: an over-water repetition ends with it.
void MainWindow::dropWaitingStart()
{
    startWatch->stop();
    runPhase.setGroupStep(RunPhase::NoGroup);
    if (runPhase.phase() == RunPhase::OverWater)
        endOverWaterRepetition();
}

// Only the start of a group asked for is taken; a repeated notification changes nothing.
void MainWindow::onSlotSampleStarted()
{
    if (taskIndexInRun() && expectsReply(RunPhase::SampleStarted, "start notification"))
        takeGroupStarted();
}

void MainWindow::showOnlineRunStart()
{
    enterPhase(realSample == 1 ? RunPhase::Sampling : RunPhase::TrialRun);
    ChannelsUseInfo channels = taskChannels(currentSampleInfo.ctrlParam);
    formTimeSeriesViewSet->setChannelsUseInfo(&channels);
    formTimeSeriesGraph->setSelectedChannelsDisplay(channels);
    formStatusBar->startSampleProgress(taskDurationSeconds(currentSampleInfo.ctrlParam), true,
                                       currentSampleInfo.ctrlParam.SampleRate);
    if (realSample == 1)
        emit sampleStart();
    else
        emit preSampleStart();
}

// An over-water run starts without a signal and without a notice.
void MainWindow::showOfflineRunStart()
{
    if (startedWorkState(false, watchMachineType) == WORK_OVERWATER_SAMPLING) {
        enterPhase(RunPhase::OverWater);
    } else {
        enterPhase(RunPhase::Offline);
        emit offlineSampleStart();
        snackbar->addMessage(offlineStartNotice(stationSampleInfo.LineNum, stationSampleInfo.StationNum));
    }
    dialogExportData->setLineStation({currentSampleInfo.LineNum, currentSampleInfo.StationNum});
    formStationInfo->setStation(currentSampleInfo.MachineID, currentSampleInfo.LineNum, currentSampleInfo.StationNum);
    formStatusBar->startSampleProgress(0, false, 0);
}

// The answer applies only to a run still going: a run that ended under the question keeps its
// save choice.
void MainWindow::onSlotStopSampleAction()
{
    if (refuseIn(RunPhase::Stop))
        return;
    if (askYesNo(tr("温馨提示"), tr("请确认是否停止采集?")) != QMessageBox::Yes)
        return;
    if (!answerStillApplies(RunPhase::Stop))
        return;
    // A groups answer still on its way must not start the next over-water station.
    if (runPhase.startRequested())
        runPhase.setGroupStep(RunPhase::NoGroup);
    stopSent = true;
    libCom->sendSampleStop();
}

// The run ends and the state is idle before the box; the views go before the recordings. A stop
// answer for no run (a finished run waiting for its save included) changes nothing.
void MainWindow::onSlotSampleStopped()
{
    if (std::exchange(leftRunStopping, false))
        return; // the answer for a run already ended here
    if (!expectsReply(RunPhase::SampleStopped, "stop answer"))
        return;
    const int stoppedState = runPhase.workState();
    if (stoppedState == WORK_EXPORTING)
        endReadBackWithoutRawData();
    const bool groupsKept = stoppedState == WORK_ONLINE_SAMPLING && keepReceivedGroupsOnStop();
    if (stoppedState == WORK_ONLINE_SAMPLING) {
        libCom->closeDataComs();
        dataComTimer->stop();
        transferWatchdog->stop();
        formStatusBar->startSampleProgress(0, false, 0);
    }
    // A start the over-water repetition requested just before the stop is dropped with the run.
    if (!groupsKept) {
        enterRestingPhase();
        switchDisplayView(0);
        clearDataViews();
        dataModelIndex->discardCurrentTempSample();
        dataModelIndex->clearTempSampleData();
        resetSampleRun();
    }
    startStatusPoll();
    requestErrorWord();
    emit samplStoped();
    if (const auto text = sampleStoppedText(stoppedState))
        OperatorPrompt::warning(nullptr, tr("提醒"), *text);
}

void MainWindow::endOfflineRun()
{
    stepStationNum();
    resetSampleRun();
    enterRestingPhase();
    emit offlineSampleOver();
    OperatorPrompt::information(nullptr, tr("提醒"), tr("仪器离线采集结束！"));
}

void MainWindow::stepStationNum()
{
    const CtrlParam *firstTask =
        stationSampleInfo.sampleInfoList.isEmpty() ? nullptr : &stationSampleInfo.sampleInfoList.first().ctrlParam;
    const SteppedStation next = steppedStation(ui->lineEdit_StationNum->text().toDouble(), watchMachineType,
                                               stationNumAutoConfig, firstTask);
    if (next.tooLong)
        askYesNo(tr("温馨提示"), tr("点号长度超出限制，请注意修改"));
    if (stationNumAutoConfig.StationNumAutoEnable)
        ui->lineEdit_StationNum->setText(stationNumText(next.station));
}

void MainWindow::resetSampleRun()
{
    lastLineNum = stationSampleInfo.LineNum;
    lastStationNum = stationSampleInfo.StationNum;
    stationSampleInfo.MachineID = 0;
    stationSampleInfo.LineNum = 0;
    stationSampleInfo.StationNum = 0.0;
    stationSampleInfo.GPS_Latitude = stationSampleInfo.GPS_Longtitude = stationSampleInfo.GPS_Elevation = 0.0;
    stationSampleInfo.sampleInfoList.clear();
    transferDoneFlags.clear();
    taskIndex = 0;
    existSampleDataNum = 0;
    shownGroup = 0;
    stopSent = false;
    runPhase.setGroupStep(RunPhase::NoGroup);
    samplingWatch->stop();
    startWatch->stop();
    dataComRetry.start();
    currentSampleInfo = SampleInfo();
}
