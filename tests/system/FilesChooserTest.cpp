// The file chooser: the outside library from the program's directory when it is there
// (and nothing when it lacks its entry), the platform's dialog otherwise, the request
// record as either one sees it, and initial names that do not fit the buffer.
#include <gtest/gtest.h>

#include <cstdlib>
#include <unistd.h>

#include "FilesTestSupport.h"
#include "imageio/FileChooser.h"

namespace vellum::filestest {
namespace {

const std::string kFixtures = VELLUM_BIN_DIR "/../fixtures/";

// The filter list exactly as the view builds it.
struct FilterList {
    char16_t chars[kFilterListChars] = {};
    FilterList() {
        for (int i = 0; kFilterString[i]; ++i) chars[i] = kFilterString[i] == '\\' ? u'\0' : char16_t(kFilterString[i]);
    }
};

class ChooserTest : public ::testing::Test {
protected:
    ScratchFolder programDir;
    TestPlatform platform;
    FilterList filters;
    std::string logPath;

    void SetUp() override {
        platform.strict = true;
        logPath = programDir.File("chooser.log");
        setenv("VELLUM_TEST_CHOOSER_LOG", logPath.c_str(), 1);
        unsetenv("VELLUM_TEST_CHOSEN");
        unsetenv("VELLUM_TEST_FILTER");
    }
    void TearDown() override {
        unsetenv("VELLUM_TEST_CHOOSER_LOG");
        unsetenv("VELLUM_TEST_CHOSEN");
        unsetenv("VELLUM_TEST_FILTER");
    }
    // Installs a fixture library as the program directory's tgetfile.dll.
    void Install(const std::string& fixture) {
        const std::string target = kFixtures + fixture + ".so";
        ASSERT_EQ(access(target.c_str(), R_OK), 0) << target << " is built with test_system";
        ASSERT_EQ(symlink(target.c_str(), programDir.File("tgetfile.dll").c_str()), 0);
        platform.libraryDir = programDir.path + "/";
    }
    std::string Log() {
        const std::vector<uint8_t> bytes = ReadAll(logPath);
        unlink(logPath.c_str());
        return std::string(bytes.begin(), bytes.end());
    }
};

TEST_F(ChooserTest, TheOutsideLibraryIsUsedWhenInstalled) {
    Install("tgetfile_ok");
    setenv("VELLUM_TEST_CHOSEN", "/home/u/photo", 1);
    setenv("VELLUM_TEST_FILTER", "2", 1);
    std::string path = "/home/u/Pictures/pic.bmp";
    EXPECT_EQ(ChooseSaveFile(platform, path, filters.chars), 1);
    EXPECT_EQ(path, "/home/u/photo.jpg");  // the library's filter index counts
    EXPECT_EQ(Log(),
              "mode=1 size=76 owner=null instance=null filterIndex=1 maxFile=261 initialDir='' title=null flags=0 "
              "defExt=BMP customFilter=null fileTitle=null file='/home/u/Pictures/pic' "
              "filters=Bmp Files (*.bmp)|*.bmp|All Files (*.*)|*.*|Png Files (*.png)|*.png|Jpeg Files (*.jpg)|*.jpg;*.jpeg|\n");

    unsetenv("VELLUM_TEST_FILTER");
    setenv("VELLUM_TEST_CHOSEN", "/home/u/写真.bmp", 1);
    path = "/home/u/絵.bmp";
    EXPECT_EQ(ChooseOpenFile(platform, path, filters.chars), 1);
    EXPECT_EQ(path, "/home/u/写真.bmp");
    const std::string log = Log();
    EXPECT_EQ(log.substr(0, 7), "mode=0 ");
    EXPECT_NE(log.find(" file='/home/u/絵.bmp' "), std::string::npos) << log;

    EXPECT_EQ(platform.platformDialogs, 0);
    // Loaded afresh for every call and unloaded after it.
    EXPECT_EQ(platform.libraryLoads, 2);
    EXPECT_EQ(platform.libraryFrees, 2);
    EXPECT_EQ(platform.libraryNames, (std::vector<std::string>{"tgetfile.dll", "tgetfile.dll"}));
}

TEST_F(ChooserTest, ACancelInTheLibraryChangesNothing) {
    Install("tgetfile_ok");
    std::string path = "/p/pic.bmp";
    EXPECT_EQ(ChooseOpenFile(platform, path, filters.chars), 0);
    EXPECT_EQ(path, "/p/pic.bmp");
    EXPECT_EQ(ChooseSaveFile(platform, path, filters.chars), 0);
    EXPECT_EQ(path, "/p/pic.bmp");
    EXPECT_EQ(platform.platformDialogs, 0);
}

TEST_F(ChooserTest, ALibraryWithoutTheEntryShowsNothing) {
    Install("tgetfile_noentry");
    std::string path = "/p/pic.bmp";
    platform.picks.push_back({"/p/other.bmp", 1});  // would be taken if a dialog showed
    EXPECT_EQ(ChooseOpenFile(platform, path, filters.chars), 0);
    EXPECT_EQ(path, "/p/pic.bmp");
    OpenFileName request{};
    for (int mode : {0, 1, 2}) EXPECT_EQ(ShowFileDialog(platform, mode, request), 0);
    EXPECT_EQ(platform.platformDialogs, 0);
    EXPECT_EQ(platform.libraryLoads, 4);
    EXPECT_EQ(platform.libraryFrees, 4);
}

TEST_F(ChooserTest, WithoutTheLibraryThePlatformDialogGetsTheSameRecord) {
    platform.libraryDir = programDir.path + "/";  // an empty program directory
    platform.picks.push_back({"/q/chosen", 2});
    std::string path = "/p/pic.JPG";
    EXPECT_EQ(ChooseSaveFile(platform, path, filters.chars), 1);
    EXPECT_EQ(path, "/q/chosen.jpg");
    EXPECT_EQ(platform.events, (std::vector<std::string>{"chooser save \"/p/pic\" filter=1 -> \"/q/chosen\" 2"}));
    const OpenFileName& r = platform.lastRequest;
    EXPECT_EQ(r.structSize, 76u);
    EXPECT_EQ(r.filter, filters.chars);
    EXPECT_EQ(r.maxFile, 261u);
    ASSERT_NE(r.initialDir, nullptr);
    EXPECT_EQ(r.initialDir[0], u'\0');
    EXPECT_EQ(r.title, nullptr);
    EXPECT_EQ(r.flags, 0u);
    EXPECT_EQ(std::u16string(r.defExt), u"BMP");
    EXPECT_EQ(r.ownerWindow, nullptr);
    EXPECT_EQ(r.customFilter, nullptr);
    EXPECT_EQ(r.fileTitle, nullptr);
    EXPECT_EQ(r.hook, nullptr);
    EXPECT_EQ(Log(), "");  // no library ran

    platform.picks.push_back({"/q/open me", 2});
    path = "/p/pic.JPG";
    EXPECT_EQ(ChooseOpenFile(platform, path, filters.chars), 1);
    EXPECT_EQ(path, "/q/open me");  // no extension rules when opening
    EXPECT_EQ(platform.events.back(), "chooser open \"/p/pic.JPG\" filter=1 -> \"/q/open me\" 2");

    // Only open and save exist.
    OpenFileName request{};
    EXPECT_EQ(ShowFileDialog(platform, 2, request), 0);
    EXPECT_EQ(platform.platformDialogs, 2);
}

TEST_F(ChooserTest, AnInitialNameThatDoesNotFitOffersItsFileNameAlone) {
    const std::string folder260 = "/" + std::string(250, 'd') + "/";
    std::string path = folder260.substr(0, 252) + "abcd.png";  // 260 characters: fits
    ASSERT_EQ(path.size(), 260u);
    platform.picks.push_back({"", 1});
    ChooseOpenFile(platform, path, filters.chars);
    EXPECT_EQ(Utf16ToUtf8(platform.lastInitialName), path);

    path = folder260 + "picture.png";  // 263 characters
    platform.picks.push_back({"", 1});
    EXPECT_EQ(ChooseOpenFile(platform, path, filters.chars), 0);
    EXPECT_EQ(platform.lastInitialName, u"picture.png");
    EXPECT_EQ(path, folder260 + "picture.png");

    // Counted in characters of the buffer: 200 three-byte characters fit.
    std::string wide;
    for (int i = 0; i < 200; ++i) wide += "絵";
    path = "/" + wide;
    platform.picks.push_back({"", 1});
    ChooseOpenFile(platform, path, filters.chars);
    EXPECT_EQ(platform.lastInitialName.size(), 201u);

    path = "/x/" + std::string(300, 'n') + ".bmp";
    platform.picks.push_back({"", 1});
    ChooseSaveFile(platform, path, filters.chars);
    EXPECT_EQ(platform.lastInitialName, u"");
    EXPECT_EQ(path, "/x/" + std::string(300, 'n') + ".bmp");
}

TEST_F(ChooserTest, AChosenEmptyNameCountsAsCancelled) {
    Install("tgetfile_ok");
    setenv("VELLUM_TEST_CHOSEN", "", 1);
    std::string path = "/p/pic.png";
    EXPECT_EQ(ChooseSaveFile(platform, path, filters.chars), 0);
    EXPECT_EQ(path, "/p/pic.png");
}

// The view's Open goes through the outside library too, never the platform's dialog.
TEST_F(FilesViewTest, OpenUsesTheOutsideLibraryFromTheProgramDirectory) {
    ScratchFolder programDir;
    const std::string target = kFixtures + "tgetfile_ok.so";
    ASSERT_EQ(symlink(target.c_str(), programDir.File("tgetfile.dll").c_str()), 0);
    platform.libraryDir = programDir.path + "/";
    WriteAll(File("chosen.bmp"), CodedBmp(16, 16));
    setenv("VELLUM_TEST_CHOSEN", File("chosen.bmp").c_str(), 1);
    EXPECT_TRUE(view->OpenPicture(""));
    unsetenv("VELLUM_TEST_CHOSEN");
    EXPECT_EQ(Shown(), (std::vector<std::string>{kLeave, kEnter}));
    EXPECT_EQ(platform.platformDialogs, 0);
    EXPECT_EQ(view->FilePath(), File("chosen.bmp"));
    EXPECT_EQ(Px(Canvas(), 15, 15), Code(15, 15));
    // At its own size.
    EXPECT_EQ(Canvas().width, 16);
    EXPECT_EQ(Canvas().height, 16);
}

}  // namespace
}  // namespace vellum::filestest
