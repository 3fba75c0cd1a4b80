// The built English module vellum.i18: loaded through its entry, it gives an English
// text for every string of the built-in table and for every dialog text.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>

#include "ViewTest.h"
#include "dialogs/AboutDialog.h"
#include "dialogs/ColourEntryDialog.h"
#include "dialogs/KeySettingsDialog.h"
#include "dialogs/StylusSettingsDialog.h"
#include "resources/DialogTemplate.h"
#include "platform/common/DynamicLibrary.h"
#include "resources/Resources.h"

namespace vellum {
namespace {

constexpr int kDialogIds[] = {IDD_ABOUT, IDD_STYLUS_SETTINGS, IDD_COLOUR_ENTRY, IDD_KEY_SETTINGS,
                              IDD_KEY_CAPTURE};

bool HasText(const char* text) { return text && *text; }

bool Ascii(const std::string& text) {
    for (unsigned char c : text)
        if (c >= 0x80) return false;
    return true;
}

class EnglishModuleTest : public ::testing::Test {
protected:
    void* library = nullptr;
    const VellumResourceModule* module = nullptr;

    void SetUp() override {
        library = OpenLibrary(VELLUM_BIN_DIR "/", "vellum.i18");
        ASSERT_NE(library, nullptr) << "build/bin/vellum.i18 loads";
        auto entry = reinterpret_cast<VellumResourcesProc>(FindLibraryEntry(library, kVellumResourcesEntry));
        ASSERT_NE(entry, nullptr) << "the module exports " << kVellumResourcesEntry;
        module = entry();
        ASSERT_TRUE(Resources::Active().Use(module));
    }
    void TearDown() override {
        Resources::Active().UseBuiltIn();
        CloseLibrary(library);
    }

