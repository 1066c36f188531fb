#include "TestFiles.h"

#include "projectdata/ChannelFileRegistry.h"
#include "projectdata/DataModel_Index.h"

#include <QtTest>

namespace {

const QString stationHeader = QString::fromUtf8("仪器ID号    工程名        线号        点号        经度        纬度        高程    ");
const QString recordingHeader = QString::fromUtf8(
    "编号 Hx使能  Hy使能  E0使能  E1使能  E2使能  Hx磁棒编号  Hy磁棒编号  E0电极编号  E1电极编号  E2电极编号  "
    "磁场增益  电场增益  E0极距  E1极距  E2极距  采样率  采样时间  电极类型  观测装置  起始时间   Hx原始数据文件名    "
    "Hy原始数据文件名    E0原始数据文件名    E1原始数据文件名    E2原始数据文件名    斩波开关  ");

// One-line view of the fields a row sets.
QString summary(const SampleInfo &info)
{
    const CtrlParam &c = info.ctrlParam;
    QStringList files;
    for (const QFile *file : info.channelFiles)
        files << QFileInfo(file->fileName()).fileName();
    return QString("M%1 L%2 S%3 flags %4%5%6%7%8 %9 %10 %11 %12 %13 rate %14 %15:%16:%17 type %18 mode %19 start %20 files %21")
        .arg(info.MachineID).arg(info.LineNum).arg(info.StationNum)
        .arg(c.HxChannelIsUse).arg(c.HyChannelIsUse).arg(c.E0ChannelIsUse).arg(c.E1ChannelIsUse).arg(c.E2ChannelIsUse)
        .arg(info.inputs.HxInputNum, info.inputs.E0InputNum).arg(c.HGain).arg(c.EGain).arg(c.E0PoleDistance)
        .arg(c.SampleRate).arg(c.SampleTimeHour).arg(c.SampleTimeMinute).arg(c.SampleTimeSecond)
        .arg(c.ElectrodeType).arg(info.WatchMachineMode).arg(info.SampleStartTime).arg(files.join(','));
}

} // namespace

class TestStationConfig : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void firstRowOfANewStation();
    void rowsAreNumberedInOrder();
    void cellsKeepTheirPositions_data();
    void cellsKeepTheirPositions();
    void readsBackWhatItWrote_data();
    void readsBackWhatItWrote();
    void handCutFiles_data();
    void handCutFiles();
    void gbkFileIsReadAndExtendedAsGbk();

private:
    SampleInfo recording();
    SampleInfo readRecording(int number, const SampleInfo &preset);
    QString folder() const { return dir->path() + "/survey/data/Line 3/Station 12.5"; }

    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<DataModel_Index> tree;
    ChannelFileRegistry registry;
    const GPSPosition position{30.5, 114.25, 20};
};

void TestStationConfig::initTestCase()
{
    qputenv("TZ", "Asia/Shanghai");
    tzset();
}

void TestStationConfig::init()
{
    dir = std::make_unique<QTemporaryDir>();
    QVERIFY(QDir().mkdir(dir->path() + "/survey"));
    tree = std::make_unique<DataModel_Index>();
    tree->setProjectDir(dir->path() + "/survey");
}

SampleInfo TestStationConfig::recording()
{
    SampleInfo info;
    info.LineNum = 3;
    info.StationNum = 12.5;
    info.inputs = {"MTC 80", "", "PE1", "PE2", ""};
    CtrlParam &c = info.ctrlParam;
    c.HxChannelIsUse = c.HyChannelIsUse = c.E0ChannelIsUse = c.E1ChannelIsUse = true;
    c.HGain = 10;
    c.EGain = 40;
    c.E0PoleDistance = 47.5;
    c.E1PoleDistance = 50;
    c.SampleRate = 4000;
    c.SampleTimeMinute = 3;
    c.ElectrodeType = 1;
    c.Chopper = 1;
    info.SampleStartTime = 1709620215; // 2024-03-05 14:30:15 in Shanghai
    info.WatchMachineMode = 2;
    info.channelFiles << registry.file("/elsewhere/rec_E1.ats") << registry.file("/elsewhere/rec_E0.ats");
    return info;
}

SampleInfo TestStationConfig::readRecording(int number, const SampleInfo &preset)
{
    Data_SampleData stored(nullptr);
    stored.setSampleDataNum(number);
    stored.setChannelFileRegistry(&registry);
    stored.setSampleFolder(folder());
    stored.setSampleInfo(preset);
    return stored.getSampleInfo();
}

void TestStationConfig::firstRowOfANewStation()
{
    // The data folder itself is missing too: it is made with the station's folders.
    QVERIFY(tree->writeStationConfigFile(17, "North", recording(), position, 1));
    const QString expected = stationHeader + "\r\n" + "17    North    3        12.5        114.25        30.5        20    \r\n"
                             + recordingHeader + "\r\n"
                             + QString::fromUtf8("1  1    1    1    1    0      MTC_80    未设置    PE1    PE2    未设置    "
                                                 "10    40    47.5    50    0    4000    0时3分0秒    不极化电极    "
                                                 "共点多极化    2024-03-05 14:30:15.000    0    0    rec_E0.ats    "
                                                 "rec_E1.ats    0    1    \r\n");
    QCOMPARE(QString::fromUtf8(TestFiles::read(folder() + "/config.ini")), expected);
}

