#include "RunFixture.h"
#include "TestFiles.h"

#include "projectdata/DiskSync.h"
#include "projectdata/ProjectJournal.h"

#include <QtTest>

namespace {

const QString recoveredNotice = QStringLiteral("被中断");

QString tables(const RunFixture &f)
{
    return f.sql("SELECT * FROM Data_Line; SELECT * FROM Data_Station; SELECT * FROM Data_SampleData;"
                 " SELECT ID, SampleChannel FROM Data_ProcessData;");
}

void saveStation(RunFixture &f, int group)
{
    QVERIFY(f.record(RunFixture::task(1, "Hx,E1"), group));
    StationSampleInfo record = f.station();
    QString reason;
    QVERIFY2(f.tree->saveStationTempSampleData(record, StationNumAutoConfig{}, 0, &reason), qPrintable(reason));
}

// Runs the child on the fixture's project: true when it was killed at the step, false when the
// change completed without reaching it.
bool killedAt(const RunFixture &f, const QString &change, const QString &step, int n)
{
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(JOURNAL_CHILD, {f.root, change, step, QString::number(n)});
    if (!child.waitForFinished(60000))
        qFatal("crash child did not finish");
    if (child.exitStatus() == QProcess::NormalExit && child.exitCode() != 0)
        qFatal("crash child failed with %d", child.exitCode());
    return child.exitStatus() == QProcess::CrashExit;
}

// The waits for the disk and the steps of a change, in order while set: "step <name>", and
// "folder <path>" or "file <path>" for a path there at the time, marked " (record)" while the
// project's record exists.
class DiskLog
{
public:
    explicit DiskLog(const QString &projectDir)
    {
        current = this;
        const QString record = ProjectJournal::pathIn(projectDir);
        DiskSync::setObserver([this, record](const QString &path, bool folder) {
            if (QFileInfo::exists(path))
                events << (folder ? "folder " : "file ") + QDir::cleanPath(path)
                              + (QFileInfo::exists(record) ? " (record)" : "");
        });
        ProjectJournal::setStepHook([](const char *step) { current->events << QString("step ") + step; });
    }
    ~DiskLog()
    {
        DiskSync::setObserver(nullptr);
        ProjectJournal::setStepHook(nullptr);
        current = nullptr;
    }
    // Whether the event comes after the first from and before the first until (empty: the end).
    bool between(const QString &event, const QString &from, const QString &until = QString()) const
    {
        const int start = events.indexOf(from);
        const int end = until.isEmpty() ? events.size() : events.indexOf(until);
        return start >= 0 && events.mid(start, end - start).contains(event);
    }

    QStringList events;

private:
    static DiskLog *current;
};

DiskLog *DiskLog::current = nullptr;

} // namespace

class TestJournal : public QObject
{
    Q_OBJECT

private slots:
    void crashAtEveryStep_data();
    void crashAtEveryStep();
    void keptRecords_data();
    void keptRecords();
    void damagedRecordSetAside();
    void flushOrder_data();
    void flushOrder();
    void powerCutDuringRename_data();
    void powerCutDuringRename();
};

void TestJournal::crashAtEveryStep_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<QString>("step");
    const QStringList saveSteps = {"begun", "noted", "copied", "synced", "committed"};
    const QStringList renameSteps = {"begun", "noted", "moved", "rewritten", "synced", "committed"};
    for (const QString &step : saveSteps)
        QTest::addRow("save, %s", qPrintable(step)) << "save" << step;
    for (const QString &change : {QString("rename-station"), QString("rename-line")}) {
        for (const QString &step : renameSteps)
            QTest::addRow("%s, %s", qPrintable(change), qPrintable(step)) << change << step;
    }
}

