#pragma once
// The stretching copy that fits a picture of another size onto the canvas.
#include "engine/pixel/Surface.h"

namespace vellum {

// Nearest-pixel stretch: destination pixel (dx + i, dy + j), 0 <= i < dw, 0 <= j < dh,
// takes source pixel (sx + i * sw / dw, sy + j * sh / dh) in integer arithmetic.
// Destination pixels outside dst, and those whose source pixel lies outside src, are
// left alone; an empty source or destination rectangle copies nothing.
void StretchCopy(PixelSurface& dst, int dx, int dy, int dw, int dh, const PixelSurface& src,
                 int sx, int sy, int sw, int sh);

}  // namespace vellum
