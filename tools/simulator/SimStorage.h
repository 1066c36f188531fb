#ifndef SIMSTORAGE_H
#define SIMSTORAGE_H

#include "tools/simulator/SimDeleteRequest.h"
#include "tools/simulator/SimStationTask.h"

#include <QHash>
#include <QList>
#include <QMap>
#include <QSet>

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
    // Drops every group a target covers; a whole project also loses its configuration.
    void remove(const QList<SimDeleteTarget> &targets);
    void clear();

    void setProjectConfig(const QString &projectId, const QByteArray &config);
    QByteArray projectConfig(const QString &projectId) const;
    // The name a test gives a project; it goes before the configuration's "ProjectName=".
    void setProjectName(const QString &projectId, const QString &name);
    QString projectName(const QString &projectId) const;

    // The station configuration text of a read-back: the task text's layout with the instrument's
    // number in the head and the groups renumbered 1, 2, ... with their actual start times.
    QByteArray stationConfigText(const SimStationKey &key, int machineID) const;

    // The two listing texts, built from the stored groups: projects by ID, lines and stations in
    // ascending order, each station once. The project list names the listed projects that have
    // a name. Texts set here replace both, for tests of what the host makes of odd listings.
    void setListingTexts(const QByteArray &projectList, const QByteArray &storageListing);
    QByteArray projectListText() const;
    QByteArray storageListingText() const;

private:
    using Holdings = QMap<QString, QMap<int, QSet<int>>>; // project -> line -> stations
    Holdings holdings() const;

    QList<SimStoredGroup> stored;
    QHash<QString, QByteArray> projectConfigs;
    QHash<QString, QString> projectNames;
    bool listingOverridden = false;
    QByteArray projectList;
    QByteArray storageListing;
};

#endif // SIMSTORAGE_H
