#include "RunFixture.h"
#include "TestFiles.h"

#include "tools/simulator/SimStationTask.h"

#include "common/Global_Constants.h"
#include "common/Global_Variables.h"

#include <QtTest>

namespace {

// "100:Hy,E0 125:Hx,E1": the saved channel files per station folder, by the tag and station in
// their names; a name carrying another station than its folder shows as "?".
QString savedLayout(const QString &lineFolder)
{
    QStringList stations;
    const QStringList folders = QDir(lineFolder).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &folder : folders) {
        const QString number = folder.mid(QStringLiteral("Station ").size());
        QStringList tags;
        for (const QString &name : QDir(lineFolder + "/" + folder).entryList({"*.ats"}, QDir::Files)) {
            const QString tag = name.section('_', 4, 4);
            tags << (name.contains("_Station" + number + "_") ? tag : "?" + tag);
        }
        tags.sort();
        stations << number + ":" + tags.join(',');
    }
    return stations.join(' ');
}

} // namespace

class TestRun : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void taskTextMatchesTheInstrumentFormat();
    void tempNames_data();
    void tempNames();
    void blocksOfAnotherRecordingAreRefused_data();
    void blocksOfAnotherRecordingAreRefused();
    void failedBlockWriteIsNoticedAndListedOnce();
    void clearDeletesListedFilesOnly();
    void savedSplits_data();
    void savedSplits();
    void unsavedRecordingsAreListedAndKeptOnRefusal();
    void secondRecordingOfARate();
    void failedSaveChangesNothing_data();
    void failedSaveChangesNothing();
    void filesTheDatabaseDoesNotListAreKept_data();
    void filesTheDatabaseDoesNotListAreKept();
    void configRowsTheDatabaseDoesNotList_data();
    void configRowsTheDatabaseDoesNotList();
    void pendingCalculationHoldsTheSave();
    void resultsOfAClearedRunAreDropped();
    void stationNumbersThatDoNotPrintExactly_data();
    void stationNumbersThatDoNotPrintExactly();
    void unreadableTempFilesAreSkipped_data();
    void unreadableTempFilesAreSkipped();
    void runWithoutAReadableFileIsNotSaved();
    void aGroupIndexMetAgainKeepsBothRecordings();

private:
    std::unique_ptr<RunFixture> f;
};

void TestRun::init()
{
    resetCurrentGainLists();
    f = std::make_unique<RunFixture>();
}

void TestRun::cleanup()
{
    f.reset();
}

void TestRun::taskTextMatchesTheInstrumentFormat()
{
    StationSampleInfo station;
    station.ProjectId = "P-7";
    station.LineNum = 5;
    station.StationNum = 12.5;
    SampleInfo first = RunFixture::task(4, "Hx,E2,E0");
    first.inputs = {"Coil-Hx", "Coil-Hy", "Electrode-0", "Electrode-1", "Electrode-2"};
    CtrlParam &a = first.ctrlParam;
    a.HGain = 999; // not a gain of the list: the first code
    a.EGain = 160;
    a.E0PoleDistance = 50;
    a.E1PoleDistance = 12.5;
    a.E2PoleDistance = 100;
    a.SampleTimeHour = 1;
    a.SampleTimeMinute = 2;
    a.SampleTimeSecond = 3;
    a.SampleStartTime = 1700000000;
    a.ElectrodeType = 1;
    a.Chopper = 1;
    SampleInfo second = RunFixture::task(1, "Hx,Hy,E1,E0", 57800);
    second.inputs = first.inputs;
    second.ctrlParam.HGain = 10;
    second.ctrlParam.EGain = 100;
    second.ctrlParam.E0PoleDistance = second.ctrlParam.E1PoleDistance = second.ctrlParam.E2PoleDistance = 25;
    second.ctrlParam.SampleTimeSecond = 8;
    station.sampleInfoList = {first, second};

    const QByteArray text = f->tree->getStationConfigText(station, true, 2);
    QCOMPARE(text, TestFiles::read(QFINDTESTDATA("data/station_task.txt")));

    // The instrument simulator reads the same tasks back.
    SimStationTask parsed;
    QVERIFY(SimStationTask::parse(text, &parsed));
    QVERIFY(parsed.key == (SimStationKey{"P-7", 5, 12}));
    QCOMPARE(parsed.groups.size(), 2);
    const SimGroupTask &low = parsed.groups.at(0), &high = parsed.groups.at(1);
    QCOMPARE(low.groupId, 3);
    QCOMPARE(low.channels, (std::array<bool, 5>{{true, false, true, false, true}}));
    QCOMPARE(low.gain(0), 1);
    QCOMPARE(low.gain(2), 160);
    QCOMPARE(low.dipoleLengths, (std::array<double, 3>{{50, 12.5, 100}}));
    QCOMPARE(low.sampleTime, 3723);
    QCOMPARE(low.watchMode, 4);
    QCOMPARE(high.groupId, 4);
    QCOMPARE(high.gain(0), 10);
    QCOMPARE(high.gain(4), 100);
    QCOMPARE(high.sampleRate, 57800);
    station.sampleInfoList.clear();
    QCOMPARE(f->tree->getStationConfigText(station, false, 0).count('\n'), 7);
}

