#include "E2eFixture.h"
#include "E2eSteps.h"

#include "common/AMTMessageIds.h"
#include "link/LibCom.h"
#include "mainwindow/MainWindow.h"
#include "projectdata/DataModel_Index.h"
#include "projectdata/Data_Project.h"
#include "shell/chrome/QtMaterialSnackbar.h"

#include <QDirIterator>
#include <QLineEdit>
#include <QSettings>
#include <QToolButton>
#include <QtTest>

using namespace e2e;

namespace {

// The sample bytes the simulator sent on the data connections.
QList<QByteArray> sentSamples(AMTSimulator &sim)
{
    QList<QByteArray> samples;
    for (const SimJournalEntry &entry : sim.journal().entries()) {
        if (entry.direction == SimJournalEntry::Sent && entry.port >= SimFirstDataPort
            && entry.port < SimFirstDataPort + 5)
            samples << entry.payload().mid(32);
    }
    return samples;
}

} // namespace

// The program's main job against the simulated instrument: connect, run a station, save it.
class TestE2eRun : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void onlineRunSavesTheInstrumentsSamples();
    void onlineRunShowsTheHalfSpace();
    void requestsAfterConnecting();
    void unaskedAnswersAndClicksChangeNothing();
    void stopEndsTheRunBeforeItsBox();
    void dataConnectionGivesUpOnce();

private:
    // Connects the window, opens a project and waits until the instrument has its configuration.
    bool connectWithProject(MainWindow &window);
    void runStation(MainWindow &window, int line, double station);

    std::unique_ptr<E2eFixture> fixture;
    QString projectPath;
    int boxesAtStart = 0;
};

void TestE2eRun::init()
{
    fixture = std::make_unique<E2eFixture>();
    QVERIFY2(fixture->setUp(), qPrintable(fixture->error()));
    MainWindow::setApplicationDirOverride(fixture->appDir());
    projectPath = makeProject(fixture->appDir());
}

void TestE2eRun::cleanup()
{
    const QString keep = qEnvironmentVariable("AMT_E2E_KEEP");
    if (!keep.isEmpty() && !projectPath.isEmpty()) {
        const QString from = QFileInfo(projectPath).absolutePath();
        const QString to = keep + "/" + QTest::currentTestFunction();
        QDir().mkpath(to);
        QDirIterator it(from, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString file = it.next();
            const QString target = to + "/" + QDir(from).relativeFilePath(file);
            QDir().mkpath(QFileInfo(target).absolutePath());
            QFile::copy(file, target);
        }
    }
    MainWindow::setApplicationDirOverride(QString());
    fixture.reset();
}

bool TestE2eRun::connectWithProject(MainWindow &window)
{
    return e2e::connectWithProject(window, projectPath);
}

// Until the instrument's confirmation of the project has arrived, a start is refused with a box.
void TestE2eRun::runStation(MainWindow &window, int line, double station)
{
    window.findChild<QLineEdit *>("lineEdit_LineNum")->setText(QString::number(line));
    window.findChild<QLineEdit *>("lineEdit_StationNum")->setText(QString::number(station));
    QSignalSpy over(&window, &MainWindow::sampleOver);
    bool started = false;
    for (int attempt = 0; attempt < 10 && !started; ++attempt) {
        const int boxes = fixture->prompt().count();
        button(window, "tbtnStartSample")->click();
        started = fixture->prompt().count() == boxes;
        if (!started)
            QVERIFY(fixture->waitForCommand(AMT_CMD_MACHINE_STATUS));
    }
    QVERIFY2(started, qPrintable(fixture->promptTexts().join(" | ")));
    boxesAtStart = fixture->prompt().count();
    QVERIFY2(over.count() == 1 || over.wait(30000), qPrintable(fixture->promptTexts().join(" | ")));
}

