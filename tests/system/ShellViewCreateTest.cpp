// The view's creation and shutdown on a small platform: canvas size, the white
// surfaces, the emblem copy, the skin checks and the settings written once.
#include <gtest/gtest.h>

#include <fstream>

#include "app/VellumView.h"
#include "imageio/formats/Bmp.h"
#include "resources/StringIds.h"
#include "ViewTest.h"
#include "formats/BmpTestSupport.h"

namespace vellum::shelltest {
namespace {

using bmptest::ScratchFolder;
using fake::TestPlatform;

// The skin's pixel (x, y): every pixel of the test skin differs from its neighbours.
void SkinColour(int x, int y, uint8_t& r, uint8_t& g, uint8_t& b) {
    r = uint8_t(x);
    g = uint8_t(y);
    b = uint8_t(x * 7 + y * 3 + (y >> 8) * 101);
}

bool WriteSkin(const std::string& path, int width, int height) {
    OwnedSurface skin;
    if (!skin.Allocate(width, height)) return false;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            uint8_t* p = skin->At(x, y);
            SkinColour(x, y, p[2], p[1], p[0]);
        }
    std::vector<uint8_t> bytes;
    if (!EncodeBmp24(*skin, bytes)) return false;
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    return bool(out);
}

bool AllWhite(const PixelSurface& surface) {
    if (!surface.Exists()) return false;
    for (int32_t i = 0; i < surface.byteSize; ++i)
        if (surface.bytes[i] != 255) return false;
    return true;
}

class ViewCreation : public ::testing::Test {
protected:
    void SetUp() override {
        gShutdownDone = false;
        platform.programDir = folder.Dir();
        platform.picturesDir = "/pictures/";
        ASSERT_TRUE(WriteSkin(folder.Dir() + "vellum.dat", 240, 500));
    }
    void TearDown() override { gShutdownDone = false; }

