// The built-in pixel font: the pen digit in its 8 x 13 box, the palette "+" centred on the
// picked point, clipping at the box and the surface edges.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "panel/PixelFont.h"

namespace vellum {
namespace {

// A white surface, read back as one string per row ('#' black, '.' white, '?' other).
struct Board {
    OwnedSurface s;
    Board(int w, int h) {
        EXPECT_TRUE(s.Allocate(w, h));
        std::memset(s->bytes, 255, size_t(s->byteSize));
    }
    std::vector<std::string> Rows(int x0, int y0, int w, int h) {
        std::vector<std::string> out;
        for (int y = y0; y < y0 + h; ++y) {
            std::string row;
            for (int x = x0; x < x0 + w; ++x) {
                const uint8_t* p = s->At(x, y);
                row += (p[0] == 0 && p[1] == 0 && p[2] == 0) ? '#'
                       : (p[0] == 255 && p[1] == 255 && p[2] == 255) ? '.'
                                                                      : '?';
            }
            out.push_back(row);
        }
        return out;
    }
    int Black() {
        int n = 0;
        for (int y = 0; y < s->height; ++y)
            for (int x = 0; x < s->width; ++x) n += s->At(x, y)[0] == 0;
        return n;
    }
};

TEST(PixelFont, EveryGlyphRowIsAsWideAsItsCell) {
    for (const PixelGlyph& g : kPixelGlyphs) {
        for (int y = 0; y < g.height; ++y)
            EXPECT_EQ(int(std::strlen(g.rows[y])), g.width) << g.code << " row " << y;
    }
    for (char c = '0'; c <= '9'; ++c) {
        EXPECT_EQ(GlyphWidth(c), 8);
        EXPECT_EQ(GlyphHeight(c), 13);
    }
    EXPECT_EQ(GlyphWidth('+'), 14);
    EXPECT_EQ(GlyphHeight('+'), 14);
    EXPECT_EQ(GlyphWidth('x'), 0);
    EXPECT_EQ(FindGlyph('A'), nullptr);
}

TEST(PixelFont, PenDigitSitsTopLeftInItsBoxBesideTheIcon) {
    // As the status bar draws pen 1's number: rectangle left 115, top 11, right 123,
    // bottom 24. The digit's ink lies on rows 14..22, level with the 10 x 10 pen icon.
    Board b(128, 30);
    DrawGlyphTopLeft(b.s.Get(), '1', 115, 11, 123, 24);
    std::vector<std::string> expect = {
        "........", "........", "........",
        "...##...", "..###...", ".####...", "...##...", "...##...",
        "...##...", "...##...", "...##...", ".######.", "........"};
    EXPECT_EQ(b.Rows(115, 11, 8, 13), expect);
    EXPECT_EQ(b.Black(), 25);  // nothing outside the box
}

TEST(PixelFont, DigitsAreDistinctAndKeepToTheirBox) {
    std::vector<std::vector<std::string>> seen;
    for (char c = '0'; c <= '9'; ++c) {
        Board b(16, 16);
        DrawGlyphTopLeft(b.s.Get(), c, 4, 1, 12, 14);
        std::vector<std::string> rows = b.Rows(0, 0, 16, 16);
        int inside = 0;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x)
                if (rows[y][x] == '#') {
                    EXPECT_TRUE(x >= 4 && x < 12 && y >= 1 && y < 14) << c;
                    ++inside;
                }
        EXPECT_GE(inside, 14) << c;
        for (const auto& other : seen) EXPECT_NE(rows, other) << c;
        seen.push_back(rows);
    }
}

TEST(PixelFont, PlusIsCentredOnThePaletteMark) {
    // The colour page draws "+" centred horizontally, top-aligned in (mx-7, my-7)-(mx+7, my+7).
    Board b(240, 130);
    const int mx = 120, my = 60;
    DrawGlyphCentredTop(b.s.Get(), '+', mx - 7, my - 7, mx + 7, my + 7);
    std::vector<std::string> rows = b.Rows(mx - 6, my - 6, 13, 13);
    std::vector<std::string> expect = {
        ".............", "......#......", "......#......", "......#......",
        "......#......", "......#......", ".###########.", "......#......",
        "......#......", "......#......", "......#......", "......#......",
        "............."};
    EXPECT_EQ(rows, expect);
    // The arms meet on the picked pixel and reach five pixels out each way.
    const uint8_t* centre = b.s->At(mx, my);
    EXPECT_EQ(centre[0], 0);
    for (int d = 1; d <= 5; ++d) {
        EXPECT_EQ(b.s->At(mx - d, my)[0], 0) << d;
        EXPECT_EQ(b.s->At(mx + d, my)[0], 0) << d;
        EXPECT_EQ(b.s->At(mx, my - d)[0], 0) << d;
        EXPECT_EQ(b.s->At(mx, my + d)[0], 0) << d;
    }
    EXPECT_EQ(b.s->At(mx + 6, my)[0], 255);
    EXPECT_EQ(b.s->At(mx, my - 6)[0], 255);
    EXPECT_EQ(b.s->At(mx + 1, my + 1)[0], 255);
    EXPECT_EQ(b.Black(), 21);
}

TEST(PixelFont, ClipsAtTheSurfaceEdges) {
    // A mark at the palette's first picked column still lies inside the panel; one near
    // the surface corner is cut, never written outside.
    Board b(8, 8);
    DrawGlyph(b.s.Get(), '+', -7, -7);  // centre at (0, 0)
    std::vector<std::string> expect = {"######..", "#.......", "#.......", "#.......",
                                       "#.......", "#.......", "........", "........"};
    EXPECT_EQ(b.Rows(0, 0, 8, 8), expect);

    Board c(8, 8);
    DrawGlyph(c.s.Get(), '+', 1, 1);  // centre at (8, 8): just off the surface
    EXPECT_EQ(c.Black(), 0);
    DrawGlyph(c.s.Get(), '8', 100, 100);
    DrawGlyph(c.s.Get(), '8', -100, -100);
    EXPECT_EQ(c.Black(), 0);
    DrawGlyph(c.s.Get(), '8', 0, -6);  // rows 6..12 of the glyph land on rows 0..6
    std::vector<std::string> rows = c.Rows(0, 0, 8, 8);
    EXPECT_EQ(rows[0], "..####..");
    EXPECT_EQ(rows[1], ".##..##.");
    EXPECT_EQ(rows[5], "..####..");
    EXPECT_EQ(rows[6], "........");
    EXPECT_EQ(rows[7], "........");
}

TEST(PixelFont, ClipsToItsBoxAndIgnoresUnknownCharacters) {
    Board b(32, 32);
    // A box narrower than the glyph cuts it instead of writing beside it.
    DrawGlyphTopLeft(b.s.Get(), '8', 4, 4, 7, 10);
    std::vector<std::string> rows = b.Rows(4, 4, 8, 13);
    for (int y = 0; y < 13; ++y)
        for (int x = 0; x < 8; ++x)
            if (rows[y][x] == '#') {
                EXPECT_TRUE(x < 3 && y < 6) << x << "," << y;
            }
    EXPECT_GT(b.Black(), 0);
    Board c(16, 16);
    DrawGlyph(c.s.Get(), '?', 0, 0);
    DrawGlyph(c.s.Get(), ' ', 0, 0);
    DrawGlyphCentredTop(c.s.Get(), 'Q', 0, 0, 16, 16);
    EXPECT_EQ(c.Black(), 0);
    PixelSurface absent;
    DrawGlyph(absent, '1', 0, 0);  // an absent surface is left alone
}

}  // namespace
}  // namespace vellum
