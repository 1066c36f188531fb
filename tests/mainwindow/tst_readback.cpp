#include "ConnectedWindow.h"
#include "E2eSteps.h"
#include "ProjectBuilder.h"

#include "common/AMTMessageIds.h"
#include "dialogs/Dialog_ExportData.h"
#include "link/LibCom.h"
#include "store/LibHORM.h"
#include "tools/simulator/SimChannelData.h"

#include "tools/simulator/SimFault.h"

#include <QApplication>
#include <QComboBox>
#include <QPointer>
#include <QProgressDialog>
#include <QPushButton>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString instrumentProject("AMT_RB");

constexpr int groupSeconds = 4;
constexpr qint64 blockBytes = 4000 * groupSeconds * 4;

// A group held by the instrument, of the rate (4000 Hz by default), in the observation mode given
// (scalar by default, which saves a group's electric channels over three stations).
SimStoredGroup storedGroup(int line, int station, int startTime, int mode = 0, int rate = 4000)
{
    return e2e::storedGroup({instrumentProject, line, station}, startTime, mode,
                            {rate, groupSeconds, qint64(rate) * groupSeconds * 4});
}

QString makeProject(const QString &root, const QString &projectId = instrumentProject)
{
    const QString folder = root + "/field";
    QDir().mkpath(folder);
    const QString path = folder + "/field.HMT";
    LibHORM store;
    store.openSqlite(path);
    ProjectBuilder builder(store);
    builder.project()->setProjectId(projectId);
    builder.project()->setProjectName("RB");
    builder.project()->updateRow();
    return path;
}

Dialog_ExportData *exportDialog()
{
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (auto *dialog = qobject_cast<Dialog_ExportData *>(widget))
            return dialog;
    }
    return nullptr;
}

QProgressDialog *shownProgressDialog()
{
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (auto *dialog = qobject_cast<QProgressDialog *>(widget); dialog && dialog->isVisible())
            return dialog;
    }
    return nullptr;
}

// The read-back dialog is given project RB with the storage listing; null without the dialog.
Dialog_ExportData *listProject(QByteArray listing)
{
    QByteArray names("ProjectID:AMT_RB ProjectName:RB\n");
    Dialog_ExportData *dialog = exportDialog();
    if (!dialog)
        return nullptr;
    dialog->parseProjectNameList(&names);
    dialog->parseDeviceFileList(&listing);
    return dialog;
}

// Line 3, station 100 is listed (the instrument holds no data for it) and chosen.
bool chooseListedStation(ConnectedWindow &w)
{
    if (!listProject("AMT_RB/\nLine_3/\nPoint_100/\n"))
        return false;
    w.window->onSlotExportData("RB", instrumentProject, 3, 100.0);
    return true;
}

void nameInstrumentProject(SimStorage &storage)
{
    storage.setProjectConfig(instrumentProject, "ProjectID=AMT_RB\r\nProjectName=RB\r\n");
    storage.setProjectName(instrumentProject, "RB");
}

// The instrument's listings go to the read-back dialog and the window is asked for the station.
bool chooseStation(ConnectedWindow &w, int line, double station)
{
    SimStorage &storage = w.fixture.simulator().storage();
    Dialog_ExportData *dialog = exportDialog();
    if (!dialog)
        return false;
    QByteArray names = storage.projectListText();
    QByteArray listing = storage.storageListingText();
    dialog->parseProjectNameList(&names);
    dialog->parseDeviceFileList(&listing);
    w.window->onSlotExportData("RB", instrumentProject, line, station);
    return true;
}

// The instrument holds line 3, station 100 with three groups; the window is asked for it.
bool readBackThreeGroups(ConnectedWindow &w)
{
    SimStorage &storage = w.fixture.simulator().storage();
    for (int group = 0; group < 3; ++group)
        storage.add(storedGroup(3, 100, 1700000000 + group * 100));
    nameInstrumentProject(storage);
    return chooseStation(w, 3, 100.0);
}

