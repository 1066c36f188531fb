#include "tools/simulator/SimEarth.h"

#include "tools/simulator/SimFrameCodec.h"

#include "LibCagniard/ffft/FFTReal.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <vector>

namespace {

using Spectrum = std::vector<std::complex<double>>; // bins 0 .. m / 2 of a series of m samples

constexpr double defaultRate = 4000;
constexpr int HxChannel = 0, HyChannel = 1;

// Longer blocks repeat the synthesised period (the source is periodic in it anyway), so that
// memory stays bounded whatever the block size.
constexpr int longestPeriod = 1 << 22;

// The smallest power of two that holds n samples (at least 8), at most longestPeriod.
int periodLength(int n)
{
    int m = 8;
    while (m < n && m < longestPeriod)
        m *= 2;
    return m;
}

// Amplitude 1 / sqrt(k) at bin k, a uniformly random phase; nothing at 0 Hz and at the Nyquist bin.
Spectrum randomPhaseSpectrum(int m, std::mt19937 &rng)
{
    std::uniform_real_distribution<double> phase(0, 2 * M_PI);
    Spectrum s(size_t(m / 2 + 1));
    for (int k = 1; k < m / 2; ++k)
        s[size_t(k)] = std::polar(1 / std::sqrt(double(k)), phase(rng));
    return s;
}

// The real series of m samples whose bins are s, for fields that go as exp(+i omega t). One forward
// real transform does it: with A + iB the bins (A even, B odd over 0 .. m - 1), the transform of the
// real sequence y = A - B is Y with Re Y_n = sum A_k cos, Im Y_n = sum B_k sin, and
// m x_n = Re Y_n - Im Y_n.
std::vector<double> toSeries(const Spectrum &s, int m)
{
    const int half = m / 2;
    std::vector<double> y(static_cast<size_t>(m)), f(static_cast<size_t>(m));
    y[0] = s[0].real();
    y[size_t(half)] = s[size_t(half)].real();
    for (int k = 1; k < half; ++k) {
        y[size_t(k)] = s[size_t(k)].real() - s[size_t(k)].imag();
        y[size_t(m - k)] = s[size_t(k)].real() + s[size_t(k)].imag();
    }
    ffft::FFTReal<double>(m).transform(f.data(), y.data());
    // f[n] = Re Y_n, f[half + n] = -Im Y_n; Y_{m - n} is the conjugate of Y_n.
    std::vector<double> &x = y;
    x[0] = f[0] / m;
    x[size_t(half)] = f[size_t(half)] / m;
    for (int n = 1; n < half; ++n) {
        x[size_t(n)] = (f[size_t(n)] + f[size_t(half + n)]) / m;
        x[size_t(m - n)] = (f[size_t(n)] - f[size_t(half + n)]) / m;
    }
    return x;
}

double rms(const std::vector<double> &x, int n)
{
    double sum = 0;
    for (int i = 0; i < n; ++i)
        sum += x[size_t(i)] * x[size_t(i)];
    return n > 0 ? std::sqrt(sum / n) : 0.0;
}

// n samples of the periodic series x times level, with white noise of sigma counts, as
// little-endian int32 at out.
void writeCounts(const std::vector<double> &x, int n, double level, double sigma, std::mt19937 &rng, char *out)
{
    std::normal_distribution<double> noise(0, sigma > 0 ? sigma : 1);
    const double limit = std::numeric_limits<int32_t>::max();
    const size_t period = x.size(); // a power of two
    for (int i = 0; i < n; ++i) {
        const double value = x[size_t(i) & (period - 1)] * level + (sigma > 0 ? noise(rng) : 0.0);
        SimFrameCodec::writeLittleEndian(out + 4 * i, uint32_t(int32_t(std::lround(std::clamp(value, -limit, limit)))));
    }
}

// The series as blocks of the given length, the loudest at loudestChannelCounts RMS, each with its
// own noise of noise times its RMS.
std::array<QByteArray, 5> countBlocks(const std::array<std::vector<double>, 5> &series, int bytes, double noise,
                                      std::mt19937 &rng)
{
    const int n = bytes / 4;
    std::array<double, 5> levels{};
    for (size_t c = 0; c < 5; ++c)
        levels[c] = rms(series[c], std::min(n, int(series[c].size())));
    const double loudest = *std::max_element(levels.begin(), levels.end());
    const double level = loudest > 0 ? SimEarth::loudestChannelCounts / loudest : 0.0;
    std::array<QByteArray, 5> blocks;
    for (size_t c = 0; c < 5; ++c) {
        blocks[c] = QByteArray(bytes, Qt::Uninitialized);
        writeCounts(series[c], n, level, noise * levels[c] * level, rng, blocks[c].data());
        std::fill(blocks[c].begin() + 4 * n, blocks[c].end(), '\0'); // a length that is no whole number of samples
    }
    return blocks;
}

double usableLength(double metres)
{
    return std::isfinite(metres) && metres > 0 ? metres : 0.0;
}

struct Earth
{
    double resistivity;
    double rate;
    int m;
};

// What the chain in front of the converter multiplies the field by: coil and gain for nT, dipole
// (in km), electrode and gain for mV/km.
double channelFactor(const SimGroupTask &task, int channel)
{
    if (channel <= HyChannel)
        return SimEarth::demoCoilMillivoltsPerNanotesla * task.gain(channel);
    const int electric = 4 - channel; // CH3 E2, CH4 E1, CH5 E0
    return usableLength(task.dipoleLengths[size_t(electric)]) / 1000 * SimEarth::demoElectrodeFactor
           * task.gain(channel);
}

// The channel's spectrum from the two magnetic fields: Ex = Z Hy, Ey = -Z Hx.
Spectrum channelSpectrum(const SimGroupTask &task, const std::array<Spectrum, 2> &field, int channel,
                         const Earth &earth)
{
    const double factor = channelFactor(task, channel);
    if (channel <= HyChannel) {
        Spectrum s = field[size_t(channel)];
        for (auto &bin : s)
            bin *= factor;
        return s;
    }
    const int partner = SimEarth::pairedMagnetic(task.watchMode, 4 - channel, task.channels[0], task.channels[1]);
    const double sign = partner == HyChannel ? 1 : -1;
    Spectrum s = field[size_t(partner)];
    for (size_t k = 0; k < s.size(); ++k)
        s[k] *= SimEarth::impedance(earth.resistivity, double(k) * earth.rate / earth.m) * (sign * factor);
    return s;
}

} // namespace

