// BlendRect: the modes' worked values (checked on both the fast and the reference
// version), every (d, s) pair of the arithmetic modes, and random rectangles against
// the reference.
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

using BlendFn = void (*)(PixelSurface&, int, int, int, int, const PixelSurface&, int, int, int);

struct BlendImpl {
    const char* name;
    BlendFn blend;
};

class BlendWorked : public ::testing::TestWithParam<BlendImpl> {
protected:
    // Blends a source of (sb, sg, sr) onto a destination of (db, dg, dr) over a whole
    // surface of the given width and returns one channel of the result, after checking
    // that every pixel came out the same.
    void Expect(int mode, uint8_t d, uint8_t s, uint8_t expected) {
        ExpectPixel(mode, {d, d, d}, {s, s, s}, {expected, expected, expected});
    }
    void ExpectPixel(int mode, std::array<uint8_t, 3> d, std::array<uint8_t, 3> s,
                     std::array<uint8_t, 3> expected) {
        // One pixel, and a row wide enough for the block loops with a ragged end.
        for (int width : {1, 37}) {
            SCOPED_TRACE("mode " + std::to_string(mode) + " width " + std::to_string(width));
            GuardedSurface dst(width, 3), src(width, 3);
            dst.FillAll(d[0], d[1], d[2]);
            src.FillAll(s[0], s[1], s[2]);
            GetParam().blend(*dst, 0, 0, width, 3, *src, 0, 0, mode);
            ASSERT_TRUE(dst.GuardsIntact());
            for (int y = 0; y < 3; ++y) {
                for (int x = 0; x < width; ++x) {
                    for (int c = 0; c < 3; ++c) {
                        ASSERT_EQ(int(dst.At(x, y, c)), int(expected[c]))
                            << "pixel " << x << "," << y << " channel " << c;
                    }
                }
            }
        }
    }
};

TEST_P(BlendWorked, MultiplyByWhiteKeepsByBlackClearsAndHalvesHalf) {
    for (int d : {0, 1, 77, 128, 254, 255}) {
        Expect(Multiply, uint8_t(d), 255, uint8_t(d));
        Expect(Multiply, uint8_t(d), 0, 0);
    }
    Expect(Multiply, 128, 128, 64);
    Expect(Multiply, 254, 254, 253);  // 64516 / 255 = 253.0039...
    Expect(Multiply, 1, 254, 0);      // truncates, never rounds
}

TEST_P(BlendWorked, AttenuateAndAmplify) {
    Expect(Attenuate, 200, 255, 0);
    Expect(Attenuate, 255, 255, 0);
    Expect(Attenuate, 200, 0, 200);
    Expect(Attenuate, 200, 100, 122);  // 200 - 20000 / 255 = 200 - 78
    Expect(Attenuate, 0, 200, 0);
    Expect(Amplify, 200, 255, 255);    // 200 + 200 capped
    Expect(Amplify, 100, 100, 139);    // 100 + 39
    Expect(Amplify, 50, 0, 50);
}

TEST_P(BlendWorked, AddSaturatesAndReverseSubtractClamps) {
    Expect(Add, 200, 100, 255);
    Expect(Add, 100, 55, 155);
    Expect(Add, 255, 255, 255);
    Expect(ReverseSubtract, 100, 60, 0);
    Expect(ReverseSubtract, 60, 100, 40);
    Expect(ReverseSubtract, 0, 255, 255);
}

TEST_P(BlendWorked, LightenDarkenAndOr) {
    ExpectPixel(Lighten, {10, 200, 128}, {20, 100, 128}, {20, 200, 128});
    ExpectPixel(Darken, {10, 200, 128}, {20, 100, 128}, {10, 100, 128});
    ExpectPixel(And, {0xF0, 0x0F, 0xAA}, {0x3C, 0x3C, 0xFF}, {0x30, 0x0C, 0xAA});
    ExpectPixel(Or, {0xF0, 0x0F, 0xAA}, {0x3C, 0x3C, 0x00}, {0xFC, 0x3F, 0xAA});
}

TEST_P(BlendWorked, CopyNonWhiteSkipsOnlyPureWhite) {
    ExpectPixel(CopyNonWhite, {1, 2, 3}, {254, 255, 255}, {254, 255, 255});
    ExpectPixel(CopyNonWhite, {1, 2, 3}, {255, 255, 254}, {255, 255, 254});
    ExpectPixel(CopyNonWhite, {1, 2, 3}, {255, 255, 255}, {1, 2, 3});
    ExpectPixel(CopyNonWhite, {1, 2, 3}, {0, 0, 0}, {0, 0, 0});
}

TEST_P(BlendWorked, CopyNonWhiteDecidesPerPixel) {
    // White and coloured source pixels alternate along a row long enough for the blocks.
    GuardedSurface dst(23, 2), src(23, 2);
    dst.FillAll(9, 8, 7);
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 23; ++x) {
            if ((x + y) % 3 == 0) src.SetPixel(x, y, 255, 255, 255);
            else src.SetPixel(x, y, uint8_t(x), 255, uint8_t(y));
        }
    }
    GetParam().blend(*dst, 0, 0, 23, 2, *src, 0, 0, CopyNonWhite);
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 23; ++x) {
            const bool white = (x + y) % 3 == 0;
            EXPECT_EQ(dst.At(x, y, 0), white ? 9 : x) << x << "," << y;
            EXPECT_EQ(dst.At(x, y, 1), white ? 8 : 255) << x << "," << y;
            EXPECT_EQ(dst.At(x, y, 2), white ? 7 : y) << x << "," << y;
        }
    }
}

