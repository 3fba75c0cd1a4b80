// The pencil as plain functions over surfaces: the pen stamp, compositing through the
// paper, the segment DDA and the clipping of stamps at the canvas edges. No view, no
// platform: each test builds its surfaces and checks pixels.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>

#include "engine/Pencil.h"
#include "engine/pixel/PixelOps.h"

namespace vellum {
namespace {

int Channel(const PixelSurface& s, int x, int y, int c) { return s.At(x, y)[c]; }

uint32_t Rgb(const PixelSurface& s, int x, int y) {
    const uint8_t* p = s.At(x, y);
    return uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0];
}

void FillGrey(PixelSurface& s, uint8_t v) { FillRectColour(s, 0, 0, s.width, s.height, v, v, v); }

uint64_t Fnv1a(const PixelSurface& s) {
    uint64_t h = 1469598103934665603ull;
    for (int32_t i = 0; i < s.byteSize; ++i) {
        h ^= s.bytes[i];
        h *= 1099511628211ull;
    }
    return h;
}

// The surfaces of a 240 x 320 picture: a white canvas, scratch layers, open paper, and a
// pen built from a mask of one grey and black.
class PencilTest : public ::testing::Test {
protected:
    static constexpr int W = 240, H = 320;
    OwnedSurface canvas, pen, masks, tile;
    StrokeLayers layers;
    // The layers as they lie over the whole canvas.
    PixelSurface* coverage = &layers.coverage;
    PixelSurface* colour = &layers.colour;
    bool eraser = false;
    ::vellum::Rgb pencilColour;

