// The generated skin vellum.dat: its format, that the generator repeats itself byte for
// byte, and the properties the program relies on (pure black and white in the palette,
// distinct pen masks, seamless papers that hold the pencil back without blocking it,
// plain blanks under the status bar icons).
#include <gtest/gtest.h>

#include <algorithm>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>
#include <vector>

#include "imageio/formats/Bmp.h"
#include "engine/Screen.h"
#include "engine/skin/SkinLayout.h"

namespace vellum {
namespace {

const char* const kSkinPath = VELLUM_BIN_DIR "/vellum.dat";
const char* const kGenerator = VELLUM_BIN_DIR "/vellum-skingen";

std::vector<uint8_t> ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

struct Rgb {
    int r, g, b;
    bool operator==(const Rgb&) const = default;
};

class SkinFile : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        bytes = new std::vector<uint8_t>(ReadAll(kSkinPath));
        skin = new OwnedSurface;
        loaded = DecodeBmp(bytes->data(), bytes->size(), *skin);
    }
    static void TearDownTestSuite() {
        delete skin;
        delete bytes;
    }
    void SetUp() override { ASSERT_TRUE(loaded) << kSkinPath; }

    static Rgb At(int x, int y) {
        const uint8_t* p = skin->Get().At(x, y);
        return {p[2], p[1], p[0]};
    }
    static int Grey(int x, int y) { return At(x, y).g; }

    static std::vector<uint8_t>* bytes;
    static OwnedSurface* skin;
    static bool loaded;
};
std::vector<uint8_t>* SkinFile::bytes = nullptr;
OwnedSurface* SkinFile::skin = nullptr;
bool SkinFile::loaded = false;

uint32_t Le32(const std::vector<uint8_t>& b, size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | uint32_t(b[at + 3]) << 24;
}

TEST_F(SkinFile, IsAPlain24BitBmpOfTheFileRows) {
    ASSERT_EQ(bytes->size(), 54u + 240u * 3u * 500u);
    EXPECT_EQ((*bytes)[0], 'B');
    EXPECT_EQ((*bytes)[1], 'M');
    EXPECT_EQ(Le32(*bytes, 10), 54u);
    EXPECT_EQ(Le32(*bytes, 18), 240u);
    EXPECT_EQ(Le32(*bytes, 22), 500u);  // positive: bottom-up rows
    EXPECT_EQ((*bytes)[28], 24);
    EXPECT_EQ(Le32(*bytes, 30), 0u);    // uncompressed
    EXPECT_EQ(skin->Get().width, kSkinImageWidth);
    EXPECT_EQ(skin->Get().height, kSkinFileHeight);
}

TEST(SkinGenerator, WritesTheSameBytesEveryRun) {
    std::string base = "/tmp/vellum-skin-test-" + std::to_string(getpid());
    std::string a = base + "-a.dat", b = base + "-b.dat";
    ASSERT_EQ(std::system((std::string(kGenerator) + " " + a).c_str()), 0);
    ASSERT_EQ(std::system((std::string(kGenerator) + " " + b).c_str()), 0);
    std::vector<uint8_t> first = ReadAll(a), second = ReadAll(b), built = ReadAll(kSkinPath);
    std::remove(a.c_str());
    std::remove(b.c_str());
    ASSERT_EQ(first.size(), 54u + 240u * 3u * 500u);
    EXPECT_TRUE(first == second);
    EXPECT_TRUE(first == built);
    // No output path: a usage error, and nothing written.
    EXPECT_NE(std::system((std::string(kGenerator) + " 2>/dev/null").c_str()), 0);
    EXPECT_NE(std::system((std::string(kGenerator) + " /nonexistent-dir/x.dat 2>/dev/null").c_str()), 0);
}

