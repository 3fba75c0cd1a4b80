// The drawing colour and the palette.
#include "app/VellumView.h"
#include "engine/skin/SkinLayout.h"
#include "imageio/formats/PictureFile.h"
#include "resources/StringIds.h"

namespace vellum {

namespace {

uint32_t Channel(uint32_t colour, int shift) { return (colour >> shift) & 0xFF; }

// One channel adjusted by the colour density, in double precision.
uint32_t DensityChannel(uint32_t c, double d) {
    const double v = d > 0.0 ? double(c) * (d * 0.1 + 1.0) : ((255.0 - double(c)) * d) * 0.1 + double(c);
    // The clamp keeps any density inside a channel; the values in use never reach it.
    if (!(v > 0.0)) return 0;
    if (v >= 255.0) return 255;
    return static_cast<uint32_t>(v);
}

}  // namespace

uint32_t CVellumView::DisplayColour() const {
    const double d = colourDensity;
    return DensityChannel(Channel(currentColour, 0), d) |
           (DensityChannel(Channel(currentColour, 8), d) << 8) |
           (DensityChannel(Channel(currentColour, 16), d) << 16);
}

void CVellumView::SetColour(uint32_t colour, bool update) {
    currentColour = colour;
    if (update) {
        DrawStatusBar(BarColour, true);
    } else if (skinImage.Exists()) {
        const Rgb shown = RgbOf(DisplayColour());
        ops.fillRectColour(*skinImage, kSwatchInSkin.x, kSwatchInSkin.y, kSwatchInSkin.w,
                           kSwatchInSkin.h, shown.red, shown.green, shown.blue);
    }
    // The swatch shows the colour the stamp is built with.
    SelectPen(-1, false);
}

bool CVellumView::LoadCustomPalette(const std::string& path) {
    OwnedSurface picture;
    if (!LoadPictureFile(path, picture)) {
        Message(IDS_CUSTOM_PALETTE_FAILED, MsgButtons::Ok);
        return false;
    }
    // Top-left corner, unscaled; a smaller picture leaves the rest of the built-in palette.
    const SkinRect palette = RegionRect(Region::Palette);
    if (skinImage.Exists())
        ops.copyRectRop(*skinImage, palette.x, palette.y, palette.w, palette.h, *picture, 0, 0,
                        SRCCOPY);
    return true;
}

}  // namespace vellum
