// The screen refresh: zoom grid alignment, the status bar overlay and the tool panel,
// full view, the whole-view present of hand mode, and what reaches the window.
#include <gtest/gtest.h>

#include "DrawTestSupport.h"
#include "engine/Screen.h"

namespace vellum::drawtest {
namespace {

constexpr uint8_t kSentinel[3] = {1, 2, 3};  // blue, green, red; the canvas pattern never has it

class RefreshTest : public DrawViewTest {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(DrawViewTest::SetUp());
        view->stylusMode = 0;
        view->smoothing = 1;
        view->antiJump = 0;
        for (int y = 0; y < view->H; ++y)
            for (int x = 0; x < view->W; ++x)
                SetPixel(view->picture.BaseCanvas(), x, y, 200, uint8_t(x), uint8_t(y));
        // Bar and panel graphics that are neither white nor flat.
        PixelSurface& skin = *view->skinImage;
        for (int y = 500; y < 660; ++y)
            for (int x = 0; x < 240; ++x)
                SetPixel(skin, x, y, uint8_t(120 + (x * 3 + y) % 136), uint8_t(255 - x / 2),
                         uint8_t(90 + (y * 5) % 160));
    }
    void Zoom(int shift, int ox, int oy) {
        view->zoomShift = shift;
        view->zoomFactor = 1 << shift;
        view->viewOriginX = ox;
        view->viewOriginY = oy;
    }
    void FillScreenWithSentinel() {
        FillRectColour(*view->screenBuffer, 0, 0, view->W, view->H, kSentinel[2], kSentinel[1],
                       kSentinel[0]);
    }
    bool IsSentinel(int x, int y) {
        const uint8_t* p = view->screenBuffer->At(x, y);
        return p[0] == kSentinel[0] && p[1] == kSentinel[1] && p[2] == kSentinel[2];
    }
    // The canvas pixel that screen pixel (x, y) shows.
    uint32_t Shown(int x, int y) {
        return Rgb(view->picture.Canvas(), view->viewOriginX + (x >> view->zoomShift),
                   view->viewOriginY + (y >> view->zoomShift));
    }
    // The status bar over the picture: washed out, the swatch square white, multiplied by
    // the bar's graphics.
    uint32_t BarPixel(int x, int row) {
        const uint32_t c = Shown(x, view->BarY() + row);
        const bool swatch = x >= 125 && x < 135 && row >= 14 && row < 24;
        uint32_t out = 0;
        for (int ch = 0; ch < 3; ++ch) {
            const uint32_t v = swatch ? 255 : ((c >> (8 * ch)) & 0xFF) / 2 + 127;
            const uint32_t b = Channel(*view->skinImage, x, 500 + row, ch);
            out |= (v * b / 255) << (8 * ch);
        }
        return out;
    }
    uint32_t PanelPixel(int x, int row) { return Rgb(*view->skinImage, x, 530 + row); }
    // Checks the bar strip in both the screen buffer and the window.
    void ExpectBarComposed(const char* what) {
        ASSERT_TRUE(platform.window.Exists());
        for (int row = 0; row < 30; ++row)
            for (int x = 0; x < 240; ++x) {
                const int y = view->BarY() + row;
                ASSERT_EQ(Rgb(*view->screenBuffer, x, y), BarPixel(x, row))
                    << what << ": screen " << x << "," << y;
                ASSERT_EQ(Rgb(*platform.window, x, y), BarPixel(x, row))
                    << what << ": window " << x << "," << y;
            }
    }
    bool WindowIsScreen() {
        return std::memcmp(platform.window->bytes, view->screenBuffer->bytes,
                           size_t(view->screenBuffer->byteSize)) == 0;
    }
};

TEST_F(RefreshTest, ZoomedRectangleStartsOnTheZoomGrid) {
    Zoom(1, 0, 0);
    FillScreenWithSentinel();
    view->RefreshRect(13, 101, 4, 4);
    EXPECT_TRUE(IsSentinel(11, 101));
    EXPECT_EQ(Rgb(*view->screenBuffer, 12, 100), Shown(12, 100));
    EXPECT_EQ(Rgb(*view->screenBuffer, 12, 100), Rgb(view->picture.Canvas(), 6, 50));
    EXPECT_EQ(Rgb(*view->screenBuffer, 16, 104), Rgb(view->picture.Canvas(), 8, 52));
    EXPECT_TRUE(IsSentinel(17, 101));
    EXPECT_TRUE(IsSentinel(12, 99));
    EXPECT_TRUE(IsSentinel(12, 105));
    // The window gets the pixel whole too.
    EXPECT_EQ(platform.presents, (std::vector<Rect>{{12, 100, 5, 5}}));

    Zoom(2, 20, 30);
    FillScreenWithSentinel();
    view->RefreshRect(13, 102, 4, 4);
    EXPECT_TRUE(IsSentinel(11, 102));
    EXPECT_EQ(Rgb(*view->screenBuffer, 12, 100), Rgb(view->picture.Canvas(), 23, 55));
    EXPECT_EQ(Rgb(*view->screenBuffer, 16, 105), Rgb(view->picture.Canvas(), 24, 56));
    EXPECT_TRUE(IsSentinel(17, 102));
}

TEST_F(RefreshTest, RectangleFromNegativeCoordinates) {
    Zoom(1, 10, 20);
    FillScreenWithSentinel();
    view->RefreshRect(-7, 99, 20, 3);  // a stroke at the left edge asks for this
    for (int x = 0; x <= 12; ++x) ASSERT_EQ(Rgb(*view->screenBuffer, x, 100), Shown(x, 100)) << x;
    EXPECT_EQ(Rgb(*view->screenBuffer, 0, 98), Rgb(view->picture.Canvas(), 10, 69));
    EXPECT_TRUE(IsSentinel(13, 100));
    EXPECT_TRUE(IsSentinel(0, 102));
    // Only the part inside the window is presented.
    EXPECT_EQ(platform.presents, (std::vector<Rect>{{0, 98, 13, 4}}));
}

TEST_F(RefreshTest, FullRefreshWithThePanelAtTheTop) {
    view->panelShown = 1;
    view->RefreshRect(0, 0, -1, -1);
    EXPECT_EQ(platform.presents, (std::vector<Rect>{{0, 0, 240, 320}}));
    ExpectBarComposed("top bar");
    for (int y = 30; y < 160; ++y)
        for (int x = 0; x < 240; ++x) ASSERT_EQ(Rgb(*view->screenBuffer, x, y), PanelPixel(x, y - 30));
    for (int y = 160; y < 320; ++y)
        for (int x = 0; x < 240; ++x) ASSERT_EQ(Rgb(*view->screenBuffer, x, y), Shown(x, y));
    EXPECT_TRUE(WindowIsScreen());
}

TEST_F(RefreshTest, FullRefreshWithThePanelAtTheBottom) {
    view->panelShown = 1;
    view->panelAtBottom = 1;
    view->RefreshRect(0, 0, -1, -1);
    ExpectBarComposed("bottom bar");
    // The swatch square shows the bar's swatch in its true colour.
    EXPECT_EQ(Rgb(*view->screenBuffer, 125, 304), Rgb(*view->skinImage, 125, 514));
    EXPECT_EQ(Rgb(*view->screenBuffer, 134, 313), Rgb(*view->skinImage, 134, 523));
    for (int y = 160; y < 290; ++y)
        for (int x = 0; x < 240; ++x) ASSERT_EQ(Rgb(*view->screenBuffer, x, y), PanelPixel(x, y - 160));
    for (int y = 0; y < 160; ++y)
        for (int x = 0; x < 240; ++x) ASSERT_EQ(Rgb(*view->screenBuffer, x, y), Shown(x, y));
    EXPECT_TRUE(WindowIsScreen());
}

TEST_F(RefreshTest, ZoomedBottomBarOverPanelRows) {
    // Row 290 is not on the zoom-4 grid: rebuilding the canvas under the bar from row 288
    // must not leave canvas pixels over the panel's last rows.
    view->panelShown = 1;
    view->panelAtBottom = 1;
    Zoom(2, 30, 40);
    view->RefreshRect(0, 0, -1, -1);
    view->RefreshRect(50, 300, 20, 10);
    ExpectBarComposed("zoomed bottom bar");
    for (int x = 0; x < 240; ++x) {
        ASSERT_EQ(Rgb(*view->screenBuffer, x, 288), PanelPixel(x, 128));
        ASSERT_EQ(Rgb(*view->screenBuffer, x, 289), PanelPixel(x, 129));
    }
}

// Counts the canvas compositions of a refresh and forwards every call.
int gCanvasReads = 0;
const PixelSurface* gCanvas = nullptr;
void CountingCopy(PixelSurface& d, int x, int y, int w, int h, const PixelSurface& s, int sx,
                  int sy, uint32_t rop) {
    if (&s == gCanvas) ++gCanvasReads;
    FastPixelOps().copyRectRop(d, x, y, w, h, s, sx, sy, rop);
}
void CountingZoom(PixelSurface& d, int x, int y, int w, int h, const PixelSurface& s, int sx,
                  int sy, int shift) {
    if (&s == gCanvas) ++gCanvasReads;
    FastPixelOps().zoomCopyRect(d, x, y, w, h, s, sx, sy, shift);
}

TEST_F(RefreshTest, RectangleInsideTheOpenPanelOnlyRelaysThePanel) {
    PixelOps counting = FastPixelOps();
    counting.copyRectRop = CountingCopy;
    counting.zoomCopyRect = CountingZoom;
    gCanvas = &view->picture.Canvas();
    gCanvasReads = 0;
    view->panelShown = 1;
    const ScreenSurfaces surfaces{*view->screenBuffer, view->picture.Canvas(), *view->skinImage};
    ComposeScreenRect(counting, surfaces, view->Geometry(), 40, 30, 200, 130);
    const int covered = gCanvasReads;
    // One column past the strips: not covered.
    ComposeScreenRect(counting, surfaces, view->Geometry(), 40, 30, 201, 130);
    const int uncovered = gCanvasReads - covered;
    EXPECT_EQ(covered, 0);
    EXPECT_EQ(uncovered, 1);
    for (int x = 40; x < 240; ++x) ASSERT_EQ(Rgb(*view->screenBuffer, x, 30), PanelPixel(x, 0));
}

TEST_F(RefreshTest, FullViewShowsTheCanvasOneToOne) {
    view->panelShown = 1;
    Zoom(1, 10, 20);
    view->fullView = 1;
    view->RefreshRect(0, 0, -1, -1);
    EXPECT_EQ(std::memcmp(view->screenBuffer->bytes, view->picture.Canvas().bytes,
                          size_t(view->picture.Canvas().byteSize)),
              0);
    EXPECT_TRUE(WindowIsScreen());
}

TEST_F(RefreshTest, WholeViewPresentLeavesTheStripsOutUntilTheNextRefresh) {
    view->panelShown = 1;
    Zoom(1, 10, 10);
    view->RefreshRect(0, 0, -1, -1);
    ExpectBarComposed("before the drag");
    platform.presents.clear();
    view->PresentWholeView();
    EXPECT_EQ(platform.presents, (std::vector<Rect>{{0, 0, 240, 320}}));
    for (int y = 0; y < 320; ++y)
        for (int x = 0; x < 240; ++x) ASSERT_EQ(Rgb(*platform.window, x, y), Shown(x, y)) << x << "," << y;
    view->RefreshRect(0, 0, -1, -1);
    ExpectBarComposed("after the drag");
    EXPECT_EQ(Rgb(*platform.window, 7, 30), PanelPixel(7, 0));
}

// A stroke that runs along the top of the picture refreshes the bar again and again; the
// bar must stay the picture under it, washed out once and multiplied once.
class BarStrokeTest : public RefreshTest,
                      public ::testing::WithParamInterface<std::tuple<int, int, int>> {};

TEST_P(BarStrokeTest, BarStaysTheWashedOutCanvasTimesTheBar) {
    const auto [shift, ox, oy] = GetParam();
    Zoom(shift, ox, oy);
    view->SetColour(0x00205080, false);
    SetPaperGrey(*view, 40);
    view->RefreshRect(0, 0, -1, -1);
    view->OnPenDown(5, 60);
    MovePen(platform, *view, 5, 35);
    for (int x = 5; x <= 235; x += 3) MovePen(platform, *view, x, 12 + (x / 3) % 7);
    for (int x = 235; x >= 5; x -= 4) MovePen(platform, *view, x, 40 - (x / 5) % 9);
    view->OnPenUp(5, 40);
    ExpectBarComposed("after the stroke");
    // The same small refresh over the bar again and again changes nothing.
    for (int i = 0; i < 5; ++i) view->RefreshRect(50, 5, 10, 10);
    ExpectBarComposed("after repeated refreshes");
    // And a full refresh agrees with what the strokes left.
    std::vector<uint8_t> before(view->screenBuffer->bytes,
                                view->screenBuffer->bytes + view->screenBuffer->byteSize);
    view->RefreshRect(0, 0, -1, -1);
    EXPECT_EQ(std::memcmp(before.data(), view->screenBuffer->bytes, before.size()), 0);
    EXPECT_TRUE(WindowIsScreen());
}

INSTANTIATE_TEST_SUITE_P(Zooms, BarStrokeTest,
                         ::testing::Values(std::make_tuple(0, 0, 0), std::make_tuple(1, 17, 23),
                                           std::make_tuple(2, 30, 5)));

// Strokes at odd screen points of a zoomed view, through the bar and back: what the
// window shows is what a full refresh composes, so no half canvas pixel is left stale at
// a rectangle's edge and no bar row is left without its overlay.
TEST_F(RefreshTest, ZoomedStrokesLeaveTheWindowAsAFullRefreshWould) {
    view->SetColour(0x00102030, false);
    SetPenMask(*view, [](int i, int j) { return i < 2 ? 0 : 40 * j; });  // marks its left edge
    SetPaperGrey(*view, 0);
    for (int shift = 1; shift <= 3; ++shift) {
        Zoom(shift, 13, 17);
        view->RefreshRect(0, 0, -1, -1);
        view->OnPenDown(33, 71);
        for (int i = 0; i < 40; ++i) MovePen(platform, *view, 33 + 5 * i, 71 - 2 * i + (i % 3));
        view->OnPenUp(233, 0);
        view->OnPenDown(31, 45);
        view->OnPenUp(31, 45);
        std::vector<uint8_t> window(platform.window->bytes,
                                    platform.window->bytes + platform.window->byteSize);
        view->RefreshRect(0, 0, -1, -1);
        ASSERT_EQ(std::memcmp(window.data(), view->screenBuffer->bytes, window.size()), 0)
            << "zoom " << (1 << shift);
    }
}

TEST_F(RefreshTest, OriginIsClampedToTheCanvas) {
    Zoom(2, 500, -3);
    view->ClampOrigin();
    EXPECT_EQ(view->viewOriginX, 180);
    EXPECT_EQ(view->viewOriginY, 0);
    Zoom(3, 211, 281);
    view->ClampOrigin();
    EXPECT_EQ(view->viewOriginX, 210);
    EXPECT_EQ(view->viewOriginY, 280);
    Zoom(0, 5, 5);
    view->ClampOrigin();
    EXPECT_EQ(view->viewOriginX, 0);
    EXPECT_EQ(view->viewOriginY, 0);
}

}  // namespace
}  // namespace vellum::drawtest
