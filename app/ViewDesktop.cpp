// What desktop users bring: the wheel zooms at the pointer, a middle drag or a drag with
// the space bar held scrolls, a right click picks a colour, a tablet pen's eraser end
// erases, and the pointer shows the tool a press would use.
#include <algorithm>

#include "app/VellumView.h"

namespace vellum {

namespace {

// The canvas point under a window point of the drawing area.
IntPoint CanvasPointAt(const CVellumView& v, int x, int y) {
    if (v.zoomFactor == 1) return {x, y};
    return {v.viewOriginX + (x >> v.zoomShift), v.viewOriginY + (y >> v.zoomShift)};
}

}  // namespace

void CVellumView::OnPenEraserEnd(bool inUse) {
    // The stroke keeps the end it started with.
    if (penDown == 1) return;
    eraserEnd = inUse;
}

void CVellumView::OnWheel(int x, int y, int steps) {
    if (steps == 0 || penDown == 1 || fullView || !IsOnCanvas(x, y)) return;
    const int shift = std::clamp(zoomShift + steps, 0, 3);
    if (shift == zoomShift) return;
    const IntPoint c = CanvasPointAt(*this, x, y);
    zoomShift = shift;
    zoomFactor = 1 << shift;
    // The point under the pointer stays there, as far as the canvas reaches.
    viewOriginX = std::clamp(c.x - (x >> shift), 0, W - W / zoomFactor);
    viewOriginY = std::clamp(c.y - (y >> shift), 0, H - H / zoomFactor);
    // The factor is in force already, so the zoom keeps this origin.
    ApplyZoom(true);
}

void CVellumView::OnPanDown(int x, int y) {
    if (penDown == 1 || panDrag || fullView || !IsOnCanvas(x, y)) return;
    // The drag borrows hand mode and gives it back at the release; the status bar,
    // which shows the user's hand mode, is not drawn meanwhile.
    panSavedHand = handMode;
    handMode = 1;
    panDrag = true;
    OnPenDown(x, y);
}

void CVellumView::OnPanMove(int x, int y) {
    if (panDrag) OnPenMove(x, y, nullptr, 0);
}

void CVellumView::OnPanUp(int x, int y) {
    if (!panDrag) return;
    // Released over the strips, the drag still ends on the canvas (its press is down),
    // not as a tap there.
    panDrag = false;
    OnPenUp(x, y);
    handMode = panSavedHand;
}

void CVellumView::OnPickColourAt(int x, int y) {
    if (penDown == 1 || fullView || !IsOnCanvas(x, y)) return;
    const IntPoint c = CanvasPointAt(*this, x, y);
    PickCanvasColour(c.x, c.y);
}

void CVellumView::UpdateCursor() {
    CursorKind kind = CursorKind::Pencil;
    if (holdMode == 1)
        kind = CursorKind::Eyedropper;
    else if (holdMode == 2)
        kind = CursorKind::Zoom;
    else if (handMode || panDrag || panKeyHeld)
        kind = CursorKind::Hand;
    else if (eraser || eraserEnd)
        kind = CursorKind::Eraser;
    if (int(kind) == shownCursor) return;
    shownCursor = int(kind);
    platform.ShowCursor(kind);
}

std::string CVellumView::WindowTitle() const {
    const std::string& path = FilePath();
    if (!modified && path == DefaultPicturePath()) return kWindowTitle;
    const size_t slash = path.rfind('/');
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    return (modified ? "*" : "") + name + " - " + kWindowTitle;
}

void CVellumView::UpdateTitle() {
    if (creationFailed) return;
    const std::string title = WindowTitle();
    if (title == shownTitle) return;
    shownTitle = title;
    platform.SetWindowTitle(title);
}

}  // namespace vellum
