#ifndef STATIONTEXTCOPY_H
#define STATIONTEXTCOPY_H

#include <QByteArray>
#include <QString>

#include <optional>

// The instrument's station text of a read-back is kept as a file in the temporary folder while
// its station is read back: "Line%1Station%2TempConfig.ini".

QString stationTextCopyPath(const QString &tempFolder, int lineNum, double stationNum);

// Writes the text into the copy (replacing an earlier one) and reads it back from there, as
// text; nothing when the copy cannot be written.
std::optional<QByteArray> writeStationTextCopy(const QString &path, const QByteArray &text);

#endif // STATIONTEXTCOPY_H
