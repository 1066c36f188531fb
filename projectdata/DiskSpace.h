#ifndef DISKSPACE_H
#define DISKSPACE_H

#include <QString>

// The free space of the file system that holds a path, checked before a change writes there.
namespace DiskSpace {

// Kept free beyond what a change is expected to write: the database's own journal and pages,
// the project journal, and what the estimate misses.
constexpr qint64 margin = 1024 * 1024;

// Empty when the file system of path (an existing file or folder) has room for bytes plus the
// margin; otherwise "磁盘空间不足" with the figures.
QString shortage(const QString &path, qint64 bytes);
// What a failed write at path most likely met, for a message that has no reason of its own:
// a full disk or a folder that cannot be written; empty when neither.
QString failedWriteReason(const QString &path);
// The failure's text followed by failedWriteReason, when there is one.
QString withReason(const QString &failure, const QString &path);

} // namespace DiskSpace

#endif // DISKSPACE_H