TEST_P(BlendWorked, UnknownModesAndEmptyRectanglesChangeNothing) {
    GuardedSurface dst(9, 4), src(9, 4);
    std::mt19937 rng(5);
    dst.FillRandom(rng);
    src.FillRandom(rng);
    const GuardedSurface before(dst);
    for (int mode : {-1, 10, 11, 99, INT_MIN, INT_MAX}) {
        GetParam().blend(*dst, 0, 0, 9, 4, *src, 0, 0, mode);
    }
    for (int mode = 0; mode < kBlendModeCount; ++mode) {
        GetParam().blend(*dst, 0, 0, 0, 4, *src, 0, 0, mode);
        GetParam().blend(*dst, 0, 0, 9, 0, *src, 0, 0, mode);
        GetParam().blend(*dst, 2, 1, -3, 2, *src, 0, 0, mode);
        GetParam().blend(*dst, 2, 1, 3, -2, *src, 0, 0, mode);
    }
    EXPECT_EQ(dst.Buffer(), before.Buffer());
}

TEST_P(BlendWorked, HangingRectangleChangesOnlyPairsInsideBoth) {
    // Destination 6x5, source 4x3; the source's corner sits at destination (-1, 2).
    GuardedSurface dst(6, 5), src(4, 3);
    dst.FillAll(10, 10, 10);
    src.FillAll(5, 5, 5);
    GetParam().blend(*dst, -3, 1, 20, 20, *src, -2, -1, Add);
    ASSERT_TRUE(dst.GuardsIntact());
    for (int y = 0; y < 5; ++y) {
        for (int x = 0; x < 6; ++x) {
            const int sxp = x + 1, syp = y - 2;  // source pixel paired with (x, y)
            const bool paired = sxp >= 0 && sxp < 4 && syp >= 0 && syp < 3;
            EXPECT_EQ(dst.At(x, y, 1), paired ? 15 : 10) << x << "," << y;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Impl, BlendWorked,
                         ::testing::Values(BlendImpl{"table", [](PixelSurface& d, int x, int y, int w, int h, const PixelSurface& s, int sx, int sy, int mode) { test::Ops().blendRect(d, x, y, w, h, s, sx, sy, mode); }},
                                           BlendImpl{"reference", reference::RefBlendRect}),
                         [](const auto& info) { return std::string(info.param.name); });

// Every (d, s) pair: destination pixel (x, y) holds x, source holds y. Wide rows take the
// block loops, strips of 1 to 6 pixels the short-row paths.
TEST(BlendRectExhaustive, ArithmeticModesMatchTheirFormulasForEveryPair) {
    GuardedSurface grid(256, 256), src(256, 256);
    for (int y = 0; y < 256; ++y) {
        for (int x = 0; x < 256; ++x) {
            grid.SetPixel(x, y, uint8_t(x), uint8_t(x), uint8_t(x));
            src.SetPixel(x, y, uint8_t(y), uint8_t(y), uint8_t(y));
        }
    }
    struct Case {
        int mode;
        int (*formula)(int d, int s);
    };
    const Case cases[] = {
        {Multiply, [](int d, int s) { return (d * s) / 255; }},
        {Amplify, [](int d, int s) { return d + (d * s) / 255 > 255 ? 255 : d + (d * s) / 255; }},
        {Attenuate, [](int d, int s) { return d - (d * s) / 255; }},
    };
    for (const Case& c : cases) {
        for (int strip : {256, 1, 2, 3, 5, 6}) {
            SCOPED_TRACE("mode " + std::to_string(c.mode) + " strip " + std::to_string(strip));
            GuardedSurface dst(grid);
            for (int x = 0; x < 256; x += strip) test::Ops().blendRect(*dst, x, 0, strip, 256, *src, x, 0, c.mode);
            ASSERT_TRUE(dst.GuardsIntact());
            for (int y = 0; y < 256; ++y) {
                for (int x = 0; x < 256; ++x) {
                    for (int ch = 0; ch < 3; ++ch) {
                        ASSERT_EQ(int(dst.At(x, y, ch)), c.formula(x, y))
                            << "d=" << x << " s=" << y << " channel " << ch;
                    }
                }
            }
        }
    }
}

TEST(BlendRectExhaustive, EveryModeMatchesTheReferenceForEveryPair) {
    GuardedSurface grid(256, 256), src(256, 256);
    for (int y = 0; y < 256; ++y) {
        for (int x = 0; x < 256; ++x) {
            grid.SetPixel(x, y, uint8_t(x), uint8_t(255 - x), uint8_t(x ^ 0x5A));
            src.SetPixel(x, y, uint8_t(y), uint8_t(y), uint8_t(255 - y));
        }
    }
    for (int mode = 0; mode < kBlendModeCount; ++mode) {
        SCOPED_TRACE("mode " + std::to_string(mode));
        GuardedSurface fast(grid), ref(grid);
        test::Ops().blendRect(*fast, 0, 0, 256, 256, *src, 0, 0, mode);
        reference::RefBlendRect(*ref, 0, 0, 256, 256, *src, 0, 0, mode);
        ASSERT_EQ(fast.Buffer(), ref.Buffer());
    }
}

TEST(BlendRectRandom, EveryModeMatchesTheReference) {
    for (int mode : {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, -1, 10, 99}) {
        SCOPED_TRACE("mode " + std::to_string(mode));
        test::CompareTwoSurfaceOp(
            1000u + uint32_t(mode + 1), 300,
            [mode](PixelSurface& d, const Placement& p, const PixelSurface& s) {
                test::Ops().blendRect(d, p.x, p.y, p.w, p.h, s, p.sx, p.sy, mode);
            },
            [mode](PixelSurface& d, const Placement& p, const PixelSurface& s) {
                reference::RefBlendRect(d, p.x, p.y, p.w, p.h, s, p.sx, p.sy, mode);
            });
    }
}

}  // namespace
}  // namespace vellum
