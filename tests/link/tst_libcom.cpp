// LibCom against the instrument simulator on 127.0.0.1: the frames of every command, the
// signal of every reply and notification, the connection rules, and malformed data frames.
#include "LinkFixture.h"

#include "common/AMTMessageIds.h"
#include "common/Clock.h"
#include "tools/simulator/SimChannelData.h"
#include "tools/simulator/SimFrameCodec.h"

#include <QSignalSpy>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <functional>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

using Action = std::function<void(LibCom&)>;
Q_DECLARE_METATYPE(Action)

namespace {

QByteArray frame(uint id, const QByteArray& payload = QByteArray())
{
    return SimFrameCodec::encode(id, payload);
}

QByteArray be32(quint32 value)
{
    return SimFrameCodec::bigEndian(value);
}

// A data frame whose record announces dataLength but carries `present` sample bytes.
QByteArray dataFrame(int channel, int dataLength, int present, int group = 1)
{
    SampleDataControlParam record;
    record.machineID = 7;
    record.lineNum = 5;
    record.stationNum = 100;
    record.dataIndexNum = group;
    record.dataLength = present;
    QByteArray payload = SimChannelData::payload(record, channel);
    record.dataLength = dataLength;
    payload.replace(0, 32, SimChannelData::recordBytes(record));
    return frame(AMT_CMD_TRANSFORM_DATA, payload);
}

const char hxOnly[5] = {1, 0, 0, 0, 0};
const char hxHy[5] = {1, 1, 0, 0, 0};

// A listener on 127.0.0.1 whose accept queue (of one) is filled by a connection of its own: the
// kernel drops every further SYN, so a client stays in its connect phase until it gives up or
// the queue is drained.
class StalledListener
{
public:
    StalledListener()
    {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        m_fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
        if (m_fd < 0 || ::bind(m_fd, reinterpret_cast<sockaddr*>(&address), length) != 0 || ::listen(m_fd, 0) != 0
            || ::getsockname(m_fd, reinterpret_cast<sockaddr*>(&address), &length) != 0)
            return;
        port = ntohs(address.sin_port);
        m_filler.connectToHost(QHostAddress::LocalHost, port);
        stalled = m_filler.waitForConnected(5000);
    }
    ~StalledListener()
    {
        for (int fd : m_accepted)
            ::close(fd);
        if (m_fd >= 0)
            ::close(m_fd);
    }

    // Accepts every queued connection but the listener's own; their peers' ports.
    QList<quint16> acceptClients()
    {
        QList<quint16> peers;
        sockaddr_in peer{};
        socklen_t length = sizeof peer;
        for (int fd; (fd = ::accept(m_fd, reinterpret_cast<sockaddr*>(&peer), &length)) >= 0; length = sizeof peer) {
            m_accepted.append(fd);
            if (ntohs(peer.sin_port) != m_filler.localPort())
                peers.append(ntohs(peer.sin_port));
        }
        return peers;
    }

    quint16 port = 0;
    bool stalled = false;

private:
    int m_fd = -1;
    QTcpSocket m_filler;
    QList<int> m_accepted;
};

} // namespace

class TestLibCom : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();

    void commandFrames_data();
    void commandFrames();
    void repliesReachTheirSignals_data();
    void repliesReachTheirSignals();
    void notificationRetiresItsRequest_data();
    void notificationRetiresItsRequest();
    void unansweredCommandsAreNotRepeated_data();
    void unansweredCommandsAreNotRepeated();
    void pendingEndFollowsTheInstrumentsRequest_data();
    void pendingEndFollowsTheInstrumentsRequest();

    void controlConnectRules();
    void dataConnectionsFollowTheChannelMask_data();
    void dataConnectionsFollowTheChannelMask();
    void dataSignalsWaitForControl();
    void closingSignals();
    void exportLogConnection();
    void portsWrapAtTheTop_data();
    void portsWrapAtTheTop();
    void reopeningDataConnections();
    void retryAbortsAnAttemptStillConnecting();
    void replacingControlFromItsOwnHandler();

    void dataFrameBounds_data();
    void dataFrameBounds();
    void groupCompletion();
    void logConnectionCarriesOnlyTheLog();

private:
    QTemporaryDir dir;
};

void TestLibCom::initTestCase()
{
    QVERIFY(dir.isValid());
}

void TestLibCom::cleanup()
{
    Clock::reset();
}

