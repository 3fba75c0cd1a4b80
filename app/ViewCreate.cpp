// The view's creation, initial update and shutdown.
#include <cstring>

#include "app/VellumView.h"
#include "engine/skin/SkinLayout.h"
#include "imageio/formats/PictureFile.h"
#include "resources/Resources.h"

namespace vellum {

bool gShutdownDone = false;

namespace {

// Characters, not bytes, of a UTF-8 text.
size_t CharacterCount(const std::string& text) {
    size_t n = 0;
    for (unsigned char c : text)
        if ((c & 0xC0) != 0x80) ++n;
    return n;
}

}  // namespace

CVellumView::CVellumView(Platform& p, const PixelOps& o) : platform(p), ops(o) {}

CVellumView::~CVellumView() = default;

std::string CVellumView::DefaultPicturePath() const {
    return platform.PicturesDir() + "untitled.bmp";
}

bool CVellumView::OnCreate() {
    // 1-2. The frame's own creation has run; the frame has no menu bar.
    // 3.
    EnterFullScreen(true);

    // 4. The chooser's filter lists: the filter strings with every backslash a NUL.
    const auto build = [](char16_t (&list)[kFilterListChars], const char* text) {
        for (int i = 0; i < kFilterListChars; ++i) list[i] = 0;
        for (int i = 0; text[i] && i < kFilterListChars - 1; ++i) list[i] = text[i] == '\\' ? u'\0' : char16_t(text[i]);
    };
    build(filterList, kFilterString);
    build(openFilterList, kOpenFilterString);

    // 5.
    panelAtBottom = 0;
    panelShown = 0;
    creationFailed = 0;
    panelPage = 0;
    fullView = 0;
    modified = 0;

    // 6. W is the client width rounded up to a multiple of 8.
    int cw = 0, ch = 0;
    platform.GetClientSize(cw, ch);
    if (cw < 0) cw = 0;
    if (ch < 0) ch = 0;
    H = ch;
    W = cw + ((8 - cw % 8) % 8);

    // 7-9. The skin: the top-left part of the file that the skin image holds; a smaller
    //    file is refused.
    const std::string skinPath = platform.ProgramDir() + "vellum.dat";
    OwnedSurface loaded;
    if (!LoadPictureFile(skinPath, loaded) || loaded->width < kSkinImageWidth ||
        loaded->height < kSkinFileHeight) {
        Message(IDS_DATA_LOAD_FAILED, MsgButtons::Ok);
        creationFailed = 1;
        return true;
    }
    if (skinImage.Allocate(kSkinImageWidth, kSkinImageHeight))
        ops.copyRectRop(*skinImage, 0, 0, kSkinImageWidth, kSkinFileHeight, *loaded, 0, 0, SRCCOPY);
    loaded.Release();

    // 10. The picture (the canvas, its stroke layers, paper and pen buffer) at the
    //     screen's size unless another was asked for, and the screen.
    if (W > 0 && H > 0) {
        int pw = W, ph = H;
        if (!platform.StartingPictureSize(pw, ph) || pw < 1 || ph < 1 || pw > kMaxPictureSide || ph > kMaxPictureSide) {
            pw = W;
            ph = H;
        }
        picture.Create(ops, pw, ph);
        screenBuffer.Allocate(W, H);
    }

    // 11.
    if (!skinImage.Exists() || !screenBuffer.Exists() || !picture.Exists()) {
        Message(IDS_MEMORY_ERROR, MsgButtons::Ok);
        creationFailed = 1;
        return true;
    }

    // 13.
    paletteMark = {kPaletteMarkStart.x, kPaletteMarkStart.y};

    // 14. The picture starts white; the paper surface is filled by the paper selection,
    //     the pen buffer by the colour.
    ops.fillRectWhite(*screenBuffer, 0, 0, W, H);

    // 15. The bar emblem goes into the pristine status bar.
    const SkinRect emblem = RegionRect(Region::BarEmblem), slot = RegionRect(Region::BarEmblemSlot);
    ops.copyRectRop(*skinImage, slot.x, slot.y, emblem.w, emblem.h, *skinImage, emblem.x, emblem.y,
                    SRCCOPY);

    // 16.
    colourDensity = 0.0;
    currentColour = 0;
    penIndex = 2;
    paperIndex = 0;
    zoomShift = 0;
    eraser = 0;
    handMode = 0;
    zoomFactor = 1;
    viewOriginX = 0;
    viewOriginY = 0;
    penDown = 0;
    holdMode = 0;

    // 17-18. Settings, then the custom palette, pen and paper they name.
    ReadSettings();
    // 19-20. The paper surface and the pen stamp, already from the custom graphics.
    SelectPaper(false);
    SetColour(0, false);
    // 21.
    picture.SetPath(DefaultPicturePath());
    // Undo starts from the white canvas; without the memory for it the program draws on.
    picture.StartHistory(platform.UndoMemoryLimit());
    return true;
}

void CVellumView::OnInitialUpdate() {
    if (creationFailed) {
        platform.PostClose();
        return;
    }
    shownTitle = kWindowTitle;
    platform.SetWindowTitle(kWindowTitle);
    // The emblem is the program's icon too.
    const SkinRect emblem = RegionRect(Region::BarEmblem);
    platform.SetAppIcon(*skinImage, emblem.x, emblem.y, emblem.w, emblem.h);
    DrawStatusBar(BarAll, false);
    DrawToolPanel(false);
    // A picture of another size than the screen lies in view (centred when smaller).
    ClampOrigin();
    RefreshRect(0, 0, -1, -1);
    // A store that can be neither read nor written (a browser's blocked site data): the
    // defaults are in force, and the user hears once that changes will not be kept.
    if (!platform.SettingsKept()) {
        settingsFailureTold = true;
        Message(IDS_SETTINGS_NOT_KEPT, MsgButtons::Ok);
    }
    // A picture a session left unsaved comes first; the command line's picture (a
    // double-click in a file manager) is opened after it as Open does, so the save
    // question protects the restored picture.
    restoredAtStart = RecoverAtStart();
    if (CharacterCount(platform.CommandLine()) > 5) platform.SetTimer(kCommandLineTimer, 100);
}

void CVellumView::OnTimer(int id) {
    if (id == kSettingsTimer) {
        platform.KillTimer(kSettingsTimer);
        settingsTimerRunning = false;
        WritePendingSettings();
        return;
    }
    if (id != kCommandLineTimer) return;
    platform.KillTimer(kCommandLineTimer);
    const std::string commandLine = platform.CommandLine();
    if (CharacterCount(commandLine) <= 5) return;
    // A picture restored at start is unsaved work: the save question protects it, as
    // Open's does.
    if (restoredAtStart && modified && Message(IDS_SAVE_CHANGED, MsgButtons::YesNo) == MsgAnswer::Yes)
        SavePictureAs();
    OpenPicture(commandLine);
}

void CVellumView::OnDestroy() { ShutdownView(); }

void CVellumView::ShutdownView() {
    if (gShutdownDone) return;
    gShutdownDone = true;
    // What the journal holds is on the disk before anything goes.
    journal.Flush();
    // Released in this order; a surface that was never made is skipped.
    skinImage.Release();
    picture.Release();
    screenBuffer.Release();
    if (creationFailed) return;
    WriteSettings();
}

}  // namespace vellum
