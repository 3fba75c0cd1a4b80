// The status bar and tool panel caches, composed pixel for pixel from the skin, and the
// refreshes that show them.
#include "PanelTestSupport.h"

namespace vellum::paneltest {
namespace {

class PanelStatusBarTest : public PanelViewTest {
protected:
    Rgb SkinPx(int x, int y) { return Px(Skin(), x, y); }

    // The bar as the current fields should compose it, at bar point (x, y).
    Rgb ExpectedBar(int x, int y) {
        auto in = [&](int left, int top, int w, int h) {
            return x >= left && x < left + w && y >= top && y < top + h;
        };
        Rgb c = SkinPx(x, y);
        if (in(105, 14, 10, 10)) {
            c = Mul(c, SkinPx(10 + 20 * view->penIndex + x - 105, 170 + y - 14));
            if (view->eraser) c = Mul(c, SkinPx(200 + x - 105, 160 + y - 14));
        }
        if (in(115, 11, 8, 13) && GlyphInk(char('1' + view->penIndex), x - 115, y - 11)) c = kBlack;
        if (in(125, 14, 10, 10)) {
            const uint32_t k = view->currentColour;
            c = {int(k & 0xFF), int((k >> 8) & 0xFF), int((k >> 16) & 0xFF)};
        }
        // The undo slot over the emblem's place: the pictogram, dimmed with nothing to undo.
        if (in(200, 5, 20, 20)) return SkinPx((view->picture.History().CanUndo() ? 160 : 180) + x - 200, 450 + y - 5);
        const int icons[3] = {145, 165, 185};
        for (int n = 0; n < 3; ++n) {
            if (!in(icons[n], 14, 10, 10)) continue;
            const int i = x - icons[n], j = y - 14;
            c = SkinPx(105 + i, 14 + j);  // every icon's blank comes from the pen's place
            if (n == 0) c = Mul(c, SkinPx(200 + 10 * view->paperIndex + i, 170 + j));
            if (n == 1) c = Mul(c, SkinPx(200 + 10 * view->zoomShift + i, 180 + j));
            if (n == 2 && view->handMode) c = Mul(c, SkinPx(230 + i, 160 + j));
        }
        return c;
    }