void TestRun::tempNames_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<double>("station");
    QTest::addColumn<QString>("channel");
    QTest::addColumn<QString>("name");
    QTest::newRow("scalar") << 0 << 100.0 << "Hx" << "123_Scalar_Line5_Station100_Hx_4000Hz_2.ats";
    QTest::newRow("half station") << 1 << 12.5 << "E0" << "123_Vector_Line5_Station12.5_E0_4000Hz_2.ats";
    QTest::newRow("million") << 5 << 1e6 << "E2" << "123_OverWaterTest_Line5_Station1e+06_E2_4000Hz_2.ats";
    QTest::newRow("unknown mode") << 9 << 100.0 << "Hy" << "123_9_Line5_Station100_Hy_4000Hz_2.ats";
}

void TestRun::tempNames()
{
    QFETCH(int, mode);
    QFETCH(double, station);
    QFETCH(QString, channel);
    QFETCH(QString, name);
    SampleInfo block = RunFixture::task(mode, channel);
    block.MachineID = 123;
    block.LineNum = 5;
    block.StationNum = station;
    QVERIFY(f->tree->saveTempChannelData(block, 2, channel, "\x01\x02\x03\x04", 4));
    QCOMPARE(f->listing(f->tempDir()), QStringList{name + " 4"});
    QCOMPARE(TestFiles::read(f->tempDir() + "/" + name), QByteArray("\x01\x02\x03\x04"));
    QCOMPARE(f->tree->getCurrentTempSample().channelFiles.size(), 1);
}

void TestRun::blocksOfAnotherRecordingAreRefused_data()
{
    QTest::addColumn<QString>("field");
    for (const char *field : {"machine", "line", "station", "sensor", "rate", "start", "mode"})
        QTest::newRow(field) << field;
}

void TestRun::blocksOfAnotherRecordingAreRefused()
{
    QFETCH(QString, field);
    SampleInfo block = RunFixture::task(1, "Hx");
    block.MachineID = 123;
    block.LineNum = 5;
    block.StationNum = 100;
    block.SampleStartTime = 1700000000;
    QVERIFY(f->tree->saveTempChannelData(block, 1, "Hx", "abcd", 4));
    SampleInfo other = block;
    if (field == "machine")
        other.MachineID = 124;
    else if (field == "line")
        other.LineNum = 6;
    else if (field == "station")
        other.StationNum = 100.5;
    else if (field == "sensor")
        other.inputs.E1InputNum = "Other";
    else if (field == "rate")
        other.ctrlParam.SampleRate = 2000;
    else if (field == "start")
        other.SampleStartTime = 1700000001;
    else
        other.WatchMachineMode = 4;
    QVERIFY(!f->tree->saveTempChannelData(other, 1, "Hy", "efgh", 4));
    QCOMPARE(f->listing(f->tempDir()).size(), 1);
    QCOMPARE(f->tree->getCurrentTempSample().channelFiles.size(), 1);
    // The same identity with another channel is taken.
    QVERIFY(f->tree->saveTempChannelData(block, 1, "Hy", "efgh", 4));
    QCOMPARE(f->tree->getCurrentTempSample().channelFiles.size(), 2);
}

