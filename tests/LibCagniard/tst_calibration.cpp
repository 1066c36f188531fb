#include "LibCagniard/CalibrationTable.h"
#include "LibCagniard/LibCagniard.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>
#include <limits>

Q_DECLARE_METATYPE(SpectrumPoint)

namespace
{
const double degree = 3.1415926 / 180;

QString writeFile(const QString &path, const QByteArray &content)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return QString();
    file.write(content);
    return path;
}

QList<double> frequencies(const QList<SpectrumPoint> &table)
{
    QList<double> result;
    for (const SpectrumPoint &row : table)
        result.append(row.frequency);
    return result;
}
} // namespace

class TestCalibration : public QObject
{
    Q_OBJECT

private slots:
    void init() { QVERIFY(dir.isValid()); }
    void separatorsGiveTheSameRow_data();
    void separatorsGiveTheSameRow();
    void rowOrderAndValidity_data();
    void rowOrderAndValidity();
    void icmsRuleLooksAtTheFileNameOnly_data();
    void icmsRuleLooksAtTheFileNameOnly();
    void missingUnreadableAndEmptyFiles();
    void resamplesOntoTheBins();
    void narrowTableHoldsItsEndRows();
    void unusableTablesAndArgumentsFail_data();
    void unusableTablesAndArgumentsFail();

private:
    QTemporaryDir dir;
};

void TestCalibration::separatorsGiveTheSameRow_data()
{
    QTest::addColumn<QByteArray>("content");
    // The header is itself a row of numbers and must not become one.
    QTest::newRow("commas") << QByteArray("1,2,3\n10,0.5,90\n");
    QTest::newRow("semicolon and spaces") << QByteArray("1,2,3\n10 ; 0.5 ;  90\n");
    QTest::newRow("vertical bars") << QByteArray("1,2,3\n10|0.5|90\n");
    QTest::newRow("two tabs") << QByteArray("1,2,3\n10\t\t0.5\t\t90\n");
    QTest::newRow("asterisks") << QByteArray("1,2,3\n10*0.5*90\n");
    QTest::newRow("leading, trailing and extra fields") << QByteArray("1,2,3\n,10,,0.5,90,7,x,\n");
    QTest::newRow("CR LF line ends") << QByteArray("1,2,3\r\n10,0.5,90\r\n");
    QTest::newRow("no final line end") << QByteArray("Freq Amp Phase\n10 0.5 90");
}

void TestCalibration::separatorsGiveTheSameRow()
{
    QFETCH(QByteArray, content);
    QList<SpectrumPoint> table;
    QVERIFY(readCalibrationTable(table, writeFile(dir.filePath("sep.txt"), content)));
    QCOMPARE(table.size(), 1);
    QCOMPARE(table[0].frequency, 10.0);
    QCOMPARE(table[0].amplitude, 0.5);
    QCOMPARE(table[0].phase, 90 * 3.1415926 / 180);
}

void TestCalibration::rowOrderAndValidity_data()
{
    QTest::addColumn<QByteArray>("rows");
    QTest::addColumn<QList<double>>("kept");
    QTest::newRow("a step back is dropped")
        << QByteArray("10,1,0\n20,1,0\n15,1,0\n30,1,0\n") << QList<double>{10, 20, 30};
    QTest::newRow("a repeat is dropped") << QByteArray("10,1,0\n10,2,0\n20,1,0\n") << QList<double>{10, 20};
    QTest::newRow("decreasing keeps the first") << QByteArray("30,1,0\n20,1,0\n10,1,0\n") << QList<double>{30};
    QTest::newRow("zero and negative frequencies")
        << QByteArray("0,1,0\n-5,1,0\n10,1,0\n") << QList<double>{10};
    QTest::newRow("text, blank and short lines")
        << QByteArray("abc,1,2\n\n10,1\n10,1,0\n") << QList<double>{10};
    QTest::newRow("non-finite fields") << QByteArray("10,nan,0\n11,1,inf\ninf,1,0\n12,1,0\n") << QList<double>{12};
}

void TestCalibration::rowOrderAndValidity()
{
    QFETCH(QByteArray, rows);
    QFETCH(QList<double>, kept);
    QList<SpectrumPoint> table;
    QVERIFY(readCalibrationTable(table, writeFile(dir.filePath("order.txt"), "f a p\n" + rows)));
    QCOMPARE(frequencies(table), kept);
}

void TestCalibration::icmsRuleLooksAtTheFileNameOnly_data()
{
    QTest::addColumn<QString>("relativePath");
    QTest::addColumn<bool>("sensorReader");
    QTest::addColumn<double>("amplitude");
    QTest::newRow("sensor table named ICMS") << "InputCalibration/ICMS-05.txt" << true << 200.0;
    QTest::newRow("lower-case icms") << "InputCalibration/icms-05.txt" << true << 0.002;
    QTest::newRow("ICMS only in a folder") << "ICMS-install/InputCalibration/coil.txt" << true << 0.002;
    QTest::newRow("gain table named ICMS") << "GainCalibration/ICMS-05.txt" << false << 0.002;
}

