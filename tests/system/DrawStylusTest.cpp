// Stylus input: smoothing, buffered points, anti-jump, taps, hand mode, full view.
#include <gtest/gtest.h>

#include "DrawTestSupport.h"

namespace vellum::drawtest {
namespace {

class StylusTest : public DrawViewTest {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(DrawViewTest::SetUp());
        view->stylusMode = 0;
        view->antiJump = 0;
        view->smoothing = 1;
    }
    // A pen that blackens its whole 10 x 10 square, on open paper.
    void SolidPen() {
        view->SetColour(0, false);
        SetPenMask(*view, [](int, int) { return 0; });
        SetPaperGrey(*view, 0);
    }
    // Presses at (first, y), moves through xs, and returns the drawn x of every move.
    std::vector<int> DrawnX(int smoothing, std::vector<int> xs, int y = 200) {
        view->smoothing = smoothing;
        view->OnPenDown(xs[0], y);
        std::vector<int> drawn;
        for (int x : xs) {
            MovePen(platform, *view, x, y);
            drawn.push_back(view->lastCanvasPt.x);
        }
        view->OnPenUp(xs.back(), y);
        return drawn;
    }
    bool Black(int x, int y) { return Rgb(view->picture.Canvas(), x, y) == 0; }
    bool White(int x, int y) { return Rgb(view->picture.Canvas(), x, y) == 0xFFFFFF; }
};

using V = std::vector<int>;

TEST_F(StylusTest, MovingAverages) {
    EXPECT_EQ(DrawnX(2, {10, 20, 30}), (V{10, 15, 25}));
    EXPECT_EQ(DrawnX(3, {10, 20, 30, 40}), (V{10, 13, 20, 30}));
    EXPECT_EQ(DrawnX(4, {10, 20, 30, 40, 50}), (V{10, 12, 17, 25, 35}));
    EXPECT_EQ(DrawnX(1, {10, 20, 30}), (V{10, 20, 30}));
    EXPECT_EQ(DrawnX(7, {10, 20, 30}), (V{10, 20, 30}));  // unknown lengths: no smoothing
    // The next stroke starts afresh, not pulled towards the last one.
    EXPECT_EQ(DrawnX(4, {100, 104}), (V{100, 101}));
}

TEST_F(StylusTest, BufferedPointsAreSmoothedInQuarterPixels) {
    view->stylusMode = 1;
    view->smoothing = 2;
    view->OnPenDown(10, 200);
    platform.bufferedPoints = {{40, 800}, {44, 800}};
    MovePen(platform, *view, 99, 250);  // the event's own point is not used
    EXPECT_EQ(view->movePointCount, 2);
    // Both points drawn at x 10: (40 + 40) / 2 / 4 and (40 + 44) / 2 / 4.
    EXPECT_EQ(platform.presents, (std::vector<Rect>{{5, 195, 11, 11}, {5, 195, 11, 11}}));
    view->OnPenUp(10, 200);

    view->smoothing = 1;
    view->OnPenDown(10, 200);
    platform.bufferedPoints = {{43, 803}};
    MovePen(platform, *view, 50, 250);
    EXPECT_EQ(view->lastCanvasPt.x, 10);
    EXPECT_EQ(view->lastCanvasPt.y, 200);
}

TEST_F(StylusTest, BufferedPointsOnlyAtZoomOneAndTwo) {
    view->stylusMode = 1;
    view->zoomFactor = 2;
    view->zoomShift = 1;
    view->OnPenDown(60, 200);
    platform.bufferedPoints = {{4 * 80, 4 * 202}};
    MovePen(platform, *view, 10, 10);
    EXPECT_EQ(view->lastCanvasPt.x, 40);
    EXPECT_EQ(view->lastCanvasPt.y, 101);
    view->OnPenUp(80, 202);

    for (int shift : {2, 3}) {
        view->zoomShift = shift;
        view->zoomFactor = 1 << shift;
        view->OnPenDown(80, 200);
        platform.bufferedPoints = {{4, 4}};
        MovePen(platform, *view, 96, 208);
        EXPECT_EQ(view->lastCanvasPt.x, 96 >> shift);
        EXPECT_EQ(view->lastCanvasPt.y, 208 >> shift);
        view->OnPenUp(96, 208);
    }
}

TEST_F(StylusTest, FailedQueryDrawsNothing) {
    SolidPen();
    view->stylusMode = 1;
    view->OnPenDown(50, 200);
    const uint64_t before = Fnv1a(view->picture.Canvas());
    platform.failNextQuery = true;
    platform.bufferedPoints = {{400, 800}};
    MovePen(platform, *view, 100, 200);
    EXPECT_EQ(view->movePointCount, 0);
    EXPECT_TRUE(platform.presents.empty());
    EXPECT_EQ(Fnv1a(view->picture.Canvas()), before);
    // The stroke goes on with the next event.
    platform.bufferedPoints = {{4 * 60, 800}};
    MovePen(platform, *view, 100, 200);
    EXPECT_EQ(view->movePointCount, 1);
    EXPECT_TRUE(Black(45, 195));
}

TEST_F(StylusTest, AntiJumpDropsPointsBeyondTwentyCanvasPixels) {
    view->antiJump = 1;
    view->OnPenDown(100, 200);
    MovePen(platform, *view, 121, 200);
    EXPECT_EQ(view->lastCanvasPt.x, 100);
    EXPECT_TRUE(platform.presents.empty());
    EXPECT_EQ(view->movePointCount, 1);  // dropped points still count
    MovePen(platform, *view, 100, 221);
    EXPECT_EQ(view->lastCanvasPt.y, 200);
    MovePen(platform, *view, 120, 180);  // exactly 20 on both axes
    EXPECT_EQ(view->lastCanvasPt.x, 120);
    EXPECT_EQ(view->lastCanvasPt.y, 180);
    // Measured against the last accepted point, not the last dropped one.
    MovePen(platform, *view, 141, 180);
    MovePen(platform, *view, 145, 180);
    EXPECT_EQ(view->lastCanvasPt.x, 120);
    view->OnPenUp(120, 180);

    // At zoom 2 the limit is 42 screen pixels.
    view->zoomFactor = 2;
    view->zoomShift = 1;
    view->OnPenDown(100, 200);
    MovePen(platform, *view, 142, 200);
    EXPECT_EQ(view->lastCanvasPt.x, 50);
    MovePen(platform, *view, 140, 200);
    EXPECT_EQ(view->lastCanvasPt.x, 70);
    EXPECT_EQ(view->lastScreenPt.x, 140);
}

TEST_F(StylusTest, TapStampsOnceAtTheReleasePoint) {
    SolidPen();
    view->OnPenDown(50, 200);
    EXPECT_EQ(view->modified, 1);
    EXPECT_TRUE(platform.presents.empty());  // nothing drawn at the press
    view->OnPenUp(60, 210);
    EXPECT_TRUE(Black(55, 205));
    EXPECT_TRUE(Black(64, 214));
    EXPECT_TRUE(White(54, 205));
    EXPECT_TRUE(White(65, 214));
    EXPECT_TRUE(White(54, 204));
    // The stamp, then the status bar, which now offers undo.
    EXPECT_EQ(platform.presents, (std::vector<Rect>{{55, 205, 11, 11}, {0, 0, 240, 30}}));
    EXPECT_EQ(view->penDown, 0);
}

TEST_F(StylusTest, ZoomedTapRefreshesItsScreenSquare) {
    SolidPen();
    view->zoomFactor = 2;
    view->zoomShift = 1;
    view->viewOriginX = 10;
    view->viewOriginY = 20;
    view->OnPenDown(40, 100);
    view->OnPenUp(40, 100);  // canvas point (30, 70), corner (25, 65)
    EXPECT_TRUE(Black(25, 65));
    EXPECT_TRUE(Black(34, 74));
    EXPECT_TRUE(White(35, 74));
    EXPECT_EQ(platform.presents, (std::vector<Rect>{{30, 90, 22, 22}, {0, 0, 240, 30}}));
    // The window shows the stamp magnified.
    EXPECT_EQ(Rgb(*platform.window, 30, 90), 0u);
    EXPECT_EQ(Rgb(*platform.window, 49, 109), 0u);
}

TEST_F(StylusTest, ShortStrokesGetAReleaseStampLongOnesDoNot) {
    SolidPen();
    // One or two points: the last corner (the release point - 5) is stamped at release.
    view->OnPenDown(50, 200);
    MovePen(platform, *view, 52, 200);
    MovePen(platform, *view, 54, 200);
    view->OnPenUp(54, 200);
    EXPECT_TRUE(Black(58, 200));
    EXPECT_TRUE(White(59, 200));

    view->OnPenDown(50, 250);
    MovePen(platform, *view, 53, 250);
    view->OnPenUp(53, 250);
    EXPECT_TRUE(Black(57, 250));

    // Three points: the final point itself is never stamped.
    view->OnPenDown(50, 300);
    MovePen(platform, *view, 52, 300);
    MovePen(platform, *view, 54, 300);
    MovePen(platform, *view, 56, 300);
    view->OnPenUp(56, 300);
    EXPECT_TRUE(Black(59, 300));
    EXPECT_TRUE(White(60, 300));
}

TEST_F(StylusTest, ModifiedByPressesThatMayDraw) {
    view->handMode = 1;
    view->zoomFactor = 2;
    view->zoomShift = 1;
    view->OnPenDown(101, 51);
    EXPECT_EQ(view->modified, 0);
    EXPECT_EQ(view->penDown, 1);
    EXPECT_EQ(view->lastCanvasPt.x, 50);
    EXPECT_EQ(view->lastCanvasPt.y, 25);
    view->OnPenUp(101, 51);

    view->handMode = 0;
    view->holdMode = 1;
    view->OnPenDown(100, 200);
    EXPECT_EQ(view->modified, 1);
}

TEST_F(StylusTest, ReleaseDuringFullViewOnlyEndsIt) {
    SolidPen();
    view->fullView = 1;
    const uint64_t before = Fnv1a(view->picture.Canvas());
    view->OnPenDown(50, 200);
    EXPECT_EQ(view->penDown, 0);
    MovePen(platform, *view, 80, 200);
    view->OnPenUp(80, 200);
    EXPECT_EQ(view->fullView, 0);
    EXPECT_EQ(view->modified, 0);
    EXPECT_EQ(Fnv1a(view->picture.Canvas()), before);
    EXPECT_EQ(platform.presents, (std::vector<Rect>{{0, 0, 240, 320}}));
}

TEST_F(StylusTest, HandModeScrollsTheZoomedView) {
    for (int y = 0; y < view->H; ++y)
        for (int x = 0; x < view->W; ++x)
            SetPixel(view->picture.BaseCanvas(), x, y, uint8_t(x), uint8_t(y), uint8_t(x + y));
    const uint64_t before = Fnv1a(view->picture.Canvas());
    view->handMode = 1;
    view->zoomFactor = 2;
    view->zoomShift = 1;
    view->OnPenDown(100, 100);
    MovePen(platform, *view, 80, 100);  // dragged 10 canvas pixels left
    EXPECT_EQ(view->viewOriginX, 10);
    EXPECT_EQ(view->viewOriginY, 0);
    EXPECT_EQ(platform.presents.back(), (Rect{0, 0, 240, 320}));
    EXPECT_EQ(Rgb(*platform.window, 0, 0), Rgb(view->picture.Canvas(), 10, 0));
    EXPECT_EQ(Rgb(*platform.window, 239, 319), Rgb(view->picture.Canvas(), 10 + 119, 159));
    MovePen(platform, *view, 80, 40);  // 30 up
    EXPECT_EQ(view->viewOriginY, 30);
    MovePen(platform, *view, 0, 0);  // far: clamped to W - W / 2 and H - H / 2
    MovePen(platform, *view, 0, 0);
    view->viewOriginX = 100;
    MovePen(platform, *view, 400, 0);
    EXPECT_EQ(view->viewOriginX, 0);
    view->viewOriginX = 100;
    MovePen(platform, *view, 0, 0);
    EXPECT_EQ(view->viewOriginX, 120);
    EXPECT_EQ(view->movePointCount, 0);  // drags are not stroke points
    platform.presents.clear();
    view->OnPenUp(20, 0);  // the release moves the view once more, then refreshes it all
    EXPECT_EQ(view->viewOriginX, 110);
    EXPECT_EQ(platform.presents, (std::vector<Rect>{{0, 0, 240, 320}}));
    EXPECT_EQ(view->modified, 0);
    EXPECT_EQ(Fnv1a(view->picture.Canvas()), before);
}

TEST_F(StylusTest, HandModeAtZoomOneDoesNothing) {
    view->handMode = 1;
    view->OnPenDown(100, 100);
    MovePen(platform, *view, 50, 60);
    EXPECT_TRUE(platform.presents.empty());
    view->OnPenUp(50, 60);
    EXPECT_EQ(view->viewOriginX, 0);
    EXPECT_EQ(view->viewOriginY, 0);
    EXPECT_EQ(platform.presents, (std::vector<Rect>{{0, 0, 240, 320}}));
}

// Where stylus events go: the canvas, the palette, the status bar and the tool panel.
class StylusRoutingTest : public StylusTest {
protected:
    void SetUp() override {
        StylusTest::SetUp();
        for (int py = 0; py < 60; ++py)
            for (int px = 0; px < 180; ++px) SetPixel(*view->skinImage, px, 190 + py, uint8_t(px), uint8_t(py), 77);
        view->panelShown = 1;
        view->panelPage = PageColour;
    }
    static uint32_t Palette(int px, int py) { return uint32_t(px) | uint32_t(py) << 8 | 77u << 16; }
};

TEST_F(StylusRoutingTest, PressAndDragOnThePalettePickColours) {
    view->OnPenDown(100, 80);  // panel point (100, 50): palette (50, 20)
    EXPECT_EQ(view->penDown, 0);
    EXPECT_EQ(view->currentColour, Palette(50, 20));
    MovePen(platform, *view, 120, 90);
    EXPECT_EQ(view->currentColour, Palette(70, 30));
    view->OnPenUp(120, 90);
    EXPECT_EQ(view->modified, 0);

    view->panelAtBottom = 1;
    view->OnPenDown(100, 220);  // panel point (100, 60)
    EXPECT_EQ(view->currentColour, Palette(50, 30));
}

TEST_F(StylusRoutingTest, ReleasesOnTheStripsAtTheirBorders) {
    // Top panel: row 160 is neither canvas nor panel; row 159 is panel row 129.
    view->OnPenUp(60, 160);
    EXPECT_EQ(view->fullView, 0);
    view->OnPenUp(60, 159);
    EXPECT_EQ(view->fullView, 1);
    view->OnPenUp(60, 159);  // this release only ends the full view
    EXPECT_EQ(view->fullView, 0);

    // Bottom panel: H - 30 is still the panel (row 130), H - 29 the status bar.
    view->panelAtBottom = 1;
    view->OnPenUp(60, 160);
    EXPECT_EQ(view->fullView, 0);
    view->OnPenUp(60, 290);
    EXPECT_EQ(view->fullView, 1);
    view->OnPenUp(0, 0);
    view->OnPenUp(150, 291);  // next paper
    EXPECT_EQ(view->paperIndex, 1);
    EXPECT_EQ(view->panelShown, 1);

    // Panel hidden at the top: row 29 is the bar, row 30 nothing, column 240 nothing.
    view->panelAtBottom = 0;
    view->panelShown = 0;
    view->OnPenUp(150, 29);
    EXPECT_EQ(view->paperIndex, 2);
    view->OnPenUp(150, 30);
    view->OnPenUp(240, 10);
    EXPECT_EQ(view->paperIndex, 2);
    EXPECT_EQ(view->modified, 0);
}

TEST_F(StylusRoutingTest, StrokeEndingOverTheBarDrawsAndTriggersNothing) {
    SolidPen();
    view->panelShown = 0;
    view->OnPenDown(150, 200);
    view->OnPenUp(150, 10);
    EXPECT_EQ(view->paperIndex, 0);
    EXPECT_TRUE(Black(145, 5));  // the release stamp of a tap
    EXPECT_TRUE(Black(154, 14));
    EXPECT_EQ(view->modified, 1);
}

TEST_F(StylusRoutingTest, HeldKeysActAtTheRelease) {
    view->panelShown = 0;
    SetPixel(view->picture.BaseCanvas(), 100, 200, 10, 20, 30);
    view->holdMode = 1;
    view->OnPenDown(100, 200);
    view->OnPenUp(100, 200);
    EXPECT_EQ(view->currentColour, 0x001E140Au);
    EXPECT_EQ(Rgb(view->picture.Canvas(), 96, 196), 0xFFFFFFu);  // no stamp

    view->holdMode = 2;
    view->OnPenDown(100, 200);
    view->OnPenUp(100, 200);
    EXPECT_EQ(view->zoomFactor, 2);
}

// A recorded stroke replayed on a fresh view gives the same bytes, and the bytes this
// program has always given.
uint64_t ReplayStroke() {
    TestPlatform platform;
    std::unique_ptr<CVellumView> view;
    fake::CreateView(platform, view);
    view->stylusMode = 1;
    view->smoothing = 3;
    view->antiJump = 1;
    view->SetColour(0x00407090, false);
    SetPenMask(*view, [](int i, int j) {
        const int di = 2 * i - 9, dj = 2 * j - 9;
        return std::min(255, (di * di + dj * dj) * 3);
    });
    SetPaperTile(*view, [](int x, int y) {
        const uint8_t p = uint8_t(((x * 7) ^ (y * 13)) & 0x7F);
        return std::array<uint8_t, 3>{p, uint8_t(p / 2), uint8_t(255 - p)};
    });
    view->OnPenDown(30, 200);
    for (int i = 0; i < 200; ++i) {
        const int qx = 4 * 30 + i * 13 + (i % 7) * 5;
        const int qy = 4 * 200 + ((i * 37) % 160) - 80 + (i % 3);
        platform.bufferedPoints = {{qx, qy}, {qx + 2, qy + 3}};
        MovePen(platform, *view, 0, 0);
    }
    view->OnPenUp(100, 200);
    view->OnPenDown(120, 250);
    view->OnPenUp(120, 250);
    return Fnv1a(view->picture.Canvas());
}

TEST(StrokeReplay, SameBytesEveryRun) {
    const uint64_t first = ReplayStroke();
    EXPECT_EQ(ReplayStroke(), first);
    EXPECT_EQ(first, 0xf7221d65848c407full) << std::hex << first;
}

}  // namespace
}  // namespace vellum::drawtest
