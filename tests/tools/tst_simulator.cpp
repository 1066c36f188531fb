// The instrument simulator on its own, seen through raw sockets: its frame codec, its fault
// script, the bytes each fault puts on the wire, and the command-line program.
#include "common/AMTMessageIds.h"
#include "common/Clock.h"
#include "tools/simulator/AMTSimulator.h"
#include "tools/simulator/SimChannelData.h"
#include "tools/simulator/SimEarth.h"
#include "tools/simulator/SimFault.h"
#include "tools/simulator/SimFrameReader.h"
#include "tools/simulator/SimHost.h"
#include "tools/simulator/SimStationTask.h"

#include <QProcess>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>

#include <cstring>
#include <memory>
#include <vector>

namespace {

// Header written out by hand: ID, length, ID xor length, checksum, all big-endian.
const QByteArray statusRequest = QByteArray::fromHex("aa55000800000000aa55000800000000");

// A client that gathers everything the simulator sends on one port.
class RawClient
{
public:
    explicit RawClient(quint16 port)
    {
        QObject::connect(&socket, &QTcpSocket::readyRead, [this] { received += socket.readAll(); });
        QObject::connect(&socket, &QTcpSocket::disconnected, [this] { closed = true; });
        socket.connectToHost(QHostAddress::LocalHost, port);
    }
    bool waitConnected() { return QTest::qWaitFor([this] { return socket.state() == QAbstractSocket::ConnectedState; }, 5000); }
    bool waitFor(int bytes) { return QTest::qWaitFor([&] { return received.size() >= bytes; }, 5000); }

    QTcpSocket socket;
    QByteArray received;
    bool closed = false;
};

QByteArray garbage(int count)
{
    QByteArray bytes;
    for (int i = 0; i < count - 1; ++i)
        bytes += char(i);
    return bytes + '\xAA';
}

} // namespace

class TestSimulator : public QObject
{
    Q_OBJECT

private slots:
    // Status replies carry the clock: pinned for every row and its data.
    void initTestCase() { Clock::set(QDateTime(QDate(2026, 1, 1), QTime(0, 0), Qt::UTC)); }
    void cleanupTestCase() { Clock::reset(); }

    void encoder();
    void reader_data();
    void reader();
    void faultScript_data();
    void faultScript();
    void faultsOnTheWire_data();
    void faultsOnTheWire();
    void refusedPort();
    void stationTaskText();
    void gainCodes_data();
    void gainCodes();
    void earthBlocksOnTheWire();
    void journalStaysBoundedOverManyStations();
    void commandLine();
    void commandLineRejectsBadInput_data();
    void commandLineRejectsBadInput();
};

void TestSimulator::encoder()
{
    QCOMPARE(SimFrameCodec::encode(AMT_CMD_MACHINE_STATUS, QByteArray()), statusRequest);
    QCOMPARE(SimFrameCodec::encode(AMT_CMD_STRING, "abc"), QByteArray::fromHex("aa55001200000003aa55001100636261616263"));
    // Five bytes: one whole word and a last byte padded with zeros.
    QCOMPARE(SimFrameCodec::checksum(QByteArray::fromHex("0102030405")), 0x04030201u ^ 0x05u);
}

void TestSimulator::reader_data()
{
    QTest::addColumn<QList<QByteArray>>("chunks");
    QTest::addColumn<QList<QByteArray>>("frames");
    QTest::addColumn<int>("skipped");

    const QByteArray a = SimFrameCodec::encode(AMT_CMD_SAMPLE_START, "task");
    const QByteArray b = SimFrameCodec::encode(AMT_CMD_STRING, "xyz12");
    QByteArray badCheck = a;
    badCheck[11] = char(badCheck[11] ^ 1);
    QByteArray badSum = a;
    badSum[15] = char(badSum[15] ^ 1);
    QByteArray noSum = a;
    noSum.replace(12, 4, QByteArray(4, '\0'));
    QByteArray huge = SimFrameCodec::header(AMT_CMD_STRING, 0x7FFFFFF0, 0);

    QTest::newRow("two frames") << QList<QByteArray>{a + b} << QList<QByteArray>{a, b} << 0;
    QTest::newRow("garbage first") << QList<QByteArray>{"junk" + a} << QList<QByteArray>{a} << 4;
    QTest::newRow("lone AA kept") << QList<QByteArray>{"zz\xAA", a.mid(1)} << QList<QByteArray>{a} << 2;
    QTest::newRow("split everywhere") << QList<QByteArray>{a.left(1), a.mid(1, 9), a.mid(10, 9), a.mid(19)}
                                      << QList<QByteArray>{a} << 0;
    QTest::newRow("bad header check") << QList<QByteArray>{badCheck + b} << QList<QByteArray>{b} << badCheck.size();
    QTest::newRow("bad checksum") << QList<QByteArray>{badSum + b} << QList<QByteArray>{b} << badSum.size();
    QTest::newRow("no checksum given") << QList<QByteArray>{noSum} << QList<QByteArray>{noSum} << 0;
    QTest::newRow("absurd length") << QList<QByteArray>{huge + b} << QList<QByteArray>{b} << huge.size();
}

