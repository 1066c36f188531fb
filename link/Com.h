#ifndef COM_H
#define COM_H

#include "link/ComConfig.h"
#include "link/ComProtocol.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QList>
#include <QMap>
#include <QObject>
#include <QTimer>

class ComDevice;
class ComDevice_ETH;
class LibCom;
class QIODevice;

constexpr int COM_KIND_CONTROL = 1;    // frames to handlers by message ID; tracked requests
constexpr int COM_KIND_DATA = 2;       // one whole data frame at a time, by DataComDataRecv
constexpr int COM_KIND_EXPORT_LOG = 3; // one log message at a time, by DataComDataRecv

class Com;
// Called with ok = true and a copy of the payload that is released when the handler returns.
using ComMsgHandler = void (*)(Com* com, uint msgID, bool ok, QByteArray* payload);
// Whether an unanswered request with the ID is sent again.
using ComResendRule = bool (*)(uint msgID);

// One protocol connection to the instrument: owns its device, turns received bytes into whole
// messages by kind, and on the control kind tracks requests until they are answered, resending
// unanswered ones.
//
// Received messages are first extracted as owned copies into a queue of the connection, then
// delivered in order once the device's receive step is over. A handler or signal receiver that
// runs a nested event loop therefore never blocks the receive path: replies arriving meanwhile
// are extracted and delivered from the nested loop. Pointers handed to a handler or signal are
// valid only while it runs.
class Com : public QObject
{
    Q_OBJECT
public:
    static constexpr int DefaultTimeout = 100000;       // ms
    static constexpr int DefaultRetryCount = 3;
    static constexpr int DefaultRequestInterval = 1000; // ms

    Com(int kind, int index, QObject* parent = nullptr);
    ~Com() override;

    bool open(const ComConfig& config, LibCom* owner);
    void close();
    bool connectDevice();
    void disconnectDevice();
    void forceDisconnectDevice();
    // Ends the device's connection or connection attempt at once; see ComDevice::abort.
    void abortDevice();
    bool isConnected() const;

    LibCom* owner() const;
    int kind() const;
    int index() const;
    ComDevice_ETH* device() const;

    void setTimeout(int ms);
    void setRetryCount(int n);
    void setRequestInterval(int ms);
    // Without a rule every unanswered request is sent again; with one, a request the rule refuses
    // is dropped at its time-out and RequestUnanswered raised.
    void setResendRule(ComResendRule rule);

    void registerHandler(uint msgID, ComMsgHandler handler);
    ComMsgHandler handlerFor(uint msgID) const;

    bool sendRequest(uint msgID, const QByteArray* payload);
    bool sendMessage(uint msgID, const QByteArray* payload);
    void removeRequest(uint msgID);
    // Requests still tracked (queued or sent); once 0 nothing will be resent.
    int trackedRequestCount() const;

    void onDeviceReceived(ComDevice* device, QByteArray* buffer, int* consumed);
    void onDeviceSent(ComDevice* device, QByteArray* frame);
    void onDeviceConnected(ComDevice* device);
    void onDeviceClosed(ComDevice* device);
    bool unpackPayload(QByteArray* buffer, QByteArray** payload, int* length);

    static void deviceConnectedCallback(ComDevice* device);
    static void deviceClosedCallback(ComDevice* device);
    static void deviceSentCallback(ComDevice* device, QByteArray* frame);
    static void deviceReceivedCallback(ComDevice* device, QByteArray* buffer, int* consumed);
    static void deviceReceiveDoneCallback(ComDevice* device);
    static qint64 deviceReceiveIntoCallback(ComDevice* device, QIODevice* source);

signals:
    void Inited(Com* com);
    void Closed(Com* com);
    void DataComDataRecv(Com* com, bool ok, uint msgID, QByteArray* recvData);
    void RequestUnanswered(Com* com, uint msgID);

public slots:
    void OnRequestTimout();

private:
    struct Request
    {
        QByteArray* frame = nullptr;
        uint msgID = 0;
        qint64 time = 0; // ms on m_clock, when last queued
        int resends = 0;
    };
    // A whole received message: a control frame's payload, a data frame, or a log's bytes.
    struct Message
    {
        uint msgID = 0;
        QByteArray bytes;
    };
    // A data or log message being collected across chunks. Its buffer belongs to that message
    // alone: it goes with the message and is released once the message has been delivered, or
    // when the connection ends the message first. A whole day of one channel is tens of
    // megabytes; five of them must not stay allocated for the rest of the run.
    struct Collector
    {
        bool active = false;
        QByteArray buffer;
        qint64 total = 0;
        uint msgID = 0;
    };

    bool ownsDevice(ComDevice* device) const;
    void receiveControl(QByteArray* buffer, int* consumed);
    void receiveData(QByteArray* buffer, int* consumed);
    void receiveLog(QByteArray* buffer, int* consumed);
    void startCollecting(uint msgID, int total);
    void collect(QByteArray* buffer, int offset, int* consumed);
    qint64 collectFrom(QIODevice* source);
    void makeRoom(qint64 count);
    void finishIfCollected();
    void resetCollector();
    void deliverMessages();
    void deliver(Message& message);
    bool transmit(Request request);
    void expireQueued(qint64 now);
    void resendOrDropSent(qint64 now);
    static int indexOfFrame(const QList<Request>& table, const QByteArray* frame);
    void discardRequests();

    int m_kind;
    int m_index;
    ComConfig m_config;
    ComDevice_ETH* m_device = nullptr;
    bool m_connected = false;
    LibCom* m_owner = nullptr;
    ComProtocol m_protocol;
    Collector m_collector;
    QList<Message> m_inbox;
    QMap<uint, ComMsgHandler> m_handlers;
    QList<Request> m_queued; // handed to the device, oldest first
    QList<Request> m_sent;   // written, oldest first
    QTimer m_requestTimer;
    QElapsedTimer m_clock;
    int m_timeout = DefaultTimeout;
    int m_retryCount = DefaultRetryCount;
    ComResendRule m_resendRule = nullptr;
};

#endif // COM_H
