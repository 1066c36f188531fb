#ifndef DEMORUN_H
#define DEMORUN_H

#include "common/CtrlParam.h"
#include "common/OneFreqImpedance.h"

#include <QList>
#include <QString>
#include <QVector>

class E2eFixture;
class MainWindow;

// Drives the main window through the program's main job against the fixture's simulator, the
// way an operator does: connect, create a project, run a station, wait for its curves, save.
// Each step answers false, with error() saying why, when the window does not get there.
class DemoRun
{
public:
    DemoRun(E2eFixture &fixture, MainWindow &window);

    bool connectInstrument();
    bool createProject(const QString &folder, const QString &name);
    bool runStation(const QList<CtrlParam> &tasks, int line, double station);
    bool save();
    // Waits until the snackbar has shown all its notices, so that none covers the views.
    bool noticesShown();

    QString error() const { return failure; }
    // The station's merged curves of E0, E1 and E2 as the impedance view last received them.
    const QVector<QVector<OneFreqImpedance>> &curves() const { return lastCurves; }
    // The ".ats" files saved under the project's data folder.
    int savedRecordings() const;

private:
    bool fail(const QString &why);
    bool noNewBoxSince(int boxes, const QString &step);
    void fillNewProjectDialog(const QString &folder, const QString &name);
    bool startAccepted();

    E2eFixture &fixture;
    MainWindow &window;
    QString projectFolder;
    QVector<QVector<OneFreqImpedance>> lastCurves;
    QString failure;
};

#endif // DEMORUN_H
