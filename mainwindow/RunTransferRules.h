#ifndef RUNTRANSFERRULES_H
#define RUNTRANSFERRULES_H

#include "common/SampleDataControlParam.h"
#include "common/SampleInfo.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

// The texts and records of a run's requests and received blocks; no widgets here.

// The groups request: "ProjectID=", "LineNum=" and "StationNum=" lines, each ended by a line feed.
QByteArray groupsRequestText(const QString &projectId, int lineNum, double stationNum);

// A station number as the instrument takes it: truncated toward zero (0 when it does not fit).
qint32 instrumentStationNum(double stationNum);
// The transfer request: little-endian int32 line, int32 station (truncated), int32 0.
QByteArray transferRequestBytes(int lineNum, double stationNum);

// A channel block is taken only with data, a positive length, a channel 0 to 4 and a task
// index inside the run's list.
bool blockAccepted(int channel, const char *data, const SampleDataControlParam &param, int taskIndex, int taskCount);
// The station a block's recording keeps: the run's own unless the block names another station
// than the run's truncated one (the instrument only knows whole stations).
double blockStationNum(double runStationNum, qint32 blockStationNum);

// Transfer-done flags of a run's tasks: awaited, then received whole or given up (a data
// connection cut inside a block, or never made). A group with a short block stays cut until
// its transfer ends, and is then given up.
constexpr char TransferAwaited = 0;
constexpr char TransferReceived = 1;
constexpr char TransferGivenUp = 2;
constexpr char TransferCut = 3;
// Every task's transfer is over, received or given up (and there is at least one).
bool allTransferred(const QByteArray &transferDoneFlags);
// The records of the tasks whose groups were received whole, in task order.
QList<SampleInfo> receivedRecords(const QList<SampleInfo> &records, const QByteArray &transferDoneFlags);

// Sample bytes one channel block of the task brings: rate x duration x 4 (int32 samples).
qint64 groupBlockBytes(const CtrlParam &task);
// A block with fewer sample bytes than its group needs cuts the group: it is never saved short.
bool blockCutShort(const CtrlParam &task, qint64 dataLength);
// How long the end of a started group is awaited, in ms: its duration with a twentieth more, the
// wait until its planned start (the instrument's clock is the PC's plus the offset) and the
// margin; at most the longest a timer takes.
constexpr int SamplingWatchMarginMs = 120000;
int samplingWatchMs(const CtrlParam &task, qint64 nowSeconds, qint64 machineTimeOffset, int marginMs);
// How long a group's start notification is awaited, in ms: the wait until its planned start and
// the interval.
int startWatchMs(const CtrlParam &task, qint64 nowSeconds, qint64 machineTimeOffset, int intervalMs);
// Whether the task records the channel of a data connection (0 Hx, 1 Hy, 2 E2, 3 E1, 4 E0).
bool taskUsesChannel(const CtrlParam &task, int channel);

// The largest time-series display length for a recording of the rate and duration: the
// longest entry of the display lengths that the recording fills at least once; none when it
// is shorter than the shortest.
std::optional<int> largestDisplayLength(qint64 sampleRate, qint64 durationSeconds);
// The display length kept after a new largest one (the shortest entry when there is none).
int clampedDisplayLength(int displayLength, std::optional<int> largest);

// The read-back progress label while the data connections start: connecting, or retrying when
// the connect could not be started.
QString dataComConnectingLabel(bool connectStarted);
// The box (title "通讯出错") when the data connections never came up.
const QString &dataComGiveUpText();

#endif // RUNTRANSFERRULES_H
