#include "ProjectBuilder.h"
#include "StoreTestSupport.h"

#include "projectdata/Data_Station.h"
#include "projectdata/ImpedanceCurve.h"
#include "store/LibHORM.h"

#include <QRandomGenerator>
#include <QtTest>

#include <cmath>
#include <cstring>

using Curve = QVector<OneFreqImpedance>;
Q_DECLARE_METATYPE(Curve)
Q_DECLARE_METATYPE(QList<Curve>)

namespace {

OneFreqImpedance point(double frequency, double rho, double phase, double coherence)
{
    OneFreqImpedance p;
    p.frequency = frequency;
    p.apparentResistivity = rho;
    p.phase = phase;
    p.coherence = coherence;
    return p;
}

// A point whose every field, reserved included, is distinct.
OneFreqImpedance distinctPoint(int i)
{
    return {i * 1.0e-3, 1000.0 / (i + 1), 0.5 + i * 0.01, 100.0 + i, 30.0 + i * 0.5, 120.0 + i, 356.0 * i};
}

QVector<double> fields(const OneFreqImpedance &p)
{
    return {p.reserved, p.frequency, p.coherence, p.apparentResistivity, p.phase, p.trueResistivity, p.inversionDepth};
}

void compareCurves(const Curve &actual, const Curve &expected)
{
    QCOMPARE(actual.size(), expected.size());
    for (int i = 0; i < actual.size(); ++i) {
        const QVector<double> a = fields(actual.at(i));
        const QVector<double> e = fields(expected.at(i));
        for (int f = 0; f < a.size(); ++f)
            QVERIFY2(std::fabs(a.at(f) - e.at(f)) <= 1e-9 * std::max(1.0, std::fabs(e.at(f))),
                     qPrintable(QString("point %1 field %2: %3 != %4").arg(i).arg(f).arg(a.at(f)).arg(e.at(f))));
    }
}

Curve curveOf(std::initializer_list<double> frequencies, double rho = 100.0)
{
    Curve curve;
    for (double f : frequencies)
        curve << point(f, rho, 45.0, 0.9);
    return curve;
}

} // namespace

class TestImpedance : public QObject
{
    Q_OBJECT

private slots:
    void curveIsStoredAs56ByteRecords();
    void damagedBytesGiveNoPoint_data();
    void damagedBytesGiveNoPoint();
    void addingCurvesOfARecording();
    void merge_data();
    void merge();
    void stationCurves_data();
    void stationCurves();
    void relabelledRecordingFeedsE0();

private:
    ProjectFiles files;
};

void TestImpedance::curveIsStoredAs56ByteRecords()
{
    const QString file = files.path("blob.HMT");
    Curve curve;
    for (int i = 0; i < 40; ++i)
        curve << distinctPoint(i);
    Curve readBack;
    {
        LibHORM store;
        QVERIFY(store.openSqlite(file));
        ProjectBuilder builder(store);
        Data_SampleData *recording = builder.addRecording(builder.addStation(builder.addLine(1), 1), 4000);
        QVERIFY(recording->addProcessData({{2, curve}}));
        HORM_Collection<Data_ProcessData> rows(&store);
        rows.at(0).object->getImpedanceData(readBack);
    }
    const QStringList cells = sqliteCli(file, "SELECT length(Data_Impedance), hex(Data_Impedance) FROM Data_ProcessData;")
                                  .split('|');
    QCOMPARE(cells.value(0), QString("2240"));
    const QByteArray bytes = QByteArray::fromHex(cells.value(1).toLatin1());
    QCOMPARE(bytes.size(), 2240);
    for (int i = 0; i < 40; ++i) {
        for (int f = 0; f < 7; ++f) {
            double value;
            const char *at = bytes.constData() + i * 56 + f * 8;
            quint64 bits = 0;
            for (int b = 7; b >= 0; --b)
                bits = (bits << 8) | quint8(at[b]);
            std::memcpy(&value, &bits, 8);
            QCOMPARE(value, fields(curve.at(i)).at(f));
        }
    }
    QCOMPARE(readBack.size(), 40);
    QVERIFY(std::memcmp(readBack.constData(), curve.constData(), 2240) == 0);
}

