#ifndef TEMPSAMPLELIST_H
#define TEMPSAMPLELIST_H

#include "common/SampleInfo.h"

#include <QList>

// The finished temporary recordings of a run, in the order they were finished. A recording whose
// curves are still being computed is listed at once, marked pending, so the order holds and a
// save can see it; its curves arrive later by its id.
class TempSampleList
{
public:
    // Returns the entry's id, unique for the list's life.
    quint64 append(const SampleInfo &recording, bool pending);
    // Stores the curves of a pending entry and clears its mark; false when the id is gone.
    bool finish(quint64 id, const QList<ChannelImpedance> &curves);

    int size() const { return entries.size(); }
    bool isEmpty() const { return entries.isEmpty(); }
    const SampleInfo &at(int index) const { return entries.at(index).recording; }
    QList<SampleInfo> recordings() const;
    bool isPending(int index) const { return entries.at(index).pending; }
    // The entry of an id, or null when it is gone.
    const SampleInfo *find(quint64 id) const;
    int pendingCount() const;
    void clear() { entries.clear(); }

private:
    struct Entry
    {
        SampleInfo recording;
        quint64 id = 0;
        bool pending = false;
    };
    QList<Entry> entries;
    quint64 nextId = 1;
};

#endif // TEMPSAMPLELIST_H
