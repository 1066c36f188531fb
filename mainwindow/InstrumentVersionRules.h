#ifndef INSTRUMENTVERSIONRULES_H
#define INSTRUMENTVERSIONRULES_H

#include <QString>
#include <QVariant>

// What the instrument's firmware and hardware versions decide on connection; no widgets here.
// Versions arrive as floats and are compared with float constants, so that the reported 1.02f
// meets the 1.02 threshold it stands for.

constexpr float minimumFirmwareVersion = 1.02f;
// Instruments below this hardware version use the old gain lists.
constexpr float oldGainListsBelowHardware = 1.011f;

bool firmwareAccepted(float firmwareVersion);
QString firmwareRefusalText(float firmwareVersion);

bool usesOldGainLists(float hardwareVersion);

// The version as stored under "SystemConfig/HardwareVer": two decimals, or as many as the
// version has, so that a stored version reads back as the same float.
QString hardwareVersionText(float hardwareVersion);
// The stored value as the connection reads it: absent or not a number gives 0.
float storedHardwareVersion(const QVariant &stored);

// What a reported hardware version does: the old gain lists, the text to store, and whether a
// different version than the stored one closes the program (with its message).
struct HardwareVersionOutcome
{
    bool oldGainLists = false;
    QString storedText;
    bool closeProgram = false;
    QString closeText;
};
HardwareVersionOutcome hardwareVersionOutcome(float reported, const QVariant &stored);

#endif // INSTRUMENTVERSIONRULES_H