// A station saved twice; the child saves it a third time, or renames it or its line, and is
// killed the n-th time the change reaches the step, for every n the change reaches.
void TestJournal::crashAtEveryStep()
{
    QFETCH(QString, change);
    QFETCH(QString, step);
    const bool committed = step == "committed";
    for (int n = 1;; ++n) {
        RunFixture f;
        saveStation(f, 1);
        saveStation(f, 2);
        const QString database = tables(f);
        const QStringList files = f.listing(f.dataDir());
        f.tree.reset();
        if (!killedAt(f, change, step, n)) {
            QVERIFY2(n > 1, "the change never reached the step");
            break;
        }
        QVERIFY(QFileInfo::exists(ProjectJournal::pathIn(f.projectDir())));

        QVERIFY(f.open());
        QCOMPARE(f.sql("PRAGMA integrity_check"), QString("ok"));
        QVERIFY2(f.folderMismatch().isEmpty(), qPrintable(f.folderMismatch()));
        QCOMPARE(f.prompt.count(), committed ? 0 : 1);
        if (!committed) {
            QVERIFY(f.prompt.last().text.contains(recoveredNotice));
            QCOMPARE(tables(f), database);
            QCOMPARE(f.listing(f.dataDir()), files);
        }
        QVERIFY(!QFileInfo::exists(ProjectJournal::pathIn(f.projectDir())));
        // Said once: the next opening finds nothing to recover.
        QVERIFY(f.open());
        QCOMPARE(f.prompt.count(), committed ? 0 : 1);

        // The same change, or the next one, succeeds.
        if (change == "save") {
            saveStation(f, 4);
        } else {
            const bool station = change == "rename-station";
            QVERIFY(f.renameFirst(station, (station ? 130 : 7) + (committed ? 1 : 0)));
        }
        QVERIFY2(f.folderMismatch().isEmpty(), qPrintable(f.folderMismatch()));
        QVERIFY(!QFileInfo::exists(ProjectJournal::pathIn(f.projectDir())));
    }
}

void TestJournal::keptRecords_data()
{
    QTest::addColumn<QByteArray>("record");
    QTest::addColumn<QStringList>("left"); // files of the data folder afterwards
    QTest::addColumn<int>("prompts");
    QTest::addColumn<bool>("damaged"); // kept untouched, saying what is wrong
    const QByteArray check = "check\trows\tData_SampleData\t0\n";
    const QByteArray scope = "scope\tdata/Line 5/Station 100\tdata/Line 5/Station 150\n";
    const QByteArray head = check + scope;
    const QByteArray s100 = "data/Line 5/Station 100/";
    const QStringList untouched = {"Line 5/", "Line 5/Station 100/", "Line 5/Station 100/a.ats 4",
                                   "Line 5/Station 100/b.ats 4", "Line 5/Station 100/config.ini 4",
                                   "Line 5/Station 150/", "Line 5/Station 200/", "Line 5/Station 200/config.ini 4"};
    QStringList withoutA = untouched;
    withoutA.removeOne("Line 5/Station 100/a.ats 4");
    QStringList undone = withoutA;
    undone.removeOne("Line 5/Station 150/");
    undone.replaceInStrings("config.ini 4", "config.ini 2");
    undone.replace(undone.indexOf("Line 5/Station 200/config.ini 2"), "Line 5/Station 200/config.ini 4");
    const QByteArray undoing = head + "folder\tdata/Line 5/Station 150\nsize\t" + s100 + "config.ini\t2\nfile\t" + s100
                               + "a.ats\n";

    QTest::newRow("a last line cut off") << head + "file\t" + s100 + "a.ats\nfile\t" + s100 + "b.ats" << withoutA << 1
                                         << false;
    QTest::newRow("begun, cut before its scope") << check << untouched << 0 << false;
    QTest::newRow("cut in its first line") << QByteArray("check\tro") << untouched << 0 << false;
    QTest::newRow("begun with its scope") << head << untouched << 1 << false;
    QTest::newRow("file made, row appended, folder made") << undoing << undone << 1 << false;
    QTest::newRow("CR LF line ends") << QByteArray(undoing).replace("\n", "\r\n") << undone << 1 << false;

    const QList<QPair<const char *, QByteArray>> damaged = {
        {"a path outside the project", head + "file\t../outside.ats\n"},
        {"the project database", head + "file\tproj.HMT\n"},
        {"the project's settings", head + "text\tprojectConfig.ini\tAA==\n"},
        {"another station's config.ini", head + "size\tdata/Line 5/Station 200/config.ini\t0\n"},
        {"a way round through a parent folder", head + "file\t" + s100 + "../Station 200/config.ini\n"},
        {"a config.ini deleted as a channel file", head + "file\t" + s100 + "config.ini\n"},
        {"a folder of another line", head + "folder\tdata/Line 6\n"},
        {"a folder moved out of its line",
         "check\tvalue\tData_Station\t1\tStationNum\t130\nscope\tdata/Line 5/Station 100\tdata/Line 5/Station 130\n"
         "move\tdata/Line 5/Station 100\tdata/Line 6/Station 100\n"},
        {"a scope that is the data folder", check + "scope\tdata\nfile\t" + s100 + "a.ats\n"},
        {"no scope", check + "file\t" + s100 + "a.ats\n"},
        {"a table not checked", "check\trows\tsqlite_master\t0\n" + scope + "file\t" + s100 + "a.ats\n"},
    };
    for (const auto &row : damaged)
        QTest::newRow(row.first) << row.second << untouched << 1 << true;
}

