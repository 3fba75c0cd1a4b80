#pragma once
// A console reporter that also keeps the CPU time per iteration of every repetition by
// name, so that a benchmark program can print ratios of medians measured in one run,
// with the spread (max / min) of each side.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

namespace vellum {

class RecordingReporter : public benchmark::ConsoleReporter {
public:
    std::map<std::string, std::vector<double>> times;
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& r : runs)
            if (r.run_type == Run::RT_Iteration && !r.error_occurred)
                times[r.benchmark_name()].push_back(r.GetAdjustedCPUTime());
        ConsoleReporter::ReportRuns(runs);
    }
    double Median(const std::string& name) const {
        auto it = times.find(name);
        if (it == times.end() || it->second.empty()) return 0.0;
        std::vector<double> v = it->second;
        std::sort(v.begin(), v.end());
        return v[v.size() / 2];
    }
    double Spread(const std::string& name) const {
        auto it = times.find(name);
        if (it == times.end() || it->second.empty()) return 0.0;
        const auto [lo, hi] = std::minmax_element(it->second.begin(), it->second.end());
        return *lo > 0 ? *hi / *lo : 0.0;
    }
};

}  // namespace vellum
