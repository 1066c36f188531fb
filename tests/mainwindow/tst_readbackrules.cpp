#include "common/Global_Constants.h"
#include "mainwindow/DeveloperPassword.h"
#include "mainwindow/ReadBackGroups.h"
#include "mainwindow/RunTransferRules.h"
#include "mainwindow/StationConfigText.h"
#include "projectdata/StationConfigFile.h"

#include <QTemporaryDir>
#include <QtTest>

namespace {

const GainTables currentHardware{lowRateGainCodeList, lowRateGainList, highRateGainCodeList, highRateGainList};

QByteArray head(const QByteArray &projectNum = "P-7", const QByteArray &line = "3", const QByteArray &station = "12.5")
{
    return "MachineID=" "321\r\n" "ProjectNum=  " + projectNum + " \r\n" "LineNum=" + line + "\r\n"
           "StationNum=" + station + "\r\n" "GPS_Latitude=30.5\r\n" "GPS_Longtitude=114.25\r\n"
           "GPS_Elevation=-12\r\n";
}

// One block in the instrument's layout: gains before the rate.
QByteArray block(int group, int rate, int eCode, int hCode, int seconds, int mode = 1)
{
    return QString("GroupID=%1\r\nCH1ChannelIsUse=1\r\nCH2ChannelIsUse=0\r\nCH3ChannelIsUse=1\r\n"
                   "CH4ChannelIsUse=0\r\nCH5ChannelIsUse=1\r\nCH1InputNum=HX-01\r\nCH2InputNum=HY-02\r\n"
                   "CH3InputNum=E2\r\nCH4InputNum=E1\r\nCH5InputNum=E0\r\nCH1Gain=%3\r\nCH2Gain=%3\r\n"
                   "CH3Gain=%2\r\nCH4Gain=%2\r\nCH5Gain=%2\r\nPoleDistance1=50\r\nPoleDistance2= 60.5 \r\n"
                   "PoleDistance3=x\r\nInputShortCircuit=1\r\nOnLineSelect=1\r\nSampleRate=%4\r\n"
                   "SampleTime=%5\r\nSampleStartTime=1700000000\r\nElectrodeType=1\r\nChopper=1\r\n"
                   "WatchMachineMode=%6\r\n")
        .arg(group).arg(eCode).arg(hCode).arg(rate).arg(seconds).arg(mode)
        .toUtf8();
}

// A group's rate and start time; the groups record Hx, Hy, E0 and E1 for one second.
struct Sampling
{
    int rate;
    int startTime;
};

QList<SampleInfo> recordings(const QList<Sampling> &samplings)
{
    QList<SampleInfo> list;
    for (const Sampling &sampling : samplings) {
        SampleInfo info;
        CtrlParam &task = info.ctrlParam;
        task.HxChannelIsUse = task.HyChannelIsUse = task.E0ChannelIsUse = task.E1ChannelIsUse = true;
        task.SampleRate = sampling.rate;
        task.SampleTimeSecond = 1;
        info.SampleStartTime = sampling.startTime;
        list << info;
    }
    return list;
}

} // namespace

Q_DECLARE_METATYPE(QList<Sampling>)

class TestReadBackRules : public QObject
{
    Q_OBJECT

private slots:
    void requestText_data()
    {
        QTest::addColumn<QString>("id");
        QTest::addColumn<int>("line");
        QTest::addColumn<double>("station");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("whole") << "P1" << 3 << 100.0 << QByteArray("ProjectID=P1\r\nLineNum=3\r\nStationNum=100\r\n");
        QTest::newRow("fraction") << "A B" << -2 << 12.5 << QByteArray("ProjectID=A B\r\nLineNum=-2\r\nStationNum=12.5\r\n");
        QTest::newRow("six digits") << "x" << 0 << 1234567.0 << QByteArray("ProjectID=x\r\nLineNum=0\r\nStationNum=1.23457e+06\r\n");
    }
    void requestText()
    {
        QFETCH(QString, id);
        QFETCH(int, line);
        QFETCH(double, station);
        QFETCH(QByteArray, expected);
        QCOMPARE(exportRequestText(id, line, station), expected);
    }

