#ifndef PROJECTFOLDER_H
#define PROJECTFOLDER_H

#include "common/ProjectConfig.h"

#include <QByteArray>
#include <QString>

// True when the folder exists or creating that one folder (its parent existing) worked.
bool makeDirIfMissing(const QString &path);

// Paths and files of a project folder.
namespace ProjectFolder {

// dataDir + "/Line <line>" + "/Station <station>", the station in general format, 6 digits.
QString stationFolderPath(const QString &dataDir, int lineNum, double stationNum);

// The five "key=value" lines of "projectConfig.ini", each ended by CR LF, UTF-8.
QByteArray projectConfigText(const ProjectConfig &config);
// Replaces the file with bytes, whole or not at all; on false error (when given) says why. Written
// unbuffered: Qt 5's QSaveFile commits a cut file when only its final flush fails (a full disk).
bool writeWhole(const QString &path, const QByteArray &bytes, QString *error = nullptr);
// Writes the file whole or not at all, replacing the file a former project may have left.
bool writeProjectConfigFile(const QString &path, const ProjectConfig &config);

} // namespace ProjectFolder

#endif // PROJECTFOLDER_H
