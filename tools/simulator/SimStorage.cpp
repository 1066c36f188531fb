#include "tools/simulator/SimStorage.h"

#include <algorithm>

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
    projectList = projectListText;
    storageListing = storageListingText;
}