void TestLibCom::commandFrames_data()
{
    QTest::addColumn<Action>("action");
    QTest::addColumn<QByteArray>("expected"); // empty: nothing is sent

    const QByteArray config("ProjectId=P1\r\nName=\xe5\xb7\xa5\x00z\n", 22);
    const QString configPath = dir.filePath("projectConfig.ini");
    QFile file(configPath);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(config) == config.size());
    file.close();
    const QString missing = dir.filePath("missing.ini");
    const QByteArray selection("ProjectID=P1\nLineNum=5\nStationNum=100\n");

    QTest::newRow("project config file") << Action([=](LibCom& l) { l.sendProjectConfigFile(configPath); })
                                         << frame(AMT_CMD_PROJECT_CONFIG, config);
    QTest::newRow("project config, no path") << Action([](LibCom& l) { l.sendProjectConfigFile(QString()); })
                                             << QByteArray();
    QTest::newRow("project config, missing file") << Action([=](LibCom& l) { l.sendProjectConfigFile(missing); })
                                                  << QByteArray();
    QTest::newRow("sample start, task text") << Action([](LibCom& l) {
        QByteArray text("MachineID=0\nGroupID=1\n");
        l.sendSampleStart(&text);
    }) << frame(AMT_CMD_SAMPLE_START, "MachineID=0\nGroupID=1\n");
    QTest::newRow("sample start, empty") << Action([](LibCom& l) {
        QByteArray text;
        l.sendSampleStart(&text);
    }) << frame(AMT_CMD_SAMPLE_START);
    QTest::newRow("sample stop") << Action([](LibCom& l) { l.sendSampleStop(); }) << frame(AMT_CMD_SAMPLE_STOP);
    // 2026-01-01 00:00:00 UTC, big-endian, with its header written out by hand.
    QTest::newRow("adjust time") << Action([](LibCom& l) { l.sendAdjustTime(); })
                                 << QByteArray::fromHex("aa55000400000004aa55000000b955696955b900");
    QTest::newRow("transfer request") << Action([](LibCom& l) {
        const QByteArray request = le32(5) + le32(100) + le32(0);
        l.sendRequestTransformData(request.constData());
    }) << frame(AMT_CMD_TRANSFORM_DATA, le32(5) + le32(100) + le32(0));
    QTest::newRow("self check") << Action([](LibCom& l) { l.sendSelfCheck(); }) << frame(AMT_CMD_SELF_CHECK);
    QTest::newRow("status") << Action([](LibCom& l) { l.sendGetMachineStatus(); })
                            << QByteArray::fromHex("aa55000800000000aa55000800000000");
    QTest::newRow("disk space") << Action([](LibCom& l) { l.sendGetDiskSpaceFile(); })
                                << frame(AMT_CMD_DISK_SPACE_FILE);
    QTest::newRow("data delete") << Action([](LibCom& l) {
        QByteArray request("ProjectID=P1\r\nLineNum=ALL\r\nStationNum=ALL\r\n");
        l.sendDataDelete(&request);
    }) << frame(AMT_CMD_DATA_DELETE, "ProjectID=P1\r\nLineNum=ALL\r\nStationNum=ALL\r\n");
    QTest::newRow("export data") << Action([=](LibCom& l) {
        QByteArray text = selection;
        l.sendExportData(&text);
    }) << frame(AMT_CMD_EXPORT_DATA, selection);
    QTest::newRow("export data, empty text") << Action([](LibCom& l) {
        QByteArray text;
        l.sendExportData(&text);
    }) << frame(AMT_CMD_EXPORT_DATA);
    QTest::newRow("export data without text") << Action([](LibCom& l) { l.sendExportDataEmpty(); })
                                              << frame(AMT_CMD_EXPORT_DATA);
    QTest::newRow("restart") << Action([](LibCom& l) { l.sendRestart(); }) << frame(AMT_CMD_RESTART);
    QTest::newRow("error code") << Action([](LibCom& l) { l.sendGetErrorCode(); }) << frame(AMT_CMD_ERROR_CODE);
    QTest::newRow("unsave") << Action([](LibCom& l) { l.sendUnsaveData(); }) << frame(AMT_CMD_UNSAVE_DATA);
    QTest::newRow("groups") << Action([=](LibCom& l) {
        QByteArray text = selection;
        l.sendGetSampleGroupsNum(&text);
    }) << frame(AMT_CMD_SAMPLE_GROUPS_NUM, selection);
    QTest::newRow("groups, empty text") << Action([](LibCom& l) {
        QByteArray text;
        l.sendGetSampleGroupsNum(&text);
    }) << QByteArray();
    QTest::newRow("groups, no text") << Action([](LibCom& l) { l.sendGetSampleGroupsNum(nullptr); }) << QByteArray();
    QTest::newRow("error flag clear") << Action([](LibCom& l) { l.sendErrorFlagClear(); })
                                      << frame(AMT_CMD_ERROR_FLAG_CLEAR);
    QTest::newRow("system info") << Action([](LibCom& l) { l.sendGetSystemInfo(); }) << frame(AMT_CMD_SYSTEM_INFO);
    QTest::newRow("string cut at NUL") << Action([](LibCom& l) {
        QByteArray text("abc\0def", 7);
        l.sendString(&text);
    }) << frame(AMT_CMD_STRING, "abc");
    QTest::newRow("string starting with NUL") << Action([](LibCom& l) {
        QByteArray text("\0abc", 4);
        l.sendString(&text);
    }) << QByteArray();
    QTest::newRow("string, no text") << Action([](LibCom& l) { l.sendString(nullptr); }) << QByteArray();
    QTest::newRow("format") << Action([](LibCom& l) { l.sendSDCardFormat(); }) << frame(AMT_CMD_SDCARD_FORMAT);
    QTest::newRow("export log") << Action([](LibCom& l) { l.sendExportLog(); }) << frame(AMT_CMD_EXPORT_LOG);
    QTest::newRow("power off") << Action([](LibCom& l) { l.sendPowerOff(); }) << frame(AMT_CMD_POWER_OFF);
    QTest::newRow("transfer end") << Action([](LibCom& l) { l.notifyTransformDataEnd(); })
                                  << QByteArray::fromHex("aa55000000000004aa55000405000000") + be32(5);
    QTest::newRow("export end") << Action([](LibCom& l) { l.notifyExportDataEnd(); })
                                << frame(AMT_NOTIFY, be32(11));
    QTest::newRow("log end") << Action([](LibCom& l) { l.notifyExportLogEnd(); }) << frame(AMT_NOTIFY, be32(20));
    QTest::newRow("pending end, nothing pending") << Action([](LibCom& l) { l.notifyPendingEnd(); })
                                                  << QByteArray();
}

