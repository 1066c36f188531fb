#include "projectdata/ProjectJournal.h"

#include "projectdata/DiskSync.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QSet>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QUrl>

// The record is text, one entry a line, its fields separated by tabs and percent-encoded. The
// first line is the commit check; paths are relative to the project folder:
//   folder <path>            a folder about to be made
//   file <path>              a file about to be made
//   size <path> <bytes>      a file about to be appended to, its size before (-1: absent)
//   move <from> <to>         a file or folder about to be renamed
//   text <path> <base64>     a file about to be rewritten, its bytes before
// A last line without its end was cut while being written: its change had not started.

namespace {

const QString recordName = QStringLiteral("project.journal");
// Only these tables and columns are read by a commit check.
const QStringList checkedTables = {QStringLiteral("Data_Line"), QStringLiteral("Data_Station"),
                                   QStringLiteral("Data_SampleData")};
const QStringList checkedColumns = {QStringLiteral("LineName"), QStringLiteral("StationNum")};

ProjectJournal::StepHook stepHook = nullptr;

QString text(const char *source)
{
    return QCoreApplication::translate("ProjectJournal", source);
}

bool fail(QString *error, const QString &reason)
{
    if (error)
        *error = reason;
    return false;
}

QByteArray encodeLine(const QStringList &fields)
{
    QByteArrayList encoded;
    for (const QString &field : fields)
        encoded << QUrl::toPercentEncoding(field);
    return encoded.join('\t') + '\n';
}

QStringList decodeLine(const QByteArray &line)
{
    QStringList fields;
    for (const QByteArray &field : line.split('\t'))
        fields << QUrl::fromPercentEncoding(field);
    return fields;
}

// Arity of each entry kind (fields after the kind).
int fieldsOf(const QString &kind)
{
    static const QHash<QString, int> arity = {{QStringLiteral("folder"), 1}, {QStringLiteral("file"), 1},
                                              {QStringLiteral("size"), 2},   {QStringLiteral("move"), 2},
                                              {QStringLiteral("text"), 2}};
    return arity.value(kind, -1);
}

// A path that stays inside the project folder.
bool isInside(const QString &relative)
{
    const QString clean = QDir::cleanPath(relative);
    return !clean.isEmpty() && QDir::isRelativePath(clean) && clean != QLatin1String("..")
           && !clean.startsWith(QLatin1String("../"));
}

bool isValidEntry(const QStringList &entry)
{
    if (entry.isEmpty() || fieldsOf(entry.first()) != entry.size() - 1)
        return false;
    const QString &kind = entry.first();
    if (!isInside(entry.at(1)))
        return false;
    if (kind == QLatin1String("move"))
        return isInside(entry.at(2));
    if (kind == QLatin1String("size")) {
        bool ok = false;
        entry.at(2).toLongLong(&ok);
        return ok;
    }
    return true;
}

bool isValidCheck(const QStringList &check)
{
    if (check.size() == 4 && check.at(0) == QLatin1String("check") && check.at(1) == QLatin1String("rows"))
        return checkedTables.contains(check.at(2));
    return check.size() == 6 && check.at(0) == QLatin1String("check") && check.at(1) == QLatin1String("value")
           && checkedTables.contains(check.at(2)) && checkedColumns.contains(check.at(4));
}

// Whether the database holds what the change wrote; false as well when it cannot be asked.
bool hasCommitted(const QStringList &check, QSqlDatabase &db, bool *known)
{
    QSqlQuery query(db);
    const bool rows = check.at(1) == QLatin1String("rows");
    query.prepare(rows ? QStringLiteral("SELECT EXISTS(SELECT 1 FROM %1 WHERE ID > ?)").arg(check.at(2))
                       : QStringLiteral("SELECT %1 FROM %2 WHERE ID = ?").arg(check.at(4), check.at(2)));
    query.addBindValue(check.at(3).toLongLong());
    *known = query.exec();
    if (!*known || !query.next())
        return false;
    if (rows)
        return query.value(0).toInt() == 1;
    return query.value(0).toDouble() == check.at(5).toDouble();
}

} // namespace

