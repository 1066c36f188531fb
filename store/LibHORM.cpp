#include "store/LibHORM.h"

#include <QMetaClassInfo>
#include <QMetaProperty>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlField>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QThread>
#include <QtDebug>

#include <atomic>
#include <utility>

#include <sqlite3.h>

namespace {

std::atomic<bool> assertOnWrongThread{true};

// The SQLite connection under a QSQLITE database, null for any other driver.
sqlite3 *sqliteHandle(const QSqlDatabase &db)
{
    const QVariant handle = db.driver() ? db.driver()->handle() : QVariant();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0)
        return nullptr;
    return *static_cast<sqlite3 *const *>(handle.data());
}

int propertyType(const QMetaObject *meta, const char *name)
{
    const int index = meta->indexOfProperty(name);
    return index < 0 ? QMetaType::UnknownType : meta->property(index).userType();
}

} // namespace

LibHORM::LibHORM(QObject *parent)
    : QObject(parent)
{
}

LibHORM::~LibHORM()
{
    releaseConnection();
}

bool LibHORM::openDatabase(const QString &driverName, const QString &databaseName, const QString &hostName,
                           const QString &userName, const QString &password, int port)
{
    if (db) {
        qWarning() << "LibHORM: already holds" << connectionName << "; not opening" << databaseName;
        return false;
    }
    if (databaseName.isEmpty()) {
        qWarning() << "LibHORM: no database name given";
        return false;
    }
    // Qt would replace a connection of the same name under its open queries.
    if (QSqlDatabase::contains(databaseName)) {
        qWarning() << "LibHORM:" << databaseName << "is already open";
        return false;
    }
    db = std::make_unique<QSqlDatabase>(QSqlDatabase::addDatabase(driverName, databaseName));
    db->setDatabaseName(databaseName);
    db->setHostName(hostName);
    db->setPort(port);
    if (!db->open(userName, password)) {
        qWarning() << "LibHORM: cannot open" << databaseName << ":" << db->lastError().text();
        db.reset();
        QSqlDatabase::removeDatabase(databaseName);
        return false;
    }
    connectionName = databaseName;
    ownerThread = QThread::currentThread();
    return true;
}

bool LibHORM::openSqlite(const QString &filePath)
{
    return openDatabase(QStringLiteral("QSQLITE"), filePath, QString(), QString(), QString(), 0);
}

void LibHORM::releaseConnection()
{
    if (!db)
        return;
    db->close();
    db.reset();
    QSqlDatabase::removeDatabase(connectionName);
    ownerThread = nullptr;
    transactionBegun = false;
}

QSqlDatabase *LibHORM::database() const
{
    // Asking whether a file is open is no error; only the wrong thread is.
    if (!db)
        return nullptr;
    return checkCaller(this, "LibHORM::database") ? db.get() : nullptr;
}

bool LibHORM::checkCaller(const LibHORM *store, const char *entryPoint)
{
    if (!store || !store->db) {
        qWarning("%s: no project database is open", entryPoint);
        return false;
    }
    if (QThread::currentThread() == store->ownerThread)
        return true;
    qWarning("%s: called from a thread that does not own the project database; nothing done", entryPoint);
    Q_ASSERT_X(!assertOnWrongThread, entryPoint, "the store is used from a thread that does not own its connection");
    return false;
}

void LibHORM::setAssertOnWrongThread(bool enabled)
{
    assertOnWrongThread = enabled;
}

void LibHORM::noteReadFailure(const QString &error)
{
    if (readFailure.isEmpty())
        readFailure = error;
    emit readFailed(error);
}

QString LibHORM::takeReadFailure()
{
    return std::exchange(readFailure, QString());
}

bool LibHORM::transaction()
{
    if (!checkCaller(this, "LibHORM::transaction"))
        return false;
    failure.clear();
    if (db->transaction()) {
        transactionBegun = true;
        return true;
    }
    qWarning() << "LibHORM: cannot begin a transaction:" << db->lastError().text();
    return false;
}

