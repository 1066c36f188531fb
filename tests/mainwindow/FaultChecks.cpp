#include "FaultChecks.h"

#include "E2eSteps.h"


#include "common/Global_Constants.h"
#include "link/LibCom.h"
#include "shell/chrome/QtMaterialSnackbar.h"
#include "mainwindow/MainWindow.h"
#include "tools/simulator/AMTSimulator.h"
#include "tools/simulator/SimFault.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QProgressDialog>
#include <QRegularExpression>
#include <QSettings>
#include <QToolButton>
#include <QtEndian>

namespace faults {

namespace {

// Calls the visitor with the group and data connection of every block sent under the ID.
void forEachBlock(AMTSimulator &sim, uint32_t id, int station,
                  const std::function<void(const SimJournalEntry &, int group, int channel)> &visit)
{
    for (const SimJournalEntry &entry : sim.journal().sent(id)) {
        const int channel = entry.port - SimFirstDataPort;
        const QByteArray payload = entry.payload();
        if (channel < 0 || channel > 4 || payload.size() < 32)
            continue;
        if (station != anyStation && qFromLittleEndian<qint32>(payload.constData() + 8) != station)
            continue;
        visit(entry, qFromLittleEndian<qint32>(payload.constData() + 12), channel);
    }
}

bool arrivesWhole(const QString &fault)
{
    static const QStringList harmless{"delay", "duplicate", "split", "glue"};
    return fault.isEmpty() || harmless.contains(fault.section('(', 0, 0));
}

} // namespace

QMap<BlockKey, QByteArray> sentBlocks(AMTSimulator &sim, uint32_t id, int station)
{
    QMap<BlockKey, QByteArray> blocks;
    forEachBlock(sim, id, station, [&blocks](const SimJournalEntry &entry, int group, int channel) {
        blocks.insert({group, channel}, entry.payload().mid(32));
    });
    return blocks;
}

QSet<int> sentWhole(AMTSimulator &sim, uint32_t id, const QList<int> &channels, int station)
{
    QMap<int, QSet<int>> wholeChannels;
    forEachBlock(sim, id, station, [&wholeChannels](const SimJournalEntry &entry, int group, int channel) {
        if (arrivesWhole(entry.fault))
            wholeChannels[group].insert(channel);
    });
    QSet<int> groups;
    for (auto group = wholeChannels.cbegin(); group != wholeChannels.cend(); ++group) {
        if (group.value().contains(QSet<int>(channels.cbegin(), channels.cend())))
            groups.insert(group.key());
    }
    return groups;
}

SavedStation checkSaved(const QString &stationDir, const QMap<BlockKey, QByteArray> &sent, const QList<int> &rates,
                        const QList<int> &channels)
{
    SavedStation station;
    QMap<BlockKey, int> saved;
    static const QRegularExpression name("_(Hx|Hy|E0|E1|E2)_(\\d+)Hz(_\\d+)?\\.ats$");
    for (const QString &file : QDir(stationDir).entryList({"*.ats"}, QDir::Files)) {
        const QRegularExpressionMatch match = name.match(file);
        const int group = match.hasMatch() ? rates.indexOf(match.captured(2).toInt()) + 1 : 0;
        const int channel = channelNameList.indexOf(match.captured(1));
        QFile contents(stationDir + "/" + file);
        contents.open(QIODevice::ReadOnly);
        const BlockKey key{group, channel};
        if (group == 0 || !sent.contains(key) || contents.readAll() != sent.value(key))
            station.faults << file + " is not the block sent";
        ++saved[key];
    }
    for (int group = 1; group <= rates.size(); ++group) {
        int channelsSaved = 0;
        for (int channel : channels) {
            const int times = saved.value({group, channel});
            if (times > 1)
                station.faults << QString("group %1 channel %2 saved %3 times").arg(group).arg(channel).arg(times);
            channelsSaved += times > 0 ? 1 : 0;
        }
        if (channelsSaved == channels.size())
            station.wholeGroups << group;
        else if (channelsSaved > 0)
            station.faults << QString("group %1 saved with %2 of its channels").arg(group).arg(channelsSaved);
    }
    return station;
}

bool saveOffered(MainWindow &window)
{
    QToolButton *save = e2e::button(window, "tbtnSave");
    return !save->isHidden() && save->isEnabled();
}

bool canGoOn(MainWindow &window)
{
    QToolButton *start = e2e::button(window, "tbtnStartSample");
    return (!start->isHidden() && start->isEnabled() && !busyDialogShown()) || saveOffered(window);
}

bool busyDialogShown()
{
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (qobject_cast<QProgressDialog *>(widget) && widget->isVisible())
            return true;
    }
    return false;
}

