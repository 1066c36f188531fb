#include "RunFixture.h"
#include "TestFiles.h"

#include "projectdata/ProjectJournal.h"
#include "projectdata/StationConfigRow.h"

#include <QtTest>

namespace {

const QString recoveredNotice = QStringLiteral("被中断");

// Why the files of the project do not match its database, or empty: each station of the database
// has its folder, whose "config.ini" holds one row per recording, and whose channel files are
// exactly those the rows name, each carrying the station's line and number; no other station
// folder exists.
QString mismatch(const RunFixture &f)
{
    QStringList problems;
    QStringList folders;
    const QString rows = f.sql("SELECT l.LineName || '|' || s.StationNum || '|' ||"
                               " (SELECT count(*) FROM Data_SampleData d WHERE d.Data_StationID = s.ID)"
                               " FROM Data_Station s JOIN Data_Line l ON s.Data_LineID = l.ID");
    for (const QString &row : rows.split('\n', Qt::SkipEmptyParts)) {
        const QString line = row.section('|', 0, 0);
        const QString station = QString::number(row.section('|', 1, 1).toDouble(), 'g', 6);
        const QString folder = "Line " + line + "/Station " + station;
        folders << folder;
        const QStringList lines = QString::fromUtf8(TestFiles::read(f.dataDir() + "/" + folder + "/config.ini"))
                                      .split("\r\n", Qt::SkipEmptyParts);
        if (lines.size() - 3 != row.section('|', 2, 2).toInt())
            problems << folder + ": " + QString::number(lines.size() - 3) + " rows";
        QStringList named;
        for (const QString &recording : lines.mid(3)) {
            QStringList names;
            StationConfigRow::channelFileNames(StationConfigRow::tokens(recording), names);
            named += names;
        }
        QStringList files = QDir(f.dataDir() + "/" + folder).entryList({"*.ats"}, QDir::Files);
        named.sort();
        files.sort();
        if (named != files)
            problems << folder + ": rows name " + named.join(',') + ", folder holds " + files.join(',');
        for (const QString &file : files) {
            if (!file.contains("_Line" + line + "_Station" + station + "_"))
                problems << folder + ": " + file;
        }
    }
    QStringList onDisk;
    for (const QString &line : QDir(f.dataDir()).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        for (const QString &station : QDir(f.dataDir() + "/" + line).entryList(QDir::Dirs | QDir::NoDotAndDotDot))
            onDisk << line + "/" + station;
    }
    folders.sort();
    onDisk.sort();
    if (folders != onDisk)
        problems << "station folders " + onDisk.join(',') + ", database " + folders.join(',');
    return problems.join('\n');
}

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

} // namespace

class TestJournal : public QObject
{
    Q_OBJECT

private slots:
    void crashAtEveryStep_data();
    void crashAtEveryStep();
    void keptRecords_data();
    void keptRecords();
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
        QVERIFY2(mismatch(f).isEmpty(), qPrintable(mismatch(f)));
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
        QVERIFY2(mismatch(f).isEmpty(), qPrintable(mismatch(f)));
        QVERIFY(!QFileInfo::exists(ProjectJournal::pathIn(f.projectDir())));
    }
}

void TestJournal::keptRecords_data()
{
    QTest::addColumn<QByteArray>("record");
    QTest::addColumn<QStringList>("left");  // files of the data folder afterwards
    QTest::addColumn<bool>("kept");
    const QByteArray check = "check\trows\tData_SampleData\t0\n";
    const QStringList untouched = {"a.ats 4", "b.ats 4", "c.ats 4", "new/"};
    QTest::newRow("a last line cut off") << check + "file\tdata/a.ats\nfile\tdata/b.ats"
                                         << QStringList({"b.ats 4", "c.ats 4", "new/"}) << false;
    QTest::newRow("begun only") << check << untouched << false;
    QTest::newRow("cut in its first line") << QByteArray("check\tro") << untouched << false;
    QTest::newRow("appended file cut back, folder removed")
        << check + "folder\tdata/new\nsize\tdata/c.ats\t2\n" << QStringList({"a.ats 4", "b.ats 4", "c.ats 2"}) << false;
    QTest::newRow("a path outside the project") << check + "file\tdata/a.ats\nfile\t../outside.ats\n" << untouched
                                                << true;
    QTest::newRow("a table not checked") << QByteArray("check\trows\tsqlite_master\t0\nfile\tdata/a.ats\n") << untouched
                                         << true;
}

// Records found when a project opens, as a crash or a hand leaves them: an entry cut while being
// written had not started its change; a record that cannot be trusted changes nothing and stays.
void TestJournal::keptRecords()
{
    QFETCH(QByteArray, record);
    QFETCH(QStringList, left);
    QFETCH(bool, kept);
    RunFixture f;
    f.tree.reset();
    for (const char *name : {"a.ats", "b.ats", "c.ats"})
        QVERIFY(TestFiles::write(f.dataDir() + "/" + QString(name), "data"));
    QVERIFY(QDir().mkpath(f.dataDir() + "/new"));
    QVERIFY(TestFiles::write(f.root + "/outside.ats", "keep"));
    const QString path = ProjectJournal::pathIn(f.projectDir());
    QVERIFY(TestFiles::write(path, record));

    QVERIFY(f.open());
    QCOMPARE(f.listing(f.dataDir()), left);
    QCOMPARE(TestFiles::read(f.root + "/outside.ats"), QByteArray("keep"));
    QCOMPARE(QFileInfo::exists(path), kept);
    QCOMPARE(f.prompt.count(), record.contains('\n') ? 1 : 0);
    if (!kept)
        return;
    // While the record stays, no save starts.
    QVERIFY(f.record(RunFixture::task(1, "Hx,E1"), 1));
    StationSampleInfo station = f.station();
    QString reason;
    QVERIFY(!f.tree->saveStationTempSampleData(station, StationNumAutoConfig{}, 0, &reason));
    QVERIFY2(reason.contains(recoveredNotice), qPrintable(reason));
    QCOMPARE(f.tree->getTempSamples().size(), 1);
}

QTEST_MAIN(TestJournal)
#include "tst_journal.moc"
