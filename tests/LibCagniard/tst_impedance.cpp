#include "LibCagniard/AmplitudeSpectrum.h"
#include "LibCagniard/CalibrationTable.h"
#include "LibCagniard/CrossSpectrum.h"
#include "LibCagniard/ImpedancePoint.h"
#include "LibCagniard/LibCagniard.h"
#include "LibCagniard/TargetFrequencies.h"
#include "LibCagniard/TimeSeriesReader.h"
#include "LibCagniard/WindowFunctions.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <gsl/gsl_fft_halfcomplex.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <random>
#include <thread>
#include <vector>

using Complex = std::complex<double>;

namespace
{

constexpr double pi = 3.141592653589793;

CrossSpectrumPoint powersOf(double f, Complex E, Complex H)
{
    const auto gsl = [](Complex z) { return gsl_complex{{z.real(), z.imag()}}; };
    return {f, {gsl(E * std::conj(E)), gsl(E * std::conj(H)), gsl(H * std::conj(E)), gsl(H * std::conj(H))}};
}

Complex powerOf(const CrossSpectrumPoint &point, int which)
{
    return {GSL_REAL(point.powers[which]), GSL_IMAG(point.powers[which])};
}

QByteArray bytesOf(const QVector<OneFreqImpedance> &curve)
{
    return QByteArray(reinterpret_cast<const char *>(curve.constData()), curve.size() * int(sizeof(OneFreqImpedance)));
}

void writeCounts(const QString &path, const QVector<qint32> &counts)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        qFatal("cannot write %s", qPrintable(path));
    for (qint32 count : counts) {
        const quint32 u = quint32(count);
        const char bytes[4] = {char(u & 0xff), char((u >> 8) & 0xff), char((u >> 16) & 0xff), char(u >> 24)};
        file.write(bytes, 4);
    }
}

void writeText(const QString &path, const QByteArray &text)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        qFatal("cannot write %s", qPrintable(path));
    file.write(text);
}

// Amplitude 1 and phase 0 from far below the first bin to far above the highest rate's Nyquist.
const QByteArray flatTable = "Frequency Amplitude Phase\n0.001 1 0\n1000000 1 0\n";

struct Recording
{
    QVector<qint32> e;
    QVector<qint32> h;
};

// Counts of a uniform half-space of resistivity rho under a natural field whose magnetic power falls
// as 1 / sqrt(f). Per frequency E = Z H, E in mV/km and H in nT, with Z = sqrt(5 f rho) e^(i pi / 4): the
// plane-wave impedance sqrt(i omega mu0 rho) in these units (|Z|^2 / (5 f) = rho, phase 45 degrees).
// Each window is synthesised whole, so within it E is exactly the response to H.
// Unit chain: H in nT is mV through a flat sensor table; E in mV/km times the dipole length in km is
// mV at the electrodes; mV over the converter's mV per count are counts.
Recording halfSpaceRecording(double rho, double rate, double dipoleLength, int windows, int n)
{
    std::mt19937 random(20240607);
    std::uniform_real_distribution<double> angle(0, 2 * pi);
    std::vector<double> eMillivolts, hMillivolts;
    for (int w = 0; w < windows; ++w) {
        std::vector<double> e(size_t(n), 0.0), h(size_t(n), 0.0); // half-complex: Re at k, Im at n - k
        for (int k = 1; k < n / 2; ++k) {
            const double f = k * rate / n;
            const Complex H = std::polar(std::pow(f, -0.25), angle(random));
            const Complex E = std::polar(std::sqrt(5 * f * rho), pi / 4) * H;
            h[size_t(k)] = H.real();
            h[size_t(n - k)] = H.imag();
            e[size_t(k)] = E.real();
            e[size_t(n - k)] = E.imag();
        }
        gsl_fft_halfcomplex_radix2_inverse(h.data(), 1, size_t(n));
        gsl_fft_halfcomplex_radix2_inverse(e.data(), 1, size_t(n));
        hMillivolts.insert(hMillivolts.end(), h.begin(), h.end());
        for (double field : e)
            eMillivolts.push_back(field * dipoleLength / 1000);
    }
    // The field strength is free: one for both channels, filling about half the converter's range.
    double peak = 0;
    for (double v : eMillivolts)
        peak = std::max(peak, std::fabs(v));
    for (double v : hMillivolts)
        peak = std::max(peak, std::fabs(v));
    const double countsPerUnit = 1e9 / peak;
    Recording recording;
    for (double v : eMillivolts)
        recording.e.append(qint32(std::lround(v * countsPerUnit)));
    for (double v : hMillivolts)
        recording.h.append(qint32(std::lround(v * countsPerUnit)));
    return recording;
}

} // namespace

