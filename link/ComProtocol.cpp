#include "link/ComProtocol.h"

#include <QtEndian>

#include <cstring>
#include <limits>

namespace {

struct FrameHeader
{
    quint32 msgID = 0;
    quint32 length = 0;
    quint32 check = 0;
    quint32 checksum = 0;
};

const char SyncMark[2] = {char(0xAA), char(0x55)};

quint32 readBigEndian(const char* bytes)
{
    return qFromBigEndian<quint32>(bytes);
}

// Bytes that can never start a frame are consumed, except a trailing AA: its 55 may come with
// the next chunk.
int unsyncedBytes(const QByteArray& buffer)
{
    const int size = buffer.size();
    if (size > 0 && buffer.at(size - 1) == SyncMark[0])
        return size - 1;
    return size;
}

// Finds the sync mark, drops what precedes it from the buffer and tests the header there.
bool readHeader(QByteArray* buffer, int* consumed, FrameHeader* header, quint32 maxPayload)
{
    const int start = buffer->indexOf(QByteArray::fromRawData(SyncMark, 2));
    if (start < 0) {
        *consumed = unsyncedBytes(*buffer);
        return false;
    }
    if (start > 0)
        buffer->remove(0, start);
    *consumed = 0;
    if (buffer->size() < ComProtocol::HeaderSize)
        return false;
    const char* bytes = buffer->constData();
    header->msgID = readBigEndian(bytes);
    header->length = readBigEndian(bytes + 4);
    header->check = readBigEndian(bytes + 8);
    header->checksum = readBigEndian(bytes + 12);
    if ((header->msgID ^ header->length) != header->check || header->length > maxPayload) {
        *consumed = 2;
        return false;
    }
    return true;
}

qint64 frameSize(const FrameHeader& header)
{
    return qint64(ComProtocol::HeaderSize) + header.length;
}

// Completeness and checksum of the frame at the front of the buffer.
bool checkBody(const QByteArray& buffer, const FrameHeader& header, int* consumed)
{
    if (buffer.size() < frameSize(header))
        return false;
    const char* payload = buffer.constData() + ComProtocol::HeaderSize;
    if (header.checksum != 0 && ComProtocol::checksum(header.length, payload) != header.checksum) {
        *consumed = 2;
        return false;
    }
    return true;
}

quint32 announcedLength(const QByteArray& frame)
{
    if (frame.size() < ComProtocol::HeaderSize)
        return 0;
    return readBigEndian(frame.constData() + 4);
}

int availablePayload(const QByteArray& frame)
{
    const qint64 present = qMax(0, frame.size() - ComProtocol::HeaderSize);
    return int(qMin<qint64>(announcedLength(frame), present));
}

} // namespace

QByteArray* ComProtocol::packFrame(uint msgID, const QByteArray* payload)
{
    const QByteArray body = payload ? *payload : QByteArray();
    const quint32 length = quint32(body.size());
    auto* frame = new QByteArray(HeaderSize, Qt::Uninitialized);
    char* header = frame->data();
    qToBigEndian<quint32>(msgID, header);
    qToBigEndian<quint32>(length, header + 4);
    qToBigEndian<quint32>(msgID ^ length, header + 8);
    qToBigEndian<quint32>(checksum(length, body.constData()), header + 12);
    frame->append(body);
    return frame;
}

bool ComProtocol::unpackFrame(QByteArray* buffer, QByteArray** frame, int* consumed, quint32 maxPayload)
{
    *frame = nullptr;
    FrameHeader header;
    if (!readHeader(buffer, consumed, &header, maxPayload) || !checkBody(*buffer, header, consumed))
        return false;
    const int total = int(frameSize(header));
    *frame = new QByteArray(buffer->constData(), total);
    *consumed = total;
    return true;
}

bool ComProtocol::parseFrameHeader(QByteArray* buffer, int* consumed, uint* msgID, int* total,
                                   quint32 maxPayload)
{
    FrameHeader header;
    if (!readHeader(buffer, consumed, &header, maxPayload))
        return false;
    if (frameSize(header) > std::numeric_limits<int>::max()) {
        *consumed = 2;
        return false;
    }
    *msgID = header.msgID;
    *total = int(frameSize(header));
    return true;
}

bool ComProtocol::parseLogHeader(QByteArray* buffer, int* consumed, uint* msgID, int* count, quint32 maxCount)
{
    // The header's own length field is not used by a log message; only the count bounds it.
    FrameHeader header;
    if (!readHeader(buffer, consumed, &header, std::numeric_limits<quint32>::max()))
        return false;
    if (buffer->size() < LogHeaderSize)
        return false;
    const quint32 announced = readBigEndian(buffer->constData() + HeaderSize);
    if (announced > maxCount) {
        *consumed = 2;
        return false;
    }
    *msgID = header.msgID;
    *count = int(announced);
    return true;
}

bool ComProtocol::checkFrame(QByteArray* frame, const char** payload, int* length, quint32 maxPayload)
{
    FrameHeader header;
    int consumed = 0;
    if (!readHeader(frame, &consumed, &header, maxPayload) || !checkBody(*frame, header, &consumed))
        return false;
    *payload = frame->constData() + HeaderSize;
    *length = int(header.length);
    return true;
}

quint32 ComProtocol::checksum(uint length, const char* data)
{
    // XOR of little-endian 32-bit groups; two groups at a time, folded at the end.
    quint64 wide = 0;
    uint offset = 0;
    for (; offset + 8 <= length; offset += 8)
        wide ^= qFromLittleEndian<quint64>(data + offset);
    quint32 sum = quint32(wide) ^ quint32(wide >> 32);
    if (offset + 4 <= length) {
        sum ^= qFromLittleEndian<quint32>(data + offset);
        offset += 4;
    }
    if (offset < length) {
        char last[4] = {0, 0, 0, 0};
        std::memcpy(last, data + offset, length - offset);
        sum ^= qFromLittleEndian<quint32>(last);
    }
    return sum;
}

quint32 ComProtocol::frameMsgID(QByteArray* frame)
{
    if (frame->size() < 4)
        return 0;
    return readBigEndian(frame->constData());
}

QByteArray* ComProtocol::framePayload(QByteArray* frame)
{
    return new QByteArray(frame->mid(HeaderSize, availablePayload(*frame)));
}

QByteArray* ComProtocol::newBytes(const char* data, uint length)
{
    if (!data || length > uint(std::numeric_limits<int>::max()))
        return new QByteArray();
    return new QByteArray(data, int(length));
}

bool ComProtocol::payloadView(QByteArray* frame, const char** data, int* length)
{
    if (frame->size() < HeaderSize)
        return false;
    *data = frame->constData() + HeaderSize;
    *length = availablePayload(*frame);
    return true;
}
