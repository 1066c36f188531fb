#include "LibCagniard/LibCagniard.h"

#include <QtTest>

#include <cmath>

namespace
{

QVector<OneFreqImpedance> curveOf(const QVector<double> &rho, const QVector<double> &phase)
{
    QVector<OneFreqImpedance> curve;
    for (int i = 0; i < rho.size(); ++i) {
        OneFreqImpedance point;
        point.frequency = 10 * (i + 1);
        point.coherence = 0.8;
        point.apparentResistivity = rho[i];
        point.phase = phase[i];
        curve.append(point);
    }
    return curve;
}

QVector<OneFreqImpedance> smoothed(const QVector<OneFreqImpedance> &curve)
{
    LibCagniard lib;
    lib.resultCurve = curve;
    const QVector<OneFreqImpedance> result = lib.smoothImpedance();
    if (result.size() != lib.resultCurve.size() || memcmp(result.constData(), lib.resultCurve.constData(),
                                                          size_t(result.size()) * sizeof(OneFreqImpedance)) != 0)
        qFatal("smoothImpedance must return the curve it smoothed in place");
    return result;
}

} // namespace

class TestSmoothing : public QObject
{
    Q_OBJECT

private slots:
    void fivePoint_data();
    void fivePoint();
    void derivedValuesFollowTheSmoothedPoint();
    void fourPointsStayAsTheyAre();
    void threePoint();
};

void TestSmoothing::fivePoint_data()
{
    QTest::addColumn<QVector<double>>("rho");
    QTest::addColumn<QVector<double>>("phase");
    QTest::addColumn<QVector<double>>("expectedRho");
    QTest::addColumn<QVector<double>>("expectedPhase");

    QTest::newRow("straight lines stay") << QVector<double>{10, 20, 30, 40, 50} << QVector<double>{45, 45, 45, 45, 45}
                                         << QVector<double>{10, 20, 30, 40, 50} << QVector<double>{45, 45, 45, 45, 45};
    // The spike spreads over its five-point neighbourhood; at both ends the formulas give 0, which is
    // below 0.1, so the ends keep their values.
    QTest::newRow("spike") << QVector<double>{1, 1, 1, 1, 6, 1, 1, 1, 1} << QVector<double>(9, 30)
                           << QVector<double>{1, 1, 2, 2, 2, 2, 2, 1, 1} << QVector<double>(9, 30);
    QTest::newRow("resistivity smoothed to 0.068 kept")
        << QVector<double>{0.01, 0.01, 0.3, 0.01, 0.01} << QVector<double>(5, 30)
        << QVector<double>{0.01, 0.01, 0.3, 0.01, 0.01} << QVector<double>(5, 30);
    // Every point averages to 89.6: at or above 89 the unsmoothed phase stays. Every point of the
    // next row averages to 0.8: at 1 or less the unsmoothed phase stays too.
    QTest::newRow("phase near 90 kept") << QVector<double>(5, 100) << QVector<double>{89, 90, 90, 90, 89}
                                        << QVector<double>(5, 100) << QVector<double>{89, 90, 90, 90, 89};
    QTest::newRow("phase near 0 kept") << QVector<double>(5, 100) << QVector<double>{0.5, 0.5, 2, 0.5, 0.5}
                                       << QVector<double>(5, 100) << QVector<double>{0.5, 0.5, 2, 0.5, 0.5};
    QTest::newRow("phase averaged")
        << QVector<double>(6, 100) << QVector<double>{40, 50, 40, 50, 40, 50} << QVector<double>(6, 100)
        << QVector<double>{(120 + 100 + 40 - 40) / 5.0, (160 + 150 + 80 + 50) / 10.0, 44, 46,
                           (200 + 120 + 100 + 40) / 10.0, (150 + 80 + 50 - 50) / 5.0};
}

void TestSmoothing::fivePoint()
{
    QFETCH(QVector<double>, rho);
    QFETCH(QVector<double>, phase);
    QFETCH(QVector<double>, expectedRho);
    QFETCH(QVector<double>, expectedPhase);

    const QVector<OneFreqImpedance> result = smoothed(curveOf(rho, phase));
    QCOMPARE(result.size(), rho.size());
    for (int i = 0; i < result.size(); ++i) {
        QVERIFY2(qFuzzyCompare(result[i].apparentResistivity, expectedRho[i]), qPrintable(QString::number(i)));
        QVERIFY2(qFuzzyCompare(result[i].phase, expectedPhase[i]), qPrintable(QString::number(i)));
    }
}

void TestSmoothing::derivedValuesFollowTheSmoothedPoint()
{
    // Phase 45 makes the true resistivity equal the apparent one; depth = sqrt(rho / f) * 356.
    QVector<OneFreqImpedance> result = smoothed(curveOf({10, 20, 30, 40, 50}, QVector<double>(5, 45)));
    for (const OneFreqImpedance &point : result) {
        QVERIFY(qFuzzyCompare(point.trueResistivity, point.apparentResistivity));
        QVERIFY(qFuzzyCompare(point.inversionDepth, std::sqrt(point.apparentResistivity / point.frequency) * 356));
    }
    // A kept phase of 0 would make the true resistivity infinite: stored as 0, the "not computed" value.
    result = smoothed(curveOf(QVector<double>(5, 100), QVector<double>(5, 0)));
    for (const OneFreqImpedance &point : result) {
        QCOMPARE(point.phase, 0.0);
        QCOMPARE(point.trueResistivity, 0.0);
        QVERIFY(point.inversionDepth > 0);
    }
}

void TestSmoothing::fourPointsStayAsTheyAre()
{
    QVector<OneFreqImpedance> curve = curveOf({1, 50, 2, 70}, {10, 80, 20, 60});
    curve[0].trueResistivity = 123;
    const QVector<OneFreqImpedance> result = smoothed(curve);
    QCOMPARE(result.size(), 4);
    QVERIFY(memcmp(result.constData(), curve.constData(), sizeof(OneFreqImpedance) * 4) == 0);
}

void TestSmoothing::threePoint()
{
    QVector<double> line = {1, 3, 5, 7};
    QVector<double> tent = {0, 3, 0};
    LibCagniard::threePointSmooth(line, tent);
    QCOMPARE(line, (QVector<double>{1, 3, 5, 7}));
    QCOMPARE(tent, (QVector<double>{1, 1, 1}));

    QVector<double> shortA = {4, 9};
    QVector<double> peak = {0, 0, 6, 0, 0};
    LibCagniard::threePointSmooth(shortA, peak);
    QCOMPARE(shortA, (QVector<double>{4, 9}));
    QCOMPARE(peak, (QVector<double>{-1, 2, 2, 2, -1}));
}

QTEST_APPLESS_MAIN(TestSmoothing)
#include "tst_smoothing.moc"
