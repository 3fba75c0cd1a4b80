// Keys: the two hold keys, the seven bindings that act on a press, and the shortcuts a
// desktop user expects. Every front end hands its keys here, so one table serves all.
#include <algorithm>

#include "app/VellumView.h"
#include "resources/StringIds.h"
#include "panel/Commands.h"

namespace vellum {

namespace {

// Virtual-key codes of the shortcuts.
constexpr uint32_t kKeyTab = 9;
constexpr uint32_t kKeySpace = 32;
constexpr uint32_t kKey0 = 48;
constexpr uint32_t kKeyPad0 = 96;
constexpr uint32_t kKeyPadPlus = 107;
constexpr uint32_t kKeyPadMinus = 109;
constexpr uint32_t kKeyPlus = 187;  // the = and + key
constexpr uint32_t kKeyMinus = 189;
constexpr uint32_t kKeyC = 67;
constexpr uint32_t kKeyE = 69;
constexpr uint32_t kKeyH = 72;
constexpr uint32_t kKeyN = 78;
constexpr uint32_t kKeyO = 79;
constexpr uint32_t kKeyS = 83;
constexpr uint32_t kKeyV = 86;
constexpr uint32_t kKeyY = 89;
constexpr uint32_t kKeyZ = 90;

constexpr double kDensityLimit = 10.0;
constexpr int kPenCount = 9;
constexpr int kPaperCount = 4;

void StepPen(CVellumView& v, int step) {
    v.penIndex = (v.penIndex + step + kPenCount) % kPenCount;
    v.SelectPen(-1, true);
}

// One zoom level in or out, about the screen's centre.
void StepZoom(CVellumView& v, int step) {
    const int from = v.zoomShift;
    const int to = std::clamp(from + step, kLeastZoomShift, kMostZoomShift);
    if (to == from || v.fullView) return;
    v.zoomShift = to;
    v.ApplyZoom(true, from);
}

void StepPaper(CVellumView& v, int step) {
    v.paperIndex = (v.paperIndex + step + kPaperCount) % kPaperCount;
    v.SelectPaper(true);
}

// The bindings in the order they are tried when one code is bound to several; the hold
// keys come before all of them. Saving asks questions, so a held key saves once.
struct Binding {
    KeyIndex key;
    bool onRepeat;
    void (*act)(CVellumView&);
};
constexpr Binding kBindings[] = {
    {KeyDarker, true, [](CVellumView& v) { v.StepDensity(-1); }},
    {KeyLighter, true, [](CVellumView& v) { v.StepDensity(+1); }},
    {KeyNextPen, true, [](CVellumView& v) { StepPen(v, +1); }},
    {KeyPrevPen, true, [](CVellumView& v) { StepPen(v, -1); }},
    {KeyNextPaper, true, [](CVellumView& v) { StepPaper(v, +1); }},
    {KeyPrevPaper, true, [](CVellumView& v) { StepPaper(v, -1); }},
    {KeySave, false, [](CVellumView& v) { v.SavePicture(); }},
};

// The shortcuts, by key and the modifiers held exactly. Those that toggle or ask
// questions act once for a held key; undo and redo go on while the keys are held.
struct Shortcut {
    uint32_t code;
    unsigned held;
    bool onRepeat;
    void (*act)(CVellumView&);
};
constexpr Shortcut kShortcuts[] = {
    {kKeyZ, kModCtrl, true, [](CVellumView& v) { v.Undo(); }},
    {kKeyZ, kModCtrl | kModShift, true, [](CVellumView& v) { v.Redo(); }},
    {kKeyY, kModCtrl, true, [](CVellumView& v) { v.Redo(); }},
    {kKeyS, kModCtrl, false, [](CVellumView& v) { v.QuickSave(); }},
    {kKeyS, kModCtrl | kModShift, false, [](CVellumView& v) { v.SavePictureAs(); }},
    {kKeyO, kModCtrl, false, [](CVellumView& v) { v.OpenPicture(""); }},
    {kKeyN, kModCtrl, false, [](CVellumView& v) { v.NewPicture(); }},
    {kKeyC, kModCtrl, false, [](CVellumView& v) { v.CopyPicture(); }},
    {kKeyV, kModCtrl, false, [](CVellumView& v) { v.PastePicture(); }},
    {kKeyC, kModCtrl | kModAlt, false, [](CVellumView& v) { v.PictureSizeCommand(); }},
    {kKeyPlus, kModCtrl, true, [](CVellumView& v) { StepZoom(v, +1); }},
    {kKeyPlus, kModCtrl | kModShift, true, [](CVellumView& v) { StepZoom(v, +1); }},
    {kKeyPadPlus, kModCtrl, true, [](CVellumView& v) { StepZoom(v, +1); }},
    {kKeyMinus, kModCtrl, true, [](CVellumView& v) { StepZoom(v, -1); }},
    {kKeyPadMinus, kModCtrl, true, [](CVellumView& v) { StepZoom(v, -1); }},
    {kKey0, kModCtrl, false, [](CVellumView& v) { if (!v.fullView) v.ZoomToFit(); }},
    {kKeyPad0, kModCtrl, false, [](CVellumView& v) { if (!v.fullView) v.ZoomToFit(); }},
    {kKeyE, kModNone, false, [](CVellumView& v) { ToggleEraserCommand(v); }},
    {kKeyH, kModNone, false, [](CVellumView& v) { ToggleHandModeCommand(v); }},
    {kKeyTab, kModNone, false, [](CVellumView& v) { TogglePanelCommand(v); }},
};

}  // namespace

void CVellumView::OnKeyDown(uint32_t code, unsigned modifiers) {
    // The eyedropper comes first, so a code bound to both selects it.
    if (code == keyCodes[KeyEyedropper]) {
        holdMode = 1;
        return;
    }
    if (code == keyCodes[KeyZoom]) {
        holdMode = 2;
        return;
    }
    // A stroke in progress is drawn with one pen, colour and paper from press to release
    // (its undo step and its journal record say so): nothing else acts meanwhile.
    if (penDown == 1) return;
    // A key the user bound acts as bound, never as a shortcut.
    if (ActOnBinding(code, modifiers)) return;
    ActOnShortcut(code, modifiers);
}

void CVellumView::OnKeyUp(uint32_t code, unsigned) {
    if (code == keyCodes[KeyEyedropper] || code == keyCodes[KeyZoom]) holdMode = 0;
    if (code == kKeySpace) panKeyHeld = false;
}

bool CVellumView::ActOnBinding(uint32_t code, unsigned modifiers) {
    bool bound = false;
    for (const Binding& b : kBindings) {
        if (keyCodes[b.key] != code) continue;
        // The first binding of the code acts; a key bound twice acts once.
        if (!bound && (b.onRepeat || !(modifiers & kModRepeat))) b.act(*this);
        bound = true;
        break;
    }
    return bound;
}

bool CVellumView::ActOnShortcut(uint32_t code, unsigned modifiers) {
    // The space bar held turns a drag on the canvas into scrolling.
    if (code == kKeySpace && !(modifiers & (kModCtrl | kModAlt))) {
        panKeyHeld = true;
        return true;
    }
    const unsigned held = modifiers & (kModCtrl | kModShift | kModAlt);
    for (const Shortcut& s : kShortcuts) {
        if (s.code != code || s.held != held) continue;
        if (s.onRepeat || !(modifiers & kModRepeat)) s.act(*this);
        return true;
    }
    return false;
}

void CVellumView::StepDensity(int step) {
    const double d = colourDensity + step;
    colourDensity = d < -kDensityLimit ? -kDensityLimit : d > kDensityLimit ? kDensityLimit : d;
    // The swatch, the stamp and the status bar follow, as after any colour change.
    SetColour(currentColour, true);
}

bool CVellumView::CopyPicture() {
    if (!picture.Exists()) return false;
    return platform.SetClipboardPicture(picture.Canvas());
}

bool CVellumView::PastePicture() {
    OwnedSurface pasted;
    // An empty clipboard, or one without a picture, changes nothing.
    if (!platform.GetClipboardPicture(pasted) || !pasted.Exists()) return false;
    if (!TakeLoadedPicture(pasted)) return false;
    // A new step; the picture is changed and keeps its name. The pasted picture is work
    // saved nowhere: the journal keeps it at once.
    if (picture.Replace(StepKind::Paste, std::move(pasted), FilePath()).Empty()) {
        Message(IDS_MEMORY_ERROR, MsgButtons::Ok);
        return false;
    }
    modified = 1;
    AfterStep();
    ClampOrigin();
    RefreshRect(0, 0, -1, -1);
    return true;
}

}  // namespace vellum
