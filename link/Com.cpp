#include "link/Com.h"

#include "common/AMTMessageIds.h"
#include "link/ComBuffer_Array.h"
#include "link/ComDevice_ETH.h"
#include "link/ComSafeDelete.h"
#include "link/HugePageAdvice.h"

#include <QHash>
#include <QIODevice>
#include <QPointer>

#include <algorithm>
#include <utility>

namespace {

// Lets the plain device callbacks find the connection of a device.
QHash<ComDevice*, Com*>& comRegistry()
{
    static QHash<ComDevice*, Com*> registry;
    return registry;
}

Com* registeredCom(ComDevice* device)
{
    return comRegistry().value(device, nullptr);
}

// A collection buffer grows by doubling, so a large message is copied only a few times while it
// grows, yet never beyond twice the bytes that have arrived (or this much): the announced length
// of a message is untrusted.
constexpr qint64 MinCollectorGrowth = 1 << 20;

} // namespace

Com::Com(int kind, int index, QObject* parent)
    : QObject(parent)
    , m_kind(kind)
    , m_index(index)
{
    m_requestTimer.setInterval(DefaultRequestInterval);
    connect(&m_requestTimer, &QTimer::timeout, this, &Com::OnRequestTimout);
    m_clock.start();
}

Com::~Com()
{
    m_requestTimer.disconnect(this);
    close();
    discardRequests();
}

bool Com::open(const ComConfig& config, LibCom* owner)
{
    close();
    m_config = config;
    m_owner = owner;
    m_device = new ComDevice_ETH();
    m_device->setConnectedCallback(&Com::deviceConnectedCallback);
    m_device->setClosedCallback(&Com::deviceClosedCallback);
    m_device->setSentCallback(&Com::deviceSentCallback);
    m_device->setReceivedCallback(&Com::deviceReceivedCallback);
    m_device->setReceiveDoneCallback(&Com::deviceReceiveDoneCallback);
    m_device->setReceiveIntoCallback(&Com::deviceReceiveIntoCallback);
    comRegistry().insert(m_device, this);
    const bool opened = m_device->open(&m_config);
    if (m_kind == COM_KIND_CONTROL)
        m_requestTimer.start();
    return opened;
}

void Com::close()
{
    if (m_kind == COM_KIND_CONTROL)
        m_requestTimer.stop();
    if (m_device) {
        ComDevice_ETH* device = std::exchange(m_device, nullptr);
        comRegistry().remove(device);
        device->close();
        ComSafeDelete::release(device);
    }
    m_connected = false;
    resetCollector();
    m_config = ComConfig();
}

bool Com::connectDevice()
{
    return m_device && m_device->connectDevice();
}

void Com::disconnectDevice()
{
    if (m_device)
        m_device->disconnectDevice();
}

void Com::forceDisconnectDevice()
{
    if (!m_device)
        return;
    m_device->stop();
    m_connected = false;
}

void Com::abortDevice()
{
    if (!m_device)
        return;
    m_device->abort();
    m_connected = false;
}

bool Com::isConnected() const
{
    return m_connected;
}

LibCom* Com::owner() const
{
    return m_owner;
}

int Com::kind() const
{
    return m_kind;
}

int Com::index() const
{
    return m_index;
}

ComDevice_ETH* Com::device() const
{
    return m_device;
}

void Com::setTimeout(int ms)
{
    m_timeout = ms;
}

void Com::setRetryCount(int n)
{
    m_retryCount = n;
}

void Com::setRequestInterval(int ms)
{
    m_requestTimer.setInterval(ms);
}

void Com::setResendRule(ComResendRule rule)
{
    m_resendRule = rule;
}

void Com::registerHandler(uint msgID, ComMsgHandler handler)
{
    m_handlers.insert(msgID, handler);
}

ComMsgHandler Com::handlerFor(uint msgID) const
{
    return m_handlers.value(msgID, nullptr);
}

bool Com::sendRequest(uint msgID, const QByteArray* payload)
{
    Request request;
    request.frame = m_protocol.packFrame(msgID, payload);
    request.msgID = msgID;
    request.time = m_clock.elapsed();
    return transmit(request);
}

bool Com::sendMessage(uint msgID, const QByteArray* payload)
{
    QByteArray* frame = m_protocol.packFrame(msgID, payload);
    if (!m_device) {
        delete frame;
        return false;
    }
    return m_device->send(frame);
}

void Com::removeRequest(uint msgID)
{
    // The sent table is in time order: the first match is the oldest request with that ID.
    const auto match = std::find_if(m_sent.begin(), m_sent.end(),
                                    [msgID](const Request& request) { return request.msgID == msgID; });
    if (match == m_sent.end())
        return;
    delete match->frame;
    m_sent.erase(match);
}

