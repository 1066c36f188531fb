#include "LibCagniard/LibCagniard.h"
#include "LibCagniard/TargetFrequencies.h"

#include <QtTest>

#include <cmath>

class TestTargets : public QObject
{
    Q_OBJECT

private slots:
    void bandAndTargetsPerRate_data();
    void bandAndTargetsPerRate();
    void tables_data();
    void tables();
    void unknownTableTypeLeavesRepairListAlone();
    void fixedTableIsTypeZeroWithoutRepairList();
    void countScale();
};

void TestTargets::bandAndTargetsPerRate_data()
{
    QTest::addColumn<double>("rate");
    QTest::addColumn<double>("fmin");
    QTest::addColumn<double>("fmax");
    QTest::addColumn<int>("count");
    QTest::addColumn<double>("first");
    QTest::addColumn<double>("last");

    // The instrument's rates, then the rates around the band rules' boundaries.
    QTest::newRow("250") << 250.0 << 250.0 / 16384 << 125.0 << 20 << 1.26 << 100.0;
    QTest::newRow("500") << 500.0 << 500.0 / 16384 << 250.0 << 24 << 1.26 << 248.0;
    QTest::newRow("1000") << 1000.0 << 10.0 << 500.0 << 17 << 10.0 << 398.0;
    QTest::newRow("2000") << 2000.0 << 10.0 << 1000.0 << 21 << 10.0 << 1000.0;
    QTest::newRow("4000") << 4000.0 << 10.0 << 1000.0 << 21 << 10.0 << 1000.0;
    QTest::newRow("57800") << 57800.0 << 500.0 << 10000.0 << 14 << 501.0 << 10000.0;
    QTest::newRow("107530") << 107530.0 << 500.0 << 10000.0 << 14 << 501.0 << 10000.0;
    QTest::newRow("188680") << 188680.0 << 500.0 << 10000.0 << 14 << 501.0 << 10000.0;
    QTest::newRow("277780") << 277780.0 << 4000.0 << 138890.0 << 14 << 5010.0 << 100000.0;
    QTest::newRow("501") << 501.0 << 10.0 << 250.5 << 15 << 10.0 << 248.0;
    QTest::newRow("4095") << 4095.0 << 10.0 << 1000.0 << 21 << 10.0 << 1000.0;
    QTest::newRow("4096") << 4096.0 << 0.25 << 2048.0 << 33 << 1.26 << 2000.0;
    QTest::newRow("50000") << 50000.0 << 50000.0 / 16384 << 25000.0 << 39 << 3.16 << 20000.0;
    QTest::newRow("50001") << 50001.0 << 500.0 << 10000.0 << 14 << 501.0 << 10000.0;
    QTest::newRow("199999") << 199999.0 << 500.0 << 10000.0 << 14 << 501.0 << 10000.0;
    QTest::newRow("200000") << 200000.0 << 4000.0 << 100000.0 << 14 << 5010.0 << 100000.0;
    QTest::newRow("400000") << 400000.0 << 10000.0 << 200000.0 << 11 << 10000.0 << 100000.0;
}

void TestTargets::bandAndTargetsPerRate()
{
    QFETCH(double, rate);
    QFETCH(double, fmin);
    QFETCH(double, fmax);
    QFETCH(int, count);
    QFETCH(double, first);
    QFETCH(double, last);

    const FrequencyBand band = analysisBand(rate, 16384);
    QCOMPARE(band.fmin, fmin);
    QCOMPARE(band.fmax, fmax);
    LibCagniard lib;
    const QList<double> targets = lib.targetFrequencies(band.fmin, band.fmax, 0);
    QCOMPARE(targets.size(), count);
    QCOMPARE(targets.first(), first);
    QCOMPARE(targets.last(), last);
}

void TestTargets::tables_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("perDecade");
    QTest::addColumn<QList<double>>("repairList");

    QTest::newRow("0") << 0 << 10 << QList<double>{39.8, 50.1, 63.1, 126, 158, 200};
    QTest::newRow("1") << 1 << 12 << QList<double>{38.3, 46.4, 56.2, 68.1, 121, 147, 178, 215};
    QTest::newRow("2") << 2 << 15 << QList<double>{39.8, 46.4, 54.1, 63.1, 136, 158, 185, 215};
    QTest::newRow("3") << 3 << 20 << QList<double>{39.8, 44.7, 50.1, 56.2, 63.1, 126, 141, 158, 178, 200};
}

void TestTargets::tables()
{
    QFETCH(int, type);
    QFETCH(int, perDecade);
    QFETCH(QList<double>, repairList);

    LibCagniard lib;
    const QList<double> table = lib.targetFrequencies(0, 1e9, type);
    QCOMPARE(table.size(), 5 * perDecade);
    QCOMPARE(table.last(), 100000.0);
    // Each value is 10^(k/n) to three significant digits (within half a unit of the third digit),
    // except the 24th of type 0, which is 248.
    for (int k = 1; k <= table.size(); ++k) {
        const double exact = std::pow(10.0, double(k) / perDecade);
        const double expected = (type == 0 && k == 24) ? 248 : exact;
        QVERIFY2(std::fabs(table[k - 1] - expected) <= 0.005 * exact, qPrintable(QString::number(table[k - 1])));
        if (k > 1)
            QVERIFY(table[k - 1] > table[k - 2]);
    }
    // The repair matches by exact equality: every repair value must be the same double as in its table.
    QCOMPARE(lib.repairFrequencies, repairList);
    for (double f : repairList)
        QVERIFY2(table.contains(f), qPrintable(QString::number(f)));
    QCOMPARE(lib.targetFrequencies(10, 1000, type).first(), 10.0);
    QCOMPARE(lib.targetFrequencies(10, 1000, type).last(), 1000.0);
}

void TestTargets::unknownTableTypeLeavesRepairListAlone()
{
    LibCagniard lib;
    lib.targetFrequencies(10, 1000, 1);
    QVERIFY(lib.targetFrequencies(10, 1000, 4).isEmpty());
    QVERIFY(lib.targetFrequencies(10, 1000, -1).isEmpty());
    QCOMPARE(lib.repairFrequencies, (QList<double>{38.3, 46.4, 56.2, 68.1, 121, 147, 178, 215}));
}

void TestTargets::fixedTableIsTypeZeroWithoutRepairList()
{
    LibCagniard lib;
    QCOMPARE(LibCagniard::fixedTargetFrequencies(500, 10000), lib.targetFrequencies(500, 10000, 0));
    LibCagniard fresh;
    QCOMPARE(fresh.fixedTargetFrequencies(0, 1e9).size(), 50);
    QVERIFY(fresh.repairFrequencies.isEmpty());
}

void TestTargets::countScale()
{
    QCOMPARE(LibCagniard::countScale(4000), float(625 * std::ldexp(1.0, -30)));
    QCOMPARE(LibCagniard::countScale(4095.9), float(625 * std::ldexp(1.0, -30)));
    QCOMPARE(LibCagniard::countScale(4096), float(375 * std::ldexp(1.0, -20)));
    QCOMPARE(LibCagniard::countScale(57800), float(375 * std::ldexp(1.0, -20)));
}

QTEST_APPLESS_MAIN(TestTargets)
#include "tst_targets.moc"
