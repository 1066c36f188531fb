// The watch of a run's start: from the click to the instrument's start notification of a group.
#include "mainwindow/MainWindow.h"

#include "common/Clock.h"
#include "common/Global_Variables.h"
#include "link/LibCom.h"
#include "mainwindow/RunTransferRules.h"
#include "mainwindow/StartWatch.h"
#include "projectdata/DataModel_Index.h"
#include "shell/OperatorPrompt.h"

#include <QDebug>
#include <QTimer>

namespace {

constexpr int idleWorkStatus = 0;
constexpr int busyWorkStatus = 1;

QString groupNotStartedText(int group)
{
    return QObject::tr("仪器没有开始第%1组采集！").arg(group);
}

} // namespace

void MainWindow::setStartWatchInterval(int ms)
{
    startWatch->setInterval(ms);
}

// The group's start notification is awaited past its planned start.
void MainWindow::watchGroupStart()
{
    if (taskIndexInRun())
        startWatch->arm(startWatchMs(stationSampleInfo.sampleInfoList.at(taskIndex).ctrlParam,
                                     Clock::currentSecsSinceEpoch(), machineTimeOffset, startWatch->interval()));
}

// The start sent got no notification: the instrument's status says whether it started. A status
// or groups request left unanswered means no start was sent: it is dropped.
void MainWindow::onStartNotificationOverdue()
{
    if (runPhase.groupStep() == RunPhase::StartSent && taskIndexInRun()) {
        qWarning().noquote() << "no start notification of group" << taskIndex + 1 << "in time: the status is asked";
        startWatch->awaitStatus();
        libCom->sendGetMachineStatus();
        return;
    }
    if (!runPhase.startRequested())
        return;
    const int group = taskIndex + 1;
    endUnstartedGroup();
    OperatorPrompt::warning(nullptr, tr("提醒"), groupNotStartedText(group));
}

// Not even the status came: the instrument may be sampling without a word, so the operator may
// stop it.
void MainWindow::onStartStatusOverdue()
{
    if (runPhase.groupStep() != RunPhase::StartSent || !taskIndexInRun())
        return;
    const int group = taskIndex + 1;
    endUnstartedGroup();
    if (askYesNo(tr("温馨提示"), tr("仪器没有回应第%1组的开始采集，是否停止仪器采集?").arg(group))
            != QMessageBox::Yes
        || !libCom->isNetWorkConnected())
        return;
    leftRunStopping = true;
    libCom->sendSampleStop();
}

// The status asked about an overdue start: busy takes the group as started, idle ends it.
bool MainWindow::decideOverdueStart(int workStatus)
{
    if (!startWatch->awaitsStatus() || runPhase.groupStep() != RunPhase::StartSent || !taskIndexInRun())
        return false;
    if (workStatus == busyWorkStatus) {
        qWarning().noquote() << "group" << taskIndex + 1 << "taken as started on a busy report";
        takeGroupStarted();
        return true;
    }
    if (workStatus != idleWorkStatus)
        return false;
    const int group = taskIndex + 1;
    endUnstartedGroup();
    OperatorPrompt::warning(nullptr, tr("提醒"), groupNotStartedText(group));
    return true;
}

void MainWindow::takeGroupStarted()
{
    startWatch->stop();
    currentSampleInfo = stationSampleInfo.sampleInfoList.at(taskIndex);
    if (runOnLine)
        showOnlineRunStart();
    else
        showOfflineRunStart();
    runPhase.setGroupStep(RunPhase::GroupSampling);
    armSamplingWatch();
}

// The instrument did not start the group asked for: an online run ends with the groups it has
// (the others reported as not received), a start in flight is dropped.
void MainWindow::endUnstartedGroup()
{
    startWatch->stop();
    const RunPhase::Phase phase = runPhase.phase();
    if (phase != RunPhase::Sampling && phase != RunPhase::TrialRun) {
        dropWaitingStart();
        return;
    }
    samplingWatch->stop();
    while (taskIndexInRun())
        closeGroup();
    finishRun();
}

// A start in flight cannot be confirmed without the connection: it is dropped, and an instrument
// that got an online start is stopped once reached again (an offline run goes on by itself).
void MainWindow::endStartOnLostConnection()
{
    if (!runPhase.starting())
        return;
    runLeftOnInstrument = runOnLine && runPhase.groupStep() == RunPhase::StartSent;
    dropWaitingStart();
}

// The data connections are closed by the stop's own handling.
bool MainWindow::keepReceivedGroupsOnStop()
{
    if (realSample != 1 || !transferDoneFlags.contains(TransferReceived))
        return false;
    samplingWatch->stop();
    startWatch->stop();
    // A group whose blocks were arriving is not whole.
    if (taskIndexInRun() && transferDoneFlags.at(taskIndex) != TransferReceived)
        dataModelIndex->discardCurrentTempSample();
    for (int group = taskIndex; group < transferDoneFlags.size(); ++group)
        transferDoneFlags[group] = TransferGivenUp;
    taskIndex = transferDoneFlags.size();
    runPhase.setGroupStep(RunPhase::NoGroup);
    enterPhase(RunPhase::SaveChoice);
    showGroupButtons();
    updateSaveEnabled();
    return true;
}

bool MainWindow::answerStillApplies(RunPhase::Action action)
{
    return !refuseIn(action) && libCom->isNetWorkConnected();
}
