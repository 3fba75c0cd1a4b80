// Speed of the rectangle operations: each one at 10x10 (pen stamps at many places of a
// 240x320 canvas), at 240x320 and at 1920x1080, beside the plain reference version,
// beside pixman where it has the same operator, and beside a memcpy of the same bytes.
// The table printed at the end compares the times of this one run.
#include <benchmark/benchmark.h>
#include <pixman.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "engine/pixel/PixelOps.h"
#include "engine/pixel/Surface.h"
#include "tests/reference/ReferenceOps.h"

namespace vellum {
namespace {

constexpr double kDefaultMinTime = 0.05;

// ---------------------------------------------------------------------------------------
// Pictures

struct Picture {
    OwnedSurface surface;
    pixman_image_t* image = nullptr;  // the same bytes, rows top-down in pixman's eyes

    void Make(int width, int height, uint32_t seed) {
        surface.Allocate(width, height);
        std::mt19937 rng(seed);
        for (int32_t k = 0; k < surface->byteSize; ++k) surface->bytes[k] = uint8_t(rng());
        image = pixman_image_create_bits(PIXMAN_r8g8b8, width, height,
                                         reinterpret_cast<uint32_t*>(surface->bytes), width * 3);
    }
    // pixman counts rows from the first in memory, our y from the top of the picture.
    int PixmanY(int y, int h) const { return surface->height - y - h; }
};

struct Pictures {
    Picture canvas, paper;    // 240x320: destination and source of the stamps and small copies
    Picture screen, screenSource;  // 240x320 whole-screen pair
    Picture large, largeSource;    // 1920x1080 whole-screen pair
    Picture pen;                   // 128x10 pen buffer: twelve 10x10 stamps side by side
};

Pictures& Pics() {
    static Pictures* p = [] {
        auto* q = new Pictures;
        q->canvas.Make(240, 320, 1);
        q->paper.Make(240, 320, 2);
        q->screen.Make(240, 320, 3);
        q->screenSource.Make(240, 320, 4);
        q->large.Make(1920, 1080, 5);
        q->largeSource.Make(1920, 1080, 6);
        q->pen.Make(128, 10, 7);
        return q;
    }();
    return *p;
}

// Stamp corners: pen points anywhere on the 240x320 canvas, corner at the point minus 5,
// so the stamps near the edges hang over them.
struct Stamp {
    int x, y, penX;
};
const std::vector<Stamp>& Stamps() {
    static const std::vector<Stamp> stamps = [] {
        std::vector<Stamp> s;
        std::mt19937 rng(42);
        for (int k = 0; k < 4096; ++k) {
            s.push_back(Stamp{int(rng() % 240) - 5, int(rng() % 320) - 5, int(rng() % 12) * 10});
        }
        return s;
    }();
    return stamps;
}

// ---------------------------------------------------------------------------------------
// Operations under test. An op runs on a destination rectangle of a size class.

enum class Size { Stamp, Screen, Large };
const char* const kSizeNames[] = {"10x10", "240x320", "1920x1080"};
constexpr Size kSizes[] = {Size::Stamp, Size::Screen, Size::Large};

struct Impl {
    void (*blend)(PixelSurface&, int, int, int, int, const PixelSurface&, int, int, int);
    void (*rop)(PixelSurface&, int, int, int, int, const PixelSurface&, int, int, uint32_t);
    void (*wash)(PixelSurface&, int, int, int, int);
    void (*white)(PixelSurface&, int, int, int, int);
    void (*black)(PixelSurface&, int, int, int, int);
    void (*colour)(PixelSurface&, int, int, int, int, uint8_t, uint8_t, uint8_t);
    void (*zoom)(PixelSurface&, int, int, int, int, const PixelSurface&, int, int, int);
};
const Impl kFast = {BlendRect, CopyRectRop, WashOutRect, FillRectWhite,
                    FillRectBlack, FillRectColour, ZoomCopyRect};
const Impl kReference = {reference::RefBlendRect,     reference::RefCopyRectRop,
                         reference::RefWashOutRect,   reference::RefFillRectWhite,
                         reference::RefFillRectBlack, reference::RefFillRectColour,
                         reference::RefZoomCopyRect};

enum class Kind { Blend, Rop, Wash, White, Black, Colour, Zoom };

struct Op {
    std::string name;
    Kind kind;
    int arg;  // blend mode, raster code or zoom shift
    pixman_op_t pixmanOp;
    bool hasPixman;
};

std::vector<Op> Ops() {
    const char* const modeNames[] = {"Lighten",  "Darken",   "And",       "Or",        "Add",
                                     "RevSub",   "Multiply", "Amplify",   "Attenuate", "CopyNonWhite"};
    std::vector<Op> ops;
    for (int m = 0; m < kBlendModeCount; ++m) {
        Op op{modeNames[m], Kind::Blend, m, PIXMAN_OP_SRC, false};
        if (m == Lighten) op = {modeNames[m], Kind::Blend, m, PIXMAN_OP_LIGHTEN, true};
        if (m == Darken) op = {modeNames[m], Kind::Blend, m, PIXMAN_OP_DARKEN, true};
        if (m == Add) op = {modeNames[m], Kind::Blend, m, PIXMAN_OP_ADD, true};
        if (m == Multiply) op = {modeNames[m], Kind::Blend, m, PIXMAN_OP_MULTIPLY, true};
        ops.push_back(op);
    }
    ops.push_back({"SRCCOPY", Kind::Rop, int(SRCCOPY), PIXMAN_OP_SRC, true});
    ops.push_back({"NOTSRCCOPY", Kind::Rop, int(NOTSRCCOPY), PIXMAN_OP_SRC, false});
    ops.push_back({"WashOut", Kind::Wash, 0, PIXMAN_OP_SRC, false});
    ops.push_back({"FillWhite", Kind::White, 0, PIXMAN_OP_SRC, false});
    ops.push_back({"FillBlack", Kind::Black, 0, PIXMAN_OP_SRC, false});
    ops.push_back({"FillColour", Kind::Colour, 0, PIXMAN_OP_SRC, false});
    for (int s = 1; s <= 3; ++s) ops.push_back({"Zoom" + std::to_string(1 << s), Kind::Zoom, s, PIXMAN_OP_SRC, false});
    return ops;
}

// One call of op on rectangle (x, y, w, h) of dst; the source corner is (sx, sy).
void RunOp(const Impl& impl, const Op& op, PixelSurface& dst, int x, int y, int w, int h,
           const PixelSurface& src, int sx, int sy) {
    switch (op.kind) {
        case Kind::Blend: impl.blend(dst, x, y, w, h, src, sx, sy, op.arg); break;
        case Kind::Rop: impl.rop(dst, x, y, w, h, src, sx, sy, uint32_t(op.arg)); break;
        case Kind::Wash: impl.wash(dst, x, y, w, h); break;
        case Kind::White: impl.white(dst, x, y, w, h); break;
        case Kind::Black: impl.black(dst, x, y, w, h); break;
        case Kind::Colour: impl.colour(dst, x, y, w, h, 0x80, 0x40, 0x20); break;
        case Kind::Zoom: impl.zoom(dst, x, y, w, h, src, sx, sy, op.arg); break;
    }
}

// The destination, source and source corner of one size class; stamps use the pen
// buffer for blends and the paper for copies and zooms.
struct Target {
    Picture* dst;
    Picture* src;
};
Target TargetFor(Size size, const Op& op) {
    Pictures& p = Pics();
    switch (size) {
        case Size::Stamp: return {&p.canvas, op.kind == Kind::Blend ? &p.pen : &p.paper};
        case Size::Screen: return {&p.screen, &p.screenSource};
        case Size::Large: return {&p.large, &p.largeSource};
    }
    return {&p.screen, &p.screenSource};
}

void SetCounts(benchmark::State& state, int64_t pixelsPerIteration) {
    state.SetItemsProcessed(int64_t(state.iterations()) * pixelsPerIteration);
    state.SetBytesProcessed(int64_t(state.iterations()) * pixelsPerIteration * 3);
}

void BenchOp(benchmark::State& state, const Impl* impl, Op op, Size size) {
    Target t = TargetFor(size, op);
    PixelSurface& dst = *t.dst->surface;
    const PixelSurface& src = *t.src->surface;
    if (size == Size::Stamp) {
        const std::vector<Stamp>& stamps = Stamps();
        size_t k = 0;
        for (auto _ : state) {
            const Stamp& s = stamps[k++ & 4095];
            int sx = s.x, sy = s.y;
            if (op.kind == Kind::Blend) sx = s.penX, sy = 0;
            if (op.kind == Kind::Zoom) sx = s.x >> op.arg, sy = s.y >> op.arg;
            RunOp(*impl, op, dst, s.x, s.y, 10, 10, src, sx, sy);
            benchmark::ClobberMemory();
        }
        SetCounts(state, 100);
        return;
    }
    for (auto _ : state) {
        RunOp(*impl, op, dst, 0, 0, dst.width, dst.height, src, 0, 0);
        benchmark::ClobberMemory();
    }
    SetCounts(state, int64_t(dst.width) * dst.height);
}

void BenchPixman(benchmark::State& state, Op op, Size size) {
    Target t = TargetFor(size, op);
    pixman_image_t* dst = t.dst->image;
    pixman_image_t* src = t.src->image;
    if (size == Size::Stamp) {
        const std::vector<Stamp>& stamps = Stamps();
        size_t k = 0;
        for (auto _ : state) {
            const Stamp& s = stamps[k++ & 4095];
            const int sx = op.kind == Kind::Blend ? s.penX : s.x;
            const int sy = op.kind == Kind::Blend ? 0 : t.src->PixmanY(s.y, 10);
            pixman_image_composite32(op.pixmanOp, src, nullptr, dst, sx, sy, 0, 0, s.x,
                                     t.dst->PixmanY(s.y, 10), 10, 10);
            benchmark::ClobberMemory();
        }
        SetCounts(state, 100);
        return;
    }
    const int w = t.dst->surface->width, h = t.dst->surface->height;
    for (auto _ : state) {
        pixman_image_composite32(op.pixmanOp, src, nullptr, dst, 0, 0, 0, 0, 0, 0, w, h);
        benchmark::ClobberMemory();
    }
    SetCounts(state, int64_t(w) * h);
}

// The physical floor: the destination bytes copied with memcpy.
void BenchMemcpy(benchmark::State& state, Size size) {
    Op copy{"SRCCOPY", Kind::Rop, int(SRCCOPY), PIXMAN_OP_SRC, true};
    Target t = TargetFor(size, copy);
    PixelSurface& dst = *t.dst->surface;
    const PixelSurface& src = *t.src->surface;
    if (size == Size::Stamp) {
        const std::vector<Stamp>& stamps = Stamps();
        size_t k = 0;
        for (auto _ : state) {
            const Stamp& s = stamps[k++ & 4095];
            const int x = s.x < 0 ? 0 : (s.x > 230 ? 230 : s.x);
            const int y = s.y < 0 ? 0 : (s.y > 310 ? 310 : s.y);
            for (int j = 0; j < 10; ++j) std::memcpy(dst.At(x, y + j), src.At(x, y + j), 30);
            benchmark::ClobberMemory();
        }
        SetCounts(state, 100);
        return;
    }
    for (auto _ : state) {
        std::memcpy(dst.bytes, src.bytes, size_t(dst.byteSize));
        benchmark::ClobberMemory();
    }
    SetCounts(state, int64_t(dst.width) * dst.height);
}

// ---------------------------------------------------------------------------------------
// Results and the ratio table

std::string Key(const std::string& op, const std::string& impl, Size size) {
    return op + "/" + impl + "/" + kSizeNames[int(size)];
}

class CollectingReporter : public benchmark::ConsoleReporter {
public:
    std::map<std::string, double> secondsPerIteration;

    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Iteration || run.error_occurred || run.iterations == 0) continue;
            secondsPerIteration[run.run_name.function_name] =
                run.cpu_accumulated_time / double(run.iterations);
        }
        ConsoleReporter::ReportRuns(runs);
    }
    // Time of a benchmark, or 0 when it did not run (filtered out).
    double Time(const std::string& key) const {
        auto it = secondsPerIteration.find(key);
        return it == secondsPerIteration.end() ? 0.0 : it->second;
    }
};

