#include "tools/simulator/SimFrameCodec.h"

QByteArray SimFrameCodec::encode(uint32_t id, const QByteArray &payload)
{
    return header(id, uint32_t(payload.size()), checksum(payload)) + payload;
}

QByteArray SimFrameCodec::header(uint32_t id, uint32_t length, uint32_t checksum)
{
    QByteArray h(HeaderSize, '\0');
    writeBigEndian(h.data(), id);
    writeBigEndian(h.data() + 4, length);
    writeBigEndian(h.data() + 8, id ^ length);
    writeBigEndian(h.data() + 12, checksum);
    return h;
}

uint32_t SimFrameCodec::checksum(const QByteArray &payload)
{
    uint32_t sum = 0;
    const int whole = payload.size() - payload.size() % 4;
    for (int i = 0; i < whole; i += 4)
        sum ^= readLittleEndian(payload.constData() + i);
    const auto *bytes = reinterpret_cast<const unsigned char *>(payload.constData());
    for (int i = whole; i < payload.size(); ++i)
        sum ^= uint32_t(bytes[i]) << (8 * (i - whole));
    return sum;
}

uint32_t SimFrameCodec::readBigEndian(const char *p)
{
    const auto *b = reinterpret_cast<const unsigned char *>(p);
    return (uint32_t(b[0]) << 24) | (uint32_t(b[1]) << 16) | (uint32_t(b[2]) << 8) | uint32_t(b[3]);
}

void SimFrameCodec::writeBigEndian(char *p, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        p[i] = char((value >> (8 * (3 - i))) & 0xFF);
}

uint32_t SimFrameCodec::readLittleEndian(const char *p)
{
    const auto *b = reinterpret_cast<const unsigned char *>(p);
    return uint32_t(b[0]) | (uint32_t(b[1]) << 8) | (uint32_t(b[2]) << 16) | (uint32_t(b[3]) << 24);
}

void SimFrameCodec::writeLittleEndian(char *p, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        p[i] = char((value >> (8 * i)) & 0xFF);
}

QByteArray SimFrameCodec::littleEndian(uint32_t value)
{
    QByteArray out(4, '\0');
    writeLittleEndian(out.data(), value);
    return out;
}

QByteArray SimFrameCodec::bigEndian(uint32_t value)
{
    QByteArray out(4, '\0');
    writeBigEndian(out.data(), value);
    return out;
}
