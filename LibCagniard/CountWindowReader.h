#ifndef COUNTWINDOWREADER_H
#define COUNTWINDOWREADER_H

#include <QtGlobal>

#include <vector>

class QIODevice;

// Reads consecutive, non-overlapping windows of little-endian int32 counts from a device, each count
// times a scale, into storage of the caller's: one buffer can serve every window of a recording.
class CountWindowReader
{
public:
    CountWindowReader(QIODevice &device, double scale, int windowLength);

    // Fills window (windowLength values) with the next window. A window is made only while the device
    // still holds a whole sample of it; the missing tail of the last one repeats the last count read,
    // and a trailing partial sample is not a sample. False, window untouched, when no window is left.
    bool next(double *window);

private:
    int readSamples();

    QIODevice &device;
    double scale;
    int windowLength;
    std::vector<char> bytes;
    bool ended = false;
};

// The windows a recording of sampleCount samples is cut into: min(maxWindows, trunc(sampleCount /
// windowLength)), without overflowing int.
int windowsWanted(double sampleCount, int windowLength, int maxWindows);

#endif // COUNTWINDOWREADER_H