bool LibHORM::commit()
{
    if (!checkCaller(this, "LibHORM::commit"))
        return false;
    // A transaction SQLite has already rolled back must not be reported as committed.
    if (transactionBegun && !transactionOpen()) {
        qWarning() << "LibHORM: the transaction was rolled back by the database before the commit:" << engineError();
        transactionBegun = false;
        return false;
    }
    transactionBegun = false;
    if (db->commit())
        return true;
    noteFailure(db->lastError().databaseText());
    qWarning() << "LibHORM: commit failed, rolling back:" << db->lastError().text();
    db->rollback();
    return false;
}

bool LibHORM::rollback()
{
    if (!checkCaller(this, "LibHORM::rollback"))
        return false;
    transactionBegun = false;
    return !transactionOpen() || db->rollback();
}

bool LibHORM::transactionOpen() const
{
    if (!checkCaller(this, "LibHORM::transactionOpen"))
        return false;
    sqlite3 *handle = sqliteHandle(*db);
    // Other drivers cannot tell: only the store's own record is known.
    return handle ? sqlite3_get_autocommit(handle) == 0 : transactionBegun;
}

bool LibHORM::writeAllowed(const char *entryPoint) const
{
    if (!checkCaller(this, entryPoint))
        return false;
    if (!transactionBegun || transactionOpen())
        return true;
    qWarning("%s: the transaction was rolled back by the database; nothing written outside it", entryPoint);
    return false;
}

void LibHORM::noteFailure(const QString &reason)
{
    if (failure.isEmpty())
        failure = reason;
}

QString LibHORM::engineError() const
{
    if (!checkCaller(this, "LibHORM::engineError"))
        return QString();
    if (!failure.isEmpty())
        return failure;
    sqlite3 *handle = sqliteHandle(*db);
    return handle ? QString::fromUtf8(sqlite3_errmsg(handle)) : db->lastError().text();
}

bool LibHORM::createTable(const QMetaObject *meta)
{
    if (!checkCaller(this, "LibHORM::createTable"))
        return false;
    registerClassInfo(meta);
    const QString table = QString::fromLatin1(meta->className());
    QString keyName;
    QString keyType;
    getKeyInfo(table, keyName, keyType);
    TableColumns wanted;
    getColumns(table, wanted.names, wanted.types);

    const TableColumns existing = probeTable(table);
    if (existing.names.isEmpty())
        return execInTransaction(createTableSql(meta));
    // The key column leads the table and takes no part in the comparison.
    const int skip = keyName.isEmpty() ? 0 : 1;
    return upgradeTable(table, wanted, {existing.names.mid(skip), existing.types.mid(skip)});
}

LibHORM::TableColumns LibHORM::probeTable(const QString &table) const
{
    TableColumns found;
    QSqlQuery query(*db);
    if (!query.exec(QStringLiteral("select * from %1 LIMIT 0").arg(table)))
        return found; // a failed probe counts as a missing table
    const QSqlRecord record = query.record();
    for (int i = 0; i < record.count(); ++i) {
        found.names << record.fieldName(i);
        found.types << sqlTypeName(int(record.field(i).type()));
    }
    return found;
}

bool LibHORM::upgradeTable(const QString &table, const TableColumns &wanted, const TableColumns &existing)
{
    QStringList alters;
    QStringList changed;
    for (int i = 0; i < wanted.names.size(); ++i) {
        const int at = existing.names.indexOf(wanted.names.at(i));
        if (at < 0)
            alters << QStringLiteral("ALTER TABLE %1 ADD COLUMN %2 %3").arg(table, wanted.names.at(i), wanted.types.at(i));
        else if (existing.types.at(at) != wanted.types.at(i))
            changed << wanted.names.at(i);
    }
    QStringList undeclared;
    for (const QString &name : existing.names) {
        if (!wanted.names.contains(name))
            undeclared << name;
    }
    // Columns are only ever added: a changed or undeclared column keeps its data.
    if (!changed.isEmpty() || !undeclared.isEmpty())
        qWarning() << "LibHORM: table" << table << "left as it is for columns of another type" << changed
                   << "and columns its class does not declare" << undeclared;
    if (alters.isEmpty())
        return false;
    return execInTransaction(alters);
}

bool LibHORM::execInTransaction(const QStringList &statements)
{
    if (!transaction())
        return false;
    {
        QSqlQuery query(*db);
        for (const QString &statement : statements) {
            if (!query.exec(statement)) {
                qWarning() << "LibHORM:" << statement << "failed:" << query.lastError().text();
                query.finish();
                rollback();
                return false;
            }
        }
    }
    return commit();
}

