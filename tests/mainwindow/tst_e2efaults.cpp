#include "E2eSteps.h"
#include "FaultChecks.h"

#include "common/AMTMessageIds.h"
#include "mainwindow/MainWindow.h"
#include "tools/simulator/AMTSimulator.h"
#include "tools/simulator/SimStorage.h"

#include <QToolButton>
#include <QtTest>

using namespace faults;

// Which part of the table this executable runs, so that ctest can run the parts side by side:
// 1 the control messages of a run, 2 a run's data blocks, 3 the control messages of a read-back,
// 4 a read-back's data blocks, 5 the control messages of an over-water run, 6 the stop answer of a
// stopped run and the control messages of an offline run.
#ifndef FAULT_TABLE_PART
#define FAULT_TABLE_PART 1
#endif

namespace {

const QString projectId("AMT_FT");
const QList<int> rates{4000, 1000, 500};
const QList<int> runChannels{0, 1, 3, 4}; // Hx, Hy, E1, E0 of the run's tasks
const QList<int> allChannels{0, 1, 2, 3, 4};
constexpr int runLine = 4;
constexpr int runStation = 10;
constexpr int heldLine = 3;
constexpr int heldStation = 100;
constexpr int heldSecondStation = 200; // one group at the first rate, read back after the first
constexpr int settleMs = 10000;
constexpr bool readBackPart = FAULT_TABLE_PART == 3 || FAULT_TABLE_PART == 4;
constexpr bool overWaterPart = FAULT_TABLE_PART == 5;
constexpr int overWaterStations = 4; // started by the repetition when nothing stops it

struct Message
{
    const char *name;
    const char *rule; // the script's selection of the frame
    const char *port; // the port a refusal closes
};

// The messages of a run of three groups; each rule hits the second group's.
const Message runControlMessages[] = {
    {"start notification", "msg=NOTIFY sub=0x2 on=control nth=2", "control"},
    {"group sampled", "msg=SAMPLE_START on=control nth=2", "control"},
    {"transfer request", "msg=NOTIFY sub=0x5 on=control nth=2", "control"},
    {"transfer over", "msg=TRANSFORM_DATA on=control nth=2", "control"},
    {"status", "msg=MACHINE_STATUS on=control nth=1", "control"},
};
const Message runDataMessages[] = {
    {"Hx block", "msg=TRANSFORM_DATA on=data0 nth=2", "data0"},
    {"Hy block", "msg=TRANSFORM_DATA on=data1 nth=2", "data1"},
    {"E1 block", "msg=TRANSFORM_DATA on=data3 nth=2", "data3"},
    {"E0 block", "msg=TRANSFORM_DATA on=data4 nth=2", "data4"},
};
// The messages of an over-water run of three groups a station, past its start: the second
// station's group reply, and a status report of the repetition.
const Message overWaterMessages[] = {
    {"group sampled", "msg=SAMPLE_START on=control nth=2", "control"},
    {"status", "msg=MACHINE_STATUS on=control nth=3", "control"},
};
// The messages of a read-back of a line: a station of three groups, then one of one group;
// blocks of the first station's second group.
const Message readBackControlMessages[] = {
    {"project text", "msg=NOTIFY sub=0xB on=control nth=1", "control"},
    {"station text", "msg=NOTIFY sub=0xB on=control nth=2", "control"},
    {"station over", "msg=EXPORT_DATA on=control nth=1", "control"},
    {"status", "msg=MACHINE_STATUS on=control nth=1", "control"},
};
// The answer to a stop clicked while the run's second group is sampled.
const Message stopMessages[] = {
    {"stop answer", "msg=SAMPLE_STOP on=control nth=1", "control"},
};
// The messages of an offline run: the instrument answers after its first group only.
const Message offlineMessages[] = {
    {"start notification", "msg=NOTIFY sub=0x2 on=control nth=1", "control"},
    {"group sampled", "msg=SAMPLE_START on=control nth=1", "control"},
    {"status", "msg=MACHINE_STATUS on=control nth=2", "control"},
};
const Message readBackDataMessages[] = {
    {"Hx block", "msg=EXPORT_DATA on=data0 nth=2", "data0"},
    {"Hy block", "msg=EXPORT_DATA on=data1 nth=2", "data1"},
    {"E2 block", "msg=EXPORT_DATA on=data2 nth=2", "data2"},
    {"E1 block", "msg=EXPORT_DATA on=data3 nth=2", "data3"},
    {"E0 block", "msg=EXPORT_DATA on=data4 nth=2", "data4"},
};

const char *const faultKinds[] = {"drop",  "delay", "duplicate", "garbage", "badchecksum", "badheader",
                                  "split", "glue",  "short",     "absurd",  "disconnect",  "refuse"};

// The script line of the fault on the message. A delay stays below the stall interval; a short
// data block keeps a part of its samples.
QString faultRule(const QString &kind, const Message &message)
{
    if (kind == "refuse")
        return QString("on=%1 fault=refuse").arg(message.port);
    QString rule = QString("%1 fault=%2").arg(message.rule, kind);
    if (kind == "delay")
        rule += QString(" arg=%1").arg(FaultBench::stallMs * 2 / 5);
    if (kind == "short")
        rule += QString(" arg=%1").arg(QString(message.port).startsWith("data") ? 1000 : 2);
    return rule;
}

// How the run under the fault goes: through its groups, stopped in its second group, or offline.
enum class RunKind { Whole, Stopped, Offline };

template <size_t N>
void addRows(const Message (&messages)[N], RunKind run = RunKind::Whole, const char *prefix = "")
{
    for (const char *kind : faultKinds) {
        for (const Message &message : messages)
            QTest::newRow(qPrintable(QString("%1%2 %3").arg(prefix, kind, message.name)))
                << faultRule(kind, message) << int(run);
    }
}

QString windowState(FaultBench &bench)
{
    const auto shown = [&bench](const char *name) {
        QToolButton *button = e2e::button(*bench.window, name);
        return QString(button->isHidden() ? "hidden" : button->isEnabled() ? "offered" : "disabled");
    };
    return QString("boxes %1; notices %2; busy dialog %3; start %4, save %5")
        .arg(bench.fixture.promptTexts().join(" | "), bench.notices().join(" | "))
        .arg(busyDialogShown())
        .arg(shown("tbtnStartSample"), shown("tbtnSave"));
}

} // namespace

