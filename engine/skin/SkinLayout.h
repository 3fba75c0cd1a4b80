#pragma once
// The skin's layout: the named rectangles of the 240 x 860 skin image, and everything
// placed from them: the strips' sizes on screen, the status bar's items and the colour
// swatch, the tool panel's page contents, and the hot areas of both strips. The skin
// generator draws by this table, the status bar and tool panel are composed from it,
// the screen lays the strips by it and the hit tests read it, so a region moved here
// moves everywhere. Rows 0..499 of the image come from vellum.dat; 500..659 are the
// two caches in which the strips are composed.
#include <climits>
#include <cstdint>

namespace vellum {

struct SkinRect {
    int32_t x;
    int32_t y;
    int32_t w;
    int32_t h;

    constexpr int32_t Right() const { return x + w; }    // one past the last column
    constexpr int32_t Bottom() const { return y + h; }   // one past the last row
    constexpr bool Contains(int32_t px, int32_t py) const {
        return px >= x && px < x + w && py >= y && py < y + h;
    }
};

constexpr int32_t kSkinImageWidth = 240;
constexpr int32_t kSkinImageHeight = 860;
constexpr int32_t kSkinFileHeight = 500;  // rows held by vellum.dat

constexpr int32_t kPenCount = 9;
constexpr int32_t kPaperCount = 4;
constexpr int32_t kZoomLevels = 4;
constexpr int32_t kMarkSize = 10;         // pen, paper, zoom icons and the two marks

struct SkinPoint {
    int32_t x;
    int32_t y;
};

enum class Region : int32_t {
    PristineBar,         // the status bar as drawn when nothing is selected
    PristinePanel,       // background of the tool panel, tabs and quit button included
    EraserMark,          // multiplied over the pen icon while the eraser is on
    SelectionMark,       // page tab, pen, paper and hand-mode mark
    PenRow,              // the pen page contents, shown whole
    PenIcon0,            // pen masks 0..8, also their icons
    PenIcon1,
    PenIcon2,
    PenIcon3,
    PenIcon4,
    PenIcon5,
    PenIcon6,
    PenIcon7,
    PenIcon8,
    PaperIcons,          // four 10 x 10 status bar paper indicators
    ZoomIcons,           // four 10 x 10 status bar zoom indicators (1x, 2x, 4x, 8x)
    PanelButton,         // the dialog button of the pen and colour pages
    Palette,             // the colour chart
    PaperA,              // fine grain texture
    PaperB,              // coarse grain texture
    BarEmblem,           // copied into the pristine bar at creation
    FileButtons,         // New, Open, Save as, Save: four 40 x 40 buttons
    KeySettingsButton,   // the settings page button
    BarWorkArea,         // the status bar as shown
    PanelWorkArea,       // the tool panel as shown
    // Places inside other regions.
    BarEmblemSlot,       // where the emblem lands in the pristine bar
    BarPenBlank,         // plain background under the pen icon and digit
    BarIconBlank,        // plain 10 x 10 background, the blank of every bar icon
    CustomPenTarget,     // what a custom pen image replaces
    CustomPaperTarget,   // what a custom paper image replaces (both textures)
    Spare,               // not used
    // Undo and redo: the bar's undo pictogram (over the emblem's place) and the file
    // page's two buttons, each as shown when available and dimmed.
    BarUndo,
    BarUndoDimmed,
    UndoButton,
    UndoButtonDimmed,
    RedoButton,
    RedoButtonDimmed,
    // The file page's picture size button, and the status bar's zoom-out indicators
    // (1/2, 1/4, 1/8).
    SizeButton,
    ZoomOutIcons,
    Count
};

constexpr SkinRect kRegions[] = {
    {0, 0, 240, 30},     // PristineBar
    {0, 30, 240, 130},   // PristinePanel
    {200, 160, 10, 10},  // EraserMark
    {230, 160, 10, 10},  // SelectionMark
    {0, 160, 190, 30},   // PenRow
    {10, 170, 10, 10},   // PenIcon0
    {30, 170, 10, 10},   // PenIcon1
    {50, 170, 10, 10},   // PenIcon2
    {70, 170, 10, 10},   // PenIcon3
    {90, 170, 10, 10},   // PenIcon4
    {110, 170, 10, 10},  // PenIcon5
    {130, 170, 10, 10},  // PenIcon6
    {150, 170, 10, 10},  // PenIcon7
    {170, 170, 10, 10},  // PenIcon8
    {200, 170, 40, 10},  // PaperIcons
    {200, 180, 40, 10},  // ZoomIcons
    {180, 200, 60, 25},  // PanelButton
    {0, 190, 180, 60},   // Palette
    {0, 250, 100, 100},  // PaperA
    {100, 250, 100, 100},// PaperB
    {220, 250, 20, 20},  // BarEmblem
    {0, 350, 160, 40},   // FileButtons
    {0, 400, 150, 50},   // KeySettingsButton
    {0, 500, 240, 30},   // BarWorkArea
    {0, 530, 240, 130},  // PanelWorkArea
    {200, 5, 20, 20},    // BarEmblemSlot
    {105, 10, 18, 14},   // BarPenBlank
    {105, 14, 10, 10},   // BarIconBlank
    {10, 170, 170, 10},  // CustomPenTarget
    {0, 250, 200, 100},  // CustomPaperTarget
    {0, 660, 240, 200},  // Spare
    {160, 450, 20, 20},  // BarUndo
    {180, 450, 20, 20},  // BarUndoDimmed
    {0, 450, 40, 35},    // UndoButton
    {40, 450, 40, 35},   // UndoButtonDimmed
    {80, 450, 40, 35},   // RedoButton
    {120, 450, 40, 35},  // RedoButtonDimmed
    {160, 350, 40, 35},  // SizeButton
    {200, 450, 30, 10},  // ZoomOutIcons
};
static_assert(sizeof(kRegions) / sizeof(kRegions[0]) == static_cast<int32_t>(Region::Count),
              "one rectangle per region");

constexpr SkinRect RegionRect(Region r) { return kRegions[static_cast<int32_t>(r)]; }

// Pen i (0..8): its mask and icon.
constexpr SkinRect PenIconRect(int32_t i) { return {10 + 20 * i, 170, kMarkSize, kMarkSize}; }
// Paper indicator p (0..3) of the status bar.
constexpr SkinRect PaperIconRect(int32_t p) { return {200 + 10 * p, 170, kMarkSize, kMarkSize}; }
// Zoom indicator z (0..3, i.e. 1x, 2x, 4x, 8x; -1..-3, i.e. 1/2, 1/4, 1/8) of the
// status bar.
constexpr SkinRect ZoomIconRect(int32_t z) {
    return z >= 0 ? SkinRect{200 + 10 * z, 180, kMarkSize, kMarkSize}
                  : SkinRect{RegionRect(Region::ZoomOutIcons).x + 10 * (-z - 1), RegionRect(Region::ZoomOutIcons).y,
                             kMarkSize, kMarkSize};
}
// Texture t (0 = A, 1 = B).
constexpr SkinRect PaperTextureRect(int32_t t) { return RegionRect(t == 0 ? Region::PaperA : Region::PaperB); }

static_assert(PenIconRect(0).x == RegionRect(Region::PenIcon0).x, "pen icon 0");
static_assert(PenIconRect(8).x == RegionRect(Region::PenIcon8).x, "pen icon 8");
static_assert(PenIconRect(8).Right() <= RegionRect(Region::PenRow).Right(), "pens inside their row");
static_assert(PaperIconRect(3).Right() == kSkinImageWidth, "paper icons end at the right edge");
static_assert(ZoomIconRect(3).Right() == kSkinImageWidth, "zoom icons end at the right edge");
static_assert(RegionRect(Region::KeySettingsButton).Bottom() <= kSkinFileHeight, "file regions in the file");
static_assert(RegionRect(Region::BarWorkArea).y == kSkinFileHeight, "caches follow the file rows");
static_assert(RegionRect(Region::Spare).Bottom() == kSkinImageHeight, "spare rows end the image");

// ---- The strips on screen --------------------------------------------------------------

// The status bar and the tool panel are 240 pixels wide from x = 0, together at the top
// of the window (bar above panel) or at its bottom (panel above bar).
constexpr int32_t kStripWidth = RegionRect(Region::BarWorkArea).w;
constexpr int32_t kBarHeight = RegionRect(Region::BarWorkArea).h;
constexpr int32_t kPanelHeight = RegionRect(Region::PanelWorkArea).h;
constexpr int32_t kStripsHeight = kBarHeight + kPanelHeight;
static_assert(RegionRect(Region::PanelWorkArea).y == RegionRect(Region::BarWorkArea).Bottom(),
              "the panel's cache follows the bar's");

// Skin rows of the two caches: bar row y is skin row kBarWorkRow + y.
constexpr int32_t kBarWorkRow = RegionRect(Region::BarWorkArea).y;
constexpr int32_t kPanelWorkRow = RegionRect(Region::PanelWorkArea).y;

// ---- Status bar items, in bar coordinates ----------------------------------------------

constexpr SkinRect kBarPenIcon{105, 14, kMarkSize, kMarkSize};
// The pen's number: one digit, top-left aligned in left 115, top 11, right 123, bottom 24.
constexpr SkinRect kBarPenDigit{115, 11, 8, 13};
// The colour swatch: filled with the display colour (the pencil takes the same colour,
// the display colour, when its stamp is built).
constexpr SkinRect kBarSwatch{125, 14, kMarkSize, kMarkSize};
constexpr SkinRect kBarPaperIcon{145, 14, kMarkSize, kMarkSize};
constexpr SkinRect kBarZoomIcon{165, 14, kMarkSize, kMarkSize};
constexpr SkinRect kBarHandIcon{185, 14, kMarkSize, kMarkSize};
static_assert(RegionRect(Region::BarIconBlank).x == kBarPenIcon.x &&
                  RegionRect(Region::BarIconBlank).y == kBarPenIcon.y,
              "the icon blank is the pen icon's place");

// The swatch as it lies in the skin image, inside the status-bar cache.
constexpr SkinRect kSwatchInSkin{kBarSwatch.x, kBarWorkRow + kBarSwatch.y, kBarSwatch.w, kBarSwatch.h};

// What a release at a bar column does, columns inclusive.
enum class BarAction : int32_t {
    TogglePanel,
    ToggleEraser,
    ColourPage,
    NextPaper,
    NextZoom,
    ToggleHand,
    Undo,  // the emblem's place
    MoveStrips,
    None,
};
struct BarHotArea {
    int32_t x0, x1;
    BarAction action;
};
constexpr BarHotArea kBarHotAreas[] = {
    {0, 99, BarAction::TogglePanel},  {100, 119, BarAction::ToggleEraser},
    {120, 139, BarAction::ColourPage}, {140, 159, BarAction::NextPaper},
    {160, 179, BarAction::NextZoom},  {180, 199, BarAction::ToggleHand},
    {200, 220, BarAction::Undo},      {221, 239, BarAction::MoveStrips},
};
static_assert(kBarHotAreas[7].x1 + 1 == kStripWidth, "the bar's areas cover its width");

constexpr BarAction HitBar(int32_t x) {
    for (const BarHotArea& a : kBarHotAreas)
        if (x >= a.x0 && x <= a.x1) return a.action;
    return BarAction::None;
}

// ---- Tool panel contents, in panel coordinates -----------------------------------------

constexpr int32_t kPageCount = 5;
// The tab mark of page p (0..4): the selection mark beside its tab.
constexpr SkinPoint TabMarkPlace(int32_t page) { return {15, 20 + 20 * page}; }
constexpr SkinPoint kFileButtonsPlace{60, 30};
constexpr SkinPoint kPenRowPlace{45, 25};            // pen i shows at (55 + 20 i, 35)
constexpr SkinPoint PenMarkPlace(int32_t pen) { return {65 + 20 * pen, 35}; }
constexpr SkinPoint kPanelButtonPlace{110, 90};      // pen and colour pages
constexpr SkinPoint kPalettePlace{50, 30};
constexpr int32_t kPaletteMarkHalf = 7;             // the "+" box: mark +- 7
constexpr SkinPoint kPaletteMarkStart{50, 30};
// The paper page: A, inverted A, B, inverted B, each a 40 x 40 corner of its texture.
constexpr int32_t kPaperSwatchSize = 40;
constexpr SkinPoint PaperSwatchPlace(int32_t paper) { return {60 + 40 * paper, 40}; }
constexpr SkinPoint PaperMarkPlace(int32_t paper) { return {75 + 40 * paper, 25}; }
constexpr SkinPoint kKeySettingsPlace{65, 55};
// The file page's undo and redo buttons, under the four file buttons.
constexpr SkinPoint kUndoButtonPlace{60, 75};
constexpr SkinPoint kRedoButtonPlace{100, 75};
constexpr SkinPoint kSizeButtonPlace{140, 75};

// What a release at a panel point does: the first row holding the point acts, bounds
// inclusive; page -1 rows act on every page.
enum class PanelAction : int32_t {
    Quit,
    ChoosePage,  // page (y - 10) / 20
    Nothing,
    FullView,
    About,
    New,
    Open,
    SaveAs,
    Save,
    SelectPen,    // pen (x - 55) / 20
    StylusSettings,
    PalettePick,
    ColourEntry,
    SelectPaper,  // paper (x - 60) / 40
    KeySettings,
    Undo,
    Redo,
    PictureSize,
    None,
};
struct PanelHotArea {
    int32_t page;
    int32_t x0, x1, y0, y1;
    PanelAction action;
};
constexpr int32_t kAny = -1;
constexpr PanelHotArea kPanelHotAreas[] = {
    {kAny, INT32_MIN, 39, 110, INT32_MAX, PanelAction::Quit},
    {kAny, INT32_MIN, 39, 11, 109, PanelAction::ChoosePage},
    {kAny, INT32_MIN, 39, INT32_MIN, 10, PanelAction::Nothing},
    {kAny, 40, 99, 116, INT32_MAX, PanelAction::FullView},
    {kAny, 161, INT32_MAX, 121, INT32_MAX, PanelAction::About},
    // The borders between the file buttons (x = 60, 100, 140, 180, 220) belong to none.
    {0, 61, 99, 31, 69, PanelAction::New},
    {0, 101, 139, 31, 69, PanelAction::Open},
    {0, 141, 179, 31, 69, PanelAction::SaveAs},
    {0, 181, 219, 31, 69, PanelAction::Save},
    {0, 61, 99, 76, 109, PanelAction::Undo},
    {0, 101, 139, 76, 109, PanelAction::Redo},
    {0, 141, 179, 76, 109, PanelAction::PictureSize},
    {1, 56, 234, 26, 54, PanelAction::SelectPen},
    {1, 111, 169, 91, 114, PanelAction::StylusSettings},
    {2, 51, 229, 31, 89, PanelAction::PalettePick},
    {2, 111, 169, 91, 114, PanelAction::ColourEntry},
    {3, 61, 219, 41, 79, PanelAction::SelectPaper},
    {4, 66, 214, 56, 104, PanelAction::KeySettings},
};

constexpr PanelAction HitPanel(int32_t page, int32_t x, int32_t y) {
    for (const PanelHotArea& a : kPanelHotAreas)
        if ((a.page == kAny || a.page == page) && x >= a.x0 && x <= a.x1 && y >= a.y0 && y <= a.y1)
            return a.action;
    return PanelAction::None;
}
constexpr int32_t PageAt(int32_t y) { return (y - 10) / 20; }
constexpr int32_t PenAt(int32_t x) { return (x - 55) / 20; }
constexpr int32_t PaperAt(int32_t x) { return (x - 60) / 40; }

// The palette as a press-and-drag area: panel points strictly inside it pick colours.
constexpr bool InPalette(int32_t x, int32_t y) {
    const SkinRect p = RegionRect(Region::Palette);
    return x > kPalettePlace.x && x < kPalettePlace.x + p.w && y > kPalettePlace.y &&
           y < kPalettePlace.y + p.h;
}
static_assert(RegionRect(Region::BarUndo).w == RegionRect(Region::BarEmblemSlot).w &&
                  RegionRect(Region::BarUndo).h == RegionRect(Region::BarEmblemSlot).h,
              "the undo pictogram takes the emblem's place");
static_assert(kUndoButtonPlace.x + RegionRect(Region::UndoButton).w == kRedoButtonPlace.x &&
                  RegionRect(Region::UndoButton).Bottom() <= kSkinFileHeight,
              "undo and redo side by side, drawn from the file rows");
static_assert(HitPanel(0, 61, 76) == PanelAction::Undo && HitPanel(0, 139, 109) == PanelAction::Redo &&
                  HitPanel(0, 100, 90) == PanelAction::None && HitPanel(0, 80, 110) == PanelAction::None,
              "undo and redo buttons inside their images, the border between them belongs to none");
static_assert(kRedoButtonPlace.x + RegionRect(Region::RedoButton).w == kSizeButtonPlace.x &&
                  RegionRect(Region::SizeButton).w == RegionRect(Region::RedoButton).w &&
                  RegionRect(Region::SizeButton).Bottom() <= kSkinFileHeight &&
                  RegionRect(Region::ZoomOutIcons).Bottom() <= kSkinFileHeight,
              "the size button beside redo, and the zoom-out icons, drawn from the file rows");
static_assert(HitPanel(0, 141, 76) == PanelAction::PictureSize && HitPanel(0, 140, 90) == PanelAction::None &&
                  HitPanel(0, 180, 90) == PanelAction::None,
              "the size button inside its image");
static_assert(HitPanel(2, 51, 31) == PanelAction::PalettePick && InPalette(51, 31) &&
                  !InPalette(50, 31) && !InPalette(230, 31) && InPalette(229, 89),
              "the palette's tap and drag areas agree");

}  // namespace vellum
