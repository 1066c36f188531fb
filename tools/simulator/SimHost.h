#ifndef SIMHOST_H
#define SIMHOST_H

#include "tools/simulator/SimFrameReader.h"

#include <QHash>
#include <QTcpSocket>
#include <array>
#include <functional>

struct SimGroupTask;

// A bare host over raw sockets on 127.0.0.1, for tests and benchmarks that record many stations
// against a simulator: it sends a station's task, fetches each group on the data connections and
// ends each transfer as the program does, keeping nothing of the data but the frame counts.
class SimHost
{
public:
    explicit SimHost(quint16 basePort, int timeoutMs = 30000);

    // The control and the five data connections; false when one does not come up in time.
    bool connectAll();
    // Records the station of a task text of online groups; false when an answer did not come.
    bool recordStation(const QByteArray &taskText);
    int dataFramesReceived(int channel) const { return dataFrames[size_t(channel)]; }

private:
    bool waitUntil(const std::function<bool()> &done) const;
    // Sends a command and waits for its reply.
    bool command(uint32_t id, const QByteArray &payload);
    bool fetchGroup(int line, int station, const SimGroupTask &group);
    void readControl();
    void readData(int channel);

    quint16 base;
    int timeoutMs;
    QTcpSocket control;
    std::array<QTcpSocket, 5> data;
    SimFrameReader controlReader;
    std::array<SimFrameReader, 5> dataReaders;
    QHash<uint32_t, int> replies;
    std::array<int, 5> dataFrames{};
};

#endif // SIMHOST_H
