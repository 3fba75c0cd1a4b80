#pragma once
// The seam between the program and the outside world, outbound: what the system asks of
// a front end. The system calls the platform only through this interface; platform/qt
// makes it real on a desktop, platform/web in a browser's page, platform/scenario runs it
// from a script. What a front end tells the program comes in through app/ViewInput.h.
// Nothing here knows about pens or papers.
#include <chrono>
#include <cstdint>
#include <string>

#include "seam/OpenFileName.h"
#include "seam/RecoveryStore.h"

namespace vellum {

class CDialog;
// The pixel code's surfaces, passed by reference (engine/pixel/Surface.h): the seam stands
// on nothing of the program's.
struct PixelSurface;
class OwnedSurface;

enum class MsgButtons { Ok, YesNo };
enum class MsgAnswer { Ok, Yes, No };

// What the pointer shows over the picture: the tool a press would use.
enum class CursorKind { Pencil, Eraser, Eyedropper, Zoom, Hand };

class Platform {
public:
    virtual ~Platform() = default;

    // Start-up: another instance with this window title runs; bring it to the front.
    virtual bool ActivateRunningInstance(const std::string& title) = 0;

    // Message boxes. id is the string id of the text, or 0 for a fixed English text.
    // An Ok box tells of a failure (a warning), a Yes/No box asks (a question).
    virtual MsgAnswer ShowMessage(int id, const std::string& text, MsgButtons buttons) = 0;
    // An Ok box that tells of a success (a file written).
    virtual void ShowInformation(int id, const std::string& text) { ShowMessage(id, text, MsgButtons::Ok); }

    // Full screen: the screen's size, placing the frame over it, and the shell's
    // full-screen service (false when the shell call reports failure).
    virtual void GetScreenSize(int& width, int& height) = 0;
    virtual void MoveFrame(int x, int y, int width, int height) = 0;
    virtual bool ShellFullScreen(unsigned flags) = 0;

    // The main window.
    virtual void GetClientSize(int& width, int& height) = 0;
    // The starting picture's size, where the front end was asked for one (1..8192 each);
    // false: the picture starts at the screen's size.
    virtual bool StartingPictureSize(int& width, int& height) { return false; }
    virtual void SetWindowTitle(const std::string& title) = 0;
    virtual void PostClose() = 0;
    virtual void SetTimer(int id, int milliseconds) = 0;
    virtual void KillTimer(int id) = 0;
    // A clock in milliseconds that only goes forward (the scripted platform's is virtual).
    virtual int64_t Milliseconds() {
        return std::chrono::duration_cast<std::chrono::milliseconds>(
                   std::chrono::steady_clock::now().time_since_epoch())
            .count();
    }
    // Copies the rectangle of the screen buffer to the same place in the window: what
    // the program just drew, shown now.
    virtual void PresentRect(const PixelSurface& screen, int x, int y, int w, int h) = 0;
    // The same copy when the window asked for it (an expose, the first paint).
    virtual void PaintRect(const PixelSurface& screen, int x, int y, int w, int h) {
        PresentRect(screen, x, y, w, h);
    }
    // How much memory undo may keep (bytes); the desktop program's --undo-memory.
    virtual int64_t UndoMemoryLimit() { return int64_t(128) << 20; }
    // The recovery place of this session, locked for the life of the program; null when
    // there is none (problem says why, for the user: another live session holds it, or
    // it cannot be used safely; empty where a platform keeps none). Asked once, at start.
    virtual RecoveryStore* OpenRecovery(std::string& problem) { return nullptr; }
    // The program's icon, a rectangle of picture (the skin's emblem).
    virtual void SetAppIcon(const PixelSurface& picture, int x, int y, int w, int h) {}
    // The pointer's shape over the window; told only when it changes.
    virtual void ShowCursor(CursorKind kind) {}

    // The system clipboard. Set: the whole picture, false when the clipboard refused it.
    // Get: the picture the clipboard holds (24-bit), false when it holds none.
    virtual bool SetClipboardPicture(const PixelSurface& picture) { return false; }
    virtual bool GetClipboardPicture(OwnedSurface& picture) { return false; }

    // The platform's own open (mode 0) and save (mode 1) dialogs: 1 when a file was chosen,
    // 0 when the user cancelled, -1 when the dialog failed (the save picker of a browser
    // that could not give a file).
    virtual int PlatformFileDialog(int mode, OpenFileName& request) = 0;
    // A picture file was just written at path: the platform hands it to the user where
    // the file system is not the user's own (the browser: into the picked file, or as a
    // download). False when that failed: the picture is then not saved.
    virtual bool HandOverFile(const std::string& path) { return true; }
    // A picture file the user chose was read in (loaded or refused): where files are
    // copies the platform made for the program (the browser), the copy may go now.
    virtual void PictureRead(const std::string& path) {}

    // Dynamic libraries by bare name: the program's directory first, then the library
    // search. Null when the name does not load.
    virtual void* LoadLibrary(const std::string& name) = 0;
    virtual void* FindEntry(void* library, const char* entry) = 0;
    virtual void FreeLibrary(void* library) = 0;

    // The user's default language id, four hex digits ("0411" is Japanese).
    virtual std::string UserLanguageId() = 0;

    // Runs a modal dialog from its template and returns its end code (1 OK, 2 Cancel).
    virtual int RunDialog(CDialog& dialog) = 0;

    // The settings store's text (an ini file with section [setting]): false when there
    // is none yet. Writing replaces it whole, never leaving a broken store behind.
    virtual bool ReadSettingsText(std::string& text) = 0;
    virtual bool WriteSettingsText(const std::string& text) = 0;
    // False when the store can be neither read nor written this run (a browser with its
    // site data blocked): the program starts on its defaults and says so.
    virtual bool SettingsKept() { return true; }

    // Places: the program's directory (ending in '/'), the user's pictures folder
    // (ending in '/'), and the command line given to the program (the picture path).
    virtual std::string ProgramDir() = 0;
    virtual std::string PicturesDir() = 0;
    virtual std::string CommandLine() = 0;
};

}  // namespace vellum
