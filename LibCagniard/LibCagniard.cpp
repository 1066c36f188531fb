#include "LibCagniard/LibCagniard.h"

#include "LibCagniard/AmplitudeSpectrum.h"
#include "LibCagniard/CalibrationTable.h"
#include "LibCagniard/CountWindowReader.h"
#include "LibCagniard/CrossPowerStack.h"
#include "LibCagniard/CrossPowerSums.h"
#include "LibCagniard/CrossSpectrum.h"
#include "LibCagniard/ImpedancePoint.h"
#include "LibCagniard/TargetFrequencies.h"
#include "LibCagniard/WindowFunctions.h"

#include <QFile>

#include <algorithm>
#include <cfloat>
#include <cmath>

namespace
{

// Rates below this are recorded by the low-rate converter.
constexpr double highRateConverterFrom = 4096;
// Rates up to this get the power-line repair.
constexpr double highestRepairedRate = 4096;
// Half width of the averaging band, as a fraction of the target frequency.
constexpr double bandHalfWidth = 0.3;

using TableReader = bool (*)(QList<SpectrumPoint> &, const QString &);

struct CalibrationTables
{
    BinTable eSensor;
    BinTable hSensor;
    BinTable eGain;
    BinTable hGain;
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

bool readResampled(TableReader read, const QString &path, int windowLength, double sampleRate, BinTable &bins)
{
    QList<SpectrumPoint> table;
    return read(table, path) && interpolateAtBins(table, windowLength, sampleRate, bins);
}

bool openForReading(QFile &file)
{
    return file.exists() && file.open(QIODevice::ReadOnly);
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

struct WindowPlan
{
    double sampleRate;
    double sampleCount;
    int windowLength;
    int maxWindows;
    bool detrend;
    float dipoleLength;
};

// The calibrated cross powers of the windows both files hold, averaged bin by bin. The windows are
// read one pair at a time into the same two buffers; the electric field's factor 1000 / length and
// the spectrum's scale go with the calibration, which the tables give by bin position.
QVector<CrossSpectrumPoint> stackedCrossSpectrum(QIODevice &eData, QIODevice &hData, const WindowPlan &plan,
                                                 const CalibrationTables &tables)
{
    const int n = plan.windowLength;
    const double scale = millivoltsPerCount(plan.sampleRate);
    // A transfer cut short leaves a partial last window: padding it would pass made-up samples off
    // as measured ones, so only complete windows are used.
    const auto partial = CountWindowReader::PartialWindow::Dropped;
    CountWindowReader eReader(eData, scale, n, partial), hReader(hData, scale, n, partial);
    CrossPowerStack stack(n);
    QVector<double> e(n), h(n);
    const int wanted = windowsWanted(plan.sampleCount, n, plan.maxWindows);
    // A shorter electric or magnetic file gives fewer windows: use the complete ones both channels hold.
    for (int w = 0; w < wanted && eReader.next(e.data()) && hReader.next(h.data()); ++w) {
        if (plan.detrend) {
            e = detrendWindow(e);
            h = detrendWindow(h);
        }
        stack.add(e.data(), h.data());
    }
    const double spectrum = spectrumScale(n, plan.sampleRate);
    const double electricField = 1000 / double(plan.dipoleLength);
    return stack.mean(plan.sampleRate, binCalibration(tables.eSensor, tables.eGain, spectrum * electricField),
                      binCalibration(tables.hSensor, tables.hGain, spectrum));
}

// Filtered in place: the bins are not shared, so nothing is copied.
QVector<CrossSpectrumPoint> coherentBins(QVector<CrossSpectrumPoint> bins)
{
    bins.erase(std::remove_if(bins.begin(), bins.end(), [](const CrossSpectrumPoint &bin) { return !isCoherent(bin); }),
               bins.end());
    return bins;
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

    QFile eData(eFile), hData(hFile);
    if (!openForReading(eData) || !openForReading(hData))
        return false;

    CalibrationTables tables;
    if (!readResampled(readCalibrationTableIcms, eSensorCalFile, windowLength, sampleRate, tables.eSensor)
        || !readResampled(readCalibrationTableIcms, hSensorCalFile, windowLength, sampleRate, tables.hSensor)
        || !readResampled(readCalibrationTable, eGainCalFile, windowLength, sampleRate, tables.eGain)
        || !readResampled(readCalibrationTable, hGainCalFile, windowLength, sampleRate, tables.hGain))
        return false;

    const WindowPlan plan = {sampleRate, sampleCount, windowLength, maxWindows, detrend, float(dipoleLength)};
    const QVector<CrossSpectrumPoint> bins = coherentBins(stackedCrossSpectrum(eData, hData, plan, tables));
    if (bins.isEmpty())
        return false;

    const FrequencyBand band = analysisBand(sampleRate, windowLength);
    QVector<OneFreqImpedance> curve;
    for (double fc : targetFrequencies(band.fmin, band.fmax, tableType))
        curve.append(toOneFreqImpedance(bandAverageOfAscending(fc, bins, bandHalfWidth), 0));
    std::stable_sort(curve.begin(), curve.end(), lessByFrequency);
    if (!curve.isEmpty() && !fillSubstitutePoints(curve))
        return false;
    if (sampleRate <= highestRepairedRate)
        curve = repairPowerLineFrequencies(curve);
    resultCurve = curve;
    return true;
}

bool LibCagniard::resampleCalibration(QList<SpectrumPoint> &table, int windowLength, double sampleRate)
{
    BinTable bins;
    const bool interpolated = interpolateAtBins(table, windowLength, sampleRate, bins);
    table.clear();
    if (!interpolated)
        return false;
    table.reserve(int(bins.amplitude.size()));
    for (size_t i = 0; i < bins.amplitude.size(); ++i)
        table.append({binFrequency(int(i) + 1, windowLength, sampleRate), bins.amplitude[i], bins.phase[i]});
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
