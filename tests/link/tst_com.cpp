#include "common/AMTMessageIds.h"
#include "link/Com.h"
#include "link/ComAddress.h"
#include "link/ComDevice_ETH.h"

#include <QBuffer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QtEndian>
#include <QtTest>

#include <functional>
#include <memory>

#if defined(__SANITIZE_ADDRESS__)
#define HEAP_FROM_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define HEAP_FROM_SANITIZER 1
#endif
#endif

#ifdef HEAP_FROM_SANITIZER
// From the sanitizer runtime (GCC ships no header for it).
extern "C" size_t __sanitizer_get_current_allocated_bytes();
#else
#include <malloc.h>
#endif

namespace {

qint64 heapInUse()
{
#ifdef HEAP_FROM_SANITIZER
    return qint64(__sanitizer_get_current_allocated_bytes());
#else
    const struct mallinfo2 info = mallinfo2();
    return qint64(info.uordblks + info.hblkhd);
#endif
}

QByteArray hex(const char* text)
{
    return QByteArray::fromHex(QByteArray(text).replace(' ', ""));
}

QByteArray frameOf(uint msgID, const QByteArray& payload)
{
    return *std::unique_ptr<QByteArray>(ComProtocol::packFrame(msgID, &payload));
}

QByteArray littleEndian(qint32 value)
{
    QByteArray bytes(4, Qt::Uninitialized);
    qToLittleEndian(value, bytes.data());
    return bytes;
}

QByteArray notification(quint32 subCode)
{
    return frameOf(AMT_NOTIFY, littleEndian(qint32(subCode)));
}

// A data frame: 32-byte control record, then the samples.
QByteArray dataFrame(int samples, char fill)
{
    QByteArray record(32, '\0');
    qToLittleEndian<qint32>(samples, record.data() + 16);
    return frameOf(AMT_CMD_TRANSFORM_DATA, record + QByteArray(samples, fill));
}

QByteArray logMessage(const QByteArray& log)
{
    QByteArray header = frameOf(AMT_CMD_EXPORT_LOG, {});
    QByteArray count(4, Qt::Uninitialized);
    qToBigEndian<quint32>(quint32(log.size()), count.data());
    return header + count + log;
}

// A header with a valid check that announces 0x7FFFFFF0 payload bytes.
const char* const HostileHeader = "AA550005 7FFFFFF0 D5AAFFF5 00000000";

QString call(uint msgID, const QByteArray& payload)
{
    return QString::number(msgID, 16) + ":" + QString::fromLatin1(payload.toHex());
}

// Records every handler call; a test may add an action run inside the handler.
struct HandlerLog
{
    QStringList calls;
    std::function<void(Com*, uint, const QByteArray&)> action;
};

HandlerLog* handlerLog = nullptr;

void recordingHandler(Com* com, uint msgID, bool ok, QByteArray* payload)
{
    if (!ok)
        return;
    handlerLog->calls.append(call(msgID, *payload));
    if (handlerLog->action)
        handlerLog->action(com, msgID, *payload);
}

// Retires the request named by a notification's sub-code, as the instrument client does.
void retiringNotifyHandler(Com* com, uint msgID, bool ok, QByteArray* payload)
{
    recordingHandler(com, msgID, ok, payload);
    if (payload->size() >= 4)
        com->removeRequest(qFromLittleEndian<quint32>(payload->constData()) | AMT_SUBCODE_PREFIX);
}

// Splits what the program wrote into frames by their headers (length at bytes 4-7).
QList<QByteArray> splitFrames(const QByteArray& bytes)
{
    QList<QByteArray> frames;
    int at = 0;
    while (bytes.size() - at >= 16) {
        const int length = int(qFromBigEndian<quint32>(bytes.constData() + at + 4));
        frames.append(bytes.mid(at, 16 + length));
        at += 16 + length;
    }
    return frames;
}

int countOf(const QList<QByteArray>& frames, const QByteArray& frame)
{
    return int(std::count(frames.begin(), frames.end(), frame));
}

} // namespace

