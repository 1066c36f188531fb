#ifndef ONEFREQIMPEDANCE_H
#define ONEFREQIMPEDANCE_H

#include <QMetaType>
#include <QVector>
#include <type_traits>

// One point of an impedance curve; stored byte for byte (56 bytes) in the project database.
struct OneFreqImpedance
{
    double reserved = 0.0;
    double frequency = 0.0;           // Hz
    double coherence = 0.0;           // 0 to 1
    double apparentResistivity = 0.0; // ohm-metres
    double phase = 0.0;               // degrees
    double trueResistivity = 0.0;
    double inversionDepth = 0.0;      // metres
};
static_assert(sizeof(OneFreqImpedance) == 56, "OneFreqImpedance is stored as 56 raw bytes");
static_assert(std::is_standard_layout<OneFreqImpedance>::value, "OneFreqImpedance is stored as raw bytes");

// One curve of a recording: channel 0 is E0, 1 is E1, 2 is E2. Ascending frequency.
struct ChannelImpedance
{
    int channel = 0;
    QVector<OneFreqImpedance> curve;
};

Q_DECLARE_METATYPE(OneFreqImpedance)
Q_DECLARE_METATYPE(ChannelImpedance)

#endif // ONEFREQIMPEDANCE_H
