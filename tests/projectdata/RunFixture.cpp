#include "RunFixture.h"

#include "ProjectBuilder.h"
#include "StoreTestSupport.h"
#include "TestFiles.h"

#include "common/Global_Variables.h"
#include "projectdata/StationConfigRow.h"
#include "store/LibHORM.h"

#include <QDirIterator>
#include <QFileInfo>
#include <QtTest>

ImpedanceCalculator::Result FakeCalculator::calculate(const Input &input) const
{
    if (gated)
        gate.acquire();
    Result result;
    for (int e = 0; e < 3 && result.curves.size() < maxCurves; ++e) {
        const QString tag = QStringLiteral("E%1").arg(e);
        for (const QString &path : input.channelPaths) {
            if (!QFileInfo(path).fileName().contains(tag))
                continue;
            OneFreqImpedance point;
            point.frequency = 10.0 * (e + 1);
            point.apparentResistivity = rho;
            point.phase = 45.0;
            result.curves.append({e, {point}});
            break;
        }
    }
    return result;
}

RunFixture::RunFixture()
    : root(dir.path())
{
    QDir().mkpath(projectDir());
    {
        LibHORM builderStore;
        builderStore.openSqlite(projectDir() + "/proj.HMT");
        ProjectBuilder builder(builderStore);
        builder.project()->setProjectId("P1");
        builder.project()->updateRow();
    }
    open();
}

RunFixture::RunFixture(const QString &existing)
    : root(existing)
{
    // A killed process leaves no folder of its own behind.
    dir.remove();
    open();
}

bool RunFixture::open()
{
    appDirPath = root + "/app";
    QDir().mkpath(appDirPath);
    tree.reset();
    tree = std::make_unique<DataModel_Index>();
    tree->setNewProjectDialog(&dialog);
    tree->setImpedanceCalculator(&calculator);
    return reopen();
}

bool RunFixture::reopen()
{
    tree->closeProject();
    auto store = std::make_unique<LibHORM>();
    store->openSqlite(projectDir() + "/proj.HMT");
    tree->setProjectDir(projectDir());
    if (!tree->loadProject(store.get()))
        return false;
    store.release();
    return true;
}

RunFixture::~RunFixture()
{
    calculator.release(100);
    tree.reset();
    appDirPath.clear();
}

SampleInfo RunFixture::task(int mode, const QString &channels, int rate)
{
    SampleInfo info;
    info.WatchMachineMode = mode;
    CtrlParam &p = info.ctrlParam;
    p.HxChannelIsUse = channels.contains("Hx");
    p.HyChannelIsUse = channels.contains("Hy");
    p.E0ChannelIsUse = channels.contains("E0");
    p.E1ChannelIsUse = channels.contains("E1");
    p.E2ChannelIsUse = channels.contains("E2");
    p.SampleRate = rate;
    p.SampleTimeSecond = 10;
    p.EGain = 40;
    p.HGain = 1;
    p.E0PoleDistance = p.E1PoleDistance = p.E2PoleDistance = 50;
    info.inputs = {"Coil-Hx", "Coil-Hy", "Electrode", "Electrode", "Electrode"};
    return info;
}

void RunFixture::receive(SampleInfo block, int group, double stationNum)
{
    block.MachineID = 123;
    block.LineNum = 5;
    block.StationNum = stationNum;
    block.SampleStartTime = 1700000000 + group;
    const CtrlParam &p = block.ctrlParam;
    const bool used[5] = {p.HxChannelIsUse, p.HyChannelIsUse, p.E2ChannelIsUse, p.E1ChannelIsUse, p.E0ChannelIsUse};
    const QStringList names = {"Hx", "Hy", "E2", "E1", "E0"};
    for (int c = 0; c < 5; ++c) {
        if (!used[c])
            continue;
        const QByteArray bytes = (names[c].toLatin1() + QByteArray::number(group)).repeated(4 * (c + 1));
        tree->saveTempChannelData(block, group, names[c], bytes.constData(), unsigned(bytes.size()));
    }
}

bool RunFixture::record(const SampleInfo &block, int group, double station)
{
    receive(block, group, station);
    tree->showTempSampleData(5, station, true);
    tree->waitForCalculations();
    return QTest::qWaitFor([this]() { return tree->pendingCalculationCount() == 0; }, 10000);
}

StationSampleInfo RunFixture::station(double stationNum) const
{
    StationSampleInfo record;
    record.MachineID = 123;
    record.ProjectName = "North";
    record.ProjectId = "P1";
    record.LineNum = 5;
    record.StationNum = stationNum;
    return record;
}

bool RunFixture::renameFirst(bool stationItem, int number)
{
    tree->resize(400, 400);
    tree->show();
    tree->expandAll();
    QTreeWidgetItem *line = tree->topLevelItem(0);
    QTreeWidgetItem *item = stationItem ? line->child(0) : line;
    return tree->rememberItemAt(tree->visualItemRect(item).center()) && tree->renameLineOrStation(number);
}

QString RunFixture::sql(const QString &query) const
{
    return sqliteCli(projectDir() + "/proj.HMT", query);
}

QStringList RunFixture::listing(const QString &folder) const
{
    QStringList entries;
    QDirIterator it(folder, QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo info(it.next());
        entries << QDir(folder).relativeFilePath(info.filePath()) + (info.isDir() ? "/" : " " + QString::number(info.size()));
    }
    entries.sort();
    return entries;
}

QStringList RunFixture::tempListingAfterCleanup() const
{
    tree->waitForCalculations();
    return listing(tempDir());
}

QString RunFixture::folderMismatch() const
{
    QStringList problems;
    QStringList folders;
    const QString rows = sql("SELECT l.LineName || '|' || s.StationNum || '|' ||"
                               " (SELECT count(*) FROM Data_SampleData d WHERE d.Data_StationID = s.ID)"
                               " FROM Data_Station s JOIN Data_Line l ON s.Data_LineID = l.ID");
    for (const QString &row : rows.split('\n', Qt::SkipEmptyParts)) {
        const QString line = row.section('|', 0, 0);
        const QString station = QString::number(row.section('|', 1, 1).toDouble(), 'g', 6);
        const QString folder = "Line " + line + "/Station " + station;
        folders << folder;
        const QStringList lines = QString::fromUtf8(TestFiles::read(dataDir() + "/" + folder + "/config.ini"))
                                      .split("\r\n", Qt::SkipEmptyParts);
        if (lines.size() - 3 != row.section('|', 2, 2).toInt())
            problems << folder + ": " + QString::number(lines.size() - 3) + " rows";
        QStringList named;
        for (const QString &recording : lines.mid(3)) {
            QStringList names;
            StationConfigRow::channelFileNames(StationConfigRow::tokens(recording), names);
            named += names;
        }
        QStringList files = QDir(dataDir() + "/" + folder).entryList({"*.ats"}, QDir::Files);
        named.sort();
        files.sort();
        if (named != files)
            problems << folder + ": rows name " + named.join(',') + ", folder holds " + files.join(',');
        for (const QString &file : files) {
            if (!file.contains("_Line" + line + "_Station" + station + "_"))
                problems << folder + ": " + file;
        }
    }
    QStringList onDisk;
    for (const QString &line : QDir(dataDir()).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        for (const QString &station : QDir(dataDir() + "/" + line).entryList(QDir::Dirs | QDir::NoDotAndDotDot))
            onDisk << line + "/" + station;
    }
    folders.sort();
    onDisk.sort();
    if (folders != onDisk)
        problems << "station folders " + onDisk.join(',') + ", database " + folders.join(',');
    return problems.join('\n');
}
