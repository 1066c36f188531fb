#include "LibCagniard/AmplitudeSpectrum.h"
#include "LibCagniard/ffft/FFTReal.h"

#include <QRandomGenerator>
#include <QtTest>

#include <cmath>
#include <limits>
#include <vector>

namespace
{
const long double pi_l = 3.14159265358979323846264338327950288L;

std::vector<double> randomSignal(long length, quint32 seed)
{
    QRandomGenerator rng(seed);
    std::vector<double> x(length);
    for (double &v : x)
        v = rng.generateDouble() * 2.0 - 1.0;
    return x;
}

// X_k of the direct DFT in long double.
void directBin(const std::vector<double> &x, long k, long double &re, long double &im)
{
    const long n = long(x.size());
    re = 0;
    im = 0;
    for (long j = 0; j < n; ++j) {
        // Reduce k * j modulo n so that the angle stays exact.
        const long double angle = -2 * pi_l * (long double)((k * j) % n) / n;
        re += x[j] * std::cos(angle);
        im += x[j] * std::sin(angle);
    }
}

double sumAbs(const std::vector<double> &x)
{
    double s = 0;
    for (double v : x)
        s += std::fabs(v);
    return s;
}

std::vector<double> transformed(const std::vector<double> &x)
{
    ffft::FFTReal<double> fft(long(x.size()));
    std::vector<double> f(x.size());
    fft.transform(f.data(), x.data());
    return f;
}

// Largest distance between the transform's layout and the direct DFT over the given bins.
double worstBinError(const std::vector<double> &x, const std::vector<double> &f, const std::vector<long> &bins)
{
    const long n = long(x.size());
    double worst = 0;
    for (long k : bins) {
        long double re, im;
        directBin(x, k, re, im);
        worst = std::max(worst, double(std::fabs(f[k] - re)));
        if (k > 0 && k < n / 2)
            worst = std::max(worst, double(std::fabs(f[n / 2 + k] + im)));
    }
    return worst;
}

std::vector<double> tone(long length, long bin, double amplitude, bool sine)
{
    std::vector<double> x(length);
    for (long j = 0; j < length; ++j) {
        const long double angle = 2 * pi_l * (long double)((bin * j) % length) / length;
        x[j] = double(amplitude * (sine ? std::sin(angle) : std::cos(angle)));
    }
    return x;
}
} // namespace

class TestFft : public QObject
{
    Q_OBJECT

private slots:
    void matchesDirectDft_data();
    void matchesDirectDft();
    void largeLengthsMatchSampledBins_data();
    void largeLengthsMatchSampledBins();
    void smallLengthLayouts();
    void objectsOfOneLengthAgree();
    void singleBinTones_data();
    void singleBinTones();
    void spectrumLayoutAndScale();
    void spectrumRejectsBadArguments_data();
    void spectrumRejectsBadArguments();
};

void TestFft::matchesDirectDft_data()
{
    QTest::addColumn<int>("length");
    for (int n = 1; n <= 4096; n *= 2)
        QTest::newRow(qPrintable(QString::number(n))) << n;
}

void TestFft::matchesDirectDft()
{
    QFETCH(int, length);
    const std::vector<double> x = randomSignal(length, quint32(length));
    const std::vector<double> f = transformed(x);
    std::vector<long> bins;
    for (long k = 0; k <= length / 2; ++k)
        bins.push_back(k);
    QVERIFY2(worstBinError(x, f, bins) <= 1e-12 * sumAbs(x), qPrintable(QString::number(worstBinError(x, f, bins))));
}

// Lengths beyond the full direct comparison: every bin near the ends and a random sample between.
void TestFft::largeLengthsMatchSampledBins_data()
{
    QTest::addColumn<int>("length");
    for (int n = 8192; n <= 65536; n *= 2)
        QTest::newRow(qPrintable(QString::number(n))) << n;
}

void TestFft::largeLengthsMatchSampledBins()
{
    QFETCH(int, length);
    const std::vector<double> x = randomSignal(length, 7u + quint32(length));
    const std::vector<double> f = transformed(x);
    std::vector<long> bins = {0, 1, 2, 3, length / 4 - 1, length / 4, length / 4 + 1, length / 2 - 1, length / 2};
    QRandomGenerator rng(11);
    for (int i = 0; i < 40; ++i)
        bins.push_back(long(rng.bounded(length / 2 + 1)));
    QVERIFY(worstBinError(x, f, bins) <= 1e-12 * sumAbs(x));
}

