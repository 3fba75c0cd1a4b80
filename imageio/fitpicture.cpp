// Loading a picture of any size onto the fixed-size canvas.
#include "app/VellumView.h"
#include "engine/pixel/Stretch.h"
#include "imageio/formats/ChooserRules.h"
#include "imageio/formats/PictureFile.h"
#include "resources/StringIds.h"

namespace vellum {

bool CVellumView::FitPicture(const std::string& path) {
    // BMP, PNG and JPEG, told apart by their content; a picture over the reader's limits
    // is refused whole, never half-loaded.
    OwnedSurface picture;
    if (!LoadPictureFile(path, picture) || !canvas.Exists()) {
        Message(IDS_OPEN_FAILED, MsgButtons::Ok);
        return false;
    }
    return FitLoadedPicture(*picture);
}

bool CVellumView::FitLoadedPicture(const PixelSurface& picture) {
    if (!canvas.Exists() || !picture.Exists()) return false;
    const int bw = picture.width, bh = picture.height;
    history.BeforeWriteAll();  // the picture replaces the canvas: one step
    ops.fillRectWhite(*canvas, 0, 0, W, H);

    FitRule rule = FitRule::Corner;
    if (bw > W || bh > H) {
        if (Message(IDS_SHRINK_PICTURE, MsgButtons::YesNo) == MsgAnswer::Yes)
            rule = FitRule::Cover;
        else if (Message(IDS_CUT_FROM_CENTRE, MsgButtons::YesNo) == MsgAnswer::Yes)
            rule = FitRule::Centre;
    }
    const SourceRect source = FitSourceRect(rule, bw, bh, W, H);
    if (rule == FitRule::Cover) {
        StretchCopy(*canvas, 0, 0, W, H, picture, source.x, source.y, source.w, source.h);
    } else {
        // Only picture pixels are copied; where the picture is smaller the canvas stays white.
        ops.copyRectRop(*canvas, 0, 0, W, H, picture, source.x, source.y, SRCCOPY);
    }
    return true;
}

}  // namespace vellum
