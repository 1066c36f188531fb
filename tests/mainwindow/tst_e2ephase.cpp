#include "E2eFixture.h"
#include "E2eSteps.h"

#include "common/AMTMessageIds.h"
#include "link/LibCom.h"
#include "mainwindow/MainWindow.h"
#include "projectdata/DataModel_Index.h"
#include "projectdata/ImpedanceCalculator.h"
#include "shell/chrome/QtMaterialSnackbar.h"

#include <QLineEdit>
#include <QSettings>
#include <QToolButton>
#include <QtTest>

using namespace e2e;

// The run's phase against the simulated instrument: replies and clicks that come at the wrong
// time change nothing, and a finished run keeps its save choice until it is saved or discarded.
class TestE2ePhase : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void stopAnsweredAfterTheRunEndedKeepsTheSaveChoice();
    void refusedSaveOffersNothingThatLosesTheRun();
    void saveWaitsForTheLastGroup();
    void repeatedRepliesAreIgnored_data();
    void repeatedRepliesAreIgnored();
    void lateDataConnectionRequestIsIgnored();
    void idleReportEndsARun_data();
    void idleReportEndsARun();
    void runKeepsItsTasksAndMode();
    void stopCrossingTheTransfer_data();
    void stopCrossingTheTransfer();
    void closeDuringARunWarnsOfIt_data();
    void closeDuringARunWarnsOfIt();
    void emptyInstrumentIsToldAndClosesNothing();
    void secondHalfOfADoubleClickSendsNothing();

private:
    void addFault(const QString &rule);
    // Clicks the button until the start is taken (the instrument may not have the project yet).
    void start(MainWindow &window, const char *buttonName = "tbtnStartSample", int line = 4, double station = 40);
    // A trial run of one 4000 Hz group, until the instrument has started it.
    void startTrial(MainWindow &window);
    bool waitForSaveChoice(MainWindow &window);
    int received(uint32_t id) { return fixture->simulator().journal().received(id).size(); }
    QStringList boxesSinceStart() const { return fixture->promptTexts().mid(boxesAtStart); }

    std::unique_ptr<E2eFixture> fixture;
    QString projectPath;
    int boxesAtStart = 0;
};

void TestE2ePhase::init()
{
    fixture = std::make_unique<E2eFixture>();
    QVERIFY2(fixture->setUp(), qPrintable(fixture->error()));
    MainWindow::setApplicationDirOverride(fixture->appDir());
    projectPath = makeProject(fixture->appDir());
}

void TestE2ePhase::cleanup()
{
    MainWindow::setApplicationDirOverride(QString());
    fixture.reset();
}

void TestE2ePhase::addFault(const QString &rule)
{
    SimFault fault;
    QString error;
    QVERIFY2(SimFault::parse(rule, &fault, &error), qPrintable(error));
    fixture->simulator().faults().add(fault);
}

void TestE2ePhase::start(MainWindow &window, const char *buttonName, int line, double station)
{
    window.findChild<QLineEdit *>("lineEdit_LineNum")->setText(QString::number(line));
    window.findChild<QLineEdit *>("lineEdit_StationNum")->setText(QString::number(station));
    QVERIFY2(clickUntilStarted(*fixture, button(window, buttonName)), qPrintable(fixture->promptTexts().join(" | ")));
    boxesAtStart = fixture->prompt().count();
}

void TestE2ePhase::startTrial(MainWindow &window)
{
    window.onSlotTasksSettingSureClicked({task(4000, 1, 1)});
    QVERIFY(connectWithProject(window, projectPath));
    QSignalSpy started(&window, &MainWindow::preSampleStart);
    start(window, "tbtnPreSampleData");
    QVERIFY(started.count() == 1 || started.wait(10000));
}

bool TestE2ePhase::waitForSaveChoice(MainWindow &window)
{
    QToolButton *save = button(window, "tbtnSave");
    return E2eFixture::waitUntil([save] { return !save->isHidden() && save->isEnabled(); }, 30000);
}

