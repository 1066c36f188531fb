#ifndef SIMFRAMEREADER_H
#define SIMFRAMEREADER_H

#include "tools/simulator/SimFrameCodec.h"

#include <QByteArray>

// Cuts the frames out of the bytes the host sends. Bytes that belong to no valid frame are
// skipped and counted; a frame is taken only when its header check and checksum hold.
class SimFrameReader
{
public:
    // The host never sends more than a project file or a task text; a longer frame is a bad header.
    static constexpr uint32_t MaxPayload = 64 * 1024 * 1024;

    void append(const QByteArray &bytes);
    // The next whole frame, with its raw bytes; false while none is complete.
    bool next(SimFrame *frame, QByteArray *raw);
    qint64 skippedBytes() const { return skipped; }
    void clear();

private:
    void skip(int count);
    bool dropToSync();

    QByteArray buffer;
    qint64 skipped = 0;
};

#endif // SIMFRAMEREADER_H
