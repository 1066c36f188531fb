#include "mainwindow/RunTransferRules.h"

#include "common/Global_Constants.h"
#include "mainwindow/RunStartRules.h"
#include "mainwindow/RunStateRules.h"

#include <QCoreApplication>
#include <QtEndian>

#include <cmath>
#include <limits>

namespace {

constexpr int channelCount = 5;

void appendInt32(QByteArray &bytes, qint32 value)
{
    char le[4];
    qToLittleEndian(value, le);
    bytes.append(le, 4);
}

} // namespace

QByteArray groupsRequestText(const QString &projectId, int lineNum, double stationNum)
{
    return QStringLiteral("ProjectID=%1\nLineNum=%2\nStationNum=%3\n")
        .arg(projectId)
        .arg(lineNum)
        .arg(stationNumText(stationNum))
        .toUtf8();
}

qint32 instrumentStationNum(double stationNum)
{
    const double whole = std::trunc(stationNum);
    if (!std::isfinite(whole) || whole < std::numeric_limits<qint32>::min() ||
        whole > std::numeric_limits<qint32>::max())
        return 0;
    return qint32(whole);
}

QByteArray transferRequestBytes(int lineNum, double stationNum)
{
    QByteArray bytes;
    appendInt32(bytes, lineNum);
    appendInt32(bytes, instrumentStationNum(stationNum));
    appendInt32(bytes, 0);
    return bytes;
}

bool blockAccepted(int channel, const char *data, const SampleDataControlParam &param, int taskIndex, int taskCount)
{
    return data && param.dataLength > 0 && channel >= 0 && channel < channelCount && taskIndex >= 0 &&
           taskIndex < taskCount;
}

double blockStationNum(double runStationNum, qint32 blockStationNum)
{
    return blockStationNum == instrumentStationNum(runStationNum) ? runStationNum : double(blockStationNum);
}

bool allTransferred(const QByteArray &transferDoneFlags)
{
    if (transferDoneFlags.isEmpty())
        return false;
    for (char flag : transferDoneFlags) {
        if (flag != TransferReceived && flag != TransferGivenUp)
            return false;
    }
    return true;
}

QList<SampleInfo> receivedRecords(const QList<SampleInfo> &records, const QByteArray &transferDoneFlags)
{
    QList<SampleInfo> received;
    for (int i = 0; i < records.size() && i < transferDoneFlags.size(); ++i) {
        if (transferDoneFlags.at(i) == TransferReceived)
            received.append(records.at(i));
    }
    return received;
}

qint64 groupBlockBytes(const CtrlParam &task)
{
    return qint64(task.SampleRate) * taskDurationSeconds(task) * 4;
}

bool blockCutShort(const CtrlParam &task, qint64 dataLength)
{
    return dataLength < groupBlockBytes(task);
}

namespace {

qint64 secondsUntilPlannedStart(const CtrlParam &task, qint64 nowSeconds, qint64 machineTimeOffset)
{
    return qMax<qint64>(0, qint64(task.SampleStartTime) - nowSeconds - machineTimeOffset);
}

int timerMs(qint64 ms)
{
    return int(qMin<qint64>(ms, std::numeric_limits<int>::max()));
}

} // namespace

int samplingWatchMs(const CtrlParam &task, qint64 nowSeconds, qint64 machineTimeOffset, int marginMs)
{
    const qint64 duration = qMax<qint64>(0, taskDurationSeconds(task));
    const qint64 untilStart = secondsUntilPlannedStart(task, nowSeconds, machineTimeOffset);
    return timerMs((duration + duration / 20 + untilStart) * 1000 + qMax(0, marginMs));
}

int startWatchMs(const CtrlParam &task, qint64 nowSeconds, qint64 machineTimeOffset, int intervalMs)
{
    return timerMs(secondsUntilPlannedStart(task, nowSeconds, machineTimeOffset) * 1000 + qMax(0, intervalMs));
}

bool taskUsesChannel(const CtrlParam &task, int channel)
{
    const bool used[channelCount] = {task.HxChannelIsUse, task.HyChannelIsUse, task.E2ChannelIsUse,
                                     task.E1ChannelIsUse, task.E0ChannelIsUse};
    return channel >= 0 && channel < channelCount && used[channel];
}

std::optional<int> largestDisplayLength(qint64 sampleRate, qint64 durationSeconds)
{
    // In double: rate and duration from a file may be any values.
    const double total = double(sampleRate) * double(durationSeconds);
    for (auto it = viewSizeList.crbegin(); it != viewSizeList.crend(); ++it) {
        if (total >= *it)
            return *it;
    }
    return std::nullopt;
}

int clampedDisplayLength(int displayLength, std::optional<int> largest)
{
    const int limit = largest.value_or(viewSizeList.first());
    return displayLength > limit ? limit : displayLength;
}

QString dataComConnectingLabel(bool connectStarted)
{
    return connectStarted ? QCoreApplication::translate("MainWindow", "数据传输端口连接中...")
                          : QCoreApplication::translate("MainWindow", "数据传输端口连接失败，正在重试...");
}

const QString &dataComGiveUpText()
{
    static const QString text = QStringLiteral("数据端口未成功连接！");
    return text;
}
