#include "mainwindow/TempFolder.h"

#include <QDir>
#include <QFileInfo>

void emptyTempFolder(const QString &path)
{
    const QFileInfo folder(path);
    if (!folder.isDir() || folder.isSymLink())
        return;
    const QDir dir(path);
    const QFileInfoList entries = dir.entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::System);
    for (const QFileInfo &entry : entries) {
        // A link inside goes as a link; what it points to is never walked.
        if (QFile::remove(entry.filePath()) || entry.isSymLink())
            continue;
        QDir(entry.filePath()).removeRecursively();
    }
}