void TestCalibration::icmsRuleLooksAtTheFileNameOnly()
{
    QFETCH(QString, relativePath);
    QFETCH(bool, sensorReader);
    QFETCH(double, amplitude);
    const QString path = writeFile(dir.filePath(relativePath), "f a p\n100,0.002,45\n");
    QList<SpectrumPoint> table;
    QVERIFY(sensorReader ? readCalibrationTableIcms(table, path) : readCalibrationTable(table, path));
    QCOMPARE(table.size(), 1);
    QCOMPARE(table[0].amplitude, amplitude);
    QCOMPARE(table[0].phase, 45 * degree);
}

void TestCalibration::missingUnreadableAndEmptyFiles()
{
    QList<SpectrumPoint> table{{1, 1, 1}};
    QVERIFY(!readCalibrationTableIcms(table, dir.filePath("missing.txt")));
    QVERIFY(table.isEmpty());

    table = {{1, 1, 1}};
    QVERIFY(!readCalibrationTable(table, dir.path())); // a folder cannot be read as a file
    QVERIFY(table.isEmpty());

    table = {{1, 1, 1}};
    QVERIFY(readCalibrationTable(table, writeFile(dir.filePath("empty.txt"), "")));
    QVERIFY(table.isEmpty());
}

void TestCalibration::resamplesOntoTheBins()
{
    const double step = 4000.0 / 16384;
    // The middle row lies exactly on bin 10 and the last exactly on the last bin.
    QList<SpectrumPoint> table{{0.1, 1.0, 0.0}, {10 * step, 7.25, 0.3}, {1000, 3.0, -0.2}, {2000, 2.5, 0.1}};
    QVERIFY(LibCagniard::resampleCalibration(table, 16384, 4000));
    QCOMPARE(table.size(), 8192);
    QCOMPARE(table.first().frequency, 0.244140625);
    QCOMPARE(table.last().frequency, 2000.0);
    for (int i = 0; i < table.size(); ++i)
        QCOMPARE(table[i].frequency, (i + 1) * 4000.0 / 16384);

    QCOMPARE(table[9].amplitude, 7.25);
    QCOMPARE(table[9].phase, 0.3);
    QCOMPARE(table.last().amplitude, 2.5);
    QCOMPARE(table.last().phase, 0.1);

    // Bin 2048 (500 Hz) lies between the 10 * step and 1000 Hz rows.
    const double t = (500 - 10 * step) / (1000 - 10 * step);
    QVERIFY(std::fabs(table[2047].amplitude - (7.25 + t * (3.0 - 7.25))) < 1e-12);
    QVERIFY(std::fabs(table[2047].phase - (0.3 + t * (-0.2 - 0.3))) < 1e-12);
}

void TestCalibration::narrowTableHoldsItsEndRows()
{
    QList<SpectrumPoint> table{{100, 4.0, 0.5}, {200, 6.0, 0.7}, {500, 1.0, -0.5}};
    QVERIFY(LibCagniard::resampleCalibration(table, 16384, 4000));
    QCOMPARE(table.size(), 8192);
    for (const SpectrumPoint &row : qAsConst(table)) {
        if (row.frequency <= 100) {
            QCOMPARE(row.amplitude, 4.0);
            QCOMPARE(row.phase, 0.5);
        } else if (row.frequency >= 500) {
            QCOMPARE(row.amplitude, 1.0);
            QCOMPARE(row.phase, -0.5);
        }
    }
    const SpectrumPoint &inside = table[613]; // bin 614, about 150 Hz
    QVERIFY(std::fabs(inside.amplitude - (4.0 + (inside.frequency - 100) / 100 * 2.0)) < 1e-12);
}

void TestCalibration::unusableTablesAndArgumentsFail_data()
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const QList<SpectrumPoint> good{{1, 1, 0}, {3000, 1, 0}};
    QTest::addColumn<QList<SpectrumPoint>>("table");
    QTest::addColumn<int>("length");
    QTest::addColumn<double>("rate");
    QTest::newRow("one row") << QList<SpectrumPoint>{{100, 1, 0}} << 16384 << 4000.0;
    QTest::newRow("no rows") << QList<SpectrumPoint>{} << 16384 << 4000.0;
    QTest::newRow("frequencies out of order") << QList<SpectrumPoint>{{200, 1, 0}, {100, 1, 0}} << 16384 << 4000.0;
    QTest::newRow("repeated frequency") << QList<SpectrumPoint>{{100, 1, 0}, {100, 2, 0}} << 16384 << 4000.0;
    QTest::newRow("not-a-number amplitude") << QList<SpectrumPoint>{{100, nan, 0}, {200, 1, 0}} << 16384 << 4000.0;
    QTest::newRow("length 1000") << good << 1000 << 4000.0;
    QTest::newRow("length 4") << good << 4 << 4000.0;
    QTest::newRow("length 0") << good << 0 << 4000.0;
    QTest::newRow("rate 0") << good << 16384 << 0.0;
    QTest::newRow("rate not a number") << good << 16384 << nan;
    QTest::newRow("rate infinite") << good << 16384 << std::numeric_limits<double>::infinity();
}

// Every case would abort the program inside GSL if it got there.
void TestCalibration::unusableTablesAndArgumentsFail()
{
    QFETCH(QList<SpectrumPoint>, table);
    QFETCH(int, length);
    QFETCH(double, rate);
    QVERIFY(!LibCagniard::resampleCalibration(table, length, rate));
    QVERIFY(table.isEmpty());
}

QTEST_APPLESS_MAIN(TestCalibration)
#include "tst_calibration.moc"
