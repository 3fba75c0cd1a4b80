// The view's window messages: full screen, focus, message boxes.
#include "app/VellumView.h"
#include "resources/Resources.h"

namespace vellum {

MsgAnswer CVellumView::Message(int id, MsgButtons buttons) {
    return platform.ShowMessage(id, Resources::Active().String(id), buttons);
}

void CVellumView::MessageWithDetail(int id, const std::string& detail) {
    platform.ShowMessage(id, std::string(Resources::Active().String(id)) + "\n" + detail, MsgButtons::Ok);
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

void CVellumView::OnKillFocus() {
    // The space bar's release goes elsewhere now.
    panKeyHeld = false;
    LeaveFullScreen(true);
}

}  // namespace vellum
