#ifndef E2ESTEPS_H
#define E2ESTEPS_H

#include "common/CtrlParam.h"
#include "tools/simulator/SimStorage.h"

#include <QByteArray>
#include <QList>
#include <QString>

class MainWindow;
class QObject;
class QToolButton;

// Helpers the end-to-end tests of the main window share.
namespace e2e {

// A project folder under root with its database and the configuration file the instrument is
// sent; with a line above 0, the project also holds that line and station. Returns the ".HMT".
QString makeProject(const QString &root, int line = 0, double station = 0);
// The same for a project whose ID and name are the given text, as a read-back needs.
QString makeProjectWithId(const QString &root, const QString &projectId);
// A task recording Hx, Hy, E0 and E1 with both gains set to gain.
CtrlParam task(int rate, int seconds, int gain);
QToolButton *button(MainWindow &window, const char *name);
// Opens the project, connects through the window's button and waits until the instrument has
// confirmed the project's configuration. The status poll is shortened to pollMs.
bool connectWithProject(MainWindow &window, const QString &projectPath, int pollMs = 300);
// Contents of the files matching the pattern anywhere under the folder.
QList<QByteArray> filesUnder(const QString &folder, const QString &pattern);

struct GroupSize
{
    int rate;
    int seconds;
    qint64 blockBytes;
};
// A group held by the instrument, in the layout the program sends, with the demo sensors on all
// five channels, in the observation mode given (0 scalar saves a group's electric channels over
// three stations, 1 vector keeps it whole).
SimStoredGroup storedGroup(const SimStationKey &key, int startTime, int mode, const GroupSize &size);
// Once the read-back dialog is shown: the line box's entry, every station, export.
void chooseInExportDialog(QObject *owner, const QString &lineEntry);

} // namespace e2e

#endif // E2ESTEPS_H
