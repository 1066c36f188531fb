// Times calcImpedance plus smoothing for one recording at 4000 Hz, windows of 16384 samples, for 10,
// 20 and 30 windows, and the floor of the same work: reading the two files and one FFTW real-to-complex
// transform per window and channel. Prints the ratio at 30 windows and, per window count, the times,
// the cost per window and the ratio.

#include "LibCagniard/LibCagniard.h"
#include "bench/MedianReporter.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <fftw3.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace
{

constexpr int length = 16384;
constexpr double rate = 4000;
constexpr int mostWindows = 30;
constexpr double dipoleLength = 50;

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        std::abort();
}

QByteArray countBytes(const std::vector<qint32> &counts)
{
    QByteArray bytes(int(counts.size() * 4), Qt::Uninitialized);
    for (size_t i = 0; i < counts.size(); ++i) {
        const quint32 u = quint32(counts[i]);
        for (int b = 0; b < 4; ++b)
            bytes[int(4 * i) + b] = char((u >> (8 * b)) & 0xff);
    }
    return bytes;
}

// A magnetic channel of noise and an electric channel that follows it, with some noise of its own.
struct Recording
{
    QTemporaryDir dir;
    QString e = dir.filePath("e.ats");
    QString h = dir.filePath("h.ats");
    QString table = dir.filePath("flat.txt");

    Recording()
    {
        std::mt19937 random(1);
        std::normal_distribution<double> noise(0, 1e7);
        std::vector<qint32> eCounts, hCounts;
        for (int i = 0; i < mostWindows * length; ++i) {
            const double magnetic = noise(random);
            hCounts.push_back(qint32(magnetic));
            eCounts.push_back(qint32(3 * magnetic + 0.3 * noise(random)));
        }
        writeFile(e, countBytes(eCounts));
        writeFile(h, countBytes(hCounts));
        writeFile(table, "Frequency Amplitude Phase\n0.001 1 0\n1000000 1 0\n");
    }
};

const Recording &recording()
{
    static const Recording instance;
    return instance;
}

void BM_CalcImpedanceAndSmoothing(benchmark::State &state)
{
    const Recording &r = recording();
    const int windows = int(state.range(0));
    for (auto _ : state) {
        LibCagniard lib;
        if (!lib.calcImpedance(r.e, r.h, rate, double(windows) * length, dipoleLength, r.table, r.table, r.table,
                               r.table, length, windows, false, 0, 0)) {
            state.SkipWithError("calcImpedance failed");
            break;
        }
        benchmark::DoNotOptimize(lib.smoothImpedance());
    }
}
BENCHMARK(BM_CalcImpedanceAndSmoothing)
    ->Arg(10)->Arg(20)->Arg(30)->Unit(benchmark::kMillisecond)->Repetitions(5)->DisplayAggregatesOnly(true);

void BM_Floor(benchmark::State &state)
{
    const Recording &r = recording();
    const int windows = int(state.range(0));
    double *in = fftw_alloc_real(length);
    fftw_complex *out = fftw_alloc_complex(length / 2 + 1);
    fftw_plan plan = fftw_plan_dft_r2c_1d(length, in, out, FFTW_MEASURE);
    for (auto _ : state) {
        for (const QString &path : {r.e, r.h}) {
            QFile file(path);
            if (!file.open(QIODevice::ReadOnly))
                std::abort();
            const QByteArray bytes = file.read(qint64(windows) * length * 4);
            for (int w = 0; w < windows; ++w) {
                for (int i = 0; i < length; ++i) {
                    qint32 count;
                    std::memcpy(&count, bytes.constData() + 4 * (qint64(w) * length + i), 4);
                    in[i] = count;
                }
                fftw_execute(plan);
                benchmark::DoNotOptimize(out);
                benchmark::ClobberMemory();
            }
        }
    }
    fftw_destroy_plan(plan);
    fftw_free(out);
    fftw_free(in);
}
BENCHMARK(BM_Floor)
    ->Arg(10)->Arg(20)->Arg(30)->Unit(benchmark::kMillisecond)->Repetitions(5)->DisplayAggregatesOnly(true);

} // namespace

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    const double ours = reporter.at("BM_CalcImpedanceAndSmoothing", "30");
    const double floor = reporter.at("BM_Floor", "30");
    if (ours > 0 && floor > 0)
        std::printf("calcImpedance + smoothing / floor, 30 windows of %d: %.2f (%.1f ms against %.1f ms)\n", length,
                    ours / floor, ours * 1e3, floor * 1e3);
    for (int windows : {10, 20, 30}) {
        const double t = reporter.at("BM_CalcImpedanceAndSmoothing", std::to_string(windows));
        const double f = reporter.at("BM_Floor", std::to_string(windows));
        if (t > 0 && f > 0)
            std::printf("%d windows: %.2f ms (%.3f ms per window), floor %.2f ms, ratio %.2f\n", windows, t * 1e3,
                        t * 1e3 / windows, f * 1e3, t / f);
    }
    return 0;
}
