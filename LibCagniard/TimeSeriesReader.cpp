#include "LibCagniard/TimeSeriesReader.h"

#include "LibCagniard/CountWindowReader.h"

#include <QDataStream>
#include <QFile>
#include <QtEndian>

#include <cmath>
#include <cstring>

namespace
{
constexpr int sampleCountOffset = 4;
constexpr int factorOffset = 16;

// Reads up to size bytes; fewer only at the end of the file.
QByteArray readUpTo(QFile &file, qint64 size)
{
    QByteArray bytes;
    while (bytes.size() < size) {
        const QByteArray part = file.read(size - bytes.size());
        if (part.isEmpty())
            break;
        bytes += part;
    }
    return bytes;
}

QList<QVector<double>> readConsecutiveWindows(QIODevice &file, double scale, int windowLength, int windowCount)
{
    QList<QVector<double>> windows;
    CountWindowReader reader(file, scale, windowLength, CountWindowReader::PartialWindow::Padded);
    while (windows.size() < windowCount) {
        QVector<double> window(windowLength);
        if (!reader.next(window.data()))
            break;
        windows.append(window);
    }
    return windows;
}
} // namespace

TimeSeriesReader::TimeSeriesReader()
{
    std::memset(headerBlock, 0, sizeof headerBlock);
}

bool TimeSeriesReader::readWindows(const QString &path, double scale, double sampleCount, int windowLength,
                                   int maxWindows)
{
    windowList.clear();
    if (windowLength <= 0 || maxWindows <= 0 || !std::isfinite(scale) || !std::isfinite(sampleCount)
        || sampleCount <= 0)
        return false;
    QFile file(path);
    if (!file.exists() || !file.open(QIODevice::ReadOnly))
        return false;
    const int windowCount = windowsWanted(sampleCount, windowLength, maxWindows);
    windowList = readConsecutiveWindows(file, scale, windowLength, windowCount);
    return true;
}

QList<QVector<double>> TimeSeriesReader::windows() const
{
    return windowList;
}

bool TimeSeriesReader::readHeaderedWindows(const QString &path, int windowLength, int maxWindows)
{
    windowList.clear();
    if (windowLength <= 0 || maxWindows <= 0)
        return false;
    QFile file(path);
    if (!file.exists()) {
        std::memset(headerBlock + sampleCountOffset, 0, 8);
        return false;
    }
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray header = readUpTo(file, fileHeaderSize);
    if (header.size() < fileHeaderSize)
        return false;
    std::memcpy(headerBlock, header.constData(), fileHeaderSize);

    const qint32 sampleCount = qFromLittleEndian<qint32>(headerBlock + sampleCountOffset);
    const double factor = qFromLittleEndian<double>(headerBlock + factorOffset);
    if (sampleCount < windowLength || !std::isfinite(factor))
        return false;
    const int windowCount = windowsWanted(sampleCount, windowLength, maxWindows);
    windowList = readConsecutiveWindows(file, factor, windowLength, windowCount);
    return true;
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
