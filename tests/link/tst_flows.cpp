// Whole exchanges between LibCom and the instrument simulator, driven as the main window drives
// them: an online run, a read-back, the log export, a restart, and faults on the wire.
#include "LinkFixture.h"

#include "common/AMTMessageIds.h"
#include "common/Clock.h"
#include "tools/simulator/SimChannelData.h"
#include "tools/simulator/SimFrameCodec.h"

#include <QSignalSpy>
#include <QTest>
#include <algorithm>

namespace {

const char allChannels[5] = {1, 1, 1, 1, 1};
const char hxHy[5] = {1, 1, 0, 0, 0};

QByteArray groupBlock(int group, int rate, int seconds, const char* use = allChannels)
{
    // CH1 to CH5 are Hx, Hy, E2, E1, E0; `use` is Hx, Hy, E0, E1, E2.
    const int chUse[5] = {use[0], use[1], use[4], use[3], use[2]};
    QByteArray text = "GroupID=" + QByteArray::number(group) + "\n";
    for (int ch = 0; ch < 5; ++ch) {
        const QByteArray n = QByteArray::number(ch + 1);
        text += "CH" + n + "ChannelIsUse=" + QByteArray::number(chUse[ch]) + "\nCH" + n + "InputNum=S" + n +
                "\nCH" + n + "Gain=1025\n";
    }
    text += "PoleDistance1=50\nPoleDistance2=50\nPoleDistance3=50\nSampleRate=" + QByteArray::number(rate) +
            "\nSampleTime=" + QByteArray::number(seconds) +
            "\nInputShortCircuit=0\nOnLineSelect=1\nSampleStartTime=0\nElectrodeType=0\nChopper=0\nWatchMachineMode=0\n";
    return text;
}

QByteArray stationHead()
{
    return "MachineID=0\nProjectNum=P1\nLineNum=5\nStationNum=100\nGPS_Latitude=0\nGPS_Longtitude=0\nGPS_Elevation=0\n";
}

// Plays the main window's part of a transfer: ask for the data when a group is sampled, open
// the data connections when asked, close them when the group is complete, send the end notice
// when they are closed, start the next group when the transfer is over.
class TransferDriver : public QObject
{
public:
    TransferDriver(LinkFixture* f, const char use[5], int groups)
        : groupsLeft(groups)
    {
        connect(&f->lib, &LibCom::AMTMachineFreqGroupSampleOver, this, [f] {
            const QByteArray request = le32(5) + le32(100) + le32(0);
            f->lib.sendRequestTransformData(request.constData());
        });
        connect(&f->lib, &LibCom::AMTMachineRequestDataComConnecting, this, [f, use] {
            f->lib.openDataComs(f->address, use, DATA_MODE_USED_CHANNELS);
            f->lib.connectCom(COM_SELECT_DATA);
        });
        connect(&f->lib, &LibCom::AMTMachineTransformDataEnd, this, [f] { f->lib.disconnectCom(COM_SELECT_DATA); });
        connect(&f->lib, &LibCom::AMTMachineDataComClosed, this, [f] { f->lib.notifyPendingEnd(); });
        connect(&f->lib, &LibCom::AMTMachineFreqGroupTransformDataOver, this, [this, f] {
            if (--groupsLeft <= 0)
                return;
            QByteArray next;
            f->lib.sendSampleStart(&next);
        });
    }
    int groupsLeft;
};

} // namespace

class TestFlows : public QObject
{
    Q_OBJECT

private slots:
    void init() { Clock::set(QDateTime(QDate(2026, 1, 1), QTime(0, 0), Qt::UTC)); }
    void cleanup() { Clock::reset(); }
    void onlineRunOfThreeGroups();
    void readBackOfTwoGroups();
    void logExport_data();
    void logExport();
    void restartClosesControl();
    void faultsOnTheControlConnection_data();
    void faultsOnTheControlConnection();
    void faultsOnTheDataConnections_data();
    void faultsOnTheDataConnections();

private:
    static void checkBlocks(const QList<LinkEvent>& blocks, const SampleDataControlParam& sent, QList<int> channels);
    static SampleDataControlParam sentRecord(int group, int bytes, int startTime = 0);
};

