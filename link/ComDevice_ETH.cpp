#include "link/ComDevice_ETH.h"

#include "link/ComAddress.h"
#include "link/ComSafeDelete.h"

#include <QHostAddress>
#include <QNetworkDatagram>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUdpSocket>

ComDevice_ETH::ComDevice_ETH(QObject* parent)
    : ComDevice(parent)
{
}

ComDevice_ETH::~ComDevice_ETH()
{
    close();
}

bool ComDevice_ETH::openPort()
{
    m_address = config().address;
    if (!m_address)
        return false;
    if (isTcp() && m_address->role == COM_ROLE_SERVER) {
        m_server = new QTcpServer();
        connect(m_server, &QTcpServer::newConnection, this, &ComDevice_ETH::onTcpComin);
        m_server->listen(QHostAddress::Any, m_address->port);
        return true;
    }
    if (isTcp()) {
        m_tcp = new QTcpSocket();
        connectClientSocket();
        return true;
    }
    m_udp = new QUdpSocket();
    if (!m_udp->bind(m_address->port)) {
        delete m_udp;
        m_udp = nullptr;
        return false;
    }
    // channelReadyRead, unlike readyRead, is also raised while a slot of the socket is running
    // a nested event loop, so a handler that waits for further messages gets them.
    connect(m_udp, &QUdpSocket::channelReadyRead, this, &ComDevice_ETH::onUdpRecved);
    return true;
}

void ComDevice_ETH::closePort()
{
    if (m_udp) {
        disconnect(m_udp, nullptr, this, nullptr);
        m_udp->close();
        ComSafeDelete::release(m_udp);
        m_udp = nullptr;
    }
    releaseTcpSocket();
    if (m_server) {
        disconnect(m_server, nullptr, this, nullptr);
        m_server->close();
        ComSafeDelete::release(m_server);
        m_server = nullptr;
    }
    m_address = nullptr;
}

bool ComDevice_ETH::connectPort()
{
    if (!isTcp() || m_address->role != COM_ROLE_CLIENT)
        return false;
    if (m_address->port == 0)
        return false; // nothing to connect to
    if (!m_tcp) {
        m_tcp = new QTcpSocket();
        connectClientSocket();
    }
    if (m_tcp->state() != QAbstractSocket::UnconnectedState)
        return false; // already connecting or connected: no new attempt starts
    m_tcp->connectToHost(m_address->host, m_address->port, QIODevice::ReadWrite, QAbstractSocket::AnyIPProtocol);
    return true;
}

bool ComDevice_ETH::writeFrame(QByteArray* frame)
{
    return frame && writeBytes(frame->constData(), frame->size());
}

bool ComDevice_ETH::writeBytes(const char* data, int length)
{
    if (!m_address)
        return false;
    if (isTcp())
        return m_tcp && m_tcp->state() == QAbstractSocket::ConnectedState && m_tcp->write(data, length) == length;
    return m_udp && m_udp->writeDatagram(data, length, QHostAddress(m_address->host), m_address->port) == length;
}

void ComDevice_ETH::disconnectPort()
{
    if (isTcp() && m_tcp)
        m_tcp->disconnectFromHost();
}

bool ComDevice_ETH::confirmsOnWrite() const
{
    return true;
}

bool ComDevice_ETH::connectedOnOpen() const
{
    return m_udp != nullptr;
}

void ComDevice_ETH::abortPort()
{
    // A socket still connecting would only close once connected (disconnectFromHost waits for that).
    if (isTcp() && m_tcp)
        m_tcp->abort();
}

void ComDevice_ETH::onTcpComin()
{
    ComSafeDelete::Scope scope;
    QTcpSocket* incoming = m_server ? m_server->nextPendingConnection() : nullptr;
    if (!incoming)
        return;
    releaseTcpSocket();
    incoming->setParent(nullptr); // owned by this device, not by the server
    m_tcp = incoming;
    connect(m_tcp, &QTcpSocket::disconnected, this, &ComDevice_ETH::onTcpDisconed);
    connect(m_tcp, &QTcpSocket::channelReadyRead, this, &ComDevice_ETH::onTcpRecved);
    ComConnected();
}

void ComDevice_ETH::onTcpConed()
{
    ComConnected();
}

void ComDevice_ETH::onTcpDisconed()
{
    ComClosed();
}

void ComDevice_ETH::onTcpRecved()
{
    if (m_tcp)
        receiveFrom(m_tcp);
}

void ComDevice_ETH::onUdpRecved()
{
    ComSafeDelete::Scope scope;
    QByteArray bytes;
    while (m_udp && m_udp->hasPendingDatagrams())
        bytes.append(m_udp->receiveDatagram().data());
    ComReceived(bytes);
}

bool ComDevice_ETH::isTcp() const
{
    return m_address && m_address->transport == COM_TRANSPORT_TCP;
}

void ComDevice_ETH::connectClientSocket()
{
    connect(m_tcp, &QTcpSocket::connected, this, &ComDevice_ETH::onTcpConed);
    connect(m_tcp, &QTcpSocket::disconnected, this, &ComDevice_ETH::onTcpDisconed);
    // channelReadyRead, unlike readyRead, is also raised while a slot of the socket is running
    // a nested event loop, so a handler that waits for further messages gets them.
    connect(m_tcp, &QTcpSocket::channelReadyRead, this, &ComDevice_ETH::onTcpRecved);
}

void ComDevice_ETH::releaseTcpSocket()
{
    if (!m_tcp)
        return;
    disconnect(m_tcp, nullptr, this, nullptr);
    m_tcp->close();
    ComSafeDelete::release(m_tcp);
    m_tcp = nullptr;
}
