#include "LibCagniard/TimeSeriesReader.h"

#include <QDataStream>
#include <QFile>
#include <QtEndian>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace
{
constexpr int bytesPerSample = 4;
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

// Consecutive windows of little-endian int32 counts times scale. A window is made only when the
// file still holds a sample of it; its missing tail repeats the last count. A trailing partial
// sample is not a sample.
QList<QVector<double>> readConsecutiveWindows(QFile &file, double scale, int windowLength, int windowCount)
{
    QList<QVector<double>> windows;
    qint32 lastCount = 0;
    for (int w = 0; w < windowCount; ++w) {
        const QByteArray bytes = readUpTo(file, qint64(windowLength) * bytesPerSample);
        const int samples = bytes.size() / bytesPerSample;
        if (samples == 0)
            break;
        QVector<double> window(windowLength);
        const uchar *data = reinterpret_cast<const uchar *>(bytes.constData());
        for (int j = 0; j < samples; ++j) {
            lastCount = qFromLittleEndian<qint32>(data + j * bytesPerSample);
            window[j] = double(lastCount) * scale;
        }
        std::fill(window.begin() + samples, window.end(), double(lastCount) * scale);
        windows.append(window);
        if (samples < windowLength)
            break;
    }
    return windows;
}

// min(maxWindows, trunc(sampleCount / windowLength)), without overflowing int.
int windowsWanted(double sampleCount, int windowLength, int maxWindows)
{
    return int(std::min(double(maxWindows), std::trunc(sampleCount / windowLength)));
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