// The operator answers the stop question only after the run has finished: the answer stops
// nothing, the run keeps its save choice, power off is refused, and it saves whole.
void TestE2ePhase::stopAnsweredAfterTheRunEndedKeepsTheSaveChoice()
{
    fixture->simulator().settings().sampleMs = 400;
    MainWindow window;
    window.onSlotTasksSettingSureClicked({task(4000, 1, 1), task(1000, 1, 1)});
    QVERIFY(connectWithProject(window, projectPath));
    QSignalSpy started(&window, &MainWindow::sampleStart);
    QSignalSpy over(&window, &MainWindow::sampleOver);
    start(window);
    QVERIFY(started.count() == 1 || started.wait(10000));

    fixture->prompt().onAsk = [&](const PromptRequest &request) {
        if (request.text == "请确认是否停止采集?")
            QVERIFY(E2eFixture::waitUntil([&] { return over.count() == 1; }, 30000));
    };
    fixture->prompt().expectYes();
    button(window, "tbtnStopSample")->click();
    fixture->prompt().onAsk = nullptr;
    // The finished run's idle reports come and go.
    QVERIFY(fixture->waitForCommand(AMT_CMD_MACHINE_STATUS, 2));
    QCOMPARE(received(AMT_CMD_SAMPLE_STOP), 0);
    QVERIFY(waitForSaveChoice(window));
    QVERIFY(!button(window, "tbtnCancelSave")->isHidden());
    QCOMPARE(tempRates(window), QList<int>({4000, 1000}));

    window.onSlotPowerOffAction();
    QCOMPARE(fixture->prompt().last().text,
             QString("<p>请在仪器空闲时进行关机！</p><p>或者当前数据<strong>未保存</strong></p>"));
    QCOMPARE(received(AMT_CMD_POWER_OFF), 0);

    // A close from the window manager asks, and warns of the unsaved run.
    window.close();
    QTRY_VERIFY(fixture->prompt().last().text.contains("尚未保存"));
    QVERIFY(fixture->prompt().last().text.endsWith("请确认是否要关闭程序?"));

    button(window, "tbtnSave")->click();
    QTRY_VERIFY(!button(window, "tbtnStartSample")->isHidden());
    QVERIFY(filesUnder(fixture->appDir() + "/TempFile", "*.ats").isEmpty());
    // In the scalar mode a station holds Hx, Hy and its electric channel of each group.
    QCOMPARE(filesUnder(QFileInfo(projectPath).absolutePath() + "/data/Line 4/Station 40", "*.ats").size(), 6);
}

// After a save the project refuses, nothing that touches the instrument's storage or the
// project is offered, and a read-back asked for anyway keeps the run's recordings.
void TestE2ePhase::refusedSaveOffersNothingThatLosesTheRun()
{
    MainWindow window;
    window.onSlotTasksSettingSureClicked({task(4000, 1, 1)});
    QVERIFY(connectWithProject(window, projectPath));
    start(window, "tbtnStartSample", 8, 9);
    QVERIFY(waitForSaveChoice(window));
    const QString lineDir = QFileInfo(projectPath).absolutePath() + "/data/Line 8";
    QVERIFY(QDir().mkpath(lineDir));
    QFile obstacle(lineDir + "/Station 9");
    QVERIFY(obstacle.open(QIODevice::WriteOnly));
    obstacle.close();
    button(window, "tbtnSave")->click();
    QCOMPARE(fixture->prompt().last().title, QString("出错"));

    QCoreApplication::processEvents();
    for (const char *name : {"tbtnExportData", "tbtnMemoryManage", "tbtnSDCardFormat", "tbtnStartSample"})
        QVERIFY2(button(window, name)->isHidden(), name);
    QVERIFY(!button(window, "tbtnCloseProject")->isEnabled());
    QVERIFY(!button(window, "tbtnSave")->isHidden() && button(window, "tbtnSave")->isEnabled());

    window.onSlotExportDataAction();
    QCOMPARE(fixture->prompt().last().text, QString("请在仪器空闲时操作导出数据！"));
    window.onSlotCloseProjectAction();
    QCOMPARE(filesUnder(fixture->appDir() + "/TempFile", "*.ats").size(), 4);
    QCOMPARE(received(AMT_CMD_DISK_SPACE_FILE), 0);

    QVERIFY(obstacle.remove());
    button(window, "tbtnSave")->click();
    QTRY_VERIFY(!button(window, "tbtnExportData")->isHidden());
    QCOMPARE(filesUnder(lineDir + "/Station 9", "*.ats").size(), 3);
}

