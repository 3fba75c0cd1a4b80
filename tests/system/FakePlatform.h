#pragma once
// The platform the system tests (and the stroke benchmark) run the program on. Answers
// come from queues the test fills; everything the program shows is recorded, and the
// window is a surface that receives exactly the presented rectangles, as a real window
// would. The skin comes from the build unless the test names another program folder;
// libraries load from libraryDir (none when it is empty). It needs no test framework:
// what the test did not prepare for goes to Fault, which the tests' platform makes a
// failure (ViewTest.h).
//
// Besides the separate records, every message box, full-screen call and chooser goes
// into one event list, in order, in the transcript's words:
//   fullscreen 0x05 / fullscreen 0x0A
//   msgbox 61210 / msgbox - "Saved BMP"      (fixed English texts with their text)
//   chooser save "INITIAL" filter=1 -> "PATH" 2 / ... -> cancel
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "dialogs/Dialog.h"
#include "engine/pixel/PixelOps.h"
#include "imageio/formats/ChooserRules.h"
#include "app/ViewInput.h"
#include "seam/Platform.h"
#include "platform/common/DynamicLibrary.h"
#include "platform/common/RecoveryFolder.h"

namespace vellum::fake {

struct Rect {
    int x, y, w, h;
    bool operator==(const Rect&) const = default;
};

struct ChooserPick {
    std::string path;  // UTF-8; empty: the user cancels
    uint32_t filterIndex = 1;
};

class FakePlatform;

// One dialog as the script sees it: its handlers, and posted close requests handled
// once the handler that posted them has returned, as a message loop would.
class ScriptedDialog : public DialogHost {
public:
    ScriptedDialog(CDialog& d, FakePlatform& p) : dialog(d), platform(p) {}

    void Set(int id, const std::string& text) { Act([&] { dialog.OnEditChanged(Index(id), text); }); }
    void Click(int id) { Act([&] { dialog.OnClicked(Index(id)); }); }
    void Spin(int id, int count) { Act([&] { dialog.OnSpin(Index(id), count); }); }
    void KeyUp(uint32_t code) { Act([&] { dialog.OnKeyUp(code); }); }
    void Close() { Act([&] { dialog.OnCloseRequest(); }); }

    const std::string& Text(int id) const { return dialog.State(Index(id)).text; }
    int Checked(int id) const { return dialog.State(Index(id)).checked; }
    bool Visible(int id) const { return dialog.State(Index(id)).visible; }
    bool Ended() const { return ended; }

    // ---- DialogHost ---------------------------------------------------------------------
    void ControlChanged(int) override {}
    void SetFocus(int index) override { focus.push_back(dialog.ControlAt(index).id); }
    void BringToTop() override { ++broughtToTop; }
    void EndDialog(int code) override {
        if (ended) return;
        ended = true;
        endCode = code;
    }
    void PostCloseRequest() override { closePosted = true; }
    MsgAnswer ShowMessage(int id, const std::string& text, MsgButtons buttons) override;

    CDialog& dialog;
    FakePlatform& platform;
    bool ended = false;
    int endCode = 0;
    bool closePosted = false;
    int broughtToTop = 0;
    std::vector<int> focus;  // control ids, in the order the dialog focused them

private:
    int Index(int id) const;
    template <class F>
    void Act(F f);
};

// A dialog's controls as they stood at one moment.
struct DialogSnapshot {
    int id = 0;
    std::vector<ControlState> states;
    std::vector<int> focus;
    int broughtToTop = 0;
    int endCode = 0;

    const ControlState& Control(const CDialog& d, int controlId) const {
        return states[size_t(d.IndexOf(controlId))];
    }
};

class FakePlatform : public Platform {
public:
    using Script = std::function<void(ScriptedDialog&)>;

    // ---- What the test sets ---------------------------------------------------------------
    int clientWidth = 240;
    int clientHeight = 320;
    std::string programDir = VELLUM_BIN_DIR "/";  // ends in '/'; the skin is looked for here
    std::string libraryDir;                       // where libraries load from; empty: nowhere
    std::string picturesDir = "/nonexistent-pictures/";
    std::string commandLine;
    std::string languageId = "0411";
    std::string settingsText;
    bool hasSettings = false;
    // Strict: an unanswered question or chooser, or a dialog without a script, is a fault.
    // Otherwise questions answer No, choosers cancel and dialogs close by their caption.
    bool strict = false;
    // The benchmark keeps no list: it would allocate during a stroke.
    bool keepPresents = true;

