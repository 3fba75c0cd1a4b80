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

void CVellumView::OnKeyDown(uint32_t code, unsigned) {
    // The eyedropper comes first, so a code bound to both selects it.
    if (code == keyCodes[KeyEyedropper])
        holdMode = 1;
    else if (code == keyCodes[KeyZoom])
        holdMode = 2;
}

void CVellumView::OnKeyUp(uint32_t code, unsigned) {
    if (code == keyCodes[KeyEyedropper] || code == keyCodes[KeyZoom]) holdMode = 0;
}

}  // namespace vellum
