#ifndef COMCONFIG_H
#define COMCONFIG_H

struct ComAddress;

// What a device is opened with. The address is shared, not copied.
struct ComConfig
{
    ComAddress* address = nullptr;
    bool useSendThread = false;
    bool useRecvThread = false;
};

#endif // COMCONFIG_H
