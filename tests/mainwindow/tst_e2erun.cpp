#include "E2eFixture.h"
#include "E2eSteps.h"

#include "common/AMTMessageIds.h"
#include "common/Clock.h"
#include "link/LibCom.h"
#include "mainwindow/MainWindow.h"
#include "projectdata/DataModel_Index.h"
#include "projectdata/Data_Project.h"
#include "projectdata/ProjectFolder.h"
#include "shell/chrome/QtMaterialSnackbar.h"

#include <QDirIterator>
#include <QLineEdit>
#include <QRegularExpression>
#include <QSettings>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QToolButton>
#include <QtTest>

using namespace e2e;

namespace {

// The sample bytes the simulator sent whole on the data connections.
QList<QByteArray> sentSamples(AMTSimulator &sim)
{
    QList<QByteArray> samples;
    for (const SimJournalEntry &entry : sim.journal().entries()) {
        if (entry.direction == SimJournalEntry::Sent && entry.port >= SimFirstDataPort
            && entry.port < SimFirstDataPort + 5 && entry.fault.isEmpty())
            samples << entry.payload().mid(32);
    }
    return samples;
}

// The distinct sample files under the folder, sorted: each electric channel's folder holds its
// own copy of the magnetic channels.
QList<QByteArray> distinctFiles(const QString &folder)
{
    QList<QByteArray> files = filesUnder(folder, "*.ats");
    std::sort(files.begin(), files.end());
    files.erase(std::unique(files.begin(), files.end()), files.end());
    return files;
}

// "line station groups: group rate, ..." of every station in the project database, read through
// a connection of its own.
QStringList databaseStations(const QString &path)
{
    QStringList stations;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "e2e-check");
        db.setDatabaseName(path);
        if (!db.open())
            return {db.lastError().text()};
        QSqlQuery query(db);
        query.exec("SELECT l.LineName, s.StationNum, s.SampleNumbers, group_concat(d.SampleDataNum || ' ' || "
                   "d.SampleRate, ', ') FROM Data_SampleData d JOIN Data_Station s ON d.Data_StationID = s.ID "
                   "JOIN Data_Line l ON s.Data_LineID = l.ID GROUP BY s.ID ORDER BY s.StationNum");
        while (query.next())
            stations << QString("%1 %2 %3: %4")
                            .arg(query.value(0).toInt())
                            .arg(query.value(1).toDouble())
                            .arg(query.value(2).toInt())
                            .arg(query.value(3).toString());
    }
    QSqlDatabase::removeDatabase("e2e-check");
    return stations;
}

// The station's "config.ini" rows of recordings: the lines after its three heading lines.
QList<QByteArray> configRows(const QString &stationDir)
{
    QFile config(stationDir + "/config.ini");
    if (!config.open(QIODevice::ReadOnly))
        return {};
    QList<QByteArray> rows = config.readAll().split('\n');
    rows.erase(std::remove(rows.begin(), rows.end(), QByteArray()), rows.end());
    return rows.mid(3);
}

// The start time written in a "config.ini" row of a recording.
QDateTime rowStartTime(const QByteArray &row)
{
    const QStringList words = QString::fromUtf8(row).split(QRegularExpression("\\s+"), Qt::SkipEmptyParts);
    const int date = words.indexOf(QRegularExpression("\\d{4}-\\d\\d-\\d\\d"));
    if (date < 0 || date + 1 >= words.size())
        return QDateTime();
    return QDateTime::fromString(words.at(date) + ' ' + words.at(date + 1), "yyyy-MM-dd hh:mm:ss.zzz");
}

// The ids of the frames the simulator received, in order.
QList<uint32_t> receivedIds(AMTSimulator &sim)
{
    QList<uint32_t> ids;
    for (const SimJournalEntry &entry : sim.journal().entries()) {
        if (entry.direction == SimJournalEntry::Received)
            ids << entry.id;
    }
    return ids;
}