struct AimCount {
    int met = 0, missed = 0, ties = 0;
};

// "12.3x" and, when there is an aim, whether it is met.
std::string Cell(double ratio, bool hasAim, bool met, AimCount& count) {
    if (ratio <= 0) return "-";
    char text[48];
    std::snprintf(text, sizeof text, "%.1fx%s", ratio, hasAim ? (met ? " ok" : " MISS") : "");
    if (hasAim) (met ? count.met : count.missed)++;
    return text;
}

bool IsStrokeBlend(const Op& op) {
    return op.kind == Kind::Blend && (op.arg == Multiply || op.arg == Attenuate || op.arg == Add);
}

void PrintTable(const CollectingReporter& r, const std::vector<Op>& ops) {
    AimCount count;
    auto ratio = [&](const std::string& slow, const std::string& fast) {
        const double a = r.Time(slow), b = r.Time(fast);
        return a > 0 && b > 0 ? a / b : 0.0;
    };

    std::printf("\nSpeed-up of the fast operations over the reference (reference time / fast time)\n");
    std::printf("aims: >= 15x whole-screen Multiply, Attenuate, Add; >= 5x for every 10x10 blend\n");
    std::printf("%-14s %14s %14s %14s\n", "operation", "10x10", "240x320", "1920x1080");
    for (const Op& op : ops) {
        std::printf("%-14s", op.name.c_str());
        for (Size size : kSizes) {
            const double x = ratio(Key(op.name, "reference", size), Key(op.name, "fast", size));
            bool hasAim = false, met = false;
            if (size == Size::Stamp && op.kind == Kind::Blend) hasAim = true, met = x >= 5;
            if (size != Size::Stamp && IsStrokeBlend(op)) hasAim = true, met = x >= 15;
            std::printf(" %14s", Cell(x, hasAim, met, count).c_str());
        }
        std::printf("\n");
    }

    std::printf("\nFast operations against pixman on the same 24-bit rectangles (pixman time / fast time)\n");
    std::printf("aim: above 1x everywhere\n");
    std::printf("%-14s %14s %14s %14s\n", "operation", "10x10", "240x320", "1920x1080");
    for (const Op& op : ops) {
        if (!op.hasPixman) continue;
        std::printf("%-14s", op.name.c_str());
        for (Size size : kSizes) {
            const double x = ratio(Key(op.name, "pixman", size), Key(op.name, "fast", size));
            // Both at the memcpy floor: neither can be faster than the memory allows.
            const double floor = ratio(Key(op.name, "fast", size), Key("memcpy", "floor", size));
            if (x > 0.95 && x < 1.05 && floor > 0 && floor < 1.1) {
                char text[48];
                std::snprintf(text, sizeof text, "%.2fx tie", x);
                std::printf(" %14s", text);
                count.ties++;
                continue;
            }
            std::printf(" %14s", Cell(x, true, x > 1, count).c_str());
        }
        std::printf("\n");
    }
    std::printf("(tie: both within 5%% of each other and of the memcpy floor)\n");

    std::printf("\nZoom copies against a memcpy of the destination bytes (zoom time / memcpy time)\n");
    std::printf("aim: at most 2x\n");
    std::printf("%-14s %14s %14s %14s\n", "operation", "10x10", "240x320", "1920x1080");
    for (const Op& op : ops) {
        if (op.kind != Kind::Zoom) continue;
        std::printf("%-14s", op.name.c_str());
        for (Size size : kSizes) {
            const double x = ratio(Key(op.name, "fast", size), Key("memcpy", "floor", size));
            std::printf(" %14s", Cell(x, true, x > 0 && x <= 2, count).c_str());
        }
        std::printf("\n");
    }
    std::printf("\naims met: %d of %d", count.met, count.met + count.missed + count.ties);
    if (count.ties > 0) std::printf(" (%d tied at the memcpy floor)", count.ties);
    std::printf("\n");
}

}  // namespace
}  // namespace vellum

