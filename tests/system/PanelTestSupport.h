#pragma once
// A started view on the tests' platform, and pixel helpers for checking the status bar
// and tool panel caches block by block.
#include <gtest/gtest.h>

#include <array>
#include <functional>

#include "ViewTest.h"
#include "panel/PixelFont.h"

namespace vellum::paneltest {

using fake::Rect;

using Rgb = std::array<int, 3>;  // red, green, blue

inline Rgb Px(const PixelSurface& s, int x, int y) {
    const uint8_t* p = s.At(x, y);
    return {p[2], p[1], p[0]};
}

inline Rgb Mul(Rgb a, Rgb b) { return {a[0] * b[0] / 255, a[1] * b[1] / 255, a[2] * b[2] / 255}; }
inline Rgb Inv(Rgb a) { return {255 - a[0], 255 - a[1], 255 - a[2]}; }
constexpr Rgb kBlack{0, 0, 0};

// Whether glyph c has a black pixel at cell (gx, gy).
inline bool GlyphInk(char c, int gx, int gy) {
    const PixelGlyph* g = FindGlyph(c);
    if (!g || gx < 0 || gy < 0 || gx >= g->width || gy >= g->height) return false;
    return g->rows[gy][gx] == '#';
}

class PanelViewTest : public fake::ViewTest {
protected:
    // Open and save choosers shown: the platform's own dialog or the outside library.
    int ChoosersShown() const { return platform.platformDialogs + int(platform.libraryNames.size()); }

    PixelSurface& Skin() { return *view->skinImage; }
    // Pixels of the pristine strips (skin rows 0..29 and 30..159) and the work areas.
    Rgb Pristine(int x, int y) { return Px(Skin(), x, y); }
    Rgb Bar(int x, int y) { return Px(Skin(), x, 500 + y); }
    Rgb PristinePanel(int x, int y) { return Px(Skin(), x, 30 + y); }
    Rgb Panel(int x, int y) { return Px(Skin(), x, 530 + y); }

    // Compares a block of a cache, pixel by pixel, with what the expectation gives.
    void ExpectBlock(const char* what, bool panel, int x, int y, int w, int h,
                     const std::function<Rgb(int, int)>& expected) {
        int bad = 0;
        for (int j = 0; j < h; ++j)
            for (int i = 0; i < w; ++i) {
                const Rgb got = panel ? Panel(x + i, y + j) : Bar(x + i, y + j);
                const Rgb want = expected(i, j);
                if (got != want && ++bad <= 3)
                    ADD_FAILURE() << what << " at (" << x + i << "," << y + j << "): got "
                                  << got[0] << " " << got[1] << " " << got[2] << ", want "
                                  << want[0] << " " << want[1] << " " << want[2];
            }
        EXPECT_EQ(bad, 0) << what;
    }
};

}  // namespace vellum::paneltest