// The instrument is slow to confirm the last transfer while an earlier group's curve comes
// late: Save waits for the last group, which is then saved with the others.
void TestE2ePhase::saveWaitsForTheLastGroup()
{
    addFault("msg=TRANSFORM_DATA on=control nth=2 fault=delay arg=3000");
    HeldCalculator calculator;
    MainWindow window;
    auto *tree = window.findChild<DataModel_Index *>();
    tree->setImpedanceCalculator(&calculator);
    QSignalSpy curves(tree, &DataModel_Index::showProcessData);
    QSignalSpy over(&window, &MainWindow::sampleOver);
    window.onSlotTasksSettingSureClicked({task(4000, 1, 1), task(1000, 1, 1)});
    QVERIFY(connectWithProject(window, projectPath));
    start(window);
    QVERIFY(over.count() == 1 || over.wait(20000));

    calculator.release(1);
    QVERIFY(curves.wait(10000));
    QVERIFY(!button(window, "tbtnSave")->isEnabled());

    calculator.release(10);
    QVERIFY(waitForSaveChoice(window));
    QCOMPARE(tempRates(window), QList<int>({4000, 1000}));
    button(window, "tbtnSave")->click();
    QTRY_VERIFY(!button(window, "tbtnStartSample")->isHidden());
    QCOMPARE(filesUnder(QFileInfo(projectPath).absolutePath() + "/data/Line 4/Station 40", "*.ats").size(), 6);
    QVERIFY(filesUnder(fixture->appDir() + "/TempFile", "*.ats").isEmpty());
    QCOMPARE(boxesSinceStart(), QStringList());
}

void TestE2ePhase::repeatedRepliesAreIgnored_data()
{
    QTest::addColumn<QString>("fault");
    QTest::newRow("transfer over twice") << "msg=TRANSFORM_DATA on=control nth=1 fault=duplicate";
    QTest::newRow("group sampled twice") << "msg=SAMPLE_START on=control nth=1 fault=duplicate";
    QTest::newRow("data connections asked twice") << "msg=NOTIFY sub=0x5 on=control nth=2 fault=duplicate";
}

// A repeated reply skips no group, asks for no second transfer and cuts no group: every group is
// kept under its own rate and the run ends in its save choice without a box or notice.
void TestE2ePhase::repeatedRepliesAreIgnored()
{
    QFETCH(QString, fault);
    addFault(fault);
    MainWindow window;
    window.onSlotTasksSettingSureClicked({task(4000, 1, 1), task(1000, 1, 1), task(500, 1, 1)});
    QVERIFY(connectWithProject(window, projectPath));
    start(window);
    QVERIFY2(waitForSaveChoice(window), qPrintable(fixture->promptTexts().join(" | ")));
    QCOMPARE(tempRates(window), QList<int>({4000, 1000, 500}));
    QCOMPARE(received(AMT_CMD_TRANSFORM_DATA), 3);
    QCOMPARE(received(AMT_CMD_SAMPLE_START), 3);
    QCOMPARE(boxesSinceStart(), QStringList());
    QCOMPARE(window.findChild<QtMaterialSnackbar *>()->messages().filter("不完整"), QStringList());
}