void TestSimulator::reader()
{
    QFETCH(QList<QByteArray>, chunks);
    QFETCH(QList<QByteArray>, frames);
    QFETCH(int, skipped);

    SimFrameReader reader;
    QList<QByteArray> found;
    for (const QByteArray& chunk : chunks) {
        reader.append(chunk);
        SimFrame frame;
        QByteArray raw;
        while (reader.next(&frame, &raw)) {
            QCOMPARE(frame.payload, raw.mid(16));
            found.append(raw);
        }
    }
    QCOMPARE(found, frames);
    QCOMPARE(reader.skippedBytes(), qint64(skipped));
}

void TestSimulator::faultScript_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("described"); // empty: the line is refused

    QTest::newRow("plain") << "msg=MACHINE_STATUS fault=drop" << "0xaa550008 any 1 drop";
    QTest::newRow("everything") << "msg=NOTIFY sub=0x05 on=control nth=all fault=split arg=1,7"
                                << "0xaa550000 0 0 split(1,7)";
    QTest::newRow("data port") << "msg=TRANSFORM_DATA on=data3 nth=2 fault=disconnect arg=100"
                               << "0xaa550005 4 2 disconnect(100)";
    QTest::newRow("by number") << "msg=0xAA550011 on=log fault=short" << "0xaa550011 6 1 short";
    QTest::newRow("refused port") << "on=data1 fault=refuse" << "0x00000000 2 1 refuse";
    QTest::newRow("unknown message") << "msg=STATUS fault=drop" << "";
    QTest::newRow("unknown port") << "msg=NOTIFY on=data5 fault=drop" << "";
    QTest::newRow("unknown fault") << "msg=NOTIFY fault=explode" << "";
    QTest::newRow("no fault") << "msg=NOTIFY nth=2" << "";
    QTest::newRow("nth zero") << "msg=NOTIFY nth=0 fault=drop" << "";
    QTest::newRow("negative argument") << "msg=NOTIFY fault=delay arg=-5" << "";
}

void TestSimulator::faultScript()
{
    QFETCH(QString, line);
    QFETCH(QString, described);

    SimFault fault;
    QString error;
    const bool ok = SimFault::parse(line, &fault, &error);
    QCOMPARE(ok, !described.isEmpty());
    if (!ok) {
        QVERIFY(!error.isEmpty());
        return;
    }
    const QString port = fault.port == SimFault::AnyPort ? "any" : QString::number(fault.port);
    QCOMPARE(QString("0x%1 %2 %3 %4").arg(fault.id, 8, 16, QChar('0')).arg(port).arg(fault.nth).arg(fault.describe()),
             described);

    SimFaultPlan plan;
    QVERIFY(!plan.load("# faults\n\n" + line + "\nmsg=NOTIFY\n", &error));
    QVERIFY2(error.startsWith("line 4"), qPrintable(error));
}

