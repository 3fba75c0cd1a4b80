// The stretching copy that fits a picture to the canvas: the pixel rule on random
// rectangles, and the worked halving.
#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "engine/pixel/Stretch.h"

namespace vellum {
namespace {

// The stretch as its contract reads, one pixel at a time.
void ReferenceStretch(PixelSurface& dst, int dx, int dy, int dw, int dh, const PixelSurface& src,
                      int sx, int sy, int sw, int sh) {
    if (sw <= 0 || sh <= 0 || dw <= 0 || dh <= 0) return;
    for (int j = 0; j < dh; ++j)
        for (int i = 0; i < dw; ++i) {
            const int x = dx + i, y = dy + j;
            const int px = int(sx + int64_t(i) * sw / dw), py = int(sy + int64_t(j) * sh / dh);
            if (x < 0 || y < 0 || x >= dst.width || y >= dst.height) continue;
            if (px < 0 || py < 0 || px >= src.width || py >= src.height) continue;
            uint8_t* to = dst.At(x, y);
            const uint8_t* from = src.At(px, py);
            to[0] = from[0], to[1] = from[1], to[2] = from[2];
        }
}

TEST(StretchCopy, MatchesThePixelRuleOnRandomRectangles) {
    std::mt19937 random(7);
    OwnedSurface src;
    ASSERT_TRUE(src.Allocate(37, 23));
    for (int32_t i = 0; i < src->byteSize; ++i) src->bytes[i] = uint8_t(random());
    OwnedSurface got, want;
    ASSERT_TRUE(got.Allocate(24, 31));
    ASSERT_TRUE(want.Allocate(24, 31));
    auto pick = [&](int lo, int hi) { return lo + int(random() % uint32_t(hi - lo + 1)); };
    for (int round = 0; round < 3000; ++round) {
        for (int32_t i = 0; i < got->byteSize; ++i) got->bytes[i] = want->bytes[i] = uint8_t(i * 7);
        const int dx = pick(-30, 30), dy = pick(-30, 30), dw = pick(0, 60), dh = pick(0, 60);
        const int sx = pick(-45, 45), sy = pick(-30, 30), sw = pick(0, 80), sh = pick(0, 50);
        StretchCopy(*got, dx, dy, dw, dh, *src, sx, sy, sw, sh);
        ReferenceStretch(*want, dx, dy, dw, dh, *src, sx, sy, sw, sh);
        ASSERT_EQ(0, std::memcmp(got->bytes, want->bytes, size_t(got->byteSize)))
            << dx << "," << dy << " " << dw << "x" << dh << " from " << sx << "," << sy << " " << sw << "x" << sh;
    }
}

TEST(StretchCopy, HalvingTakesEveryOtherPixelAndOneToOneCopies) {
    OwnedSurface src, dst;
    ASSERT_TRUE(src.Allocate(8, 4));
    ASSERT_TRUE(dst.Allocate(4, 2));
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 8; ++x) src->At(x, y)[0] = uint8_t(10 * y + x);
    StretchCopy(*dst, 0, 0, 4, 2, *src, 0, 0, 8, 4);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 4; ++x) EXPECT_EQ(dst->At(x, y)[0], 10 * 2 * y + 2 * x);
    StretchCopy(*dst, 0, 0, 4, 2, *src, 3, 1, 4, 2);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 4; ++x) EXPECT_EQ(dst->At(x, y)[0], 10 * (1 + y) + 3 + x);
}

}  // namespace
}  // namespace vellum
