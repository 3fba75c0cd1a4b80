// ShrinkRect: means of 2x2, 4x4 and 8x8 blocks, blocks cut by the source's edges, and
// rectangles hanging over both surfaces, against the reference.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "engine/pixel/PixelOps.h"
#include "pixel/PixelTestSupport.h"
#include "reference/ReferenceOps.h"

namespace vellum {
namespace {

using test::GuardedSurface;

TEST(Shrink, MeansAreRoundedPerChannel) {
    GuardedSurface src(4, 2), dst(2, 1);
    // Left block: 0, 1, 1, 1 -> 0.75 -> 1; right block 10, 11, 10, 11 -> 10.5 -> 11.
    const uint8_t left[4] = {0, 1, 1, 1}, right[4] = {10, 11, 10, 11};
    for (int k = 0; k < 4; ++k) {
        src.SetPixel(k % 2, k / 2, left[k], 255, 0);
        src.SetPixel(2 + k % 2, k / 2, right[k], 254, 3);
    }
    test::Ops().shrinkRect(*dst, 0, 0, 2, 1, *src, 0, 0, 1);
    ASSERT_TRUE(dst.GuardsIntact());
    EXPECT_EQ(dst.At(0, 0, 0), 1);
    EXPECT_EQ(dst.At(0, 0, 1), 255);
    EXPECT_EQ(dst.At(1, 0, 0), 11);
    EXPECT_EQ(dst.At(1, 0, 1), 254);
    EXPECT_EQ(dst.At(1, 0, 2), 3);
}

// Random surfaces and placements, wide enough for rows summed in several chunks, each
// shift, both surfaces' edges crossed.
TEST(Shrink, RandomRectanglesMatchTheReference) {
    std::mt19937 rng(2024);
    for (int t = 0; t < 600; ++t) {
        const int shift = 1 + t % 3, k = 1 << shift;
        const int sw = test::RandomIn(rng, 1, t % 7 == 0 ? 2100 : 90), sh = test::RandomIn(rng, 1, 40);
        const int dw = test::RandomIn(rng, 1, sw / k + 12), dh = test::RandomIn(rng, 1, sh / k + 6);
        GuardedSurface src(sw, sh, 16), fast(dw, dh, 16);
        src.FillRandom(rng);
        fast.FillRandom(rng);
        GuardedSurface ref(fast);
        const int x = test::RandomIn(rng, -4, dw), y = test::RandomIn(rng, -4, dh);
        const int w = test::RandomIn(rng, 0, dw + 8), h = test::RandomIn(rng, 0, dh + 8);
        const int sx = test::RandomIn(rng, -3 * k, sw), sy = test::RandomIn(rng, -3 * k, sh);
        SCOPED_TRACE("trial " + std::to_string(t) + " src " + std::to_string(sw) + "x" + std::to_string(sh) +
                     " at " + std::to_string(sx) + "," + std::to_string(sy) + " shift " + std::to_string(shift));
        test::Ops().shrinkRect(*fast, x, y, w, h, *src, sx, sy, shift);
        reference::RefShrinkRect(*ref, x, y, w, h, *src, sx, sy, shift);
        ASSERT_TRUE(fast.GuardsIntact());
        ASSERT_EQ(fast.Buffer(), ref.Buffer());
    }
}

TEST(Shrink, OtherShiftsChangeNothing) {
    GuardedSurface src(16, 16), dst(8, 8);
    for (int shift : {-1, 0, 4, 31}) test::Ops().shrinkRect(*dst, 0, 0, 8, 8, *src, 0, 0, shift);
    EXPECT_EQ(dst.Buffer(), GuardedSurface(8, 8).Buffer());
}

}  // namespace
}  // namespace vellum
