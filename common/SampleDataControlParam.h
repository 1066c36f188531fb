#ifndef SAMPLEDATACONTROLPARAM_H
#define SAMPLEDATACONTROLPARAM_H

#include <cstddef>
#include <cstdint>

// The 32-byte control record that heads every data frame's payload: eight little-endian int32.
struct SampleDataControlParam
{
    int32_t machineID = 0;
    int32_t lineNum = 0;
    int32_t stationNum = 0;      // whole number
    int32_t dataIndexNum = 0;    // frequency group within the station
    int32_t dataLength = 0;      // sample bytes that follow the record
    int32_t sampleStartTime = 0; // seconds since 1970-01-01 UTC, 0 = not given
    int32_t reserved6 = 0;
    int32_t reserved7 = 0;
};

static_assert(sizeof(SampleDataControlParam) == 32, "the record is copied byte for byte from the wire");
static_assert(offsetof(SampleDataControlParam, dataLength) == 16, "wire layout");

#endif // SAMPLEDATACONTROLPARAM_H
