// The screen: the view's fields as the engine's screen geometry, and every change made
// visible through the rectangle the composition returns.
#include "app/VellumView.h"

namespace vellum {

ScreenGeometry CVellumView::Geometry() const {
    ScreenGeometry g;
    g.width = W;
    g.height = H;
    g.zoomShift = zoomShift;
    g.originX = viewOriginX;
    g.originY = viewOriginY;
    g.panelShown = panelShown != 0;
    g.panelAtBottom = panelAtBottom != 0;
    g.fullView = fullView != 0;
    return g;
}

void CVellumView::RefreshRect(int x, int y, int w, int h) {
    if (!screenBuffer.Exists() || !picture.Exists() || !skinImage.Exists()) return;
    if (w == -1) w = W;
    if (h == -1) h = H;
    const Box shown =
        ComposeScreenRect(ops, {*screenBuffer, picture.Canvas(), *skinImage}, Geometry(), x, y, w, h);
    if (!shown.Empty()) platform.PresentRect(*screenBuffer, shown.x, shown.y, shown.w, shown.h);
}

void CVellumView::PresentWholeView() {
    if (!screenBuffer.Exists() || !picture.Exists() || !skinImage.Exists()) return;
    // The strips are left out while dragging; the refresh at the release brings them back.
    const Box shown = ComposeCanvasOnly(ops, {*screenBuffer, picture.Canvas(), *skinImage}, Geometry());
    platform.PresentRect(*screenBuffer, shown.x, shown.y, shown.w, shown.h);
}

void CVellumView::OnPaint(int x, int y, int w, int h) {
    if (!screenBuffer.Exists()) return;
    if (w < 0) w = W;
    if (h < 0) h = H;
    const Box b = ClipBox({x, y, w, h}, screenBuffer->width, screenBuffer->height);
    if (!b.Empty()) platform.PaintRect(*screenBuffer, b.x, b.y, b.w, b.h);
}

void CVellumView::ClampOrigin() {
    const IntPoint o = vellum::ClampOrigin({viewOriginX, viewOriginY}, W, H, zoomShift);
    viewOriginX = o.x;
    viewOriginY = o.y;
}

}  // namespace vellum