void TestSimulator::faultsOnTheWire_data()
{
    QTest::addColumn<QString>("rule");
    QTest::addColumn<QByteArray>("firstReply"); // as it travels; the second one is clean
    QTest::addColumn<bool>("closes");

    AMTSimulator sim;
    const QByteArray clean = SimFrameCodec::encode(AMT_CMD_MACHINE_STATUS, sim.statusRecord());
    QByteArray badSum = clean;
    SimFrameCodec::writeBigEndian(badSum.data() + 12, SimFrameCodec::readBigEndian(clean.constData() + 12) ^ 0x01020304);
    QByteArray badHeader = clean;
    badHeader[11] = char(badHeader[11] ^ 0x5A);
    QByteArray absurd = clean;
    absurd.replace(4, 8, QByteArray::fromHex("00000100aa550108"));

    QTest::newRow("clean") << "msg=SYSTEM_INFO fault=drop" << clean << false;
    QTest::newRow("drop") << "msg=MACHINE_STATUS fault=drop" << QByteArray() << false;
    QTest::newRow("delay") << "msg=MACHINE_STATUS fault=delay arg=30" << clean << false;
    QTest::newRow("duplicate") << "msg=MACHINE_STATUS fault=duplicate" << clean + clean << false;
    QTest::newRow("garbage") << "msg=MACHINE_STATUS fault=garbage arg=5" << garbage(5) + clean << false;
    QTest::newRow("bad checksum") << "msg=MACHINE_STATUS fault=badchecksum" << badSum << false;
    QTest::newRow("bad header") << "msg=MACHINE_STATUS fault=badheader" << badHeader << false;
    QTest::newRow("split") << "msg=MACHINE_STATUS fault=split arg=1,7,30" << clean << false;
    QTest::newRow("glue") << "msg=MACHINE_STATUS fault=glue" << clean << false;
    QTest::newRow("short") << "msg=MACHINE_STATUS fault=short arg=4"
                           << SimFrameCodec::encode(AMT_CMD_MACHINE_STATUS, sim.statusRecord().left(4)) << false;
    QTest::newRow("absurd") << "msg=MACHINE_STATUS fault=absurd arg=256" << absurd << false;
    QTest::newRow("disconnect") << "msg=MACHINE_STATUS fault=disconnect arg=10" << clean.left(10) << true;
    QTest::newRow("second only") << "msg=MACHINE_STATUS nth=2 fault=drop" << clean << false;
}

// Two status requests in a row: the rule touches the first reply only.
void TestSimulator::faultsOnTheWire()
{
    QFETCH(QString, rule);
    QFETCH(QByteArray, firstReply);
    QFETCH(bool, closes);

    AMTSimulator sim;
    QString error;
    QVERIFY(sim.faults().load(rule, &error));
    QVERIFY(sim.start(0));
    RawClient client(sim.basePort());
    QVERIFY(client.waitConnected());
    client.socket.write(statusRequest + statusRequest);
    const QByteArray clean = SimFrameCodec::encode(AMT_CMD_MACHINE_STATUS, sim.statusRecord());
    if (closes) {
        QTRY_VERIFY_WITH_TIMEOUT(client.closed, 5000);
        QCOMPARE(client.received, firstReply);
        return;
    }
    const QByteArray expected = rule.contains("nth=2") ? firstReply : firstReply + clean;
    QVERIFY(client.waitFor(expected.size()));
    QCOMPARE(client.received, expected);
    QCOMPARE(sim.journal().received(AMT_CMD_MACHINE_STATUS).size(), 2);
    const bool firstHit = !rule.contains("SYSTEM_INFO") && !rule.contains("nth=2");
    QCOMPARE(sim.journal().sent(AMT_CMD_MACHINE_STATUS).first().fault.isEmpty(), !firstHit);
}

// A refused port takes no connection while its rule is in the plan; the control port still
// answers, and once the rule is gone the port listens again from the next control frame on.
void TestSimulator::refusedPort()
{
    AMTSimulator sim;
    QString error;
    QVERIFY(sim.faults().load("on=data1 fault=refuse", &error));
    QVERIFY(sim.start(0));
    const quint16 hy = quint16(sim.basePort() + SimFirstDataPort + 1);
    RawClient refused(hy);
    QTRY_COMPARE_WITH_TIMEOUT(refused.socket.error(), QAbstractSocket::ConnectionRefusedError, 5000);

    sim.faults().clear();
    RawClient control(sim.basePort());
    QVERIFY(control.waitConnected());
    control.socket.write(statusRequest);
    QVERIFY(control.waitFor(16));
    RawClient accepted(hy);
    QVERIFY(accepted.waitConnected());
    QTRY_VERIFY_WITH_TIMEOUT(sim.server().isConnected(SimFirstDataPort + 1), 5000);
}

