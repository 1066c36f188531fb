#include "LibCagniard/CalibrationTable.h"

#include "LibCagniard/AmplitudeSpectrum.h"
#include "LibCagniard/GslErrors.h"
#include "LibCagniard/TruncatedPi.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringList>
#include <QTextStream>

#include <gsl/gsl_errno.h>
#include <gsl/gsl_interp.h>

#include <cmath>
#include <memory>
#include <vector>

namespace
{
bool readTable(QList<SpectrumPoint> &table, const QString &path, bool icmsRule)
{
    table.clear();
    QFile file(path);
    if (!file.exists() || !file.open(QIODevice::ReadOnly | QIODevice::Text))
        return false;

    // Only the file's own name counts: a folder named after the sensor type must not rescale every table in it.
    const bool scaleByFrequency = icmsRule && QFileInfo(path).fileName().contains(QLatin1String("ICMS"));
    static const QRegularExpression separators(QStringLiteral("[,*;\\t|\\s]"));

    QTextStream in(&file);
    in.readLine(); // header
    double lastFrequency = 0.0;
    while (!in.atEnd()) {
        const QStringList fields = in.readLine().split(separators, Qt::SkipEmptyParts);
        if (fields.size() < 3)
            continue;
        const double frequency = fields[0].toDouble();
        if (!std::isfinite(frequency) || !(frequency > lastFrequency))
            continue;
        double amplitude = fields[1].toDouble();
        const double phase = fields[2].toDouble() * truncatedPi / 180;
        if (scaleByFrequency)
            amplitude = 1000 * amplitude * frequency;
        if (!std::isfinite(amplitude) || !std::isfinite(phase))
            continue;
        table.append({frequency, amplitude, phase});
        lastFrequency = frequency;
    }
    return true;
}

// At least two rows, all values finite, frequencies strictly increasing: what GSL's linear
// interpolation needs.
bool isInterpolable(const QList<SpectrumPoint> &table)
{
    if (table.size() < 2)
        return false;
    for (int i = 0; i < table.size(); ++i) {
        const SpectrumPoint &row = table[i];
        if (!std::isfinite(row.frequency) || !std::isfinite(row.amplitude) || !std::isfinite(row.phase))
            return false;
        if (i > 0 && !(row.frequency > table[i - 1].frequency))
            return false;
    }
    return true;
}

struct InterpDelete
{
    void operator()(gsl_interp *p) const { gsl_interp_free(p); }
    void operator()(gsl_interp_accel *p) const { gsl_interp_accel_free(p); }
};

// Linear interpolation of ys over xs at each of the increasing frequencies, inside the table's
// range only (the caller handles the ends). False when GSL reports an error.
bool interpolateInside(const std::vector<double> &xs, const std::vector<double> &ys,
                       const std::vector<double> &frequencies, std::vector<double> &values)
{
    const std::unique_ptr<gsl_interp, InterpDelete> interp(gsl_interp_alloc(gsl_interp_linear, xs.size()));
    const std::unique_ptr<gsl_interp_accel, InterpDelete> accel(gsl_interp_accel_alloc());
    if (!interp || !accel || gsl_interp_init(interp.get(), xs.data(), ys.data(), xs.size()) != GSL_SUCCESS)
        return false;
    values.resize(frequencies.size());
    for (size_t i = 0; i < frequencies.size(); ++i) {
        const double f = frequencies[i];
        if (f <= xs.front())
            values[i] = ys.front();
        else if (f >= xs.back())
            values[i] = ys.back();
        else if (gsl_interp_eval_e(interp.get(), xs.data(), ys.data(), f, accel.get(), &values[i]) != GSL_SUCCESS)
            return false;
    }
    return true;
}
} // namespace

bool readCalibrationTableIcms(QList<SpectrumPoint> &table, const QString &path)
{
    return readTable(table, path, true);
}

bool readCalibrationTable(QList<SpectrumPoint> &table, const QString &path)
{
    return readTable(table, path, false);
}

bool interpolateAtBins(const QList<SpectrumPoint> &table, int windowLength, double sampleRate, BinTable &bins)
{
    bins = BinTable();
    const bool usable = isValidWindowLength(windowLength) && std::isfinite(sampleRate) && sampleRate > 0
                        && isInterpolable(table);
    if (!usable)
        return false;
    turnGslAbortOff();

    std::vector<double> xs, amplitudes, phases;
    for (const SpectrumPoint &row : table) {
        xs.push_back(row.frequency);
        amplitudes.push_back(row.amplitude);
        phases.push_back(row.phase);
    }
    std::vector<double> frequencies(windowLength / 2);
    for (int i = 1; i <= windowLength / 2; ++i)
        frequencies[i - 1] = binFrequency(i, windowLength, sampleRate);

    if (interpolateInside(xs, amplitudes, frequencies, bins.amplitude)
        && interpolateInside(xs, phases, frequencies, bins.phase))
        return true;
    bins = BinTable();
    return false;
}
