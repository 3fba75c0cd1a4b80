#include "platform/scenario/ScenarioPlatform.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/ViewInspection.h"
#include "engine/pixel/PixelOps.h"
#include "seam/OpenFileName.h"
#include "imageio/formats/ChooserRules.h"
#include "platform/common/DynamicLibrary.h"
#include "platform/common/RecoveryFolder.h"
#include "platform/common/SettingsFile.h"

namespace vellum {

namespace {


// Message texts on one transcript line.
std::string OneLine(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\n')
            out += "\\n";
        else if (c == '\r')
            out += "\\r";
        else
            out += c;
    }
    return out;
}

std::string Hex2(unsigned value) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "0x%02X", value);
    return buffer;
}

}  // namespace

void (*gEndScript)(int code) = nullptr;

void FailScript(const ScriptLine& line, const std::string& why) {
    std::fflush(stdout);
    std::fprintf(stderr, "line %d: %s: %s\n", line.number, why.c_str(), line.text.c_str());
    if (gEndScript) gEndScript(2);
    std::exit(2);
}

void FailUnanswered(const std::string& question, const std::string& why) {
    if (!question.empty()) std::printf("%s\n", question.c_str());
    std::fflush(stdout);
    std::fprintf(stderr, "unanswered: %s\n", why.c_str());
    if (gEndScript) gEndScript(3);
    std::exit(3);
}

void ScenarioPlatform::Print(const std::string& line) {
    std::printf("%s\n", line.c_str());
    ++printCount;
}

void ScenarioPlatform::ComposeStore() {
    storeText.clear();
    storeExists = !settingsFile.empty() && ReadStoreFile(settingsFile, storeText);
    if (presets.empty()) return;
    for (const auto& [name, value] : presets) storeText = WithSetting(storeText, name, value);
    storeExists = true;
}

const PenPoint* ScenarioPlatform::TakeMovePoints(int x, int y, int& count) {
    if (pointsQueued)
        movePoints = queuedPoints;
    else
        movePoints.assign(1, PenPoint{4 * x, 4 * y});
    queuedPoints.clear();
    pointsQueued = false;
    count = int(movePoints.size());
    if (pointsFail) {
        pointsFail = false;
        count = -1;
    }
    return movePoints.data();
}

void ScenarioPlatform::ShowWindow() {
    if (!window.Exists() && screenWidth > 0 && screenHeight > 0) window.Allocate(screenWidth, screenHeight);
}

void ScenarioPlatform::ResizeWindow(int width, int height) {
    screenWidth = width;
    screenHeight = height;
    window.Release();
    ShowWindow();
}

// ---- Platform -------------------------------------------------------------------------

bool ScenarioPlatform::ActivateRunningInstance(const std::string&) { return instanceRunning; }

MsgAnswer ScenarioPlatform::ShowMessage(int id, const std::string& text, MsgButtons buttons) {
    const bool yesNo = buttons == MsgButtons::YesNo;
    const std::string question = "msgbox " + (id ? std::to_string(id) : std::string("-")) +
                                 (yesNo ? " yesno" : " ok") + " \"" + OneLine(text) + "\"";
    if (messageAnswers.empty()) FailUnanswered(question, "no answer queued for this message box");
    const MessageAnswerEntry entry = messageAnswers.front();
    const bool fits = yesNo ? entry.answer != MsgAnswer::Ok : entry.answer == MsgAnswer::Ok;
    if (!fits)
        FailUnanswered(question, "line " + std::to_string(entry.line.number) + " (" +
                                     entry.line.text + ") does not answer " +
                                     (yesNo ? "a yes/no box" : "an OK box"));
    messageAnswers.pop_front();
    const char* word = entry.answer == MsgAnswer::Yes ? "yes" : entry.answer == MsgAnswer::No ? "no" : "ok";
    Print(question + " -> " + word);
    return entry.answer;
}

void ScenarioPlatform::GetScreenSize(int& width, int& height) {
    width = screenWidth;
    height = screenHeight;
}

void ScenarioPlatform::MoveFrame(int, int, int, int) {}

bool ScenarioPlatform::ShellFullScreen(unsigned flags) {
    Print("fullscreen " + Hex2(flags) + (fullScreenFails ? " failed" : " ok"));
    return !fullScreenFails;
}

void ScenarioPlatform::GetClientSize(int& width, int& height) {
    width = screenWidth;
    height = screenHeight;
}

bool ScenarioPlatform::StartingPictureSize(int& width, int& height) {
    if (pictureWidth < 1 || pictureHeight < 1) return false;
    width = pictureWidth;
    height = pictureHeight;
    return true;
}

void ScenarioPlatform::SetWindowTitle(const std::string& title) {
    Print("title \"" + OneLine(title) + "\"");
}

void ScenarioPlatform::PostClose() {
    Print("close posted");
    closePosted = true;
}

void ScenarioPlatform::SetTimer(int id, int milliseconds) {
    Print("timer " + std::to_string(id) + " set " + std::to_string(milliseconds));
    // A zero period would fire for ever within one wait.
    const int64_t period = milliseconds > 0 ? milliseconds : 1;
    for (Timer& t : timers)
        if (t.id == id) {
            t.period = period;
            t.due = now + period;
            return;
        }
    timers.push_back(Timer{id, period, now + period, timerOrder++});
}

