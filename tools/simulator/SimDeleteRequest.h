#ifndef SIMDELETEREQUEST_H
#define SIMDELETEREQUEST_H

#include "tools/simulator/SimStationTask.h"

#include <QByteArray>
#include <QList>
#include <QString>

// One thing a deletion request names: a whole project, a whole line of it, or one station.
struct SimDeleteTarget
{
    enum Scope { Project, Line, Station };

    Scope scope = Project;
    QString projectId;
    int line = 0;
    double station = 0.0;

    bool covers(const SimStationKey &key) const;
};

// The host's deletion request: "ProjectID=", "LineNum=" and "StationNum=" lines, "ALL" for a
// whole project or line. Something is named only by a "StationNum=" line that completes a
// project and a line before it; whatever does not read that way names nothing, since deleting
// is for good.
class SimDeleteRequest
{
public:
    static QList<SimDeleteTarget> parse(const QByteArray &text);
};

#endif // SIMDELETEREQUEST_H
