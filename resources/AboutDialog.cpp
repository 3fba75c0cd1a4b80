// Template of the About box (dialog 100), 95 x 43 dialog units.
#include "resources/DialogTemplate.h"

namespace vellum {

namespace {

// The two lines carry no text of their own: they show strings 129 (the product name,
// an ideographic space and the version) and 130 (the credits), so a language module
// translates them in its string table.
const ControlTemplate kAboutControls[] = {
    {ControlKind::Icon, IDI_APPLICATION_ICON, 6, 6, 20, 20, StyleNone, nullptr},
    {ControlKind::Static, IDC_ABOUT_PRODUCT, 32, 10, 58, 9, StyleLeftAlign, nullptr},
    {ControlKind::Static, IDC_ABOUT_CREDITS, 6, 30, 84, 9, StyleLeftAlign, nullptr},
};

}  // namespace

const DialogTemplate kAboutDialogTemplate = {
    IDD_ABOUT, "Vellum", "ＭＳ Ｐゴシック", 9, 95, 43,
    kAboutControls, int(sizeof kAboutControls / sizeof kAboutControls[0]),
};

}  // namespace vellum
