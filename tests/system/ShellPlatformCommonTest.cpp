// The helpers both platforms share: libraries by name and the language module choice,
// the settings file, the per-user folders.
#include <gtest/gtest.h>

#include <dirent.h>
#include <fstream>
#include <sys/stat.h>

#include "platform/common/DataDir.h"
#include "platform/common/DynamicLibrary.h"
#include "platform/common/SettingsFile.h"
#include "platform/common/UserDirs.h"
#include "resources/ModuleAbi.h"
#include "resources/Resources.h"
#include "resources/StringIds.h"
#include "ViewTest.h"
#include "formats/BmpTestSupport.h"

namespace vellum::shelltest {
namespace {

using bmptest::ScratchFolder;

const std::string kFixtures = VELLUM_BIN_DIR "/../fixtures/";
const std::string kBin = VELLUM_BIN_DIR "/";

bool CopyFile(const std::string& from, const std::string& to) {
    std::ifstream in(from, std::ios::binary);
    std::ofstream out(to, std::ios::binary);
    out << in.rdbuf();
    return bool(in) && bool(out);
}

std::vector<std::string> FolderEntries(const std::string& folder) {
    std::vector<std::string> names;
    if (DIR* dir = opendir(folder.c_str())) {
        while (dirent* e = readdir(dir))
            if (std::string(e->d_name) != "." && std::string(e->d_name) != "..") names.push_back(e->d_name);
        closedir(dir);
    }
    return names;
}

// ---- Libraries ----------------------------------------------------------------------

TEST(DynamicLibrary, OnlyWholeModulesFromTheProgramsOwnFolder) {
    void* lib = OpenLibrary(kFixtures, "notamodule.so");
    ASSERT_NE(lib, nullptr);
    EXPECT_NE(FindLibraryEntry(lib, "NotVellumResources"), nullptr);
    EXPECT_EQ(FindLibraryEntry(lib, kVellumResourcesEntry), nullptr);
    CloseLibrary(lib);

    // The directory may be given without its slash.
    lib = OpenLibrary(VELLUM_BIN_DIR "/../fixtures", "notamodule.so");
    EXPECT_NE(lib, nullptr);
    CloseLibrary(lib);

    EXPECT_EQ(OpenLibrary(kFixtures, "nosuch.so"), nullptr);
    // Never through the library search or the current folder: no folder, a relative
    // one, or a name with a folder in it loads nothing.
    EXPECT_EQ(OpenLibrary("", "notamodule.so"), nullptr);
    EXPECT_EQ(OpenLibrary("/nonexistent/", "libc.so.6"), nullptr);
    EXPECT_EQ(OpenLibrary(".", "notamodule.so"), nullptr);
    EXPECT_EQ(OpenLibrary("/", std::string(kFixtures).substr(1) + "notamodule.so"), nullptr);
    // A module cut short is refused before the loader maps it (it would crash in there).
    const std::string whole = std::string(kFixtures) + "notamodule.so";
    EXPECT_TRUE(ModuleIsWhole(whole));
    char pattern[] = "/tmp/vellum-module.XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const std::string cut = std::string(pattern) + "/notamodule.so";
    {
        FILE* from = std::fopen(whole.c_str(), "rb");
        FILE* to = std::fopen(cut.c_str(), "wb");
        ASSERT_TRUE(from && to);
        char buffer[3000];
        const size_t n = std::fread(buffer, 1, sizeof buffer, from);
        std::fwrite(buffer, 1, n, to);
        std::fclose(from);
        std::fclose(to);
    }
    EXPECT_FALSE(ModuleIsWhole(cut));
    EXPECT_EQ(OpenLibrary(pattern, "notamodule.so"), nullptr);
    EXPECT_FALSE(ModuleIsWhole(pattern)) << "a folder is not a module";
    EXPECT_FALSE(ModuleIsWhole("/dev/null"));
    std::remove(cut.c_str());
    rmdir(pattern);

    EXPECT_EQ(OpenLibrary(kFixtures, ""), nullptr);
    EXPECT_EQ(FindLibraryEntry(nullptr, "x"), nullptr);
    CloseLibrary(nullptr);
}

class LanguageModules : public ::testing::Test {
protected:
    void SetUp() override {
        Resources::Active().UseBuiltIn();
        platform.libraryDir = folder.Dir();
    }
    void TearDown() override { Resources::Active().UseBuiltIn(); }