class TestImpedance : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void bandWeight_data();
    void bandWeight();
    void bandAverageWeighsTheBinsInsideTheBand();
    void singleCoherentBinServesEveryTargetItReaches();
    void pointFromPowers_data();
    void pointFromPowers();
    void substitutePointsInterpolatedOverLogFrequency();
    void spectrumSteps();

    void failures_data();
    void failures();
    void commonWindowCount();
    void cutShortRecordingUsesCompleteWindowsOnly_data();
    void cutShortRecordingUsesCompleteWindowsOnly();
    void halfSpace_data();
    void halfSpace();
    void curveFollowsTheSingleSteps();
    void concurrentCalculationsAgree();

private:
    QTemporaryDir dir;
    QString path(const QString &name) const { return dir.filePath(name); }
};

void TestImpedance::initTestCase()
{
    QVERIFY(dir.isValid());
    writeText(path("flat.txt"), flatTable);
    writeText(path("oneRow.txt"), "Frequency Amplitude Phase\n10 1 0\n");
}

void TestImpedance::bandWeight_data()
{
    QTest::addColumn<double>("f");
    QTest::addColumn<double>("expected");

    // Centre 100 Hz, half width 0.3: the band is 70 to 130 Hz. Halfway to its edge x = pi / 2.
    const double halfway = std::pow(2 / 3.1415926, 4);
    QTest::newRow("centre") << 100.0 << 1.0;
    QTest::newRow("halfway below") << 85.0 << halfway;
    QTest::newRow("halfway above") << 115.0 << halfway;
    QTest::newRow("edge") << 130.0 << 0.0;
    QTest::newRow("lower edge") << 70.0 << 0.0;
    QTest::newRow("outside") << 200.0 << 0.0;
}

void TestImpedance::bandWeight()
{
    QFETCH(double, f);
    QFETCH(double, expected);
    QVERIFY(std::fabs(::bandWeight(100, f, 0.3) - expected) < 1e-9);
}

void TestImpedance::bandAverageWeighsTheBinsInsideTheBand()
{
    const CrossSpectrumPoint atCentre = powersOf(100, {2, 1}, {1, 0});
    const CrossSpectrumPoint halfway = powersOf(85, {0, 3}, {1, 1});
    const QVector<CrossSpectrumPoint> bins = {powersOf(60, {9, 9}, {1, 0}), powersOf(70, {9, 9}, {1, 0}), halfway,
                                              atCentre, powersOf(130, {9, 9}, {1, 0})};
    const CrossSpectrumPoint average = bandAverage(100, bins, 0.3);
    QCOMPARE(average.frequency, 100.0);
    const double w = ::bandWeight(100, 85, 0.3);
    for (int p = 0; p < CrossSpectrumPoint::PowerCount; ++p) {
        const Complex expected = (w * powerOf(halfway, p) + powerOf(atCentre, p)) / (w + 1);
        QVERIFY(std::abs(powerOf(average, p) - expected) < 1e-12);
    }
    // No bin inside: not a number, which makes a substitute point.
    const CrossSpectrumPoint empty = bandAverage(1000, bins, 0.3);
    QVERIFY(std::isnan(GSL_REAL(empty.powers[CrossSpectrumPoint::EE])));
    QCOMPARE(toOneFreqImpedance(empty, 0).coherence, substituteCoherence);
}

