#ifndef AMTMESSAGEIDS_H
#define AMTMESSAGEIDS_H

#include <cstdint>

// Message IDs of the instrument's wire protocol. Every ID has the form 0xAA55nnnn, so every
// frame starts with the sync bytes AA 55. A notification from the instrument carries the ID
// of the command it concerns as its sub-code (the full ID or only its low part).
constexpr uint32_t AMT_NOTIFY = 0xAA550000;
constexpr uint32_t AMT_CMD_PROJECT_CONFIG = 0xAA550001;
constexpr uint32_t AMT_CMD_SAMPLE_START = 0xAA550002;
constexpr uint32_t AMT_CMD_SAMPLE_STOP = 0xAA550003;
constexpr uint32_t AMT_CMD_ADJUST_TIME = 0xAA550004;
constexpr uint32_t AMT_CMD_TRANSFORM_DATA = 0xAA550005;
constexpr uint32_t AMT_CMD_SELF_CHECK = 0xAA550006;
constexpr uint32_t AMT_CMD_MACHINE_STATUS = 0xAA550008;
constexpr uint32_t AMT_CMD_DISK_SPACE_FILE = 0xAA550009;
constexpr uint32_t AMT_CMD_DATA_DELETE = 0xAA55000A;
constexpr uint32_t AMT_CMD_EXPORT_DATA = 0xAA55000B;
constexpr uint32_t AMT_CMD_RESTART = 0xAA55000C;
constexpr uint32_t AMT_CMD_ERROR_CODE = 0xAA55000D;
constexpr uint32_t AMT_CMD_UNSAVE_DATA = 0xAA55000E;
constexpr uint32_t AMT_CMD_SAMPLE_GROUPS_NUM = 0xAA55000F;
constexpr uint32_t AMT_CMD_ERROR_FLAG_CLEAR = 0xAA550010;
constexpr uint32_t AMT_CMD_SYSTEM_INFO = 0xAA550011;
constexpr uint32_t AMT_CMD_STRING = 0xAA550012;
constexpr uint32_t AMT_CMD_SDCARD_FORMAT = 0xAA550013;
constexpr uint32_t AMT_CMD_EXPORT_LOG = 0xAA550014;
constexpr uint32_t AMT_CMD_POWER_OFF = 0xAA550015;

// The notification sub-codes are the IDs above with this prefix.
constexpr uint32_t AMT_SUBCODE_PREFIX = 0xAA550000;

// End notices from the host (AMT_NOTIFY, big-endian int32 payload): the low byte of the
// message whose part they close.
constexpr int32_t AMT_END_TRANSFORM_DATA = 5;
constexpr int32_t AMT_END_EXPORT_DATA = 11;
constexpr int32_t AMT_END_EXPORT_LOG = 20;

#endif // AMTMESSAGEIDS_H
