#include "projectdata/ProjectLock.h"

#include "projectdata/DiskSpace.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>

namespace {

QString text(const char *source)
{
    return QCoreApplication::translate("DataModel_Index", source);
}

} // namespace

ProjectLock::ProjectLock() = default;

ProjectLock::~ProjectLock() = default;

QString ProjectLock::pathFor(const QString &databasePath)
{
    return databasePath + QStringLiteral(".lock");
}

ProjectLock::Result ProjectLock::acquire(const QString &databasePath, QString *refusal)
{
    release();
    const QString path = pathFor(databasePath);
    auto candidate = std::make_unique<QLockFile>(path);
    // A project stays open for hours: only a dead holder makes the lock stale, never its age.
    candidate->setStaleLockTime(0);
    if (candidate->tryLock(0)) {
        lock = std::move(candidate);
        return Result::Locked;
    }
    // A lock file on a medium nothing can write to stays there, live holder or not.
    const bool writableFolder = QFileInfo(QFileInfo(path).absolutePath()).isWritable();
    switch (candidate->error()) {
    case QLockFile::LockFailedError: {
        if (!writableFolder)
            return Result::ReadOnly;
        qint64 pid = 0;
        QString host;
        QString application;
        if (!candidate->getLockInfo(&pid, &host, &application))
            *refusal = text("工程正被另一个程序打开（锁文件%1）。").arg(QDir::toNativeSeparators(path));
        else
            *refusal = text("工程正被计算机%1上的程序%2（进程号%3）打开，同一工程同时只能由一个程序打开。\n"
                            "请关闭那个程序后再打开；确认它已不在运行时，可删除锁文件%4。")
                           .arg(host, application)
                           .arg(pid)
                           .arg(QDir::toNativeSeparators(path));
        return Result::Held;
    }
    case QLockFile::PermissionError:
        return Result::ReadOnly;
    case QLockFile::NoError:
    case QLockFile::UnknownError:
        break;
    }
    const QString reason = DiskSpace::failedWriteReason(path);
    *refusal = text("工程锁文件%1无法建立。").arg(QDir::toNativeSeparators(path))
               + (reason.isEmpty() ? QString() : QStringLiteral("\n") + reason);
    return Result::Failed;
}

bool ProjectLock::isLocked() const
{
    return lock != nullptr;
}

void ProjectLock::release()
{
    lock.reset();
}