ProjectJournal::Commit ProjectJournal::Commit::rowsAfter(const QString &table, int maxId)
{
    return {{QStringLiteral("check"), QStringLiteral("rows"), table, QString::number(maxId)}};
}

ProjectJournal::Commit ProjectJournal::Commit::value(const QString &table, int id, const QString &column,
                                                     const QVariant &value)
{
    return {{QStringLiteral("check"), QStringLiteral("value"), table, QString::number(id), column,
             QString::number(value.toDouble(), 'g', 17)}};
}

ProjectJournal::ProjectJournal(const QString &dir)
    : projectDir(dir)
    , record(pathIn(dir))
{
}

QString ProjectJournal::pathIn(const QString &projectDir)
{
    return projectDir + QLatin1Char('/') + recordName;
}

void ProjectJournal::setStepHook(StepHook hook)
{
    stepHook = hook;
}

void ProjectJournal::step(const char *name)
{
    if (stepHook)
        stepHook(name);
}

bool ProjectJournal::begin(const Commit &commit, QString *error)
{
    if (projectDir.isEmpty())
        return fail(error, text("没有打开的工程"));
    if (QFileInfo::exists(record.fileName()))
        return fail(error, text("工程中有一次被中断的保存或改名尚未恢复，请重新打开工程。"));
    if (!record.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        return fail(error, text("无法写入%1：%2").arg(record.fileName(), record.errorString()));
    const QByteArray line = encodeLine(commit.fields);
    if (record.write(line) != line.size() || !record.flush() || !DiskSync::file(record.fileName())
        || !DiskSync::folder(projectDir)) {
        active = true;
        removeRecord();
        return fail(error, text("无法写入%1").arg(record.fileName()));
    }
    active = true;
    step("begun");
    return true;
}

QString ProjectJournal::absolute(const QString &relative) const
{
    return projectDir + QLatin1Char('/') + relative;
}

bool ProjectJournal::note(const QList<QStringList> &newEntries)
{
    if (!active || !record.isOpen())
        return false;
    QByteArray lines;
    for (const QStringList &entry : newEntries)
        lines += encodeLine(entry);
    if (record.write(lines) != lines.size() || !record.flush() || !DiskSync::file(record.fileName()))
        return false;
    entries += newEntries;
    step("noted");
    return true;
}

bool ProjectJournal::noteFolder(const QString &path)
{
    return note({{QStringLiteral("folder"), QDir(projectDir).relativeFilePath(path)}});
}

bool ProjectJournal::noteFiles(const QStringList &paths)
{
    QList<QStringList> newEntries;
    for (const QString &path : paths)
        newEntries.append({QStringLiteral("file"), QDir(projectDir).relativeFilePath(path)});
    return note(newEntries);
}

bool ProjectJournal::noteSize(const QString &path)
{
    const QFileInfo info(path);
    const qint64 size = info.exists() ? info.size() : -1;
    return note({{QStringLiteral("size"), QDir(projectDir).relativeFilePath(path), QString::number(size)}});
}

bool ProjectJournal::noteMoves(const QList<QPair<QString, QString>> &moves)
{
    QList<QStringList> newEntries;
    const QDir dir(projectDir);
    for (const auto &move : moves)
        newEntries.append({QStringLiteral("move"), dir.relativeFilePath(move.first), dir.relativeFilePath(move.second)});
    return note(newEntries);
}

bool ProjectJournal::noteRewrite(const QString &path, const QByteArray &before)
{
    return note({{QStringLiteral("text"), QDir(projectDir).relativeFilePath(path), QString::fromLatin1(before.toBase64())}});
}

// The files the entries name and the folders whose names they changed, as they are now.
bool ProjectJournal::syncTouched()
{
    QSet<QString> files;
    QSet<QString> folders;
    for (const QStringList &entry : qAsConst(entries)) {
        for (int i = 1; i < entry.size() && (i == 1 || entry.first() == QLatin1String("move")); ++i) {
            const QFileInfo info(absolute(entry.at(i)));
            (info.isDir() ? folders : files).insert(info.filePath());
            folders.insert(info.path());
        }
    }
    bool synced = true;
    for (const QString &path : qAsConst(files))
        synced = (!QFileInfo::exists(path) || DiskSync::file(path)) && synced;
    for (const QString &path : qAsConst(folders))
        synced = (!QFileInfo::exists(path) || DiskSync::folder(path)) && synced;
    return synced;
}

bool ProjectJournal::sync(QString *error)
{
    if (!syncTouched())
        return fail(error, text("文件无法写入磁盘"));
    step("synced");
    return true;
}

void ProjectJournal::removeRecord()
{
    if (!active)
        return;
    active = false;
    record.close();
    QFile::remove(record.fileName());
    DiskSync::folder(projectDir);
    entries.clear();
}

void ProjectJournal::finish()
{
    step("committed");
    removeRecord();
}

bool ProjectJournal::undoEntry(const QStringList &entry)
{
    const QString &kind = entry.first();
    const QString path = absolute(entry.at(1));
    const QFileInfo info(path);
    if (kind == QLatin1String("folder")) {
        // A folder that is not empty holds something the change did not make: it stays.
        if (info.isDir())
            QDir().rmdir(path);
        return true;
    }
    if (kind == QLatin1String("file"))
        return !info.exists() || QFile::remove(path);
    if (kind == QLatin1String("size")) {
        const qint64 size = entry.at(2).toLongLong();
        if (!info.exists())
            return true;
        return size < 0 ? QFile::remove(path) : (info.size() <= size || QFile::resize(path, size));
    }
    if (kind == QLatin1String("move")) {
        const QString to = absolute(entry.at(2));
        if (!QFileInfo::exists(to) && !QFileInfo(to).isSymLink())
            return true;
        return !QFileInfo::exists(path) && QDir().rename(to, path);
    }
    if (!info.exists())
        return true;
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(QByteArray::fromBase64(entry.at(2).toLatin1())) >= 0
           && file.commit();
}

bool ProjectJournal::undo(QString *error)
{
    if (!active)
        return true;
    QStringList failed;
    for (int i = entries.size() - 1; i >= 0; --i) {
        if (!undoEntry(entries.at(i)))
            failed << absolute(entries.at(i).at(1));
    }
    // The files as they were must be on the disk before the record goes.
    if (!syncTouched() && failed.isEmpty())
        failed << projectDir;
    if (!failed.isEmpty()) {
        record.close();
        active = false;
        return fail(error, text("无法恢复：%1").arg(failed.join(QLatin1Char('\n'))));
    }
    removeRecord();
    return true;
}

bool ProjectJournal::readRecord(QStringList *commit, QList<QStringList> *read, QString *error)
{
    QFile file(record.fileName());
    if (!file.open(QIODevice::ReadOnly))
        return fail(error, text("无法读取%1：%2").arg(file.fileName(), file.errorString()));
    QList<QByteArray> lines = file.readAll().split('\n');
    lines.removeLast(); // the text after the last line end: empty, or a line cut off
    if (lines.isEmpty())
        return true;
    *commit = decodeLine(lines.takeFirst());
    if (!isValidCheck(*commit))
        return fail(error, text("%1已损坏").arg(file.fileName()));
    for (const QByteArray &line : qAsConst(lines)) {
        read->append(decodeLine(line));
        if (!isValidEntry(read->last()))
            return fail(error, text("%1已损坏").arg(file.fileName()));
    }
    return true;
}

ProjectJournal::Recovery ProjectJournal::recover(const QString &projectDir, QSqlDatabase &db, QString *error)
{
    ProjectJournal journal(projectDir);
    if (projectDir.isEmpty() || !QFileInfo::exists(journal.record.fileName()))
        return Recovery::Nothing;
    QStringList commit;
    if (!journal.readRecord(&commit, &journal.entries, error))
        return Recovery::Failed;
    journal.active = true;
    if (commit.isEmpty()) {
        // Cut while the record was begun: nothing had changed yet.
        journal.removeRecord();
        return Recovery::Nothing;
    }
    bool known = false;
    const bool committed = hasCommitted(commit, db, &known);
    if (!known) {
        fail(error, text("工程数据库无法读取"));
        return Recovery::Failed;
    }
    if (committed) {
        journal.removeRecord();
        return Recovery::Committed;
    }
    return journal.undo(error) ? Recovery::Undone : Recovery::Failed;
}
