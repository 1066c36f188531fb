// Data transfer of a run, the views of its groups, and saving or discarding it.
#include "mainwindow/MainWindow.h"

#include "common/Clock.h"
#include "common/Global_Constants.h"
#include "common/Global_Variables.h"
#include "dialogs/Dialog_SampleTask.h"
#include "link/LibCom.h"
#include "mainwindow/Form_StationInfo.h"
#include "mainwindow/Form_StatusBar.h"
#include "mainwindow/RunStateRules.h"
#include "mainwindow/RunTransferRules.h"
#include "mainwindow/StartWatch.h"
#include "mainwindow/TransferWatchdog.h"
#include "projectdata/DataModel_Index.h"
#include "shell/OperatorPrompt.h"
#include "shell/chrome/QtMaterialSnackbar.h"
#include "ui_MainWindow.h"
#include "views/Form_ProcessDataGraph.h"
#include "views/Form_ProcessDataViewSet.h"
#include "views/Form_TimeSeriesGraph.h"
#include "views/Form_TimeSeriesViewSet.h"

#include <QDebug>
#include <QTimer>

#include <utility>

bool MainWindow::taskIndexInRun() const
{
    return taskIndex >= 0 && taskIndex < stationSampleInfo.sampleInfoList.size();
}

// A group end after a stop belongs to no run, and a repeated one to a group already asked for:
// neither transfers nor repeats an over-water run.
void MainWindow::onSlotRequestTransormData()
{
    // The end of the group asked for tells that it started, when its start notification was lost.
    if (taskIndexInRun() && runPhase.groupStep() == RunPhase::StartSent) {
        qWarning().noquote() << "group" << taskIndex + 1 << "sampled without its start notification";
        takeGroupStarted();
    }
    if (!taskIndexInRun() || !expectsReply(RunPhase::GroupSampled, "group end"))
        return;
    samplingWatch->stop();
    if (stopSent)
        return; // the stop answer ends the run
    if (runOnLine) {
        runPhase.setGroupStep(RunPhase::TransferRequested);
        statusPollTimer->stop();
        const QByteArray request = transferRequestBytes(stationSampleInfo.LineNum, stationSampleInfo.StationNum);
        libCom->sendRequestTransformData(request.constData());
        return;
    }
    // The instrument answers once, after the first group, and samples the others on its own:
    // a station of more groups is over with the idle report that follows.
    if (runPhase.phase() == RunPhase::OverWater && stationSampleInfo.sampleInfoList.size() == 1)
        repeatOverWaterStation();
    if (runPhase.phase() == RunPhase::Offline)
        endOfflineRun();
}

// The next station starts with every start check; a refused one ends the repetition.
void MainWindow::repeatOverWaterStation()
{
    stepStationNum();
    resetSampleRun();
    startSampleRun(false);
    if (!runPhase.startWaits())
        endOverWaterRepetition();
}

// The repetition ends without the operator's stop: the operator is told, beside any box that
// gave the reason.
void MainWindow::endOverWaterRepetition()
{
    enterRestingPhase();
    snackbar->addMessage(tr("水上连续采集已停止"));
}

// A repeated request finds the connections up or coming up and is not taken: opening them again
// would cut the group on its way. After a stop none are opened; the stop answer ends the transfer.
void MainWindow::onSlotRequestDataComConnecting()
{
    if (!expectsReply(RunPhase::DataComsWanted, "data connection request"))
        return;
    if (stopSent || dataComsUp || dataComTimer->isActive()) {
        qWarning() << "ignored a data connection request: stop sent" << stopSent << "connections up" << dataComsUp;
        return;
    }
    connectDataCom(DATA_MODE_USED_CHANNELS);
}

// The data-connection timer watches the connecting; the transfer's watch starts once connected.
// (Until the instrument asks for the connections, the link sends the request again.)
void MainWindow::connectDataCom(int mode)
{
    transferWatchdog->stop();
    dataComRetry.start();
    if (mode == DATA_MODE_USED_CHANNELS)
        libCom->openDataComs(machineAddress, dataComMask(currentSampleInfo.ctrlParam).data(), mode);
    else if (mode == DATA_MODE_ALL_CHANNELS)
        libCom->openDataComs(machineAddress, "\1\1\1\1\1", mode);
    showDataComAttempt(libCom->connectCom(COM_SELECT_DATA));
    dataComTimer->start(dataComIntervalMs);
}

