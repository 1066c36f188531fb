#include "E2eFixture.h"
#include "E2eSteps.h"

#include "common/AMTMessageIds.h"
#include "common/Clock.h"
#include "link/LibCom.h"
#include "mainwindow/MainWindow.h"
#include "tools/simulator/SimFault.h"
#include "shell/chrome/QtMaterialSnackbar.h"

#include <QLineEdit>
#include <QSettings>
#include <QToolButton>
#include <QtTest>

using namespace e2e;

namespace {

constexpr int pollMs = 150;

// The project every test opens holds this station, so the same line and station asks first.
constexpr int projectLine = 3;
constexpr double projectStation = 50;

// One start through the window's button and what the operator is told.
struct StartCase
{
    bool projectOpen = true;
    bool connect = true;
    bool instrumentConfirmsProject = true;
    bool instrumentBusy = false;
    QList<CtrlParam> tasks = {task(4000, 1, 1)};
    E2eSensors sensors;
    int gpsStatus = 1;
    QString line = QStringLiteral("8");
    QString station = QStringLiteral("80");
    QString title;
    QStringList texts;
};

StartCase refused(const QString &title, const QStringList &texts)
{
    StartCase c;
    c.title = title;
    c.texts = texts;
    return c;
}

CtrlParam plannedTask(qint64 startsInSeconds)
{
    CtrlParam t = task(4000, 1, 1);
    t.SampleStartTime = int(Clock::currentSecsSinceEpoch() + startsInSeconds);
    return t;
}

// The value of a "Key=value" line of the station task text the instrument was sent.
QString taskField(const QByteArray &text, const QString &key)
{
    for (const QString &line : QString::fromUtf8(text).split('\n')) {
        if (line.startsWith(key + '='))
            return line.mid(key.size() + 1).trimmed();
    }
    return QString();
}

// Records that the window was asked to close and keeps it open: the program's quit would end
// the event loops of every later test.
class CloseCatcher : public QObject
{
public:
    bool closed = false;

    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() != QEvent::Close)
            return false;
        closed = true;
        return true;
    }
};

} // namespace

Q_DECLARE_METATYPE(StartCase)

// Starting runs through the window against the simulated instrument: the project configuration,
// the start checks, the runs that end by themselves, the over-water repetition and its stop, and
// the reactions to the instrument's versions and error word.
class TestE2eStart : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void projectConfigurationResentUntilConfirmed();
    void startChecks_data();
    void startChecks();
    void trialRunEndsByItself();
    void offlineRunEndsAfterItsFirstGroup();
    void overWaterRunRepeatsUntilStopped();
    void overWaterStopInFlight_data();
    void overWaterStopInFlight();
    void overWaterRepeatsWhateverItsReplies_data();
    void overWaterRepeatsWhateverItsReplies();
    void overWaterRepetitionSaysWhenItEnds();
    void groupEndWithoutRunChangesNothing();
    void firmware_data();
    void firmware();
    void hardware_data();
    void hardware();
    void errorBoxesDoNotPileUp();

private:
    bool connectAndWaitForVersions(MainWindow &window);
    void setLineStation(MainWindow &window, const QString &line, const QString &station);
    // The operator's stored choice of the task dialog, read by the window it constructs.
    void storeOfflineRuns();
    // Offline runs in the over-water mode, stored for the window to come.
    bool storeOverWaterRuns();
    // One short task, the station stepped by 10 from line 9 station 100, connected with the project.
    bool connectForStations(MainWindow &window);
    // Waits until the window has handled count more status reports; what they made it send
    // has then reached the instrument.
    bool waitForReports(MainWindow &window, int count = 3);
    int received(uint32_t id) { return fixture->simulator().journal().received(id).size(); }
    QStringList notices(MainWindow &window);

    std::unique_ptr<E2eFixture> fixture;
    QString projectPath;
};

void TestE2eStart::init()
{
    fixture = std::make_unique<E2eFixture>();
    QVERIFY2(fixture->setUp(), qPrintable(fixture->error()));
    fixture->simulator().settings().byteExactSamples = true;
    MainWindow::setApplicationDirOverride(fixture->appDir());
    projectPath = makeProject(fixture->appDir(), projectLine, projectStation);
}