int Com::trackedRequestCount() const
{
    return m_queued.size() + m_sent.size();
}

void Com::onDeviceReceived(ComDevice* device, QByteArray* buffer, int* consumed)
{
    if (!ownsDevice(device))
        return;
    switch (m_kind) {
    case COM_KIND_CONTROL:
        receiveControl(buffer, consumed);
        break;
    case COM_KIND_DATA:
        receiveData(buffer, consumed);
        break;
    case COM_KIND_EXPORT_LOG:
        receiveLog(buffer, consumed);
        break;
    default:
        *consumed = buffer->size();
        break;
    }
}

void Com::onDeviceSent(ComDevice* device, QByteArray* frame)
{
    const int at = ownsDevice(device) ? indexOfFrame(m_queued, frame) : -1;
    if (at < 0) {
        delete frame; // untracked (an end notice, or a request dropped while it was queued)
        return;
    }
    // Its age still counts from the moment it was queued.
    const Request request = m_queued.takeAt(at);
    const auto later = std::upper_bound(m_sent.begin(), m_sent.end(), request.time,
                                        [](qint64 time, const Request& other) { return time < other.time; });
    m_sent.insert(later, request);
}

void Com::onDeviceConnected(ComDevice* device)
{
    if (!ownsDevice(device))
        return;
    resetCollector();
    m_connected = true;
    emit Inited(this);
}

void Com::onDeviceClosed(ComDevice* device)
{
    if (!ownsDevice(device))
        return;
    resetCollector();
    m_connected = false;
    // Whole messages that arrived before the close still come before it.
    QPointer<Com> self(this);
    deliverMessages();
    if (self)
        emit Closed(this);
}

bool Com::unpackPayload(QByteArray* buffer, QByteArray** payload, int* length)
{
    QByteArray* frame = nullptr;
    int consumed = 0;
    const bool found = m_protocol.unpackFrame(buffer, &frame, &consumed);
    buffer->remove(0, consumed);
    if (!found)
        return false;
    *payload = m_protocol.framePayload(frame);
    *length = (*payload)->size();
    delete frame;
    return true;
}

void Com::deviceConnectedCallback(ComDevice* device)
{
    if (Com* com = registeredCom(device))
        com->onDeviceConnected(device);
}

void Com::deviceClosedCallback(ComDevice* device)
{
    if (Com* com = registeredCom(device))
        com->onDeviceClosed(device);
}

void Com::deviceSentCallback(ComDevice* device, QByteArray* frame)
{
    Com* com = registeredCom(device);
    if (!com) {
        delete frame;
        return;
    }
    if (frame)
        com->onDeviceSent(device, frame);
}

void Com::deviceReceivedCallback(ComDevice* device, QByteArray* buffer, int* consumed)
{
    Com* com = registeredCom(device);
    if (com && buffer)
        com->onDeviceReceived(device, buffer, consumed);
}

void Com::deviceReceiveDoneCallback(ComDevice* device)
{
    Com* com = registeredCom(device);
    if (com && com->ownsDevice(device))
        com->deliverMessages();
}

qint64 Com::deviceReceiveIntoCallback(ComDevice* device, QIODevice* source)
{
    Com* com = registeredCom(device);
    if (!com || !com->ownsDevice(device) || !source)
        return 0;
    return com->collectFrom(source);
}

void Com::OnRequestTimout()
{
    const qint64 now = m_clock.elapsed();
    expireQueued(now);
    resendOrDropSent(now);
}

bool Com::ownsDevice(ComDevice* device) const
{
    return device && device == m_device && registeredCom(device) == this;
}

void Com::receiveControl(QByteArray* buffer, int* consumed)
{
    QByteArray* frame = nullptr;
    if (!m_protocol.unpackFrame(buffer, &frame, consumed))
        return;
    Message message;
    message.msgID = ComProtocol::frameMsgID(frame);
    message.bytes = std::move(*frame);
    delete frame;
    message.bytes.remove(0, ComProtocol::HeaderSize);
    m_inbox.append(std::move(message));
}

void Com::receiveData(QByteArray* buffer, int* consumed)
{
    if (!m_collector.active) {
        uint msgID = 0;
        int total = 0;
        if (!m_protocol.parseFrameHeader(buffer, consumed, &msgID, &total))
            return;
        startCollecting(msgID, total);
    }
    collect(buffer, 0, consumed);
}

void Com::receiveLog(QByteArray* buffer, int* consumed)
{
    if (m_collector.active) {
        collect(buffer, 0, consumed);
        return;
    }
    uint msgID = 0;
    int count = 0;
    if (!m_protocol.parseLogHeader(buffer, consumed, &msgID, &count))
        return;
    startCollecting(msgID, count);
    collect(buffer, ComProtocol::LogHeaderSize, consumed);
}

