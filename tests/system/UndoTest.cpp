// Undo and redo on the view: random sessions checked against the canvas recorded at each
// point of the history, the memory bound, the unsaved-changes flag, the file path that
// goes with New and Open, and the ways the user reaches them.
#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "DrawTestSupport.h"
#include "ViewTest.h"
#include "app/VellumView.h"
#include "dialogs/ColourEntryDialog.h"
#include "resources/DialogTemplate.h"
#include "resources/StringIds.h"

namespace vellum::undotest {
namespace {

using fake::Rect;
using fake::ScriptedDialog;

std::vector<uint8_t> Bytes(const PixelSurface& s) { return {s.bytes, s.bytes + s.byteSize}; }

class UndoTest : public fake::ViewTest {
public:
    std::string dir;

    void SetUp() override {
        fake::ViewTest::SetUp();
        char pattern[] = "/tmp/vellum-undo.XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir = pattern;
        // Two pictures of the canvas's size, so opening asks nothing.
        ASSERT_TRUE(drawtest::WriteTestBmp(dir + "/a.bmp", 240, 320,
                                           [](int x, int y) { return uint32_t(x * 0x010203 + y * 0x030201); }));
        ASSERT_TRUE(drawtest::WriteTestBmp(dir + "/b.bmp", 240, 320, [](int, int) { return 0x00204080u; }));
    }
    void TearDown() override {
        std::remove((dir + "/a.bmp").c_str());
        std::remove((dir + "/b.bmp").c_str());
        std::remove((dir + "/saved.bmp").c_str());
        rmdir(dir.c_str());
        fake::ViewTest::TearDown();
    }

    void Stroke(std::mt19937& rng) {
        int x = 20 + int(rng() % 200), y = 40 + int(rng() % 260);
        view->OnPenDown(x, y);
        const int points = int(rng() % 12);
        for (int i = 0; i < points; ++i) {
            x += int(rng() % 31) - 15;
            y += int(rng() % 31) - 15;
            platform.bufferedPoints = {{4 * x, 4 * y}, {4 * x + 2, 4 * y + 1}};
            MovePen(platform, *view, x, y);
        }
        view->OnPenUp(x, y);
    }
    void Filter(int r, int g, int b) {
        platform.scripts.push_back([=](ScriptedDialog& d) {
            d.Set(IDC_RED_EDIT, std::to_string(r));
            d.Set(IDC_GREEN_EDIT, std::to_string(g));
            d.Set(IDC_BLUE_EDIT, std::to_string(b));
            d.Click(IDC_COLOUR_FILTER);
            d.Click(1);
        });
        view->ColourEntryCommand();
    }
    bool New() {
        if (view->modified) platform.answers.push_back(MsgAnswer::No);  // do not save
        platform.answers.push_back(MsgAnswer::Yes);
        return view->NewPicture();
    }
    bool SaveAs(const std::string& path) {
        platform.picks.push_back({path, 1});
        platform.answers.push_back(MsgAnswer::Yes);  // overwrite when it exists
        const bool written = view->SavePictureAs();
        platform.answers.clear();
        return written;
    }
};

// The canvas at every point of the history, as the test saw it, and for each step that
// led there from the one before whether it was a New or an Open and the file paths
// before and after it: only those steps take the path with them.
struct Model {
    struct Step {
        bool carriesPath = false;
        std::string before, after;
    };
    std::vector<std::vector<uint8_t>> states;
    std::vector<Step> steps;  // steps[i] leads from states[i - 1] to states[i]
    size_t position = 0;
    size_t saved = 0;
    bool savedReachable = true;

