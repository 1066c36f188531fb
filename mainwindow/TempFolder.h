#ifndef TEMPFOLDER_H
#define TEMPFOLDER_H

#include <QString>

// Removes the visible entries of the folder: files, and sub-folders with their content.
// Entries that cannot be removed stay. A folder that is a symbolic link is left alone, so
// nothing outside the application folder is deleted through it.
void emptyTempFolder(const QString &path);

#endif // TEMPFOLDER_H
