#include "LibCagniard/LibCagniard.h"

#include "LibCagniard/AmplitudeSpectrum.h"
#include "LibCagniard/CalibrationTable.h"
#include "LibCagniard/CrossPowerSums.h"
#include "LibCagniard/CrossSpectrum.h"
#include "LibCagniard/ImpedancePoint.h"
#include "LibCagniard/TargetFrequencies.h"
#include "LibCagniard/TimeSeriesReader.h"
#include "LibCagniard/WindowFunctions.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <iterator>
#include <optional>

namespace
{

// Rates below this are recorded by the low-rate converter.
constexpr double highRateConverterFrom = 4096;
// Rates up to this get the power-line repair.
constexpr double highestRepairedRate = 4096;
// Half width of the averaging band, as a fraction of the target frequency.
constexpr double bandHalfWidth = 0.3;
constexpr int fallingCosineTaper = 1;

using Windows = QList<QVector<double>>;
using Table = QList<SpectrumPoint>;
using TableReader = bool (*)(Table &, const QString &);

struct CalibrationTables
{
    Table eSensor;
    Table hSensor;
    Table eGain;
    Table hGain;
};

double millivoltsPerCount(double sampleRate)
{
    return sampleRate < highRateConverterFrom ? 5.820766091346741e-07 : 3.5762786865234375e-04;
}

bool positiveFinite(double value)
{
    return std::isfinite(value) && value > 0;
}

bool argumentsValid(double sampleRate, double sampleCount, double dipoleLength, int windowLength, int maxWindows)
{
    // The dipole length is used in single precision: it must stay positive and finite there too.
    const bool lengthValid = positiveFinite(dipoleLength) && dipoleLength <= FLT_MAX && float(dipoleLength) > 0;
    return positiveFinite(sampleRate) && positiveFinite(sampleCount) && lengthValid
           && isValidWindowLength(windowLength) && maxWindows > 0;
}

bool readChannel(const QString &path, double scale, double sampleCount, int windowLength, int maxWindows,
                 bool detrend, Windows &windows)
{
    TimeSeriesReader reader;
    if (!reader.readWindows(path, scale, sampleCount, windowLength, maxWindows))
        return false;
    windows = reader.windows();
    if (detrend) {
        for (QVector<double> &window : windows)
            window = detrendWindow(window);
    }
    return true;
}

bool readResampled(TableReader read, const QString &path, int windowLength, double sampleRate, Table &table)
{
    return read(table, path) && resampleCalibration(table, windowLength, sampleRate);
}

// One bin divided by the gain table's row (amplitude divided, phase subtracted), then by the sensor table's.
SpectrumPoint calibratedBin(SpectrumPoint bin, const SpectrumPoint &sensor, const SpectrumPoint &gain, bool useSensor)
{
    bin.amplitude /= gain.amplitude;
    bin.phase -= gain.phase;
    if (useSensor) {
        bin.amplitude /= sensor.amplitude;
        bin.phase -= sensor.phase;
    }
    return bin;
}

template <class Bins>
QVector<double> frequenciesOf(const Bins &bins)
{
    QVector<double> frequencies;
    frequencies.reserve(bins.size());
    for (const auto &bin : bins)
        frequencies.append(bin.frequency);
    return frequencies;
}

// The calibrated cross powers of every window, averaged bin by bin; the tables are matched to the
// bins by position. Summed in place rather than through a list of window cross spectra: a recording
// has tens of windows of thousands of bins.
QVector<CrossSpectrumPoint> stackedCrossSpectrum(const Windows &e, const Windows &h, int windowCount,
                                                 float dipoleLength, int windowLength, double sampleRate,
                                                 const CalibrationTables &tables)
{
    std::optional<CrossPowerSums> sums;
    for (int w = 0; w < windowCount; ++w) {
        const QVector<double> E = applyWindow(LibCagniard::toElectricField(e[w], dipoleLength), fallingCosineTaper,
                                              windowLength);
        const QVector<double> H = applyWindow(h[w], fallingCosineTaper, windowLength);
        const Table SE = amplitudeSpectrum(E, windowLength, sampleRate);
        const Table SH = amplitudeSpectrum(H, windowLength, sampleRate);
        if (!sums)
            sums.emplace(frequenciesOf(SE));
        const int bins = sums->binCount();
        if (SE.size() != bins || SH.size() != bins || tables.eSensor.size() < bins || tables.hSensor.size() < bins
            || tables.eGain.size() < bins || tables.hGain.size() < bins)
            return {};
        for (int i = 0; i < bins; ++i) {
            const SpectrumPoint ce = calibratedBin(SE[i], tables.eSensor[i], tables.eGain[i], true);
            const SpectrumPoint ch = calibratedBin(SH[i], tables.hSensor[i], tables.hGain[i], true);
            if (ce.frequency == ch.frequency)
                sums->add(i, binCrossPowers(ce, ch));
            else
                sums->drop(i);
        }
    }
    return sums ? sums->mean(windowCount) : QVector<CrossSpectrumPoint>();
}

QVector<CrossSpectrumPoint> coherentBins(const QVector<CrossSpectrumPoint> &bins)
{
    QVector<CrossSpectrumPoint> coherent;
    std::copy_if(bins.cbegin(), bins.cend(), std::back_inserter(coherent), isCoherent);
    return coherent;
}

} // namespace