int lineCount(const QString &path)
{
    return fileContents(path).count('\n');
}

// What the instrument holds for the line tests, in the vector mode, which keeps each group whole
// at its station.
struct HeldStation
{
    int line;
    int station;
    int groups;
};
const HeldStation heldStations[] = {{3, 10, 1}, {3, 20, 2}, {3, 30, 1}, {5, 1, 1}, {5, 2, 1}};
constexpr int vectorMode = 1;

void storeHeldStations(SimStorage &storage)
{
    int startTime = 1700000000;
    for (const HeldStation &held : heldStations) {
        for (int group = 0; group < held.groups; ++group)
            storage.add(storedGroup(held.line, held.station, startTime += 100, vectorMode));
    }
    nameInstrumentProject(storage);
}

// Recordings per station in the project database, as "line/station:count", ordered.
QStringList storedRecordings(const QString &databasePath)
{
    QStringList rows;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "readback-check");
        db.setDatabaseName(databasePath);
        db.open();
        QSqlQuery query(db);
        query.exec("SELECT l.LineName, s.StationNum, COUNT(d.ID) FROM Data_Station s"
                   " JOIN Data_Line l ON s.Data_LineID = l.ID"
                   " LEFT JOIN Data_SampleData d ON d.Data_StationID = s.ID"
                   " GROUP BY s.ID ORDER BY l.LineName, s.StationNum");
        while (query.next())
            rows << QString("%1/%2:%3").arg(query.value(0).toInt()).arg(query.value(1).toDouble()).arg(
                        query.value(2).toInt());
    }
    QSqlDatabase::removeDatabase("readback-check");
    return rows;
}

QStringList exportRequests(AMTSimulator &sim)
{
    QStringList requests;
    for (const SimJournalEntry &entry : sim.journal().received(AMT_CMD_EXPORT_DATA))
        requests << QString::fromUtf8(entry.payload());
    return requests;
}

bool endNoticeReceived(AMTSimulator &sim, int32_t code)
{
    for (const SimJournalEntry &entry : sim.journal().received(AMT_NOTIFY)) {
        if (entry.payload() == SimFrameCodec::bigEndian(uint32_t(code)))
            return true;
    }
    return false;
}

QStringList tempFiles(ConnectedWindow &w)
{
    return QDir(w.fixture.appDir() + "/TempFile").entryList(QDir::Files);
}

// The instrument holds line 3, station 100 with groups of 4000, 1000 and 500 Hz, each kept
// whole at the station (vector mode), and sends blocks that heldBlocks rebuilds.
QList<SimStoredGroup> storeThreeRates(AMTSimulator &sim)
{
    sim.settings().byteExactSamples = true;
    SimStorage &storage = sim.storage();
    QList<SimStoredGroup> groups;
    const int rates[] = {4000, 1000, 500};
    for (int group = 0; group < 3; ++group) {
        groups << storedGroup(3, 100, 1700000000 + group * 100, vectorMode, rates[group]);
        storage.add(groups.last());
    }
    nameInstrumentProject(storage);
    return groups;
}

// The sample blocks of the groups as the instrument sends them (group k with index k + 1),
// sorted, for the groups at the positions given.
QList<QByteArray> heldBlocks(const QList<SimStoredGroup> &groups, const QList<int> &positions)
{
    QList<QByteArray> blocks;
    for (int position : positions) {
        const SimStoredGroup &group = groups.at(position);
        SampleDataControlParam record;
        record.lineNum = group.key.line;
        record.stationNum = group.key.station;
        record.dataIndexNum = position + 1;
        record.dataLength = int32_t(group.blockBytes);
        for (int channel = 0; channel < 5; ++channel)
            blocks << SimChannelData::samples(record, channel);
    }
    std::sort(blocks.begin(), blocks.end());
    return blocks;
}

