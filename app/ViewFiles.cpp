// The file commands of the tool panel: new, open, save as, save, the write they share,
// and the loading of a picture: at its own size, or fitted onto a screen-sized canvas
// with the setting "fitpicture". Each asks its questions, then calls the picture's own
// door for the change.
#include <fcntl.h>
#include <unistd.h>

#include "app/VellumView.h"
#include "imageio/FileChooser.h"
#include "imageio/formats/Bmp.h"
#include "imageio/formats/ChooserRules.h"
#include "imageio/formats/Jpeg.h"
#include "imageio/formats/PictureFile.h"
#include "imageio/formats/Png.h"
#include "engine/pixel/Stretch.h"
#include "resources/StringIds.h"

namespace vellum {

namespace {

// The existence test of Save As: an existing file that opens for reading and writing.
// A file that exists but cannot be opened so (read-only, a folder) counts as absent.
bool OpensForWriting(const std::string& path) {
    const int fd = open(path.c_str(), O_RDWR | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return false;
    close(fd);
    return true;
}

// After a new or opened picture: 1:1 from the top-left corner (centred when smaller than
// the screen), clean, drawn again.
void ShowFreshPicture(CVellumView& view) {
    view.viewOriginX = 0;
    view.viewOriginY = 0;
    view.zoomFactor = 1;
    view.zoomShift = 0;
    view.ClampOrigin();
    view.modified = 0;
    view.DrawStatusBar(BarAll, false);
    view.DrawToolPanel(false);
    view.shownCanUndo = view.picture.CanUndo();
    view.shownCanRedo = view.picture.CanRedo();
    view.RefreshRect(0, 0, -1, -1);
}

}  // namespace

// True when a new, empty picture was started.
bool CVellumView::NewPicture() {
    if (modified && Message(IDS_SAVE_CHANGED, MsgButtons::YesNo) == MsgAnswer::Yes) SavePictureAs();
    if (Message(IDS_NEW_PICTURE, MsgButtons::YesNo) != MsgAnswer::Yes) return false;
    // White, at the picture's size.
    OwnedSurface white;
    if (!white.Allocate(picture.Width(), picture.Height())) {
        Message(IDS_MEMORY_ERROR, MsgButtons::Ok);
        return false;
    }
    ops.fillRectWhite(*white, 0, 0, white->width, white->height);
    ops.fillRectWhite(*screenBuffer, 0, 0, W, H);
    // A new step, and the picture just started.
    picture.Replace(StepKind::New, std::move(white), DefaultPicturePath());
    AfterStep();
    ShowFreshPicture(*this);
    return true;
}

bool CVellumView::OpenPicture(const std::string& path) {
    // A path given (the command line): no save question and no chooser.
    std::string chosen = path;
    if (chosen.empty()) {
        if (modified && Message(IDS_SAVE_CHANGED, MsgButtons::YesNo) == MsgAnswer::Yes) SavePictureAs();
        // The chooser starts at the picture on screen, as the save question may have left it.
        chosen = FilePath();
        LeaveFullScreen(false);
        const int answered = ChooseOpenFile(platform, chosen, openFilterList, kOpenFilterIndex);
        EnterFullScreen(false);
        if (!answered) return false;
    }
    // A picture that does not load leaves the canvas and its path as they were.
    OwnedSurface loaded;
    const bool read = LoadPicture(chosen, loaded);
    platform.PictureRead(chosen);
    if (!read || !TakeLoadedPicture(loaded)) return false;
    // A new step, and the picture just opened.
    if (picture.Replace(StepKind::Open, std::move(loaded), chosen).Empty()) {
        Message(IDS_MEMORY_ERROR, MsgButtons::Ok);
        return false;
    }
    AfterStep();
    ShowFreshPicture(*this);
    return true;
}

bool CVellumView::SavePictureAs() {
    LeaveFullScreen(false);
    bool written = false;
    std::string name = FilePath();
    const int chosen = ChooseSaveFile(platform, name, filterList);
    if (chosen == 1) {
        // A name chosen goes with the picture, written or not.
        picture.Rename(name);
        if (!OpensForWriting(name))
            written = WritePicture();
        else if (Message(IDS_FILE_EXISTS, MsgButtons::YesNo) == MsgAnswer::Yes)
            written = WritePicture();
    } else if (chosen == kChooserFailed) {
        // The chooser could give no file (a browser's save picker): not saved, and said.
        Message(IDS_SAVE_FAILED, MsgButtons::Ok);
    }
    // The file is written before the program goes back to full screen.
    EnterFullScreen(false);
    AfterStep();
    return written;
}

bool CVellumView::SavePicture() {
    // The default path marks a picture never saved under a name of its own.
    if (FilePath() == DefaultPicturePath()) return SavePictureAs();
    if (Message(IDS_OVERWRITE_CURRENT, MsgButtons::YesNo) != MsgAnswer::Yes) return false;
    return WritePicture();
}

bool CVellumView::QuickSave() {
    // An untitled picture has no file yet: the user names one.
    if (FilePath() == DefaultPicturePath()) return SavePictureAs();
    return WritePicture(true);
}

bool CVellumView::WritePicture(bool quiet) {
    const std::string& filePath = FilePath();
    const PixelSurface& canvas = picture.Canvas();
    std::string message;
    bool written = false;
    // The name decides the format: ".png", ".jpg" or ".jpeg" (any case), else BMP.
    switch (WriteFormatOf(filePath)) {
        case PictureFormat::Jpeg: {
            // The stored level 1..10 is used clamped and left as it is.
            const int level = jpegQuality < 1 ? 1 : jpegQuality > 10 ? 10 : int(jpegQuality);
            written = WriteJpegFile(filePath, canvas, 10 * level, message);
            break;
        }
        case PictureFormat::Png:
            written = WritePngFile(filePath, canvas, message);
            break;
        case PictureFormat::Bmp: {
            BitmapInfo info;
            if (CreateBitmapInfo(canvas, info))
                written = WriteBmpFile(filePath, info, canvas, message);
            else
                message = kBitmapErrorText;
            break;
        }
    }
    if (written && !platform.HandOverFile(filePath)) {
        // Written, but it never reached the user (a browser's download or picked file):
        // nothing is reported as saved that was not.
        Message(IDS_SAVE_FAILED, MsgButtons::Ok);
        return false;
    }
    // A quiet save (Ctrl+S on a named picture) tells only a failure; the title shows it.
    if (written && !quiet)
        platform.ShowInformation(0, message);
    else if (!written)
        platform.ShowMessage(0, message, MsgButtons::Ok);
    // Only a complete file makes the picture clean: after a failed save a later quit
    // must still offer to save it.
    if (written) {
        modified = 0;
        picture.Saved();
    }
    return written;
}

bool CVellumView::LoadPicture(const std::string& path, OwnedSurface& loaded) {
    // BMP, PNG and JPEG, told apart by their content; a picture over the reader's limits
    // is refused whole, never half-loaded.
    if (!LoadPictureFile(path, loaded) || !picture.Exists()) {
        Message(IDS_OPEN_FAILED, MsgButtons::Ok);
        return false;
    }
    return true;
}

bool CVellumView::TakeLoadedPicture(OwnedSurface& loaded) {
    if (!picture.Exists() || !loaded.Exists()) return false;
    if (!fitPicture) {
        // At its own size, pixel for pixel, as far as a picture may be large.
        if (loaded->width > kMaxPictureSide || loaded->height > kMaxPictureSide) {
            Message(IDS_PICTURE_TOO_LARGE, MsgButtons::Ok);
            return false;
        }
        return true;
    }
    // Fitted onto a canvas of the screen's size, as the handheld's screen holds it.
    const int bw = loaded->width, bh = loaded->height;
    OwnedSurface canvas;
    if (!canvas.Allocate(W, H)) {
        Message(IDS_MEMORY_ERROR, MsgButtons::Ok);
        return false;
    }
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
        StretchCopy(*canvas, 0, 0, W, H, *loaded, source.x, source.y, source.w, source.h);
    } else {
        // Only picture pixels are copied; where the picture is smaller the canvas stays white.
        ops.copyRectRop(*canvas, 0, 0, W, H, *loaded, source.x, source.y, SRCCOPY);
    }
    loaded = std::move(canvas);
    return true;
}

}  // namespace vellum