class TestCom : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void controlChunks_data();
    void controlChunks();
    void dataChunks_data();
    void dataChunks();
    void logMessages_data();
    void logMessages();
    void collectionEndsWithItsConnection_data();
    void collectionEndsWithItsConnection();
    void largeAnnouncementAllocatesWithArrival_data();
    void largeAnnouncementAllocatesWithArrival();
    void reusedBufferHoldsOnlyItsMessage_data();
    void reusedBufferHoldsOnlyItsMessage();
    void messageBufferReleasedOnceDelivered_data();
    void messageBufferReleasedOnceDelivered();
    void connectionSignals();
    void unansweredRequestsAreSentFourTimes();
    void answers_data();
    void answers();
    void replyRetiresOldestRequest();
    void untrackedAndFailedSends();
    void nestedEventLoopInHandler_data();
    void nestedEventLoopInHandler();
    void handlerEndsItsConnection_data();
    void handlerEndsItsConnection();

private:
    // A connection whose device counts as connected without a peer; chunks are fed directly.
    std::unique_ptr<Com> fedCom(int kind);
    // Each chunk is one receive step; "direct" has the device read it from a source, as from a
    // socket, instead of being handed the chunk.
    void feed(Com* com, const QList<QByteArray>& chunks, bool direct = false);
    // A control connection to m_server; m_peer is the server's side.
    std::unique_ptr<Com> connectedControl();
    QList<QByteArray> peerFrames();
    // Sends an untracked frame and waits for the peer to see it: every earlier frame has arrived.
    void flushToPeer(Com* com);
    // The messages as deep copies, so that the connection may reuse its buffer; with keepShared
    // as the delivered arrays themselves, which it then must not touch.
    QList<QByteArray> collectData(Com* com, const QList<QByteArray>& chunks, bool direct = false,
                                  bool keepShared = false);

    HandlerLog m_log;
    ComAddress m_address;
    ComConfig m_config;
    QTcpServer m_server;
    QTcpSocket* m_peer = nullptr;
    QByteArray m_peerBytes;
};

void TestCom::init()
{
    m_log = HandlerLog();
    handlerLog = &m_log;
    QVERIFY(m_server.listen(QHostAddress::LocalHost, 0));
    m_address = ComAddress{COM_TRANSPORT_TCP, COM_ROLE_CLIENT, "127.0.0.1", m_server.serverPort()};
    m_config = ComConfig{&m_address, false, false};
    m_peerBytes.clear();
}