// The instrument's wait for the data connections that comes when no transfer was asked for
// opens none and never ends in "数据端口未成功连接！".
void TestE2ePhase::lateDataConnectionRequestIsIgnored()
{
    MainWindow window;
    QVERIFY(connectWithProject(window, projectPath));
    window.setTimerIntervals(100, 50);
    emit window.findChild<LibCom *>()->AMTMachineRequestDataComConnecting();
    QVERIFY(fixture->waitForCommand(AMT_CMD_MACHINE_STATUS, 5));
    QCOMPARE(fixture->promptTexts(), QStringList());
}

void TestE2ePhase::idleReportEndsARun_data()
{
    QTest::addColumn<QString>("startButton");
    QTest::addColumn<QByteArray>("startedSignal");
    QTest::addColumn<QByteArray>("endSignal");
    QTest::addColumn<QStringList>("boxes");
    QTest::newRow("trial run") << "tbtnPreSampleData" << QByteArray(SIGNAL(preSampleStart()))
                               << QByteArray(SIGNAL(preSampleOver())) << QStringList();
    QTest::newRow("online run") << "tbtnStartSample" << QByteArray(SIGNAL(sampleStart()))
                                << QByteArray(SIGNAL(samplStoped())) << QStringList({"仪器已经停止采集！"});
}

// The instrument reports idle during a run: a trial ends as its own end would (the instrument
// is told to drop it), an online run as the stop answer would; start, trial and closing the
// project are offered again.
void TestE2ePhase::idleReportEndsARun()
{
    QFETCH(QString, startButton);
    QFETCH(QByteArray, startedSignal);
    QFETCH(QByteArray, endSignal);
    QFETCH(QStringList, boxes);
    fixture->simulator().settings().sampleMs = 60000;
    MainWindow window;
    window.onSlotTasksSettingSureClicked({task(4000, 1, 1)});
    QVERIFY(connectWithProject(window, projectPath));
    QSignalSpy started(&window, startedSignal.constData());
    QSignalSpy ended(&window, endSignal.constData());
    start(window, qPrintable(startButton));
    QVERIFY(started.count() == 1 || started.wait(10000));
    QVERIFY(button(window, "tbtnStartSample")->isHidden());

    fixture->simulator().settings().reportedWorkStatus = 0;
    QVERIFY(ended.count() == 1 || ended.wait(10000));
    for (const char *name : {"tbtnStartSample", "tbtnPreSampleData"})
        QVERIFY2(!button(window, name)->isHidden(), name);
    QVERIFY(button(window, "tbtnCloseProject")->isEnabled());
    QTRY_COMPARE(boxesSinceStart(), boxes);
    if (boxes.isEmpty())
        QVERIFY(fixture->waitForCommand(AMT_CMD_UNSAVE_DATA));
}

// Confirming the task dialog or another observation mode during a trial run is refused: the
// stored offline choice does not reach the running trial, which is transferred and ends.
void TestE2ePhase::runKeepsItsTasksAndMode()
{
    {
        QSettings settings(fixture->systemConfigPath(), QSettings::IniFormat);
        settings.setValue("SystemConfig/SampleOnLineSelect", 0);
    }
    fixture->simulator().settings().sampleMs = 400;
    MainWindow window;
    QSignalSpy trialOver(&window, &MainWindow::preSampleOver);
    startTrial(window);

    window.onSlotTasksSettingSureClicked({task(1000, 1, 1)});
    window.onSlotSetWatchMachineType(1);
    QCOMPARE(boxesSinceStart(), QStringList({"请在仪器空闲时设置采集任务！", "请在仪器空闲时切换观测模式！"}));
    QVERIFY(trialOver.wait(20000));
    QCOMPARE(received(AMT_CMD_TRANSFORM_DATA), 1);
    QVERIFY(fixture->waitForCommand(AMT_CMD_UNSAVE_DATA));
    QVERIFY(!button(window, "tbtnStartSample")->isHidden());
    QCOMPARE(boxesSinceStart().size(), 2);
}

