#include "StoreTestSupport.h"

#include "store/LibHORM.h"

#include <QDir>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QtDebug>
#include <QVariant>

#include <sqlite3.h>

SqlTrace::SqlTrace(LibHORM &store)
{
    const QVariant driverHandle = store.database()->driver()->handle();
    if (qstrcmp(driverHandle.typeName(), "sqlite3*") == 0)
        handle = *static_cast<sqlite3 *const *>(driverHandle.constData());
    if (handle)
        sqlite3_trace_v2(handle, SQLITE_TRACE_STMT, &SqlTrace::onStatement, this);
}

SqlTrace::~SqlTrace()
{
    if (handle)
        sqlite3_trace_v2(handle, 0, nullptr, nullptr);
}

QStringList SqlTrace::take()
{
    QMutexLocker locker(&mutex);
    QStringList taken;
    taken.swap(statements);
    return taken;
}

int SqlTrace::onStatement(unsigned, void *context, void *, void *text)
{
    auto *trace = static_cast<SqlTrace *>(context);
    QMutexLocker locker(&trace->mutex);
    trace->statements << QString::fromUtf8(static_cast<const char *>(text));
    return 0;
}

bool execSql(LibHORM &store, const QString &sql)
{
    QSqlQuery query(*store.database());
    if (query.exec(sql))
        return true;
    qWarning() << sql << "failed:" << query.lastError().text();
    return false;
}

namespace {
QMutex logMutex;
QStringList logged;
} // namespace

MessageLog::MessageLog()
{
    QMutexLocker locker(&logMutex);
    logged.clear();
    previous = qInstallMessageHandler(&MessageLog::collect);
}

MessageLog::~MessageLog()
{
    qInstallMessageHandler(previous);
}

QStringList MessageLog::messages() const
{
    QMutexLocker locker(&logMutex);
    return logged;
}

void MessageLog::collect(QtMsgType, const QMessageLogContext &, const QString &message)
{
    QMutexLocker locker(&logMutex);
    logged << message;
}

namespace {

// The rows of every statement, each a line of its columns joined by '|', NULL as nothing: what
// the sqlite3 client prints in its list mode. Stops at the first failing statement.
bool readRows(sqlite3 *db, const QByteArray &sql, QStringList *rows)
{
    const char *next = sql.constData();
    while (*next) {
        sqlite3_stmt *statement = nullptr;
        if (sqlite3_prepare_v2(db, next, -1, &statement, &next) != SQLITE_OK)
            return false;
        if (!statement)
            continue; // only a comment or blanks
        int step;
        while ((step = sqlite3_step(statement)) == SQLITE_ROW) {
            QStringList cells;
            for (int c = 0; c < sqlite3_column_count(statement); ++c)
                cells << QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(statement, c)));
            *rows << cells.join(QLatin1Char('|'));
        }
        sqlite3_finalize(statement);
        if (step != SQLITE_DONE)
            return false;
    }
    return true;
}

} // namespace

// A connection of its own in this process rather than the client in a child: a child forked from
// a test with many threads (under the thread sanitizer) can hang before it runs.
QString sqliteCli(const QString &file, const QString &sql)
{
    sqlite3 *db = nullptr;
    QStringList rows;
    const bool read = sqlite3_open_v2(file.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK
                      && readRows(db, sql.toUtf8(), &rows);
    const QString failure = read ? QString() : QString::fromUtf8(db ? sqlite3_errmsg(db) : "out of memory");
    sqlite3_close(db);
    if (!read)
        return QStringLiteral("sqlite3 failed: ") + failure;
    return rows.join(QLatin1Char('\n')).trimmed();
}

QString ProjectFiles::path(const QString &name) const
{
    return dir.filePath(name);
}

QStringList ProjectFiles::failedIntegrity() const
{
    QStringList failed;
    const QStringList files = QDir(dir.path()).entryList(QDir::Files);
    for (const QString &name : files) {
        if (sqliteCli(dir.filePath(name), QStringLiteral("PRAGMA integrity_check;")) != QLatin1String("ok"))
            failed << name;
    }
    return failed;
}
