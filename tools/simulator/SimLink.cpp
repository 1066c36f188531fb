#include "tools/simulator/SimLink.h"

#include "tools/simulator/SimFrameCodec.h"

#include <QTcpSocket>
#include <algorithm>

namespace {
constexpr qint64 ChunkBytes = 1 << 20;
constexpr qint64 HighWaterBytes = 4 << 20;
constexpr qint64 DefaultAbsurdLength = 0x7FFFFFF0;
constexpr int DefaultDelayMs = 200;
} // namespace

SimLink::SimLink(int port, QTcpSocket *socket, QObject *parent)
    : QObject(parent), portOffset(port), socket(socket)
{
    socket->setParent(this);
    pauseTimer.setSingleShot(true);
    glueTimer.setSingleShot(true);
    connect(&pauseTimer, &QTimer::timeout, this, [this] {
        pausing = false;
        if (!queue.isEmpty())
            queue.first().pauseBeforeMs = 0;
        pump();
    });
    connect(&glueTimer, &QTimer::timeout, this, &SimLink::releaseGlued);
    connect(socket, &QTcpSocket::readyRead, this, &SimLink::onReadyRead);
    connect(socket, &QTcpSocket::bytesWritten, this, &SimLink::pump);
    connect(socket, &QTcpSocket::disconnected, this, [this] { emit closed(this); });
}

SimLink::~SimLink()
{
    socket->disconnect(this);
}

void SimLink::onReadyRead()
{
    reader.append(socket->readAll());
    SimFrame frame;
    QByteArray raw;
    while (reader.next(&frame, &raw))
        emit frameReceived(this, frame, raw);
}

void SimLink::send(const QByteArray &frame)
{
    enqueue({Piece{frame}});
}

void SimLink::send(const QByteArray &frame, const SimFault &fault)
{
    if (fault.kind != SimFault::Glue) {
        enqueue(piecesFor(frame, fault));
        return;
    }
    glued += frame;
    glueTimer.start(GlueWaitMs);
}

void SimLink::enqueue(QList<Piece> pieces)
{
    if (pieces.isEmpty())
        return;
    if (!glued.isEmpty()) {
        pieces.first().bytes.prepend(glued);
        glued.clear();
        glueTimer.stop();
    }
    queue.append(pieces);
    pump();
}

void SimLink::releaseGlued()
{
    const QByteArray bytes = glued;
    glued.clear();
    enqueue({Piece{bytes}});
}

bool SimLink::isDrained() const
{
    return queue.isEmpty() && glued.isEmpty() && socket->bytesToWrite() == 0;
}

void SimLink::abort()
{
    queue.clear();
    glued.clear();
    socket->abort();
}

// Writes the front piece as far as the socket takes it; true when it is all written.
bool SimLink::writeFront()
{
    const Piece &piece = queue.first();
    while (written < piece.bytes.size()) {
        if (socket->bytesToWrite() >= HighWaterBytes)
            return false;
        const qint64 n = std::min(ChunkBytes, piece.bytes.size() - written);
        const qint64 w = socket->write(piece.bytes.constData() + written, n);
        if (w <= 0)
            return false;
        written += w;
    }
    return true;
}

void SimLink::pump()
{
    while (!pausing && !closing && !queue.isEmpty()) {
        if (queue.first().pauseBeforeMs > 0) {
            socket->flush();
            pausing = true;
            pauseTimer.start(queue.first().pauseBeforeMs);
            return;
        }
        if (!writeFront())
            return;
        written = 0;
        const bool closeAfter = queue.first().closeAfter;
        queue.removeFirst();
        if (closeAfter) {
            closing = true;
            queue.clear();
            socket->disconnectFromHost(); // after the bytes already written
            return;
        }
    }
    if (isDrained())
        emit drained(this);
}

QByteArray SimLink::garbage(int count)
{
    QByteArray bytes(count, '\0');
    for (int i = 0; i < count; ++i)
        bytes[i] = char(i % 0x7F);
    if (count > 0)
        bytes[count - 1] = char(0xAA); // a false sync start right before the real one
    return bytes;
}

QList<SimLink::Piece> SimLink::piecesFor(const QByteArray &frame, const SimFault &fault)
{
    QByteArray bytes = frame;
    switch (fault.kind) {
    case SimFault::Drop:
    case SimFault::Glue:
        return {};
    case SimFault::Delay:
        return {Piece{bytes, int(fault.arg(0, DefaultDelayMs))}};
    case SimFault::Duplicate:
        return {Piece{bytes}, Piece{bytes}};
    case SimFault::Garbage:
        return {Piece{garbage(int(fault.arg(0, 7))) + bytes}};
    case SimFault::BadChecksum: {
        uint32_t sum = SimFrameCodec::readBigEndian(bytes.constData() + 12) ^ 0x01020304u;
        SimFrameCodec::writeBigEndian(bytes.data() + 12, sum == 0 ? 1 : sum);
        return {Piece{bytes}};
    }
    case SimFault::BadHeader:
        bytes[11] = char(bytes[11] ^ 0x5A);
        return {Piece{bytes}};
    case SimFault::Split: {
        QList<qint64> cuts = fault.args.isEmpty() ? QList<qint64>{1} : fault.args;
        std::sort(cuts.begin(), cuts.end());
        QList<Piece> pieces;
        qint64 from = 0;
        for (qint64 cut : cuts) {
            if (cut <= from || cut >= bytes.size())
                continue;
            pieces.append(Piece{bytes.mid(int(from), int(cut - from)), from == 0 ? 0 : SplitPauseMs});
            from = cut;
        }
        pieces.append(Piece{bytes.mid(int(from)), from == 0 ? 0 : SplitPauseMs});
        return pieces;
    }
    case SimFault::Short: {
        const uint32_t id = SimFrameCodec::readBigEndian(bytes.constData());
        return {Piece{SimFrameCodec::encode(id, bytes.mid(SimFrameCodec::HeaderSize, int(fault.arg(0, 0))))}};
    }
    case SimFault::AbsurdLength: {
        const uint32_t id = SimFrameCodec::readBigEndian(bytes.constData());
        const auto length = uint32_t(fault.arg(0, DefaultAbsurdLength));
        SimFrameCodec::writeBigEndian(bytes.data() + 4, length);
        SimFrameCodec::writeBigEndian(bytes.data() + 8, id ^ length);
        return {Piece{bytes}};
    }
    case SimFault::Disconnect:
        return {Piece{bytes.left(int(fault.arg(0, bytes.size() / 2))), 0, true}};
    case SimFault::Refuse: // acts on the listening port, never on a frame
        break;
    }
    return {Piece{bytes}};
}
