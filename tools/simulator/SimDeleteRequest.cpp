#include "tools/simulator/SimDeleteRequest.h"

#include "tools/simulator/SimText.h"

#include <cmath>

bool SimDeleteTarget::covers(const SimStationKey &key) const
{
    if (key.projectId != projectId)
        return false;
    if (scope == Project)
        return true;
    return key.line == line && (scope == Line || key.station == station);
}

namespace {

// What the lines read so far have opened: a project, then all its lines or one line.
struct RequestCursor
{
    enum Lines { NoLine, AllLines, OneLine };

    bool hasProject = false;
    QString projectId;
    Lines lines = NoLine;
    int line = 0;

    void setLine(const QByteArray &value)
    {
        bool ok = false;
        line = value.toInt(&ok);
        lines = value == "ALL" ? AllLines : ok ? OneLine : NoLine;
    }

    // The target a "StationNum=" line completes; false when it completes none.
    bool target(const QByteArray &value, SimDeleteTarget *out) const
    {
        if (!hasProject || lines == NoLine)
            return false;
        if (value == "ALL") {
            *out = {lines == AllLines ? SimDeleteTarget::Project : SimDeleteTarget::Line, projectId, line, 0.0};
            return true;
        }
        bool ok = false;
        const double station = value.toDouble(&ok);
        if (lines != OneLine || !ok || !std::isfinite(station))
            return false;
        *out = {SimDeleteTarget::Station, projectId, line, station};
        return true;
    }
};

} // namespace

QList<SimDeleteTarget> SimDeleteRequest::parse(const QByteArray &text)
{
    QList<SimDeleteTarget> targets;
    RequestCursor cursor;
    for (const auto &kv : SimText::keyValues(text)) {
        const QByteArray value = kv.second.trimmed();
        if (kv.first == "ProjectID") {
            cursor = RequestCursor();
            cursor.hasProject = true;
            cursor.projectId = QString::fromUtf8(value);
        } else if (kv.first == "LineNum" && cursor.hasProject) {
            cursor.setLine(value);
        } else if (kv.first == "StationNum") {
            SimDeleteTarget target;
            if (cursor.target(value, &target))
                targets.append(target);
        }
    }
    return targets;
}