void TestCom::cleanup()
{
    delete m_peer;
    m_peer = nullptr;
    m_server.close();
    handlerLog = nullptr;
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

std::unique_ptr<Com> TestCom::fedCom(int kind)
{
    auto com = std::make_unique<Com>(kind, 0);
    for (uint msgID : {AMT_NOTIFY, AMT_CMD_SAMPLE_START, AMT_CMD_MACHINE_STATUS, AMT_CMD_STRING})
        com->registerHandler(msgID, recordingHandler);
    com->open(m_config, nullptr);
    QSignalSpy inited(com.get(), &Com::Inited);
    com->device()->ComConnected();
    if (inited.count() != 1 || !com->isConnected())
        qFatal("the fed connection did not come up");
    return com;
}

void TestCom::feed(Com* com, const QList<QByteArray>& chunks, bool direct)
{
    for (QByteArray chunk : chunks) {
        if (!direct) {
            com->device()->ComReceived(chunk);
            continue;
        }
        QBuffer source(&chunk);
        source.open(QIODevice::ReadOnly);
        com->device()->receiveFrom(&source);
        QCOMPARE(source.bytesAvailable(), 0);
    }
}

std::unique_ptr<Com> TestCom::connectedControl()
{
    auto com = std::make_unique<Com>(COM_KIND_CONTROL, 0);
    for (uint msgID : {AMT_CMD_SAMPLE_START, AMT_CMD_MACHINE_STATUS, AMT_CMD_STRING})
        com->registerHandler(msgID, recordingHandler);
    com->registerHandler(AMT_NOTIFY, retiringNotifyHandler);
    QSignalSpy inited(com.get(), &Com::Inited);
    com->open(m_config, nullptr);
    if (!com->connectDevice() || !inited.wait(5000) || !m_server.hasPendingConnections())
        qFatal("no connection to the test server");
    m_peer = m_server.nextPendingConnection();
    return com;
}

QList<QByteArray> TestCom::peerFrames()
{
    m_peerBytes += m_peer->readAll();
    return splitFrames(m_peerBytes);
}

void TestCom::flushToPeer(Com* com)
{
    const QByteArray code = hex("000000FF");
    const QByteArray sentinel = frameOf(AMT_NOTIFY, code);
    QVERIFY(com->sendMessage(AMT_NOTIFY, &code));
    QTRY_VERIFY(peerFrames().contains(sentinel));
}

QList<QByteArray> TestCom::collectData(Com* com, const QList<QByteArray>& chunks, bool direct, bool keepShared)
{
    QList<QByteArray> messages;
    connect(com, &Com::DataComDataRecv, this, [&](Com* from, bool ok, uint msgID, QByteArray* data) {
        QCOMPARE(from, com);
        QVERIFY(ok);
        QCOMPARE(msgID, com->kind() == COM_KIND_DATA ? AMT_CMD_TRANSFORM_DATA : AMT_CMD_EXPORT_LOG);
        messages.append(keepShared ? *data : QByteArray(data->constData(), data->size()));
    });
    feed(com, chunks, direct);
    disconnect(com, &Com::DataComDataRecv, this, nullptr);
    return messages;
}

void TestCom::controlChunks_data()
{
    QTest::addColumn<QList<QByteArray>>("chunks");
    QTest::addColumn<QStringList>("calls");

    const QByteArray reply = frameOf(AMT_CMD_MACHINE_STATUS, QByteArray(48, '\x01'));
    const QByteArray notify = notification(2);
    const QStringList replyCall = {call(AMT_CMD_MACHINE_STATUS, QByteArray(48, '\x01'))};
    const QString notifyCall = call(AMT_NOTIFY, littleEndian(2));

    QTest::newRow("reply and notification in one chunk") << QList<QByteArray>{reply + notify}
                                                         << replyCall + QStringList{notifyCall};
    QTest::newRow("reply in three chunks") << QList<QByteArray>{reply.left(5), reply.mid(5, 20), reply.mid(25)}
                                           << replyCall;
    QTest::newRow("chunk ends between the sync bytes") << QList<QByteArray>{hex("0102") + reply.left(1), reply.mid(1)}
                                                       << replyCall;
    QTest::newRow("garbage and a bad header check first")
        << QList<QByteArray>{hex("00 AA55 00 AA550012 00000003 AA550012 00636261 616263") + reply} << replyCall;
    QTest::newRow("frame without a handler is dropped")
        << QList<QByteArray>{frameOf(AMT_CMD_POWER_OFF, "x") + reply} << replyCall;
    QTest::newRow("hostile length, then a good frame") << QList<QByteArray>{hex(HostileHeader), reply} << replyCall;
}

void TestCom::controlChunks()
{
    QFETCH(QList<QByteArray>, chunks);
    QFETCH(QStringList, calls);

    auto com = fedCom(COM_KIND_CONTROL);
    feed(com.get(), chunks);
    QCOMPARE(m_log.calls, calls);
}

void TestCom::dataChunks_data()
{
    QTest::addColumn<QList<QByteArray>>("chunks");
    QTest::addColumn<QList<QByteArray>>("messages");

    const QByteArray first = dataFrame(1000, 'a');
    const QByteArray second = dataFrame(40, 'b');
    QByteArray corrupted = first;
    corrupted[100] = 'x';

    QTest::newRow("one frame in four chunks")
        << QList<QByteArray>{first.left(3), first.mid(3, 40), first.mid(43, 500), first.mid(543)}
        << QList<QByteArray>{first};
    QTest::newRow("end of one and start of the next")
        << QList<QByteArray>{first.left(30), first.mid(30) + second.left(20), second.mid(20)}
        << QList<QByteArray>{first, second};
    QTest::newRow("bad checksum, then a good frame") << QList<QByteArray>{corrupted + second}
                                                     << QList<QByteArray>{second};
    QTest::newRow("garbage before a frame") << QList<QByteArray>{hex("01AA02"), first} << QList<QByteArray>{first};
    QTest::newRow("hostile length, then a good frame") << QList<QByteArray>{hex(HostileHeader) + second}
                                                       << QList<QByteArray>{second};
}

void TestCom::dataChunks()
{
    QFETCH(QList<QByteArray>, chunks);
    QFETCH(QList<QByteArray>, messages);

    auto com = fedCom(COM_KIND_DATA);
    QCOMPARE(collectData(com.get(), chunks), messages);
}

void TestCom::logMessages_data()
{
    QTest::addColumn<QList<QByteArray>>("chunks");
    QTest::addColumn<QList<QByteArray>>("logs");

    const QByteArray text = "2026-01-01 boot\r\n2026-01-01 self check passed\r\n";
    const QByteArray message = logMessage(text);

    QTest::newRow("empty log") << QList<QByteArray>{logMessage({})} << QList<QByteArray>{QByteArray()};
    QTest::newRow("log in pieces") << QList<QByteArray>{message.left(10), message.mid(10, 12), message.mid(22)}
                                   << QList<QByteArray>{text};
    QTest::newRow("two logs in one chunk") << QList<QByteArray>{logMessage("a") + message}
                                           << QList<QByteArray>{"a", text};
    QTest::newRow("count over the limit, then a good log")
        << QList<QByteArray>{frameOf(AMT_CMD_EXPORT_LOG, {}) + hex("7FFFFFF0") + message} << QList<QByteArray>{text};
}

void TestCom::logMessages()
{
    QFETCH(QList<QByteArray>, chunks);
    QFETCH(QList<QByteArray>, logs);

    auto com = fedCom(COM_KIND_EXPORT_LOG);
    QCOMPARE(collectData(com.get(), chunks), logs);
}

void TestCom::collectionEndsWithItsConnection_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<bool>("reopen");

    QTest::newRow("data, reconnected") << COM_KIND_DATA << false;
    QTest::newRow("data, reopened") << COM_KIND_DATA << true;
    QTest::newRow("log, reconnected") << COM_KIND_EXPORT_LOG << false;
}

