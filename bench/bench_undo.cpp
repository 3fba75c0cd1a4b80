// Undo and redo measured: what recording a step adds to a stroke, what taking a stroke
// back costs beside refreshing its box, and how much memory a typical stroke keeps. The
// program prints the ratios at the end.
#include <benchmark/benchmark.h>

#include <algorithm>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>

#include "app/VellumView.h"
#include "tests/system/FakePlatform.h"
#include "bench/RecordingReporter.h"

namespace vellum {
namespace {

// The tests' platform, with the desktop's recovery folder: written on a thread of its own.
struct JournalPlatform : fake::FakePlatform {
    RecoveryStore* OpenRecovery(std::string& problem) override {
        if (recoveryDir.empty()) return nullptr;
        recovery = RecoveryFolder::Open(recoveryDir, true, problem);
        return recovery.get();
    }
};

struct Rig {
    Rig(int w, int h, bool undo, const std::string& journalDir = "") {
        platform.recoveryDir = journalDir;
        platform.clientWidth = w;
        platform.clientHeight = h;
        platform.keepPresents = false;
        gShutdownDone = false;
        view = std::make_unique<CVellumView>(platform);
        if (!view->OnCreate() || view->creationFailed) {
            std::fprintf(stderr, "cannot create the view (is %s/vellum.dat built?)\n", VELLUM_BIN_DIR);
            std::exit(1);
        }
        view->stylusMode = 0;  // the event's own point
        view->OnInitialUpdate();
        if (!undo) view->picture.StopHistory();
    }
    JournalPlatform platform;
    std::unique_ptr<CVellumView> view;
};

constexpr int kTypicalPoints = 100;

// A typical stroke: 100 points a few pixels apart along a gentle curve about 300 pixels
// long, as a hand draws it, placed by an offset so that strokes of a run differ.
std::vector<IntPoint> TypicalStroke(int ox, int oy) {
    std::vector<IntPoint> p;
    for (int i = 0; i < kTypicalPoints; ++i) {
        const double t = i / double(kTypicalPoints);
        p.push_back({ox + int(std::lround(300 * t)), oy + int(std::lround(60 * std::sin(t * 5) + 8 * std::sin(t * 31)))});
    }
    return p;
}

void RunStroke(CVellumView& view, const std::vector<IntPoint>& points) {
    view.OnPenDown(points[0].x, points[0].y);
    for (const IntPoint& p : points) view.OnPenMove(p.x, p.y, nullptr, 0);
    view.OnPenUp(points.back().x, points.back().y);
}

// args: undo recording (0/1), canvas (0: 240 x 320, 1: 1920 x 1080)
void BM_TypicalStroke(benchmark::State& state) {
    const bool big = state.range(1) != 0;
    Rig rig(big ? 1920 : 240, big ? 1080 : 320, state.range(0) != 0);
    const int spanX = big ? 1500 : 1, spanY = big ? 900 : 200;
    int k = 0;
    std::vector<std::vector<IntPoint>> strokes;
    for (int i = 0; i < 16; ++i) strokes.push_back(TypicalStroke(big ? 40 + (i * 97) % spanX : -40 + (i % 3) * 10, 60 + (i * 53) % spanY));
    for (auto _ : state) RunStroke(*rig.view, strokes[size_t(k++ % 16)]);
}
BENCHMARK(BM_TypicalStroke)
    ->ArgNames({"undo", "big"})
    ->Args({0, 0})
    ->Args({1, 0})
    ->Args({0, 1})
    ->Args({1, 1})
    ->Unit(benchmark::kMicrosecond);

// Taking a typical stroke back and forward again (the history's own work), against
// refreshing the stroke's box on the screen.
void BM_UndoRedoStroke(benchmark::State& state) {
    Rig rig(1920, 1080, true);
    RunStroke(*rig.view, TypicalStroke(400, 400));
    for (auto _ : state) {
        benchmark::DoNotOptimize(rig.view->picture.Undo());
        benchmark::DoNotOptimize(rig.view->picture.Redo());
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * 2);
}
BENCHMARK(BM_UndoRedoStroke)->Unit(benchmark::kMicrosecond);

void BM_RefreshStrokeBox(benchmark::State& state) {
    Rig rig(1920, 1080, true);
    RunStroke(*rig.view, TypicalStroke(400, 400));
    const Box box = rig.view->picture.Undo().box;
    rig.view->picture.Redo();
    for (auto _ : state) rig.view->RefreshRect(box.x, box.y, box.w, box.h);
}
BENCHMARK(BM_RefreshStrokeBox)->Unit(benchmark::kMicrosecond);

// Keeps the CPU time per iteration of every repetition by name; the ratios use the
// medians, the repetitions being interleaved so that a noisy moment hits both sides.
// A typical stroke with the journal on (undo off both ways), against the same without.
void BM_JournalStroke(benchmark::State& state) {
    char pattern[] = "/tmp/vellum-bench-journal.XXXXXX";
    const std::string dir = state.range(0) ? std::string(mkdtemp(pattern)) : std::string();
    {
        Rig rig(240, 320, false, dir);
        std::vector<std::vector<IntPoint>> strokes;
        for (int i = 0; i < 16; ++i) strokes.push_back(TypicalStroke(-40 + (i % 3) * 10, 60 + (i * 53) % 200));
        int k = 0;
        for (auto _ : state) RunStroke(*rig.view, strokes[size_t(k++ % 16)]);
        rig.view->journal.Flush();
    }
    if (!dir.empty()) std::system(("rm -rf " + dir).c_str());
}
BENCHMARK(BM_JournalStroke)->ArgNames({"journal"})->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// How fast the writer makes records durable, and how large a typical stroke's record is.
void JournalThroughput(double& recordsPerSecond, double& bytesPerStroke) {
    char pattern[] = "/tmp/vellum-bench-journal.XXXXXX";
    const std::string dir = mkdtemp(pattern);
    {
        Rig rig(1920, 1080, false, dir);
        const int strokes = 200;
        const auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < strokes; ++i) RunStroke(*rig.view, TypicalStroke(40 + (i * 97) % 1500, 60 + (i * 53) % 900));
        rig.view->journal.Flush();
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        recordsPerSecond = strokes / seconds;
        struct stat st{};
        ::stat((dir + "/journal-1").c_str(), &st);
        bytesPerStroke = double(st.st_size) / strokes;
    }
    std::system(("rm -rf " + dir).c_str());
}


// A restore after a crash at 1920 x 1080 in the worst case the journal allows: a base
// picture and just under a thousand strokes after it (a thousand make a new base). One
// iteration finds the offer (headers, the base read and checked) and replays it.
std::string RestoreDir() {
    static std::string dir;
    if (!dir.empty()) return dir;
    char pattern[] = "/tmp/vellum-bench-restore.XXXXXX";
    dir = mkdtemp(pattern);
    Rig rig(1920, 1080, false, dir);
    int i = 0;
    auto next = [&] { RunStroke(*rig.view, TypicalStroke(40 + (i * 97) % 1500, 60 + (i * 53) % 900)), ++i; };
    struct stat st{};
    while (::stat((dir + "/base-2.bmp").c_str(), &st) != 0) next();
    // After the base: the pen, the paper and the first stroke, then one record a stroke.
    for (int k = 0; k < RecoveryJournal::kCompactSteps - 3; ++k) next();
    rig.view->journal.Flush();
    gShutdownDone = true;  // the session ends without its user choosing
    return dir;
}

void BM_RestoreWorstCase(benchmark::State& state) {
    const std::string dir = RestoreDir();
    JournalPlatform platform;
    platform.recoveryDir = dir;
    Picture picture;
    picture.Create(FastPixelOps(), 1920, 1080);
    for (auto _ : state) {
        RecoveryJournal journal;
        std::string problem;
        bool complete = false;
        journal.Open(platform, 1920, 1080, "/p/untitled.bmp", problem);
        if (!journal.HasOffer() || !journal.Restore(FastPixelOps(), picture, complete) || !complete)
            state.SkipWithError("nothing to restore");
        platform.recovery.reset();
    }
}
BENCHMARK(BM_RestoreWorstCase)->Unit(benchmark::kMillisecond)->Iterations(3);

// The checksum of a 1920 x 1080 base picture: zlib's against a byte at a time.
void BM_BaseChecksum(benchmark::State& state) {
    std::vector<uint8_t> base(size_t(1920) * 1080 * 3 + 54);
    for (size_t i = 0; i < base.size(); ++i) base[i] = uint8_t(i * 2654435761u >> 24);
    for (auto _ : state)
        benchmark::DoNotOptimize(state.range(0) ? Crc32(base.data(), base.size()) : Crc32Bytewise(base.data(), base.size()));
}
BENCHMARK(BM_BaseChecksum)->ArgNames({"zlib"})->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// Memory a typical stroke keeps on a 1920 x 1080 canvas: the mean over strokes spread
// over the picture.
double BytesPerTypicalStroke(int64_t& steps) {
    Rig rig(1920, 1080, true);
    for (int i = 0; i < 200; ++i) RunStroke(*rig.view, TypicalStroke(40 + (i * 97) % 1500, 60 + (i * 53) % 900));
    steps = int64_t(rig.view->picture.History().StepCount());
    return double(rig.view->picture.History().MemoryUsed()) / double(steps);
}

}  // namespace
}  // namespace vellum

