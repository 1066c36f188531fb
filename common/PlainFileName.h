#ifndef PLAINFILENAME_H
#define PLAINFILENAME_H

#include <QString>
#include <QStringList>

// A name read from a file or the settings that must stay inside its folder: not empty, not "." or
// "..", and without a "/" or "\" (so no absolute path and no step into another folder either).
bool isPlainFileName(const QString &name);

// The first of the names that is not empty and no plain file name; an empty text when there is none.
QString firstUnplainName(const QStringList &names);

#endif // PLAINFILENAME_H
