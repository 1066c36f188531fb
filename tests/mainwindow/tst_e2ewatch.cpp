#include "E2eSteps.h"
#include "FaultChecks.h"

#include "common/AMTMessageIds.h"
#include "link/LibCom.h"
#include "mainwindow/MainWindow.h"
#include "tools/simulator/AMTSimulator.h"

#include <QDir>
#include <QToolButton>
#include <QtTest>

using namespace faults;

namespace {

const QString projectId("AMT_WD");

// The index of the n-th (from 1) frame of the ID the simulator received, or -1.
int receivedAt(AMTSimulator &sim, uint32_t id, int n)
{
    const QList<SimJournalEntry> &entries = sim.journal().entries();
    for (int i = 0; i < entries.size(); ++i) {
        if (entries.at(i).direction == SimJournalEntry::Received && entries.at(i).id == id && --n == 0)
            return i;
    }
    return -1;
}

bool receivedBetween(AMTSimulator &sim, uint32_t id, int from, int until)
{
    const QList<SimJournalEntry> &entries = sim.journal().entries();
    for (int i = from + 1; i < until; ++i) {
        if (entries.at(i).direction == SimJournalEntry::Received && entries.at(i).id == id)
            return true;
    }
    return false;
}

} // namespace

// A transfer that stops making progress once its data connections are up, and a group whose end
// never comes in time.
class TestE2eWatch : public QObject
{
    Q_OBJECT
private slots:
    void stalledRunGroupIsCut();
    void overdueGroupIsCut_data();
    void overdueGroupIsCut();
    void stalledReadBackEnds();
};

// The second group's Hy block fails its checksum and nothing more comes: that group is cut with
// the notice, the status poll runs again meanwhile, and the run goes on to its third group.
void TestE2eWatch::stalledRunGroupIsCut()
{
    FaultBench bench;
    QVERIFY2(bench.setUp(projectId), qPrintable(bench.fixture.error()));
    AMTSimulator &sim = bench.fixture.simulator();
    // Groups long enough for a status request between two transfers, when the poll runs.
    sim.settings().sampleMs = 1000;
    QString error;
    QVERIFY2(addFault(sim, "msg=TRANSFORM_DATA on=data1 nth=2 fault=badchecksum", &error), qPrintable(error));
    const int boxes = bench.fixture.prompt().count();
    QVERIFY(bench.clickStart(4, 10));
    QTRY_VERIFY_WITH_TIMEOUT(saveOffered(*bench.window), 30000);
    QCOMPARE(bench.notices().count("第2组数据传输不完整，已丢弃"), 1);
    QVERIFY(bench.notices().contains("采样完成"));
    QCOMPARE(bench.boxesSince(boxes), QStringList());
    QVERIFY(receivedBetween(sim, AMT_CMD_MACHINE_STATUS, receivedAt(sim, AMT_CMD_TRANSFORM_DATA, 2),
                            receivedAt(sim, AMT_CMD_TRANSFORM_DATA, 3)));

    e2e::button(*bench.window, "tbtnSave")->click();
    QTRY_VERIFY(canGoOn(*bench.window) && !saveOffered(*bench.window));
    const SavedStation saved = checkSaved(bench.stationDir(4, 10), sentBlocks(sim, AMT_CMD_TRANSFORM_DATA),
                                          {4000, 1000, 500}, {0, 1, 3, 4});
    QCOMPARE(saved.faults, QStringList());
    QCOMPARE(saved.wholeGroups, QSet<int>({1, 3}));
}

void TestE2eWatch::overdueGroupIsCut_data()
{
    QTest::addColumn<QString>("rule");
    QTest::addColumn<int>("endsArriving"); // the instrument's group ends that reach the window
    QTest::addColumn<QSet<int>>("whole");
    QTest::newRow("last group's end lost") << "msg=SAMPLE_START on=control nth=3 fault=drop" << 2 << QSet<int>{1, 2};
    QTest::newRow("second group's end late") << "msg=SAMPLE_START on=control nth=2 fault=delay arg=3000" << 3
                                             << QSet<int>{1, 3};
}

