#include "LibCagniard/CrossPowerStack.h"

#include "LibCagniard/AmplitudeSpectrum.h"
#include "LibCagniard/WindowFunctions.h"

#include <gsl/gsl_complex_math.h>

#include <cmath>

namespace
{

// Adds |E|^2, |H|^2 and E conj(H) = (er hr + ei hi) + i (ei hr - er hi) of bins 1 .. half, at k - 1,
// from two transforms that hold Re X_k at k and -Im X_k at half + k (bin half has no imaginary part).
void addProducts(const double *__restrict fe, const double *__restrict fh, double *__restrict ee,
                 double *__restrict hh, double *__restrict ehr, double *__restrict ehi, int half)
{
    for (int k = 1; k < half; ++k) {
        const double er = fe[k], ei = -fe[half + k];
        const double hr = fh[k], hi = -fh[half + k];
        ee[k - 1] += er * er + ei * ei;
        hh[k - 1] += hr * hr + hi * hi;
        ehr[k - 1] += er * hr + ei * hi;
        ehi[k - 1] += ei * hr - er * hi;
    }
    ee[half - 1] += fe[half] * fe[half];
    hh[half - 1] += fh[half] * fh[half];
    ehr[half - 1] += fe[half] * fh[half];
}

} // namespace

QVector<BinCalibration> binCalibration(const BinTable &sensor, const BinTable &gain, double scale)
{
    const size_t bins = gain.amplitude.size();
    if (sensor.amplitude.size() != bins || sensor.phase.size() != bins || gain.phase.size() != bins)
        return {};
    QVector<BinCalibration> calibration(static_cast<int>(bins));
    for (size_t i = 0; i < bins; ++i)
        calibration[int(i)] = {scale / gain.amplitude[i] / sensor.amplitude[i], gain.phase[i] + sensor.phase[i]};
    return calibration;
}

CrossPowerStack::CrossPowerStack(int windowLength)
    : length(windowLength), half(windowLength / 2), taper(taperWeights(fallingCosineTaper, windowLength)),
      fft(windowLength), eSpectrum(size_t(windowLength)), hSpectrum(size_t(windowLength)), eePower(size_t(half)),
      hhPower(size_t(half)), ehReal(size_t(half)), ehImag(size_t(half))
{
}

void CrossPowerStack::add(double *e, double *h)
{
    transform(e, eSpectrum);
    transform(h, hSpectrum);
    addProducts(eSpectrum.data(), hSpectrum.data(), eePower.data(), hhPower.data(), ehReal.data(), ehImag.data(),
                half);
    ++windows;
}

void CrossPowerStack::transform(double *window, std::vector<double> &spectrum)
{
    for (int j = 0; j < length; ++j)
        window[j] *= taper[size_t(j)];
    fft.transform(spectrum.data(), window);
}

QVector<CrossSpectrumPoint> CrossPowerStack::mean(double sampleRate, const QVector<BinCalibration> &e,
                                                  const QVector<BinCalibration> &h) const
{
    if (windows == 0 || e.size() < half || h.size() < half)
        return {};
    QVector<CrossSpectrumPoint> points(half);
    for (int i = 0; i < half; ++i) {
        const double ae = e[i].factor, ah = h[i].factor;
        // E conj(H) turns by the magnetic channel's phase less the electric one's.
        const double turn = h[i].phase - e[i].phase;
        const double wr = ae * ah * std::cos(turn), wi = ae * ah * std::sin(turn);
        const gsl_complex eh = gsl_complex_rect((wr * ehReal[i] - wi * ehImag[i]) / windows,
                                                (wr * ehImag[i] + wi * ehReal[i]) / windows);
        points[i].frequency = binFrequency(i + 1, length, sampleRate);
        points[i].powers = {gsl_complex_rect(ae * ae * eePower[i] / windows, 0.0), eh, gsl_complex_conjugate(eh),
                            gsl_complex_rect(ah * ah * hhPower[i] / windows, 0.0)};
    }
    return points;
}
