#pragma once
// Plain pixel-by-pixel versions of the rectangle operations, written straight from their
// definitions. The tests compare the fast operations with these bit for bit and the
// benchmarks measure against them; no program links them.
#include <cstdint>

#include "engine/pixel/PixelOps.h"
#include "engine/pixel/Surface.h"

namespace vellum::reference {

void RefBlendRect(PixelSurface& dst, int x, int y, int w, int h,
                  const PixelSurface& src, int sx, int sy, int mode);
void RefCopyRectRop(PixelSurface& dst, int x, int y, int w, int h,
                    const PixelSurface& src, int sx, int sy, uint32_t rop);
void RefWashOutRect(PixelSurface& surface, int x, int y, int w, int h);
void RefFillRectWhite(PixelSurface& surface, int x, int y, int w, int h);
void RefFillRectBlack(PixelSurface& surface, int x, int y, int w, int h);
void RefFillRectColour(PixelSurface& surface, int x, int y, int w, int h,
                       uint8_t red, uint8_t green, uint8_t blue);
void RefZoomCopyRect(PixelSurface& dst, int x, int y, int w, int h,
                     const PixelSurface& src, int sx, int sy, int shift);

void RefHoldColourRect(PixelSurface& colour, int x, int y, int w, int h,
                       const PixelSurface& coverage, int sx, int sy, uint8_t red, uint8_t green,
                       uint8_t blue);
// One pixel at a time: every window pixel looks up its source pixel.
void RefExpandRectRgb32(uint8_t* dst, int64_t dstStride, int dstWidth, int dstHeight, const PixelSurface& src,
                        int x, int y, int w, int h, int scale);
void RefShrinkRect(PixelSurface& dst, int x, int y, int w, int h, const PixelSurface& src, int sx, int sy,
                   int shift);
void RefExpandRectRgba(uint8_t* dst, int64_t dstStride, int dstWidth, int dstHeight, const PixelSurface& src,
                       int x, int y, int w, int h, int scale);

// All of them as the operator table, for running a whole stroke through them.
const PixelOps& ReferencePixelOps();

}  // namespace vellum::reference
