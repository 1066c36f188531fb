#include "LibCagniard/TimeSeriesReader.h"
#include "LibCagniard/WindowFunctions.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

#include <cmath>
#include <limits>

namespace
{
// Distinct counts, negative ones and ones above 2^24 among them.
qint32 countAt(int i)
{
    return (i % 2 ? -1 : 1) * (i * 40000001 + 3);
}

QByteArray samples(int count)
{
    QByteArray bytes(count * 4, '\0');
    for (int i = 0; i < count; ++i)
        qToLittleEndian<qint32>(countAt(i), bytes.data() + 4 * i);
    return bytes;
}

QString writeFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return QString();
    file.write(content);
    return path;
}

// Windows of the given sample indices, each count times scale.
QList<QVector<double>> expectedWindows(const QList<QList<int>> &indices, double scale)
{
    QList<QVector<double>> windows;
    for (const QList<int> &window : indices) {
        QVector<double> values;
        for (int i : window)
            values.append(double(countAt(i)) * scale);
        windows.append(values);
    }
    return windows;
}

QByteArray headeredFile(qint32 sampleCount, double factor, int samplesWritten)
{
    QByteArray header(1024, '\x5a');
    qToLittleEndian<qint32>(sampleCount, header.data() + 4);
    qToLittleEndian<double>(factor, header.data() + 16);
    return header + samples(samplesWritten);
}
} // namespace

class TestWindows : public QObject
{
    Q_OBJECT

private slots:
    void init() { QVERIFY(dir.isValid()); }
    void consecutiveWindows_data();
    void consecutiveWindows();
    void littleEndianCounts_data();
    void littleEndianCounts();
    void badArgumentsAndMissingFile_data();
    void badArgumentsAndMissingFile();
    void headeredWindows();
    void tapers_data();
    void tapers();
    void taperRejectsWrongSizes();
    void detrendRemovesStraightLines();
    void halfMeanDetrend();

private:
    QTemporaryDir dir;
};

void TestWindows::consecutiveWindows_data()
{
    QTest::addColumn<int>("maxWindows");
    QTest::addColumn<double>("sampleCount");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QList<QList<int>>>("windows");
    const QByteArray ten = samples(10);
    QTest::newRow("ten samples, last window padded")
        << 3 << 12.0 << ten << QList<QList<int>>{{0, 1, 2, 3}, {4, 5, 6, 7}, {8, 9, 9, 9}};
    QTest::newRow("window cap") << 2 << 12.0 << ten << QList<QList<int>>{{0, 1, 2, 3}, {4, 5, 6, 7}};
    QTest::newRow("cap with a huge sample count") << 2 << 1e300 << ten << QList<QList<int>>{{0, 1, 2, 3}, {4, 5, 6, 7}};
    QTest::newRow("sample count truncated") << 3 << 11.9 << ten << QList<QList<int>>{{0, 1, 2, 3}, {4, 5, 6, 7}};
    QTest::newRow("sample count below one window") << 3 << 3.0 << ten << QList<QList<int>>{};
    QTest::newRow("short file makes no empty windows")
        << 3 << 12.0 << samples(5) << QList<QList<int>>{{0, 1, 2, 3}, {4, 4, 4, 4}};
    QTest::newRow("file ends at a window boundary") << 3 << 12.0 << samples(4) << QList<QList<int>>{{0, 1, 2, 3}};
    QTest::newRow("trailing partial sample ignored")
        << 3 << 12.0 << samples(5) + QByteArray("\x7f\x7f\x7f", 3) << QList<QList<int>>{{0, 1, 2, 3}, {4, 4, 4, 4}};
    QTest::newRow("empty file") << 3 << 12.0 << QByteArray() << QList<QList<int>>{};
}

void TestWindows::consecutiveWindows()
{
    QFETCH(int, maxWindows);
    QFETCH(double, sampleCount);
    QFETCH(QByteArray, content);
    QFETCH(QList<QList<int>>, windows);
    const double scale = 5.820766091346741e-07;
    TimeSeriesReader reader;
    QVERIFY(reader.readWindows(writeFile(dir.filePath("e.ats"), content), scale, sampleCount, 4, maxWindows));
    QCOMPARE(reader.windows(), expectedWindows(windows, scale));
}

