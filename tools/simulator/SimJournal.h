#ifndef SIMJOURNAL_H
#define SIMJOURNAL_H

#include <QByteArray>
#include <QList>
#include <QString>
#include <cstdint>

// Where a frame travelled: the offset of its port above the base port.
enum SimPort {
    SimControlPort = 0,
    SimFirstDataPort = 1, // data connection i is on SimFirstDataPort + i
    SimLogPort = 6,
    SimPortCount = 7
};

struct SimJournalEntry
{
    enum Direction { Received, Sent };

    Direction direction = Received;
    int port = SimControlPort;
    uint32_t id = 0;
    qint64 size = 0;  // whole frame, header included
    QByteArray bytes; // the frame as it was meant to travel, cut to the journal's limit
    QString fault;    // the fault applied when it was sent, empty for a clean frame

    QByteArray payload() const { return bytes.mid(16); }
    // The sub-code of a notification, with the 0xAA550000 prefix added.
    uint32_t subCode() const;
};

// The frames the simulator received and sent, in order, as a ring: once it holds more entries or
// bytes than its limits, the oldest entries go, so that a long session stays flat. A frame keeps
// its whole size and its first bytes (every command text and control record whole); tests that
// compare the samples sent ask for whole frames.
class SimJournal
{
public:
    static constexpr int DefaultByteLimit = 8 * 1024;             // kept of one frame
    static constexpr qint64 DefaultHeldLimit = 8 * 1024 * 1024;   // kept of all frames
    static constexpr int EntryLimit = 20000;

    void record(SimJournalEntry entry);
    const QList<SimJournalEntry> &entries() const { return list; }
    QList<SimJournalEntry> received(uint32_t id) const;
    QList<SimJournalEntry> sent(uint32_t id, int port = -1) const;
    // The raw bytes of every frame received on the control port, in order.
    QList<QByteArray> receivedFrames() const;
    void clear();
    void setByteLimit(int bytes) { limit = bytes; }
    int byteLimit() const { return limit; }
    void setHeldLimit(qint64 bytes);
    // Whole frames and no limit on the bytes held, for tests that keep a few stations' data.
    void keepWholeFrames();
    // The frame bytes the entries hold, and the entries the ring has let go.
    qint64 heldBytes() const { return held; }
    qint64 droppedEntries() const { return dropped; }

private:
    void trim();

    QList<SimJournalEntry> list;
    int limit = DefaultByteLimit;
    qint64 heldLimit = DefaultHeldLimit;
    qint64 held = 0;
    qint64 dropped = 0;
};

#endif // SIMJOURNAL_H
