// Stylus input: strokes, hand-mode scrolling, taps with a held tool key, and the taps
// and drags that belong to the status bar and tool panel.
#include <cstdlib>

#include "app/VellumView.h"

namespace vellum {

namespace {

constexpr int kJumpLimit = 20;  // canvas pixels per axis; a move of exactly 20 is kept
constexpr int kStripWidth = 240;
constexpr int kBarHeight = 30;
constexpr int kStripsHeight = 160;  // status bar and tool panel together

int Min(int a, int b) { return a < b ? a : b; }
int Max(int a, int b) { return a > b ? a : b; }

// The new origin after dragging from `last` (view units) to `now` (view units).
int DraggedOrigin(int origin, int last, int now, int size, int zoomFactor) {
    return Max(0, Min(size - size / zoomFactor, origin + last - now));
}

// Whether a point lies on the shown tool panel, bar rows included.
bool OnPanel(const CVellumView& v, int x, int y) {
    if (x >= kStripWidth || !v.panelShown) return false;
    return v.panelAtBottom ? y > v.H - kStripsHeight : y < kStripsHeight;
}

// Whether a release lies in the status bar.
bool InStatusBar(const CVellumView& v, int x, int y) {
    if (x >= kStripWidth) return false;
    return v.panelAtBottom ? y > v.H - kBarHeight : y < kBarHeight;
}

}  // namespace

IntPoint CVellumView::SmoothPoint(IntPoint p) {
    IntPoint* h = smoothHistory;
    // The first point of a stroke is never pulled towards the previous stroke.
    if (movePointCount == 0) h[0] = h[1] = h[2] = p;
    IntPoint s = p;
    switch (smoothing) {
    case 2:
        s = {(h[0].x + p.x) / 2, (h[0].y + p.y) / 2};
        h[0] = p;
        break;
    case 3:
        s = {(h[1].x + h[0].x + p.x) / 3, (h[1].y + h[0].y + p.y) / 3};
        h[0] = h[1];
        h[1] = p;
        break;
    case 4:
        s = {(h[2].x + h[1].x + h[0].x + p.x) / 4, (h[2].y + h[1].y + h[0].y + p.y) / 4};
        h[0] = h[1];
        h[1] = h[2];
        h[2] = p;
        break;
    default:
        break;
    }
    return s;
}

void CVellumView::OnPenDown(int x, int y) {
    if (IsOnCanvas(x, y) && !fullView) {
        movePointCount = 0;
        penDown = 1;
        if (handMode) {
            lastCanvasPt = {x >> zoomShift, y >> zoomShift};
            return;
        }
        // A held tool key still counts: the release may draw.
        modified = 1;
        if (zoomFactor == 1) {
            lastCanvasPt = {x, y};
        } else {
            lastScreenPt = {x, y};
            lastCanvasPt = {viewOriginX + (x >> zoomShift), viewOriginY + (y >> zoomShift)};
        }
        return;
    }
    penDown = 0;
    if (!fullView && OnPanel(*this, x, y)) PickPaletteColour(x, y - PanelY());
}

void CVellumView::OnPenMove(int x, int y) {
    if (penDown != 1 || holdMode != 0) {
        // Dragging across the palette picks colours continuously.
        if (!fullView && OnPanel(*this, x, y)) PickPaletteColour(x, y - PanelY());
        return;
    }
    if (handMode) {
        DrawTo(x, y);
        return;
    }
    if (stylusMode && (zoomFactor == 1 || zoomFactor == 2)) {
        PenPoint points[kMaxBufferedPoints];
        int count = platform.GetBufferedPoints(points, kMaxBufferedPoints);
        if (count < 0) return;  // the query failed: this event draws nothing
        if (count > kMaxBufferedPoints) count = kMaxBufferedPoints;
        for (int i = 0; i < count; ++i) {
            // Smoothed in quarter pixels, then brought to screen pixels.
            const IntPoint s = SmoothPoint({points[i].x, points[i].y});
            DrawTo(s.x / 4, s.y / 4);
            ++movePointCount;
        }
        return;
    }
    const IntPoint s = SmoothPoint({x, y});
    DrawTo(s.x, s.y);
    ++movePointCount;
}

void CVellumView::DrawTo(int x, int y) {
    int cx = x, cy = y;
    if (zoomFactor != 1) {
        cx = viewOriginX + (x >> zoomShift);
        cy = viewOriginY + (y >> zoomShift);
    }
    if (antiJump && !handMode &&
        (std::abs(lastCanvasPt.x - cx) > kJumpLimit || std::abs(lastCanvasPt.y - cy) > kJumpLimit))
        return;  // later points are measured against the last accepted one
    if (penDown != 1) return;

    if (!handMode) {
        const int lx = lastCanvasPt.x, ly = lastCanvasPt.y;
        DrawSegment(lx - 5, ly - 5, cx - 5, cy - 5);
        if (zoomFactor == 1) {
            RefreshRect(Min(lx, cx) - 5, Min(ly, cy) - 5, std::abs(cx - lx) + 11,
                        std::abs(cy - ly) + 11);
        } else {
            const int z = zoomFactor;
            const int sx = lastScreenPt.x, sy = lastScreenPt.y;
            RefreshRect(Min(sx, x) - 5 * z, Min(sy, y) - 5 * z, std::abs(x - sx) + 11 * z,
                        std::abs(y - sy) + 11 * z);
            lastScreenPt = {x, y};
        }
        lastCanvasPt = {cx, cy};
        return;
    }

    // Hand mode scrolls the zoomed view; at zoom 1 there is nothing to scroll.
    if (zoomFactor == 1) return;
    viewOriginX = DraggedOrigin(viewOriginX, lastCanvasPt.x, x >> zoomShift, W, zoomFactor);
    viewOriginY = DraggedOrigin(viewOriginY, lastCanvasPt.y, y >> zoomShift, H, zoomFactor);
    lastCanvasPt = {x >> zoomShift, y >> zoomShift};
    PresentWholeView();
}

void CVellumView::OnPenUp(int x, int y) {
    if (fullView) {
        fullView = 0;
        RefreshRect(0, 0, -1, -1);
        penDown = 0;
        return;
    }
    if (!IsOnCanvas(x, y) && penDown != 1) {
        // A tap on the bar or the panel.
        if (InStatusBar(*this, x, y))
            HitStatusBar(x);
        else if (OnPanel(*this, x, y))
            HitToolPanel(x, y - PanelY());
        penDown = 0;
        return;
    }

    int cx = x, cy = y;
    if (zoomFactor != 1) {
        cx = viewOriginX + (x >> zoomShift);
        cy = viewOriginY + (y >> zoomShift);
    }
    if (holdMode == 2) {
        ZoomAtPoint(cx, cy);
    } else if (holdMode == 1) {
        PickCanvasColour(cx, cy);
    } else if (penDown == 1) {
        if (handMode) {
            viewOriginX = DraggedOrigin(viewOriginX, lastCanvasPt.x, x >> zoomShift, W, zoomFactor);
            viewOriginY = DraggedOrigin(viewOriginY, lastCanvasPt.y, y >> zoomShift, H, zoomFactor);
            RefreshRect(0, 0, -1, -1);
        } else if (movePointCount < 3) {
            // A tap or a very short stroke still leaves a mark where the stylus lifted.
            StampPen(*canvas, cx - 5, cy - 5);
            if (zoomFactor == 1) {
                RefreshRect(cx - 5, cy - 5, 11, 11);
            } else {
                const int z = zoomFactor;
                RefreshRect((cx - 5 - viewOriginX) * z, (cy - 5 - viewOriginY) * z, 11 * z, 11 * z);
            }
        }
    }
    penDown = 0;
}

}  // namespace vellum
