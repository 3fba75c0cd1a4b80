// The screen: the canvas (zoomed and scrolled), the translucent status bar and the opaque
// tool panel, composed rectangle by rectangle in the screen buffer and shown.
#include "app/VellumView.h"
#include "engine/PixelOpsTable.h"

namespace vellum {

namespace {

constexpr int kStripWidth = 240;
constexpr int kBarHeight = 30;
constexpr int kPanelHeight = 130;
constexpr int kStripsHeight = 160;
constexpr int kBarWorkY = 500;     // status-bar work area in the skin image
constexpr int kPanelWorkY = 530;   // tool-panel work area in the skin image
constexpr int kSwatchX = 125;      // the colour swatch inside the bar
constexpr int kSwatchRow = 14;
constexpr int kSwatchSize = 10;

// x mod z, never negative, so that x - mod lies on the zoom grid at or left of x.
int FloorMod(int x, int z) {
    const int r = x % z;
    return r < 0 ? r + z : r;
}

// The canvas layer of a screen rectangle. When zoomed the corner moves back onto the zoom
// grid, so a canvas pixel split by the rectangle's left or top edge is drawn whole; the
// rectangle is widened to what was drawn, so that the rest of the refresh (the bar test and
// the copy to the window) covers it too.
void ComposeCanvas(CVellumView& v, int& x, int& y, int& w, int& h) {
    const PixelOpsTable& ops = gPixelOps;
    if (v.zoomFactor == 1) {
        ops.copyRectRop(*v.screenBuffer, x, y, w, h, *v.canvas, x, y, SRCCOPY);
        return;
    }
    const int s = v.zoomShift;
    const int rx = FloorMod(x, v.zoomFactor);
    const int ry = FloorMod(y, v.zoomFactor);
    x -= rx;
    y -= ry;
    w += rx;
    h += ry;
    ops.zoomCopyRect(*v.screenBuffer, x, y, w, h, *v.canvas, v.viewOriginX + (x >> s),
                     v.viewOriginY + (y >> s), s);
}

// Copies the part of a rectangle that lies inside the window; a stroke near an edge
// asks for more.
void PresentClipped(Platform& platform, const PixelSurface& screen, int x, int y, int w, int h) {
    const int x0 = x < 0 ? 0 : x;
    const int y0 = y < 0 ? 0 : y;
    const int64_t right = int64_t(x) + w, bottom = int64_t(y) + h;
    const int x1 = right > screen.width ? screen.width : int(right);
    const int y1 = bottom > screen.height ? screen.height : int(bottom);
    if (x1 <= x0 || y1 <= y0) return;
    platform.PresentRect(screen, x0, y0, x1 - x0, y1 - y0);
}

}  // namespace

void CVellumView::RefreshRect(int x, int y, int w, int h) {
    if (!screenBuffer.Exists() || !canvas.Exists()) return;
    if (w == -1) w = W;
    if (h == -1) h = H;
    const PixelOpsTable& ops = gPixelOps;

    if (fullView) {
        // The canvas alone, 1:1, whatever the zoom.
        ops.copyRectRop(*screenBuffer, x, y, w, h, *canvas, x, y, SRCCOPY);
        PresentClipped(platform, *screenBuffer, x, y, w, h);
        return;
    }

    // A rectangle inside the open panel body shows only the panel.
    const bool covered =
        panelShown && x <= kStripWidth && x + w <= kStripWidth &&
        (panelAtBottom ? y >= H - kStripsHeight && y + h <= H - kBarHeight
                       : y >= kBarHeight && y + h <= kStripsHeight);
    if (!covered) ComposeCanvas(*this, x, y, w, h);

    const bool reachesBar =
        x <= kStripWidth && (panelAtBottom ? y + h > H - kBarHeight : y < kBarHeight);
    if (reachesBar) {
        const int barY = BarY();
        // The overlay works on the whole strip, so the whole strip gets fresh canvas
        // pixels first: washing a strip that was already washed would darken it step by
        // step on every refresh that touches the bar.
        const bool stripComposed = !covered && x <= 0 && x + w >= kStripWidth && y <= barY &&
                                   y + h >= barY + kBarHeight;
        if (!stripComposed) {
            int sx = 0, sy = barY, sw = kStripWidth, sh = kBarHeight;
            ComposeCanvas(*this, sx, sy, sw, sh);
        }
        ops.washOutRect(*screenBuffer, 0, barY, kStripWidth, kBarHeight);
        // White under the swatch keeps the colour swatch in its true colour.
        ops.fillRectWhite(*screenBuffer, kSwatchX, barY + kSwatchRow, kSwatchSize, kSwatchSize);
        if (skinImage.Exists())
            ops.blendRect(*screenBuffer, 0, barY, kStripWidth, kBarHeight, *skinImage, 0,
                          kBarWorkY, Multiply);
    }
    PresentRect(x, y, w, h);
}

void CVellumView::PresentRect(int x, int y, int w, int h) {
    if (!screenBuffer.Exists()) return;
    if (panelShown && skinImage.Exists() && x <= kStripWidth) {
        const int panelY = PanelY();
        const bool reaches = panelAtBottom ? y + h >= H - kStripsHeight : y <= kStripsHeight;
        if (reaches)
            gPixelOps.copyRectRop(*screenBuffer, 0, panelY, kStripWidth, kPanelHeight, *skinImage,
                                  0, kPanelWorkY, SRCCOPY);
    }
    PresentClipped(platform, *screenBuffer, x, y, w, h);
}

void CVellumView::PresentWholeView() {
    if (!screenBuffer.Exists() || !canvas.Exists()) return;
    // The strips are left out while dragging; the refresh at the release brings them back.
    gPixelOps.zoomCopyRect(*screenBuffer, 0, 0, W, H, *canvas, viewOriginX, viewOriginY,
                           zoomShift);
    platform.PresentRect(*screenBuffer, 0, 0, W, H);
}

void CVellumView::ClampOrigin() {
    const int z = zoomFactor > 0 ? zoomFactor : 1;
    const int maxX = W - W / z;
    const int maxY = H - H / z;
    if (viewOriginX > maxX) viewOriginX = maxX;
    if (viewOriginY > maxY) viewOriginY = maxY;
    if (viewOriginX < 0) viewOriginX = 0;
    if (viewOriginY < 0) viewOriginY = 0;
}

}  // namespace vellum
