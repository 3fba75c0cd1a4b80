#pragma once
// The coloured pencil: the pen stamp built from a mask and a colour, single stamps, and
// segments stamped into two scratch layers, held back by the paper grain and laid onto
// the canvas. Plain functions over surfaces: no view, no platform.
#include <cstdint>

#include "engine/Geometry.h"
#include "engine/pixel/PixelOps.h"
#include "engine/pixel/Surface.h"

namespace vellum {

// A stylus point (px, py) is stamped as the 10 x 10 square whose top-left corner is the
// pen point minus 5; the functions below take stamp corners.
constexpr int32_t kStampSize = 10;
constexpr int32_t kStampOffset = 5;

// The paper's tile: at most 100 x 100, repeated over the paper surface from the canvas's
// corner, so the grain is fixed to the picture.
constexpr int32_t kPaperTile = 100;
void TilePaper(PixelSurface& paper, const PixelSurface& tile);

// The pen buffer: 128 x 10, three stamp slots of 10 columns each.
constexpr int32_t kPenBufferWidth = 128;
constexpr int32_t kPenBufferHeight = kStampSize;
constexpr int32_t kMaskSlot = 0;       // the pen mask as drawn: dark where the pen marks
constexpr int32_t kColourSlot = 10;    // colour x coverage / 255
constexpr int32_t kCoverageSlot = 20;  // 255 - mask

// A colour as the surfaces hold it, by channel.
struct Rgb {
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;
    bool operator==(const Rgb&) const = default;
};
// 0x00BBGGRR, red in the low byte.
inline Rgb RgbOf(uint32_t colour) {
    return {uint8_t(colour & 0xFF), uint8_t((colour >> 8) & 0xFF), uint8_t((colour >> 16) & 0xFF)};
}
inline uint32_t ColourValue(Rgb c) { return uint32_t(c.red) | uint32_t(c.green) << 8 | uint32_t(c.blue) << 16; }

// What a stroke draws with: the pen buffer built by BuildPenStamp, the colour it was
// built with, and whether the pencil erases.
struct Pencil {
    const PixelSurface& pen;
    Rgb colour;
    bool eraser = false;
};

// The surfaces a segment draws on, all canvas-sized.
struct StrokeSurfaces {
    PixelSurface& canvas;
    PixelSurface& coverage;  // scratch: only the segment's box has meaning
    PixelSurface& colour;    // scratch likewise
    const PixelSurface& paper;
};

// Stroke points are kept within the canvas plus the stamp's reach: a point at most
// kStampOffset outside the canvas, whose stamp no longer touches it. The stamp corner of
// such a point lies within [-kStampSize, width] x [-kStampSize, height].
inline int32_t KeepInReach(int32_t v, int32_t size) {
    return v < -kStampOffset ? -kStampOffset : v > size + kStampOffset ? size + kStampOffset : v;
}
inline bool StrokeCornerInReach(int64_t x, int64_t y, int32_t width, int32_t height) {
    return x >= -kStampSize && y >= -kStampSize && x <= width && y <= height;
}

// How far outside a surface a segment's corners may lie and still be drawn: far beyond any
// point the program takes (its points stay within the canvas plus the stamp's reach), and
// near enough that a segment's arithmetic cannot overflow and its stamps stay few.
constexpr int32_t kSegmentReach = 1 << 20;
inline bool CornerInReach(int x, int y, int width, int height) {
    return x >= -kSegmentReach && y >= -kSegmentReach && x <= width + kSegmentReach && y <= height + kSegmentReach;
}

// The boxes a stamp and a segment between two stamp corners may write, before clipping
// (a segment out of reach writes nothing).
inline Box StampBox(int x, int y) { return {x, y, kStampSize, kStampSize}; }
inline Box SegmentBox(int x0, int y0, int x1, int y1) {
    const int64_t dx = int64_t(x1) - x0, dy = int64_t(y1) - y0;
    const int64_t w = (dx < 0 ? -dx : dx) + kStampSize, h = (dy < 0 ? -dy : dy) + kStampSize;
    if (w > INT32_MAX || h > INT32_MAX) return {};
    return {x0 < x1 ? x0 : x1, y0 < y1 ? y0 : y1, int32_t(w), int32_t(h)};
}

// Builds the pen buffer from the 10 x 10 mask at (maskX, maskY) of masks and the colour.
void BuildPenStamp(const PixelOps& ops, PixelSurface& pen, const PixelSurface& masks, int maskX,
                   int maskY, Rgb colour);

// One stamp with corner (x, y) straight onto a surface (a tap on the canvas). Returns the
// box it changed, clipped to the surface.
Box StampPen(const PixelOps& ops, PixelSurface& surface, const Pencil& pencil, int x, int y);

// One segment between two stamp corners, composited once over its box. The end corner
// is not stamped: it starts the next segment. Returns the box of the canvas it may have
// changed, clipped to the canvas (empty for a segment of length zero, and for one with a
// corner beyond kSegmentReach of the canvas, which draws nothing).
Box DrawSegment(const PixelOps& ops, const StrokeSurfaces& surfaces, const Pencil& pencil, int x0,
                int y0, int x1, int y1);

}  // namespace vellum
