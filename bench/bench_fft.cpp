// Times one forward real transform of 16384 points with ffft::FFTReal<double> and with FFTW's
// real-to-complex plan, then prints our time over FFTW's.

#include "LibCagniard/ffft/FFTReal.h"
#include "bench/MedianReporter.h"

#include <benchmark/benchmark.h>
#include <fftw3.h>

#include <algorithm>
#include <cstdio>
#include <random>
#include <vector>

namespace
{
constexpr int length = 16384;

std::vector<double> signal()
{
    std::mt19937 rng(1);
    std::uniform_real_distribution<double> dist(-1.0, 1.0);
    std::vector<double> x(length);
    for (double &v : x)
        v = dist(rng);
    return x;
}

void BM_FFTReal(benchmark::State &state)
{
    const std::vector<double> x = signal();
    std::vector<double> f(length);
    ffft::FFTReal<double> fft(length);
    for (auto _ : state) {
        fft.transform(f.data(), x.data());
        benchmark::DoNotOptimize(f.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_FFTReal)->Repetitions(9)->DisplayAggregatesOnly(true);

// What each spectrum pays: a fresh transform object, then the transform.
void BM_FFTRealWithConstruction(benchmark::State &state)
{
    const std::vector<double> x = signal();
    std::vector<double> f(length);
    for (auto _ : state) {
        ffft::FFTReal<double> fft(length);
        fft.transform(f.data(), x.data());
        benchmark::DoNotOptimize(f.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_FFTRealWithConstruction);

void BM_FFTW(benchmark::State &state)
{
    double *in = fftw_alloc_real(length);
    fftw_complex *out = fftw_alloc_complex(length / 2 + 1);
    fftw_plan plan = fftw_plan_dft_r2c_1d(length, in, out, FFTW_MEASURE);
    const std::vector<double> x = signal();
    std::copy(x.begin(), x.end(), in);
    for (auto _ : state) {
        fftw_execute(plan);
        benchmark::DoNotOptimize(out);
        benchmark::ClobberMemory();
    }
    fftw_destroy_plan(plan);
    fftw_free(out);
    fftw_free(in);
}
BENCHMARK(BM_FFTW)->Repetitions(9)->DisplayAggregatesOnly(true);

} // namespace

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    const double ours = reporter.at("BM_FFTReal");
    const double fftw = reporter.at("BM_FFTW");
    if (ours > 0 && fftw > 0)
        std::printf("FFTReal / FFTW r2c, %d points (median CPU time): %.2f (%.2f us against %.2f us)\n", length,
                    ours / fftw, ours * 1e6, fftw * 1e6);
    return 0;
}
