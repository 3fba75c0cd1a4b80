// Colours, papers and the custom palette, pen and paper images.
#include <gtest/gtest.h>

#include "DrawTestSupport.h"
#include "formats/BmpTestSupport.h"
#include "resources/StringIds.h"

namespace vellum::drawtest {
namespace {

class PaperColourTest : public DrawViewTest {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(DrawViewTest::SetUp());
        ASSERT_FALSE(folder.path.empty());
    }
    std::string File(const std::string& name) { return folder.File(name); }
    // Texture t's pixel at (i, j), as 0x00RRGGBB.
    uint32_t Texture(int t, int i, int j) { return Rgb(*view->skinImage, 100 * t + i, 250 + j); }
    void ExpectPaper(int texture, bool inverted) {
        const PixelSurface& paper = view->picture.PaperSurface();
        for (int y = 0; y < view->H; ++y)
            for (int x = 0; x < view->W; ++x) {
                const uint32_t t = Texture(texture, x % 100, y % 100);
                ASSERT_EQ(Rgb(paper, x, y), inverted ? (~t & 0xFFFFFF) : t) << x << "," << y;
            }
    }

    bmptest::ScratchFolder folder;
};

TEST_F(PaperColourTest, PapersTileTheirTexturesFromTheCorner) {
    // Textures with no repeat inside a tile, so that every cut tile is checked exactly.
    for (int j = 0; j < 100; ++j)
        for (int i = 0; i < 200; ++i)
            SetPixel(*view->skinImage, i, 250 + j, uint8_t(i), uint8_t(j * 2), uint8_t(i + j));
    ASSERT_EQ(view->W, 240);
    ASSERT_EQ(view->H, 320);
    const int expected[4][2] = {{0, 1}, {0, 0}, {1, 1}, {1, 0}};  // texture, inverted
    for (int p = 0; p < 4; ++p) {
        view->paperIndex = p;
        view->SelectPaper(false);
        ExpectPaper(expected[p][0], expected[p][1] != 0);
    }
    // 3 x 4 tiles; the last column is cut to 40, the last row to 20.
    view->paperIndex = 1;
    view->SelectPaper(false);
    EXPECT_EQ(Rgb(view->picture.PaperSurface(), 239, 319), Texture(0, 39, 19));
    EXPECT_EQ(Rgb(view->picture.PaperSurface(), 200, 300), Texture(0, 0, 0));
}

TEST_F(PaperColourTest, NextPaperFourTimesReturnsToTheStart) {
    const uint64_t start = Fnv1a(view->picture.PaperSurface());
    view->paperIndex = 1;
    view->SelectPaper(true);
    const uint64_t second = Fnv1a(view->picture.PaperSurface());
    EXPECT_NE(second, start);
    // Paper 1 is paper 0's inverse.
    for (int32_t i = 0; i < view->picture.PaperSurface().byteSize; i += 997) {
        view->paperIndex = 0;
        view->SelectPaper(false);
        const uint8_t a = view->picture.PaperSurface().bytes[i];
        view->paperIndex = 1;
        view->SelectPaper(false);
        ASSERT_EQ(view->picture.PaperSurface().bytes[i], uint8_t(255 - a));
    }
    view->paperIndex = 0;
    view->SelectPaper(false);
    for (int k = 0; k < 4; ++k) {
        view->paperIndex = (view->paperIndex + 1) % 4;
        view->SelectPaper(true);
    }
    EXPECT_EQ(view->paperIndex, 0);
    EXPECT_EQ(Fnv1a(view->picture.PaperSurface()), start);
}

TEST_F(PaperColourTest, SetColourFillsTheSwatchAndRebuildsTheStamp) {
    view->SetColour(0x00336699, false);
    EXPECT_EQ(view->currentColour, 0x00336699u);
    for (int y = 514; y < 524; ++y)
        for (int x = 125; x < 135; ++x) ASSERT_EQ(Rgb(*view->skinImage, x, y), 0x996633u);
    // Where the mask is black the colour stamp is the colour itself.
    SetPenMask(*view, [](int, int) { return 0; });
    EXPECT_EQ(Rgb(view->picture.PenBuffer(), 15, 5), 0x996633u);
    view->SetColour(0x000000FF, false);  // red 255 in the low byte
    EXPECT_EQ(Rgb(view->picture.PenBuffer(), 15, 5), 0xFF0000u);
}

TEST_F(PaperColourTest, DisplayColourFollowsTheDensity) {
    view->currentColour = 0x00C86414;  // red 20, green 100, blue 200
    EXPECT_EQ(view->DisplayColour(), 0x00C86414u);
    view->colourDensity = 5.0;  // c x 1.5: 30, 150, 300 capped
    EXPECT_EQ(view->DisplayColour(), 0x00FF961Eu);
    view->colourDensity = 1.0;  // c x 1.1 in doubles: 22, 110, 220
    EXPECT_EQ(view->DisplayColour(), 0x00DC6E16u);
    view->colourDensity = -5.0;  // c - (255 - c) / 2: -97.5, 22.5, 172.5
    EXPECT_EQ(view->DisplayColour(), 0x00AC1600u);
    view->colourDensity = -1.0;  // c - (255 - c) / 10: -3.5, 84.5, 194.5
    EXPECT_EQ(view->DisplayColour(), 0x00C25400u);
}

TEST_F(PaperColourTest, SelectPenZeroAndMinusOneKeepThePen) {
    // Distinct masks for pens 5 and 7.
    for (int p : {5, 7})
        FillGrey(*view->skinImage, 10 + 20 * p, 170, 10, 10, uint8_t(10 * p));
    view->SelectPen(5, false);
    EXPECT_EQ(view->penIndex, 5);
    EXPECT_EQ(Rgb(view->picture.PenBuffer(), 3, 3), 50u * 0x010101);
    view->SelectPen(0, false);
    EXPECT_EQ(view->penIndex, 5);
    EXPECT_EQ(Rgb(view->picture.PenBuffer(), 3, 3), 50u * 0x010101);
    view->SelectPen(-1, false);
    EXPECT_EQ(view->penIndex, 5);
    view->SelectPen(7, false);
    EXPECT_EQ(view->penIndex, 7);
    EXPECT_EQ(Rgb(view->picture.PenBuffer(), 3, 3), 70u * 0x010101);
}

TEST_F(PaperColourTest, LargeCustomPaletteGivesOnlyItsCorner) {
    const std::string path = File("palette.bmp");
    ASSERT_TRUE(WriteTestBmp(path, 200, 80, [](int x, int y) { return uint32_t(x << 16 | y << 8 | 7); }));
    const uint32_t right = Rgb(*view->skinImage, 180, 190);
    const uint32_t below = Rgb(*view->skinImage, 0, 250);
    EXPECT_TRUE(view->LoadCustomPalette(path));
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 180; ++x)
            ASSERT_EQ(Rgb(*view->skinImage, x, 190 + y), uint32_t(x << 16 | y << 8 | 7));
    EXPECT_EQ(Rgb(*view->skinImage, 180, 190), right);
    EXPECT_EQ(Rgb(*view->skinImage, 0, 250), below);
    EXPECT_TRUE(platform.messages.empty());
}