    ScratchFolder folder;
    fake::TestPlatform platform;
};

TEST_F(LanguageModules, LibrariesThatAreNoModulesArePassedOver) {
    ASSERT_TRUE(CopyFile(kFixtures + "notamodule.so", folder.Dir() + "vellum.i18"));
    ASSERT_TRUE(CopyFile(kFixtures + "badmodule.so", folder.Dir() + "vellumarm.i18"));
    ASSERT_TRUE(CopyFile(kBin + "vellum.i18", folder.Dir() + "vellummips.i18"));
    ASSERT_TRUE(CopyFile(kBin + "vellum.i18", folder.Dir() + "vellumsh3.i18"));
    platform.languageId = "0409";
    EXPECT_EQ(Resources::Active().ChooseLanguageModule(platform), "vellummips.i18");
    const std::vector<std::string> tried = {"vellum.i18", "vellumarm.i18", "vellummips.i18"};
    EXPECT_EQ(platform.libraryNames, tried);
    EXPECT_TRUE(Resources::Active().FromModule());
    EXPECT_STREQ(Resources::Active().String(IDS_DATA_LOAD_FAILED), "Could not load the data file vellum.dat.");
}

TEST_F(LanguageModules, JapaneseLoadsNothingEvenWithModulesPresent) {
    ASSERT_TRUE(CopyFile(kBin + "vellum.i18", folder.Dir() + "vellum.i18"));
    platform.languageId = "0411";
    EXPECT_EQ(Resources::Active().ChooseLanguageModule(platform), "");
    EXPECT_TRUE(platform.libraryNames.empty());
    EXPECT_FALSE(Resources::Active().FromModule());
    EXPECT_STREQ(Resources::Active().String(IDS_DATA_LOAD_FAILED), "データファイルのロードに失敗しました。");
}

TEST_F(LanguageModules, NoModuleLeavesTheBuiltInTexts) {
    ASSERT_TRUE(CopyFile(kFixtures + "badmodule.so", folder.Dir() + "vellumsh4.i18"));
    platform.languageId = "0407";
    EXPECT_EQ(Resources::Active().ChooseLanguageModule(platform), "");
    EXPECT_EQ(platform.libraryNames.size(), 5u);
    EXPECT_FALSE(Resources::Active().FromModule());
    EXPECT_STREQ(Resources::Active().String(IDS_DATA_LOAD_FAILED), "データファイルのロードに失敗しました。");
}

// ---- Settings file -------------------------------------------------------------------

TEST(SettingsFile, WriteCreatesTheFolderAndReplacesTheFileWhole) {
    ScratchFolder folder;
    const std::string path = folder.Dir() + "Orvane Works/deeper/vellum.ini";
    std::string text;
    EXPECT_FALSE(ReadTextFile(path, text));
    ASSERT_TRUE(WriteTextFileAtomically(path, "[setting]\npen=2\n"));
    ASSERT_TRUE(ReadTextFile(path, text));
    EXPECT_EQ(text, "[setting]\npen=2\n");
    ASSERT_TRUE(WriteTextFileAtomically(path, "x"));
    ASSERT_TRUE(ReadTextFile(path, text));
    EXPECT_EQ(text, "x");
    // No temporary file is left beside it.
    const std::vector<std::string> names = FolderEntries(folder.Dir() + "Orvane Works/deeper");
    EXPECT_EQ(names, std::vector<std::string>{"vellum.ini"});
}

TEST(SettingsFile, FailedWriteLeavesTheOldFile) {
    ScratchFolder folder;
    // The folder's place is taken by a file: nothing can be made there.
    ASSERT_TRUE(WriteTextFileAtomically(folder.Dir() + "blocker", "keep"));
    EXPECT_FALSE(WriteTextFileAtomically(folder.Dir() + "blocker/vellum.ini", "new"));
    // The target is a folder: it is not replaced.
    ASSERT_TRUE(MakeFolders(folder.Dir() + "dir.ini"));
    EXPECT_FALSE(WriteTextFileAtomically(folder.Dir() + "dir.ini", "new"));
    std::string text;
    ASSERT_TRUE(ReadTextFile(folder.Dir() + "blocker", text));
    EXPECT_EQ(text, "keep");
    struct stat st;
    ASSERT_EQ(stat((folder.Dir() + "dir.ini").c_str(), &st), 0);
    EXPECT_TRUE(S_ISDIR(st.st_mode));
}

TEST(SettingsFile, NeverWritesAStoreTheReaderWouldRefuse) {
    ScratchFolder folder;
    const std::string path = folder.Dir() + "vellum.ini";
    ASSERT_TRUE(ReplaceStoreFile(path, "[setting]\npen=2\n"));
    // A store grown past the reader's limit would be ignored whole at the next start.
    const std::string grown = "[setting]\npen=3\nnote=" + std::string(kMaxStoreBytes, 'x') + "\n";
    EXPECT_FALSE(ReplaceStoreFile(path, grown));
    std::string text;
    ASSERT_TRUE(ReadStoreFile(path, text));
    EXPECT_EQ(text, "[setting]\npen=2\n");
    EXPECT_TRUE(ReplaceStoreFile(path, std::string(kMaxStoreBytes, '#')));
    EXPECT_TRUE(ReadStoreFile(path, text));
}

// ---- Per-user folders ----------------------------------------------------------------

TEST(UserDirs, PicturesFolderFallsBackFromXdgToPicturesToHome) {
    ScratchFolder folder;
    const std::string home = folder.Dir() + "home";
    ASSERT_TRUE(MakeFolders(home));
    EXPECT_EQ(PicturesDirFor(home, ""), home + "/");

    ASSERT_TRUE(MakeFolders(home + "/Pictures"));
    EXPECT_EQ(PicturesDirFor(home, ""), home + "/Pictures/");

    // user-dirs.dirs names another folder; it counts only once it exists.
    ASSERT_TRUE(WriteTextFileAtomically(home + "/.config/user-dirs.dirs",
                                        "# written by xdg-user-dirs-update\n"
                                        "XDG_DESKTOP_DIR=\"$HOME/Desktop\"\n"
                                        "XDG_PICTURES_DIR=\"$HOME/Bilder\"\n"));
    EXPECT_EQ(PicturesDirFor(home, ""), home + "/Pictures/");
    ASSERT_TRUE(MakeFolders(home + "/Bilder"));
    EXPECT_EQ(PicturesDirFor(home, ""), home + "/Bilder/");

    // An absolute path, in a config folder named by XDG_CONFIG_HOME.
    const std::string config = folder.Dir() + "config";
    ASSERT_TRUE(MakeFolders(folder.Dir() + "art work"));
    ASSERT_TRUE(WriteTextFileAtomically(config + "/user-dirs.dirs",
                                        "XDG_PICTURES_DIR=\"" + folder.Dir() + "art work\"\n"));
    EXPECT_EQ(PicturesDirFor(home, config), folder.Dir() + "art work/");
}

TEST(DataDir, TheSkinBesideTheProgramThenTheInstalledDataFolder) {
    ScratchFolder folder;
    const std::string bin = folder.Dir() + "usr/bin/";
    ASSERT_TRUE(MakeFolders(bin));
    EXPECT_EQ(DataDirFor(bin), bin) << "no skin anywhere: the program's folder, which reports it";
    ASSERT_TRUE(MakeFolders(folder.Dir() + "usr/share/vellum/vellum.dat"));
    EXPECT_EQ(DataDirFor(bin), bin) << "a folder named like the skin is no skin";
    ASSERT_EQ(rmdir((folder.Dir() + "usr/share/vellum/vellum.dat").c_str()), 0);
    ASSERT_TRUE(WriteTextFileAtomically(folder.Dir() + "usr/share/vellum/vellum.dat", "skin"));
    EXPECT_EQ(DataDirFor(bin), bin + "../share/vellum/");
    ASSERT_TRUE(WriteTextFileAtomically(bin + "vellum.dat", "skin"));
    EXPECT_EQ(DataDirFor(bin), bin) << "the build folder's own skin comes first";
}

TEST(UserDirs, SettingsFileLivesInTheCompanyFolder) {
    EXPECT_EQ(SettingsPathFor("/home/u", ""), "/home/u/.config/Orvane Works/vellum.ini");
    EXPECT_EQ(SettingsPathFor("/home/u", "/xdg"), "/xdg/Orvane Works/vellum.ini");
    // A relative XDG_CONFIG_HOME is not valid and is ignored.
    EXPECT_EQ(SettingsPathFor("/home/u", "rel"), "/home/u/.config/Orvane Works/vellum.ini");
}

}  // namespace
}  // namespace vellum::shelltest