TEST_F(SkinFile, PaletteHasPureBlackAndWhiteWhereAPickReachesThem) {
    // A pick on the colour page reads palette positions 1..179 across and 1..59 down.
    SkinRect pal = RegionRect(Region::Palette);
    int black = 0, white = 0;
    for (int y = 1; y < pal.h; ++y)
        for (int x = 1; x < pal.w; ++x) {
            Rgb c = At(pal.x + x, pal.y + y);
            black += c == Rgb{0, 0, 0};
            white += c == Rgb{255, 255, 255};
        }
    // Several pixels of each, so that a stylus need not hit one exact point.
    EXPECT_GE(black, 25);
    EXPECT_GE(white, 25);
}

TEST_F(SkinFile, PaletteSpansTheHueCircle) {
    // The middle row holds saturated colours: each of red, green and blue dominates
    // somewhere, and the chart does not repeat one colour across its hue columns.
    SkinRect pal = RegionRect(Region::Palette);
    int y = pal.y + pal.h / 2;
    bool red = false, green = false, blue = false;
    for (int x = 1; x < 150; ++x) {
        Rgb c = At(pal.x + x, y);
        red |= c.r > 200 && c.g < 60 && c.b < 60;
        green |= c.g > 200 && c.r < 60 && c.b < 60;
        blue |= c.b > 200 && c.r < 60 && c.g < 60;
    }
    EXPECT_TRUE(red && green && blue);
    // Lighter at the top than at the bottom in every hue column.
    for (int x = 1; x < 150; x += 7) {
        Rgb top = At(pal.x + x, pal.y + 1), bottom = At(pal.x + x, pal.y + pal.h - 1);
        EXPECT_GT(top.r + top.g + top.b, bottom.r + bottom.g + bottom.b + 300) << "column " << x;
    }
}

TEST_F(SkinFile, PenMasksAreDistinctGreyMarksOnWhite) {
    std::vector<std::vector<int>> masks;
    for (int i = 0; i < kPenCount; ++i) {
        SkinRect r = PenIconRect(i);
        std::vector<int> m;
        for (int y = 0; y < 10; ++y)
            for (int x = 0; x < 10; ++x) {
                Rgb c = At(r.x + x, r.y + y);
                // Each channel is a mask of its own: grey masks give equal coverage.
                EXPECT_TRUE(c.r == c.g && c.g == c.b) << "pen " << i << " at " << x << "," << y;
                m.push_back(c.g);
            }
        // White at the corners of the block: a stamp has no square edge.
        EXPECT_EQ(m[0], 255) << "pen " << i;
        EXPECT_EQ(m[9], 255) << "pen " << i;
        EXPECT_EQ(m[90], 255) << "pen " << i;
        EXPECT_EQ(m[99], 255) << "pen " << i;
        // Marking at the stylus point (5, 5) of the block: the pixels around it are as dark
        // as the darkest of the mask, and clearly below white.
        int darkest = 255;
        for (int v : m) darkest = std::min(darkest, v);
        int centre = std::min(std::min(m[44], m[45]), std::min(m[54], m[55]));
        EXPECT_LE(darkest, 225) << "pen " << i;
        EXPECT_LE(centre, darkest + 12) << "pen " << i;
        masks.push_back(m);
    }
    for (int i = 0; i < kPenCount; ++i)
        for (int j = i + 1; j < kPenCount; ++j) EXPECT_NE(masks[i], masks[j]) << i << " vs " << j;
    // The first pen is the hard point: full pencil at its centre.
    int darkest0 = 255;
    for (int v : masks[0]) darkest0 = std::min(darkest0, v);
    EXPECT_LE(darkest0, 10);
}

// Mean absolute step between neighbouring pixels across the tile's seam (column 99 to
// column 0, row 99 to row 0) and inside it.
struct SeamSteps {
    double acrossColumnSeam = 0, insideColumns = 0, acrossRowSeam = 0, insideRows = 0;
};

