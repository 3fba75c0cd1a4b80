// The tool panel: the current page composed into its cache in the skin image, the
// routing test between the strips and the canvas, and the actions behind the hot areas
// of both strips (the areas themselves are the skin layout's, engine/skin/SkinLayout.h).
#include "app/VellumView.h"
#include "engine/skin/SkinLayout.h"
#include "panel/Commands.h"
#include "panel/PixelFont.h"

namespace vellum {

namespace {

void CopyRegion(const PixelOps& ops, PixelSurface& skin, Region region, SkinPoint at,
                uint32_t rop = SRCCOPY) {
    const SkinRect r = RegionRect(region);
    ops.copyRectRop(skin, at.x, kPanelWorkRow + at.y, r.w, r.h, skin, r.x, r.y, rop);
}

void MultiplyRect(const PixelOps& ops, PixelSurface& skin, SkinRect r, SkinPoint at) {
    ops.blendRect(skin, at.x, kPanelWorkRow + at.y, r.w, r.h, skin, r.x, r.y, Multiply);
}

}  // namespace

void CVellumView::DrawToolPanel(bool refresh) {
    if (skinImage.Exists()) {
        PixelSurface& skin = *skinImage;
        const SkinRect mark = RegionRect(Region::SelectionMark);
        CopyRegion(ops, skin, Region::PristinePanel, {0, 0});
        MultiplyRect(ops, skin, mark, TabMarkPlace(panelPage));
        switch (panelPage) {
            case PageFile:
                MultiplyRect(ops, skin, RegionRect(Region::FileButtons), kFileButtonsPlace);
                MultiplyRect(ops, skin,
                             RegionRect(picture.CanUndo() ? Region::UndoButton : Region::UndoButtonDimmed),
                             kUndoButtonPlace);
                MultiplyRect(ops, skin,
                             RegionRect(picture.CanRedo() ? Region::RedoButton : Region::RedoButtonDimmed),
                             kRedoButtonPlace);
                MultiplyRect(ops, skin, RegionRect(Region::SizeButton), kSizeButtonPlace);
                break;
            case PagePen:
                CopyRegion(ops, skin, Region::PenRow, kPenRowPlace);
                CopyRegion(ops, skin, Region::PanelButton, kPanelButtonPlace);
                MultiplyRect(ops, skin, mark, PenMarkPlace(penIndex));
                break;
            case PageColour: {
                CopyRegion(ops, skin, Region::Palette, kPalettePlace);
                CopyRegion(ops, skin, Region::PanelButton, kPanelButtonPlace);
                const int mx = paletteMark.x, my = kPanelWorkRow + paletteMark.y;
                const int half = kPaletteMarkHalf;
                DrawGlyphCentredTop(skin, '+', mx - half, my - half, mx + half, my + half);
                break;
            }
            case PagePaper: {
                // The page shows each paper as the user sees it: A, inverted A, B, inverted B.
                const SkinRect texture[2] = {PaperTextureRect(0), PaperTextureRect(1)};
                for (int paper = 0; paper < kPaperCount; ++paper) {
                    const SkinRect t = texture[paper / 2];
                    const SkinPoint at = PaperSwatchPlace(paper);
                    ops.copyRectRop(skin, at.x, kPanelWorkRow + at.y, kPaperSwatchSize,
                                    kPaperSwatchSize, skin, t.x, t.y, paper % 2 ? NOTSRCCOPY : SRCCOPY);
                }
                MultiplyRect(ops, skin, mark, PaperMarkPlace(paperIndex));
                break;
            }
            case PageSettings:
                MultiplyRect(ops, skin, RegionRect(Region::KeySettingsButton), kKeySettingsPlace);
                break;
            default:
                break;
        }
    }
    if (refresh) RefreshRect(0, PanelY(), kStripWidth, kPanelHeight);
}

bool CVellumView::IsOnCanvas(int x, int y) const {
    if (x > kStripWidth) return true;
    if (!panelAtBottom) return panelShown ? y > kStripsHeight : y > kBarHeight;
    return panelShown ? y < H - kStripsHeight : y < H - kBarHeight;
}

void CVellumView::PickPaletteColour(int x, int y) {
    if (panelPage != PageColour || !InPalette(x, y)) return;
    if (!skinImage.Exists()) return;
    colourDensity = 0.0;
    // Panel (x, y) shows palette position (x - 50, y - 30).
    const SkinRect palette = RegionRect(Region::Palette);
    const uint8_t* p = skinImage->At(palette.x + x - kPalettePlace.x, palette.y + y - kPalettePlace.y);
    SetColour(ColourValue({p[2], p[1], p[0]}), true);
    // The "+" moves when the release redraws the page.
    paletteMark = {x, y};
}

void CVellumView::HitStatusBar(int x) {
    switch (HitBar(x)) {
        case BarAction::TogglePanel: TogglePanelCommand(*this); break;
        case BarAction::ToggleEraser: ToggleEraserCommand(*this); break;
        case BarAction::ColourPage: OpenColourPageCommand(*this); break;
        case BarAction::NextPaper: NextPaperCommand(*this); break;
        case BarAction::NextZoom: NextZoomCommand(*this); break;
        case BarAction::ToggleHand: ToggleHandModeCommand(*this); break;
        case BarAction::MoveStrips: MoveStripsCommand(*this); break;
        case BarAction::Undo: Undo(); break;
        case BarAction::None: break;
    }
}

void CVellumView::HitToolPanel(int x, int y) {
    switch (HitPanel(panelPage, x, y)) {
        case PanelAction::Quit: ExitCommand(); break;
        case PanelAction::ChoosePage: ChoosePageCommand(*this, PageAt(y)); break;
        case PanelAction::FullView: FullViewCommand(*this); break;
        case PanelAction::About: ShowAbout(); break;
        case PanelAction::New: NewPicture(); break;
        case PanelAction::Open: OpenPicture(""); break;
        case PanelAction::SaveAs: SavePictureAs(); break;
        case PanelAction::Save: SavePicture(); break;
        case PanelAction::SelectPen: SelectPenCommand(*this, PenAt(x)); break;
        case PanelAction::StylusSettings: StylusSettingsCommand(); break;
        case PanelAction::PalettePick: PalettePickCommand(*this, x, y); break;
        case PanelAction::ColourEntry: ColourEntryCommand(); break;
        case PanelAction::SelectPaper: SelectPaperCommand(*this, PaperAt(x)); break;
        case PanelAction::KeySettings: KeySettingsCommand(); break;
        case PanelAction::Undo: Undo(); break;
        case PanelAction::Redo: Redo(); break;
        case PanelAction::PictureSize: PictureSizeCommand(); break;
        case PanelAction::Nothing:
        case PanelAction::None: break;
    }
}

}  // namespace vellum