    ScratchFolder folder;
    TestPlatform platform;
};

TEST_F(ViewCreation, CanvasWidthIsRoundedUpToEightAndHeightKept) {
    struct Case {
        int clientWidth, clientHeight, W, H;
    };
    const Case cases[] = {{240, 320, 240, 320}, {233, 320, 240, 320}, {236, 301, 240, 301},
                          {239, 319, 240, 319}, {241, 321, 248, 321}, {248, 1, 248, 1},
                          {1, 7, 8, 7}};
    for (const Case& c : cases) {
        gShutdownDone = false;
        platform.clientWidth = c.clientWidth;
        platform.clientHeight = c.clientHeight;
        CVellumView view(platform);
        ASSERT_TRUE(view.OnCreate());
        SCOPED_TRACE(testing::Message() << c.clientWidth << " x " << c.clientHeight);
        EXPECT_EQ(view.creationFailed, 0);
        EXPECT_EQ(view.W, c.W);
        EXPECT_EQ(view.H, c.H);
        ASSERT_TRUE(view.picture.Exists() && view.screenBuffer.Exists());
        for (const PixelSurface* s : std::initializer_list<const PixelSurface*>{&view.picture.Canvas(), &view.screenBuffer.Get(), &view.picture.ColourLayer(),
                                      &view.picture.CoverageLayer(), &view.picture.PaperSurface()}) {
            EXPECT_EQ(s->width, c.W);
            EXPECT_EQ(s->height, c.H);
        }
    }
}

TEST_F(ViewCreation, SurfacesAndStateAfterCreation) {
    platform.clientWidth = 241;
    CVellumView view(platform);
    ASSERT_TRUE(view.OnCreate());
    EXPECT_TRUE(platform.messages.empty());
    EXPECT_TRUE(AllWhite(view.picture.Canvas()));
    EXPECT_TRUE(AllWhite(view.screenBuffer.Get()));
    EXPECT_TRUE(AllWhite(view.picture.ColourLayer()));
    EXPECT_TRUE(AllWhite(view.picture.CoverageLayer()));
    ASSERT_TRUE(view.skinImage.Exists());
    EXPECT_EQ(view.skinImage->width, 240);
    EXPECT_EQ(view.skinImage->height, 860);
    EXPECT_EQ(view.picture.PenBuffer().width, 128);
    EXPECT_EQ(view.picture.PenBuffer().height, 10);
    EXPECT_EQ(view.skinImage->byteSize, 619200);
    EXPECT_EQ(view.picture.PenBuffer().byteSize, 3840);
    EXPECT_EQ(view.picture.Canvas().byteSize, 248 * 320 * 3);
    EXPECT_EQ(view.paletteMark.x, 50);
    EXPECT_EQ(view.paletteMark.y, 30);
    EXPECT_EQ(view.penIndex, 2);
    EXPECT_EQ(view.zoomFactor, 1);
    EXPECT_EQ(view.FilePath(), "/pictures/untitled.bmp");
}

TEST_F(ViewCreation, SkinRowsComeFromTheFileWithTheEmblemInThePristineBar) {
    CVellumView view(platform);
    ASSERT_TRUE(view.OnCreate());
    const PixelSurface& skin = *view.skinImage;
    int mismatches = 0;
    for (int y = 0; y < 500; ++y)
        for (int x = 0; x < 240; ++x) {
            // The emblem slot (200,5) 20 x 20 holds the emblem (220,250).
            const bool slot = x >= 200 && x < 220 && y >= 5 && y < 25;
            uint8_t r, g, b;
            SkinColour(slot ? x + 20 : x, slot ? y + 245 : y, r, g, b);
            const uint8_t* p = skin.At(x, y);
            if (p[2] != r || p[1] != g || p[0] != b) ++mismatches;
        }
    EXPECT_EQ(mismatches, 0);
    // The emblem's corners in both places, written out.
    EXPECT_EQ(skin.At(200, 5)[2], 220);
    EXPECT_EQ(skin.At(200, 5)[1], 250);
    EXPECT_EQ(skin.At(219, 24)[2], 239);
    EXPECT_EQ(skin.At(219, 24)[1], 269 - 256);
    EXPECT_EQ(skin.At(199, 5)[2], 199);  // just left of the slot: untouched
    EXPECT_EQ(skin.At(200, 25)[1], 25);  // just below it: untouched
}

TEST_F(ViewCreation, LargerSkinFileUsesItsTopLeftCorner) {
    ASSERT_TRUE(WriteSkin(folder.Dir() + "vellum.dat", 300, 520));
    CVellumView view(platform);
    ASSERT_TRUE(view.OnCreate());
    EXPECT_EQ(view.creationFailed, 0);
    // Row 499 of the file, counted from the top, not from the bottom.
    EXPECT_EQ(view.skinImage->At(10, 499)[1], uint8_t(499));
    EXPECT_EQ(view.skinImage->At(239, 0)[2], 239);
}

TEST_F(ViewCreation, MissingOrSmallSkinIsRefusedAndNothingIsReadOrWritten) {
    struct Case {
        const char* what;
        int width, height;  // 0: no file at all
    };
    for (const Case& c : {Case{"missing", 0, 0}, Case{"narrow", 239, 500}, Case{"short", 240, 499}}) {
        SCOPED_TRACE(c.what);
        gShutdownDone = false;
        std::remove((folder.Dir() + "vellum.dat").c_str());
        if (c.width) {
            ASSERT_TRUE(WriteSkin(folder.Dir() + "vellum.dat", c.width, c.height));
        }
        TestPlatform p;
        p.programDir = folder.Dir();
        p.hasSettings = true;
        p.settingsText = "[setting]\nkey_spoit=65\n";
        CVellumView view(p);
        ASSERT_TRUE(view.OnCreate());
        ASSERT_EQ(p.messages.size(), 1u);
        EXPECT_EQ(p.messages[0], IDS_DATA_LOAD_FAILED);
        EXPECT_EQ(view.creationFailed, 1);
        EXPECT_FALSE(view.skinImage.Exists());
        EXPECT_FALSE(view.picture.Exists());
        EXPECT_FALSE(view.screenBuffer.Exists());
        EXPECT_EQ(p.settingsReads, 0);
        EXPECT_EQ(view.keyCodes[KeyEyedropper], kNoKey);

        // The initial update closes the window; the shutdown writes nothing.
        view.OnInitialUpdate();
        EXPECT_EQ(p.closePosts, 1);
        view.OnDestroy();
        EXPECT_EQ(p.settingsWrites, 0);
        EXPECT_EQ(p.settingsText, "[setting]\nkey_spoit=65\n");
    }
}

TEST_F(ViewCreation, EmptyClientAreaIsAMemoryFailure) {
    platform.clientWidth = 0;
    platform.clientHeight = 0;
    CVellumView view(platform);
    ASSERT_TRUE(view.OnCreate());
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0], IDS_MEMORY_ERROR);
    EXPECT_EQ(view.creationFailed, 1);
    EXPECT_EQ(platform.settingsReads, 0);
    view.OnDestroy();
    EXPECT_EQ(platform.settingsWrites, 0);
}

