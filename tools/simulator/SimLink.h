#ifndef SIMLINK_H
#define SIMLINK_H

#include "tools/simulator/SimFault.h"
#include "tools/simulator/SimFrameReader.h"

#include <QList>
#include <QObject>
#include <QTimer>

class QTcpSocket;

// One accepted connection of the simulator: cuts received bytes into frames and writes queued
// frames, applying their faults. Large frames are written in chunks as the socket drains, so
// an 80 MB block does not sit twice in memory.
class SimLink : public QObject
{
    Q_OBJECT
public:
    // A frame cut at these offsets is written piece by piece, this far apart.
    static constexpr int SplitPauseMs = 20;
    // A glued frame waits this long for a frame to travel with before it goes alone.
    static constexpr int GlueWaitMs = 100;

    SimLink(int port, QTcpSocket *socket, QObject *parent);
    ~SimLink() override;

    int port() const { return portOffset; }
    void send(const QByteArray &frame);
    void send(const QByteArray &frame, const SimFault &fault);
    // Nothing queued or held, and the socket has written everything.
    bool isDrained() const;
    void abort();

signals:
    void frameReceived(SimLink *link, const SimFrame &frame, const QByteArray &raw);
    void closed(SimLink *link);
    void drained(SimLink *link);

private:
    struct Piece
    {
        QByteArray bytes;
        int pauseBeforeMs = 0;
        bool closeAfter = false;
    };

    void onReadyRead();
    void enqueue(QList<Piece> pieces);
    void releaseGlued();
    void pump();
    bool writeFront();
    static QList<Piece> piecesFor(const QByteArray &frame, const SimFault &fault);
    static QByteArray garbage(int count);

    int portOffset;
    QTcpSocket *socket;
    SimFrameReader reader;
    QList<Piece> queue;
    qint64 written = 0; // bytes of the front piece already written
    bool pausing = false;
    bool closing = false;
    QByteArray glued;
    QTimer pauseTimer;
    QTimer glueTimer;
};

#endif // SIMLINK_H