// No status request from the first frame `from` to the next `until` the simulator received, and
// some after it.
bool pollPausedBetween(AMTSimulator &sim, uint32_t from, uint32_t until)
{
    const QList<uint32_t> order = receivedIds(sim);
    const int begin = order.indexOf(from);
    const int end = order.indexOf(until, begin);
    return begin >= 0 && end > begin && !order.mid(begin, end - begin).contains(AMT_CMD_MACHINE_STATUS)
           && order.mid(end).contains(AMT_CMD_MACHINE_STATUS);
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
    void failedSaveKeepsTheRun();
    void groupCutShortIsDropped_data();
    void groupCutShortIsDropped();
    void dataConnectionTimesOutAndThePollResumes();
    void stopDuringATransferResumesThePoll();

private:
    // Connects the window, opens a project and waits until the instrument has its configuration.
    bool connectWithProject(MainWindow &window);
    // Clicks start until the instrument has the project's configuration and the start is taken.
    void startStation(MainWindow &window, int line, double station);
    void runStation(MainWindow &window, int line, double station);
    // The project's sample files are the blocks the simulator sent whole, byte for byte.
    void verifySavedAsSent();
    void refuseDataPort(int channel);

    std::unique_ptr<E2eFixture> fixture;
    QString projectPath;
    int boxesAtStart = 0;
};

void TestE2eRun::init()
{
    fixture = std::make_unique<E2eFixture>();
    QVERIFY2(fixture->setUp(), qPrintable(fixture->error()));
    fixture->simulator().journal().keepWholeFrames(); // the saved files are compared with the blocks sent
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
    Clock::reset();
}

bool TestE2eRun::connectWithProject(MainWindow &window)
{
    return e2e::connectWithProject(window, projectPath);
}

// Until the instrument's confirmation of the project has arrived, a start is refused with a box.
void TestE2eRun::startStation(MainWindow &window, int line, double station)
{
    window.findChild<QLineEdit *>("lineEdit_LineNum")->setText(QString::number(line));
    window.findChild<QLineEdit *>("lineEdit_StationNum")->setText(QString::number(station));
    QVERIFY2(clickUntilStarted(*fixture, button(window, "tbtnStartSample")),
             qPrintable(fixture->promptTexts().join(" | ")));
    boxesAtStart = fixture->prompt().count();
}

void TestE2eRun::runStation(MainWindow &window, int line, double station)
{
    QSignalSpy over(&window, &MainWindow::sampleOver);
    startStation(window, line, station);
    if (QTest::currentTestFailed())
        return;
    QVERIFY2(over.count() == 1 || over.wait(30000), qPrintable(fixture->promptTexts().join(" | ")));
}

void TestE2eRun::verifySavedAsSent()
{
    QList<QByteArray> sent = sentSamples(fixture->simulator());
    std::sort(sent.begin(), sent.end());
    QVERIFY(!sent.isEmpty());
    QVERIFY(distinctFiles(QFileInfo(projectPath).absolutePath()) == sent);
}

// The data connection of the channel (0 Hx ... 4 E0) is refused from the next control frame on.
void TestE2eRun::refuseDataPort(int channel)
{
    SimFault refusal;
    QString error;
    QVERIFY2(SimFault::parse(QString("on=data%1 fault=refuse").arg(channel), &refusal, &error), qPrintable(error));
    fixture->simulator().faults().add(refusal);
}

