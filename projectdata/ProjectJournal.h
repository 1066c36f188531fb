#ifndef PROJECTJOURNAL_H
#define PROJECTJOURNAL_H

#include <QFile>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QVariant>

class FlushQueue;
class QSqlDatabase;

// The record, in the project folder, of what a save or a rename changes among the project's
// files, written ahead of the changes: every entry is on the disk before its change starts. It
// also says how the database shows that the change committed. The record is removed once the
// database has committed; a project that still holds one was cut off (a crash, a power cut), and
// opening it puts the files back as the database has them. The record names the line or station
// folders the change is about: an entry outside them, or not of a kind a save or rename writes,
// makes the record damaged, and a damaged record changes nothing.
class ProjectJournal
{
public:
    // How the database shows that the change committed.
    struct Commit
    {
        // A row of the table with an ID above maxId exists (a save adds rows).
        static Commit rowsAfter(const QString &table, int maxId);
        // The row's column holds the value (a rename).
        static Commit value(const QString &table, int id, const QString &column, const QVariant &value);
        QStringList fields;
    };
    enum class Recovery { Nothing, Committed, Undone, Failed, Damaged };

    explicit ProjectJournal(const QString &projectDir);

    static QString pathIn(const QString &projectDir);

    // Starts the record of a change within the scope's folders (line or station folders under the
    // data folder); false when the project still holds an unfinished one or it cannot be written.
    bool begin(const Commit &commit, const QStringList &scope, QString *error);
    // Each note is on the disk when it returns true; the caller makes the change only then.
    bool noteFolder(const QString &path);
    bool noteFiles(const QStringList &paths);
    // A file about to be appended to: its size now (an absent file is removed by the undo).
    bool noteSize(const QString &path);
    bool noteMoves(const QList<QPair<QString, QString>> &moves);
    bool noteRewrite(const QString &path, const QByteArray &before);
    // Waits until every noted file and folder is on the disk; called before the database commits.
    bool sync(QString *error);
    // The database has committed: the record goes.
    void finish();
    // Puts back what the notes name, newest first, then removes the record. False, with the record
    // kept for the next opening of the project, when a step fails.
    bool undo(QString *error);

    // Opening a project: finishes or undoes the change a kept record names. A damaged record is
    // kept untouched, error saying what is wrong with it.
    static Recovery recover(const QString &projectDir, QSqlDatabase &db, QString *error);
    // Moves a kept record aside (to "project.journal.bad", numbered when that is taken); aside is
    // where it went.
    static bool setAside(const QString &projectDir, QString *aside, QString *error);

    // Crash tests name the steps of a change: called with each step's name, a no-op unless set.
    using StepHook = void (*)(const char *step);
    static void setStepHook(StepHook hook);
    static void step(const char *name);

private:
    enum class Read { Ok, Unreadable, Damaged };

    bool note(const QList<QStringList> &entries);
    Read readRecord(QStringList *commit, QString *error);
    bool undoEntry(const QStringList &entry, FlushQueue &flushes);
    static bool overwriteInPlace(const QString &path, const QByteArray &bytes);
    QStringList namesOf(const QString &relative) const;
    void removeLeftovers(const QString &path, FlushQueue &flushes) const;
    QString absolute(const QString &relative) const;
    bool syncTouched();
    void removeRecord();

    QString projectDir;
    QFile record;
    QList<QStringList> entries;
    // The record is this journal's own: begun by it, or read back to be recovered.
    bool active = false;
};

#endif // PROJECTJOURNAL_H