    void Push(std::vector<uint8_t> canvas, Step step) {
        states.resize(position + 1);
        steps.resize(position + 1);
        if (saved > position) savedReachable = false;
        states.push_back(std::move(canvas));
        steps.push_back(std::move(step));
        ++position;
    }
};

// Random sessions: strokes with buffered points, taps, the eraser, the filter, New,
// Open, saves, pen, paper, colour and zoom changes, with undo and redo anywhere. After
// every undo and redo the canvas is the one recorded at that point, byte for byte.
void RunSession(UndoTest& t, std::unique_ptr<CVellumView>& view, fake::TestPlatform& platform,
                uint32_t seed, int64_t limit) {
    std::mt19937 rng(seed);
    view->picture.StartHistory(limit);
    Model m;
    m.states.push_back(Bytes(view->picture.Canvas()));
    m.steps.push_back({});
    std::string path = view->FilePath();
    for (int action = 0; action < 160; ++action) {
        SCOPED_TRACE("seed " + std::to_string(seed) + " action " + std::to_string(action));
        const int kind = int(rng() % 20);
        const std::vector<uint8_t> before = Bytes(view->picture.Canvas());
        const std::string pathBefore = view->FilePath();
        const size_t stepsBefore = view->picture.History().Position() + size_t(view->picture.History().Dropped());
        if (kind < 7) {
            t.Stroke(rng);
        } else if (kind == 7) {
            view->OnPenDown(60 + int(rng() % 150), 200);
            view->OnPenUp(60 + int(rng() % 150), 200);  // a tap's stamp
        } else if (kind == 8) {
            view->HitStatusBar(110);  // the eraser, on or off
        } else if (kind == 9) {
            t.Filter(int(rng() % 256), int(rng() % 256), 255);
        } else if (kind == 10) {
            ASSERT_TRUE(t.New());
        } else if (kind == 11) {
            ASSERT_TRUE(view->OpenPicture(t.dir + (rng() % 2 ? "/a.bmp" : "/b.bmp")));
        } else if (kind == 12) {
            view->penIndex = int(rng() % 9);
            view->SelectPen(-1, true);
            view->paperIndex = int(rng() % 4);
            view->SelectPaper(true);
            view->SetColour(uint32_t(rng()) & 0xFFFFFF, true);
        } else if (kind == 13) {
            view->HitStatusBar(170);  // next zoom level
        } else if (kind == 14) {
            ASSERT_TRUE(t.SaveAs(t.dir + "/saved.bmp"));
            m.saved = m.position;
            m.savedReachable = true;
            path = view->FilePath();
        } else {
            // Undo or redo, by key or by tap.
            const bool undo = rng() % 3 != 0;
            const size_t oldest = size_t(view->picture.History().Dropped());
            const size_t from = m.position;
            const int32_t modifiedBefore = view->modified;
            if (undo) {
                if (rng() % 2)
                    view->OnKeyDown(90, kModCtrl);
                else
                    view->HitStatusBar(205);
                if (m.position > oldest) {
                    if (m.steps[m.position].carriesPath) path = m.steps[m.position].before;
                    --m.position;
                }
            } else {
                if (rng() % 2)
                    view->OnKeyDown(89, kModCtrl);
                else
                    view->OnKeyDown(90, kModCtrl | kModShift);
                if (m.position + 1 < m.states.size()) {
                    ++m.position;
                    if (m.steps[m.position].carriesPath) path = m.steps[m.position].after;
                }
            }
            ASSERT_TRUE(Bytes(view->picture.Canvas()) == m.states[m.position]) << (undo ? "undo" : "redo");
            // Landing on the saved picture clears modified, anywhere else sets it; with
            // nothing to take back or forward nothing changes.
            if (m.position != from)
                EXPECT_EQ(view->modified, m.savedReachable && m.saved == m.position ? 0 : 1);
            else
                EXPECT_EQ(view->modified, modifiedBefore);
            EXPECT_EQ(view->FilePath(), path);
            continue;
        }
        const std::vector<uint8_t> after = Bytes(view->picture.Canvas());
        const size_t stepsAfter = view->picture.History().Position() + size_t(view->picture.History().Dropped());
        const bool whole = kind >= 9 && kind <= 11;
        EXPECT_EQ(view->FilePath(), whole ? view->FilePath() : path);
        path = view->FilePath();
        if (whole || after != before) {
            ASSERT_EQ(stepsAfter, stepsBefore + 1) << "a change that is not a step";
            m.Push(after, {kind == 10 || kind == 11, pathBefore, path});
            if (kind == 10 || kind == 11) {
                m.saved = m.position;
                m.savedReachable = true;
            }
        } else {
            ASSERT_EQ(stepsAfter, stepsBefore) << "a step that changed nothing";
        }
        // The bound: the oldest steps went; the newest is always kept.
        EXPECT_TRUE(view->picture.History().MemoryUsed() <= limit || view->picture.History().Position() == 1);
    }
    // Back as far as the history reaches, then forward to the end: every state as recorded.
    while (view->picture.History().CanUndo()) {
        view->Undo();
        --m.position;
        ASSERT_TRUE(Bytes(view->picture.Canvas()) == m.states[m.position]) << "walking back";
    }
    EXPECT_EQ(m.position, size_t(view->picture.History().Dropped()));
    while (view->picture.History().CanRedo()) {
        view->Redo();
        ++m.position;
        ASSERT_TRUE(Bytes(view->picture.Canvas()) == m.states[m.position]) << "walking forward";
    }
}

TEST_F(UndoTest, RandomSessionsGiveBackEveryRecordedCanvas) {
    for (uint32_t seed : {1u, 2u, 3u, 4u}) {
        ASSERT_NO_FATAL_FAILURE(RunSession(*this, view, platform, seed, kDefaultUndoMemory));
        view.reset();
        platform.Forget();
        ASSERT_NO_FATAL_FAILURE(fake::StartView(platform, view));
    }
}

TEST_F(UndoTest, ATightBoundDropsTheOldestAndKeepsTheRestIntact) {
    // A whole-canvas step of this picture is about 230 KB; 600 KB keeps only a few.
    for (uint32_t seed : {7u, 8u}) {
        ASSERT_NO_FATAL_FAILURE(RunSession(*this, view, platform, seed, 600 << 10));
        EXPECT_GT(view->picture.History().Dropped(), 0);
        view.reset();
        platform.Forget();
        ASSERT_NO_FATAL_FAILURE(fake::StartView(platform, view));
    }
}

TEST_F(UndoTest, UndoBackToTheSavedPictureClearsModifiedAndQuitAsksOnlyToQuit) {
    std::mt19937 rng(3);
    Stroke(rng);
    ASSERT_TRUE(SaveAs(dir + "/saved.bmp"));
    EXPECT_EQ(view->modified, 0);
    Stroke(rng);
    EXPECT_EQ(view->modified, 1);
    view->Undo();
    EXPECT_EQ(view->modified, 0);
    view->Undo();  // before the save: unsaved again
    EXPECT_EQ(view->modified, 1);
    view->Redo();
    EXPECT_EQ(view->modified, 0);
    platform.Forget();
    platform.answers = {MsgAnswer::Yes};
    view->ExitCommand();
    EXPECT_EQ(platform.messages, (std::vector<int>{IDS_QUIT}));
    EXPECT_EQ(platform.closePosts, 1);
}

TEST_F(UndoTest, UndoOfNewAndOpenBringsTheirPathBack) {
    std::mt19937 rng(4);
    ASSERT_TRUE(view->OpenPicture(dir + "/a.bmp"));
    const std::vector<uint8_t> opened = Bytes(view->picture.Canvas());
    Stroke(rng);
    ASSERT_TRUE(New());
    EXPECT_EQ(view->FilePath(), view->DefaultPicturePath());
    view->Undo();  // the New
    EXPECT_EQ(view->FilePath(), dir + "/a.bmp");
    view->Undo();  // the stroke: the path stays
    EXPECT_EQ(view->FilePath(), dir + "/a.bmp");
    EXPECT_TRUE(Bytes(view->picture.Canvas()) == opened);
    // The picture remembers one saved point, the New's: the opened picture is not it.
    EXPECT_EQ(view->modified, 1);
    view->Undo();  // the Open
    EXPECT_EQ(view->FilePath(), view->DefaultPicturePath());
    EXPECT_EQ(view->modified, 1);
    // Save now writes the white canvas under the default name's chooser, never a.bmp.
    view->Redo();
    view->Redo();
    view->Redo();
    EXPECT_EQ(view->FilePath(), view->DefaultPicturePath());
}

TEST_F(UndoTest, PressesThatChangeNoPixelAreNoSteps) {
    // A tap on the bar, on the panel, an eyedropper and a zoom tap, a hand drag.
    view->HitStatusBar(50);
    Tap(100, 100);  // on the panel: nothing
    view->HitStatusBar(50);
    view->keyCodes[KeyEyedropper] = 69;
    view->keyCodes[KeyZoom] = 70;
    view->OnKeyDown(69, 0);
    Tap(100, 200);
    view->OnKeyUp(69, 0);
    view->OnKeyDown(70, 0);
    Tap(100, 200);
    view->OnKeyUp(70, 0);
    view->HitStatusBar(190);  // hand mode
    view->OnPenDown(100, 200);
    MovePen(platform, *view, 80, 150);
    view->OnPenUp(80, 150);
    EXPECT_EQ(view->picture.History().Position(), 0u);
    EXPECT_FALSE(view->picture.History().CanUndo());
    // New answered No is no step either.
    platform.answers = {MsgAnswer::No, MsgAnswer::No};
    view->NewPicture();
    EXPECT_FALSE(view->picture.History().CanUndo());
}

TEST_F(UndoTest, UndoWhileAStrokeIsDrawnDoesNothing) {
    std::mt19937 rng(9);
    Stroke(rng);
    view->OnPenDown(100, 200);
    MovePen(platform, *view, 120, 220);
    const std::vector<uint8_t> drawing = Bytes(view->picture.Canvas());
    view->OnKeyDown(90, kModCtrl);
    EXPECT_TRUE(Bytes(view->picture.Canvas()) == drawing);
    view->OnPenUp(120, 220);
    EXPECT_EQ(view->picture.History().Position(), 2u);
}

TEST_F(UndoTest, UndoRefreshesTheStrokesBoxAndTheBarAsItChanges) {
    view->OnPenDown(100, 200);
    platform.bufferedPoints = {{4 * 110, 4 * 205}};
    MovePen(platform, *view, 110, 205);
    view->OnPenUp(110, 205);
    const Box box = {95, 195, 0, 0};
    platform.Forget();
    view->Undo();
    ASSERT_GE(platform.presents.size(), 2u);
    // The stroke's changed pixels lie inside its stamps, (95..114, 195..209).
    const Rect first = platform.presents[0];
    EXPECT_GE(first.x, box.x);
    EXPECT_GE(first.y, box.y);
    EXPECT_LE(first.x + first.w, 115);
    EXPECT_LE(first.y + first.h, 210);
    EXPECT_EQ(platform.presents[1], (Rect{0, 0, 240, 30})) << "the bar: nothing left to undo";
    // Zoomed, the same box is shown magnified; the view does not move.
    view->HitStatusBar(170);
    const int ox = view->viewOriginX, oy = view->viewOriginY;
    platform.Forget();
    view->Redo();
    EXPECT_EQ(view->viewOriginX, ox);
    EXPECT_EQ(view->viewOriginY, oy);
    EXPECT_EQ(view->zoomFactor, 2);
    ASSERT_FALSE(platform.presents.empty());
    EXPECT_EQ(platform.presents[0].x, (first.x - ox) * 2);
    EXPECT_EQ(platform.presents[0].w, first.w * 2);
    // A whole-canvas step refreshes the whole window.
    Filter(200, 200, 200);
    platform.Forget();
    view->Undo();
    EXPECT_EQ(platform.presents[0], (Rect{0, 0, 240, 320}));
}

TEST_F(UndoTest, FilePageButtonsUndoAndRedo) {
    std::mt19937 rng(11);
    const std::vector<uint8_t> white = Bytes(view->picture.Canvas());
    Stroke(rng);
    const std::vector<uint8_t> drawn = Bytes(view->picture.Canvas());
    ASSERT_FALSE(drawn == white);
    view->HitStatusBar(50);  // the panel, on the file page
    view->HitToolPanel(80, 90);
    EXPECT_TRUE(Bytes(view->picture.Canvas()) == white);
    view->HitToolPanel(100, 90);  // the border between the buttons: nothing
    EXPECT_TRUE(Bytes(view->picture.Canvas()) == white);
    view->HitToolPanel(120, 90);
    EXPECT_TRUE(Bytes(view->picture.Canvas()) == drawn);
    // Only the file page has them.
    view->HitToolPanel(20, 35);  // the pen page
    view->HitToolPanel(80, 90);
    EXPECT_TRUE(Bytes(view->picture.Canvas()) == drawn);
}

}  // namespace
}  // namespace vellum::undotest
