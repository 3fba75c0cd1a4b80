// The stylus settings, colour entry, key settings and key capture dialogs, opened from
// their panel buttons on a view, played through their handlers by scripts.
#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "ViewTest.h"
#include "app/VellumView.h"
#include "dialogs/AboutDialog.h"
#include "dialogs/ColourEntryDialog.h"
#include "dialogs/KeySettingsDialog.h"
#include "dialogs/StylusSettingsDialog.h"
#include "resources/DialogTemplate.h"
#include "engine/pixel/PixelOps.h"
#include "resources/StringIds.h"

namespace vellum::dialogtest {
namespace {

using fake::DialogSnapshot;
using fake::Rect;
using fake::ScriptedDialog;
using Script = fake::FakePlatform::Script;

const char* const kRangeMessage = "0 から 255 までの整数を入力してください。";

class DialogTest : public fake::ViewTest {
protected:
    void SetUp() override {
        platform.strict = true;
        ViewTest::SetUp();
    }

    // Shows the panel at the top and taps the page's tab (panel y 10 + 20 * page + 10).
    void OpenPage(int page) {
        if (!view->panelShown) Tap(50, 10);
        Tap(20, 30 + 20 + 20 * page);
        ASSERT_EQ(view->panelPage, page);
    }
    // The pen and colour pages' button is panel (111..169, 91..114); the settings page's
    // is (66..214, 56..104).
    void StylusSettings(Script script) {
        OpenPage(PagePen);
        Run(PagePen, 140, 130, std::move(script));
    }
    void ColourEntry(Script script) {
        OpenPage(PageColour);
        Run(PageColour, 140, 130, std::move(script));
    }
    void KeySettings(Script script, std::vector<Script> captures = {}) {
        OpenPage(PageSettings);
        for (Script& s : captures) platform.scripts.push_back(std::move(s));
        Run(PageSettings, 140, 110, std::move(script));
    }
    // Taps the page's button with the dialog's script ahead of any queued captures.
    void Run(int page, int x, int y, Script script) {
        Forget();
        ASSERT_EQ(view->panelPage, page);
        platform.scripts.push_front(std::move(script));
        Tap(x, y);
        EXPECT_TRUE(platform.scripts.empty()) << "every queued dialog ran";
        platform.scripts.clear();
    }
    const DialogSnapshot& Opened(size_t i = 0) { return platform.opened.at(i); }

