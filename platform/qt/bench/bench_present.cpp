// The desktop front end's present: a rectangle of the screen buffer into the window image
// and painted (offscreen, so that no display server's time counts), as each frame of a
// hand drag or a stroke does. Each case is printed as a ratio to a memcpy of the window
// bytes the present produces, both measured in this run (medians of CPU time over
// interleaved repetitions, with the spread of each).
#include <QApplication>
#include <QRect>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "engine/pixel/Surface.h"
#include "platform/qt/Options.h"
#include "platform/qt/QtPlatform.h"
#include "platform/qt/ViewWidget.h"
#include "bench/RecordingReporter.h"

namespace vellum {
namespace {

struct Case {
    const char* name;
    int width, height, scale;
    QRect rect;  // in screen pixels
};
// A full 1080p window at scale 1 (a hand drag's frame), the default window shown three
// times, and a stroke-sized rectangle at each.
const Case kCases[] = {
    {"full_1920x1080_s1", 1920, 1080, 1, QRect(0, 0, 1920, 1080)},
    {"full_240x320_s3", 240, 320, 3, QRect(0, 0, 240, 320)},
    {"stroke_1920x1080_s1", 1920, 1080, 1, QRect(700, 400, 40, 30)},
    {"stroke_240x320_s3", 240, 320, 3, QRect(100, 150, 40, 30)},
};

QtPlatform* gPlatform = nullptr;

struct Rig {
    explicit Rig(const Case& c) : widget(*gPlatform, c.width, c.height, c.scale) {
        screen.Allocate(c.width + (8 - c.width % 8) % 8, c.height);
        for (int32_t i = 0; i < screen->byteSize; ++i) screen->bytes[i] = uint8_t(i * 7 + (i >> 9));
        widget.show();
        QCoreApplication::processEvents();
    }
    OwnedSurface screen;
    CViewWidget widget;
};

void BM_Present(benchmark::State& state) {
    const Case& c = kCases[state.range(0)];
    Rig rig(c);
    const QRect r = c.rect;
    const QRect shown(r.x() * c.scale, r.y() * c.scale, r.width() * c.scale, r.height() * c.scale);
    for (auto _ : state) {
        rig.widget.PresentRect(*rig.screen, r.x(), r.y(), r.width(), r.height());
        rig.widget.repaint(shown);  // the paint the update asks for, now
    }
    state.SetLabel(c.name);
}
BENCHMARK(BM_Present)->DenseRange(0, int(std::size(kCases)) - 1)->Unit(benchmark::kMicrosecond);

// A memcpy of the bytes a present of the case writes into the window (32 bits a pixel).
void BM_Memcpy(benchmark::State& state) {
    const Case& c = kCases[state.range(0)];
    const size_t bytes = size_t(c.rect.width()) * c.scale * c.rect.height() * c.scale * 4;
    std::vector<uint8_t> from(bytes, 1), to(bytes);
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), bytes);
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
    state.SetLabel(c.name);
}
BENCHMARK(BM_Memcpy)->DenseRange(0, int(std::size(kCases)) - 1)->Unit(benchmark::kMicrosecond);


}  // namespace
}  // namespace vellum

int main(int argc, char** argv) {
    using namespace vellum;
    // The real widget, painted offscreen: the time is the program's, not a display's.
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    int qtArgc = 1;
    QApplication application(qtArgc, argv);
    DesktopOptions options;
    options.scale = 1;
    QtPlatform platform(options);
    gPlatform = &platform;

    RecordingReporter reporter;
    RunRecorded(argc, argv, 7, reporter);

    std::printf("\n--- present / memcpy of the window bytes it writes (measured in this run) ---\n");
    for (size_t k = 0; k < std::size(kCases); ++k) {
        const std::string present = "BM_Present/" + std::to_string(k), copy = "BM_Memcpy/" + std::to_string(k);
        const double p = reporter.Median(present), m = reporter.Median(copy);
        std::printf("%-22s present %8.1f us, memcpy %8.1f us: %5.2fx (spread max/min %.2f and %.2f)\n",
                    kCases[k].name, p, m, m > 0 ? p / m : 0.0, reporter.Spread(present), reporter.Spread(copy));
    }
    return 0;
}
