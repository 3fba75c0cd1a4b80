#pragma once
// The recorded stroke the stroke benchmarks time, and the view they time it in: shared by
// the native benchmark and the browser's, so that both measure the same work.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include "app/VellumView.h"
#include "tests/system/FakePlatform.h"

namespace vellum {

// The tests' platform: its window receives the presented rectangles and keeps none.
struct Rig {
    Rig(int w, int h, const PixelOps& ops = FastPixelOps()) {
        platform.clientWidth = w;
        platform.clientHeight = h;
        platform.keepPresents = false;
        gShutdownDone = false;
        view = std::make_unique<CVellumView>(platform, ops);
        if (!view->OnCreate() || view->creationFailed) {
            for (const std::string& text : platform.messageTexts)
                std::fprintf(stderr, "message: %s\n", text.c_str());
            std::fprintf(stderr, "cannot create the view (is %s/vellum.dat there?)\n", VELLUM_BIN_DIR);
            std::exit(1);
        }
        view->stylusMode = 0;  // the event's own point, the same at every zoom
        view->smoothing = 2;
        view->antiJump = 0;
        view->OnInitialUpdate();
    }
    void Zoom(int shift, int ox, int oy) {
        view->zoomShift = shift;
        view->zoomFactor = 1 << (shift > 0 ? shift : 0);
        view->viewOriginX = ox;
        view->viewOriginY = oy;
        view->ClampOrigin();
        view->RefreshRect(0, 0, -1, -1);
    }
    fake::FakePlatform platform;
    std::unique_ptr<CVellumView> view;
};

constexpr int kStrokePoints = 1000;

// A hand-drawn looking stroke of 1,000 points inside a 240 x 320 screen, a few pixels
// apart, crossing the status bar now and then.
inline const std::vector<IntPoint>& RecordedStroke() {
    static const std::vector<IntPoint> points = [] {
        std::vector<IntPoint> p;
        for (int i = 0; i < kStrokePoints; ++i) {
            const double t = i * 0.021;
            const double x = 120 + 95 * std::sin(t * 1.3) + 9 * std::sin(t * 7.1);
            const double y = 170 + 140 * std::sin(t * 0.83 + 0.4) + 7 * std::cos(t * 5.3);
            p.push_back({int(std::lround(x)), int(std::lround(y))});
        }
        return p;
    }();
    return points;
}

// The pen's way down and every move: what must not allocate.
inline void DrawStroke(CVellumView& view) {
    const std::vector<IntPoint>& points = RecordedStroke();
    view.OnPenDown(points[0].x, points[0].y);
    for (const IntPoint& p : points) view.OnPenMove(p.x, p.y, nullptr, 0);
}

// Lifting the pen stores the stroke's undo step, which takes memory of its own.
inline void LiftPen(CVellumView& view) { view.OnPenUp(RecordedStroke().back().x, RecordedStroke().back().y); }

inline void RunStroke(CVellumView& view) {
    DrawStroke(view);
    LiftPen(view);
}

}  // namespace vellum
