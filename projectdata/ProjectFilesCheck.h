#ifndef PROJECTFILESCHECK_H
#define PROJECTFILESCHECK_H

#include <QString>
#include <QStringList>

class QSqlDatabase;

// Whether the station folders agree with the database: each station row has its folder, whose
// "config.ini" holds one row per recording the database lists, and no other station folder is
// there. What a save or rename cut off without a usable record may have left behind.
namespace ProjectFilesCheck {

// One line per disagreement, empty when none.
QStringList mismatches(QSqlDatabase &db, const QString &dataDir);

} // namespace ProjectFilesCheck

#endif // PROJECTFILESCHECK_H
