#include "mainwindow/RecentProjects.h"

QStringList withRecentProject(QStringList list, const QString &path)
{
    list.removeOne(path);
    list.prepend(path);
    while (list.size() > maxRecentProjects)
        list.removeLast();
    return list;
}
