#ifndef HORM_SQLLITERAL_H
#define HORM_SQLLITERAL_H

#include <QString>
#include <QVariant>

// The SQL literal of a value for a column of the given SQL type name ("INTEGER", "REAL", "TEXT",
// "BLOB"; any other name gives NULL). Values are written as literals, never bound, so every text
// is quoted here and nothing of a value is read again as SQL.
QString sqlLiteral(const QVariant &value, const QString &sqlType);

#endif // HORM_SQLLITERAL_H
