#include "LibCagniard/TimeSeriesReader.h"

#include <QDataStream>

#include <cstring>

TimeSeriesReader::TimeSeriesReader()
{
    std::memset(headerBlock, 0, sizeof headerBlock);
}

bool TimeSeriesReader::readWindows(const QString &, double, double, int, int)
{
    windowList.clear();
    return false;
}

QList<QVector<double>> TimeSeriesReader::windows() const
{
    return windowList;
}

bool TimeSeriesReader::readHeaderedWindows(const QString &, int, int)
{
    windowList.clear();
    return false;
}

void copyHeaderBlock(TimeSeriesReader &destination, const TimeSeriesReader &source)
{
    std::memcpy(destination.headerBlock, source.headerBlock, sizeof destination.headerBlock);
}

int readRawInt32(QDataStream &stream)
{
    int value = 0;
    stream.readRawData(reinterpret_cast<char *>(&value), sizeof value);
    return value;
}