void ScenarioPlatform::KillTimer(int id) {
    Print("timer " + std::to_string(id) + " killed");
    for (size_t i = 0; i < timers.size(); ++i)
        if (timers[i].id == id) {
            timers.erase(timers.begin() + long(i));
            return;
        }
}

void ScenarioPlatform::PresentRect(const PixelSurface& screen, int x, int y, int w, int h) {
    if (trace)
        Print("present " + std::to_string(x) + " " + std::to_string(y) + " " + std::to_string(w) +
              " " + std::to_string(h));
    PaintRect(screen, x, y, w, h);
}

void ScenarioPlatform::PaintRect(const PixelSurface& screen, int x, int y, int w, int h) {
    if (!screen.Exists()) return;
    ShowWindow();
    if (!window.Exists()) return;
    // Negative sizes reach to the window's edge.
    if (w < 0) w = window->width - x;
    if (h < 0) h = window->height - y;
    CopyRectRop(*window, x, y, w, h, screen, x, y, SRCCOPY);
}

int ScenarioPlatform::PlatformFileDialog(int mode, OpenFileName& request) {
    size_t capacity = request.maxFile ? request.maxFile : size_t(kFileBufferChars);
    if (capacity > size_t(kFileBufferChars)) capacity = kFileBufferChars;
    std::u16string initialWide;
    for (size_t i = 0; request.file && i < capacity && request.file[i]; ++i) initialWide += request.file[i];
    const std::string initial = Utf16ToUtf8(initialWide);
    const std::string question = std::string("chooser ") + (mode == 1 ? "save" : "open") + " \"" +
                                 initial + "\" filter=" + std::to_string(request.filterIndex);
    if (chooserAnswers.empty()) FailUnanswered(question, "no answer queued for this file chooser");
    const ChooserAnswerEntry entry = chooserAnswers.front();
    chooserAnswers.pop_front();
    if (entry.cancel) {
        Print(question + " -> cancel");
        return 0;
    }
    // The chosen path must fit the file buffer with its NUL, as a real chooser's must.
    const std::u16string wide = Utf8ToUtf16(entry.path);
    size_t limit = capacity < size_t(kFileBufferSize) ? capacity : size_t(kFileBufferSize);
    if (!request.file || wide.size() + 1 > limit)
        FailScript(entry.line, "the path does not fit the chooser's file buffer of " +
                                   std::to_string(limit) + " characters");
    for (size_t i = 0; i < wide.size(); ++i) request.file[i] = wide[i];
    request.file[wide.size()] = 0;
    request.filterIndex = entry.index;
    Print(question + " -> \"" + entry.path + "\" " + std::to_string(entry.index));
    return 1;
}

void* ScenarioPlatform::LoadLibrary(const std::string& name) { return OpenLibrary(programDir, name); }

void* ScenarioPlatform::FindEntry(void* library, const char* entry) {
    return FindLibraryEntry(library, entry);
}

void ScenarioPlatform::FreeLibrary(void* library) { CloseLibrary(library); }

std::string ScenarioPlatform::UserLanguageId() { return languageId; }

bool ScenarioPlatform::ReadSettingsText(std::string& text) {
    text = storeText;
    return storeExists;
}

bool ScenarioPlatform::WriteSettingsText(const std::string& text) {
    if (!settingsFile.empty() && !ReplaceStoreFile(settingsFile, text)) {
        std::fprintf(stderr, "the settings file %s could not be written\n", settingsFile.c_str());
        return false;
    }
    storeText = text;
    storeExists = true;
    Print("settings written");
    return true;
}

std::string ScenarioPlatform::ProgramDir() { return programDir; }

namespace {

const char* CursorName(CursorKind kind) {
    switch (kind) {
        case CursorKind::Pencil: return "pencil";
        case CursorKind::Eraser: return "eraser";
        case CursorKind::Eyedropper: return "eyedropper";
        case CursorKind::Zoom: return "zoom";
        case CursorKind::Hand: return "hand";
    }
    return "pencil";
}

bool CopySurface(const PixelSurface& from, OwnedSurface& to) {
    if (!from.Exists() || !to.Allocate(from.width, from.height)) return false;
    std::memcpy(to->bytes, from.bytes, size_t(from.byteSize));
    return true;
}

}  // namespace

void ScenarioPlatform::ShowCursor(CursorKind kind) { cursor = CursorName(kind); }

bool ScenarioPlatform::SetClipboardPicture(const PixelSurface& picture) {
    if (!CopySurface(picture, clipboard)) return false;
    Print("clipboard set " + std::to_string(picture.width) + " " + std::to_string(picture.height));
    return true;
}

bool ScenarioPlatform::GetClipboardPicture(OwnedSurface& picture) {
    return clipboard.Exists() && CopySurface(*clipboard, picture);
}

std::string ScenarioPlatform::PicturesDir() { return picturesDir; }

std::string ScenarioPlatform::CommandLine() { return commandLine; }

RecoveryStore* ScenarioPlatform::OpenRecovery(std::string& problem) {
    // Written as each step ends, so that a kill after a line finds it on the disk.
    std::unique_ptr<RecoveryFolder> folder = RecoveryFolder::Open(stateDir, false, problem);
    RecoveryStore* store = folder.get();
    recovery = std::move(folder);
    return store;
}

}  // namespace vellum
