#pragma once
// The program's own small pixel font: the digits of the status bar's pen number (an 8 x 13
// cell) and the "+" of the palette mark (a 14 x 14 cell). Glyphs are drawn in black and
// leave every other pixel alone, so they look the same on every platform.
#include <cstdint>

#include "engine/pixel/Surface.h"

namespace vellum {

struct PixelGlyph {
    char code;
    int32_t width;
    int32_t height;
    const char* rows[14];  // '#' marks a black pixel
};

inline constexpr PixelGlyph kPixelGlyphs[] = {
    {'0', 8, 13, {"........", "........", "........",
                  "..####..", ".##..##.", ".##..##.", ".##.###.", ".###.##.",
                  ".##..##.", ".##..##.", ".##..##.", "..####..", "........"}},
    {'1', 8, 13, {"........", "........", "........",
                  "...##...", "..###...", ".####...", "...##...", "...##...",
                  "...##...", "...##...", "...##...", ".######.", "........"}},
    {'2', 8, 13, {"........", "........", "........",
                  "..####..", ".##..##.", ".....##.", "....##..", "...##...",
                  "..##....", ".##.....", ".##.....", ".######.", "........"}},
    {'3', 8, 13, {"........", "........", "........",
                  "..####..", ".##..##.", ".....##.", "...###..", ".....##.",
                  ".....##.", ".....##.", ".##..##.", "..####..", "........"}},
    {'4', 8, 13, {"........", "........", "........",
                  "....##..", "...###..", "..####..", ".##.##..", ".##.##..",
                  ".######.", "....##..", "....##..", "....##..", "........"}},
    {'5', 8, 13, {"........", "........", "........",
                  ".######.", ".##.....", ".##.....", ".#####..", ".....##.",
                  ".....##.", ".....##.", ".##..##.", "..####..", "........"}},
    {'6', 8, 13, {"........", "........", "........",
                  "...###..", "..##....", ".##.....", ".#####..", ".##..##.",
                  ".##..##.", ".##..##.", ".##..##.", "..####..", "........"}},
    {'7', 8, 13, {"........", "........", "........",
                  ".######.", ".....##.", ".....##.", "....##..", "....##..",
                  "...##...", "...##...", "...##...", "...##...", "........"}},
    {'8', 8, 13, {"........", "........", "........",
                  "..####..", ".##..##.", ".##..##.", "..####..", ".##..##.",
                  ".##..##.", ".##..##.", ".##..##.", "..####..", "........"}},
    {'9', 8, 13, {"........", "........", "........",
                  "..####..", ".##..##.", ".##..##.", ".##..##.", "..#####.",
                  ".....##.", ".....##.", "....##..", "..###...", "........"}},
    // The palette mark: its centre (column 7, row 7) is the picked point when the glyph
    // is centred in the 14-wide box around it and its top is 7 rows above.
    {'+', 14, 14, {"..............", "..............", ".......#......", ".......#......",
                   ".......#......", ".......#......", ".......#......", "..###########.",
                   ".......#......", ".......#......", ".......#......", ".......#......",
                   ".......#......", ".............."}},
};
inline constexpr int32_t kPixelGlyphCount = sizeof(kPixelGlyphs) / sizeof(kPixelGlyphs[0]);
static_assert(kPixelGlyphCount == 11, "ten digits and the plus");

// The glyph for c, or nullptr when the font has none.
inline const PixelGlyph* FindGlyph(char c) {
    for (int32_t i = 0; i < kPixelGlyphCount; ++i)
        if (kPixelGlyphs[i].code == c) return &kPixelGlyphs[i];
    return nullptr;
}

// Advance width of c (its cell width); 0 when the font has no such glyph.
inline int32_t GlyphWidth(char c) {
    const PixelGlyph* g = FindGlyph(c);
    return g ? g->width : 0;
}

inline int32_t GlyphHeight(char c) {
    const PixelGlyph* g = FindGlyph(c);
    return g ? g->height : 0;
}

// Draws c with its cell's top-left at (left, top), clipped to the rectangle
// [clipLeft, clipRight) x [clipTop, clipBottom) and to the surface. Unknown characters
// draw nothing.
inline void DrawGlyphClipped(PixelSurface& s, char c, int32_t left, int32_t top,
                             int32_t clipLeft, int32_t clipTop, int32_t clipRight,
                             int32_t clipBottom) {
    const PixelGlyph* g = FindGlyph(c);
    if (!g || !s.Exists()) return;
    if (clipLeft < 0) clipLeft = 0;
    if (clipTop < 0) clipTop = 0;
    if (clipRight > s.width) clipRight = s.width;
    if (clipBottom > s.height) clipBottom = s.height;
    int32_t gx0 = clipLeft - left > 0 ? clipLeft - left : 0;
    int32_t gy0 = clipTop - top > 0 ? clipTop - top : 0;
    int32_t gx1 = clipRight - left < g->width ? clipRight - left : g->width;
    int32_t gy1 = clipBottom - top < g->height ? clipBottom - top : g->height;
    for (int32_t gy = gy0; gy < gy1; ++gy) {
        const char* row = g->rows[gy];
        uint8_t* p = s.At(left + gx0, top + gy);
        for (int32_t gx = gx0; gx < gx1; ++gx, p += 3)
            if (row[gx] == '#') p[0] = p[1] = p[2] = 0;
    }
}

// Draws c with its cell's top-left at (left, top), clipped at the surface edges.
inline void DrawGlyph(PixelSurface& s, char c, int32_t left, int32_t top) {
    DrawGlyphClipped(s, c, left, top, 0, 0, s.width, s.height);
}

// Draws c top-left aligned in the rectangle (left, top)-(right, bottom), right and bottom
// exclusive, clipped to it: the pen number of the status bar.
inline void DrawGlyphTopLeft(PixelSurface& s, char c, int32_t left, int32_t top,
                             int32_t right, int32_t bottom) {
    DrawGlyphClipped(s, c, left, top, left, top, right, bottom);
}

// Draws c centred horizontally and top-aligned in the rectangle (left, top)-(right, bottom),
// right and bottom exclusive, clipped to it: the palette mark. An odd leftover column goes
// to the right, as text centring does.
inline void DrawGlyphCentredTop(PixelSurface& s, char c, int32_t left, int32_t top,
                                int32_t right, int32_t bottom) {
    int32_t x = left + (right - left - GlyphWidth(c)) / 2;
    DrawGlyphClipped(s, c, x, top, left, top, right, bottom);
}

}  // namespace vellum