// The station's channel files, sorted by content.
QList<QByteArray> stationFiles(const QString &stationDir)
{
    QList<QByteArray> files;
    for (const QString &name : QDir(stationDir).entryList({"*.ats"}, QDir::Files))
        files << fileContents(stationDir + "/" + name);
    std::sort(files.begin(), files.end());
    return files;
}

// The rate of each recording row of a station's "config.ini", in row order.
QList<int> configRates(const QString &configPath)
{
    QList<int> rates;
    const QList<QByteArray> lines = fileContents(configPath).split('\n');
    for (int i = 3; i < lines.size(); ++i) {
        const QStringList cells = QString::fromUtf8(lines.at(i)).simplified().split(' ', Qt::SkipEmptyParts);
        if (cells.size() > 16)
            rates << cells.at(16).toInt();
    }
    return rates;
}

} // namespace

// The connected window with a project of the given ID open.
struct ProjectWindow : ConnectedWindow
{
    QTemporaryDir projects;

    bool setUp(const QString &projectId = instrumentProject)
    {
        if (!ConnectedWindow::setUp())
            return false;
        window->openProject(makeProject(projects.path(), projectId));
        return true;
    }

    // Line 3, station 100 with the three rates is read back under the fault script; the groups,
    // none when a step failed.
    QList<SimStoredGroup> readBackThreeRates(const QString &faultScript)
    {
        QString error;
        if (!setUp() || !fixture.simulator().faults().load(faultScript, &error))
            return {};
        window->setTimerIntervals(200, 20000);
        const QList<SimStoredGroup> groups = storeThreeRates(fixture.simulator());
        return chooseStation(*this, 3, 100.0) ? groups : QList<SimStoredGroup>();
    }
};

class TestReadBack : public QObject
{
    Q_OBJECT
private slots:
    // One station of three groups into a project that holds none of it: folders made, every
    // group stored. The project's own file, missing, was written again from its row at opening, so
    // the instrument's copy does not replace it.
    void oneStation()
    {
        ProjectWindow w;
        QVERIFY2(w.setUp(), qPrintable(w.fixture.error()));
        const QTemporaryDir &projects = w.projects;
        QVERIFY(readBackThreeGroups(w));

        const QString stationDir = projects.path() + "/field/data/Line 3/Station 100";
        QVERIFY2(E2eFixture::waitUntil([&] { return lineCount(stationDir + "/config.ini") >= 6; }, 20000),
                 qPrintable(w.fixture.promptTexts().join("|")));
        QCOMPARE(lineCount(stationDir + "/config.ini"), 6);
        // The scalar mode spreads each group's electric channels over three stations a step apart.
        QCOMPARE(storedRecordings(projects.path() + "/field/field.HMT"),
                 QStringList({"3/100:3", "3/125:3", "3/150:3"}));
        QCOMPARE(fileContents(projects.path() + "/field/projectConfig.ini"),
                 QByteArray("ProjectID=AMT_RB\r\nProjectName=RB\r\nProjectAddress=\r\nProjectDate=\r\n"
                            "OperatorName=\r\n"));
        QVERIFY(w.fixture.promptTexts().isEmpty());
        QVERIFY(!QDir(stationDir).entryList({"*.ats"}, QDir::Files).isEmpty());
        // The temporary recordings go once they are in the project.
        QVERIFY(E2eFixture::waitUntil(
            [&] { return QDir(w.fixture.appDir() + "/TempFile").entryList(QDir::Files).isEmpty(); }));
    }

