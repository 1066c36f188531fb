#ifndef HORM_COLLECTIONSQL_H
#define HORM_COLLECTIONSQL_H

#include <QSqlRecord>
#include <QStringList>
#include <QVector>

class QSqlDatabase;

// The statements of a collection and their execution, apart from the class template so that
// every stored class shares one copy.
namespace HORM_CollectionSql {

// Names of the class-information entries with the given role, base class first.
QStringList classInfoNames(const QMetaObject *meta, const char *role);
QString countSql(const QString &table, const QString &filter);
QString selectSql(const QStringList &columns, const QString &table, const QString &filter, const QString &order);
// Sets count from the statement's TOTALROWS; leaves it as it was, and returns the database's
// error, when the statement fails.
QString readCount(QSqlDatabase &db, const QString &sql, int &count);
// The rows of the statement; the database's error when it fails, also part-way through the rows.
QString readRows(QSqlDatabase &db, const QString &sql, QVector<QSqlRecord> &rows);

} // namespace HORM_CollectionSql

#endif // HORM_COLLECTIONSQL_H
