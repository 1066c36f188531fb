// (a) Recalculating a stored station of 20 recordings (three curves each, 30 windows of 16384
// samples) on the global thread pool, from the menu's click to the merged curves announced, with
// 1 to all threads. (b) Saving a run of five 80 MB channels into the project, with the waits that
// put the copies on the disk before the database commits and without them, against cp copying the
// same files on the same disk in the same run, alone and followed by sync of the copies.

#include "ProjectBuilder.h"
#include "common/Global_Variables.h"
#include "dialogs/Dialog_NewProject.h"
#include "projectdata/DataModel_Index.h"
#include "projectdata/DiskSync.h"
#include "store/LibHORM.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QThreadPool>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>

namespace {

constexpr int recordings = 20;
constexpr int recalcSeconds = 123; // 4000 Hz: 492000 samples, 30 windows of 16384
constexpr qint64 saveChannelBytes = 80LL * 1000 * 1000;
const QStringList channels = {"Hx", "Hy", "E2", "E1", "E0"};

void check(bool ok)
{
    if (!ok)
        std::abort();
}

void writeFile(const QString &path, const QByteArray &bytes, qint64 total)
{
    QFile file(path);
    check(file.open(QIODevice::WriteOnly));
    for (qint64 written = 0; written < total; written += bytes.size())
        check(file.write(bytes.constData(), qMin<qint64>(bytes.size(), total - written)) > 0);
}

QByteArray noise(int samples, int seed)
{
    QVector<qint32> values(samples);
    QRandomGenerator random{quint32(seed)};
    for (qint32 &v : values)
        v = qint32(random.bounded(20000) - 10000);
    return QByteArray(reinterpret_cast<const char *>(values.constData()), samples * 4);
}

void writeFlatTables(const QString &app)
{
    QByteArray table = "Frequency(Hz) Amplitude Phase(deg)\n";
    for (double f = 0.001; f < 2e6; f *= 10)
        table += QByteArray::number(f) + " 1 0\n";
    QDir().mkpath(app + "/InputCalibration");
    QDir().mkpath(app + "/GainCalibration/123/Low-H");
    for (const char *name : {"Coil-Hx", "Coil-Hy", "Electrode"})
        writeFile(app + "/InputCalibration/" + name + ".txt", table, table.size());
    for (const char *name : {"Ex-1", "Ey-1", "Ex2-1", "Hx-1", "Hy-1"})
        writeFile(app + "/GainCalibration/123/Low-H/" + name + ".txt", table, table.size());
}

struct Project
{
    QTemporaryDir dir;
    Dialog_NewProject dialog;
    std::unique_ptr<DataModel_Index> tree;

    Project()
    {
        appDirPath = dir.path() + "/app";
        writeFlatTables(appDirPath);
        const QString file = dir.path() + "/proj/proj.HMT";
        QDir().mkpath(dir.path() + "/proj");
        {
            LibHORM store;
            check(store.openSqlite(file));
            ProjectBuilder builder(store);
            builder.project()->setProjectId("P1");
            check(builder.project()->updateRow());
        }
        tree = std::make_unique<DataModel_Index>();
        tree->setNewProjectDialog(&dialog);
        tree->setProjectDir(dir.path() + "/proj");
        auto store = std::make_unique<LibHORM>();
        check(store->openSqlite(file) && tree->loadProject(store.get()));
        store.release();
    }

    static SampleInfo task(int seconds)
    {
        SampleInfo block;
        block.MachineID = 123;
        block.LineNum = 5;
        block.StationNum = 100;
        block.WatchMachineMode = 1;
        block.inputs = {"Coil-Hx", "Coil-Hy", "Electrode", "Electrode", "Electrode"};
        CtrlParam &p = block.ctrlParam;
        p.HxChannelIsUse = p.HyChannelIsUse = p.E0ChannelIsUse = p.E1ChannelIsUse = p.E2ChannelIsUse = true;
        p.SampleRate = 4000;
        p.SampleTimeSecond = seconds;
        p.EGain = p.HGain = 1;
        p.E0PoleDistance = p.E1PoleDistance = p.E2PoleDistance = 50;
        return block;
    }

