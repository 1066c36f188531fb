#ifndef DISKSYNC_H
#define DISKSYNC_H

#include <QString>

#include <functional>

// Waits until a file's bytes, or a folder's entries, are on the disk: what makes a copy, an
// appended row or a new name survive a power cut.
namespace DiskSync {

bool file(const QString &path);
bool folder(const QString &path);
// Off, both succeed without waiting (measuring what the waits cost). On by default.
void setEnabled(bool enabled);

// Told of every wait before it starts (tests check the order of the waits); nullptr: none.
using Observer = std::function<void(const QString &path, bool isFolder)>;
void setObserver(Observer observer);

} // namespace DiskSync

#endif // DISKSYNC_H
