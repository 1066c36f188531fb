#ifndef HARDWAREGAINS_H
#define HARDWAREGAINS_H

#include <QVariant>

// Instruments whose hardware version is below this use the older gain lists.
constexpr double firstCurrentGainHardwareVersion = 1.011;
// The hardware version assumed when none is known.
constexpr double defaultHardwareVersion = 1.02;

// The stored hardware version; absent or not a number counts as the default.
double hardwareVersionForGains(const QVariant &value);
// Makes the program-wide gain lists those of the version: the older lists below 1.011, the
// current lists otherwise. True when the lists in force changed.
bool selectGainListsForHardware(double version);

#endif // HARDWAREGAINS_H
