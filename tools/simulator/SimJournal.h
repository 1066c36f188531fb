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

// Every frame the simulator received and sent, in order.
class SimJournal
{
public:
    // Large data frames keep only their first bytes; tests check samples against SimChannelData.
    static constexpr int DefaultByteLimit = 2 * 1024 * 1024;

    void record(SimJournalEntry entry);
    const QList<SimJournalEntry> &entries() const { return list; }
    QList<SimJournalEntry> received(uint32_t id) const;
    QList<SimJournalEntry> sent(uint32_t id, int port = -1) const;
    // The raw bytes of every frame received on the control port, in order.
    QList<QByteArray> receivedFrames() const;
    void clear() { list.clear(); }
    void setByteLimit(int bytes) { limit = bytes; }
    int byteLimit() const { return limit; }

private:
    QList<SimJournalEntry> list;
    int limit = DefaultByteLimit;
};

#endif // SIMJOURNAL_H
