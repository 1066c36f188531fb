#include "E2eSteps.h"

#include "ConnectedWindow.h"
#include "E2eFixture.h"
#include "ProjectBuilder.h"

#include "common/AMTMessageIds.h"
#include "dialogs/Dialog_ExportData.h"
#include "link/LibCom.h"
#include "mainwindow/MainWindow.h"
#include "projectdata/DataModel_Index.h"
#include "projectdata/ProjectFolder.h"
#include "store/LibHORM.h"

#include <QComboBox>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

namespace e2e {

namespace {

QString makeSurvey(const QString &root, int line, double station, const QString &projectId, const QString &name)
{
    const QString folder = root + "/survey";
    QDir().mkpath(folder);
    const QString path = folder + "/survey.HMT";
    LibHORM store;
    store.openSqlite(path);
    ProjectBuilder builder(store);
    builder.project()->setProjectId(projectId);
    builder.project()->setProjectName(name);
    builder.project()->updateRow();
    if (line > 0)
        builder.addStation(builder.addLine(line), station);
    ProjectFolder::writeProjectConfigFile(folder + "/projectConfig.ini", builder.project()->getProjectConfig());
    return path;
}

} // namespace

QString makeProject(const QString &root, int line, double station)
{
    return makeSurvey(root, line, station, projectId, QStringLiteral("survey"));
}

QString makeProjectWithId(const QString &root, const QString &projectId)
{
    return makeSurvey(root, 0, 0, projectId, projectId);
}

CtrlParam task(int rate, int seconds, int gain)
{
    CtrlParam p;
    p.HxChannelIsUse = p.HyChannelIsUse = true;
    p.E0ChannelIsUse = p.E1ChannelIsUse = true;
    p.EGain = gain;
    p.HGain = gain;
    p.E0PoleDistance = p.E1PoleDistance = p.E2PoleDistance = 100;
    p.SampleRate = rate;
    p.SampleTimeSecond = seconds;
    return p;
}

QToolButton *button(MainWindow &window, const char *name)
{
    return window.findChild<QToolButton *>(name);
}

void readBack(MainWindow &window, const QString &line, const QString &station)
{
    actWhenShown<Dialog_ExportData>(&window, [line, station](Dialog_ExportData *dialog) {
        auto *lines = dialog->findChild<QComboBox *>("comboBox_SelectLine");
        lines->setCurrentIndex(lines->findText(line));
        auto *stations = dialog->findChild<QComboBox *>("comboBox_SelectStation");
        stations->setCurrentIndex(stations->findText(station));
        dialog->findChild<QPushButton *>("pushButton_ExportDara")->click();
    });
    button(window, "tbtnExportData")->click();
}

bool connectWithProject(MainWindow &window, const QString &projectPath, int pollMs)
{
    window.setTimerIntervals(pollMs, 2000);
    QCoreApplication::processEvents(); // the tool-bar states start
    window.openProject(projectPath);
    QSignalSpy configured(window.findChild<LibCom *>(), &LibCom::AMTMachineProjectConfigSuccess);
    button(window, "tbtnConnectNetwork")->click();
    return configured.wait(10000);
}

bool clickUntilStarted(E2eFixture &fixture, QToolButton *button)
{
    for (int attempt = 0; attempt < 10; ++attempt) {
        const int boxes = fixture.prompt().count();
        button->click();
        if (fixture.prompt().count() == boxes)
            return true;
        if (!fixture.waitForCommand(AMT_CMD_MACHINE_STATUS))
            return false;
    }
    return false;
}

QList<int> tempRates(MainWindow &window)
{
    QList<int> rates;
    for (const SampleInfo &info : window.findChild<DataModel_Index *>()->getTempSamples())
        rates << info.ctrlParam.SampleRate;
    return rates;
}

bool waitForSaveChoice(MainWindow &window)
{
    QToolButton *save = button(window, "tbtnSave");
    return E2eFixture::waitUntil([save] { return !save->isHidden() && save->isEnabled(); }, 30000);
}

void addFault(E2eFixture &fixture, const QString &rule)
{
    SimFault fault;
    QString error;
    QVERIFY2(SimFault::parse(rule, &fault, &error), qPrintable(error));
    fixture.simulator().faults().add(fault);
}

QList<QByteArray> filesUnder(const QString &folder, const QString &pattern)
{
    QList<QByteArray> files;
    QDirIterator it(folder, {pattern}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QFile file(it.next());
        file.open(QIODevice::ReadOnly);
        files << file.readAll();
    }
    return files;
}

SimStoredGroup storedGroup(const SimStationKey &key, int startTime, int mode, const GroupSize &size)
{
    SimStoredGroup group;
    group.key = key;
    group.task.sampleRate = size.rate;
    group.task.sampleTime = size.seconds;
    group.blockBytes = size.blockBytes;
    group.startTime = startTime;
    const char *const lines[] = {
        "CH1ChannelIsUse=1", "CH2ChannelIsUse=1", "CH3ChannelIsUse=1", "CH4ChannelIsUse=1", "CH5ChannelIsUse=1",
        "CH1InputNum=Demo-IMFS-Coil", "CH2InputNum=Demo-IMFS-Coil", "CH3InputNum=Demo-Electrode",
        "CH4InputNum=Demo-Electrode", "CH5InputNum=Demo-Electrode", "CH1Gain=257", "CH2Gain=257", "CH3Gain=1025",
        "CH4Gain=1025", "CH5Gain=1025", "PoleDistance1=50", "PoleDistance2=50", "PoleDistance3=50"};
    for (const char *text : lines)
        group.task.lines.append(text);
    group.task.lines << "SampleRate=" + QByteArray::number(size.rate) << "SampleTime=" + QByteArray::number(size.seconds)
                     << "SampleStartTime=0" << "ElectrodeType=0" << "Chopper=0"
                     << "WatchMachineMode=" + QByteArray::number(mode);
    return group;
}

void chooseInExportDialog(QObject *owner, const QString &lineEntry)
{
    actWhenShown<Dialog_ExportData>(owner, [lineEntry](Dialog_ExportData *dialog) {
        auto *lines = dialog->findChild<QComboBox *>("comboBox_SelectLine");
        lines->setCurrentIndex(lines->findText(lineEntry));
        dialog->findChild<QComboBox *>("comboBox_SelectStation")->setCurrentIndex(0);
        dialog->findChild<QPushButton *>("pushButton_ExportDara")->click();
    });
}

} // namespace e2e
