#include "dialogs/KeySettingsDialog.h"

#include "dialogs/KeyNames.h"
#include "resources/DialogTemplate.h"

namespace vellum {

namespace {

// F23 and F24 do not end the capture: a following release replaces them.
constexpr uint32_t kKeyF23 = 134;
constexpr uint32_t kKeyF24 = 135;

// What a capture closed without any key gives: no key event ever carries it.
constexpr uint32_t kNoKeyCode = 1;

}  // namespace

CKeySettingsDialog::CKeySettingsDialog(Platform& p) : CDialog(kKeySettingsTemplate, p) {}

void CKeySettingsDialog::OnInitDialog() {
    CDialog::OnInitDialog();
    // All nine rows act, so all nine are offered; each set button names its row's key.
    for (int row = 0; row < 9; ++row) ShowKeyName(row);
}

void CKeySettingsDialog::ShowKeyName(int row) {
    uint32_t code = 0;
    // A half-typed or emptied edit names no key.
    if (!PeekUInt(kKeyEditIds[row], code)) code = 0;
    SetControlText(kKeyButtonIds[row], KeyName(code));
}

void CKeySettingsDialog::OnEditTextChanged(int id) {
    for (int row = 0; row < 9; ++row)
        if (kKeyEditIds[row] == id) ShowKeyName(row);
}

bool CKeySettingsDialog::DoDataExchange(bool save) {
    // Every edit must hold a number before any code is taken over.
    uint32_t read[9];
    for (int row = 0; row < 9; ++row) {
        read[row] = codes[row];
        if (!ExchangeUInt(save, kKeyEditIds[row], read[row])) return false;
    }
    for (int row = 0; row < 9; ++row) codes[row] = read[row];
    return true;
}

void CKeySettingsDialog::OnButton(int id) {
    for (int row = 0; row < 9; ++row) {
        if (kKeyButtonIds[row] != id) continue;
        CKeyCaptureDialog capture(platform);
        platform.RunDialog(capture);  // however it ended, its code counts
        codes[row] = capture.keyCode;
        // All nine edits show the stored codes again: digits typed but not confirmed go.
        DoDataExchange(false);
        for (int r = 0; r < 9; ++r) ShowKeyName(r);
        return;
    }
}

CKeyCaptureDialog::CKeyCaptureDialog(Platform& p) : CDialog(kKeyCaptureTemplate, p) {}

void CKeyCaptureDialog::OnInitDialog() {
    CDialog::OnInitDialog();
    captured = 0;
    keyCode = 0;
}

void CKeyCaptureDialog::OnKeyUp(uint32_t code) {
    // Only releases count, so a key already down when the dialog opened is captured too.
    keyCode = code;
    captured = 1;
    if (code != kKeyF23 && code != kKeyF24 && host) host->PostCloseRequest();
}

void CKeyCaptureDialog::OnCloseRequest() {
    if (!captured) keyCode = kNoKeyCode;
    CDialog::OnCloseRequest();
}

void CKeyCaptureDialog::OnDestroy() {
    CDialog::OnDestroy();
    if (!captured) keyCode = kNoKeyCode;
}

}  // namespace vellum
