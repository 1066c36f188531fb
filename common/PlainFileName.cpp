#include "common/PlainFileName.h"

bool isPlainFileName(const QString &name)
{
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        return false;
    return !name.contains(QLatin1Char('/')) && !name.contains(QLatin1Char('\\')) && !name.contains(QChar(0));
}

QString firstUnplainName(const QStringList &names)
{
    for (const QString &name : names) {
        if (!name.isEmpty() && !isPlainFileName(name))
            return name;
    }
    return QString();
}
