#ifndef E2ESTEPS_H
#define E2ESTEPS_H

#include "common/CtrlParam.h"
#include "projectdata/ImpedanceCalculator.h"
#include "tools/simulator/SimStorage.h"

#include <QByteArray>
#include <QList>
#include <QSemaphore>
#include <QString>

class E2eFixture;
class MainWindow;
class QObject;
class QToolButton;

// Helpers the end-to-end tests of the main window share.
namespace e2e {

// The ID the instrument files the project's runs under.
const QString projectId = QStringLiteral("AMT_E2E");

// A project folder under root with its database (project ID projectId) and the configuration
// file the instrument is sent; with a line above 0, the project also holds that line and
// station. Returns the ".HMT".
QString makeProject(const QString &root, int line = 0, double station = 0);
// The same for a project whose ID and name are the given text, as a read-back needs.
QString makeProjectWithId(const QString &root, const QString &projectId);
// A task recording Hx, Hy, E0 and E1 with both gains set to gain.
CtrlParam task(int rate, int seconds, int gain);
QToolButton *button(MainWindow &window, const char *name);
// Clicks 数据导出 and, once the read-back dialog shows the instrument's listing, chooses the
// line and station by their entries and starts the read-back.
void readBack(MainWindow &window, const QString &line, const QString &station);
// Opens the project, connects through the window's button and waits until the instrument has
// confirmed the project's configuration. The status poll is shortened to pollMs.
bool connectWithProject(MainWindow &window, const QString &projectPath, int pollMs = 300);
// Clicks the start or trial button until the start is taken: until the instrument has the
// project's configuration, a start is refused with a box. False when it never is.
bool clickUntilStarted(E2eFixture &fixture, QToolButton *button);
// The rates of the run's temporary recordings, in order.
QList<int> tempRates(MainWindow &window);
// Waits until the save choice offers Save.
bool waitForSaveChoice(MainWindow &window);
// Adds one rule of the simulator's fault script; a rule that does not parse fails the test.
void addFault(E2eFixture &fixture, const QString &rule);
// Contents of the files matching the pattern anywhere under the folder.
QList<QByteArray> filesUnder(const QString &folder, const QString &pattern);

// The real calculation, each one held until released (or for at most 30 s).
class HeldCalculator : public ImpedanceCalculator
{
public:
    Result calculate(const Input &input) const override
    {
        gate.tryAcquire(1, 30000);
        return ImpedanceCalculator::calculate(input);
    }
    void release(int n) { gate.release(n); }

private:
    mutable QSemaphore gate;
};

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
