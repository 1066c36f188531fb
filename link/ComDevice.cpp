#include "link/ComDevice.h"

#include "link/ComRecvThread.h"
#include "link/ComSafeDelete.h"
#include "link/ComSendThread.h"

#include <QIODevice>

namespace {
constexpr quint8 AllFlags = 0xFF;
// Bytes outside a collected message pass the receive buffer in pieces of this size, so that the
// rest of a message is read straight into it once its header is known.
constexpr qint64 ReceivePiece = 32 * 1024;
} // namespace

ComDevice::ComDevice(QObject* parent)
    : QObject(parent)
{
}

ComDevice::~ComDevice()
{
    stopThreads();
}

bool ComDevice::open(const ComConfig* config)
{
    m_config = config ? *config : ComConfig();
    if (!openPort())
        return false;
    m_status.set(COM_STATUS_OPENED);
    if (connectedOnOpen())
        ComConnected();
    return true;
}

void ComDevice::close()
{
    m_status.clear(AllFlags);
    stopThreads();
    m_status.clear(AllFlags);
    closePort();
    m_sendQueue.clear();
    m_recvBuffer.clear();
    m_connectedCallback = nullptr;
    m_closedCallback = nullptr;
    m_sentCallback = nullptr;
    m_receivedCallback = nullptr;
    m_receiveDoneCallback = nullptr;
    m_receiveIntoCallback = nullptr;
    m_config = ComConfig();
}

bool ComDevice::connectDevice()
{
    return m_status.test(COM_STATUS_OPENED) && connectPort();
}

void ComDevice::disconnectDevice()
{
    disconnectPort();
    m_status.clear(COM_STATUS_CONNECTED);
}

void ComDevice::stop()
{
    disconnectDevice();
}

void ComDevice::abort()
{
    abortPort();
    m_status.clear(COM_STATUS_CONNECTED);
}

void ComDevice::setConnectedCallback(ConnectedCallback callback)
{
    m_connectedCallback = callback;
}

void ComDevice::setClosedCallback(ClosedCallback callback)
{
    m_closedCallback = callback;
}

void ComDevice::setSentCallback(SentCallback callback)
{
    m_sentCallback = callback;
}

void ComDevice::setReceivedCallback(ReceivedCallback callback)
{
    m_receivedCallback = callback;
}

void ComDevice::setReceiveDoneCallback(ReceiveDoneCallback callback)
{
    m_receiveDoneCallback = callback;
}

void ComDevice::setReceiveIntoCallback(ReceiveIntoCallback callback)
{
    m_receiveIntoCallback = callback;
}

bool ComDevice::send(QByteArray* frame)
{
    if (!frame)
        return false;
    if (!m_status.test(COM_STATUS_CONNECTED)) {
        delete frame;
        return false;
    }
    m_sendQueue.push(frame);
    if (m_config.useSendThread)
        return true;
    return sendStep();
}

bool ComDevice::sendStep()
{
    const bool threaded = m_config.useSendThread;
    if (!m_status.test(COM_STATUS_CONNECTED))
        return false;
    if (!acquireOnThread(COM_STATUS_SENDING, threaded))
        return true; // queued behind a write that awaits its confirmation (ComSended)
    QByteArray* frame = threaded ? m_sendQueue.waitFront() : m_sendQueue.front();
    if (!frame) {
        m_status.clear(COM_STATUS_SENDING);
        return false;
    }
    const bool written = writeFrame(frame);
    if (written && !confirmsOnWrite())
        return true;
    m_sendQueue.pop();
    if (written)
        handOverSent(frame);
    else
        delete frame;
    m_status.clear(COM_STATUS_SENDING);
    return written;
}

void ComDevice::receiveStep()
{
    const bool threaded = m_config.useRecvThread;
    if (!acquireOnThread(COM_STATUS_RECEIVING, threaded))
        return;
    QByteArray* buffer = threaded ? m_recvBuffer.waitData() : m_recvBuffer.data();
    consumeReceived(buffer);
    endReceiveStep();
}