void TestE2eStart::cleanup()
{
    MainWindow::setApplicationDirOverride(QString());
    fixture.reset();
}

bool TestE2eStart::connectAndWaitForVersions(MainWindow &window)
{
    window.setTimerIntervals(pollMs, 2000);
    QSignalSpy versions(window.findChild<LibCom *>(), &LibCom::AMTMachineSystemInfo);
    button(window, "tbtnConnectNetwork")->click();
    return versions.wait(10000);
}

void TestE2eStart::setLineStation(MainWindow &window, const QString &line, const QString &station)
{
    window.findChild<QLineEdit *>("lineEdit_LineNum")->setText(line);
    window.findChild<QLineEdit *>("lineEdit_StationNum")->setText(station);
}

bool TestE2eStart::waitForReports(MainWindow &window, int count)
{
    QSignalSpy reports(window.findChild<LibCom *>(), &LibCom::AMTMachineStatus);
    return E2eFixture::waitUntil([&reports, count] { return reports.count() >= count; });
}

void TestE2eStart::storeOfflineRuns()
{
    QSettings settings(fixture->systemConfigPath(), QSettings::IniFormat);
    settings.setValue("SystemConfig/SampleOnLineSelect", 0);
}

bool TestE2eStart::storeOverWaterRuns()
{
    storeOfflineRuns();
    return E2eFixture::writeSystemConfig(fixture->systemConfigPath(), fixture->basePort(), E2eSensors(),
                                         "OverWaterTest");
}

bool TestE2eStart::connectForStations(MainWindow &window)
{
    window.onSlotTasksSettingSureClicked({task(4000, 1, 1)});
    window.onSlotSetStationNumAutoConfig({10, true});
    if (!connectWithProject(window, projectPath, pollMs))
        return false;
    setLineStation(window, "9", "100");
    return true;
}

QStringList TestE2eStart::notices(MainWindow &window)
{
    return window.findChild<QtMaterialSnackbar *>()->messages();
}

// The instrument ignores the first two configurations; the idle reports resend it until it
// confirms, and then no more.
void TestE2eStart::projectConfigurationResentUntilConfirmed()
{
    QString error;
    QVERIFY(fixture->simulator().faults().load("msg=PROJECT_CONFIG nth=1 fault=drop\n"
                                               "msg=PROJECT_CONFIG nth=2 fault=drop",
                                               &error));
    MainWindow window;
    QVERIFY(connectWithProject(window, projectPath, pollMs));
    const int sent = received(AMT_CMD_PROJECT_CONFIG);
    QVERIFY(sent >= 3);
    QVERIFY(waitForReports(window));
    QCOMPARE(received(AMT_CMD_PROJECT_CONFIG), sent);
    QCOMPARE(fixture->promptTexts(), QStringList());
}