// Each block arrives with the record the instrument sent and exactly its sample bytes, one
// block per channel.
void TestFlows::checkBlocks(const QList<LinkEvent>& blocks, const SampleDataControlParam& sent, QList<int> channels)
{
    QList<int> seen;
    for (const LinkEvent& block : blocks) {
        const int channel = block.values.at(0).toInt();
        seen.append(channel);
        const QVariantList record = SignalRecorder::recordValues(&sent);
        const int compared = sent.sampleStartTime == 0 ? 5 : 6; // a run's start time is the simulator's clock
        QCOMPARE(block.values.mid(1, compared), record.mid(0, compared));
        QCOMPARE(block.values.at(9).toByteArray(), SimChannelData::samples(sent, channel));
    }
    std::sort(seen.begin(), seen.end());
    QCOMPARE(seen, channels);
}

SampleDataControlParam TestFlows::sentRecord(int group, int bytes, int startTime)
{
    SampleDataControlParam record;
    record.machineID = 1001;
    record.lineNum = 5;
    record.stationNum = 100;
    record.dataIndexNum = group;
    record.dataLength = bytes;
    record.sampleStartTime = startTime;
    return record;
}

void TestFlows::onlineRunOfThreeGroups()
{
    LinkFixture f;
    QVERIFY(f.connectControl());
    TransferDriver driver(&f, allChannels, 3);
    const QList<int> rates{250, 4000, 57800};
    QByteArray task = stationHead();
    for (int g = 0; g < 3; ++g)
        task += groupBlock(g + 1, rates[g], g == 0 ? 4 : 1);
    f.lib.sendSampleStart(&task);

    QTRY_COMPARE_WITH_TIMEOUT(f.rec.count("FreqGroupTransformDataOver"), 3, 20000);
    QCOMPARE(f.rec.count("SampleStarted"), 3);
    QCOMPARE(f.rec.count("TransformDataEnd"), 3);
    const QList<LinkEvent> blocks = f.rec.named("TransformChannelDataEnd");
    const QList<int> bytes{250 * 4 * 4, 4000 * 4, 57800 * 4};
    for (int g = 0; g < 3; ++g)
        checkBlocks(blocks.mid(5 * g, 5), sentRecord(g + 1, bytes[g]), {0, 1, 2, 3, 4});

    QCOMPARE(f.sim.journal().received(AMT_CMD_SAMPLE_START).size(), 3);
    QCOMPARE(f.sim.journal().received(AMT_CMD_TRANSFORM_DATA).size(), 3);
    const QList<SimJournalEntry> notices = f.sim.journal().received(AMT_NOTIFY);
    QCOMPARE(notices.size(), 3);
    for (const SimJournalEntry& n : notices)
        QCOMPARE(n.payload(), SimFrameCodec::bigEndian(5));
    QCOMPARE(f.sim.workStatus(), 0);
    QCOMPARE(f.sim.storage().count({"P1", 5, 100}), 3);
}

