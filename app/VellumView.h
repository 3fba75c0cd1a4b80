#pragma once
// CVellumView: the one state record of the program. Its fields are declared here in
// the order the program keeps them; its operations are member functions defined in the
// folder of the subsystem they belong to:
//   app/      creation and shutdown (ViewCreate), settings (ViewSettings), the stylus and
//             strokes (ViewStylus), undo, redo and recovery (ViewHistory), the screen
//             (ViewScreen), desktop habits (ViewDesktop), files (ViewFiles), messages
//             (ViewMessages)
//   panel/    status bar and tool panel, commands, keys, colours, pens and papers
// The picture itself (canvas, path, history, pen and paper) is the engine's Picture: the
// view asks the user, calls the picture, and shows the box it changed.
#include <cstdint>
#include <string>

#include "app/Journal.h"
#include "app/ViewInput.h"
#include "engine/Geometry.h"
#include "engine/Pencil.h"
#include "engine/Picture.h"
#include "engine/Screen.h"
#include "engine/Smoother.h"
#include "engine/skin/SkinLayout.h"
#include "engine/pixel/PixelOps.h"
#include "engine/pixel/Surface.h"
#include "seam/Platform.h"

namespace vellum {

// The nine key codes, in the order the view keeps them, the settings store reads them
// and the key settings dialog exchanges them.
enum KeyIndex : int {
    KeyDarker = 0,
    KeyLighter = 1,
    KeyNextPen = 2,
    KeyNextPaper = 3,
    KeyPrevPen = 4,
    KeyPrevPaper = 5,
    KeySave = 6,
    KeyEyedropper = 7,
    KeyZoom = 8,
    kKeyCount = 9,
};
constexpr uint32_t kNoKey = 1;

// Items of the status bar.
enum BarItem : int {
    BarPen = 0,
    BarColour = 1,
    BarPaper = 2,
    BarZoom = 3,
    BarHand = 4,
    BarAll = 5,
    BarNone = 6,
    BarUndo = 7,  // the undo slot, where the pristine bar has the emblem
};

// Pages of the tool panel.
enum PanelPage : int { PageFile = 0, PagePen = 1, PageColour = 2, PagePaper = 3, PageSettings = 4 };

// Flags of the shell's full-screen service.
constexpr unsigned kHideTaskBar = 0x02;
constexpr unsigned kHideInputPanel = 0x08;
constexpr unsigned kShowTaskBar = 0x01;
constexpr unsigned kShowInputPanel = 0x04;

constexpr const char* kWindowTitle = ".:Vellum:.";

// The view's timers: the command line's picture, and the settings written soon after a
// change.
constexpr int kCommandLineTimer = 1;
constexpr int kSettingsTimer = 2;
// Settings are written at most once in this many milliseconds.
constexpr int kSettingsWriteGap = 1000;
// The chooser's filter pairs, backslashes standing for the NULs between them: BMP and
// all files (which gives JPEG) as they always were, then PNG and JPEG; Open adds a pair
// showing every picture the program reads, and starts on it.
constexpr const char* kFilterString =
    "Bmp Files (*.bmp)\\*.bmp\\All Files (*.*)\\*.*\\Png Files (*.png)\\*.png\\Jpeg Files (*.jpg)\\*.jpg;*.jpeg\\\\";
constexpr const char* kOpenFilterString =
    "Bmp Files (*.bmp)\\*.bmp\\All Files (*.*)\\*.*\\Png Files (*.png)\\*.png\\Jpeg Files (*.jpg)\\*.jpg;*.jpeg\\"
    "Pictures (*.bmp *.png *.jpg)\\*.bmp;*.png;*.jpg;*.jpeg\\\\";
constexpr uint32_t kOpenFilterIndex = 5;
constexpr int kFilterListChars = 10000;

class CVellumView {
public:
    // ops: the rectangle operations every drawing goes through.
    explicit CVellumView(Platform& platform, const PixelOps& ops = FastPixelOps());
    ~CVellumView();
    CVellumView(const CVellumView&) = delete;
    CVellumView& operator=(const CVellumView&) = delete;

    Platform& platform;
    const PixelOps& ops;

    // ---- Fields, in declaration order -------------------------------------------------
    int32_t jpegQuality = 10;            // setting "jpeg_quality"
    int32_t fitPicture = 0;              // setting "fitpicture": pictures fitted to the screen
    IntPoint paletteMark{kPaletteMarkStart.x, kPaletteMarkStart.y};  // the "+" on the colour page
    int32_t fullView = 0;
    int32_t modified = 0;                // the picture has unsaved changes
    uint32_t keyCodes[kKeyCount] = {kNoKey, kNoKey, kNoKey, kNoKey, kNoKey,
                                    kNoKey, kNoKey, kNoKey, kNoKey};
    int32_t holdMode = 0;                // 0 draw, 1 eyedropper, 2 zoom
    int32_t stylusMode = 1;              // setting "stylus"
    int32_t antiJump = 0;                // setting "antijump"
    int32_t movePointCount = 0;
    int32_t smoothing = 2;               // setting "pen", 1..4
    int32_t penDown = 0;
    IntPoint lastCanvasPt;
    IntPoint lastScreenPt;
    int32_t viewOriginY = 0;
    int32_t viewOriginX = 0;
    int32_t zoomFactor = 1;
    int32_t penIndex = 2;
    int32_t paperIndex = 0;
    int32_t zoomShift = 0;
    uint32_t currentColour = 0;          // 0x00BBGGRR
    double colourDensity = 0.0;
    int32_t eraser = 0;
    int32_t handMode = 0;
    int32_t panelShown = 0;
    int32_t panelAtBottom = 0;
    int32_t panelPage = 0;
    char16_t filterList[kFilterListChars] = {};      // Save As
    char16_t openFilterList[kFilterListChars] = {};  // Open
    int32_t W = 0;                       // screen width: client width rounded up to 8
    int32_t H = 0;                       // screen height: client height
    int32_t creationFailed = 0;

