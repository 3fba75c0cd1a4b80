// The commands of the status bar, the tool panel and the two hold keys, the zoom
// arithmetic, the framing of modal dialogs, and quitting.
#include "panel/Commands.h"

#include <algorithm>

#include "dialogs/AboutDialog.h"
#include "engine/skin/SkinLayout.h"
#include "resources/Resources.h"

namespace vellum {

namespace {

int Clamp(int v, int lo, int hi) { return std::max(lo, std::min(hi, v)); }

// The strips' whole height: the bar alone, or the bar with the panel.
int StripHeight(const CVellumView& view) { return view.panelShown ? kStripsHeight : kBarHeight; }

}  // namespace

// ---- Status bar ---------------------------------------------------------------------

void TogglePanelCommand(CVellumView& view) {
    view.panelShown = !view.panelShown;
    view.DrawToolPanel(false);
    view.RefreshRect(0, view.PanelY(), kStripWidth, kPanelHeight);
}

void ToggleEraserCommand(CVellumView& view) {
    view.eraser = !view.eraser;
    view.DrawStatusBar(BarPen, true);
}

void OpenColourPageCommand(CVellumView& view) {
    view.panelPage = PageColour;
    view.panelShown = 1;
    view.DrawToolPanel(false);
    view.RefreshRect(0, view.PanelY(), kStripWidth, kPanelHeight);
}

void NextPaperCommand(CVellumView& view) {
    view.paperIndex = (view.paperIndex + 1) % 4;
    view.SelectPaper(true);
}

void NextZoomCommand(CVellumView& view) {
    const int from = view.zoomShift;
    view.zoomShift = NextCycleZoom(from);
    view.ApplyZoom(true, from);
}

void ToggleHandModeCommand(CVellumView& view) {
    view.handMode = !view.handMode;
    view.DrawStatusBar(BarHand, true);
}

void MoveStripsCommand(CVellumView& view) {
    view.panelAtBottom = !view.panelAtBottom;
    // The strips leave one end and appear at the other: both areas are rebuilt.
    const int h = StripHeight(view);
    view.RefreshRect(0, 0, kStripWidth, h);
    view.RefreshRect(0, view.H - h, kStripWidth, h);
}

// ---- Tool panel ---------------------------------------------------------------------

void ChoosePageCommand(CVellumView& view, int page) {
    view.panelPage = page;
    view.DrawToolPanel(true);
}

void FullViewCommand(CVellumView& view) {
    view.fullView = 1;
    view.RefreshRect(0, 0, -1, -1);
}

void SelectPenCommand(CVellumView& view, int index) {
    view.penIndex = index;
    view.SelectPen(-1, true);
}

void SelectPaperCommand(CVellumView& view, int index) {
    view.paperIndex = index;
    view.SelectPaper(true);
}

void PalettePickCommand(CVellumView& view, int x, int y) {
    view.PickPaletteColour(x, y);
    view.DrawToolPanel(true);  // the "+" moves to the picked point
}

// ---- Zoom ---------------------------------------------------------------------------

void CVellumView::ApplyZoom(bool redrawIcon, int from) {
    if (redrawIcon) DrawStatusBar(BarZoom, false);
    // The picture point at the screen's centre stays there, as far as the picture allows.
    // From the level in force already (a zoom at a point) the origin stays as it is.
    viewOriginX = int(viewOriginX + ScreenSpan(W / 2, from) - ScreenSpan(W / 2, zoomShift));
    viewOriginY = int(viewOriginY + ScreenSpan(H / 2, from) - ScreenSpan(H / 2, zoomShift));
    ClampOrigin();
    zoomFactor = 1 << std::max(zoomShift, 0);
    RefreshRect(0, 0, -1, -1);
}

void CVellumView::ZoomAtPoint(int cx, int cy) {
    zoomShift = NextCycleZoom(zoomShift);
    // The tapped point becomes the view's centre, as far as the picture allows.
    viewOriginX = int(cx - ScreenSpan(W / 2, zoomShift));
    viewOriginY = int(cy - ScreenSpan(H / 2, zoomShift));
    ApplyZoom(true, zoomShift);
}

void CVellumView::ZoomTo(int shift, int x, int y) {
    shift = Clamp(shift, kLeastZoomShift, kMostZoomShift);
    if (shift == zoomShift) return;
    // The picture point under (x, y) stays there, as far as the picture allows.
    const IntPoint c = PicturePoint(x, y);
    zoomShift = shift;
    viewOriginX = int(c.x - PictureOffset(x, shift));
    viewOriginY = int(c.y - PictureOffset(y, shift));
    ApplyZoom(true, shift);
}

void CVellumView::ZoomToFit() {
    // The largest level at which the whole picture is on the screen, else the least.
    int shift = kMostZoomShift;
    while (shift > kLeastZoomShift &&
           (ScreenSpan(W, shift) < picture.Width() || ScreenSpan(H, shift) < picture.Height()))
        --shift;
    zoomShift = shift;
    viewOriginX = int(picture.Width() / 2 - ScreenSpan(W / 2, shift));
    viewOriginY = int(picture.Height() / 2 - ScreenSpan(H / 2, shift));
    ApplyZoom(true, shift);
}

void CVellumView::PickCanvasColour(int cx, int cy) {
    if (!picture.Exists() || cx < 0 || cy < 0 || cx >= picture.Width() || cy >= picture.Height()) return;
    colourDensity = 0.0;
    const uint8_t* p = picture.Canvas().At(cx, cy);
    SetColour(uint32_t(p[2]) | uint32_t(p[1]) << 8 | uint32_t(p[0]) << 16, true);
}

// ---- Dialogs ------------------------------------------------------------------------

int CVellumView::RunFramedDialog(CDialog& dialog) {
    // The task bar and input panel are back while the dialog is open, for typing.
    LeaveFullScreen(true);
    const int code = platform.RunDialog(dialog);
    EnterFullScreen(true);
    return code;
}

void CVellumView::ShowAbout() {
    CAboutDialog about(platform);
    RunFramedDialog(about);
}

// ---- Quitting -----------------------------------------------------------------------

void CVellumView::ExitCommand() {
    // Anything but No quits.
    if (Message(IDS_QUIT, MsgButtons::YesNo) == MsgAnswer::No) return;
    if (modified && Message(IDS_SAVE_CHANGED, MsgButtons::YesNo) == MsgAnswer::Yes) {
        // The user wants the picture kept: without a written file it is not thrown away.
        if (!SavePictureAs()) return;
    }
    // The user chose: what is on the canvas is saved, or let go.
    journal.Discard();
    ShutdownView();
    platform.PostClose();
}

void CVellumView::OnUserClose() {
    // The window's own close button asks exactly what the quit button asks.
    ExitCommand();
}

}  // namespace vellum
