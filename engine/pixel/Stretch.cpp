#include "engine/pixel/Stretch.h"

#include <cstdint>

namespace vellum {

namespace {

// The count i in [lo, hi) of 0 <= i < count for which 0 <= s + floor(i * n / d) < limit,
// with n, d > 0: the source index grows with i, so the valid ones form one run.
void ValidRun(int64_t s, int64_t n, int64_t d, int64_t limit, int64_t count, int64_t& lo, int64_t& hi) {
    lo = s >= 0 ? 0 : (-s * d + n - 1) / n;
    hi = limit - s <= 0 ? 0 : ((limit - s) * d + n - 1) / n;
    if (hi > count) hi = count;
}

}  // namespace

void StretchCopy(PixelSurface& dst, int dx, int dy, int dw, int dh, const PixelSurface& src,
                 int sx, int sy, int sw, int sh) {
    if (!dst.Exists() || !src.Exists() || dw <= 0 || dh <= 0 || sw <= 0 || sh <= 0) return;
    // Columns i and rows j whose destination and source pixels both exist.
    int64_t i0, i1, j0, j1;
    ValidRun(sx, sw, dw, src.width, dw, i0, i1);
    ValidRun(sy, sh, dh, src.height, dh, j0, j1);
    if (i0 < -int64_t(dx)) i0 = -int64_t(dx);
    if (i1 > int64_t(dst.width) - dx) i1 = int64_t(dst.width) - dx;
    if (j0 < -int64_t(dy)) j0 = -int64_t(dy);
    if (j1 > int64_t(dst.height) - dy) j1 = int64_t(dst.height) - dy;
    if (i0 >= i1 || j0 >= j1) return;
    for (int64_t j = j0; j < j1; ++j) {
        const int64_t py = sy + j * sh / dh;
        uint8_t* to = dst.At(int(dx + i0), int(dy + j));
        const uint8_t* row = src.At(0, int(py));
        for (int64_t i = i0; i < i1; ++i, to += 3) {
            const uint8_t* from = row + 3 * (sx + i * sw / dw);
            to[0] = from[0];
            to[1] = from[1];
            to[2] = from[2];
        }
    }
}

}  // namespace vellum
