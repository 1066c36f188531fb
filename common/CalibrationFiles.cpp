#include "common/CalibrationFiles.h"

#include <QDir>
#include <QFileInfo>

namespace CalibrationFiles {

QStringList listTables(const QString &folder)
{
    QDir dir(folder);
    dir.setNameFilters({"*.TXT", "*.txt"});
    dir.setFilter(QDir::Files | QDir::NoSymLinks);
    dir.setSorting(QDir::Name);
    QStringList names;
    const QFileInfoList entries = dir.entryInfoList();
    for (const QFileInfo &entry : entries) {
        if (entry.fileName().endsWith(".txt", Qt::CaseInsensitive))
            names.append(entry.fileName());
    }
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
