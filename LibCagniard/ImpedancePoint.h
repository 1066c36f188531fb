#ifndef IMPEDANCEPOINT_H
#define IMPEDANCEPOINT_H

#include "LibCagniard/CrossSpectrumPoint.h"
#include "common/OneFreqImpedance.h"

#include <QVector>

// Coherence that marks a point whose band held no coherent bin; the views and the merge rely on it.
constexpr double substituteCoherence = 0.05;

// The curve point of the averaged cross powers: apparent resistivity Re(EE) / Re(HH) / (5 f),
// phase of EH folded into [0, 90] degrees, coherence, depth and true resistivity. Without a finite
// coherence the point is a substitute: coherence 0.05, resistivity and phase 0, until
// fillSubstitutePoints gives it values.
OneFreqImpedance toOneFreqImpedance(const CrossSpectrumPoint &powers, float reserved);

// Stores resistivity and phase (clamped to [0, 90]) and derives depth sqrt(rho / f) * 356 and true
// resistivity rho * (90 / phase - 1); a derived value that is not finite is stored as 0.
void storeImpedance(OneFreqImpedance &point, double apparentResistivity, double phase);

// Gives every substitute point of an ascending curve the resistivity and phase interpolated
// linearly over log10 frequency between the nearest measured points, holding the end values
// beyond them. False, with the curve unchanged, when the curve holds no measured point.
bool fillSubstitutePoints(QVector<OneFreqImpedance> &curve);

// atan2(im, re), 0 when both are 0.
double complexArgument(double re, double im);

bool lessByFrequency(const OneFreqImpedance &a, const OneFreqImpedance &b);

#endif // IMPEDANCEPOINT_H
