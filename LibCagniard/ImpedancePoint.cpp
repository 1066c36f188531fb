#include "LibCagniard/ImpedancePoint.h"
#include "LibCagniard/CrossSpectrum.h"
#include "LibCagniard/TruncatedPi.h"

#include <gsl/gsl_complex_math.h>

#include <algorithm>
#include <cmath>

namespace
{

double finiteOrZero(double value)
{
    return std::isfinite(value) ? value : 0.0;
}

bool isSubstitute(const OneFreqImpedance &point)
{
    return point.coherence == substituteCoherence && point.apparentResistivity == 0.0;
}

// Index of the nearest measured point from start in steps of step, or -1.
int nearestMeasured(const QVector<OneFreqImpedance> &curve, int start, int step)
{
    for (int i = start; i >= 0 && i < curve.size(); i += step) {
        if (!isSubstitute(curve[i]))
            return i;
    }
    return -1;
}

// Position of f between the frequencies of a and b on a log10 scale: 0 at a, 1 at b.
double logFrequencyPosition(double f, const OneFreqImpedance &a, const OneFreqImpedance &b)
{
    if (a.frequency == b.frequency)
        return 0.0;
    return (std::log10(f) - std::log10(a.frequency)) / (std::log10(b.frequency) - std::log10(a.frequency));
}

double between(double a, double b, double t)
{
    return a + t * (b - a);
}

} // namespace

OneFreqImpedance toOneFreqImpedance(const CrossSpectrumPoint &powers, float reserved)
{
    OneFreqImpedance point;
    point.reserved = reserved;
    point.frequency = powers.frequency;
    const double coherence = coherenceValue(powers);
    const double rho = std::isfinite(coherence) ? GSL_REAL(powers.powers[CrossSpectrumPoint::EE])
                                                      / GSL_REAL(powers.powers[CrossSpectrumPoint::HH])
                                                      / (5 * point.frequency)
                                                : coherence;
    if (!std::isfinite(rho)) {
        point.coherence = substituteCoherence;
        return point;
    }
    const gsl_complex EH = powers.powers[CrossSpectrumPoint::EH];
    const double m = std::fabs(complexArgument(GSL_REAL(EH), GSL_IMAG(EH)) / truncatedPi * 180);
    point.coherence = coherence;
    storeImpedance(point, rho, m > 90 ? 180 - m : m);
    return point;
}

void storeImpedance(OneFreqImpedance &point, double apparentResistivity, double phase)
{
    point.apparentResistivity = apparentResistivity;
    point.phase = std::clamp(phase, 0.0, 90.0);
    if (apparentResistivity == 0.0) {
        point.trueResistivity = 0.0;
        point.inversionDepth = 0.0;
        return;
    }
    point.inversionDepth = finiteOrZero(std::sqrt(apparentResistivity / point.frequency) * 356);
    point.trueResistivity = finiteOrZero(apparentResistivity * (90 / point.phase - 1));
}

bool fillSubstitutePoints(QVector<OneFreqImpedance> &curve)
{
    if (nearestMeasured(curve, 0, 1) < 0)
        return false;
    QVector<OneFreqImpedance> filled = curve;
    for (int i = 0; i < curve.size(); ++i) {
        if (!isSubstitute(curve[i]))
            continue;
        const int below = nearestMeasured(curve, i - 1, -1);
        const int above = nearestMeasured(curve, i + 1, 1);
        const OneFreqImpedance &a = curve[below >= 0 ? below : above];
        const OneFreqImpedance &b = curve[above >= 0 ? above : below];
        const double t = logFrequencyPosition(curve[i].frequency, a, b);
        storeImpedance(filled[i], between(a.apparentResistivity, b.apparentResistivity, t),
                       between(a.phase, b.phase, t));
    }
    curve = filled;
    return true;
}

double complexArgument(double re, double im)
{
    if (re == 0.0 && im == 0.0)
        return 0.0;
    return std::atan2(im, re);
}

bool lessByFrequency(const OneFreqImpedance &a, const OneFreqImpedance &b)
{
    return a.frequency < b.frequency;
}
