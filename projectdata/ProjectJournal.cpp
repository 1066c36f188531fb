#include "projectdata/ProjectJournal.h"

#include "projectdata/DiskSync.h"
#include "projectdata/FlushQueue.h"
#include "projectdata/ProjectFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QUrl>

// The record is text, one entry a line, its fields separated by tabs and percent-encoded. The
// first line is the commit check, the second the scope (the line or station folders the change is
// about); paths are relative to the project folder and lie in the scope:
//   scope <folder>...        the folders the entries may touch
//   folder <path>            a folder about to be made
//   file <path>              a file about to be made
//   size <path> <bytes>      a file about to be appended to, its size before (-1: absent)
//   move <from> <to>         a file or folder about to be renamed
//   text <path> <base64>     a file about to be rewritten, its bytes before
// A last line without its end was cut while being written: its change had not started. A line
// end may be CR LF (a record copied through another system).

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

const QString dataFolder = QStringLiteral("data");
const QString configName = QStringLiteral("config.ini");

// A path below the data folder in its plain form: relative, no "." or ".." part, no doubled or
// trailing slash. Never the database or the project's own files, which lie beside the data folder.
bool isUnderData(const QString &path)
{
    return path.startsWith(dataFolder + QLatin1Char('/')) && QDir::cleanPath(path) == path;
}

QString nameOf(const QString &path)
{
    return path.section(QLatin1Char('/'), -1);
}

QString parentOf(const QString &path)
{
    return path.section(QLatin1Char('/'), 0, -2);
}

// A line folder ("data/Line 5", depth 2) or a station folder ("data/Line 5/Station 100", depth 3).
bool isScopeFolder(const QString &path, int depth)
{
    const QStringList parts = path.split(QLatin1Char('/'));
    return isUnderData(path) && parts.size() == depth && parts.at(1).startsWith(QLatin1String("Line "))
           && (depth == 2 || parts.at(2).startsWith(QLatin1String("Station ")));
}

// The scope fits the change the check names: a save writes station folders of one line, a station
// rename moves one station folder within its line, a line rename moves one line folder.
bool isValidScope(const QStringList &commit, const QStringList &scope)
{
    if (scope.isEmpty())
        return false;
    const bool line = commit.at(1) == QLatin1String("value") && commit.at(2) == QLatin1String("Data_Line");
    const int depth = line ? 2 : 3;
    for (const QString &folder : scope) {
        if (!isScopeFolder(folder, depth) || parentOf(folder) != parentOf(scope.first()))
            return false;
    }
    return commit.at(1) == QLatin1String("rows") || scope.size() == 2;
}

bool isInScope(const QString &path, const QStringList &scope)
{
    for (const QString &folder : scope) {
        if (path == folder || path.startsWith(folder + QLatin1Char('/')))
            return true;
    }
    return false;
}

// A folder a save may make: a scope folder, a folder inside one, or one holding one.
bool isFolderOfScope(const QString &path, const QStringList &scope)
{
    if (path == dataFolder)
        return true;
    if (!isUnderData(path))
        return false;
    for (const QString &folder : scope) {
        if (folder.startsWith(path + QLatin1Char('/')))
            return true;
    }
    return isInScope(path, scope);
}

// A channel file inside a scope folder.
bool isChannelFile(const QString &path, const QStringList &scope)
{
    return isUnderData(path) && isInScope(path, scope) && !scope.contains(path)
           && nameOf(path).endsWith(QLatin1String(".ats"));
}

bool isConfigFile(const QString &path, const QStringList &scope)
{
    return isUnderData(path) && isInScope(path, scope) && nameOf(path) == configName;
}

// Only what a save or rename writes, inside the record's scope.
bool isValidEntry(const QStringList &entry, const QStringList &scope)
{
    if (entry.isEmpty() || fieldsOf(entry.first()) != entry.size() - 1)
        return false;
    const QString &kind = entry.first();
    const QString &path = entry.at(1);
    if (kind == QLatin1String("folder"))
        return isFolderOfScope(path, scope);
    if (kind == QLatin1String("file"))
        return isChannelFile(path, scope);
    if (kind == QLatin1String("text"))
        return isConfigFile(path, scope);
    if (kind == QLatin1String("size")) {
        bool ok = false;
        return isConfigFile(path, scope) && entry.at(2).toLongLong(&ok) >= -1 && ok;
    }
    const QString &to = entry.at(2);
    if (scope.contains(path) && scope.contains(to))
        return path != to;
    return isChannelFile(path, scope) && isChannelFile(to, scope) && parentOf(path) == parentOf(to);
}