    // The surfaces, owned for the life of the window: the skin and the screen; the
    // picture with its own (canvas, stroke layers, paper, pen buffer), its path, history,
    // pen and paper.
    OwnedSurface skinImage;
    Picture picture;
    OwnedSurface screenBuffer;

    // The stroke's moving average, reset at each stroke's first point.
    Smoother smoother;

    // Crash recovery: the journal the picture's steps go to.
    RecoveryJournal journal;
    // What the strips last showed of undo and redo.
    bool shownCanUndo = false;
    bool shownCanRedo = false;

    // Desktop habits: the tablet pen's eraser end in use, the space bar held (a drag then
    // pans), a pan drag in progress with the hand mode it borrowed the hand from, and the
    // pointer shape last told to the platform (-1: none yet).
    bool eraserEnd = false;
    bool panKeyHeld = false;
    bool panDrag = false;
    int32_t panSavedHand = 0;
    int shownCursor = -1;
    std::string shownTitle;

    // Settings changed since the store was last written, when that was (the platform's
    // clock), and whether a failed write was told.
    bool settingsPending = false;
    bool settingsTimerRunning = false;
    int64_t settingsWrittenAt = INT64_MIN / 2;
    bool settingsFailureTold = false;
    // The picture on the canvas was restored at start (the command line's picture then
    // asks before replacing it).
    bool restoredAtStart = false;

    // ---- app/: creation, shutdown, window messages ---------------------------------------
    // Window create message; false only when the frame's own creation fails.
    bool OnCreate();
    void OnInitialUpdate();
    void OnDestroy();
    void ShutdownView();
    void EnterFullScreen(bool report = true);
    void LeaveFullScreen(bool report = true);
    void OnKeyDown(uint32_t code, unsigned modifiers = 0);
    void OnKeyUp(uint32_t code, unsigned modifiers = 0);
    // The actions of the seven bindings other than the hold keys, and the shortcuts
    // (panel/keys.cpp); true when the key acted.
    bool ActOnBinding(uint32_t code, unsigned modifiers);
    bool ActOnShortcut(uint32_t code, unsigned modifiers);
    // Darker (-1) or lighter (+1): the colour density one step, within -10..+10.
    void StepDensity(int step);
    // Ctrl+C and Ctrl+V: the whole picture to the clipboard, a picture from it.
    bool CopyPicture();
    bool PastePicture();
    void OnSetFocus();
    void OnKillFocus();
    void OnTimer(int id);
    void ReadSettings();
    // Writes the store now; false when the platform could not (told once a session).
    bool WriteSettings();
    // A setting changed (a dialog's OK): the store is written soon, at most once a second
    // and never while a stroke is drawn, so that a crash does not lose it.
    void SettingsChanged();
    // The pending write, once its moment has come (the settings timer fell due, a stroke
    // ended).
    void WritePendingSettings();
    // Shows string table message id; answers Yes/No or Ok.
    MsgAnswer Message(int id, MsgButtons buttons);
    // An Ok message with a detail on a line of its own (a folder, a reason).
    void MessageWithDetail(int id, const std::string& detail);
    // The picture's file path (UTF-8).
    const std::string& FilePath() const { return picture.Path(); }
    // The default picture path: the pictures folder followed by "untitled.bmp".
    std::string DefaultPicturePath() const;

    // ---- app/ViewStylus.cpp: the pen, strokes, stylus input --------------------------------
    void SelectPen(int index, bool refreshStatus);
    // Whether strokes erase now: the eraser toggle or a tablet pen's eraser end.
    bool Erasing() const { return eraser != 0 || eraserEnd; }
    void OnPenDown(int x, int y);
    // A move, with the buffered points (quarter pixels) collected since the last one;
    // count -1 when the platform could not say.
    void OnPenMove(int x, int y, const PenPoint* points, int count);
    void OnPenUp(int x, int y);
    // A stroke's next point (or a hand drag's), at screen point (x, y); c: the picture
    // point it stands for.
    void DrawTo(int x, int y);
    void DrawTo(int x, int y, IntPoint c);

