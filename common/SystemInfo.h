#ifndef SYSTEMINFO_H
#define SYSTEMINFO_H

#include <QMetaType>

// The first 8 bytes of the instrument's system-information reply (little-endian floats).
struct SystemInfo
{
    float firmwareVersion = 0.0f;
    float hardwareVersion = 0.0f;
};

Q_DECLARE_METATYPE(SystemInfo)

#endif // SYSTEMINFO_H
