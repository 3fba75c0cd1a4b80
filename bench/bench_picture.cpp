// Large pictures: the recorded stroke on a 1024 x 1024 and on an 8192 x 8192 picture (a
// point should cost the same: the stroke's scratch is as big as its segment, not the
// picture), and a whole-screen refresh showing an 8192 x 8192 picture at 1/8 against a
// memcpy of the bytes it reads. The program prints the ratios of medians of repetitions
// run interleaved, with each side's spread (max / min).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <memory>

#include "bench/RecordingReporter.h"
#include "bench/StrokeCase.h"

namespace vellum {
namespace {

constexpr int kLargest = 8192;

// A picture of side x side on a 240 x 320 screen at 1:1, scrolled into its middle.
void BM_StrokeOnPicture(benchmark::State& state) {
    const int side = int(state.range(0));
    Rig rig(240, 320);
    if (!rig.view->picture.Resize(rig.view->ops, side, side)) {
        state.SkipWithError("no memory for the picture");
        return;
    }
    rig.Zoom(0, side / 2, side / 2);
    for (auto _ : state) RunStroke(*rig.view);
    state.SetItemsProcessed(int64_t(state.iterations()) * kStrokePoints);
}
BENCHMARK(BM_StrokeOnPicture)->ArgNames({"side"})->Arg(1024)->Arg(kLargest)->Unit(benchmark::kMicrosecond);

// A 1024 x 1024 screen showing all of an 8192 x 8192 picture at 1/8: it reads every byte.
void BM_RefreshAtOneEighth(benchmark::State& state) {
    Rig rig(1024, 1024);
    if (!rig.view->picture.Resize(rig.view->ops, kLargest, kLargest)) {
        state.SkipWithError("no memory for the picture");
        return;
    }
    rig.Zoom(-3, 0, 0);
    for (auto _ : state) rig.view->RefreshRect(0, 0, -1, -1);
    state.SetBytesProcessed(int64_t(state.iterations()) * kLargest * kLargest * 3);
}
BENCHMARK(BM_RefreshAtOneEighth)->Unit(benchmark::kMillisecond);

// The floor: copying as many bytes as the refresh reads.
void BM_MemcpyPicture(benchmark::State& state) {
    const size_t bytes = size_t(kLargest) * kLargest * 3;
    std::unique_ptr<uint8_t[]> from(new uint8_t[bytes]), to(new uint8_t[bytes]);
    std::memset(from.get(), 7, bytes);
    std::memset(to.get(), 0, bytes);
    for (auto _ : state) {
        std::memcpy(to.get(), from.get(), bytes);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(bytes));
}
BENCHMARK(BM_MemcpyPicture)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vellum

int main(int argc, char** argv) {
    using namespace vellum;
    RecordingReporter reporter;
    RunRecorded(argc, argv, 5, reporter);
    const std::string small = "BM_StrokeOnPicture/side:1024", large = "BM_StrokeOnPicture/side:8192";
    const std::string refresh = "BM_RefreshAtOneEighth", copy = "BM_MemcpyPicture";
    auto line = [&](const char* what, const std::string& a, const std::string& b, const char* bound) {
        const double ma = reporter.Median(a), mb = reporter.Median(b);
        if (ma > 0 && mb > 0)
            std::printf("%s: %.2fx (spread %.2f / %.2f; at most %s)\n", what, ma / mb, reporter.Spread(a),
                        reporter.Spread(b), bound);
    };
    std::printf("\n--- ratios of medians (measured in this run) ---\n");
    line("stroke point, 8192 x 8192 picture / 1024 x 1024 picture", large, small, "1.5x");
    line("1/8 refresh of 8192 x 8192 / memcpy of its bytes", refresh, copy, "2x");
    return 0;
}
