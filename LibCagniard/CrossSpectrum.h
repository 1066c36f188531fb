#ifndef CROSSSPECTRUM_H
#define CROSSSPECTRUM_H

#include "LibCagniard/CrossSpectrumPoint.h"
#include "LibCagniard/SpectrumPoint.h"
#include "LibCagniard/TruncatedPi.h"

#include <QList>
#include <QVector>

// EE, EH, HE, HH of two bins at the same frequency, from their amplitudes and phases.
CrossPowers binCrossPowers(const SpectrumPoint &e, const SpectrumPoint &h);

// EE, EH, HE, HH of one bin; empty when the two bins are not at exactly the same frequency.
QVector<gsl_complex> crossPowers(const SpectrumPoint &e, const SpectrumPoint &h);

// The cross powers of every bin of one window; empty when the spectra differ in length.
QVector<CrossSpectrumPoint> crossSpectrum(const QList<SpectrumPoint> &e, const QList<SpectrumPoint> &h);

// sqrt(|EH|^2 / (|EE| |HH|)); not a number when the point has no powers or EE or HH is 0.
double coherenceValue(const CrossSpectrumPoint &point);

// The coherence is a finite number of at least 0.3.
bool isCoherent(const CrossSpectrumPoint &point);

// Weight of a bin at f in the band fc +- width * fc: (sin x / x)^4 with x = pi (fc - f) / (width fc),
// 1 at the centre, 0 outside.
double bandWeight(double fc, double f, double width);

// The weighted mean of the bins strictly inside fc +- width * fc. Powers are not a number when
// no bin lies there.
CrossSpectrumPoint bandAverage(double fc, const QVector<CrossSpectrumPoint> &bins, double width);

// The same for bins in ascending frequency, looking only at those near the band.
CrossSpectrumPoint bandAverageOfAscending(double fc, const QVector<CrossSpectrumPoint> &bins, double width);

#endif // CROSSSPECTRUM_H
