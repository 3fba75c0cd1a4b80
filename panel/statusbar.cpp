// The status bar: composed item by item into its cache in the skin image (the status-bar
// work area), from which every screen refresh lays it over the picture.
#include <cstdio>

#include "app/VellumView.h"
#include "panel/PixelFont.h"
#include "panel/SkinRegions.h"

namespace vellum {

namespace {

// Bar coordinates to skin rows: the work area starts at this row.
constexpr int kBarRow = 500;

// Item places inside the bar.
constexpr int kPenX = 105, kPenY = 14;
constexpr int kSwatchX = 125, kSwatchY = 14;
constexpr int kPaperX = 145;
constexpr int kZoomX = 165;
constexpr int kHandX = 185;
constexpr int kIconY = 14;

// Lays a 10 x 10 skin block over the bar with multiply, so its white pixels keep the
// background.
void MultiplyMark(PixelSurface& skin, int x, int y, SkinRect mark) {
    BlendRect(skin, x, kBarRow + y, kMarkSize, kMarkSize, skin, mark.x, mark.y, Multiply);
}

// Puts the plain icon background back before an icon is laid over it.
void CopyIconBlank(PixelSurface& skin, int x) {
    const SkinRect blank = RegionRect(Region::BarIconBlank);
    CopyRectRop(skin, x, kBarRow + kIconY, blank.w, blank.h, skin, blank.x, blank.y, SRCCOPY);
}

void DrawPenItem(CVellumView& view, PixelSurface& skin) {
    const SkinRect blank = RegionRect(Region::BarPenBlank);
    CopyRectRop(skin, blank.x, kBarRow + blank.y, blank.w, blank.h, skin, blank.x, blank.y,
                SRCCOPY);
    MultiplyMark(skin, kPenX, kPenY, PenIconRect(view.penIndex));
    if (view.eraser) MultiplyMark(skin, kPenX, kPenY, RegionRect(Region::EraserMark));
    // One digit only: pens 1..9 are all single digits.
    char text[16];
    std::snprintf(text, sizeof text, "%i", view.penIndex + 1);
    DrawGlyphTopLeft(skin, text[0], 115, kBarRow + 11, 123, kBarRow + 24);
}

void DrawColourItem(CVellumView& view, PixelSurface& skin) {
    const uint32_t c = view.DisplayColour();
    FillRectColour(skin, kSwatchX, kBarRow + kSwatchY, 10, 10, uint8_t(c & 0xFF),
                   uint8_t((c >> 8) & 0xFF), uint8_t((c >> 16) & 0xFF));
}

void DrawPaperItem(CVellumView& view, PixelSurface& skin) {
    CopyIconBlank(skin, kPaperX);
    MultiplyMark(skin, kPaperX, kIconY, PaperIconRect(view.paperIndex));
}

void DrawZoomItem(CVellumView& view, PixelSurface& skin) {
    CopyIconBlank(skin, kZoomX);
    MultiplyMark(skin, kZoomX, kIconY, ZoomIconRect(view.zoomShift));
}

void DrawHandItem(CVellumView& view, PixelSurface& skin) {
    CopyIconBlank(skin, kHandX);
    if (view.handMode) MultiplyMark(skin, kHandX, kIconY, RegionRect(Region::SelectionMark));
}

}  // namespace

void CVellumView::DrawStatusBar(int item, bool refresh) {
    if (skinImage.Exists()) {
        PixelSurface& skin = *skinImage;
        switch (item) {
            case BarAll: {
                const SkinRect bar = RegionRect(Region::PristineBar);
                CopyRectRop(skin, 0, kBarRow, bar.w, bar.h, skin, bar.x, bar.y, SRCCOPY);
                DrawPenItem(*this, skin);
                DrawColourItem(*this, skin);
                DrawPaperItem(*this, skin);
                DrawZoomItem(*this, skin);
                DrawHandItem(*this, skin);
                break;
            }
            case BarPen: DrawPenItem(*this, skin); break;
            case BarColour: DrawColourItem(*this, skin); break;
            case BarPaper: DrawPaperItem(*this, skin); break;
            case BarZoom: DrawZoomItem(*this, skin); break;
            case BarHand: DrawHandItem(*this, skin); break;
            default: break;  // no item: the bar is only refreshed
        }
    }
    // The zoom item is drawn before a zoom change, whose own full refresh shows it.
    if (refresh && item != BarZoom) RefreshRect(0, BarY(), 240, 30);
}

}  // namespace vellum
