// Modal dialogs run from the script: each takes the next queued `dialog` line, whose
// actions play the user's part; the dialog's handlers do the rest.
#include <initializer_list>

#include "dialogs/Dialog.h"
#include "platform/scenario/ScenarioPlatform.h"

namespace vellum {

namespace {

class ScenarioDialogHost : public DialogHost {
public:
    explicit ScenarioDialogHost(ScenarioPlatform& p) : platform(p) {}

    void ControlChanged(int) override {}
    void SetFocus(int) override {}
    void BringToTop() override {}
    // The window goes once the handler that ended it returns.
    void EndDialog(int code) override {
        if (ended) return;
        ended = true;
        endCode = code;
    }
    void PostCloseRequest() override { closeRequested = true; }
    MsgAnswer ShowMessage(int id, const std::string& text, MsgButtons buttons) override {
        return platform.ShowMessage(id, text, buttons);
    }

    ScenarioPlatform& platform;
    bool ended = false;
    int endCode = 0;
    bool closeRequested = false;
};

// Every control with an id except push buttons and up-down controls (whose number
// shows in their buddy edit), in template order: texts as they are, checks as 0 or 1.
std::string StateLine(const CDialog& dialog) {
    std::string line = "dialog " + std::to_string(dialog.Id()) + " open";
    for (int i = 0; i < dialog.ControlCount(); ++i) {
        const ControlTemplate& c = dialog.ControlAt(i);
        if (c.id < 0 || c.kind == ControlKind::PushButton || c.kind == ControlKind::UpDown) continue;
        const ControlState& s = dialog.State(i);
        line += " " + std::to_string(c.id) + "=";
        if (c.kind == ControlKind::CheckBox || c.kind == ControlKind::RadioButton)
            line += s.checked ? "1" : "0";
        else
            line += s.text;
    }
    return line;
}

std::string EndWord(int code) {
    if (code == 1) return "ok";
    if (code == 2) return "cancel";
    return std::to_string(code);
}

// The control an action names, which the user must be able to reach.
int ReachableControl(const CDialog& dialog, const DialogAnswerEntry& entry, const DialogAction& action,
                     std::initializer_list<ControlKind> kinds) {
    const int index = dialog.IndexOf(action.control);
    if (index < 0)
        FailScript(entry.line, "dialog " + std::to_string(dialog.Id()) + " has no control " +
                                   std::to_string(action.control) + " (" + action.source + ")");
    bool kindFits = false;
    for (ControlKind k : kinds) kindFits = kindFits || dialog.ControlAt(index).kind == k;
    if (!kindFits)
        FailScript(entry.line, "control " + std::to_string(action.control) +
                                   " does not take this action (" + action.source + ")");
    if (!dialog.State(index).visible)
        FailScript(entry.line, "control " + std::to_string(action.control) + " is hidden (" +
                                   action.source + ")");
    return index;
}

void RunAction(CDialog& dialog, const DialogAnswerEntry& entry, const DialogAction& action) {
    switch (action.kind) {
        case DialogAction::Set: {
            const int index = ReachableControl(dialog, entry, action, {ControlKind::Edit});
            dialog.OnEditChanged(index, action.text);
            break;
        }
        case DialogAction::Check: {
            const int index = ReachableControl(dialog, entry, action,
                                               {ControlKind::CheckBox, ControlKind::RadioButton});
            if (dialog.ControlAt(index).kind == ControlKind::CheckBox) {
                if ((dialog.State(index).checked != 0) != (action.number != 0)) dialog.OnClicked(index);
            } else if (action.number != 0) {
                dialog.OnClicked(index);
            } else {
                FailScript(entry.line, "a radio button is cleared by checking another (" +
                                           action.source + ")");
            }
            break;
        }
        case DialogAction::Spin: {
            const int index = ReachableControl(dialog, entry, action, {ControlKind::UpDown});
            dialog.OnSpin(index, int(action.number));
            break;
        }
        case DialogAction::Click: {
            const int index = ReachableControl(
                dialog, entry, action,
                {ControlKind::PushButton, ControlKind::CheckBox, ControlKind::RadioButton});
            dialog.OnClicked(index);
            break;
        }
        case DialogAction::KeyDown:
            break;
        case DialogAction::KeyUp:
            dialog.OnKeyUp(uint32_t(action.number));
            break;
        case DialogAction::Close:
            dialog.OnCloseRequest();
            break;
    }
}

}  // namespace

int ScenarioPlatform::RunDialog(CDialog& dialog) {
    ScenarioDialogHost host(*this);
    dialog.Attach(&host);
    dialog.OnInitDialog();
    const std::string opened = StateLine(dialog);
    if (dialogAnswers.empty()) FailUnanswered(opened, "no dialog queued");
    const DialogAnswerEntry entry = dialogAnswers.front();
    if (entry.id != dialog.Id())
        FailUnanswered(opened, "line " + std::to_string(entry.line.number) + " queues dialog " +
                                   std::to_string(entry.id) + ", not " + std::to_string(dialog.Id()));
    dialogAnswers.pop_front();
    Print(opened);
    const int64_t printedAtOpen = PrintCount();

    for (size_t i = 0; i < entry.actions.size(); ++i) {
        if (host.ended)
            FailScript(entry.line, "the dialog has ended before \"" + entry.actions[i].source + "\"");
        RunAction(dialog, entry, entry.actions[i]);
        // A posted close request is handled once the action's handler has returned.
        while (host.closeRequested && !host.ended) {
            host.closeRequested = false;
            dialog.OnCloseRequest();
        }
    }
    if (!host.ended) {
        // The dialog as it now stands is the open question.
        const std::string now = StateLine(dialog);
        FailUnanswered(PrintCount() > printedAtOpen ? now : std::string(),
                       "dialog " + std::to_string(dialog.Id()) + " is still open after line " +
                           std::to_string(entry.line.number));
    }
    dialog.OnDestroy();
    dialog.Attach(nullptr);
    Print("dialog " + std::to_string(dialog.Id()) + " end " + EndWord(host.endCode));
    return host.endCode;
}

}  // namespace vellum