void TestLibCom::commandFrames()
{
    QFETCH(Action, action);
    QFETCH(QByteArray, expected);
    Clock::set(QDateTime(QDate(2026, 1, 1), QTime(0, 0), Qt::UTC));

    LibCom unconnected;
    action(unconnected); // no connection yet: nothing to send, nothing to break

    LinkFixture f;
    QVERIFY(f.connectControl());
    action(f.lib);
    f.lib.sendGetErrorCode(); // marks the end of what the action sent
    const QByteArray marker = frame(AMT_CMD_ERROR_CODE);
    QTRY_VERIFY_WITH_TIMEOUT(!f.receivedFrames().isEmpty() && f.receivedFrames().last() == marker, 5000);
    QList<QByteArray> sent = f.receivedFrames();
    sent.removeLast();
    QCOMPARE(sent, expected.isEmpty() ? QList<QByteArray>() : QList<QByteArray>{expected});
}

void TestLibCom::repliesReachTheirSignals_data()
{
    QTest::addColumn<uint>("id");
    QTest::addColumn<QByteArray>("payload");
    QTest::addColumn<QString>("event"); // empty: no signal
    QTest::addColumn<QVariantList>("values");

    QByteArray status;
    status += le32(1) + le32(1767225600);
    for (double v : {12.5, 87.5, 31.25, -4.0}) {
        quint64 bits;
        memcpy(&bits, &v, 8);
        status += le32(quint32(bits)) + le32(quint32(bits >> 32));
    }
    status += le32(1) + le32(0xDEADBEEF);
    const QByteArray info = QByteArray::fromHex("5c8f823f7368813f"); // 1.02f, 1.011f

    QTest::newRow("project config") << uint(AMT_CMD_PROJECT_CONFIG) << QByteArray() << "ProjectConfigSuccess"
                                    << QVariantList();
    QTest::newRow("sample start") << uint(AMT_CMD_SAMPLE_START) << QByteArray() << "FreqGroupSampleOver"
                                  << QVariantList();
    QTest::newRow("sample stop") << uint(AMT_CMD_SAMPLE_STOP) << QByteArray() << "SampleStoped" << QVariantList();
    QTest::newRow("adjust time") << uint(AMT_CMD_ADJUST_TIME) << QByteArray() << "AdjustTimeOver" << QVariantList();
    QTest::newRow("transfer over") << uint(AMT_CMD_TRANSFORM_DATA) << QByteArray() << "FreqGroupTransformDataOver"
                                   << QVariantList();
    QTest::newRow("self check") << uint(AMT_CMD_SELF_CHECK) << QByteArray(16, '\0') << "SelfCheck"
                                << QVariantList{true};
    QTest::newRow("status") << uint(AMT_CMD_MACHINE_STATUS) << status << "Status" << QVariantList{status};
    QTest::newRow("status, longer") << uint(AMT_CMD_MACHINE_STATUS) << status + "tail" << "Status"
                                    << QVariantList{status};
    QTest::newRow("status, short") << uint(AMT_CMD_MACHINE_STATUS) << status.left(47) << "" << QVariantList();
    QTest::newRow("storage listing") << uint(AMT_CMD_DISK_SPACE_FILE) << QByteArray("AMT_P1/\nLine_5/\n")
                                     << "DiskSpaceFile" << QVariantList{QByteArray("AMT_P1/\nLine_5/\n")};
    QTest::newRow("data delete") << uint(AMT_CMD_DATA_DELETE) << QByteArray() << "DataDeleteOver" << QVariantList();
    QTest::newRow("export over") << uint(AMT_CMD_EXPORT_DATA) << QByteArray() << "StationExportSampleDataOver"
                                 << QVariantList();
    QTest::newRow("error word") << uint(AMT_CMD_ERROR_CODE) << le32(0x80000211) << "ErrorCode"
                                << QVariantList{uint(0x80000211)};
    QTest::newRow("error word, short") << uint(AMT_CMD_ERROR_CODE) << QByteArray(3, '\x01') << "" << QVariantList();
    QTest::newRow("unsave") << uint(AMT_CMD_UNSAVE_DATA) << QByteArray() << "" << QVariantList();
    QTest::newRow("groups") << uint(AMT_CMD_SAMPLE_GROUPS_NUM) << le32(3) + "x" << "SampleGroupsNum"
                            << QVariantList{3};
    QTest::newRow("groups, short") << uint(AMT_CMD_SAMPLE_GROUPS_NUM) << QByteArray(2, '\0') << "" << QVariantList();
    QTest::newRow("flag clear") << uint(AMT_CMD_ERROR_FLAG_CLEAR) << QByteArray() << "ErrorFlagClear"
                                << QVariantList();
    QTest::newRow("system info") << uint(AMT_CMD_SYSTEM_INFO) << info << "SystemInfo"
                                 << QVariantList{1.02f, 1.011f};
    QTest::newRow("system info, short") << uint(AMT_CMD_SYSTEM_INFO) << info.left(7) << "" << QVariantList();
    QTest::newRow("string") << uint(AMT_CMD_STRING) << QByteArray("ok") << "" << QVariantList();
    QTest::newRow("format done") << uint(AMT_CMD_SDCARD_FORMAT) << QByteArray() << "SDCardDiskFormatSucceed"
                                 << QVariantList();
    QTest::newRow("log over") << uint(AMT_CMD_EXPORT_LOG) << QByteArray() << "ExportLogDataOver" << QVariantList();
    QTest::newRow("power off") << uint(AMT_CMD_POWER_OFF) << QByteArray() << "" << QVariantList();
    QTest::newRow("unknown id") << uint(0xAA550007) << QByteArray() << "" << QVariantList();

    // Notifications, with the sub-code as its low part and as the full message ID.
    struct Notice
    {
        const char* name;
        quint32 sub;
        QByteArray data;
        QString event;
        QVariantList values;
    };
    const QList<Notice> notices = {
        {"started", 0x02, {}, "SampleStarted", {}},
        {"data wanted", 0x05, {}, "RequestDataComConnecting", {}},
        {"project list", 0x09, "ProjectID:P1 ProjectName:A\n", "ProjectListFile",
         {QByteArray("ProjectID:P1 ProjectName:A\n")}},
        {"project list, empty", 0x09, {}, "ProjectListFile", {QByteArray()}},
        {"exported project", 0x0B, le32(1) + le32(0) + "ProjectId=P1\n", "ExportDataProjectConfig",
         {QByteArray("ProjectId=P1\n")}},
        {"exported station", 0x0B, le32(0) + le32(1) + "GroupID=1\n", "ExportDataStationConfig",
         {QByteArray("GroupID=1\n")}},
        {"export, other pair", 0x0B, le32(1) + le32(1) + "x", "", {}},
        {"export, short", 0x0B, le32(0) + QByteArray(3, '\x01'), "", {}},
        {"format begins", 0x13, {}, "SDCardDiskPrepareForFormat", {}},
        {"log follows", 0x14, {}, "PrepareForExportLog", {}},
        {"unknown", 0x30, {}, "", {}},
    };
    for (const Notice& n : notices) {
        for (quint32 prefix : {0u, quint32(AMT_SUBCODE_PREFIX)}) {
            const QByteArray name = QByteArray("notify ") + n.name + (prefix ? " (full)" : " (low)");
            QTest::newRow(name.constData()) << uint(AMT_NOTIFY) << le32(prefix | n.sub) + n.data << n.event << n.values;
        }
    }
    QTest::newRow("notify, short") << uint(AMT_NOTIFY) << QByteArray(3, '\x02') << "" << QVariantList();
}

