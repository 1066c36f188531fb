#ifndef COMPROTOCOL_H
#define COMPROTOCOL_H

#include <QByteArray>
#include <QtGlobal>

// Frame codec of the instrument link. A frame is a 16-byte big-endian header (message ID
// 0xAA55nnnn, payload length N, ID XOR N, payload checksum; 0 = none) followed by N bytes.
// The log message of the export-log connection shares the header, then carries a big-endian
// byte count at bytes 16-19 and the log from byte 20.
//
// Parsing works in place on a receive buffer: leading bytes before the sync mark AA 55 are
// removed from the buffer at once, and "consumed" says how many further bytes the caller drops
// from its front (0 = wait for more, 2 = drop the sync mark of a bad header and resynchronise).
// Length fields are untrusted: a header announcing more than the given limit is a bad header.
// Every returned new QByteArray* belongs to the caller.
class ComProtocol
{
public:
    static constexpr int HeaderSize = 16;
    static constexpr int LogHeaderSize = 20;
    static constexpr quint32 MaxControlPayload = 16u * 1024 * 1024;
    static constexpr quint32 MaxDataPayload = 256u * 1024 * 1024;

    static QByteArray* packFrame(uint msgID, const QByteArray* payload);
    static bool unpackFrame(QByteArray* buffer, QByteArray** frame, int* consumed,
                            quint32 maxPayload = MaxControlPayload);
    static bool parseFrameHeader(QByteArray* buffer, int* consumed, uint* msgID, int* total,
                                 quint32 maxPayload = MaxDataPayload);
    // The header of a log message: the count M at bytes 16-19 (at most maxCount) instead of N.
    static bool parseLogHeader(QByteArray* buffer, int* consumed, uint* msgID, int* count,
                               quint32 maxCount = MaxDataPayload);
    static bool checkFrame(QByteArray* frame, const char** payload, int* length,
                           quint32 maxPayload = MaxDataPayload);
    static quint32 checksum(uint length, const char* data);
    static quint32 frameMsgID(QByteArray* frame);
    static QByteArray* framePayload(QByteArray* frame);
    static QByteArray* newBytes(const char* data, uint length);
    static bool payloadView(QByteArray* frame, const char** data, int* length);
};

#endif // COMPROTOCOL_H
