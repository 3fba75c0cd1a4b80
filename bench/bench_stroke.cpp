// A recorded stroke timed end to end through the stylus handler: smoothing, the segment
// stamps and compositing, the screen refresh and the copy to a window. Each case runs with
// the program's fast rectangle operations and again with the plain reference ones, and the
// program prints the ratios at the end. It also counts heap allocations from the pen's
// press through its last move, which must be zero (the lift stores the undo step).
#include <benchmark/benchmark.h>

#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "bench/StrokeCase.h"
#include "tests/reference/ReferenceOps.h"

// ---- Allocation counter: counts only while armed -------------------------------------
// GCC takes the replaced operators' malloc/free for a mismatch with new/delete.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif
namespace {
std::atomic<bool> gArmed{false};
std::atomic<long> gAllocations{0};
}  // namespace

void* operator new(std::size_t size) {
    if (gArmed.load(std::memory_order_relaxed)) gAllocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(size ? size : 1)) return p;
    std::abort();
}
void* operator new[](std::size_t size) { return operator new(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    if (gArmed.load(std::memory_order_relaxed)) gAllocations.fetch_add(1, std::memory_order_relaxed);
    return std::malloc(size ? size : 1);
}
void* operator new[](std::size_t size, const std::nothrow_t& t) noexcept { return operator new(size, t); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

namespace vellum {
namespace {

// The table a case runs with: the program's own, or the plain reference operations.
const PixelOps& Ops(int64_t reference) { return reference ? reference::ReferencePixelOps() : FastPixelOps(); }

// args: zoom shift, reference ops (0/1), canvas (0: 240 x 320, 1: 1920 x 1080)
void BM_Stroke(benchmark::State& state) {
    const int shift = int(state.range(0));
    const bool big = state.range(2) != 0;
    Rig rig(big ? 1920 : 240, big ? 1080 : 320, Ops(state.range(1)));
    rig.Zoom(shift, 30, 40);
    for (auto _ : state) RunStroke(*rig.view);
    state.SetItemsProcessed(int64_t(state.iterations()) * kStrokePoints);
    state.counters["points/s"] =
        benchmark::Counter(double(kStrokePoints), benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_Stroke)
    ->ArgNames({"zoomshift", "ref", "big"})
    ->Args({0, 0, 0})
    ->Args({0, 1, 0})
    ->Args({2, 0, 0})
    ->Args({2, 1, 0})
    ->Args({0, 0, 1})
    ->Args({0, 1, 1})
    ->Unit(benchmark::kMicrosecond);

// One whole-screen refresh, what one stroke point should cost less than.
void BM_FullRefresh(benchmark::State& state) {
    Rig rig(240, 320, Ops(state.range(1)));
    rig.Zoom(int(state.range(0)), 30, 40);
    for (auto _ : state) rig.view->RefreshRect(0, 0, -1, -1);
}
BENCHMARK(BM_FullRefresh)
    ->ArgNames({"zoomshift", "ref"})
    ->Args({0, 0})
    ->Args({0, 1})
    ->Args({2, 0})
    ->Unit(benchmark::kMicrosecond);

// A hand-mode drag on a large zoomed view: every move presents the whole view.
void BM_HandDrag(benchmark::State& state) {
    Rig rig(1920, 1080, Ops(state.range(0)));
    rig.Zoom(1, 400, 200);
    rig.view->handMode = 1;
    rig.view->OnPenDown(960, 540);
    int i = 0;
    for (auto _ : state) {
        const int dx = (i++ % 40) < 20 ? 6 : -6;  // back and forth
        rig.view->OnPenMove(960 + dx * (i % 20), 540 + (i % 7), nullptr, 0);
    }
    rig.view->OnPenUp(960, 540);
    state.counters["moves/s"] = benchmark::Counter(1.0, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_HandDrag)->ArgNames({"ref"})->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// Keeps each run's real time per iteration (microseconds) by name.
class RecordingReporter : public benchmark::ConsoleReporter {
public:
    std::map<std::string, double> micros;
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& r : runs)
            if (r.run_type == Run::RT_Iteration && !r.error_occurred)
                micros[r.benchmark_name()] = r.GetAdjustedRealTime();
        ConsoleReporter::ReportRuns(runs);
    }
};

// The counter itself must see an allocation, or a zero below would mean nothing.
bool CounterWorks() {
    gAllocations = 0;
    gArmed = true;
    int* probe = new int(7);
    benchmark::DoNotOptimize(probe);
    delete probe;
    gArmed = false;
    return gAllocations.load() == 1;
}

long CountStrokeAllocations(int width, int height, int shift) {
    Rig rig(width, height);
    rig.Zoom(shift, 30, 40);
    RunStroke(*rig.view);  // once unarmed, so that nothing first-time is counted
    gAllocations = 0;
    gArmed = true;
    DrawStroke(*rig.view);
    gArmed = false;
    LiftPen(*rig.view);
    return gAllocations.load();
}

}  // namespace
}  // namespace vellum

int main(int argc, char** argv) {
    using namespace vellum;
    if (!CounterWorks()) {
        std::printf("FAIL: the allocation counter does not count\n");
        return 1;
    }
    const long allocations = CountStrokeAllocations(240, 320, 0) + CountStrokeAllocations(240, 320, 2) +
                             CountStrokeAllocations(1920, 1080, 0);
    std::printf("heap allocations during strokes: %ld\n", allocations);

    benchmark::Initialize(&argc, argv);
    RecordingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    auto get = [&](const std::string& name) {
        auto it = reporter.micros.find(name);
        return it == reporter.micros.end() ? 0.0 : it->second;
    };
    auto ratio = [](double a, double b) { return b > 0 ? a / b : 0.0; };
    const double z1 = get("BM_Stroke/zoomshift:0/ref:0/big:0");
    const double z1ref = get("BM_Stroke/zoomshift:0/ref:1/big:0");
    const double z4 = get("BM_Stroke/zoomshift:2/ref:0/big:0");
    const double z4ref = get("BM_Stroke/zoomshift:2/ref:1/big:0");
    const double bigz1 = get("BM_Stroke/zoomshift:0/ref:0/big:1");
    const double bigz1ref = get("BM_Stroke/zoomshift:0/ref:1/big:1");
    const double full = get("BM_FullRefresh/zoomshift:0/ref:0");
    const double fullz4 = get("BM_FullRefresh/zoomshift:2/ref:0");
    const double drag = get("BM_HandDrag/ref:0");
    const double dragref = get("BM_HandDrag/ref:1");

    std::printf("\n--- ratios (measured in this run) ---\n");
    if (z1 > 0) {
        std::printf("stroke 240x320 zoom 1: %.0f points/s, reference %.0f: %.1fx\n",
                    1e6 * kStrokePoints / z1, z1ref > 0 ? 1e6 * kStrokePoints / z1ref : 0.0, ratio(z1ref, z1));
        std::printf("one stroke point / one whole-screen refresh (zoom 1): %.3f\n",
                    ratio(z1 / kStrokePoints, full));
    }
    if (z4 > 0) {
        std::printf("stroke 240x320 zoom 4: %.0f points/s, reference %.0f: %.1fx\n",
                    1e6 * kStrokePoints / z4, z4ref > 0 ? 1e6 * kStrokePoints / z4ref : 0.0, ratio(z4ref, z4));
        std::printf("one stroke point / one whole-screen refresh (zoom 4): %.3f\n",
                    ratio(z4 / kStrokePoints, fullz4));
    }
    if (bigz1 > 0)
        std::printf("stroke 1920x1080 zoom 1: %.0f points/s, reference: %.1fx\n",
                    1e6 * kStrokePoints / bigz1, ratio(bigz1ref, bigz1));
    if (drag > 0)
        std::printf("hand drag 1920x1080 zoom 2: %.0f moves/s, reference %.0f: %.1fx\n", 1e6 / drag,
                    dragref > 0 ? 1e6 / dragref : 0.0, ratio(dragref, drag));
    if (allocations != 0) {
        std::printf("FAIL: a stroke allocated on the heap\n");
        return 1;
    }
    return 0;
}
