#include "link/ComAddress.h"
#include "link/ComDevice_ETH.h"
#include "link/ComProtocol.h"

#include <QTcpServer>
#include <QTcpSocket>
#include <QUdpSocket>
#include <QtTest>

#include <memory>
#include <mutex>

namespace {

// What the plain callbacks saw; the worker-thread test calls them from other threads (a standard
// lock, which the thread sanitizer sees).
struct DeviceEvents
{
    std::mutex mutex;
    int connected = 0;
    int closed = 0;
    QList<QByteArray> sent;
    QList<int> queuedWhenSent;
    QList<QByteArray> frames;
    int receivedCalls = 0;

    int count(const QList<QByteArray>& list)
    {
        const std::lock_guard<std::mutex> lock(mutex);
        return list.size();
    }
};

DeviceEvents* events = nullptr;

void onConnected(ComDevice*)
{
    ++events->connected;
}

void onClosed(ComDevice*)
{
    ++events->closed;
}

void onSent(ComDevice* device, QByteArray* frame)
{
    std::unique_ptr<QByteArray> owned(frame);
    const std::lock_guard<std::mutex> lock(events->mutex);
    events->sent.append(*frame);
    events->queuedWhenSent.append(device->sendQueue()->count());
}

void onReceived(ComDevice*, QByteArray* buffer, int* consumed)
{
    QByteArray* frame = nullptr;
    const bool found = ComProtocol::unpackFrame(buffer, &frame, consumed);
    const std::lock_guard<std::mutex> lock(events->mutex);
    ++events->receivedCalls;
    if (found)
        events->frames.append(*std::unique_ptr<QByteArray>(frame));
}

void installCallbacks(ComDevice* device)
{
    device->setConnectedCallback(onConnected);
    device->setClosedCallback(onClosed);
    device->setSentCallback(onSent);
    device->setReceivedCallback(onReceived);
}

QByteArray frameOf(uint msgID, const QByteArray& payload)
{
    return *std::unique_ptr<QByteArray>(ComProtocol::packFrame(msgID, &payload));
}

QByteArray* newFrame(uint msgID, const QByteArray& payload)
{
    return new QByteArray(frameOf(msgID, payload));
}

quint16 freePort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

// A device whose writes are recorded and confirmed when the test says so.
class FakeDevice : public ComDevice
{
public:
    bool confirms = true;
    bool writeSucceeds = true;
    QList<QByteArray> written;

    ~FakeDevice() override { close(); }

protected:
    bool openPort() override { return true; }
    void closePort() override {}
    bool connectPort() override { return true; }
    bool writeFrame(QByteArray* frame) override { return writeBytes(frame->constData(), frame->size()); }
    bool writeBytes(const char* data, int length) override
    {
        written.append(QByteArray(data, length));
        return writeSucceeds;
    }
    void disconnectPort() override {}
    bool confirmsOnWrite() const override { return confirms; }
};

} // namespace

class TestDevice : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void statusFlags();
    void sendBeforeConnectedQueuesNothing();
    void tcpClientSendsAndReceives();
    void disconnectAndReconnect();
    void connectAttempts();
    void unconfirmedWritesWaitInQueue();
    void failedWriteReleasesFrame();
    void serverRoleTakesNewestConnection();
    void udpRoleIsConnectedWhenOpen();
    void workerThreadsStartAndStop();

private:
    // A TCP client device connected to m_server; m_peer is the server's side.
    void connectClient(ComDevice_ETH* device);

    std::unique_ptr<DeviceEvents> m_events;
    ComAddress m_address;
    ComConfig m_config;
    QTcpServer m_server;
    QTcpSocket* m_peer = nullptr;
};

void TestDevice::init()
{
    m_events.reset(new DeviceEvents);
    events = m_events.get();
    m_address = ComAddress();
    m_config = ComConfig();
    m_config.address = &m_address;
    QVERIFY(m_server.listen(QHostAddress::LocalHost, 0));
    m_peer = nullptr;
}

void TestDevice::cleanup()
{
    m_server.close();
    delete m_peer;
    m_peer = nullptr;
    events = nullptr;
    m_events.reset();
}

void TestDevice::connectClient(ComDevice_ETH* device)
{
    m_address.host = "127.0.0.1";
    m_address.port = m_server.serverPort();
    installCallbacks(device);
    QVERIFY(device->open(&m_config));
    QVERIFY(device->connectDevice());
    QTRY_COMPARE(m_events->connected, 1);
    QTRY_VERIFY(m_server.hasPendingConnections());
    m_peer = m_server.nextPendingConnection();
    QVERIFY(device->status()->test(COM_STATUS_OPENED | COM_STATUS_CONNECTED));
}