void TestSimulator::stationTaskText()
{
    const QByteArray text = "MachineID=0\r\nProjectNum=P7\r\nLineNum=3\r\nStationNum=12\r\n"
                            "GroupID=4\nCH1ChannelIsUse=0\nCH3ChannelIsUse=1\nCH5ChannelIsUse=0\n"
                            "SampleRate=4000\nSampleTime=2\nOnLineSelect=0\nSampleStartTime=99\n"
                            "GroupID=5\nSampleRate=250\n";
    SimStationTask task;
    QVERIFY(SimStationTask::parse(text, &task));
    QCOMPARE(task.key.projectId, QString("P7"));
    QCOMPARE(task.key.line, 3);
    QCOMPARE(task.key.station, 12);
    QCOMPARE(task.groups.size(), 2);
    const SimGroupTask& g = task.groups.first();
    QCOMPARE(g.groupId, 4);
    QCOMPARE(g.channels, (std::array<bool, 5>{{false, true, true, true, false}}));
    QCOMPARE(g.blockBytes(10, 1 << 20), qint64(4000 * 2 * 4));
    QCOMPARE(task.groups.last().blockBytes(10, 1 << 20), qint64(10)); // no time: the fallback
    QVERIFY(!g.online);
    QCOMPARE(g.plannedStart, 99);
    QCOMPARE(g.watchMode, 1); // Vector when the text does not say
    QVERIFY(!SimStationTask::parse("MachineID=0\nLineNum=3\n", &task));

    QVERIFY(SimStationTask::parse("GroupID=1\nPoleDistance1=100.5\nPoleDistance3=20\nPoleDistance4=9\n"
                                  "WatchMachineMode=3\nCH3Gain=1025\nCH33Gain=7\n",
                                  &task));
    QCOMPARE(task.groups.first().dipoleLengths, (std::array<double, 3>{{100.5, 0, 20}}));
    QCOMPARE(task.groups.first().watchMode, 3);
    QCOMPARE(task.groups.first().gainCodes, (std::array<int, 5>{{0, 0, 1025, 0, 0}}));

    const SimStationKey key = SimStationKey::fromSelection("ProjectID=P7\r\nLineNum=3\r\nStationNum=12.5\r\n");
    QVERIFY(key == (SimStationKey{"P7", 3, 12}));
}

void TestSimulator::gainCodes_data()
{
    QTest::addColumn<int>("rate");
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("gain");
    QTest::newRow("low rate 0x100") << 4000 << 0x100 << 1;
    QTest::newRow("low rate 0x101") << 4000 << 0x101 << 40;
    QTest::newRow("low rate 0x1001") << 250 << 0x1001 << 640;
    QTest::newRow("high rate 3") << 57800 << 3 << 100;
    QTest::newRow("high rate 5") << 277780 << 5 << 500;
    QTest::newRow("low-rate code at a high rate") << 107530 << 0x101 << 1;
    QTest::newRow("unknown code") << 4000 << 0x4001 << 1;
}

// The host writes gain codes of the current hardware's lists; the samples need the factors.
void TestSimulator::gainCodes()
{
    QFETCH(int, rate);
    QFETCH(int, code);
    QFETCH(int, gain);
    SimStationTask task;
    QVERIFY(SimStationTask::parse(QString("GroupID=1\nSampleRate=%1\nCH2Gain=%2\n").arg(rate).arg(code).toUtf8(),
                                  &task));
    QCOMPARE(task.groups.first().gain(1), gain);
}

