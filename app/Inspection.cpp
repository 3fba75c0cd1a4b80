// The read-only look at the program: view fields by the names the headless driver's
// `show` uses, and the surfaces by name.
#include <cstdio>

#include "app/App.h"
#include "app/SettingsStore.h"

namespace vellum {

namespace {

std::string Number(int64_t value) { return std::to_string(value); }
std::string Flag(int32_t value) { return value ? "1" : "0"; }

std::string HexColour(uint32_t value) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "0x%08X", value);
    return buffer;
}

std::string Keys(const CVellumView& v) {
    std::string out;
    for (int i = 0; i < kKeyCount; ++i) {
        if (i) out += ' ';
        out += std::to_string(v.keyCodes[i]);
    }
    return out;
}

struct FieldRow {
    const char* name;
    std::string (*format)(const CVellumView& v);
};

constexpr FieldRow kFields[] = {
    {"penIndex", [](const CVellumView& v) { return Number(v.penIndex); }},
    {"paperIndex", [](const CVellumView& v) { return Number(v.paperIndex); }},
    {"currentColour", [](const CVellumView& v) { return HexColour(v.currentColour); }},
    {"zoomShift", [](const CVellumView& v) { return Number(v.zoomShift); }},
    {"zoomFactor", [](const CVellumView& v) { return Number(v.zoomFactor); }},
    {"viewOriginX", [](const CVellumView& v) { return Number(v.viewOriginX); }},
    {"viewOriginY", [](const CVellumView& v) { return Number(v.viewOriginY); }},
    {"holdMode", [](const CVellumView& v) { return Number(v.holdMode); }},
    {"panelShown", [](const CVellumView& v) { return Flag(v.panelShown); }},
    {"panelAtBottom", [](const CVellumView& v) { return Flag(v.panelAtBottom); }},
    {"panelPage", [](const CVellumView& v) { return Number(v.panelPage); }},
    {"fullView", [](const CVellumView& v) { return Flag(v.fullView); }},
    {"eraser", [](const CVellumView& v) { return Flag(v.eraser); }},
    {"handMode", [](const CVellumView& v) { return Flag(v.handMode); }},
    {"modified", [](const CVellumView& v) { return Flag(v.modified); }},
    {"smoothing", [](const CVellumView& v) { return Number(v.smoothing); }},
    {"stylusMode", [](const CVellumView& v) { return Number(v.stylusMode); }},
    {"antiJump", [](const CVellumView& v) { return Number(v.antiJump); }},
    {"paletteMark",
     [](const CVellumView& v) { return Number(v.paletteMark.x) + " " + Number(v.paletteMark.y); }},
    {"path", [](const CVellumView& v) { return v.FilePath(); }},
    {"pictureWidth", [](const CVellumView& v) { return Number(v.picture.Width()); }},
    {"pictureHeight", [](const CVellumView& v) { return Number(v.picture.Height()); }},
    {"keys", Keys},
    {"colourDensity", [](const CVellumView& v) {
         char buffer[32];
         std::snprintf(buffer, sizeof buffer, "%g", v.colourDensity);
         return std::string(buffer);
     }},
};

}  // namespace

bool CVellumApp::Field(const std::string& name, std::string& value) const {
    if (!view) return false;
    for (const FieldRow& row : kFields)
        if (name == row.name) {
            value = row.format(*view);
            return true;
        }
    return false;
}

const PixelSurface* CVellumApp::Surface(const std::string& name) const {
    if (!view) return nullptr;
    if (name == "screen" || name == "skin") {
        const OwnedSurface& s = name == "screen" ? view->screenBuffer : view->skinImage;
        return s.Exists() ? &s.Get() : nullptr;
    }
    const Picture& picture = view->picture;
    if (!picture.Exists()) return nullptr;
    if (name == "canvas") return &picture.Canvas();
    if (name == "paper") return &picture.PaperSurface();
    if (name == "coverage") return &picture.CoverageLayer();
    if (name == "colour") return &picture.ColourLayer();
    if (name == "pen") return &picture.PenBuffer();
    return nullptr;
}

std::vector<std::pair<std::string, std::string>> SettingValues(const std::string& storeText) {
    SettingsStore store;
    store.Parse(storeText);
    return store.Values("setting");
}

std::string WithSetting(const std::string& storeText, const std::string& name, const std::string& value) {
    SettingsStore store;
    store.Parse(storeText);
    store.SetString("setting", name, value);
    return store.Serialize();
}

}  // namespace vellum