    // Groups the project holds already are received again but not stored again: a second
    // read-back of the station adds only its new group, a third finds nothing new.
    void onlyNewGroupsStored()
    {
        ProjectWindow w;
        QVERIFY2(w.setUp(), qPrintable(w.fixture.error()));
        w.window->setTimerIntervals(200, 20000);
        SimStorage &storage = w.fixture.simulator().storage();
        nameInstrumentProject(storage);
        const QString config = w.projects.path() + "/field/data/Line 3/Station 100/config.ini";
        const auto readBack = [&] {
            w.clearNotices();
            return chooseStation(w, 3, 100.0)
                   && E2eFixture::waitUntil([&] { return w.notices().contains("数据导出成功！"); }, 30000);
        };
        for (int group = 0; group < 2; ++group)
            storage.add(storedGroup(3, 100, 1700000000 + group * 100, vectorMode));
        QVERIFY(readBack());
        QCOMPARE(lineCount(config), 5);
        const QByteArray firstRows = fileContents(config);

        storage.add(storedGroup(3, 100, 1700000200, vectorMode));
        QVERIFY(readBack());
        QCOMPARE(w.fixture.simulator().journal().sent(AMT_CMD_EXPORT_DATA, SimFirstDataPort).size(), 2 + 3);
        QCOMPARE(lineCount(config), 6);
        QVERIFY(fileContents(config).startsWith(firstRows));
        QCOMPARE(storedRecordings(w.projects.path() + "/field/field.HMT"), QStringList{"3/100:3"});

        QVERIFY(readBack());
        QVERIFY2(w.notices().contains("线3点100无新增数据"), qPrintable(w.notices().join("|")));
        QCOMPARE(lineCount(config), 6);
        QCOMPARE(w.fixture.promptTexts(), QStringList());
    }

    // A whole line and every line, chosen in the dialog from the instrument's listing: the
    // stations are asked for one after another, each lands in its folder and in the database,
    // and the read-back ends idle with nothing left in the temporary folder. A station-over
    // reply sent twice asks for no station twice.
    void readBackLines_data()
    {
        QTest::addColumn<QString>("lineEntry");
        QTest::addColumn<QStringList>("expected"); // line/station, in the order asked for
        QTest::addColumn<QString>("fault");
        QTest::newRow("whole line") << "3" << QStringList{"3/10", "3/20", "3/30"} << QString();
        QTest::newRow("every line") << "所有线" << QStringList{"3/10", "3/20", "3/30", "5/1", "5/2"} << QString();
        QTest::newRow("whole line, station over twice")
            << "3" << QStringList{"3/10", "3/20", "3/30"} << "msg=EXPORT_DATA on=control nth=1 fault=duplicate";
    }
    void readBackLines()
    {
        QFETCH(QString, lineEntry);
        QFETCH(QStringList, expected);
        QFETCH(QString, fault);
        ProjectWindow w;
        QVERIFY2(w.setUp(), qPrintable(w.fixture.error()));
        if (!fault.isEmpty()) {
            SimFault rule;
            QString error;
            QVERIFY2(SimFault::parse(fault, &rule, &error), qPrintable(error));
            w.fixture.simulator().faults().add(rule);
        }
        w.window->setTimerIntervals(200, 20000);
        storeHeldStations(w.fixture.simulator().storage());
        e2e::chooseInExportDialog(w.window.get(), lineEntry);
        w.window->onSlotExportDataAction();
        QVERIFY2(E2eFixture::waitUntil([&] { return w.notices().contains("数据导出成功！"); }, 60000),
                 qPrintable(w.fixture.promptTexts().join("|") + " / " + w.notices().join("|")));
        QCOMPARE(w.fixture.promptTexts(), QStringList());

        QStringList requests;
        for (const QString &station : expected) {
            const QStringList parts = station.split('/');
            requests << QString("ProjectID=AMT_RB\r\nLineNum=%1\r\nStationNum=%2\r\n").arg(parts.at(0), parts.at(1));
        }
        QCOMPARE(exportRequests(w.fixture.simulator()), requests);

        const QString field = w.projects.path() + "/field";
        QStringList stored;
        for (const HeldStation &held : heldStations) {
            const QString station = QString("%1/%2").arg(held.line).arg(held.station);
            const QString dir = field + QString("/data/Line %1/Station %2").arg(held.line).arg(held.station);
            if (!expected.contains(station)) {
                QVERIFY2(!QDir(dir).exists(), qPrintable(dir));
                continue;
            }
            QCOMPARE(lineCount(dir + "/config.ini"), 3 + held.groups);
            const QFileInfoList files = QDir(dir).entryInfoList({"*.ats"}, QDir::Files);
            QCOMPARE(files.size(), 5 * held.groups);
            for (const QFileInfo &file : files)
                QCOMPARE(file.size(), blockBytes);
            stored << station + ":" + QString::number(held.groups);
        }
        QCOMPARE(storedRecordings(field + "/field.HMT"), stored);
        QVERIFY(E2eFixture::waitUntil([&] { return tempFiles(w).isEmpty(); }));
        QVERIFY(!shownProgressDialog());
        QVERIFY(w.fixture.waitForCommand(AMT_CMD_MACHINE_STATUS));
    }