void Com::startCollecting(uint msgID, int total)
{
    resetCollector();
    m_collector.active = true;
    m_collector.msgID = msgID;
    m_collector.total = total;
}

void Com::collect(QByteArray* buffer, int offset, int* consumed)
{
    const qint64 missing = m_collector.total - m_collector.buffer.size();
    const int count = int(qMin<qint64>(missing, buffer->size() - offset));
    makeRoom(count);
    m_collector.buffer.append(buffer->constData() + offset, count);
    *consumed = offset + count;
    finishIfCollected();
}

qint64 Com::collectFrom(QIODevice* source)
{
    if (!m_collector.active)
        return 0;
    const qint64 missing = m_collector.total - m_collector.buffer.size();
    const qint64 count = qMin(missing, source->bytesAvailable());
    makeRoom(count);
    const qint64 read = ComBuffer_Array::readOnto(&m_collector.buffer, source, count);
    finishIfCollected();
    return read;
}

void Com::makeRoom(qint64 count)
{
    QByteArray& collected = m_collector.buffer;
    const qint64 needed = collected.size() + count;
    if (needed <= collected.capacity())
        return;
    collected.reserve(int(qMin(m_collector.total, qMax(2 * needed, MinCollectorGrowth))));
    adviseHugePages(collected.data(), collected.capacity() + 1); // with the array's terminating byte
}

void Com::finishIfCollected()
{
    if (!m_collector.active || m_collector.buffer.size() < m_collector.total)
        return;
    Message message;
    message.msgID = m_collector.msgID;
    message.bytes = std::move(m_collector.buffer);
    resetCollector();
    const char* payload = nullptr;
    int length = 0;
    if (m_kind == COM_KIND_DATA && !m_protocol.checkFrame(&message.bytes, &payload, &length))
        return; // a data frame that fails its check is dropped; the next one starts afresh
    m_inbox.append(std::move(message));
}

// Ends the message in progress and releases its buffer.
void Com::resetCollector()
{
    m_collector = Collector();
}

void Com::deliverMessages()
{
    // A handler may run a nested event loop that receives and delivers further messages, or
    // even delete this connection: take each message out before it is delivered. Its bytes are
    // released when it has been delivered (unless the receiver kept a copy).
    QPointer<Com> self(this);
    while (self && !m_inbox.isEmpty()) {
        Message message = m_inbox.takeFirst();
        deliver(message);
    }
}

void Com::deliver(Message& message)
{
    if (m_kind != COM_KIND_CONTROL) {
        emit DataComDataRecv(this, true, message.msgID, &message.bytes);
        return;
    }
    // A reply answers the oldest request with its ID; notifications are retired by sub-code.
    if (message.msgID != AMT_NOTIFY)
        removeRequest(message.msgID);
    if (ComMsgHandler handler = handlerFor(message.msgID))
        handler(this, message.msgID, true, &message.bytes);
}

bool Com::transmit(Request request)
{
    if (!m_device) {
        delete request.frame;
        return false;
    }
    m_queued.append(request);
    if (m_device->send(request.frame))
        return true;
    // The device has released the frame; only its address is compared here.
    const int at = indexOfFrame(m_queued, request.frame);
    if (at >= 0)
        m_queued.removeAt(at);
    return false;
}

void Com::expireQueued(qint64 now)
{
    // An expired queued frame stays with the device, which hands it back once written.
    m_queued.erase(std::remove_if(m_queued.begin(), m_queued.end(),
                                  [&](const Request& request) { return now - request.time > m_timeout; }),
                   m_queued.end());
}

void Com::resendOrDropSent(qint64 now)
{
    QList<Request> due;
    for (auto it = m_sent.begin(); it != m_sent.end();) {
        if (now - it->time > m_timeout) {
            due.append(*it);
            it = m_sent.erase(it);
        } else {
            ++it;
        }
    }
    QList<uint> unanswered;
    for (Request request : due) {
        if (m_resendRule && !m_resendRule(request.msgID)) {
            delete request.frame;
            unanswered.append(request.msgID);
            continue;
        }
        if (request.resends >= m_retryCount) {
            delete request.frame;
            continue;
        }
        request.resends += 1;
        request.time = now;
        transmit(request);
    }
    QPointer<Com> self(this);
    for (uint msgID : qAsConst(unanswered)) {
        if (self)
            emit RequestUnanswered(this, msgID);
    }
}

int Com::indexOfFrame(const QList<Request>& table, const QByteArray* frame)
{
    for (int i = 0; i < table.size(); ++i) {
        if (table.at(i).frame == frame)
            return i;
    }
    return -1;
}

void Com::discardRequests()
{
    for (const Request& request : qAsConst(m_sent))
        delete request.frame;
    m_sent.clear();
    m_queued.clear(); // their frames belong to the device
}
