// ZoomCopyRect: blocks of 2x2, 4x4 and 8x8, clipping on both surfaces, and random
// rectangles against the reference.
#include <gtest/gtest.h>

#include <string>

#include "engine/pixel/PixelOps.h"
#include "pixel/PixelTestSupport.h"
#include "reference/ReferenceOps.h"

namespace vellum {
namespace {

using test::GuardedSurface;
using test::Placement;

using ZoomFn = void (*)(PixelSurface&, int, int, int, int, const PixelSurface&, int, int, int);

struct ZoomImpl {
    const char* name;
    ZoomFn zoom;
};

class ZoomWorked : public ::testing::TestWithParam<ZoomImpl> {};

void FillNumbered(GuardedSurface& s) {
    for (int y = 0; y < s->height; ++y) {
        for (int x = 0; x < s->width; ++x) s.SetPixel(x, y, uint8_t(x), uint8_t(y), uint8_t(x * 7 + y));
    }
}

TEST_P(ZoomWorked, ShiftOneFillsTwoByTwoBlocks) {
    GuardedSurface src(3, 2), dst(6, 4);
    FillNumbered(src);
    GetParam().zoom(*dst, 0, 0, 6, 4, *src, 0, 0, 1);
    ASSERT_TRUE(dst.GuardsIntact());
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 6; ++x) {
            for (int c = 0; c < 3; ++c) ASSERT_EQ(dst.At(x, y, c), src.At(x / 2, y / 2, c)) << x << "," << y;
        }
    }
}

TEST_P(ZoomWorked, ShiftZeroIsAPlainCopy) {
    GuardedSurface src(11, 5), dst(11, 5);
    FillNumbered(src);
    GetParam().zoom(*dst, 0, 0, 11, 5, *src, 0, 0, 0);
    EXPECT_EQ(dst.Buffer(), src.Buffer());
}

TEST_P(ZoomWorked, LargerShiftsOnAWideRowWithARaggedEnd) {
    // 61 columns: blocks of eight destination pixels plus a short tail.
    for (int shift = 1; shift <= 3; ++shift) {
        SCOPED_TRACE("shift " + std::to_string(shift));
        GuardedSurface src(9, 4), dst(61, 13);
        FillNumbered(src);
        GetParam().zoom(*dst, 0, 0, 61, 13, *src, 1, 1, shift);
        ASSERT_TRUE(dst.GuardsIntact());
        for (int y = 0; y < 13; ++y) {
            for (int x = 0; x < 61; ++x) {
                const int px = 1 + (x >> shift), py = 1 + (y >> shift);
                const bool inside = px < 9 && py < 4;
                for (int c = 0; c < 3; ++c) {
                    ASSERT_EQ(dst.At(x, y, c), inside ? src.At(px, py, c) : 0) << x << "," << y;
                }
            }
        }
    }
}

TEST_P(ZoomWorked, SourceOutsideLeavesDestinationAlone) {
    // The corner's source lies one pixel before the source's top-left corner, so the first
    // block of columns and rows keeps its bytes.
    GuardedSurface src(4, 4), dst(12, 12);
    FillNumbered(src);
    dst.FillAll(200, 201, 202);
    GetParam().zoom(*dst, 0, 0, 12, 12, *src, -1, -1, 2);
    ASSERT_TRUE(dst.GuardsIntact());
    for (int y = 0; y < 12; ++y) {
        for (int x = 0; x < 12; ++x) {
            if (x < 4 || y < 4) {
                ASSERT_EQ(dst.At(x, y, 0), 200) << x << "," << y;
            } else {
                ASSERT_EQ(dst.At(x, y, 0), src.At(x / 4 - 1, y / 4 - 1, 0)) << x << "," << y;
            }
        }
    }
}

TEST_P(ZoomWorked, OtherShiftsChangeNothing) {
    GuardedSurface src(4, 4), dst(8, 8);
    FillNumbered(src);
    for (int shift : {-1, 4, 31}) GetParam().zoom(*dst, 0, 0, 8, 8, *src, 0, 0, shift);
    EXPECT_EQ(dst.Buffer(), GuardedSurface(8, 8).Buffer());
}

INSTANTIATE_TEST_SUITE_P(Impl, ZoomWorked,
                         ::testing::Values(ZoomImpl{"table", [](PixelSurface& d, int x, int y, int w, int h, const PixelSurface& s, int sx, int sy, int shift) { test::Ops().zoomCopyRect(d, x, y, w, h, s, sx, sy, shift); }},
                                           ZoomImpl{"reference", reference::RefZoomCopyRect}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ZoomCopyRandom, EveryShiftMatchesTheReference) {
    for (int shift : {0, 1, 2, 3, -1, 4}) {
        SCOPED_TRACE("shift " + std::to_string(shift));
        test::CompareTwoSurfaceOp(
            4000u + uint32_t(shift + 1), 400,
            [shift](PixelSurface& d, const Placement& p, const PixelSurface& s) {
                test::Ops().zoomCopyRect(d, p.x, p.y, p.w, p.h, s, p.sx, p.sy, shift);
            },
            [shift](PixelSurface& d, const Placement& p, const PixelSurface& s) {
                reference::RefZoomCopyRect(d, p.x, p.y, p.w, p.h, s, p.sx, p.sy, shift);
            });
    }
}

TEST(ZoomCopyRandom, ScreenSizedZoomMatchesTheReference) {
    // A 240x320 screen from a canvas, at every zoom, with corners on and off the grid.
    GuardedSurface canvas(240, 320);
    std::mt19937 rng(99);
    canvas.FillRandom(rng);
    for (int shift = 0; shift <= 3; ++shift) {
        for (int origin : {0, 37, 200}) {
            SCOPED_TRACE("shift " + std::to_string(shift) + " origin " + std::to_string(origin));
            GuardedSurface fast(240, 320), ref(240, 320);
            test::Ops().zoomCopyRect(*fast, -3, 5, 240, 320, *canvas, origin, origin / 2, shift);
            reference::RefZoomCopyRect(*ref, -3, 5, 240, 320, *canvas, origin, origin / 2, shift);
            ASSERT_EQ(fast.Buffer(), ref.Buffer());
        }
    }
}

}  // namespace
}  // namespace vellum