void TestFft::smallLengthLayouts()
{
    QCOMPARE(transformed({3.5}), std::vector<double>({3.5}));
    QCOMPARE(transformed({3, 5}), std::vector<double>({8, -2}));
    // f = {(x0 + x2) + (x1 + x3), x0 - x2, (x0 + x2) - (x1 + x3), x1 - x3}
    QCOMPARE(transformed({1, 2, 4, 8}), std::vector<double>({15, -3, -5, -6}));
    QCOMPARE(transformed({1, 0, 0, 0, 0, 0, 0, 0}), std::vector<double>({1, 1, 1, 1, 1, 0, 0, 0}));
    // A delay of one sample: X_k = exp(-2 pi i k / 8), so f[5..7] = sin(2 pi k / 8).
    const std::vector<double> f = transformed({0, 1, 0, 0, 0, 0, 0, 0});
    const double h = std::sqrt(0.5);
    const std::vector<double> expected = {1, h, 0, -h, -1, h, 1, h};
    for (int k = 0; k < 8; ++k)
        QVERIFY2(std::fabs(f[k] - expected[k]) < 1e-15, qPrintable(QString::number(k)));
}

// The second object of a length uses the first one's tables; both must give the same result.
void TestFft::objectsOfOneLengthAgree()
{
    const std::vector<double> x = randomSignal(2048, 5);
    ffft::FFTReal<double> first(2048);
    ffft::FFTReal<double> second(2048);
    std::vector<double> f1(2048), f2(2048);
    first.transform(f1.data(), x.data());
    second.transform(f2.data(), x.data());
    QCOMPARE(f1, f2);
    QCOMPARE(second.get_length(), 2048L);
}

void TestFft::singleBinTones_data()
{
    QTest::addColumn<bool>("sine");
    QTest::addColumn<double>("expectedPhase");
    QTest::newRow("cosine") << false << 0.0;
    QTest::newRow("sine") << true << -M_PI / 2;
}

void TestFft::singleBinTones()
{
    QFETCH(bool, sine);
    QFETCH(double, expectedPhase);
    const int n = 16384;
    const int bin = 1234;
    const double rate = 4000;
    const double amplitude = 3.0;
    const std::vector<double> x = tone(n, bin, amplitude, sine);
    const QList<SpectrumPoint> spectrum = amplitudeSpectrum(QVector<double>(x.begin(), x.end()), n, rate);
    QCOMPARE(spectrum.size(), n / 2);

    const double peak = amplitude * n / 2 * std::sqrt(2.0 / (n * rate));
    const SpectrumPoint &p = spectrum[bin - 1];
    QCOMPARE(p.frequency, bin * rate / n);
    QVERIFY(std::fabs(p.amplitude - peak) <= 1e-12 * peak);
    QVERIFY(std::fabs(p.phase - expectedPhase) <= 1e-12);
    for (int i = 0; i < spectrum.size(); ++i) {
        if (i != bin - 1)
            QVERIFY2(spectrum[i].amplitude < 1e-9 * peak, qPrintable(QString::number(i)));
    }
}

void TestFft::spectrumLayoutAndScale()
{
    // x = 2.5 + 1.5 cos(pi n) + cos(pi n / 2): X_2 = 4, X_4 = 12, the mean (bin 0) is left out.
    const int n = 8;
    const double rate = 2.0;
    const QVector<double> x = {5, 1, 3, 1, 5, 1, 3, 1};
    const QList<SpectrumPoint> s = amplitudeSpectrum(x, n, rate);
    QCOMPARE(s.size(), 4);
    const double scale = std::sqrt(2.0 / (n * rate));
    const double expected[4] = {0, 4, 0, 12};
    for (int i = 0; i < 4; ++i) {
        QCOMPARE(s[i].frequency, (i + 1) * rate / n);
        QVERIFY2(std::fabs(s[i].amplitude - expected[i] * scale) < 1e-12, qPrintable(QString::number(i)));
    }
    QCOMPARE(s[3].phase, 0.0);

    for (const SpectrumPoint &p : amplitudeSpectrum(QVector<double>(n, 0.0), n, rate)) {
        QCOMPARE(p.amplitude, 0.0);
        QCOMPARE(p.phase, 0.0);
    }
}

void TestFft::spectrumRejectsBadArguments_data()
{
    QTest::addColumn<int>("length");
    QTest::addColumn<int>("windowSize");
    QTest::addColumn<double>("rate");
    const double inf = std::numeric_limits<double>::infinity();
    QTest::newRow("length 1000") << 1000 << 1000 << 4000.0;
    QTest::newRow("length 4") << 4 << 4 << 4000.0;
    QTest::newRow("length 0") << 0 << 0 << 4000.0;
    QTest::newRow("negative length") << -16 << 0 << 4000.0;
    QTest::newRow("short window") << 16 << 15 << 4000.0;
    QTest::newRow("long window") << 16 << 17 << 4000.0;
    QTest::newRow("rate 0") << 16 << 16 << 0.0;
    QTest::newRow("negative rate") << 16 << 16 << -1.0;
    QTest::newRow("rate nan") << 16 << 16 << std::nan("");
    QTest::newRow("rate inf") << 16 << 16 << inf;
}

void TestFft::spectrumRejectsBadArguments()
{
    QFETCH(int, length);
    QFETCH(int, windowSize);
    QFETCH(double, rate);
    QVERIFY(amplitudeSpectrum(QVector<double>(windowSize, 1.0), length, rate).isEmpty());
}

QTEST_APPLESS_MAIN(TestFft)
#include "tst_fft.moc"
