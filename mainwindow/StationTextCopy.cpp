#include "mainwindow/StationTextCopy.h"

#include <QFile>

QString stationTextCopyPath(const QString &tempFolder, int lineNum, double stationNum)
{
    return tempFolder + QStringLiteral("/Line%1Station%2TempConfig.ini").arg(lineNum).arg(stationNum);
}

std::optional<QByteArray> writeStationTextCopy(const QString &path, const QByteArray &text)
{
    QFile copy(path);
    if (!copy.open(QIODevice::ReadWrite | QIODevice::Truncate | QIODevice::Text))
        return std::nullopt;
    if (copy.write(text) != text.size() || !copy.flush() || !copy.seek(0))
        return std::nullopt;
    return copy.readAll();
}
