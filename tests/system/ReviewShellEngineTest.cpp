// The settings store rewrites only the lines whose values the program changes: lines
// written by hand, in any section, survive a write byte for byte.
#include <gtest/gtest.h>

#include "app/SettingsStore.h"

namespace vellum {
namespace {

TEST(SettingsStoreLines, UnchangedValueLinesKeepTheirText) {
    const std::string text =
        "[other]\n"
        "name = some value\n"
        "\n"
        "[setting]\n"
        "  pen = 3 \n"
        "custompen = /pics/my pen.bmp\n"
        "key_save =9\n";
    SettingsStore store;
    store.Parse(text);
    // The same values written again change nothing.
    store.SetInt("setting", "pen", 3);
    store.SetInt("setting", "key_Save", 9);
    EXPECT_EQ(store.Serialize(), text);
    EXPECT_EQ(store.GetString("setting", "custompen", ""), "/pics/my pen.bmp");

    // A changed value is written plainly under the name it was stored with; a new one
    // follows at the section's end.
    store.SetInt("setting", "key_Save", 46);
    store.SetInt("setting", "stylus", 0);
    EXPECT_EQ(store.Serialize(),
              "[other]\nname = some value\n\n[setting]\n  pen = 3 \n"
              "custompen = /pics/my pen.bmp\nkey_save=46\nstylus=0\n");
}

TEST(SettingsStoreLines, AValueChangedTwiceStaysOneLine) {
    SettingsStore store;
    store.Parse("[setting]\nPEN = 4\n");
    store.SetInt("setting", "pen", 2);
    store.SetInt("setting", "pen", 4);
    EXPECT_EQ(store.Serialize(), "[setting]\nPEN=4\n");
    EXPECT_EQ(store.Values("setting").size(), 1u);
}

}  // namespace
}  // namespace vellum
