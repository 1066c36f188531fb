#include "dialogs/DeviceListing.h"

#include "common/PreSampleLineNum.h"

#include <QtGlobal>
#include <cmath>

namespace DeviceListing {

namespace {

// Lines as QTextStream::readLine gives them: LF ends a line, a CR before it is dropped.
QStringList textLines(const QByteArray &text)
{
    QStringList lines = QString::fromUtf8(text).split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    for (QString &line : lines) {
        if (line.endsWith('\r'))
            line.chop(1);
    }
    return lines;
}

// Every entry carries one character after its value that is not part of it.
QString entryValue(const QString &line, const char *token)
{
    QString value = line.simplified();
    value.chop(1);
    if (token)
        value.remove(QLatin1String(token));
    return value;
}

LineEntry lineEntry(const QString &line)
{
    LineEntry entry;
    entry.text = entryValue(line, "Line_");
    entry.number = entry.text.toInt(&entry.parsed, 10);
    return entry;
}

StationEntry stationEntry(const QString &line)
{
    StationEntry entry;
    entry.text = entryValue(line, "Point_");
    entry.number = entry.text.toDouble(&entry.parsed);
    if (!std::isfinite(entry.number)) {
        entry.number = 0.0;
        entry.parsed = false;
    }
    return entry;
}

QByteArray requestLine(const char *key, const QString &value)
{
    return QByteArray(key) + value.toUtf8() + "\r\n";
}

QByteArray partialLineRequest(const CheckedLine &line)
{
    QByteArray stations;
    for (const CheckedStation &station : line.stations) {
        if (station.state == Qt::Checked)
            stations += requestLine("StationNum=", formatStationNumber(station.number));
    }
    if (stations.isEmpty())
        return QByteArray();
    return requestLine("LineNum=", QString::number(line.number)) + stations;
}

QByteArray partialProjectLines(const CheckedProject &project)
{
    QByteArray lines;
    for (const CheckedLine &line : project.lines) {
        if (line.state == Qt::Checked)
            lines += requestLine("LineNum=", QString::number(line.number)) + "StationNum=ALL\r\n";
        else if (line.state == Qt::PartiallyChecked)
            lines += partialLineRequest(line);
    }
    return lines;
}

} // namespace

ProjectNames parseProjectNameList(const QByteArray &text)
{
    ProjectNames names;
    for (const QString &line : textLines(text)) {
        const QStringList parts = line.split(' ', Qt::SkipEmptyParts);
        if (parts.size() < 2 || !parts.at(0).contains("ProjectID:") || !parts.at(1).contains("ProjectName:"))
            continue;
        const QString id = QString(parts.at(0)).remove("ProjectID:");
        names.nameById.insert(id, QString(parts.at(1)).remove("ProjectName:"));
        names.ids.append(id);
    }
    return names;
}

QList<ProjectEntry> parseStorageListing(const QByteArray &text, const QMap<QString, QString> &nameById,
                                        const QString &unknownName)
{
    QList<ProjectEntry> projects;
    bool hasCurrentLine = false; // false before a project's first line and under the trial line
    for (const QString &line : textLines(text)) {
        if (line.contains("AMT_")) {
            ProjectEntry project;
            project.id = entryValue(line, nullptr);
            project.name = nameById.value(project.id, unknownName);
            projects.append(project);
            hasCurrentLine = false;
        } else if (line.contains("Line_")) {
            if (projects.isEmpty())
                continue;
            const LineEntry entry = lineEntry(line);
            hasCurrentLine = !(entry.parsed && entry.number == PreSampleLineNum);
            if (hasCurrentLine)
                projects.last().lines.append(entry);
        } else if (line.contains("Point_")) {
            if (!hasCurrentLine)
                continue;
            ProjectEntry &project = projects.last();
            project.lines.last().stations.append(stationEntry(line));
            project.linesWithLastStation = project.lines.size();
        }
    }
    return projects;
}

QList<DeviceProjectInfo> toReadBackRecords(const QList<ProjectEntry> &projects)
{
    QList<DeviceProjectInfo> records;
    for (const ProjectEntry &project : projects) {
        DeviceProjectInfo record;
        record.projectName = project.name;
        record.projectId = project.id;
        for (int i = 0; i < project.linesWithLastStation; ++i) {
            DeviceLineInfo line;
            line.lineNum = project.lines.at(i).number;
            for (const StationEntry &station : project.lines.at(i).stations)
                line.stations.append(station.number);
            record.lines.append(line);
        }
        records.append(record);
    }
    return records;
}

QString formatStationNumber(double station)
{
    for (int precision = 6; precision <= 17; ++precision) {
        const QString text = QString::asprintf("%.*g", precision, station);
        if (text.toDouble() == station)
            return text;
    }
    return QString::asprintf("%.17g", station);
}

QByteArray buildDeleteRequest(const QList<CheckedProject> &projects)
{
    QByteArray request;
    for (const CheckedProject &project : projects) {
        if (project.state == Qt::Checked) {
            request += requestLine("ProjectID=", project.id) + "LineNum=ALL\r\nStationNum=ALL\r\n";
        } else if (project.state == Qt::PartiallyChecked) {
            const QByteArray lines = partialProjectLines(project);
            if (!lines.isEmpty())
                request += requestLine("ProjectID=", project.id) + lines;
        }
    }
    return request;
}

} // namespace DeviceListing
