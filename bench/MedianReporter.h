#ifndef MEDIANREPORTER_H
#define MEDIANREPORTER_H

#include <benchmark/benchmark.h>

#include <map>
#include <string>

// Console output as usual, keeping the median CPU time, in seconds, of each benchmark run with
// repetitions, keyed "function" or "function/arguments". The median steadies ratios on a busy machine.
class MedianReporter : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run> &runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run &run : runs) {
            if (run.run_type != Run::RT_Aggregate || run.aggregate_name != "median")
                continue;
            const std::string &args = run.run_name.args;
            const std::string key = run.run_name.function_name + (args.empty() ? "" : "/" + args);
            medians[key] = run.GetAdjustedCPUTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
        }
    }

    // 0 when the benchmark did not run.
    double seconds(const std::string &key) const
    {
        const auto found = medians.find(key);
        return found == medians.end() ? 0.0 : found->second;
    }

private:
    std::map<std::string, double> medians;
};

#endif // MEDIANREPORTER_H