void TestImpedance::singleCoherentBinServesEveryTargetItReaches()
{
    // A bin at 48 Hz lies in the bands of 39.8 (27.86 to 51.74), 50.1 and 63.1 Hz (44.17 to 82.03) only.
    const QVector<CrossSpectrumPoint> bins = {powersOf(48, std::polar(3.0, 0.5), std::polar(0.5, 0.2))};
    for (double fc : {31.6, 39.8, 50.1, 63.1, 79.4}) {
        const OneFreqImpedance point = toOneFreqImpedance(bandAverage(fc, bins, 0.3), 0);
        QCOMPARE(point.frequency, fc);
        if (fc == 31.6 || fc == 79.4) {
            QCOMPARE(point.coherence, substituteCoherence);
            continue;
        }
        QVERIFY(qFuzzyCompare(point.coherence, 1.0));
        QVERIFY(qFuzzyCompare(point.apparentResistivity, 9 / 0.25 / (5 * fc)));
        QVERIFY(std::fabs(point.phase - 0.3 * 180 / pi) < 1e-4);
    }
}

void TestImpedance::pointFromPowers_data()
{
    QTest::addColumn<double>("argument"); // of E / H, degrees
    QTest::addColumn<double>("phase");
    QTest::addColumn<double>("trueResistivity");

    // rho = 100 ohm-m at 1 Hz throughout: true resistivity rho (90 / phase - 1).
    QTest::newRow("45") << 45.0 << 45.0 << 100.0;
    QTest::newRow("30") << 30.0 << 30.0 << 200.0;
    QTest::newRow("120 folds to 60") << 120.0 << 60.0 << 50.0;
    QTest::newRow("-30 folds to 30") << -30.0 << 30.0 << 200.0;
    QTest::newRow("-150 folds to 30") << -150.0 << 30.0 << 200.0;
    QTest::newRow("90") << 90.0 << 90.0 << 0.0;
    // The 8-digit pi makes 180 degrees fold to a hair below 0: clamped, and the infinite true
    // resistivity of phase 0 is stored as 0.
    QTest::newRow("180 folds to 0") << 180.0 << 0.0 << 0.0;
    QTest::newRow("0") << 0.0 << 0.0 << 0.0;
}

void TestImpedance::pointFromPowers()
{
    QFETCH(double, argument);
    QFETCH(double, phase);
    QFETCH(double, trueResistivity);

    // |E|^2 / |H|^2 / (5 f) = 500 / 1 / 5 = 100 at 1 Hz.
    const OneFreqImpedance point = toOneFreqImpedance(
        powersOf(1, std::polar(std::sqrt(500.0), argument * pi / 180), std::polar(1.0, 0.0)), 0);
    QCOMPARE(point.reserved, 0.0);
    QCOMPARE(point.frequency, 1.0);
    QVERIFY(qFuzzyCompare(point.coherence, 1.0));
    QVERIFY(qFuzzyCompare(point.apparentResistivity, 100.0));
    QVERIFY(point.phase >= 0 && point.phase <= 90);
    QVERIFY2(std::fabs(point.phase - phase) < 1e-4, qPrintable(QString::number(point.phase)));
    QVERIFY(std::fabs(point.trueResistivity - trueResistivity) < 1e-3);
    QVERIFY(qFuzzyCompare(point.inversionDepth, 3560.0));
}

