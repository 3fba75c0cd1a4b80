// The window's picture of the screen: 24-bit pixels as opaque 32-bit ones, repeated scale x
// scale times, against the reference for every row length around the block loops, every
// scale the block loops have and some they do not, and rectangles over every edge; in both
// byte orders (blue first for a desktop window, red first for a browser canvas).
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

using ExpandFn = void (*)(uint8_t*, int64_t, int, int, const PixelSurface&, int, int, int, int, int);
struct Order {
    ExpandFn fast, ref;
    int first;  // the source channel in the first byte: 0 blue, 2 red
};
std::vector<Order> Orders() {
    return {{test::Ops().expandRectRgb32, reference::RefExpandRectRgb32, 0},
            {test::Ops().expandRectRgba, reference::RefExpandRectRgba, 2}};
}

TEST(ExpandRgb32, EveryRowLengthAndScaleMatchesTheReference) {
    std::mt19937 rng(7);
    for (const Order& order : Orders())
    for (int scale : {1, 2, 3, 4, 5, 16})
        for (int width = 1; width <= 23; ++width) {
            SCOPED_TRACE("scale " + std::to_string(scale) + " width " + std::to_string(width));
            // No guard around the source: AddressSanitizer sees a read past its pixels.
            GuardedSurface src(width, 3, 0);
            src.FillRandom(rng);
            Window fast(width * scale, 3 * scale), ref(width * scale, 3 * scale);
            order.fast(fast.Data(), fast.stride, fast.width, fast.height, *src, 0, 0, width, 3, scale);
            order.ref(ref.Data(), ref.stride, ref.width, ref.height, *src, 0, 0, width, 3, scale);
            ASSERT_EQ(fast.bytes, ref.bytes) << "first byte from channel " << order.first;
            // Spot check of the layout: the order's channels and 255 at the repeated places.
            const uint8_t* last = fast.Data() + (3 * scale - 1) * fast.stride + (width * scale - 1) * 4;
            EXPECT_EQ(last[0], src.At(width - 1, 2, order.first));
            EXPECT_EQ(last[1], src.At(width - 1, 2, 1));
            EXPECT_EQ(last[2], src.At(width - 1, 2, 2 - order.first));
            EXPECT_EQ(last[3], 255);
        }
}

TEST(ExpandRgb32, RectanglesOverEveryEdgeWriteOnlyWhatTheyCover) {
    std::mt19937 rng(11);
    GuardedSurface src(37, 19, 0);
    src.FillRandom(rng);
    for (const Order& order : Orders())
    for (int trial = 0; trial < 400; ++trial) {
        const int scale = test::RandomIn(rng, 1, 4);
        // Windows smaller, equal and larger than the scaled screen, not always a multiple.
        const int ww = test::RandomIn(rng, 1, 37 * scale + 5), wh = test::RandomIn(rng, 1, 19 * scale + 5);
        const int x = test::RandomIn(rng, -20, 40), y = test::RandomIn(rng, -10, 22);
        const int w = test::RandomIn(rng, -3, 45), h = test::RandomIn(rng, -3, 25);
        SCOPED_TRACE("trial " + std::to_string(trial));
        Window fast(ww, wh), ref(ww, wh);
        order.fast(fast.Data(), fast.stride, ww, wh, *src, x, y, w, h, scale);
        order.ref(ref.Data(), ref.stride, ww, wh, *src, x, y, w, h, scale);
        ASSERT_EQ(fast.bytes, ref.bytes) << "x=" << x << " y=" << y << " w=" << w << " h=" << h << " scale=" << scale
                                         << " window " << ww << "x" << wh;
    }
}

TEST(ExpandRgb32, NothingForABadScaleOrAnAbsentSource) {
    GuardedSurface src(4, 4);
    Window window(16, 16);
    const std::vector<uint8_t> before = window.bytes;
    PixelSurface absent;
    for (const Order& order : Orders()) {
        for (int scale : {0, -1, kMaxExpandScale + 1})
            order.fast(window.Data(), window.stride, 16, 16, *src, 0, 0, 4, 4, scale);
        order.fast(window.Data(), window.stride, 16, 16, absent, 0, 0, 4, 4, 1);
        order.fast(nullptr, window.stride, 16, 16, *src, 0, 0, 4, 4, 1);
    }
    EXPECT_EQ(window.bytes, before);
}

}  // namespace
}  // namespace vellum
