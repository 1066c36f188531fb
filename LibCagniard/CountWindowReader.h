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
    // A window the device ends inside: Padded repeats the last count read to its end; Dropped leaves
    // it out, so that only measured samples reach a spectrum.
    enum class PartialWindow { Padded, Dropped };

    CountWindowReader(QIODevice &device, double scale, int windowLength, PartialWindow partial);

    // Fills window (windowLength values) with the next window. A window is made only while the device
    // still holds a whole sample of it (all of its samples when partial windows are dropped); a
    // trailing partial sample is not a sample. False, window untouched, when no window is left.
    bool next(double *window);

private:
    int readSamples();

    QIODevice &device;
    double scale;
    int windowLength;
    PartialWindow partial;
    std::vector<char> bytes;
    bool ended = false;
};

// The windows a recording of sampleCount samples is cut into: min(maxWindows, trunc(sampleCount /
// windowLength)), without overflowing int.
int windowsWanted(double sampleCount, int windowLength, int maxWindows);

#endif // COUNTWINDOWREADER_H
