// Templates of the stylus settings (130), colour entry (131), key settings (132), key
// capture (133) and picture size (134) dialogs, in dialog units. Template order is tab order, and the index of
// a control here is what a language module translates it by.
#include <cstddef>
#include <initializer_list>

#include "resources/DialogTemplate.h"

namespace vellum {

namespace {

constexpr const char* kDialogFont = "ＭＳ Ｐゴシック";
constexpr uint32_t kCheck = StyleAutoCheck | StyleTabStop;
constexpr uint32_t kNumberEdit = StyleDigitsOnly | StyleAutoHScroll | StyleBorder | StyleTabStop;
constexpr uint32_t kSpin =
    StyleHorizontal | StyleAutoBuddy | StyleSetBuddyInt | StyleArrowKeys | StyleNoThousands;
constexpr uint32_t kKeyEdit = StyleDigitsOnly | StyleBorder | StyleTabStop;

template <size_t N>
constexpr int CountOf(const ControlTemplate (&)[N]) {
    return int(N);
}

// ---- 130: stylus settings -----------------------------------------------------------

const ControlTemplate kStylusControls[] = {
    {ControlKind::CheckBox, IDC_STYLUS_INPUT, 10, 15, 85, 10, kCheck, "スタイラス入力方式"},
    {ControlKind::CheckBox, IDC_ANTI_JUMP, 10, 25, 75, 10, kCheck, "飛び防止"},
    {ControlKind::RadioButton, IDC_SMOOTH_NONE, 10, 65, 95, 10, StyleAutoCheck | StyleGroupStart, "なし"},
    {ControlKind::RadioButton, IDC_SMOOTH_NORMAL, 10, 75, 95, 10, StyleAutoCheck, "ふつう"},
    {ControlKind::RadioButton, IDC_SMOOTH_SLIGHT, 10, 85, 95, 10, StyleAutoCheck, "ややなめらか"},
    {ControlKind::RadioButton, IDC_SMOOTH_SMOOTH, 10, 95, 95, 10, StyleAutoCheck, "なめらか"},
    {ControlKind::PushButton, 1, 5, 115, 55, 20, StyleDefaultButton | StyleTabStop, "OK"},
    {ControlKind::PushButton, 2, 60, 115, 55, 20, StyleTabStop, "Cancel"},
    // The options box leaves room for a third line, which stays empty.
    {ControlKind::GroupBox, -1, 5, 5, 110, 45, StyleNone, "オプション"},
    {ControlKind::GroupBox, -1, 5, 55, 110, 55, StyleNone, "線なめらか処理"},
};

// ---- 131: colour entry --------------------------------------------------------------

// Each up-down control follows its edit, which it takes as its buddy.
const ControlTemplate kColourControls[] = {
    {ControlKind::Static, -1, 5, 10, 10, 10, StyleLeftAlign, "R"},
    {ControlKind::Edit, IDC_RED_EDIT, 15, 5, 30, 15, kNumberEdit, nullptr},
    {ControlKind::UpDown, IDC_RED_SPIN, 45, 5, 50, 15, kSpin, nullptr},
    {ControlKind::Static, -1, 5, 25, 10, 10, StyleLeftAlign, "G"},
    {ControlKind::Edit, IDC_GREEN_EDIT, 15, 20, 30, 15, kNumberEdit, nullptr},
    {ControlKind::UpDown, IDC_GREEN_SPIN, 45, 20, 50, 15, kSpin, nullptr},
    {ControlKind::Static, -1, 5, 40, 10, 10, StyleLeftAlign, "B"},
    {ControlKind::Edit, IDC_BLUE_EDIT, 15, 35, 30, 15, kNumberEdit, nullptr},
    {ControlKind::UpDown, IDC_BLUE_SPIN, 45, 35, 50, 15, kSpin, nullptr},
    {ControlKind::CheckBox, IDC_COLOUR_FILTER, 5, 55, 95, 10, kCheck, "この色でフィルターをかける"},
    {ControlKind::PushButton, 2, 35, 70, 30, 20, StyleTabStop, "Cancel"},
    {ControlKind::PushButton, 1, 65, 70, 30, 20, StyleDefaultButton | StyleTabStop, "OK"},
};

// ---- 132: key settings --------------------------------------------------------------

// Left column from the top: eyedropper, zoom, overwrite save, darker, lighter; right
// column: next pen, previous pen, next paper, previous paper. Only the first two rows
// are shown; the others are hidden when the dialog opens.
const ControlTemplate kKeyControls[] = {
    {ControlKind::Edit, 1010, 35, 5, 20, 15, kKeyEdit, nullptr},      // eyedropper
    {ControlKind::PushButton, 1011, 55, 5, 10, 15, StyleTabStop, nullptr},
    {ControlKind::Edit, 1026, 35, 20, 20, 15, kKeyEdit, nullptr},     // zoom
    {ControlKind::PushButton, 1027, 55, 20, 10, 15, StyleTabStop, nullptr},
    {ControlKind::Edit, 1012, 35, 35, 20, 15, kKeyEdit, nullptr},     // overwrite save
    {ControlKind::PushButton, 1013, 55, 35, 10, 15, StyleTabStop, nullptr},
    {ControlKind::Edit, 1014, 35, 50, 20, 15, kKeyEdit, nullptr},     // darker
    {ControlKind::PushButton, 1015, 55, 50, 10, 15, StyleTabStop, nullptr},
    {ControlKind::Edit, 1016, 35, 65, 20, 15, kKeyEdit, nullptr},     // lighter
    {ControlKind::PushButton, 1017, 55, 65, 10, 15, StyleTabStop, nullptr},
    {ControlKind::Edit, 1018, 101, 5, 19, 15, kKeyEdit, nullptr},     // next pen
    {ControlKind::PushButton, 1019, 120, 5, 10, 15, StyleTabStop, nullptr},
    {ControlKind::Edit, 1020, 101, 20, 19, 15, kKeyEdit, nullptr},    // previous pen
    {ControlKind::PushButton, 1021, 120, 20, 10, 15, StyleTabStop, nullptr},
    {ControlKind::Edit, 1022, 101, 35, 19, 15, kKeyEdit, nullptr},    // next paper
    {ControlKind::PushButton, 1023, 120, 35, 10, 15, StyleTabStop, nullptr},
    {ControlKind::Edit, 1024, 101, 50, 19, 15, kKeyEdit, nullptr},    // previous paper
    {ControlKind::PushButton, 1025, 120, 50, 10, 15, StyleTabStop, nullptr},
    {ControlKind::PushButton, 1, 40, 85, 45, 20, StyleDefaultButton | StyleTabStop, "OK"},
    {ControlKind::PushButton, 2, 85, 85, 45, 20, StyleTabStop, "Cancel"},
    {ControlKind::Static, -1, 0, 10, 30, 10, StyleLeftAlign, "スポイト"},
    {ControlKind::Static, -1, 0, 25, 35, 10, StyleLeftAlign, "ズーム"},
    {ControlKind::Static, 1028, 0, 40, 35, 10, StyleLeftAlign, "上書保存"},
    {ControlKind::Static, 1029, 0, 55, 30, 10, StyleLeftAlign, "色濃く"},
    {ControlKind::Static, 1030, 0, 70, 30, 10, StyleLeftAlign, "色薄く"},
    {ControlKind::Static, 1031, 65, 10, 30, 10, StyleLeftAlign, "次のペン"},
    {ControlKind::Static, 1032, 65, 25, 30, 10, StyleLeftAlign, "前のペン"},
    {ControlKind::Static, 1033, 65, 40, 30, 10, StyleLeftAlign, "次の紙"},
    {ControlKind::Static, 1034, 65, 55, 30, 10, StyleLeftAlign, "前の紙"},
};

// ---- 133: key capture ---------------------------------------------------------------

// Nothing can take the focus, so the dialog itself receives the keys.
const ControlTemplate kCaptureControls[] = {
    {ControlKind::Static, -1, 5, 10, 60, 20, StyleLeftAlign, "設定するキーを押してください"},
};

// ---- 134: picture size --------------------------------------------------------------

const ControlTemplate kPictureSizeControls[] = {
    {ControlKind::Static, -1, 5, 10, 30, 10, StyleLeftAlign, "幅"},
    {ControlKind::Edit, IDC_PICTURE_WIDTH, 35, 5, 35, 15, kNumberEdit, nullptr},
    {ControlKind::Static, -1, 75, 10, 30, 10, StyleLeftAlign, "ピクセル"},
    {ControlKind::Static, -1, 5, 28, 30, 10, StyleLeftAlign, "高さ"},
    {ControlKind::Edit, IDC_PICTURE_HEIGHT, 35, 23, 35, 15, kNumberEdit, nullptr},
    {ControlKind::Static, -1, 75, 28, 30, 10, StyleLeftAlign, "ピクセル"},
    {ControlKind::PushButton, 2, 45, 45, 30, 20, StyleTabStop, "Cancel"},
    {ControlKind::PushButton, 1, 75, 45, 30, 20, StyleDefaultButton | StyleTabStop, "OK"},
};

}  // namespace

const DialogTemplate kStylusSettingsTemplate = {
    IDD_STYLUS_SETTINGS, "Stylus Setting", kDialogFont, 9, 123, 145,
    kStylusControls, CountOf(kStylusControls),
};

const DialogTemplate kColourEntryTemplate = {
    IDD_COLOUR_ENTRY, "色数値入力", kDialogFont, 9, 101, 95,
    kColourControls, CountOf(kColourControls),
};

const DialogTemplate kKeySettingsTemplate = {
    IDD_KEY_SETTINGS, "キー設定", kDialogFont, 8, 132, 109,
    kKeyControls, CountOf(kKeyControls),
};

const DialogTemplate kKeyCaptureTemplate = {
    IDD_KEY_CAPTURE, "キー入力", kDialogFont, 9, 71, 39,
    kCaptureControls, CountOf(kCaptureControls),
};

const DialogTemplate kPictureSizeTemplate = {
    IDD_PICTURE_SIZE, "絵の大きさ", kDialogFont, 9, 110, 70,
    kPictureSizeControls, CountOf(kPictureSizeControls),
};

const DialogTemplate* FindDialogTemplate(int id) {
    for (const DialogTemplate* t : {&kAboutDialogTemplate, &kStylusSettingsTemplate,
                                    &kColourEntryTemplate, &kKeySettingsTemplate,
                                    &kKeyCaptureTemplate, &kPictureSizeTemplate})
        if (t->id == id) return t;
    return nullptr;
}

}  // namespace vellum