void TestImpedance::substitutePointsInterpolatedOverLogFrequency()
{
    const auto pointAt = [](double f, double rho, double phase, double coherence) {
        OneFreqImpedance point;
        point.frequency = f;
        point.coherence = coherence;
        storeImpedance(point, rho, phase);
        return point;
    };
    const OneFreqImpedance substitute = toOneFreqImpedance(CrossSpectrumPoint{1, {}}, 0);
    QVector<OneFreqImpedance> curve;
    for (double f : {1.0, 10.0, 100.0, 1000.0, 10000.0}) {
        curve.append(substitute);
        curve.last().frequency = f;
    }
    QVector<OneFreqImpedance> allSubstitutes = curve;
    QVERIFY(!fillSubstitutePoints(allSubstitutes));
    QCOMPARE(bytesOf(allSubstitutes), bytesOf(curve));

    curve[1] = pointAt(10, 100, 40, 0.9);
    curve[3] = pointAt(1000, 300, 60, 0.8);
    QVERIFY(fillSubstitutePoints(curve));
    const QVector<OneFreqImpedance> expected = {pointAt(1, 100, 40, 0.05), pointAt(10, 100, 40, 0.9),
                                                pointAt(100, 200, 50, 0.05), pointAt(1000, 300, 60, 0.8),
                                                pointAt(10000, 300, 60, 0.05)};
    for (int i = 0; i < curve.size(); ++i) {
        QCOMPARE(curve[i].coherence, expected[i].coherence);
        QVERIFY(qFuzzyCompare(curve[i].apparentResistivity, expected[i].apparentResistivity));
        QVERIFY(qFuzzyCompare(curve[i].phase, expected[i].phase));
        QVERIFY(qFuzzyCompare(curve[i].trueResistivity, expected[i].trueResistivity));
        QVERIFY(qFuzzyCompare(curve[i].inversionDepth, expected[i].inversionDepth));
    }
}

void TestImpedance::spectrumSteps()
{
    QCOMPARE(LibCagniard::toElectricField({1, -2.5}, 50), (QVector<double>{20, -50}));

    const QList<SpectrumPoint> spectrum = {{1, 8, 1.0}, {2, 6, 0.5}};
    const QList<SpectrumPoint> sensor = {{1, 2, 0.25}, {2, 3, 0.125}};
    const QList<SpectrumPoint> gain = {{1, 4, 0.5}, {2, 0.5, 0.25}};
    const QList<SpectrumPoint> both = LibCagniard::applyCalibration(spectrum, sensor, gain, true);
    QCOMPARE(both.size(), 2);
    QCOMPARE(both[0].amplitude, 1.0);
    QCOMPARE(both[0].phase, 0.25);
    QCOMPARE(both[1].amplitude, 4.0);
    QCOMPARE(both[1].phase, 0.125);
    QCOMPARE(LibCagniard::applyCalibration(spectrum, {}, gain, false)[1].amplitude, 12.0);
    QVERIFY(LibCagniard::applyCalibration(spectrum, sensor, gain.mid(0, 1), true).isEmpty());

    // Two windows of two bins: the mean, power by power.
    const QList<SpectrumPoint> e1 = {{1, 2, 0}, {2, 1, 1}}, h1 = {{1, 1, 0}, {2, 1, 0}};
    const QList<SpectrumPoint> e2 = {{1, 4, 0}, {2, 1, -1}}, h2 = {{1, 1, 0}, {2, 1, 0}};
    const QVector<CrossSpectrumPoint> stacked =
        LibCagniard::stackCrossSpectra({crossSpectrum(e1, h1), crossSpectrum(e2, h2)});
    QCOMPARE(stacked.size(), 2);
    QVERIFY(std::abs(powerOf(stacked[0], CrossSpectrumPoint::EE) - Complex(10, 0)) < 1e-12);
    QVERIFY(std::abs(powerOf(stacked[1], CrossSpectrumPoint::EH) - Complex(std::cos(1.0), 0)) < 1e-12);
    QVERIFY(qFuzzyCompare(coherenceValue(stacked[1]), std::cos(1.0)));
    QVERIFY(isCoherent(stacked[1]));
    QVERIFY(!isCoherent(powersOf(1, {0, 0}, {1, 0})));

    QVERIFY(crossPowers({1, 1, 0}, {1.0000001, 1, 0}).isEmpty());
    QVERIFY(crossSpectrum(e1, h1.mid(0, 1)).isEmpty());
    QVERIFY(LibCagniard::stackCrossSpectra({crossSpectrum(e1, h1), crossSpectrum(e1.mid(0, 1), h1.mid(0, 1))})
                .isEmpty());
    QVERIFY(LibCagniard::stackCrossSpectra({}).isEmpty());
}

