#ifndef LISTLOOKUP_H
#define LISTLOOKUP_H

#include <QList>
#include <optional>

// The "value to index through a search of its list, then the parallel list at that index"
// convention (gain value to gain code, rate to time limits). A value that is not found,
// or an index past the parallel list, gives no result instead of indexing -1.
template <typename K, typename V>
std::optional<V> lookupParallel(const QList<K> &keys, const QList<V> &values, const K &key)
{
    const int index = keys.indexOf(key);
    if (index < 0 || index >= values.size())
        return std::nullopt;
    return values.at(index);
}

// Element at index, or nothing when the index is out of range.
template <typename V>
std::optional<V> valueAt(const QList<V> &values, int index)
{
    if (index < 0 || index >= values.size())
        return std::nullopt;
    return values.at(index);
}

#endif // LISTLOOKUP_H