void TestLibCom::repliesReachTheirSignals()
{
    QFETCH(uint, id);
    QFETCH(QByteArray, payload);
    QFETCH(QString, event);
    QFETCH(QVariantList, values);

    LinkFixture f;
    QVERIFY(f.connectControl());
    f.rec.clear();
    f.sim.reply(id, payload);
    QVERIFY(f.sync());
    QList<LinkEvent> events = f.rec.events;
    events.removeLast(); // the answer to sync()
    if (event.isEmpty()) {
        QCOMPARE(f.rec.names(), QStringList{"ErrorCode"});
        return;
    }
    QCOMPARE(events.size(), 1);
    QCOMPARE(events.first().name, event);
    QCOMPARE(events.first().values, values);
}

void TestLibCom::notificationRetiresItsRequest_data()
{
    QTest::addColumn<bool>("fullSubCodes");
    QTest::newRow("low part") << false;
    QTest::newRow("full ID") << true;
}

// The transfer request is answered only by notification 05 for a long while; the notification
// must retire it. A status request whose reply is dropped shows when a resend would have happened.
void TestLibCom::notificationRetiresItsRequest()
{
    QFETCH(bool, fullSubCodes);
    LinkFixture f;
    f.sim.settings().fullSubCodes = fullSubCodes;
    f.lib.setRequestTimeout(300);
    f.lib.setRequestInterval(50);
    QVERIFY(f.connectControl());
    SimFault drop;
    drop.id = AMT_CMD_MACHINE_STATUS;
    f.sim.faults().add(drop);

    const QByteArray request = le32(5) + le32(100) + le32(0);
    f.lib.sendRequestTransformData(request.constData());
    QTRY_COMPARE_WITH_TIMEOUT(f.rec.count("RequestDataComConnecting"), 1, 5000);
    f.lib.sendGetMachineStatus();
    QTRY_COMPARE_WITH_TIMEOUT(f.rec.count("Status"), 1, 5000);
    QCOMPARE(f.sim.journal().received(AMT_CMD_MACHINE_STATUS).size(), 2);
    QCOMPARE(f.sim.journal().received(AMT_CMD_TRANSFORM_DATA).size(), 1);
}

