// Reading the settings at creation and writing them at shutdown.
#include "app/SettingsStore.h"
#include "app/VellumView.h"
#include "resources/StringIds.h"

namespace vellum {

namespace {

constexpr const char* kSection = "setting";

// The key codes' value names, in the order of the view's fields; the save key is read
// as "key_save" and written as "key_Save" (the store ignores case).
constexpr const char* kKeyReadNames[kKeyCount] = {"key_darker", "key_lighter", "key_nextpen",
                                                  "key_nextppr", "key_prevpen", "key_prevppr",
                                                  "key_save", "key_spoit", "key_zoom"};
constexpr const char* kKeyWriteNames[kKeyCount] = {"key_darker", "key_lighter", "key_nextpen",
                                                   "key_nextppr", "key_prevpen", "key_prevppr",
                                                   "key_Save", "key_spoit", "key_zoom"};

SettingsStore LoadStore(Platform& platform) {
    SettingsStore store;
    std::string text;
    if (platform.ReadSettingsText(text)) store.Parse(text);
    return store;
}

}  // namespace

void CVellumView::ReadSettings() {
    const SettingsStore store = LoadStore(platform);
    smoothing = store.GetInt(kSection, "pen", 2);
    stylusMode = store.GetInt(kSection, "stylus", 1);
    antiJump = store.GetInt(kSection, "antijump", 0);
    for (int i = 0; i < kKeyCount; ++i)
        keyCodes[i] = static_cast<uint32_t>(store.GetInt(kSection, kKeyReadNames[i], 1));
    jpegQuality = store.GetInt(kSection, "jpeg_quality", 10);
    fitPicture = store.GetInt(kSection, "fitpicture", 0);

    const std::string palette = store.GetString(kSection, "custompalette", "");
    const std::string pen = store.GetString(kSection, "custompen", "");
    const std::string paper = store.GetString(kSection, "custompaper", "");
    if (!palette.empty()) LoadCustomPalette(palette);
    if (!pen.empty()) LoadCustomPen(pen);
    if (!paper.empty()) LoadCustomPaper(paper);
}

bool CVellumView::WriteSettings() {
    // Read again, so that every other value and line of the store is kept.
    SettingsStore store = LoadStore(platform);
    store.SetInt(kSection, "pen", smoothing);
    store.SetInt(kSection, "stylus", stylusMode);
    store.SetInt(kSection, "antijump", antiJump);
    for (int i = 0; i < kKeyCount; ++i)
        store.SetInt(kSection, kKeyWriteNames[i], static_cast<int32_t>(keyCodes[i]));
    store.SetInt(kSection, "jpeg_quality", jpegQuality);
    settingsPending = false;
    if (settingsTimerRunning) {
        platform.KillTimer(kSettingsTimer);
        settingsTimerRunning = false;
    }
    settingsWrittenAt = platform.Milliseconds();
    if (platform.WriteSettingsText(store.Serialize())) return true;
    // Told once a session, and not while the program goes (the window is closing).
    if (!settingsFailureTold && !gShutdownDone) {
        settingsFailureTold = true;
        Message(IDS_SETTINGS_NOT_KEPT, MsgButtons::Ok);
    }
    return false;
}

void CVellumView::SettingsChanged() {
    if (creationFailed || settingsPending) return;  // a write already waits: it takes this too
    const int64_t since = platform.Milliseconds() - settingsWrittenAt;
    if (since >= kSettingsWriteGap && penDown != 1) {
        WriteSettings();
        return;
    }
    settingsPending = true;
    if (since < kSettingsWriteGap) {
        settingsTimerRunning = true;
        platform.SetTimer(kSettingsTimer, int(kSettingsWriteGap - since));
    }
}

void CVellumView::WritePendingSettings() {
    if (!settingsPending || settingsTimerRunning || penDown == 1) return;
    WriteSettings();
}

}  // namespace vellum
