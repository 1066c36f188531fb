#include "E2eFixture.h"
#include "E2eSteps.h"

#include "common/AMTMessageIds.h"
#include "link/LibCom.h"
#include "mainwindow/MainWindow.h"

#include <QLineEdit>
#include <QSettings>
#include <QToolButton>
#include <QtTest>

#include <utility>

using namespace e2e;

namespace {

const QList<CtrlParam> threeTasks{task(4000, 1, 1), task(1000, 1, 1), task(500, 1, 1)};

} // namespace

// Commands in flight against the simulated instrument: a start until its notification, a stop
// until its answer, and questions answered after the world changed under them.
class TestE2eInFlight : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void lostStartNotificationIsWatched_data();
    void lostStartNotificationIsWatched();
    void startNotMadeEndsWithOneBox_data();
    void startNotMadeEndsWithOneBox();
    void startInFlightRefusesWhatARunRefuses_data();
    void startInFlightRefusesWhatARunRefuses();
    void stopKeepsTheGroupsReceived();
    void lostStopAnswerStopsNoOtherStation();
    void answerAfterTheConnectionDroppedSendsNothing_data();
    void answerAfterTheConnectionDroppedSendsNothing();
    void powerOffAsksAndIsToldAsSwitchedOff();
    void closeAnsweredAfterTheRunEndedAsksAgain();

private:
    void setOffline();
    void start(MainWindow &window, double station = 40);
    int received(uint32_t id) { return fixture->simulator().journal().received(id).size(); }
    QStringList boxesSinceStart() const { return fixture->promptTexts().mid(boxesAtStart); }

    std::unique_ptr<E2eFixture> fixture;
    QString projectPath;
    int boxesAtStart = 0;
};

void TestE2eInFlight::init()
{
    fixture = std::make_unique<E2eFixture>();
    QVERIFY2(fixture->setUp(), qPrintable(fixture->error()));
    MainWindow::setApplicationDirOverride(fixture->appDir());
    projectPath = makeProject(fixture->appDir());
}

void TestE2eInFlight::cleanup()
{
    MainWindow::setApplicationDirOverride(QString());
    fixture.reset();
}

// Before the window is built: the start button starts offline runs.
void TestE2eInFlight::setOffline()
{
    QSettings settings(fixture->systemConfigPath(), QSettings::IniFormat);
    settings.setValue("SystemConfig/SampleOnLineSelect", 0);
}

void TestE2eInFlight::start(MainWindow &window, double station)
{
    window.findChild<QLineEdit *>("lineEdit_LineNum")->setText("4");
    window.findChild<QLineEdit *>("lineEdit_StationNum")->setText(QString::number(station));
    QVERIFY2(clickUntilStarted(*fixture, button(window, "tbtnStartSample")),
             qPrintable(fixture->promptTexts().join(" | ")));
    boxesAtStart = fixture->prompt().count();
}

void TestE2eInFlight::lostStartNotificationIsWatched_data()
{
    QTest::addColumn<int>("group");
    QTest::addColumn<bool>("online");
    QTest::addColumn<int>("sampleMs");
    QTest::addColumn<int>("watchMs");
    // A short group: its end comes before the watch runs out. A long one: the status decides.
    QTest::newRow("first group, its end comes") << 1 << true << 300 << 20000;
    QTest::newRow("first group, busy report") << 1 << true << 2500 << 300;
    QTest::newRow("second group, its end comes") << 2 << true << 300 << 20000;
    QTest::newRow("second group, busy report") << 2 << true << 2500 << 300;
    QTest::newRow("offline, its end comes") << 1 << false << 300 << 20000;
    QTest::newRow("offline, busy report") << 1 << false << 2500 << 300;
}