void TestWindows::littleEndianCounts_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<double>("count");
    QTest::newRow("largest") << QByteArray("\xff\xff\xff\x7f", 4) << 2147483647.0;
    QTest::newRow("minus one") << QByteArray("\xff\xff\xff\xff", 4) << -1.0;
    QTest::newRow("one") << QByteArray("\x01\x00\x00\x00", 4) << 1.0;
    QTest::newRow("smallest") << QByteArray("\x00\x00\x00\x80", 4) << -2147483648.0;
}

void TestWindows::littleEndianCounts()
{
    QFETCH(QByteArray, bytes);
    QFETCH(double, count);
    TimeSeriesReader reader;
    QVERIFY(reader.readWindows(writeFile(dir.filePath("b.ats"), bytes), 1.0, 1, 1, 1));
    QCOMPARE(reader.windows(), QList<QVector<double>>{QVector<double>{count}});
}

void TestWindows::badArgumentsAndMissingFile_data()
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    QTest::addColumn<bool>("existingFile");
    QTest::addColumn<double>("scale");
    QTest::addColumn<double>("sampleCount");
    QTest::addColumn<int>("length");
    QTest::addColumn<int>("maxWindows");
    QTest::newRow("missing file") << false << 1.0 << 8.0 << 4 << 2;
    QTest::newRow("length 0") << true << 1.0 << 8.0 << 0 << 2;
    QTest::newRow("negative length") << true << 1.0 << 8.0 << -4 << 2;
    QTest::newRow("window cap 0") << true << 1.0 << 8.0 << 4 << 0;
    QTest::newRow("negative sample count") << true << 1.0 << -8.0 << 4 << 2;
    QTest::newRow("sample count not a number") << true << 1.0 << nan << 4 << 2;
    QTest::newRow("infinite sample count") << true << 1.0 << inf << 4 << 2;
    QTest::newRow("scale not a number") << true << nan << 8.0 << 4 << 2;
}

void TestWindows::badArgumentsAndMissingFile()
{
    QFETCH(bool, existingFile);
    QFETCH(double, scale);
    QFETCH(double, sampleCount);
    QFETCH(int, length);
    QFETCH(int, maxWindows);
    const QString path = existingFile ? writeFile(dir.filePath("ok.ats"), samples(10)) : dir.filePath("none.ats");
    TimeSeriesReader reader;
    QVERIFY(reader.readWindows(writeFile(dir.filePath("first.ats"), samples(8)), 1.0, 8, 4, 2));
    QVERIFY(!reader.readWindows(path, scale, sampleCount, length, maxWindows));
    QVERIFY(reader.windows().isEmpty()); // the earlier read's windows are gone too
}

void TestWindows::headeredWindows()
{
    TimeSeriesReader reader;
    // Header count 10 with N = 4: two windows, each count times the header's factor.
    QVERIFY(reader.readHeaderedWindows(writeFile(dir.filePath("h.ats"), headeredFile(10, 0.25, 10)), 4, 5));
    QCOMPARE(reader.windows(), expectedWindows({{0, 1, 2, 3}, {4, 5, 6, 7}}, 0.25));

    // A file shorter than its header claims is padded like a header-less one.
    QVERIFY(reader.readHeaderedWindows(writeFile(dir.filePath("h2.ats"), headeredFile(12, 2.0, 6)), 4, 5));
    QCOMPARE(reader.windows(), expectedWindows({{0, 1, 2, 3}, {4, 5, 5, 5}}, 2.0));

    QVERIFY(!reader.readHeaderedWindows(writeFile(dir.filePath("h3.ats"), headeredFile(3, 1.0, 10)), 4, 5));
    QVERIFY(reader.windows().isEmpty());
    QVERIFY(!reader.readHeaderedWindows(writeFile(dir.filePath("h4.ats"), headeredFile(-1, 1.0, 10)), 4, 5));
    QVERIFY(!reader.readHeaderedWindows(writeFile(dir.filePath("h5.ats"), QByteArray(100, '\0')), 4, 5));
    QVERIFY(!reader.readHeaderedWindows(dir.filePath("none.ats"), 4, 5));
}

