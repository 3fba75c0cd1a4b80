// Pictures of their own size: a large photo opened, drawn on and saved back pixel for
// pixel; the picture size dialog as one undo step; the zoomed-out screen as the means of
// its blocks on the desk; the screen following the window.
#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "FilesTestSupport.h"
#include "engine/Screen.h"
#include "imageio/formats/PictureFile.h"
#include "imageio/formats/Png.h"
#include "resources/DialogTemplate.h"
#include "resources/StringIds.h"

namespace vellum::filestest {
namespace {

void Stroke(TestPlatform& platform, CVellumView& view, int x0, int y0, int x1, int y1) {
    view.OnPenDown(x0, y0);
    for (int k = 1; k <= 8; ++k) {
        const int x = x0 + (x1 - x0) * k / 8, y = y0 + (y1 - y0) * k / 8;
        platform.bufferedPoints = {{4 * x + 2, 4 * y + 2}};
        fake::MovePen(platform, view, x, y);
    }
    view.OnPenUp(x1, y1);
}

// A 4000 x 3000 photo, opened without a question, drawn on and saved as PNG: the file
// holds the picture at its size, every pixel outside the stroke's box as it was.
TEST_F(FilesViewTest, ALargePhotoIsSavedBackPixelForPixelOutsideTheStroke) {
    OwnedSurface photo;
    ASSERT_TRUE(photo.Allocate(4000, 3000));
    for (int y = 0; y < 3000; ++y)
        for (int x = 0; x < 4000; ++x) {
            uint8_t* p = photo->At(x, y);
            p[0] = uint8_t(x * 7 + y), p[1] = uint8_t(y * 3 ^ x), p[2] = uint8_t((x + y) >> 4);
        }
    std::string message;
    ASSERT_TRUE(WritePngFile(File("photo.png"), *photo, message)) << message;
    ASSERT_TRUE(view->OpenPicture(File("photo.png")));
    EXPECT_EQ(view->picture.Width(), 4000);
    EXPECT_EQ(view->picture.Height(), 3000);
    EXPECT_EQ(platform.messages, std::vector<int>{}) << "no fitting questions";
    EXPECT_EQ(view->viewOriginX, 0);
    // Scrolled and zoomed out, a stroke lands on the picture where it is shown.
    view->viewOriginX = 1000;
    view->viewOriginY = 700;
    view->ZoomTo(-1, 120, 200);
    const IntPoint from = view->PicturePoint(60, 150), to = view->PicturePoint(180, 250);
    Stroke(platform, *view, 60, 150, 180, 250);
    view->picture.Rename(File("drawn.png"));
    ASSERT_TRUE(view->WritePicture(true));
    OwnedSurface saved;
    ASSERT_TRUE(LoadPictureFile(File("drawn.png"), saved));
    ASSERT_EQ(saved->width, 4000);
    ASSERT_EQ(saved->height, 3000);
    const Box box{std::min(from.x, to.x) - 8, std::min(from.y, to.y) - 8, std::abs(to.x - from.x) + 17,
                  std::abs(to.y - from.y) + 17};
    int changed = 0, outside = 0;
    for (int y = 0; y < 3000; ++y)
        for (int x = 0; x < 4000; ++x) {
            const bool differs = std::memcmp(saved->At(x, y), photo->At(x, y), 3) != 0;
            const bool inside = x >= box.x && x < box.x + box.w && y >= box.y && y < box.y + box.h;
            if (differs && inside) ++changed;
            if (differs && !inside) ++outside;
        }
    EXPECT_GT(changed, 100) << "the stroke was drawn";
    EXPECT_EQ(outside, 0) << "every pixel outside the stroke's box as it was";
}

// The dialog refuses sizes out of range with the range message, keeps the pixels at the
// top-left and extends with white; one undo step takes back the size and the pixels.
TEST_F(FilesViewTest, ThePictureSizeDialogIsOneUndoStep) {
    PaintCanvas(7);
    const std::vector<uint8_t> before = CanvasBytes();
    platform.scripts.push_back([](fake::ScriptedDialog& d) {
        EXPECT_EQ(d.Text(IDC_PICTURE_WIDTH), "240");
        EXPECT_EQ(d.Text(IDC_PICTURE_HEIGHT), "320");
        d.Set(IDC_PICTURE_WIDTH, "8193");
        d.Click(1);
        EXPECT_FALSE(d.Ended());
        d.Set(IDC_PICTURE_WIDTH, "300");
        d.Set(IDC_PICTURE_HEIGHT, "0");
        d.Click(1);
        EXPECT_FALSE(d.Ended());
        d.Set(IDC_PICTURE_HEIGHT, "200");
        d.Click(1);
    });
    Answer({MsgAnswer::Ok, MsgAnswer::Ok});
    view->modified = 0;
    view->PictureSizeCommand();
    EXPECT_EQ(platform.messages, (std::vector<int>{IDS_PARSE_INT_RANGE, IDS_PARSE_INT_RANGE}));
    ASSERT_EQ(view->picture.Width(), 300);
    ASSERT_EQ(view->picture.Height(), 200);
    EXPECT_EQ(view->modified, 1);
    OwnedSurface old;
    ASSERT_TRUE(old.Allocate(240, 320));
    std::memcpy(old->bytes, before.data(), before.size());
    EXPECT_EQ(Px(Canvas(), 239, 199), Px(*old, 239, 199));
    EXPECT_EQ(Px(Canvas(), 0, 0), Px(*old, 0, 0));
    EXPECT_EQ(Px(Canvas(), 240, 10), kWhite);
    EXPECT_EQ(Px(Canvas(), 299, 199), kWhite);
    // Smaller than the screen: centred on the desk.
    EXPECT_EQ(view->viewOriginX, 0);
    EXPECT_EQ(view->viewOriginY, -60);
    EXPECT_EQ(view->screenBuffer->At(100, 40)[0], kDeskGrey);
    view->Undo();
    EXPECT_EQ(view->picture.Width(), 240);
    EXPECT_EQ(CanvasBytes(), before);
    EXPECT_EQ(view->modified, 0);
    view->Redo();
    EXPECT_EQ(view->picture.Width(), 300);
    EXPECT_EQ(view->modified, 1);
}

// Zoomed out, every screen pixel below the bar is the rounded mean of its block of the
// picture pixels it covers, or the desk where it covers none.
TEST_F(FilesViewTest, ZoomedOutTheScreenShowsTheMeansOfItsBlocks) {
    ASSERT_TRUE(view->picture.Resize(view->ops, 1001, 450));
    PaintCanvas(11);
    for (int shift : {-1, -2, -3}) {
        view->viewOriginX = 37;
        view->viewOriginY = 5;
        view->ZoomTo(shift, 0, 0);
        view->ZoomTo(shift, 0, 0);
        const int k = 1 << -shift;
        const IntPoint o{view->viewOriginX, view->viewOriginY};
        for (int y = kBarHeight; y < view->H; ++y)
            for (int x = 0; x < view->W; ++x) {
                int sum[3] = {0, 0, 0}, n = 0;
                for (int v = 0; v < k; ++v)
                    for (int u = 0; u < k; ++u) {
                        const int px = o.x + x * k + u, py = o.y + y * k + v;
                        if (px < 0 || py < 0 || px >= 1001 || py >= 450) continue;
                        for (int c = 0; c < 3; ++c) sum[c] += Canvas().At(px, py)[c];
                        ++n;
                    }
                const uint8_t* s = view->screenBuffer->At(x, y);
                for (int c = 0; c < 3; ++c) {
                    const int expected = n ? (2 * sum[c] + n) / (2 * n) : kDeskGrey;
                    ASSERT_EQ(s[c], expected) << "shift " << shift << " at " << x << "," << y;
                }
            }
    }
}

// The window's new size is the screen's at once; the picture keeps its size and stays in
// view, and the whole screen is presented.
TEST_F(FilesViewTest, TheScreenFollowsTheWindow) {
    ASSERT_TRUE(view->picture.Resize(view->ops, 2000, 1500));
    view->viewOriginX = 1700;
    view->viewOriginY = 1100;
    view->ClampOrigin();
    platform.presents.clear();
    view->OnResize(501, 400);
    EXPECT_EQ(view->W, 504);
    EXPECT_EQ(view->H, 400);
    EXPECT_EQ(view->screenBuffer->width, 504);
    EXPECT_EQ(view->picture.Width(), 2000);
    EXPECT_EQ(view->viewOriginX, 2000 - 504);
    EXPECT_EQ(view->viewOriginY, 1100);
    ASSERT_FALSE(platform.presents.empty());
    EXPECT_EQ(platform.presents.back(), (fake::Rect{0, 0, 504, 400}));
    // Larger than the picture at 1/4: centred, the desk around it.
    view->ZoomTo(-2, 0, 0);
    EXPECT_EQ(view->viewOriginX, -((2016 - 2000) / 2 / 4 * 4));
    view->OnResize(240, 160);
    EXPECT_EQ(view->W, 240);
    EXPECT_EQ(view->H, 160);
}

}  // namespace
}  // namespace vellum::filestest
