#include "dialogs/PictureSizeDialog.h"

#include "engine/Picture.h"
#include "resources/DialogTemplate.h"

namespace vellum {

CPictureSizeDialog::CPictureSizeDialog(Platform& p) : CDialog(kPictureSizeTemplate, p) {}

void CPictureSizeDialog::OnInitDialog() {
    CDialog::OnInitDialog();
    FocusControl(IDC_PICTURE_WIDTH);
}

bool CPictureSizeDialog::DoDataExchange(bool save) {
    // Read into copies: the first refused number keeps the dialog open with the focus on
    // its edit, and the fields stay as they were.
    int32_t w = width, h = height;
    if (!ExchangeInt(save, IDC_PICTURE_WIDTH, w) || !ValidateRange(save, IDC_PICTURE_WIDTH, w, 1, kMaxPictureSide))
        return false;
    if (!ExchangeInt(save, IDC_PICTURE_HEIGHT, h) || !ValidateRange(save, IDC_PICTURE_HEIGHT, h, 1, kMaxPictureSide))
        return false;
    width = w;
    height = h;
    return true;
}

}  // namespace vellum
