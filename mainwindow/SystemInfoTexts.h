#ifndef SYSTEMINFOTEXTS_H
#define SYSTEMINFOTEXTS_H

#include <QString>
#include <QStringList>

#include <optional>

// Texts of the system information panel per observation mode (0 to 5); no widgets here.

constexpr int watchMachineModeCount = 6;

// The chooser's item texts, indexed by mode.
QStringList systemInfoModeNames();
// Modes 4 and 5 are offered in developer mode only.
bool modeNeedsDeveloperMode(int mode);

struct WatchMachineDescription
{
    QString description;
    QString e0Pairing;
    QString e1Pairing;
    QString e2Pairing;
};

// Wiring description and channel pairings of a mode; none outside 0 to 5.
std::optional<WatchMachineDescription> watchMachineDescription(int mode);

QString autoStepText(bool enabled);

#endif // SYSTEMINFOTEXTS_H
