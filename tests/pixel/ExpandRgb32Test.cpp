// The window's picture of the screen: 24-bit pixels as opaque 32-bit ones, repeated scale x
// scale times, against the reference for every row length around the block loops, every
// scale the block loops have and some they do not, and rectangles over every edge.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "engine/pixel/PixelOps.h"
#include "pixel/PixelTestSupport.h"
#include "reference/ReferenceOps.h"

namespace vellum {
namespace {

using test::GuardedSurface;

// A window picture with guard bytes after each row's last pixel and after the last row.
struct Window {
    Window(int w, int h, int pad = 8) : width(w), height(h), stride(int64_t(w) * 4 + pad), bytes(size_t(stride * h + 64), 0x5A) {}
    uint8_t* Data() { return bytes.data(); }
    int width, height;
    int64_t stride;
    std::vector<uint8_t> bytes;
};

TEST(ExpandRgb32, EveryRowLengthAndScaleMatchesTheReference) {
    std::mt19937 rng(7);
    for (int scale : {1, 2, 3, 4, 5, 16})
        for (int width = 1; width <= 23; ++width) {
            SCOPED_TRACE("scale " + std::to_string(scale) + " width " + std::to_string(width));
            // No guard around the source: AddressSanitizer sees a read past its pixels.
            GuardedSurface src(width, 3, 0);
            src.FillRandom(rng);
            Window fast(width * scale, 3 * scale), ref(width * scale, 3 * scale);
            test::Ops().expandRectRgb32(fast.Data(), fast.stride, fast.width, fast.height, *src, 0, 0, width, 3, scale);
            reference::RefExpandRectRgb32(ref.Data(), ref.stride, ref.width, ref.height, *src, 0, 0, width, 3, scale);
            ASSERT_EQ(fast.bytes, ref.bytes);
            // Spot check of the layout: blue, green, red, 255 at the repeated places.
            const uint8_t* last = fast.Data() + (3 * scale - 1) * fast.stride + (width * scale - 1) * 4;
            EXPECT_EQ(last[0], src.At(width - 1, 2, 0));
            EXPECT_EQ(last[2], src.At(width - 1, 2, 2));
            EXPECT_EQ(last[3], 255);
        }
}

TEST(ExpandRgb32, RectanglesOverEveryEdgeWriteOnlyWhatTheyCover) {
    std::mt19937 rng(11);
    GuardedSurface src(37, 19, 0);
    src.FillRandom(rng);
    for (int trial = 0; trial < 400; ++trial) {
        const int scale = test::RandomIn(rng, 1, 4);
        // Windows smaller, equal and larger than the scaled screen, not always a multiple.
        const int ww = test::RandomIn(rng, 1, 37 * scale + 5), wh = test::RandomIn(rng, 1, 19 * scale + 5);
        const int x = test::RandomIn(rng, -20, 40), y = test::RandomIn(rng, -10, 22);
        const int w = test::RandomIn(rng, -3, 45), h = test::RandomIn(rng, -3, 25);
        SCOPED_TRACE("trial " + std::to_string(trial));
        Window fast(ww, wh), ref(ww, wh);
        test::Ops().expandRectRgb32(fast.Data(), fast.stride, ww, wh, *src, x, y, w, h, scale);
        reference::RefExpandRectRgb32(ref.Data(), ref.stride, ww, wh, *src, x, y, w, h, scale);
        ASSERT_EQ(fast.bytes, ref.bytes) << "x=" << x << " y=" << y << " w=" << w << " h=" << h << " scale=" << scale
                                         << " window " << ww << "x" << wh;
    }
}

TEST(ExpandRgb32, NothingForABadScaleOrAnAbsentSource) {
    GuardedSurface src(4, 4);
    Window window(16, 16);
    const std::vector<uint8_t> before = window.bytes;
    for (int scale : {0, -1, kMaxExpandScale + 1})
        test::Ops().expandRectRgb32(window.Data(), window.stride, 16, 16, *src, 0, 0, 4, 4, scale);
    PixelSurface absent;
    test::Ops().expandRectRgb32(window.Data(), window.stride, 16, 16, absent, 0, 0, 4, 4, 1);
    test::Ops().expandRectRgb32(nullptr, window.stride, 16, 16, *src, 0, 0, 4, 4, 1);
    EXPECT_EQ(window.bytes, before);
}

}  // namespace
}  // namespace vellum
