#ifndef RUNSAVEJOURNAL_H
#define RUNSAVEJOURNAL_H

#include "projectdata/ProjectJournal.h"

#include <QString>
#include <QStringList>

class QSqlDatabase;

// What a save changes in the project folder, noted on the disk before each change: folders it
// makes, files it makes, and the sizes station files have before rows are appended. A failed
// save is undone at once; a save cut off by a crash is undone when the project is next opened.
class RunSaveJournal
{
public:
    explicit RunSaveJournal(const QString &projectDir);

    // Before the first change into the station folders; the recordings stored so far tell a later
    // opening whether the save committed.
    bool begin(QSqlDatabase &db, const QStringList &stationFolders, QString *error);
    // True when the folder is there or was made now (its parent existing).
    bool makeDir(const QString &path);
    // Notes the file's size before the save (once per file); an absent file is removed by the undo.
    bool noteAppended(const QString &path);
    // Notes files about to be made (empty paths are skipped).
    bool noteCreated(const QStringList &paths);
    // Waits until every file and folder the save touched is on the disk.
    bool sync(QString *error);
    // The database has committed.
    void finish();
    // Deletes the files made, cuts appended files back, removes the folders made.
    void undo();

private:
    ProjectJournal journal;
    QStringList appendedFiles;
};

#endif // RUNSAVEJOURNAL_H