TEST_F(SkinFile, PapersTileWithoutSeams) {
    for (Region which : {Region::PaperA, Region::PaperB}) {
        SkinRect r = RegionRect(which);
        SeamSteps s;
        int inside = 0;
        for (int k = 0; k < 100; ++k) {
            s.acrossColumnSeam += std::abs(Grey(r.x + 99, r.y + k) - Grey(r.x, r.y + k));
            s.acrossRowSeam += std::abs(Grey(r.x + k, r.y + 99) - Grey(r.x + k, r.y));
            for (int j = 0; j < 99; ++j) {
                s.insideColumns += std::abs(Grey(r.x + j + 1, r.y + k) - Grey(r.x + j, r.y + k));
                s.insideRows += std::abs(Grey(r.x + k, r.y + j + 1) - Grey(r.x + k, r.y + j));
            }
            ++inside;
        }
        s.acrossColumnSeam /= 100;
        s.acrossRowSeam /= 100;
        s.insideColumns /= 99.0 * inside;
        s.insideRows /= 99.0 * inside;
        // A seam would show as a step larger than the grain's own.
        EXPECT_LT(s.acrossColumnSeam, 1.3 * s.insideColumns) << int(which);
        EXPECT_LT(s.acrossRowSeam, 1.3 * s.insideRows) << int(which);
        // And the grain is really there.
        EXPECT_GT(s.insideColumns, 4.0) << int(which);
    }
}

TEST_F(SkinFile, PapersHoldThePencilBackWithoutBlockingIt) {
    // Each texture is used straight and inverted as the paper surface, whose value 255
    // blocks the pencil: neither use may come near blocking everywhere, and both must
    // show grain. Also grey, since each channel holds the pencil back on its own.
    for (Region which : {Region::PaperA, Region::PaperB}) {
        SkinRect r = RegionRect(which);
        int lo = 255, hi = 0;
        double sum = 0;
        for (int y = 0; y < 100; ++y)
            for (int x = 0; x < 100; ++x) {
                Rgb c = At(r.x + x, r.y + y);
                ASSERT_TRUE(c.r == c.g && c.g == c.b);
                lo = std::min(lo, c.g);
                hi = std::max(hi, c.g);
                sum += c.g;
            }
        double mean = sum / 10000;
        EXPECT_GE(lo, 60) << int(which);
        EXPECT_LE(hi, 245) << int(which);
        EXPECT_GT(hi - lo, 100) << int(which);
        EXPECT_GT(mean, 130) << int(which);
        EXPECT_LT(mean, 215) << int(which);
    }
}

TEST_F(SkinFile, StatusBarBlanksArePlain) {
    // The pen item copies (105,10) 18 x 14 back before drawing its icon and digit, and
    // every 10 x 10 icon starts from (105,14): all of it one colour.
    SkinRect blank = RegionRect(Region::BarPenBlank);
    Rgb ground = At(blank.x, blank.y);
    for (int y = blank.y; y < blank.Bottom(); ++y)
        for (int x = blank.x; x < blank.Right(); ++x) EXPECT_EQ(At(x, y), ground) << x << "," << y;
    // The spots the paper, zoom and hand items fill from that blank match it already.
    for (int x0 : {145, 165, 185})
        for (int y = 14; y < 24; ++y)
            for (int x = x0; x < x0 + 10; ++x) EXPECT_EQ(At(x, y), ground) << x << "," << y;
    // Light: the bar is multiplied over the picture.
    EXPECT_GE(ground.r + ground.g + ground.b, 3 * 225);
    // The emblem already sits where the program copies it.
    SkinRect emblem = RegionRect(Region::BarEmblem), slot = RegionRect(Region::BarEmblemSlot);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x) EXPECT_EQ(At(slot.x + x, slot.y + y), At(emblem.x + x, emblem.y + y));
}

