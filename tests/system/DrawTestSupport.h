#pragma once
// A view created on the tests' platform but not yet shown (the drawing tests start from
// the bare surfaces), and pixel helpers.
#include <array>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "ViewTest.h"
#include "app/VellumView.h"
#include "engine/pixel/PixelOps.h"

namespace vellum::drawtest {

using fake::Rect;
using fake::TestPlatform;

class DrawViewTest : public fake::ViewTest {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(fake::CreateView(platform, view));
        ASSERT_TRUE(view->picture.Exists());
    }
};

// One channel of pixel (x, y): 0 blue, 1 green, 2 red.
inline int Channel(const PixelSurface& s, int x, int y, int c) { return s.At(x, y)[c]; }

inline uint32_t Rgb(const PixelSurface& s, int x, int y) {
    const uint8_t* p = s.At(x, y);
    return uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0];
}

inline void SetPixel(PixelSurface& s, int x, int y, uint8_t r, uint8_t g, uint8_t b) {
    uint8_t* p = s.At(x, y);
    p[0] = b;
    p[1] = g;
    p[2] = r;
}

inline void FillGrey(PixelSurface& s, int x, int y, int w, int h, uint8_t v) {
    FillRectColour(s, x, y, w, h, v, v, v);
}

// The picture's paper from a 100 x 100 tile whose pixel (x, y) is colour(x, y) as r, g, b
// (a std::array), repeated from the canvas's corner as the program repeats its tiles.
template <class F>
void SetPaperTile(CVellumView& view, F colour) {
    OwnedSurface tile;
    if (!tile.Allocate(kPaperTile, kPaperTile)) return;
    for (int y = 0; y < kPaperTile; ++y)
        for (int x = 0; x < kPaperTile; ++x) {
            const auto c = colour(x, y);
            SetPixel(*tile, x, y, c[0], c[1], c[2]);
        }
    view.picture.SetPaper(view.ops, *tile, 0, 0, kPaperTile, kPaperTile, false);
}
inline void SetPaperGrey(CVellumView& view, uint8_t v) {
    SetPaperTile(view, [v](int, int) { return std::array<uint8_t, 3>{v, v, v}; });
}

// Writes pen mask penIndex of the skin from a function of the mask position, then
// rebuilds the stamp.
template <class F>
void SetPenMask(CVellumView& view, F grey) {
    for (int j = 0; j < 10; ++j)
        for (int i = 0; i < 10; ++i) {
            const uint8_t v = uint8_t(grey(i, j));
            SetPixel(*view.skinImage, 10 + 20 * view.penIndex + i, 170 + j, v, v, v);
        }
    view.SelectPen(-1, false);
}

inline uint64_t Fnv1a(const PixelSurface& s) {
    uint64_t h = 1469598103934665603ull;
    for (int32_t i = 0; i < s.byteSize; ++i) {
        h ^= s.bytes[i];
        h *= 1099511628211ull;
    }
    return h;
}

// A 24-bit BMP file of the given size whose pixel (x, y) is colour(x, y) as 0x00RRGGBB.
template <class F>
bool WriteTestBmp(const std::string& path, int w, int h, F colour) {
    const int stride = (w * 3 + 3) & ~3;
    std::vector<uint8_t> file(54 + size_t(stride) * h, 0);
    auto put32 = [&](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i) file[at + i] = uint8_t(v >> (8 * i));
    };
    file[0] = 'B';
    file[1] = 'M';
    put32(2, uint32_t(file.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, uint32_t(w));
    put32(22, uint32_t(h));
    file[26] = 1;
    file[28] = 24;
    put32(34, uint32_t(stride * h));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const uint32_t c = colour(x, y);
            uint8_t* p = &file[54 + size_t(stride) * (h - 1 - y) + 3 * x];
            p[0] = uint8_t(c);
            p[1] = uint8_t(c >> 8);
            p[2] = uint8_t(c >> 16);
        }
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    const bool ok = std::fwrite(file.data(), 1, file.size(), f) == file.size();
    return std::fclose(f) == 0 && ok;
}

}  // namespace vellum::drawtest
