#ifndef COMDEVICE_H
#define COMDEVICE_H

#include "link/ComBuffer_Array.h"
#include "link/ComBuffer_List.h"
#include "link/ComConfig.h"
#include "link/ComStatus.h"

#include <QByteArray>
#include <QObject>
#include <QString>

#include <atomic>

class ComSendThread;
class QIODevice;
class ComRecvThread;

// The transport under one connection: a send queue, a receive buffer and a flag set, reporting
// to its owner through plain callbacks. Sends run to completion in the caller and received bytes
// are processed in the receive slot, unless the configuration asks for worker threads.
class ComDevice : public QObject
{
    Q_OBJECT
public:
    using ConnectedCallback = void (*)(ComDevice* device);
    using ClosedCallback = void (*)(ComDevice* device);
    // Takes the frame over.
    using SentCallback = void (*)(ComDevice* device, QByteArray* frame);
    // Reads the buffer in place and reports how many bytes to drop from its front.
    using ReceivedCallback = void (*)(ComDevice* device, QByteArray* buffer, int* consumed);
    // Runs after a receive step has ended and the buffer is consistent again: whatever the step
    // extracted may now be delivered, and a delivery may re-enter the receive path.
    using ReceiveDoneCallback = void (*)(ComDevice* device);
    // Lets the owner read bytes that a message it is collecting still lacks straight from the
    // source into that message; returns how many it read (0: none wanted now).
    using ReceiveIntoCallback = qint64 (*)(ComDevice* device, QIODevice* source);

    explicit ComDevice(QObject* parent = nullptr);
    ~ComDevice() override;

    bool open(const ComConfig* config);
    void close();
    bool connectDevice();
    void disconnectDevice();
    void stop();
    // Drops the connection, or the attempt still under way, at once: nothing is flushed, and the
    // next connectDevice starts afresh.
    void abort();

    void setConnectedCallback(ConnectedCallback callback);
    void setClosedCallback(ClosedCallback callback);
    void setSentCallback(SentCallback callback);
    void setReceivedCallback(ReceivedCallback callback);
    void setReceiveDoneCallback(ReceiveDoneCallback callback);
    void setReceiveIntoCallback(ReceiveIntoCallback callback);

    bool send(QByteArray* frame);
    bool sendStep();
    void receiveStep();
    // Takes what the source has to read, as ComReceived does with a chunk, but without copying
    // the bytes of a collected message through the receive buffer.
    void receiveFrom(QIODevice* source);

    ComStatus* status();
    ComBuffer_List* sendQueue();
    ComBuffer_Array* receiveBuffer();
    const ComConfig& config() const;
    // Bytes received since the device was made, whoever reads them; a transfer's progress.
    qint64 bytesArrived() const { return m_bytesArrived; }

signals:
    void logMsg(QString msg);

public slots:
    void ComConnected();
    void ComClosed();
    void ComSended();
    void ComReceived(QByteArray& Data);

protected:
    virtual bool openPort() = 0;
    virtual void closePort() = 0;
    virtual bool connectPort() = 0;
    virtual bool writeFrame(QByteArray* frame) = 0;
    virtual bool writeBytes(const char* data, int length) = 0;
    virtual void disconnectPort() = 0;
    virtual bool confirmsOnWrite() const = 0;
    // A device that is connected the moment it is open (a bound datagram socket).
    virtual bool connectedOnOpen() const;
    // The port's part of abort(); a device without attempts of its own just disconnects.
    virtual void abortPort();

private:
    void startThreads();
    void stopThreads();
    void handOverSent(QByteArray* frame);
    void consumeReceived(QByteArray* buffer);
    void endReceiveStep();
    bool acquireOnThread(quint8 flag, bool threaded);

    ComConfig m_config;
    ComStatus m_status;
    ComBuffer_List m_sendQueue;
    ComBuffer_Array m_recvBuffer;
    ComSendThread* m_sendThread = nullptr;
    ComRecvThread* m_recvThread = nullptr;
    ConnectedCallback m_connectedCallback = nullptr;
    ClosedCallback m_closedCallback = nullptr;
    SentCallback m_sentCallback = nullptr;
    ReceivedCallback m_receivedCallback = nullptr;
    ReceiveDoneCallback m_receiveDoneCallback = nullptr;
    ReceiveIntoCallback m_receiveIntoCallback = nullptr;
    std::atomic<qint64> m_bytesArrived{0};
};

#endif // COMDEVICE_H
