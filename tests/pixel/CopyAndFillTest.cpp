// CopyRectRop, WashOutRect and the fills: worked values, random rectangles against the
// reference, and coordinates at the ends of the int range.
#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "engine/pixel/PixelOps.h"
#include "pixel/PixelTestSupport.h"
#include "reference/ReferenceOps.h"

namespace vellum {
namespace {

using test::GuardedSurface;
using test::Placement;

constexpr uint32_t kRopCodes[] = {SRCCOPY, NOTSRCCOPY, SRCAND, SRCPAINT};
// Other standard codes and near misses, none of which this program performs.
constexpr uint32_t kUnknownRops[] = {0, 0x00CC0021, 0x00660046 /* invert */, 0x00000042,
                                     0x00FF0062, 0xFFFFFFFF};

TEST(CopyRectRop, EachCodeGivesItsByte) {
    struct Case {
        uint32_t rop;
        uint8_t expected;  // d = 0xC3, s = 0x5A
    };
    const Case cases[] = {{SRCCOPY, 0x5A}, {NOTSRCCOPY, 0xA5}, {SRCAND, 0x42}, {SRCPAINT, 0xDB}};
    for (const Case& c : cases) {
        for (int width : {1, 29}) {
            SCOPED_TRACE("rop " + std::to_string(c.rop) + " width " + std::to_string(width));
            for (bool fast : {true, false}) {
                GuardedSurface dst(width, 2), src(width, 2);
                dst.FillAll(0xC3, 0xC3, 0xC3);
                src.FillAll(0x5A, 0x5A, 0x5A);
                if (fast) test::Ops().copyRectRop(*dst, 0, 0, width, 2, *src, 0, 0, c.rop);
                else reference::RefCopyRectRop(*dst, 0, 0, width, 2, *src, 0, 0, c.rop);
                ASSERT_TRUE(dst.GuardsIntact());
                for (int x = 0; x < width; ++x) ASSERT_EQ(dst.At(x, 1, 2), c.expected) << x;
            }
        }
    }
}

TEST(CopyRectRop, UnknownCodesChangeNothing) {
    GuardedSurface dst(13, 4), src(13, 4);
    std::mt19937 rng(11);
    dst.FillRandom(rng);
    src.FillRandom(rng);
    const GuardedSurface before(dst);
    for (uint32_t rop : kUnknownRops) {
        test::Ops().copyRectRop(*dst, 0, 0, 13, 4, *src, 0, 0, rop);
        reference::RefCopyRectRop(*dst, 0, 0, 13, 4, *src, 0, 0, rop);
    }
    EXPECT_EQ(dst.Buffer(), before.Buffer());
}

TEST(CopyRectRop, SameSurfaceCopiesBetweenSeparateRectangles) {
    // The lower half of an odd-width surface copied onto its upper half, shifted by one.
    GuardedSurface s(15, 8);
    std::mt19937 rng(3);
    s.FillRandom(rng);
    GuardedSurface expected(s);
    reference::RefCopyRectRop(*expected, 1, 0, 14, 4, *expected, 0, 4, SRCCOPY);
    test::Ops().copyRectRop(*s, 1, 0, 14, 4, *s, 0, 4, SRCCOPY);
    EXPECT_TRUE(s.GuardsIntact());
    EXPECT_EQ(s.Buffer(), expected.Buffer());
    for (int y = 0; y < 4; ++y) {
        for (int x = 1; x < 15; ++x) EXPECT_EQ(s.At(x, y, 0), s.At(x - 1, y + 4, 0)) << x << "," << y;
    }
}

TEST(CopyRectRop, ScreenfulsAndLargerMatchTheReference) {
    // Whole rows are copied as one run; runs of a megabyte and more take their own loop.
    std::mt19937 rng(29);
    for (int width : {240, 601}) {
        GuardedSurface src(width, 600), fast(width, 600);
        src.FillRandom(rng);
        fast.FillRandom(rng);
        GuardedSurface ref(fast);
        test::Ops().copyRectRop(*fast, 0, 0, width, 600, *src, 0, 0, SRCCOPY);
        reference::RefCopyRectRop(*ref, 0, 0, width, 600, *src, 0, 0, SRCCOPY);
        ASSERT_EQ(fast.Buffer(), ref.Buffer());
        ASSERT_EQ(fast.Buffer(), src.Buffer());
    }
}

TEST(CopyRectRop, RandomRectanglesMatchTheReference) {
    uint32_t seed = 2000;
    for (uint32_t rop : kRopCodes) {
        SCOPED_TRACE("rop " + std::to_string(rop));
        test::CompareTwoSurfaceOp(
            seed++, 300,
            [rop](PixelSurface& d, const Placement& p, const PixelSurface& s) {
                test::Ops().copyRectRop(d, p.x, p.y, p.w, p.h, s, p.sx, p.sy, rop);
            },
            [rop](PixelSurface& d, const Placement& p, const PixelSurface& s) {
                reference::RefCopyRectRop(d, p.x, p.y, p.w, p.h, s, p.sx, p.sy, rop);
            });
    }
    test::CompareTwoSurfaceOp(
        seed, 100,
        [](PixelSurface& d, const Placement& p, const PixelSurface& s) {
            test::Ops().copyRectRop(d, p.x, p.y, p.w, p.h, s, p.sx, p.sy, 0x00660046);
        },
        [](PixelSurface& d, const Placement& p, const PixelSurface& s) {
            reference::RefCopyRectRop(d, p.x, p.y, p.w, p.h, s, p.sx, p.sy, 0x00660046);
        });
}

TEST(WashOutRect, HalvesTowardsGrey) {
    const int pairs[][2] = {{0, 127}, {1, 127}, {2, 128}, {128, 191}, {254, 254}, {255, 254}};
    for (int width : {1, 31}) {
        for (bool fast : {true, false}) {
            GuardedSurface s(width, 6);
            for (int y = 0; y < 6; ++y) {
                for (int x = 0; x < width; ++x) {
                    const uint8_t v = uint8_t(pairs[y][0]);
                    s.SetPixel(x, y, v, v, v);
                }
            }
            if (fast) test::Ops().washOutRect(*s, 0, 0, width, 6);
            else reference::RefWashOutRect(*s, 0, 0, width, 6);
            ASSERT_TRUE(s.GuardsIntact());
            for (int y = 0; y < 6; ++y) {
                for (int x = 0; x < width; ++x) {
                    ASSERT_EQ(int(s.At(x, y, 1)), pairs[y][1]) << "from " << pairs[y][0];
                }
            }
        }
    }
}

TEST(Fills, WhiteBlackAndColour) {
    for (int width : {1, 7, 33}) {
        GuardedSurface s(width, 3);
        test::Ops().fillRectWhite(*s, 0, 0, width, 3);
        EXPECT_EQ(s.At(width - 1, 2, 2), 255);
        test::Ops().fillRectBlack(*s, 0, 1, width, 1);
        test::Ops().fillRectColour(*s, 0, 2, width, 1, 0x12, 0x34, 0x56);
        EXPECT_TRUE(s.GuardsIntact());
        for (int x = 0; x < width; ++x) {
            EXPECT_EQ(s.At(x, 0, 0), 255);
            EXPECT_EQ(s.At(x, 1, 0), 0);
            EXPECT_EQ(s.At(x, 1, 2), 0);
            // Blue, green, red in memory.
            EXPECT_EQ(s.At(x, 2, 0), 0x56);
            EXPECT_EQ(s.At(x, 2, 1), 0x34);
            EXPECT_EQ(s.At(x, 2, 2), 0x12);
        }
    }
}

TEST(OneSurfaceOps, RandomRectanglesMatchTheReference) {
    struct Op {
        const char* name;
        void (*fast)(PixelSurface&, const Placement&);
        void (*ref)(PixelSurface&, const Placement&);
    };
    const Op ops[] = {
        {"wash", [](PixelSurface& s, const Placement& p) { test::Ops().washOutRect(s, p.x, p.y, p.w, p.h); },
         [](PixelSurface& s, const Placement& p) { reference::RefWashOutRect(s, p.x, p.y, p.w, p.h); }},
        {"white", [](PixelSurface& s, const Placement& p) { test::Ops().fillRectWhite(s, p.x, p.y, p.w, p.h); },
         [](PixelSurface& s, const Placement& p) { reference::RefFillRectWhite(s, p.x, p.y, p.w, p.h); }},
        {"black", [](PixelSurface& s, const Placement& p) { test::Ops().fillRectBlack(s, p.x, p.y, p.w, p.h); },
         [](PixelSurface& s, const Placement& p) { reference::RefFillRectBlack(s, p.x, p.y, p.w, p.h); }},
        {"colour",
         [](PixelSurface& s, const Placement& p) { test::Ops().fillRectColour(s, p.x, p.y, p.w, p.h, 1, 2, 3); },
         [](PixelSurface& s, const Placement& p) {
             reference::RefFillRectColour(s, p.x, p.y, p.w, p.h, 1, 2, 3);
         }},
    };
    uint32_t seed = 3000;
    for (const Op& op : ops) {
        SCOPED_TRACE(op.name);
        test::CompareOneSurfaceOp(seed++, 400, op.fast, op.ref);
    }
}

// Coordinates and sizes near INT_MIN and INT_MAX must neither overflow nor reach outside.
TEST(ExtremeCoordinates, HugeRectanglesClipLikeSmallOnes) {
    GuardedSurface dst(10, 6), src(9, 7);
    std::mt19937 rng(17);
    dst.FillRandom(rng);
    src.FillRandom(rng);
    const int big = 1000000000;

    // Column X of the destination pairs with source column X + 2, row Y with Y + 1.
    GuardedSurface fast(dst), ref(dst);
    test::Ops().blendRect(*fast, -big, -big, 2 * big, 2 * big, *src, -big + 2, -big + 1, Add);
    reference::RefBlendRect(*ref, 0, 0, 10, 6, *src, 2, 1, Add);
    EXPECT_EQ(fast.Buffer(), ref.Buffer());

    GuardedSurface same(dst);
    const int corners[] = {INT_MIN, INT_MIN + 1, -big, 0, big, INT_MAX - 1, INT_MAX};
    for (int a : corners) {
        for (int b : corners) {
            test::Ops().blendRect(*same, a, 0, b, 6, *src, a, 0, Add);
            test::Ops().blendRect(*same, 0, a, 10, b, *src, 0, a, Add);
            test::Ops().copyRectRop(*same, a, a, b, b, *src, b, b, SRCCOPY);
            test::Ops().washOutRect(*same, a, a, b, b);
            test::Ops().fillRectBlack(*same, a, b, b, a);
            test::Ops().zoomCopyRect(*same, a, a, b, b, *src, a, a, 3);
            test::Ops().zoomCopyRect(*same, 0, 0, b, b, *src, a, a, 2);
            test::Ops().zoomCopyRect(*same, a, 0, b, 6, *src, a, 0, 1);
        }
    }
    EXPECT_TRUE(same.GuardsIntact());
    EXPECT_TRUE(src.GuardsIntact());

    GuardedSurface zoomFast(dst), zoomRef(dst);
    test::Ops().zoomCopyRect(*zoomFast, 0, 0, INT_MAX, INT_MAX, *src, 1, 2, 3);
    reference::RefZoomCopyRect(*zoomRef, 0, 0, 10, 6, *src, 1, 2, 3);
    EXPECT_EQ(zoomFast.Buffer(), zoomRef.Buffer());
}

// A surface without bytes, or whose byte count is short of its size, has no pixels.
TEST(BrokenSurfaces, AreLeftAloneAndNeverRead) {
    GuardedSurface good(8, 4);
    std::mt19937 rng(23);
    good.FillRandom(rng);
    const GuardedSurface before(good);
    PixelSurface absent;
    PixelSurface shortOne = *good;
    shortOne.byteSize -= 1;
    PixelSurface zeroWide = *good;
    zeroWide.width = 0;
    for (PixelSurface* broken : {&absent, &shortOne, &zeroWide}) {
        for (int mode = 0; mode < kBlendModeCount; ++mode) {
            test::Ops().blendRect(*broken, 0, 0, 8, 4, *good, 0, 0, mode);
            test::Ops().blendRect(*good, 0, 0, 8, 4, *broken, 0, 0, mode);
            reference::RefBlendRect(*good, 0, 0, 8, 4, *broken, 0, 0, mode);
        }
        test::Ops().copyRectRop(*good, 0, 0, 8, 4, *broken, 0, 0, SRCCOPY);
        test::Ops().copyRectRop(*broken, 0, 0, 8, 4, *good, 0, 0, SRCCOPY);
        test::Ops().zoomCopyRect(*good, 0, 0, 8, 4, *broken, 0, 0, 1);
        test::Ops().zoomCopyRect(*broken, 0, 0, 8, 4, *good, 0, 0, 1);
        test::Ops().washOutRect(*broken, 0, 0, 8, 4);
        test::Ops().fillRectWhite(*broken, 0, 0, 8, 4);
        test::Ops().fillRectColour(*broken, 0, 0, 8, 4, 1, 2, 3);
    }
    EXPECT_EQ(good.Buffer(), before.Buffer());
}

}  // namespace
}  // namespace vellum
