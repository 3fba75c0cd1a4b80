// What desktop users bring: the wheel zooms through every level at the pointer, a middle drag or a drag with
// the space bar held scrolls, a right click picks a colour, a tablet pen's eraser end
// erases, and the pointer shows the tool a press would use.
#include <algorithm>

#include "app/VellumView.h"

namespace vellum {

void CVellumView::OnPenEraserEnd(bool inUse) {
    // The stroke keeps the end it started with.
    if (penDown == 1) return;
    eraserEnd = inUse;
}

void CVellumView::OnWheel(int x, int y, int steps) {
    if (steps == 0 || penDown == 1 || fullView || !IsOnCanvas(x, y)) return;
    // Through every level, the picture point under the pointer kept there.
    ZoomTo(std::clamp(zoomShift + steps, kLeastZoomShift, kMostZoomShift), x, y);
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
    const IntPoint c = PicturePoint(x, y);
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
