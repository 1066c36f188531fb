#include "LibCagniard/CrossPowerSums.h"

#include <gsl/gsl_complex_math.h>

CrossPowerSums::CrossPowerSums(const QVector<double> &frequencies) : sums(size_t(frequencies.size()))
{
    for (int i = 0; i < frequencies.size(); ++i)
        sums[size_t(i)].frequency = frequencies[i];
}

void CrossPowerSums::add(int bin, const CrossPowers &powers)
{
    CrossPowers &sum = sums[size_t(bin)].powers;
    for (int p = 0; p < CrossSpectrumPoint::PowerCount; ++p) {
        // Added in place: this runs for every bin of every window.
        GSL_REAL(sum[p]) += GSL_REAL(powers[p]);
        GSL_IMAG(sum[p]) += GSL_IMAG(powers[p]);
    }
}

void CrossPowerSums::drop(int bin)
{
    sums[size_t(bin)].dropped = true;
}

QVector<CrossSpectrumPoint> CrossPowerSums::mean(int windowCount) const
{
    QVector<CrossSpectrumPoint> points(int(sums.size()));
    for (size_t i = 0; i < sums.size(); ++i) {
        CrossSpectrumPoint &point = points[int(i)];
        point.frequency = sums[i].frequency;
        if (sums[i].dropped)
            continue;
        point.powers.reserve(CrossSpectrumPoint::PowerCount);
        for (const gsl_complex &sum : sums[i].powers)
            point.powers.append(gsl_complex_div_real(sum, windowCount));
    }
    return points;
}