    // The instrument holds no raw data for the chosen station and answers with the stop reply:
    // the read-back ends with the notice. An idle status report answering a request sent before
    // the read-back does not end it: the instrument cannot be switched off meanwhile, and can
    // once the window is idle again.
    void stationWithoutRawData()
    {
        ProjectWindow w;
        QVERIFY2(w.setUp(), qPrintable(w.fixture.error()));
        w.window->setTimerIntervals(200, 20000);
        QVERIFY(chooseListedStation(w));
        QVERIFY(shownProgressDialog());
        QByteArray idleReport = w.fixture.simulator().statusRecord();
        emit w.com->AMTMachineStatus(idleReport.data());
        const QString refusal("<p>请在仪器空闲时进行关机！</p><p>或者当前数据<strong>未保存</strong></p>");
        w.window->onSlotPowerOffAction();
        QCOMPARE(w.fixture.promptTexts(), QStringList{refusal});
        QVERIFY(E2eFixture::waitUntil([&] { return w.notices().contains("线3点100不存在原始数据！"); }));
        QTRY_VERIFY(!shownProgressDialog());
        QVERIFY(w.fixture.waitForCommand(AMT_CMD_MACHINE_STATUS));
        QCOMPARE(w.sentCount(AMT_CMD_POWER_OFF), 0);

        w.fixture.prompt().expectYes(); // the power off is asked first
        w.window->onSlotPowerOffAction();
        QVERIFY(w.fixture.waitForCommand(AMT_CMD_POWER_OFF));
        QCOMPARE(w.fixture.promptTexts().count(refusal), 1);
    }

    // A data port that refuses: the progress dialog follows the attempts, and the third
    // time-out ends the read-back with one box and tells the instrument.
    void dataConnectionsGiveUp()
    {
        ProjectWindow w;
        QVERIFY2(w.setUp(), qPrintable(w.fixture.error()));
        w.window->setTimerIntervals(200, 300);
        QString error;
        QVERIFY2(w.fixture.simulator().faults().load("on=data2 fault=refuse", &error), qPrintable(error));
        QVERIFY(readBackThreeGroups(w));
        QPointer<QProgressDialog> progress = shownProgressDialog();
        QVERIFY(progress);
        QTRY_COMPARE(progress ? progress->labelText() : QString(), QString("数据传输端口连接中..."));
        QVERIFY(E2eFixture::waitUntil([&] { return !w.fixture.promptTexts().isEmpty(); }));
        QCOMPARE(w.fixture.promptTexts(), QStringList{"数据端口未成功连接！"});
        QCOMPARE(w.fixture.prompt().last().title, QString("通讯出错"));
        QTRY_VERIFY(!shownProgressDialog());
        QVERIFY(E2eFixture::waitUntil([&] { return endNoticeReceived(w.fixture.simulator(), AMT_END_EXPORT_DATA); }));
        QVERIFY(tempFiles(w).isEmpty());
        QVERIFY(w.fixture.waitForCommand(AMT_CMD_MACHINE_STATUS));
        QCOMPARE(w.fixture.promptTexts().size(), 1);
        QVERIFY(!QFile::exists(w.projects.path() + "/field/data/Line 3/Station 100/config.ini"));
    }

