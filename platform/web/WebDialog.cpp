// The program's modal dialogs as HTML over the page. The dialog runs in a loop of its
// own that waits (through Asyncify) for the page's next event on the dialog and hands it
// to the dialog's handlers, so that nothing else enters the program while it is open.
#include <emscripten.h>

#include <cstdlib>
#include <string>

#include "dialogs/Dialog.h"
#include "platform/web/WebPlatform.h"

EM_JS(void, vellum_js_dialog_open, (int id, const char* caption, int width, int height, int points), {
    Module.vellumDialogOpen(id, UTF8ToString(caption), width, height, points);
});
EM_JS(void, vellum_js_dialog_control,
      (int index, int id, int kind, int x, int y, int w, int h, int style, const char* text, int checked, int visible), {
    Module.vellumDialogControl(index, id, kind, x, y, w, h, style, UTF8ToString(text), checked, visible);
});
EM_JS(void, vellum_js_dialog_focus, (int index), { Module.vellumDialogFocus(index); });
EM_JS(void, vellum_js_dialog_close, (), { Module.vellumDialogClose(); });
// The next event: kind (1 edit, 2 click, 3 spin, 4 key release, 5 close), the control's
// index, a number (spin count or key code) and, for an edit, its whole text (malloc'ed).
EM_ASYNC_JS(int, vellum_js_dialog_event, (int* index, int* number, char** text), {
    const e = await Module.vellumDialogNextEvent();
    HEAP32[index >> 2] = e.index | 0;
    HEAP32[number >> 2] = e.number | 0;
    let ptr = 0;
    if (e.text !== undefined) {
        const size = lengthBytesUTF8(e.text) + 1;
        ptr = _malloc(size);
        stringToUTF8(e.text, ptr, size);
    }
    HEAP32[text >> 2] = ptr;
    return e.kind;
});

namespace vellum {

namespace {

class WebDialogHost : public DialogHost {
public:
    WebDialogHost(CDialog& d, WebPlatform& p) : dialog(d), platform(p) {}

    void Show(int index) {
        const ControlTemplate& c = dialog.ControlAt(index);
        const ControlState& s = dialog.State(index);
        vellum_js_dialog_control(index, c.id, int(c.kind), c.x, c.y, c.w, c.h, int(c.style), s.text.c_str(), s.checked,
                                 s.visible ? 1 : 0);
    }
    void ControlChanged(int index) override { Show(index); }
    void SetFocus(int index) override { vellum_js_dialog_focus(index); }
    void BringToTop() override {}
    void EndDialog(int code) override {
        if (ended) return;
        ended = true;
        if (dialog.EndCode() == 0) dialog.SetEndCode(code);
    }
    void PostCloseRequest() override { closePosted = true; }
    MsgAnswer ShowMessage(int id, const std::string& text, MsgButtons buttons) override {
        return platform.ShowMessage(id, text, buttons);
    }

    CDialog& dialog;
    WebPlatform& platform;
    bool ended = false;
    bool closePosted = false;
};

}  // namespace

int WebPlatform::RunDialog(CDialog& dialog) {
    const DialogTemplate& t = dialog.Template();
    vellum_js_dialog_open(t.id, dialog.Caption().c_str(), t.width, t.height, t.pointSize);
    WebDialogHost host(dialog, *this);
    dialog.Attach(&host);
    dialog.OnInitDialog();
    for (int i = 0; i < dialog.ControlCount(); ++i) host.Show(i);
    while (!host.ended) {
        // A close the dialog posted itself comes after the handler that posted it.
        if (host.closePosted) {
            host.closePosted = false;
            dialog.OnCloseRequest();
            continue;
        }
        int index = 0, number = 0;
        char* text = nullptr;
        const int kind = vellum_js_dialog_event(&index, &number, &text);
        const bool valid = index >= 0 && index < dialog.ControlCount();
        switch (kind) {
            case 1:
                if (valid) dialog.OnEditChanged(index, text ? text : "");
                break;
            case 2:
                if (valid) dialog.OnClicked(index);
                break;
            case 3:
                if (valid) dialog.OnSpin(index, number);
                break;
            case 4: dialog.OnKeyUp(uint32_t(number)); break;
            case 5: dialog.OnCloseRequest(); break;
            default: break;
        }
        std::free(text);
    }
    dialog.OnDestroy();
    dialog.Attach(nullptr);
    vellum_js_dialog_close();
    return dialog.EndCode() ? dialog.EndCode() : 2;
}

}  // namespace vellum
