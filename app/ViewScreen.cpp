// The screen: the view's fields as the engine's screen geometry, where a screen point lies
// on the picture, and every change made visible through the rectangle the composition
// returns.
#include <algorithm>

#include "app/VellumView.h"

namespace vellum {

ScreenGeometry CVellumView::Geometry() const {
    ScreenGeometry g;
    g.width = W;
    g.height = H;
    g.pictureWidth = picture.Width();
    g.pictureHeight = picture.Height();
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

void CVellumView::OnResize(int width, int height) {
    if (creationFailed || !picture.Exists() || width < 1 || height < 1) return;
    // No screen is larger than the largest picture; a window beyond it shows desk there.
    width = std::min(width, int(kMaxPictureSide));
    height = std::min(height, int(kMaxPictureSide));
    // W is the client width rounded up to a multiple of 8, as at creation.
    const int w = width + ((8 - width % 8) % 8);
    if (w == W && height == H) return;
    OwnedSurface screen;
    if (!screen.Allocate(w, height)) return;  // the old screen goes on showing
    screenBuffer = std::move(screen);
    W = w;
    H = height;
    // The picture stays in view, and the screen is composed and presented whole.
    ClampOrigin();
    RefreshRect(0, 0, -1, -1);
}

void CVellumView::ClampOrigin() {
    const IntPoint o = vellum::ClampOrigin({viewOriginX, viewOriginY}, picture.Width(), picture.Height(), W, H, zoomShift);
    viewOriginX = o.x;
    viewOriginY = o.y;
}

IntPoint CVellumView::PicturePoint(int x, int y) const {
    return {int32_t(viewOriginX + PictureOffset(x, zoomShift)), int32_t(viewOriginY + PictureOffset(y, zoomShift))};
}

bool CVellumView::Scrollable() const {
    return picture.Width() > ScreenSpan(W, zoomShift) || picture.Height() > ScreenSpan(H, zoomShift);
}

void CVellumView::RefreshCanvasBox(Box box) {
    if (box.Empty()) return;
    if (fullView) {
        // 1:1 from the corner the full view shows.
        const IntPoint o = vellum::ClampOrigin({0, 0}, picture.Width(), picture.Height(), W, H, 0);
        RefreshRect(box.x - o.x, box.y - o.y, box.w, box.h);
        return;
    }
    if (zoomShift == 0) {
        RefreshRect(box.x - viewOriginX, box.y - viewOriginY, box.w, box.h);
        return;
    }
    // The picture box as the zoomed view shows it; what lies off screen is clipped.
    int64_t x0, y0, x1, y1;
    const int64_t bx = int64_t(box.x) - viewOriginX, by = int64_t(box.y) - viewOriginY;
    if (zoomShift > 0) {
        const int s = zoomShift;
        x0 = bx << s, y0 = by << s, x1 = (bx + box.w) << s, y1 = (by + box.h) << s;
    } else {
        // Every screen pixel whose block reaches the box.
        const int64_t k = int64_t(1) << -zoomShift;
        auto floorDiv = [](int64_t a, int64_t b) { return a >= 0 ? a / b : -((-a + b - 1) / b); };
        x0 = floorDiv(bx, k), y0 = floorDiv(by, k);
        x1 = floorDiv(bx + box.w - 1, k) + 1, y1 = floorDiv(by + box.h - 1, k) + 1;
    }
    x0 = std::max<int64_t>(x0, 0), y0 = std::max<int64_t>(y0, 0);
    x1 = std::min<int64_t>(x1, W), y1 = std::min<int64_t>(y1, H);
    if (x0 < x1 && y0 < y1) RefreshRect(int(x0), int(y0), int(x1 - x0), int(y1 - y0));
}

}  // namespace vellum
