// The file commands of the tool panel: new, open, save as, save, and the write they
// share.
#include <fcntl.h>
#include <unistd.h>

#include "app/VellumView.h"
#include "imageio/FileChooser.h"
#include "imageio/formats/Bmp.h"
#include "imageio/formats/ChooserRules.h"
#include "imageio/formats/Jpeg.h"
#include "imageio/formats/Png.h"
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

// After a new or opened picture: 1:1 from the top-left corner, clean, drawn again.
void ShowFreshPicture(CVellumView& view) {
    view.viewOriginX = 0;
    view.viewOriginY = 0;
    view.zoomFactor = 1;
    view.zoomShift = 0;
    view.modified = 0;
    view.DrawStatusBar(BarAll, false);
    view.DrawToolPanel(false);
    view.shownCanUndo = view.history.CanUndo();
    view.shownCanRedo = view.history.CanRedo();
    view.RefreshRect(0, 0, -1, -1);
}

}  // namespace

// True when a new, empty picture was started.
bool CVellumView::NewPicture() {
    if (modified && Message(IDS_SAVE_CHANGED, MsgButtons::YesNo) == MsgAnswer::Yes) SavePictureAs();
    if (Message(IDS_NEW_PICTURE, MsgButtons::YesNo) != MsgAnswer::Yes) return false;
    ops.fillRectWhite(*screenBuffer, 0, 0, W, H);
    history.BeforeWriteAll();
    ops.fillRectWhite(*canvas, 0, 0, W, H);
    const std::string before = filePath;
    filePath = DefaultPicturePath();
    // A new step, and the picture just started.
    history.RecordWhole(StepKind::New, before, filePath);
    history.MarkSaved();
    journal.Restart(*canvas, true, filePath, false);
    ShowFreshPicture(*this);
    return true;
}

bool CVellumView::OpenPicture(const std::string& path) {
    std::string previous = filePath;
    if (!path.empty()) {
        // A path given (the command line): no save question and no chooser.
        filePath = path;
    } else {
        if (modified && Message(IDS_SAVE_CHANGED, MsgButtons::YesNo) == MsgAnswer::Yes) SavePictureAs();
        // The name of the picture on screen, as the save question may have left it.
        previous = filePath;
        LeaveFullScreen(false);
        const int chosen = ChooseOpenFile(platform, filePath, openFilterList, kOpenFilterIndex);
        EnterFullScreen(false);
        if (!chosen) return false;
    }
    // A picture that does not load leaves the canvas as it was, so the path must go on
    // naming the picture that is there.
    const bool loaded = FitPicture(filePath);
    platform.PictureRead(filePath);
    if (!loaded) {
        filePath = previous;
        return false;
    }
    // A new step, and the picture just opened.
    history.RecordWhole(StepKind::Open, previous, filePath);
    history.MarkSaved();
    journal.Restart(*canvas, false, filePath, false);
    ShowFreshPicture(*this);
    return true;
}

bool CVellumView::SavePictureAs() {
    LeaveFullScreen(false);
    bool written = false;
    const int chosen = ChooseSaveFile(platform, filePath, filterList);
    if (chosen == 1) {
        if (!OpensForWriting(filePath))
            written = WritePicture();
        else if (Message(IDS_FILE_EXISTS, MsgButtons::YesNo) == MsgAnswer::Yes)
            written = WritePicture();
    } else if (chosen == kChooserFailed) {
        // The chooser could give no file (a browser's save picker): not saved, and said.
        Message(IDS_SAVE_FAILED, MsgButtons::Ok);
    }
    // The file is written before the program goes back to full screen.
    EnterFullScreen(false);
    // A name chosen but not written still goes with the picture.
    journal.NotePath(filePath);
    return written;
}

bool CVellumView::SavePicture() {
    // The default path marks a picture never saved under a name of its own.
    if (filePath == DefaultPicturePath()) return SavePictureAs();
    if (Message(IDS_OVERWRITE_CURRENT, MsgButtons::YesNo) != MsgAnswer::Yes) return false;
    return WritePicture();
}

bool CVellumView::QuickSave() {
    // An untitled picture has no file yet: the user names one.
    if (filePath == DefaultPicturePath()) return SavePictureAs();
    return WritePicture(true);
}

bool CVellumView::WritePicture(bool quiet) {
    std::string message;
    bool written = false;
    // The name decides the format: ".png", ".jpg" or ".jpeg" (any case), else BMP.
    switch (WriteFormatOf(filePath)) {
        case PictureFormat::Jpeg: {
            // The stored level 1..10 is used clamped and left as it is.
            const int level = jpegQuality < 1 ? 1 : jpegQuality > 10 ? 10 : int(jpegQuality);
            written = WriteJpegFile(filePath, *canvas, 10 * level, message);
            break;
        }
        case PictureFormat::Png:
            written = WritePngFile(filePath, *canvas, message);
            break;
        case PictureFormat::Bmp: {
            BitmapInfo info;
            if (CreateBitmapInfo(*canvas, info))
                written = WriteBmpFile(filePath, info, *canvas, message);
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
        history.MarkSaved();
        // The saved picture is the new base: nothing in the journal is unsaved now.
        journal.Restart(*canvas, false, filePath, false);
    }
    return written;
}

}  // namespace vellum
