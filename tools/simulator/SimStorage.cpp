#include "tools/simulator/SimStorage.h"

#include "tools/simulator/SimText.h"

#include <algorithm>

namespace {

// Every listing entry ends with one character after its value; the instrument writes a slash.
QByteArray listingEntry(const QByteArray &value)
{
    return value + "/\r\n";
}

QList<int> ascending(const QSet<int> &numbers)
{
    QList<int> list = numbers.values();
    std::sort(list.begin(), list.end());
    return list;
}

} // namespace

void SimStorage::add(const SimStoredGroup &group)
{
    stored.append(group);
}

QList<SimStoredGroup> SimStorage::groups(const SimStationKey &key) const
{
    QList<SimStoredGroup> out;
    for (const SimStoredGroup &g : stored)
        if (g.key == key)
            out.append(g);
    return out;
}

void SimStorage::removeRun(int runId)
{
    stored.erase(std::remove_if(stored.begin(), stored.end(),
                                [runId](const SimStoredGroup &g) { return g.runId == runId; }),
                 stored.end());
}

void SimStorage::remove(const QList<SimDeleteTarget> &targets)
{
    const auto covered = [&targets](const SimStoredGroup &g) {
        return std::any_of(targets.begin(), targets.end(), [&g](const SimDeleteTarget &t) { return t.covers(g.key); });
    };
    stored.erase(std::remove_if(stored.begin(), stored.end(), covered), stored.end());
    for (const SimDeleteTarget &t : targets)
        if (t.scope == SimDeleteTarget::Project)
            projectConfigs.remove(t.projectId);
}

void SimStorage::clear()
{
    stored.clear();
    projectConfigs.clear();
}

void SimStorage::setProjectConfig(const QString &projectId, const QByteArray &config)
{
    projectConfigs.insert(projectId, config);
}

QByteArray SimStorage::projectConfig(const QString &projectId) const
{
    return projectConfigs.value(projectId);
}

void SimStorage::setProjectName(const QString &projectId, const QString &name)
{
    projectNames.insert(projectId, name);
}

QString SimStorage::projectName(const QString &projectId) const
{
    if (projectNames.contains(projectId))
        return projectNames.value(projectId);
    for (const auto &kv : SimText::keyValues(projectConfig(projectId)))
        if (kv.first == "ProjectName")
            return QString::fromUtf8(kv.second.trimmed());
    return QString();
}

QByteArray SimStorage::stationConfigText(const SimStationKey &key, int machineID) const
{
    QByteArray text;
    text += "MachineID=" + QByteArray::number(machineID) + '\n';
    text += "ProjectNum=" + key.projectId.toUtf8() + '\n';
    text += "LineNum=" + QByteArray::number(key.line) + '\n';
    text += "StationNum=" + QByteArray::number(key.station) + '\n';
    text += "GPS_Latitude=0\nGPS_Longtitude=0\nGPS_Elevation=0\n";
    int number = 0;
    for (const SimStoredGroup &g : groups(key)) {
        text += "GroupID=" + QByteArray::number(++number) + '\n';
        for (const QByteArray &line : g.task.lines) {
            if (line.startsWith("SampleStartTime="))
                text += "SampleStartTime=" + QByteArray::number(g.startTime) + '\n';
            else
                text += line + '\n';
        }
    }
    return text;
}

void SimStorage::setListingTexts(const QByteArray &projectListText, const QByteArray &storageListingText)
{
    listingOverridden = true;
    projectList = projectListText;
    storageListing = storageListingText;
}

SimStorage::Holdings SimStorage::holdings() const
{
    Holdings held;
    for (const SimStoredGroup &g : stored)
        held[g.key.projectId][g.key.line].insert(g.key.station);
    return held;
}

QByteArray SimStorage::projectListText() const
{
    if (listingOverridden)
        return projectList;
    QByteArray text;
    for (const QString &id : holdings().keys()) {
        const QString name = projectName(id);
        if (!name.isEmpty())
            text += "ProjectID:" + id.toUtf8() + " ProjectName:" + name.toUtf8() + "\r\n";
    }
    return text;
}

QByteArray SimStorage::storageListingText() const
{
    if (listingOverridden)
        return storageListing;
    QByteArray text;
    const Holdings held = holdings();
    for (auto project = held.begin(); project != held.end(); ++project) {
        text += listingEntry(project.key().toUtf8());
        for (auto line = project->begin(); line != project->end(); ++line) {
            text += listingEntry("Line_" + QByteArray::number(line.key()));
            for (int station : ascending(line.value()))
                text += listingEntry("Point_" + QByteArray::number(station));
        }
    }
    return text;
}
