#ifndef SIMEARTH_H
#define SIMEARTH_H

#include "common/SampleDataControlParam.h"
#include "tools/simulator/SimStationTask.h"

#include <QByteArray>

#include <array>
#include <complex>
#include <cstdint>

// The simulated instrument's view of a uniform half-space under a broadband natural source.
// The magnetic field has a random-phase spectrum (amplitude falling as one over the square root of
// frequency, seeded by the seed and the block's line, station and group); each electric channel
// is the half-space impedance times the magnetic channel the host pairs it with under the task's
// observation mode (Ex = Z Hy, Ey = -Z Hx). Both go through the demo sensors (a flat coil and a
// flat electrode pair, the tables shipped under "InputCalibration"), the dipole lengths and the
// gains of the task, then to counts, with a little white noise that no two channels share.
class SimEarth
{
public:
    // Sensitivity of the demo coil, mV per nT, and of the demo electrode pair, at every frequency.
    static constexpr double demoCoilMillivoltsPerNanotesla = 100.0;
    static constexpr double demoElectrodeFactor = 1.0;
    // The source level puts the loudest channel at about this many counts RMS, well inside the
    // range of either converter.
    static constexpr double loudestChannelCounts = 262144.0;

    SimEarth(double resistivity, uint32_t seed, double noise = 0.01);

    // The samples of the five channels in data-connection order (Hx, Hy, E2, E1, E0), each
    // record.dataLength bytes of little-endian int32 counts. A rate the task does not give counts
    // as 4000 Hz.
    std::array<QByteArray, 5> samples(const SimGroupTask &task, const SampleDataControlParam &record) const;

    // E over B of the half-space in mV/km per nT at a frequency in Hz, for fields that go as
    // exp(+i omega t): sqrt(5 rho f) at 45 degrees.
    static std::complex<double> impedance(double resistivity, double frequency);
    // The magnetic channel (0 Hx, 1 Hy) the host pairs electric channel 0 (E0), 1 (E1) or 2 (E2)
    // with under the observation mode and the magnetic channels recorded.
    static int pairedMagnetic(int watchMode, int electric, bool hxUsed, bool hyUsed);

private:
    double resistivity;
    uint32_t seed;
    double noise;
};

#endif // SIMEARTH_H