// The instrument starts the group but its start notification is lost: the run goes on as if it
// had come, every group of an online run is received, an offline run shows its start and end.
void TestE2eInFlight::lostStartNotificationIsWatched()
{
    QFETCH(int, group);
    QFETCH(bool, online);
    QFETCH(int, sampleMs);
    QFETCH(int, watchMs);
    addFault(*fixture, QString("msg=NOTIFY sub=0x2 on=control nth=%1 fault=drop").arg(group));
    fixture->simulator().settings().sampleMs = sampleMs;
    if (!online)
        setOffline();
    MainWindow window;
    window.setStartWatchInterval(watchMs);
    window.onSlotTasksSettingSureClicked(threeTasks);
    QVERIFY(connectWithProject(window, projectPath));
    QSignalSpy offlineOver(&window, &MainWindow::offlineSampleOver);
    start(window);

    if (!online) {
        QVERIFY(offlineOver.count() == 1 || offlineOver.wait(20000));
        QCOMPARE(boxesSinceStart(), QStringList({"仪器离线采集结束！"}));
        QVERIFY(!button(window, "tbtnStartSample")->isHidden());
        return;
    }
    QVERIFY2(waitForSaveChoice(window), qPrintable(fixture->promptTexts().join(" | ")));
    QCOMPARE(tempRates(window), QList<int>({4000, 1000, 500}));
    QCOMPARE(received(AMT_CMD_SAMPLE_START), 3);
    QCOMPARE(boxesSinceStart(), QStringList());
}

void TestE2eInFlight::startNotMadeEndsWithOneBox_data()
{
    QTest::addColumn<bool>("statusAnswered");
    QTest::addColumn<QStringList>("boxes");
    QTest::newRow("idle report") << true << QStringList({"仪器没有开始第1组采集！"});
    QTest::newRow("no status either") << false
                                      << QStringList({"仪器没有回应第1组的开始采集，是否停止仪器采集?"});
}

// The instrument takes the start but does nothing: the start ends with one box, and start is
// offered again. When not even the status comes, the box offers to stop the instrument.
void TestE2eInFlight::startNotMadeEndsWithOneBox()
{
    QFETCH(bool, statusAnswered);
    QFETCH(QStringList, boxes);
    AMTSimulator &sim = fixture->simulator();
    MainWindow window;
    window.setStartWatchInterval(300);
    window.onSlotTasksSettingSureClicked({task(4000, 1, 1)});
    QVERIFY(connectWithProject(window, projectPath));
    sim.setAnswer(AMT_CMD_SAMPLE_START, [&sim, statusAnswered](const SimFrame &) {
        if (!statusAnswered)
            sim.setAnswer(AMT_CMD_MACHINE_STATUS, [](const SimFrame &) {});
    });
    start(window);
    fixture->prompt().expectYes();

    QTRY_COMPARE_WITH_TIMEOUT(boxesSinceStart(), boxes, 10000);
    QVERIFY(!button(window, "tbtnStartSample")->isHidden());
    QVERIFY(button(window, "tbtnStopSample")->isHidden());
    QCOMPARE(received(AMT_CMD_SAMPLE_STOP), statusAnswered ? 0 : 1);
}

void TestE2eInFlight::startInFlightRefusesWhatARunRefuses_data()
{
    QTest::addColumn<QString>("buttonName");
    QTest::addColumn<QString>("refusal");
    QTest::newRow("second start") << "tbtnStartSample" << "请在仪器空闲时开始采集！";
    QTest::newRow("trial") << "tbtnPreSampleData" << "请在仪器空闲时开始采集！";
    QTest::newRow("disconnect") << "tbtnDisconnectNetwork" << "正在开始采集，请稍候！";
    QTest::newRow("power off") << "tbtnPowerOff"
                               << "<p>请在仪器空闲时进行关机！</p><p>或者当前数据<strong>未保存</strong></p>";
    QTest::newRow("format") << "tbtnSDCardFormat" << "请在仪器空闲时恢复出厂设置！";
    QTest::newRow("storage management") << "tbtnMemoryManage" << "请在仪器空闲时进行内存管理！";
    QTest::newRow("close project") << "tbtnCloseProject" << "正在开始采集，请稍候！";
}

// A slow instrument: between the start sent and its notification, the clicks a run refuses are
// refused, nothing reaches the instrument, and the run then starts with Stop offered.
void TestE2eInFlight::startInFlightRefusesWhatARunRefuses()
{
    QFETCH(QString, buttonName);
    QFETCH(QString, refusal);
    addFault(*fixture, "msg=NOTIFY sub=0x2 on=control nth=1 fault=delay arg=1500");
    fixture->simulator().settings().sampleMs = 5000;
    MainWindow window;
    window.onSlotTasksSettingSureClicked({task(4000, 1, 1)});
    QVERIFY(connectWithProject(window, projectPath));
    QSignalSpy started(&window, &MainWindow::sampleStart);
    start(window);
    QVERIFY(fixture->waitForCommand(AMT_CMD_SAMPLE_START));
    QCOMPARE(started.count(), 0);

    button(window, qPrintable(buttonName))->click();
    QCOMPARE(boxesSinceStart(), QStringList({refusal}));
    QVERIFY(started.wait(10000));
    QVERIFY(!button(window, "tbtnStopSample")->isHidden());
    QVERIFY(window.findChild<LibCom *>()->isNetWorkConnected());
    QCOMPARE(received(AMT_CMD_SAMPLE_START), 1);
    for (uint32_t id : {AMT_CMD_POWER_OFF, AMT_CMD_SDCARD_FORMAT, AMT_CMD_DISK_SPACE_FILE})
        QCOMPARE(received(id), 0);
}

