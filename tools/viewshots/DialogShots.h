#ifndef DIALOGSHOTS_H
#define DIALOGSHOTS_H

#include <QDir>
#include <QString>

// The sensor dialog over a calibration folder of long sensor names, with the Hx list open, and the
// task dialog with five tasks, each as it opens under the style sheet in force, saved as
// "sensors-NAME.png", "sensors-list-NAME.png" and "tasks-NAME.png". Each returns false when a
// picture could not be written or a text of the dialog is cut, and prints what is cut.
bool saveSensorDialog(const QDir &out, const QString &name);
bool saveTaskDialog(const QDir &out, const QString &name);

#endif // DIALOGSHOTS_H
