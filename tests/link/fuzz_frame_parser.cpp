// libFuzzer target for the frame parser (built and run by scripts/fuzz).
// The first input byte picks a chunk size; the rest is a received byte stream. The stream is
// parsed whole and in chunks the way a device feeds its receive buffer; both must give the same
// frames, every frame must pass its own check, and no call may consume more than it holds.
#include "link/ComProtocol.h"

#include <QByteArray>
#include <QList>

#include <cstdint>
#include <cstdlib>
#include <memory>

namespace {

void require(bool condition)
{
    if (!condition)
        std::abort();
}

QList<QByteArray> feedInChunks(const QByteArray& stream, int chunkSize)
{
    QList<QByteArray> frames;
    QByteArray buffer;
    for (int at = 0; at < stream.size(); at += chunkSize) {
        buffer.append(stream.mid(at, chunkSize));
        while (!buffer.isEmpty()) {
            QByteArray* frame = nullptr;
            int consumed = -1;
            const bool found = ComProtocol::unpackFrame(&buffer, &frame, &consumed);
            std::unique_ptr<QByteArray> owned(frame);
            require(consumed >= 0 && consumed <= buffer.size());
            require(found == (frame != nullptr));
            if (found) {
                require(consumed == frame->size());
                frames.append(*frame);
            }
            buffer.remove(0, consumed);
            if (consumed == 0)
                break;
        }
    }
    return frames;
}

void checkHeaderParsers(const QByteArray& stream)
{
    QByteArray copy = stream;
    int consumed = -1;
    uint msgID = 0;
    int total = 0;
    if (ComProtocol::parseFrameHeader(&copy, &consumed, &msgID, &total))
        require(consumed == 0 && total >= ComProtocol::HeaderSize && quint32(total - 16) <= ComProtocol::MaxDataPayload);
    require(consumed >= 0 && consumed <= copy.size());

    copy = stream;
    int count = -1;
    consumed = -1;
    if (ComProtocol::parseLogHeader(&copy, &consumed, &msgID, &count))
        require(consumed == 0 && count >= 0 && quint32(count) <= ComProtocol::MaxDataPayload);
    require(consumed >= 0 && consumed <= copy.size());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    const int chunkSize = 1 + data[0] % 32;
    const QByteArray stream(reinterpret_cast<const char*>(data + 1), int(size - 1));

    const QList<QByteArray> frames = feedInChunks(stream, qMax(1, stream.size()));
    require(feedInChunks(stream, chunkSize) == frames);
    for (QByteArray frame : frames) {
        const char* payload = nullptr;
        int length = -1;
        require(ComProtocol::checkFrame(&frame, &payload, &length));
        require(length == frame.size() - ComProtocol::HeaderSize);
    }
    checkHeaderParsers(stream);

    std::unique_ptr<QByteArray> packed(ComProtocol::packFrame(0xAA550012, &stream));
    require(feedInChunks(*packed, chunkSize) == QList<QByteArray>{*packed});
    return 0;
}
