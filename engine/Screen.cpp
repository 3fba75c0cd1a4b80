#include "engine/Screen.h"

#include "engine/skin/SkinLayout.h"

namespace vellum {

namespace {

// x mod z, never negative, so that x - mod lies on the zoom grid at or left of x.
int FloorMod(int x, int z) {
    const int r = x % z;
    return r < 0 ? r + z : r;
}

// The canvas layer of a screen rectangle; when zoomed, the rectangle is widened back to
// the zoom grid, so that the rest of the composition (the bar test and what is
// presented) covers what was drawn.
void ComposeCanvas(const PixelOps& ops, const ScreenSurfaces& s, const ScreenGeometry& g, int& x,
                   int& y, int& w, int& h) {
    if (g.zoomShift == 0) {
        ops.copyRectRop(s.screen, x, y, w, h, s.canvas, x, y, SRCCOPY);
        return;
    }
    const int z = 1 << g.zoomShift;
    const int rx = FloorMod(x, z), ry = FloorMod(y, z);
    x -= rx;
    y -= ry;
    w += rx;
    h += ry;
    ops.zoomCopyRect(s.screen, x, y, w, h, s.canvas, g.originX + (x >> g.zoomShift),
                     g.originY + (y >> g.zoomShift), g.zoomShift);
}

}  // namespace

int32_t ScreenGeometry::BarY() const { return panelAtBottom ? height - kBarHeight : 0; }

int32_t ScreenGeometry::PanelY() const { return panelAtBottom ? height - kStripsHeight : kBarHeight; }

Box ComposeScreenRect(const PixelOps& ops, const ScreenSurfaces& s, const ScreenGeometry& g, int x,
                      int y, int w, int h) {
    if (g.fullView) {
        ops.copyRectRop(s.screen, x, y, w, h, s.canvas, x, y, SRCCOPY);
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
    ops.zoomCopyRect(s.screen, 0, 0, g.width, g.height, s.canvas, g.originX, g.originY, g.zoomShift);
    return {0, 0, g.width, g.height};
}

IntPoint ClampOrigin(IntPoint origin, int32_t width, int32_t height, int32_t zoomShift) {
    const int z = zoomShift > 0 && zoomShift < 31 ? 1 << zoomShift : 1;
    const int maxX = width - width / z, maxY = height - height / z;
    IntPoint o = origin;
    if (o.x > maxX) o.x = maxX;
    if (o.y > maxY) o.y = maxY;
    if (o.x < 0) o.x = 0;
    if (o.y < 0) o.y = 0;
    return o;
}

}  // namespace vellum
