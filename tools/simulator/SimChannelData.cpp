#include "tools/simulator/SimChannelData.h"

#include "tools/simulator/SimFrameCodec.h"

namespace {

uint32_t mix(uint32_t x)
{
    x ^= x >> 16;
    x *= 0x7FEB352Du;
    x ^= x >> 15;
    x *= 0x846CA68Bu;
    x ^= x >> 16;
    return x;
}

} // namespace

QByteArray SimChannelData::recordBytes(const SampleDataControlParam &record)
{
    const int32_t fields[8] = {record.machineID,       record.lineNum,   record.stationNum, record.dataIndexNum,
                               record.dataLength,      record.sampleStartTime, record.reserved6, record.reserved7};
    QByteArray bytes;
    bytes.reserve(32);
    for (int32_t f : fields)
        bytes += SimFrameCodec::littleEndian(uint32_t(f));
    return bytes;
}

QByteArray SimChannelData::samples(const SampleDataControlParam &record, int channel)
{
    return payload(record, channel).mid(32);
}

QByteArray SimChannelData::payload(const SampleDataControlParam &record, int channel)
{
    const int length = record.dataLength > 0 ? record.dataLength : 0;
    const uint32_t seed = mix(uint32_t(record.lineNum) * 73856093u ^ uint32_t(record.stationNum) * 19349663u ^
                              uint32_t(record.dataIndexNum) * 83492791u ^ uint32_t(channel + 1) * 2654435761u);
    QByteArray bytes = recordBytes(record);
    bytes.resize(32 + length + 3);
    char *out = bytes.data() + 32;
    for (int i = 0; i < length; i += 4) {
        // Small signed counts, so that a block also reads as a plausible recording.
        SimFrameCodec::writeLittleEndian(out + i, uint32_t(int32_t(mix(seed + uint32_t(i)) % 200001u) - 100000));
    }
    bytes.truncate(32 + length);
    return bytes;
}
