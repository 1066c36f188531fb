#include "link/ResendRule.h"

#include "common/AMTMessageIds.h"

bool harmlessToRepeat(uint msgID)
{
    switch (msgID) {
    case AMT_CMD_MACHINE_STATUS:
    case AMT_CMD_DISK_SPACE_FILE:
    case AMT_CMD_SYSTEM_INFO:
    case AMT_CMD_ERROR_CODE:
    case AMT_CMD_SAMPLE_GROUPS_NUM:
    case AMT_CMD_TRANSFORM_DATA: // asks for the group's data again; until answered nothing was sent
    case AMT_CMD_SELF_CHECK:
    case AMT_CMD_ADJUST_TIME:
    case AMT_CMD_PROJECT_CONFIG:
        return true;
    default:
        return false;
    }
}