int main(int argc, char** argv) {
    using namespace vellum;
    int64_t steps = 0;
    const double perStroke = BytesPerTypicalStroke(steps);
    // Nine interleaved repetitions unless the command line says otherwise.
    RecordingReporter reporter;
    RunRecorded(argc, argv, 9, reporter);

    auto get = [&](const std::string& name) { return reporter.Median(name); };
    auto ratio = [](double a, double b) { return b > 0 ? a / b : 0.0; };
    const double canvasBytes = 1920.0 * 1080 * 3;
    std::printf("\n--- undo (measured in this run) ---\n");
    std::printf("typical stroke (100 points) on 1920x1080 keeps %.0f bytes: %.3f of the canvas; "
                "%.0f such strokes fit the default %d MiB\n",
                perStroke, perStroke / canvasBytes, double(kDefaultUndoMemory) / perStroke,
                int(kDefaultUndoMemory >> 20));
    for (const char* size : {"0", "1"}) {
        const std::string with = std::string("BM_TypicalStroke/undo:1/big:") + size;
        const std::string without = std::string("BM_TypicalStroke/undo:0/big:") + size;
        std::printf("stroke with undo / without, %s: %.2fx (medians of CPU time; spread max/min %.2f and %.2f)\n",
                    size[0] == '0' ? "240x320" : "1920x1080", ratio(get(with), get(without)),
                    reporter.Spread(with), reporter.Spread(without));
    }
    std::printf("undo or redo of a typical stroke / refreshing its box: %.2fx\n",
                ratio(get("BM_UndoRedoStroke") / 2, get("BM_RefreshStrokeBox")));
    double recordsPerSecond = 0, bytesPerStroke = 0;
    JournalThroughput(recordsPerSecond, bytesPerStroke);
    std::printf("\n--- journal (measured in this run) ---\n");
    std::printf("journal work of a typical stroke on the drawing thread: %.0f us (stroke with / without: %.2fx)\n",
                get("BM_JournalStroke/journal:1") - get("BM_JournalStroke/journal:0"),
                ratio(get("BM_JournalStroke/journal:1"), get("BM_JournalStroke/journal:0")));
    std::printf("typical stroke's journal record: %.0f bytes; strokes made durable (written and flushed, "
                "drawn and journalled in turn): %.0f per second\n",
                bytesPerStroke, recordsPerSecond);
    std::printf("restore at 1920x1080, a base and %d strokes after it: %.0f ms (%.2f of the 150 ms goal)\n",
                RecoveryJournal::kCompactSteps - 3, get("BM_RestoreWorstCase/iterations:3"),
                get("BM_RestoreWorstCase/iterations:3") / 150.0);
    std::printf("checksum of a 1920x1080 base: zlib / a byte at a time: %.2fx (%.1f ms / %.1f ms)\n",
                ratio(get("BM_BaseChecksum/zlib:1"), get("BM_BaseChecksum/zlib:0")), get("BM_BaseChecksum/zlib:1"),
                get("BM_BaseChecksum/zlib:0"));
    std::system(("rm -rf " + RestoreDir()).c_str());
    return 0;
}