    void SetUp() override {
        ASSERT_TRUE(canvas.Allocate(W, H));
        ASSERT_TRUE(layers.Reset(W, H));
        ASSERT_TRUE(layers.Whole());
        ASSERT_TRUE(pen.Allocate(kPenBufferWidth, kPenBufferHeight));
        ASSERT_TRUE(masks.Allocate(kStampSize, kStampSize));
        ASSERT_TRUE(tile.Allocate(kPaperTile, kPaperTile));
        FillGrey(*canvas, 255);
        PaperGrey(0);
        Pen([](int, int) { return 0; }, 0);
    }
    void PaperGrey(uint8_t v) {
        FillGrey(*tile, v);
        ASSERT_TRUE(layers.SetPaper(*tile));
    }
    // The pen from a mask given as a function of the mask position, and a colour.
    template <class F>
    void Pen(F grey, uint32_t value) {
        for (int j = 0; j < kStampSize; ++j)
            for (int i = 0; i < kStampSize; ++i) {
                const uint8_t v = uint8_t(grey(i, j));
                uint8_t* p = masks->At(i, j);
                p[0] = p[1] = p[2] = v;
            }
        pencilColour = RgbOf(value);
        BuildPenStamp(FastPixelOps(), *pen, *masks, 0, 0, pencilColour);
    }
    // Pen mask of one grey, pencil colour, paper of one grey.
    void Setup(uint8_t mask, uint32_t value, uint8_t paperGrey) {
        Pen([&](int, int) { return mask; }, value);
        PaperGrey(paperGrey);
    }
    Pencil CurrentPencil() const { return Pencil{*pen, pencilColour, eraser}; }
    Box Segment(int x0, int y0, int x1, int y1) {
        return DrawSegment(FastPixelOps(), *canvas, layers, CurrentPencil(), x0, y0, x1, y1);
    }
    Box Stamp(int x, int y) { return StampPen(FastPixelOps(), *canvas, CurrentPencil(), x, y); }
};

TEST_F(PencilTest, PenBufferHoldsMaskColourAndCoverage) {
    Pen([](int i, int j) { return 20 * i + j; }, 0x00336699);  // red 0x99, green 0x66, blue 0x33
    for (int j = 0; j < 10; ++j)
        for (int i = 0; i < 10; ++i) {
            const int mask = 20 * i + j, k = 255 - mask;
            ASSERT_EQ(Rgb(*pen, i, j), uint32_t(mask * 0x010101));
            ASSERT_EQ(Rgb(*pen, 20 + i, j), uint32_t(k * 0x010101));
            ASSERT_EQ(Channel(*pen, 10 + i, j, 2), 0x99 * k / 255);
            ASSERT_EQ(Channel(*pen, 10 + i, j, 1), 0x66 * k / 255);
            ASSERT_EQ(Channel(*pen, 10 + i, j, 0), 0x33 * k / 255);
        }
}

TEST_F(PencilTest, WorkedExampleOneStamp) {
    Setup(127, 0x00C8C8C8, 0);
    Segment(10, 10, 11, 10);  // one stamp with corner (10, 10)
    const PixelSurface& c = *canvas;
    for (int y = 10; y < 20; ++y)
        for (int x = 10; x < 20; ++x) ASSERT_EQ(Rgb(c, x, y), 227u * 0x010101) << x << "," << y;
    EXPECT_EQ(Rgb(c, 20, 10), 0xFFFFFFu);
    EXPECT_EQ(Rgb(c, 9, 10), 0xFFFFFFu);
    EXPECT_EQ(Rgb(c, 10, 20), 0xFFFFFFu);

    // On a grey picture: 100 - (128 x 100) / 255 + 100.
    FillGrey(*canvas, 100);
    Segment(50, 50, 51, 50);
    EXPECT_EQ(Rgb(c, 55, 55), 150u * 0x010101);
}

TEST_F(PencilTest, StampsOfOneSegmentAddUpBeforeThePaper) {
    Setup(127, 0x00C8C8C8, 0);
    Segment(10, 10, 12, 10);  // stamps at 10 and 11
    const PixelSurface& c = *canvas;
    EXPECT_EQ(Channel(c, 10, 12, 0), 227);
    for (int x = 11; x < 20; ++x) EXPECT_EQ(Channel(c, x, 12, 0), 200) << x;  // saturated
    EXPECT_EQ(Channel(c, 20, 12, 0), 227);
}

// Coverage stops at full while the colour sums go on: a long segment of a dark pen must
// still lay the pencil's colour, never a lighter one.
TEST_F(PencilTest, OverlappingStampsNeverLayALighterColour) {
    Setup(0, 0x00336699, 0);
    Segment(10, 10, 20, 10);  // ten stamps of a black mask
    const PixelSurface& c = *canvas;
    for (int x = 10; x < 29; ++x) ASSERT_EQ(Rgb(c, x, 14), 0x996633u) << x;
    EXPECT_EQ(Rgb(c, 29, 14), 0xFFFFFFu);
    // A grey mask saturating the coverage: still the colour, and a second pass keeps it.
    Setup(60, 0x00204080, 0);
    FillGrey(*canvas, 255);
    Segment(40, 40, 52, 40);
    EXPECT_EQ(Rgb(c, 48, 44), 0x804020u);
    Segment(40, 40, 52, 40);
    EXPECT_EQ(Rgb(c, 48, 44), 0x804020u);
    // Through the paper the mark is held back, but no channel passes the pencil's above
    // what the picture had.
    Setup(0, 0x00204080, 100);
    FillGrey(*canvas, 255);
    Segment(60, 60, 75, 60);
    for (int x = 64; x < 75; ++x) {
        ASSERT_LT(Channel(c, x, 64, 2), 255) << x;
        ASSERT_GE(Channel(c, x, 64, 2), 0x80) << x;
        ASSERT_GE(Channel(c, x, 64, 0), 0x20) << x;
    }
}

TEST_F(PencilTest, PaperHoldsThePencilBack) {
    // Paper 128: A' = 128 - 64, B' = 100 - 50, v = 255 - 64 + 50.
    Setup(127, 0x00C8C8C8, 128);
    Segment(10, 10, 11, 10);
    EXPECT_EQ(Rgb(*canvas, 14, 14), 241u * 0x010101);
}

TEST_F(PencilTest, BlackMaskOnOpenPaperLaysTheColourExactly) {
    Setup(0, 0x00336699, 0);
    FillGrey(*canvas, 77);
    Segment(30, 40, 31, 40);
    for (int y = 40; y < 50; ++y)
        for (int x = 30; x < 40; ++x) ASSERT_EQ(Rgb(*canvas, x, y), 0x996633u);
    EXPECT_EQ(Rgb(*canvas, 40, 40), 77u * 0x010101);
}

TEST_F(PencilTest, ClosedPaperLeavesTheCanvasUnchanged) {
    Setup(0, 0x00336699, 255);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x)
            { uint8_t* p = canvas->At(x, y); p[0] = uint8_t(x ^ y), p[1] = uint8_t(y), p[2] = uint8_t(x); }
    const uint64_t before = Fnv1a(*canvas);
    Segment(20, 20, 60, 35);
    Segment(60, 35, 10, 80);
    EXPECT_EQ(Fnv1a(*canvas), before);
}

