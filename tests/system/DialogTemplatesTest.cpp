// The dialog templates control by control: kind, id, rectangle in dialog units, the
// styles that matter and the built-in text, in template order (which is the tab order
// and the index a language module translates by). A moved or reordered control changes
// no transcript, so it is pinned here.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "resources/DialogTemplate.h"

namespace vellum {
namespace {

struct Expected {
    ControlKind kind;
    int id;
    int x, y, w, h;
    uint32_t style;
    const char* text;  // nullptr: no text of its own
};

constexpr uint32_t kCheck = StyleAutoCheck | StyleTabStop;
constexpr uint32_t kNumberEdit = StyleDigitsOnly | StyleAutoHScroll | StyleBorder | StyleTabStop;
constexpr uint32_t kSpin = StyleHorizontal | StyleAutoBuddy | StyleSetBuddyInt | StyleArrowKeys | StyleNoThousands;
constexpr uint32_t kKeyEdit = StyleDigitsOnly | StyleBorder | StyleTabStop;
constexpr uint32_t kOk = StyleDefaultButton | StyleTabStop;
constexpr ControlKind E = ControlKind::Edit, B = ControlKind::PushButton, S = ControlKind::Static;

void ExpectTemplate(const DialogTemplate& t, int id, const char* caption, int points, int width,
                    int height, const std::vector<Expected>& controls) {
    EXPECT_EQ(t.id, id);
    EXPECT_STREQ(t.caption, caption) << id;
    EXPECT_STREQ(t.fontFace, "ＭＳ Ｐゴシック") << id;
    EXPECT_EQ(t.pointSize, points) << id;
    EXPECT_EQ(t.width, width) << id;
    EXPECT_EQ(t.height, height) << id;
    ASSERT_EQ(t.controlCount, int(controls.size())) << id;
    for (int i = 0; i < t.controlCount; ++i) {
        const ControlTemplate& c = t.controls[i];
        const Expected& e = controls[size_t(i)];
        const std::string where = "dialog " + std::to_string(id) + " control " + std::to_string(i);
        EXPECT_EQ(c.kind, e.kind) << where;
        EXPECT_EQ(c.id, e.id) << where;
        EXPECT_EQ(c.x, e.x) << where;
        EXPECT_EQ(c.y, e.y) << where;
        EXPECT_EQ(c.w, e.w) << where;
        EXPECT_EQ(c.h, e.h) << where;
        // Only the styles named for the control; the left alignment of labels is ours.
        EXPECT_EQ(c.style & ~uint32_t(StyleLeftAlign), e.style) << where;
        if (e.text)
            EXPECT_STREQ(c.text ? c.text : "", e.text) << where;
        else
            EXPECT_TRUE(c.text == nullptr || *c.text == 0) << where;
    }
}

TEST(DialogTemplates, StylusSettingsInTabOrder) {
    const uint32_t radio = StyleAutoCheck;
    ExpectTemplate(kStylusSettingsTemplate, 130, "Stylus Setting", 9, 123, 145,
                   {{ControlKind::CheckBox, 1000, 10, 15, 85, 10, kCheck, "スタイラス入力方式"},
                    {ControlKind::CheckBox, 1001, 10, 25, 75, 10, kCheck, "飛び防止"},
                    {ControlKind::RadioButton, 1002, 10, 65, 95, 10, radio | StyleGroupStart, "なし"},
                    {ControlKind::RadioButton, 1003, 10, 75, 95, 10, radio, "ふつう"},
                    {ControlKind::RadioButton, 1004, 10, 85, 95, 10, radio, "ややなめらか"},
                    {ControlKind::RadioButton, 1005, 10, 95, 95, 10, radio, "なめらか"},
                    {B, 1, 5, 115, 55, 20, kOk, "OK"},
                    {B, 2, 60, 115, 55, 20, StyleTabStop, "Cancel"},
                    {ControlKind::GroupBox, -1, 5, 5, 110, 45, StyleNone, "オプション"},
                    {ControlKind::GroupBox, -1, 5, 55, 110, 55, StyleNone, "線なめらか処理"}});
}

TEST(DialogTemplates, ColourEntryInTabOrder) {
    ExpectTemplate(kColourEntryTemplate, 131, "色数値入力", 9, 101, 95,
                   {{S, -1, 5, 10, 10, 10, StyleNone, "R"},
                    {E, 1003, 15, 5, 30, 15, kNumberEdit, nullptr},
                    {ControlKind::UpDown, 1004, 45, 5, 50, 15, kSpin, nullptr},
                    {S, -1, 5, 25, 10, 10, StyleNone, "G"},
                    {E, 1005, 15, 20, 30, 15, kNumberEdit, nullptr},
                    {ControlKind::UpDown, 1006, 45, 20, 50, 15, kSpin, nullptr},
                    {S, -1, 5, 40, 10, 10, StyleNone, "B"},
                    {E, 1007, 15, 35, 30, 15, kNumberEdit, nullptr},
                    {ControlKind::UpDown, 1008, 45, 35, 50, 15, kSpin, nullptr},
                    {ControlKind::CheckBox, 1036, 5, 55, 95, 10, kCheck, "この色でフィルターをかける"},
                    {B, 2, 35, 70, 30, 20, StyleTabStop, "Cancel"},
                    {B, 1, 65, 70, 30, 20, kOk, "OK"}});
}

TEST(DialogTemplates, KeySettingsEditsAndButtonsThenOkCancelThenLabels) {
    const uint32_t set = StyleTabStop;
    ExpectTemplate(kKeySettingsTemplate, 132, "キー設定", 8, 132, 109,
                   {// Left column: eyedropper, zoom, overwrite save, darker, lighter.
                    {E, 1010, 35, 5, 20, 15, kKeyEdit, nullptr},
                    {B, 1011, 55, 5, 10, 15, set, nullptr},
                    {E, 1026, 35, 20, 20, 15, kKeyEdit, nullptr},
                    {B, 1027, 55, 20, 10, 15, set, nullptr},
                    {E, 1012, 35, 35, 20, 15, kKeyEdit, nullptr},
                    {B, 1013, 55, 35, 10, 15, set, nullptr},
                    {E, 1014, 35, 50, 20, 15, kKeyEdit, nullptr},
                    {B, 1015, 55, 50, 10, 15, set, nullptr},
                    {E, 1016, 35, 65, 20, 15, kKeyEdit, nullptr},
                    {B, 1017, 55, 65, 10, 15, set, nullptr},
                    // Right column: next pen, previous pen, next paper, previous paper.
                    {E, 1018, 101, 5, 19, 15, kKeyEdit, nullptr},
                    {B, 1019, 120, 5, 10, 15, set, nullptr},
                    {E, 1020, 101, 20, 19, 15, kKeyEdit, nullptr},
                    {B, 1021, 120, 20, 10, 15, set, nullptr},
                    {E, 1022, 101, 35, 19, 15, kKeyEdit, nullptr},
                    {B, 1023, 120, 35, 10, 15, set, nullptr},
                    {E, 1024, 101, 50, 19, 15, kKeyEdit, nullptr},
                    {B, 1025, 120, 50, 10, 15, set, nullptr},
                    {B, 1, 40, 85, 45, 20, kOk, "OK"},
                    {B, 2, 85, 85, 45, 20, StyleTabStop, "Cancel"},
                    {S, -1, 0, 10, 30, 10, StyleNone, "スポイト"},
                    {S, -1, 0, 25, 35, 10, StyleNone, "ズーム"},
                    {S, 1028, 0, 40, 35, 10, StyleNone, "上書保存"},
                    {S, 1029, 0, 55, 30, 10, StyleNone, "色濃く"},
                    {S, 1030, 0, 70, 30, 10, StyleNone, "色薄く"},
                    {S, 1031, 65, 10, 30, 10, StyleNone, "次のペン"},
                    {S, 1032, 65, 25, 30, 10, StyleNone, "前のペン"},
                    {S, 1033, 65, 40, 30, 10, StyleNone, "次の紙"},
                    {S, 1034, 65, 55, 30, 10, StyleNone, "前の紙"}});
}

TEST(DialogTemplates, KeyCaptureHasOnlyItsLeftAlignedText) {
    ExpectTemplate(kKeyCaptureTemplate, 133, "キー入力", 9, 71, 39,
                   {{S, -1, 5, 10, 60, 20, StyleNone, "設定するキーを押してください"}});
    EXPECT_TRUE(kKeyCaptureTemplate.controls[0].style & StyleLeftAlign);
}

}  // namespace
}  // namespace vellum