void TestImpedance::damagedBytesGiveNoPoint_data()
{
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<int>("points");
    const QByteArray three = ImpedanceCurve::encode({distinctPoint(3), distinctPoint(4), distinctPoint(5)});
    const auto withField = [](int field, double value) {
        OneFreqImpedance p = distinctPoint(4);
        (field == 1 ? p.frequency : p.apparentResistivity) = value;
        return ImpedanceCurve::encode({distinctPoint(3), p});
    };
    QTest::newRow("empty") << QByteArray() << 0;
    QTest::newRow("one") << three.left(56) << 1;
    QTest::newRow("three") << three << 3;
    QTest::newRow("short of one") << three.left(55) << -1;
    QTest::newRow("one and a tail") << three.left(60) << -1;
    QTest::newRow("negative frequency") << withField(1, -2.5) << -1;
    QTest::newRow("zero frequency") << withField(1, 0.0) << -1;
    QTest::newRow("infinite frequency") << withField(1, qInf()) << -1;
    QTest::newRow("NaN resistivity") << withField(3, qQNaN()) << -1;
    QTest::newRow("negative resistivity") << withField(3, -1e302) << -1;
    QByteArray noise(25 * 56, Qt::Uninitialized);
    QRandomGenerator generator(7);
    for (char &byte : noise)
        byte = char(generator.bounded(256));
    QTest::newRow("random bytes") << noise << -1;
}

// A damaged blob gives no point at all, never a part of a curve (points -1: damaged).
void TestImpedance::damagedBytesGiveNoPoint()
{
    QFETCH(QByteArray, stored);
    QFETCH(int, points);
    Data_ProcessData row(nullptr);
    row.setData_Impedance(stored);
    Curve curve{distinctPoint(9)};
    QCOMPARE(row.getImpedanceData(curve), points >= 0);
    QCOMPARE(curve.size(), qMax(points, 0));
    if (points > 0)
        QCOMPARE(curve.first().inversionDepth, distinctPoint(3).inversionDepth);
}

void TestImpedance::addingCurvesOfARecording()
{
    const QString file = files.path("add.HMT");
    {
        LibHORM store;
        QVERIFY(store.openSqlite(file));
        ProjectBuilder builder(store);
        Data_SampleData *recording = builder.addRecording(builder.addStation(builder.addLine(1), 1), 4000);
        QVERIFY(!recording->addProcessData({}));
        QVERIFY(recording->addProcessData({{0, curveOf({1, 2})}, {1, curveOf({3})}, {7, Curve()}}));
        const QList<ChannelImpedance> listed = recording->getProcessData();
        QCOMPARE(listed.size(), 3);
        QCOMPARE(listed.at(1).channel, 1);
        compareCurves(listed.at(0).curve, curveOf({1, 2}));
    }
    QCOMPARE(sqliteCli(file, "SELECT SampleChannel, SampleFrequency, length(Data_Impedance), Data_SampleDataID, "
                             "Data_Velocity IS NULL OR length(Data_Velocity) = 0 FROM Data_ProcessData ORDER BY ID;"),
             QString("0|4000.0|112|1|1\n1|4000.0|56|1|1\n7|4000.0|0|1|1"));
}

void TestImpedance::merge_data()
{
    QTest::addColumn<QList<Curve>>("curves");
    QTest::addColumn<Curve>("expected");

    OneFreqImpedance averaged = point(10, 200, 45, 0.7);
    averaged.inversionDepth = 356.0 * std::sqrt(20.0);
    averaged.trueResistivity = 200.0;
    QTest::newRow("equal frequency averaged, new one appended")
        << QList<Curve>{{point(10, 100, 40, 0.8)}, {point(10, 400, 50, 0.6), point(20, 7, 8, 0.5)}}
        << Curve{averaged, point(20, 7, 8, 0.5)};

    QTest::newRow("near but not equal frequency dropped")
        << QList<Curve>{{point(10, 100, 40, 0.8)}, {point(10 + 5e-8, 400, 50, 0.6)}} << Curve{point(10, 100, 40, 0.8)};

    QTest::newRow("appended points keep their order unsorted")
        << QList<Curve>{curveOf({100, 200}), curveOf({50, 300, 10})} << curveOf({100, 200, 50, 300, 10});

    // A running mean: the third curve weighs one half.
    OneFreqImpedance running = point(5, 100, 50, 0.75);
    running.inversionDepth = 356.0 * std::sqrt(100.0 / 5.0);
    running.trueResistivity = (90.0 / 50.0 - 1.0) * 100.0;
    QTest::newRow("three curves on one frequency")
        << QList<Curve>{{point(5, 10, 40, 1.0)}, {point(5, 1000, 40, 1.0)}, {point(5, 100, 60, 0.5)}} << Curve{running};

    QTest::newRow("one curve unchanged") << QList<Curve>{curveOf({1, 2, 3})} << curveOf({1, 2, 3});
    QTest::newRow("no curve") << QList<Curve>{} << Curve{};
}