void TestCom::collectionEndsWithItsConnection()
{
    QFETCH(int, kind);
    QFETCH(bool, reopen);

    const QByteArray whole = kind == COM_KIND_DATA ? dataFrame(200, 'n') : logMessage(QByteArray(200, 'n'));
    const QByteArray broken = kind == COM_KIND_DATA ? dataFrame(300, 'o') : logMessage(QByteArray(300, 'o'));
    auto com = fedCom(kind);
    feed(com.get(), {broken.left(100)});

    QSignalSpy closed(com.get(), &Com::Closed);
    if (reopen) {
        com->close();
        com->open(m_config, nullptr);
    } else {
        com->device()->ComClosed();
        QCOMPARE(closed.count(), 1);
    }
    com->device()->ComConnected();
    const QByteArray expected = kind == COM_KIND_DATA ? whole : QByteArray(200, 'n');
    QCOMPARE(collectData(com.get(), {whole}), QList<QByteArray>{expected});
}

void TestCom::largeAnnouncementAllocatesWithArrival_data()
{
    QTest::addColumn<bool>("direct");
    QTest::addColumn<QList<QByteArray>>("chunks");
    QTest::addColumn<QList<QByteArray>>("messages");

    const QByteArray good = dataFrame(100, 'g');
    const QByteArray announced200MiB = hex("AA550005 0C800000 A6D50005 00000000");
    for (bool direct : {false, true}) {
        const char* path = direct ? "read from a source" : "handed over";
        QTest::addRow("hostile length, then a good frame, %s", path)
            << direct << QList<QByteArray>{hex(HostileHeader), good} << QList<QByteArray>{good};
        // Within the limit for data; 64 KiB arrive, with the header and after it.
        QTest::addRow("200 MiB announced, %s", path)
            << direct << QList<QByteArray>{announced200MiB + QByteArray(64 * 1024, 's'), QByteArray(64 * 1024, 't')}
            << QList<QByteArray>{};
    }
}

void TestCom::largeAnnouncementAllocatesWithArrival()
{
    QFETCH(bool, direct);
    QFETCH(QList<QByteArray>, chunks);
    QFETCH(QList<QByteArray>, messages);

    auto com = fedCom(COM_KIND_DATA);
    const qint64 before = heapInUse();
    QCOMPARE(collectData(com.get(), chunks, direct), messages);
    const qint64 grown = heapInUse() - before;
    QVERIFY2(grown < 8 * 1024 * 1024, qPrintable(QString::number(grown)));
}