// Records found when a project opens, as a crash or a hand leaves them: an entry cut while being
// written had not started its change; a record that names anything a save or rename of its own
// folders does not write changes nothing and stays.
void TestJournal::keptRecords()
{
    QFETCH(QByteArray, record);
    QFETCH(QStringList, left);
    QFETCH(int, prompts);
    QFETCH(bool, damaged);
    RunFixture f;
    f.tree.reset();
    const QString s100 = f.dataDir() + "/Line 5/Station 100/";
    for (const char *folder : {"/Line 5/Station 100", "/Line 5/Station 150", "/Line 5/Station 200"})
        QVERIFY(QDir().mkpath(f.dataDir() + folder));
    for (const char *name : {"a.ats", "b.ats", "config.ini"})
        QVERIFY(TestFiles::write(s100 + name, "data"));
    QVERIFY(TestFiles::write(f.dataDir() + "/Line 5/Station 200/config.ini", "keep"));
    QVERIFY(TestFiles::write(f.root + "/outside.ats", "keep"));
    QVERIFY(TestFiles::write(f.projectDir() + "/projectConfig.ini", "keep"));
    const QString path = ProjectJournal::pathIn(f.projectDir());
    QVERIFY(TestFiles::write(path, record));

    QVERIFY(f.open());
    QCOMPARE(f.listing(f.dataDir()), left);
    QCOMPARE(TestFiles::read(f.root + "/outside.ats"), QByteArray("keep"));
    QCOMPARE(TestFiles::read(f.projectDir() + "/projectConfig.ini"), QByteArray("keep"));
    QCOMPARE(f.sql("PRAGMA integrity_check"), QString("ok"));
    QCOMPARE(QFileInfo::exists(path), damaged);
    QCOMPARE(f.prompt.count(), prompts);
    if (!damaged) {
        if (prompts)
            QVERIFY(f.prompt.last().text.contains(recoveredNotice));
        return;
    }
    QCOMPARE(TestFiles::read(path), record);
    // Says what is wrong and offers to move it aside (answered no here).
    QVERIFY2(f.prompt.last().text.contains("已损坏") && f.prompt.last().text.contains("project.journal.bad"),
             qPrintable(f.prompt.last().text));
    // While the record stays, no save starts.
    QVERIFY(f.record(RunFixture::task(1, "Hx,E1"), 1));
    StationSampleInfo station = f.station();
    QString reason;
    QVERIFY(!f.tree->saveStationTempSampleData(station, StationNumAutoConfig{}, 0, &reason));
    QVERIFY2(reason.contains(recoveredNotice) && reason.contains("第"), qPrintable(reason));
    QCOMPARE(f.tree->getTempSamples().size(), 1);
}

// The operator moves a damaged record aside from the message: the project is checked against its
// folders (a stray station folder is named) and saves go on.
void TestJournal::damagedRecordSetAside()
{
    RunFixture f;
    saveStation(f, 1);
    f.tree.reset();
    const QString path = ProjectJournal::pathIn(f.projectDir());
    const QByteArray record = "check\trows\tData_SampleData\t1\nscope\tdata/Line 5/Station 100\nfile\tproj.HMT\n";
    for (const QString &taken : {path, path + ".bad"})
        QVERIFY(TestFiles::write(taken, record));
    QVERIFY(QDir().mkpath(f.dataDir() + "/Line 5/Station 150"));
    QVERIFY(TestFiles::write(f.dataDir() + "/Line 5/Station 150/stray.ats", "data"));

    f.prompt.expectYes();
    QVERIFY(f.open());
    QVERIFY(!QFileInfo::exists(path));
    QCOMPARE(TestFiles::read(path + ".bad2"), record);
    QCOMPARE(f.prompt.count(), 2);
    QVERIFY2(f.prompt.asked.first().text.contains("第3行"), qPrintable(f.prompt.asked.first().text));
    QVERIFY2(f.prompt.last().text.contains("project.journal.bad2") && f.prompt.last().text.contains("Station 150")
                 && !f.prompt.last().text.contains("Station 100"),
             qPrintable(f.prompt.last().text));
    QVERIFY(QFileInfo::exists(f.projectDir() + "/proj.HMT"));
    saveStation(f, 2);
}

