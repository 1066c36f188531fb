#ifndef RUNSAVEJOURNAL_H
#define RUNSAVEJOURNAL_H

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

// What a save changed on disk, so that a failed save can put the project folder back: folders it
// made, files it wrote, and the sizes station files had before rows were appended.
class RunSaveJournal
{
public:
    // True when the folder is there or was made now (its parent existing).
    bool makeDir(const QString &path);
    // Remembers the file's size before the save (once per file); -1 when it did not exist.
    void noteAppended(const QString &path);
    void noteWritten(const QString &path);
    // Deletes the written files, cuts appended files back, removes the folders made.
    void undo();

private:
    QStringList madeDirs;
    QStringList writtenFiles;
    QList<QPair<QString, qint64>> appendedFiles;
};

#endif // RUNSAVEJOURNAL_H