bool addFault(AMTSimulator &sim, const QString &rule, QString *error)
{
    SimFault fault;
    if (!SimFault::parse(rule, &fault, error))
        return false;
    sim.faults().add(fault);
    return true;
}

FaultBench::~FaultBench()
{
    window.reset();
    MainWindow::setApplicationDirOverride(QString());
}

bool FaultBench::setUp(const QString &projectId, const QString &mode, bool online)
{
    if (!fixture.setUp()
        || !E2eFixture::writeSystemConfig(fixture.systemConfigPath(), fixture.basePort(), E2eSensors(), mode))
        return false;
    QSettings(fixture.systemConfigPath(), QSettings::IniFormat).setValue("SystemConfig/SampleOnLineSelect", online ? 1 : 0);
    fixture.simulator().settings().byteExactSamples = true;
    fixture.simulator().journal().keepWholeFrames(); // the saved files are compared with the blocks sent
    MainWindow::setApplicationDirOverride(fixture.appDir());
    projectPath = e2e::makeProjectWithId(fixture.appDir(), projectId);
    window = std::make_unique<MainWindow>();
    window->findChild<QtMaterialSnackbar *>()->setAutoHideDuration(24 * 3600 * 1000);
    window->onSlotTasksSettingSureClicked({e2e::task(4000, 1, 1), e2e::task(1000, 1, 1), e2e::task(500, 1, 1)});
    if (!e2e::connectWithProject(*window, projectPath, 300))
        return false;
    window->setTimerIntervals(300, 300);
    window->setTransferStallInterval(stallMs);
    window->setSamplingWatchMargin(stallMs);
    window->setStartWatchInterval(stallMs);
    // A request left unanswered is given up (or a question asked again) soon, not after 100 s.
    window->findChild<LibCom *>()->setRequestTimeout(3000);
    return true;
}

QString FaultBench::stationDir(int line, double station) const
{
    return QFileInfo(projectPath).absolutePath() + QString("/data/Line %1/Station %2").arg(line).arg(station);
}

QStringList FaultBench::notices() const
{
    return window->findChild<QtMaterialSnackbar *>()->messages();
}

QStringList FaultBench::boxesSince(int count) const
{
    return fixture.promptTexts().mid(count);
}

bool FaultBench::clickStart(int line, double station)
{
    window->findChild<QLineEdit *>("lineEdit_LineNum")->setText(QString::number(line));
    window->findChild<QLineEdit *>("lineEdit_StationNum")->setText(QString::number(station));
    const int boxes = fixture.prompt().count();
    e2e::button(*window, "tbtnStartSample")->click();
    return fixture.prompt().count() == boxes;
}

void FaultBench::readBackLine(int line)
{
    e2e::chooseInExportDialog(window.get(), QString::number(line));
    e2e::button(*window, "tbtnExportData")->click();
}

bool FaultBench::settle(const std::function<bool()> &done, int timeoutMs)
{
    QToolButton *connect = e2e::button(*window, "tbtnConnectNetwork");
    const auto connectOffered = [connect] { return !connect->isHidden() && connect->isEnabled(); };
    if (!E2eFixture::waitUntil([&] { return done() || connectOffered(); }, timeoutMs))
        return false;
    if (done())
        return true;
    connect->click();
    return E2eFixture::waitUntil(done, timeoutMs);
}

} // namespace faults
