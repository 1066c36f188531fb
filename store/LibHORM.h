#ifndef LIBHORM_H
#define LIBHORM_H

#include <QMap>
#include <QObject>
#include <QStringList>

#include <memory>

class QSqlDatabase;
class QThread;

// The database object of one open project file: its SQLite connection, the registry of the
// stored classes' tables, and the creation or upgrade of those tables.
//
// The connection belongs to the thread that opened it. Every entry point of the store (this
// class, stored objects and collections) refuses to run on any other thread: it executes nothing
// and reports false. In debug builds it also asserts, unless setAssertOnWrongThread(false).
class LibHORM : public QObject
{
    Q_OBJECT

public:
    explicit LibHORM(QObject *parent = nullptr);
    ~LibHORM() override;

    bool openDatabase(const QString &driverName, const QString &databaseName, const QString &hostName,
                      const QString &userName, const QString &password, int port);
    bool openSqlite(const QString &filePath);

    // Null when no connection is open or when called from a thread that does not own it.
    QSqlDatabase *database() const;

    bool transaction();
    // Rolls back when the commit fails; the result tells the caller which happened.
    bool commit();
    bool rollback();
    // True while the transaction begun by transaction() is still open. SQLite ends it by itself on
    // some failed statements (a full disk among them); a later write would then commit on its own.
    bool transactionOpen() const;
    // False, with the refusal logged, when the transaction begun here has ended underneath its
    // caller: every write of the store asks first.
    bool writeAllowed(const char *entryPoint) const;
    // The database's text for the first write or commit that failed in the current transaction,
    // or else for the last failed statement on the connection.
    QString engineError() const;
    // Remembers why a write failed (the statements that follow it reset the engine's text).
    void noteFailure(const QString &reason);

    bool createTable(const QMetaObject *meta);
    void registerClassInfo(const QMetaObject *meta);
    QStringList createTableSql(const QMetaObject *meta) const;
    static QString sqlTypeName(int metaTypeId);

    bool getKeyInfo(const QString &className, QString &keyName, QString &keyType) const;
    bool getColumns(const QString &className, QStringList &names, QStringList &types) const;
    bool getReferences(const QString &className, QStringList &childClassNames) const;

    // A collection could not read its rows: the file is damaged or not what the classes expect.
    // The first failure is kept until taken; readFailed tells of each.
    void noteReadFailure(const QString &error);
    QString takeReadFailure();

    // True when the store exists, has an open connection and the caller runs on the thread that
    // opened it; logs the refusal otherwise. Every entry point of the store begins with it.
    static bool checkCaller(const LibHORM *store, const char *entryPoint);
    static void setAssertOnWrongThread(bool enabled);

signals:
    void readFailed(const QString &error);

private:
    struct TableColumns
    {
        QStringList names;
        QStringList types;
    };

    TableColumns probeTable(const QString &table) const;
    bool execInTransaction(const QStringList &statements);
    bool upgradeTable(const QString &table, const TableColumns &wanted, const TableColumns &existing);
    void releaseConnection();

    QString connectionName;
    std::unique_ptr<QSqlDatabase> db;
    QThread *ownerThread = nullptr;
    QString readFailure;
    // A transaction begun by transaction() and not yet committed or rolled back through the store.
    bool transactionBegun = false;
    // Why the first write or commit since transaction() failed.
    QString failure;
    QMap<QString, QString> keyNames;
    QMap<QString, QString> keyTypes;
    QMap<QString, QStringList> columnNames;
    QMap<QString, QStringList> columnTypes;
    QMap<QString, QStringList> childClasses;
};

#endif // LIBHORM_H