namespace
{

// A small recording for the failure cases: rate 1000 Hz, windows of 1024, four of them.
constexpr int smallN = 1024;
constexpr int smallWindows = 4;

struct Call
{
    QString eFile = "e.ats";
    QString hFile = "h.ats";
    double rate = 1000;
    double sampleCount = smallN * smallWindows;
    double dipoleLength = 50;
    QString eSensor = "flat.txt";
    QString hGain = "flat.txt";
    int windowLength = smallN;
    int maxWindows = 30;
    bool detrend = false;
    int tableType = 0;
};

} // namespace

Q_DECLARE_METATYPE(Call)

void TestImpedance::failures_data()
{
    const Recording small = halfSpaceRecording(100, 1000, 50, smallWindows, smallN);
    writeCounts(path("e.ats"), small.e);
    writeCounts(path("h.ats"), small.h);
    writeCounts(path("zero.ats"), QVector<qint32>(small.h.size(), 0));

    QTest::addColumn<Call>("call");
    QTest::addColumn<bool>("result");

    const Call valid;
    QTest::newRow("valid") << valid << true;
    const auto with = [valid](auto change) {
        Call call = valid;
        change(call);
        return call;
    };
    QTest::newRow("detrended") << with([](Call &c) { c.detrend = true; }) << true;
    QTest::newRow("unknown table type: no targets") << with([](Call &c) { c.tableType = 4; }) << true;
    QTest::newRow("missing electric file") << with([](Call &c) { c.eFile = "none.ats"; }) << false;
    QTest::newRow("missing magnetic file") << with([](Call &c) { c.hFile = "none.ats"; }) << false;
    QTest::newRow("missing sensor table") << with([](Call &c) { c.eSensor = "none.txt"; }) << false;
    QTest::newRow("missing gain table") << with([](Call &c) { c.hGain = "none.txt"; }) << false;
    QTest::newRow("one-row table") << with([](Call &c) { c.hGain = "oneRow.txt"; }) << false;
    QTest::newRow("too few samples") << with([](Call &c) { c.sampleCount = smallN - 1; }) << false;
    QTest::newRow("all-zero electric channel") << with([](Call &c) { c.eFile = "zero.ats"; }) << false;
    QTest::newRow("all-zero magnetic channel") << with([](Call &c) { c.hFile = "zero.ats"; }) << false;
    QTest::newRow("rate 0") << with([](Call &c) { c.rate = 0; }) << false;
    QTest::newRow("rate not a number") << with([](Call &c) { c.rate = qQNaN(); }) << false;
    QTest::newRow("sample count infinite") << with([](Call &c) { c.sampleCount = qInf(); }) << false;
    QTest::newRow("dipole length 0") << with([](Call &c) { c.dipoleLength = 0; }) << false;
    QTest::newRow("dipole length negative") << with([](Call &c) { c.dipoleLength = -50; }) << false;
    QTest::newRow("dipole length 0 in single precision") << with([](Call &c) { c.dipoleLength = 1e-50; }) << false;
    QTest::newRow("dipole length beyond single precision") << with([](Call &c) { c.dipoleLength = 1e300; })
                                                           << false;
    QTest::newRow("FFT length 1000") << with([](Call &c) { c.windowLength = 1000; }) << false;
    QTest::newRow("FFT length 4") << with([](Call &c) { c.windowLength = 4; }) << false;
    QTest::newRow("no window allowed") << with([](Call &c) { c.maxWindows = 0; }) << false;
}

void TestImpedance::failures()
{
    QFETCH(Call, call);
    QFETCH(bool, result);

    LibCagniard lib;
    QCOMPARE(lib.calcImpedance(path(call.eFile), path(call.hFile), call.rate, call.sampleCount, call.dipoleLength,
                               path(call.eSensor), path("flat.txt"), path("flat.txt"), path(call.hGain),
                               call.windowLength, call.maxWindows, call.detrend, 0, call.tableType),
             result);
    QCOMPARE(lib.resultCurve.isEmpty(), !result || call.tableType == 4);
}