void MainWindow::onSlotDataComConnected()
{
    setExportProgressLabel(tr("数据传输端口连接成功"));
    dataComsUp = true;
    if (dataComTimer->isActive())
        transferWatchdog->start();
    dataComTimer->stop();
}

// The status poll goes on once the instrument has been told that the transfer is over.
void MainWindow::onDataComConnectTimeOut()
{
    switch (dataComRetry.onTimeOut()) {
    case DataComRetry::Step::Retry:
        showDataComAttempt(libCom->connectCom(COM_SELECT_DATA));
        return;
    case DataComRetry::Step::GiveUp: {
        dataComTimer->stop();
        libCom->notifyPendingEnd();
        const bool readBack = runPhase.phase() == RunPhase::ReadBack;
        if (readBack)
            dropReadBack();
        else
            startStatusPoll();
        // A run says it once; its later groups that cannot connect get the cut-group notice only.
        if (readBack || !std::exchange(dataComFailureShown, true))
            OperatorPrompt::critical(nullptr, tr("通讯出错"), dataComGiveUpText());
        return;
    }
    case DataComRetry::Step::Nothing:
        return;
    }
}

void MainWindow::onSlotTransformChannelData(int channel, SampleDataControlParam *controlParam, char *data)
{
    if (!controlParam || markedCutShort(channel, data ? controlParam->dataLength : 0)
        || !blockAccepted(channel, data, *controlParam, taskIndex, stationSampleInfo.sampleInfoList.size()))
        return;
    SampleInfo &record = stationSampleInfo.sampleInfoList[taskIndex];
    record.MachineID = controlParam->machineID;
    if (controlParam->sampleStartTime != 0)
        record.SampleStartTime = controlParam->sampleStartTime;
    record.LineNum = controlParam->lineNum;
    record.StationNum = blockStationNum(stationSampleInfo.StationNum, controlParam->stationNum);
    currentSampleInfo = record;
    stationSampleInfo.MachineID = controlParam->machineID;
    dataModelIndex->saveTempChannelData(currentSampleInfo, controlParam->dataIndexNum, channelNameList.at(channel),
                                        data, unsigned(controlParam->dataLength));
    transferWatchdog->feed();
}

// A block shorter than its group needs cuts the group; the group's other blocks are not kept.
bool MainWindow::markedCutShort(int channel, qint64 dataLength)
{
    if (!taskIndexInRun() || channel < 0 || channel >= channelNameList.size())
        return false;
    if (transferDoneFlags.at(taskIndex) == TransferAwaited
        && blockCutShort(stationSampleInfo.sampleInfoList.at(taskIndex).ctrlParam, dataLength))
        transferDoneFlags[taskIndex] = TransferCut;
    return transferDoneFlags.at(taskIndex) == TransferCut;
}

// A repeated transfer end of a group already over changes nothing.
void MainWindow::onSlotTransformDataEnd(SampleDataControlParam *)
{
    if (!taskIndexInRun() || !expectsReply(RunPhase::TransferOver, "transfer end")
        || (transferDoneFlags.at(taskIndex) != TransferAwaited && transferDoneFlags.at(taskIndex) != TransferCut))
        return;
    finishGroupTransfer(transferDoneFlags.at(taskIndex) == TransferCut ? TransferGivenUp : TransferReceived);
    libCom->disconnectCom(COM_SELECT_DATA);
}

// The group's transfer is over; after the last group the poll resumes, and a real run with a
// group received waits for its save.
void MainWindow::finishGroupTransfer(char flag)
{
    formStatusBar->finishSampleProgress();
    transferDoneFlags[taskIndex] = flag;
    if (!allTransferred(transferDoneFlags))
        return;
    if (realSample == 1 && transferDoneFlags.contains(TransferReceived)) {
        enterPhase(RunPhase::SaveChoice);
        showGroupButtons();
        emit sampleOver();
    }
    startStatusPoll();
}