void TestLibCom::unansweredCommandsAreNotRepeated_data()
{
    QTest::addColumn<uint>("id");
    QTest::addColumn<Action>("send");
    QTest::addColumn<QStringList>("faults"); // what the instrument's answers lose
    QTest::addColumn<bool>("repeated");
    QTest::newRow("status") << uint(AMT_CMD_MACHINE_STATUS) << Action([](LibCom& l) { l.sendGetMachineStatus(); })
                            << QStringList{"msg=MACHINE_STATUS on=control nth=1 fault=drop"} << true;
    QTest::newRow("stop") << uint(AMT_CMD_SAMPLE_STOP) << Action([](LibCom& l) { l.sendSampleStop(); })
                          << QStringList{"msg=SAMPLE_STOP on=control nth=1 fault=drop"} << false;
    QTest::newRow("start") << uint(AMT_CMD_SAMPLE_START) << Action([](LibCom& l) {
        QByteArray next;
        l.sendSampleStart(&next);
    }) << QStringList() << false;
    QTest::newRow("format") << uint(AMT_CMD_SDCARD_FORMAT) << Action([](LibCom& l) { l.sendSDCardFormat(); })
                            << QStringList{"msg=NOTIFY sub=0x13 on=control nth=1 fault=drop",
                                           "msg=SDCARD_FORMAT on=control nth=1 fault=drop"}
                            << false;
    QTest::newRow("deletion") << uint(AMT_CMD_DATA_DELETE) << Action([](LibCom& l) {
        QByteArray request("ProjectID=P1\r\nLineNum=ALL\r\nStationNum=ALL\r\n");
        l.sendDataDelete(&request);
    }) << QStringList{"msg=DATA_DELETE on=control nth=1 fault=drop"} << false;
}

// A reply that never comes: a question is asked again; a command that acts is not sent a second
// time (it may have been carried out), the status is asked instead.
void TestLibCom::unansweredCommandsAreNotRepeated()
{
    QFETCH(uint, id);
    QFETCH(Action, send);
    QFETCH(QStringList, faults);
    QFETCH(bool, repeated);
    LinkFixture f;
    f.lib.setRequestTimeout(300);
    f.lib.setRequestInterval(50);
    QVERIFY(f.connectControl());
    for (const QString& rule : faults) {
        SimFault fault;
        QString error;
        QVERIFY2(SimFault::parse(rule, &fault, &error), qPrintable(error));
        f.sim.faults().add(fault);
    }
    const int statusBefore = f.sim.journal().received(AMT_CMD_MACHINE_STATUS).size();

    send(f.lib);
    if (repeated) {
        QTRY_VERIFY_WITH_TIMEOUT(f.sim.journal().received(id).size() >= 2, 5000);
        return;
    }
    QTRY_VERIFY_WITH_TIMEOUT(f.sim.journal().received(AMT_CMD_MACHINE_STATUS).size() > statusBefore, 5000);
    QTRY_COMPARE_WITH_TIMEOUT(f.rec.count("Status"), 1, 5000);
    QCOMPARE(f.sim.journal().received(id).size(), 1);
}

void TestLibCom::pendingEndFollowsTheInstrumentsRequest_data()
{
    QTest::addColumn<QList<QByteArray>>("notifications"); // payloads of AMT_NOTIFY
    QTest::addColumn<uint>("replyId");                     // a reply after them, 0 = none
    QTest::addColumn<int>("endNotice");                    // -1 = nothing sent

    QTest::newRow("transfer") << QList<QByteArray>{le32(5)} << 0u << 5;
    QTest::newRow("read-back") << QList<QByteArray>{le32(0xB) + le32(1) + le32(0), le32(0xB) + le32(0) + le32(1)}
                               << 0u << 11;
    QTest::newRow("read-back, project text only") << QList<QByteArray>{le32(0xB) + le32(1) + le32(0)} << 0u << -1;
    QTest::newRow("transfer answered") << QList<QByteArray>{le32(5)} << uint(AMT_CMD_TRANSFORM_DATA) << -1;
    QTest::newRow("read-back answered") << QList<QByteArray>{le32(0xB) + le32(0) + le32(1)}
                                        << uint(AMT_CMD_EXPORT_DATA) << -1;
    QTest::newRow("log answered") << QList<QByteArray>{le32(5)} << uint(AMT_CMD_EXPORT_LOG) << -1;
}

