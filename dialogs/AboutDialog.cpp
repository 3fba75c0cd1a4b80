// The About box shows the product and credits lines of the active string table.
#include "dialogs/AboutDialog.h"

#include "resources/Resources.h"

namespace vellum {

CAboutDialog::CAboutDialog(Platform& p) : CDialog(kAboutDialogTemplate, p) {
    const Resources& res = Resources::Active();
    // A module's own dialog text, if it gives one, wins over its string table.
    ControlState& product = State(IndexOf(IDC_ABOUT_PRODUCT));
    if (product.text.empty()) product.text = res.String(IDS_ABOUT_PRODUCT);
    ControlState& credits = State(IndexOf(IDC_ABOUT_CREDITS));
    if (credits.text.empty()) credits.text = res.String(IDS_ABOUT_CREDITS);
}

}  // namespace vellum
