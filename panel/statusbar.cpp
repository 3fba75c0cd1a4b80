// The status bar: composed item by item into its cache in the skin image (the status-bar
// work area), from which every screen refresh lays it over the picture.
#include <cstdio>

#include "app/VellumView.h"
#include "engine/skin/SkinLayout.h"
#include "panel/PixelFont.h"

namespace vellum {

namespace {

// Lays a 10 x 10 skin block over the bar at an item's place with multiply, so its white
// pixels keep the background.
void MultiplyMark(const PixelOps& ops, PixelSurface& skin, SkinRect place, SkinRect mark) {
    ops.blendRect(skin, place.x, kBarWorkRow + place.y, kMarkSize, kMarkSize, skin, mark.x, mark.y,
                  Multiply);
}

// Puts the plain icon background back before an icon is laid over it.
void CopyIconBlank(const PixelOps& ops, PixelSurface& skin, SkinRect place) {
    const SkinRect blank = RegionRect(Region::BarIconBlank);
    ops.copyRectRop(skin, place.x, kBarWorkRow + place.y, blank.w, blank.h, skin, blank.x, blank.y,
                    SRCCOPY);
}

void DrawPenItem(CVellumView& view, PixelSurface& skin) {
    const SkinRect blank = RegionRect(Region::BarPenBlank);
    view.ops.copyRectRop(skin, blank.x, kBarWorkRow + blank.y, blank.w, blank.h, skin, blank.x,
                         blank.y, SRCCOPY);
    MultiplyMark(view.ops, skin, kBarPenIcon, PenIconRect(view.penIndex));
    if (view.eraser) MultiplyMark(view.ops, skin, kBarPenIcon, RegionRect(Region::EraserMark));
    // One digit only: pens 1..9 are all single digits.
    char text[16];
    std::snprintf(text, sizeof text, "%i", view.penIndex + 1);
    const SkinRect d = kBarPenDigit;
    DrawGlyphTopLeft(skin, text[0], d.x, kBarWorkRow + d.y, d.Right(), kBarWorkRow + d.Bottom());
}

void DrawColourItem(CVellumView& view, PixelSurface& skin) {
    const Rgb c = RgbOf(view.DisplayColour());
    view.ops.fillRectColour(skin, kSwatchInSkin.x, kSwatchInSkin.y, kSwatchInSkin.w, kSwatchInSkin.h,
                            c.red, c.green, c.blue);
}

void DrawPaperItem(CVellumView& view, PixelSurface& skin) {
    CopyIconBlank(view.ops, skin, kBarPaperIcon);
    MultiplyMark(view.ops, skin, kBarPaperIcon, PaperIconRect(view.paperIndex));
}

void DrawZoomItem(CVellumView& view, PixelSurface& skin) {
    CopyIconBlank(view.ops, skin, kBarZoomIcon);
    MultiplyMark(view.ops, skin, kBarZoomIcon, ZoomIconRect(view.zoomShift));
}

// The undo pictogram over the emblem's place, dimmed with nothing to undo.
void DrawUndoItem(CVellumView& view, PixelSurface& skin) {
    const SkinRect slot = RegionRect(Region::BarEmblemSlot);
    const SkinRect p = RegionRect(view.picture.CanUndo() ? Region::BarUndo : Region::BarUndoDimmed);
    view.ops.copyRectRop(skin, slot.x, kBarWorkRow + slot.y, p.w, p.h, skin, p.x, p.y, SRCCOPY);
}

void DrawHandItem(CVellumView& view, PixelSurface& skin) {
    CopyIconBlank(view.ops, skin, kBarHandIcon);
    if (view.handMode) MultiplyMark(view.ops, skin, kBarHandIcon, RegionRect(Region::SelectionMark));
}

}  // namespace

void CVellumView::DrawStatusBar(int item, bool refresh) {
    if (skinImage.Exists()) {
        PixelSurface& skin = *skinImage;
        switch (item) {
            case BarAll: {
                const SkinRect bar = RegionRect(Region::PristineBar);
                ops.copyRectRop(skin, 0, kBarWorkRow, bar.w, bar.h, skin, bar.x, bar.y, SRCCOPY);
                DrawPenItem(*this, skin);
                DrawColourItem(*this, skin);
                DrawPaperItem(*this, skin);
                DrawZoomItem(*this, skin);
                DrawHandItem(*this, skin);
                DrawUndoItem(*this, skin);
                break;
            }
            case BarPen: DrawPenItem(*this, skin); break;
            case BarColour: DrawColourItem(*this, skin); break;
            case BarPaper: DrawPaperItem(*this, skin); break;
            case BarZoom: DrawZoomItem(*this, skin); break;
            case BarHand: DrawHandItem(*this, skin); break;
            case BarUndo: DrawUndoItem(*this, skin); break;
            default: break;  // no item: the bar is only refreshed
        }
    }
    // The zoom item is drawn before a zoom change, whose own full refresh shows it.
    if (refresh && item != BarZoom) RefreshRect(0, BarY(), kStripWidth, kBarHeight);
}

}  // namespace vellum