int main(int argc, char** argv) {
    using namespace vellum;
    bool minTimeGiven = false;
    for (int k = 1; k < argc; ++k) {
        if (std::strncmp(argv[k], "--benchmark_min_time", 20) == 0) minTimeGiven = true;
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;

    const std::vector<Op> ops = Ops();
    auto tune = [&](benchmark::internal::Benchmark* b) {
        if (!minTimeGiven) b->MinTime(kDefaultMinTime);
        b->Unit(benchmark::kMicrosecond);
    };
    for (const Op& op : ops) {
        for (Size size : kSizes) {
            tune(benchmark::RegisterBenchmark(Key(op.name, "fast", size).c_str(), BenchOp, &kFast, op, size));
            tune(benchmark::RegisterBenchmark(Key(op.name, "reference", size).c_str(), BenchOp,
                                              &kReference, op, size));
            if (op.hasPixman) {
                tune(benchmark::RegisterBenchmark(Key(op.name, "pixman", size).c_str(), BenchPixman, op, size));
            }
        }
    }
    for (Size size : kSizes) {
        tune(benchmark::RegisterBenchmark(Key("memcpy", "floor", size).c_str(), BenchMemcpy, size));
    }

    Pics();  // allocate and fill outside the timings
    CollectingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    PrintTable(reporter, ops);
    benchmark::Shutdown();
    return 0;
}
