#ifndef CROSSPOWERSTACK_H
#define CROSSPOWERSTACK_H

#include "LibCagniard/CalibrationTable.h"
#include "LibCagniard/CrossSpectrumPoint.h"
#include "LibCagniard/ffft/FFTReal.h"

#include <QVector>

#include <vector>

// What one channel's bin is multiplied by to calibrate it: its amplitude times factor, its phase less
// phase.
struct BinCalibration
{
    double factor = 0.0;
    double phase = 0.0; // radians
};

// Per bin, scale divided by the gain amplitude and then by the sensor amplitude, and the gain and
// sensor phases together. Empty when the tables differ in length.
QVector<BinCalibration> binCalibration(const BinTable &sensor, const BinTable &gain, double scale);

// The cross powers of a recording averaged over its windows. Each pair of windows is tapered with the
// falling half cosine and transformed, and the products of its bins are summed as they come: the
// calibration multiplies a bin by the same factor in every window, so it is applied once, to the mean.
class CrossPowerStack
{
public:
    // windowLength: a power of two of at least 8.
    explicit CrossPowerStack(int windowLength);

    // Adds one window of each channel, windowLength values each; tapers them in place.
    void add(double *e, double *h);

    // EE, EH, HE, HH of bins 1 .. windowLength / 2 at sampleRate, averaged over the windows, each
    // channel calibrated bin by bin. Empty before the first window or when a calibration is short.
    QVector<CrossSpectrumPoint> mean(double sampleRate, const QVector<BinCalibration> &e,
                                     const QVector<BinCalibration> &h) const;

private:
    void transform(double *window, std::vector<double> &spectrum);

    int length;
    int half;
    int windows = 0;
    const std::vector<double> &taper;
    ffft::FFTReal<double> fft;
    std::vector<double> eSpectrum, hSpectrum;
    // Per bin k = 1 .. half, at k - 1: sums of |E|^2, |H|^2 and of E conj(H).
    std::vector<double> eePower, hhPower, ehReal, ehImag;
};

#endif // CROSSPOWERSTACK_H