// The group is cut with the notice once its duration and the margin have passed; the run goes
// on or ends with its save choice, and an end that comes later starts no transfer.
void TestE2eWatch::overdueGroupIsCut()
{
    QFETCH(QString, rule);
    QFETCH(int, endsArriving);
    QFETCH(QSet<int>, whole);
    FaultBench bench;
    QVERIFY2(bench.setUp(projectId), qPrintable(bench.fixture.error()));
    AMTSimulator &sim = bench.fixture.simulator();
    QString error;
    QVERIFY2(addFault(sim, rule, &error), qPrintable(error));
    QSignalSpy ends(bench.window->findChild<LibCom *>(), &LibCom::AMTMachineFreqGroupSampleOver);
    const int boxes = bench.fixture.prompt().count();
    QVERIFY(bench.clickStart(4, 10));
    QTRY_VERIFY_WITH_TIMEOUT(saveOffered(*bench.window), 20000);
    QTRY_COMPARE_WITH_TIMEOUT(ends.count(), endsArriving, 10000);
    QCOMPARE(sim.journal().received(AMT_CMD_TRANSFORM_DATA).size(), 2);
    const int cut = (QSet<int>{1, 2, 3} - whole).values().first();
    QCOMPARE(bench.notices().count(QString("第%1组数据传输不完整，已丢弃").arg(cut)), 1);
    QVERIFY(saveOffered(*bench.window));
    QCOMPARE(bench.boxesSince(boxes), QStringList());

    e2e::button(*bench.window, "tbtnSave")->click();
    QTRY_VERIFY(canGoOn(*bench.window) && !saveOffered(*bench.window));
    const SavedStation saved = checkSaved(bench.stationDir(4, 10), sentBlocks(sim, AMT_CMD_TRANSFORM_DATA),
                                          {4000, 1000, 500}, {0, 1, 3, 4});
    QCOMPARE(saved.faults, QStringList());
    QCOMPARE(saved.wholeGroups, whole);
}

// The Hy connection closes inside the second group's block and the other connections stay up:
// the read-back ends with one box and no busy dialog, keeps the first group, which came whole,
// and the poll runs again.
void TestE2eWatch::stalledReadBackEnds()
{
    FaultBench bench;
    QVERIFY2(bench.setUp(projectId), qPrintable(bench.fixture.error()));
    AMTSimulator &sim = bench.fixture.simulator();
    for (int group = 0; group < 3; ++group)
        sim.storage().add(e2e::storedGroup({projectId, 3, 100}, 1700000000 + group * 100, 1, {4000, 1, 16000}));
    QString error;
    QVERIFY2(addFault(sim, "msg=EXPORT_DATA on=data1 nth=2 fault=disconnect arg=1000", &error), qPrintable(error));
    const int boxes = bench.fixture.prompt().count();
    bench.readBackLine(3);
    QTRY_VERIFY_WITH_TIMEOUT(bench.fixture.prompt().count() > boxes, 20000);
    QCOMPARE(bench.boxesSince(boxes), QStringList({"数据传输超时，数据导出已中止！"}));
    QTRY_VERIFY(!busyDialogShown());
    QVERIFY(canGoOn(*bench.window));
    QVERIFY(!bench.notices().contains("数据导出成功！"));
    // The first group came whole and is kept; nothing of the group cut short is.
    const SavedStation saved = checkSaved(bench.stationDir(3, 100), sentBlocks(sim, AMT_CMD_EXPORT_DATA),
                                          {4000, 4000, 4000}, {0, 1, 2, 3, 4});
    QCOMPARE(saved.faults, QStringList());
    QCOMPARE(saved.wholeGroups, QSet<int>({1}));
    // Also the blocks of the group cut short go.
    QTRY_COMPARE(QDir(bench.fixture.appDir() + "/TempFile").entryList({"*.ats"}, QDir::Files), QStringList());
    QVERIFY(bench.fixture.waitForCommand(AMT_CMD_MACHINE_STATUS));
    QCOMPARE(bench.boxesSince(boxes).size(), 1);
}

QTEST_MAIN(TestE2eWatch)
#include "tst_e2ewatch.moc"
