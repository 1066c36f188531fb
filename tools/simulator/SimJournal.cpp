#include "tools/simulator/SimJournal.h"

#include "common/AMTMessageIds.h"
#include "tools/simulator/SimFrameCodec.h"

#include <limits>

uint32_t SimJournalEntry::subCode() const
{
    if (bytes.size() < 20)
        return 0;
    return SimFrameCodec::readLittleEndian(bytes.constData() + 16) | AMT_SUBCODE_PREFIX;
}

void SimJournal::record(SimJournalEntry entry)
{
    // A copy of the first bytes: a share of the frame, or its buffer truncated, would keep all of it.
    if (entry.bytes.size() > limit)
        entry.bytes = entry.bytes.left(limit);
    held += entry.bytes.size();
    list.append(entry);
    trim();
}

void SimJournal::clear()
{
    list.clear();
    held = 0;
}

void SimJournal::setHeldLimit(qint64 bytes)
{
    heldLimit = bytes;
    trim();
}

void SimJournal::keepWholeFrames()
{
    limit = std::numeric_limits<int>::max();
    heldLimit = std::numeric_limits<qint64>::max();
}

void SimJournal::trim()
{
    while (!list.isEmpty() && (list.size() > EntryLimit || held > heldLimit)) {
        held -= list.first().bytes.size();
        list.removeFirst();
        ++dropped;
    }
}

QList<SimJournalEntry> SimJournal::received(uint32_t id) const
{
    QList<SimJournalEntry> out;
    for (const SimJournalEntry &e : list)
        if (e.direction == SimJournalEntry::Received && e.id == id)
            out.append(e);
    return out;
}

QList<SimJournalEntry> SimJournal::sent(uint32_t id, int port) const
{
    QList<SimJournalEntry> out;
    for (const SimJournalEntry &e : list)
        if (e.direction == SimJournalEntry::Sent && e.id == id && (port < 0 || e.port == port))
            out.append(e);
    return out;
}

QList<QByteArray> SimJournal::receivedFrames() const
{
    QList<QByteArray> out;
    for (const SimJournalEntry &e : list)
        if (e.direction == SimJournalEntry::Received)
            out.append(e.bytes);
    return out;
}
