#include "LibCagniard/LibCagniard.h"

#include <QtTest>

#include <gsl/gsl_interp.h>

#include <cmath>

namespace
{

enum Repair { PowerLine, Near50Hz, Near150Hz };

const QList<double> powerLineList = {39.8, 50.1, 63.1, 126, 158, 200};

QList<double> targets(double fmin, double fmax)
{
    return LibCagniard::fixedTargetFrequencies(fmin, fmax);
}

// A curve that varies smoothly over frequency; the points at the given frequencies are spoiled, as
// power-line noise would. trueResistivity and inversionDepth carry markers the repair must keep.
QVector<OneFreqImpedance> noisyCurve(const QList<double> &frequencies, const QList<double> &spoiled)
{
    QVector<OneFreqImpedance> curve;
    for (double f : frequencies) {
        OneFreqImpedance point;
        point.frequency = f;
        const double x = std::log10(f);
        point.apparentResistivity = 100 + 40 * std::sin(2 * x);
        point.phase = 45 + 10 * std::cos(3 * x);
        point.coherence = 0.9 - 0.05 * x;
        if (spoiled.contains(f)) {
            point.apparentResistivity = 1e6;
            point.phase = 3;
            point.coherence = 0.01;
        }
        point.trueResistivity = 7 * f;
        point.inversionDepth = 9 * f;
        curve.append(point);
    }
    return curve;
}

// |Akima interpolation| at f over the curve's points not at the excluded frequencies, straight from GSL.
double akimaAt(const QVector<OneFreqImpedance> &curve, const QList<double> &excluded, double f,
               double OneFreqImpedance::*field)
{
    QVector<double> x, y;
    for (const OneFreqImpedance &point : curve) {
        if (!excluded.contains(point.frequency)) {
            x.append(point.frequency);
            y.append(point.*field);
        }
    }
    gsl_interp *interp = gsl_interp_alloc(gsl_interp_akima, size_t(x.size()));
    gsl_interp_init(interp, x.constData(), y.constData(), size_t(x.size()));
    const double value = gsl_interp_eval(interp, x.constData(), y.constData(), f, nullptr);
    gsl_interp_free(interp);
    return std::fabs(value);
}

} // namespace

class TestRepair : public QObject
{
    Q_OBJECT

private slots:
    void onlyRepairPointsChange_data();
    void onlyRepairPointsChange();
};

void TestRepair::onlyRepairPointsChange_data()
{
    QTest::addColumn<QList<double>>("frequencies");
    QTest::addColumn<int>("repair");
    QTest::addColumn<QList<double>>("changed");

    QTest::newRow("1000 Hz curve") << targets(10, 500) << int(PowerLine) << powerLineList;
    QTest::newRow("500 Hz curve, 200 before 248") << targets(500.0 / 16384, 250) << int(PowerLine) << powerLineList;
    QTest::newRow("high band") << targets(500, 10000) << int(PowerLine) << QList<double>{};
    QTest::newRow("repair points past the last node") << targets(10, 200) << int(PowerLine)
                                                      << QList<double>{39.8, 50.1, 63.1};
    QTest::newRow("repair points before the first node") << targets(39.8, 500) << int(PowerLine)
                                                         << QList<double>{126, 158, 200};
    QTest::newRow("four nodes") << QList<double>{10, 39.8, 50.1, 63.1, 79.4, 100, 126, 158, 200, 248}
                                << int(PowerLine) << QList<double>{};
    QTest::newRow("empty") << QList<double>{} << int(PowerLine) << QList<double>{};
    QTest::newRow("near 50 Hz") << targets(10, 500) << int(Near50Hz) << QList<double>{39.8, 50.1, 63.1};
    QList<double> without50 = targets(10, 500);
    without50.removeOne(50.1);
    QTest::newRow("near 50 Hz, 50.1 missing") << without50 << int(Near50Hz) << QList<double>{39.8, 63.1};
    QTest::newRow("near 150 Hz") << targets(10, 500) << int(Near150Hz) << QList<double>{126, 158, 200};
}

void TestRepair::onlyRepairPointsChange()
{
    QFETCH(QList<double>, frequencies);
    QFETCH(int, repair);
    QFETCH(QList<double>, changed);

    const QList<double> repairList = repair == PowerLine  ? powerLineList
                                     : repair == Near50Hz ? QList<double>{39.8, 50.1, 63.1}
                                                          : QList<double>{126, 158, 200};
    const QVector<OneFreqImpedance> curve = noisyCurve(frequencies, repairList);
    LibCagniard lib;
    lib.targetFrequencies(0, 0, 0);
    const QVector<OneFreqImpedance> repaired = repair == PowerLine  ? lib.repairPowerLineFrequencies(curve)
                                               : repair == Near50Hz ? LibCagniard::repairNear50Hz(curve)
                                                                    : LibCagniard::repairNear150Hz(curve);

    QCOMPARE(repaired.size(), curve.size());
    for (int i = 0; i < curve.size(); ++i) {
        const OneFreqImpedance &before = curve[i];
        const OneFreqImpedance &after = repaired[i];
        const QByteArray label = QByteArray::number(before.frequency);
        QCOMPARE(after.frequency, before.frequency);
        QCOMPARE(after.trueResistivity, before.trueResistivity);
        QCOMPARE(after.inversionDepth, before.inversionDepth);
        if (!changed.contains(before.frequency)) {
            QVERIFY2(memcmp(&before, &after, sizeof before) == 0, label);
            continue;
        }
        QVERIFY2(after.apparentResistivity != before.apparentResistivity, label);
        const double f = before.frequency;
        QCOMPARE(after.apparentResistivity, akimaAt(curve, repairList, f, &OneFreqImpedance::apparentResistivity));
        QCOMPARE(after.phase, akimaAt(curve, repairList, f, &OneFreqImpedance::phase));
        QCOMPARE(after.coherence, akimaAt(curve, repairList, f, &OneFreqImpedance::coherence));
    }
}

QTEST_APPLESS_MAIN(TestRepair)
#include "tst_repair.moc"
