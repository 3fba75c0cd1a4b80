#pragma once
// The templates of the settings dialogs and their control ids. The templates carry the
// built-in Japanese texts; a language module replaces them by (dialog id, control index).
#include "dialogs/Dialog.h"

namespace vellum {

constexpr int IDD_STYLUS_SETTINGS = 130;
constexpr int IDD_COLOUR_ENTRY = 131;
constexpr int IDD_KEY_SETTINGS = 132;
constexpr int IDD_KEY_CAPTURE = 133;

// Stylus settings.
constexpr int IDC_STYLUS_INPUT = 1000;   // check "スタイラス入力方式"
constexpr int IDC_ANTI_JUMP = 1001;      // check "飛び防止"
constexpr int IDC_SMOOTH_NONE = 1002;    // first of the four smoothing radios
constexpr int IDC_SMOOTH_NORMAL = 1003;
constexpr int IDC_SMOOTH_SLIGHT = 1004;
constexpr int IDC_SMOOTH_SMOOTH = 1005;

// Colour entry: each channel's edit and the up-down control beside it.
constexpr int IDC_RED_EDIT = 1003;
constexpr int IDC_RED_SPIN = 1004;
constexpr int IDC_GREEN_EDIT = 1005;
constexpr int IDC_GREEN_SPIN = 1006;
constexpr int IDC_BLUE_EDIT = 1007;
constexpr int IDC_BLUE_SPIN = 1008;
constexpr int IDC_COLOUR_FILTER = 1036;

// Key settings: edit, set button and label of each row, in the view's key order
// (darker, lighter, next pen, next paper, previous pen, previous paper, save,
// eyedropper, zoom). The last two rows' labels have no id.
constexpr int kKeyEditIds[9] = {1014, 1016, 1018, 1022, 1020, 1024, 1012, 1010, 1026};
constexpr int kKeyButtonIds[9] = {1015, 1017, 1019, 1023, 1021, 1025, 1013, 1011, 1027};
constexpr int kKeyLabelIds[9] = {1029, 1030, 1031, 1033, 1032, 1034, 1028, -1, -1};

extern const DialogTemplate kStylusSettingsTemplate;
extern const DialogTemplate kColourEntryTemplate;
extern const DialogTemplate kKeySettingsTemplate;
extern const DialogTemplate kKeyCaptureTemplate;

// Every template of the program (the About box among them) by id; null when unknown.
const DialogTemplate* FindDialogTemplate(int id);

}  // namespace vellum