void TestRun::failedBlockWriteIsNoticedAndListedOnce()
{
    QSignalSpy notices(f->tree.get(), &DataModel_Index::snackMessage);
    SampleInfo block = RunFixture::task(1, "Hx");
    block.MachineID = 123;
    block.LineNum = 5;
    block.StationNum = 100;
    QDir().mkpath(f->tempDir() + "/123_Vector_Line5_Station100_Hy_4000Hz_1.ats"); // a folder: cannot be written
    QVERIFY(f->tree->saveTempChannelData(block, 1, "Hy", "abcd", 4));
    QCOMPARE(notices.count(), 1);
    QVERIFY(notices.at(0).at(0).toString().contains("Station100_Hy_4000Hz_1.ats"));
    QVERIFY(f->tree->saveTempChannelData(block, 1, "Hx", "abcd", 4));
    QVERIFY(f->tree->saveTempChannelData(block, 1, "Hx", "wxyz", 4));
    QCOMPARE(notices.count(), 1);
    QCOMPARE(f->tree->getCurrentTempSample().channelFiles.size(), 2);
    QCOMPARE(TestFiles::read(f->tempDir() + "/123_Vector_Line5_Station100_Hx_4000Hz_1.ats"), QByteArray("wxyz"));
}

void TestRun::clearDeletesListedFilesOnly()
{
    f->receive(RunFixture::task(1, "Hx,E0"), 1);
    f->tree->finishCurrentTempSample(5, 100);
    f->receive(RunFixture::task(1, "Hy"), 2); // never finished
    QSignalSpy shown(f->tree.get(), &DataModel_Index::showTimeSeries);
    f->tree->showTempSampleTimeSeries(5, 100, -1);
    f->tree->showTempSampleTimeSeries(5, 100, 1);
    f->tree->showTempSampleTimeSeries(5, 101, 0);
    QCOMPARE(shown.count(), 0);
    f->tree->showTempSampleTimeSeries(5, 100, 0);
    QCOMPARE(shown.count(), 1);
    QCOMPARE(f->tree->getTempSampleCount(123, 5, 100), 1);

    f->tree->clearTempSampleData();
    QCOMPARE(f->tempListingAfterCleanup(), QStringList{"123_Vector_Line5_Station100_Hy_4000Hz_2.ats 24"});
    QCOMPARE(f->tree->getTempSamples().size(), 0);
    QCOMPARE(f->tree->getCurrentTempSample().channelFiles.size(), 0);
}

void TestRun::savedSplits_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("channels");
    QTest::addColumn<QString>("layout");
    QTest::addColumn<QString>("stations"); // StationNum|SampleNumbers
    QTest::addColumn<QString>("curves");   // SampleChannel of the stored curves, in row order
    QTest::newRow("scalar, three electric") << 0 << "Hy,E0,E1,E2" << "100:E0,Hy 125:E1,Hy 150:E2,Hy"
                                            << "100.0|1 125.0|1 150.0|1" << "0 0 0";
    QTest::newRow("scalar, two electric") << 0 << "Hx,E1,E2" << "100:E1,Hx 125:E2,Hx" << "100.0|1 125.0|1" << "0 0";
    QTest::newRow("scalar, one electric") << 0 << "Hx,Hy,E2" << "100:E2,Hx,Hy" << "100.0|1" << "0";
    QTest::newRow("multipolarity Hx E1") << 4 << "Hx,E1" << "100:E1,Hx" << "100.0|1" << "0";
    QTest::newRow("multipolarity four") << 4 << "Hx,Hy,E0,E1" << "100:E0,Hy 125:E1,Hx" << "100.0|1 125.0|1" << "0 0";
    QTest::newRow("multipolarity Hx Hy E1 E2") << 4 << "Hx,Hy,E1,E2" << "100:E1,Hx 125:E2,Hy" << "100.0|1 125.0|1"
                                               << "0 0";
    QTest::newRow("multipolarity five") << 4 << "Hx,Hy,E0,E1,E2" << "100:E0,Hy 125:E2,Hy 150:E1,Hx"
                                        << "100.0|1 125.0|1 150.0|1" << "0 0 0";
    QTest::newRow("vector whole") << 1 << "Hx,Hy,E0,E1" << "100:E0,E1,Hx,Hy" << "100.0|1" << "0 1";
}