    const char* ModuleDialogText(int dialogId, int index) {
        for (int i = 0; i < module->dialogTextCount; ++i)
            if (module->dialogTexts[i].dialogId == dialogId && module->dialogTexts[i].index == index)
                return module->dialogTexts[i].text;
        return nullptr;
    }
};

TEST_F(EnglishModuleTest, EveryBuiltInStringHasItsOwnEnglishText) {
    int count = 0;
    const VellumStringEntry* builtIn = BuiltInStrings(count);
    ASSERT_GT(count, 0);
    std::set<int> ids;
    for (int i = 0; i < count; ++i) {
        const int id = builtIn[i].id;
        ids.insert(id);
        const std::string english = Resources::Active().String(id);
        EXPECT_FALSE(english.empty()) << "string " << id;
        EXPECT_TRUE(Ascii(english)) << "string " << id << ": " << english;
        if (id != IDS_DOCUMENT) {
            EXPECT_NE(english, builtIn[i].text) << "string " << id;
        }
    }
    EXPECT_EQ(std::string(Resources::Active().String(IDS_DOCUMENT)),
              "vellum\n\nVellum\n\n\nVellum.Document\nVellum Document");
    EXPECT_EQ(std::string(Resources::Active().String(IDS_ABOUT_PRODUCT)), "Vellum v2.22");
    const std::string range = Resources::Active().String(IDS_PARSE_INT_RANGE);
    EXPECT_NE(range.find("%1"), std::string::npos);
    EXPECT_NE(range.find("%2"), std::string::npos);
    // The module names no string the program does not have.
    for (int i = 0; i < module->stringCount; ++i)
        EXPECT_TRUE(ids.count(module->strings[i].id)) << "stray string " << module->strings[i].id;
}

TEST_F(EnglishModuleTest, EveryDialogTextHasAnEnglishOneAndNoEntryStrays) {
    for (int id : kDialogIds) {
        const DialogTemplate* t = FindDialogTemplate(id);
        ASSERT_NE(t, nullptr);
        const char* caption = ModuleDialogText(id, -1);
        EXPECT_TRUE(HasText(caption)) << "caption of " << id;
        if (caption) {
            EXPECT_TRUE(Ascii(caption)) << caption;
        }
        for (int i = 0; i < t->controlCount; ++i) {
            if (!HasText(t->controls[i].text)) continue;
            const char* english = ModuleDialogText(id, i);
            EXPECT_TRUE(HasText(english)) << "dialog " << id << " control " << i << " ("
                                          << t->controls[i].text << ")";
            if (english) {
                EXPECT_TRUE(Ascii(english)) << english;
            }
        }
    }
    // Each entry points at a caption or at a control that has a text of its own, once.
    std::set<std::pair<int, int>> seen;
    for (int i = 0; i < module->dialogTextCount; ++i) {
        const VellumDialogTextEntry& e = module->dialogTexts[i];
        EXPECT_TRUE(seen.insert({e.dialogId, e.index}).second) << e.dialogId << "/" << e.index;
        const DialogTemplate* t = FindDialogTemplate(e.dialogId);
        ASSERT_NE(t, nullptr) << "stray dialog " << e.dialogId;
        if (e.index == -1) continue;
        ASSERT_TRUE(e.index >= 0 && e.index < t->controlCount) << e.dialogId << "/" << e.index;
        EXPECT_TRUE(HasText(t->controls[e.index].text))
            << e.dialogId << "/" << e.index << " translates a control without text: " << e.text;
    }
}

TEST_F(EnglishModuleTest, DialogsShowTheEnglishTextsByControl) {
    fake::TestPlatform platform;
    CStylusSettingsDialog stylus(platform);
    EXPECT_EQ(stylus.Caption(), "Stylus Setting");
    EXPECT_EQ(stylus.State(stylus.IndexOf(IDC_STYLUS_INPUT)).text, "Stylus input mode");
    EXPECT_EQ(stylus.State(stylus.IndexOf(IDC_ANTI_JUMP)).text, "Prevent jumps");
    EXPECT_EQ(stylus.State(stylus.IndexOf(IDC_SMOOTH_SLIGHT)).text, "Slightly smooth");
    EXPECT_EQ(stylus.State(stylus.IndexOf(IDC_SMOOTH_SMOOTH)).text, "Smooth");
    EXPECT_EQ(stylus.State(9).text, "Line smoothing");

    CColourEntryDialog colour(platform);
    EXPECT_EQ(colour.Caption(), "Colour values");
    EXPECT_EQ(colour.State(colour.IndexOf(IDC_COLOUR_FILTER)).text.substr(0, 6), "Filter");
    EXPECT_EQ(colour.State(colour.IndexOf(1)).text, "OK");
    EXPECT_EQ(colour.State(6).text, "B");

    CKeySettingsDialog keys(platform);
    EXPECT_EQ(keys.Caption(), "Key settings");
    EXPECT_EQ(keys.State(keys.IndexOf(1028)).text, "Save");
    EXPECT_EQ(keys.State(keys.IndexOf(1034)).text, "Prev. ppr");
    EXPECT_EQ(keys.State(20).text, "Dropper");
    EXPECT_EQ(keys.State(21).text, "Zoom");
    EXPECT_EQ(keys.State(keys.IndexOf(2)).text, "Cancel");

    CKeyCaptureDialog capture(platform);
    EXPECT_EQ(capture.Caption(), "Press a key");
    EXPECT_EQ(capture.State(0).text, "Press the key to assign");

    CAboutDialog about(platform);
    EXPECT_EQ(about.Caption(), "Vellum");
    EXPECT_EQ(about.State(about.IndexOf(IDC_ABOUT_PRODUCT)).text, "Vellum v2.22");
    EXPECT_EQ(about.State(about.IndexOf(IDC_ABOUT_CREDITS)).text,
              Resources::Active().String(IDS_ABOUT_CREDITS));
}

TEST(BuiltInDialogTexts, TheTemplatesKeepTheirJapaneseWithoutAModule) {
    Resources::Active().UseBuiltIn();
    fake::TestPlatform platform;
    CColourEntryDialog colour(platform);
    EXPECT_EQ(colour.Caption(), "色数値入力");
    EXPECT_EQ(colour.State(colour.IndexOf(IDC_COLOUR_FILTER)).text, "この色でフィルターをかける");
    CKeySettingsDialog keys(platform);
    EXPECT_EQ(keys.State(20).text, "スポイト");
    EXPECT_EQ(keys.State(keys.IndexOf(1032)).text, "前のペン");
    CKeyCaptureDialog capture(platform);
    EXPECT_EQ(capture.Caption(), "キー入力");
    CStylusSettingsDialog stylus(platform);
    EXPECT_EQ(stylus.State(8).text, "オプション");
}

}  // namespace
}  // namespace vellum