void TestE2ePhase::stopCrossingTheTransfer_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QString>("crossing");
    QTest::newRow("data connection request") << "msg=NOTIFY sub=0x5 on=control nth=1 fault=delay arg=2500"
                                             << "transfer asked";
    QTest::newRow("transfer over") << "msg=TRANSFORM_DATA on=control nth=1 fault=delay arg=2500"
                                   << "transfer ended";
    QTest::newRow("blocks") << "msg=TRANSFORM_DATA on=data1 nth=1 fault=delay arg=2500" << "block saved";
}

// The operator's stop crosses a reply of the first group's transfer: no group starts after it,
// no data connection stays open, no block of a group cut by it stays in TempFile (a group that
// came whole waits for the save choice), and the next station runs whole.
void TestE2ePhase::stopCrossingTheTransfer()
{
    QFETCH(QString, fault);
    QFETCH(QString, crossing);
    addFault(fault);
    fixture->simulator().settings().byteExactSamples = true;
    QSignalSpy endNotices(&fixture->simulator(), &AMTSimulator::endNoticeReceived);
    MainWindow window;
    window.onSlotTasksSettingSureClicked({task(4000, 1, 1), task(1000, 1, 1)});
    QVERIFY(connectWithProject(window, projectPath));
    QSignalSpy stopped(&window, &MainWindow::samplStoped);
    start(window);
    const QString tempDir = fixture->appDir() + "/TempFile";
    const std::function<bool()> reached = [&] {
        if (crossing == "transfer asked")
            return received(AMT_CMD_TRANSFORM_DATA) == 1;
        if (crossing == "transfer ended")
            return endNotices.count() == 1;
        return !filesUnder(tempDir, "*.ats").isEmpty();
    };
    QVERIFY(E2eFixture::waitUntil(reached, 20000));
    fixture->prompt().expectYes();
    button(window, "tbtnStopSample")->click();
    QVERIFY(stopped.count() == 1 || stopped.wait(10000));
    // The crossing reply and what it may bring have come, and the error word has been asked.
    QVERIFY(fixture->waitForCommand(AMT_CMD_ERROR_CODE, 1));
    QVERIFY(fixture->waitForCommand(AMT_CMD_MACHINE_STATUS, received(AMT_CMD_MACHINE_STATUS) + 3));
    QCOMPARE(boxesSinceStart(), QStringList({"请确认是否停止采集?", "仪器已经停止采集！"}));
    QCOMPARE(received(AMT_CMD_SAMPLE_START), 1);
    if (crossing == "transfer ended") {
        // The first group came whole before the stop: it waits in the save choice.
        QVERIFY(waitForSaveChoice(window));
        QCOMPARE(tempRates(window), QList<int>({4000}));
        button(window, "tbtnSave")->click();
        QTRY_VERIFY(!button(window, "tbtnStartSample")->isHidden());
    }
    QTRY_VERIFY(filesUnder(tempDir, "*.ats").isEmpty());

    fixture->simulator().faults().clear();
    start(window, "tbtnStartSample", 4, 41);
    QVERIFY2(waitForSaveChoice(window), qPrintable(fixture->promptTexts().join(" | ")));
    QCOMPARE(tempRates(window), QList<int>({4000, 1000}));
    QCOMPARE(window.findChild<QtMaterialSnackbar *>()->messages().filter("不完整"), QStringList());
    QCOMPARE(boxesSinceStart(), QStringList());
}

void TestE2ePhase::closeDuringARunWarnsOfIt_data()
{
    QTest::addColumn<bool>("online");
    QTest::addColumn<QString>("warning");
    QTest::newRow("online") << true << "仪器正在采集，关闭程序后仪器将继续采集";
    QTest::newRow("offline") << false << "仪器正在离线采集，关闭程序后仪器将继续采集";
}