// No int input makes the segment's arithmetic overflow or its stamping run on: a corner
// far beyond the canvas draws nothing (the program's own points never go there).
TEST_F(PencilTest, SegmentsOutOfReachDrawNothingWhateverTheirCorners) {
    Setup(0, 0x00336699, 0);
    const uint64_t before = Fnv1a(*canvas);
    const int far[][4] = {{0, 100, 2000000000, 105}, {INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX},
                          {INT32_MAX, 0, INT32_MIN, 0}, {0, INT32_MIN, 0, INT32_MAX}, {-kSegmentReach - 1, 50, 40, 60}};
    for (const auto& c : far) EXPECT_TRUE(Segment(c[0], c[1], c[2], c[3]).Empty());
    EXPECT_EQ(Fnv1a(*canvas), before);
    EXPECT_TRUE(SegmentBox(INT32_MIN, 0, INT32_MAX, 0).Empty());
    // Within reach it draws as ever.
    EXPECT_FALSE(Segment(-kSegmentReach, 50, 40, 60).Empty());
    EXPECT_NE(Fnv1a(*canvas), before);
}

TEST_F(PencilTest, EraserWhitensWhateverThePaper) {
    Setup(0, 0x00336699, 255);
    FillGrey(*canvas, 0);
    FillGrey(*coverage, 99);
    eraser = true;
    Segment(30, 40, 31, 40);
    for (int y = 40; y < 50; ++y)
        for (int x = 30; x < 40; ++x) ASSERT_EQ(Rgb(*canvas, x, y), 0xFFFFFFu);
    EXPECT_EQ(Rgb(*canvas, 40, 40), 0u);
    // The layers' box is still blackened, and nothing else is drawn into them.
    EXPECT_EQ(Rgb(*coverage, 30, 40), 0u);
    EXPECT_EQ(Rgb(*colour, 40, 49), 0u);
    EXPECT_EQ(Rgb(*coverage, 41, 40), 99u * 0x010101);

    // A single stamp erases too.
    FillGrey(*canvas, 0);
    Stamp(100, 100);
    EXPECT_EQ(Rgb(*canvas, 100, 100), 0xFFFFFFu);
    EXPECT_EQ(Rgb(*canvas, 110, 100), 0u);
}

// Layers laid over bands of a segment's box draw the very pixels canvas-sized layers do:
// segments long and short, across every edge, with a grained paper and the eraser, on
// a canvas narrower than a stamp too.
TEST(StrokeLayersTest, BandsDrawWhatWholeLayersDraw) {
    const PixelOps& ops = FastPixelOps();
    OwnedSurface pen, masks, tile;
    ASSERT_TRUE(pen.Allocate(kPenBufferWidth, kPenBufferHeight));
    ASSERT_TRUE(masks.Allocate(kStampSize, kStampSize));
    ASSERT_TRUE(tile.Allocate(37, 23));
    for (int j = 0; j < kStampSize; ++j)
        for (int i = 0; i < kStampSize; ++i) {
            uint8_t* p = masks->At(i, j);
            p[0] = uint8_t(23 * i + 9 * j), p[1] = uint8_t(200 - 11 * i), p[2] = uint8_t(17 * j);
        }
    for (int j = 0; j < tile->height; ++j)
        for (int i = 0; i < tile->width; ++i) {
            uint8_t* p = tile->At(i, j);
            p[0] = uint8_t(i * 7 ^ j * 3), p[1] = uint8_t(i * j), p[2] = uint8_t(255 - i - j);
        }
    BuildPenStamp(ops, *pen, *masks, 0, 0, {180, 40, 90});
    for (const auto& size : {std::pair{300, 200}, std::pair{7, 90}}) {
        const int w = size.first, h = size.second;
        OwnedSurface whole, banded;
        StrokeLayers wholeLayers, bandLayers;
        ASSERT_TRUE(whole.Allocate(w, h) && banded.Allocate(w, h));
        ASSERT_TRUE(wholeLayers.Reset(w, h));
        ASSERT_TRUE(bandLayers.Reset(w, h, 0, 257));  // a few rows a band
        ASSERT_FALSE(bandLayers.Whole());
        ASSERT_TRUE(wholeLayers.SetPaper(*tile) && bandLayers.SetPaper(*tile));
        FillGrey(*whole, 230);
        FillGrey(*banded, 230);
        uint32_t seed = 12345;
        auto next = [&](int range) {
            seed = seed * 1103515245u + 12345u;
            return int((seed >> 8) % uint32_t(range));
        };
        for (int i = 0; i < 400; ++i) {
            const bool eraser = i % 9 == 0;
            const int span = i % 5 == 0 ? 4 * (w + h) : 30;
            const int x0 = next(w + 40) - 20, y0 = next(h + 40) - 20;
            const int x1 = x0 + next(2 * span) - span, y1 = y0 + next(2 * span) - span;
            const Pencil pencil{*pen, {180, 40, 90}, eraser};
            const Box a = DrawSegment(ops, *whole, wholeLayers, pencil, x0, y0, x1, y1);
            const Box b = DrawSegment(ops, *banded, bandLayers, pencil, x0, y0, x1, y1);
            ASSERT_EQ(a, b) << i;
            ASSERT_EQ(Fnv1a(*whole), Fnv1a(*banded)) << "segment " << i << " on " << w << " x " << h;
        }
    }
}