void TestDevice::statusFlags()
{
    ComStatus status;
    QVERIFY(status.test(0));
    QVERIFY(!status.tryAcquire(COM_STATUS_SENDING)); // not connected
    status.set(COM_STATUS_OPENED | COM_STATUS_CONNECTED);
    QVERIFY(status.tryAcquire(COM_STATUS_SENDING));
    QVERIFY(!status.tryAcquire(COM_STATUS_SENDING)); // held
    QVERIFY(status.acquire(COM_STATUS_RECEIVING));
    status.clear(COM_STATUS_CONNECTED);
    QCOMPARE(status.flags(), COM_STATUS_OPENED);
    QVERIFY(!status.test(0));
    status.set(0);
    QVERIFY(status.test(0));
}

void TestDevice::sendBeforeConnectedQueuesNothing()
{
    ComDevice_ETH device;
    m_address.host = "127.0.0.1";
    m_address.port = m_server.serverPort();
    installCallbacks(&device);
    QVERIFY(device.open(&m_config));
    QVERIFY(!device.send(newFrame(0xAA550008, {})));
    QCOMPARE(device.sendQueue()->count(), 0);
    QVERIFY(m_events->sent.isEmpty());
}

void TestDevice::tcpClientSendsAndReceives()
{
    ComDevice_ETH device;
    connectClient(&device);

    const QByteArray first = frameOf(0xAA550008, {});
    const QByteArray second = frameOf(0xAA550012, "abc");
    QVERIFY(device.send(new QByteArray(first)));
    QVERIFY(device.send(new QByteArray(second)));
    QCOMPARE(m_events->sent, QList<QByteArray>({first, second}));
    QCOMPARE(m_events->queuedWhenSent, QList<int>({0, 0}));
    QTRY_COMPARE(m_peer->bytesAvailable(), qint64(first.size() + second.size()));
    QCOMPARE(m_peer->readAll(), first + second);

    // Two whole frames and the start of a third arrive together.
    const QByteArray third = frameOf(0xAA550001, "hello");
    QByteArray chunk = second + first + third.left(7);
    device.ComReceived(chunk);
    QCOMPARE(m_events->frames.size(), 2);
    QCOMPARE(m_events->receivedCalls, 3);
    QCOMPARE(*device.receiveBuffer()->data(), third.left(7));

    m_peer->write(third.mid(7));
    QTRY_COMPARE(m_events->count(m_events->frames), 3);
    QCOMPARE(m_events->frames, QList<QByteArray>({second, first, third}));
    QVERIFY(device.receiveBuffer()->data()->isEmpty());
}

void TestDevice::disconnectAndReconnect()
{
    ComDevice_ETH device;
    connectClient(&device);
    const QByteArray frame = frameOf(0xAA550012, "abc");
    m_peer->write(frame.left(10)); // a partial frame that the next connection must not continue
    QTRY_COMPARE(device.receiveBuffer()->data()->size(), 10);

    device.disconnectDevice();
    QVERIFY(!device.status()->test(COM_STATUS_CONNECTED));
    QVERIFY(!device.send(newFrame(0xAA550008, {})));
    QTRY_COMPARE(m_events->closed, 1);
    QVERIFY(device.receiveBuffer()->data()->isEmpty());

    delete m_peer;
    QVERIFY(device.connectDevice());
    QTRY_COMPARE(m_events->connected, 2);
    QTRY_VERIFY(m_server.hasPendingConnections());
    m_peer = m_server.nextPendingConnection();
    m_peer->write(frame);
    QTRY_COMPARE(m_events->count(m_events->frames), 1);
    QCOMPARE(m_events->frames.first(), frame);

    // The peer closing is reported once; the device stays open.
    m_peer->disconnectFromHost();
    QTRY_COMPARE(m_events->closed, 2);
    QVERIFY(device.status()->test(COM_STATUS_OPENED));
}

void TestDevice::connectAttempts()
{
    ComDevice_ETH device;
    QVERIFY(!device.connectDevice()); // not open
    connectClient(&device);
    QVERIFY(!device.connectDevice()); // already connected: no new attempt

    ComDevice_ETH portZero;
    ComAddress zero{COM_TRANSPORT_TCP, COM_ROLE_CLIENT, "127.0.0.1", 0};
    ComConfig config{&zero, false, false};
    QVERIFY(portZero.open(&config));
    QVERIFY(!portZero.connectDevice());
}

