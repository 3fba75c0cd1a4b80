// The colour hold of a pencil segment: each colour byte held to pencil x coverage / 255,
// worked values on rows long enough for the block loops, and random rectangles against
// the reference.
#include <gtest/gtest.h>

#include <string>

#include "engine/pixel/PixelOps.h"
#include "pixel/PixelTestSupport.h"
#include "reference/ReferenceOps.h"

namespace vellum {
namespace {

using test::GuardedSurface;
using test::Placement;

TEST(HoldColour, HoldsEachChannelToItsShareOfThePencil) {
    // Pencil red 200, green 100, blue 0; coverage 255 and 128 in alternate pixels.
    for (int width : {1, 5, 6, 17, 48}) {
        SCOPED_TRACE("width " + std::to_string(width));
        GuardedSurface colour(width, 2), coverage(width, 2);
        colour.FillAll(250, 250, 250);
        for (int x = 0; x < width; ++x)
            for (int y = 0; y < 2; ++y) {
                const uint8_t a = x % 2 ? 128 : 255;
                coverage.SetPixel(x, y, a, a, a);
            }
        test::Ops().holdColourRect(*colour, 0, 0, width, 2, *coverage, 0, 0, 200, 100, 0);
        ASSERT_TRUE(colour.GuardsIntact());
        for (int x = 0; x < width; ++x) {
            const bool half = x % 2;
            // (channel order blue, green, red)
            EXPECT_EQ(colour.At(x, 1, 2), half ? 200 * 128 / 255 : 200) << x;
            EXPECT_EQ(colour.At(x, 1, 1), half ? 100 * 128 / 255 : 100) << x;
            EXPECT_EQ(colour.At(x, 1, 0), 0) << x;
        }
    }
}

TEST(HoldColour, BytesUnderTheirShareKeepTheirValue) {
    GuardedSurface colour(33, 3), coverage(33, 3);
    colour.FillAll(10, 20, 30);
    coverage.FillAll(255, 255, 255);
    const GuardedSurface before(colour);
    test::Ops().holdColourRect(*colour, 0, 0, 33, 3, *coverage, 0, 0, 255, 255, 255);
    EXPECT_EQ(colour.Buffer(), before.Buffer());
}

TEST(HoldColour, RandomRectanglesMatchTheReference) {
    const uint8_t pencils[][3] = {{0, 0, 0}, {255, 255, 255}, {200, 37, 129}, {1, 254, 90}};
    for (const auto& p : pencils) {
        test::CompareTwoSurfaceOp(
            77u + p[0], 250,
            [&](PixelSurface& d, const Placement& q, const PixelSurface& s) {
                test::Ops().holdColourRect(d, q.x, q.y, q.w, q.h, s, q.sx, q.sy, p[0], p[1], p[2]);
            },
            [&](PixelSurface& d, const Placement& q, const PixelSurface& s) {
                reference::RefHoldColourRect(d, q.x, q.y, q.w, q.h, s, q.sx, q.sy, p[0], p[1], p[2]);
            });
    }
}

}  // namespace
}  // namespace vellum
