#include "projectdata/FlushQueue.h"

#include "projectdata/DiskSync.h"

#include <QFileInfo>

namespace {

void addOnce(QStringList &list, const QString &path)
{
    if (!list.contains(path))
        list.append(path);
}

} // namespace

void FlushQueue::addFile(const QString &path)
{
    addOnce(files, QFileInfo(path).filePath());
}

void FlushQueue::addEntryOf(const QString &path)
{
    addOnce(folders, QFileInfo(path).path());
}

bool FlushQueue::flush()
{
    bool synced = true;
    for (const QString &path : qAsConst(files))
        synced = (!QFileInfo(path).isFile() || DiskSync::file(path)) && synced;
    for (const QString &path : qAsConst(folders))
        synced = (!QFileInfo(path).isDir() || DiskSync::folder(path)) && synced;
    files.clear();
    folders.clear();
    return synced;
}
