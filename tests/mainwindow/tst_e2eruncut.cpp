#include "E2eSteps.h"
#include "FaultChecks.h"

#include "common/AMTMessageIds.h"
#include "mainwindow/MainWindow.h"
#include "mainwindow/ToolBarStateMachine.h"
#include "tools/simulator/AMTSimulator.h"

#include <QToolButton>
#include <QtTest>

using namespace faults;

namespace {

const QString projectId("AMT_RC");
constexpr int line = 4;
constexpr int station = 10;
const QString leftOnInstrument("未传回的采样数据仍保存在仪器中，可通过数据导出读回");
const QString networkBox("网络断开！请确认网线接好后重新连接！");

QString toolBarState(MainWindow &window)
{
    return window.findChild<ToolBarStateMachine *>()->currentStateName();
}

} // namespace

// A run of three groups that cannot get all of them from the instrument.
class TestE2eRunCut : public QObject
{
    Q_OBJECT
private slots:
    void endsWithWhatItReceived_data();
    void endsWithWhatItReceived();

private:
    void startsAgainAfterReconnecting(FaultBench &bench);
};

void TestE2eRunCut::endsWithWhatItReceived_data()
{
    QTest::addColumn<QString>("rule");
    QTest::addColumn<QString>("box");
    QTest::addColumn<QSet<int>>("saved"); // the groups saved; none: no save choice
    const QString dataBox("数据端口未成功连接！");
    QTest::newRow("data port refused for the run") << "on=data1 fault=refuse" << dataBox << QSet<int>();
    QTest::newRow("connection lost as the first group is sampled")
        << "msg=SAMPLE_START on=control nth=1 fault=disconnect" << networkBox << QSet<int>();
    QTest::newRow("connection lost as the second group is sampled")
        << "msg=SAMPLE_START on=control nth=2 fault=disconnect" << networkBox << QSet<int>({1});
    QTest::newRow("connection lost before the last group is confirmed")
        << "msg=TRANSFORM_DATA on=control nth=3 fault=disconnect" << networkBox << QSet<int>({1, 2, 3});
}

// One box for the fault; the groups received whole are offered for saving, and without any the
// run ends idle. The instrument is never told to drop the run: its copy is the one to read back.
void TestE2eRunCut::endsWithWhatItReceived()
{
    QFETCH(QString, rule);
    QFETCH(QString, box);
    QFETCH(QSet<int>, saved);
    FaultBench bench;
    QVERIFY2(bench.setUp(projectId), qPrintable(bench.fixture.error()));
    AMTSimulator &sim = bench.fixture.simulator();
    QString error;
    QVERIFY2(addFault(sim, rule, &error), qPrintable(error));
    const int boxes = bench.fixture.prompt().count();
    QVERIFY(bench.clickStart(line, station));

    MainWindow &window = *bench.window;
    const QString endState = saved.isEmpty() ? "stateProjectIdle" : "stateSaveChoice";
    QTRY_VERIFY2_WITH_TIMEOUT(toolBarState(window) == endState && bench.boxesSince(boxes).size() == 1,
                              qPrintable(toolBarState(window) + ": " + bench.boxesSince(boxes).join(" | ")), 30000);
    QCOMPARE(bench.boxesSince(boxes), QStringList{box});
    QCOMPARE(bench.notices().contains(leftOnInstrument), saved.size() < 3);
    if (!saved.isEmpty()) {
        QTRY_VERIFY_WITH_TIMEOUT(saveOffered(window), 20000);
        e2e::button(window, "tbtnSave")->click();
        QTRY_COMPARE(toolBarState(window), QString("stateProjectIdle"));
    }
    const SavedStation station = checkSaved(bench.stationDir(line, ::station), sentBlocks(sim, AMT_CMD_TRANSFORM_DATA),
                                            {4000, 1000, 500}, {0, 1, 3, 4});
    QCOMPARE(station.faults, QStringList());
    QCOMPARE(station.wholeGroups, saved);
    QVERIFY(sim.journal().received(AMT_CMD_UNSAVE_DATA).isEmpty());
    QVERIFY(sim.storage().count({projectId, line, ::station}) > 0);
    QCOMPARE(bench.boxesSince(boxes).size(), 1);
    if (box == networkBox)
        startsAgainAfterReconnecting(bench);
}

// The instrument, still busy with the run the window ended, is stopped once reached again (not
// told to drop it), so that the next station starts.
void TestE2eRunCut::startsAgainAfterReconnecting(FaultBench &bench)
{
    AMTSimulator &sim = bench.fixture.simulator();
    const int groupsHeld = sim.storage().count({projectId, line, station});
    e2e::button(*bench.window, "tbtnConnectNetwork")->click();
    // The start is clicked at once, before the instrument's first report.
    QVERIFY(E2eFixture::waitUntil([&] { return canGoOn(*bench.window); }));
    QSignalSpy started(bench.window.get(), &MainWindow::sampleStart);
    QVERIFY(bench.clickStart(line, station + 1));
    QVERIFY2(started.wait(10000), qPrintable(bench.fixture.promptTexts().join(" | ")));
    QVERIFY(sim.journal().received(AMT_CMD_SAMPLE_STOP).size() <= 1);
    QCOMPARE(sim.storage().count({projectId, line, station}), groupsHeld);
}

QTEST_MAIN(TestE2eRunCut)
#include "tst_e2eruncut.moc"