void TestE2eStart::startChecks_data()
{
    QTest::addColumn<StartCase>("start");
    const QString error = QStringLiteral("出错");

    StartCase c = refused(error, {"请确认工程是否处于打开状态！请打开工程/新建工程后再进行操作！"});
    c.projectOpen = false;
    QTest::newRow("no project") << c;

    c = refused(error, {"请确认网络是否连接上！请连接网络！"});
    c.connect = false;
    QTest::newRow("not connected") << c;

    c = refused(error, {"请确认仪器是否工程配置过！请关闭此工程重新打开！"});
    c.instrumentConfirmsProject = false;
    QTest::newRow("project not confirmed") << c;

    c = refused(error, {"请确认采集任务列表是否设置！请重新设置再进行操作！"});
    c.tasks.clear();
    QTest::newRow("no tasks") << c;

    c = refused(error, {"距离任务协同采集开始时间不足!请重新设置再进行操作!"});
    c.tasks = {plannedTask(10)};
    QTest::newRow("planned start too soon") << c;

    c = refused(error, {"当前GPS未锁定，请锁定后再开始采集！"});
    c.tasks = {plannedTask(3600)};
    c.gpsStatus = 0;
    QTest::newRow("planned start without GPS") << c;

    c = refused(error, {"请确认Hx磁棒输入通道是否设置！请设置后再进行操作！"});
    c.sensors.coil = QStringLiteral("未设置");
    QTest::newRow("coil not set") << c;

    c = refused(error, {"请确认E0电极输入通道是否设置！请设置后再进行操作！"});
    c.sensors.electrode = QStringLiteral("未设置");
    QTest::newRow("electrode not set") << c;

    // Each recorded channel kind needs a gain of the rate's list, not just one of the two.
    c = refused(QStringLiteral("参数错误"), {"采样率 4000 增益倍数不符，请重新设置"});
    c.tasks.first().EGain = 3;
    QTest::newRow("electric gain invalid") << c;

    c = refused(QStringLiteral("参数错误"), {"采样率 1000 增益倍数不符，请重新设置"});
    c.tasks.append(task(1000, 1, 1));
    c.tasks.last().HGain = 3;
    QTest::newRow("second task's magnetic gain invalid") << c;

    c = refused(QStringLiteral("参数错误"), {"请确认点/线号是否设置！请输入点/线线号！"});
    c.station.clear();
    QTest::newRow("no station") << c;

    c = refused(QStringLiteral("提醒"),
                {"当前设置的采集任务线点号与最后一次采集任务线点号相同，请确认是否同线点号进行采集?", "请修改线点号！"});
    c.line = QString::number(projectLine);
    c.station = QString::number(projectStation);
    QTest::newRow("same line and station, no") << c;

    c = refused(QStringLiteral("仪器状态提醒"), {"仪器正在忙碌中，请稍后再开始采集！"});
    c.instrumentBusy = true;
    QTest::newRow("instrument busy") << c;
}

// A refused start shows its box and leaves the instrument alone, also at the next idle reports.
void TestE2eStart::startChecks()
{
    QFETCH(StartCase, start);
    AMTSimulator &sim = fixture->simulator();
    sim.settings().gpsStatus = start.gpsStatus;
    if (!start.instrumentConfirmsProject) {
        QString error;
        QVERIFY(sim.faults().load("msg=PROJECT_CONFIG nth=all fault=drop", &error));
    }
    QVERIFY(E2eFixture::writeSystemConfig(fixture->systemConfigPath(), fixture->basePort(), start.sensors));
    MainWindow window;
    window.onSlotTasksSettingSureClicked(start.tasks);
    if (start.projectOpen && start.connect && start.instrumentConfirmsProject)
        QVERIFY(connectWithProject(window, projectPath, pollMs));
    else if (start.projectOpen)
        window.openProject(projectPath);
    if (start.connect && !(start.projectOpen && start.instrumentConfirmsProject)) {
        window.setTimerIntervals(pollMs, 2000);
        button(window, "tbtnConnectNetwork")->click();
        QVERIFY(fixture->waitForCommand(AMT_CMD_MACHINE_STATUS, 2));
    }
    sim.settings().reportedWorkStatus = start.instrumentBusy ? 1 : -1;
    if (start.connect)
        QVERIFY(waitForReports(window, 2));
    setLineStation(window, start.line, start.station);

    QToolButton *startButton = button(window, "tbtnStartSample");
    QCOMPARE(startButton->isEnabled(), start.connect);
    // Without a connection the button is disabled; its slot must refuse all the same.
    if (start.connect)
        startButton->click();
    else
        window.onSlotStartSampleAction();
    QTRY_COMPARE(fixture->promptTexts(), start.texts);
    QCOMPARE(fixture->prompt().last().title, start.title);

    sim.settings().reportedWorkStatus = -1;
    if (start.connect)
        QVERIFY(waitForReports(window));
    QCOMPARE(received(AMT_CMD_SAMPLE_GROUPS_NUM), 0);
    QCOMPARE(received(AMT_CMD_SAMPLE_START), 0);
    QCOMPARE(fixture->promptTexts(), start.texts);
}

