#pragma once
// The About box (dialog 100): the program's icon, name and version, and a credits line.
// It has no buttons; the caption's close control ends it.
#include "dialogs/Dialog.h"

namespace vellum {

class CAboutDialog : public CDialog {
public:
    explicit CAboutDialog(Platform& platform);
};

}  // namespace vellum