void TestImpedance::merge()
{
    QFETCH(QList<Curve>, curves);
    QFETCH(Curve, expected);
    compareCurves(Data_Station::mergeImpedanceData(curves), expected);
}

void TestImpedance::stationCurves_data()
{
    QTest::addColumn<QList<int>>("rates");
    QTest::addColumn<QList<int>>("uses");
    QTest::addColumn<Curve>("e0");
    QTest::addColumn<Curve>("e1");

    // Recording k (from 0) carries E0 points at k*1000 + {1, 2} and an E1 point at k*1000 + 5.
    QTest::newRow("two rates in use") << QList<int>{500, 4000} << QList<int>{1, 1} << curveOf({1, 2, 1001, 1002})
                                      << curveOf({5, 1005});
    QTest::newRow("only the newer of one rate") << QList<int>{4000, 4000} << QList<int>{0, 1} << curveOf({1001, 1002})
                                                << curveOf({1005});
    QTest::newRow("none in use") << QList<int>{4000} << QList<int>{0} << Curve{} << Curve{};
}

void TestImpedance::stationCurves()
{
    QFETCH(QList<int>, rates);
    QFETCH(QList<int>, uses);
    QFETCH(Curve, e0);
    QFETCH(Curve, e1);
    LibHORM store;
    QVERIFY(store.openSqlite(files.path(QString("station_%1.HMT").arg(QTest::currentDataTag()))));
    ProjectBuilder builder(store);
    Data_Station *station = builder.addStation(builder.addLine(1), 1);
    for (int k = 0; k < rates.size(); ++k) {
        Data_SampleData *recording = builder.addRecording(station, rates.at(k), uses.at(k));
        recording->addProcessData({{0, curveOf({k * 1000.0 + 1, k * 1000.0 + 2})}, {1, curveOf({k * 1000.0 + 5})},
                                   {3, curveOf({9999})}});
    }
    Curve outE0{distinctPoint(1)}, outE1{distinctPoint(1)}, outE2{distinctPoint(1)};
    station->getProcessData(outE0, outE1, outE2);
    compareCurves(outE0, e0);
    compareCurves(outE1, e1);
    QVERIFY(outE2.isEmpty());
}

void TestImpedance::relabelledRecordingFeedsE0()
{
    LibHORM store;
    QVERIFY(store.openSqlite(files.path("relabel.HMT")));
    ProjectBuilder builder(store);
    Data_Station *station = builder.addStation(builder.addLine(1), 1);
    Data_Station *empty = builder.addStation(builder.addLine(2), 1);
    Data_SampleData *recording = builder.addRecording(station, 4000);
    QVERIFY(!recording->convertDirectionYToX());
    recording->addProcessData({{0, curveOf({1})}, {1, curveOf({2})}, {2, curveOf({3})}});
    QVERIFY(recording->convertDirectionYToX());

    Curve e0, e1{distinctPoint(1)}, e2{distinctPoint(1)};
    station->getProcessData(e0, e1, e2);
    compareCurves(e0, curveOf({1, 2, 3}));
    QVERIFY(e1.isEmpty() && e2.isEmpty());
    QCOMPARE(sqliteCli(files.path("relabel.HMT"), "SELECT group_concat(SampleChannel) FROM Data_ProcessData;"),
             QString("0,0,0"));

    // A station without recordings leaves the outputs as they were.
    empty->getProcessData(e0, e1, e2);
    compareCurves(e0, curveOf({1, 2, 3}));
}

QTEST_GUILESS_MAIN(TestImpedance)
#include "tst_impedance.moc"
