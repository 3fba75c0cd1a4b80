// Stylus input: strokes, hand-mode scrolling, taps with a held tool key, and the taps and
// drags that belong to the status bar and tool panel. The pen and the pencil's strokes
// are the engine's; these members hand it the view's fields and show what it changed.
#include <cstdlib>

#include "app/VellumView.h"
#include "engine/skin/SkinLayout.h"

namespace vellum {

namespace {

int Min(int a, int b) { return a < b ? a : b; }

// A screen point in picture pixels from the screen's corner, for a hand drag.
int HandUnits(int s, int zoomShift) { return zoomShift >= 0 ? s >> zoomShift : s * (1 << -zoomShift); }

// The origin after a hand drag from `last` to `now` (picture pixels from the screen's
// corner), kept so that the picture stays in view.
void DragOrigin(CVellumView& v, IntPoint last, IntPoint now) {
    v.viewOriginX += last.x - now.x;
    v.viewOriginY += last.y - now.y;
    v.ClampOrigin();
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
            lastCanvasPt = {HandUnits(x, zoomShift), HandUnits(y, zoomShift)};
            return;
        }
        // A held tool key still counts: the release may draw. A tablet pen's eraser end
        // erases whatever the eraser toggle says, and the stroke keeps it.
        modified = 1;
        picture.BeginStroke(Erasing());
        lastScreenPt = {x, y};
        lastCanvasPt = PicturePoint(x, y);
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
    // The buffered points where a screen pixel is no more than two picture pixels across
    // or less: zoomed out, their quarter pixels reach picture pixels the screen's do not.
    if (stylusMode && zoomShift <= 1) {
        if (count < 0 || (count > 0 && !points)) return;  // none to be had: this move draws nothing
        // The newest ones when a front end brings more than the handheld's buffer holds.
        if (count > kMaxBufferedPoints) {
            points += count - kMaxBufferedPoints;
            count = kMaxBufferedPoints;
        }
        for (int i = 0; i < count; ++i) {
            // Smoothed in quarter pixels, then brought to screen pixels (zoomed out, to
            // the picture pixels they fall on).
            const IntPoint s = smoother.Next({points[i].x, points[i].y}, smoothing, movePointCount == 0);
            if (zoomShift < 0) {
                const int k = 1 << -zoomShift;
                DrawTo(s.x / 4, s.y / 4, {viewOriginX + s.x * k / 4, viewOriginY + s.y * k / 4});
            } else {
                DrawTo(s.x / 4, s.y / 4);
            }
            ++movePointCount;
        }
        return;
    }
    const IntPoint s = smoother.Next({x, y}, smoothing, movePointCount == 0);
    DrawTo(s.x, s.y);
    ++movePointCount;
}

void CVellumView::DrawTo(int x, int y) { DrawTo(x, y, PicturePoint(x, y)); }

void CVellumView::DrawTo(int x, int y, IntPoint c) {
    int cx = c.x, cy = c.y;
    // A pointer dragged off the window or over the desk (a desktop keeps reporting it)
    // draws along the picture's edge: the stroke's points stay within the picture plus
    // the stamp's reach, which is what the journal's replay accepts.
    if (!handMode) {
        cx = KeepInReach(cx, picture.Width());
        cy = KeepInReach(cy, picture.Height());
    }
    // Later points are measured against the last accepted one.
    if (antiJump && !handMode && Jumps(lastCanvasPt, {cx, cy})) return;
    if (penDown != 1) return;

    if (!handMode) {
        const int lx = lastCanvasPt.x, ly = lastCanvasPt.y;
        picture.Segment(ops, lx - kStampOffset, ly - kStampOffset, cx - kStampOffset, cy - kStampOffset);
        // The segment's box and one pixel more each way down and right.
        if (zoomShift == 0) {
            RefreshRect(Min(lx, cx) - kStampOffset - viewOriginX, Min(ly, cy) - kStampOffset - viewOriginY,
                        std::abs(cx - lx) + kStampSize + 1, std::abs(cy - ly) + kStampSize + 1);
        } else if (zoomShift > 0) {
            const int z = zoomFactor;
            const int sx = lastScreenPt.x, sy = lastScreenPt.y;
            RefreshRect(Min(sx, x) - kStampOffset * z, Min(sy, y) - kStampOffset * z,
                        std::abs(x - sx) + (kStampSize + 1) * z, std::abs(y - sy) + (kStampSize + 1) * z);
        } else {
            RefreshCanvasBox({Min(lx, cx) - kStampOffset, Min(ly, cy) - kStampOffset, std::abs(cx - lx) + kStampSize + 1,
                              std::abs(cy - ly) + kStampSize + 1});
        }
        lastScreenPt = {x, y};
        lastCanvasPt = {cx, cy};
        return;
    }

    // Hand mode scrolls a picture larger than what the screen shows of it; otherwise
    // there is nothing to scroll.
    if (!Scrollable()) return;
    const IntPoint now{HandUnits(x, zoomShift), HandUnits(y, zoomShift)};
    DragOrigin(*this, lastCanvasPt, now);
    lastCanvasPt = now;
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

    const IntPoint c = PicturePoint(x, y);
    const int cx = c.x, cy = c.y;
    const bool stroke = penDown == 1 && !handMode;
    if (holdMode == 2) {
        ZoomAtPoint(cx, cy);
    } else if (holdMode == 1) {
        PickCanvasColour(cx, cy);
    } else if (penDown == 1) {
        if (handMode) {
            DragOrigin(*this, lastCanvasPt, {HandUnits(x, zoomShift), HandUnits(y, zoomShift)});
            RefreshRect(0, 0, -1, -1);
        } else if (movePointCount < 3) {
            // A tap or a very short stroke still leaves a mark where the stylus lifted.
            const int sx = KeepInReach(cx, picture.Width()) - kStampOffset;
            const int sy = KeepInReach(cy, picture.Height()) - kStampOffset;
            picture.Stamp(ops, sx, sy);
            const int z = zoomFactor;
            if (zoomShift == 0)
                RefreshRect(sx - viewOriginX, sy - viewOriginY, kStampSize + 1, kStampSize + 1);
            else if (zoomShift > 0)
                RefreshRect((sx - viewOriginX) * z, (sy - viewOriginY) * z, (kStampSize + 1) * z,
                            (kStampSize + 1) * z);
            else
                RefreshCanvasBox({sx, sy, kStampSize + 1, kStampSize + 1});
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