void TestRun::savedSplits()
{
    QFETCH(int, mode);
    QFETCH(QString, channels);
    QFETCH(QString, layout);
    QFETCH(QString, stations);
    QFETCH(QString, curves);
    QVERIFY(f->record(RunFixture::task(mode, channels), 1));
    StationSampleInfo record = f->station();
    QString reason;
    QVERIFY2(f->tree->saveStationTempSampleData(record, StationNumAutoConfig{25, false}, 0, &reason), qPrintable(reason));

    QCOMPARE(savedLayout(f->dataDir() + "/Line 5"), layout);
    QCOMPARE(f->sql("SELECT StationNum || '|' || SampleNumbers FROM Data_Station ORDER BY StationNum").replace('\n', ' '),
             stations);
    QCOMPARE(f->sql("SELECT SampleChannel FROM Data_ProcessData ORDER BY ID").replace('\n', ' '), curves);
    QCOMPARE(f->sql("SELECT LineName || '|' || Use FROM Data_Line"), QString("5|1"));
    QCOMPARE(f->sql("SELECT LinesNumbers FROM Data_Project"), QString("1"));
    QCOMPARE(f->tree->topLevelItemCount(), 1);
    QCOMPARE(f->tree->topLevelItem(0)->childCount(), stations.count('|'));
    QCOMPARE(f->tree->topLevelItem(0)->child(0)->child(0)->text(0), QString("4000Hz"));
    // Each station's config.ini names the recording's saved files.
    const QString config = TestFiles::read(f->dataDir() + "/Line 5/Station 100/config.ini");
    QVERIFY2(config.contains("123_" + watchMachineModeList.at(mode)), qPrintable(config));
    QCOMPARE(f->tempListingAfterCleanup(), QStringList());
    QCOMPARE(f->tree->getTempSamples().size(), 0);
}

void TestRun::unsavedRecordingsAreListedAndKeptOnRefusal()
{
    QVERIFY(f->record(RunFixture::task(0, "Hx,Hy"), 1)); // scalar without an electric channel
    QVERIFY(f->record(RunFixture::task(1, "Hx,E0", 2000), 2));
    f->prompt.expectNo();
    StationSampleInfo record = f->station();
    QVERIFY(f->tree->saveStationTempSampleData(record, StationNumAutoConfig{}, 0));
    QCOMPARE(f->prompt.count(), 1);
    QVERIFY(f->prompt.last().text.contains("123_Scalar_Line5_Station100_Hx_4000Hz_1.ats"));
    QCOMPARE(f->tempListingAfterCleanup(), QStringList({"123_Scalar_Line5_Station100_Hx_4000Hz_1.ats 12",
                                                     "123_Scalar_Line5_Station100_Hy_4000Hz_1.ats 24"}));
    QCOMPARE(f->sql("SELECT count(*) FROM Data_SampleData"), QString("1"));
}

void TestRun::secondRecordingOfARate()
{
    for (int run = 1; run <= 2; ++run) {
        QVERIFY(f->record(RunFixture::task(1, "Hx,E1"), run));
        StationSampleInfo record = f->station();
        QVERIFY(f->tree->saveStationTempSampleData(record, StationNumAutoConfig{}, 0));
    }
    QCOMPARE(f->sql("SELECT SampleDataNum || '|' || Use FROM Data_SampleData ORDER BY ID").replace('\n', ' '),
             QString("1|0 2|1"));
    QCOMPARE(f->sql("SELECT count(*) FROM Data_Line") + f->sql("SELECT SampleNumbers FROM Data_Station"), QString("12"));
    QCOMPARE(f->listing(f->dataDir() + "/Line 5/Station 100").filter(".ats"),
             QStringList({"123_Vector_Line5_Station100_E1_4000Hz.ats 48", "123_Vector_Line5_Station100_E1_4000Hz_1.ats 48",
                          "123_Vector_Line5_Station100_Hx_4000Hz.ats 12", "123_Vector_Line5_Station100_Hx_4000Hz_1.ats 12"}));
    QCOMPARE(f->tree->topLevelItem(0)->child(0)->childCount(), 2);
}

void TestRun::failedSaveChangesNothing_data()
{
    QTest::addColumn<QString>("fault");
    QTest::newRow("file where a station folder goes") << "file";
    QTest::newRow("project of another ID") << "project";
    QTest::newRow("config.ini that cannot be written") << "config";
}