// A group whose blocks did not all arrive whole (a data connection lost or never made, or a
// block cut short) is no recording: its partial files go, the groups before it stay and the run
// goes on.
void MainWindow::dropCutShortGroup()
{
    dataModelIndex->discardCurrentTempSample();
    snackbar->addMessage(tr("第%1组数据传输不完整，已丢弃").arg(taskIndex + 1));
    if (transferDoneFlags.at(taskIndex) != TransferGivenUp)
        finishGroupTransfer(TransferGivenUp);
}

// Closing the data connections ends the pending transfer towards the instrument: for a run its
// group, for a read-back the station just saved, whose reply then asks for the next station.
void MainWindow::onSlotDataComDisconnected()
{
    dataComsUp = false;
    stationOverAwaited = runPhase.phase() == RunPhase::ReadBack;
    libCom->notifyPendingEnd();
}

// Nothing has moved for the watchdog's interval. A read-back ends; a run's group is cut.
void MainWindow::onTransferStalled(int times)
{
    if (runPhase.phase() == RunPhase::ReadBack) {
        saveReadBackGroupsSoFar();
        abortReadBack(tr("数据传输超时，数据导出已中止！"));
        return;
    }
    if (!taskIndexInRun()) {
        transferWatchdog->stop();
        return;
    }
    if (times == 1) {
        cutStalledRunGroup();
        return;
    }
    // The instrument has not answered the end of the transfer either: the group ends here.
    onSlotTransformDataFreqGroupOver();
}

// The instrument is told that the transfer is over (closing the data connections does that);
// its answer ends the group, as cut unless every block had arrived. The poll goes on meanwhile.
void MainWindow::cutStalledRunGroup()
{
    startStatusPoll();
    if (dataComsUp)
        libCom->disconnectCom(COM_SELECT_DATA);
    else
        libCom->notifyTransformDataEnd();
}

void MainWindow::onSlotTransformDataFreqGroupOver()
{
    if (!taskIndexInRun() || !expectsReply(RunPhase::TransferOver, "transfer over"))
        return;
    endGroup();
}

// The group is over; then the next group starts or the run ends. Once a stop is sent no group
// starts: its answer ends the run.
void MainWindow::endGroup()
{
    closeGroup();
    if (taskIndexInRun() && stopSent)
        return;
    if (taskIndexInRun()) {
        QByteArray none;
        runPhase.setGroupStep(RunPhase::StartSent);
        watchGroupStart();
        libCom->sendSampleStart(&none);
        return;
    }
    snackbar->addMessage(tr("采样完成"));
    finishRun();
}

// The group being handled is over: shown when it came whole, dropped with the notice otherwise.
void MainWindow::closeGroup()
{
    transferWatchdog->stop();
    currentSampleInfo = stationSampleInfo.sampleInfoList.at(taskIndex);
    if (transferDoneFlags.at(taskIndex) == TransferReceived)
        dataModelIndex->showTempSampleData(currentSampleInfo.LineNum, currentSampleInfo.StationNum, realSample != 0);
    else
        dropCutShortGroup();
    ++taskIndex;
    showGroupButtons();
    // The newest temporary recording; a dropped group has none.
    if (taskIndex > 1)
        shownGroup = transferDoneFlags.left(taskIndex).count(TransferReceived) - 1;
    runPhase.setGroupStep(RunPhase::NoGroup);
}

// After the last group: a trial run ends by itself, a real run waits for its save when a group
// came whole. Groups that did not come stay on the instrument, for a read-back.
void MainWindow::finishRun()
{
    if (realSample != 1) {
        endTrialRun();
        return;
    }
    if (transferDoneFlags.count(TransferReceived) < transferDoneFlags.size())
        snackbar->addMessage(tr("未传回的采样数据仍保存在仪器中，可通过数据导出读回"));
    if (runPhase.phase() == RunPhase::SaveChoice) {
        updateSaveEnabled();
        return;
    }
    // Nothing to save: the instrument's copy is the only one, so it is not dropped there.
    resetSampleRun();
    enterRestingPhase();
}

// Nothing more of an online run can come without the control connection: it ends here as after
// its last group, and the instrument is stopped once reached again. A finished run whose last
// group was not confirmed ends that group so that it can be saved.
void MainWindow::endRunOnLostConnection()
{
    const RunPhase::Phase phase = runPhase.phase();
    const bool online = phase == RunPhase::Sampling || phase == RunPhase::TrialRun || phase == RunPhase::SaveChoice;
    if (!online || !taskIndexInRun())
        return;
    dataComTimer->stop();
    samplingWatch->stop();
    dataComsUp = false;
    formStatusBar->finishSampleProgress();
    while (taskIndexInRun())
        closeGroup();
    statusPollTimer->stop();
    runLeftOnInstrument = true;
    finishRun();
}