void TestJournal::flushOrder_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<QString>("movedIn"); // the folder holding the folder a rename moves, under the data folder
    QTest::newRow("save") << "save" << QString();
    QTest::newRow("station rename") << "rename-station" << "/Line 5";
    QTest::newRow("line rename") << "rename-line" << "";
}

// What the disk is told to keep, and when: a moved folder's new name before anything inside it is
// rewritten, and the database's commit before the record goes.
void TestJournal::flushOrder()
{
    QFETCH(QString, change);
    QFETCH(QString, movedIn);
    RunFixture f;
    saveStation(f, 1);
    DiskLog log(f.projectDir());
    if (change == "save") {
        saveStation(f, 2);
    } else {
        const bool station = change == "rename-station";
        QVERIFY(f.renameFirst(station, station ? 130 : 7));
        QVERIFY2(log.between("folder " + f.dataDir() + movedIn + " (record)", "step moved", "step rewritten"),
                 qPrintable(log.events.join('\n')));
    }
    QVERIFY2(log.between("folder " + f.projectDir() + " (record)", "step committed"), qPrintable(log.events.join('\n')));
    QVERIFY(!QFileInfo::exists(ProjectJournal::pathIn(f.projectDir())));
}

void TestJournal::powerCutDuringRename_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<bool>("nameLost");
    for (const QString &change : {QString("rename-station"), QString("rename-line")}) {
        QTest::addRow("%s, all kept", qPrintable(change)) << change << false;
        QTest::addRow("%s, the folder's new name lost", qPrintable(change)) << change << true;
    }
}

// A rename cut off when all but the database was done, as a power cut may leave it: the folder's
// new name kept or lost (its parent not flushed) while what was renamed and rewritten inside it was
// kept, and a temporary file of a rewrite cut off beside config.ini. The recovery puts everything
// back, finding config.ini under either name, and flushes the restored config.ini before the folder
// takes its old name again.
void TestJournal::powerCutDuringRename()
{
    QFETCH(QString, change);
    QFETCH(bool, nameLost);
    RunFixture f;
    saveStation(f, 1);
    saveStation(f, 2);
    const QString database = tables(f);
    QStringList files = f.listing(f.dataDir());
    files << "Line 5/Station 100/config.ini.orig 4";
    files.sort();
    f.tree.reset();
    QVERIFY(killedAt(f, change, "synced", 1));

    const bool station = change == "rename-station";
    const QString oldFolder = f.dataDir() + (station ? "/Line 5/Station 100" : "/Line 5");
    const QString newFolder = f.dataDir() + (station ? "/Line 5/Station 130" : "/Line 7");
    const QString stationNow = (nameLost ? oldFolder : newFolder) + (station ? "" : "/Station 100");
    QVERIFY(QFileInfo::exists(newFolder));
    if (nameLost)
        QVERIFY(QDir().rename(newFolder, oldFolder));
    for (const char *name : {"config.ini.Ab12Cd", "config.ini.orig"})
        QVERIFY(TestFiles::write(stationNow + "/" + name, "left"));

    DiskLog log(f.projectDir());
    QVERIFY(f.open());
    QCOMPARE(f.sql("PRAGMA integrity_check"), QString("ok"));
    QCOMPARE(tables(f), database);
    QVERIFY2(f.folderMismatch().isEmpty(), qPrintable(f.folderMismatch()));
    QCOMPARE(f.listing(f.dataDir()), files);
    QCOMPARE(f.prompt.count(), 1);
    QVERIFY(f.prompt.last().text.contains(recoveredNotice));
    if (!nameLost) {
        const QStringList restored = {"file " + stationNow + "/config.ini (record)", "folder " + stationNow + " (record)"};
        QVERIFY2(log.events.indexOf(restored.at(0)) >= 0 && log.events.indexOf(restored.at(0)) < log.events.indexOf(restored.at(1)),
                 qPrintable(log.events.join('\n')));
    }
    QVERIFY(f.renameFirst(station, station ? 130 : 7));
    QVERIFY2(f.folderMismatch().isEmpty(), qPrintable(f.folderMismatch()));
}

QTEST_MAIN(TestJournal)
#include "tst_journal.moc"
