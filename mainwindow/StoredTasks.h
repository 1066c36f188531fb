#ifndef STOREDTASKS_H
#define STOREDTASKS_H

#include "common/CtrlParam.h"

#include <QList>

class QSettings;

// The task list in the settings file: group "Task" + n with the keys "Task" + n + field,
// n = 1, 2, ... in list order. The planned start time is not stored.

// The stored tasks in the order of their numbers. A task whose rate is none of the instrument's
// rates is dropped; a negative duration field reads as 0.
QList<CtrlParam> readStoredTasks(QSettings &settings);
// Removes every task group; other groups stay.
void removeStoredTasks(QSettings &settings);
void writeStoredTasks(QSettings &settings, const QList<CtrlParam> &tasks);

#endif // STOREDTASKS_H