// A trial run is online whatever the task dialog says, shortened, stored under the trial line,
// and dropped on the instrument by itself; the next run deletes its temporary recordings.
void TestE2eStart::trialRunEndsByItself()
{
    storeOfflineRuns();
    MainWindow window;
    window.onSlotTasksSettingSureClicked({task(4000, 180, 1)});
    QVERIFY(connectWithProject(window, projectPath, pollMs));
    QSignalSpy over(&window, &MainWindow::preSampleOver);
    button(window, "tbtnPreSampleData")->click();
    QVERIFY(fixture->waitForCommand(AMT_CMD_UNSAVE_DATA, 1, 20000));
    QCOMPARE(over.count(), 1);
    QCOMPARE(received(AMT_CMD_TRANSFORM_DATA), 1);
    const QByteArray taskText = fixture->simulator().journal().received(AMT_CMD_SAMPLE_START).first().payload();
    QCOMPARE(taskField(taskText, "LineNum"), QString("42017259"));
    QCOMPARE(taskField(taskText, "StationNum"), QString("0"));
    QCOMPARE(taskField(taskText, "SampleTime"), QString("1"));
    QCOMPARE(taskField(taskText, "OnLineSelect"), QString("1"));

    QCOMPARE(fixture->promptTexts(), QStringList());
    QVERIFY(button(window, "tbtnSwitchView")->isHidden());
    QVERIFY(button(window, "tbtnSave")->isHidden());
    QVERIFY(filesUnder(QFileInfo(projectPath).absolutePath(), "*.ats").isEmpty());
    const QString tempFolder = fixture->appDir() + "/TempFile";
    QVERIFY(!filesUnder(tempFolder, "*.ats").isEmpty());

    setLineStation(window, "8", "80");
    QSignalSpy offlineOver(&window, &MainWindow::offlineSampleOver);
    button(window, "tbtnStartSample")->click();
    QCOMPARE(fixture->promptTexts(), QStringList());
    QVERIFY(filesUnder(tempFolder, "*.ats").isEmpty());
    QVERIFY(offlineOver.wait(20000));
}

// An offline run transfers nothing and ends at the instrument's first group end; the idle
// reports that follow do not end it again.
void TestE2eStart::offlineRunEndsAfterItsFirstGroup()
{
    storeOfflineRuns();
    MainWindow window;
    window.onSlotTasksSettingSureClicked({task(4000, 1, 1), task(1000, 1, 40)});
    window.onSlotSetStationNumAutoConfig({10, true});
    QVERIFY(connectWithProject(window, projectPath, pollMs));
    setLineStation(window, "6", "60");
    QSignalSpy started(&window, &MainWindow::offlineSampleStart);
    QSignalSpy over(&window, &MainWindow::offlineSampleOver);
    button(window, "tbtnStartSample")->click();
    QVERIFY(started.wait(10000));
    QVERIFY(notices(window).contains("线6点60数据采集命令下发！"));
    QVERIFY(over.count() == 1 || over.wait(10000));

    QCOMPARE(fixture->promptTexts(), QStringList({"仪器离线采集结束！"}));
    QCOMPARE(fixture->prompt().last().title, QString("提醒"));
    // The scalar mode steps by the step length per electric channel of the first task.
    QCOMPARE(window.findChild<QLineEdit *>("lineEdit_StationNum")->text(), QString("80"));
    QVERIFY(waitForReports(window));
    QCOMPARE(over.count(), 1);
    QCOMPARE(fixture->prompt().count(), 1);
    QCOMPARE(received(AMT_CMD_TRANSFORM_DATA), 0);
    QCOMPARE(received(AMT_CMD_SAMPLE_START), 1);
}

