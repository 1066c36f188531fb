#include "LibCagniard/CrossSpectrum.h"

#include <gsl/gsl_complex_math.h>

#include <algorithm>
#include <cmath>
#include <limits>

namespace
{

constexpr double notANumber = std::numeric_limits<double>::quiet_NaN();

bool hasAllPowers(const CrossSpectrumPoint &point)
{
    return point.powers.size() == CrossSpectrumPoint::PowerCount;
}

using BinIterator = QVector<CrossSpectrumPoint>::const_iterator;

// The weighted mean of the bins from first up to last that lie inside the band.
CrossSpectrumPoint averageOver(double fc, BinIterator first, BinIterator last, double width)
{
    // Summed in place on plain values: a band of a high target spans thousands of bins.
    CrossPowers sum = {};
    double weightSum = 0.0;
    for (BinIterator bin = first; bin != last; ++bin) {
        if (!(fc - fc * width < bin->frequency && bin->frequency < fc + fc * width) || !hasAllPowers(*bin))
            continue;
        const double w = bandWeight(fc, bin->frequency, width);
        for (int p = 0; p < CrossSpectrumPoint::PowerCount; ++p) {
            const gsl_complex &power = bin->powers[p];
            GSL_REAL(sum[p]) += w * GSL_REAL(power);
            GSL_IMAG(sum[p]) += w * GSL_IMAG(power);
        }
        weightSum += w;
    }
    CrossSpectrumPoint average;
    average.frequency = fc;
    for (const gsl_complex &power : sum)
        average.powers.append(weightSum > 0.0 ? gsl_complex_div_real(power, weightSum)
                                              : gsl_complex_rect(notANumber, notANumber));
    return average;
}

} // namespace

CrossPowers binCrossPowers(const SpectrumPoint &e, const SpectrumPoint &h)
{
    // With E = a e^(i phi) and H = b e^(i psi): E conj(E) = a^2, E conj(H) = ab e^(i (phi - psi)),
    // H conj(E) its conjugate, H conj(H) = b^2; one sine and cosine per bin instead of two.
    const gsl_complex eh = gsl_complex_polar(e.amplitude * h.amplitude, e.phase - h.phase);
    return {gsl_complex_rect(e.amplitude * e.amplitude, 0.0), eh, gsl_complex_conjugate(eh),
            gsl_complex_rect(h.amplitude * h.amplitude, 0.0)};
}

QVector<gsl_complex> crossPowers(const SpectrumPoint &e, const SpectrumPoint &h)
{
    if (e.frequency != h.frequency)
        return {};
    const CrossPowers powers = binCrossPowers(e, h);
    return QVector<gsl_complex>(powers.cbegin(), powers.cend());
}

QVector<CrossSpectrumPoint> crossSpectrum(const QList<SpectrumPoint> &e, const QList<SpectrumPoint> &h)
{
    if (e.size() != h.size())
        return {};
    QVector<CrossSpectrumPoint> points(e.size());
    for (int i = 0; i < e.size(); ++i) {
        points[i].frequency = e[i].frequency;
        points[i].powers = crossPowers(e[i], h[i]);
    }
    return points;
}

double coherenceValue(const CrossSpectrumPoint &point)
{
    if (!hasAllPowers(point))
        return notANumber;
    const double denominator = gsl_complex_abs(point.powers[CrossSpectrumPoint::EE])
                               * gsl_complex_abs(point.powers[CrossSpectrumPoint::HH]);
    if (denominator == 0.0)
        return notANumber;
    return std::sqrt(gsl_complex_abs2(point.powers[CrossSpectrumPoint::EH]) / denominator);
}

bool isCoherent(const CrossSpectrumPoint &point)
{
    const double c = coherenceValue(point);
    return std::isfinite(c) && c >= 0.3;
}

double bandWeight(double fc, double f, double width)
{
    const double d = fc - f;
    if (std::fabs(d) >= width * fc)
        return 0.0;
    if (d == 0.0)
        return 1.0;
    const double x = d * truncatedPi / (width * fc);
    const double sinc = std::sin(x) / x;
    const double sinc2 = sinc * sinc;
    return sinc2 * sinc2;
}

CrossSpectrumPoint bandAverage(double fc, const QVector<CrossSpectrumPoint> &bins, double width)
{
    return averageOver(fc, bins.cbegin(), bins.cend(), width);
}

CrossSpectrumPoint bandAverageOfAscending(double fc, const QVector<CrossSpectrumPoint> &bins, double width)
{
    const auto below = [](const CrossSpectrumPoint &bin, double f) { return bin.frequency < f; };
    const BinIterator first = std::lower_bound(bins.cbegin(), bins.cend(), fc - fc * width, below);
    const BinIterator last = std::lower_bound(first, bins.cend(), fc + fc * width, below);
    return averageOver(fc, first, last, width);
}
