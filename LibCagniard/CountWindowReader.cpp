#include "LibCagniard/CountWindowReader.h"

#include <QIODevice>
#include <QtEndian>

#include <algorithm>
#include <cmath>

namespace
{
constexpr int bytesPerSample = 4;
} // namespace

CountWindowReader::CountWindowReader(QIODevice &device, double scale, int windowLength, PartialWindow partial)
    : device(device), scale(scale), windowLength(std::max(windowLength, 0)), partial(partial),
      bytes(size_t(this->windowLength) * bytesPerSample)
{
}

bool CountWindowReader::next(double *window)
{
    const int samples = ended ? 0 : readSamples();
    if (samples == 0 || (samples < windowLength && partial == PartialWindow::Dropped)) {
        ended = true;
        return false;
    }
    const uchar *data = reinterpret_cast<const uchar *>(bytes.data());
    for (int j = 0; j < samples; ++j)
        window[j] = double(qFromLittleEndian<qint32>(data + j * bytesPerSample)) * scale;
    const qint32 lastCount = qFromLittleEndian<qint32>(data + (samples - 1) * bytesPerSample);
    std::fill(window + samples, window + windowLength, double(lastCount) * scale);
    ended = samples < windowLength;
    return true;
}

// Whole samples read into bytes; fewer than a window only at the end of the device.
int CountWindowReader::readSamples()
{
    const qint64 wanted = qint64(bytes.size());
    qint64 got = 0;
    while (got < wanted) {
        const qint64 part = device.read(bytes.data() + got, wanted - got);
        if (part <= 0)
            break;
        got += part;
    }
    return int(got / bytesPerSample);
}

int windowsWanted(double sampleCount, int windowLength, int maxWindows)
{
    return int(std::min(double(maxWindows), std::trunc(sampleCount / windowLength)));
}