void TestRun::failedSaveChangesNothing()
{
    QFETCH(QString, fault);
    // A station 100 saved before, then a scalar run over 100, 125 and 150.
    QVERIFY(f->record(RunFixture::task(1, "Hx,E1", 2000), 1));
    StationSampleInfo first = f->station();
    QVERIFY(f->tree->saveStationTempSampleData(first, StationNumAutoConfig{}, 0));
    QVERIFY(f->record(RunFixture::task(0, "Hy,E0,E1,E2"), 2));
    StationSampleInfo record = f->station();
    if (fault == "file")
        QVERIFY(TestFiles::write(f->dataDir() + "/Line 5/Station 150", "x"));
    else if (fault == "project")
        record.ProjectId = "P2";
    else
        QVERIFY(QDir().mkpath(f->dataDir() + "/Line 5/Station 125/config.ini"));
    const QString tables = "SELECT * FROM Data_Line; SELECT * FROM Data_Station; SELECT * FROM Data_SampleData;"
                           " SELECT ID, SampleChannel FROM Data_ProcessData;";
    const QString database = f->sql(tables);
    const QStringList folder = f->listing(f->dataDir());
    const QStringList temp = f->listing(f->tempDir());
    QCOMPARE(f->tree->topLevelItem(0)->child(0)->childCount(), 1);

    QString reason;
    QVERIFY(!f->tree->saveStationTempSampleData(record, StationNumAutoConfig{25, false}, 0, &reason));
    QVERIFY(!reason.isEmpty());
    QCOMPARE(f->sql(tables), database);
    QCOMPARE(f->listing(f->dataDir()), folder);
    QCOMPARE(f->listing(f->tempDir()), temp);
    QCOMPARE(f->tree->getTempSamples().size(), 1);
    QCOMPARE(f->tree->topLevelItemCount(), 1);
    QCOMPARE(f->tree->topLevelItem(0)->childCount(), 1);
    QCOMPARE(f->tree->topLevelItem(0)->child(0)->childCount(), 1);

    // Once the cause is gone the same run saves.
    QFile::remove(f->dataDir() + "/Line 5/Station 150");
    QDir().rmdir(f->dataDir() + "/Line 5/Station 125/config.ini");
    record.ProjectId = "P1";
    QVERIFY2(f->tree->saveStationTempSampleData(record, StationNumAutoConfig{25, false}, 0, &reason), qPrintable(reason));
    QCOMPARE(f->sql("SELECT count(*) FROM Data_SampleData"), QString("4"));
}

void TestRun::filesTheDatabaseDoesNotListAreKept_data()
{
    QTest::addColumn<bool>("withConfig");
    QTest::addColumn<bool>("saved");
    // A one-row config.ini the database knows nothing of: the save cannot add row 1 to it.
    QTest::newRow("with a config.ini") << true << false;
    QTest::newRow("files only") << false << true;
}

void TestRun::filesTheDatabaseDoesNotListAreKept()
{
    QFETCH(bool, withConfig);
    QFETCH(bool, saved);
    const QString folder = f->dataDir() + "/Line 5/Station 100";
    const QString stem = folder + "/123_Vector_Line5_Station100_";
    QVERIFY(QDir().mkpath(folder));
    QVERIFY(TestFiles::write(stem + "Hx_4000Hz.ats", "old Hx samples"));
    QVERIFY(TestFiles::write(stem + "E1_4000Hz.ats", "old E1 samples"));
    if (withConfig)
        QVERIFY(TestFiles::write(folder + "/config.ini", "h\r\ns\r\nr\r\n1  x\r\n"));
    const QStringList before = f->listing(folder);
    QVERIFY(f->record(RunFixture::task(1, "Hx,E1"), 1));

    StationSampleInfo record = f->station();
    QString reason;
    QCOMPARE(f->tree->saveStationTempSampleData(record, StationNumAutoConfig{}, 0, &reason), saved);
    QCOMPARE(TestFiles::read(stem + "Hx_4000Hz.ats"), QByteArray("old Hx samples"));
    QCOMPARE(TestFiles::read(stem + "E1_4000Hz.ats"), QByteArray("old E1 samples"));
    if (!saved) {
        QVERIFY(!reason.isEmpty());
        QCOMPARE(f->listing(folder), before);
        return;
    }
    // The copies take the next free copy number, and the row names them.
    QCOMPARE(f->listing(folder).filter("_1.ats"), QStringList({"123_Vector_Line5_Station100_E1_4000Hz_1.ats 48",
                                                               "123_Vector_Line5_Station100_Hx_4000Hz_1.ats 12"}));
    QVERIFY(TestFiles::read(folder + "/config.ini").contains("Station100_Hx_4000Hz_1.ats"));
}

