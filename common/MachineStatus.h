#ifndef MACHINESTATUS_H
#define MACHINESTATUS_H

#include <cstddef>
#include <cstdint>

// The instrument's 48-byte status report, little-endian, read byte for byte from the wire.
struct MachineStatus
{
    int32_t workStatus = 0;  // 0 idle, 1 busy, 2 error
    int32_t machineTime = 0; // instrument clock, seconds since 1970-01-01 UTC
    double batteryVoltage = 0.0;
    double diskSpace = 0.0; // free storage, percent
    double temperature1 = 0.0;
    double temperature2 = 0.0;
    int32_t gpsStatus = 0; // 0 not locked, 1 locked, other values a GPS error code
    int32_t reserved = 0;  // not interpreted
};

static_assert(sizeof(MachineStatus) == 48, "the report is copied byte for byte from the wire");
static_assert(offsetof(MachineStatus, batteryVoltage) == 8, "wire layout");
static_assert(offsetof(MachineStatus, gpsStatus) == 40, "wire layout");

#endif // MACHINESTATUS_H