// Every fault the simulator can script, on every message of a run and of a read-back: each group
// is saved whole as sent or reported as cut, and the operator can go on, with at most one box.
class TestE2eFaults : public QObject
{
    Q_OBJECT
private slots:
    void table_data();
    void table();

private:
    void startUnderFault(FaultBench &bench, QSignalSpy &started);
    void runUnderFault(FaultBench &bench);
    void stoppedRunUnderFault(FaultBench &bench);
    void offlineRunUnderFault(FaultBench &bench);
    void recoverCutGroups(FaultBench &bench, const QSet<int> &savedByRun);
    void readBackUnderFault(FaultBench &bench);
    void overWaterUnderFault(FaultBench &bench);
    // Waits until the window is idle again after a read-back: no busy dialog, start offered.
    bool readBackSettled(FaultBench &bench);
};

void TestE2eFaults::table_data()
{
    QTest::addColumn<QString>("rule");
    QTest::addColumn<int>("run");
    if (FAULT_TABLE_PART == 1) {
        addRows(runControlMessages);
    } else if (FAULT_TABLE_PART == 2) {
        addRows(runDataMessages);
    } else if (FAULT_TABLE_PART == 3) {
        addRows(readBackControlMessages);
    } else if (FAULT_TABLE_PART == 4) {
        addRows(readBackDataMessages);
    } else if (FAULT_TABLE_PART == 5) {
        addRows(overWaterMessages);
    } else {
        addRows(stopMessages, RunKind::Stopped, "stopped run: ");
        addRows(offlineMessages, RunKind::Offline, "offline run: ");
    }
}

