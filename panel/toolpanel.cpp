// The tool panel: the current page composed into its cache in the skin image, the
// routing test between the strips and the canvas, and the hot areas of both strips.
#include "app/VellumView.h"
#include "panel/Commands.h"
#include "panel/PixelFont.h"
#include "panel/SkinRegions.h"

namespace vellum {

namespace {

// Panel coordinates to skin rows: the work area starts at this row.
constexpr int kPanelRow = 530;

void CopyRegion(PixelSurface& skin, Region region, int x, int y, uint32_t rop = SRCCOPY) {
    const SkinRect r = RegionRect(region);
    CopyRectRop(skin, x, kPanelRow + y, r.w, r.h, skin, r.x, r.y, rop);
}

void MultiplyRect(PixelSurface& skin, SkinRect r, int x, int y) {
    BlendRect(skin, x, kPanelRow + y, r.w, r.h, skin, r.x, r.y, Multiply);
}

}  // namespace

void CVellumView::DrawToolPanel(bool refresh) {
    if (skinImage.Exists()) {
        PixelSurface& skin = *skinImage;
        const SkinRect mark = RegionRect(Region::SelectionMark);
        CopyRegion(skin, Region::PristinePanel, 0, 0);
        MultiplyRect(skin, mark, 15, 20 + 20 * panelPage);  // the tab mark
        switch (panelPage) {
            case PageFile:
                MultiplyRect(skin, RegionRect(Region::FileButtons), 60, 30);
                break;
            case PagePen:
                // Pen i shows at (55 + 20 i, 35); the mark sits just right of the current one.
                CopyRegion(skin, Region::PenRow, 45, 25);
                CopyRegion(skin, Region::PanelButton, 110, 90);
                MultiplyRect(skin, mark, 65 + 20 * penIndex, 35);
                break;
            case PageColour: {
                CopyRegion(skin, Region::Palette, 50, 30);
                CopyRegion(skin, Region::PanelButton, 110, 90);
                const int mx = paletteMark.x, my = kPanelRow + paletteMark.y;
                DrawGlyphCentredTop(skin, '+', mx - 7, my - 7, mx + 7, my + 7);
                break;
            }
            case PagePaper: {
                // The page shows each paper as the user sees it: A, inverted A, B, inverted B.
                const SkinRect a = PaperTextureRect(0), b = PaperTextureRect(1);
                CopyRectRop(skin, 60, kPanelRow + 40, 40, 40, skin, a.x, a.y, SRCCOPY);
                CopyRectRop(skin, 100, kPanelRow + 40, 40, 40, skin, a.x, a.y, NOTSRCCOPY);
                CopyRectRop(skin, 140, kPanelRow + 40, 40, 40, skin, b.x, b.y, SRCCOPY);
                CopyRectRop(skin, 180, kPanelRow + 40, 40, 40, skin, b.x, b.y, NOTSRCCOPY);
                MultiplyRect(skin, mark, 75 + 40 * paperIndex, 25);
                break;
            }
            case PageSettings:
                MultiplyRect(skin, RegionRect(Region::KeySettingsButton), 65, 55);
                break;
            default:
                break;
        }
    }
    if (refresh) RefreshRect(0, PanelY(), 240, 130);
}

bool CVellumView::IsOnCanvas(int x, int y) const {
    if (x > 240) return true;
    if (!panelAtBottom) return panelShown ? y > 160 : y > 30;
    return panelShown ? y < H - 160 : y < H - 30;
}

void CVellumView::PickPaletteColour(int x, int y) {
    if (panelPage != PageColour || !(x > 50 && x < 230 && y > 30 && y < 90)) return;
    if (!skinImage.Exists()) return;
    colourDensity = 0.0;
    // Panel (x, y) shows palette position (x - 50, y - 30), i.e. skin (x - 50, y + 160).
    const uint8_t* p = skinImage->At(x - 50, y + 160);
    SetColour(uint32_t(p[2]) | uint32_t(p[1]) << 8 | uint32_t(p[0]) << 16, true);
    // The "+" moves when the release redraws the page.
    paletteMark = {x, y};
}

void CVellumView::HitStatusBar(int x) {
    if (x < 0) return;
    if (x <= 99)
        TogglePanelCommand(*this);
    else if (x <= 119)
        ToggleEraserCommand(*this);
    else if (x <= 139)
        OpenColourPageCommand(*this);
    else if (x <= 159)
        NextPaperCommand(*this);
    else if (x <= 179)
        NextZoomCommand(*this);
    else if (x <= 199)
        ToggleHandModeCommand(*this);
    else if (x <= 220)
        return;  // the emblem
    else if (x <= 239)
        MoveStripsCommand(*this);
}

void CVellumView::HitToolPanel(int x, int y) {
    // Tested in this order, bounds inclusive; the first area that holds the point acts.
    if (x <= 39) {
        if (y >= 110)
            ExitCommand();
        else if (y >= 11)
            ChoosePageCommand(*this, (y - 10) / 20);
        return;  // y <= 10: above the tabs
    }
    if (x <= 99 && y >= 116) {
        FullViewCommand(*this);
        return;
    }
    if (x >= 161 && y >= 121) {
        ShowAbout();
        return;
    }
    switch (panelPage) {
        case PageFile:
            // The borders between the buttons (x = 60, 100, 140, 180, 220) belong to none.
            if (y < 31 || y > 69) break;
            if (x >= 61 && x <= 99)
                NewPicture();
            else if (x >= 101 && x <= 139)
                OpenPicture("");
            else if (x >= 141 && x <= 179)
                SavePictureAs();
            else if (x >= 181 && x <= 219)
                SavePicture();
            break;
        case PagePen:
            if (x >= 56 && x <= 234 && y >= 26 && y <= 54)
                SelectPenCommand(*this, (x - 55) / 20);
            else if (x >= 111 && x <= 169 && y >= 91 && y <= 114)
                StylusSettingsCommand();
            break;
        case PageColour:
            if (x >= 51 && x <= 229 && y >= 31 && y <= 89)
                PalettePickCommand(*this, x, y);
            else if (x >= 111 && x <= 169 && y >= 91 && y <= 114)
                ColourEntryCommand();
            break;
        case PagePaper:
            if (x >= 61 && x <= 219 && y >= 41 && y <= 79) SelectPaperCommand(*this, (x - 60) / 40);
            break;
        case PageSettings:
            if (x >= 66 && x <= 214 && y >= 56 && y <= 104) KeySettingsCommand();
            break;
        default:
            break;
    }
}

}  // namespace vellum
