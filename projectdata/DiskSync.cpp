#include "projectdata/DiskSync.h"

#include <QFile>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <unistd.h>
#endif

namespace {

bool enabledFlag = true;
DiskSync::Observer observer;

bool syncPath(const QString &path, bool dataOnly)
{
    if (observer)
        observer(path, !dataOnly);
    if (!enabledFlag)
        return true;
#ifdef Q_OS_UNIX
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool synced = (dataOnly ? ::fdatasync(fd) : ::fsync(fd)) == 0;
    ::close(fd);
    return synced;
#else
    // No portable way to wait for a folder; the file system's own order has to do.
    Q_UNUSED(path)
    Q_UNUSED(dataOnly)
    return true;
#endif
}

} // namespace

namespace DiskSync {

bool file(const QString &path)
{
    return syncPath(path, true);
}

bool folder(const QString &path)
{
    return syncPath(path, false);
}

void setEnabled(bool enabled)
{
    enabledFlag = enabled;
}

void setObserver(Observer newObserver)
{
    observer = std::move(newObserver);
}

} // namespace DiskSync