// The over-water mode starts the next station after each one by itself. While a station is
// sampled Stop is shown and start is neither shown nor taken; Stop ends the repetition.
void TestE2eStart::overWaterRunRepeatsUntilStopped()
{
    QVERIFY(storeOverWaterRuns());
    AMTSimulator &sim = fixture->simulator();
    // The third station stays in its sampling until it is stopped.
    int stationsStarted = 0;
    connect(&sim, &AMTSimulator::commandHandled, this, [&](uint32_t id) {
        if (id == AMT_CMD_SAMPLE_START && ++stationsStarted == 2)
            sim.settings().sampleMs = 60000;
    });
    MainWindow window;
    QVERIFY(connectForStations(window));
    QSignalSpy offlineStart(&window, &MainWindow::offlineSampleStart);
    QSignalSpy starts(window.findChild<LibCom *>(), &LibCom::AMTMachineSampleStarted);
    button(window, "tbtnStartSample")->click();
    QTRY_COMPARE_WITH_TIMEOUT(starts.count(), 3, 20000);
    QVERIFY(!button(window, "tbtnStopSample")->isHidden());
    QCOMPARE(offlineStart.count(), 0);
    QCOMPARE(fixture->promptTexts(), QStringList());
    QStringList stations;
    for (const SimJournalEntry &entry : sim.journal().received(AMT_CMD_SAMPLE_START))
        stations << taskField(entry.payload(), "StationNum");
    QCOMPARE(stations, QStringList({"100", "110", "120"}));

    QVERIFY(button(window, "tbtnStartSample")->isHidden());
    window.onSlotStartSampleAction();
    QCOMPARE(fixture->promptTexts(), QStringList({"请在仪器空闲时开始采集！"}));
    QCOMPARE(fixture->prompt().last().title, QString("提醒"));

    fixture->prompt().expectYes();
    button(window, "tbtnStopSample")->click();
    QVERIFY(fixture->waitForCommand(AMT_CMD_SAMPLE_STOP));
    QTRY_COMPARE(fixture->prompt().count(), 3);
    QCOMPARE(fixture->promptTexts().mid(1), QStringList({"请确认是否停止采集?", "仪器已经停止水上数据采集！"}));
    QVERIFY(button(window, "tbtnStopSample")->isHidden());
    QVERIFY(waitForReports(window));
    QCOMPARE(received(AMT_CMD_SAMPLE_START), 3);
    QCOMPARE(received(AMT_CMD_SAMPLE_GROUPS_NUM), 3);
}

void TestE2eStart::overWaterStopInFlight_data()
{
    QTest::addColumn<QString>("delayedAnswer");
    QTest::addColumn<int>("nth");
    QTest::newRow("the next station's groups answer") << "SAMPLE_GROUPS_NUM" << 2;
    QTest::newRow("the station's group end") << "SAMPLE_START" << 1;
}

// A stop clicked while an answer of the instrument is on its way (the repetition's groups
// answer, or the group end that repeats the run): what arrives after the stop starts no further
// station.
void TestE2eStart::overWaterStopInFlight()
{
    QFETCH(QString, delayedAnswer);
    QFETCH(int, nth);
    QVERIFY(storeOverWaterRuns());
    AMTSimulator &sim = fixture->simulator();
    QString error;
    QVERIFY(sim.faults().load(QString("msg=%1 nth=%2 fault=delay arg=1000").arg(delayedAnswer).arg(nth), &error));
    MainWindow window;
    QVERIFY(connectForStations(window));
    QSignalSpy stopped(window.findChild<LibCom *>(), &LibCom::AMTMachineSampleStoped);
    button(window, "tbtnStartSample")->click();
    const uint32_t delayedId = SimFault::idForName(delayedAnswer);
    QVERIFY(E2eFixture::waitUntil([&] { return sim.journal().sent(delayedId).size() == nth; }, 20000));

    const int groupsRequests = received(AMT_CMD_SAMPLE_GROUPS_NUM);
    fixture->prompt().expectYes();
    button(window, "tbtnStopSample")->click();
    QVERIFY(stopped.wait(10000));
    QVERIFY(waitForReports(window));
    QCOMPARE(received(AMT_CMD_SAMPLE_START), 1);
    QCOMPARE(received(AMT_CMD_SAMPLE_GROUPS_NUM), groupsRequests);
    QCOMPARE(sim.workStatus(), 0);
    QVERIFY(button(window, "tbtnStopSample")->isHidden());
}

void TestE2eStart::overWaterRepeatsWhateverItsReplies_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<int>("tasks");
    QTest::newRow("group end lost") << "msg=SAMPLE_START on=control nth=1 fault=drop" << 1;
    QTest::newRow("two tasks") << QString() << 2;
}