void TestLibCom::pendingEndFollowsTheInstrumentsRequest()
{
    QFETCH(QList<QByteArray>, notifications);
    QFETCH(uint, replyId);
    QFETCH(int, endNotice);

    LinkFixture f;
    QVERIFY(f.connectControl());
    for (const QByteArray& n : notifications)
        f.sim.reply(AMT_NOTIFY, n);
    if (replyId)
        f.sim.reply(replyId);
    QVERIFY(f.sync());
    QSignalSpy notices(&f.sim, &AMTSimulator::endNoticeReceived);
    f.lib.notifyPendingEnd();
    QVERIFY(f.sync());
    QCOMPARE(notices.size(), endNotice < 0 ? 0 : 1);
    if (endNotice >= 0)
        QCOMPARE(notices.first().first().toInt(), endNotice);
}

void TestLibCom::controlConnectRules()
{
    LinkFixture f;
    QVERIFY(!f.lib.connectCom(COM_SELECT_CONTROL)); // nothing opened yet
    QVERIFY(!f.lib.connectCom(COM_SELECT_DATA));
    QVERIFY(!f.lib.connectCom(COM_SELECT_EXPORT_LOG));
    QVERIFY(!f.lib.connectCom(7));
    QVERIFY(f.connectControl());
    QVERIFY(f.lib.isNetWorkConnected());
    QVERIFY(!f.lib.connectCom(COM_SELECT_CONTROL));
    QCOMPARE(f.rec.names(), QStringList{"NetWorkConnected"});
}

void TestLibCom::dataConnectionsFollowTheChannelMask_data()
{
    QTest::addColumn<QByteArray>("use"); // Hx, Hy, E0, E1, E2
    QTest::addColumn<int>("mode");
    QTest::addColumn<QList<int>>("connections");

    QTest::newRow("Hx and E0") << QByteArray("\1\0\1\0\0", 5) << 1 << QList<int>{0, 4};
    QTest::newRow("E2") << QByteArray("\0\0\0\0\1", 5) << 1 << QList<int>{2};
    QTest::newRow("Hy and E1") << QByteArray("\0\1\0\1\0", 5) << 1 << QList<int>{1, 3};
    QTest::newRow("read-back takes all") << QByteArray("\1\0\0\0\0", 5) << 2 << QList<int>{0, 1, 2, 3, 4};
}

void TestLibCom::dataConnectionsFollowTheChannelMask()
{
    QFETCH(QByteArray, use);
    QFETCH(int, mode);
    QFETCH(QList<int>, connections);

    LinkFixture f;
    QVERIFY(f.connectControl());
    QVERIFY(f.connectData(use.constData(), mode));
    QVERIFY(f.sync());
    for (int i = 0; i < LibCom::DataComCount; ++i)
        QCOMPARE(f.sim.server().isConnected(SimFirstDataPort + i), connections.contains(i));
    QCOMPARE(f.rec.count("DataComNetworkConnected"), 1);
}

// Data connections that come up while control is down raise nothing, then or later.
void TestLibCom::dataSignalsWaitForControl()
{
    LinkFixture f;
    f.lib.openDataComs(f.address, hxOnly, DATA_MODE_USED_CHANNELS);
    QVERIFY(f.lib.connectCom(COM_SELECT_DATA));
    QTRY_VERIFY_WITH_TIMEOUT(f.sim.server().isConnected(SimFirstDataPort), 5000);
    QVERIFY(f.connectControl());
    QVERIFY(f.sync());
    QCOMPARE(f.rec.names(), (QStringList{"NetWorkConnected", "ErrorCode"}));
}

void TestLibCom::closingSignals()
{
    LinkFixture f;
    QVERIFY(f.connectControl());
    QVERIFY(f.connectData(hxHy, DATA_MODE_USED_CHANNELS));
    f.rec.clear();

    f.sim.server().disconnectPort(SimControlPort);
    QTRY_VERIFY_WITH_TIMEOUT(!f.lib.isNetWorkConnected(), 5000);
    f.sim.server().disconnectPort(SimFirstDataPort);
    QSignalSpy dataClosed(&f.lib, &LibCom::AMTMachineDataComClosed);
    f.sim.server().disconnectPort(SimFirstDataPort + 1);
    QVERIFY(dataClosed.wait(5000));
    // Control down and the last needed data connection gone: both signals, in this order.
    QCOMPARE(f.rec.names(), (QStringList{"DataComClosed", "NetWorkClosed"}));
}

void TestLibCom::exportLogConnection()
{
    LinkFixture f;
    QVERIFY(f.lib.openExportLogCom(f.address));
    QVERIFY(f.lib.connectCom(COM_SELECT_EXPORT_LOG));
    QTRY_COMPARE_WITH_TIMEOUT(f.rec.count("ExportLogComNetworkConnected"), 1, 5000);
    QVERIFY(!f.lib.connectCom(COM_SELECT_EXPORT_LOG));
    QTRY_VERIFY_WITH_TIMEOUT(f.sim.server().isConnected(SimLogPort), 5000);
    f.sim.server().disconnectPort(SimLogPort);
    QTRY_COMPARE_WITH_TIMEOUT(f.rec.count("NetWorkClosed"), 1, 5000);
    QCOMPARE(f.rec.names(), (QStringList{"ExportLogComNetworkConnected", "ExportLogComClosed", "NetWorkClosed"}));
}