    void stationTextFields()
    {
        const StationConfigText text = parseStationConfigText(
            head() + block(1, 4000, 0x401, 0x101, 3725) + block(2, 57800, 3, 5, 12), currentHardware);
        QVERIFY(text.rejection.isEmpty());
        QCOMPARE(text.station.MachineID, 321);
        QVERIFY(text.matches("P-7", 3, 12.5));
        QVERIFY(!text.matches("P-8", 3, 12.5));
        QVERIFY(!text.matches("P-7", 3, 12.0));
        QCOMPARE(text.station.GPS_Latitude, 30.5);
        QCOMPARE(text.station.GPS_Longtitude, 114.25);
        QCOMPARE(text.station.GPS_Elevation, -12.0);
        const QList<SampleInfo> &groups = text.station.sampleInfoList;
        QCOMPARE(groups.size(), 2);
        const SampleInfo &low = groups.at(0);
        QCOMPARE(low.MachineID, 321);
        QCOMPARE(low.LineNum, 3);
        QCOMPARE(low.StationNum, 12.5);
        QCOMPARE(low.ctrlParam.EGain, 160);
        QCOMPARE(low.ctrlParam.HGain, 40);
        QCOMPARE(low.ctrlParam.SampleTimeHour, 1);
        QCOMPARE(low.ctrlParam.SampleTimeMinute, 2);
        QCOMPARE(low.ctrlParam.SampleTimeSecond, 5);
        QVERIFY(low.ctrlParam.HxChannelIsUse && !low.ctrlParam.HyChannelIsUse && low.ctrlParam.E2ChannelIsUse);
        QVERIFY(!low.ctrlParam.E1ChannelIsUse && low.ctrlParam.E0ChannelIsUse);
        QCOMPARE(low.inputs.HxInputNum, QString("HX-01"));
        QCOMPARE(low.inputs.E0InputNum, QString("E0"));
        QCOMPARE(low.ctrlParam.E0PoleDistance, 50.0);
        QCOMPARE(low.ctrlParam.E1PoleDistance, 60.5);
        QCOMPARE(low.ctrlParam.E2PoleDistance, 0.0);
        QCOMPARE(low.SampleStartTime, 1700000000);
        QCOMPARE(low.ctrlParam.ElectrodeType, 1);
        QCOMPARE(low.ctrlParam.Chopper, 1);
        QCOMPARE(low.WatchMachineMode, 1);
        const SampleInfo &high = groups.at(1);
        QCOMPARE(high.ctrlParam.EGain, 100);
        QCOMPARE(high.ctrlParam.HGain, 500);
        QCOMPARE(high.ctrlParam.SampleRate, 57800);
    }

