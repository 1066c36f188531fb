// Times opening a project of 50 lines x 20 stations x 10 recordings (three curves of 40 points
// each) into the project tree, and closing it again.

#include "ProjectBuilder.h"
#include "bench/MedianReporter.h"
#include "dialogs/Dialog_NewProject.h"
#include "projectdata/DataModel_Index.h"
#include "store/LibHORM.h"

#include <QApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

constexpr int lines = 50;
constexpr int stationsPerLine = 20;
constexpr int recordingsPerStation = 10;
constexpr int pointsPerCurve = 40;

QVector<OneFreqImpedance> curve(int channel)
{
    QVector<OneFreqImpedance> points;
    for (int i = 0; i < pointsPerCurve; ++i)
        points.append({0.0, 10000.0 / (i + 1), 0.9, 100.0 + channel, 45.0, 100.0, 356.0 * i});
    return points;
}

void fillProject(const QString &file)
{
    LibHORM store;
    if (!store.openSqlite(file))
        std::abort();
    ProjectBuilder builder(store);
    const QList<ChannelImpedance> curves{{0, curve(0)}, {1, curve(1)}, {2, curve(2)}};
    store.transaction();
    for (int l = 1; l <= lines; ++l) {
        Data_Line *line = builder.addLine(l);
        for (int s = 0; s < stationsPerLine; ++s) {
            Data_Station *station = builder.addStation(line, (stationsPerLine - s) * 25.0);
            for (int r = 0; r < recordingsPerStation; ++r)
                builder.addRecording(station, 250 << (r % 5))->addProcessData(curves);
        }
    }
    if (!store.commit())
        std::abort();
}

struct Project
{
    QTemporaryDir dir;
    QString file = dir.filePath("Season.HMT");
    Dialog_NewProject dialog;
    DataModel_Index tree;

    Project()
    {
        fillProject(file);
        tree.setNewProjectDialog(&dialog);
        tree.setProjectDir(dir.path());
    }

    void open()
    {
        auto store = std::make_unique<LibHORM>();
        if (!store->openSqlite(file) || !tree.loadProject(store.get()))
            std::abort();
        store.release();
        // The whole tree is built: the last station of the last line holds every recording.
        QTreeWidgetItem *last = tree.topLevelItem(lines - 1);
        if (tree.topLevelItemCount() != lines || !last || last->childCount() != stationsPerLine
            || last->child(stationsPerLine - 1)->childCount() != recordingsPerStation)
            std::abort();
    }
};

Project &project()
{
    static Project filled;
    return filled;
}

void BM_OpenProjectAndTree(benchmark::State &state)
{
    Project &p = project();
    for (auto _ : state) {
        p.open();
        state.PauseTiming();
        p.tree.closeProject();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_OpenProjectAndTree)->Unit(benchmark::kMillisecond)->Iterations(3)->Repetitions(5)->DisplayAggregatesOnly(true);

void BM_CloseProject(benchmark::State &state)
{
    Project &p = project();
    for (auto _ : state) {
        state.PauseTiming();
        p.open();
        state.ResumeTiming();
        p.tree.closeProject();
    }
}
BENCHMARK(BM_CloseProject)->Unit(benchmark::kMillisecond)->Iterations(3)->Repetitions(5)->DisplayAggregatesOnly(true);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    std::printf("%d recordings: open and tree %.1f ms (target under 1000 ms), close %.1f ms\n",
                lines * stationsPerLine * recordingsPerStation, reporter.at("BM_OpenProjectAndTree") * 1e3,
                reporter.at("BM_CloseProject") * 1e3);
    return 0;
}
