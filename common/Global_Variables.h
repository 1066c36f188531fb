#ifndef GLOBAL_VARIABLES_H
#define GLOBAL_VARIABLES_H

#include <QList>
#include <QString>

// Program-wide state read by several subsystems. Written on the GUI thread only.

// Gain values and codes in force for the connected instrument; replaced whole by the
// older-hardware lists when the hardware version is below 1.011.
extern QList<int> currentLowRateGainList;
extern QList<int> currentLowRateGainCodeList;
extern QList<int> currentHighRateGainList;
extern QList<int> currentHighRateGainCodeList;

// Application directory with forward slashes and no trailing separator; empty until the
// main window sets it.
extern QString appDirPath;

// Instrument clock minus PC clock in seconds, rewritten from every status report.
extern qint32 machineTimeOffset;

// Puts the four current gain lists back to the current-hardware lists (tests and start-up).
void resetCurrentGainLists();
// Replaces the four current gain lists by the lists of hardware older than 1.011.
void useOldHardwareGainLists();

#endif // GLOBAL_VARIABLES_H