    void ExpectWholeBar(const char* what) {
        ExpectBlock(what, false, 0, 0, 240, 30, [&](int i, int j) { return ExpectedBar(i, j); });
    }
};

TEST_F(PanelStatusBarTest, AllItemsComposeOverThePristineBar) {
    ExpectWholeBar("start: pen 3, black, paper 0, 1:1, no hand");
    // The emblem was copied into the pristine bar at creation; the bar as shown has the
    // undo pictogram there.
    for (int j = 0; j < 20; j += 7)
        for (int i = 0; i < 20; i += 3) EXPECT_EQ(Pristine(200 + i, 5 + j), SkinPx(220 + i, 250 + j));

    view->penIndex = 0;
    view->eraser = 1;
    view->paperIndex = 3;
    view->zoomShift = 2;
    view->handMode = 1;
    view->currentColour = 0x00336699;
    view->DrawStatusBar(BarAll, false);
    ExpectWholeBar("every item changed");
    EXPECT_TRUE(platform.presents.empty());
}

TEST_F(PanelStatusBarTest, PenItemMultipliesIconAndEraserAndDrawsOneDigit) {
    for (int pen = 0; pen < 9; ++pen) {
        view->penIndex = pen;
        view->eraser = pen % 2;
        view->DrawStatusBar(BarPen, false);
        ExpectWholeBar("pen item");
        int ink = 0;
        for (int y = 11; y < 24; ++y)
            for (int x = 115; x < 123; ++x) ink += Bar(x, y) == kBlack;
        EXPECT_GT(ink, 8) << "pen " << pen + 1 << " shows its digit";
    }
    // The eraser mark really darkens the icon: with and without differ somewhere.
    view->penIndex = 4;
    view->eraser = 0;
    view->DrawStatusBar(BarPen, false);
    std::vector<Rgb> plain;
    for (int j = 0; j < 10; ++j)
        for (int i = 0; i < 10; ++i) plain.push_back(Bar(105 + i, 14 + j));
    view->eraser = 1;
    view->DrawStatusBar(BarPen, false);
    int differ = 0;
    for (int j = 0; j < 10; ++j)
        for (int i = 0; i < 10; ++i) differ += Bar(105 + i, 14 + j) != plain[size_t(j * 10 + i)];
    EXPECT_GT(differ, 0);
}

TEST_F(PanelStatusBarTest, SingleItemsRedrawOnlyTheirSquare) {
    view->paperIndex = 2;
    view->DrawStatusBar(BarPaper, false);
    view->zoomShift = 3;
    view->DrawStatusBar(BarZoom, false);
    view->handMode = 1;
    view->DrawStatusBar(BarHand, false);
    view->currentColour = 0x00102030;
    view->DrawStatusBar(BarColour, false);
    ExpectWholeBar("paper 2, zoom 8, hand, colour");
    view->handMode = 0;
    view->DrawStatusBar(BarHand, false);
    ExpectWholeBar("hand off again");
    // A field changed without drawing its item stays unseen.
    view->paperIndex = 1;
    view->DrawStatusBar(BarZoom, false);
    EXPECT_EQ(Bar(150, 18), Mul(SkinPx(110, 18), SkinPx(225, 174)));
}

TEST_F(PanelStatusBarTest, RefreshShowsTheBarWhereItIsExceptForZoom) {
    view->DrawStatusBar(BarPen, true);
    EXPECT_EQ(platform.presents, (std::vector<Rect>{{0, 0, 240, 30}}));
    Forget();
    view->DrawStatusBar(BarAll, true);
    EXPECT_EQ(platform.presents, (std::vector<Rect>{{0, 0, 240, 30}})) << "one refresh for all";
    Forget();
    view->panelAtBottom = 1;
    view->DrawStatusBar(BarHand, true);
    EXPECT_EQ(platform.presents, (std::vector<Rect>{{0, 290, 240, 30}}));
    Forget();
    view->DrawStatusBar(BarZoom, true);
    EXPECT_TRUE(platform.presents.empty()) << "the zoom change refreshes the whole view itself";
}

TEST_F(PanelStatusBarTest, NoItemOnlyRefreshes) {
    view->penIndex = 7;
    view->paperIndex = 3;
    for (int item : {int(BarNone), 99, -1}) {
        Forget();
        view->DrawStatusBar(item, true);
        EXPECT_EQ(platform.presents, (std::vector<Rect>{{0, 0, 240, 30}}));
    }
    // Nothing was drawn: the bar still shows pen 3 and paper 0.
    view->penIndex = 2;
    view->paperIndex = 0;
    ExpectWholeBar("unchanged");
}

class PanelToolPanelTest : public PanelViewTest {
protected:
    Rgb SkinPx(int x, int y) { return Px(Skin(), x, y); }
    Rgb Mark(int i, int j) { return SkinPx(230 + i, 160 + j); }

