#ifndef STORETESTSUPPORT_H
#define STORETESTSUPPORT_H

#include <QMutex>
#include <QtGlobal>
#include <QStringList>
#include <QTemporaryDir>

class LibHORM;
struct sqlite3;

// Records the text of every statement that SQLite runs on a store's connection, in order,
// whichever thread runs it.
class SqlTrace
{
public:
    explicit SqlTrace(LibHORM &store);
    ~SqlTrace();
    SqlTrace(const SqlTrace &) = delete;
    SqlTrace &operator=(const SqlTrace &) = delete;

    // The statements since the last call.
    QStringList take();

private:
    static int onStatement(unsigned type, void *context, void *statement, void *text);

    sqlite3 *handle = nullptr;
    QMutex mutex;
    QStringList statements;
};

// Runs a statement on the store's own connection (to prepare a file or break it on purpose).
bool execSql(LibHORM &store, const QString &sql);

// Collects every message logged while it lives, instead of printing it.
class MessageLog
{
public:
    MessageLog();
    ~MessageLog();
    MessageLog(const MessageLog &) = delete;
    MessageLog &operator=(const MessageLog &) = delete;

    QStringList messages() const;

private:
    static void collect(QtMsgType type, const QMessageLogContext &context, const QString &message);

    QtMessageHandler previous = nullptr;
};

// What another connection sees in the file, read-only, as the sqlite3 command-line client prints
// it in its list mode; "sqlite3 failed: " and the reason when it cannot be read.
QString sqliteCli(const QString &file, const QString &sql);

// A temporary folder for project files. failedIntegrity() names every file in it whose
// PRAGMA integrity_check is not "ok".
class ProjectFiles
{
public:
    QString path(const QString &name) const;
    QStringList failedIntegrity() const;

private:
    QTemporaryDir dir;
};

#endif // STORETESTSUPPORT_H