// The start notification of the second group is lost while the instrument samples it: the group
// is taken as started and Stop ends the run with the first group kept for its save.
void TestE2eInFlight::stopKeepsTheGroupsReceived()
{
    addFault(*fixture, "msg=NOTIFY sub=0x2 on=control nth=2 fault=drop");
    fixture->simulator().settings().sampleMs = 2000;
    MainWindow window;
    window.setStartWatchInterval(300);
    window.onSlotTasksSettingSureClicked(threeTasks);
    QVERIFY(connectWithProject(window, projectPath));
    QSignalSpy started(&window, &MainWindow::sampleStart);
    start(window);
    QTRY_COMPARE_WITH_TIMEOUT(started.count(), 2, 10000);
    QCOMPARE(tempRates(window), QList<int>({4000}));

    fixture->prompt().expectYes();
    button(window, "tbtnStopSample")->click();
    QVERIFY(waitForSaveChoice(window));
    QCOMPARE(boxesSinceStart(), QStringList({"请确认是否停止采集?", "仪器已经停止采集！"}));
    QCOMPARE(tempRates(window), QList<int>({4000}));
    button(window, "tbtnSave")->click();
    QTRY_VERIFY(!button(window, "tbtnStartSample")->isHidden());
    // In the scalar mode a station holds Hx, Hy and its electric channel of each group.
    QCOMPARE(filesUnder(QFileInfo(projectPath).absolutePath() + "/data/Line 4/Station 40", "*.ats").size(), 3);
}

// The stop's answer is lost; the idle report ends the run. The stop is not sent again once the
// request times out: the next station runs on.
void TestE2eInFlight::lostStopAnswerStopsNoOtherStation()
{
    addFault(*fixture, "msg=SAMPLE_STOP on=control nth=1 fault=drop");
    fixture->simulator().settings().sampleMs = 60000;
    MainWindow window;
    auto *com = window.findChild<LibCom *>();
    com->setRequestTimeout(1000);
    com->setRequestInterval(100);
    window.onSlotTasksSettingSureClicked({task(4000, 1, 1)});
    QVERIFY(connectWithProject(window, projectPath));
    QSignalSpy started(&window, &MainWindow::sampleStart);
    QSignalSpy stopped(&window, &MainWindow::samplStoped);
    start(window);
    QVERIFY(started.count() == 1 || started.wait(10000));
    fixture->prompt().expectYes();
    button(window, "tbtnStopSample")->click();
    QVERIFY(stopped.count() == 1 || stopped.wait(10000));
    QCOMPARE(boxesSinceStart(), QStringList({"请确认是否停止采集?", "仪器已经停止采集！"}));

    start(window, 41);
    QVERIFY(started.count() == 2 || started.wait(10000));
    // Well past the stop's time-out.
    QVERIFY(fixture->waitForCommand(AMT_CMD_MACHINE_STATUS, received(AMT_CMD_MACHINE_STATUS) + 8));
    QCOMPARE(received(AMT_CMD_SAMPLE_STOP), 1);
    QCOMPARE(stopped.count(), 1);
    QCOMPARE(fixture->simulator().workStatus(), 1);
    QVERIFY(!button(window, "tbtnStopSample")->isHidden());
    QCOMPARE(boxesSinceStart(), QStringList());
}

void TestE2eInFlight::answerAfterTheConnectionDroppedSendsNothing_data()
{
    QTest::addColumn<QString>("buttonName");
    QTest::addColumn<QString>("answer"); // empty: yes
    QTest::addColumn<uint>("command");
    QTest::newRow("format") << "tbtnSDCardFormat" << "恢复" << uint(AMT_CMD_SDCARD_FORMAT);
    QTest::newRow("storage management") << "tbtnMemoryManage" << "" << uint(AMT_CMD_DISK_SPACE_FILE);
    QTest::newRow("power off") << "tbtnPowerOff" << "" << uint(AMT_CMD_POWER_OFF);
}