// The two lists the choosers get: Save As the BMP and all-files pairs as they always were,
// then PNG and JPEG; Open those and a pair that shows every picture the program reads.
TEST_F(ViewCreation, FilterListsHoldTheirPairsEndedByTwoNuls) {
    CVellumView view(platform);
    ASSERT_TRUE(view.OnCreate());
    auto strings = [](const char16_t* list, int& end) {
        std::vector<std::u16string> out;
        int i = 0;
        while (list[i] != 0) {
            std::u16string s;
            while (list[i] != 0) s += list[i++];
            out.push_back(s);
            ++i;
        }
        end = i;
        return out;
    };
    const std::vector<std::u16string> save = {u"Bmp Files (*.bmp)",  u"*.bmp", u"All Files (*.*)",    u"*.*",
                                              u"Png Files (*.png)",  u"*.png", u"Jpeg Files (*.jpg)", u"*.jpg;*.jpeg"};
    int end = 0;
    EXPECT_EQ(strings(view.filterList, end), save);
    EXPECT_EQ(view.filterList[end - 1], 0);  // the list's closing NUL, right after the last string's own
    std::vector<std::u16string> open = save;
    open.push_back(u"Pictures (*.bmp *.png *.jpg)");
    open.push_back(u"*.bmp;*.png;*.jpg;*.jpeg");
    EXPECT_EQ(strings(view.openFilterList, end), open);
    EXPECT_EQ(kOpenFilterIndex, 5u);
}

TEST_F(ViewCreation, SettingsAreReadAtCreationAndWrittenOnceAtShutdown) {
    platform.hasSettings = true;
    platform.settingsText = "[setting]\npen=4\nkey_save=5\nstylus=0\n";
    {
        CVellumView view(platform);
        ASSERT_TRUE(view.OnCreate());
        EXPECT_EQ(platform.settingsReads, 1);
        EXPECT_EQ(view.smoothing, 4);
        EXPECT_EQ(view.stylusMode, 0);
        EXPECT_EQ(view.keyCodes[KeySave], 5u);
        view.smoothing = 3;
        view.ShutdownView();
        EXPECT_EQ(platform.settingsWrites, 1);
        EXPECT_FALSE(view.picture.Exists());
        EXPECT_FALSE(view.skinImage.Exists());
        view.OnDestroy();  // the window's destroy after the exit command: nothing more
        EXPECT_EQ(platform.settingsWrites, 1);
    }
    // Values already there keep their places and names; the rest follow in write order.
    EXPECT_EQ(platform.settingsText,
              "[setting]\npen=3\nkey_save=5\nstylus=0\nantijump=0\nkey_darker=1\n"
              "key_lighter=1\nkey_nextpen=1\nkey_nextppr=1\nkey_prevpen=1\nkey_prevppr=1\n"
              "key_spoit=1\nkey_zoom=1\njpeg_quality=10\n");
}

TEST_F(ViewCreation, KeyCodesAboveTheSignedRangeSurviveAWriteAndARead) {
    platform.hasSettings = true;
    platform.settingsText = "[setting]\nkey_spoit=4294967295\nkey_zoom=2147483648\n";
    {
        CVellumView view(platform);
        ASSERT_TRUE(view.OnCreate());
        EXPECT_EQ(view.keyCodes[KeyEyedropper], 4294967295u);
        EXPECT_EQ(view.keyCodes[KeyZoom], 2147483648u);
        view.OnDestroy();
    }
    gShutdownDone = false;
    CVellumView again(platform);
    ASSERT_TRUE(again.OnCreate());
    EXPECT_EQ(again.keyCodes[KeyEyedropper], 4294967295u);
    EXPECT_EQ(again.keyCodes[KeyZoom], 2147483648u);
}

}  // namespace
}  // namespace vellum::shelltest
