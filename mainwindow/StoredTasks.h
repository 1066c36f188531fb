#ifndef STOREDTASKS_H
#define STOREDTASKS_H

#include "common/CtrlParam.h"

#include <QList>
#include <QStringList>

class QSettings;

// The task list in the settings file: group "Task" + n with the keys "Task" + n + field,
// n = 1, 2, ... in list order. The planned start time is not stored.

// The stored tasks in the order of their numbers; a negative duration field reads as 0. A task that
// fails the task dialog's check (no channel, a dipole length that is no positive number, a rate
// that is none of the instrument's, a duration or gain outside its rate's limits) is dropped, and
// dropped gets a line naming it and why.
QList<CtrlParam> readStoredTasks(QSettings &settings, QStringList *dropped = nullptr);
// Removes every task group; other groups stay.
void removeStoredTasks(QSettings &settings);
void writeStoredTasks(QSettings &settings, const QList<CtrlParam> &tasks);

#endif // STOREDTASKS_H