void TestCom::reusedBufferHoldsOnlyItsMessage_data()
{
    QTest::addColumn<bool>("direct");
    QTest::addColumn<bool>("keepShared");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QList<QByteArray>>("chunks");
    QTest::addColumn<int>("reconnectAfter"); // chunk index; -1: never
    QTest::addColumn<QList<QByteArray>>("messages");

    // Longer than a piece of the receive buffer, so that most of it is read straight into the
    // message.
    const QByteArray longFrame = dataFrame(100000, 'L');
    const QByteArray shortFrame = dataFrame(10, 's');
    QByteArray corrupted = longFrame;
    corrupted[5000] = 'x';
    const QByteArray longLog(100000, 'L');

    for (bool direct : {false, true}) {
        const char* path = direct ? "read from a source" : "handed over";
        QTest::addRow("long, then short, %s", path)
            << direct << false << COM_KIND_DATA << QList<QByteArray>{longFrame, shortFrame} << -1
            << QList<QByteArray>{longFrame, shortFrame};
        QTest::addRow("long and short in one chunk, %s", path)
            << direct << false << COM_KIND_DATA << QList<QByteArray>{longFrame + shortFrame} << -1
            << QList<QByteArray>{longFrame, shortFrame};
        QTest::addRow("long, a long cut by a reconnect, short, %s", path)
            << direct << false << COM_KIND_DATA << QList<QByteArray>{longFrame, longFrame.left(70000), shortFrame}
            << 1 << QList<QByteArray>{longFrame, shortFrame};
        QTest::addRow("bad checksum, then short, %s", path)
            << direct << false << COM_KIND_DATA << QList<QByteArray>{corrupted, shortFrame} << -1
            << QList<QByteArray>{shortFrame};
        QTest::addRow("long log, then short and empty logs, %s", path)
            << direct << false << COM_KIND_EXPORT_LOG
            << QList<QByteArray>{logMessage(longLog), logMessage("s") + logMessage({})} << -1
            << QList<QByteArray>{longLog, "s", QByteArray()};
    }
    QTest::newRow("long, then short, the receiver keeps the arrays")
        << true << true << COM_KIND_DATA << QList<QByteArray>{longFrame, shortFrame} << -1
        << QList<QByteArray>{longFrame, shortFrame};
}

void TestCom::reusedBufferHoldsOnlyItsMessage()
{
    QFETCH(bool, direct);
    QFETCH(bool, keepShared);
    QFETCH(int, kind);
    QFETCH(QList<QByteArray>, chunks);
    QFETCH(int, reconnectAfter);
    QFETCH(QList<QByteArray>, messages);

    auto com = fedCom(kind);
    QList<QByteArray> received;
    for (int i = 0; i < chunks.size(); ++i) {
        received += collectData(com.get(), {chunks.at(i)}, direct, keepShared);
        if (i != reconnectAfter)
            continue;
        com->device()->ComClosed();
        com->device()->ComConnected();
    }
    QCOMPARE(received, messages);
}

void TestCom::messageBufferReleasedOnceDelivered_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<bool>("direct");
    QTest::addColumn<QByteArray>("message");
    QTest::addColumn<int>("closeAfter"); // bytes fed before the connection closes; -1: all, no close

    const int size = 8 * 1024 * 1024;
    const QByteArray frame = dataFrame(size, 'd');
    const QByteArray log = logMessage(QByteArray(size, 'l'));
    QTest::newRow("data frame, handed over") << COM_KIND_DATA << false << frame << -1;
    QTest::newRow("data frame, read from a source") << COM_KIND_DATA << true << frame << -1;
    QTest::newRow("log, read from a source") << COM_KIND_EXPORT_LOG << true << log << -1;
    QTest::newRow("data frame cut by the close") << COM_KIND_DATA << true << frame << size / 2;
    QTest::newRow("log cut by the close") << COM_KIND_EXPORT_LOG << false << log << size / 2;
}

