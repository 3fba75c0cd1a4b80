// Pencil strokes: the pen stamp, compositing through the paper, the segment DDA and the
// clipping of stamps at the canvas edges.
#include <gtest/gtest.h>

#include "DrawTestSupport.h"

namespace vellum::drawtest {
namespace {

class StrokeTest : public DrawViewTest {
protected:
    // Pen mask of one grey, pencil colour grey, paper of one grey.
    void Setup(uint8_t mask, uint32_t colour, uint8_t paper) {
        view->SetColour(colour, false);
        SetPenMask(*view, [&](int, int) { return mask; });
        FillGrey(*view->paperSurface, 0, 0, view->W, view->H, paper);
    }
};

TEST_F(StrokeTest, PenBufferHoldsMaskColourAndCoverage) {
    view->SetColour(0x00336699, false);  // red 0x99, green 0x66, blue 0x33
    SetPenMask(*view, [](int i, int j) { return 20 * i + j; });
    const PixelSurface& pen = *view->penBuffer;
    for (int j = 0; j < 10; ++j)
        for (int i = 0; i < 10; ++i) {
            const int mask = 20 * i + j, k = 255 - mask;
            ASSERT_EQ(Rgb(pen, i, j), uint32_t(mask * 0x010101));
            ASSERT_EQ(Rgb(pen, 20 + i, j), uint32_t(k * 0x010101));
            ASSERT_EQ(Channel(pen, 10 + i, j, 2), 0x99 * k / 255);
            ASSERT_EQ(Channel(pen, 10 + i, j, 1), 0x66 * k / 255);
            ASSERT_EQ(Channel(pen, 10 + i, j, 0), 0x33 * k / 255);
        }
}

TEST_F(StrokeTest, SelectPenZeroAndMinusOneKeepThePen) {
    // Distinct masks for pens 5 and 7.
    for (int p : {5, 7})
        FillGrey(*view->skinImage, 10 + 20 * p, 170, 10, 10, uint8_t(10 * p));
    view->SelectPen(5, false);
    EXPECT_EQ(view->penIndex, 5);
    EXPECT_EQ(Rgb(*view->penBuffer, 3, 3), 50u * 0x010101);
    view->SelectPen(0, false);
    EXPECT_EQ(view->penIndex, 5);
    EXPECT_EQ(Rgb(*view->penBuffer, 3, 3), 50u * 0x010101);
    view->SelectPen(-1, false);
    EXPECT_EQ(view->penIndex, 5);
    view->SelectPen(7, false);
    EXPECT_EQ(view->penIndex, 7);
    EXPECT_EQ(Rgb(*view->penBuffer, 3, 3), 70u * 0x010101);
}

TEST_F(StrokeTest, WorkedExampleOneStamp) {
    Setup(127, 0x00C8C8C8, 0);
    view->DrawSegment(10, 10, 11, 10);  // one stamp with corner (10, 10)
    const PixelSurface& c = *view->canvas;
    for (int y = 10; y < 20; ++y)
        for (int x = 10; x < 20; ++x) ASSERT_EQ(Rgb(c, x, y), 227u * 0x010101) << x << "," << y;
    EXPECT_EQ(Rgb(c, 20, 10), 0xFFFFFFu);
    EXPECT_EQ(Rgb(c, 9, 10), 0xFFFFFFu);
    EXPECT_EQ(Rgb(c, 10, 20), 0xFFFFFFu);

    // On a grey picture: 100 - (128 x 100) / 255 + 100.
    FillGrey(*view->canvas, 0, 0, view->W, view->H, 100);
    view->DrawSegment(50, 50, 51, 50);
    EXPECT_EQ(Rgb(c, 55, 55), 150u * 0x010101);
}

TEST_F(StrokeTest, StampsOfOneSegmentAddUpBeforeThePaper) {
    Setup(127, 0x00C8C8C8, 0);
    view->DrawSegment(10, 10, 12, 10);  // stamps at 10 and 11
    const PixelSurface& c = *view->canvas;
    EXPECT_EQ(Channel(c, 10, 12, 0), 227);
    for (int x = 11; x < 20; ++x) EXPECT_EQ(Channel(c, x, 12, 0), 200) << x;  // saturated
    EXPECT_EQ(Channel(c, 20, 12, 0), 227);
}

// Coverage stops at full while the colour sums go on: a long segment of a dark pen must
// still lay the pencil's colour, never a lighter one.
TEST_F(StrokeTest, OverlappingStampsNeverLayALighterColour) {
    Setup(0, 0x00336699, 0);
    view->DrawSegment(10, 10, 20, 10);  // ten stamps of a black mask
    const PixelSurface& c = *view->canvas;
    for (int x = 10; x < 29; ++x) ASSERT_EQ(Rgb(c, x, 14), 0x996633u) << x;
    EXPECT_EQ(Rgb(c, 29, 14), 0xFFFFFFu);
    // A grey mask saturating the coverage: still the colour, and a second pass keeps it.
    Setup(60, 0x00204080, 0);
    FillGrey(*view->canvas, 0, 0, view->W, view->H, 255);
    view->DrawSegment(40, 40, 52, 40);
    EXPECT_EQ(Rgb(c, 48, 44), 0x804020u);
    view->DrawSegment(40, 40, 52, 40);
    EXPECT_EQ(Rgb(c, 48, 44), 0x804020u);
    // Through the paper the mark is held back, but no channel passes the pencil's above
    // what the picture had.
    Setup(0, 0x00204080, 100);
    FillGrey(*view->canvas, 0, 0, view->W, view->H, 255);
    view->DrawSegment(60, 60, 75, 60);
    for (int x = 64; x < 75; ++x) {
        ASSERT_LT(Channel(c, x, 64, 2), 255) << x;
        ASSERT_GE(Channel(c, x, 64, 2), 0x80) << x;
        ASSERT_GE(Channel(c, x, 64, 0), 0x20) << x;
    }
}

TEST_F(StrokeTest, PaperHoldsThePencilBack) {
    // Paper 128: A' = 128 - 64, B' = 100 - 50, v = 255 - 64 + 50.
    Setup(127, 0x00C8C8C8, 128);
    view->DrawSegment(10, 10, 11, 10);
    EXPECT_EQ(Rgb(*view->canvas, 14, 14), 241u * 0x010101);
}

TEST_F(StrokeTest, BlackMaskOnOpenPaperLaysTheColourExactly) {
    Setup(0, 0x00336699, 0);
    FillGrey(*view->canvas, 0, 0, view->W, view->H, 77);
    view->DrawSegment(30, 40, 31, 40);
    for (int y = 40; y < 50; ++y)
        for (int x = 30; x < 40; ++x) ASSERT_EQ(Rgb(*view->canvas, x, y), 0x996633u);
    EXPECT_EQ(Rgb(*view->canvas, 40, 40), 77u * 0x010101);
}

TEST_F(StrokeTest, ClosedPaperLeavesTheCanvasUnchanged) {
    Setup(0, 0x00336699, 255);
    for (int y = 0; y < view->H; ++y)
        for (int x = 0; x < view->W; ++x)
            SetPixel(*view->canvas, x, y, uint8_t(x), uint8_t(y), uint8_t(x ^ y));
    const uint64_t before = Fnv1a(*view->canvas);
    view->DrawSegment(20, 20, 60, 35);
    view->DrawSegment(60, 35, 10, 80);
    EXPECT_EQ(Fnv1a(*view->canvas), before);
}

TEST_F(StrokeTest, EraserWhitensWhateverThePaper) {
    Setup(0, 0x00336699, 255);
    FillGrey(*view->canvas, 0, 0, view->W, view->H, 0);
    FillGrey(*view->coverageLayer, 0, 0, view->W, view->H, 99);
    view->eraser = 1;
    view->DrawSegment(30, 40, 31, 40);
    for (int y = 40; y < 50; ++y)
        for (int x = 30; x < 40; ++x) ASSERT_EQ(Rgb(*view->canvas, x, y), 0xFFFFFFu);
    EXPECT_EQ(Rgb(*view->canvas, 40, 40), 0u);
    // The layers' box is still blackened, and nothing else is drawn into them.
    EXPECT_EQ(Rgb(*view->coverageLayer, 30, 40), 0u);
    EXPECT_EQ(Rgb(*view->colourLayer, 40, 49), 0u);
    EXPECT_EQ(Rgb(*view->coverageLayer, 41, 40), 99u * 0x010101);

    // A single stamp erases too.
    FillGrey(*view->canvas, 0, 0, view->W, view->H, 0);
    view->StampPen(*view->canvas, 100, 100);
    EXPECT_EQ(Rgb(*view->canvas, 100, 100), 0xFFFFFFu);
    EXPECT_EQ(Rgb(*view->canvas, 110, 100), 0u);
}

// With a mask that is dark only at mask position (0, 5) and open paper, the coverage
// layer is 255 exactly at (corner x, corner y + 5) of every stamp.
class DdaTest : public StrokeTest {
protected:
    void SetUp() override {
        StrokeTest::SetUp();
        view->SetColour(0, false);
        SetPenMask(*view, [](int i, int j) { return i == 0 && j == 5 ? 0 : 255; });
        FillGrey(*view->paperSurface, 0, 0, view->W, view->H, 0);
    }
    std::vector<std::pair<int, int>> Stamps(int x0, int y0, int x1, int y1) {
        FillGrey(*view->coverageLayer, 0, 0, view->W, view->H, 0);
        view->DrawSegment(x0, y0, x1, y1);
        std::vector<std::pair<int, int>> found;
        for (int y = 0; y < view->H; ++y)
            for (int x = 0; x < view->W; ++x) {
                const int v = Channel(*view->coverageLayer, x, y, 0);
                if (v == 255) found.push_back({x, y - 5});
                else EXPECT_EQ(v, 0) << x << "," << y;
            }
        std::sort(found.begin(), found.end());
        return found;
    }
    using P = std::vector<std::pair<int, int>>;
};

TEST_F(DdaTest, StampsAlongTheMajorAxisEndCornerLeftOut) {
    EXPECT_EQ(Stamps(0, 0, 3, 1), (P{{0, 0}, {1, 0}, {2, 0}}));
    EXPECT_EQ(Stamps(0, 0, 1, 3), (P{{0, 0}, {0, 1}, {0, 2}}));
    // slope 3/7 accumulated: 0, .43, .86, 1.29, 1.71, 2.14, 2.57
    EXPECT_EQ(Stamps(20, 20, 27, 23), (P{{20, 20}, {21, 20}, {22, 20}, {23, 21}, {24, 21},
                                         {25, 22}, {26, 22}}));
    // Backwards on both axes.
    EXPECT_EQ(Stamps(10, 10, 4, 7), (P{{5, 7}, {6, 8}, {7, 8}, {8, 9}, {9, 9}, {10, 10}}));
    // Negative running coordinates truncate toward zero: 0, -0.5 -> 0; -1, -1.5 -> -1.
    EXPECT_EQ(Stamps(10, 0, 14, -2), (P{{10, 0}, {11, 0}, {12, -1}, {13, -1}}));
}

TEST_F(DdaTest, ZeroLengthSegmentStampsNothing) {
    EXPECT_TRUE(Stamps(30, 30, 30, 30).empty());
    SetPenMask(*view, [](int, int) { return 0; });
    const uint64_t before = Fnv1a(*view->canvas);
    view->DrawSegment(30, 30, 30, 30);
    EXPECT_EQ(Fnv1a(*view->canvas), before);
}

// With colour black a stamp on a white canvas leaves exactly the mask, so the canvas
// shows which mask columns and rows landed where.
class ClipTest : public StrokeTest {
protected:
    void SetUp() override {
        StrokeTest::SetUp();
        view->SetColour(0, false);
        SetPenMask(*view, [](int i, int j) { return Mask(i, j); });
    }
    static int Mask(int i, int j) { return 20 * i + j; }
    // Canvas columns x0..x0+n-1 hold mask columns c..c+n-1 on rows y0.. from mask row r.
    void ExpectMask(int x0, int n, int c, int y0, int rows, int r) {
        for (int j = 0; j < rows; ++j)
            for (int i = 0; i < n; ++i)
                ASSERT_EQ(Channel(*view->canvas, x0 + i, y0 + j, 1), Mask(c + i, r + j))
                    << "canvas " << x0 + i << "," << y0 + j;
    }
    int NonWhite() {
        int n = 0;
        const PixelSurface& s = *view->canvas;
        for (int32_t i = 0; i < s.byteSize; ++i) n += s.bytes[i] != 255;
        return n / 3;
    }
};

TEST_F(ClipTest, LeftEdge) {
    view->StampPen(*view->canvas, -5, 50);
    ExpectMask(0, 5, 5, 50, 10, 0);
    EXPECT_EQ(NonWhite(), 50);
}

TEST_F(ClipTest, RightEdge) {
    const int W = view->W;
    view->StampPen(*view->canvas, W - 5, 50);
    ExpectMask(W - 5, 5, 0, 50, 10, 0);
    EXPECT_EQ(NonWhite(), 50);
}

TEST_F(ClipTest, FullyOutsideDrawsNothing) {
    view->StampPen(*view->canvas, -10, 50);
    view->StampPen(*view->canvas, -11, 50);
    view->StampPen(*view->canvas, view->W, 50);
    view->StampPen(*view->canvas, view->W + 3, 50);
    view->StampPen(*view->canvas, 50, -10);
    view->StampPen(*view->canvas, 50, view->H);
    EXPECT_EQ(NonWhite(), 0);
}

TEST_F(ClipTest, RowsPartlyOutside) {
    view->StampPen(*view->canvas, 20, -3);
    ExpectMask(20, 10, 0, 0, 7, 3);
    EXPECT_EQ(NonWhite(), 70);
    FillRectWhite(*view->canvas, 0, 0, view->W, view->H);
    view->StampPen(*view->canvas, 20, view->H - 4);
    ExpectMask(20, 10, 0, view->H - 4, 4, 0);
    EXPECT_EQ(NonWhite(), 40);
}

TEST_F(ClipTest, CornerOfTheCanvas) {
    view->StampPen(*view->canvas, -5, -5);
    ExpectMask(0, 5, 5, 0, 5, 5);
    EXPECT_EQ(NonWhite(), 25);
}

TEST_F(ClipTest, LayerStampsClipTheSameWay) {
    FillGrey(*view->coverageLayer, 0, 0, view->W, view->H, 0);
    view->StampPenLayers(-5, 50);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(Channel(*view->coverageLayer, i, 52, 0), 255 - Mask(5 + i, 2));
    EXPECT_EQ(Channel(*view->coverageLayer, 5, 52, 0), 0);
    view->StampPenLayers(view->W - 5, 60);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(Channel(*view->coverageLayer, view->W - 5 + i, 60, 0), 255 - Mask(i, 0));
    EXPECT_EQ(Channel(*view->coverageLayer, view->W - 6, 60, 0), 0);
}

}  // namespace
}  // namespace vellum::drawtest