void TestStationConfig::rowsAreNumberedInOrder()
{
    const QString path = folder() + "/config.ini";
    QVERIFY(tree->writeStationConfigFile(17, "North", recording(), position, 1));
    QVERIFY(tree->writeStationConfigFile(17, "North", recording(), position, 2));
    const QByteArray twoRows = TestFiles::read(path);
    // A second row of a number could not be told from the first: nothing is written.
    QVERIFY(!tree->writeStationConfigFile(17, "North", recording(), position, 2));
    QCOMPARE(TestFiles::read(path), twoRows);

    // A last line cut off without its end is ended before the next row.
    QVERIFY(TestFiles::write(path, twoRows.left(twoRows.size() - 2)));
    QVERIFY(tree->writeStationConfigFile(17, "North", recording(), position, 3));
    const QList<QByteArray> lines = TestFiles::read(path).split('\n');
    QCOMPARE(lines.size(), 7);
    QVERIFY(lines.at(4).startsWith("2  1    1") && lines.at(4).endsWith("1    \r"));
    QVERIFY(lines.at(5).startsWith("3  1    1"));
    QCOMPARE(lines.at(6), QByteArray());
}

void TestStationConfig::cellsKeepTheirPositions_data()
{
    QTest::addColumn<int>("electrodeType");
    QTest::addColumn<int>("mode");
    QTest::addColumn<QStringList>("cells");
    QTest::newRow("codes without a text") << 7 << 9 << QStringList{"7", "9"};
    QTest::newRow("negative codes") << -1 << -2 << QStringList{"-1", "-2"};
    QTest::newRow("codes with a text") << 0 << 5 << QStringList{QString::fromUtf8("极化电极"), QString::fromUtf8("水上实验")};
}

void TestStationConfig::cellsKeepTheirPositions()
{
    QFETCH(int, electrodeType);
    QFETCH(int, mode);
    QFETCH(QStringList, cells);
    SampleInfo info = recording();
    info.ctrlParam.ElectrodeType = electrodeType;
    info.WatchMachineMode = mode;
    info.inputs.E0InputNum = "  ";
    info.channelFiles = {registry.file("/x/with space_Hy.ats")};
    QVERIFY(tree->writeStationConfigFile(17, "", info, position, 1));

    const QList<QByteArray> lines = TestFiles::read(folder() + "/config.ini").split('\n');
    const QStringList station = QString::fromUtf8(lines.at(1)).simplified().split(' ');
    QCOMPARE(station.size(), 7);
    QCOMPARE(station.at(1), QString::fromUtf8("未设置"));
    const QStringList row = QString::fromUtf8(lines.at(3)).simplified().split(' ');
    QCOMPARE(row.size(), 28);
    QCOMPARE(row.at(8), QString::fromUtf8("未设置"));
    QCOMPARE(row.mid(18, 2), cells);
    QCOMPARE(row.mid(22), (QStringList{"0", "with_space_Hy.ats", "0", "0", "0", "1"}));
}

void TestStationConfig::readsBackWhatItWrote_data()
{
    QTest::addColumn<bool>("plainLineFeeds");
    QTest::newRow("CR LF") << false;
    QTest::newRow("LF") << true;
}

void TestStationConfig::readsBackWhatItWrote()
{
    QFETCH(bool, plainLineFeeds);
    SampleInfo first = recording();
    first.ctrlParam.SampleRate = 250;
    QVERIFY(tree->writeStationConfigFile(17, "North", first, position, 1));
    QVERIFY(tree->writeStationConfigFile(17, "North", recording(), position, 2));
    const QString path = folder() + "/config.ini";
    if (plainLineFeeds)
        QVERIFY(TestFiles::write(path, TestFiles::read(path).replace("\r\n", "\n")));

    Data_SampleData stored(nullptr);
    stored.setSampleDataNum(2);
    stored.setChannelFileRegistry(&registry);
    stored.setSampleFolder(folder());
    const SampleInfo info = stored.getSampleInfo();
    QCOMPARE(summary(info), QString::fromUtf8("M17 L3 S12.5 flags 11110 MTC_80 PE1 10 40 47.5 rate 4000 0:3:0 type 1 "
                                              "mode 2 start 1709620215 files rec_E0.ats,rec_E1.ats"));
    QCOMPARE(info.inputs.HyInputNum, QString::fromUtf8("未设置"));
    QCOMPARE(info.ctrlParam.E1PoleDistance, 50.0);
    QCOMPARE(info.channelFiles.first(), registry.file(folder() + "/rec_E0.ats"));
    QCOMPARE(stored.getChannelFiles(), (QVector<QString>{folder() + "/rec_E0.ats", folder() + "/rec_E1.ats"}));
    QCOMPARE(stored.getGPS().latitude, 30.5);
    QCOMPARE(stored.getGPS().longitude, 114.25);
    QCOMPARE(stored.getGPS().elevation, 20.0);
}