void TestWindows::tapers_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("index");
    QTest::addColumn<double>("expected");
    const int n = 16384;
    const double c = std::cos(3.1415926 / 2); // the taper's own pi, so not quite 0
    QTest::newRow("1 at 0") << 1 << 0 << 1.0;
    QTest::newRow("1 at N/2") << 1 << n / 2 << 0.5 + 0.5 * c;
    QTest::newRow("2 at 0") << 2 << 0 << 0.0;
    QTest::newRow("2 at N/2") << 2 << n / 2 << 1.8518518518518516 - 1.8518518518518516 * c * c;
    QTest::newRow("3 at N/2") << 3 << n / 2 << 2.380952380952381 - 2.380952380952381 * c * c;
    QTest::newRow("4 at 0") << 4 << 0 << 1.0;
    QTest::newRow("4 at N/2") << 4 << n / 2 << 0.5 + 0.5 * c * c;
    QTest::newRow("7 leaves the window") << 7 << n / 2 << 1.0;
    QTest::newRow("0 leaves the window") << 0 << n - 1 << 1.0;
}

void TestWindows::tapers()
{
    QFETCH(int, type);
    QFETCH(int, index);
    QFETCH(double, expected);
    const int n = 16384;
    const QVector<double> tapered = applyWindow(QVector<double>(n, 1.0), type, n);
    QCOMPARE(tapered.size(), n);
    QVERIFY2(std::fabs(tapered[index] - expected) <= 1e-15 * std::fabs(expected) + 1e-300,
             qPrintable(QString::number(tapered[index], 'g', 17)));
    if (type == 1) {
        // The falling half of a cosine bell: decreasing, ending just above 0.
        for (int j = 1; j < n; ++j)
            QVERIFY(tapered[j] < tapered[j - 1]);
        QVERIFY(tapered[n - 1] > 0 && tapered[n - 1] < 1e-7);
    }
}

void TestWindows::taperRejectsWrongSizes()
{
    QVERIFY(applyWindow(QVector<double>(15, 1.0), 1, 16).isEmpty());
    QVERIFY(applyWindow(QVector<double>(17, 1.0), 1, 16).isEmpty());
    QVERIFY(applyWindow(QVector<double>(), 1, 0).isEmpty());
    QVERIFY(applyWindow(QVector<double>(), 1, -1).isEmpty());
}

void TestWindows::detrendRemovesStraightLines()
{
    const int n = 1000;
    QVector<double> line(n), constant(n, -42.5), curve(n);
    for (int i = 0; i < n; ++i) {
        line[i] = 3.25 - 0.125 * i;
        curve[i] = 1e-3 * (i - 300.0) * (i - 300.0);
    }
    for (double v : detrendWindow(line))
        QVERIFY(std::fabs(v) < 1e-10);
    for (double v : detrendWindow(constant))
        QVERIFY(std::fabs(v) < 1e-10);

    // What is left of a curve has neither mean nor slope.
    const QVector<double> rest = detrendWindow(curve);
    double mean = 0, slope = 0;
    for (int i = 0; i < n; ++i) {
        mean += rest[i];
        slope += rest[i] * (2.0 * i / (n - 1) - 1);
    }
    QVERIFY(std::fabs(mean) < 1e-8);
    QVERIFY(std::fabs(slope) < 1e-8);
    QVERIFY(std::fabs(rest[0]) > 1);

    QCOMPARE(detrendWindow({7.0}), QVector<double>{7.0});
}

void TestWindows::halfMeanDetrend()
{
    // n = 4: mean 2.5, half means 1.5 and 3.5, d = 1, so y_i - 2.5 - i.
    QCOMPARE(::halfMeanDetrend({1, 2, 3, 4}), (QVector<double>{-1.5, -1.5, -1.5, -1.5}));
    QCOMPARE(::halfMeanDetrend({4, 0, 2, 6}), (QVector<double>{1, -4, -3, 0}));
}

QTEST_APPLESS_MAIN(TestWindows)
#include "tst_windows.moc"