void TestE2eRun::onlineRunSavesTheInstrumentsSamples()
{
    fixture->simulator().settings().byteExactSamples = true;
    MainWindow window;
    window.onSlotTasksSettingSureClicked({task(4000, 1, 1), task(1000, 2, 40)});
    QVERIFY(connectWithProject(window));
    runStation(window, 7, 112.5);

    QToolButton *save = button(window, "tbtnSave");
    QTRY_VERIFY_WITH_TIMEOUT(!save->isHidden() && save->isEnabled(), 20000);
    save->click();
    QTRY_VERIFY(!button(window, "tbtnStartSample")->isHidden());
    QCOMPARE(fixture->promptTexts().mid(boxesAtStart), QStringList());

    const QString projectDir = QFileInfo(projectPath).absolutePath();
    QList<QByteArray> saved = filesUnder(projectDir, "*.ats");
    QList<QByteArray> sent = sentSamples(fixture->simulator());
    QCOMPARE(sent.size(), 8);
    std::sort(saved.begin(), saved.end());
    std::sort(sent.begin(), sent.end());
    // Each electric channel's folder holds its own copy of the magnetic channels.
    saved.erase(std::unique(saved.begin(), saved.end()), saved.end());
    QVERIFY(saved == sent);

    // The station keeps its half-metre number: one row per group in its "config.ini".
    QFile config(projectDir + "/data/Line 7/Station 112.5/config.ini");
    QVERIFY(config.open(QIODevice::ReadOnly));
    const QList<QByteArray> rows = config.readAll().split('\n');
    QVERIFY(rows.size() >= 5);
    QVERIFY(rows.at(3).startsWith("1 ") && rows.at(3).contains("_Station112.5_E0_4000Hz.ats"));
    QVERIFY(rows.at(4).startsWith("2 ") && rows.at(4).contains("_Station112.5_E0_1000Hz.ats"));
    QVERIFY(filesUnder(fixture->appDir() + "/TempFile", "*.ats").isEmpty());
}

// The curves of a run over a half-space: its resistivity at 45 degrees at every frequency.
void TestE2eRun::onlineRunShowsTheHalfSpace()
{
    MainWindow window;
    auto *tree = window.findChild<DataModel_Index *>();
    QVERIFY(tree);
    QSignalSpy curves(tree, &DataModel_Index::showProcessData);
    // The scalar mode pairs each electric channel with the one magnetic channel of the run.
    CtrlParam scalar = task(4000, 20, 40);
    scalar.HxChannelIsUse = false;
    window.onSlotTasksSettingSureClicked({scalar});
    QVERIFY(connectWithProject(window));
    runStation(window, 3, 100);
    QTRY_VERIFY_WITH_TIMEOUT(button(window, "tbtnSave")->isEnabled(), 30000);
    QVERIFY(!curves.isEmpty());

    const double rho = fixture->simulator().settings().earthResistivity;
    const QList<QVariant> last = curves.last();
    for (int channel = 0; channel < 2; ++channel) {
        const auto curve = last.at(channel).value<QVector<OneFreqImpedance>>();
        QVERIFY2(!curve.isEmpty(), qPrintable(window.findChild<QtMaterialSnackbar *>()->messages().join(" | ")));
        for (const OneFreqImpedance &point : curve) {
            const QString where = QString("E%1 %2 Hz: rho %3 phase %4 coherence %5")
                                      .arg(channel)
                                      .arg(point.frequency)
                                      .arg(point.apparentResistivity)
                                      .arg(point.phase)
                                      .arg(point.coherence);
            QVERIFY2(point.coherence > 0.9, qPrintable(where));
            QVERIFY2(std::fabs(point.apparentResistivity - rho) <= 0.05 * rho, qPrintable(where));
            QVERIFY2(std::fabs(point.phase - 45) <= 2, qPrintable(where));
        }
    }
}

// After connecting: the versions, the clock, the status, then the project configuration.
void TestE2eRun::requestsAfterConnecting()
{
    MainWindow window;
    QVERIFY(connectWithProject(window));
    QList<uint32_t> order;
    for (const SimJournalEntry &entry : fixture->simulator().journal().entries()) {
        if (entry.direction == SimJournalEntry::Received && !order.contains(entry.id))
            order << entry.id;
    }
    QCOMPARE(order.mid(0, 4), QList<uint32_t>({AMT_CMD_SYSTEM_INFO, AMT_CMD_ADJUST_TIME, AMT_CMD_MACHINE_STATUS,
                                               AMT_CMD_PROJECT_CONFIG}));
    QCOMPARE(fixture->promptTexts(), QStringList());
}

