#pragma once

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <string>

// Google Benchmark's console table, and afterwards each figure as a ratio to a reference that was
// measured in the same run. Keeps every benchmark's real time in milliseconds: the median when
// the run has repetitions.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs)
            if (run.run_type == Run::RT_Iteration || run.aggregate_name == "median")
                m_times[run.run_name.str()] = run.GetAdjustedRealTime();
    }

    // The time of a benchmark in its unit, NaN when it did not run.
    double time(const std::string& name) const
    {
        const auto found = m_times.find(name);
        return found == m_times.end() ? std::nan("") : found->second;
    }

    void printRatio(const std::string& name, const std::string& reference) const
    {
        const double value = time(name);
        const double base = time(reference);
        if (std::isnan(value) || std::isnan(base))
            return;
        std::printf("  %-44s %10.4f  ratio to %s: %.4f\n", name.c_str(), value, reference.c_str(),
                    value / base);
    }

private:
    std::map<std::string, double> m_times;
};
