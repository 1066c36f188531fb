#include "RunFixture.h"

#include "projectdata/ProjectJournal.h"
#include "projectdata/ProjectLock.h"

#include <QtTest>

namespace {

void saveStation(RunFixture &f, int group)
{
    QVERIFY(f.record(RunFixture::task(1, "Hx,E1"), group));
    StationSampleInfo record = f.station();
    QString reason;
    QVERIFY2(f.tree->saveStationTempSampleData(record, StationNumAutoConfig{}, 0, &reason), qPrintable(reason));
}

// The child on the fixture's project, stopped where it prints "held".
class Holder
{
public:
    Holder(const RunFixture &f, const QString &change, const QString &step)
    {
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        child.start(HOLDING_CHILD, {f.root, change, step});
    }
    ~Holder()
    {
        if (child.state() != QProcess::NotRunning) {
            child.kill();
            child.waitForFinished(60000);
        }
    }
    bool waitHeld()
    {
        while (!child.canReadLine()) {
            if (!child.waitForReadyRead(60000))
                return false;
        }
        return child.readLine() == "held\n";
    }
    // Lets the child go on; its exit code, -1 when it did not end normally.
    int finish()
    {
        child.write("go\n");
        child.closeWriteChannel();
        if (!child.waitForFinished(60000) || child.exitStatus() != QProcess::NormalExit)
            return -1;
        return child.exitCode();
    }
    QProcess child;
};

} // namespace

class TestLock : public QObject
{
    Q_OBJECT

private slots:
    void secondProgramRefused_data();
    void secondProgramRefused();
    void deadHolderTakenOver();
};

void TestLock::secondProgramRefused_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<QString>("step");
    QTest::newRow("project open") << "open" << "";
    QTest::newRow("save held before its commit") << "save" << "synced";
    QTest::newRow("station rename held before its commit") << "rename-station" << "synced";
}

// Another program holds the project, or holds a change just before its database commit: this
// opening is refused, naming the holder, and touches nothing; the change then completes.
void TestLock::secondProgramRefused()
{
    QFETCH(QString, change);
    QFETCH(QString, step);
    RunFixture f;
    saveStation(f, 1);
    f.tree.reset();
    Holder holder(f, change, step);
    QVERIFY(holder.waitHeld());
    QCOMPARE(QFileInfo::exists(ProjectJournal::pathIn(f.projectDir())), change != "open");
    const QStringList files = f.listing(f.projectDir());

    QVERIFY(!f.open());
    QCOMPARE(f.prompt.count(), 1);
    const QString refusal = f.prompt.last().text;
    QVERIFY2(refusal.contains(QString::number(holder.child.processId())), qPrintable(refusal));
    QVERIFY2(refusal.contains(QSysInfo::machineHostName()), qPrintable(refusal));
    QCOMPARE(f.listing(f.projectDir()), files);

    QCOMPARE(holder.finish(), 0);
    QVERIFY(f.open());
    QCOMPARE(f.prompt.count(), 1);
    QVERIFY(!QFileInfo::exists(ProjectJournal::pathIn(f.projectDir())));
    QVERIFY2(f.folderMismatch().isEmpty(), qPrintable(f.folderMismatch()));
    QCOMPARE(f.sql("SELECT count(*) FROM Data_SampleData"), change == "save" ? QString("2") : QString("1"));
    QCOMPARE(f.sql("SELECT StationNum FROM Data_Station"), change == "rename-station" ? QString("130.0") : QString("100.0"));
}

// A holder killed while it holds the project leaves its lock file; the next opening takes it over,
// and closing the project gives the lock up.
void TestLock::deadHolderTakenOver()
{
    RunFixture f;
    saveStation(f, 1);
    f.tree.reset();
    Holder holder(f, "open", "");
    QVERIFY(holder.waitHeld());
    QVERIFY(QFileInfo::exists(ProjectLock::pathFor(f.projectDir() + "/proj.HMT")));
    holder.child.kill();
    QVERIFY(holder.child.waitForFinished(60000));

    QVERIFY(QFileInfo::exists(ProjectLock::pathFor(f.projectDir() + "/proj.HMT")));
    QVERIFY(f.open());
    QCOMPARE(f.prompt.count(), 0);
    f.tree->closeProject();
    QVERIFY(!QFileInfo::exists(ProjectLock::pathFor(f.projectDir() + "/proj.HMT")));
}

QTEST_MAIN(TestLock)
#include "tst_lock.moc"