void TestRun::configRowsTheDatabaseDoesNotList_data()
{
    // The numbers of the recording rows left in config.ini after recording 1 was saved: the
    // first is the saved row renumbered, the others copies of it. Empty: refused with that
    // text, which names the rows that disagree.
    QTest::addColumn<QStringList>("numbers");
    QTest::addColumn<QString>("refusal");
    QTest::newRow("copied row of another number") << QStringList{"1", "7"} << QString();
    QTest::newRow("row lost") << QStringList{} << QString();
    QTest::newRow("copied row of the next number")
        << QStringList{"1", "2"} << QString::fromUtf8("数据库中没有的行：2\n文件中缺少的行：无");
    QTest::newRow("row lost, a copy of the next number in its place")
        << QStringList{"2"} << QString::fromUtf8("数据库中没有的行：2\n文件中缺少的行：1");
}

// Rows of config.ini the database does not list block a save only where the new row could not be
// told from them; the rows there are never touched.
void TestRun::configRowsTheDatabaseDoesNotList()
{
    QFETCH(QStringList, numbers);
    QFETCH(QString, refusal);
    QVERIFY(f->record(RunFixture::task(1, "Hx,E1"), 1));
    StationSampleInfo record = f->station();
    QVERIFY(f->tree->saveStationTempSampleData(record, StationNumAutoConfig{}, 0));
    const QString config = f->dataDir() + "/Line 5/Station 100/config.ini";
    QStringList lines = QString::fromUtf8(TestFiles::read(config)).split("\r\n", QString::SkipEmptyParts);
    const QString row = lines.takeLast();
    for (const QString &number : numbers)
        lines << number + row.mid(row.indexOf(' '));
    const QByteArray damaged = (lines.join("\r\n") + "\r\n").toUtf8();
    QVERIFY(TestFiles::write(config, damaged));
    QVERIFY(f->reopen());

    QVERIFY(f->record(RunFixture::task(1, "Hx,E1", 2000), 2));
    QString reason;
    QCOMPARE(f->tree->saveStationTempSampleData(record, StationNumAutoConfig{}, 0, &reason), refusal.isEmpty());
    if (!refusal.isEmpty()) {
        QVERIFY2(reason.contains(refusal) && reason.contains(config) && reason.contains(QString::fromUtf8("移走")),
                 qPrintable(reason));
        QCOMPARE(TestFiles::read(config), damaged);
        QCOMPARE(f->sql("SELECT count(*) FROM Data_SampleData"), QString("1"));
        return;
    }
    const QByteArray saved = TestFiles::read(config);
    QVERIFY(saved.startsWith(damaged));
    QVERIFY(saved.mid(damaged.size()).startsWith("2  1"));
    QVERIFY(f->reopen());
    QTreeWidgetItem *station = f->tree->topLevelItem(0)->child(0);
    QCOMPARE(station->childCount(), 2);
    QSignalSpy series(f->tree.get(), &DataModel_Index::showTimeSeries);
    f->tree->selectItem(0, 0, 1);
    QCOMPARE(series.count(), 1);
    const SampleInfo shown = series.first().first().value<SampleInfo>();
    QCOMPARE(shown.ctrlParam.SampleRate, 2000);
    QCOMPARE(shown.channelFiles.size(), 2);
}