void TestStationConfig::handCutFiles_data()
{
    QTest::addColumn<QByteArray>("rows");
    QTest::addColumn<QString>("expected");

    const QByteArray station = "17    North    3        12.5        114.25        30.5        20\n";
    const auto row = [](const char *number, const char *rate, const char *duration) {
        return QByteArray(number) + "  1 0 1 0 0  H1 H2 E0s E1s E2s 10 40 47.5 50 0 " + rate + " " + duration
               + QByteArray(" 极化电极 矢量 2024-03-05 14:30:15.000 0 0 a_E0.ats 0 0 1\n");
    };
    const QString preset = "M0 L0 S99 flags 01000 a b 1 2 3 rate 250 9:9:9 type 1 mode 4 start 5 files ";
    const QString full = QString::fromUtf8("M17 L3 S12.5 flags 10100 H1 E0s 10 40 47.5 rate %1 %2 type 0 mode 1 "
                                           "start 1709620215 files a_E0.ats");

    QTest::newRow("rows missing") << station << "M17 L3 S12.5" + preset.mid(9);
    QTest::newRow("station row cut short") << QByteArray("17 North 3\n") + row("1", "500", "0时3分0秒")
                                           << full.arg(500).arg("0:3:0").replace("S12.5", "S99");
    QTest::newRow("recording row cut short") << station + "1  1 0 1 0 0  H1 H2 E0s E1s E2s 10 40 47.5 50 0 500\n"
                                             << "M17 L3 S12.5 flags 10100 H1 E0s 10 40 47.5 rate 500 9:9:9 type 1 "
                                                "mode 4 start 5 files ";
    QTest::newRow("duration without seconds") << station + row("1", "500", "2时5分") << full.arg(500).arg("2:5:9");
    QTest::newRow("duration without markers") << station + row("1", "500", "90") << full.arg(500).arg("9:9:9");
    QTest::newRow("rows out of place") << station + row("2", "4000", "0时1分0秒") + row("1", "500", "0时3分0秒")
                                       << full.arg(500).arg("0:3:0");
    QTest::newRow("no row of the number") << station + row("5", "4000", "0时1分0秒") << "M17 L3 S12.5" + preset.mid(9);
}

void TestStationConfig::handCutFiles()
{
    QFETCH(QByteArray, rows);
    QFETCH(QString, expected);
    QVERIFY(QDir().mkpath(folder()));
    QVERIFY(TestFiles::write(folder() + "/config.ini", stationHeader.toUtf8() + "\n" + rows.left(rows.indexOf('\n') + 1)
                                           + recordingHeader.toUtf8() + "\n" + rows.mid(rows.indexOf('\n') + 1)));
    SampleInfo preset;
    preset.StationNum = 99;
    preset.inputs = {"a", "x", "b", "y", "z"};
    preset.ctrlParam = {false, true, false, false, false, 2, 1, 3, 4, 5, 250, 9, 9, 9, 0, 1, 0};
    preset.WatchMachineMode = 4;
    preset.SampleStartTime = 5;
    QCOMPARE(summary(readRecording(1, preset)), expected);
}

// A file an editor saved as GBK keeps its durations and texts, and a new row is added in GBK.
void TestStationConfig::gbkFileIsReadAndExtendedAsGbk()
{
    const QString path = folder() + "/config.ini";
    QVERIFY(tree->writeStationConfigFile(17, QString::fromUtf8("北京"), recording(), position, 1));
    const QString text = QString::fromUtf8(TestFiles::read(path));
    QVERIFY(TestFiles::write(path, TestFiles::gbk(text)));
    const QString first = summary(readRecording(1, SampleInfo()));
    QVERIFY2(first.contains("rate 4000 0:3:0 type 1 mode 2"), qPrintable(first));

    SampleInfo second = recording();
    second.ctrlParam.SampleTimeHour = 2;
    second.inputs.HxInputNum = QString::fromUtf8("磁棒1");
    QVERIFY(tree->writeStationConfigFile(17, QString::fromUtf8("北京"), second, position, 2));
    const QByteArray bytes = TestFiles::read(path);
    QVERIFY(bytes.startsWith(TestFiles::gbk(text)));
    QCOMPARE(bytes.mid(TestFiles::gbk(text).size()),
             TestFiles::gbk(QString::fromUtf8("2  1    1    1    1    0      磁棒1    未设置    PE1    PE2    未设置    "
                                              "10    40    47.5    50    0    4000    2时3分0秒    不极化电极    "
                                              "共点多极化    2024-03-05 14:30:15.000    0    0    rec_E0.ats    "
                                              "rec_E1.ats    0    1    \r\n")));
    const SampleInfo read = readRecording(2, SampleInfo());
    QCOMPARE(read.inputs.HxInputNum, QString::fromUtf8("磁棒1"));
    QCOMPARE(read.ctrlParam.SampleTimeHour, 2);
}

QTEST_MAIN(TestStationConfig)
#include "tst_station_config.moc"
