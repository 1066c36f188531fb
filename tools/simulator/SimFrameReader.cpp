#include "tools/simulator/SimFrameReader.h"

void SimFrameReader::append(const QByteArray &bytes)
{
    buffer.append(bytes);
}

void SimFrameReader::clear()
{
    buffer.clear();
}

void SimFrameReader::skip(int count)
{
    buffer.remove(0, count);
    skipped += count;
}

// Leaves the buffer starting at AA 55, or holding at most a trailing AA; false when no sync is there.
bool SimFrameReader::dropToSync()
{
    const int at = buffer.indexOf("\xAA\x55");
    if (at >= 0) {
        skip(at);
        return true;
    }
    const bool keepLastByte = buffer.endsWith('\xAA');
    skip(buffer.size() - (keepLastByte ? 1 : 0));
    return false;
}

bool SimFrameReader::next(SimFrame *frame, QByteArray *raw)
{
    while (dropToSync()) {
        if (buffer.size() < SimFrameCodec::HeaderSize)
            return false;
        const uint32_t id = SimFrameCodec::readBigEndian(buffer.constData());
        const uint32_t length = SimFrameCodec::readBigEndian(buffer.constData() + 4);
        const uint32_t check = SimFrameCodec::readBigEndian(buffer.constData() + 8);
        if ((id ^ length) != check || length > MaxPayload) {
            skip(1);
            continue;
        }
        const int total = SimFrameCodec::HeaderSize + int(length);
        if (buffer.size() < total)
            return false;
        const uint32_t sum = SimFrameCodec::readBigEndian(buffer.constData() + 12);
        const QByteArray payload = buffer.mid(SimFrameCodec::HeaderSize, int(length));
        if (sum != 0 && sum != SimFrameCodec::checksum(payload)) {
            skip(1);
            continue;
        }
        frame->id = id;
        frame->payload = payload;
        *raw = buffer.left(total);
        buffer.remove(0, total);
        return true;
    }
    return false;
}
