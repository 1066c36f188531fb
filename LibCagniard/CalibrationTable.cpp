#include "LibCagniard/CalibrationTable.h"

bool readCalibrationTableIcms(QList<SpectrumPoint> &table, const QString &)
{
    table.clear();
    return false;
}

bool readCalibrationTable(QList<SpectrumPoint> &table, const QString &)
{
    table.clear();
    return false;
}

bool resampleCalibration(QList<SpectrumPoint> &table, int, double)
{
    table.clear();
    return false;
}