TEST_F(SkinFile, MultipliedPiecesKeepTheirSurroundingsWhite) {
    // Multiplied onto the bar or the panel, so white wherever they should leave the
    // ground alone.
    SkinRect sel = RegionRect(Region::SelectionMark), er = RegionRect(Region::EraserMark);
    for (SkinRect m : {sel, er}) {
        EXPECT_EQ(At(m.x, m.y), (Rgb{255, 255, 255}));
        EXPECT_EQ(At(m.x + 9, m.y), (Rgb{255, 255, 255}));
        EXPECT_EQ(At(m.x + 9, m.y + 9), (Rgb{255, 255, 255}));
    }
    // The centre of the selection mark is marked.
    Rgb centre = At(sel.x + 5, sel.y + 5);
    EXPECT_LT(centre.r + centre.g + centre.b, 3 * 200);
    // The file buttons' border columns belong to no button.
    SkinRect files = RegionRect(Region::FileButtons);
    for (int bx : {0, 40, 80, 120})
        for (int y = 0; y < files.h; ++y) EXPECT_EQ(At(files.x + bx, files.y + y), (Rgb{255, 255, 255}));
    for (int y = 0; y < files.h; ++y) EXPECT_EQ(At(files.x + 159, files.y + y), (Rgb{255, 255, 255}));
    SkinRect keys = RegionRect(Region::KeySettingsButton);
    EXPECT_EQ(At(keys.x, keys.y), (Rgb{255, 255, 255}));
    EXPECT_EQ(At(keys.Right() - 1, keys.Bottom() - 1), (Rgb{255, 255, 255}));
}

TEST_F(SkinFile, CopiedPiecesMatchThePanelGround) {
    // The pen row, the panel button and the palette are copied opaquely onto the page
    // area; their outer pixels are the page's own ground, so the copies show no box.
    Rgb page = At(100, 30 + 10);
    SkinRect penRow = RegionRect(Region::PenRow), button = RegionRect(Region::PanelButton);
    EXPECT_EQ(At(penRow.x, penRow.y), page);
    EXPECT_EQ(At(penRow.Right() - 1, penRow.Bottom() - 1), page);
    EXPECT_EQ(At(button.x, button.y), page);
    EXPECT_EQ(At(button.Right() - 1, button.Bottom() - 1), page);
    // The rows no region uses are plain white.
    const SkinRect zoomOut = RegionRect(Region::ZoomOutIcons);
    for (int y = 450; y < 500; ++y)
        for (int x = 0; x < 240; x += 3)
            if ((y >= 485 || x >= 200) && !zoomOut.Contains(x, y)) EXPECT_EQ(At(x, y), (Rgb{255, 255, 255})) << x << "," << y;
    // The size button is multiplied onto the file page: white around it.
    const SkinRect size = RegionRect(Region::SizeButton);
    EXPECT_EQ(At(size.x, size.y), (Rgb{255, 255, 255}));
    EXPECT_EQ(At(size.Right() - 1, size.Bottom() - 1), (Rgb{255, 255, 255}));
    // Each zoom indicator, in and out, has ink of its own: no two alike.
    for (int a = kLeastZoomShift; a <= kMostZoomShift; ++a)
        for (int b = a + 1; b <= kMostZoomShift; ++b) {
            bool differ = false;
            const SkinRect ra = ZoomIconRect(a), rb = ZoomIconRect(b);
            for (int y = 0; y < 10; ++y)
                for (int x = 0; x < 10; ++x) differ = differ || !(At(ra.x + x, ra.y + y) == At(rb.x + x, rb.y + y));
            EXPECT_TRUE(differ) << a << " " << b;
        }
}

