#pragma once
// The key settings dialog (template 132) and the key capture dialog (template 133).
// Key settings shows the nine key codes, each with its key's name on the row's set
// button, which runs the key capture: it waits for one key release.
#include <cstdint>

#include "dialogs/Dialog.h"

namespace vellum {

class CKeySettingsDialog : public CDialog {
public:
    explicit CKeySettingsDialog(Platform& platform);

    // In the view's order: darker, lighter, next pen, next paper, previous pen,
    // previous paper, save, eyedropper, zoom. 0 until the caller fills them.
    uint32_t codes[9] = {};

    void OnInitDialog() override;

protected:
    bool DoDataExchange(bool save) override;
    void OnButton(int id) override;
    void OnEditTextChanged(int id) override;

private:
    void ShowKeyName(int row);
};

class CKeyCaptureDialog : public CDialog {
public:
    explicit CKeyCaptureDialog(Platform& platform);

    int32_t captured = 0;  // 1 once a key was released
    uint32_t keyCode = 0;  // the released key's code; 1 when closed without one

    void OnInitDialog() override;
    void OnKeyUp(uint32_t code) override;
    void OnCloseRequest() override;
    void OnDestroy() override;
};

}  // namespace vellum