// The station's end is the instrument's idle report when its reply is lost, or when the
// instrument samples the station's later groups after its one reply: the next station starts
// once the instrument is idle, without a box, and the repetition goes on.
void TestE2eStart::overWaterRepeatsWhateverItsReplies()
{
    QFETCH(QString, fault);
    QFETCH(int, tasks);
    QVERIFY(storeOverWaterRuns());
    QString error;
    QVERIFY2(fixture->simulator().faults().load(fault, &error), qPrintable(error));
    MainWindow window;
    QVERIFY(connectForStations(window));
    if (tasks == 2)
        window.onSlotTasksSettingSureClicked({task(4000, 1, 1), task(1000, 1, 1)});
    button(window, "tbtnStartSample")->click();
    QVERIFY2(E2eFixture::waitUntil([&] { return received(AMT_CMD_SAMPLE_START) >= 3; }, 30000),
             qPrintable(fixture->promptTexts().join(" | ")));
    QStringList stations;
    for (const SimJournalEntry &entry : fixture->simulator().journal().received(AMT_CMD_SAMPLE_START))
        stations << taskField(entry.payload(), "StationNum");
    QCOMPARE(stations.mid(0, 3), QStringList({"100", "110", "120"}));
    QCOMPARE(fixture->promptTexts(), QStringList());
    QVERIFY(!button(window, "tbtnStopSample")->isHidden());
}

// A repetition that cannot go on (the instrument reports busy when the next station is to start)
// ends with a notice beside the box that says why.
void TestE2eStart::overWaterRepetitionSaysWhenItEnds()
{
    QVERIFY(storeOverWaterRuns());
    AMTSimulator &sim = fixture->simulator();
    MainWindow window;
    QVERIFY(connectForStations(window));
    connect(&sim, &AMTSimulator::commandHandled, this, [&](uint32_t id) {
        if (id == AMT_CMD_SAMPLE_START)
            sim.settings().reportedWorkStatus = 1;
    });
    button(window, "tbtnStartSample")->click();
    QVERIFY(E2eFixture::waitUntil([&] { return !button(window, "tbtnStopSample")->isHidden(); }, 20000));
    QVERIFY(E2eFixture::waitUntil([&] { return !button(window, "tbtnStartSample")->isHidden(); }, 20000));
    QCOMPARE(fixture->promptTexts(), QStringList({"仪器正在忙碌中，请稍后再开始采集！"}));
    QVERIFY(notices(window).contains("水上连续采集已停止"));
}

// A group end that no run waits for requests no transfer and leaves the status poll running.
void TestE2eStart::groupEndWithoutRunChangesNothing()
{
    MainWindow window;
    window.onSlotTasksSettingSureClicked({task(4000, 1, 1)});
    QVERIFY(connectWithProject(window, projectPath, pollMs));
    emit window.findChild<LibCom *>()->AMTMachineFreqGroupSampleOver();
    QVERIFY(waitForReports(window));
    QCOMPARE(received(AMT_CMD_TRANSFORM_DATA), 0);
    QCOMPARE(fixture->promptTexts(), QStringList());
}

void TestE2eStart::firmware_data()
{
    QTest::addColumn<float>("version");
    QTest::addColumn<QStringList>("texts");
    QTest::newRow("1.02 accepted") << 1.02f << QStringList();
    QTest::newRow("1.0199 refused") << 1.0199f
                                    << QStringList({"仪器固件版本 1.0199 过低，请更换匹配的采集软件！\r\n"
                                                    "本软件仅支持 1.02 及以上固件版本的仪器"});
}