// A close asked for while the instrument samples says so and what becomes of the groups; "否"
// leaves the run as it was.
void TestE2ePhase::closeDuringARunWarnsOfIt()
{
    QFETCH(bool, online);
    QFETCH(QString, warning);
    if (!online)
        QSettings(fixture->systemConfigPath(), QSettings::IniFormat).setValue("SystemConfig/SampleOnLineSelect", 0);
    fixture->simulator().settings().sampleMs = 60000;
    MainWindow window;
    window.onSlotTasksSettingSureClicked({task(4000, 1, 1)});
    QVERIFY(connectWithProject(window, projectPath));
    start(window);
    QTRY_VERIFY_WITH_TIMEOUT(!button(window, "tbtnStopSample")->isHidden(), 10000);
    const int boxes = fixture->prompt().count();
    window.onClickBtnClose();
    QCOMPARE(fixture->prompt().count(), boxes + 1);
    const QString text = fixture->prompt().last().text;
    QVERIFY2(text.startsWith(warning) && text.contains("可通过数据导出读回") && text.endsWith("请确认是否要关闭程序?"),
             qPrintable(text));
    QVERIFY(!button(window, "tbtnStopSample")->isHidden());
}

// 数据导出 and 内存管理 with an instrument that holds nothing say so, and the project stays open.
void TestE2ePhase::emptyInstrumentIsToldAndClosesNothing()
{
    MainWindow window;
    QVERIFY(connectWithProject(window, projectPath));
    const int boxes = fixture->prompt().count();
    button(window, "tbtnExportData")->click();
    QTRY_COMPARE(fixture->prompt().count(), boxes + 1);
    QCOMPARE(fixture->prompt().last().text, QString("仪器中没有数据！"));

    fixture->prompt().expectYes();
    window.onSlotMachineSettingAction();
    QTRY_COMPARE(fixture->prompt().count(), boxes + 3);
    QCOMPARE(fixture->prompt().last().text, QString("仪器中没有数据！"));
    QCOMPARE(received(AMT_CMD_DISK_SPACE_FILE), 2);
    QVERIFY(button(window, "tbtnCloseProject")->isEnabled());
    QVERIFY(window.windowTitle().endsWith(projectPath));
}

// The operator double-clicks 保存: the second click lands on the button that took its place and
// starts nothing; a click after the double-click interval does.
void TestE2ePhase::secondHalfOfADoubleClickSendsNothing()
{
    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.onSlotTasksSettingSureClicked({task(4000, 1, 1)});
    QVERIFY(connectWithProject(window, projectPath));
    start(window);
    QVERIFY(waitForSaveChoice(window));
    // The save choice has been on show for a while.
    QVERIFY(fixture->waitForCommand(AMT_CMD_MACHINE_STATUS, received(AMT_CMD_MACHINE_STATUS) + 2));
    QToolButton *trial = button(window, "tbtnPreSampleData");
    QSignalSpy trialStarted(&window, &MainWindow::preSampleStart);
    QTest::mouseClick(button(window, "tbtnSave"), Qt::LeftButton);
    QVERIFY(!trial->isHidden() && trial->isEnabled());
    QTest::mouseClick(trial, Qt::LeftButton);
    QVERIFY(fixture->waitForCommand(AMT_CMD_MACHINE_STATUS, received(AMT_CMD_MACHINE_STATUS) + 3));
    QCOMPARE(received(AMT_CMD_SAMPLE_GROUPS_NUM), 1);
    QCOMPARE(trialStarted.count(), 0);
    QCOMPARE(boxesSinceStart(), QStringList());

    QTest::mouseClick(trial, Qt::LeftButton);
    QVERIFY(trialStarted.wait(10000));
}

QTEST_MAIN(TestE2ePhase)
#include "tst_e2ephase.moc"
