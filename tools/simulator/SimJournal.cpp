#include "tools/simulator/SimJournal.h"

#include "common/AMTMessageIds.h"
#include "tools/simulator/SimFrameCodec.h"

uint32_t SimJournalEntry::subCode() const
{
    if (bytes.size() < 20)
        return 0;
    return SimFrameCodec::readLittleEndian(bytes.constData() + 16) | AMT_SUBCODE_PREFIX;
}

void SimJournal::record(SimJournalEntry entry)
{
    if (entry.bytes.size() > limit)
        entry.bytes.truncate(limit);
    list.append(entry);
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
