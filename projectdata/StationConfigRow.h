#ifndef STATIONCONFIGROW_H
#define STATIONCONFIGROW_H

#include "common/GPSPosition.h"
#include "common/SampleInfo.h"

#include <QString>
#include <QStringList>

// The lines of a station's "config.ini": two headers, the station row and one row per recording.
// Cells are separated by runs of spaces; a cell is never empty and holds no whitespace.
namespace StationConfigRow {

// What the station row holds besides the recording's own fields.
struct StationFields
{
    int machineId = 0;
    QString projectName;
    GPSPosition position;
};

QString stationHeader();
QString recordingHeader();
QString stationRow(const StationFields &station, const SampleInfo &recording);
QString recordingRow(int number, const SampleInfo &recording);

// The cells of a line: whitespace runs collapsed, ends trimmed.
QStringList tokens(const QString &line);

// Each sets only the fields whose cells are present and readable.
void readStationRow(const QStringList &cells, StationFields &station, SampleInfo &recording);
void readRecordingRow(const QStringList &cells, SampleInfo &recording);
// The file-name cells (before the last, the chopper cell), without the "0" of a channel without
// a file; false when the row is too short to hold them.
bool channelFileNames(const QStringList &cells, QStringList &names);

} // namespace StationConfigRow

#endif // STATIONCONFIGROW_H