void ComDevice::receiveFrom(QIODevice* source)
{
    ComSafeDelete::Scope scope;
    m_bytesArrived += source->bytesAvailable();
    if (m_config.useRecvThread || !m_status.tryAcquire(COM_STATUS_RECEIVING)) {
        m_recvBuffer.appendFrom(source, source->bytesAvailable());
        return;
    }
    // Bytes in the receive buffer come first; only behind them may the owner read directly.
    while (source->bytesAvailable() > 0) {
        if (m_recvBuffer.isEmpty() && m_receiveIntoCallback && m_receiveIntoCallback(this, source) > 0)
            continue;
        if (m_recvBuffer.appendFrom(source, ReceivePiece) <= 0)
            break;
        consumeReceived(m_recvBuffer.data());
    }
    endReceiveStep();
}

ComStatus* ComDevice::status()
{
    return &m_status;
}

ComBuffer_List* ComDevice::sendQueue()
{
    return &m_sendQueue;
}

ComBuffer_Array* ComDevice::receiveBuffer()
{
    return &m_recvBuffer;
}

const ComConfig& ComDevice::config() const
{
    return m_config;
}

void ComDevice::ComConnected()
{
    ComSafeDelete::Scope scope;
    if (!m_status.test(COM_STATUS_OPENED))
        return;
    m_recvBuffer.clear(); // a new connection never continues the bytes of an old one
    m_status.set(COM_STATUS_CONNECTED);
    startThreads();
    if (m_connectedCallback)
        m_connectedCallback(this);
}

void ComDevice::ComClosed()
{
    ComSafeDelete::Scope scope;
    m_status.clear(COM_STATUS_CONNECTED);
    stopThreads();
    m_recvBuffer.clear();
    if (m_closedCallback)
        m_closedCallback(this);
}

void ComDevice::ComSended()
{
    ComSafeDelete::Scope scope;
    if (confirmsOnWrite())
        return;
    QByteArray* frame = m_sendQueue.pop();
    if (frame)
        handOverSent(frame);
    m_status.clear(COM_STATUS_SENDING);
    if (!m_config.useSendThread && m_sendQueue.front())
        sendStep();
}

void ComDevice::ComReceived(QByteArray& Data)
{
    ComSafeDelete::Scope scope;
    if (Data.isEmpty() && !m_config.useRecvThread)
        return;
    m_bytesArrived += Data.size();
    m_recvBuffer.append(Data);
    if (!m_config.useRecvThread)
        receiveStep();
}

bool ComDevice::connectedOnOpen() const
{
    return false;
}

void ComDevice::abortPort()
{
    disconnectPort();
}

void ComDevice::startThreads()
{
    if (m_config.useSendThread && !m_sendThread) {
        m_sendThread = new ComSendThread(this);
        m_sendThread->start();
    }
    if (m_config.useRecvThread && !m_recvThread) {
        m_recvThread = new ComRecvThread(this);
        m_recvThread->start();
    }
}

void ComDevice::stopThreads()
{
    QThread* threads[] = {m_sendThread, m_recvThread};
    m_sendThread = nullptr;
    m_recvThread = nullptr;
    for (QThread* thread : threads) {
        if (!thread)
            continue;
        thread->requestInterruption();
        // Wake every wait the loop may be in until it has seen the request.
        while (!thread->wait(10)) {
            m_sendQueue.wake();
            m_recvBuffer.wake();
            m_status.clear(COM_STATUS_SENDING | COM_STATUS_RECEIVING);
        }
        delete thread;
    }
}

void ComDevice::handOverSent(QByteArray* frame)
{
    if (m_sentCallback)
        m_sentCallback(this, frame);
    else
        delete frame;
}

void ComDevice::consumeReceived(QByteArray* buffer)
{
    // A partial message stays for the next chunk.
    while (m_receivedCallback && !buffer->isEmpty()) {
        int consumed = 0;
        m_receivedCallback(this, buffer, &consumed);
        m_recvBuffer.take(consumed);
        if (consumed <= 0)
            break;
    }
}

void ComDevice::endReceiveStep()
{
    m_status.clear(COM_STATUS_RECEIVING);
    if (m_receiveDoneCallback)
        m_receiveDoneCallback(this);
}

bool ComDevice::acquireOnThread(quint8 flag, bool threaded)
{
    // Without a worker thread the step runs on the caller's thread, where a wait could only
    // wait for itself.
    return threaded ? m_status.acquire(flag) : m_status.tryAcquire(flag);
}
