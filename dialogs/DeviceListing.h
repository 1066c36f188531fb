#ifndef DEVICELISTING_H
#define DEVICELISTING_H

#include "common/DeviceProjectInfo.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

// The instrument's storage texts: the project list, the storage listing and the deletion request.
namespace DeviceListing {

struct ProjectNames
{
    QMap<QString, QString> nameById;
    QStringList ids; // in line order, duplicates kept
};

// "ProjectID:<id> ProjectName:<name>" per line.
ProjectNames parseProjectNameList(const QByteArray &text);

// A station or line entry as listed: its text and the number read from it.
struct StationEntry
{
    QString text;
    double number = 0.0;
    bool parsed = false;
};

struct LineEntry
{
    QString text;
    int number = 0;
    bool parsed = false;
    QList<StationEntry> stations;
};

struct ProjectEntry
{
    QString id;
    QString name;
    QList<LineEntry> lines;
    int linesWithLastStation = 0; // lines met up to the project's last station entry
};

// Walks the storage listing ("AMT_", "Line_", "Point_" entries). The trial line and everything
// under it are hidden; a line before any project and a station before any line of the current
// project are skipped. Projects missing from the name map get unknownName.
QList<ProjectEntry> parseStorageListing(const QByteArray &text, const QMap<QString, QString> &nameById,
                                        const QString &unknownName);

// The read-back records: a project's lines end with the line of its last station entry.
QList<DeviceProjectInfo> toReadBackRecords(const QList<ProjectEntry> &projects);

// printf's "%g" when that text reads back to the same number, else the shortest text that does.
QString formatStationNumber(double station);

// The deletion request is built from a plain tree of check states.
struct CheckedStation
{
    double number = 0.0;
    int state = 0; // Qt::CheckState
};

struct CheckedLine
{
    int number = 0;
    int state = 0;
    QList<CheckedStation> stations;
};

struct CheckedProject
{
    QString id;
    int state = 0;
    QList<CheckedLine> lines;
};

// "ProjectID=", "LineNum=" and "StationNum=" lines with CR LF; empty when nothing is chosen.
QByteArray buildDeleteRequest(const QList<CheckedProject> &projects);

} // namespace DeviceListing

#endif // DEVICELISTING_H