    // ---- app/ViewDesktop.cpp: wheel, pan drag, right-click pick, pen ends, pointer -------
    void OnPenEraserEnd(bool inUse);
    void OnWheel(int x, int y, int steps);
    void OnPanDown(int x, int y);
    void OnPanMove(int x, int y);
    void OnPanUp(int x, int y);
    void OnPickColourAt(int x, int y);
    // Tells the platform the pointer shape for the tool a press would use now.
    void UpdateCursor();
    // The window's title: the picture's name and whether it has unsaved changes
    // ("*sketch.png - .:Vellum:."), or the program's name alone for an untitled picture
    // without changes; told to the platform when it changes.
    std::string WindowTitle() const;
    void UpdateTitle();

    // ---- app/ViewHistory.cpp: undo and redo ------------------------------------------------
    // Each takes the last step back, or the next one forward, and shows what changed; they
    // do nothing while a stroke is in progress or with nothing to undo or redo.
    void Undo();
    void Redo();
    // A step was taken: the undo controls follow, and a journal failure is told.
    void AfterStep();
    // At start: the recovery place, and the offer of a picture a session left unsaved.
    // True when a picture was restored.
    bool RecoverAtStart();
    // Tells the user, once a session, that the journal cannot be written.
    void TellJournalFailure();
    // Redraws the undo and redo controls of the strips when what they show changed.
    void UpdateUndoControls();


    // ---- app/ViewScreen.cpp: composing and showing the screen ---------------------------
    ScreenGeometry Geometry() const;
    // Rebuilds a rectangle of the screen and shows it; -1 sizes mean the whole window.
    void RefreshRect(int x, int y, int w, int h);
    // The zoomed canvas alone, shown whole (a hand drag).
    void PresentWholeView();
    // The window asks for a rectangle again (an expose): painted from the screen as it is.
    void OnPaint(int x, int y, int w, int h);
    // The window's client area changed size: the screen follows, the picture stays.
    void OnResize(int width, int height);
    void ClampOrigin();
    // Shows a box of the picture as the view shows it (zoomed, or 1:1 in full view).
    void RefreshCanvasBox(Box box);
    // The picture point under a screen point of the drawing area (outside the picture on
    // the desk).
    IntPoint PicturePoint(int x, int y) const;
    // Whether the picture reaches beyond what the screen shows of it at this zoom.
    bool Scrollable() const;

    // ---- panel/: status bar, tool panel, commands, colours, pens and papers --------------
    void DrawStatusBar(int item, bool refresh);
    void DrawToolPanel(bool refresh);
    bool IsOnCanvas(int x, int y) const;
    void HitStatusBar(int x);
    void HitToolPanel(int x, int y);
    void PickPaletteColour(int x, int y);
    int BarY() const { return Geometry().BarY(); }
    int PanelY() const { return Geometry().PanelY(); }
    // Shows the level zoomShift, come from the level `from`: the picture point at the
    // screen's centre stays there (from == zoomShift: the origin set already stays).
    void ApplyZoom(bool redrawIcon, int from);
    // The zoom key's tap: the next level of the cycle 1, 2, 4, 8, centred on (cx, cy).
    void ZoomAtPoint(int cx, int cy);
    // A level of -3..3 with the picture point under screen point (x, y) kept there (the
    // wheel at the pointer, the keys at the screen's centre).
    void ZoomTo(int shift, int x, int y);
    // The whole picture at the largest level that shows it whole.
    void ZoomToFit();
    void PickCanvasColour(int cx, int cy);
    void ExitCommand();
    // A close the user asked for through the window's own close button.
    void OnUserClose();
    void ShowAbout();
    void StylusSettingsCommand();
    void ColourEntryCommand();
    void KeySettingsCommand();
    // The picture size dialog, and the new size as one step.
    void PictureSizeCommand();
    // Runs a modal dialog between LeaveFullScreen and EnterFullScreen.
    int RunFramedDialog(CDialog& dialog);
    void SetColour(uint32_t colour, bool update);
    uint32_t DisplayColour() const;
    bool LoadCustomPalette(const std::string& path);
    void SelectPaper(bool update);
    bool LoadCustomPen(const std::string& path);
    bool LoadCustomPaper(const std::string& path);

    // ---- app/ViewFiles.cpp: file commands, loading and fitting ----------------------------
    // Each returns true when a file was written or loaded.
    bool NewPicture();
    bool OpenPicture(const std::string& path);
    bool SavePictureAs();
    bool SavePicture();
    // Ctrl+S: a named picture is written at once, without questions or the "Saved" box;
    // an untitled one is Save As.
    bool QuickSave();
    // quiet: no box on success (a failure is always told).
    bool WritePicture(bool quiet = false);
    // A picture file read whole; false (and told) when it cannot be.
    bool LoadPicture(const std::string& path, OwnedSurface& loaded);
    // A loaded picture (a file's, the clipboard's) made ready to become the canvas: as it
    // is, or with the setting "fitpicture" fitted onto a screen-sized canvas with the
    // fitting questions. False (and told) when it cannot be.
    bool TakeLoadedPicture(OwnedSurface& loaded);
};

// The process-wide shutdown-done flag: ShutdownView runs at most once per process.
extern bool gShutdownDone;

}  // namespace vellum
