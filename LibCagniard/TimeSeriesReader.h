#ifndef TIMESERIESREADER_H
#define TIMESERIESREADER_H

#include <QList>
#include <QString>
#include <QVector>

class QDataStream;

// Cuts a channel file into consecutive, non-overlapping windows of windowLength samples.
class TimeSeriesReader
{
public:
    TimeSeriesReader();

    // Header-less file of little-endian int32 counts; each sample is count * scale.
    // Reads min(maxWindows, trunc(sampleCount / windowLength)) windows; a window is made only
    // when the file holds at least one sample of it, and its missing tail repeats the last
    // count read (made-up samples: the impedance calculation reads complete windows only). A
    // trailing partial sample is ignored. False (and no windows) when the file is missing or
    // unreadable, or an argument is out of range (windowLength or maxWindows not positive,
    // scale not finite, sampleCount not finite and positive).
    bool readWindows(const QString &path, double scale, double sampleCount, int windowLength, int maxWindows);

    QList<QVector<double>> windows() const;

    // File with a 1024-byte header: sample count (uint32 at byte 4) and count-to-value factor
    // (double at byte 16), then little-endian int32 samples. False for a missing or unreadable
    // file, a header count below windowLength, or bad arguments.
    bool readHeaderedWindows(const QString &path, int windowLength, int maxWindows);

    friend void copyHeaderBlock(TimeSeriesReader &destination, const TimeSeriesReader &source);

private:
    static constexpr int headerBlockSize = 1072;
    static constexpr int fileHeaderSize = 1024;

    char headerBlock[headerBlockSize];
    QList<QVector<double>> windowList;
};

// Copies source's header block into destination's.
void copyHeaderBlock(TimeSeriesReader &destination, const TimeSeriesReader &source);

// The next four bytes of the stream as an int in the machine's byte order, unconverted.
int readRawInt32(QDataStream &stream);

#endif // TIMESERIESREADER_H
