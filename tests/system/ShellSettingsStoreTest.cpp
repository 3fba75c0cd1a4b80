// The settings store's ini text: names without regard to case, lines kept as they are.
#include <gtest/gtest.h>

#include "app/SettingsStore.h"

namespace vellum {
namespace {

SettingsStore Parsed(const std::string& text) {
    SettingsStore store;
    store.Parse(text);
    return store;
}

TEST(SettingsStore, NamesAndSectionsMatchWithoutRegardToCase) {
    const SettingsStore store = Parsed("[Setting]\nPEN = 3\nKey_Spoit=193\n");
    EXPECT_EQ(store.GetInt("setting", "pen", 2), 3);
    EXPECT_EQ(store.GetInt("SETTING", "key_spoit", 1), 193);
    EXPECT_EQ(store.GetInt("setting", "stylus", 1), 1);   // absent: the default
    EXPECT_EQ(store.GetInt("other", "pen", 7), 7);        // another section
    EXPECT_EQ(store.GetString("setting", "custompen", "none"), "none");
}

TEST(SettingsStore, WritingKeySaveReplacesAStoredKeySave) {
    SettingsStore store = Parsed("[setting]\nkey_save=5\n");
    store.SetInt("setting", "key_Save", 7);
    EXPECT_EQ(store.Serialize(), "[setting]\nkey_save=7\n");
    EXPECT_EQ(store.Values("setting").size(), 1u);
    // A value the write creates bears the written name.
    SettingsStore fresh;
    fresh.SetInt("setting", "key_Save", 1);
    EXPECT_EQ(fresh.Serialize(), "[setting]\nkey_Save=1\n");
    EXPECT_EQ(fresh.GetInt("setting", "key_save", 9), 1);
}

TEST(SettingsStore, SectionsAreCreatedAndValuesAddedAtTheirSectionsEnd) {
    SettingsStore store = Parsed("[other]\nx=1\n");
    store.SetInt("setting", "pen", 2);
    store.SetInt("setting", "stylus", 1);
    EXPECT_EQ(store.Serialize(), "[other]\nx=1\n\n[setting]\npen=2\nstylus=1\n");

    SettingsStore middle = Parsed("[setting]\na=1\n\n[other]\nb=2\n");
    middle.SetInt("setting", "c", 3);
    EXPECT_EQ(middle.Serialize(), "[setting]\na=1\nc=3\n\n[other]\nb=2\n");
}

TEST(SettingsStore, CommentsJunkAndOtherSectionsAreKept) {
    const std::string text =
        "; made by hand\n"
        "# also a comment\n"
        "[other]\n"
        "pen=9\n"
        "\n"
        "[setting]\n"
        "this line is junk\n"
        "=no name\n"
        "[broken\n"
        "pen=4\n";
    SettingsStore store = Parsed(text);
    EXPECT_EQ(store.Serialize(), text);
    EXPECT_EQ(store.GetInt("setting", "pen", 2), 4);
    EXPECT_EQ(store.GetInt("other", "pen", 2), 9);
    store.SetInt("setting", "pen", 1);
    EXPECT_EQ(store.Serialize(),
              "; made by hand\n# also a comment\n[other]\npen=9\n\n[setting]\nthis line is junk\n"
              "=no name\n[broken\npen=1\n");
}

TEST(SettingsStore, NumbersAreTakenAsStored) {
    const SettingsStore store =
        Parsed("[setting]\npen=abc\nstylus=-3\nkey_zoom=4294967295\nantijump= 12x\n");
    EXPECT_EQ(store.GetInt("setting", "pen", 2), 2);      // not a number: the default
    EXPECT_EQ(store.GetInt("setting", "stylus", 1), -3);
    EXPECT_EQ(uint32_t(store.GetInt("setting", "key_zoom", 1)), 4294967295u);
    EXPECT_EQ(store.GetInt("setting", "antijump", 0), 12);
}

TEST(SettingsStore, LineEndingsAreKeptAsTheyWere) {
    SettingsStore store = Parsed("[setting]\r\npen=3\r\nstylus=1\n");
    EXPECT_EQ(store.GetInt("setting", "pen", 2), 3);
    EXPECT_EQ(store.Serialize(), "[setting]\r\npen=3\r\nstylus=1\n");
    // Written again and again: the same bytes, never one CR less each time.
    store.SetInt("setting", "pen", 4);
    const std::string once = store.Serialize();
    EXPECT_EQ(once, "[setting]\r\npen=4\r\nstylus=1\n");
    EXPECT_EQ(Parsed(once).Serialize(), once);
}

}  // namespace
}  // namespace vellum