// An online group's end is awaited for its duration, the wait until its planned start and a
// margin. (An offline run needs no watch: the status poll's idle report ends it.)
void MainWindow::armSamplingWatch()
{
    if (runOnLine)
        samplingWatch->start(samplingWatchMs(currentSampleInfo.ctrlParam, Clock::currentSecsSinceEpoch(),
                                             machineTimeOffset, samplingMarginMs));
}

// The instrument's word that the group has been sampled never came: the group is cut (it stays
// on the instrument for a read-back) and the run goes on. The link sends no start of the group
// again meanwhile: the start notification has answered it. A word that comes later finds the
// group no longer awaited.
void MainWindow::onSamplingOverdue()
{
    if (!taskIndexInRun() || !runOnLine || !runPhase.expects(RunPhase::GroupSampled))
        return;
    qWarning().noquote() << "no end of group" << taskIndex + 1 << "in time: the group is cut";
    endGroup();
}

// The instrument drops a trial run's groups by itself; the temporary recordings stay until the
// next run.
void MainWindow::endTrialRun()
{
    libCom->sendUnsaveData();
    enterRestingPhase();
    emit preSampleOver();
}

// The view switch for a real run's groups, the step back from the second group on.
void MainWindow::showGroupButtons()
{
    ui->tbtnSwitchView->setVisible(realSample == 1 && taskIndex > 0);
    ui->tbtnLastSampleGroup->setVisible(taskIndex > 1);
}

void MainWindow::onSlotSwitchDisplayAction()
{
    if (shownView == 0) {
        switchDisplayView(1);
        return;
    }
    switchDisplayView(0);
    onSlotLastSampleGroupAction();
}

// Walks back through the station's groups and wraps to the newest.
void MainWindow::onSlotLastSampleGroupAction()
{
    --shownGroup;
    if (shownGroup < 0)
        shownGroup = dataModelIndex->getTempSampleCount(stationSampleInfo.MachineID, stationSampleInfo.LineNum,
                                                        stationSampleInfo.StationNum)
                     - 1;
    dataModelIndex->showTempSampleTimeSeries(stationSampleInfo.LineNum, stationSampleInfo.StationNum, shownGroup);
}

// A refused save keeps the run and the save choice, so the operator can retry or discard. The
// saved record lists only the groups received whole, in step with the temporary recordings.
void MainWindow::onSlotSaveDataAction()
{
    if (refuseIn(RunPhase::Save))
        return;
    StationSampleInfo received = stationSampleInfo;
    received.sampleInfoList = receivedRecords(stationSampleInfo.sampleInfoList, transferDoneFlags);
    QString reason;
    if (!dataModelIndex->saveStationTempSampleData(received, stationNumAutoConfig, 0, &reason)) {
        OperatorPrompt::critical(nullptr, tr("出错"),
                                 tr("本站数据保存失败：%1\n请重新保存或放弃保存。").arg(reason));
        return;
    }
    formStatusBar->startSampleProgress(0, false, 0);
    stepStationNum();
    resetSampleRun();
    clearDataViews();
    enterRestingPhase();
}

// The discard drops the instrument's copy too, so no read-back can bring the station back: it
// is asked first, and the answer applies only to a save choice still waiting.
void MainWindow::onSlotUnsaveDataAction()
{
    if (refuseIn(RunPhase::Discard))
        return;
    const QString question = tr("放弃保存将删除本站采集的数据，仪器中的本站数据也将一并删除，"
                                "无法再通过数据导出读回。\n请确认是否放弃保存?");
    if (askYesNo(tr("温馨提示"), question) != QMessageBox::Yes || refuseIn(RunPhase::Discard))
        return;
    libCom->sendUnsaveData();
    clearDataViews();
    dataModelIndex->clearTempSampleData();
    resetSampleRun();
    enterRestingPhase();
}

