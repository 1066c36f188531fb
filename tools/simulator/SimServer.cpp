#include "tools/simulator/SimServer.h"

#include "common/AMTMessageIds.h"
#include "tools/simulator/SimLink.h"

#include <QTcpServer>
#include <QTcpSocket>

namespace {
constexpr int FreePortAttempts = 64;
}

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
        if (wanted)
            servers[p]->listen(QHostAddress::LocalHost, quint16(base + p));
        else
            servers[p]->close();
    }
}

bool SimServer::listen(quint16 wanted)
{
    close();
    if (wanted != 0)
        return listenAll(wanted);
    // Let the system name a free port, then hope the six above it are free too.
    for (int attempt = 0; attempt < FreePortAttempts; ++attempt) {
        QTcpServer probe;
        if (!probe.listen(QHostAddress::LocalHost, 0))
            return false;
        const quint16 first = probe.serverPort();
        probe.close();
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