// QSaveFile's temporary file beside the file it replaces: "<name>.XXXXXX".
bool isLeftoverOf(const QString &name, const QString &candidate)
{
    static const QRegularExpression suffix(QStringLiteral("^\\.[A-Za-z0-9]{6}$"));
    return candidate.startsWith(name) && suffix.match(candidate.mid(name.size())).hasMatch();
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

bool ProjectJournal::begin(const Commit &commit, const QStringList &scope, QString *error)
{
    if (projectDir.isEmpty())
        return fail(error, text("没有打开的工程"));
    if (QFileInfo::exists(record.fileName())) {
        ProjectJournal kept(projectDir);
        QStringList keptCommit;
        QString why;
        if (kept.readRecord(&keptCommit, &why) == Read::Damaged)
            return fail(error, text("工程中有一次被中断的保存或改名无法恢复：%1\n请重新打开工程，按提示把它移开。").arg(why));
        return fail(error, text("工程中有一次被中断的保存或改名尚未恢复，请重新打开工程。"));
    }
    if (!record.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        return fail(error, text("无法写入%1：%2").arg(record.fileName(), record.errorString()));
    const QDir dir(projectDir);
    QStringList scopeLine{QStringLiteral("scope")};
    for (const QString &folder : scope)
        scopeLine << dir.relativeFilePath(folder);
    const QByteArray lines = encodeLine(commit.fields) + encodeLine(scopeLine);
    if (record.write(lines) != lines.size() || !record.flush() || !DiskSync::file(record.fileName())
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

// The files the entries name and the folders whose entries they changed, as they are now, in the
// order of the entries.
bool ProjectJournal::syncTouched()
{
    FlushQueue flushes;
    for (const QStringList &entry : qAsConst(entries)) {
        const bool move = entry.first() == QLatin1String("move");
        for (int i = 1; i < entry.size() && (i == 1 || move); ++i) {
            if (!move)
                flushes.addFile(absolute(entry.at(i)));
            flushes.addEntryOf(absolute(entry.at(i)));
        }
    }
    return flushes.flush();
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
    // The database's commit is the removal of its own journal beside it in the project folder,
    // which SQLite does not wait for: it is on the disk before this record goes, or a power cut
    // could keep the removal of the record and roll the commit back.
    DiskSync::folder(projectDir);
    removeRecord();
}

// Where the file noted at relative is now: under that name, or under a moved folder's old name
// when the folder's move did not reach the disk or was already undone.
QStringList ProjectJournal::namesOf(const QString &relative) const
{
    QStringList names{absolute(relative)};
    for (const QStringList &entry : entries) {
        if (entry.first() == QLatin1String("move") && relative.startsWith(entry.at(2) + QLatin1Char('/')))
            names << absolute(entry.at(1) + relative.mid(entry.at(2).size()));
    }
    return names;
}

// The temporary files a rewrite of path cut off by a crash left beside it.
void ProjectJournal::removeLeftovers(const QString &path, FlushQueue &flushes) const
{
    const QFileInfo info(path);
    const QString name = info.fileName();
    for (const QFileInfo &entry : QDir(info.path()).entryInfoList({name + QStringLiteral(".*")}, QDir::Files | QDir::Hidden)) {
        if (isLeftoverOf(name, entry.fileName()) && QFile::remove(entry.filePath()))
            flushes.addEntryOf(entry.filePath());
    }
}

// Where a full disk leaves no room for a copy beside it, the file's own blocks take its former
// text: safe, since the record keeps that text until the undo is through and a cut overwrite is
// done again at the next opening.
bool ProjectJournal::overwriteInPlace(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.size() >= bytes.size() && file.open(QIODevice::ReadWrite | QIODevice::Unbuffered)
           && file.write(bytes) == bytes.size() && file.resize(bytes.size());
}

bool ProjectJournal::undoEntry(const QStringList &entry, FlushQueue &flushes)
{
    const QString &kind = entry.first();
    const QString path = absolute(entry.at(1));
    const QFileInfo info(path);
    if (kind == QLatin1String("folder")) {
        // A folder that is not empty holds something the change did not make: it stays.
        if (info.isDir() && QDir().rmdir(path))
            flushes.addEntryOf(path);
        return true;
    }
    if (kind == QLatin1String("file")) {
        flushes.addEntryOf(path);
        return !info.exists() || QFile::remove(path);
    }
    if (kind == QLatin1String("size")) {
        const qint64 size = entry.at(2).toLongLong();
        flushes.addFile(path);
        flushes.addEntryOf(path);
        if (!info.exists())
            return true;
        return size < 0 ? QFile::remove(path) : (info.size() <= size || QFile::resize(path, size));
    }
    if (kind == QLatin1String("move")) {
        const QString to = absolute(entry.at(2));
        const QFileInfo moved(to);
        if (!moved.exists() && !moved.isSymLink())
            return true;
        // What was put back inside a folder is on the disk before the folder takes its old name.
        if (moved.isDir() && !flushes.flush())
            return false;
        flushes.addEntryOf(to);
        flushes.addEntryOf(path);
        return !QFileInfo::exists(path) && QDir().rename(to, path);
    }
    QString found;
    for (const QString &name : namesOf(entry.at(1))) {
        removeLeftovers(name, flushes);
        if (found.isEmpty() && QFileInfo(name).isFile())
            found = name;
    }
    if (found.isEmpty())
        return true;
    flushes.addFile(found);
    flushes.addEntryOf(found);
    const QByteArray before = QByteArray::fromBase64(entry.at(2).toLatin1());
    return ProjectFolder::writeWhole(found, before) || overwriteInPlace(found, before);
}

bool ProjectJournal::undo(QString *error)
{
    if (!active)
        return true;
    QStringList failed;
    FlushQueue flushes;
    for (int i = entries.size() - 1; i >= 0; --i) {
        if (!undoEntry(entries.at(i), flushes))
            failed << absolute(entries.at(i).at(1));
    }
    // The files as they were must be on the disk before the record goes.
    if (!flushes.flush() && failed.isEmpty())
        failed << projectDir;
    if (!failed.isEmpty()) {
        record.close();
        active = false;
        return fail(error, text("无法恢复：%1").arg(failed.join(QLatin1Char('\n'))));
    }
    removeRecord();
    return true;
}

ProjectJournal::Read ProjectJournal::readRecord(QStringList *commit, QString *error)
{
    QFile file(record.fileName());
    if (!file.open(QIODevice::ReadOnly)) {
        fail(error, text("无法读取%1：%2").arg(file.fileName(), file.errorString()));
        return Read::Unreadable;
    }
    QList<QByteArray> lines = file.readAll().split('\n');
    lines.removeLast(); // the text after the last line end: empty, or a line cut off
    for (QByteArray &line : lines) {
        if (line.endsWith('\r'))
            line.chop(1);
    }
    // Cut while the record was begun (nothing had changed yet) when it lacks its scope.
    if (lines.size() < 2)
        return Read::Ok;
    *commit = decodeLine(lines.at(0));
    const QStringList scope = decodeLine(lines.at(1)).mid(1);
    if (!isValidCheck(*commit) || !decodeLine(lines.at(1)).startsWith(QStringLiteral("scope"))
        || !isValidScope(*commit, scope)) {
        fail(error, text("第1、2行不是一次保存或修改点线号的记录"));
        return Read::Damaged;
    }
    for (int i = 2; i < lines.size(); ++i) {
        entries.append(decodeLine(lines.at(i)));
        if (!isValidEntry(entries.last(), scope)) {
            fail(error, text("第%1行（%2）不是这次修改会写的文件或文件夹")
                            .arg(i + 1)
                            .arg(entries.last().mid(0, 3).join(QLatin1Char(' '))));
            entries.clear();
            return Read::Damaged;
        }
    }
    return Read::Ok;
}

ProjectJournal::Recovery ProjectJournal::recover(const QString &projectDir, QSqlDatabase &db, QString *error)
{
    ProjectJournal journal(projectDir);
    if (projectDir.isEmpty() || !QFileInfo::exists(journal.record.fileName()))
        return Recovery::Nothing;
    QStringList commit;
    switch (journal.readRecord(&commit, error)) {
    case Read::Unreadable:
        return Recovery::Failed;
    case Read::Damaged:
        return Recovery::Damaged;
    case Read::Ok:
        break;
    }
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

bool ProjectJournal::setAside(const QString &projectDir, QString *aside, QString *error)
{
    const QString path = pathIn(projectDir);
    QString target = path + QStringLiteral(".bad");
    for (int n = 2; QFileInfo::exists(target) || QFileInfo(target).isSymLink(); ++n)
        target = path + QStringLiteral(".bad") + QString::number(n);
    if (!QFile::rename(path, target))
        return fail(error, text("无法把%1改名为%2").arg(path, target));
    DiskSync::folder(projectDir);
    if (aside)
        *aside = target;
    return true;
}