// A connection holds no memory of a message once it has been delivered or cut off.
void TestCom::messageBufferReleasedOnceDelivered()
{
    QFETCH(int, kind);
    QFETCH(bool, direct);
    QFETCH(QByteArray, message);
    QFETCH(int, closeAfter);

    auto com = fedCom(kind);
    int delivered = 0;
    connect(com.get(), &Com::DataComDataRecv, this, [&](Com*, bool, uint, QByteArray* data) {
        QVERIFY(data->size() > message.size() / 2);
        ++delivered;
    });
    const QByteArray fed = closeAfter < 0 ? message : message.left(closeAfter);
    const qint64 before = heapInUse();
    feed(com.get(), {fed}, direct);
    if (closeAfter >= 0)
        com->device()->ComClosed();
    QCOMPARE(delivered, closeAfter < 0 ? 1 : 0);
    const qint64 kept = heapInUse() - before;
    QVERIFY2(kept < 1024 * 1024, qPrintable(QString::number(kept)));
}

void TestCom::connectionSignals()
{
    auto com = connectedControl();
    QVERIFY(com->isConnected());
    QSignalSpy closed(com.get(), &Com::Closed);
    m_peer->disconnectFromHost();
    QVERIFY(closed.wait(5000));
    QCOMPARE(closed.count(), 1);
    QCOMPARE(closed.first().first().value<Com*>(), com.get());
    QVERIFY(!com->isConnected());

    QSignalSpy inited(com.get(), &Com::Inited);
    QVERIFY(com->connectDevice());
    QVERIFY(inited.wait(5000));
    com->forceDisconnectDevice();
    QVERIFY(!com->isConnected());
}

void TestCom::unansweredRequestsAreSentFourTimes()
{
    auto com = connectedControl();
    com->setTimeout(30);
    com->setRequestInterval(10);
    com->setRetryCount(3);
    const QByteArray status = frameOf(AMT_CMD_MACHINE_STATUS, {});
    const QByteArray info = frameOf(AMT_CMD_SYSTEM_INFO, {});

    // Two requests queued in (most likely) the same millisecond are tracked on their own.
    QVERIFY(com->sendRequest(AMT_CMD_MACHINE_STATUS, nullptr));
    QVERIFY(com->sendRequest(AMT_CMD_SYSTEM_INFO, nullptr));
    QCOMPARE(com->trackedRequestCount(), 2);
    QTRY_COMPARE_WITH_TIMEOUT(com->trackedRequestCount(), 0, 10000);
    flushToPeer(com.get());
    QCOMPARE(countOf(peerFrames(), status), 4);
    QCOMPARE(countOf(peerFrames(), info), 4);
}

void TestCom::answers_data()
{
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<int>("tracked"); // requests still tracked after the answer

    QTest::newRow("reply") << frameOf(AMT_CMD_MACHINE_STATUS, QByteArray(48, '\0')) << 0;
    QTest::newRow("notification with its ID") << notification(0x08) << 0;
    QTest::newRow("notification with its full ID") << notification(AMT_CMD_MACHINE_STATUS) << 0;
    QTest::newRow("notification with another ID") << notification(0x09) << 1;
    QTest::newRow("reply to another request") << frameOf(AMT_CMD_STRING, {}) << 1;
}

void TestCom::answers()
{
    QFETCH(QByteArray, answer);
    QFETCH(int, tracked);

    auto com = connectedControl();
    com->setRequestInterval(10);
    QVERIFY(com->sendRequest(AMT_CMD_MACHINE_STATUS, nullptr));
    QTRY_COMPARE(peerFrames().size(), 1);
    m_peer->write(answer);
    QTRY_COMPARE(m_log.calls.size(), 1);
    QCOMPARE(com->trackedRequestCount(), tracked);
    if (tracked > 0)
        return;
    // Nothing is left to resend, however short the time-out.
    com->setTimeout(0);
    flushToPeer(com.get());
    QCOMPARE(countOf(peerFrames(), frameOf(AMT_CMD_MACHINE_STATUS, {})), 1);
}

void TestCom::replyRetiresOldestRequest()
{
    auto com = connectedControl();
    com->setRequestInterval(10);
    const QByteArray first = "first";
    const QByteArray second = "second";
    QVERIFY(com->sendRequest(AMT_CMD_STRING, &first));
    QVERIFY(com->sendRequest(AMT_CMD_STRING, &second));
    QTRY_COMPARE(peerFrames().size(), 2);
    m_peer->write(frameOf(AMT_CMD_STRING, {}));
    QTRY_COMPARE(com->trackedRequestCount(), 1);

    com->setTimeout(20);
    QTRY_COMPARE_WITH_TIMEOUT(com->trackedRequestCount(), 0, 10000);
    flushToPeer(com.get());
    QCOMPARE(countOf(peerFrames(), frameOf(AMT_CMD_STRING, first)), 1);
    QCOMPARE(countOf(peerFrames(), frameOf(AMT_CMD_STRING, second)), 4);
}