void TestImpedance::commonWindowCount()
{
    // The magnetic file holds two windows, the electric four: both use the first two.
    const Recording small = halfSpaceRecording(100, 1000, 50, smallWindows, smallN);
    writeCounts(path("e4.ats"), small.e);
    writeCounts(path("h2.ats"), small.h.mid(0, 2 * smallN));
    writeCounts(path("e2.ats"), small.e.mid(0, 2 * smallN));
    const QString flat = path("flat.txt");
    LibCagniard uneven, even;
    QVERIFY(uneven.calcImpedance(path("e4.ats"), path("h2.ats"), 1000, smallN * smallWindows, 50, flat, flat, flat,
                                 flat, smallN, 30, false, 0, 0));
    QVERIFY(even.calcImpedance(path("e2.ats"), path("h2.ats"), 1000, smallN * smallWindows, 50, flat, flat, flat,
                               flat, smallN, 30, false, 0, 0));
    QVERIFY(!uneven.resultCurve.isEmpty());
    QCOMPARE(bytesOf(uneven.resultCurve), bytesOf(even.resultCurve));
}

void TestImpedance::cutShortRecordingUsesCompleteWindowsOnly_data()
{
    QTest::addColumn<double>("eWindows");
    QTest::addColumn<double>("hWindows");
    QTest::addColumn<bool>("result");

    // Recordings planned at four windows; a successful one must give the curve of both files cut
    // after their second window.
    QTest::newRow("electric cut inside the third window") << 2.5 << 4.0 << true;
    QTest::newRow("magnetic cut inside the third window") << 4.0 << 2.5 << true;
    QTest::newRow("both cut inside the third window") << 2.5 << 2.75 << true;
    QTest::newRow("both cut inside the first window") << 0.1 << 0.1 << false;
    QTest::newRow("electric cut inside the first window") << 0.1 << 4.0 << false;
    QTest::newRow("one sample short of a window") << (smallN - 1.0) / smallN << 1.0 << false;
}

void TestImpedance::cutShortRecordingUsesCompleteWindowsOnly()
{
    QFETCH(double, eWindows);
    QFETCH(double, hWindows);
    QFETCH(bool, result);

    const Recording small = halfSpaceRecording(100, 1000, 50, smallWindows, smallN);
    const auto cut = [&](const QString &name, const QVector<qint32> &counts, double windows) {
        writeCounts(path(name), counts.mid(0, int(windows * smallN)));
        return path(name);
    };
    const QString flat = path("flat.txt");
    const auto calculate = [&](LibCagniard &lib, const QString &e, const QString &h) {
        return lib.calcImpedance(e, h, 1000, smallN * smallWindows, 50, flat, flat, flat, flat, smallN, 30, false, 0,
                                 0);
    };

    LibCagniard cutShort, whole;
    QCOMPARE(calculate(cutShort, cut("eCut.ats", small.e, eWindows), cut("hCut.ats", small.h, hWindows)), result);
    if (!result) {
        QVERIFY(cutShort.resultCurve.isEmpty());
        return;
    }
    QVERIFY(calculate(whole, cut("e2.ats", small.e, 2), cut("h2.ats", small.h, 2)));
    QVERIFY(!whole.resultCurve.isEmpty());
    QCOMPARE(bytesOf(cutShort.resultCurve), bytesOf(whole.resultCurve));
}

void TestImpedance::halfSpace_data()
{
    QTest::addColumn<double>("rate");
    QTest::addColumn<double>("dipoleLength");

    QTest::newRow("250 Hz") << 250.0 << 50.0;
    QTest::newRow("1000 Hz") << 1000.0 << 100.0;
    QTest::newRow("4000 Hz") << 4000.0 << 50.0;
    QTest::newRow("57800 Hz") << 57800.0 << 20.0;
}

