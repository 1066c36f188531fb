#include "LibCagniard/AmplitudeSpectrum.h"

#include "LibCagniard/ffft/FFTReal.h"

#include <cmath>

bool isValidWindowLength(long windowLength)
{
    return windowLength >= 8 && windowLength <= (1L << 30) && (windowLength & (windowLength - 1)) == 0;
}

double binFrequency(int k, int windowLength, double sampleRate)
{
    return double(k) * sampleRate / windowLength;
}

double spectrumScale(int windowLength, double sampleRate)
{
    return std::sqrt(2.0 / (windowLength * sampleRate));
}

QList<SpectrumPoint> amplitudeSpectrum(const QVector<double> &window, int windowLength, double sampleRate)
{
    QList<SpectrumPoint> spectrum;
    if (!isValidWindowLength(windowLength) || window.size() != windowLength || !std::isfinite(sampleRate)
        || sampleRate <= 0)
        return spectrum;

    ffft::FFTReal<double> fft(windowLength);
    QVector<double> f(windowLength);
    fft.transform(f.data(), window.constData());

    const int half = windowLength / 2;
    const double scale = spectrumScale(windowLength, sampleRate);
    spectrum.reserve(half);
    for (int k = 1; k <= half; ++k) {
        const double re = f[k];
        const double im = k < half ? -f[half + k] : 0.0;
        const double phase = (re == 0.0 && im == 0.0) ? 0.0 : std::atan2(im, re);
        spectrum.append({binFrequency(k, windowLength, sampleRate), scale * std::sqrt(re * re + im * im), phase});
    }
    return spectrum;
}
