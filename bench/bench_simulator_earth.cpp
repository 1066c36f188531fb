// Times the simulator's synthesis of one group's five channel blocks: 123 s at 4000 Hz, about
// 2 MB a channel, what one transfer of a 30-window recording carries. Target: well under a second.

#include "tools/simulator/SimEarth.h"

#include <benchmark/benchmark.h>

namespace
{

void BM_EarthGroupBlocks(benchmark::State &state)
{
    SimGroupTask task;
    task.sampleRate = 4000;
    task.sampleTime = 123;
    task.dipoleLengths = {{100, 80, 50}};
    task.gainCodes = {{0x100, 0x100, 0x101, 0x101, 0x101}};
    SampleDataControlParam record;
    record.machineID = 1001;
    record.dataIndexNum = 1;
    record.dataLength = int32_t(task.blockBytes(0, 64 * 1024 * 1024));
    const SimEarth earth(100, 1);
    for (auto _ : state) {
        std::array<QByteArray, 5> blocks = earth.samples(task, record);
        benchmark::DoNotOptimize(blocks[4].constData());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * 5 * record.dataLength);
}
BENCHMARK(BM_EarthGroupBlocks)->Unit(benchmark::kMillisecond)->Repetitions(5)->DisplayAggregatesOnly(true);

} // namespace

BENCHMARK_MAIN();