// The control connection drops while the question is open: the answer sends nothing, the
// project stays open and the window is not left in maintenance.
void TestE2eInFlight::answerAfterTheConnectionDroppedSendsNothing()
{
    QFETCH(QString, buttonName);
    QFETCH(QString, answer);
    QFETCH(uint, command);
    MainWindow window;
    QVERIFY(connectWithProject(window, projectPath));
    auto *com = window.findChild<LibCom *>();
    const int sentBefore = received(command);
    const int boxes = fixture->prompt().count();
    // The answer is queued once the connection's own box has been shown.
    bool dropped = false;
    fixture->prompt().onAsk = [&](const PromptRequest &) {
        if (std::exchange(dropped, true))
            return;
        fixture->simulator().server().disconnectPort(SimControlPort);
        QVERIFY(E2eFixture::waitUntil([com] { return !com->isNetWorkConnected(); }));
        if (answer.isEmpty())
            fixture->prompt().expectYes();
        else
            fixture->prompt().expectText(answer);
    };
    button(window, qPrintable(buttonName))->click();

    QCOMPARE(fixture->promptTexts().mid(boxes).size(), 2);
    QCOMPARE(fixture->promptTexts().last(), QString("网络断开！请确认网线接好后重新连接！"));
    QCOMPARE(received(command), sentBefore);
    QVERIFY(!button(window, "tbtnStartSample")->isHidden());
    QVERIFY(button(window, "tbtnCloseProject")->isEnabled());
}

// 关机 asks first; the connection loss that follows is the instrument switching off, no cable
// fault.
void TestE2eInFlight::powerOffAsksAndIsToldAsSwitchedOff()
{
    MainWindow window;
    QVERIFY(connectWithProject(window, projectPath));
    auto *com = window.findChild<LibCom *>();
    const int boxes = fixture->prompt().count();
    fixture->prompt().expectNo();
    button(window, "tbtnPowerOff")->click();
    QCOMPARE(received(AMT_CMD_POWER_OFF), 0);
    QVERIFY(com->isNetWorkConnected());

    fixture->prompt().expectYes();
    button(window, "tbtnPowerOff")->click();
    QVERIFY(fixture->waitForCommand(AMT_CMD_POWER_OFF));
    QTRY_VERIFY(!com->isNetWorkConnected());
    QTRY_COMPARE(fixture->promptTexts().mid(boxes),
                 QStringList({"请确认是否关闭仪器电源?", "请确认是否关闭仪器电源?", "仪器已关机！"}));
    QCOMPARE(fixture->prompt().last().title, QString("提醒"));
}

// The close question is answered only once the run has finished and waits for its save: the yes
// was to closing without a run to lose, so the question that warns of it follows.
void TestE2eInFlight::closeAnsweredAfterTheRunEndedAsksAgain()
{
    fixture->simulator().settings().sampleMs = 400;
    MainWindow window;
    window.onSlotTasksSettingSureClicked({task(4000, 1, 1)});
    QVERIFY(connectWithProject(window, projectPath));
    QSignalSpy started(&window, &MainWindow::sampleStart);
    QSignalSpy over(&window, &MainWindow::sampleOver);
    start(window);
    QVERIFY(started.count() == 1 || started.wait(10000));
    // The run's first close question is whatever the window asks while it runs.
    bool waited = false;
    fixture->prompt().onAsk = [&](const PromptRequest &) {
        if (std::exchange(waited, true))
            return;
        QVERIFY(E2eFixture::waitUntil([&] { return over.count() == 1; }, 30000));
    };
    fixture->prompt().expectYes();
    fixture->prompt().expectNo();
    window.onClickBtnClose();

    const QStringList asked = boxesSinceStart();
    QCOMPARE(asked.size(), 2);
    QVERIFY2(asked.last().contains("尚未保存"), qPrintable(asked.join(" | ")));
    QVERIFY(!button(window, "tbtnSave")->isHidden());
    QVERIFY(!filesUnder(fixture->appDir() + "/TempFile", "*.ats").isEmpty());
}

QTEST_MAIN(TestE2eInFlight)
#include "tst_e2einflight.moc"