    // A chosen line without stations: the read-back ends at once with the reason, nothing asked.
    void lineWithoutStations()
    {
        ConnectedWindow w;
        QVERIFY2(w.setUp(), qPrintable(w.fixture.error()));
        QVERIFY(listProject("AMT_RB/\nLine_9/\nLine_10/\nPoint_1/\n"));
        w.window->onSlotExportData("RB", instrumentProject, 9, 2147483647.0);
        QCOMPARE(w.fixture.promptTexts(), QStringList{"线9没有测点！"});
        w.com->sendGetMachineStatus();
        QVERIFY(w.fixture.waitForCommand(AMT_CMD_MACHINE_STATUS));
        QCOMPARE(w.sentCount(AMT_CMD_EXPORT_DATA), 0);
        QTRY_VERIFY(!shownProgressDialog());
    }

    // A station text for another station: the notice and "退出", which ends the read-back
    // without a data connection.
    void mismatchLeftWithExit()
    {
        ProjectWindow w;
        QVERIFY2(w.setUp(), qPrintable(w.fixture.error()));
        QVERIFY(chooseListedStation(w));
        QByteArray other("MachineID=1\nProjectNum=AMT_XX\nLineNum=3\nStationNum=100\nGPS_Latitude=0\n"
                         "GPS_Longtitude=0\nGPS_Elevation=0\nGroupID=1\nSampleRate=4000\n");
        emit w.com->AMTMachineExportDataStationConfig(&other);
        QProgressDialog *progress = shownProgressDialog();
        QVERIFY(progress);
        QCOMPARE(progress->labelText(), QString("机器当前导出点config信息不匹配"));
        // The instrument's text stays in the temporary folder until the read-back ends.
        const QString copy = w.fixture.appDir() + "/TempFile/Line3Station100TempConfig.ini";
        QCOMPARE(fileContents(copy), other);
        auto *exit = progress->findChild<QPushButton *>();
        QVERIFY(exit);
        QCOMPARE(exit->text(), QString("退出"));
        exit->click();
        QCOMPARE(w.fixture.promptTexts(), QStringList{"机器当前导出点config信息不匹配"});
        QVERIFY(!QFile::exists(copy));
        QTRY_VERIFY(!shownProgressDialog());

        // A matching text that comes after the exit starts nothing.
        QByteArray late(other);
        late.replace("AMT_XX", "AMT_RB");
        emit w.com->AMTMachineExportDataStationConfig(&late);
        w.com->sendGetMachineStatus();
        QVERIFY(w.fixture.waitForCommand(AMT_CMD_MACHINE_STATUS));
        for (int port = 1; port <= 5; ++port)
            QVERIFY(!w.fixture.simulator().server().isConnected(port));
    }

