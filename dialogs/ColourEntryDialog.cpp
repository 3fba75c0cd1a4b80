#include "dialogs/ColourEntryDialog.h"

#include <initializer_list>

#include "resources/DialogTemplate.h"

namespace vellum {

CColourEntryDialog::CColourEntryDialog(Platform& p) : CDialog(kColourEntryTemplate, p) {}

void CColourEntryDialog::OnInitDialog() {
    CDialog::OnInitDialog();
    for (int id : {IDC_RED_SPIN, IDC_GREEN_SPIN, IDC_BLUE_SPIN}) SetRange(id, 0, 255);
    FocusControl(IDC_RED_EDIT);
}

bool CColourEntryDialog::DoDataExchange(bool save) {
    // The up-down controls are reached by id and need no binding of their own.
    // Read into copies, tested blue, green, red: the first refused number keeps the
    // dialog open with the focus on its edit, and the fields stay as they were.
    int32_t b = blue, g = green, r = red;
    if (!ExchangeInt(save, IDC_BLUE_EDIT, b) || !ValidateRange(save, IDC_BLUE_EDIT, b, 0, 255))
        return false;
    if (!ExchangeInt(save, IDC_GREEN_EDIT, g) || !ValidateRange(save, IDC_GREEN_EDIT, g, 0, 255))
        return false;
    if (!ExchangeInt(save, IDC_RED_EDIT, r) || !ValidateRange(save, IDC_RED_EDIT, r, 0, 255))
        return false;
    blue = b;
    green = g;
    red = r;
    ExchangeCheck(save, IDC_COLOUR_FILTER, filter);
    return true;
}

}  // namespace vellum
