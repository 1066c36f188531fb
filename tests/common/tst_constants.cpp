#include "common/Global_Constants.h"
#include "common/Global_Variables.h"
#include "common/ListLookup.h"
#include "common/OneFreqImpedance.h"

#include <QtTest>

class TestConstants : public QObject
{
    Q_OBJECT
private slots:
    void cleanup() { resetCurrentGainLists(); }
    void listSizes();
    void timeListsByRateIndex_data();
    void timeListsByRateIndex();
    void viewSizesArePowersOfTwo();
    void currentListsStartAsCurrentHardware();
    void gainCodeLookup_data();
    void gainCodeLookup();
    void indexOutOfRange();
};

void TestConstants::listSizes()
{
    QCOMPARE(channelNameList, QStringList({"Hx", "Hy", "E2", "E1", "E0"}));
    QCOMPARE(watchMachineModeList.size(), 6);
    QCOMPARE(sampleRateList.size(), 9);
    QCOMPARE(maxSampleTimeList.size(), 11);
    QCOMPARE(defaultSampleTimeList.size(), 11);
    QCOMPARE(minSampleTimeList.size(), 11);
    QCOMPARE(highRateGainList.size(), highRateGainCodeList.size());
    QCOMPARE(lowRateGainList.size(), lowRateGainCodeList.size());
    QCOMPARE(highRateGainListOld.size(), highRateGainCodeListOld.size());
    QCOMPARE(lowRateGainListOld.size(), lowRateGainCodeListOld.size());
}

void TestConstants::timeListsByRateIndex_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("rate");
    QTest::addColumn<int>("longest");
    QTest::addColumn<int>("byDefault");
    QTest::addColumn<int>("shortest");
    QTest::newRow("250 Hz") << 0 << 250 << 79980 << 900 << 66;
    QTest::newRow("4000 Hz") << 4 << 4000 << 4998 << 180 << 6;
    QTest::newRow("277780 Hz") << 8 << 277780 << 12 << 3 << 1;
}

void TestConstants::timeListsByRateIndex()
{
    QFETCH(int, index);
    QFETCH(int, rate);
    QFETCH(int, longest);
    QFETCH(int, byDefault);
    QFETCH(int, shortest);
    QCOMPARE(sampleRateList.at(index), rate);
    QCOMPARE(lookupParallel(sampleRateList, maxSampleTimeList, rate), std::optional<int>(longest));
    QCOMPARE(lookupParallel(sampleRateList, defaultSampleTimeList, rate), std::optional<int>(byDefault));
    QCOMPARE(lookupParallel(sampleRateList, minSampleTimeList, rate), std::optional<int>(shortest));
}

void TestConstants::viewSizesArePowersOfTwo()
{
    QCOMPARE(viewSizeList.size(), 13);
    for (int i = 0; i < viewSizeList.size(); ++i)
        QCOMPARE(viewSizeList.at(i), 1 << (6 + i));
}

void TestConstants::currentListsStartAsCurrentHardware()
{
    QCOMPARE(currentLowRateGainCodeList, QList<int>({0x100, 0x101, 0x401, 0x1001}));
    QCOMPARE(currentHighRateGainList, QList<int>({1, 10, 100, 500}));
}

void TestConstants::gainCodeLookup_data()
{
    QTest::addColumn<bool>("oldHardware");
    QTest::addColumn<bool>("lowRate");
    QTest::addColumn<int>("gain");
    QTest::addColumn<int>("code"); // -1: not found
    QTest::newRow("current low 40") << false << true << 40 << 0x101;
    QTest::newRow("current high 500") << false << false << 500 << 5;
    QTest::newRow("current low 2 missing") << false << true << 2 << -1;
    QTest::newRow("old low 2") << true << true << 2 << 0x200;
    QTest::newRow("old high 2") << true << false << 2 << 0;
    QTest::newRow("old low 10 shares 0x101") << true << true << 10 << 0x101;
    QTest::newRow("old low 1 missing") << true << true << 1 << -1;
    QTest::newRow("old high 1 missing") << true << false << 1 << -1;
}

void TestConstants::gainCodeLookup()
{
    QFETCH(bool, oldHardware);
    QFETCH(bool, lowRate);
    QFETCH(int, gain);
    QFETCH(int, code);
    if (oldHardware)
        useOldHardwareGainLists();
    const auto found = lowRate ? lookupParallel(currentLowRateGainList, currentLowRateGainCodeList, gain)
                               : lookupParallel(currentHighRateGainList, currentHighRateGainCodeList, gain);
    QCOMPARE(found.has_value(), code >= 0);
    if (found)
        QCOMPARE(*found, code);
}

void TestConstants::indexOutOfRange()
{
    QVERIFY(!valueAt(sampleRateList, -1));
    QVERIFY(!valueAt(sampleRateList, 9));
    QCOMPARE(valueAt(sampleRateList, 8), std::optional<int>(277780));
    // A parallel list shorter than the key list never reads past its end.
    QVERIFY(!lookupParallel(QList<int>({1, 2, 3}), QList<int>({10, 20}), 3));
}

QTEST_APPLESS_MAIN(TestConstants)
#include "tst_constants.moc"
