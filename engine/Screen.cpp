#include "engine/Screen.h"

#include <algorithm>

#include "engine/skin/SkinLayout.h"

namespace vellum {

namespace {

// x mod z, never negative, so that x - mod lies on the zoom grid at or left of x.
int FloorMod(int x, int z) {
    const int r = x % z;
    return r < 0 ? r + z : r;
}

int64_t CeilDiv(int64_t a, int64_t b) { return a >= 0 ? (a + b - 1) / b : -((-a) / b); }

// The screen rectangle the picture covers at this zoom and origin (it may reach beyond
// the screen).
struct Covered {
    int64_t left, top, right, bottom;
};
Covered PictureOnScreen(const ScreenGeometry& g) {
    if (g.zoomShift >= 0) {
        const int s = g.zoomShift;
        return {-int64_t(g.originX) << s, -int64_t(g.originY) << s, (int64_t(g.pictureWidth) - g.originX) << s,
                (int64_t(g.pictureHeight) - g.originY) << s};
    }
    // A screen pixel shows picture when its block reaches a picture pixel.
    const int64_t k = int64_t(1) << -g.zoomShift;
    return {CeilDiv(-int64_t(g.originX) - k + 1, k), CeilDiv(-int64_t(g.originY) - k + 1, k),
            CeilDiv(int64_t(g.pictureWidth) - g.originX, k), CeilDiv(int64_t(g.pictureHeight) - g.originY, k)};
}

// The desk over the part of the rectangle the picture does not cover.
void ComposeDesk(const PixelOps& ops, const ScreenSurfaces& s, const Covered& c, int x, int y, int w, int h) {
    const int64_t x1 = int64_t(x) + w, y1 = int64_t(y) + h;
    const int64_t top = std::clamp<int64_t>(c.top, y, y1), bottom = std::clamp<int64_t>(c.bottom, top, y1);
    const int64_t left = std::clamp<int64_t>(c.left, x, x1), right = std::clamp<int64_t>(c.right, left, x1);
    auto fill = [&](int64_t fx, int64_t fy, int64_t fw, int64_t fh) {
        if (fw > 0 && fh > 0)
            ops.fillRectColour(s.screen, int(fx), int(fy), int(fw), int(fh), kDeskGrey, kDeskGrey, kDeskGrey);
    };
    fill(x, y, w, top - y);
    fill(x, bottom, w, y1 - bottom);
    fill(x, top, left - x, bottom - top);
    fill(right, top, x1 - right, bottom - top);
}

// The picture layer of a screen rectangle, on the desk where the picture does not reach;
// when zoomed in, the rectangle is widened back to the zoom grid, so that the rest of the
// composition (the bar test and what is presented) covers what was drawn.
void ComposeCanvas(const PixelOps& ops, const ScreenSurfaces& s, const ScreenGeometry& g, int& x,
                   int& y, int& w, int& h) {
    if (g.zoomShift > 0) {
        const int z = 1 << g.zoomShift;
        const int rx = FloorMod(x, z), ry = FloorMod(y, z);
        x -= rx;
        y -= ry;
        w += rx;
        h += ry;
    }
    ComposeDesk(ops, s, PictureOnScreen(g), x, y, w, h);
    if (g.zoomShift == 0) {
        ops.copyRectRop(s.screen, x, y, w, h, s.canvas, g.originX + x, g.originY + y, SRCCOPY);
    } else if (g.zoomShift > 0) {
        ops.zoomCopyRect(s.screen, x, y, w, h, s.canvas, g.originX + (x >> g.zoomShift),
                         g.originY + (y >> g.zoomShift), g.zoomShift);
    } else {
        const int k = 1 << -g.zoomShift;
        ops.shrinkRect(s.screen, x, y, w, h, s.canvas, int(g.originX + int64_t(x) * k), int(g.originY + int64_t(y) * k),
                       -g.zoomShift);
    }
}

}  // namespace

int32_t ScreenGeometry::BarY() const { return panelAtBottom ? height - kBarHeight : 0; }

int32_t ScreenGeometry::PanelY() const { return panelAtBottom ? height - kStripsHeight : kBarHeight; }

int64_t ScreenSpan(int32_t screen, int32_t zoomShift) {
    return zoomShift >= 0 ? int64_t(screen) >> zoomShift : int64_t(screen) << -zoomShift;
}

int64_t PictureOffset(int32_t s, int32_t zoomShift) {
    if (zoomShift >= 0) return int64_t(s) >> zoomShift;
    const int64_t k = int64_t(1) << -zoomShift;
    return int64_t(s) * k + k / 2;
}

Box ComposeScreenRect(const PixelOps& ops, const ScreenSurfaces& s, const ScreenGeometry& g, int x,
                      int y, int w, int h) {
    if (g.fullView) {
        // The picture 1:1 from its corner (centred when it is smaller than the screen).
        ScreenGeometry full = g;
        full.zoomShift = 0;
        const IntPoint o = ClampOrigin({0, 0}, g.pictureWidth, g.pictureHeight, g.width, g.height, 0);
        full.originX = o.x;
        full.originY = o.y;
        ComposeCanvas(ops, s, full, x, y, w, h);
        return ClipBox({x, y, w, h}, s.screen.width, s.screen.height);
    }
    const int H = g.height;
    // A rectangle inside the open panel body shows only the panel.
    const bool covered =
        g.panelShown && x <= kStripWidth && x + w <= kStripWidth &&
        (g.panelAtBottom ? y >= H - kStripsHeight && y + h <= H - kBarHeight
                         : y >= kBarHeight && y + h <= kStripsHeight);
    if (!covered) ComposeCanvas(ops, s, g, x, y, w, h);

    const bool reachesBar =
        x <= kStripWidth && (g.panelAtBottom ? y + h > H - kBarHeight : y < kBarHeight);
    if (reachesBar) {
        const int barY = g.BarY();
        // The overlay works on the whole strip, so the whole strip gets fresh canvas
        // pixels first: washing a strip that was already washed would darken it step by
        // step on every refresh that touches the bar.
        const bool stripComposed = !covered && x <= 0 && x + w >= kStripWidth && y <= barY &&
                                   y + h >= barY + kBarHeight;
        if (!stripComposed) {
            int sx = 0, sy = barY, sw = kStripWidth, sh = kBarHeight;
            ComposeCanvas(ops, s, g, sx, sy, sw, sh);
        }
        ops.washOutRect(s.screen, 0, barY, kStripWidth, kBarHeight);
        // White under the swatch keeps the colour swatch in its true colour.
        ops.fillRectWhite(s.screen, kBarSwatch.x, barY + kBarSwatch.y, kBarSwatch.w, kBarSwatch.h);
        ops.blendRect(s.screen, 0, barY, kStripWidth, kBarHeight, s.skin, 0, kBarWorkRow, Multiply);
    }

    if (g.panelShown && x <= kStripWidth) {
        const bool reachesPanel = g.panelAtBottom ? y + h >= H - kStripsHeight : y <= kStripsHeight;
        if (reachesPanel)
            ops.copyRectRop(s.screen, 0, g.PanelY(), kStripWidth, kPanelHeight, s.skin, 0,
                            kPanelWorkRow, SRCCOPY);
    }
    return ClipBox({x, y, w, h}, s.screen.width, s.screen.height);
}

Box ComposeCanvasOnly(const PixelOps& ops, const ScreenSurfaces& s, const ScreenGeometry& g) {
    int x = 0, y = 0, w = g.width, h = g.height;
    ComposeCanvas(ops, s, g, x, y, w, h);
    return {0, 0, g.width, g.height};
}

IntPoint ClampOrigin(IntPoint origin, int32_t pictureWidth, int32_t pictureHeight, int32_t screenWidth,
                     int32_t screenHeight, int32_t zoomShift) {
    const int shift = std::clamp(zoomShift, kLeastZoomShift, kMostZoomShift);
    const int64_t k = shift < 0 ? int64_t(1) << -shift : 1;
    auto axis = [&](int32_t o, int32_t picture, int32_t screen) -> int32_t {
        const int64_t span = ScreenSpan(screen, shift);
        if (picture >= span) return int32_t(std::clamp<int64_t>(o, 0, picture - span));
        int64_t margin = (span - picture) / 2;
        margin -= margin % k;
        return int32_t(-margin);
    };
    return {axis(origin.x, pictureWidth, screenWidth), axis(origin.y, pictureHeight, screenHeight)};
}

}  // namespace vellum
