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

// The paper's tile: at most 100 x 100, repeated from the canvas's corner, so the grain is
// fixed to the picture: the paper under canvas pixel (x, y) is the tile's pixel
// (x mod width, y mod height).
constexpr int32_t kPaperTile = 100;
// The tile repeated over the surface, as if its corner lay at (originX, originY) of the
// canvas.
void TilePaper(PixelSurface& paper, const PixelSurface& tile, int32_t originX = 0, int32_t originY = 0);

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

// What a segment draws through: the coverage and colour layers (scratch: a segment
// blackens its box in them first, so nothing carries over) and the paper under them. On a
// canvas of up to kWholeLayerPixels pixels they are canvas-sized and lie over it whole,
// the paper tiled once when it changes. On a larger canvas they hold kBandPixels pixels
// and are laid over one band of rows of a segment's box at a time, the paper copied from
// its tile: a large picture needs no more scratch than a small one, and the pixels come
// out the same, since each depends only on the stamps that cover it.
constexpr int64_t kWholeLayerPixels = int64_t(1) << 23;
constexpr int64_t kBandPixels = int64_t(1) << 20;

class StrokeLayers {
public:
    // For a canvas of width x height; the limits are for tests. False when the memory
    // cannot be had. The layers start white, the paper white until SetPaper.
    bool Reset(int32_t width, int32_t height, int64_t wholeLimit = kWholeLayerPixels,
               int64_t bandPixels = kBandPixels);
    void Release();
    bool Ready() const { return coverageStore.Exists(); }
    // Whether they were made for a canvas of this size.
    bool Fit(int32_t width, int32_t height) const { return Ready() && width == canvasWidth && height == canvasHeight; }
    bool Whole() const { return whole; }
    // The paper from now on: a tile of up to kPaperTile x kPaperTile, kept.
    bool SetPaper(const PixelSurface& tile);
    // The paper's tile as kept.
    const PixelSurface& Tile() const { return *tile; }
    // Lays the layers over the rectangle (x, y, w, h) of the canvas, w x h at most the
    // band's pixels: the paper under it copied from the tile. Only for a banded canvas.
    void LayOver(int32_t x, int32_t y, int32_t w, int32_t h);
    // Rows of a band of width w.
    int32_t BandRows(int32_t w) const { return int32_t(bandPixels / w); }

    // As laid: the layers' corner lies at (originX, originY) of the canvas.
    PixelSurface coverage, colour, paper;
    int32_t originX = 0, originY = 0;

private:
    bool whole = true;
    int64_t bandPixels = 0;
    int32_t canvasWidth = 0, canvasHeight = 0;
    OwnedSurface coverageStore, colourStore, paperStore, tile;
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

// One segment between two stamp corners, composited once over its box (band by band on a
// large canvas). The end corner is not stamped: it starts the next segment. Returns the
// box of the canvas it may have changed, clipped to the canvas (empty for a segment of
// length zero, and for one with a corner beyond kSegmentReach of the canvas, which draws
// nothing).
Box DrawSegment(const PixelOps& ops, PixelSurface& canvas, StrokeLayers& layers, const Pencil& pencil, int x0,
                int y0, int x1, int y1);

}  // namespace vellum
