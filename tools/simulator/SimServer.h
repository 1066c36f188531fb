#ifndef SIMSERVER_H
#define SIMSERVER_H

#include "tools/simulator/SimFaultPlan.h"
#include "tools/simulator/SimFrameCodec.h"
#include "tools/simulator/SimJournal.h"

#include <QObject>

class QTcpServer;
class SimLink;

// The simulator's network side: the seven listening ports on 127.0.0.1 (control, five data,
// log export), one connection per port (a new one replaces the old), the journal of every frame
// and the scripted faults applied to what it sends. A port that the plan refuses stops
// listening before the next control frame goes out, and listens again once the rule is gone.
class SimServer : public QObject
{
    Q_OBJECT
public:
    explicit SimServer(QObject *parent = nullptr);
    ~SimServer() override;

    // Listens on base to base + 6; base 0 picks seven free consecutive ports below the range
    // the system takes the local ends of outgoing connections from.
    bool listen(quint16 base);
    void close();
    quint16 basePort() const { return base; }

    bool isConnected(int port) const { return links[port] != nullptr; }
    // Queues a frame on the port's connection, through the fault plan; false without a connection.
    bool send(int port, const QByteArray &frame);
    bool send(int port, uint32_t id, const QByteArray &payload);
    bool isDrained(int port) const;
    void disconnectPort(int port);

    SimJournal &journal() { return log; }
    SimFaultPlan &faults() { return plan; }

signals:
    void frameReceived(int port, const SimFrame &frame);
    void connected(int port);
    void disconnected(int port);
    void drained(int port);

private:
    bool listenAll(quint16 first);
    void accept(int port);
    void onFrame(SimLink *link, const SimFrame &frame, const QByteArray &raw);
    void onClosed(SimLink *link);
    void drop(int port);
    void applyRefusals();

    QTcpServer *servers[SimPortCount] = {};
    SimLink *links[SimPortCount] = {};
    quint16 base = 0;
    SimJournal log;
    SimFaultPlan plan;
};

#endif // SIMSERVER_H