TEST_F(PaperColourTest, SmallCustomPaletteLeavesTheRestBuiltIn) {
    const std::string path = File("small.bmp");
    ASSERT_TRUE(WriteTestBmp(path, 100, 30, [](int x, int y) { return uint32_t(x << 8 | y); }));
    std::vector<uint32_t> builtIn;
    for (int y = 190; y < 250; ++y)
        for (int x = 0; x < 180; ++x) builtIn.push_back(Rgb(*view->skinImage, x, y));
    EXPECT_TRUE(view->LoadCustomPalette(path));
    for (int y = 190; y < 250; ++y)
        for (int x = 0; x < 180; ++x) {
            const uint32_t want = x < 100 && y < 220 ? uint32_t(x << 8 | (y - 190))
                                                     : builtIn[size_t((y - 190) * 180 + x)];
            ASSERT_EQ(Rgb(*view->skinImage, x, y), want) << x << "," << y;
        }
}

TEST_F(PaperColourTest, CustomPenReplacesAllPensAndTheGaps) {
    const std::string path = File("pens.bmp");
    ASSERT_TRUE(WriteTestBmp(path, 170, 10, [](int x, int y) { return uint32_t((x + y) * 0x010101); }));
    EXPECT_TRUE(view->LoadCustomPen(path));
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 170; ++x)
            ASSERT_EQ(Rgb(*view->skinImage, 10 + x, 170 + y), uint32_t((x + y) * 0x010101));
    view->SelectPen(4, false);  // pen 4 is the block at x 80 of the file
    EXPECT_EQ(Rgb(view->picture.PenBuffer(), 0, 0), 80u * 0x010101);
    EXPECT_EQ(Rgb(view->picture.PenBuffer(), 9, 9), 98u * 0x010101);
}

