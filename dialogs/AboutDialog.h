#pragma once
// The About box (dialog 100): the program's icon, name and version, and a credits line.
// It has no buttons; the caption's close control ends it.
#include "dialogs/Dialog.h"

namespace vellum {

constexpr int IDD_ABOUT = 100;
constexpr int IDI_APPLICATION_ICON = 128;
// The two text lines, so the platform and the tests can find them.
constexpr int IDC_ABOUT_PRODUCT = 1000;
constexpr int IDC_ABOUT_CREDITS = 1001;

extern const DialogTemplate kAboutDialogTemplate;

class CAboutDialog : public CDialog {
public:
    explicit CAboutDialog(Platform& platform);
};

}  // namespace vellum