    void stationTextGroups_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<int>("groups");
        QTest::addColumn<int>("firstRate");
        QTest::newRow("no group") << QByteArray("SampleRate=4000\r\n") << 0 << 0;
        QTest::newRow("keys before first group go to none")
            << QByteArray("SampleRate=4000\r\nGroupID=1\r\n") << 1 << 0;
        QTest::newRow("group number beyond the records")
            << QByteArray("GroupID=5\r\nSampleRate=4000\r\n") << 1 << 0;
        QTest::newRow("unknown code gives the first gain")
            << QByteArray("GroupID=1\r\nCH3Gain=77\r\nSampleRate=2000\r\n") << 1 << 2000;
        QTest::newRow("short text") << QByteArray() << 0 << 0;
    }
    void stationTextGroups()
    {
        QFETCH(QByteArray, body);
        QFETCH(int, groups);
        QFETCH(int, firstRate);
        const StationConfigText text = parseStationConfigText(body.isEmpty() ? QByteArray("MachineID=1") : head() + body,
                                                              currentHardware);
        const QList<SampleInfo> &parsed = text.station.sampleInfoList;
        QCOMPARE(parsed.size(), groups);
        if (groups > 0) {
            QCOMPARE(parsed.first().ctrlParam.SampleRate, firstRate);
            if (firstRate > 0)
                QCOMPARE(parsed.first().ctrlParam.EGain, 1);
        }
    }

    void stationTextRejected_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<bool>("rejected");
        QTest::newRow("valid") << block(1, 250, 0x100, 0x100, 66, 5) << false;
        QTest::newRow("rate not offered") << block(1, 3000, 0x100, 0x100, 66) << true;
        QTest::newRow("rate zero") << block(1, 0, 0x100, 0x100, 66) << true;
        QTest::newRow("negative duration") << block(1, 4000, 0x100, 0x100, -1) << true;
        QTest::newRow("mode past the list") << block(1, 4000, 0x100, 0x100, 66, 6) << true;
        QTest::newRow("negative mode") << block(1, 4000, 0x100, 0x100, 66, -1) << true;
        QTest::newRow("second group bad") << block(1, 4000, 0x100, 0x100, 66) + block(2, 1, 0, 0, 6) << true;
    }
    void stationTextRejected()
    {
        QFETCH(QByteArray, body);
        QFETCH(bool, rejected);
        QCOMPARE(!parseStationConfigText(head() + body, currentHardware).rejection.isEmpty(), rejected);
    }

    void sensorNames_data()
    {
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<QString>("kept");
        const QString unset = QString::fromUtf8("未设置");
        QTest::newRow("plain") << QByteArray("MT-50_1") << "MT-50_1";
        QTest::newRow("chinese") << QByteArray("磁棒1") << QString::fromUtf8("磁棒1");
        QTest::newRow("empty") << QByteArray() << unset;
        QTest::newRow("slash") << QByteArray("a/b") << unset;
        QTest::newRow("backslash") << QByteArray("a\\b") << unset;
        QTest::newRow("dots") << QByteArray("..") << unset;
        QTest::newRow("space") << QByteArray("HX 1") << unset;
        QTest::newRow("tab") << QByteArray("HX\t1") << unset;
        QTest::newRow("control") << QByteArray("HX\x01") << unset;
    }
    void sensorNames()
    {
        QFETCH(QByteArray, name);
        QFETCH(QString, kept);
        const StationConfigText text =
            parseStationConfigText(head() + "GroupID=1\r\nCH2InputNum=" + name + "\r\n", currentHardware);
        QCOMPARE(text.station.sampleInfoList.first().inputs.HyInputNum, kept);
    }

    // The groups a station lacks, by rate and start time: "W" to store, "H" held already.
    void groupsToStore_data()
    {
        QTest::addColumn<QList<Sampling>>("groups");
        QTest::addColumn<QList<Sampling>>("stored");
        QTest::addColumn<QString>("states");
        const QList<Sampling> run{{4000, 100}, {1000, 200}, {500, 300}};
        QTest::newRow("nothing stored") << run << QList<Sampling>() << "WWW";
        QTest::newRow("all stored") << run << run << "HHH";
        QTest::newRow("run lost its middle group") << run << QList<Sampling>{{4000, 100}, {500, 300}} << "HWH";
        QTest::newRow("same rate, another time") << run << QList<Sampling>{{1000, 201}} << "WWW";
        QTest::newRow("one row for one group") << QList<Sampling>{{4000, 100}, {4000, 100}}
                                               << QList<Sampling>{{4000, 100}} << "HW";
    }
    void groupsToStore()
    {
        QFETCH(QList<Sampling>, groups);
        QFETCH(QList<Sampling>, stored);
        QFETCH(QString, states);
        ReadBackGroups plan;
        plan.start(recordings(groups), recordings(stored));
        QString seen;
        for (int i = 0; i < plan.count(); ++i) {
            const bool kept = plan.wanted();
            const CtrlParam task = recordings(groups).at(i).ctrlParam;
            for (int channel = 0; channel < 5; ++channel) {
                if (taskUsesChannel(task, channel))
                    plan.take(channel, plan.groupIndex(), groupBlockBytes(task));
            }
            QVERIFY(plan.whole());
            seen += kept ? 'W' : 'H';
            plan.next();
        }
        QCOMPARE(seen, states);
        QCOMPARE(plan.wantedCount(), states.count('W'));
    }

    // The rows a station's "config.ini" holds, as the project writes them, are what it holds.
    void storedRowsReadBack()
    {
        QTemporaryDir dir;
        const QString config = dir.path() + "/config.ini";
        const QList<SampleInfo> stored = recordings({{4000, 1700000000}, {500, 1700007200}});
        for (int row = 0; row < stored.size(); ++row)
            QVERIFY(StationConfigFile::append(config, {}, stored.at(row), row + 1));
        ReadBackGroups plan;
        plan.start(recordings({{4000, 1700000000}, {1000, 1700003600}, {500, 1700007200}}), stationRecordings(config));
        QCOMPARE(plan.wantedCount(), 1);
        QCOMPARE(stationRecordings(dir.path() + "/missing.ini").size(), 0);
    }

    // Only the group asked for counts, each channel once; a short block cuts its group.
    void blocksMatchedByGroupIndex()
    {
        using Block = ReadBackGroups::Block;
        QList<SampleInfo> groups = recordings({{4000, 100}, {1000, 200}});
        for (SampleInfo &group : groups) // Hx and Hy only: data connections 0 and 1
            group.ctrlParam.E0ChannelIsUse = group.ctrlParam.E1ChannelIsUse = false;
        ReadBackGroups plan;
        plan.start(groups, {});
        QCOMPARE(plan.take(0, 2, 16000), Block::Ignored); // the next group's
        QCOMPARE(plan.take(4, 1, 0), Block::Ignored);     // an unused channel
        QCOMPARE(plan.take(0, 1, 16000), Block::Keep);
        QCOMPARE(plan.take(0, 1, 16000), Block::Ignored); // a repeat
        QVERIFY(!plan.whole());
        QCOMPARE(plan.take(1, 1, 16000), Block::Keep);
        QVERIFY(plan.whole());
        QVERIFY(plan.next());
        QCOMPARE(plan.groupIndex(), 2);
        QCOMPARE(plan.take(1, 1, 16000), Block::Ignored); // the group before, sent again
        QCOMPARE(plan.take(0, 2, 3968), Block::Cut);
        QCOMPARE(plan.take(1, 2, 4000), Block::Ignored);
        QVERIFY(plan.whole() && plan.cut());
        QVERIFY(!plan.next());
        QCOMPARE(plan.keptGroups().size(), 1);
        QCOMPARE(plan.keptGroups().first().ctrlParam.SampleRate, 4000);
        QCOMPARE(plan.cutGroupNames(), QStringList{"第2组（1000Hz）"});
    }

    void developerPassword()
    {
        const QByteArray salt("test-salt");
        const DeveloperPassword injected(salt, DeveloperPassword::digestOf(salt, "open sesame").toHex());
        QVERIFY(injected.matches("open sesame"));
        for (const char *wrong : {"", "open sesam", "open sesame ", "Open sesame"})
            QVERIFY2(!injected.matches(wrong), wrong);
        const DeveloperPassword builtIn;
        QVERIFY(!builtIn.matches("open sesame"));
        QVERIFY(!builtIn.matches(""));
    }
};

QTEST_GUILESS_MAIN(TestReadBackRules)
#include "tst_readbackrules.moc"
