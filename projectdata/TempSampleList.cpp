#include "projectdata/TempSampleList.h"

quint64 TempSampleList::append(const SampleInfo &recording, bool pending)
{
    entries.append({recording, nextId, pending});
    return nextId++;
}

bool TempSampleList::finish(quint64 id, const QList<ChannelImpedance> &curves)
{
    for (Entry &entry : entries) {
        if (entry.id != id)
            continue;
        entry.recording.impedance = curves;
        entry.pending = false;
        return true;
    }
    return false;
}

QList<SampleInfo> TempSampleList::recordings() const
{
    QList<SampleInfo> list;
    for (const Entry &entry : entries)
        list.append(entry.recording);
    return list;
}

int TempSampleList::pendingCount() const
{
    int count = 0;
    for (const Entry &entry : entries)
        count += entry.pending ? 1 : 0;
    return count;
}

const SampleInfo *TempSampleList::find(quint64 id) const
{
    for (const Entry &entry : entries) {
        if (entry.id == id)
            return &entry.recording;
    }
    return nullptr;
}
