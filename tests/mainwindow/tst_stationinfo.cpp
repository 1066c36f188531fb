#include "mainwindow/Form_StationInfo.h"

#include <QLabel>
#include <QtTest>

namespace {

const QString rateRow = QStringLiteral("label_SampleRateValue");
const QString timeRow = QStringLiteral("label_SampleTimeValue");
const QString gainRow = QStringLiteral("label_GainValue");
const QString polesRow = QStringLiteral("label_PoleDistanceValue");

SampleInfo recording()
{
    SampleInfo info;
    info.MachineID = 17;
    info.LineNum = 3;
    info.StationNum = 120.5;
    info.WatchMachineMode = 3;
    info.ctrlParam.SampleRate = 4000;
    info.ctrlParam.SampleTimeHour = 0;
    info.ctrlParam.SampleTimeMinute = 3;
    info.ctrlParam.SampleTimeSecond = 0;
    info.ctrlParam.HGain = 10;
    info.ctrlParam.EGain = 40;
    info.ctrlParam.E0PoleDistance = 50;
    info.ctrlParam.E1PoleDistance = 12.5;
    info.ctrlParam.E2PoleDistance = 0;
    return info;
}

} // namespace

class TestStationInfo : public QObject
{
    Q_OBJECT
private slots:
    void init() { panel = new Form_StationInfo; }
    void cleanup() { delete panel; }
    void afterConstruction();
    void recording();
    void stationAfterRecording();
    void clearAfterRecording();
    void modeWords_data();
    void modeWords();

private:
    QString text(const QString &name) const { return panel->findChild<QLabel *>(name)->text(); }
    bool hidden(const QString &name) const { return panel->findChild<QLabel *>(name)->isHidden(); }
    void verifyPlaceholders();

    Form_StationInfo *panel = nullptr;
};

void TestStationInfo::verifyPlaceholders()
{
    QCOMPARE(text(rateRow), QStringLiteral("\u2014Hz"));
    QCOMPARE(text(timeRow), QStringLiteral("\u2014时\u2014分\u2014秒"));
    QCOMPARE(text(gainRow), QStringLiteral("H:\u2014倍  E:\u2014倍"));
    QCOMPARE(text(polesRow), QStringLiteral("E<sub>0</sub>:-m E<sub>1</sub>:-m E<sub>2</sub>:-m"));
}

void TestStationInfo::afterConstruction()
{
    for (const char *value : {"label_MachineIDValue", "label_LineNumValue", "label_StationNumValue"})
        QCOMPARE(text(value), QStringLiteral("\u2014"));
    verifyPlaceholders();
    for (const QString &row : {rateRow, timeRow, gainRow, polesRow})
        QVERIFY(!hidden(row));
    QCOMPARE(text("label_WatchMachineValue"), QStringLiteral("标量"));
    QCOMPARE(text("label_MachineID"), QStringLiteral("<font size=\"2\" color=\"#707070\">仪器编号</font>"));
    QCOMPARE(text("label_PoleDistance"), QStringLiteral("<font size=\"2\" color=\"#707070\">极距</font>"));
    QCOMPARE(panel->findChild<QWidget *>("groupBox_StationInfo")->property("title").toString(), QStringLiteral("属性"));
}

void TestStationInfo::recording()
{
    panel->setStation(5, 1, 1);
    panel->setSampleInfo(::recording());
    QCOMPARE(text("label_MachineIDValue"), QStringLiteral("17"));
    QCOMPARE(text("label_LineNumValue"), QStringLiteral("3"));
    QCOMPARE(text("label_StationNumValue"), QStringLiteral("120.5"));
    QCOMPARE(text("label_WatchMachineValue"), QStringLiteral("全通道"));
    QCOMPARE(text(rateRow), QStringLiteral("4000 Hz "));
    QCOMPARE(text(timeRow), QStringLiteral("0时3分0秒 "));
    QCOMPARE(text(gainRow), QStringLiteral("H:10倍 E:40倍"));
    QCOMPARE(text(polesRow), QStringLiteral("E<sub>0</sub>:50m E<sub>1</sub>:12.5m E<sub>2</sub>:0m"));
    for (const QString &row : {rateRow, timeRow, gainRow, polesRow})
        QVERIFY(!hidden(row));

    // A recording of instrument 0 shows 0.
    SampleInfo zero = ::recording();
    zero.MachineID = 0;
    panel->setSampleInfo(zero);
    QCOMPARE(text("label_MachineIDValue"), QStringLiteral("0"));
}

void TestStationInfo::stationAfterRecording()
{
    panel->setSampleInfo(::recording());
    panel->setStation(0, 3, 120);
    QCOMPARE(text("label_MachineIDValue"), QStringLiteral("17"));
    QCOMPARE(text("label_LineNumValue"), QStringLiteral("3"));
    QCOMPARE(text("label_StationNumValue"), QStringLiteral("120"));
    QCOMPARE(text("label_WatchMachineValue"), QStringLiteral("全通道"));
    for (const QString &row : {rateRow, timeRow, gainRow, polesRow})
        QVERIFY(hidden(row));
    verifyPlaceholders();

    panel->setStation(9, -42, -1234.5);
    QCOMPARE(text("label_MachineIDValue"), QStringLiteral("9"));
    QCOMPARE(text("label_LineNumValue"), QStringLiteral("-42"));
    QCOMPARE(text("label_StationNumValue"), QStringLiteral("-1234.5"));
}

void TestStationInfo::clearAfterRecording()
{
    panel->setSampleInfo(::recording());
    panel->clearInfo();
    QCOMPARE(text("label_MachineIDValue"), QStringLiteral("\u2014"));
    QCOMPARE(text("label_StationNumValue"), QStringLiteral("\u2014"));
    verifyPlaceholders();
    for (const QString &row : {rateRow, timeRow, gainRow, polesRow})
        QVERIFY(!hidden(row));
    QCOMPARE(text("label_WatchMachineValue"), QStringLiteral("全通道"));
}

void TestStationInfo::modeWords_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("word");
    const QStringList words{"标量", "矢量", "共点多极化", "全通道", "多极化", "水上实验"};
    for (int mode = 0; mode < words.size(); ++mode)
        QTest::addRow("%d", mode) << mode << words.at(mode);
    QTest::newRow("7") << 7 << "未知";
    QTest::newRow("-1") << -1 << "未知";
}

void TestStationInfo::modeWords()
{
    QFETCH(int, mode);
    QFETCH(QString, word);
    panel->showWatchMachineType(mode);
    QCOMPARE(text("label_WatchMachineValue"), word);
}

QTEST_MAIN(TestStationInfo)
#include "tst_stationinfo.moc"