void TestImpedance::halfSpace()
{
    QFETCH(double, rate);
    QFETCH(double, dipoleLength);
    const double rho = 100;
    const int n = 16384;
    const int windows = 30;

    const Recording recording = halfSpaceRecording(rho, rate, dipoleLength, windows, n);
    writeCounts(path("halfSpaceE.ats"), recording.e);
    writeCounts(path("halfSpaceH.ats"), recording.h);
    const QString flat = path("flat.txt");
    const auto calculate = [&](LibCagniard &lib) {
        return lib.calcImpedance(path("halfSpaceE.ats"), path("halfSpaceH.ats"), rate, double(windows) * n,
                                 dipoleLength, flat, flat, flat, flat, n, windows, false, 0, 0);
    };
    const auto checkCurve = [&](const QVector<OneFreqImpedance> &curve) {
        const FrequencyBand band = analysisBand(rate, n);
        QCOMPARE(curve.size(), LibCagniard::fixedTargetFrequencies(band.fmin, band.fmax).size());
        for (const OneFreqImpedance &point : curve) {
            const QByteArray at = QByteArray::number(point.frequency) + " Hz: rho " +
                                  QByteArray::number(point.apparentResistivity) + ", phase " +
                                  QByteArray::number(point.phase) + ", coherence " +
                                  QByteArray::number(point.coherence);
            QVERIFY2(point.coherence > 0.9, at);
            QVERIFY2(std::fabs(point.apparentResistivity / rho - 1) < 0.03, at);
            QVERIFY2(std::fabs(point.phase - 45) < 1, at);
            // A half-space's depth of investigation: the skin depth 503 sqrt(rho / f) over sqrt(2).
            QVERIFY2(std::fabs(point.inversionDepth / (356 * std::sqrt(rho / point.frequency)) - 1) < 0.02, at);
        }
    };

    LibCagniard first, second;
    QVERIFY(calculate(first));
    checkCurve(first.resultCurve);
    QVERIFY(calculate(second));
    QCOMPARE(bytesOf(second.resultCurve), bytesOf(first.resultCurve));
    checkCurve(first.smoothImpedance());
}

namespace
{

struct TablePaths
{
    QString eSensor, hSensor, eGain, hGain;
};

// The curve of a recording above 4096 Hz (no power-line repair) whose every target band holds a
// coherent bin, put together from the single steps: the spectrum of each tapered window, its
// calibration, the window cross spectra, their mean, the coherent bins and the band averages.
QVector<OneFreqImpedance> curveFromSingleSteps(const QString &eFile, const QString &hFile, double rate, int n,
                                               int windows, float dipoleLength, const TablePaths &paths)
{
    const double scale = LibCagniard::countScale(rate);
    TimeSeriesReader eReader, hReader;
    eReader.readWindows(eFile, scale, double(windows) * n, n, windows);
    hReader.readWindows(hFile, scale, double(windows) * n, n, windows);
    QList<SpectrumPoint> eSensor, hSensor, eGain, hGain;
    readCalibrationTableIcms(eSensor, paths.eSensor);
    readCalibrationTableIcms(hSensor, paths.hSensor);
    readCalibrationTable(eGain, paths.eGain);
    readCalibrationTable(hGain, paths.hGain);
    for (QList<SpectrumPoint> *table : {&eSensor, &hSensor, &eGain, &hGain})
        LibCagniard::resampleCalibration(*table, n, rate);

    QList<QVector<CrossSpectrumPoint>> spectra;
    for (int w = 0; w < windows; ++w) {
        const QVector<double> e =
            applyWindow(LibCagniard::toElectricField(eReader.windows()[w], dipoleLength), fallingCosineTaper, n);
        const QVector<double> h = applyWindow(hReader.windows()[w], fallingCosineTaper, n);
        const QList<SpectrumPoint> se = amplitudeSpectrum(e, n, rate), sh = amplitudeSpectrum(h, n, rate);
        spectra.append(crossSpectrum(LibCagniard::applyCalibration(se, eSensor, eGain, true),
                                     LibCagniard::applyCalibration(sh, hSensor, hGain, true)));
    }
    QVector<CrossSpectrumPoint> coherent;
    for (const CrossSpectrumPoint &bin : LibCagniard::stackCrossSpectra(spectra)) {
        if (isCoherent(bin))
            coherent.append(bin);
    }
    const FrequencyBand band = analysisBand(rate, n);
    QVector<OneFreqImpedance> curve;
    for (double fc : LibCagniard::fixedTargetFrequencies(band.fmin, band.fmax))
        curve.append(toOneFreqImpedance(bandAverage(fc, coherent, 0.3), 0));
    return curve;
}

bool agrees(double a, double b)
{
    return std::fabs(a - b) <= 1e-9 * std::max(std::fabs(a), std::fabs(b));
}

} // namespace

