#ifndef CALIBRATIONFILES_H
#define CALIBRATIONFILES_H

#include <QString>
#include <QStringList>

// Sensor calibration tables are text files whose extension ".txt" is matched in any letter case.
namespace CalibrationFiles {

// Regular, visible, non-link files of the folder with a ".txt" extension in any case,
// sorted by file name in character-code order.
QStringList listTables(const QString &folder);

// The file name without its four-character extension.
QString baseName(const QString &fileName);

// The path of the table of a sensor's base name in the folder, whatever the extension's case;
// an empty text when there is none.
QString tablePath(const QString &folder, const QString &baseName);

} // namespace CalibrationFiles

#endif // CALIBRATIONFILES_H