void TestFlows::readBackOfTwoGroups()
{
    LinkFixture f;
    QVERIFY(f.connectControl());
    SimGroupTask first;
    first.lines = groupBlock(1, 4000, 1).split('\n').mid(1, 26);
    SimGroupTask second = first;
    second.channels = {{true, true, false, false, true}};
    f.sim.storage().add({{"P1", 5, 100}, first, 3000, 1767225600, 1});
    f.sim.storage().add({{"P1", 5, 100}, second, 5000, 1767229200, 1});
    f.sim.storage().add({{"P1", 6, 100}, first, 100, 0, 1});
    f.sim.storage().setProjectConfig("P1", "ProjectId=P1\n");

    int groups = 0;
    connect(&f.lib, &LibCom::AMTMachineExportDataStationConfig, &f.lib, [&] {
        f.lib.openDataComs(f.address, allChannels, DATA_MODE_ALL_CHANNELS);
        f.lib.connectCom(COM_SELECT_DATA);
    });
    connect(&f.lib, &LibCom::AMTMachineExportDataEnd, &f.lib, [&] {
        if (++groups < 2)
            f.lib.notifyExportDataEnd();
        else
            f.lib.disconnectCom(COM_SELECT_DATA);
    });
    connect(&f.lib, &LibCom::AMTMachineDataComClosed, &f.lib, [&] { f.lib.notifyPendingEnd(); });
    QByteArray selection("ProjectID=P1\r\nLineNum=5\r\nStationNum=100\r\n");
    f.lib.sendExportData(&selection);

    QTRY_COMPARE_WITH_TIMEOUT(f.rec.count("StationExportSampleDataOver"), 1, 20000);
    QCOMPARE(f.rec.named("ExportDataProjectConfig").first().values, QVariantList{QByteArray("ProjectId=P1\n")});
    const QByteArray station = f.rec.named("ExportDataStationConfig").first().values.first().toByteArray();
    QVERIFY(station.startsWith("MachineID=1001\nProjectNum=P1\nLineNum=5\nStationNum=100\n"));
    QVERIFY(station.contains("GroupID=1\n") && station.contains("GroupID=2\n") && !station.contains("GroupID=3"));
    QVERIFY(station.contains("SampleStartTime=1767229200\n"));

    // Blocks carry their group's position in the station text. Group 2 uses three channels; the
    // other two deliver empty blocks, so that the group completes.
    const QList<LinkEvent> blocks = f.rec.named("ExportChannelDataEnd");
    QCOMPARE(f.rec.count("ExportDataEnd"), 2);
    QCOMPARE(f.rec.count("TransformChannelDataEnd"), 0);
    QCOMPARE(blocks.size(), 10);
    checkBlocks(blocks.mid(0, 5), sentRecord(1, 3000, 1767225600), {0, 1, 2, 3, 4});
    QList<LinkEvent> used;
    for (const LinkEvent& block : blocks.mid(5)) {
        if (block.values.at(5).toInt() > 0)
            used.append(block);
    }
    checkBlocks(used, sentRecord(2, 5000, 1767229200), {0, 1, 4});
    // One end notice 11 per group: after the first while connected, after the last once closed.
    QCOMPARE(f.sim.journal().received(AMT_NOTIFY).size(), 2);

    // A station the instrument holds nothing for is answered with the stop reply.
    QByteArray empty("ProjectID=P1\r\nLineNum=5\r\nStationNum=125\r\n");
    f.lib.sendExportData(&empty);
    QTRY_COMPARE_WITH_TIMEOUT(f.rec.count("SampleStoped"), 1, 5000);
}

void TestFlows::logExport_data()
{
    QTest::addColumn<int>("bytes");
    QTest::newRow("1 MiB") << 1024 * 1024;
    QTest::newRow("empty") << 0;
}

// Driven as the main window does: the log connection is closed once the log is in, and its
// closing sends the end notice.
void TestFlows::logExport()
{
    QFETCH(int, bytes);
    LinkFixture f;
    f.sim.settings().logBytes = bytes;
    QVERIFY(f.connectControl());
    connect(&f.lib, &LibCom::AMTMachinePrepareForExportLog, &f.lib, [&] {
        f.lib.openExportLogCom(f.address);
        f.lib.connectCom(COM_SELECT_EXPORT_LOG);
    });
    connect(&f.lib, &LibCom::AMTMachineExportLogData, &f.lib, [&] { f.lib.disconnectCom(COM_SELECT_EXPORT_LOG); });
    connect(&f.lib, &LibCom::AMTMachineExportLogComClosed, &f.lib, [&] { f.lib.notifyExportLogEnd(); });
    QSignalSpy notices(&f.sim, &AMTSimulator::endNoticeReceived);
    f.lib.sendExportLog();

    QTRY_COMPARE_WITH_TIMEOUT(f.rec.count("ExportLogDataOver"), 1, 10000);
    QTRY_COMPARE_WITH_TIMEOUT(notices.size(), bytes > 0 ? 1 : 0, 5000);
    if (bytes > 0)
        QCOMPARE(notices.first().first().toInt(), 20);
    QCOMPARE(f.rec.count("ExportLogData"), bytes > 0 ? 1 : 0);
    const QByteArray log = bytes > 0 ? f.rec.named("ExportLogData").first().values.first().toByteArray() : QByteArray();
    QCOMPARE(log.size(), bytes);
    QVERIFY(log == AMTSimulator::logText(bytes));
    QCOMPARE(f.lib.pendingDeviceRequest(), 0u);
}