SimEarth::SimEarth(double resistivity, uint32_t seed, double noise)
    : resistivity(resistivity), seed(seed), noise(noise)
{
}

std::complex<double> SimEarth::impedance(double resistivity, double frequency)
{
    static const std::complex<double> halfRightAngle = std::polar(1.0, M_PI / 4);
    return std::sqrt(5 * resistivity * frequency) * halfRightAngle;
}

int SimEarth::pairedMagnetic(int watchMode, int electric, bool hxUsed, bool hyUsed)
{
    if (watchMode == 1 || watchMode == 4) // Vector, Multipolarity
        return electric == 1 ? HxChannel : HyChannel;
    if (watchMode == 3) // ParallelTest
        return HyChannel;
    return hxUsed && !hyUsed ? HxChannel : HyChannel;
}

std::array<QByteArray, 5> SimEarth::samples(const SimGroupTask &task, const SampleDataControlParam &record) const
{
    const int bytes = std::max(record.dataLength, 0);
    const int n = bytes / 4;
    std::array<QByteArray, 5> blocks;
    if (n == 0) {
        blocks.fill(QByteArray(bytes, '\0'));
        return blocks;
    }
    const int m = periodLength(n);
    const double rate = task.sampleRate > 0 ? task.sampleRate : defaultRate;
    std::seed_seq seeds{seed, uint32_t(record.lineNum), uint32_t(record.stationNum), uint32_t(record.dataIndexNum)};
    std::mt19937 rng(seeds);
    const std::array<Spectrum, 2> field{{randomPhaseSpectrum(m, rng), randomPhaseSpectrum(m, rng)}};
    std::array<std::vector<double>, 5> series;
    for (int c = 0; c < 5; ++c)
        series[size_t(c)] = toSeries(channelSpectrum(task, field, c, {resistivity, rate, m}), m);
    return countBlocks(series, bytes, noise, rng);
}
