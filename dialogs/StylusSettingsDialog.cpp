#include "dialogs/StylusSettingsDialog.h"

#include "resources/DialogTemplate.h"

namespace vellum {

CStylusSettingsDialog::CStylusSettingsDialog(Platform& p) : CDialog(kStylusSettingsTemplate, p) {}

bool CStylusSettingsDialog::DoDataExchange(bool save) {
    ExchangeCheck(save, IDC_ANTI_JUMP, antiJumpCheck);
    ExchangeCheck(save, IDC_STYLUS_INPUT, stylusCheck);
    // A level outside the four buttons checks none of them, and none checked reads -1.
    ExchangeRadio(save, IDC_SMOOTH_NONE, smoothingChoice);
    return true;
}

}  // namespace vellum
