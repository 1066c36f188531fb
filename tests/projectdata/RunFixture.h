#ifndef RUNFIXTURE_H
#define RUNFIXTURE_H

#include "ScriptedPrompt.h"

#include "dialogs/Dialog_NewProject.h"
#include "projectdata/DataModel_Index.h"

#include <QSemaphore>
#include <QTemporaryDir>

#include <memory>

// A fake calculator: one flat curve per electric channel file, after an optional gate.
class FakeCalculator : public ImpedanceCalculator
{
public:
    Result calculate(const Input &input) const override;
    // Each calculation then waits for one release().
    void hold() { gated = true; }
    void release(int n = 1) { gate.release(n); }
    double rho = 100.0; // apparent resistivity of every point
    int maxCurves = 3;

private:
    bool gated = false;
    mutable QSemaphore gate;
};

// A project "P1" in a temporary folder, opened into a tree whose application folder is there too.
class RunFixture
{
public:
    RunFixture();
    // The project a fixture made in root earlier (another process's).
    explicit RunFixture(const QString &root);
    ~RunFixture();

    // Opens the project into a new tree, closing the one before; false when it does not open.
    bool open();

    // A task of the mode recording the channels named in "Hx,Hy,E0" at 4000 Hz.
    static SampleInfo task(int mode, const QString &channels, int rate = 4000);
    // Receives one group of the task at line 5, station 100 of instrument 123: one block per channel.
    void receive(SampleInfo block, int group, double station = 100);
    // Receives and finishes a group with computed curves.
    bool record(const SampleInfo &block, int group, double station = 100);
    StationSampleInfo station(double stationNum = 100) const;
    // Closes the project and opens it again from its files.
    bool reopen();
    // Renames the first line, or its first station, as the tree's menu does.
    bool renameFirst(bool station, int number);

    QString sql(const QString &query) const;
    QString projectDir() const { return root + "/proj"; }
    QString dataDir() const { return root + "/proj/data"; }
    QString tempDir() const { return root + "/app/TempFile"; }
    // "name size" of every file under the folder, sorted, with sub-folders.
    QStringList listing(const QString &folder) const;
    // Why the station folders do not match the database, or empty: each station of the database
    // has its folder, whose "config.ini" holds one row per recording, and whose channel files are
    // exactly those the rows name, each carrying the station's line and number; no other station
    // folder exists.
    QString folderMismatch() const;
    // The temporary folder once the tree's background deletions are done.
    QStringList tempListingAfterCleanup() const;

    QTemporaryDir dir;
    QString root;
    ScriptedPrompt prompt;
    Dialog_NewProject dialog;
    FakeCalculator calculator;
    std::unique_ptr<DataModel_Index> tree;
};

#endif // RUNFIXTURE_H
