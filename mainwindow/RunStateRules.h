#ifndef RUNSTATERULES_H
#define RUNSTATERULES_H

#include "common/ChannelsUseInfo.h"
#include "common/CtrlParam.h"

#include <QString>

#include <array>
#include <optional>

// What the window's work state and a status report decide about the connection and the run;
// no widgets here. Work states are the values of WorkState.

// The status poll's interval while connected.
constexpr int statusPollIntervalMs = 8000;

// The information box (title "提醒") that refuses a disconnect; none when it may go on.
std::optional<QString> disconnectRefusal(int workState);

// What a status report leads to, by the instrument's work status and whether a start waits for
// an idle report.
enum class StatusReportAction {
    DropStart,      // busy while a start waited: the start is dropped with "仪器正在忙碌中，请稍后再开始采集！"
    FetchErrorWord, // error state
    Idle,           // go on with the idle handling
    Nothing,        // busy, or a state the program does not know
};
StatusReportAction statusReportAction(int workStatus, bool startWaits);
const QString &busyStartText();

// What an idle report sends: the groups request when a start waits on a configured project,
// the project configuration while an open project is not configured yet.
enum class IdleReportAction { SendGroupsRequest, SendProjectConfig, Nothing };
IdleReportAction idleReportAction(bool projectConfigured, bool projectOpen, bool startWaits);

// The work state of a run the instrument reports started.
int startedWorkState(bool online, int observationMode);
// The warning box (title "提醒") on the instrument's stop answer; none in other states.
std::optional<QString> sampleStoppedText(int workState);

// Snackbar notices naming a station (its number with 6 significant digits).
QString offlineStartNotice(int lineNum, double stationNum);
QString noRawDataNotice(int lineNum, double stationNum);

// A task's duration in seconds (in 64 bits: a task from a file may hold any field values) and the
// channels it records.
qint64 taskDurationSeconds(const CtrlParam &task);
ChannelsUseInfo taskChannels(const CtrlParam &task);

// The data connections a task needs, in the order Hx, Hy, E0, E1, E2.
std::array<char, 5> dataComMask(const CtrlParam &task);

#endif // RUNSTATERULES_H
