#ifndef MACHINEERRORCODE_H
#define MACHINEERRORCODE_H

#include <cstdint>

// Bits of the instrument's 32-bit error word.
enum MachineErrorCode : uint32_t {
    AMT_ERR_STM32 = 0x1,
    AMT_ERR_POWER = 0x2,
    AMT_ERR_TEMPERATURE = 0x4,
    AMT_ERR_STORAGE_FULL = 0x8,
    AMT_ERR_BAD_COMMAND = 0x10,
    AMT_ERR_SAMPLING = 0x20,
    AMT_ERR_TRANSFER = 0x40,
    AMT_ERR_SAMPLING_STOPPED = 0x80,
    AMT_ERR_STATION_CONFIG = 0x100,
    AMT_ERR_SELF_CHECK = 0x200
};

#endif // MACHINEERRORCODE_H
