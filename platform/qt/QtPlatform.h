#pragma once
// The desktop platform: a fixed-size main window whose view widget shows the emulated
// handheld screen at an integer scale, Qt's message boxes and file dialogs, dialogs built
// from our templates, and the single-instance rule through a local socket.
#include <QObject>
#include <QPixmap>
#include <QString>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/ViewInput.h"
#include "seam/Platform.h"
#include "platform/qt/Options.h"

class QEventLoop;
namespace vellum {
class RecoveryFolder;
}
class QLocalServer;
class QSocketNotifier;
class QTimer;
class QWidget;

namespace vellum {

class CQtMainWindow;
class CViewWidget;

// What the view was sent, for the tests to read back.
struct DeliveredPenEvent {
    char kind;  // 'D' down, 'M' move, 'U' up
    int x, y;
    std::vector<PenPoint> points;  // a move's buffered points, in quarter pixels
};

class QtPlatform : public QObject, public Platform {
    Q_OBJECT
public:
    // Needs the QApplication. Sizes come from the options and the primary monitor.
    explicit QtPlatform(const DesktopOptions& options);
    ~QtPlatform() override;

    // Turns SIGTERM, SIGINT and SIGHUP into a close without questions. For the program,
    // once per process.
    void InstallSignalHandlers();

    // Start-up: runs the program's start through its input and shows the window. False
    // when the process should end without a window (another instance runs, or the view
    // was not created).
    bool Start(ViewInput& program);
    // The event loop, until the window is destroyed. Returns the exit code.
    int Run();
    // A close nobody asked the user about (session end, a signal): no questions.
    void RequestOutsideClose();
    // The window's close button: the user asks to quit.
    void RequestUserClose();
    // Called by the main window when it is (de)activated.
    void OnWindowActivation(bool active);
    // Full screen now (a --fullscreen run, or F11); F11 enters and leaves it, Esc leaves
    // it, and leaving gives back the window as it was before (a --fullscreen run: the
    // window --screen asks for). The scale stays; the screen follows the window's size.
    bool InFullScreen() const;
    void EnterFullScreen();
    void LeaveFullScreen();
    // The view widget's client area changed: the screen follows it at once.
    void OnClientResized(int width, int height);

    // The program while events may reach it: after start, before the window is destroyed.
    ViewInput* LiveView();
    CQtMainWindow* Window() { return window.get(); }
    CViewWidget* ViewWidget() { return viewWidget; }
    const DesktopOptions& Options() const { return options; }
    int Scale() const { return scale; }
    // The pointer's shape as the program last asked for it.
    CursorKind ShownCursor() const { return shownCursor; }
    bool WindowDestroyed() const { return destroyed; }
    // The application icon: the skin's bar emblem once loaded, else a drawn pencil.
    QPixmap AppIcon() const;
    // The title for message boxes: the window's title.
    QString MessageTitle() const;
    QWidget* DialogParent() const;
    // Modal loops in progress (message boxes, dialogs, file dialogs).
    int ModalDepth() const { return modalDepth; }
    void EnterModal() { ++modalDepth; }
    // The last modal loop ended: a close the user asked for meanwhile is handled now.
    void LeaveModal();

    // Read back by the tests.
    unsigned lastShellFlags = 0;
    std::vector<unsigned> shellFlagHistory;
    int settingsWrites = 0;
    int raiseRequests = 0;
    std::vector<DeliveredPenEvent> penLog;  // only while logPenEvents is set
    bool logPenEvents = false;
    std::string SettingsPath() const { return settingsPath; }
    QString InstanceServerName() const { return serverName; }

    // ---- Platform -----------------------------------------------------------------------
    bool ActivateRunningInstance(const std::string& title) override;
    MsgAnswer ShowMessage(int id, const std::string& text, MsgButtons buttons) override;
    void ShowInformation(int id, const std::string& text) override;
    void GetScreenSize(int& width, int& height) override;
    void MoveFrame(int x, int y, int width, int height) override;
    bool ShellFullScreen(unsigned flags) override;
    void GetClientSize(int& width, int& height) override;
    void SetWindowTitle(const std::string& title) override;
    void PostClose() override;
    void SetTimer(int id, int milliseconds) override;
    void KillTimer(int id) override;
    void PresentRect(const PixelSurface& screen, int x, int y, int w, int h) override;
    void PaintRect(const PixelSurface& screen, int x, int y, int w, int h) override;
    void SetAppIcon(const PixelSurface& picture, int x, int y, int w, int h) override;
    void ShowCursor(CursorKind kind) override;
    bool SetClipboardPicture(const PixelSurface& picture) override;
    bool GetClipboardPicture(OwnedSurface& picture) override;
    int PlatformFileDialog(int mode, OpenFileName& request) override;
    void* LoadLibrary(const std::string& name) override;
    void* FindEntry(void* library, const char* entry) override;
    void FreeLibrary(void* library) override;
    std::string UserLanguageId() override;
    int RunDialog(CDialog& dialog) override;
    bool ReadSettingsText(std::string& text) override;
    bool WriteSettingsText(const std::string& text) override;
    std::string ProgramDir() override;
    std::string PicturesDir() override;
    std::string CommandLine() override;
    int64_t UndoMemoryLimit() override;
    RecoveryStore* OpenRecovery(std::string& problem) override;

private:
    void CreateWindow();
    void DestroyWindow();
    void CloseTopModal();
    void RaiseWindow();
    void OnNewConnection();
    void TakeScreenshot();
    void OnSignal();

    DesktopOptions options;
    int screenWidth = 240;
    int screenHeight = 320;
    int scale = 1;
    std::string settingsPath;
    QString serverName;
    QString instanceTitle;  // the window's title, as the program named it at start

    ViewInput* program = nullptr;
    std::unique_ptr<CQtMainWindow> window;
    CViewWidget* viewWidget = nullptr;  // owned by the window
    std::unique_ptr<QLocalServer> server;
    std::map<int, QTimer*> timers;
    QPixmap emblem;

    bool started = false;       // InitInstance returned and the window is shown
    bool destroyed = false;     // the window was destroyed: no more events to the view
    bool skipShutdown = false;  // the screenshot run ends without the view's shutdown
    bool userCloseQueued = false;
    bool fullScreenWanted = false;  // full screen asked for (--fullscreen, F11) and not left
    bool windowShownNormal = false;  // the window has been shown as a window
    CursorKind shownCursor = CursorKind::Pencil;
    bool userCloseDeferred = false;  // asked while a modal loop ran
    int modalDepth = 0;
    int exitCode = 0;
    QSocketNotifier* signalNotifier = nullptr;
    QEventLoop* runLoop = nullptr;
    std::unique_ptr<RecoveryFolder> recovery;
};

}  // namespace vellum
