#include "common/CalibrationFiles.h"

#include <QDir>

#include <algorithm>

namespace CalibrationFiles {

QStringList listTables(const QString &folder)
{
    // Name filters ignore letter case unless QDir::CaseSensitive is given.
    QStringList names = QDir(folder).entryList({QStringLiteral("*.txt")}, QDir::Files | QDir::NoSymLinks);
    std::sort(names.begin(), names.end()); // character-code order, case-sensitive
    return names;
}

QString baseName(const QString &fileName)
{
    return fileName.left(fileName.size() - 4);
}

QString tablePath(const QString &folder, const QString &sensorName)
{
    for (const QString &name : listTables(folder)) {
        if (baseName(name) == sensorName)
            return QDir(folder).filePath(name);
    }
    return QString();
}

} // namespace CalibrationFiles