void TestLibCom::portsWrapAtTheTop_data()
{
    QTest::addColumn<int>("base");
    QTest::addColumn<int>("select");
    QTest::addColumn<bool>("started");

    QTest::newRow("log port wraps to 0") << 65530 << COM_SELECT_EXPORT_LOG << false;
    QTest::newRow("log port 65535") << 65529 << COM_SELECT_EXPORT_LOG << true;
    QTest::newRow("Hx port wraps to 0") << 65535 << COM_SELECT_DATA << false;
    QTest::newRow("Hx port 65535") << 65534 << COM_SELECT_DATA << true;
}

void TestLibCom::portsWrapAtTheTop()
{
    QFETCH(int, base);
    QFETCH(int, select);
    QFETCH(bool, started);

    LibCom lib;
    const MachineAddress address{"127.0.0.1", quint16(base)};
    lib.openExportLogCom(address);
    lib.openDataComs(address, hxOnly, DATA_MODE_USED_CHANNELS);
    QCOMPARE(lib.connectCom(select), started);
}

// A data connection still up from the last transfer is cut, not left to block the next attempt;
// a changed address is taken up.
void TestLibCom::reopeningDataConnections()
{
    LinkFixture f;
    QVERIFY(f.connectControl());
    QVERIFY(f.connectData(hxOnly, DATA_MODE_USED_CHANNELS));
    QVERIFY(f.connectData(hxOnly, DATA_MODE_USED_CHANNELS));
    QCOMPARE(f.rec.count("DataComNetworkConnected"), 2);
    QCOMPARE(f.rec.count("DataComClosed"), 0);

    AMTSimulator other;
    QVERIFY(other.start(0));
    f.lib.disconnectCom(COM_SELECT_DATA);
    QTRY_COMPARE_WITH_TIMEOUT(f.rec.count("DataComClosed"), 1, 5000);
    const MachineAddress moved{"127.0.0.1", other.basePort()};
    f.lib.openDataComs(moved, hxOnly, DATA_MODE_USED_CHANNELS);
    QVERIFY(f.lib.connectCom(COM_SELECT_DATA));
    QTRY_VERIFY_WITH_TIMEOUT(other.server().isConnected(SimFirstDataPort), 5000);
    QTRY_COMPARE_WITH_TIMEOUT(f.rec.count("DataComNetworkConnected"), 3, 5000);
}

// The instrument is slow to accept: the retry drops the attempt still in its connect phase and
// starts a new one, which connects once the instrument accepts.
void TestLibCom::retryAbortsAnAttemptStillConnecting()
{
    StalledListener listener;
    QVERIFY(listener.stalled);
    LibCom lib;
    const MachineAddress address{"127.0.0.1", quint16(listener.port - 1)}; // Hx on the listener
    lib.openDataComs(address, hxOnly, DATA_MODE_USED_CHANNELS);
    QVERIFY(lib.connectCom(COM_SELECT_DATA));

    lib.openDataComs(address, hxOnly, DATA_MODE_USED_CHANNELS);
    QVERIFY(lib.connectCom(COM_SELECT_DATA));

    QList<quint16> clients;
    QTRY_VERIFY_WITH_TIMEOUT((clients += listener.acceptClients()).size() == 1, 10000);
}

// A receiver may open a new control connection while the old one is delivering to it.
void TestLibCom::replacingControlFromItsOwnHandler()
{
    LinkFixture f;
    QVERIFY(f.connectControl());
    bool replaced = false;
    connect(&f.lib, &LibCom::AMTMachineStatus, &f.lib, [&] {
        if (replaced)
            return;
        replaced = true;
        QVERIFY(f.lib.openControlCom(f.address));
        QVERIFY(f.lib.connectCom(COM_SELECT_CONTROL));
    });
    f.lib.sendGetMachineStatus();
    f.lib.sendGetSystemInfo(); // its reply reaches the old connection after the replacement
    QTRY_COMPARE_WITH_TIMEOUT(f.rec.count("NetWorkConnected"), 2, 5000);
    f.lib.sendGetMachineStatus();
    QTRY_COMPARE_WITH_TIMEOUT(f.rec.count("Status"), 2, 5000);
    QCOMPARE(f.rec.count("SystemInfo"), 0);
    QCOMPARE(f.rec.count("NetWorkClosed"), 0);
}

void TestLibCom::dataFrameBounds_data()
{
    QTest::addColumn<QByteArray>("frame");
    QTest::addColumn<bool>("delivered");
    QTest::addColumn<int>("length"); // dataLength handed on

    QTest::newRow("exact") << dataFrame(0, 64, 64) << true << 64;
    QTest::newRow("record only") << dataFrame(0, 0, 0) << true << 0;
    QTest::newRow("negative length") << dataFrame(0, -8, 16) << true << 0;
    QTest::newRow("length beyond the frame") << dataFrame(0, 100, 40) << true << 40;
    QTest::newRow("shorter than the record") << frame(AMT_CMD_TRANSFORM_DATA, QByteArray(31, '\x01')) << false << 0;
}

