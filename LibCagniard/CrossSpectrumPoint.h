#ifndef CROSSSPECTRUMPOINT_H
#define CROSSSPECTRUMPOINT_H

#include <QVector>

#include <gsl/gsl_complex.h>

#include <array>

// The cross powers of one frequency: EE = E conj(E), EH = E conj(H), HE = H conj(E), HH = H conj(H).
struct CrossSpectrumPoint
{
    enum Power { EE, EH, HE, HH, PowerCount };

    double frequency = 0.0; // Hz
    QVector<gsl_complex> powers;
};

// EE, EH, HE, HH of one bin without a heap allocation, for the per-window loops.
using CrossPowers = std::array<gsl_complex, CrossSpectrumPoint::PowerCount>;

#endif // CROSSSPECTRUMPOINT_H
