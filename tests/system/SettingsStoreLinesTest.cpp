// The settings store rewrites only the lines whose values the program changes: lines
// written by hand, in any section, survive a write byte for byte.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>

#include "app/SettingsStore.h"
#include "platform/common/SettingsFile.h"

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

TEST(SettingsStoreLines, AByteOrderMarkIsKeptAndHidesNothing) {
    const std::string text = "\xEF\xBB\xBF[setting]\npen=3\n";
    SettingsStore store;
    store.Parse(text);
    EXPECT_EQ(store.GetInt("setting", "pen", 2), 3);
    store.SetInt("setting", "pen", 4);
    // One section, still marked, the value replaced in place.
    EXPECT_EQ(store.Serialize(), "\xEF\xBB\xBF[setting]\npen=4\n");
}

// A store the program could not read is never replaced: its lines would be lost.
TEST(SettingsStoreFile, AnUnreadableStoreIsNotReplaced) {
    char folder[] = "/tmp/vellum-store-XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    const std::string path = std::string(folder) + "/vellum.ini";
    // A folder where the file should be cannot be read as text.
    ASSERT_EQ(mkdir(path.c_str(), 0700), 0);
    EXPECT_FALSE(ReplaceStoreFile(path, "[setting]\npen=2\n"));
    struct stat st;
    ASSERT_EQ(stat(path.c_str(), &st), 0);
    EXPECT_TRUE(S_ISDIR(st.st_mode));
    rmdir(path.c_str());

    // A missing or readable store is written.
    EXPECT_TRUE(ReplaceStoreFile(path, "[setting]\npen=2\n"));
    std::string back;
    ASSERT_TRUE(ReadTextFile(path, back));
    EXPECT_EQ(back, "[setting]\npen=2\n");
    EXPECT_TRUE(ReplaceStoreFile(path, "[setting]\npen=3\n"));
    ASSERT_TRUE(ReadTextFile(path, back));
    EXPECT_EQ(back, "[setting]\npen=3\n");
    unlink(path.c_str());
    rmdir(folder);
}

}  // namespace
}  // namespace vellum