    // The other dead ends: each ends with one box giving its reason, no busy dialog, no data
    // connection, no temporary file, and the poll running again.
    void deadEndsEndTheReadBack_data()
    {
        QTest::addColumn<int>("deadEnd");
        QTest::addColumn<QString>("reason");
        QTest::newRow("dialog closed") << 0 << "数据导出已取消！";
        QTest::newRow("text without groups") << 1 << "线3点100的配置信息中没有频组！";
        QTest::newRow("station gone from listing") << 2 << "仪器中找不到线3点100！";
    }
    void deadEndsEndTheReadBack()
    {
        QFETCH(int, deadEnd);
        QFETCH(QString, reason);
        ProjectWindow w;
        QVERIFY2(w.setUp(), qPrintable(w.fixture.error()));
        Dialog_ExportData *dialog = listProject("AMT_RB/\nLine_3/\nPoint_100/\nPoint_200/\n");
        QVERIFY(dialog);
        w.window->onSlotExportData("RB", instrumentProject, 3, 2147483647.0);
        QProgressDialog *progress = shownProgressDialog();
        QVERIFY(progress);
        if (deadEnd == 0) {
            progress->close();
        } else if (deadEnd == 1) {
            QByteArray text("MachineID=1\nProjectNum=AMT_RB\nLineNum=3\nStationNum=100\nGPS_Latitude=0\n"
                            "GPS_Longtitude=0\nGPS_Elevation=0\n");
            emit w.com->AMTMachineExportDataStationConfig(&text);
        } else {
            QByteArray text("MachineID=1\nProjectNum=AMT_RB\nLineNum=3\nStationNum=100\nGPS_Latitude=0\n"
                            "GPS_Longtitude=0\nGPS_Elevation=0\nGroupID=1\nSampleRate=4000\nSampleTime=-1\n"
                            "WatchMachineMode=0\n");
            emit w.com->AMTMachineExportDataStationConfig(&text);
            QByteArray otherLine("AMT_RB/\nLine_4/\nPoint_1/\n");
            dialog->parseDeviceFileList(&otherLine);
            emit w.com->AMTMachineStationExportSampleDataOver();
        }
        QCOMPARE(w.fixture.promptTexts(), QStringList{reason});
        QTRY_VERIFY(!shownProgressDialog());
        QVERIFY(tempFiles(w).isEmpty());
        QVERIFY(w.fixture.waitForCommand(AMT_CMD_MACHINE_STATUS));
        for (int port = 1; port <= 5; ++port)
            QVERIFY(!w.fixture.simulator().server().isConnected(port));
    }

    // The open project has another ID: the station is not saved, its temporary recordings go,
    // and the end of the read-back says so instead of reporting success.
    void foreignProjectReported()
    {
        ProjectWindow w;
        QVERIFY2(w.setUp("AMT_HOME"), qPrintable(w.fixture.error()));
        const QTemporaryDir &projects = w.projects;
        QVERIFY(readBackThreeGroups(w));
        QVERIFY(E2eFixture::waitUntil(
            [&] { return w.fixture.simulator().journal().sent(AMT_CMD_EXPORT_DATA, 1).size() == 3; }, 20000));
        QVERIFY(E2eFixture::waitUntil(
            [&] { return QDir(w.fixture.appDir() + "/TempFile").entryList(QDir::Files).isEmpty(); }));
        // The instrument's reply once the transfer side has acknowledged the station.
        emit w.com->AMTMachineStationExportSampleDataOver();
        QCOMPARE(w.fixture.promptTexts().size(), 1);
        QVERIFY2(w.fixture.promptTexts().first().startsWith("数据导出完成，1个测点保存失败！"),
                 qPrintable(w.fixture.promptTexts().first()));
        QVERIFY(!w.notices().contains("数据导出成功！"));
        QVERIFY(!QFile::exists(projects.path() + "/field/data/Line 3/Station 100/config.ini"));
    }

    // Every frame of the read-back's data connections sent twice: each group is stored once,
    // under its own rate, as the instrument holds it.
    void repeatedBlocksMatchedByGroup()
    {
        ProjectWindow w;
        const QList<SimStoredGroup> groups = w.readBackThreeRates("msg=EXPORT_DATA on=data nth=all fault=duplicate");
        QVERIFY(!groups.isEmpty());
        QVERIFY2(E2eFixture::waitUntil([&] { return w.notices().contains("数据导出成功！"); }, 30000),
                 qPrintable(w.fixture.promptTexts().join("|") + " / " + w.notices().join("|")));
        const QString stationDir = w.projects.path() + "/field/data/Line 3/Station 100";
        QCOMPARE(configRates(stationDir + "/config.ini"), QList<int>({4000, 1000, 500}));
        QCOMPARE(storedRecordings(w.projects.path() + "/field/field.HMT"), QStringList{"3/100:3"});
        QVERIFY(stationFiles(stationDir) == heldBlocks(groups, {0, 1, 2}));
        QCOMPARE(w.fixture.promptTexts(), QStringList());
        QVERIFY(E2eFixture::waitUntil([&] { return tempFiles(w).isEmpty(); }));
    }

