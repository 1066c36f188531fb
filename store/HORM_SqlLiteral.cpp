#include "store/HORM_SqlLiteral.h"

#include <QLocale>
#include <QtMath>

namespace {

bool isUnsigned(int metaTypeId)
{
    switch (metaTypeId) {
    case QMetaType::UInt:
    case QMetaType::ULongLong:
    case QMetaType::ULong:
    case QMetaType::UShort:
    case QMetaType::UChar:
        return true;
    default:
        return false;
    }
}

QString integerLiteral(const QVariant &value)
{
    if (isUnsigned(value.userType()))
        return QString::number(value.toULongLong());
    return QString::number(value.toLongLong()); // booleans give 1 and 0
}

QString realLiteral(double value)
{
    // SQLite stores no NaN or infinity: such a value would fail the whole statement.
    if (!qIsFinite(value))
        return QStringLiteral("NULL");
    return QString::number(value, 'g', QLocale::FloatingPointShortest);
}

QString textLiteral(QString text)
{
    // A NUL would end the statement text inside SQLite.
    text.remove(QChar(0));
    text.replace(QLatin1Char('\''), QLatin1String("''"));
    return QLatin1Char('\'') + text + QLatin1Char('\'');
}

QString blobLiteral(const QByteArray &bytes)
{
    return QLatin1String("x'") + QString::fromLatin1(bytes.toHex()) + QLatin1Char('\'');
}

} // namespace

QString sqlLiteral(const QVariant &value, const QString &sqlType)
{
    if (sqlType == QLatin1String("INTEGER"))
        return integerLiteral(value);
    if (sqlType == QLatin1String("REAL"))
        return realLiteral(value.toDouble());
    if (sqlType == QLatin1String("TEXT"))
        return textLiteral(value.toString());
    if (sqlType == QLatin1String("BLOB"))
        return blobLiteral(value.toByteArray());
    return QStringLiteral("NULL");
}