// A second connect, a groups answer nobody asked for and a start while a run awaits its save
// leave the run alone; the discard then tells the instrument and empties the temporary folder.
void TestE2eRun::unaskedAnswersAndClicksChangeNothing()
{
    fixture->simulator().settings().byteExactSamples = true;
    MainWindow window;
    window.onSlotTasksSettingSureClicked({task(4000, 1, 1)});
    QVERIFY(connectWithProject(window));
    window.connnectNetwork();
    QCOMPARE(fixture->simulator().journal().received(AMT_CMD_SYSTEM_INFO).size(), 1);

    auto *link = window.findChild<LibCom *>();
    QVERIFY(link);
    emit link->AMTMachineSampleGroupsNum(3);
    runStation(window, 5, 20);
    QCOMPARE(fixture->simulator().journal().received(AMT_CMD_SAMPLE_START).size(), 1);
    QTRY_VERIFY_WITH_TIMEOUT(button(window, "tbtnSave")->isEnabled(), 20000);

    window.onSlotStartSampleAction();
    window.onSlotPreSampleDataAction();
    QCOMPARE(fixture->promptTexts().mid(boxesAtStart),
             QStringList({"请在仪器空闲时开始采集！", "请在仪器空闲时开始采集！"}));
    QVERIFY(!button(window, "tbtnSave")->isHidden());

    button(window, "tbtnCancelSave")->click();
    QVERIFY(fixture->waitForCommand(AMT_CMD_UNSAVE_DATA));
    QTRY_VERIFY(filesUnder(fixture->appDir() + "/TempFile", "*.ats").isEmpty());
    QVERIFY(filesUnder(QFileInfo(projectPath).absolutePath(), "*.ats").isEmpty());
    QVERIFY(!button(window, "tbtnStartSample")->isHidden());
}

// The stop drops the run's recordings and the views, and the status poll goes on.
void TestE2eRun::stopEndsTheRunBeforeItsBox()
{
    fixture->simulator().settings().byteExactSamples = true;
    fixture->simulator().settings().sampleMs = 60000;
    MainWindow window;
    window.onSlotTasksSettingSureClicked({task(4000, 1, 1), task(1000, 1, 1)});
    QVERIFY(connectWithProject(window));
    QSignalSpy started(&window, &MainWindow::sampleStart);
    QSignalSpy stopped(&window, &MainWindow::samplStoped);
    window.findChild<QLineEdit *>("lineEdit_LineNum")->setText("4");
    window.findChild<QLineEdit *>("lineEdit_StationNum")->setText("40");
    QVERIFY(E2eFixture::waitUntil([&] {
        if (fixture->prompt().count() > 0)
            fixture->waitForCommand(AMT_CMD_MACHINE_STATUS);
        const int boxes = fixture->prompt().count();
        button(window, "tbtnStartSample")->click();
        return fixture->prompt().count() == boxes;
    }, 20000));
    QVERIFY(started.wait(10000));
    QVERIFY(!button(window, "tbtnStopSample")->isHidden());

    const int boxes = fixture->prompt().count();
    bool stateBeforeBox = false;
    fixture->prompt().onAsk = [&](const PromptRequest &request) {
        if (request.text == "仪器已经停止采集！")
            stateBeforeBox = stopped.count() == 1 && !button(window, "tbtnStartSample")->isHidden();
    };
    fixture->prompt().expectYes();
    button(window, "tbtnStopSample")->click();
    QVERIFY(fixture->waitForCommand(AMT_CMD_SAMPLE_STOP));
    QTRY_COMPARE(fixture->prompt().count(), boxes + 2);
    QCOMPARE(fixture->promptTexts().mid(boxes), QStringList({"请确认是否停止采集?", "仪器已经停止采集！"}));
    QVERIFY(stateBeforeBox);
    QVERIFY(fixture->waitForCommand(AMT_CMD_MACHINE_STATUS, 2));
}

// Two time-outs retry, the third gives up with one box and the status poll runs again.
void TestE2eRun::dataConnectionGivesUpOnce()
{
    MainWindow window;
    QVERIFY(connectWithProject(window));
    const int boxes = fixture->prompt().count();
    for (int timeOut = 0; timeOut < 4; ++timeOut)
        window.onDataComConnectTimeOut();
    QCOMPARE(fixture->promptTexts().mid(boxes), QStringList({"数据端口未成功连接！"}));
    QCOMPARE(fixture->prompt().last().title, QString("通讯出错"));
    QVERIFY(fixture->waitForCommand(AMT_CMD_MACHINE_STATUS, 2));
}

QTEST_MAIN(TestE2eRun)
#include "tst_e2erun.moc"