void TestCom::untrackedAndFailedSends()
{
    auto com = connectedControl();
    const QByteArray end = hex("00000005");
    QVERIFY(com->sendMessage(AMT_NOTIFY, &end));
    QCOMPARE(com->trackedRequestCount(), 0);

    com->forceDisconnectDevice();
    QVERIFY(!com->sendRequest(AMT_CMD_MACHINE_STATUS, nullptr));
    QVERIFY(!com->sendMessage(AMT_NOTIFY, &end));
    QCOMPARE(com->trackedRequestCount(), 0);

    Com closedCom(COM_KIND_CONTROL, 0);
    QVERIFY(!closedCom.sendRequest(AMT_CMD_MACHINE_STATUS, nullptr));
    QCOMPARE(closedCom.trackedRequestCount(), 0);
}

void TestCom::nestedEventLoopInHandler_data()
{
    QTest::addColumn<bool>("overSocket");
    QTest::newRow("over a socket") << true;
    QTest::newRow("fed into the receive path") << false;
}

void TestCom::nestedEventLoopInHandler()
{
    QFETCH(bool, overSocket);

    auto com = overSocket ? connectedControl() : fedCom(COM_KIND_CONTROL);
    const QByteArray first = frameOf(AMT_CMD_SAMPLE_START, "A");
    const QByteArray later = frameOf(AMT_CMD_MACHINE_STATUS, "B") + notification(2);

    // The first handler waits in a modal-style loop for the two replies that follow it.
    m_log.action = [&](Com* from, uint msgID, const QByteArray&) {
        if (msgID != AMT_CMD_SAMPLE_START)
            return;
        QEventLoop loop;
        QTimer guard;
        connect(&guard, &QTimer::timeout, &loop, &QEventLoop::quit);
        guard.start(5000);
        QTimer poll;
        connect(&poll, &QTimer::timeout, &loop, [&] {
            if (m_log.calls.size() == 3)
                loop.quit();
        });
        poll.start(1);
        if (overSocket) {
            m_peer->write(later);
        } else {
            QTimer::singleShot(0, from, [&, from] { feed(from, {later}); });
        }
        loop.exec();
        m_log.calls.append("A done");
    };
    if (overSocket)
        m_peer->write(first);
    else
        feed(com.get(), {first});

    QTRY_COMPARE(m_log.calls.size(), 4);
    QCOMPARE(m_log.calls, QStringList({call(AMT_CMD_SAMPLE_START, "A"), call(AMT_CMD_MACHINE_STATUS, "B"),
                                       call(AMT_NOTIFY, littleEndian(2)), "A done"}));

    // The receive path is free again.
    m_log.action = nullptr;
    if (overSocket)
        m_peer->write(first);
    else
        feed(com.get(), {first});
    QTRY_COMPARE(m_log.calls.size(), 5);
}

void TestCom::handlerEndsItsConnection_data()
{
    QTest::addColumn<bool>("deleteIt");
    QTest::addColumn<int>("calls");

    // Messages that arrived whole are still delivered after a close; a deleted one delivers no more.
    QTest::newRow("closes it") << false << 2;
    QTest::newRow("deletes it") << true << 1;
}

void TestCom::handlerEndsItsConnection()
{
    QFETCH(bool, deleteIt);
    QFETCH(int, calls);

    std::unique_ptr<Com> com = connectedControl();
    m_log.action = [&](Com* from, uint msgID, const QByteArray&) {
        if (msgID != AMT_CMD_SAMPLE_START)
            return;
        if (deleteIt)
            com.reset();
        else
            from->close();
    };
    m_peer->write(frameOf(AMT_CMD_SAMPLE_START, "A") + frameOf(AMT_CMD_STRING, "B"));
    QTRY_COMPARE(m_log.calls.size(), calls);
    QTRY_COMPARE(m_peer->state(), QAbstractSocket::UnconnectedState);
}

QTEST_GUILESS_MAIN(TestCom)
#include "tst_com.moc"