    void ShowPage(int page) {
        view->panelPage = page;
        view->DrawToolPanel(false);
    }
    void ExpectTabs(int page) {
        for (int p = 0; p < 5; ++p)
            ExpectBlock(p == page ? "tab mark" : "unmarked tab", true, 15, 20 + 20 * p, 10, 10,
                        [&](int i, int j) {
                            const Rgb base = PristinePanel(15 + i, 20 + 20 * p + j);
                            return p == page ? Mul(base, Mark(i, j)) : base;
                        });
        // The quit button and the About corner are never drawn over.
        ExpectBlock("quit button", true, 0, 110, 40, 20,
                    [&](int i, int j) { return PristinePanel(i, 110 + j); });
        ExpectBlock("about corner", true, 225, 121, 15, 9,
                    [&](int i, int j) { return PristinePanel(225 + i, 121 + j); });
    }
    void ExpectPanelButton() {
        ExpectBlock("panel button", true, 110, 90, 60, 25,
                    [&](int i, int j) { return SkinPx(180 + i, 200 + j); });
    }
};

TEST_F(PanelToolPanelTest, FilePageMultipliesTheFileButtons) {
    ShowPage(PageFile);
    ExpectTabs(0);
    ExpectBlock("file buttons", true, 60, 30, 160, 40,
                [&](int i, int j) { return Mul(PristinePanel(60 + i, 30 + j), SkinPx(i, 350 + j)); });
    ExpectBlock("between the rows", true, 40, 70, 200, 5,
                [&](int i, int j) { return PristinePanel(40 + i, 70 + j); });
    // Undo and redo under them, both dimmed with nothing to take back or forward.
    ExpectBlock("undo and redo", true, 60, 75, 80, 35, [&](int i, int j) {
        return Mul(PristinePanel(60 + i, 75 + j), SkinPx(40 + (i / 40) * 80 + i % 40, 450 + j));
    });
    // The picture size button beside redo, never dimmed.
    ExpectBlock("picture size", true, 140, 75, 40, 35,
                [&](int i, int j) { return Mul(PristinePanel(140 + i, 75 + j), SkinPx(160 + i, 350 + j)); });
    ExpectBlock("beside them", true, 180, 75, 60, 35,
                [&](int i, int j) { return PristinePanel(180 + i, 75 + j); });
}

TEST_F(PanelToolPanelTest, PenPageShowsThePenRowAndMarksTheCurrentPen) {
    for (int pen : {0, 5, 8}) {
        view->penIndex = pen;
        ShowPage(PagePen);
        ExpectTabs(1);
        ExpectBlock("pen row", true, 45, 25, 190, 30, [&](int i, int j) {
            const Rgb base = SkinPx(i, 160 + j);
            const int mi = 45 + i - (65 + 20 * pen), mj = 25 + j - 35;
            return mi >= 0 && mi < 10 && mj >= 0 && mj < 10 ? Mul(base, Mark(mi, mj)) : base;
        });
        ExpectPanelButton();
    }
}

TEST_F(PanelToolPanelTest, ColourPageShowsThePaletteAndThePlusAtTheMark) {
    for (IntPoint mark : {IntPoint{50, 30}, IntPoint{120, 60}, IntPoint{229, 89}}) {
        view->paletteMark = mark;
        ShowPage(PageColour);
        ExpectTabs(2);
        ExpectBlock("palette with +", true, 50, 30, 180, 60, [&](int i, int j) {
            const bool ink = GlyphInk('+', 50 + i - (mark.x - 7), 30 + j - (mark.y - 7));
            return ink ? kBlack : SkinPx(i, 190 + j);
        });
        EXPECT_EQ(Panel(mark.x, mark.y), kBlack) << "the + centres on the mark";
        if (mark.x == 229) {
            // The + reaches past the palette only inside its 14 x 14 box.
            EXPECT_EQ(Panel(234, 89), kBlack);
            EXPECT_NE(Panel(236, 89), kBlack);
        }
        ExpectPanelButton();
    }
}

TEST_F(PanelToolPanelTest, PaperPageShowsTheFourPapersAsSeen) {
    view->paperIndex = 2;
    ShowPage(PagePaper);
    ExpectTabs(3);
    ExpectBlock("texture A", true, 60, 40, 40, 40, [&](int i, int j) { return SkinPx(i, 250 + j); });
    ExpectBlock("inverted A", true, 100, 40, 40, 40,
                [&](int i, int j) { return Inv(SkinPx(i, 250 + j)); });
    ExpectBlock("texture B", true, 140, 40, 40, 40,
                [&](int i, int j) { return SkinPx(100 + i, 250 + j); });
    ExpectBlock("inverted B", true, 180, 40, 40, 40,
                [&](int i, int j) { return Inv(SkinPx(100 + i, 250 + j)); });
    for (int p = 0; p < 4; ++p)
        ExpectBlock(p == 2 ? "paper mark" : "no paper mark", true, 75 + 40 * p, 25, 10, 10,
                    [&](int i, int j) {
                        const Rgb base = PristinePanel(75 + 40 * p + i, 25 + j);
                        return p == 2 ? Mul(base, Mark(i, j)) : base;
                    });
}

TEST_F(PanelToolPanelTest, SettingsPageMultipliesTheKeySettingsButton) {
    ShowPage(PageSettings);
    ExpectTabs(4);
    ExpectBlock("key settings button", true, 65, 55, 150, 50,
                [&](int i, int j) { return Mul(PristinePanel(65 + i, 55 + j), SkinPx(i, 400 + j)); });
    ExpectBlock("page top", true, 40, 0, 200, 55,
                [&](int i, int j) { return PristinePanel(40 + i, j); });
}

TEST_F(PanelToolPanelTest, RefreshShowsThePanelRows) {
    view->DrawToolPanel(true);
    EXPECT_EQ(platform.presents, (std::vector<Rect>{{0, 30, 240, 130}}));
    Forget();
    view->panelAtBottom = 1;
    view->DrawToolPanel(true);
    EXPECT_EQ(platform.presents, (std::vector<Rect>{{0, 160, 240, 130}}));
    Forget();
    view->DrawToolPanel(false);
    EXPECT_TRUE(platform.presents.empty());
}

}  // namespace
}  // namespace vellum::paneltest