LibCagniard::LibCagniard() = default;

bool LibCagniard::calcImpedance(const QString &eFile, const QString &hFile, double sampleRate, double sampleCount,
                                double dipoleLength, const QString &eSensorCalFile, const QString &hSensorCalFile,
                                const QString &eGainCalFile, const QString &hGainCalFile, int windowLength,
                                int maxWindows, bool detrend, int /*unusedOption*/, int tableType)
{
    if (!argumentsValid(sampleRate, sampleCount, dipoleLength, windowLength, maxWindows))
        return false;

    const double scale = millivoltsPerCount(sampleRate);
    Windows e, h;
    if (!readChannel(eFile, scale, sampleCount, windowLength, maxWindows, detrend, e)
        || !readChannel(hFile, scale, sampleCount, windowLength, maxWindows, detrend, h))
        return false;
    // A shorter magnetic or electric file gives fewer windows: use those both channels hold.
    const int windowCount = std::min(e.size(), h.size());
    if (windowCount == 0)
        return false;

    CalibrationTables tables;
    if (!readResampled(readCalibrationTableIcms, eSensorCalFile, windowLength, sampleRate, tables.eSensor)
        || !readResampled(readCalibrationTableIcms, hSensorCalFile, windowLength, sampleRate, tables.hSensor)
        || !readResampled(readCalibrationTable, eGainCalFile, windowLength, sampleRate, tables.eGain)
        || !readResampled(readCalibrationTable, hGainCalFile, windowLength, sampleRate, tables.hGain))
        return false;

    const QVector<CrossSpectrumPoint> bins = coherentBins(
        stackedCrossSpectrum(e, h, windowCount, float(dipoleLength), windowLength, sampleRate, tables));
    if (bins.isEmpty())
        return false;

    const FrequencyBand band = analysisBand(sampleRate, windowLength);
    QVector<OneFreqImpedance> curve;
    for (double fc : targetFrequencies(band.fmin, band.fmax, tableType))
        curve.append(toOneFreqImpedance(bandAverage(fc, bins, bandHalfWidth), 0));
    std::stable_sort(curve.begin(), curve.end(), lessByFrequency);
    if (!curve.isEmpty() && !fillSubstitutePoints(curve))
        return false;
    if (sampleRate <= highestRepairedRate)
        curve = repairPowerLineFrequencies(curve);
    resultCurve = curve;
    return true;
}

QVector<double> LibCagniard::toElectricField(const QVector<double> &window, float dipoleLength)
{
    QVector<double> field(window.size());
    const double length = dipoleLength;
    std::transform(window.cbegin(), window.cend(), field.begin(), [length](double mv) { return mv * 1000 / length; });
    return field;
}

QList<SpectrumPoint> LibCagniard::applyCalibration(const QList<SpectrumPoint> &spectrum,
                                                   const QList<SpectrumPoint> &sensor,
                                                   const QList<SpectrumPoint> &gain, bool useSensor)
{
    if (gain.size() < spectrum.size() || (useSensor && sensor.size() < spectrum.size()))
        return {};
    QList<SpectrumPoint> calibrated;
    calibrated.reserve(spectrum.size());
    for (int i = 0; i < spectrum.size(); ++i)
        calibrated.append(calibratedBin(spectrum[i], useSensor ? sensor[i] : SpectrumPoint(), gain[i], useSensor));
    return calibrated;
}

QVector<CrossSpectrumPoint> LibCagniard::stackCrossSpectra(const QList<QVector<CrossSpectrumPoint>> &windows)
{
    if (windows.isEmpty())
        return {};
    CrossPowerSums sums(frequenciesOf(windows.first()));
    for (const QVector<CrossSpectrumPoint> &window : windows) {
        if (window.size() != sums.binCount())
            return {};
        for (int i = 0; i < window.size(); ++i) {
            const QVector<gsl_complex> &powers = window[i].powers;
            if (powers.size() != CrossSpectrumPoint::PowerCount) {
                sums.drop(i);
                continue;
            }
            CrossPowers bin;
            std::copy(powers.cbegin(), powers.cend(), bin.begin());
            sums.add(i, bin);
        }
    }
    return sums.mean(windows.size());
}

float LibCagniard::countScale(double sampleRate)
{
    return float(millivoltsPerCount(sampleRate));
}
