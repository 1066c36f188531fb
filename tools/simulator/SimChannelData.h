#ifndef SIMCHANNELDATA_H
#define SIMCHANNELDATA_H

#include "common/SampleDataControlParam.h"

#include <QByteArray>

// The simulator's channel blocks: a 32-byte control record and deterministic sample bytes that
// depend on line, station, group index, channel and length, so a test can rebuild any block
// and compare it byte for byte.
class SimChannelData
{
public:
    static QByteArray recordBytes(const SampleDataControlParam &record);
    static QByteArray samples(const SampleDataControlParam &record, int channel);
    // Record followed by record.dataLength sample bytes: the payload of a data frame.
    static QByteArray payload(const SampleDataControlParam &record, int channel);
};

#endif // SIMCHANNELDATA_H
