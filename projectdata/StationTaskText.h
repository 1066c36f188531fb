#ifndef STATIONTASKTEXT_H
#define STATIONTASKTEXT_H

#include "common/StationSampleInfo.h"

#include <QByteArray>

// The key=value text that starts the groups of a station on the instrument: seven header lines,
// then 27 lines per task, each line ended by a single LF, UTF-8.
namespace StationTaskText {

// existingGroups: the groups the instrument already holds for the station; the first task
// becomes group existingGroups + 1.
QByteArray build(const StationSampleInfo &station, bool online, int existingGroups);

// The instrument's gain code of a gain factor at a rate, from the current gain lists; a gain not
// in the list takes the first code.
int gainCode(int sampleRate, int gain);

} // namespace StationTaskText

#endif // STATIONTASKTEXT_H
