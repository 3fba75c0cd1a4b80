#include "engine/Pencil.h"

#include <algorithm>
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
    // Cut at both edges at once: a picture may be narrower than a stamp.
    const int left = x < 0 ? 0 : x, right = x > width - kStampSize ? width : x + kStampSize;
    return {left, right - left, left - x};
}

// One stamp into the layers as laid, or onto the canvas when the pencil erases (the
// eraser whitens the picture directly: no layers, no paper). The stamp is cut at the
// canvas's edges first; the layers cut the rows outside their band.
void StampLayers(const PixelOps& ops, PixelSurface& canvas, StrokeLayers& layers, const Pencil& pencil, int x,
                 int y) {
    const StampColumns c = ClipStampColumns(x, canvas.width);
    if (c.n <= 0) return;
    if (pencil.eraser) {
        ops.blendRect(canvas, c.x, y, c.n, kStampSize, pencil.pen, kCoverageSlot + c.c, 0, Add);
        return;
    }
    const int lx = c.x - layers.originX, ly = y - layers.originY;
    ops.blendRect(layers.coverage, lx, ly, c.n, kStampSize, pencil.pen, kCoverageSlot + c.c, 0, Add);
    ops.blendRect(layers.colour, lx, ly, c.n, kStampSize, pencil.pen, kColourSlot + c.c, 0, Add);
}

// The stamp corners of a segment, in order: a single-precision DDA, the running
// coordinate accumulated step by step (not recomputed from the step count), truncated
// towards zero. The end corner is left out.
template <class F>
void ForEachStamp(int x0, int y0, int x1, int y1, F stamp) {
    const int adx = std::abs(x1 - x0);
    const int ady = std::abs(y1 - y0);
    if (adx >= ady) {
        const int step = x1 >= x0 ? 1 : -1;
        const float slope = float(y1 - y0) / float(adx);
        float yf = float(y0);
        for (int x = x0; x != x1; x += step) {
            stamp(x, static_cast<int>(yf));
            yf = yf + slope;
        }
    } else {
        const int step = y1 >= y0 ? 1 : -1;
        const float slope = float(x1 - x0) / float(ady);
        float xf = float(x0);
        for (int y = y0; y != y1; y += step) {
            stamp(static_cast<int>(xf), y);
            xf = xf + slope;
        }
    }
}

// The layers onto the canvas over the rectangle (x, y, w, h) of the canvas, which they
// cover. Overlapping stamps add up coverage and colour separately, and the coverage stops
// at full while the colour goes on: each colour byte is held to what the coverage allows
// of the pencil's colour (a byte that did not saturate keeps exactly its sum). Then the
// paper holds back both layers, the coverage darkens the picture and the colour is added.
void Composite(const PixelOps& ops, PixelSurface& canvas, StrokeLayers& layers, const Pencil& pencil, int x, int y,
               int w, int h) {
    const int lx = x - layers.originX, ly = y - layers.originY;
    ops.holdColourRect(layers.colour, lx, ly, w, h, layers.coverage, lx, ly, pencil.colour.red, pencil.colour.green,
                       pencil.colour.blue);
    ops.blendRect(layers.coverage, lx, ly, w, h, layers.paper, lx, ly, Attenuate);
    ops.blendRect(layers.colour, lx, ly, w, h, layers.paper, lx, ly, Attenuate);
    ops.blendRect(canvas, x, y, w, h, layers.coverage, lx, ly, Attenuate);
    ops.blendRect(canvas, x, y, w, h, layers.colour, lx, ly, Add);
}

}  // namespace

void TilePaper(PixelSurface& paper, const PixelSurface& tile, int32_t originX, int32_t originY) {
    if (!paper.Exists() || !tile.Exists() || tile.width < 1 || tile.height < 1 || originX < 0 || originY < 0) return;
    // Tiles at the surface's edges are cut there.
    const int tw = tile.width, first = originX % tw;
    for (int y = 0; y < paper.height; ++y) {
        const uint8_t* row = tile.At(0, int((int64_t(originY) + y) % tile.height));
        uint8_t* out = paper.At(0, y);
        int x = std::min(tw - first, paper.width);
        std::memcpy(out, row + size_t(first) * 3, size_t(x) * 3);
        for (; x < paper.width; x += tw)
            std::memcpy(out + size_t(x) * 3, row, size_t(std::min(tw, paper.width - x)) * 3);
    }
}

