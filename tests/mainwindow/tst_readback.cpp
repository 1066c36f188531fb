#include "ConnectedWindow.h"
#include "ProjectBuilder.h"

#include "common/AMTMessageIds.h"
#include "dialogs/Dialog_ExportData.h"
#include "link/LibCom.h"
#include "store/LibHORM.h"

#include <QApplication>
#include <QProgressDialog>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString instrumentProject("AMT_RB");

// A group in the layout the program sends, with the demo sensors, 4000 Hz.
SimStoredGroup storedGroup(int line, int station, int startTime)
{
    SimStoredGroup group;
    group.key = {instrumentProject, line, station};
    group.task.sampleRate = 4000;
    group.task.sampleTime = 66;
    group.blockBytes = 4000 * 4 * 4;
    group.startTime = startTime;
    const char *const lines[] = {
        "CH1ChannelIsUse=1", "CH2ChannelIsUse=1", "CH3ChannelIsUse=1", "CH4ChannelIsUse=1", "CH5ChannelIsUse=1",
        "CH1InputNum=Demo-IMFS-Coil", "CH2InputNum=Demo-IMFS-Coil", "CH3InputNum=Demo-Electrode",
        "CH4InputNum=Demo-Electrode", "CH5InputNum=Demo-Electrode", "CH1Gain=257", "CH2Gain=257", "CH3Gain=1025",
        "CH4Gain=1025", "CH5Gain=1025", "PoleDistance1=50", "PoleDistance2=50", "PoleDistance3=50",
        "SampleRate=4000", "SampleTime=66", "SampleStartTime=0", "ElectrodeType=0", "Chopper=0",
        "WatchMachineMode=0"};
    for (const char *text : lines)
        group.task.lines.append(text);
    return group;
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

// Line 3, station 100 is listed (the instrument holds no data for it) and chosen.
bool chooseListedStation(ConnectedWindow &w)
{
    QByteArray names("ProjectID:AMT_RB ProjectName:RB\n");
    QByteArray listing("AMT_RB/\nLine_3/\nPoint_100/\n");
    Dialog_ExportData *dialog = exportDialog();
    if (!dialog)
        return false;
    dialog->parseProjectNameList(&names);
    dialog->parseDeviceFileList(&listing);
    w.window->onSlotExportData("RB", instrumentProject, 3, 100.0);
    return true;
}

// The instrument holds line 3, station 100 with three groups; the window is asked for it.
bool readBackThreeGroups(ConnectedWindow &w)
{
    SimStorage &storage = w.fixture.simulator().storage();
    for (int group = 0; group < 3; ++group)
        storage.add(storedGroup(3, 100, 1700000000 + group * 100));
    storage.setProjectConfig(instrumentProject, "ProjectID=AMT_RB\r\nProjectName=RB\r\n");
    storage.setProjectName(instrumentProject, "RB");
    Dialog_ExportData *dialog = exportDialog();
    if (!dialog)
        return false;
    QByteArray names = storage.projectListText();
    QByteArray listing = storage.storageListingText();
    dialog->parseProjectNameList(&names);
    dialog->parseDeviceFileList(&listing);
    w.window->onSlotExportData("RB", instrumentProject, 3, 100.0);
    return true;
}

int lineCount(const QString &path)
{
    return fileContents(path).count('\n');
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
};

class TestReadBack : public QObject
{
    Q_OBJECT
private slots:
    // One station of three groups into a project that holds none of it: folders made, every
    // group stored, the instrument's project file copied.
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
        QCOMPARE(fileContents(projects.path() + "/field/projectConfig.ini"),
                 QByteArray("ProjectID=AMT_RB\r\nProjectName=RB\r\n"));
        QVERIFY(w.fixture.promptTexts().isEmpty());
        QVERIFY(!QDir(stationDir).entryList({"*.ats"}, QDir::Files).isEmpty());
        // The temporary recordings go once they are in the project.
        QVERIFY(E2eFixture::waitUntil(
            [&] { return QDir(w.fixture.appDir() + "/TempFile").entryList(QDir::Files).isEmpty(); }));
    }

    // A chosen line without stations: the read-back ends at once with the reason, nothing asked.
    void lineWithoutStations()
    {
        ConnectedWindow w;
        QVERIFY2(w.setUp(), qPrintable(w.fixture.error()));
        QByteArray names("ProjectID:AMT_RB ProjectName:RB\n");
        QByteArray listing("AMT_RB/\nLine_9/\nLine_10/\nPoint_1/\n");
        Dialog_ExportData *dialog = exportDialog();
        QVERIFY(dialog);
        dialog->parseProjectNameList(&names);
        dialog->parseDeviceFileList(&listing);
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
        auto *exit = progress->findChild<QPushButton *>();
        QVERIFY(exit);
        QCOMPARE(exit->text(), QString("退出"));
        exit->click();
        QCOMPARE(w.fixture.promptTexts(), QStringList{"机器当前导出点config信息不匹配"});
        QTRY_VERIFY(!shownProgressDialog());
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
