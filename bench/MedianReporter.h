#ifndef BENCH_MEDIANREPORTER_H
#define BENCH_MEDIANREPORTER_H

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

// Console output as usual, keeping the median CPU time per iteration, in seconds, of each
// benchmark run with repetitions. CPU time and the median steady the figures on a machine that is
// busy with other work.
class MedianReporter : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run> &runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run &run : runs) {
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median")
                seconds[key(run.run_name.function_name, run.run_name.args)] =
                    run.GetAdjustedCPUTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
        }
    }

    // 0 when the benchmark did not run with repetitions.
    double at(const std::string &function, const std::string &args = std::string()) const
    {
        const auto found = seconds.find(key(function, args));
        return found == seconds.end() ? 0.0 : found->second;
    }

private:
    static std::string key(const std::string &function, const std::string &args) { return function + "/" + args; }

    std::map<std::string, double> seconds;
};

#endif // BENCH_MEDIANREPORTER_H