void TestRun::pendingCalculationHoldsTheSave()
{
    f->calculator.hold();
    QSignalSpy pending(f->tree.get(), &DataModel_Index::pendingCalculationsChanged);
    QSignalSpy curves(f->tree.get(), &DataModel_Index::showProcessData);
    f->receive(RunFixture::task(1, "Hy,E0"), 1);
    f->tree->showTempSampleData(5, 100, true);
    QCOMPARE(f->tree->pendingCalculationCount(), 1);
    QCOMPARE(pending.count(), 1);
    // The next group is taken while the first is computed.
    f->receive(RunFixture::task(1, "Hy,E0", 2000), 2);
    QCOMPARE(f->tree->getCurrentTempSample().channelFiles.size(), 2);

    StationSampleInfo record = f->station();
    QString reason;
    QVERIFY(!f->tree->saveStationTempSampleData(record, StationNumAutoConfig{}, 0, &reason));
    QVERIFY(!reason.isEmpty());
    QCOMPARE(f->listing(f->tempDir()).size(), 4);

    f->calculator.release();
    QTRY_COMPARE(f->tree->pendingCalculationCount(), 0);
    QCOMPARE(curves.count(), 1);
    QCOMPARE(curves.at(0).at(0).value<QVector<OneFreqImpedance>>().size(), 1);
    f->tree->finishCurrentTempSample(5, 100);
    QVERIFY2(f->tree->saveStationTempSampleData(record, StationNumAutoConfig{}, 0, &reason), qPrintable(reason));
    QCOMPARE(f->sql("SELECT count(*) FROM Data_SampleData"), QString("2"));
    QCOMPARE(f->sql("SELECT count(*) FROM Data_ProcessData"), QString("1"));
}

void TestRun::resultsOfAClearedRunAreDropped()
{
    f->calculator.hold();
    QSignalSpy curves(f->tree.get(), &DataModel_Index::showProcessData);
    f->receive(RunFixture::task(1, "Hy,E0"), 1);
    f->tree->showTempSampleData(5, 100, true);
    f->tree->clearTempSampleData();
    QCOMPARE(f->tree->pendingCalculationCount(), 0);
    f->calculator.release();
    f->tree->waitForCalculations();
    QCoreApplication::processEvents();
    QCOMPARE(curves.count(), 0);
    QCOMPARE(f->tree->getTempSamples().size(), 0);
}

void TestRun::stationNumbersThatDoNotPrintExactly_data()
{
    QTest::addColumn<double>("earlier"); // a scalar run saved first at this station, 0 for none
    QTest::addColumn<double>("station");
    QTest::addColumn<QString>("refused");
    // 999995 + 25 = 1000020 writes 1.00002e+06, which reads back as itself; 1000021 writes the same.
    QTest::newRow("split onto the folder of a saved station") << 999995.0 << 999996.0 << "1000021";
    QTest::newRow("run station of seven digits") << 0.0 << 1000021.0 << "1000021";
    QTest::newRow("fraction past six digits") << 0.0 << 12.3456789 << "12.3456789";
}

// Folder and file names carry six significant digits; a save that would mix two stations in one
// folder is refused before anything changes.
void TestRun::stationNumbersThatDoNotPrintExactly()
{
    QFETCH(double, earlier);
    QFETCH(double, station);
    QFETCH(QString, refused);
    const StationNumAutoConfig step{25, true};
    QString reason;
    if (earlier > 0) {
        QVERIFY(f->record(RunFixture::task(0, "Hx,E0,E1"), 1, earlier));
        StationSampleInfo first = f->station(earlier);
        QVERIFY2(f->tree->saveStationTempSampleData(first, step, 0, &reason), qPrintable(reason));
    }
    QVERIFY(f->record(RunFixture::task(0, "Hx,E0,E1"), 2, station));
    const QString tables = "SELECT * FROM Data_Station; SELECT * FROM Data_SampleData;";
    const QString database = f->sql(tables);
    const QStringList folder = f->listing(f->dataDir());
    const QStringList temp = f->listing(f->tempDir());

    StationSampleInfo record = f->station(station);
    QVERIFY(!f->tree->saveStationTempSampleData(record, step, 0, &reason));
    QVERIFY2(reason.contains(refused), qPrintable(reason));
    QCOMPARE(f->sql(tables), database);
    QCOMPARE(f->listing(f->dataDir()), folder);
    QCOMPARE(f->listing(f->tempDir()), temp);
    QCOMPARE(f->tree->getTempSamples().size(), 1);
}

void TestRun::unreadableTempFilesAreSkipped_data()
{
    QTest::addColumn<QString>("fault");
    QTest::newRow("block not written") << "unwritten";
    QTest::newRow("file deleted before saving") << "deleted";
}