    // A block shorter than its group: the group is not stored and the end of the read-back says
    // so; the next read-back stores exactly that group.
    void cutGroupReportedThenRecovered()
    {
        ProjectWindow w;
        const QList<SimStoredGroup> groups =
            w.readBackThreeRates("msg=EXPORT_DATA on=data1 nth=2 fault=short arg=1000");
        QVERIFY(!groups.isEmpty());
        QVERIFY(E2eFixture::waitUntil([&] { return !w.fixture.promptTexts().isEmpty(); }, 30000));
        QCOMPARE(w.fixture.promptTexts(),
                 QStringList{"数据导出完成，1个频组数据不完整，未保存：\n线3点100第2组（1000Hz）"});
        QVERIFY(!w.notices().contains("数据导出成功！"));
        const QString stationDir = w.projects.path() + "/field/data/Line 3/Station 100";
        QCOMPARE(configRates(stationDir + "/config.ini"), QList<int>({4000, 500}));
        QVERIFY(stationFiles(stationDir) == heldBlocks(groups, {0, 2}));
        QTRY_VERIFY(!shownProgressDialog());

        QVERIFY(chooseStation(w, 3, 100.0));
        QVERIFY2(E2eFixture::waitUntil([&] { return w.notices().contains("数据导出成功！"); }, 30000),
                 qPrintable(w.fixture.promptTexts().join("|") + " / " + w.notices().join("|")));
        QCOMPARE(configRates(stationDir + "/config.ini"), QList<int>({4000, 500, 1000}));
        QVERIFY(stationFiles(stationDir) == heldBlocks(groups, {0, 1, 2}));
        QCOMPARE(storedRecordings(w.projects.path() + "/field/field.HMT"), QStringList{"3/100:3"});
        QCOMPARE(w.fixture.promptTexts().size(), 1);
    }

    // A station text with values the program cannot store: the station is skipped with a
    // notice and the instrument is told, without a data connection.
    void invalidStationTextSkipped_data()
    {
        QTest::addColumn<QByteArray>("group");
        QTest::newRow("rate") << QByteArray("SampleRate=1234\nSampleTime=66\nWatchMachineMode=0\n");
        QTest::newRow("mode") << QByteArray("SampleRate=4000\nSampleTime=66\nWatchMachineMode=9\n");
        QTest::newRow("duration") << QByteArray("SampleRate=4000\nSampleTime=-66\nWatchMachineMode=0\n");
    }
    void invalidStationTextSkipped()
    {
        QFETCH(QByteArray, group);
        ProjectWindow w;
        QVERIFY2(w.setUp(), qPrintable(w.fixture.error()));
        QVERIFY(chooseListedStation(w));
        QByteArray text("MachineID=1\nProjectNum=AMT_RB\nLineNum=3\nStationNum=100\nGPS_Latitude=0\n"
                        "GPS_Longtitude=0\nGPS_Elevation=0\nGroupID=1\n" + group);
        emit w.com->AMTMachineExportDataStationConfig(&text);
        QVERIFY2(w.notices().join("").contains("已跳过"), qPrintable(w.notices().join("|")));
        QVERIFY(w.fixture.waitForCommand(AMT_NOTIFY));
        for (int port = 1; port <= 5; ++port)
            QVERIFY(!w.fixture.simulator().server().isConnected(port));
    }
};

QTEST_MAIN(TestReadBack)
#include "tst_readback.moc"