TEST_F(PaperColourTest, CustomPaperReplacesBothTextures) {
    const std::string path = File("paper.bmp");
    ASSERT_TRUE(WriteTestBmp(path, 200, 100, [](int x, int y) { return uint32_t(x << 16 | y); }));
    EXPECT_TRUE(view->LoadCustomPaper(path));
    view->paperIndex = 3;  // texture B straight
    view->SelectPaper(false);
    EXPECT_EQ(Rgb(view->picture.PaperSurface(), 5, 7), uint32_t(105 << 16 | 7));
    EXPECT_EQ(Rgb(view->picture.PaperSurface(), 105, 7), uint32_t(105 << 16 | 7));
}

TEST_F(PaperColourTest, FailedLoadsTellTheUserAndKeepTheSkin) {
    const uint64_t skin = Fnv1a(*view->skinImage);
    const std::string missing = folder.File("none.bmp");
    EXPECT_FALSE(view->LoadCustomPalette(missing));
    EXPECT_FALSE(view->LoadCustomPen(missing));
    const std::string junk = File("junk.bmp");
    FILE* f = std::fopen(junk.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fputs("not a picture", f);
    std::fclose(f);
    EXPECT_FALSE(view->LoadCustomPaper(junk));
    EXPECT_EQ(platform.messages, (std::vector<int>{IDS_CUSTOM_PALETTE_FAILED, IDS_CUSTOM_PEN_FAILED,
                                                   IDS_CUSTOM_PAPER_FAILED}));
    EXPECT_EQ(Fnv1a(*view->skinImage), skin);
}

TEST_F(PaperColourTest, CustomFilesNamedInTheSettingsAreUsedFromTheStart) {
    const std::string pens = File("startpens.bmp");
    ASSERT_TRUE(WriteTestBmp(pens, 170, 10, [](int, int) { return 0x404040u; }));
    const std::string paper = File("startpaper.bmp");
    ASSERT_TRUE(WriteTestBmp(paper, 200, 100, [](int, int) { return 0x0A0B0Cu; }));
    TestPlatform other;
    other.hasSettings = true;
    other.settingsText = "[setting]\ncustompen=" + pens + "\ncustompaper=" + paper +
                         "\ncustompalette=" + folder.File("missing.bmp") + "\n";
    std::unique_ptr<CVellumView> started;
    ASSERT_NO_FATAL_FAILURE(fake::CreateView(other, started));
    EXPECT_EQ(other.messages, (std::vector<int>{IDS_CUSTOM_PALETTE_FAILED}));
    EXPECT_EQ(Rgb(started->picture.PenBuffer(), 0, 0), 0x404040u);          // pen 2 from the file
    EXPECT_EQ(Rgb(started->picture.PaperSurface(), 0, 0), 0xF5F4F3u);       // paper 0: inverted A
}

}  // namespace
}  // namespace vellum::drawtest
