#pragma once
// The panel fake platform with a dialog host: each modal dialog takes the next queued
// script, which plays the user's part through the dialog's handlers (nested dialogs take
// the scripts after it). What every dialog showed as it opened and as it closed, the
// messages it raised and where it put the focus are recorded.
#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "PanelFakePlatform.h"
#include "dialogs/Dialog.h"

namespace vellum::dialogtest {

class DialogFakePlatform;

// One dialog as the script sees it: its handlers, and posted close requests handled
// once the handler that posted them has returned, as a message loop would.
class ScriptedDialog : public DialogHost {
public:
    ScriptedDialog(CDialog& d, DialogFakePlatform& p) : dialog(d), platform(p) {}

    void Set(int id, const std::string& text) { Act([&] { dialog.OnEditChanged(Index(id), text); }); }
    void Click(int id) { Act([&] { dialog.OnClicked(Index(id)); }); }
    void Spin(int id, int count) { Act([&] { dialog.OnSpin(Index(id), count); }); }
    void KeyUp(uint32_t code) { Act([&] { dialog.OnKeyUp(code); }); }
    void Close() { Act([&] { dialog.OnCloseRequest(); }); }

    const std::string& Text(int id) const { return dialog.State(Index(id)).text; }
    int Checked(int id) const { return dialog.State(Index(id)).checked; }
    bool Visible(int id) const { return dialog.State(Index(id)).visible; }
    bool Ended() const { return ended; }

    // ---- DialogHost ---------------------------------------------------------------------
    void ControlChanged(int) override {}
    void SetFocus(int index) override { focus.push_back(dialog.ControlAt(index).id); }
    void BringToTop() override { ++broughtToTop; }
    void EndDialog(int code) override {
        if (ended) return;
        ended = true;
        endCode = code;
    }
    void PostCloseRequest() override { closePosted = true; }
    MsgAnswer ShowMessage(int id, const std::string& text, MsgButtons buttons) override;

    CDialog& dialog;
    DialogFakePlatform& platform;
    bool ended = false;
    int endCode = 0;
    bool closePosted = false;
    int broughtToTop = 0;
    std::vector<int> focus;  // control ids, in the order the dialog focused them

private:
    int Index(int id) const {
        const int index = dialog.IndexOf(id);
        EXPECT_GE(index, 0) << "dialog " << dialog.Id() << " has no control " << id;
        return index < 0 ? 0 : index;
    }
    template <class F>
    void Act(F f) {
        if (ended) {
            ADD_FAILURE() << "dialog " << dialog.Id() << " already ended";
            return;
        }
        f();
        while (closePosted && !ended) {
            closePosted = false;
            dialog.OnCloseRequest();
        }
    }
};

// A dialog's controls as they stood at one moment.
struct DialogSnapshot {
    int id = 0;
    std::vector<ControlState> states;
    std::vector<int> focus;
    int broughtToTop = 0;
    int endCode = 0;

    const ControlState& Control(const CDialog& d, int controlId) const {
        return states[size_t(d.IndexOf(controlId))];
    }
};

class DialogFakePlatform : public paneltest::PanelFakePlatform {
public:
    using Script = std::function<void(ScriptedDialog&)>;
    std::deque<Script> scripts;
    std::vector<DialogSnapshot> opened;  // every dialog just after its initialisation
    std::vector<DialogSnapshot> closed;  // ... and as it ended
    std::vector<std::string> messageTexts;

    MsgAnswer ShowMessage(int id, const std::string& text, MsgButtons buttons) override {
        messageTexts.push_back(text);
        return PanelFakePlatform::ShowMessage(id, text, buttons);
    }

    int RunDialog(CDialog& dialog) override {
        dialogs.push_back(dialog.Id());
        ScriptedDialog host(dialog, *this);
        dialog.Attach(&host);
        dialog.OnInitDialog();
        opened.push_back(Snapshot(dialog, host));
        if (scripts.empty()) {
            ADD_FAILURE() << "dialog " << dialog.Id() << " opened with no script queued";
            host.Close();
        } else {
            Script script = scripts.front();
            scripts.pop_front();
            script(host);
        }
        if (!host.ended) {
            ADD_FAILURE() << "dialog " << dialog.Id() << " still open after its script";
            host.EndDialog(2);
        }
        dialog.OnDestroy();
        dialog.Attach(nullptr);
        closed.push_back(Snapshot(dialog, host));
        return host.endCode;
    }

private:
    static DialogSnapshot Snapshot(const CDialog& dialog, const ScriptedDialog& host) {
        DialogSnapshot s;
        s.id = dialog.Id();
        for (int i = 0; i < dialog.ControlCount(); ++i) s.states.push_back(dialog.State(i));
        s.focus = host.focus;
        s.broughtToTop = host.broughtToTop;
        s.endCode = host.endCode;
        return s;
    }
};

inline MsgAnswer ScriptedDialog::ShowMessage(int id, const std::string& text, MsgButtons buttons) {
    return platform.ShowMessage(id, text, buttons);
}

}  // namespace vellum::dialogtest