void TestFlows::restartClosesControl()
{
    LinkFixture f;
    QVERIFY(f.connectControl());
    QSignalSpy closed(&f.lib, &LibCom::AMTMachineNetWorkClosed);
    f.lib.sendRestart();
    QVERIFY(closed.wait(5000));
    QVERIFY(!f.lib.isNetWorkConnected());
    QTRY_VERIFY_WITH_TIMEOUT(!f.sim.server().isConnected(SimControlPort), 5000);
}

void TestFlows::faultsOnTheControlConnection_data()
{
    QTest::addColumn<QString>("script");
    QTest::addColumn<QStringList>("events"); // after a status request and a storage request

    const QStringList clean{"Status", "ProjectListFile", "DiskSpaceFile"};
    QTest::newRow("garbage") << "msg=MACHINE_STATUS fault=garbage arg=9" << clean;
    QTest::newRow("split after the first sync byte") << "msg=MACHINE_STATUS fault=split" << clean;
    QTest::newRow("split in the header and payload") << "msg=MACHINE_STATUS fault=split arg=3,15,40" << clean;
    QTest::newRow("glued") << "msg=NOTIFY sub=9 fault=glue" << clean;
    QTest::newRow("duplicate") << "msg=DISK_SPACE_FILE fault=duplicate"
                               << QStringList{"Status", "ProjectListFile", "DiskSpaceFile", "DiskSpaceFile"};
    QTest::newRow("delay") << "msg=MACHINE_STATUS fault=delay arg=100" << clean;
    QTest::newRow("short status") << "msg=MACHINE_STATUS fault=short arg=20"
                                  << QStringList{"ProjectListFile", "DiskSpaceFile"};
    // A lost or spoilt reply is resent after the (shortened) time-out.
    QTest::newRow("dropped reply") << "msg=MACHINE_STATUS fault=drop"
                                   << QStringList{"ProjectListFile", "DiskSpaceFile", "Status"};
    QTest::newRow("bad checksum") << "msg=MACHINE_STATUS fault=badchecksum"
                                  << QStringList{"ProjectListFile", "DiskSpaceFile", "Status"};
    QTest::newRow("bad header check") << "msg=MACHINE_STATUS fault=badheader"
                                      << QStringList{"ProjectListFile", "DiskSpaceFile", "Status"};
    QTest::newRow("absurd length") << "msg=MACHINE_STATUS fault=absurd"
                                   << QStringList{"ProjectListFile", "DiskSpaceFile", "Status"};
}

void TestFlows::faultsOnTheControlConnection()
{
    QFETCH(QString, script);
    QFETCH(QStringList, events);
    LinkFixture f;
    QString error;
    QVERIFY2(f.sim.faults().load(script, &error), qPrintable(error));
    f.sim.storage().setListingTexts("ProjectID:P1 ProjectName:A\n", "AMT_P1/\n");
    f.lib.setRequestTimeout(400);
    f.lib.setRequestInterval(50);
    QVERIFY(f.connectControl());
    f.rec.clear();
    f.lib.sendGetMachineStatus();
    f.lib.sendGetDiskSpaceFile();
    QTRY_COMPARE_WITH_TIMEOUT(f.rec.names(), events, 5000);
    if (events.contains("Status"))
        QCOMPARE(f.rec.named("Status").first().values.first().toByteArray(), f.sim.statusRecord());
    QCOMPARE(f.rec.named("DiskSpaceFile").first().values, QVariantList{QByteArray("AMT_P1/\n")});
    QCOMPARE(f.rec.named("ProjectListFile").first().values, QVariantList{QByteArray("ProjectID:P1 ProjectName:A\n")});
}

