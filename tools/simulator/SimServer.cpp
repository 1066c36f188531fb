#include "tools/simulator/SimServer.h"

#include "common/AMTMessageIds.h"
#include "tools/simulator/SimLink.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTcpServer>
#include <QTcpSocket>

namespace {
constexpr int FreePortAttempts = 64;
constexpr int LowestFreePort = 10000;

// The first port of the system's range for the local ends of outgoing connections.
int firstEphemeralPort()
{
    QFile range(QStringLiteral("/proc/sys/net/ipv4/ip_local_port_range"));
    bool ok = false;
    int first = 0;
    if (range.open(QIODevice::ReadOnly))
        first = QString::fromLatin1(range.readAll()).simplified().section(' ', 0, 0).toInt(&ok);
    return ok ? first : 32768;
}

// A first port to try for the seven, below the system's range for outgoing connections: a port
// there that a refusal closes is never taken meanwhile by a client's end (a loopback connection
// to a closed port in that range may even connect to itself), so it can listen again once the
// refusal is gone. Where that range leaves no room, the system names a free port and the six
// above it are hoped free too. 0 when no port can be had.
quint16 freeBaseCandidate()
{
    const int last = firstEphemeralPort() - SimPortCount;
    if (last > LowestFreePort)
        return quint16(QRandomGenerator::global()->bounded(LowestFreePort, last + 1));
    QTcpServer probe;
    return probe.listen(QHostAddress::LocalHost, 0) ? probe.serverPort() : quint16(0);
}
} // namespace

SimServer::SimServer(QObject *parent) : QObject(parent)
{
}

SimServer::~SimServer()
{
    close();
}

bool SimServer::listenAll(quint16 first)
{
    if (int(first) + SimPortCount - 1 > 65535)
        return false;
    for (int p = 0; p < SimPortCount; ++p) {
        servers[p] = new QTcpServer(this);
        connect(servers[p], &QTcpServer::newConnection, this, [this, p] { accept(p); });
        if (!servers[p]->listen(QHostAddress::LocalHost, quint16(first + p))) {
            close();
            return false;
        }
    }
    base = first;
    applyRefusals();
    return true;
}

void SimServer::applyRefusals()
{
    for (int p = 0; p < SimPortCount; ++p) {
        const bool wanted = !plan.refuses(p);
        if (!servers[p] || servers[p]->isListening() == wanted)
            continue;
        if (wanted) {
            if (!servers[p]->listen(QHostAddress::LocalHost, quint16(base + p)))
                qWarning("port %d cannot listen again: %s", base + p, qPrintable(servers[p]->errorString()));
        } else {
            servers[p]->close();
        }
    }
}

bool SimServer::listen(quint16 wanted)
{
    close();
    if (wanted != 0)
        return listenAll(wanted);
    for (int attempt = 0; attempt < FreePortAttempts; ++attempt) {
        const quint16 first = freeBaseCandidate();
        if (first == 0)
            return false;
        if (listenAll(first))
            return true;
    }
    return false;
}

void SimServer::close()
{
    for (int p = 0; p < SimPortCount; ++p) {
        drop(p);
        delete servers[p];
        servers[p] = nullptr;
    }
    base = 0;
}

void SimServer::accept(int port)
{
    while (QTcpSocket *socket = servers[port]->nextPendingConnection()) {
        drop(port);
        auto *link = new SimLink(port, socket, this);
        links[port] = link;
        connect(link, &SimLink::frameReceived, this, &SimServer::onFrame);
        connect(link, &SimLink::closed, this, &SimServer::onClosed);
        connect(link, &SimLink::drained, this, [this](SimLink *l) { emit drained(l->port()); });
        emit connected(port);
    }
}

void SimServer::drop(int port)
{
    SimLink *link = links[port];
    if (!link)
        return;
    links[port] = nullptr;
    link->disconnect(this);
    link->abort();
    link->deleteLater();
}

void SimServer::disconnectPort(int port)
{
    if (!links[port])
        return;
    drop(port);
    emit disconnected(port);
}

void SimServer::onClosed(SimLink *link)
{
    if (links[link->port()] == link)
        disconnectPort(link->port());
}

void SimServer::onFrame(SimLink *link, const SimFrame &frame, const QByteArray &raw)
{
    SimJournalEntry entry;
    entry.direction = SimJournalEntry::Received;
    entry.port = link->port();
    entry.id = frame.id;
    entry.size = raw.size();
    entry.bytes = raw;
    log.record(entry);
    emit frameReceived(link->port(), frame);
}

bool SimServer::send(int port, uint32_t id, const QByteArray &payload)
{
    return send(port, SimFrameCodec::encode(id, payload));
}

bool SimServer::send(int port, const QByteArray &frame)
{
    if (port == SimControlPort)
        applyRefusals();
    SimLink *link = links[port];
    if (!link)
        return false;
    SimJournalEntry entry;
    entry.direction = SimJournalEntry::Sent;
    entry.port = port;
    entry.id = SimFrameCodec::readBigEndian(frame.constData());
    entry.size = frame.size();
    entry.bytes = frame.left(log.byteLimit());
    SimFault fault;
    const bool faulty = plan.take(port, entry.id, entry.subCode(), &fault);
    if (faulty)
        entry.fault = fault.describe();
    log.record(entry);
    if (faulty)
        link->send(frame, fault);
    else
        link->send(frame);
    return true;
}

bool SimServer::isDrained(int port) const
{
    return !links[port] || links[port]->isDrained();
}
