#ifndef AMPLITUDESPECTRUM_H
#define AMPLITUDESPECTRUM_H

#include "LibCagniard/SpectrumPoint.h"

#include <QList>
#include <QVector>

// True for the transform lengths the processing accepts: a power of two from 8 to 2^30.
bool isValidWindowLength(long windowLength);

// Frequency in Hz of bin k of a window of windowLength samples taken at sampleRate.
double binFrequency(int k, int windowLength, double sampleRate);

// sqrt(2 / (windowLength * sampleRate)): turns a transform modulus into a one-sided amplitude
// spectral density.
double spectrumScale(int windowLength, double sampleRate);

// Bins 1 .. windowLength / 2 of the window's one-sided amplitude spectral density:
// amplitude = |X_k| * sqrt(2 / (windowLength * sampleRate)), phase = atan2(Im X_k, Re X_k) with
// X_k = sum x_n exp(-2 pi i k n / windowLength). Empty when windowLength is not valid, the window
// does not hold windowLength values, or sampleRate is not finite and positive.
QList<SpectrumPoint> amplitudeSpectrum(const QVector<double> &window, int windowLength, double sampleRate);

#endif // AMPLITUDESPECTRUM_H
