#include "LibCagniard/WindowFunctions.h"

QVector<double> detrendWindow(const QVector<double> &window)
{
    return window;
}

QVector<double> halfMeanDetrend(const QVector<double> &window)
{
    return window;
}

QVector<double> applyWindow(const QVector<double> &window, int, int)
{
    return window;
}