// With the earth on, a transfer carries the earth's blocks of the running group's task.
void TestSimulator::earthBlocksOnTheWire()
{
    AMTSimulator sim;
    sim.settings().byteExactSamples = false;
    sim.settings().earthResistivity = 250;
    sim.settings().earthSeed = 9;
    sim.settings().sampleMs = 1;
    QVERIFY(sim.start(0));
    RawClient control(sim.basePort());
    QVERIFY(control.waitConnected());
    std::vector<std::unique_ptr<RawClient>> data;
    for (int c = 0; c < 5; ++c) {
        data.push_back(std::make_unique<RawClient>(quint16(sim.basePort() + SimFirstDataPort + c)));
        QVERIFY(data.back()->waitConnected());
    }

    const QByteArray text = "LineNum=3\nStationNum=7\nGroupID=2\nCH1ChannelIsUse=1\nCH2ChannelIsUse=0\n"
                            "CH3ChannelIsUse=0\nCH4ChannelIsUse=1\nCH5ChannelIsUse=0\nCH4Gain=1025\n"
                            "PoleDistance2=80\nSampleRate=250\nSampleTime=2\nOnLineSelect=1\n";
    control.socket.write(SimFrameCodec::encode(AMT_CMD_SAMPLE_START, text));
    QTRY_COMPARE_WITH_TIMEOUT(sim.journal().sent(AMT_CMD_SAMPLE_START).size(), 1, 5000); // group sampled
    control.socket.write(SimFrameCodec::encode(AMT_CMD_TRANSFORM_DATA, QByteArray::fromHex("030000000700000000000000")));
    QTRY_COMPARE_WITH_TIMEOUT(sim.journal().sent(AMT_CMD_TRANSFORM_DATA, SimFirstDataPort + 3).size(), 1, 5000);
    QTRY_COMPARE_WITH_TIMEOUT(sim.journal().sent(AMT_CMD_TRANSFORM_DATA, SimFirstDataPort).size(), 1, 5000);

    SimStationTask task;
    QVERIFY(SimStationTask::parse(text, &task));
    const QByteArray hx = sim.journal().sent(AMT_CMD_TRANSFORM_DATA, SimFirstDataPort).first().payload();
    const QByteArray e1 = sim.journal().sent(AMT_CMD_TRANSFORM_DATA, SimFirstDataPort + 3).first().payload();
    SampleDataControlParam record;
    std::memcpy(&record, hx.constData(), sizeof record);
    QCOMPARE(record.dataLength, 250 * 2 * 4);
    const std::array<QByteArray, 5> expected = SimEarth(250, 9).samples(task.groups.first(), record);
    QCOMPARE(hx.mid(32), expected[0]);
    QCOMPARE(e1.mid(32), expected[3]);
    QVERIFY(hx.mid(32) != SimChannelData::samples(record, 0));
}

// A long day against the simulator: the journal keeps the latest frames within its limits, with
// their whole sizes, however many stations pass.
void TestSimulator::journalStaysBoundedOverManyStations()
{
    AMTSimulator sim;
    sim.settings().sampleMs = 1;
    sim.settings().blockBytes = 64 * 1024;
    QVERIFY(sim.start(0));
    SimHost host(sim.basePort());
    QVERIFY(host.connectAll());
    SimJournal &journal = sim.journal();
    const auto record = [&](int first, int last) {
        for (int station = first; station <= last; ++station) {
            QByteArray text = "ProjectID=AMT_DAY\nLineNum=2\nStationNum=" + QByteArray::number(station) + "\n";
            for (int group = 1; group <= 3; ++group)
                text += "GroupID=" + QByteArray::number(group) + "\nSampleRate=4000\nSampleTime=1\nOnLineSelect=1\n";
            if (!host.recordStation(text))
                return false;
        }
        return true;
    };
    const auto checkHeld = [&](qint64 limit, int lastStation) {
        qint64 held = 0;
        for (const SimJournalEntry &entry : journal.entries())
            held += entry.bytes.size();
        QVERIFY2(held <= limit, qPrintable(QString("%1 bytes held").arg(held)));
        QCOMPARE(journal.heldBytes(), held);
        const QList<SimJournalEntry> blocks = journal.sent(AMT_CMD_TRANSFORM_DATA, SimFirstDataPort + 4);
        QVERIFY(!blocks.isEmpty());
        QCOMPARE(blocks.last().size, 16 + 32 + 64 * 1024);
        SampleDataControlParam block;
        QVERIFY(blocks.last().payload().size() >= int(sizeof block));
        std::memcpy(&block, blocks.last().payload().constData(), sizeof block);
        QCOMPARE(block.stationNum, lastStation);
        QCOMPARE(block.dataIndexNum, 3);
    };

    // 90 blocks of 64 KiB: only their first bytes stay.
    QVERIFY(record(1, 30));
    QCOMPARE(host.dataFramesReceived(4), 30 * 3);
    checkHeld(SimJournal::DefaultHeldLimit, 30);
    if (QTest::currentTestFailed())
        return;
    QCOMPARE(journal.droppedEntries(), 0);

    // Past the limit the oldest entries go, the newest stay.
    const qint64 tightLimit = 200 * 1024;
    journal.setHeldLimit(tightLimit);
    QVERIFY(record(31, 33));
    checkHeld(tightLimit, 33);
    if (QTest::currentTestFailed())
        return;
    QVERIFY(journal.droppedEntries() > 0);
    SampleDataControlParam oldest;
    const QByteArray oldestBlock = journal.sent(AMT_CMD_TRANSFORM_DATA, SimFirstDataPort + 4).constFirst().payload();
    std::memcpy(&oldest, oldestBlock.constData(), sizeof oldest);
    QVERIFY(oldest.stationNum > 30);
}

