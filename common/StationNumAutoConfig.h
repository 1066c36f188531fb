#ifndef STATIONNUMAUTOCONFIG_H
#define STATIONNUMAUTOCONFIG_H

#include <QMetaType>

// Automatic station-number step after a saved run.
struct StationNumAutoConfig
{
    double StationNumAutoStepSize = 25; // metres
    bool StationNumAutoEnable = false;
};

Q_DECLARE_METATYPE(StationNumAutoConfig)

#endif // STATIONNUMAUTOCONFIG_H
