// Papers, and the custom pen and paper images.
#include "app/VellumView.h"
#include "engine/skin/SkinLayout.h"
#include "imageio/formats/PictureFile.h"
#include "resources/StringIds.h"

namespace vellum {

namespace {

// Copies a picture's top-left corner, unscaled, over a skin region; a smaller picture
// leaves the rest of the region as it was.
bool LoadCustomBlock(CVellumView& view, const std::string& path, Region region, int messageId) {
    OwnedSurface picture;
    if (!LoadPictureFile(path, picture)) {
        view.Message(messageId, MsgButtons::Ok);
        return false;
    }
    const SkinRect r = RegionRect(region);
    if (view.skinImage.Exists())
        view.ops.copyRectRop(*view.skinImage, r.x, r.y, r.w, r.h, *picture, 0, 0, SRCCOPY);
    return true;
}

}  // namespace

void CVellumView::SelectPaper(bool update) {
    if (panelShown && panelPage == PagePaper) DrawToolPanel(true);
    if (update) DrawStatusBar(BarPaper, true);
    if (!skinImage.Exists()) return;
    // The paper holds the inverse of the texture as the paper page shows it: papers 0 and
    // 2 are the inverted textures, 1 and 3 the plain ones.
    const int paper = paperIndex & 3;
    const SkinRect texture = PaperTextureRect(paper < 2 ? 0 : 1);
    picture.SetPaper(ops, *skinImage, texture.x, texture.y, texture.w, texture.h, !(paper & 1));
}

bool CVellumView::LoadCustomPen(const std::string& path) {
    return LoadCustomBlock(*this, path, Region::CustomPenTarget, IDS_CUSTOM_PEN_FAILED);
}

bool CVellumView::LoadCustomPaper(const std::string& path) {
    return LoadCustomBlock(*this, path, Region::CustomPaperTarget, IDS_CUSTOM_PAPER_FAILED);
}

}  // namespace vellum
