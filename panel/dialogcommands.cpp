// The commands behind the stylus settings, colour entry and key settings buttons: each
// copies the view's values into its dialog, runs it framed, and takes them back on OK.
#include "app/VellumView.h"
#include "dialogs/ColourEntryDialog.h"
#include "dialogs/KeySettingsDialog.h"
#include "dialogs/PictureSizeDialog.h"
#include "resources/StringIds.h"
#include "dialogs/StylusSettingsDialog.h"
#include "engine/skin/SkinLayout.h"

namespace vellum {

namespace {

constexpr int kIdOk = 1;

static_assert(sizeof(CKeySettingsDialog::codes) / sizeof(uint32_t) == kKeyCount,
              "the dialog exchanges every key code");

}  // namespace

void CVellumView::StylusSettingsCommand() {
    CStylusSettingsDialog dialog(platform);
    dialog.antiJumpCheck = antiJump;
    dialog.stylusCheck = stylusMode;
    // A stored level outside 1..4 checks no button (and never overflows).
    dialog.smoothingChoice = smoothing >= 1 && smoothing <= 4 ? smoothing - 1 : -1;
    if (RunFramedDialog(dialog) != kIdOk) return;
    antiJump = dialog.antiJumpCheck ? 1 : 0;
    stylusMode = dialog.stylusCheck ? 1 : 0;
    smoothing = dialog.smoothingChoice + 1;
    DrawStatusBar(BarNone, true);
    SettingsChanged();
}

void CVellumView::ColourEntryCommand() {
    CColourEntryDialog dialog(platform);
    if (skinImage.Exists()) {
        // The swatch: the colour as it is shown.
        const uint8_t* p = skinImage->At(kSwatchInSkin.x, kSwatchInSkin.y);
        dialog.red = p[2];
        dialog.green = p[1];
        dialog.blue = p[0];
    }
    if (RunFramedDialog(dialog) != kIdOk) return;
    const uint8_t r = uint8_t(dialog.red), g = uint8_t(dialog.green), b = uint8_t(dialog.blue);
    if (!dialog.filter) {
        colourDensity = 0.0;
        currentColour = uint32_t(r) | uint32_t(g) << 8 | uint32_t(b) << 16;
        SetColour(currentColour, true);
        return;
    }
    // The colour filter: the whole picture multiplied by the colour; the drawing colour
    // stays.
    modified = 1;
    if (!picture.Exists()) return;
    picture.Filter(ops, {r, g, b});
    AfterStep();
    RefreshRect(0, 0, -1, -1);
}

void CVellumView::PictureSizeCommand() {
    if (!picture.Exists()) return;
    CPictureSizeDialog dialog(platform);
    dialog.width = picture.Width();
    dialog.height = picture.Height();
    if (RunFramedDialog(dialog) != kIdOk) return;
    if (dialog.width == picture.Width() && dialog.height == picture.Height()) return;
    // One step: the pixels kept at the top-left, cropped or extended with white.
    if (!picture.Resize(ops, dialog.width, dialog.height)) {
        Message(IDS_MEMORY_ERROR, MsgButtons::Ok);
        return;
    }
    modified = 1;
    AfterStep();
    ClampOrigin();
    RefreshRect(0, 0, -1, -1);
}

void CVellumView::KeySettingsCommand() {
    CKeySettingsDialog dialog(platform);
    for (int i = 0; i < kKeyCount; ++i) dialog.codes[i] = keyCodes[i];
    if (RunFramedDialog(dialog) != kIdOk) return;
    for (int i = 0; i < kKeyCount; ++i) keyCodes[i] = dialog.codes[i];
    SettingsChanged();
}

}  // namespace vellum