void TestE2eFaults::table()
{
    QFETCH(QString, rule);
    QFETCH(int, run);
    FaultBench bench;
    const bool offline = run == int(RunKind::Offline);
    QVERIFY2(overWaterPart ? bench.setUp(projectId, "OverWaterTest", false) : bench.setUp(projectId, "Vector", !offline),
             qPrintable(bench.fixture.error()));
    if (readBackPart) {
        SimStorage &storage = bench.fixture.simulator().storage();
        for (int group = 0; group < rates.size(); ++group) {
            const int rate = rates.at(group);
            storage.add(e2e::storedGroup({projectId, heldLine, heldStation}, 1700000000 + group * 100, 1,
                                         {rate, 1, rate * 4}));
        }
        const int rate = rates.first();
        storage.add(e2e::storedGroup({projectId, heldLine, heldSecondStation}, 1700000500, 1, {rate, 1, rate * 4}));
    }
    QString error;
    QVERIFY2(addFault(bench.fixture.simulator(), rule, &error), qPrintable(error));
    if (readBackPart)
        readBackUnderFault(bench);
    else if (overWaterPart)
        overWaterUnderFault(bench);
    else if (run == int(RunKind::Stopped))
        stoppedRunUnderFault(bench);
    else if (run == int(RunKind::Offline))
        offlineRunUnderFault(bench);
    else
        runUnderFault(bench);
}

// A fault that costs the connection before the run has started: the operator connects again,
// and starts again unless the start goes on by itself.
void TestE2eFaults::startUnderFault(FaultBench &bench, QSignalSpy &started)
{
    QVERIFY2(bench.clickStart(runLine, runStation), qPrintable(windowState(bench)));
    if (started.count() > 0 || started.wait(5000))
        return;
    QVERIFY2(bench.settle([&] { return canGoOn(*bench.window); }, settleMs), qPrintable(windowState(bench)));
    if (started.count() == 0 && !started.wait(8000))
        QVERIFY2(bench.clickStart(runLine, runStation), qPrintable(windowState(bench)));
    QVERIFY2(started.count() > 0 || started.wait(5000), qPrintable(windowState(bench)));
}

void TestE2eFaults::runUnderFault(FaultBench &bench)
{
    const int boxes = bench.fixture.prompt().count();
    QSignalSpy started(bench.window.get(), &MainWindow::sampleStart);
    startUnderFault(bench, started);
    if (QTest::currentTestFailed())
        return;
    QVERIFY2(bench.settle([&] { return canGoOn(*bench.window); }, settleMs), qPrintable("stuck: " + windowState(bench)));
    if (saveOffered(*bench.window)) {
        e2e::button(*bench.window, "tbtnSave")->click();
        QVERIFY2(bench.settle([&] { return !saveOffered(*bench.window) && canGoOn(*bench.window); }, settleMs),
                 qPrintable("save: " + windowState(bench)));
    }
    QVERIFY2(bench.boxesSince(boxes).size() <= 1, qPrintable(windowState(bench)));

    AMTSimulator &sim = bench.fixture.simulator();
    const SavedStation saved = checkSaved(bench.stationDir(runLine, runStation),
                                          sentBlocks(sim, AMT_CMD_TRANSFORM_DATA), rates, runChannels);
    QVERIFY2(saved.faults.isEmpty(), qPrintable(saved.faults.join("; ")));
    for (int group : sentWhole(sim, AMT_CMD_TRANSFORM_DATA, runChannels)) {
        QVERIFY2(saved.wholeGroups.contains(group),
                 qPrintable(QString("group %1 sent whole and cut: %2").arg(group).arg(windowState(bench))));
    }
    for (int group = 1; group <= rates.size(); ++group) {
        const bool reported = bench.notices().contains(QString("第%1组数据传输不完整，已丢弃").arg(group));
        QVERIFY2(saved.wholeGroups.contains(group) != reported,
                 qPrintable(QString("group %1 %2: %3")
                                .arg(group)
                                .arg(reported ? "saved and reported cut" : "neither saved nor reported cut")
                                .arg(windowState(bench))));
    }
    if (saved.wholeGroups.size() < rates.size())
        recoverCutGroups(bench, saved.wholeGroups);
}