void TestImpedance::curveFollowsTheSingleSteps()
{
    // Tables whose amplitudes and phases change with frequency, different for every channel and
    // stage, and narrower than the bins (the ends hold), so that a calibration applied to the wrong
    // channel, stage or sign shows.
    const TablePaths paths = {path("eSensor.txt"), path("hSensor.txt"), path("eGain.txt"), path("hGain.txt")};
    writeText(paths.eSensor, "f a p\n5,2,10\n100,1.5,-20\n1000,0.8,35\n3000,0.5,60\n");
    writeText(paths.hSensor, "f a p\n1 0.3 -45\n50 0.6 -10\n800 1.2 25\n");
    writeText(paths.eGain, "f a p\n1;10;0\n4000;9;-30\n");
    writeText(paths.hGain, "f a p\n1|20|5\n3000|25|-15\n");
    const double rate = 8000;
    const int n = 1024;
    const int windows = 6;
    const float dipoleLength = 75;
    const Recording recording = halfSpaceRecording(30, rate, dipoleLength, windows, n);
    writeCounts(path("stepsE.ats"), recording.e);
    writeCounts(path("stepsH.ats"), recording.h);

    LibCagniard lib;
    QVERIFY(lib.calcImpedance(path("stepsE.ats"), path("stepsH.ats"), rate, double(windows) * n, dipoleLength,
                              paths.eSensor, paths.hSensor, paths.eGain, paths.hGain, n, windows, false, 0, 0));
    const QVector<OneFreqImpedance> expected =
        curveFromSingleSteps(path("stepsE.ats"), path("stepsH.ats"), rate, n, windows, dipoleLength, paths);
    QCOMPARE(lib.resultCurve.size(), expected.size());
    for (int i = 0; i < expected.size(); ++i) {
        const OneFreqImpedance &got = lib.resultCurve[i], &want = expected[i];
        const QByteArray at = QByteArray::number(want.frequency) + " Hz";
        QVERIFY2(want.coherence != substituteCoherence, at);
        QCOMPARE(got.frequency, want.frequency);
        QVERIFY2(agrees(got.coherence, want.coherence), at);
        QVERIFY2(agrees(got.apparentResistivity, want.apparentResistivity), at);
        QVERIFY2(agrees(got.phase, want.phase), at);
        QVERIFY2(agrees(got.trueResistivity, want.trueResistivity), at);
        QVERIFY2(agrees(got.inversionDepth, want.inversionDepth), at);
    }
}

void TestImpedance::concurrentCalculationsAgree()
{
    // Windows of a length no earlier test uses: the shared taper and transform tables are built
    // while the calculations run.
    const int n = 2048;
    const int windows = 4;
    const Recording recording = halfSpaceRecording(100, 2000, 50, windows, n);
    writeCounts(path("concurrentE.ats"), recording.e);
    writeCounts(path("concurrentH.ats"), recording.h);
    const QString flat = path("flat.txt");
    const auto calculate = [&]() {
        LibCagniard lib;
        if (!lib.calcImpedance(path("concurrentE.ats"), path("concurrentH.ats"), 2000, double(windows) * n, 50, flat,
                               flat, flat, flat, n, windows, false, 0, 0))
            return QByteArray();
        return bytesOf(lib.resultCurve);
    };

    std::vector<QByteArray> curves(4);
    std::vector<std::thread> threads;
    for (QByteArray &curve : curves)
        threads.emplace_back([&curve, &calculate] { curve = calculate(); });
    for (std::thread &thread : threads)
        thread.join();
    const QByteArray alone = calculate();
    QVERIFY(!alone.isEmpty());
    for (const QByteArray &curve : curves)
        QCOMPARE(curve, alone);
}

QTEST_APPLESS_MAIN(TestImpedance)
#include "tst_impedance.moc"
