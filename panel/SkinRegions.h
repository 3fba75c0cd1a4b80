#pragma once
// The named rectangles of the 240 x 860 skin image. The skin generator draws by this
// table and the status bar and tool panel take their pieces from it, so a region moved
// here moves everywhere. Rows 0..499 come from vellum.dat; 500..659 are the two caches
// in which the strips are composed.
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
};
static_assert(sizeof(kRegions) / sizeof(kRegions[0]) == static_cast<int32_t>(Region::Count),
              "one rectangle per region");

constexpr SkinRect RegionRect(Region r) { return kRegions[static_cast<int32_t>(r)]; }

// Pen i (0..8): its mask and icon.
constexpr SkinRect PenIconRect(int32_t i) { return {10 + 20 * i, 170, kMarkSize, kMarkSize}; }
// Paper indicator p (0..3) of the status bar.
constexpr SkinRect PaperIconRect(int32_t p) { return {200 + 10 * p, 170, kMarkSize, kMarkSize}; }
// Zoom indicator z (0..3, i.e. 1x, 2x, 4x, 8x) of the status bar.
constexpr SkinRect ZoomIconRect(int32_t z) { return {200 + 10 * z, 180, kMarkSize, kMarkSize}; }
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

}  // namespace vellum