    // The value of a settings store line, "" when absent.
    std::string Stored(const std::string& name) {
        const std::string& text = platform.settingsText;
        const std::string key = "\n" + name + "=";
        const size_t at = ("\n" + text).find(key);
        if (at == std::string::npos) return "";
        const size_t from = at + key.size() - 1;
        return text.substr(from, text.find('\n', from) - from);
    }
};

std::vector<int> Checks(const DialogSnapshot& s, const CDialog& d, std::vector<int> ids) {
    std::vector<int> out;
    for (int id : ids) out.push_back(s.Control(d, id).checked);
    return out;
}

// ---- Templates ----------------------------------------------------------------------

TEST(DialogTemplates, ControlsLieInsideTheirDialogsWithUniqueIdsAndEditBuddies) {
    for (int id : {IDD_ABOUT, IDD_STYLUS_SETTINGS, IDD_COLOUR_ENTRY, IDD_KEY_SETTINGS, IDD_KEY_CAPTURE}) {
        const DialogTemplate* t = FindDialogTemplate(id);
        ASSERT_NE(t, nullptr) << id;
        EXPECT_EQ(t->id, id);
        std::set<int> ids;
        for (int i = 0; i < t->controlCount; ++i) {
            const ControlTemplate& c = t->controls[i];
            EXPECT_TRUE(c.x >= 0 && c.y >= 0 && c.x + c.w <= t->width && c.y + c.h <= t->height)
                << "dialog " << id << " control " << i;
            if (c.id >= 0) {
                EXPECT_TRUE(ids.insert(c.id).second) << "dialog " << id << " id " << c.id;
            }
            if (c.kind == ControlKind::UpDown) {
                ASSERT_GT(i, 0);
                EXPECT_EQ(t->controls[i - 1].kind, ControlKind::Edit) << "the buddy comes first";
            }
        }
    }
    EXPECT_EQ(FindDialogTemplate(129), nullptr);
}

TEST(DialogTemplates, KeyRowsLineUpLabelEditAndButton) {
    const DialogTemplate& t = kKeySettingsTemplate;
    auto find = [&](int id) -> const ControlTemplate& {
        for (int i = 0; i < t.controlCount; ++i)
            if (t.controls[i].id == id) return t.controls[i];
        ADD_FAILURE() << "no control " << id;
        return t.controls[0];
    };
    for (int row = 0; row < 9; ++row) {
        const ControlTemplate& edit = find(kKeyEditIds[row]);
        const ControlTemplate& button = find(kKeyButtonIds[row]);
        EXPECT_EQ(edit.kind, ControlKind::Edit);
        EXPECT_EQ(button.kind, ControlKind::PushButton);
        EXPECT_EQ(button.text, nullptr) << "set buttons have no caption";
        EXPECT_EQ(button.y, edit.y);
        EXPECT_EQ(button.x, edit.x + edit.w) << "the button sits right of its edit";
    }
    // The labels follow the edits, the set buttons, OK and Cancel. Label k -> row: eyedropper, zoom, save, darker, lighter,
    // next pen, previous pen, next paper, previous paper.
    const int rowOfLabel[9] = {7, 8, 6, 0, 1, 2, 4, 3, 5};
    for (int k = 0; k < 9; ++k) {
        const ControlTemplate& label = t.controls[20 + k];
        const ControlTemplate& edit = find(kKeyEditIds[rowOfLabel[k]]);
        EXPECT_EQ(label.kind, ControlKind::Static);
        EXPECT_EQ(label.id, kKeyLabelIds[rowOfLabel[k]]);
        EXPECT_EQ(label.y, edit.y + 5) << "label " << k;
        EXPECT_LE(label.x + label.w, edit.x) << "label " << k;
    }
}

// ---- Stylus settings ----------------------------------------------------------------

TEST_F(DialogTest, StylusPenTwoOpensOnNormalAndSmoothGivesFour) {
    StylusSettings([](ScriptedDialog& d) {
        d.Click(IDC_SMOOTH_SMOOTH);
        d.Click(1);
    });
    ASSERT_EQ(platform.dialogs, std::vector<int>{IDD_STYLUS_SETTINGS});
    CStylusSettingsDialog shape(platform);
    EXPECT_EQ(Checks(Opened(), shape, {IDC_STYLUS_INPUT, IDC_ANTI_JUMP}), (std::vector<int>{1, 0}));
    EXPECT_EQ(Checks(Opened(), shape, {1002, 1003, 1004, 1005}), (std::vector<int>{0, 1, 0, 0}));
    EXPECT_EQ(Opened().broughtToTop, 1);
    EXPECT_EQ(platform.fullScreenCalls, (std::vector<unsigned>{0x05, 0x0A}));
    EXPECT_EQ(view->smoothing, 4);
    EXPECT_EQ(view->stylusMode, 1);
    EXPECT_EQ(view->antiJump, 0);
    bool barShown = false;
    for (const Rect& r : platform.presents) barShown = barShown || r == Rect{0, 0, 240, 30};
    EXPECT_TRUE(barShown) << "the status bar is refreshed after OK";
}

TEST_F(DialogTest, StylusLevelOutsideOneToFourChecksNoneAndOkStoresZero) {
    for (int pen : {0, 5, 7, -3}) {
        view->smoothing = pen;
        StylusSettings([](ScriptedDialog& d) { d.Click(1); });
        CStylusSettingsDialog shape(platform);
        EXPECT_EQ(Checks(Opened(), shape, {1002, 1003, 1004, 1005}), (std::vector<int>{0, 0, 0, 0}))
            << "pen " << pen;
        EXPECT_EQ(view->smoothing, 0) << "pen " << pen;
    }
}

TEST_F(DialogTest, StylusChecksGoBothWaysAndReachTheStore) {
    view->antiJump = 5;  // any nonzero flag shows checked and comes back as 1
    StylusSettings([](ScriptedDialog& d) {
        EXPECT_EQ(d.Checked(IDC_ANTI_JUMP), 1);
        d.Click(IDC_STYLUS_INPUT);
        d.Click(IDC_SMOOTH_NONE);
        d.Click(1);
    });
    EXPECT_EQ(view->stylusMode, 0);
    EXPECT_EQ(view->antiJump, 1);
    EXPECT_EQ(view->smoothing, 1);
    StylusSettings([](ScriptedDialog& d) {
        EXPECT_EQ(d.Checked(IDC_STYLUS_INPUT), 0) << "opens unchecked the next time";
        EXPECT_EQ(d.Checked(IDC_SMOOTH_NONE), 1);
        d.Close();
    });
    view->ShutdownView();
    EXPECT_EQ(Stored("pen"), "1");
    EXPECT_EQ(Stored("stylus"), "0");
    EXPECT_EQ(Stored("antijump"), "1");
}

TEST_F(DialogTest, StylusCancelOrCloseLeavesAllThree) {
    for (bool close : {false, true}) {
        StylusSettings([close](ScriptedDialog& d) {
            d.Click(IDC_STYLUS_INPUT);
            d.Click(IDC_ANTI_JUMP);
            d.Click(IDC_SMOOTH_SLIGHT);
            close ? d.Close() : d.Click(2);
        });
        EXPECT_EQ(platform.closed.at(0).endCode, 2);
        EXPECT_EQ(view->stylusMode, 1);
        EXPECT_EQ(view->antiJump, 0);
        EXPECT_EQ(view->smoothing, 2);
        EXPECT_TRUE(platform.presents.empty()) << "nothing is redrawn";
        EXPECT_EQ(platform.fullScreenCalls, (std::vector<unsigned>{0x05, 0x0A})) << "framed anyway";
    }
}

// ---- Colour entry -------------------------------------------------------------------

class ColourEntryTest : public DialogTest {
protected:
    std::vector<std::string> Channels(const DialogSnapshot& s) {
        CColourEntryDialog shape(platform);
        return {s.Control(shape, IDC_RED_EDIT).text, s.Control(shape, IDC_GREEN_EDIT).text,
                s.Control(shape, IDC_BLUE_EDIT).text};
    }
    std::vector<int> Swatch() {
        const uint8_t* p = view->skinImage->At(130, 517);
        return {p[2], p[1], p[0]};
    }
    // A canvas whose every pixel differs: red from x, green from y, blue from both.
    void PaintPattern() {
        PixelSurface& c = view->picture.BaseCanvas();
        for (int y = 0; y < c.height; ++y)
            for (int x = 0; x < c.width; ++x) {
                uint8_t* p = c.At(x, y);
                p[2] = uint8_t(x);
                p[1] = uint8_t(y * 3);
                p[0] = uint8_t(x * 7 + y);
            }
    }
    std::vector<uint8_t> CanvasBytes() {
        const PixelSurface& c = view->picture.BaseCanvas();
        std::vector<uint8_t> out;
        for (int y = 0; y < c.height; ++y) out.insert(out.end(), c.At(0, y), c.At(0, y) + 3 * c.width);
        return out;
    }
    static Script Typed(int r, int g, int b, bool filter, int button = 1) {
        return [=](ScriptedDialog& d) {
            d.Set(IDC_RED_EDIT, std::to_string(r));
            d.Set(IDC_GREEN_EDIT, std::to_string(g));
            d.Set(IDC_BLUE_EDIT, std::to_string(b));
            if (filter) d.Click(IDC_COLOUR_FILTER);
            d.Click(button);
        };
    }
};

TEST_F(ColourEntryTest, OpensOnTheDisplayColourAfterAPickWithFocusOnRed) {
    OpenPage(PageColour);
    Tap(100, 80);  // a palette pick
    ASSERT_NE(view->currentColour, 0u);
    const std::vector<int> swatch = Swatch();
    Run(PageColour, 140, 130, [](ScriptedDialog& d) { d.Click(2); });
    ASSERT_EQ(platform.dialogs, std::vector<int>{IDD_COLOUR_ENTRY});
    EXPECT_EQ(Channels(Opened()), (std::vector<std::string>{std::to_string(swatch[0]),
                                                            std::to_string(swatch[1]),
                                                            std::to_string(swatch[2])}));
    EXPECT_EQ(uint32_t(swatch[0] | swatch[1] << 8 | swatch[2] << 16), view->currentColour);
    EXPECT_EQ(Opened().focus, std::vector<int>{IDC_RED_EDIT});
    EXPECT_EQ(Opened().broughtToTop, 1);
    CColourEntryDialog shape(platform);
    for (int spin : {IDC_RED_SPIN, IDC_GREEN_SPIN, IDC_BLUE_SPIN}) {
        EXPECT_EQ(Opened().Control(shape, spin).rangeLow, 0);
        EXPECT_EQ(Opened().Control(shape, spin).rangeHigh, 255);
    }
    EXPECT_EQ(Opened().Control(shape, IDC_COLOUR_FILTER).checked, 0);
}

TEST_F(ColourEntryTest, OkSetsTheTypedColourAtFullDensity) {
    view->colourDensity = 3.0;
    view->SetColour(0x00102030, true);
    const std::vector<int> shown = Swatch();
    ColourEntry(Typed(200, 100, 50, false));
    EXPECT_EQ(Channels(Opened()), (std::vector<std::string>{std::to_string(shown[0]),
                                                            std::to_string(shown[1]),
                                                            std::to_string(shown[2])}))
        << "the dialog starts from the colour as shown, density included";
    EXPECT_EQ(view->currentColour, 0x003264C8u);
    EXPECT_EQ(view->colourDensity, 0.0);
    EXPECT_EQ(Swatch(), (std::vector<int>{200, 100, 50}));
    EXPECT_EQ(view->modified, 0);
}

TEST_F(ColourEntryTest, OutOfRangeRedKeepsTheDialogOpenAndTheColour) {
    view->SetColour(0x00123456, true);
    const std::vector<int> swatch = Swatch();
    platform.answers = {MsgAnswer::Ok};
    ColourEntry([](ScriptedDialog& d) {
        d.Set(IDC_RED_EDIT, "300");
        d.Click(1);
        EXPECT_FALSE(d.Ended()) << "the dialog stays open";
        ASSERT_FALSE(d.focus.empty());
        EXPECT_EQ(d.focus.back(), IDC_RED_EDIT) << "the focus goes back to the number";
        d.Click(2);
    });
    EXPECT_EQ(platform.messages, std::vector<int>{IDS_PARSE_INT_RANGE});
    EXPECT_EQ(platform.messageTexts, std::vector<std::string>{kRangeMessage});
    EXPECT_EQ(view->currentColour, 0x00123456u);
    EXPECT_EQ(Swatch(), swatch);
}

TEST_F(ColourEntryTest, NumbersAreTestedBlueGreenRedAndEmptyIsRefused) {
    ColourEntry([](ScriptedDialog& d) {
        d.Set(IDC_RED_EDIT, "300");
        d.Set(IDC_GREEN_EDIT, "");
        d.Set(IDC_BLUE_EDIT, "256");
        d.Click(1);
        d.Set(IDC_BLUE_EDIT, "255");
        d.Click(1);
        d.Set(IDC_GREEN_EDIT, "256");
        d.Click(1);
        d.Set(IDC_GREEN_EDIT, " 7 ");  // blanks around a number are fine
        d.Click(1);
        d.Set(IDC_RED_EDIT, "0");
        d.Click(1);
        EXPECT_TRUE(d.Ended());
    });
    EXPECT_EQ(platform.messages,
              (std::vector<int>{IDS_PARSE_INT_RANGE, IDS_PARSE_INT, IDS_PARSE_INT_RANGE,
                                IDS_PARSE_INT_RANGE}));
    EXPECT_EQ(platform.closed.at(0).focus,
              (std::vector<int>{IDC_RED_EDIT, IDC_BLUE_EDIT, IDC_GREEN_EDIT, IDC_GREEN_EDIT,
                                IDC_RED_EDIT}));
    EXPECT_EQ(view->currentColour, 0x00FF0700u);
}

TEST_F(ColourEntryTest, ArrowsStopAtTheRangeEnds) {
    ColourEntry([](ScriptedDialog& d) {
        d.Set(IDC_RED_EDIT, "254");
        d.Spin(IDC_RED_SPIN, 1);
        EXPECT_EQ(d.Text(IDC_RED_EDIT), "255");
        d.Spin(IDC_RED_SPIN, 1);
        d.Spin(IDC_RED_SPIN, 40);
        EXPECT_EQ(d.Text(IDC_RED_EDIT), "255");
        d.Set(IDC_GREEN_EDIT, "1");
        d.Spin(IDC_GREEN_SPIN, -1);
        d.Spin(IDC_GREEN_SPIN, -1);
        EXPECT_EQ(d.Text(IDC_GREEN_EDIT), "0");
        d.Set(IDC_BLUE_EDIT, "100");
        d.Spin(IDC_BLUE_SPIN, -300);
        EXPECT_EQ(d.Text(IDC_BLUE_EDIT), "0");
        d.Spin(IDC_BLUE_SPIN, 300);
        d.Spin(IDC_BLUE_SPIN, -5);
        EXPECT_EQ(d.Text(IDC_BLUE_EDIT), "250");
        d.Click(1);
    });
    EXPECT_EQ(view->currentColour, 0x00FA00FFu);
}

TEST_F(ColourEntryTest, WhiteFilterLeavesTheCanvasButMarksItModified) {
    PaintPattern();
    const std::vector<uint8_t> before = CanvasBytes();
    view->SetColour(0x00405060, true);
    ColourEntry(Typed(255, 255, 255, true));
    EXPECT_EQ(CanvasBytes(), before);
    EXPECT_EQ(view->modified, 1);
    EXPECT_EQ(view->currentColour, 0x00405060u) << "the drawing colour stays";
    bool whole = false;
    for (const Rect& r : platform.presents) whole = whole || (r == Rect{0, 0, 240, 320});
    EXPECT_TRUE(whole) << "the whole view is refreshed";
}

TEST_F(ColourEntryTest, FilterMultipliesEveryPixelTruncating) {
    PaintPattern();
    const std::vector<uint8_t> before = CanvasBytes();
    view->SetColour(0x00405060, true);
    const std::vector<int> swatch = Swatch();
    ColourEntry(Typed(128, 64, 255, true));
    const std::vector<uint8_t> after = CanvasBytes();
    ASSERT_EQ(after.size(), before.size());
    int bad = 0;
    for (size_t i = 0; i < after.size(); i += 3) {
        // Blue, green, red in memory.
        const int want[3] = {before[i] * 255 / 255, before[i + 1] * 64 / 255, before[i + 2] * 128 / 255};
        for (int k = 0; k < 3; ++k)
            if (after[i + size_t(k)] != want[k] && ++bad <= 3)
                ADD_FAILURE() << "byte " << i + size_t(k) << ": " << int(after[i + size_t(k)])
                              << " want " << want[k];
    }
    EXPECT_EQ(bad, 0);
    EXPECT_EQ(view->currentColour, 0x00405060u);
    EXPECT_EQ(Swatch(), swatch);
    // What the window shows is the filtered picture (below the strips).
    const uint8_t* screen = view->screenBuffer->At(200, 300);
    const uint8_t* canvas = view->picture.Canvas().At(200, 300);
    EXPECT_EQ(std::vector<uint8_t>(screen, screen + 3), std::vector<uint8_t>(canvas, canvas + 3));
}

TEST_F(ColourEntryTest, FilterLeavesNoTraceInTheNextStroke) {
    // The coverage layer holds the filter colour afterwards; a stroke must not see it.
    ColourEntry(Typed(255, 255, 255, true));
    view->SetColour(0x00204080, true);
    view->OnPenDown(120, 250);
    view->OnPenUp(120, 250);
    const std::vector<uint8_t> filtered = CanvasBytes();

    view.reset();
    gShutdownDone = false;
    SetUp();
    view->SetColour(0x00204080, true);
    view->OnPenDown(120, 250);
    view->OnPenUp(120, 250);
    EXPECT_EQ(CanvasBytes(), filtered);
    EXPECT_NE(CanvasBytes(), std::vector<uint8_t>(filtered.size(), 255)) << "the tap drew";
}

TEST_F(ColourEntryTest, CancelWithTheFilterSetChangesNothing) {
    PaintPattern();
    const std::vector<uint8_t> before = CanvasBytes();
    ColourEntry(Typed(10, 10, 10, true, 2));
    EXPECT_EQ(CanvasBytes(), before);
    EXPECT_EQ(view->modified, 0);
    EXPECT_EQ(view->currentColour, 0u);
}

// ---- Key settings and key capture ---------------------------------------------------

class KeySettingsTest : public DialogTest {
protected:
    void SetUp() override {
        DialogTest::SetUp();
        for (int i = 0; i < kKeyCount; ++i) view->keyCodes[i] = uint32_t(11 + i);
    }
    std::vector<uint32_t> Keys() { return {view->keyCodes, view->keyCodes + kKeyCount}; }
    static std::vector<uint32_t> Start() { return {11, 12, 13, 14, 15, 16, 17, 18, 19}; }
    static Script Keys(std::vector<uint32_t> codes, bool close = false) {
        return [=](ScriptedDialog& d) {
            for (uint32_t c : codes) {
                d.KeyUp(c);
                if (d.Ended()) break;
            }
            if (close && !d.Ended()) d.Close();
        };
    }
};

TEST_F(KeySettingsTest, AllNineRowsShowWithTheirKeysNamedAndCodesPassThrough) {
    const uint32_t codes[kKeyCount] = {65, 116, 37, 1, 193, 100, 32, 0, 250};
    const char* names[kKeyCount] = {"A", "F5", "←", "", "A1", "N4", "Sp", "", ""};
    for (int i = 0; i < kKeyCount; ++i) view->keyCodes[i] = codes[i];
    KeySettings([](ScriptedDialog& d) { d.Click(1); });
    ASSERT_EQ(platform.dialogs, std::vector<int>{IDD_KEY_SETTINGS});
    CKeySettingsDialog shape(platform);
    for (int row = 0; row < 9; ++row) {
        EXPECT_EQ(Opened().Control(shape, kKeyEditIds[row]).text, std::to_string(codes[row])) << row;
        EXPECT_TRUE(Opened().Control(shape, kKeyEditIds[row]).visible) << row;
        EXPECT_TRUE(Opened().Control(shape, kKeyButtonIds[row]).visible) << row;
        EXPECT_EQ(Opened().Control(shape, kKeyButtonIds[row]).text, names[row]) << row;
        if (kKeyLabelIds[row] >= 0) {
            EXPECT_TRUE(Opened().Control(shape, kKeyLabelIds[row]).visible) << row;
        }
    }
    for (const ControlState& s : Opened().states) EXPECT_TRUE(s.visible);
    EXPECT_EQ(Opened().broughtToTop, 1);
    EXPECT_EQ(Keys(), std::vector<uint32_t>(codes, codes + kKeyCount))
        << "OK copies back what it showed, key_save included";
}

TEST_F(KeySettingsTest, TypedDigitsNameTheirKeyAndACaptureNamesItsOwn) {
    std::vector<std::string> named;
    KeySettings(
        [&](ScriptedDialog& d) {
            d.Set(kKeyEditIds[KeyDarker], "8");
            named.push_back(d.Text(kKeyButtonIds[KeyDarker]));
            d.Set(kKeyEditIds[KeyDarker], "");
            named.push_back(d.Text(kKeyButtonIds[KeyDarker]));  // an emptied edit names nothing
            d.Click(kKeyButtonIds[KeyLighter]);
            named.push_back(d.Text(kKeyButtonIds[KeyLighter]));
            named.push_back(d.Text(kKeyButtonIds[KeyDarker]));  // the stored code is back
            d.Click(2);
        },
        {Keys({90})});
    EXPECT_EQ(named, (std::vector<std::string>{"BS", "", "Z", ""}));
    EXPECT_EQ(Keys(), Start()) << "Cancel keeps the codes";
}

TEST_F(KeySettingsTest, CaptureEndsOnTheFirstKeyOtherThan134And135) {
    struct Case {
        std::vector<uint32_t> keys;
        bool close;
        uint32_t code;
    };
    const Case cases[] = {
        {{193}, false, 193},
        {{134, 65}, false, 65},
        {{135, 134, 13}, false, 13},
        {{}, true, 1},
        {{134}, true, 134},
        {{135}, true, 135},
        {{193, 65}, false, 193},  // closed by the first, the second never arrives
    };
    for (const Case& c : cases) {
        CKeyCaptureDialog capture(platform);
        capture.keyCode = 77;
        capture.captured = 1;  // reset when it opens
        std::vector<bool> openAfter;
        platform.scripts.push_back([&](ScriptedDialog& d) {
            for (uint32_t k : c.keys) {
                if (d.Ended()) break;
                d.KeyUp(k);
                openAfter.push_back(!d.Ended());
            }
            if (c.close) d.Close();
        });
        platform.RunDialog(capture);
        EXPECT_EQ(capture.keyCode, c.code) << "case ending with " << c.code;
        EXPECT_EQ(capture.captured, c.keys.empty() ? 0 : 1);
        for (size_t i = 0; i < openAfter.size(); ++i)
            EXPECT_EQ(openAfter[i], c.keys[i] == 134 || c.keys[i] == 135) << "after key " << c.keys[i];
    }
}

TEST_F(KeySettingsTest, CaptureEndedWithoutACloseRequestGivesNoKey) {
    // The window goes away some other way (the program is closing): destruction decides.
    CKeyCaptureDialog capture(platform);
    platform.scripts.push_back([](ScriptedDialog& d) { d.EndDialog(2); });
    platform.RunDialog(capture);
    EXPECT_EQ(capture.keyCode, 1u);
    EXPECT_EQ(capture.captured, 0);
}

TEST_F(KeySettingsTest, SetButtonStoresTheCodeAndRefreshesEveryEdit) {
    KeySettings(
        [](ScriptedDialog& d) {
            d.Set(1026, "65");  // typed into the zoom edit, not confirmed
            d.Set(1012, "5");   // hidden edits refresh too (set here as a program would)
            d.Click(1011);      // the eyedropper's set button
            EXPECT_EQ(d.Text(1010), "193");
            EXPECT_EQ(d.Text(1026), "19") << "the typed 65 gives way to the stored zoom code";
            EXPECT_EQ(d.Text(1012), "17");
            d.Click(1);
        },
        {Keys({193})});
    EXPECT_EQ(platform.dialogs, (std::vector<int>{IDD_KEY_SETTINGS, IDD_KEY_CAPTURE}));
    EXPECT_EQ(platform.fullScreenCalls, (std::vector<unsigned>{0x05, 0x0A}))
        << "the capture runs inside the framed dialog";
    std::vector<uint32_t> want = Start();
    want[KeyEyedropper] = 193;
    EXPECT_EQ(Keys(), want);
}

TEST_F(KeySettingsTest, CancelAfterChangesLeavesTheNineCodes) {
    for (bool close : {false, true}) {
        KeySettings(
            [close](ScriptedDialog& d) {
                d.Click(1027);
                d.Set(1010, "40");
                close ? d.Close() : d.Click(2);
            },
            {Keys({66})});
        EXPECT_EQ(Keys(), Start());
    }
}

TEST_F(KeySettingsTest, AnEditWithoutANumberRefusesOkAndCopiesNothing) {
    KeySettings([](ScriptedDialog& d) {
        auto& dialog = static_cast<CKeySettingsDialog&>(d.dialog);
        d.Set(1010, "5");  // eyedropper, read before zoom
        d.Set(1026, "");
        d.Click(1);
        EXPECT_FALSE(d.Ended());
        EXPECT_EQ(dialog.codes[KeyEyedropper], 18u) << "a refused OK copies no code";
        ASSERT_FALSE(d.focus.empty());
        EXPECT_EQ(d.focus.back(), 1026);
        d.Set(1026, "99999999999");  // beyond 32 bits
        d.Click(1);
        EXPECT_FALSE(d.Ended());
        d.Click(2);
    });
    EXPECT_EQ(platform.messages, (std::vector<int>{IDS_PARSE_INT, IDS_PARSE_INT}));
    EXPECT_EQ(Keys(), Start());
}

TEST_F(KeySettingsTest, BoundKeysActAtOnceAndReachTheStore) {
    KeySettings(
        [](ScriptedDialog& d) {
            d.Click(1011);
            d.Click(1027);
            d.Click(1);
        },
        {Keys({193}), Keys({134, 194})});
    ASSERT_EQ(view->keyCodes[KeyEyedropper], 193u);
    ASSERT_EQ(view->keyCodes[KeyZoom], 194u);
    Tap(50, 10);  // hide the panel
    FillRectColour(view->picture.BaseCanvas(), 150, 200, 1, 1, 10, 20, 30);
    view->OnKeyDown(193);
    Tap(150, 200);
    view->OnKeyUp(193);
    EXPECT_EQ(view->currentColour, 0x001E140Au) << "the eyedropper took the tapped pixel";
    view->OnKeyDown(194);
    Tap(150, 250);
    view->OnKeyUp(194);
    EXPECT_EQ(view->zoomShift, 1);
    EXPECT_EQ(view->viewOriginX, 90);
    view->ShutdownView();
    EXPECT_EQ(Stored("key_spoit"), "193");
    EXPECT_EQ(Stored("key_zoom"), "194");
    EXPECT_EQ(Stored("key_Save"), "17");
}

}  // namespace
}  // namespace vellum::dialogtest
