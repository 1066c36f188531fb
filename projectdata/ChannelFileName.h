#ifndef CHANNELFILENAME_H
#define CHANNELFILENAME_H

#include "common/SampleInfo.h"

#include <QString>

// Names of ".ats" channel files: temporary, split onto another station, and saved.
namespace ChannelFileName {

// "<machine>_<mode>_Line<line>_Station<station>_<channel>_<rate>Hz_<group>.ats"; a mode without
// a key is written as its number, a copy number after the group as "<group>-<copy>".
QString tempName(const SampleInfo &block, const QString &channelName, int groupIndex, int copy = 0);

// The channel of a file name: 0 Hx, 1 Hy, 2 E0, 3 E1, 4 E2 (the first tag found in this order,
// case-sensitive), or -1.
int channelTag(const QString &name);
// The tag's position in a recording's channel file paths (Hx 0, Hy 1, E2 2, E1 3, E0 4), or -1.
int pathSlot(int tag);

// The name with every "_"-separated part that contains "Station" replaced by "Station<station>".
QString withStation(const QString &fileName, double stationNum);

// The saved name of a temporary file: without folder, extension and group index, then ".ats" for
// the first recording of its rate at the station, "_<n>.ats" when n came before.
QString savedName(const QString &tempFileName, int n);

} // namespace ChannelFileName

#endif // CHANNELFILENAME_H