void LibHORM::registerClassInfo(const QMetaObject *meta)
{
    if (!checkCaller(this, "LibHORM::registerClassInfo"))
        return;
    const QString className = QString::fromLatin1(meta->className());
    QStringList names;
    QStringList types;
    QStringList children;
    for (int i = 0; i < meta->classInfoCount(); ++i) {
        const QMetaClassInfo info = meta->classInfo(i);
        const QString name = QString::fromLatin1(info.name());
        const QByteArray role = info.value();
        if (role == "DB_REFFENCE")
            children << name;
        if (meta->indexOfProperty(info.name()) < 0)
            continue;
        const QString type = sqlTypeName(propertyType(meta, info.name()));
        if (role == "DB") {
            names << name;
            types << type;
        } else if (role == "DB_KEY") {
            const int at = names.indexOf(name);
            if (at >= 0) {
                names.removeAt(at);
                types.removeAt(at);
            }
            keyNames[className] = name;
            keyTypes[className] = type;
        }
    }
    columnNames[className] = names;
    columnTypes[className] = types;
    childClasses[className] = children;
}

QStringList LibHORM::createTableSql(const QMetaObject *meta) const
{
    const QString table = QString::fromLatin1(meta->className());
    QStringList columns;
    QStringList types;
    QStringList indexes;
    QString key;
    for (int i = 0; i < meta->classInfoCount(); ++i) {
        const QMetaClassInfo info = meta->classInfo(i);
        const QByteArray role = info.value();
        if (role == "DB") {
            columns << QString::fromLatin1(info.name());
            types << sqlTypeName(propertyType(meta, info.name()));
        } else if (role == "DB_KEY") {
            key = QString::fromLatin1(info.name());
        } else if (role == "DB_INDEX") {
            indexes << QString::fromLatin1(info.name());
        }
    }
    QString items;
    for (int i = 0; i < columns.size(); ++i) {
        items += QStringLiteral("%1 %2 ").arg(columns.at(i), types.at(i));
        if (columns.at(i) == key)
            items += QLatin1String("NOT NULL PRIMARY KEY AUTOINCREMENT ");
        if (i + 1 < columns.size())
            items += QLatin1String(", ");
    }
    QStringList statements{QStringLiteral("CREATE TABLE %1 (%2);").arg(table, items)};
    for (const QString &column : indexes)
        statements << QStringLiteral("CREATE INDEX IDX_%1_%2_ ON %1 ( %2 );").arg(table, column);
    return statements;
}

QString LibHORM::sqlTypeName(int metaTypeId)
{
    switch (metaTypeId) {
    case QMetaType::Bool:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Long:
    case QMetaType::Short:
    case QMetaType::Char:
    case QMetaType::ULong:
    case QMetaType::UShort:
    case QMetaType::UChar:
        return QStringLiteral("INTEGER");
    case QMetaType::Double:
    case QMetaType::Float:
        return QStringLiteral("REAL");
    case QMetaType::QString:
        return QStringLiteral("TEXT");
    case QMetaType::QByteArray:
    case QMetaType::QBitArray:
        return QStringLiteral("BLOB");
    default:
        return QStringLiteral("NULL");
    }
}

bool LibHORM::getKeyInfo(const QString &className, QString &keyName, QString &keyType) const
{
    if (!checkCaller(this, "LibHORM::getKeyInfo") || !keyNames.contains(className) || !keyTypes.contains(className))
        return false;
    keyName = keyNames.value(className);
    keyType = keyTypes.value(className);
    return true;
}

bool LibHORM::getColumns(const QString &className, QStringList &names, QStringList &types) const
{
    if (!checkCaller(this, "LibHORM::getColumns") || !columnNames.contains(className) || !columnTypes.contains(className))
        return false;
    names = columnNames.value(className);
    types = columnTypes.value(className);
    return true;
}

bool LibHORM::getReferences(const QString &className, QStringList &childClassNames) const
{
    if (!checkCaller(this, "LibHORM::getReferences") || !childClasses.contains(className))
        return false;
    childClassNames = childClasses.value(className);
    return true;
}
