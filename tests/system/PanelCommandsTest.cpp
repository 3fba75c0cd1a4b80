// Routing between canvas and strips, the hot areas, the commands behind them, zoom,
// the eyedropper, the About box and quitting.
#include <algorithm>
#include <cstdio>

#include "PanelTestSupport.h"
#include "resources/StringIds.h"

namespace vellum::paneltest {
namespace {

using Rects = std::vector<Rect>;

uint32_t ColourOf(Rgb c) { return uint32_t(c[0]) | uint32_t(c[1]) << 8 | uint32_t(c[2]) << 16; }

class PanelRoutingTest : public PanelViewTest {
protected:
    // Nothing at all happened since the last Forget.
    void ExpectNothing(const char* what) {
        EXPECT_TRUE(platform.presents.empty()) << what;
        EXPECT_TRUE(platform.messages.empty()) << what;
        EXPECT_TRUE(platform.dialogs.empty()) << what;
        EXPECT_EQ(ChoosersShown(), 0) << what;
    }
};

TEST_F(PanelRoutingTest, CanvasBordersOfTheStrips) {
    CVellumView& v = *view;
    // At the top, hidden: rows 0..30 are not canvas.
    EXPECT_FALSE(v.IsOnCanvas(0, 30));
    EXPECT_TRUE(v.IsOnCanvas(0, 31));
    EXPECT_FALSE(v.IsOnCanvas(240, 0));
    EXPECT_TRUE(v.IsOnCanvas(241, 0)) << "right of the strips is canvas at every height";
    v.panelShown = 1;
    EXPECT_FALSE(v.IsOnCanvas(100, 160));
    EXPECT_TRUE(v.IsOnCanvas(100, 161));
    EXPECT_TRUE(v.IsOnCanvas(241, 100));
    v.panelAtBottom = 1;
    EXPECT_TRUE(v.IsOnCanvas(100, 0));
    EXPECT_TRUE(v.IsOnCanvas(100, 159));
    EXPECT_FALSE(v.IsOnCanvas(100, 160)) << "y = H - 160";
    EXPECT_FALSE(v.IsOnCanvas(239, 319));
    v.panelShown = 0;
    EXPECT_TRUE(v.IsOnCanvas(100, 289));
    EXPECT_FALSE(v.IsOnCanvas(100, 290)) << "y = H - 30";
    EXPECT_TRUE(v.IsOnCanvas(300, 319));
}

TEST_F(PanelRoutingTest, TapsOnTheDeadRowsDoNothing) {
    // y = 30 with the panel hidden at the top: neither canvas nor bar.
    Tap(50, 30);
    ExpectNothing("hidden top, y = 30");
    EXPECT_EQ(view->panelShown, 0);
    EXPECT_EQ(view->modified, 0) << "no stroke either";
    Tap(50, 29);
    EXPECT_EQ(view->panelShown, 1) << "y = 29 is the bar's show/hide area";
    Forget();
    // y = 160 with the panel shown at the top: x 20 would be the quit button at y 159.
    Tap(20, 160);
    ExpectNothing("shown top, y = 160");
    view->panelAtBottom = 1;
    Tap(20, 160);
    ExpectNothing("shown bottom, y = H - 160");
    EXPECT_EQ(view->modified, 0);
}

TEST_F(PanelRoutingTest, BottomPanelReleaseOnTheFirstBarRowReachesQuit) {
    view->panelShown = 1;
    view->panelAtBottom = 1;
    platform.answers = {MsgAnswer::No};
    Tap(10, 320 - 30);
    EXPECT_EQ(platform.messages, (std::vector<int>{IDS_QUIT}));
    EXPECT_EQ(platform.closePosts, 0);
}

TEST_F(PanelRoutingTest, StrokeEndingOverThePanelIsNoTap) {
    view->panelShown = 1;
    view->OnPenDown(120, 200);
    MovePen(platform, *view, 60, 180);
    view->OnPenUp(10, 150);  // panel y 120: the quit button
    EXPECT_TRUE(platform.messages.empty());
    EXPECT_EQ(view->panelPage, 0);
}

TEST_F(PanelRoutingTest, StatusBarHotAreas) {
    CVellumView& v = *view;
    v.HitStatusBar(0);
    EXPECT_EQ(v.panelShown, 1);
    EXPECT_EQ(platform.presents, (Rects{{0, 30, 240, 130}}));
    v.HitStatusBar(99);
    EXPECT_EQ(v.panelShown, 0);
    Forget();
    v.HitStatusBar(100);
    EXPECT_EQ(v.eraser, 1);
    EXPECT_EQ(platform.presents, (Rects{{0, 0, 240, 30}}));
    v.HitStatusBar(119);
    EXPECT_EQ(v.eraser, 0);
    v.HitStatusBar(180);
    EXPECT_EQ(v.handMode, 1);
    EXPECT_EQ(Bar(190, 19), Mul(Px(Skin(), 110, 19), Px(Skin(), 235, 165))) << "hand mark";
    v.HitStatusBar(199);
    EXPECT_EQ(v.handMode, 0);
    for (int p : {1, 2, 3, 0}) {
        v.HitStatusBar(140);
        EXPECT_EQ(v.paperIndex, p);
    }
    v.panelAtBottom = 1;
    Forget();
    v.HitStatusBar(120);
    EXPECT_EQ(v.panelShown, 1);
    EXPECT_EQ(v.panelPage, PageColour);
    EXPECT_EQ(platform.presents, (Rects{{0, 160, 240, 130}}));
    v.HitStatusBar(139);
    EXPECT_EQ(v.panelShown, 1) << "opening the colour page never hides the panel";
    Forget();
    for (int x : {200, 210, 220, 240, 300}) v.HitStatusBar(x);
    ExpectNothing("emblem and beyond the bar");
}

TEST_F(PanelRoutingTest, MovingTheStripsRefreshesBothEnds) {
    view->HitStatusBar(221);
    EXPECT_EQ(view->panelAtBottom, 1);
    EXPECT_EQ(platform.presents, (Rects{{0, 0, 240, 30}, {0, 290, 240, 30}}));
    Forget();
    view->panelShown = 1;
    view->HitStatusBar(239);
    EXPECT_EQ(view->panelAtBottom, 0);
    EXPECT_EQ(platform.presents, (Rects{{0, 0, 240, 160}, {0, 160, 240, 160}}));
}

TEST_F(PanelRoutingTest, ToolPanelTabColumnInOrder) {
    CVellumView& v = *view;
    v.panelShown = 1;
    // Quit comes before the tabs: y 110 in the tab column quits.
    platform.answers = {MsgAnswer::No, MsgAnswer::No};
    v.HitToolPanel(39, 110);
    v.HitToolPanel(0, 130);
    EXPECT_EQ(platform.messages, (std::vector<int>{IDS_QUIT, IDS_QUIT}));
    EXPECT_EQ(v.panelPage, 0);
    Forget();
    const struct { int y, page; } tabs[] = {{109, 4}, {11, 0}, {30, 1}, {29, 0}, {49, 1}, {50, 2},
                                            {69, 2}, {70, 3}, {89, 3}, {90, 4}};
    for (auto t : tabs) {
        v.HitToolPanel(20, t.y);
        EXPECT_EQ(v.panelPage, t.page) << "y " << t.y;
    }
    EXPECT_EQ(platform.presents.size(), 10u);
    EXPECT_EQ(platform.presents.back(), (Rect{0, 30, 240, 130}));
    Forget();
    v.HitToolPanel(20, 10);
    v.HitToolPanel(0, 0);
    ExpectNothing("above the tabs");
    EXPECT_EQ(v.panelPage, 4);
}

TEST_F(PanelRoutingTest, FullViewAndAboutCorners) {
    CVellumView& v = *view;
    v.panelShown = 1;
    v.HitToolPanel(40, 115);
    v.HitToolPanel(160, 121);
    v.HitToolPanel(161, 120);
    ExpectNothing("just outside");
    v.HitToolPanel(99, 116);
    EXPECT_EQ(v.fullView, 1);
    EXPECT_EQ(platform.presents, (Rects{{0, 0, 240, 320}}));
    v.OnPenUp(200, 200);
    EXPECT_EQ(v.fullView, 0) << "any release ends the full view";
    Forget();
    v.HitToolPanel(161, 121);
    EXPECT_EQ(platform.dialogs, (std::vector<int>{100}));
}

TEST_F(PanelRoutingTest, FileButtonsAndTheirBorders) {
    CVellumView& v = *view;
    v.panelShown = 1;
    for (int x : {60, 100, 140, 180, 220}) v.HitToolPanel(x, 50);
    v.HitToolPanel(80, 30);
    v.HitToolPanel(80, 70);
    ExpectNothing("borders of the file buttons");
    platform.answers = {MsgAnswer::No};
    v.HitToolPanel(61, 31);
    EXPECT_EQ(platform.messages, (std::vector<int>{IDS_NEW_PICTURE}));
    Forget();
    v.HitToolPanel(139, 69);  // Open: the chooser, cancelled
    EXPECT_GT(ChoosersShown(), 0);
    EXPECT_TRUE(platform.messages.empty());
    Forget();
    v.HitToolPanel(219, 50);  // Save of a never-saved picture is Save as
    EXPECT_GT(ChoosersShown(), 0);
    Forget();
    v.HitToolPanel(141, 50);  // Save as: the chooser, cancelled
    EXPECT_GT(ChoosersShown(), 0);
}

TEST_F(PanelRoutingTest, PenAndPaperPagesSelectByColumn) {
    CVellumView& v = *view;
    v.panelShown = 1;
    v.panelPage = PagePen;
    const struct { int x, pen; } pens[] = {{56, 0}, {74, 0}, {75, 1}, {234, 8}, {150, 4}};
    for (auto p : pens) {
        v.HitToolPanel(p.x, 40);
        EXPECT_EQ(v.penIndex, p.pen) << "x " << p.x;
    }
    // The page moved its mark to pen 4: panel (150, 40) is pen row (105, 15) under mark (5, 5).
    EXPECT_EQ(Panel(150, 40), Mul(Px(Skin(), 105, 175), Px(Skin(), 235, 165)));
    Forget();
    v.HitToolPanel(55, 40);
    v.HitToolPanel(235, 40);
    v.HitToolPanel(100, 25);
    v.HitToolPanel(100, 55);
    ExpectNothing("around the pens");
    EXPECT_EQ(v.penIndex, 4);

    v.panelPage = PagePaper;
    const struct { int x, paper; } papers[] = {{61, 0}, {101, 1}, {219, 3}, {179, 2}};
    for (auto p : papers) {
        v.HitToolPanel(p.x, 60);
        EXPECT_EQ(v.paperIndex, p.paper) << "x " << p.x;
    }
    Forget();
    v.HitToolPanel(60, 60);
    v.HitToolPanel(220, 60);
    v.HitToolPanel(100, 40);
    v.HitToolPanel(100, 80);
    ExpectNothing("around the papers");
    EXPECT_EQ(v.paperIndex, 2);
}

TEST_F(PanelRoutingTest, DialogButtonsOpenTheirDialogs) {
    CVellumView& v = *view;
    v.panelShown = 1;
    const struct { int page, x, y; } buttons[] = {
        {PagePen, 111, 91}, {PageColour, 169, 114}, {PageSettings, 66, 56}, {PageSettings, 214, 104}};
    for (auto b : buttons) {
        v.panelPage = b.page;
        Forget();
        v.HitToolPanel(b.x, b.y);
        EXPECT_EQ(platform.dialogs.size(), 1u) << "page " << b.page;
        EXPECT_EQ(platform.fullScreenCalls, (std::vector<unsigned>{0x05, 0x0A}))
            << "framed between leaving and entering full screen";
    }
    Forget();
    v.panelPage = PageSettings;
    v.HitToolPanel(65, 56);
    v.HitToolPanel(215, 104);
    v.panelPage = PagePen;
    v.HitToolPanel(110, 91);
    ExpectNothing("just outside the dialog buttons");
}

TEST_F(PanelRoutingTest, PalettePressDragsTheColourAndTheReleaseMovesThePlus) {
    CVellumView& v = *view;
    v.HitStatusBar(130);  // the colour page
    ASSERT_EQ(v.panelPage, PageColour);
    Forget();
    v.currentColour = 0x00ABCDEF;
    v.OnPenDown(100, 30 + 50);
    EXPECT_EQ(v.currentColour, ColourOf(Px(Skin(), 50, 210)));
    EXPECT_EQ(v.colourDensity, 0.0);
    EXPECT_EQ(Bar(130, 19), Px(Skin(), 50, 210)) << "the swatch follows at once";
    MovePen(platform, v, 150, 30 + 40);
    EXPECT_EQ(v.currentColour, ColourOf(Px(Skin(), 100, 200)));
    EXPECT_EQ(v.paletteMark.x, 150);
    EXPECT_EQ(v.paletteMark.y, 40);
    EXPECT_EQ(Panel(50, 30), kBlack) << "the + has not moved yet";
    // Released outside the palette: the + stays where it was drawn.
    MovePen(platform, v, 235, 30 + 40);
    v.OnPenUp(235, 30 + 40);
    EXPECT_EQ(v.currentColour, ColourOf(Px(Skin(), 100, 200)));
    EXPECT_EQ(Panel(50, 30), kBlack);
    EXPECT_EQ(Panel(150, 40), Px(Skin(), 100, 200));
    // Released inside: the page is redrawn with the + on the picked point.
    v.OnPenDown(120, 30 + 60);
    v.OnPenUp(120, 30 + 60);
    EXPECT_EQ(Panel(120, 60), kBlack);
    EXPECT_EQ(Panel(50, 30), Px(Skin(), 0, 190));
    EXPECT_EQ(v.currentColour, ColourOf(Px(Skin(), 70, 220)));
}

TEST_F(PanelRoutingTest, PaletteBoundsAndOtherPages) {
    CVellumView& v = *view;
    v.panelPage = PageColour;
    v.currentColour = 0x00123456;
    for (IntPoint p : {IntPoint{50, 60}, IntPoint{230, 60}, IntPoint{100, 30}, IntPoint{100, 90}})
        v.PickPaletteColour(p.x, p.y);
    EXPECT_EQ(v.currentColour, 0x00123456u);
    v.PickPaletteColour(229, 89);
    EXPECT_EQ(v.currentColour, ColourOf(Px(Skin(), 179, 249))) << "the palette's last pixel";
    v.panelPage = PagePen;
    v.currentColour = 0x00123456;
    v.PickPaletteColour(100, 60);
    EXPECT_EQ(v.currentColour, 0x00123456u);
    EXPECT_EQ(v.paletteMark.x, 229);
}

class PanelZoomTest : public PanelViewTest {
protected:
    void ExpectZoom(int shift, int ox, int oy) {
        EXPECT_EQ(view->zoomShift, shift);
        EXPECT_EQ(view->zoomFactor, 1 << shift);
        EXPECT_EQ(view->viewOriginX, ox);
        EXPECT_EQ(view->viewOriginY, oy);
    }
};

TEST_F(PanelZoomTest, FourTapsOnTheZoomIconReturnToOneToOne) {
    view->HitStatusBar(160);
    ExpectZoom(1, 60, 80);  // the centre (120, 160) stays at the centre
    EXPECT_EQ(platform.presents, (Rects{{0, 0, 240, 320}})) << "one whole refresh";
    EXPECT_EQ(Bar(170, 19), Mul(Px(Skin(), 110, 19), Px(Skin(), 215, 185))) << "zoom icon 1";
    view->HitStatusBar(179);
    ExpectZoom(2, 90, 120);
    view->HitStatusBar(170);
    ExpectZoom(3, 105, 140);
    view->HitStatusBar(170);
    ExpectZoom(0, 0, 0);
}

TEST_F(PanelZoomTest, ZoomIconKeepsTheCentreAsFarAsTheClampsAllow) {
    view->zoomShift = 1;
    view->zoomFactor = 2;
    view->viewOriginX = 120;
    view->viewOriginY = 160;
    view->HitStatusBar(160);  // 2 -> 4: centre canvas point (180, 240) stays
    ExpectZoom(2, 150, 200);
    view->HitStatusBar(160);  // 4 -> 8
    ExpectZoom(3, 165, 220);
}

TEST_F(PanelZoomTest, ZoomAtPointCentresTheTappedPoint) {
    view->keyCodes[KeyZoom] = 0x71;
    view->OnKeyDown(0x71);
    view->OnPenDown(100, 150);
    view->OnPenUp(100, 150);
    ExpectZoom(1, 40, 70);
    // The view's centre now shows the tapped point; tap it again.
    view->OnPenDown(120, 160);
    view->OnPenUp(120, 160);
    ExpectZoom(2, 70, 110);
    EXPECT_EQ(view->viewOriginX + (120 >> 2), 100);
    EXPECT_EQ(view->viewOriginY + (160 >> 2), 150);
    view->OnKeyUp(0x71);
    EXPECT_EQ(view->holdMode, 0);
}

TEST_F(PanelZoomTest, ZoomAtPointNearTheEdgesIsClamped) {
    view->ZoomAtPoint(239, 319);
    ExpectZoom(1, 120, 160);
    view->ZoomAtPoint(239, 319);
    ExpectZoom(2, 180, 240);
    view->ZoomAtPoint(0, 0);
    ExpectZoom(3, 0, 0);
    view->ZoomAtPoint(239, 319);
    ExpectZoom(0, 0, 0);
    // At zoom 2 on a 240-wide canvas the origin never passes 120, wherever the tap.
    for (int x = 0; x < 240; x += 17)
        for (int y = 0; y < 320; y += 23) {
            view->zoomShift = 0;
            view->zoomFactor = 1;
            view->ZoomAtPoint(x, y);
            ASSERT_GE(view->viewOriginX, 0);
            ASSERT_LE(view->viewOriginX, 120);
            ASSERT_LE(view->viewOriginY, 160);
            ASSERT_EQ(view->viewOriginX, std::max(0, std::min(120, x - 60)));
        }
}

TEST_F(PanelZoomTest, EyedropperTakesTheCanvasPixel) {
    uint8_t* p = view->picture.BaseCanvas().At(150, 200);
    p[0] = 30, p[1] = 20, p[2] = 10;  // blue, green, red
    view->keyCodes[KeyEyedropper] = 0x70;
    view->OnKeyDown(0x70);
    view->OnPenDown(150, 200);
    view->OnPenUp(150, 200);
    EXPECT_EQ(view->currentColour, 0x001E140Au);
    EXPECT_EQ(Bar(125, 14), (Rgb{10, 20, 30}));
    EXPECT_EQ(Px(view->picture.Canvas(), 150, 200), (Rgb{10, 20, 30})) << "no stamp while the key is held";
    // Outside the canvas nothing is picked.
    view->currentColour = 0x00445566;
    for (IntPoint q : {IntPoint{-1, 0}, IntPoint{240, 5}, IntPoint{0, 320}, IntPoint{5, -7}})
        view->PickCanvasColour(q.x, q.y);
    EXPECT_EQ(view->currentColour, 0x00445566u);
}

class PanelQuitTest : public PanelViewTest {
protected:
    void Quit(std::initializer_list<MsgAnswer> answers) {
        platform.answers = answers;
        view->ExitCommand();
    }
    void ExpectStillOpen() {
        EXPECT_EQ(platform.closePosts, 0);
        EXPECT_FALSE(gShutdownDone);
        EXPECT_EQ(platform.settingsWrites, 0);
        EXPECT_TRUE(view->picture.Exists());
    }
};

TEST_F(PanelQuitTest, AnsweredNoChangesNothing) {
    view->modified = 1;
    Quit({MsgAnswer::No});
    EXPECT_EQ(platform.messages, (std::vector<int>{IDS_QUIT}));
    ExpectStillOpen();
    EXPECT_EQ(view->modified, 1);
}

TEST_F(PanelQuitTest, UnmodifiedAsksOnceAndWritesTheSettingsOnce) {
    Quit({MsgAnswer::Yes});
    EXPECT_EQ(platform.messages, (std::vector<int>{IDS_QUIT}));
    EXPECT_EQ(platform.closePosts, 1);
    EXPECT_TRUE(gShutdownDone);
    EXPECT_FALSE(view->picture.Exists());
    // The window's destruction asks for the shutdown again: it does nothing.
    view->OnDestroy();
    EXPECT_EQ(platform.settingsWrites, 1);
}

TEST_F(PanelQuitTest, ModifiedWithoutSavingQuits) {
    view->modified = 1;
    Quit({MsgAnswer::Yes, MsgAnswer::No});
    EXPECT_EQ(platform.messages, (std::vector<int>{IDS_QUIT, IDS_SAVE_CHANGED}));
    EXPECT_EQ(ChoosersShown(), 0);
    EXPECT_EQ(platform.closePosts, 1);
    EXPECT_EQ(platform.settingsWrites, 1);
}

TEST_F(PanelQuitTest, SaveCancelledKeepsTheProgramAndThePicture) {
    view->modified = 1;
    uint8_t* p = view->picture.BaseCanvas().At(10, 200);
    p[0] = p[1] = p[2] = 7;
    Quit({MsgAnswer::Yes, MsgAnswer::Yes});
    EXPECT_EQ(platform.messages, (std::vector<int>{IDS_QUIT, IDS_SAVE_CHANGED}));
    EXPECT_GT(ChoosersShown(), 0) << "the save chooser was shown";
    ExpectStillOpen();
    EXPECT_EQ(Px(view->picture.Canvas(), 10, 200), (Rgb{7, 7, 7}));
    // The user can go on and quit later.
    Forget();
    Quit({MsgAnswer::Yes, MsgAnswer::No});
    EXPECT_EQ(platform.closePosts, 1);
    EXPECT_EQ(platform.settingsWrites, 1);
}

TEST_F(PanelQuitTest, SavedPictureQuits) {
    const std::string path = ::testing::TempDir() + "panel-quit-save.bmp";
    std::remove(path.c_str());
    platform.picks.push_back({path});
    view->modified = 1;
    Quit({MsgAnswer::Yes, MsgAnswer::Yes, MsgAnswer::Ok});
    EXPECT_EQ(platform.closePosts, 1);
    EXPECT_EQ(platform.settingsWrites, 1);
    FILE* f = std::fopen(path.c_str(), "rb");
    ASSERT_NE(f, nullptr) << "the picture was written before quitting";
    std::fseek(f, 0, SEEK_END);
    EXPECT_EQ(std::ftell(f), 54 + 240 * 320 * 3);
    std::fclose(f);
    std::remove(path.c_str());
}

TEST_F(PanelQuitTest, WindowCloseButtonAsksTheSameQuestions) {
    view->modified = 1;
    platform.answers = {MsgAnswer::No};
    view->OnUserClose();
    ExpectStillOpen();
    platform.answers = {MsgAnswer::Yes, MsgAnswer::Yes};
    view->OnUserClose();
    ExpectStillOpen();
    platform.answers = {MsgAnswer::Yes, MsgAnswer::No};
    view->OnUserClose();
    EXPECT_EQ(platform.messages,
              (std::vector<int>{IDS_QUIT, IDS_QUIT, IDS_SAVE_CHANGED, IDS_QUIT, IDS_SAVE_CHANGED}));
    EXPECT_EQ(platform.closePosts, 1);
    EXPECT_EQ(platform.settingsWrites, 1);
}

TEST_F(PanelQuitTest, AboutBoxIsFramedAndShowsNameAndCredits) {
    view->panelShown = 1;
    view->HitToolPanel(239, 130);
    ASSERT_EQ(platform.dialogs, (std::vector<int>{100}));
    EXPECT_EQ(platform.fullScreenCalls, (std::vector<unsigned>{0x05, 0x0A}));
    ASSERT_EQ(platform.dialogTexts.size(), 3u);
    EXPECT_EQ(platform.dialogTexts[1], "Vellum\u3000v2.22");
    EXPECT_FALSE(platform.dialogTexts[2].empty());
    EXPECT_EQ(platform.closePosts, 0);
}

}  // namespace
}  // namespace vellum::paneltest
