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
            if (run.run_type == Run::RT_Iteration || run.aggregate_name == "median") {
                m_times[run.run_name.str()] = run.GetAdjustedRealTime();
                m_cpuTimes[run.run_name.str()] = run.GetAdjustedCPUTime();
            }
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

    // The CPU time of the benchmark's own thread against the reference's real time.
    void printCpuRatio(const std::string& name, const std::string& reference) const
    {
        const auto found = m_cpuTimes.find(name);
        const double base = time(reference);
        if (found == m_cpuTimes.end() || std::isnan(base))
            return;
        std::printf("  %-44s %10.4f  ratio to %s: %.4f\n", (name + " (CPU)").c_str(), found->second,
                    reference.c_str(), found->second / base);
    }

private:
    std::map<std::string, double> m_times;
    std::map<std::string, double> m_cpuTimes;
};
