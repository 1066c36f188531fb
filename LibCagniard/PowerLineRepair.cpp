#include "LibCagniard/GslErrors.h"
#include "LibCagniard/LibCagniard.h"

#include <gsl/gsl_interp.h>

#include <algorithm>
#include <cmath>
#include <memory>

namespace
{

// Akima needs five nodes; fewer would make GSL fail.
constexpr int minimumAkimaNodes = 5;
constexpr double sameFrequencyTolerance = 1e-4;

// One GSL Akima interpolant with its lookup accelerator over ascending, distinct nodes.
class AkimaInterpolant
{
public:
    AkimaInterpolant(const QVector<double> &x, const QVector<double> &y)
        : interp(gsl_interp_alloc(gsl_interp_akima, size_t(x.size())), gsl_interp_free),
          accel(gsl_interp_accel_alloc(), gsl_interp_accel_free), xs(x), ys(y)
    {
        gsl_interp_init(interp.get(), xs.constData(), ys.constData(), size_t(xs.size()));
    }

    double operator()(double x) const
    {
        return gsl_interp_eval(interp.get(), xs.constData(), ys.constData(), x, accel.get());
    }

private:
    std::unique_ptr<gsl_interp, void (*)(gsl_interp *)> interp;
    std::unique_ptr<gsl_interp_accel, void (*)(gsl_interp_accel *)> accel;
    QVector<double> xs;
    QVector<double> ys;
};

bool nearAny(double f, const QList<double> &frequencies)
{
    return std::any_of(frequencies.cbegin(), frequencies.cend(),
                       [f](double g) { return std::fabs(f - g) <= sameFrequencyTolerance; });
}

// The repair frequencies that some point of the curve holds exactly.
QList<double> matchedFrequencies(const QVector<OneFreqImpedance> &curve, const QList<double> &repairFrequencies)
{
    QList<double> matched;
    for (double f : repairFrequencies) {
        const bool held = std::any_of(curve.cbegin(), curve.cend(),
                                      [f](const OneFreqImpedance &point) { return point.frequency == f; });
        if (held)
            matched.append(f);
    }
    return matched;
}

bool strictlyAscending(const QVector<double> &x)
{
    return std::adjacent_find(x.cbegin(), x.cend(), std::greater_equal<double>()) == x.cend();
}

// Replaces resistivity, phase and coherence of the points at the repair frequencies by the
// absolute value of the Akima interpolation over the other points. The curve is left as it is
// when fewer than five other points remain; a repair point outside the other points keeps its values.
QVector<OneFreqImpedance> repairAt(QVector<OneFreqImpedance> curve, const QList<double> &repairFrequencies)
{
    const QList<double> matched = matchedFrequencies(curve, repairFrequencies);
    QVector<double> f, rho, phase, coherence;
    for (const OneFreqImpedance &point : curve) {
        if (nearAny(point.frequency, matched))
            continue;
        f.append(point.frequency);
        rho.append(point.apparentResistivity);
        phase.append(point.phase);
        coherence.append(point.coherence);
    }
    if (f.size() < minimumAkimaNodes || !strictlyAscending(f))
        return curve;
    turnGslAbortOff();
    const AkimaInterpolant rhoAt(f, rho), phaseAt(f, phase), coherenceAt(f, coherence);
    for (OneFreqImpedance &point : curve) {
        const double x = point.frequency;
        if (!nearAny(x, matched) || x < f.first() || x > f.last())
            continue;
        point.apparentResistivity = std::fabs(rhoAt(x));
        point.phase = std::fabs(phaseAt(x));
        point.coherence = std::fabs(coherenceAt(x));
    }
    return curve;
}

} // namespace

QVector<OneFreqImpedance> LibCagniard::repairPowerLineFrequencies(const QVector<OneFreqImpedance> &curve) const
{
    return repairAt(curve, repairFrequencies);
}

QVector<OneFreqImpedance> LibCagniard::repairNear50Hz(const QVector<OneFreqImpedance> &curve)
{
    return repairAt(curve, {39.8, 50.1, 63.1});
}

QVector<OneFreqImpedance> LibCagniard::repairNear150Hz(const QVector<OneFreqImpedance> &curve)
{
    return repairAt(curve, {126, 158, 200});
}
