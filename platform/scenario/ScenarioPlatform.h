#pragma once
// The scripted platform: the machine the program finds is set by the script, every
// question is answered from the script's queues, and everything the program shows is
// printed as one transcript line on standard output.
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/ViewInput.h"
#include "engine/pixel/Surface.h"
#include "seam/Platform.h"

namespace vellum {

// A script line, kept with the answers it queued so that a late error can name it.
struct ScriptLine {
    int number = 0;
    std::string text;
};

// Script error: the message names the line; exit code 2.
[[noreturn]] void FailScript(const ScriptLine& line, const std::string& why);
// The program asked something the script does not answer: the question is printed as
// the transcript's last line (nothing is printed for "": it is already last); exit code 3.
[[noreturn]] void FailUnanswered(const std::string& question, const std::string& why);
// How those two end the process: std::exit by default. A driver that runs scripts in a
// forked child of its own (the fuzz harness) ends it with _exit instead, past its
// parent's exit handlers. Must not return.
extern void (*gEndScript)(int code);

struct MessageAnswerEntry {
    ScriptLine line;
    MsgAnswer answer;
};

struct ChooserAnswerEntry {
    ScriptLine line;
    bool cancel = false;
    std::string path;
    uint32_t index = 1;
};

struct DialogAction {
    enum Kind { Set, Check, Spin, Click, KeyDown, KeyUp, Close } kind;
    int control = -1;
    int64_t number = 0;
    std::string text;
    std::string source;  // the action as written
};

struct DialogAnswerEntry {
    ScriptLine line;
    int id = 0;
    std::vector<DialogAction> actions;
};

class ScenarioPlatform : public Platform {
public:
    // ---- The machine, set before start ----------------------------------------------
    int screenWidth = 240;
    int screenHeight = 320;
    int pictureWidth = 0;                    // `canvas W H`; 0: the screen's size
    int pictureHeight = 0;
    std::string languageId = "0411";
    std::string programDir;                  // ends in '/'
    std::string picturesDir = "/My Documents/";
    std::string commandLine;
    bool instanceRunning = false;
    bool fullScreenFails = false;
    bool trace = false;
    std::string settingsFile;                // "" for a store in memory
    std::string stateDir;                    // `statedir`: the recovery folder
    std::vector<std::pair<std::string, std::string>> presets;  // `set NAME TEXT`

    // ---- Answers and input, queued by the script --------------------------------------
    std::deque<MessageAnswerEntry> messageAnswers;
    std::deque<ChooserAnswerEntry> chooserAnswers;
    std::deque<DialogAnswerEntry> dialogAnswers;
    std::vector<PenPoint> queuedPoints;      // `points`: for the next move
    bool pointsQueued = false;
    // The system clipboard's picture (`clipboard`), and the pointer last shown.
    OwnedSurface clipboard;
    std::string cursor = "pencil";
    bool pointsFail = false;                 // `points fail`: the next move brings none

    // ---- Run time ----------------------------------------------------------------------
    // The store's text as the program sees it, from the file and the presets.
    void ComposeStore();
    const std::string& StoreText() const { return storeText; }
    bool StoreExists() const { return storeExists; }

    // The buffered points a move to (x, y) brings: those queued by `points`, else the
    // one point (4x, 4y); count -1 after `points fail`. Valid until the next call.
    const PenPoint* TakeMovePoints(int x, int y, int& count);

    // Advances the virtual clock; fires each timer that falls due, in order, through
    // fire(id). fire returns false when the program has ended.
    template <typename Fire>
    void Wait(int64_t milliseconds, Fire fire);

    // What the window shows: the client area, painted when it is first shown, then
    // only what is presented.
    OwnedSurface window;
    void ShowWindow();
    // The client area becomes width x height (`resize`): the window shows nothing new
    // until the program presents it.
    void ResizeWindow(int width, int height);

    bool TakePostedClose() {
        const bool posted = closePosted;
        closePosted = false;
        return posted;
    }

    // A transcript line.
    void Print(const std::string& line);
    // Lines printed so far.
    int64_t PrintCount() const { return printCount; }

    // ---- Platform ----------------------------------------------------------------------
    bool ActivateRunningInstance(const std::string& title) override;
    MsgAnswer ShowMessage(int id, const std::string& text, MsgButtons buttons) override;
    void GetScreenSize(int& width, int& height) override;
    void MoveFrame(int x, int y, int width, int height) override;
    bool ShellFullScreen(unsigned flags) override;
    void GetClientSize(int& width, int& height) override;
    bool StartingPictureSize(int& width, int& height) override;
    void SetWindowTitle(const std::string& title) override;
    void PostClose() override;
    void SetTimer(int id, int milliseconds) override;
    void KillTimer(int id) override;
    int64_t Milliseconds() override { return now; }
    void PresentRect(const PixelSurface& screen, int x, int y, int w, int h) override;
    void PaintRect(const PixelSurface& screen, int x, int y, int w, int h) override;
    int PlatformFileDialog(int mode, OpenFileName& request) override;
    void* LoadLibrary(const std::string& name) override;
    void* FindEntry(void* library, const char* entry) override;
    void FreeLibrary(void* library) override;
    std::string UserLanguageId() override;
    int RunDialog(CDialog& dialog) override;
    bool ReadSettingsText(std::string& text) override;
    bool WriteSettingsText(const std::string& text) override;
    void ShowCursor(CursorKind kind) override;
    bool SetClipboardPicture(const PixelSurface& picture) override;
    bool GetClipboardPicture(OwnedSurface& picture) override;
    std::string ProgramDir() override;
    std::string PicturesDir() override;
    std::string CommandLine() override;
    RecoveryStore* OpenRecovery(std::string& problem) override;

private:
    std::unique_ptr<RecoveryStore> recovery;
    struct Timer {
        int id;
        int64_t period;
        int64_t due;
        int64_t order;  // timers due at the same moment fire in the order they were set
    };
    std::vector<Timer> timers;
    int64_t now = 0;
    int64_t timerOrder = 0;
    int64_t printCount = 0;

    std::vector<PenPoint> movePoints;
    bool closePosted = false;
    std::string storeText;
    bool storeExists = false;
};

template <typename Fire>
void ScenarioPlatform::Wait(int64_t milliseconds, Fire fire) {
    const int64_t until = now + milliseconds;
    for (;;) {
        Timer* next = nullptr;
        for (Timer& t : timers)
            if (t.due <= until && (!next || t.due < next->due || (t.due == next->due && t.order < next->order)))
                next = &t;
        if (!next) break;
        now = next->due;
        next->due += next->period;  // re-armed before the handler, which may kill it
        if (!fire(next->id)) return;
    }
    now = until;
}

}  // namespace vellum