void TestLibCom::dataFrameBounds()
{
    QFETCH(QByteArray, frame);
    QFETCH(bool, delivered);
    QFETCH(int, length);

    LinkFixture f;
    QVERIFY(f.connectControl());
    QVERIFY(f.connectData(hxOnly, DATA_MODE_USED_CHANNELS));
    f.rec.clear();
    f.sim.server().send(SimFirstDataPort, frame);
    f.sim.server().send(SimFirstDataPort, dataFrame(0, 8, 8, 2));
    QTRY_COMPARE_WITH_TIMEOUT(f.rec.count("TransformChannelDataEnd"), delivered ? 2 : 1, 5000);
    const QVariantList values = f.rec.named("TransformChannelDataEnd").first().values;
    if (!delivered) {
        QCOMPARE(values.at(4).toInt(), 2); // only the clean frame came through
        return;
    }
    QCOMPARE(values.at(5).toInt(), length);
    QCOMPARE(values.at(9).toByteArray(), frame.mid(48, length));
}

void TestLibCom::groupCompletion()
{
    LinkFixture f;
    QVERIFY(f.connectControl());
    QVERIFY(f.connectData(hxHy, DATA_MODE_USED_CHANNELS));
    f.rec.clear();

    // Hy twice, then Hx: three blocks, one group; the end carries the record of Hx.
    f.sim.server().send(SimFirstDataPort + 1, dataFrame(1, 8, 8));
    f.sim.server().send(SimFirstDataPort + 1, dataFrame(1, 8, 8));
    QTRY_COMPARE_WITH_TIMEOUT(f.rec.count("TransformChannelDataEnd"), 2, 5000);
    f.sim.server().send(SimFirstDataPort, dataFrame(0, 12, 12));
    QTRY_COMPARE_WITH_TIMEOUT(f.rec.count("TransformDataEnd"), 1, 5000);
    QCOMPARE(f.rec.names(), (QStringList{"TransformChannelDataEnd", "TransformChannelDataEnd",
                                         "TransformChannelDataEnd", "TransformDataEnd"}));
    QCOMPARE(f.rec.named("TransformDataEnd").first().values, (QVariantList{7, 5, 100, 1, 12, 0, 0, 0}));

    // Hx of a group that never completes does not count towards the next transfer.
    f.rec.clear();
    f.sim.server().send(SimFirstDataPort, dataFrame(0, 8, 8));
    QTRY_COMPARE_WITH_TIMEOUT(f.rec.count("TransformChannelDataEnd"), 1, 5000);
    f.sim.reply(AMT_NOTIFY, le32(5));
    QTRY_COMPARE_WITH_TIMEOUT(f.rec.count("RequestDataComConnecting"), 1, 5000);
    f.sim.server().send(SimFirstDataPort + 1, dataFrame(1, 8, 8, 2));
    QTRY_COMPARE_WITH_TIMEOUT(f.rec.count("TransformChannelDataEnd"), 2, 5000);
    QVERIFY(f.sync());
    QCOMPARE(f.rec.count("TransformDataEnd"), 0);
    f.sim.server().send(SimFirstDataPort, dataFrame(0, 8, 8, 2));
    QTRY_COMPARE_WITH_TIMEOUT(f.rec.count("TransformDataEnd"), 1, 5000);
    QCOMPARE(f.lib.pendingDeviceRequest(), uint(AMT_CMD_TRANSFORM_DATA));
}

void TestLibCom::logConnectionCarriesOnlyTheLog()
{
    LinkFixture f;
    QVERIFY(f.lib.openExportLogCom(f.address));
    QVERIFY(f.lib.connectCom(COM_SELECT_EXPORT_LOG));
    QTRY_VERIFY_WITH_TIMEOUT(f.sim.server().isConnected(SimLogPort), 5000);
    QTRY_COMPARE_WITH_TIMEOUT(f.rec.count("ExportLogComNetworkConnected"), 1, 5000);

    auto logMessage = [](uint id, const QByteArray& text) { return frame(id, be32(uint(text.size())) + text); };
    // An empty log raises nothing, but the end notice it asks for is the log's.
    f.sim.server().send(SimLogPort, logMessage(AMT_CMD_EXPORT_LOG, QByteArray()));
    QTRY_COMPARE_WITH_TIMEOUT(f.lib.pendingDeviceRequest(), uint(AMT_CMD_EXPORT_LOG), 5000);
    f.sim.server().send(SimLogPort, logMessage(AMT_CMD_TRANSFORM_DATA, QByteArray(64, '\x01')));
    f.sim.server().send(SimLogPort, logMessage(AMT_CMD_EXPORT_LOG, "hello"));
    QTRY_COMPARE_WITH_TIMEOUT(f.rec.count("ExportLogData"), 1, 5000);
    QCOMPARE(f.rec.names(), (QStringList{"ExportLogComNetworkConnected", "ExportLogData"}));
    QCOMPARE(f.rec.named("ExportLogData").first().values, QVariantList{QByteArray("hello")});
    QCOMPARE(f.lib.pendingDeviceRequest(), uint(AMT_CMD_EXPORT_LOG));
}

QTEST_MAIN(TestLibCom)
#include "tst_libcom.moc"
