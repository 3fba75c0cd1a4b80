#include "engine/Pencil.h"

#include <cstdlib>
#include <cstring>

namespace vellum {

namespace {

// Columns of a stamp with corner x on a destination of the given width: where it lands,
// how many columns, and from which column of a slot it reads. Rows are left to the
// rectangle operations, which skip rows outside the surface.
struct StampColumns {
    int x;
    int n;
    int c;
};

StampColumns ClipStampColumns(int x, int width) {
    if (x > width - kStampSize) return {x, width - x, 0};
    if (x < 0) return {0, x + kStampSize, -x};
    return {x, kStampSize, 0};
}

// One stamp into the layers, or onto the canvas when the pencil erases (the eraser
// whitens the picture directly: no layers, no paper).
void StampLayers(const PixelOps& ops, const StrokeSurfaces& s, const Pencil& pencil, int x, int y) {
    const StampColumns c = ClipStampColumns(x, s.canvas.width);
    if (c.n <= 0) return;
    if (pencil.eraser) {
        ops.blendRect(s.canvas, c.x, y, c.n, kStampSize, pencil.pen, kCoverageSlot + c.c, 0, Add);
        return;
    }
    ops.blendRect(s.coverage, c.x, y, c.n, kStampSize, pencil.pen, kCoverageSlot + c.c, 0, Add);
    ops.blendRect(s.colour, c.x, y, c.n, kStampSize, pencil.pen, kColourSlot + c.c, 0, Add);
}

}  // namespace

void TilePaper(PixelSurface& paper, const PixelSurface& tile) {
    if (!paper.Exists() || !tile.Exists() || tile.width < 1 || tile.height < 1) return;
    // Tiles at the right and bottom edges are cut at the surface's edge.
    for (int y = 0; y < paper.height; ++y) {
        const uint8_t* row = tile.At(0, y % tile.height);
        for (int x = 0; x < paper.width; x += tile.width) {
            const int n = x + tile.width <= paper.width ? tile.width : paper.width - x;
            std::memcpy(paper.At(x, y), row, size_t(n) * 3);
        }
    }
}

void BuildPenStamp(const PixelOps& ops, PixelSurface& pen, const PixelSurface& masks, int maskX,
                   int maskY, Rgb colour) {
    ops.copyRectRop(pen, kMaskSlot, 0, kStampSize, kStampSize, masks, maskX, maskY, SRCCOPY);
    ops.copyRectRop(pen, kCoverageSlot, 0, kStampSize, kStampSize, pen, kMaskSlot, 0, NOTSRCCOPY);
    // The colour where the pen covers fully, scaled down where it covers less.
    ops.fillRectColour(pen, kColourSlot, 0, kStampSize, kStampSize, colour.red, colour.green,
                       colour.blue);
    ops.blendRect(pen, kColourSlot, 0, kStampSize, kStampSize, pen, kCoverageSlot, 0, Multiply);
}

Box StampPen(const PixelOps& ops, PixelSurface& surface, const Pencil& pencil, int x, int y) {
    const StampColumns c = ClipStampColumns(x, surface.width);
    if (c.n <= 0) return {};
    if (pencil.eraser) {
        ops.blendRect(surface, c.x, y, c.n, kStampSize, pencil.pen, kCoverageSlot + c.c, 0, Add);
    } else {
        // v <- min(255, v - (k x v) / 255 + (colour x k) / 255), k = 255 - mask.
        ops.blendRect(surface, c.x, y, c.n, kStampSize, pencil.pen, kCoverageSlot + c.c, 0, Attenuate);
        ops.blendRect(surface, c.x, y, c.n, kStampSize, pencil.pen, kColourSlot + c.c, 0, Add);
    }
    return ClipBox({c.x, y, c.n, kStampSize}, surface.width, surface.height);
}

Box DrawSegment(const PixelOps& ops, const StrokeSurfaces& s, const Pencil& pencil, int x0, int y0,
                int x1, int y1) {
    if (!CornerInReach(x0, y0, s.canvas.width, s.canvas.height) ||
        !CornerInReach(x1, y1, s.canvas.width, s.canvas.height))
        return {};
    // Within reach no difference overflows.
    const int adx = std::abs(x1 - x0);
    const int ady = std::abs(y1 - y0);
    const Box box = SegmentBox(x0, y0, x1, y1);

    // Nothing carries over from the previous segment.
    ops.fillRectBlack(s.colour, box.x, box.y, box.w, box.h);
    ops.fillRectBlack(s.coverage, box.x, box.y, box.w, box.h);
    if (adx == 0 && ady == 0) return {};

    // A single-precision DDA, the running coordinate accumulated step by step (not
    // recomputed from the step count), truncated towards zero.
    if (adx >= ady) {
        const int step = x1 >= x0 ? 1 : -1;
        const float slope = float(y1 - y0) / float(adx);
        float yf = float(y0);
        for (int x = x0; x != x1; x += step) {
            StampLayers(ops, s, pencil, x, static_cast<int>(yf));
            yf = yf + slope;
        }
    } else {
        const int step = y1 >= y0 ? 1 : -1;
        const float slope = float(x1 - x0) / float(ady);
        float xf = float(x0);
        for (int y = y0; y != y1; y += step) {
            StampLayers(ops, s, pencil, static_cast<int>(xf), y);
            xf = xf + slope;
        }
    }

    const Box changed = ClipBox(box, s.canvas.width, s.canvas.height);
    if (pencil.eraser) return changed;
    // Overlapping stamps add up coverage and colour separately, and the coverage stops at
    // full while the colour goes on: each colour byte is held to what the coverage allows
    // of the pencil's colour. A byte that did not saturate keeps exactly its sum.
    ops.holdColourRect(s.colour, box.x, box.y, box.w, box.h, s.coverage, box.x, box.y,
                       pencil.colour.red, pencil.colour.green, pencil.colour.blue);
    // Once per segment: the paper holds back both layers, then the coverage darkens the
    // picture and the colour is added.
    ops.blendRect(s.coverage, box.x, box.y, box.w, box.h, s.paper, box.x, box.y, Attenuate);
    ops.blendRect(s.colour, box.x, box.y, box.w, box.h, s.paper, box.x, box.y, Attenuate);
    ops.blendRect(s.canvas, box.x, box.y, box.w, box.h, s.coverage, box.x, box.y, Attenuate);
    ops.blendRect(s.canvas, box.x, box.y, box.w, box.h, s.colour, box.x, box.y, Add);
    return changed;
}

}  // namespace vellum
