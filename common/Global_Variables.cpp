#include "common/Global_Variables.h"

#include "common/Global_Constants.h"

QList<int> currentHighRateGainList = highRateGainList;
QList<int> currentLowRateGainList = lowRateGainList;
QList<int> currentHighRateGainCodeList = highRateGainCodeList;
QList<int> currentLowRateGainCodeList = lowRateGainCodeList;

QString appDirPath;
qint32 machineTimeOffset = 0;

void resetCurrentGainLists()
{
    currentHighRateGainList = highRateGainList;
    currentLowRateGainList = lowRateGainList;
    currentHighRateGainCodeList = highRateGainCodeList;
    currentLowRateGainCodeList = lowRateGainCodeList;
}

void useOldHardwareGainLists()
{
    currentHighRateGainList = highRateGainListOld;
    currentLowRateGainList = lowRateGainListOld;
    currentHighRateGainCodeList = highRateGainCodeListOld;
    currentLowRateGainCodeList = lowRateGainCodeListOld;
}
