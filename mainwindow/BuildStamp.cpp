#include "mainwindow/BuildStamp.h"

#include <QLocale>

QDateTime parseBuildDateTime(const QString &date, const QString &time)
{
    QString text = date;
    const int padding = text.indexOf(QLatin1String("  "));
    if (padding >= 0)
        text.replace(padding, 2, QStringLiteral(" 0"));
    return QLocale(QLocale::English).toDateTime(text + time, QStringLiteral("MMM dd yyyyhh:mm:ss"));
}
