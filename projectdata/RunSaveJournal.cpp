#include "projectdata/RunSaveJournal.h"

#include "projectdata/ProjectFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

bool RunSaveJournal::makeDir(const QString &path)
{
    if (QFileInfo(path).isDir())
        return true;
    if (!makeDirIfMissing(path))
        return false;
    madeDirs.append(path);
    return true;
}

void RunSaveJournal::noteAppended(const QString &path)
{
    for (const auto &entry : qAsConst(appendedFiles)) {
        if (entry.first == path)
            return;
    }
    const QFileInfo info(path);
    appendedFiles.append({path, info.exists() ? info.size() : -1});
}

void RunSaveJournal::noteWritten(const QString &path)
{
    if (!writtenFiles.contains(path))
        writtenFiles.append(path);
}

void RunSaveJournal::undo()
{
    for (const QString &path : qAsConst(writtenFiles))
        QFile::remove(path);
    for (const auto &entry : qAsConst(appendedFiles)) {
        if (entry.second < 0)
            QFile::remove(entry.first);
        else
            QFile::resize(entry.first, entry.second);
    }
    for (int i = madeDirs.size() - 1; i >= 0; --i)
        QDir().rmdir(madeDirs.at(i));
    writtenFiles.clear();
    appendedFiles.clear();
    madeDirs.clear();
}
