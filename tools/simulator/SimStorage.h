#ifndef SIMSTORAGE_H
#define SIMSTORAGE_H

#include "tools/simulator/SimStationTask.h"

#include <QHash>
#include <QList>

// A frequency group kept on the simulated storage card.
struct SimStoredGroup
{
    SimStationKey key;
    SimGroupTask task;
    qint64 blockBytes = 0;
    int startTime = 0;
    int runId = 0; // the run that recorded it; a discard drops its run's groups
};

// What the simulated instrument holds: the groups it sampled or was given, and the project
// configurations it received. Texts about the storage are built here.
class SimStorage
{
public:
    void add(const SimStoredGroup &group);
    QList<SimStoredGroup> groups(const SimStationKey &key) const;
    int count(const SimStationKey &key) const { return groups(key).size(); }
    const QList<SimStoredGroup> &allGroups() const { return stored; }
    void removeRun(int runId);
    void clear();

    void setProjectConfig(const QString &projectId, const QByteArray &config);
    QByteArray projectConfig(const QString &projectId) const;

    // The station configuration text of a read-back: the task text's layout with the instrument's
    // number in the head and the groups renumbered 1, 2, ... with their actual start times.
    QByteArray stationConfigText(const SimStationKey &key, int machineID) const;

    // The two listing texts: empty unless set.
    void setListingTexts(const QByteArray &projectList, const QByteArray &storageListing);
    QByteArray projectListText() const { return projectList; }
    QByteArray storageListingText() const { return storageListing; }

private:
    QList<SimStoredGroup> stored;
    QHash<QString, QByteArray> projectConfigs;
    QByteArray projectList;
    QByteArray storageListing;
};

#endif // SIMSTORAGE_H
