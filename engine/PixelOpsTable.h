#pragma once
// The rectangle operations that strokes, the screen refresh, colours and papers draw
// with, reached through one table so that a benchmark can run the same stroke through
// another implementation of them. Each call costs one indirect jump per rectangle,
// never per pixel.
#include <cstdint>

#include "engine/pixel/PixelOps.h"
#include "engine/pixel/Surface.h"

namespace vellum {

struct PixelOpsTable {
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
};

// The program's own fast operations.
const PixelOpsTable& FastPixelOps();

// The table in force; the fast operations unless a benchmark swapped in others.
extern PixelOpsTable gPixelOps;

// Puts another table in force (a benchmark's, or FastPixelOps() to go back).
void UsePixelOps(const PixelOpsTable& table);

}  // namespace vellum
