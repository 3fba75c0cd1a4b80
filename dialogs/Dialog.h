#pragma once
// A modal dialog is our own object: its template as data (caption, font, size and
// controls in dialog units), the state of its controls, its data exchange and its
// handlers. The platform builds the real window from the template, mirrors the control
// states, and routes the user's actions to the handlers below.
#include <cstdint>
#include <string>
#include <vector>

#include "seam/Platform.h"
#include "resources/DialogTemplate.h"

namespace vellum {

// A control as it stands: the platform shows it, the user changes it.
struct ControlState {
    std::string text;       // edits and labels; buttons' captions
    int checked = 0;        // check boxes and radio buttons
    bool visible = true;
    int rangeLow = 0;       // up-down controls
    int rangeHigh = 100;
};

// What a dialog may ask of the platform while it runs.
class DialogHost {
public:
    virtual ~DialogHost() = default;
    // The system changed control index's text, check or visibility: show it.
    virtual void ControlChanged(int index) = 0;
    virtual void SetFocus(int index) = 0;
    virtual void BringToTop() = 0;
    // Closes the dialog with this end code (1 OK, 2 Cancel); the dialog's OnDestroy runs.
    virtual void EndDialog(int code) = 0;
    // Posts the dialog a close request, handled after the current handler (OnCloseRequest).
    virtual void PostCloseRequest() = 0;
    virtual MsgAnswer ShowMessage(int id, const std::string& text, MsgButtons buttons) = 0;
};

class CDialog {
public:
    CDialog(const DialogTemplate& dialogTemplate, Platform& platform);
    virtual ~CDialog();
    CDialog(const CDialog&) = delete;
    CDialog& operator=(const CDialog&) = delete;

    const DialogTemplate& Template() const { return tpl; }
    int Id() const { return tpl.id; }
    // The caption and the font from the active resources.
    std::string Caption() const;
    int ControlCount() const { return tpl.controlCount; }
    const ControlTemplate& ControlAt(int index) const { return tpl.controls[index]; }
    ControlState& State(int index) { return states[size_t(index)]; }
    const ControlState& State(int index) const { return states[size_t(index)]; }
    // The index of the control with this id, or -1.
    int IndexOf(int id) const;

    // ---- Run by the platform ----------------------------------------------------------
    // Called once the real window and its controls exist; host lives until the end.
    void Attach(DialogHost* host);
    virtual void OnInitDialog();
    // The user typed into an edit (the new whole text).
    void OnEditChanged(int index, const std::string& text);
    // A click on a push button, check box or radio button.
    virtual void OnClicked(int index);
    // An up-down control pressed count times (negative: the other arrow).
    virtual void OnSpin(int index, int count);
    virtual void OnKeyUp(uint32_t code);
    // The caption's close control, or a posted close request.
    virtual void OnCloseRequest();
    // The window is being destroyed, however it was closed.
    virtual void OnDestroy();
    // The end code once the dialog ended (0 while running).
    int EndCode() const { return endCode; }
    void SetEndCode(int code) { endCode = code; }

protected:
    virtual void OnOK();
    virtual void OnCancel();
    // Moves values between the fields and the controls; false when a control's value is
    // refused (the message was shown and the focus put back on it).
    virtual bool DoDataExchange(bool save);
    // A click on a push button other than OK (1) and Cancel (2).
    virtual void OnButton(int id) {}
    // The user changed the text of the edit with this id.
    virtual void OnEditTextChanged(int id) {}

    // Data exchange helpers, by control id.
    bool ExchangeInt(bool save, int id, int32_t& value);
    bool ExchangeUInt(bool save, int id, uint32_t& value);
    bool ValidateRange(bool save, int id, int32_t value, int32_t low, int32_t high);
    void ExchangeCheck(bool save, int id, int32_t& value);
    // A radio group from its first button: the checked index, or -1.
    void ExchangeRadio(bool save, int firstId, int32_t& index);
    void ShowControl(int id, bool show);
    void SetControlText(int id, const std::string& text);
    // The number an edit holds now, without a message when it holds none.
    bool PeekUInt(int id, uint32_t& value) const;
    void SetRange(int id, int low, int high);
    void FocusControl(int id);
    void EndDialog(int code);

    Platform& platform;
    DialogHost* host = nullptr;

private:
    // ExchangeInt and ExchangeUInt: a number within low..high.
    bool ExchangeNumber(bool save, int id, long long& value, long long low, long long high);

    const DialogTemplate& tpl;
    std::vector<ControlState> states;
    int endCode = 0;
};

}  // namespace vellum
