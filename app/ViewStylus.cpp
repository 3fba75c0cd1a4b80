// Stylus input: strokes, hand-mode scrolling, taps with a held tool key, and the taps and
// drags that belong to the status bar and tool panel. The pen and the pencil's strokes
// are the engine's; these members hand it the view's fields and show what it changed.
#include <cstdlib>

#include "app/VellumView.h"
#include "engine/skin/SkinLayout.h"

namespace vellum {

namespace {

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

// ---- The pen --------------------------------------------------------------------------

void CVellumView::SelectPen(int index, bool refreshStatus) {
    // 0 and -1 keep the pen: callers that pick one set penIndex themselves.
    if (index != 0 && index != -1) penIndex = index;
    if (panelShown && panelPage == PagePen) DrawToolPanel(true);
    if (refreshStatus) DrawStatusBar(BarPen, true);
    if (!skinImage.Exists()) return;
    // The stamp takes the colour as it is shown (the display colour).
    const SkinRect mask = PenIconRect(penIndex);
    picture.SetPen(ops, *skinImage, mask.x, mask.y, RgbOf(DisplayColour()));
}

// ---- Stylus events -----------------------------------------------------------------------

void CVellumView::OnPenDown(int x, int y) {
    // With the space bar held a press on the canvas starts a pan drag.
    if (panKeyHeld && !panDrag && penDown != 1 && !fullView && IsOnCanvas(x, y)) {
        OnPanDown(x, y);
        return;
    }
    if (IsOnCanvas(x, y) && !fullView) {
        movePointCount = 0;
        penDown = 1;
        if (handMode) {
            lastCanvasPt = {x >> zoomShift, y >> zoomShift};
            return;
        }
        // A held tool key still counts: the release may draw. A tablet pen's eraser end
        // erases whatever the eraser toggle says, and the stroke keeps it.
        modified = 1;
        picture.BeginStroke(Erasing());
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

void CVellumView::OnPenMove(int x, int y, const PenPoint* points, int count) {
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
        if (count < 0 || (count > 0 && !points)) return;  // none to be had: this move draws nothing
        // The newest ones when a front end brings more than the handheld's buffer holds.
        if (count > kMaxBufferedPoints) {
            points += count - kMaxBufferedPoints;
            count = kMaxBufferedPoints;
        }
        for (int i = 0; i < count; ++i) {
            // Smoothed in quarter pixels, then brought to screen pixels.
            const IntPoint s = smoother.Next({points[i].x, points[i].y}, smoothing, movePointCount == 0);
            DrawTo(s.x / 4, s.y / 4);
            ++movePointCount;
        }
        return;
    }
    const IntPoint s = smoother.Next({x, y}, smoothing, movePointCount == 0);
    DrawTo(s.x, s.y);
    ++movePointCount;
}

void CVellumView::DrawTo(int x, int y) {
    int cx = x, cy = y;
    if (zoomFactor != 1) {
        cx = viewOriginX + (x >> zoomShift);
        cy = viewOriginY + (y >> zoomShift);
    }
    // A pointer dragged off the window (a desktop keeps reporting it) draws along the
    // edge: the stroke's points stay within the canvas plus the stamp's reach, which is
    // what the journal's replay accepts.
    if (!handMode) {
        cx = KeepInReach(cx, W);
        cy = KeepInReach(cy, H);
    }
    // Later points are measured against the last accepted one.
    if (antiJump && !handMode && Jumps(lastCanvasPt, {cx, cy})) return;
    if (penDown != 1) return;

    if (!handMode) {
        const int lx = lastCanvasPt.x, ly = lastCanvasPt.y;
        picture.Segment(ops, lx - kStampOffset, ly - kStampOffset, cx - kStampOffset, cy - kStampOffset);
        // The segment's box and one pixel more each way down and right.
        if (zoomFactor == 1) {
            RefreshRect(Min(lx, cx) - kStampOffset, Min(ly, cy) - kStampOffset,
                        std::abs(cx - lx) + kStampSize + 1, std::abs(cy - ly) + kStampSize + 1);
        } else {
            const int z = zoomFactor;
            const int sx = lastScreenPt.x, sy = lastScreenPt.y;
            RefreshRect(Min(sx, x) - kStampOffset * z, Min(sy, y) - kStampOffset * z,
                        std::abs(x - sx) + (kStampSize + 1) * z, std::abs(y - sy) + (kStampSize + 1) * z);
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
    if (panDrag) {
        OnPanUp(x, y);
        return;
    }
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
    const bool stroke = penDown == 1 && !handMode;
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
            const int sx = KeepInReach(cx, W) - kStampOffset, sy = KeepInReach(cy, H) - kStampOffset;
            picture.Stamp(ops, sx, sy);
            const int z = zoomFactor;
            if (z == 1)
                RefreshRect(sx, sy, kStampSize + 1, kStampSize + 1);
            else
                RefreshRect((sx - viewOriginX) * z, (sy - viewOriginY) * z, (kStampSize + 1) * z,
                            (kStampSize + 1) * z);
        }
    }
    penDown = 0;
    // Whatever the release did, what the press drew is one step.
    if (stroke) {
        picture.EndStroke();
        AfterStep();
    }
    // A settings write that fell due while the stroke was drawn.
    WritePendingSettings();
}

}  // namespace vellum
