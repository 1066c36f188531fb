#include "tools/simulator/SimHost.h"

#include "common/AMTMessageIds.h"
#include "tools/simulator/SimJournal.h"
#include "tools/simulator/SimStationTask.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QHostAddress>

SimHost::SimHost(quint16 basePort, int timeoutMs)
    : base(basePort)
    , timeoutMs(timeoutMs)
{
    QObject::connect(&control, &QTcpSocket::readyRead, [this] { readControl(); });
    for (int c = 0; c < 5; ++c)
        QObject::connect(&data[size_t(c)], &QTcpSocket::readyRead, [this, c] { readData(c); });
}

bool SimHost::connectAll()
{
    control.connectToHost(QHostAddress::LocalHost, base);
    for (int c = 0; c < 5; ++c)
        data[size_t(c)].connectToHost(QHostAddress::LocalHost, quint16(base + SimFirstDataPort + c));
    return waitUntil([this] {
        bool up = control.state() == QAbstractSocket::ConnectedState;
        for (const QTcpSocket &socket : data)
            up = up && socket.state() == QAbstractSocket::ConnectedState;
        return up;
    });
}

bool SimHost::recordStation(const QByteArray &taskText)
{
    SimStationTask task;
    if (!SimStationTask::parse(taskText, &task))
        return false;
    for (int g = 0; g < task.groups.size(); ++g) {
        if (!command(AMT_CMD_SAMPLE_START, g == 0 ? taskText : QByteArray())
            || !fetchGroup(task.key.line, task.key.station, task.groups.at(g)))
            return false;
    }
    return true;
}

bool SimHost::waitUntil(const std::function<bool()> &done) const
{
    const QDeadlineTimer deadline(timeoutMs);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    }
    return true;
}

bool SimHost::command(uint32_t id, const QByteArray &payload)
{
    const int before = replies.value(id);
    control.write(SimFrameCodec::encode(id, payload));
    return waitUntil([&] { return replies.value(id) > before; });
}

// The transfer request names the station; the blocks of the used channels arrive, then the end
// notice brings the reply.
bool SimHost::fetchGroup(int line, int station, const SimGroupTask &group)
{
    const std::array<int, 5> before = dataFrames;
    const int repliesBefore = replies.value(AMT_CMD_TRANSFORM_DATA);
    control.write(SimFrameCodec::encode(AMT_CMD_TRANSFORM_DATA, SimFrameCodec::littleEndian(uint32_t(line))
                                                                     + SimFrameCodec::littleEndian(uint32_t(station))
                                                                     + QByteArray(4, '\0')));
    const bool received = waitUntil([&] {
        for (int c = 0; c < 5; ++c)
            if (group.channels[size_t(c)] && dataFrames[size_t(c)] == before[size_t(c)])
                return false;
        return true;
    });
    if (!received)
        return false;
    control.write(SimFrameCodec::encode(AMT_NOTIFY, SimFrameCodec::bigEndian(uint32_t(AMT_END_TRANSFORM_DATA))));
    return waitUntil([&] { return replies.value(AMT_CMD_TRANSFORM_DATA) > repliesBefore; });
}

void SimHost::readControl()
{
    controlReader.append(control.readAll());
    SimFrame frame;
    QByteArray raw;
    while (controlReader.next(&frame, &raw))
        if (frame.id != AMT_NOTIFY)
            ++replies[frame.id];
}

void SimHost::readData(int channel)
{
    SimFrameReader &reader = dataReaders[size_t(channel)];
    reader.append(data[size_t(channel)].readAll());
    SimFrame frame;
    QByteArray raw;
    while (reader.next(&frame, &raw))
        ++dataFrames[size_t(channel)];
}
