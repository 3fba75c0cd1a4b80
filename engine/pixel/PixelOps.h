#pragma once
// The rectangle operations every picture of the program is drawn with. Rectangles are
// top-left corner plus size, y counted from the top; a rectangle may hang over any edge
// of either surface and only pixels whose pair lies inside both are processed.
#include <cstdint>

#include "engine/pixel/Surface.h"

namespace vellum {

enum BlendMode : int {
    Lighten = 0,
    Darken = 1,
    And = 2,
    Or = 3,
    Add = 4,
    ReverseSubtract = 5,
    Multiply = 6,
    Amplify = 7,
    Attenuate = 8,
    CopyNonWhite = 9,
};
constexpr int kBlendModeCount = 10;

// Raster-operation codes, the platform's standard values.
constexpr uint32_t SRCCOPY = 0x00CC0020;
constexpr uint32_t NOTSRCCOPY = 0x00330008;
constexpr uint32_t SRCAND = 0x008800C6;
constexpr uint32_t SRCPAINT = 0x00EE0086;

void BlendRect(PixelSurface& dst, int x, int y, int w, int h,
               const PixelSurface& src, int sx, int sy, int mode);
void CopyRectRop(PixelSurface& dst, int x, int y, int w, int h,
                 const PixelSurface& src, int sx, int sy, uint32_t rop);
// Each channel c becomes (c >> 1) + 127.
void WashOutRect(PixelSurface& surface, int x, int y, int w, int h);
void FillRectWhite(PixelSurface& surface, int x, int y, int w, int h);
void FillRectBlack(PixelSurface& surface, int x, int y, int w, int h);
// Every pixel becomes (red, green, blue); used for solid fills such as the colour swatch.
void FillRectColour(PixelSurface& surface, int x, int y, int w, int h,
                    uint8_t red, uint8_t green, uint8_t blue);
// The colour hold of a pencil segment: each byte of colour within the rectangle becomes
// at most pencil x coverage / 255, coverage read at (sx, sy) as for a blend; pencil is
// (red, green, blue). Overlapping stamps add up colour past what their coverage allows;
// this keeps the colour a stroke lays down from growing lighter than the pencil's.
void HoldColourRect(PixelSurface& colour, int x, int y, int w, int h, const PixelSurface& coverage,
                    int sx, int sy, uint8_t red, uint8_t green, uint8_t blue);
// Nearest-neighbour magnified copy: destination (x + i, y + j) takes source
// (sx + (i >> shift), sy + (j >> shift)). Shift 0..3.
void ZoomCopyRect(PixelSurface& dst, int x, int y, int w, int h,
                  const PixelSurface& src, int sx, int sy, int shift);

// Zoomed-out copy: destination (x + i, y + j) takes the mean of the block of k x k source
// pixels at (sx + i k, sy + j k), k = 1 << shift (shift 1..3), over the block's pixels
// that lie inside the source, rounded to nearest per channel; a destination pixel whose
// block lies wholly outside the source is left alone. The surfaces must not be the same.
void ShrinkRect(PixelSurface& dst, int x, int y, int w, int h, const PixelSurface& src, int sx, int sy,
                int shift);
// The window's picture of a rectangle of the screen: each pixel as 32 bits in the byte
// order blue, green, red, 255 (a window image of 32-bit pixels), repeated scale x scale
// times. Source (x, y, w, h) lands at (x * scale, y * scale) of dst, dstWidth x dstHeight
// pixels with rows dstStride bytes apart, top row first; only source pixels the window
// holds whole are written. scale 1..kMaxExpandScale.
constexpr int kMaxExpandScale = 16;
void ExpandRectRgb32(uint8_t* dst, int64_t dstStride, int dstWidth, int dstHeight, const PixelSurface& src,
                     int x, int y, int w, int h, int scale);
// The same in the byte order red, green, blue, 255 (a browser canvas's image data).
void ExpandRectRgba(uint8_t* dst, int64_t dstStride, int dstWidth, int dstHeight, const PixelSurface& src,
                    int x, int y, int w, int h, int scale);

// The operations as one table, which the drawing code is handed by reference, so that a
// benchmark or a test can run the same stroke through another implementation.
struct PixelOps {
    void (*blendRect)(PixelSurface& dst, int x, int y, int w, int h, const PixelSurface& src,
                      int sx, int sy, int mode);
    void (*copyRectRop)(PixelSurface& dst, int x, int y, int w, int h, const PixelSurface& src,
                        int sx, int sy, uint32_t rop);
    void (*washOutRect)(PixelSurface& surface, int x, int y, int w, int h);
    void (*fillRectWhite)(PixelSurface& surface, int x, int y, int w, int h);
    void (*fillRectBlack)(PixelSurface& surface, int x, int y, int w, int h);
    void (*fillRectColour)(PixelSurface& surface, int x, int y, int w, int h, uint8_t red,
                           uint8_t green, uint8_t blue);
    void (*zoomCopyRect)(PixelSurface& dst, int x, int y, int w, int h, const PixelSurface& src,
                         int sx, int sy, int shift);
    void (*holdColourRect)(PixelSurface& colour, int x, int y, int w, int h,
                           const PixelSurface& coverage, int sx, int sy, uint8_t red,
                           uint8_t green, uint8_t blue);
    void (*expandRectRgb32)(uint8_t* dst, int64_t dstStride, int dstWidth, int dstHeight,
                            const PixelSurface& src, int x, int y, int w, int h, int scale);
    void (*expandRectRgba)(uint8_t* dst, int64_t dstStride, int dstWidth, int dstHeight,
                           const PixelSurface& src, int x, int y, int w, int h, int scale);
    void (*shrinkRect)(PixelSurface& dst, int x, int y, int w, int h, const PixelSurface& src, int sx, int sy,
                       int shift);
};

// The program's operations (the functions above).
const PixelOps& FastPixelOps();
// The same operations with the plain loops only, as a processor without SSE2 runs them;
// linked by the tests (library vellum_pixel_portable), not by the programs.
const PixelOps& PortablePixelOps();

}  // namespace vellum