void TestSimulator::commandLine()
{
    QProcess process;
    process.start(AMT_SIMULATOR_PATH, {"--base", "0"});
    QVERIFY(process.waitForStarted(5000));
    QTRY_VERIFY_WITH_TIMEOUT(process.canReadLine(), 10000);
    const QList<QByteArray> words = process.readLine().trimmed().split(' ');
    QCOMPARE(words.value(0), QByteArray("base"));
    const quint16 base = quint16(words.value(1).toUInt());
    QVERIFY(base > 0);

    RawClient client(base);
    QVERIFY(client.waitConnected());
    client.socket.write(statusRequest);
    QVERIFY(client.waitFor(16 + 48));
    const QByteArray reply = client.received;
    QCOMPARE(reply.size(), 64);
    QCOMPARE(reply.left(12), QByteArray::fromHex("aa55000800000030aa550038"));
    quint32 sum = 0;
    for (int i = 16; i < 64; i += 4)
        sum ^= quint32(quint8(reply[i])) | quint32(quint8(reply[i + 1])) << 8 | quint32(quint8(reply[i + 2])) << 16 |
               quint32(quint8(reply[i + 3])) << 24;
    QCOMPARE(SimFrameCodec::readBigEndian(reply.constData() + 12), sum);

    process.kill();
    QVERIFY(process.waitForFinished(5000));
}

void TestSimulator::commandLineRejectsBadInput_data()
{
    QTest::addColumn<QStringList>("arguments"); // "SCRIPT" stands for the fault script's path
    QTest::addColumn<QByteArray>("message");

    QTest::newRow("unknown fault") << QStringList{"--script", "SCRIPT"} << QByteArray("line 2");
    QTest::newRow("base too high") << QStringList{"--base", "65530"} << QByteArray("out of range");
    QTest::newRow("block too large") << QStringList{"--block-bytes", "300000000"} << QByteArray("out of range");
    QTest::newRow("log too large") << QStringList{"--log-bytes", "3000000000"} << QByteArray("out of range");
    QTest::newRow("resistivity zero") << QStringList{"--rho", "0"} << QByteArray("--rho");
    QTest::newRow("resistivity not a number") << QStringList{"--rho", "soil"} << QByteArray("--rho");
    QTest::newRow("seed negative") << QStringList{"--seed", "-1"} << QByteArray("--seed");
}

void TestSimulator::commandLineRejectsBadInput()
{
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, message);
    QTemporaryDir dir;
    QFile script(dir.filePath("faults.txt"));
    QVERIFY(script.open(QIODevice::WriteOnly));
    script.write("msg=MACHINE_STATUS fault=drop\nmsg=MACHINE_STATUS fault=vanish\n");
    script.close();
    arguments.replaceInStrings("SCRIPT", script.fileName());
    QProcess process;
    process.start(AMT_SIMULATOR_PATH, QStringList{"--base", "0"} + arguments);
    QVERIFY(process.waitForFinished(10000));
    QCOMPARE(process.exitCode(), 2);
    QVERIFY(process.readAllStandardError().contains(message));
}

QTEST_MAIN(TestSimulator)
#include "tst_simulator.moc"
