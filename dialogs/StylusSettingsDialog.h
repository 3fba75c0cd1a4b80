#pragma once
// The stylus settings dialog (template 130): the stylus input method, jump prevention and
// the line-smoothing level. Its caller fills the fields and reads them back after OK.
#include <cstdint>

#include "dialogs/Dialog.h"

namespace vellum {

class CStylusSettingsDialog : public CDialog {
public:
    explicit CStylusSettingsDialog(Platform& platform);

    int32_t antiJumpCheck = 0;     // check 1001
    int32_t stylusCheck = 0;       // check 1000
    int32_t smoothingChoice = -1;  // index of the checked smoothing radio, -1 for none

protected:
    bool DoDataExchange(bool save) override;
};

}  // namespace vellum
