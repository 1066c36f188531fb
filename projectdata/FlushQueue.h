#ifndef FLUSHQUEUE_H
#define FLUSHQUEUE_H

#include <QString>
#include <QStringList>

// What a change of the project folder has altered and not yet put on the disk, flushed in the
// order it was altered: the files' bytes first, then the folders whose entries changed. A step
// that must not reach the disk before an earlier one flushes the queue first.
class FlushQueue
{
public:
    // A file whose bytes changed.
    void addFile(const QString &path);
    // The folder holding path: an entry was made, removed or renamed there.
    void addEntryOf(const QString &path);
    // Waits for what is queued and still there, in order, and empties the queue; false when a wait failed.
    bool flush();

private:
    QStringList files;
    QStringList folders;
};

#endif // FLUSHQUEUE_H
