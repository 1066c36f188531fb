#include "projectdata/ProjectFilesCheck.h"

#include "projectdata/ProjectFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSqlQuery>
#include <QVariant>

namespace {

QString text(const char *source)
{
    return QCoreApplication::translate("ProjectFilesCheck", source);
}

// The recording rows of a config.ini: the lines after its two headers and the station row.
int recordingRows(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    int lines = 0;
    for (const QByteArray &line : file.readAll().split('\n'))
        lines += line.trimmed().isEmpty() ? 0 : 1;
    return qMax(0, lines - 3);
}

QStringList stationFoldersOnDisk(const QString &dataDir)
{
    QStringList folders;
    for (const QString &line : QDir(dataDir).entryList({QStringLiteral("Line *")}, QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QString lineFolder = dataDir + QLatin1Char('/') + line;
        for (const QString &station : QDir(lineFolder).entryList(QDir::Dirs | QDir::NoDotAndDotDot))
            folders << lineFolder + QLatin1Char('/') + station;
    }
    return folders;
}

} // namespace

namespace ProjectFilesCheck {

QStringList mismatches(QSqlDatabase &db, const QString &dataDir)
{
    QSqlQuery query(db);
    if (!query.exec(QStringLiteral("SELECT l.LineName, s.StationNum,"
                                   " (SELECT count(*) FROM Data_SampleData d WHERE d.Data_StationID = s.ID)"
                                   " FROM Data_Station s JOIN Data_Line l ON s.Data_LineID = l.ID")))
        return {text("工程数据库无法读取")};
    QStringList problems;
    QStringList unlisted = stationFoldersOnDisk(dataDir);
    while (query.next()) {
        const QString folder = ProjectFolder::stationFolderPath(dataDir, query.value(0).toInt(), query.value(1).toDouble());
        unlisted.removeAll(folder);
        const int rows = recordingRows(folder + QStringLiteral("/config.ini"));
        if (!QDir(folder).exists())
            problems << text("%1：文件夹不存在").arg(folder);
        else if (rows < 0)
            problems << text("%1：config.ini无法读取").arg(folder);
        else if (rows != query.value(2).toInt())
            problems << text("%1：config.ini有%2行采样记录，工程数据库有%3条").arg(folder).arg(rows).arg(query.value(2).toInt());
    }
    for (const QString &folder : qAsConst(unlisted))
        problems << text("%1：工程数据库中没有这个测点").arg(folder);
    return problems;
}

} // namespace ProjectFilesCheck