// The operator stops the run while its second group is sampled: the first group is saved whole,
// nothing is saved cut, and the instrument is stopped once.
void TestE2eFaults::stoppedRunUnderFault(FaultBench &bench)
{
    AMTSimulator &sim = bench.fixture.simulator();
    // Groups long enough for the click, each awaited well past its end.
    sim.settings().sampleMs = 2000;
    bench.window->setSamplingWatchMargin(5000);
    QSignalSpy started(bench.window.get(), &MainWindow::sampleStart);
    QVERIFY2(bench.clickStart(runLine, runStation), qPrintable(windowState(bench)));
    QVERIFY2(E2eFixture::waitUntil([&] { return started.count() >= 2; }, settleMs), qPrintable(windowState(bench)));
    const int boxes = bench.fixture.prompt().count();
    bench.fixture.prompt().expectYes();
    e2e::button(*bench.window, "tbtnStopSample")->click();
    QVERIFY2(bench.settle([&] { return canGoOn(*bench.window); }, settleMs), qPrintable("stuck: " + windowState(bench)));
    if (saveOffered(*bench.window)) {
        e2e::button(*bench.window, "tbtnSave")->click();
        QVERIFY2(bench.settle([&] { return !saveOffered(*bench.window) && canGoOn(*bench.window); }, settleMs),
                 qPrintable("save: " + windowState(bench)));
    }
    // The question, the stop's notice and at most one box of the fault.
    QVERIFY2(bench.boxesSince(boxes).size() <= 3, qPrintable(windowState(bench)));

    const SavedStation saved = checkSaved(bench.stationDir(runLine, runStation),
                                          sentBlocks(sim, AMT_CMD_TRANSFORM_DATA), rates, runChannels);
    QVERIFY2(saved.faults.isEmpty(), qPrintable(saved.faults.join("; ")));
    QVERIFY2(saved.wholeGroups.contains(1), qPrintable(windowState(bench)));
    QCOMPARE(sim.journal().received(AMT_CMD_SAMPLE_STOP).size(), 1);
}

// An offline run shows its start and end whatever befalls its messages, and a read-back then
// brings every group the instrument recorded.
void TestE2eFaults::offlineRunUnderFault(FaultBench &bench)
{
    AMTSimulator &sim = bench.fixture.simulator();
    QSignalSpy started(bench.window.get(), &MainWindow::offlineSampleStart);
    QSignalSpy over(bench.window.get(), &MainWindow::offlineSampleOver);
    const int boxes = bench.fixture.prompt().count();
    startUnderFault(bench, started);
    if (QTest::currentTestFailed())
        return;
    QVERIFY2(bench.settle([&] { return over.count() > 0 && canGoOn(*bench.window); }, settleMs),
             qPrintable("stuck: " + windowState(bench)));
    // The end's notice and at most one box of the fault.
    QVERIFY2(bench.boxesSince(boxes).size() <= 2, qPrintable(windowState(bench)));
    QVERIFY2(E2eFixture::waitUntil([&] { return sim.workStatus() == 0; }, settleMs), "the instrument still samples");
    // A start whose notification was cut off with the connection is started again by the
    // operator: the station is then recorded twice, and only the first recording is read back here.
    const int held = sim.storage().count({projectId, runLine, runStation});
    const bool startedTwice = sim.journal().received(AMT_CMD_SAMPLE_START).size() == 2;
    QVERIFY2(held == rates.size() || (startedTwice && held == 2 * rates.size()), qPrintable(windowState(bench)));
    if (held == rates.size())
        recoverCutGroups(bench, {});
}

// A read-back of the run's station stores exactly the groups the run lacks, of those the
// instrument holds (a run cut off from it may end before its last groups were sampled).
void TestE2eFaults::recoverCutGroups(FaultBench &bench, const QSet<int> &savedByRun)
{
    AMTSimulator &sim = bench.fixture.simulator();
    sim.faults().clear();
    const int boxes = bench.fixture.prompt().count();
    bench.readBackLine(runLine);
    QVERIFY2(readBackSettled(bench), qPrintable("read-back stuck: " + windowState(bench)));
    QVERIFY2(bench.boxesSince(boxes).isEmpty(), qPrintable("read-back: " + windowState(bench)));
    // The files the run saved are its blocks; those the read-back adds, the read-back's.
    QMap<BlockKey, QByteArray> sent = sentBlocks(sim, AMT_CMD_TRANSFORM_DATA);
    const QMap<BlockKey, QByteArray> readBack = sentBlocks(sim, AMT_CMD_EXPORT_DATA);
    for (auto block = readBack.cbegin(); block != readBack.cend(); ++block) {
        if (!savedByRun.contains(block.key().first))
            sent.insert(block.key(), block.value());
    }
    const SavedStation recovered = checkSaved(bench.stationDir(runLine, runStation), sent, rates, runChannels);
    QVERIFY2(recovered.faults.isEmpty(), qPrintable("after the read-back: " + recovered.faults.join("; ")));
    QSet<int> expected = savedByRun;
    const int held = sim.storage().count({projectId, runLine, runStation});
    for (int group = 1; group <= held; ++group)
        expected.insert(group);
    QCOMPARE(recovered.wholeGroups, expected);
}