// A refused firmware disconnects without the lost-connection box and keeps Connect disabled.
// A second click while the first connection is being made opens no second one.
void TestE2eStart::firmware()
{
    QFETCH(float, version);
    QFETCH(QStringList, texts);
    fixture->simulator().settings().firmwareVersion = version;
    MainWindow window;
    window.setTimerIntervals(pollMs, 2000);
    QSignalSpy links(&fixture->simulator().server(), &SimServer::connected);
    QToolButton *connectButton = button(window, "tbtnConnectNetwork");
    connectButton->click();
    connectButton->click();
    QVERIFY(fixture->waitForCommand(AMT_CMD_SYSTEM_INFO));
    const bool accepted = texts.isEmpty();
    QTRY_COMPARE(connectButton->isHidden(), accepted);
    QCOMPARE(connectButton->isEnabled(), accepted);
    if (accepted)
        QVERIFY(fixture->waitForCommand(AMT_CMD_MACHINE_STATUS, 3));
    else
        QTRY_VERIFY(!fixture->simulator().server().isConnected(SimControlPort));
    QCOMPARE(fixture->promptTexts(), texts);
    if (!accepted)
        QCOMPARE(fixture->prompt().last().title, QString("仪器固件版本"));
    QCOMPARE(received(AMT_CMD_SYSTEM_INFO), 1);
    QCOMPARE(links.count(), 1);
}

void TestE2eStart::hardware_data()
{
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<QStringList>("texts");
    QTest::newRow("three decimals, reconnected") << QVariant() << QStringList();
    QTest::newRow("another instrument's version")
        << QVariant("1.02") << QStringList({"混合使用不同硬件版本的仪器需要重启软件 Ver:1.015\r\n"});
}

// A version with three decimals is stored so that it matches itself on the next connection;
// only another instrument's version closes the program.
void TestE2eStart::hardware()
{
    QFETCH(QVariant, stored);
    QFETCH(QStringList, texts);
    fixture->simulator().settings().hardwareVersion = 1.015f;
    if (stored.isValid()) {
        QSettings settings(fixture->systemConfigPath(), QSettings::IniFormat);
        settings.setValue("SystemConfig/HardwareVer", stored);
    }
    MainWindow window;
    CloseCatcher closing;
    window.installEventFilter(&closing);
    QVERIFY(connectAndWaitForVersions(window));
    const bool closes = !texts.isEmpty();
    if (!closes) {
        button(window, "tbtnDisconnectNetwork")->click();
        QTRY_VERIFY(!button(window, "tbtnConnectNetwork")->isHidden());
        QVERIFY(connectAndWaitForVersions(window));
        QVERIFY(fixture->waitForCommand(AMT_CMD_MACHINE_STATUS, 2));
    }
    QCOMPARE(fixture->promptTexts(), texts);
    QCOMPARE(closing.closed, closes);
    if (closes)
        QCOMPARE(fixture->prompt().last().title, QString("软件即将关闭"));
}

// The power word arrives again with every error report. Its box is shown once: the sticky bits
// are stored before it, and while it is open (the poll goes on) no word is asked for.
void TestE2eStart::errorBoxesDoNotPileUp()
{
    AMTSimulator &sim = fixture->simulator();
    sim.settings().batteryVoltage = 9;
    sim.settings().reportedWorkStatus = 2;
    sim.setErrorWord(0x2);
    MainWindow window;
    auto *link = window.findChild<LibCom *>();
    QToolButton *startButton = button(window, "tbtnStartSample");
    int wordsAskedDuringBox = -1;
    bool startEnabledDuringBox = true;
    fixture->prompt().onAsk = [&](const PromptRequest &) {
        if (wordsAskedDuringBox >= 0)
            return;
        const int asked = received(AMT_CMD_ERROR_CODE);
        QSignalSpy reports(link, &LibCom::AMTMachineStatus);
        E2eFixture::waitUntil([&reports] { return reports.count() >= 3; });
        wordsAskedDuringBox = received(AMT_CMD_ERROR_CODE) - asked;
        startEnabledDuringBox = startButton->isEnabled();
    };
    QVERIFY(connectAndWaitForVersions(window));
    QTRY_VERIFY_WITH_TIMEOUT(fixture->prompt().count() > 0, 10000);
    QVERIFY(fixture->waitForCommand(AMT_CMD_ERROR_CODE, 3));
    QCOMPARE(fixture->promptTexts(), QStringList({"电源故障！请检查电源电压，并更换电源！仪器采集功能关闭！"}));
    QCOMPARE(wordsAskedDuringBox, 0);
    QVERIFY(!startEnabledDuringBox);
    QVERIFY(!startButton->isEnabled());
}

QTEST_MAIN(TestE2eStart)
#include "tst_e2estart.moc"
