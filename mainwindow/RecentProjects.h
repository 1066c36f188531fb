#ifndef RECENTPROJECTS_H
#define RECENTPROJECTS_H

#include <QStringList>

// The recent-projects list holds at most this many paths, most recent first.
constexpr int maxRecentProjects = 10;

// The list with path in front: an equal entry (exact text) leaves its place and the oldest
// entry beyond the limit is dropped.
QStringList withRecentProject(QStringList list, const QString &path);

#endif // RECENTPROJECTS_H
