#ifndef CHANNELROWS_H
#define CHANNELROWS_H

#include "common/ChannelsUseInfo.h"

#include <QStringList>

// Rows of the time-series grid, top to bottom; the same order as the flags of ChannelsUseInfo.
enum ChannelRow { RowHx, RowHy, RowE0, RowE1, RowE2, ChannelRowCount };

static const QStringList channelRowNames = {"Hx", "Hy", "E0", "E1", "E2"};

inline bool &channelRowFlag(ChannelsUseInfo &info, int row)
{
    switch (row) {
    case RowHx:
        return info.HxChannelIsUse;
    case RowHy:
        return info.HyChannelIsUse;
    case RowE0:
        return info.E0ChannelIsUse;
    case RowE1:
        return info.E1ChannelIsUse;
    default:
        return info.E2ChannelIsUse;
    }
}

inline bool channelRowFlag(const ChannelsUseInfo &info, int row)
{
    return channelRowFlag(const_cast<ChannelsUseInfo &>(info), row);
}

inline ChannelsUseInfo allChannels()
{
    ChannelsUseInfo info;
    for (int row = 0; row < ChannelRowCount; ++row)
        channelRowFlag(info, row) = true;
    return info;
}

#endif // CHANNELROWS_H