    std::deque<MsgAnswer> answers;
    std::deque<ChooserPick> picks;
    // Each modal dialog takes the next script, which plays the user's part through the
    // dialog's handlers (nested dialogs take the scripts after it).
    std::deque<Script> scripts;
    // What the next stylus move brings (MovePen, ViewTest.h): these buffered points, then
    // cleared; none to be had (-1) after failNextQuery.
    std::vector<PenPoint> bufferedPoints;
    bool failNextQuery = false;

    // ---- What the program showed ----------------------------------------------------------
    std::vector<std::string> events;
    std::vector<int> messages;  // ids in the order shown (0 for fixed English texts)
    std::vector<std::string> messageTexts;
    std::vector<unsigned> fullScreenCalls;
    std::vector<Rect> presents;
    OwnedSurface window;  // what the window shows
    std::vector<std::pair<int, int>> timers;  // id, milliseconds
    int closePosts = 0;
    std::vector<int> dialogs;              // template ids in the order run
    std::vector<std::string> dialogTexts;  // every control's text of the last dialog, as built
    std::vector<DialogSnapshot> opened;    // every dialog just after its initialisation
    std::vector<DialogSnapshot> closed;    // ... and as it ended
    int platformDialogs = 0;               // the platform's own open and save dialogs shown
    OpenFileName lastRequest{};            // the record as the platform's dialog last saw it
    std::u16string lastInitialName;
    std::vector<std::string> libraryNames;  // every name asked for, in order
    int libraryLoads = 0;                   // successful loads
    int libraryFrees = 0;
    int settingsReads = 0;
    int settingsWrites = 0;

    // Clears what the program showed so far (not the counts of posted closes and of the
    // settings store's reads and writes, nor what the window shows).
    void Forget() {
        events.clear();
        messages.clear();
        messageTexts.clear();
        fullScreenCalls.clear();
        presents.clear();
        timers.clear();
        dialogs.clear();
        dialogTexts.clear();
        opened.clear();
        closed.clear();
        platformDialogs = 0;
        libraryNames.clear();
        libraryLoads = 0;
        libraryFrees = 0;
    }

    // Something the test did not prepare for. Without a test framework to fail, it is
    // fatal.
    virtual void Fault(const std::string& what) {
        std::fprintf(stderr, "fake platform: %s\n", what.c_str());
        std::abort();
    }

    // ---- Platform ---------------------------------------------------------------------------
    bool ActivateRunningInstance(const std::string&) override { return false; }

    MsgAnswer ShowMessage(int id, const std::string& text, MsgButtons buttons) override {
        messages.push_back(id);
        messageTexts.push_back(text);
        events.push_back(id ? "msgbox " + std::to_string(id) : "msgbox - \"" + text + "\"");
        if (buttons == MsgButtons::Ok) return MsgAnswer::Ok;
        if (answers.empty()) {
            if (strict) Fault("unanswered question " + std::to_string(id));
            return MsgAnswer::No;
        }
        const MsgAnswer a = answers.front();
        answers.pop_front();
        return a;
    }

    void GetScreenSize(int& w, int& h) override { w = clientWidth, h = clientHeight; }
    void MoveFrame(int, int, int, int) override {}
    bool ShellFullScreen(unsigned flags) override {
        fullScreenCalls.push_back(flags);
        char text[32];
        std::snprintf(text, sizeof text, "fullscreen 0x%02X", flags);
        events.push_back(text);
        return true;
    }
    void GetClientSize(int& w, int& h) override { w = clientWidth, h = clientHeight; }
    void SetWindowTitle(const std::string&) override {}
    void PostClose() override { ++closePosts; }
    void SetTimer(int id, int ms) override { timers.push_back({id, ms}); }
    void KillTimer(int) override {}

    void PresentRect(const PixelSurface& screen, int x, int y, int w, int h) override {
        if (keepPresents) presents.push_back({x, y, w, h});
        if (!window.Exists() || window->width != screen.width || window->height != screen.height)
            window.Allocate(screen.width, screen.height);
        CopyRectRop(*window, x, y, w, h, screen, x, y, SRCCOPY);
    }

