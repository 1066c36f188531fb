#ifndef STATIONCONFIGTEXT_H
#define STATIONCONFIGTEXT_H

#include "common/StationSampleInfo.h"

#include <QByteArray>
#include <QList>
#include <QString>

// The texts of a read-back: the request to the instrument and the station configuration text
// it answers with. No widgets here; the window applies what these functions return.

// "ProjectID=", "LineNum=" and "StationNum=" lines, each ended by CR LF.
QByteArray exportRequestText(const QString &projectId, int lineNum, double stationNum);

// The gain codes and values in force for the connected instrument.
struct GainTables
{
    QList<int> lowCodes;
    QList<int> lowGains;
    QList<int> highCodes;
    QList<int> highGains;
};
// The program-wide current lists.
GainTables currentGainTables();

// The instrument's number, line, station, position and groups go to `station` (its project
// fields stay empty); "ProjectNum=" is kept apart for the match check.
struct StationConfigText
{
    StationSampleInfo station;
    QString ProjectNum; // white space collapsed and trimmed
    // Set when a group holds a value the program cannot use; the station is then skipped.
    QString rejection;

    bool matches(const QString &projectId, int lineNum, double stationNum) const
    {
        return ProjectNum == projectId && station.LineNum == lineNum && station.StationNum == stationNum;
    }
};

// Reads the head by position and the groups by key. A sensor name that could not be a plain
// label becomes "未设置".
StationConfigText parseStationConfigText(const QByteArray &text, const GainTables &gains);

#endif // STATIONCONFIGTEXT_H
