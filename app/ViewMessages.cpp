// The view's window messages: full screen, focus, hold keys, message boxes.
#include "app/VellumView.h"
#include "resources/Resources.h"

namespace vellum {

MsgAnswer CVellumView::Message(int id, MsgButtons buttons) {
    return platform.ShowMessage(id, Resources::Active().String(id), buttons);
}

void CVellumView::EnterFullScreen(bool report) {
    int sw = 0, sh = 0;
    platform.GetScreenSize(sw, sh);
    platform.MoveFrame(0, 0, sw, sh);
    if (!platform.ShellFullScreen(kHideTaskBar | kHideInputPanel) && report)
        platform.ShowMessage(0, "call failed", MsgButtons::Ok);
}

void CVellumView::LeaveFullScreen(bool report) {
    if (!platform.ShellFullScreen(kShowTaskBar | kShowInputPanel) && report)
        platform.ShowMessage(0, "call failed", MsgButtons::Ok);
}

void CVellumView::OnSetFocus() { EnterFullScreen(true); }

void CVellumView::OnKillFocus() { LeaveFullScreen(true); }

namespace {

constexpr uint32_t kKeyY = 89;
constexpr uint32_t kKeyZ = 90;

}  // namespace

void CVellumView::OnKeyDown(uint32_t code, unsigned modifiers) {
    // The eyedropper comes first, so a code bound to both selects it. A bound key acts
    // as bound, never as a shortcut.
    if (code == keyCodes[KeyEyedropper]) {
        holdMode = 1;
        return;
    }
    if (code == keyCodes[KeyZoom]) {
        holdMode = 2;
        return;
    }
    const unsigned held = modifiers & (kModCtrl | kModShift | kModAlt);
    if (code == kKeyZ && held == kModCtrl)
        Undo();
    else if ((code == kKeyZ && held == (kModCtrl | kModShift)) || (code == kKeyY && held == kModCtrl))
        Redo();
}

void CVellumView::OnKeyUp(uint32_t code, unsigned) {
    if (code == keyCodes[KeyEyedropper] || code == keyCodes[KeyZoom]) holdMode = 0;
}

}  // namespace vellum
