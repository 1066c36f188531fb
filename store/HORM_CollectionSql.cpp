#include "store/HORM_CollectionSql.h"

#include <QMetaClassInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QtDebug>

namespace HORM_CollectionSql {

QStringList classInfoNames(const QMetaObject *meta, const char *role)
{
    QStringList names;
    for (int i = 0; i < meta->classInfoCount(); ++i) {
        const QMetaClassInfo info = meta->classInfo(i);
        if (qstrcmp(info.value(), role) == 0)
            names << QString::fromLatin1(info.name());
    }
    return names;
}

QString countSql(const QString &table, const QString &filter)
{
    QString sql = QStringLiteral("SELECT COUNT(*) AS TOTALROWS FROM %1").arg(table);
    if (!filter.isEmpty())
        sql += QStringLiteral(" WHERE %1").arg(filter);
    return sql;
}

QString selectSql(const QStringList &columns, const QString &table, const QString &filter, const QString &order)
{
    const QString columnText = columns.isEmpty() ? QStringLiteral("*") : columns.join(QLatin1String(", "));
    const QString condition = filter.isEmpty() ? QString() : QStringLiteral("WHERE %1").arg(filter);
    const QString ordering = order.isEmpty() ? QString() : QStringLiteral("ORDER BY %1").arg(order);
    return QStringLiteral("SELECT %1 FROM %2 %3 %4 %5").arg(columnText, table, condition, QString(), ordering);
}

namespace {

// The error of a statement that failed, at its start or while stepping through its rows.
QString failure(const QSqlQuery &query, const QString &sql)
{
    if (!query.lastError().isValid())
        return QString();
    qWarning() << "HORM_Collection:" << sql << "failed:" << query.lastError().text();
    const QString text = query.lastError().text().trimmed();
    return text.isEmpty() ? QStringLiteral("unknown database error") : text;
}

} // namespace

QString readCount(QSqlDatabase &db, const QString &sql, int &count)
{
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!query.exec(sql))
        return failure(query, sql);
    int read = count;
    while (query.next())
        read = query.value(QStringLiteral("TOTALROWS")).toInt();
    const QString error = failure(query, sql);
    if (error.isEmpty())
        count = read;
    return error;
}

QString readRows(QSqlDatabase &db, const QString &sql, QVector<QSqlRecord> &rows)
{
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!query.exec(sql))
        return failure(query, sql);
    while (query.next())
        rows.append(query.record());
    return failure(query, sql);
}

} // namespace HORM_CollectionSql