void TestDevice::unconfirmedWritesWaitInQueue()
{
    FakeDevice device;
    device.confirms = false;
    installCallbacks(&device);
    QVERIFY(device.open(&m_config));
    device.ComConnected();
    QCOMPARE(m_events->connected, 1);

    QVERIFY(device.send(newFrame(0xAA550008, {})));
    QVERIFY(device.send(newFrame(0xAA550012, "abc")));
    QCOMPARE(device.written.size(), 1); // the second waits for the first to be confirmed
    QCOMPARE(device.sendQueue()->count(), 2);

    device.ComSended();
    QCOMPARE(m_events->sent.size(), 1);
    QCOMPARE(device.written.size(), 2);

    // Closing releases what is still queued and reports no closing.
    device.close();
    QCOMPARE(device.sendQueue()->count(), 0);
    QCOMPARE(m_events->closed, 0);
    QVERIFY(device.status()->test(0));
}

void TestDevice::failedWriteReleasesFrame()
{
    FakeDevice device;
    device.writeSucceeds = false;
    installCallbacks(&device);
    QVERIFY(device.open(&m_config));
    device.ComConnected();
    QVERIFY(!device.send(newFrame(0xAA550008, {})));
    QCOMPARE(device.sendQueue()->count(), 0);
    QVERIFY(!device.status()->test(COM_STATUS_SENDING));
    device.writeSucceeds = true;
    QVERIFY(device.send(newFrame(0xAA550008, {})));
    QCOMPARE(m_events->sent.size(), 1);
}

void TestDevice::serverRoleTakesNewestConnection()
{
    ComDevice_ETH device;
    m_address = ComAddress{COM_TRANSPORT_TCP, COM_ROLE_SERVER, QString(), freePort()};
    installCallbacks(&device);
    QVERIFY(device.open(&m_config));
    QVERIFY(!device.connectDevice()); // a server does not connect out

    QTcpSocket first;
    first.connectToHost(QHostAddress::LocalHost, m_address.port);
    QTRY_COMPARE(m_events->connected, 1);
    QTcpSocket second;
    second.connectToHost(QHostAddress::LocalHost, m_address.port);
    QTRY_COMPARE(m_events->connected, 2);
    QTRY_COMPARE(first.state(), QAbstractSocket::UnconnectedState);

    const QByteArray frame = frameOf(0xAA550012, "abc");
    QVERIFY(device.send(new QByteArray(frame)));
    QTRY_COMPARE(second.bytesAvailable(), qint64(frame.size()));
    QCOMPARE(second.readAll(), frame);
    QCOMPARE(m_events->closed, 0); // the replaced socket is not reported
}

void TestDevice::udpRoleIsConnectedWhenOpen()
{
    QUdpSocket probe;
    QVERIFY(probe.bind(QHostAddress(QHostAddress::LocalHost), 0));
    m_address = ComAddress{0, COM_ROLE_CLIENT, "127.0.0.1", probe.localPort()};
    probe.close();

    ComDevice_ETH device;
    installCallbacks(&device);
    QVERIFY(device.open(&m_config));
    QCOMPARE(m_events->connected, 1);
    QVERIFY(!device.connectDevice());

    // Bound and addressed to the same port: the device hears its own datagram.
    const QByteArray frame = frameOf(0xAA550012, "abc");
    QVERIFY(device.send(new QByteArray(frame)));
    QTRY_COMPARE(m_events->count(m_events->frames), 1);
    QCOMPARE(m_events->frames.first(), frame);
}

void TestDevice::workerThreadsStartAndStop()
{
    FakeDevice device;
    m_config.useSendThread = true;
    m_config.useRecvThread = true;
    installCallbacks(&device);
    QVERIFY(device.open(&m_config));
    device.ComConnected();

    for (int i = 0; i < 3; ++i)
        QVERIFY(device.send(newFrame(0xAA550008, {})));
    QTRY_COMPARE(m_events->count(m_events->sent), 3);

    QByteArray chunk = frameOf(0xAA550012, "abc") + frameOf(0xAA550001, "hello");
    device.ComReceived(chunk);
    QTRY_COMPARE(m_events->count(m_events->frames), 2);

    device.ComClosed(); // stops both threads, or this test hangs
    QCOMPARE(m_events->closed, 1);
    device.close();
}

QTEST_GUILESS_MAIN(TestDevice)
#include "tst_device.moc"
