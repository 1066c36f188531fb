#include "projectdata/RunSaveJournal.h"

#include "projectdata/ProjectFolder.h"

#include <QFileInfo>
#include <QSqlQuery>

RunSaveJournal::RunSaveJournal(const QString &projectDir)
    : journal(projectDir)
{
}

bool RunSaveJournal::begin(QSqlDatabase &db, const QStringList &stationFolders, QString *error)
{
    const QString table = QStringLiteral("Data_SampleData");
    QSqlQuery query(db);
    if (!query.exec(QStringLiteral("SELECT COALESCE(MAX(ID), 0) FROM %1").arg(table)) || !query.next()) {
        if (error)
            *error = QObject::tr("工程数据库无法读取");
        return false;
    }
    return journal.begin(ProjectJournal::Commit::rowsAfter(table, query.value(0).toInt()), stationFolders, error);
}

bool RunSaveJournal::makeDir(const QString &path)
{
    if (QFileInfo(path).isDir())
        return true;
    return journal.noteFolder(path) && makeDirIfMissing(path);
}

bool RunSaveJournal::noteAppended(const QString &path)
{
    if (appendedFiles.contains(path))
        return true;
    appendedFiles.append(path);
    return journal.noteSize(path);
}

bool RunSaveJournal::noteCreated(const QStringList &paths)
{
    QStringList files = paths;
    files.removeAll(QString());
    return journal.noteFiles(files);
}

bool RunSaveJournal::sync(QString *error)
{
    return journal.sync(error);
}

void RunSaveJournal::finish()
{
    journal.finish();
}

void RunSaveJournal::undo()
{
    journal.undo(nullptr);
}
