#include "LibCagniard/ImpedancePoint.h"
#include "LibCagniard/LibCagniard.h"

namespace
{

// Five-point moving average with end formulas that keep straight lines; n >= 5.
QVector<double> fivePointValues(const QVector<double> &y)
{
    const int n = y.size();
    QVector<double> s(n);
    s[0] = (3 * y[0] + 2 * y[1] + y[2] - y[4]) / 5;
    s[1] = (4 * y[0] + 3 * y[1] + 2 * y[2] + y[3]) / 10;
    for (int i = 2; i <= n - 3; ++i)
        s[i] = (y[i - 2] + y[i - 1] + y[i] + y[i + 1] + y[i + 2]) / 5;
    s[n - 2] = (4 * y[n - 1] + 3 * y[n - 2] + 2 * y[n - 3] + y[n - 4]) / 10;
    s[n - 1] = (3 * y[n - 1] + 2 * y[n - 2] + y[n - 3] - y[n - 5]) / 5;
    return s;
}

// Three-point moving average in place, with end formulas that keep straight lines; shorter
// sequences stay as they are.
void threePointValues(QVector<double> &y)
{
    const int n = y.size();
    if (n < 3)
        return;
    const QVector<double> u = y;
    y[0] = (5 * u[0] + 2 * u[1] - u[2]) / 6;
    for (int i = 1; i <= n - 2; ++i)
        y[i] = (u[i - 1] + u[i] + u[i + 1]) / 3;
    y[n - 1] = (5 * u[n - 1] + 2 * u[n - 2] - u[n - 3]) / 6;
}

} // namespace

QVector<OneFreqImpedance> LibCagniard::smoothImpedance()
{
    const QVector<OneFreqImpedance> unsmoothed = resultCurve;
    fivePointSmooth(resultCurve, unsmoothed);
    return resultCurve;
}

void LibCagniard::fivePointSmooth(QVector<OneFreqImpedance> &curve, const QVector<OneFreqImpedance> &unsmoothed)
{
    const int n = curve.size();
    if (n < 5 || unsmoothed.size() != n)
        return;
    QVector<double> rho(n), phase(n);
    for (int i = 0; i < n; ++i) {
        rho[i] = unsmoothed[i].apparentResistivity;
        phase[i] = unsmoothed[i].phase;
    }
    const QVector<double> smoothRho = fivePointValues(rho);
    const QVector<double> smoothPhase = fivePointValues(phase);
    for (int i = 0; i < n; ++i) {
        // Values the average would drag to (almost) nothing or to the 90 degree limit stay measured.
        const double r = smoothRho[i] > 0.1 ? smoothRho[i] : rho[i];
        double p = smoothPhase[i] > 1 ? smoothPhase[i] : phase[i];
        if (p >= 89)
            p = phase[i];
        storeImpedance(curve[i], r, p);
    }
}

void LibCagniard::threePointSmooth(QVector<double> &a, QVector<double> &b)
{
    threePointValues(a);
    threePointValues(b);
}