// With a mask that is dark only at mask position (0, 5) and open paper, the coverage
// layer is 255 exactly at (corner x, corner y + 5) of every stamp.
class DdaTest : public PencilTest {
protected:
    void SetUp() override {
        PencilTest::SetUp();
        Pen([](int i, int j) { return i == 0 && j == 5 ? 0 : 255; }, 0);
    }
    std::vector<std::pair<int, int>> Stamps(int x0, int y0, int x1, int y1) {
        FillGrey(*coverage, 0);
        Segment(x0, y0, x1, y1);
        std::vector<std::pair<int, int>> found;
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x) {
                const int v = Channel(*coverage, x, y, 0);
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
    Pen([](int, int) { return 0; }, 0);
    const uint64_t before = Fnv1a(*canvas);
    Segment(30, 30, 30, 30);
    EXPECT_EQ(Fnv1a(*canvas), before);
}

// With colour black a stamp on a white canvas leaves exactly the mask, so the canvas
// shows which mask columns and rows landed where.
class ClipTest : public PencilTest {
protected:
    void SetUp() override {
        PencilTest::SetUp();
        Pen([](int i, int j) { return Mask(i, j); }, 0);
    }
    static int Mask(int i, int j) { return 20 * i + j; }
    // Canvas columns x0..x0+n-1 hold mask columns c..c+n-1 on rows y0.. from mask row r.
    void ExpectMask(int x0, int n, int c, int y0, int rows, int r) {
        for (int j = 0; j < rows; ++j)
            for (int i = 0; i < n; ++i)
                ASSERT_EQ(Channel(*canvas, x0 + i, y0 + j, 1), Mask(c + i, r + j))
                    << "canvas " << x0 + i << "," << y0 + j;
    }
    int NonWhite() {
        int n = 0;
        const PixelSurface& s = *canvas;
        for (int32_t i = 0; i < s.byteSize; ++i) n += s.bytes[i] != 255;
        return n / 3;
    }
};

TEST_F(ClipTest, LeftEdge) {
    Stamp(-5, 50);
    ExpectMask(0, 5, 5, 50, 10, 0);
    EXPECT_EQ(NonWhite(), 50);
}

TEST_F(ClipTest, RightEdge) {
    Stamp(W - 5, 50);
    ExpectMask(W - 5, 5, 0, 50, 10, 0);
    EXPECT_EQ(NonWhite(), 50);
}

TEST_F(ClipTest, FullyOutsideDrawsNothing) {
    Stamp(-10, 50);
    Stamp(-11, 50);
    Stamp(W, 50);
    Stamp(W + 3, 50);
    Stamp(50, -10);
    Stamp(50, H);
    EXPECT_EQ(NonWhite(), 0);
}

TEST_F(ClipTest, RowsPartlyOutside) {
    Stamp(20, -3);
    ExpectMask(20, 10, 0, 0, 7, 3);
    EXPECT_EQ(NonWhite(), 70);
    FillRectWhite(*canvas, 0, 0, W, H);
    Stamp(20, H - 4);
    ExpectMask(20, 10, 0, H - 4, 4, 0);
    EXPECT_EQ(NonWhite(), 40);
}

TEST_F(ClipTest, CornerOfTheCanvas) {
    Stamp(-5, -5);
    ExpectMask(0, 5, 5, 0, 5, 5);
    EXPECT_EQ(NonWhite(), 25);
}

TEST_F(ClipTest, LayerStampsClipTheSameWay) {
    // Segments of one stamp each; open paper leaves the coverage as stamped.
    FillGrey(*coverage, 0);
    Segment(-5, 50, -4, 50);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(Channel(*coverage, i, 52, 0), 255 - Mask(5 + i, 2));
    EXPECT_EQ(Channel(*coverage, 5, 52, 0), 0);
    Segment(W - 5, 60, W - 4, 60);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(Channel(*coverage, W - 5 + i, 60, 0), 255 - Mask(i, 0));
    EXPECT_EQ(Channel(*coverage, W - 6, 60, 0), 0);
}

}  // namespace
}  // namespace vellum
