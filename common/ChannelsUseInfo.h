#ifndef CHANNELSUSEINFO_H
#define CHANNELSUSEINFO_H

#include <QMetaType>

// Which time-series plots are shown, in the order of CtrlParam's channel flags.
struct ChannelsUseInfo
{
    bool HxChannelIsUse = false;
    bool HyChannelIsUse = false;
    bool E0ChannelIsUse = false;
    bool E1ChannelIsUse = false;
    bool E2ChannelIsUse = false;
};

// Which impedance groups are drawn.
struct ProcessDataUseInfo
{
    bool E0Direction = false;
    bool E1Direction = false;
    bool E2Direction = false;
};

Q_DECLARE_METATYPE(ChannelsUseInfo)
Q_DECLARE_METATYPE(ProcessDataUseInfo)

#endif // CHANNELSUSEINFO_H