void TestFlows::faultsOnTheDataConnections_data()
{
    QTest::addColumn<QString>("script");
    QTest::addColumn<QList<int>>("channels"); // blocks of the first group that arrive (at most, when cut)
    QTest::addColumn<bool>("cut");            // the faulty connection closes

    QTest::newRow("disconnect inside the samples") << "msg=TRANSFORM_DATA on=data0 fault=disconnect arg=100"
                                                   << QList<int>{1} << true;
    QTest::newRow("disconnect inside the header") << "msg=TRANSFORM_DATA on=data1 fault=disconnect arg=9"
                                                  << QList<int>{0} << true;
    QTest::newRow("bad checksum") << "msg=TRANSFORM_DATA on=data1 fault=badchecksum" << QList<int>{0} << false;
    QTest::newRow("garbage before") << "msg=TRANSFORM_DATA on=data0 fault=garbage arg=33" << QList<int>{0, 1}
                                    << false;
    QTest::newRow("split") << "msg=TRANSFORM_DATA on=data0 fault=split arg=1,20,47,49,3000" << QList<int>{0, 1}
                           << false;
    QTest::newRow("absurd length") << "msg=TRANSFORM_DATA on=data0 fault=absurd" << QList<int>{1} << false;
}

// A spoilt first group leaves its transfer incomplete; the next group arrives whole.
void TestFlows::faultsOnTheDataConnections()
{
    QFETCH(QString, script);
    QFETCH(QList<int>, channels);
    QFETCH(bool, cut);
    LinkFixture f;
    QString error;
    QVERIFY2(f.sim.faults().load(script, &error), qPrintable(error));
    QVERIFY(f.connectControl());
    TransferDriver driver(&f, hxHy, 1);
    QByteArray task = stationHead() + groupBlock(1, 250, 4, hxHy) + groupBlock(2, 250, 4, hxHy);
    f.lib.sendSampleStart(&task);

    const bool complete = channels.size() == 2;
    if (complete) {
        QTRY_COMPARE_WITH_TIMEOUT(f.rec.count("FreqGroupTransformDataOver"), 1, 10000);
    } else if (cut) {
        // The cut connection ends the transfer: the link closes the other one (whose block may
        // or may not be in by then), and the receiver hears of it once.
        QTRY_COMPARE_WITH_TIMEOUT(f.rec.count("FreqGroupTransformDataOver"), 1, 10000);
        QCOMPARE(f.rec.count("DataComClosed"), 1);
        QCOMPARE(f.rec.count("TransformDataEnd"), 0);
    } else {
        // What arrived is in; the other connection still waits.
        QTRY_COMPARE_WITH_TIMEOUT(f.rec.count("TransformChannelDataEnd"), channels.size(), 10000);
        QCOMPARE(f.rec.count("TransformDataEnd"), 0);
        f.lib.disconnectCom(COM_SELECT_DATA); // as after the main window's data time-out
        QTRY_COMPARE_WITH_TIMEOUT(f.rec.count("FreqGroupTransformDataOver"), 1, 10000);
    }
    QList<int> first;
    for (const LinkEvent& e : f.rec.named("TransformChannelDataEnd"))
        first.append(e.values.at(0).toInt());
    std::sort(first.begin(), first.end());
    if (cut)
        QVERIFY(first.isEmpty() || first == channels);
    else
        QCOMPARE(first, channels);

    f.rec.clear();
    QByteArray next;
    f.lib.sendSampleStart(&next);
    QTRY_COMPARE_WITH_TIMEOUT(f.rec.count("FreqGroupTransformDataOver"), 1, 10000);
    QCOMPARE(f.rec.count("TransformDataEnd"), 1);
    checkBlocks(f.rec.named("TransformChannelDataEnd"), sentRecord(2, 4000), {0, 1});
}

QTEST_MAIN(TestFlows)
#include "tst_flows.moc"