bool StrokeLayers::Reset(int32_t width, int32_t height, int64_t wholeLimit, int64_t band) {
    Release();
    if (width < 1 || height < 1) return false;
    canvasWidth = width;
    canvasHeight = height;
    whole = int64_t(width) * height <= wholeLimit;
    // A band holds at least one row of the widest box.
    bandPixels = std::max<int64_t>(band, width);
    const int w = whole ? width : int(bandPixels), h = whole ? height : 1;
    if (!coverageStore.Allocate(w, h) || !colourStore.Allocate(w, h) || !paperStore.Allocate(w, h) ||
        !tile.Allocate(1, 1)) {
        Release();
        return false;
    }
    // The layers start white, and so does the paper until one is chosen.
    for (OwnedSurface* s : {&coverageStore, &colourStore, &paperStore, &tile})
        std::memset((*s)->bytes, 255, size_t((*s)->byteSize));
    coverage = *coverageStore;
    colour = *colourStore;
    paper = *paperStore;
    originX = originY = 0;
    return true;
}

void StrokeLayers::Release() {
    coverageStore.Release();
    colourStore.Release();
    paperStore.Release();
    tile.Release();
    coverage = colour = paper = PixelSurface{};
    originX = originY = 0;
}

bool StrokeLayers::SetPaper(const PixelSurface& t) {
    if (!Ready() || !t.Exists() || t.width < 1 || t.height < 1 || t.width > kPaperTile || t.height > kPaperTile)
        return false;
    if ((tile->width != t.width || tile->height != t.height) && !tile.Allocate(t.width, t.height)) return false;
    std::memcpy(tile->bytes, t.bytes, size_t(t.byteSize));
    if (whole) TilePaper(paper, *tile);
    return true;
}

void StrokeLayers::LayOver(int32_t x, int32_t y, int32_t w, int32_t h) {
    if (whole || w < 1 || h < 1 || int64_t(w) * h > bandPixels) return;
    for (PixelSurface* s : {&coverage, &colour, &paper}) {
        s->width = w;
        s->height = h;
        s->byteSize = w * h * 3;
    }
    originX = x;
    originY = y;
    TilePaper(paper, *tile, x, y);
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

Box DrawSegment(const PixelOps& ops, PixelSurface& canvas, StrokeLayers& layers, const Pencil& pencil, int x0,
                int y0, int x1, int y1) {
    if (!CornerInReach(x0, y0, canvas.width, canvas.height) || !CornerInReach(x1, y1, canvas.width, canvas.height))
        return {};
    // Within reach no difference overflows.
    const Box box = SegmentBox(x0, y0, x1, y1);
    const Box changed = ClipBox(box, canvas.width, canvas.height);
    const bool still = x0 == x1 && y0 == y1;

    if (layers.Whole()) {
        // Nothing carries over from the previous segment.
        ops.fillRectBlack(layers.colour, box.x, box.y, box.w, box.h);
        ops.fillRectBlack(layers.coverage, box.x, box.y, box.w, box.h);
        if (still) return {};
        ForEachStamp(x0, y0, x1, y1, [&](int x, int y) { StampLayers(ops, canvas, layers, pencil, x, y); });
        if (!pencil.eraser) Composite(ops, canvas, layers, pencil, box.x, box.y, box.w, box.h);
        return changed;
    }

    if (still || changed.Empty()) return {};
    if (pencil.eraser) {
        ForEachStamp(x0, y0, x1, y1, [&](int x, int y) { StampLayers(ops, canvas, layers, pencil, x, y); });
        return changed;
    }
    // Band by band down the box's part on the canvas, each band taking the stamps that
    // reach it.
    const int rows = layers.BandRows(changed.w);
    for (int top = changed.y; top < changed.y + changed.h; top += rows) {
        const int h = std::min(rows, changed.y + changed.h - top);
        layers.LayOver(changed.x, top, changed.w, h);
        ops.fillRectBlack(layers.colour, 0, 0, changed.w, h);
        ops.fillRectBlack(layers.coverage, 0, 0, changed.w, h);
        ForEachStamp(x0, y0, x1, y1, [&](int x, int y) {
            if (y + kStampSize > top && y < top + h) StampLayers(ops, canvas, layers, pencil, x, y);
        });
        Composite(ops, canvas, layers, pencil, changed.x, top, changed.w, h);
    }
    return changed;
}

}  // namespace vellum