void TestRun::unreadableTempFilesAreSkipped()
{
    QFETCH(QString, fault);
    const QString lost = f->tempDir() + "/123_Vector_Line5_Station100_E0_4000Hz_1.ats";
    if (fault == "unwritten")
        QVERIFY(QDir().mkpath(lost)); // a folder where the block goes: it cannot be written
    QVERIFY(f->record(RunFixture::task(1, "Hx,E0"), 1));
    if (fault == "deleted")
        QVERIFY(QFile::remove(lost));
    QVERIFY(f->record(RunFixture::task(1, "Hx,E0", 2000), 2));
    QSignalSpy notices(f->tree.get(), &DataModel_Index::snackMessage);

    StationSampleInfo record = f->station();
    QString reason;
    QVERIFY2(f->tree->saveStationTempSampleData(record, StationNumAutoConfig{}, 0, &reason), qPrintable(reason));
    QCOMPARE(notices.count(), 1);
    QVERIFY(notices.at(0).at(0).toString().contains("123_Vector_Line5_Station100_E0_4000Hz_1.ats"));
    QCOMPARE(f->sql("SELECT SampleRate FROM Data_SampleData ORDER BY ID").replace('\n', ' '), QString("4000 2000"));
    const QString folder = f->dataDir() + "/Line 5/Station 100";
    QCOMPARE(f->listing(folder).filter(".ats"), QStringList({"123_Vector_Line5_Station100_E0_2000Hz.ats 60",
                                                             "123_Vector_Line5_Station100_Hx_2000Hz.ats 12",
                                                             "123_Vector_Line5_Station100_Hx_4000Hz.ats 12"}));
    QVERIFY(!TestFiles::read(folder + "/config.ini").contains("E0_4000Hz"));
}

void TestRun::runWithoutAReadableFileIsNotSaved()
{
    QVERIFY(f->record(RunFixture::task(1, "Hx,E0"), 1));
    for (const QString &name : QDir(f->tempDir()).entryList(QDir::Files))
        QVERIFY(QFile::remove(f->tempDir() + "/" + name));
    StationSampleInfo record = f->station();
    QString reason;
    QVERIFY(!f->tree->saveStationTempSampleData(record, StationNumAutoConfig{}, 0, &reason));
    QVERIFY(!reason.isEmpty());
    QCOMPARE(f->sql("SELECT count(*) FROM Data_Line"), QString("0"));
    QCOMPARE(f->tree->topLevelItemCount(), 0);
    QCOMPARE(f->tree->getTempSamples().size(), 1);
}

// Two groups of one rate with the same group index never share a temporary file.
void TestRun::aGroupIndexMetAgainKeepsBothRecordings()
{
    SampleInfo block = RunFixture::task(1, "Hx");
    block.MachineID = 123;
    block.LineNum = 5;
    block.StationNum = 100;
    QVERIFY(f->tree->saveTempChannelData(block, 1, "Hx", "1111", 4));
    f->tree->finishCurrentTempSample(5, 100);
    QVERIFY(f->tree->saveTempChannelData(block, 1, "Hx", "2222", 4));
    QVERIFY(f->tree->saveTempChannelData(block, 1, "Hx", "3333", 4)); // the same block again overwrites its own file
    f->tree->finishCurrentTempSample(5, 100);
    const QList<SampleInfo> recordings = f->tree->getTempSamples();
    QCOMPARE(recordings.size(), 2);
    QCOMPARE(recordings.at(1).channelFiles.size(), 1);
    QCOMPARE(TestFiles::read(recordings.at(0).channelFiles.at(0)->fileName()), QByteArray("1111"));
    QCOMPARE(TestFiles::read(recordings.at(1).channelFiles.at(0)->fileName()), QByteArray("3333"));

    StationSampleInfo record = f->station();
    QVERIFY(f->tree->saveStationTempSampleData(record, StationNumAutoConfig{}, 0));
    const QString folder = f->dataDir() + "/Line 5/Station 100/";
    QCOMPARE(TestFiles::read(folder + "123_Vector_Line5_Station100_Hx_4000Hz.ats"), QByteArray("1111"));
    QCOMPARE(TestFiles::read(folder + "123_Vector_Line5_Station100_Hx_4000Hz_1.ats"), QByteArray("3333"));
}

QTEST_MAIN(TestRun)
#include "tst_run.moc"
