#pragma once
// The dialog templates as data: caption, font, size and controls in dialog units, with
// the template and control ids. The built-in templates carry the Japanese texts; a
// language module replaces them by (dialog id, control index). Plain data: this header
// includes nothing of ours, so the string tables and the dialogs can both use it.
#include <cstdint>

namespace vellum {

enum class ControlKind { Static, Edit, CheckBox, RadioButton, GroupBox, UpDown, PushButton, Icon };

enum ControlStyle : uint32_t {
    StyleNone = 0,
    StyleDefaultButton = 1u << 0,  // push button: the default button (Enter)
    StyleDigitsOnly = 1u << 1,     // edit: accepts digits only
    StyleGroupStart = 1u << 2,     // radio: starts a group
    StyleTabStop = 1u << 3,
    StyleBorder = 1u << 4,
    StyleAutoHScroll = 1u << 5,    // edit: scrolls horizontally as one types
    StyleHorizontal = 1u << 6,     // up-down: left and right arrows
    StyleAutoBuddy = 1u << 7,      // up-down: its buddy is the control before it
    StyleSetBuddyInt = 1u << 8,    // up-down: writes its value into the buddy as an integer
    StyleArrowKeys = 1u << 9,      // up-down: the arrow keys step it
    StyleNoThousands = 1u << 10,   // up-down: no thousands separator
    StyleAutoCheck = 1u << 11,     // check box or radio: checks itself when clicked
    StyleLeftAlign = 1u << 12,     // static: left-aligned text
};

struct ControlTemplate {
    ControlKind kind;
    int id;         // -1 for controls without an id (labels, group boxes)
    int x, y, w, h; // dialog units
    uint32_t style;
    const char* text;  // built-in (Japanese) text; the active resources may replace it
};

struct DialogTemplate {
    int id;
    const char* caption;
    const char* fontFace;
    int pointSize;
    int width, height;  // dialog units
    const ControlTemplate* controls;
    int controlCount;
};

constexpr int IDD_STYLUS_SETTINGS = 130;
constexpr int IDD_COLOUR_ENTRY = 131;
constexpr int IDD_KEY_SETTINGS = 132;
constexpr int IDD_KEY_CAPTURE = 133;
constexpr int IDD_PICTURE_SIZE = 134;

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

// Picture size: the width and the height in pixels.
constexpr int IDC_PICTURE_WIDTH = 1100;
constexpr int IDC_PICTURE_HEIGHT = 1101;

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
extern const DialogTemplate kPictureSizeTemplate;

// Every template of the program (the About box among them) by id; null when unknown.
const DialogTemplate* FindDialogTemplate(int id);

constexpr int IDD_ABOUT = 100;
constexpr int IDI_APPLICATION_ICON = 128;
// The two text lines, so the platform and the tests can find them.
constexpr int IDC_ABOUT_PRODUCT = 1000;
constexpr int IDC_ABOUT_CREDITS = 1001;

extern const DialogTemplate kAboutDialogTemplate;

}  // namespace vellum