void TestE2eFaults::readBackUnderFault(FaultBench &bench)
{
    bench.fixture.simulator().storage().setProjectName(projectId, projectId);
    const int boxes = bench.fixture.prompt().count();
    bench.readBackLine(heldLine);
    QVERIFY2(readBackSettled(bench), qPrintable("stuck: " + windowState(bench)));
    const QStringList raised = bench.boxesSince(boxes);
    QVERIFY2(raised.size() <= 1, qPrintable(windowState(bench)));

    AMTSimulator &sim = bench.fixture.simulator();
    int missing = 0;
    const QList<QPair<int, QList<int>>> stations{{heldStation, rates}, {heldSecondStation, {rates.first()}}};
    for (const auto &station : stations) {
        const SavedStation saved = checkSaved(bench.stationDir(heldLine, station.first),
                                              sentBlocks(sim, AMT_CMD_EXPORT_DATA, station.first), station.second,
                                              allChannels);
        QVERIFY2(saved.faults.isEmpty(), qPrintable(saved.faults.join("; ")));
        for (int group : sentWhole(sim, AMT_CMD_EXPORT_DATA, allChannels, station.first)) {
            QVERIFY2(saved.wholeGroups.contains(group), qPrintable(QString("station %1 group %2 sent whole and cut: %3")
                                                                       .arg(station.first)
                                                                       .arg(group)
                                                                       .arg(windowState(bench))));
        }
        missing += station.second.size() - saved.wholeGroups.size();
    }
    if (missing == 0)
        return;
    QVERIFY2(!raised.isEmpty() && !bench.notices().contains("数据导出成功！"),
             qPrintable(QString("%1 groups not saved, not reported: %2").arg(missing).arg(windowState(bench))));
}

// The repetition goes on past the fault, or ends and says so (a box or its notice); at most one
// box, and the operator's stop ends it.
void TestE2eFaults::overWaterUnderFault(FaultBench &bench)
{
    AMTSimulator &sim = bench.fixture.simulator();
    const auto stationsStarted = [&sim] { return sim.journal().received(AMT_CMD_SAMPLE_START).size(); };
    bench.window->onSlotSetStationNumAutoConfig({10, true});
    const int boxes = bench.fixture.prompt().count();
    bench.clickStart(runLine, runStation);
    const auto endedAndSaid = [&] {
        const bool said = !bench.boxesSince(boxes).isEmpty() || bench.notices().contains("水上连续采集已停止");
        return canGoOn(*bench.window) && said;
    };
    QVERIFY2(bench.settle([&] { return stationsStarted() >= overWaterStations || endedAndSaid(); }, settleMs),
             qPrintable(QString("stuck or ended silently after %1 stations: %2")
                            .arg(stationsStarted())
                            .arg(windowState(bench))));
    QVERIFY2(bench.boxesSince(boxes).size() <= 1, qPrintable(windowState(bench)));
    // The instrument samples a station's later groups on its own: a start that does not wait
    // for them finds it busy.
    QVERIFY2(!bench.boxesSince(boxes).contains("仪器正在忙碌中，请稍后再开始采集！"), qPrintable(windowState(bench)));
    QToolButton *stop = e2e::button(*bench.window, "tbtnStopSample");
    if (stop->isHidden())
        return;
    bench.fixture.prompt().expectYes();
    stop->click();
    QVERIFY2(bench.settle([&] { return canGoOn(*bench.window); }, settleMs), qPrintable("stop: " + windowState(bench)));
}

bool TestE2eFaults::readBackSettled(FaultBench &bench)
{
    AMTSimulator &sim = bench.fixture.simulator();
    const int requests = sim.journal().received(AMT_CMD_EXPORT_DATA).size();
    return bench.settle(
        [&] {
            return sim.journal().received(AMT_CMD_EXPORT_DATA).size() > requests && !busyDialogShown()
                   && canGoOn(*bench.window);
        },
        settleMs);
}

QTEST_MAIN(TestE2eFaults)
#include "tst_e2efaults.moc"
