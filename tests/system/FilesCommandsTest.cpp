// The file commands on a whole view: every question in order, the chooser's offers,
// the files written, the pictures fitted onto the canvas, and failed saves and opens
// that lose nothing.
#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include "FilesTestSupport.h"
#include "imageio/formats/Jpeg.h"
#include "imageio/formats/PictureFile.h"
#include "resources/StringIds.h"

namespace vellum::filestest {
namespace {

using Events = std::vector<std::string>;

// ---- Save and Save As -----------------------------------------------------------------

TEST_F(FilesViewTest, SaveWithTheDefaultPathIsSaveAs) {
    PaintCanvas(1);
    view->modified = 1;
    Pick(File("pic"));
    EXPECT_TRUE(view->SavePicture());
    EXPECT_EQ(Shown(), (Events{kLeave, Chooser("save", folder.path + "/untitled", File("pic")), Fixed("Saved BMP"), kEnter}));
    EXPECT_EQ(view->FilePath(), File("pic.bmp"));
    EXPECT_EQ(view->modified, 0);
    const std::vector<uint8_t> written = ReadAll(File("pic.bmp"));
    EXPECT_EQ(written.size(), 230454u);
    EXPECT_EQ(written, CanvasBmp());
}

TEST_F(FilesViewTest, SaveAsksBeforeOverwritingAnyOtherPathEvenOneDifferingInCase) {
    view->picture.SetPath(folder.path + "/Untitled.bmp");
    view->modified = 1;
    Answer({No});
    EXPECT_FALSE(view->SavePicture());
    EXPECT_EQ(Shown(), Events{"msgbox 61209"});
    EXPECT_FALSE(bmptest::FileExists(view->FilePath()));
    EXPECT_EQ(view->modified, 1);

    Answer({Yes});
    EXPECT_TRUE(view->SavePicture());
    EXPECT_EQ(Shown(), (Events{"msgbox 61209", Fixed("Saved BMP")}));
    EXPECT_EQ(ReadAll(view->FilePath()), CanvasBmp());
    EXPECT_EQ(view->modified, 0);
}

TEST_F(FilesViewTest, ExistingTargetIsOverwrittenOnlyOnYes) {
    const std::vector<uint8_t> old = {'o', 'l', 'd'};
    WriteAll(File("pic.bmp"), old);
    PaintCanvas(2);
    view->modified = 1;
    Pick(File("pic.bmp"));
    Answer({No});
    EXPECT_FALSE(view->SavePictureAs());
    EXPECT_EQ(Shown(), (Events{kLeave, Chooser("save", folder.path + "/untitled", File("pic.bmp")), "msgbox 61210", kEnter}));
    EXPECT_EQ(ReadAll(File("pic.bmp")), old);
    EXPECT_EQ(view->modified, 1);

    // The chosen name stays the picture's name; the next chooser is offered it without
    // its extension.
    EXPECT_EQ(view->FilePath(), File("pic.bmp"));
    Pick(File("pic.bmp"));
    Answer({Yes});
    EXPECT_TRUE(view->SavePictureAs());
    EXPECT_EQ(Shown(), (Events{kLeave, Chooser("save", File("pic"), File("pic.bmp")), "msgbox 61210", Fixed("Saved BMP"), kEnter}));
    EXPECT_EQ(ReadAll(File("pic.bmp")), CanvasBmp());
    EXPECT_EQ(view->modified, 0);
}

TEST_F(FilesViewTest, CancelledSaveAsLeavesThePathAsItWas) {
    view->modified = 1;
    Pick("");
    EXPECT_FALSE(view->SavePictureAs());
    // The chooser is offered the name without its extension; the cancel keeps the path.
    EXPECT_EQ(Shown(), (Events{kLeave, Chooser("save", folder.path + "/untitled", ""), kEnter}));
    EXPECT_EQ(view->FilePath(), folder.path + "/untitled.bmp");
    EXPECT_EQ(view->modified, 1);
    EXPECT_TRUE(folder.Entries().empty());
    // Still the default path: Save is Save As, never an overwrite of a file that is not there.
    Pick("");
    view->SavePicture();
    EXPECT_EQ(Shown(), (Events{kLeave, Chooser("save", folder.path + "/untitled", ""), kEnter}));
}

TEST_F(FilesViewTest, SecondFilterSavesAJpegAtTheStoredLevelClampedButKept) {
    for (int y = 0; y < 320; ++y)
        for (int x = 0; x < 240; ++x) {
            uint8_t* p = Canvas().At(x, y);
            p[0] = uint8_t(x), p[1] = uint8_t(y * 255 / 320), p[2] = uint8_t(128 + x / 4);
        }
    const struct {
        int stored, quality;
    } rows[] = {{10, 100}, {7, 70}, {0, 10}, {-3, 10}, {25, 100}};
    for (const auto& row : rows) {
        unlink(File("photo.jpg").c_str());
        view->jpegQuality = row.stored;
        view->picture.SetPath(File("photo.bmp"));
        view->modified = 1;
        Pick(File("photo"), 2);
        EXPECT_TRUE(view->SavePictureAs());
        EXPECT_EQ(Shown(), (Events{kLeave, Chooser("save", File("photo"), File("photo"), 2), Fixed("Saved JPEG"), kEnter}));
        EXPECT_EQ(view->FilePath(), File("photo.jpg"));
        std::vector<uint8_t> expected;
        ASSERT_TRUE(EncodeJpeg(Canvas(), row.quality, expected));
        EXPECT_EQ(ReadAll(File("photo.jpg")), expected) << "level " << row.stored;
        EXPECT_EQ(view->jpegQuality, row.stored);
        EXPECT_EQ(view->modified, 0);
    }
    // Saved at level 10 and opened again, the picture is within a small error.
    view->jpegQuality = 10;
    Answer({Yes});
    ASSERT_TRUE(view->SavePicture());
    const std::vector<uint8_t> before = CanvasBytes();
    Shown();
    ASSERT_TRUE(view->OpenPicture(File("photo.jpg")));
    EXPECT_EQ(Shown(), Events{});
    double error = 0;
    for (size_t i = 0; i < before.size(); ++i) error += std::abs(int(before[i]) - int(Canvas().bytes[i]));
    EXPECT_LT(error / double(before.size()), 3.0);
}

TEST_F(FilesViewTest, SavedAndReopenedBmpGivesTheSameCanvas) {
    PaintCanvas(3);
    const std::vector<uint8_t> painted = CanvasBytes();
    Pick(File("絵"));
    ASSERT_TRUE(view->SavePictureAs());
    EXPECT_EQ(view->FilePath(), File("絵.bmp"));
    Answer({Yes});
    ASSERT_TRUE(view->NewPicture());
    EXPECT_NE(CanvasBytes(), painted);
    Pick(File("絵.bmp"));
    ASSERT_TRUE(view->OpenPicture(""));
    EXPECT_EQ(CanvasBytes(), painted);
    EXPECT_EQ(view->FilePath(), File("絵.bmp"));
}

// ---- New --------------------------------------------------------------------------------

TEST_F(FilesViewTest, NewOnAModifiedPictureSavesButNoKeepsThePicture) {
    PaintCanvas(4);
    const std::vector<uint8_t> painted = CanvasBytes();
    view->modified = 1;
    Answer({Yes, No});
    Pick(File("kept"));
    EXPECT_FALSE(view->NewPicture());
    EXPECT_EQ(Shown(), (Events{"msgbox 61218", kLeave, Chooser("save", folder.path + "/untitled", File("kept")),
                                Fixed("Saved BMP"), kEnter, "msgbox 61207"}));
    EXPECT_EQ(CanvasBytes(), painted);
    EXPECT_EQ(view->FilePath(), File("kept.bmp"));
    EXPECT_EQ(ReadAll(File("kept.bmp")), CanvasBmp());
}

TEST_F(FilesViewTest, NewOnACleanPictureAsksOnceAndResetsTheView) {
    PaintCanvas(5);
    view->picture.SetPath(File("old.bmp"));
    view->viewOriginX = 16, view->viewOriginY = 40, view->zoomFactor = 4, view->zoomShift = 2;
    Answer({Yes});
    EXPECT_TRUE(view->NewPicture());
    EXPECT_EQ(Shown(), Events{"msgbox 61207"});
    EXPECT_EQ(view->FilePath(), Default());
    EXPECT_EQ(view->viewOriginX, 0);
    EXPECT_EQ(view->viewOriginY, 0);
    EXPECT_EQ(view->zoomFactor, 1);
    EXPECT_EQ(view->zoomShift, 0);
    for (int32_t i = 0; i < Canvas().byteSize; ++i) ASSERT_EQ(Canvas().bytes[i], 255);
}

// ---- Open and fitting -------------------------------------------------------------------

TEST_F(FilesViewTest, CancelledOpenChangesNothing) {
    PaintCanvas(6);
    const std::vector<uint8_t> painted = CanvasBytes();
    view->modified = 1;
    view->picture.SetPath(File("mine.bmp"));
    Answer({No});
    Pick("");
    EXPECT_FALSE(view->OpenPicture(""));
    EXPECT_EQ(Shown(), (Events{"msgbox 61218", kLeave, Chooser("open", File("mine.bmp"), ""), kEnter}));
    EXPECT_EQ(CanvasBytes(), painted);
    EXPECT_EQ(view->FilePath(), File("mine.bmp"));
    EXPECT_EQ(view->modified, 1);
}

// The setting "fitpicture": pictures fitted onto a screen-sized canvas, with questions.
class FitTest : public FilesViewTest {
protected:
    // Opens a coded picture of that size through the chooser with the given answers.
    void OpenCoded(int width, int height, std::initializer_list<MsgAnswer> answers) {
        view->fitPicture = 1;
        WriteAll(File("big.bmp"), CodedBmp(width, height));
        view->viewOriginX = 8, view->viewOriginY = 8, view->zoomFactor = 2, view->zoomShift = 1;
        view->modified = 0;
        view->picture.SetPath(Default());
        Answer(answers);
        Pick(File("big.bmp"));
        ASSERT_TRUE(view->OpenPicture(""));
        Events events = Shown();
        ASSERT_GE(events.size(), 3u);
        EXPECT_EQ(events[0], kLeave);
        EXPECT_EQ(events[1], Chooser("open", Default(), File("big.bmp")));
        EXPECT_EQ(events[2], kEnter);
        questions.assign(events.begin() + 3, events.end());
        EXPECT_EQ(view->viewOriginX, 0);
        EXPECT_EQ(view->viewOriginY, 0);
        EXPECT_EQ(view->zoomFactor, 1);
        EXPECT_EQ(view->zoomShift, 0);
        EXPECT_EQ(view->FilePath(), File("big.bmp"));
    }
    // Every canvas pixel against what it should show.
    template <class Fn>
    void ExpectCanvas(Fn expected) {
        int bad = 0;
        for (int y = 0; y < view->H; ++y)
            for (int x = 0; x < view->W; ++x)
                if (Px(Canvas(), x, y) != expected(x, y) && ++bad <= 3)
                    ADD_FAILURE() << "canvas (" << x << "," << y << ") is " << Px(Canvas(), x, y) << ", want "
                                  << expected(x, y);
        EXPECT_EQ(bad, 0);
    }
    Events questions;
};

TEST_F(FitTest, CoverShrinksTheMiddleOfAWidePicture) {
    OpenCoded(640, 480, {Yes});
    EXPECT_EQ(questions, Events{"msgbox 61216"});
    // The middle 360 x 480 (from x 140) onto 240 x 320.
    ExpectCanvas([](int x, int y) { return Code(140 + x * 360 / 240, y * 480 / 320); });
}

TEST_F(FitTest, CoverOfATallPictureAndOneThatMustGrow) {
    OpenCoded(480, 1280, {Yes});
    ExpectCanvas([](int x, int y) { return Code(x * 480 / 240, 320 + y * 640 / 320); });
    OpenCoded(200, 400, {Yes});
    ExpectCanvas([](int x, int y) { return Code(x * 200 / 240, 66 + y * 266 / 320); });
}

TEST_F(FitTest, NoThenYesCentres) {
    OpenCoded(640, 480, {No, Yes});
    EXPECT_EQ(questions, (Events{"msgbox 61216", "msgbox 61217"}));
    ExpectCanvas([](int x, int y) { return Code(200 + x, 80 + y); });
}

TEST_F(FitTest, CentreOfANarrowTallPictureLeavesWhiteBands) {
    OpenCoded(100, 400, {No, Yes});
    // x offset 50 - 120 = -70: picture columns land on canvas 70..169.
    ExpectCanvas([](int x, int y) { return x >= 70 && x < 170 ? Code(x - 70, y + 40) : kWhite; });
}

TEST_F(FitTest, NoAndNoCopiesTheCorner) {
    OpenCoded(300, 200, {No, No});
    ExpectCanvas([](int x, int y) { return y < 200 ? Code(x, y) : kWhite; });
}

TEST_F(FitTest, PicturesThatFitAskNothing) {
    OpenCoded(240, 320, {});
    EXPECT_EQ(questions, Events{});
    ExpectCanvas([](int x, int y) { return Code(x, y); });
    OpenCoded(100, 50, {});
    EXPECT_EQ(questions, Events{});
    ExpectCanvas([](int x, int y) { return x < 100 && y < 50 ? Code(x, y) : kWhite; });
}

TEST_F(FilesViewTest, CommandLineOpenAsksNothingAndShowsNoChooser) {
    WriteAll(File("start.bmp"), CodedBmp(240, 320));
    view->modified = 1;  // as if drawn on: the command line still asks nothing
    platform.commandLine = File("start.bmp");
    view->OnTimer(1);
    EXPECT_EQ(Shown(), Events{});
    EXPECT_EQ(platform.platformDialogs, 0);
    EXPECT_EQ(view->FilePath(), File("start.bmp"));
    EXPECT_EQ(view->modified, 0);
    EXPECT_EQ(Px(Canvas(), 239, 319), Code(239, 319));
}

TEST_F(FilesViewTest, FailedOpenKeepsTheCanvasAndGoesBackToThePreviousPath) {
    PaintCanvas(7);
    const std::vector<uint8_t> painted = CanvasBytes();
    view->picture.SetPath(File("current.bmp"));
    view->modified = 1;
    view->zoomFactor = 2, view->zoomShift = 1;
    WriteAll(File("junk.jpg"), {0xFF, 0xD8, 0xFF, 0xE0, 0, 0});
    // A header far over the reader's limits, refused whole.
    std::vector<uint8_t> huge = CodedBmp(8, 8);
    huge[18] = 0x00, huge[19] = 0x00, huge[20] = 0x01, huge[21] = 0x00;  // width 65536
    WriteAll(File("huge.bmp"), huge);
    for (const char* name : {"missing.bmp", "junk.jpg", "huge.bmp"}) {
        Answer({No});
        Pick(File(name));
        EXPECT_FALSE(view->OpenPicture(""));
        EXPECT_EQ(Shown(), (Events{"msgbox 61218", kLeave, Chooser("open", File("current.bmp"), File(name)), kEnter,
                                    "msgbox 61208"}))
            << name;
        EXPECT_EQ(view->FilePath(), File("current.bmp"));
        EXPECT_EQ(CanvasBytes(), painted);
        EXPECT_EQ(view->modified, 1);
        EXPECT_EQ(view->zoomFactor, 2);
    }
    // The command line's picture that fails leaves the default path.
    view->picture.SetPath(Default());
    EXPECT_FALSE(view->OpenPicture(File("junk.jpg")));
    EXPECT_EQ(Shown(), Events{"msgbox 61208"});
    EXPECT_EQ(view->FilePath(), Default());
}

// ---- Saves that fail --------------------------------------------------------------------

class FailedSaveTest : public FilesViewTest {
protected:
    void SetUp() override {
        FilesViewTest::SetUp();
        PaintCanvas(8);
        view->modified = 1;
    }
    // Runs the save in a child and brings back its events and modified flag.
    std::string SaveInChild(const std::function<void()> prepare, bool saveAs) {
        return bmptest::RunInChild([&]() {
            prepare();
            if (saveAs)
                view->SavePictureAs();
            else
                view->SavePicture();
            std::string text;
            for (const std::string& e : platform.events) text += e + "\n";
            return text + "modified=" + std::to_string(view->modified);
        });
    }
    const std::vector<uint8_t> old = {'k', 'e', 'e', 'p'};
};

TEST_F(FailedSaveTest, MissingFolderShowsTheCreateErrorAndKeepsModified) {
    view->picture.SetPath(File("nowhere/pic.bmp"));
    Answer({Yes});
    EXPECT_FALSE(view->SavePicture());
    EXPECT_EQ(Shown(), (Events{"msgbox 61209", Fixed("File create error : " + File("nowhere/pic.bmp"))}));
    EXPECT_EQ(view->modified, 1);
    EXPECT_TRUE(folder.Entries().empty());
}

TEST_F(FailedSaveTest, ReadOnlyTargetIsNotAskedAboutAndStaysIntact) {
    const std::string path = File("locked.bmp");
    WriteAll(path, old);
    ASSERT_EQ(chmod(path.c_str(), 0444), 0);
    ASSERT_EQ(chmod(folder.path.c_str(), 0777), 0);
    Pick(path);
    const std::string text = SaveInChild(
        [&]() {
            // Root may write any file: save as an ordinary user.
            if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(3);
        },
        true);
    ASSERT_FALSE(text.empty()) << "the child could not drop root rights";
    // Opening it for writing fails, so it counts as absent: no 61210.
    EXPECT_EQ(text, kLeave + "\n" + Chooser("save", folder.path + "/untitled", path) + "\n" +
                        Fixed("File create error : " + path) + "\n" + kEnter + "\nmodified=1");
    EXPECT_EQ(ReadAll(path), old);
    EXPECT_EQ(folder.Entries(), std::vector<std::string>{"locked.bmp"});
}

TEST_F(FailedSaveTest, FullDiskKeepsTheOldFileAndModified) {
    for (const char* name : {"full.bmp", "full.jpg"}) {
        const std::string path = File(name);
        WriteAll(path, old);
        view->picture.SetPath(path);
        Answer({Yes});
        const std::string text = SaveInChild(
            [&]() {
                signal(SIGXFSZ, SIG_IGN);
                struct rlimit limit = {1000, 1000};
                if (setrlimit(RLIMIT_FSIZE, &limit) != 0) _exit(3);
            },
            false);
        platform.answers.clear();
        const std::string message = name[5] == 'b' ? "File write error : bmpdata" : "File write error : jpegdata";
        EXPECT_EQ(text, "msgbox 61209\n" + Fixed(message) + "\nmodified=1") << name;
        EXPECT_EQ(ReadAll(path), old);
    }
    EXPECT_EQ(folder.Entries(), (std::vector<std::string>{"full.bmp", "full.jpg"}));
}

}  // namespace
}  // namespace vellum::filestest
