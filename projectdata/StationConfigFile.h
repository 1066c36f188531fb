#ifndef STATIONCONFIGFILE_H
#define STATIONCONFIGFILE_H

#include "projectdata/StationConfigRow.h"

#include <QString>
#include <QStringList>

// Appending to and reading from a station's "config.ini". Lines end with CR LF when written;
// CR LF and LF are both read. Written as UTF-8 without byte-order mark; a file saved as GBK is
// read as such and extended in GBK.
namespace StationConfigFile {

// Appends the recording's row as row number `number`, writing the three leading lines first when
// the file is new or empty. Rows already there stay as they are, whatever their numbers; false,
// and nothing written, when the file cannot be opened or a row of it carries the number already
// (the new row could not be told from it); false as well when writing fails.
bool append(const QString &path, const StationConfigRow::StationFields &station, const SampleInfo &recording,
            int number);

// The cells of the station row and of the row numbered `number` (the row at its position, or
// else the first row carrying that number); an empty list for a row that is not there.
// False when the file cannot be read.
bool read(const QString &path, int number, QStringList &stationCells, QStringList &recordingCells);

// The cells of every recording row, in file order (blank lines left out). False when the file
// cannot be read.
bool recordingRows(const QString &path, QList<QStringList> &rows);

} // namespace StationConfigFile

#endif // STATIONCONFIGFILE_H