TEST_F(SkinFile, UndoPiecesFitWhereTheyGo) {
    // The bar's pictograms are copied over the emblem's place: their ground is the bar's.
    const Rgb ground = At(RegionRect(Region::BarPenBlank).x, RegionRect(Region::BarPenBlank).y);
    auto ink = [&](SkinRect r) {
        int darkest = 255 * 3;
        for (int y = 0; y < r.h; ++y)
            for (int x = 0; x < r.w; ++x) {
                const Rgb c = At(r.x + x, r.y + y);
                darkest = std::min(darkest, c.r + c.g + c.b);
            }
        return darkest;
    };
    for (Region r : {Region::BarUndo, Region::BarUndoDimmed}) {
        const SkinRect p = RegionRect(r);
        EXPECT_EQ(At(p.x, p.y), ground);
        EXPECT_EQ(At(p.Right() - 1, p.Bottom() - 1), ground);
    }
    EXPECT_LT(ink(RegionRect(Region::BarUndo)) + 150, ink(RegionRect(Region::BarUndoDimmed)))
        << "the dimmed pictogram is clearly lighter";
    // The buttons are multiplied onto the file page: white around them, and the dimmed
    // ones lighter.
    for (Region r : {Region::UndoButton, Region::UndoButtonDimmed, Region::RedoButton, Region::RedoButtonDimmed}) {
        const SkinRect b = RegionRect(r);
        EXPECT_EQ(At(b.x, b.y), (Rgb{255, 255, 255}));
        EXPECT_EQ(At(b.Right() - 1, b.y), (Rgb{255, 255, 255}));
    }
    EXPECT_LT(ink(RegionRect(Region::UndoButton)) + 150, ink(RegionRect(Region::UndoButtonDimmed)));
    EXPECT_LT(ink(RegionRect(Region::RedoButton)) + 150, ink(RegionRect(Region::RedoButtonDimmed)));
}

TEST(SkinRegions, TableMatchesTheLayoutAndRegionsDoNotOverlap) {
    EXPECT_EQ(RegionRect(Region::PristineBar).h, 30);
    EXPECT_EQ(RegionRect(Region::PristinePanel).y, 30);
    EXPECT_EQ(RegionRect(Region::PristinePanel).h, 130);
    EXPECT_EQ(PenIconRect(4).x, 90);
    EXPECT_EQ(PaperIconRect(2).x, 220);
    EXPECT_EQ(ZoomIconRect(1).y, 180);
    EXPECT_EQ(PaperTextureRect(1).x, 100);
    const Region separate[] = {
        Region::PristineBar, Region::PristinePanel, Region::EraserMark, Region::SelectionMark,
        Region::PenRow, Region::PaperIcons, Region::ZoomIcons, Region::PanelButton,
        Region::Palette, Region::PaperA, Region::PaperB, Region::BarEmblem,
        Region::FileButtons, Region::KeySettingsButton, Region::BarWorkArea,
        Region::PanelWorkArea, Region::Spare, Region::BarUndo, Region::BarUndoDimmed,
        Region::UndoButton, Region::UndoButtonDimmed, Region::RedoButton, Region::RedoButtonDimmed};
    for (Region a : separate) {
        SkinRect r = RegionRect(a);
        EXPECT_TRUE(r.x >= 0 && r.y >= 0 && r.Right() <= kSkinImageWidth && r.Bottom() <= kSkinImageHeight);
        for (Region b : separate) {
            if (a == b) continue;
            SkinRect s = RegionRect(b);
            bool overlap = r.x < s.Right() && s.x < r.Right() && r.y < s.Bottom() && s.y < r.Bottom();
            EXPECT_FALSE(overlap) << int(a) << " and " << int(b);
        }
    }
    // The places inside other regions lie inside them.
    auto inside = [](SkinRect in, SkinRect out) {
        return in.x >= out.x && in.y >= out.y && in.Right() <= out.Right() && in.Bottom() <= out.Bottom();
    };
    EXPECT_TRUE(inside(RegionRect(Region::BarPenBlank), RegionRect(Region::PristineBar)));
    EXPECT_TRUE(inside(RegionRect(Region::BarEmblemSlot), RegionRect(Region::PristineBar)));
    EXPECT_TRUE(inside(RegionRect(Region::CustomPenTarget), RegionRect(Region::PenRow)));
    for (int i = 0; i < kPenCount; ++i) EXPECT_TRUE(inside(PenIconRect(i), RegionRect(Region::CustomPenTarget)));
    EXPECT_EQ(RegionRect(Region::CustomPaperTarget).w, RegionRect(Region::PaperA).w + RegionRect(Region::PaperB).w);
}

}  // namespace
}  // namespace vellum