void MainWindow::onPendingCalculationsChanged(int)
{
    updateSaveEnabled();
}

// The one rule that offers Save: the run's last group is over and no curve is still computed.
void MainWindow::updateSaveEnabled()
{
    ui->tbtnSave->setEnabled(runPhase.phase() == RunPhase::SaveChoice && !taskIndexInRun()
                             && dataModelIndex->pendingCalculationCount() == 0);
}

// The task dialog opens, and its tasks are taken, only while no run or read-back is on; a run
// keeps the tasks it started with.
void MainWindow::onSlotSampleTaskConfigAction()
{
    if (!refuseIn(RunPhase::TaskDialog))
        dialogSampleTask->sampleTaskDialogShow();
}

void MainWindow::onSlotTasksSettingSureClicked(QList<CtrlParam> list)
{
    if (refuseIn(RunPhase::TaskDialog)) {
        dialogSampleTask->setTaskList(taskList);
        return;
    }
    saveSystemConfig();
    taskList = list;
    clearDataViews();
    if (list.isEmpty())
        return;
    formTimeSeriesGraph->setSelectedChannelsDisplay(taskChannels(list.first()));
}

void MainWindow::showSampleTimeSeries(SampleInfo info)
{
    formTimeSeriesViewSet->resetViewSet();
    formStationInfo->setSampleInfo(info);
    int viewSize = 0;
    int yViewMode = 0;
    double yMin = 0.0;
    double yMax = 0.0;
    bool zeroDrift = false;
    formTimeSeriesViewSet->getTimeSeriesViewSetInfo(&viewSize, &yViewMode, &yMin, &yMax, &zeroDrift);
    const CtrlParam &task = info.ctrlParam;
    const qint64 duration = taskDurationSeconds(task);
    const std::optional<int> largest = largestDisplayLength(task.SampleRate, duration);
    if (largest)
        formTimeSeriesViewSet->setMaxViewSize(*largest);
    viewSize = clampedDisplayLength(viewSize, largest);
    formTimeSeriesGraph->setTimeSeriesData(task.SampleRate, duration, info.SampleStartTime, info.channelFiles, viewSize,
                                           zeroDrift, yViewMode, yMax, yMin);
    ChannelsUseInfo channels = taskChannels(task);
    formTimeSeriesViewSet->setChannelsUseInfo(&channels);
    switchDisplayView(0);
}

void MainWindow::showStationProcessData(QVector<OneFreqImpedance> e0, QVector<OneFreqImpedance> e1,
                                        QVector<OneFreqImpedance> e2)
{
    double apparentMax = 0.0;
    double apparentMin = 0.0;
    double trueMax = 0.0;
    double trueMin = 0.0;
    double depth = 0.0;
    formProcessDataViewSet->getProcessDataViewSetInfo(&apparentMax, &apparentMin, &trueMax, &trueMin, &depth);
    QList<ChannelImpedance> curves;
    const QVector<OneFreqImpedance> *groups[] = {&e0, &e1, &e2};
    for (int channel = 0; channel < 3; ++channel) {
        if (!groups[channel]->isEmpty())
            curves.append({channel, *groups[channel]});
    }
    updateSaveEnabled();
    if (curves.isEmpty())
        return;
    formProcessDataGraph->setProcessData(curves, apparentMax, apparentMin, trueMax, trueMin, depth);
    formProcessDataViewSet->setProcessDataViewUseInfo({!e0.isEmpty(), !e1.isEmpty(), !e2.isEmpty()});
    switchDisplayView(1);
}

// 0 the time series, 1 the impedance curves; another value is only remembered.
void MainWindow::switchDisplayView(int view)
{
    if (view == shownView)
        return;
    if (view == 0 || view == 1) {
        ui->stacked_SampleTask->setCurrentIndex(view);
        ui->stackedWidget_ViewSet->setCurrentIndex(view);
        ui->tbtnSwitchView->setText(view == 1 ? tr("时序图") : tr("阻抗图"));
    }
    shownView = view;
}

void MainWindow::clearDataViews()
{
    formTimeSeriesGraph->clearTimeSeriesGraph();
    formTimeSeriesViewSet->resetViewSet();
    formProcessDataGraph->clearProcessDataCurves();
    switchDisplayView(0);
    formStationInfo->clearInfo();
}