void TestE2eRun::onlineRunSavesTheInstrumentsSamples()
{
    fixture->simulator().settings().byteExactSamples = true;
    MainWindow window;
    window.onSlotTasksSettingSureClicked({task(4000, 1, 1), task(1000, 2, 40), task(500, 2, 1)});
    QVERIFY(connectWithProject(window));
    runStation(window, 7, 112.5);
    QCOMPARE(fixture->simulator().journal().received(AMT_CMD_TRANSFORM_DATA).size(), 3);
    QVERIFY(!button(window, "tbtnLastSampleGroup")->isHidden());

    QToolButton *save = button(window, "tbtnSave");
    QTRY_VERIFY_WITH_TIMEOUT(!save->isHidden() && save->isEnabled(), 20000);
    save->click();
    QTRY_VERIFY(!button(window, "tbtnStartSample")->isHidden());
    QCOMPARE(fixture->promptTexts().mid(boxesAtStart), QStringList());

    QCOMPARE(sentSamples(fixture->simulator()).size(), 12);
    verifySavedAsSent();

    // The station keeps its half-metre number: one row per group in its "config.ini".
    const QString projectDir = QFileInfo(projectPath).absolutePath();
    const QList<QByteArray> rows = configRows(projectDir + "/data/Line 7/Station 112.5");
    QCOMPARE(rows.size(), 3);
    const char *rates[] = {"4000Hz", "1000Hz", "500Hz"};
    for (int group = 0; group < 3; ++group) {
        QVERIFY2(rows.at(group).startsWith(QByteArray::number(group + 1) + ' ')
                     && rows.at(group).contains(QByteArray("_Station112.5_E0_") + rates[group] + ".ats"),
                 rows.at(group).constData());
    }
    // In the scalar mode each electric channel is a station of its own, one station step further.
    QCOMPARE(databaseStations(projectPath),
             QStringList({"7 112.5 3: 1 4000, 2 1000, 3 500", "7 137.5 3: 1 4000, 2 1000, 3 500"}));
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
// leave the run alone; Save waits for the run's calculation; the discard, once confirmed, then
// tells the instrument and empties the temporary folder, and the discarded run's late curves are
// dropped.
void TestE2eRun::unaskedAnswersAndClicksChangeNothing()
{
    fixture->simulator().settings().byteExactSamples = true;
    HeldCalculator calculator;
    MainWindow window;
    auto *tree = window.findChild<DataModel_Index *>();
    tree->setImpedanceCalculator(&calculator);
    QSignalSpy curves(tree, &DataModel_Index::showProcessData);
    QSignalSpy series(tree, &DataModel_Index::showTimeSeries);
    window.onSlotTasksSettingSureClicked({task(4000, 1, 1)});
    QVERIFY(connectWithProject(window));
    window.connnectNetwork();
    QCOMPARE(fixture->simulator().journal().received(AMT_CMD_SYSTEM_INFO).size(), 1);

    auto *link = window.findChild<LibCom *>();
    QVERIFY(link);
    emit link->AMTMachineSampleGroupsNum(3);
    runStation(window, 5, 20);
    QCOMPARE(fixture->simulator().journal().received(AMT_CMD_SAMPLE_START).size(), 1);
    QTRY_VERIFY(!button(window, "tbtnSave")->isHidden() && tree->pendingCalculationCount() == 1);
    QVERIFY(!button(window, "tbtnSave")->isEnabled());

    window.onSlotStartSampleAction();
    window.onSlotPreSampleDataAction();
    QCOMPARE(fixture->promptTexts().mid(boxesAtStart),
             QStringList({"请在仪器空闲时开始采集！", "请在仪器空闲时开始采集！"}));
    QVERIFY(!button(window, "tbtnSave")->isHidden());

    // The discard asks first, and says that the instrument's copy goes too; "否" keeps the run.
    button(window, "tbtnCancelSave")->click();
    QCOMPARE(fixture->prompt().last().title, QString("温馨提示"));
    QVERIFY2(fixture->prompt().last().text.contains("仪器中的本站数据也将一并删除"),
             qPrintable(fixture->prompt().last().text));
    QVERIFY(!button(window, "tbtnSave")->isHidden());
    QVERIFY(!filesUnder(fixture->appDir() + "/TempFile", "*.ats").isEmpty());
    fixture->prompt().expectYes();
    button(window, "tbtnCancelSave")->click();
    QVERIFY(fixture->waitForCommand(AMT_CMD_UNSAVE_DATA));
    QCOMPARE(fixture->simulator().journal().received(AMT_CMD_UNSAVE_DATA).size(), 1);
    QTRY_VERIFY(filesUnder(fixture->appDir() + "/TempFile", "*.ats").isEmpty());
    QVERIFY(filesUnder(QFileInfo(projectPath).absolutePath(), "*.ats").isEmpty());
    QVERIFY(!button(window, "tbtnStartSample")->isHidden());

    calculator.release(1);
    tree->waitForCalculations();
    QCoreApplication::processEvents();
    QCOMPARE(curves.count() + series.count(), 0);
    QVERIFY(!button(window, "tbtnSave")->isEnabled() || button(window, "tbtnSave")->isHidden());
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
    startStation(window, 4, 40);
    QVERIFY(started.count() == 1 || started.wait(10000));
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

// A save the project refuses (a file stands where the station folder must be made) keeps the
// run and the save choice; once the file is gone the same run saves whole.
void TestE2eRun::failedSaveKeepsTheRun()
{
    fixture->simulator().settings().byteExactSamples = true;
    MainWindow window;
    window.onSlotTasksSettingSureClicked({task(4000, 1, 1), task(1000, 1, 40)});
    QVERIFY(connectWithProject(window));
    runStation(window, 8, 9);
    QToolButton *save = button(window, "tbtnSave");
    QTRY_VERIFY_WITH_TIMEOUT(!save->isHidden() && save->isEnabled(), 20000);

    const QString lineDir = QFileInfo(projectPath).absolutePath() + "/data/Line 8";
    QVERIFY(QDir().mkpath(lineDir));
    QFile obstacle(lineDir + "/Station 9");
    QVERIFY(obstacle.open(QIODevice::WriteOnly));
    obstacle.close();
    save->click();
    QCOMPARE(fixture->prompt().count(), boxesAtStart + 1);
    QCOMPARE(fixture->prompt().last().title, QString("出错"));
    QVERIFY2(fixture->prompt().last().text.contains("请重新保存或放弃保存"), qPrintable(fixture->prompt().last().text));
    QTRY_VERIFY(!save->isHidden() && save->isEnabled());
    QVERIFY(!button(window, "tbtnCancelSave")->isHidden());
    QCOMPARE(filesUnder(fixture->appDir() + "/TempFile", "*.ats").size(), 8);

    QVERIFY(obstacle.remove());
    save->click();
    QTRY_VERIFY(!button(window, "tbtnStartSample")->isHidden());
    QCOMPARE(fixture->prompt().count(), boxesAtStart + 1);
    verifySavedAsSent();
    QCOMPARE(configRows(lineDir + "/Station 9").size(), 2);
    QCOMPARE(databaseStations(projectPath), QStringList({"8 9 2: 1 4000, 2 1000", "8 34 2: 1 4000, 2 1000"}));
}

void TestE2eRun::groupCutShortIsDropped_data()
{
    QTest::addColumn<QString>("fault");
    QTest::newRow("connection closed inside the block")
        << "msg=TRANSFORM_DATA on=data1 nth=2 fault=disconnect arg=1000";
    QTest::newRow("block shorter than its group") << "msg=TRANSFORM_DATA on=data1 nth=2 fault=short arg=1000";
}

// The second group's Hy block comes cut: that group is dropped with a notice, the first and
// third are kept and saved as they were sent. A read-back then recovers the dropped group, and
// only it.
void TestE2eRun::groupCutShortIsDropped()
{
    QFETCH(QString, fault);
    fixture->simulator().settings().byteExactSamples = true;
    SimFault cut;
    QString error;
    QVERIFY2(SimFault::parse(fault, &cut, &error), qPrintable(error));
    fixture->simulator().faults().add(cut);
    // Each group starts an hour after the one before, so that their start times tell them apart.
    QObject::connect(&fixture->simulator(), &AMTSimulator::commandHandled, this, [](uint32_t id) {
        if (id == AMT_CMD_SAMPLE_START)
            Clock::set(QDateTime::fromSecsSinceEpoch(Clock::currentSecsSinceEpoch() + 3600, Qt::UTC));
    });
    MainWindow window;
    window.onSlotTasksSettingSureClicked({task(4000, 1, 1), task(1000, 2, 40), task(500, 2, 1)});
    QVERIFY(connectWithProject(window));
    runStation(window, 6, 30);
    QToolButton *save = button(window, "tbtnSave");
    QTRY_VERIFY_WITH_TIMEOUT(!save->isHidden() && save->isEnabled(), 20000);
    QCOMPARE(fixture->simulator().journal().received(AMT_CMD_TRANSFORM_DATA).size(), 3);
    auto *tree = window.findChild<DataModel_Index *>();
    QCOMPARE(tree->getTempSamples().size(), 2);
    QVERIFY(window.findChild<QtMaterialSnackbar *>()->messages().contains("第2组数据传输不完整，已丢弃"));
    QCOMPARE(fixture->promptTexts().mid(boxesAtStart), QStringList());
    // Stepping back from the newest group shows the one received before it.
    QSignalSpy series(tree, &DataModel_Index::showTimeSeries);
    button(window, "tbtnLastSampleGroup")->click();
    QCOMPARE(series.size(), 1);
    QCOMPARE(series.first().first().value<SampleInfo>().ctrlParam.SampleRate, 4000);

    save->click();
    QTRY_VERIFY(!button(window, "tbtnStartSample")->isHidden());
    // The other blocks of the cut group may have been sent whole but belong to no recording.
    QList<QByteArray> kept;
    for (const QByteArray &block : sentSamples(fixture->simulator())) {
        if (block.size() != 1000 * 2 * 4)
            kept << block;
    }
    std::sort(kept.begin(), kept.end());
    QCOMPARE(kept.size(), 8);
    QVERIFY(distinctFiles(QFileInfo(projectPath).absolutePath()) == kept);
    QCOMPARE(databaseStations(projectPath), QStringList({"6 30 2: 1 4000, 2 500", "6 55 2: 1 4000, 2 500"}));
    const QList<QByteArray> rows = configRows(QFileInfo(projectPath).absolutePath() + "/data/Line 6/Station 30");
    QCOMPARE(rows.size(), 2);
    QCOMPARE(rowStartTime(rows.at(0)).secsTo(rowStartTime(rows.at(1))), qint64(2 * 3600));
    QVERIFY(filesUnder(fixture->appDir() + "/TempFile", "*.ats").isEmpty());

    auto *snackbar = window.findChild<QtMaterialSnackbar *>();
    readBack(window, "6", "30");
    QVERIFY2(E2eFixture::waitUntil([&] { return snackbar->messages().contains("数据导出成功！"); }, 20000),
             qPrintable(fixture->promptTexts().join(" | ") + " / " + snackbar->messages().join(" | ")));
    QCOMPARE(fixture->promptTexts().mid(boxesAtStart), QStringList());
    QCOMPARE(databaseStations(projectPath),
             QStringList({"6 30 3: 1 4000, 2 500, 3 1000", "6 55 3: 1 4000, 2 500, 3 1000"}));
    QList<QByteArray> whole = sentSamples(fixture->simulator());
    whole.removeAll(QByteArray()); // the unused E2 connection's empty blocks of the read-back
    std::sort(whole.begin(), whole.end());
    whole.erase(std::unique(whole.begin(), whole.end()), whole.end());
    QCOMPARE(whole.size(), 12);
    QVERIFY(distinctFiles(QFileInfo(projectPath).absolutePath()) == whole);
}

// A data port that refuses: two time-outs retry, the third gives up with one box, ends the
// transfer towards the instrument, and the status poll, stopped for the transfer, runs again.
// The run, with no group received, ends without a save choice.
void TestE2eRun::dataConnectionTimesOutAndThePollResumes()
{
    MainWindow window;
    window.onSlotTasksSettingSureClicked({task(4000, 1, 1)});
    QVERIFY(connectWithProject(window));
    window.setTimerIntervals(300, 400);
    refuseDataPort(1);
    QSignalSpy notices(&fixture->simulator(), &AMTSimulator::endNoticeReceived);
    startStation(window, 2, 10);
    QTRY_VERIFY_WITH_TIMEOUT(fixture->prompt().count() > boxesAtStart && !button(window, "tbtnStartSample")->isHidden(),
                             30000);
    QVERIFY(button(window, "tbtnSave")->isHidden());
    QCOMPARE(fixture->promptTexts().mid(boxesAtStart), QStringList({"数据端口未成功连接！"}));
    QCOMPARE(fixture->prompt().last().title, QString("通讯出错"));
    QCOMPARE(notices.count(), 1);
    QVERIFY(fixture->waitForCommand(AMT_CMD_MACHINE_STATUS, 2));

    QVERIFY(pollPausedBetween(fixture->simulator(), AMT_CMD_TRANSFORM_DATA, AMT_NOTIFY));
    QCOMPARE(fixture->promptTexts().mid(boxesAtStart).size(), 1);
}

// A stop while the data connections are awaited ends the run, and the status poll runs again.
void TestE2eRun::stopDuringATransferResumesThePoll()
{
    MainWindow window;
    window.onSlotTasksSettingSureClicked({task(4000, 1, 1)});
    QVERIFY(connectWithProject(window));
    window.setTimerIntervals(300, 60000);
    refuseDataPort(0);
    QSignalSpy stopped(&window, &MainWindow::samplStoped);
    startStation(window, 3, 12);
    QVERIFY(fixture->waitForCommand(AMT_CMD_TRANSFORM_DATA));

    fixture->prompt().expectYes();
    button(window, "tbtnStopSample")->click();
    QVERIFY(stopped.wait(10000));
    QVERIFY(fixture->waitForCommand(AMT_CMD_MACHINE_STATUS, 2));
    QVERIFY(pollPausedBetween(fixture->simulator(), AMT_CMD_TRANSFORM_DATA, AMT_CMD_SAMPLE_STOP));
    QCOMPARE(fixture->promptTexts().mid(boxesAtStart), QStringList({"请确认是否停止采集?", "仪器已经停止采集！"}));
}

QTEST_MAIN(TestE2eRun)
#include "tst_e2erun.moc"
