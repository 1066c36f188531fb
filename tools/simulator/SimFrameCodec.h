#ifndef SIMFRAMECODEC_H
#define SIMFRAMECODEC_H

#include <QByteArray>
#include <cstdint>

// One frame as the simulator sees it: message ID and payload.
struct SimFrame
{
    uint32_t id = 0;
    QByteArray payload;
};

// The simulator's own frame encoder. It is written apart from the program's codec on purpose,
// so that a mistake in one is not mirrored in the other.
// Header: four big-endian uint32 - ID, payload length, ID xor length, payload checksum.
class SimFrameCodec
{
public:
    static constexpr int HeaderSize = 16;

    static QByteArray encode(uint32_t id, const QByteArray &payload);
    static QByteArray header(uint32_t id, uint32_t length, uint32_t checksum);
    // XOR of the payload read as little-endian 32-bit words, the last one zero-padded.
    static uint32_t checksum(const QByteArray &payload);
    static uint32_t readBigEndian(const char *p);
    static void writeBigEndian(char *p, uint32_t value);
    static uint32_t readLittleEndian(const char *p);
    static void writeLittleEndian(char *p, uint32_t value);
    static QByteArray littleEndian(uint32_t value);
    static QByteArray bigEndian(uint32_t value);
};

#endif // SIMFRAMECODEC_H
