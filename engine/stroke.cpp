// Pencil strokes: the pen stamp, single stamps, and segments composited through the
// paper grain.
#include <cstdlib>

#include "app/VellumView.h"
#include "engine/PixelOpsTable.h"

namespace vellum {

namespace {

constexpr int kStamp = 10;          // a stamp is 10 x 10
constexpr int kMaskSlot = 0;        // pen buffer columns 0..9: the pen mask
constexpr int kColourSlot = 10;     // 10..19: colour x coverage / 255
constexpr int kCoverageSlot = 20;   // 20..29: 255 - mask

// The colour swatch of the status-bar work area: the pencil takes its colour from it.
constexpr int kSwatchX = 125;
constexpr int kSwatchY = 514;

// Columns of a stamp with corner x on a destination of the given width: where it lands,
// how many columns, and from which column of a slot it reads.
struct StampColumns {
    int x;
    int n;
    int c;
};

StampColumns ClipStampColumns(int x, int width) {
    if (x > width - kStamp) return {x, width - x, 0};
    if (x < 0) return {0, x + kStamp, -x};
    return {x, kStamp, 0};
}

// Overlapping stamps add up coverage and colour separately, and coverage stops at full
// while the colour goes on growing: left alone, a segment of many stamps would lay down
// a colour lighter than the pencil's, up to white. Each colour channel is held to what
// the coverage allows of the pencil colour (colour x coverage / 255). A channel that
// did not saturate is never above that, so such pixels keep exactly their sums.
void HoldColourToCoverage(PixelSurface& colour, const PixelSurface& coverage, int x, int y,
                          int w, int h, const uint8_t pencil[3]) {
    int x0 = x < 0 ? 0 : x, y0 = y < 0 ? 0 : y;
    int x1 = x + w, y1 = y + h;
    if (x1 > colour.width) x1 = colour.width;
    if (y1 > colour.height) y1 = colour.height;
    if (x1 <= x0 || y1 <= y0 || coverage.width != colour.width ||
        coverage.height != colour.height)
        return;
    const int n = (x1 - x0) * 3;
    for (int row = y0; row < y1; ++row) {
        uint8_t* __restrict b = colour.At(x0, row);
        const uint8_t* __restrict a = coverage.At(x0, row);
        for (int i = 0; i < n; i += 3)
            for (int c = 0; c < 3; ++c) {
                const uint8_t most = uint8_t(unsigned(pencil[c]) * a[i + c] / 255u);
                if (b[i + c] > most) b[i + c] = most;
            }
    }
}

}  // namespace

void CVellumView::SelectPen(int index, bool refreshStatus) {
    // 0 and -1 keep the pen: callers that pick one set penIndex themselves.
    if (index != 0 && index != -1) penIndex = index;
    if (panelShown && panelPage == PagePen) DrawToolPanel(true);
    if (refreshStatus) DrawStatusBar(BarPen, true);
    if (!penBuffer.Exists() || !skinImage.Exists()) return;

    PixelSurface& pen = *penBuffer;
    const PixelOpsTable& ops = gPixelOps;
    ops.copyRectRop(pen, kMaskSlot, 0, kStamp, kStamp, *skinImage, 10 + 20 * penIndex, 170,
                    SRCCOPY);
    ops.copyRectRop(pen, kCoverageSlot, 0, kStamp, kStamp, pen, kMaskSlot, 0, NOTSRCCOPY);
    // The swatch already holds the display colour; multiplied by the coverage it is the
    // colour the pencil lays down where it covers fully.
    ops.copyRectRop(pen, kColourSlot, 0, kStamp, kStamp, *skinImage, kSwatchX, kSwatchY, SRCCOPY);
    ops.blendRect(pen, kColourSlot, 0, kStamp, kStamp, pen, kCoverageSlot, 0, Multiply);
}

void CVellumView::StampPen(PixelSurface& surface, int x, int y) {
    if (!penBuffer.Exists()) return;
    const StampColumns s = ClipStampColumns(x, surface.width);
    if (s.n <= 0) return;
    const PixelOpsTable& ops = gPixelOps;
    if (eraser) {
        ops.blendRect(surface, s.x, y, s.n, kStamp, *penBuffer, kCoverageSlot + s.c, 0, Add);
        return;
    }
    ops.blendRect(surface, s.x, y, s.n, kStamp, *penBuffer, kCoverageSlot + s.c, 0, Attenuate);
    ops.blendRect(surface, s.x, y, s.n, kStamp, *penBuffer, kColourSlot + s.c, 0, Add);
}

void CVellumView::StampPenLayers(int x, int y) {
    if (!penBuffer.Exists()) return;
    const StampColumns s = ClipStampColumns(x, W);
    if (s.n <= 0) return;
    const PixelOpsTable& ops = gPixelOps;
    if (eraser) {
        // The eraser whitens the picture directly: no layers, no paper.
        ops.blendRect(*canvas, s.x, y, s.n, kStamp, *penBuffer, kCoverageSlot + s.c, 0, Add);
        return;
    }
    ops.blendRect(*coverageLayer, s.x, y, s.n, kStamp, *penBuffer, kCoverageSlot + s.c, 0, Add);
    ops.blendRect(*colourLayer, s.x, y, s.n, kStamp, *penBuffer, kColourSlot + s.c, 0, Add);
}

void CVellumView::DrawSegment(int x0, int y0, int x1, int y1) {
    if (!canvas.Exists() || !penBuffer.Exists()) return;
    const int adx = std::abs(x1 - x0);
    const int ady = std::abs(y1 - y0);
    const int bx = x0 < x1 ? x0 : x1;
    const int by = y0 < y1 ? y0 : y1;
    const int bw = adx + kStamp;
    const int bh = ady + kStamp;
    const PixelOpsTable& ops = gPixelOps;

    // Nothing carries over from the previous segment.
    ops.fillRectBlack(*colourLayer, bx, by, bw, bh);
    ops.fillRectBlack(*coverageLayer, bx, by, bw, bh);

    // A single-precision DDA, the running coordinate accumulated step by step. The end
    // corner is not stamped: it starts the next segment.
    if (adx >= ady) {
        if (adx > 0) {
            const int step = x1 >= x0 ? 1 : -1;
            const float slope = float(y1 - y0) / float(adx);
            float yf = float(y0);
            for (int x = x0; x != x1; x += step) {
                StampPenLayers(x, static_cast<int>(yf));
                yf = yf + slope;
            }
        }
    } else {
        const int step = y1 >= y0 ? 1 : -1;
        const float slope = float(x1 - x0) / float(ady);
        float xf = float(x0);
        for (int y = y0; y != y1; y += step) {
            StampPenLayers(static_cast<int>(xf), y);
            xf = xf + slope;
        }
    }

    if (eraser) return;
    if (skinImage.Exists())
        HoldColourToCoverage(*colourLayer, *coverageLayer, bx, by, bw, bh,
                             skinImage->At(kSwatchX, kSwatchY));
    // Once per segment: the paper holds back both layers, then the coverage darkens the
    // picture and the colour is added.
    ops.blendRect(*coverageLayer, bx, by, bw, bh, *paperSurface, bx, by, Attenuate);
    ops.blendRect(*colourLayer, bx, by, bw, bh, *paperSurface, bx, by, Attenuate);
    ops.blendRect(*canvas, bx, by, bw, bh, *coverageLayer, bx, by, Attenuate);
    ops.blendRect(*canvas, bx, by, bw, bh, *colourLayer, bx, by, Add);
}

}  // namespace vellum