    void save()
    {
        StationSampleInfo record;
        record.MachineID = 123;
        record.ProjectId = "P1";
        record.LineNum = 5;
        record.StationNum = 100;
        QString reason;
        check(tree->saveStationTempSampleData(record, StationNumAutoConfig{}, 0, &reason));
    }
};

// A stored station of 20 recordings, selected in the tree.
Project &station()
{
    static Project p;
    static bool filled = false;
    if (filled)
        return p;
    QList<QByteArray> series;
    for (int c = 0; c < channels.size(); ++c)
        series << noise(4000 * recalcSeconds, c);
    for (int r = 0; r < recordings; ++r) {
        for (int c = 0; c < channels.size(); ++c)
            check(p.tree->saveTempChannelData(Project::task(recalcSeconds), r + 1, channels[c], series[c].constData(),
                                              unsigned(series[c].size())));
        p.tree->finishCurrentTempSample(5, 100);
    }
    p.save();
    const QModelIndex line = p.tree->model()->index(0, 0);
    p.tree->onDoubleClicked(p.tree->model()->index(0, 0, line)); // no curves yet: computed once here
    QSignalSpy shown(p.tree.get(), &DataModel_Index::showProcessData);
    check(shown.wait(120000));
    filled = true;
    return p;
}

void BM_RecalculateStation(benchmark::State &state)
{
    Project &p = station();
    QThreadPool::globalInstance()->setMaxThreadCount(int(state.range(0)));
    for (auto _ : state) {
        QSignalSpy shown(p.tree.get(), &DataModel_Index::showProcessData);
        QElapsedTimer clock;
        clock.start();
        p.tree->reCalcStationImpedanceData();
        check(shown.count() > 0 || shown.wait(120000));
        state.SetIterationTime(clock.nsecsElapsed() * 1e-9);
    }
}
BENCHMARK(BM_RecalculateStation)->DenseRange(1, 8, 1)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

std::map<std::string, std::vector<double>> wallTimes;

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0.0 : v[v.size() / 2];
}

void BM_SaveRunAgainstCp(benchmark::State &state)
{
    const bool flushed = state.range(0) == 1;
    DiskSync::setEnabled(flushed);
    Project p;
    const QByteArray block = noise(1 << 20, 9);
    const QString cpDir = p.dir.path() + "/cp";
    for (auto _ : state) {
        state.PauseTiming();
        QStringList temps;
        for (int c = 0; c < channels.size(); ++c) {
            check(p.tree->saveTempChannelData(Project::task(1), 1, channels[c], block.constData(), unsigned(block.size())));
            temps << p.tree->getCurrentTempSample().channelFiles.last()->fileName();
            writeFile(temps.last(), block, saveChannelBytes);
        }
        p.tree->finishCurrentTempSample(5, 100);
        QDir(cpDir).removeRecursively();
        QDir().mkpath(cpDir);
        // Both copies start with nothing left to write back, so neither is throttled for the other.
        QProcess::execute("sync", {});
        QElapsedTimer clock;
        clock.start();
        check(QProcess::execute("cp", temps + QStringList{cpDir}) == 0);
        wallTimes["cp"].push_back(clock.nsecsElapsed() * 1e-9);
        // Only the copies and their folder, as the save waits only for its own files.
        QStringList copies = QDir(cpDir).entryList(QDir::Files);
        for (QString &copy : copies)
            copy = cpDir + "/" + copy;
        check(QProcess::execute("sync", copies + QStringList{cpDir}) == 0);
        wallTimes["cp + sync"].push_back(clock.nsecsElapsed() * 1e-9);
        QProcess::execute("sync", {});
        // A save also deletes its temporary files: the same deletion, timed on cp's copies.
        clock.restart();
        QDir(cpDir).removeRecursively();
        wallTimes["rm"].push_back(clock.nsecsElapsed() * 1e-9);
        QProcess::execute("sync", {});
        state.ResumeTiming();
        clock.restart();
        p.save();
        wallTimes[flushed ? "save" : "save without waits"].push_back(clock.nsecsElapsed() * 1e-9);
    }
    DiskSync::setEnabled(true);
}
// 1: the save waits for the disk; 0: without the waits.
BENCHMARK(BM_SaveRunAgainstCp)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (!wallTimes["save"].empty())
        std::printf("save of 5 x 80 MB: %.0f ms median (%.0f ms without the waits for the disk); cp + sync of the "
                    "same files: %.0f ms median, %.2fx (target within 1.5x); cp alone: %.0f ms; deleting five such "
                    "files: %.0f ms median\n",
                    median(wallTimes["save"]) * 1e3, median(wallTimes["save without waits"]) * 1e3,
                    median(wallTimes["cp + sync"]) * 1e3, median(wallTimes["save"]) / median(wallTimes["cp + sync"]),
                    median(wallTimes["cp"]) * 1e3, median(wallTimes["rm"]) * 1e3);
    return 0;
}