    int PlatformFileDialog(int mode, OpenFileName& request) override {
        ++platformDialogs;
        lastRequest = request;
        lastInitialName = request.file ? std::u16string(request.file) : std::u16string();
        const std::string event = std::string("chooser ") + (mode == 0 ? "open" : "save") + " \"" +
                                  Utf16ToUtf8(lastInitialName) +
                                  "\" filter=" + std::to_string(request.filterIndex);
        if (picks.empty()) {
            if (strict) Fault("unanswered chooser");
            events.push_back(event + " -> cancel");
            return 0;
        }
        const ChooserPick pick = picks.front();
        picks.pop_front();
        const std::u16string chosen = Utf8ToUtf16(pick.path);
        const bool fits = request.file && chosen.size() < request.maxFile;
        if (!pick.path.empty() && !fits) Fault("the chosen path does not fit the request's buffer");
        if (pick.path.empty() || !fits) {
            events.push_back(event + " -> cancel");
            return 0;
        }
        for (size_t i = 0; i <= chosen.size(); ++i) request.file[i] = i < chosen.size() ? chosen[i] : u'\0';
        request.filterIndex = pick.filterIndex;
        events.push_back(event + " -> \"" + pick.path + "\" " + std::to_string(pick.filterIndex));
        return 1;
    }

    void* LoadLibrary(const std::string& name) override {
        libraryNames.push_back(name);
        if (libraryDir.empty()) return nullptr;
        void* library = OpenLibrary(libraryDir, name);
        if (library) ++libraryLoads;
        return library;
    }
    void* FindEntry(void* library, const char* entry) override { return FindLibraryEntry(library, entry); }
    void FreeLibrary(void* library) override {
        if (library) ++libraryFrees;
        CloseLibrary(library);
    }

    std::string UserLanguageId() override { return languageId; }

    int RunDialog(CDialog& dialog) override;

    bool ReadSettingsText(std::string& text) override {
        ++settingsReads;
        text = settingsText;
        return hasSettings;
    }
    bool WriteSettingsText(const std::string& text) override {
        ++settingsWrites;
        settingsText = text;
        hasSettings = true;
        return true;
    }

    // A recovery folder, when the test wants one (written as each step ends).
    std::string recoveryDir;
    std::unique_ptr<RecoveryFolder> recovery;
    RecoveryStore* OpenRecovery(std::string& problem) override {
        if (recoveryDir.empty()) return nullptr;
        recovery = RecoveryFolder::Open(recoveryDir, false, problem);
        return recovery.get();
    }

    std::string ProgramDir() override { return programDir; }
    std::string PicturesDir() override { return picturesDir; }
    std::string CommandLine() override { return commandLine; }

private:
    static DialogSnapshot Snapshot(const CDialog& dialog, const ScriptedDialog& host) {
        DialogSnapshot s;
        s.id = dialog.Id();
        for (int i = 0; i < dialog.ControlCount(); ++i) s.states.push_back(dialog.State(i));
        s.focus = host.focus;
        s.broughtToTop = host.broughtToTop;
        s.endCode = host.endCode;
        return s;
    }
};

inline int FakePlatform::RunDialog(CDialog& dialog) {
    dialogs.push_back(dialog.Id());
    dialogTexts.clear();
    for (int i = 0; i < dialog.ControlCount(); ++i) dialogTexts.push_back(dialog.State(i).text);
    ScriptedDialog host(dialog, *this);
    dialog.Attach(&host);
    dialog.OnInitDialog();
    opened.push_back(Snapshot(dialog, host));
    if (scripts.empty()) {
        if (strict) Fault("dialog " + std::to_string(dialog.Id()) + " opened with no script queued");
        host.Close();
    } else {
        Script script = std::move(scripts.front());
        scripts.pop_front();
        script(host);
    }
    if (!host.ended) {
        Fault("dialog " + std::to_string(dialog.Id()) + " still open after its script");
        host.EndDialog(2);
    }
    dialog.OnDestroy();
    dialog.Attach(nullptr);
    closed.push_back(Snapshot(dialog, host));
    return host.endCode;
}

inline MsgAnswer ScriptedDialog::ShowMessage(int id, const std::string& text, MsgButtons buttons) {
    return platform.ShowMessage(id, text, buttons);
}

inline int ScriptedDialog::Index(int id) const {
    const int index = dialog.IndexOf(id);
    if (index < 0)
        platform.Fault("dialog " + std::to_string(dialog.Id()) + " has no control " + std::to_string(id));
    return index < 0 ? 0 : index;
}

template <class F>
void ScriptedDialog::Act(F f) {
    if (ended) {
        platform.Fault("dialog " + std::to_string(dialog.Id()) + " already ended");
        return;
    }
    f();
    while (closePosted && !ended) {
        closePosted = false;
        dialog.OnCloseRequest();
    }
}

}  // namespace vellum::fake
