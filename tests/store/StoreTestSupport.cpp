#include "StoreTestSupport.h"

#include "store/LibHORM.h"

#include <QDir>
#include <QProcess>
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

QString sqliteCli(const QString &file, const QString &sql)
{
    QProcess cli;
    cli.start(QStringLiteral("sqlite3"), {QStringLiteral("-batch"), QStringLiteral("-readonly"), file, sql});
    if (!cli.waitForFinished(30000) || cli.exitCode() != 0)
        return QStringLiteral("sqlite3 failed: ") + QString::fromUtf8(cli.readAllStandardError());
    return QString::fromUtf8(cli.readAllStandardOutput()).trimmed();
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
