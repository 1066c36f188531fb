#include "mainwindow/HardwareGains.h"

#include "common/Global_Variables.h"

double hardwareVersionForGains(const QVariant &value)
{
    bool ok = false;
    const double version = value.toString().trimmed().toDouble(&ok);
    return ok ? version : defaultHardwareVersion;
}

bool selectGainListsForHardware(double version)
{
    const QList<int> before = currentLowRateGainCodeList + currentHighRateGainCodeList;
    if (version < firstCurrentGainHardwareVersion)
        useOldHardwareGainLists();
    else
        resetCurrentGainLists();
    return before != currentLowRateGainCodeList + currentHighRateGainCodeList;
}
