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

// Runs the benchmarks the command line selects into the reporter, each repeated this many
// times with the repetitions interleaved, so that a noisy moment hits both sides of a
// ratio. The defaults go before the user's flags: the last value of a flag wins.
inline void RunRecorded(int argc, char** argv, int repetitions, RecordingReporter& reporter) {
    std::string count = "--benchmark_repetitions=" + std::to_string(repetitions);
    std::string interleave = "--benchmark_enable_random_interleaving=true";
    std::vector<char*> args{argv[0], count.data(), interleave.data()};
    args.insert(args.end(), argv + 1, argv + argc);
    int n = int(args.size());
    benchmark::Initialize(&n, args.data());
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
}

}  // namespace vellum
