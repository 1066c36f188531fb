// Resident memory of the instrument simulator, as a separate process, over a long day: stations of
// three groups with all five channels and blocks of 2 MB, recorded one after another by a bare
// host. The simulator must stay flat: what it holds of the frames it sent is bounded.
#include "SimulatorProcess.h"
#include "tools/simulator/SimHost.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>

namespace {

constexpr double MiB = 1024 * 1024;
std::map<int, double> residentMB; // after that many stations

QByteArray stationTask(int station)
{
    QByteArray text = "ProjectID=AMT_DAY\nLineNum=1\nStationNum=" + QByteArray::number(station) + "\n";
    for (int group = 1; group <= 3; ++group)
        text += "GroupID=" + QByteArray::number(group) + "\nSampleRate=4000\nSampleTime=1\nOnLineSelect=1\n";
    return text;
}

void BM_SimulatorStations(benchmark::State &state)
{
    const int stations = int(state.range(0));
    for (auto _ : state) {
        bench::SimulatorProcess sim({"--block-bytes", "2000000", "--sample-ms", "1", "--byte-exact"});
        SimHost host(sim.base);
        if (!sim.base || !host.connectAll()) {
            state.SkipWithError("the simulator did not start");
            return;
        }
        for (int station = 1; station <= stations; ++station) {
            if (!host.recordStation(stationTask(station))) {
                state.SkipWithError("a station was not recorded");
                return;
            }
            if (station == 10 || station % 50 == 0)
                residentMB[station] = sim.residentBytes() / MiB;
        }
    }
    state.counters["rss_10_MB"] = residentMB[10];
    state.counters["rss_last_MB"] = residentMB[stations];
}

BENCHMARK(BM_SimulatorStations)->Arg(300)->Iterations(1)->Unit(benchmark::kSecond);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    for (const auto &entry : residentMB)
        std::printf("simulator resident memory after %d stations: %.0f MiB\n", entry.first, entry.second);
    // Target: flat, within 50 MiB of the figure after 10 stations.
    if (residentMB.count(10) && residentMB.count(300))
        std::printf("after 300 stations within 50 MiB of after 10: %s\n",
                    residentMB[300] - residentMB[10] <= 50 ? "met" : "MISSED");
    return 0;
}
