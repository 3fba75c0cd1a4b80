#include "platform/qt/QtPlatform.h"

#include <QApplication>
#include <QClipboard>
#include <QPainter>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLocale>
#include <QScreen>
#include <QSocketNotifier>
#include <QStandardPaths>
#include <QTimer>

#include <csignal>
#include <cstdio>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/common/DataDir.h"
#include "platform/common/DynamicLibrary.h"
#include "platform/common/LanguageId.h"
#include "platform/common/RecoveryFolder.h"
#include "platform/common/SettingsFile.h"
#include "platform/common/UserDirs.h"
#include "imageio/formats/Bmp.h"
#include "platform/qt/FileDialog.h"
#include "platform/qt/MainWindow.h"
#include "platform/qt/QtDialog.h"
#include "platform/qt/ViewWidget.h"

namespace vellum {

namespace {

// How long a screenshot run waits for a picture named on the command line to open.
constexpr int kPictureWaitMs = 600;

// The signal handler's end of the pipe, and the event loop's end.
int gSignalPipe[2] = {-1, -1};

void OnTerminationSignal(int signalNumber) {
    const char byte = char(signalNumber);
    if (gSignalPipe[0] >= 0) {
        const ssize_t ignored = ::write(gSignalPipe[0], &byte, 1);
        (void)ignored;
    }
}

// dir when it is a folder of this user's that nobody else may write (created when asked
// and missing); empty otherwise.
QString PrivateFolder(const QString& dir, bool create) {
    if (dir.isEmpty() || !dir.startsWith(QLatin1Char('/'))) return {};
    const QByteArray path = QFile::encodeName(dir);
    if (create) ::mkdir(path.constData(), 0700);
    struct stat st{};
    if (::lstat(path.constData(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != getuid() ||
        (st.st_mode & 077) != 0)
        return {};
    return dir;
}

QString WithSlash(QString dir) {
    if (!dir.endsWith(QLatin1Char('/'))) dir += QLatin1Char('/');
    return dir;
}

bool IsHexId(const QString& id) {
    if (id.size() != 4) return false;
    for (QChar c : id)
        if (!c.isDigit() && !(c.toLower() >= QLatin1Char('a') && c.toLower() <= QLatin1Char('f')))
            return false;
    return true;
}

}  // namespace

QtPlatform::QtPlatform(const DesktopOptions& o) : options(o) {
    QScreen* monitor = QGuiApplication::primaryScreen();
    const QRect whole = monitor ? monitor->geometry() : QRect(0, 0, 800, 600);
    const QRect available = monitor ? monitor->availableGeometry() : whole;
    if (options.fullscreen) {
        // The monitor is the screen: its size divided by the scale, never smaller than
        // the panel needs.
        scale = FullScreenScale(whole.width(), whole.height(), options.scale);
        screenWidth = qMax(kMinScreenWidth, whole.width() / scale);
        screenHeight = qMax(kMinScreenHeight, whole.height() / scale);
    } else {
        screenWidth = options.screenWidth;
        screenHeight = options.screenHeight;
        scale = options.scale > 0 ? options.scale
                                  : WindowScale(available.width(), available.height(), screenWidth,
                                                screenHeight, kMaxScale);
    }
    fullScreenWanted = options.fullscreen;
    settingsPath = UserSettingsPath();
}

QtPlatform::~QtPlatform() {
    for (auto& entry : timers) delete entry.second;
    timers.clear();
    if (server) server->close();
    delete signalNotifier;
    window.reset();
}

void QtPlatform::InstallSignalHandlers() {
    if (signalNotifier) return;
    if (gSignalPipe[0] < 0 && ::socketpair(AF_UNIX, SOCK_STREAM, 0, gSignalPipe) != 0) return;
    signalNotifier = new QSocketNotifier(gSignalPipe[1], QSocketNotifier::Read);
    connect(signalNotifier, &QSocketNotifier::activated, this, &QtPlatform::OnSignal);
    struct sigaction action = {};
    action.sa_handler = OnTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int s : {SIGTERM, SIGINT, SIGHUP}) sigaction(s, &action, nullptr);
    // The session manager ending the session: no questions either.
    connect(qApp, &QGuiApplication::commitDataRequest, this,
            [this](QSessionManager&) { RequestOutsideClose(); });
}

void QtPlatform::OnSignal() {
    char byte = 0;
    const ssize_t got = ::read(gSignalPipe[1], &byte, 1);
    (void)got;
    RequestOutsideClose();
}

void QtPlatform::CreateWindow() {
    window = std::make_unique<CQtMainWindow>(*this);
    viewWidget = new CViewWidget(*this, screenWidth, screenHeight, scale, window.get());
    window->setCentralWidget(viewWidget);
    // Resizable and maximisable: the screen follows the client area.
    QPalette palette = window->palette();
    palette.setColor(QPalette::Window, Qt::black);
    window->setPalette(palette);
    window->setAutoFillBackground(true);
    window->resize(viewWidget->size());
    window->setWindowIcon(QIcon(DrawnPencilIcon(32)));
}

bool QtPlatform::Start(ViewInput& input) {
    program = &input;
    CreateWindow();  // hidden: the view presents and titles it during start-up
    if (!program->Start()) {
        window.reset();
        viewWidget = nullptr;
        return false;
    }
    // The first paint shows the whole screen buffer.
    program->Expose(0, 0, -1, -1);
    started = true;
    if (!options.screenshotPath.empty()) {
        // A picture named on the command line opens 100 ms after start: wait for it.
        const int delay = QString::fromStdString(options.commandLine).size() > 5 ? kPictureWaitMs : 0;
        connect(viewWidget, &CViewWidget::FirstPainted, this,
                [this, delay] { QTimer::singleShot(delay, this, &QtPlatform::TakeScreenshot); });
        QTimer::singleShot(5000, this, &QtPlatform::TakeScreenshot);
    }
    if (options.fullscreen) {
        window->showFullScreen();
    } else {
        window->show();
        windowShownNormal = true;
    }
    viewWidget->setFocus(Qt::ActiveWindowFocusReason);
    return true;
}

int QtPlatform::Run() {
    // Our own loop, not the application's: QCoreApplication::exit would also make every
    // later nested loop of this process return at once.
    if (!destroyed) {
        QEventLoop loop;
        runLoop = &loop;
        exitCode = loop.exec();
        runLoop = nullptr;
    }
    // The loop ended some other way: the window goes as after an outside close.
    if (!destroyed) {
        destroyed = true;
        // From here the program's screen buffer may go: the window keeps its own copy.
        if (viewWidget) viewWidget->KeepLastPicture();
        if (program && !skipShutdown) program->WindowDestroyed();
    }
    return exitCode;
}

ViewInput* QtPlatform::LiveView() {
    if (!program || destroyed) return nullptr;
    return program;
}

void QtPlatform::RequestOutsideClose() {
    QMetaObject::invokeMethod(this, &QtPlatform::DestroyWindow, Qt::QueuedConnection);
}

void QtPlatform::LeaveModal() {
    if (--modalDepth > 0 || !userCloseDeferred) return;
    userCloseDeferred = false;
    RequestUserClose();
}

void QtPlatform::RequestUserClose() {
    if (!started || destroyed || userCloseQueued) return;
    // The window system's close while a dialog is open waits until the dialog ends.
    if (modalDepth > 0) {
        userCloseDeferred = true;
        return;
    }
    userCloseQueued = true;
    // Asked after the close event returns: the questions run their own loops.
    QMetaObject::invokeMethod(
        this,
        [this] {
            userCloseQueued = false;
            if (ViewInput* input = LiveView()) input->CloseRequest();
        },
        Qt::QueuedConnection);
}

void QtPlatform::OnWindowActivation(bool active) {
    if (!started) return;  // not during start-up
    if (ViewInput* input = LiveView()) input->Focus(active);
}

bool QtPlatform::InFullScreen() const { return window && window->isFullScreen(); }

void QtPlatform::EnterFullScreen() {
    if (!window || InFullScreen()) return;
    fullScreenWanted = true;
    window->showFullScreen();
    viewWidget->setFocus(Qt::ActiveWindowFocusReason);
}

void QtPlatform::LeaveFullScreen() {
    if (!window || !InFullScreen()) return;
    fullScreenWanted = false;
    window->showNormal();
    // A run that started full screen has no window of its own yet: the one --screen
    // asks for, at the scale in force.
    if (options.fullscreen && !windowShownNormal) {
        window->resize(options.screenWidth * scale, options.screenHeight * scale);
        windowShownNormal = true;
    }
    viewWidget->setFocus(Qt::ActiveWindowFocusReason);
}

void QtPlatform::OnClientResized(int width, int height) {
    if (width == screenWidth && height == screenHeight) return;
    screenWidth = width;
    screenHeight = height;
    if (ViewInput* input = LiveView()) input->Resize(width, height);
}

void QtPlatform::CloseTopModal() {
    QWidget* top = QApplication::activeModalWidget();
    if (auto* dialog = qobject_cast<CQtDialog*>(top))
        dialog->ForceClose();
    else if (top)
        top->close();  // message boxes answer with their escape button, file dialogs cancel
}

void QtPlatform::DestroyWindow() {
    if (destroyed) return;
    // A modal loop runs on the stack: end it first, so that no handler below it goes
    // on with a view that is gone.
    if (modalDepth > 0) {
        CloseTopModal();
        QTimer::singleShot(20, this, &QtPlatform::DestroyWindow);
        return;
    }
    destroyed = true;
    for (auto& entry : timers) entry.second->stop();
    if (!options.screenshotPath.empty() && !skipShutdown) {
        std::fprintf(stderr, "vellum: the window closed before the screenshot was taken\n");
        exitCode = 1;
    }
    if (viewWidget) viewWidget->KeepLastPicture();
    if (program && !skipShutdown) program->WindowDestroyed();
    if (window) {
        window->AllowClose();
        window->close();
    }
    if (runLoop) runLoop->exit(exitCode);
}

void QtPlatform::TakeScreenshot() {
    if (destroyed || skipShutdown || !window) return;
    const QPixmap picture = window->grab();
    const bool saved = picture.save(QString::fromStdString(options.screenshotPath), "PNG");
    if (!saved)
        std::fprintf(stderr, "vellum: cannot write the screenshot %s\n",
                     options.screenshotPath.c_str());
    // Ends without the view's shutdown, so the settings are not written.
    skipShutdown = true;
    destroyed = true;
    exitCode = saved ? 0 : 1;
    window->AllowClose();
    window->close();
    if (runLoop) runLoop->exit(exitCode);
}

void QtPlatform::RaiseWindow() {
    ++raiseRequests;
    if (!started || destroyed || !window) return;
    if (fullScreenWanted)
        window->showFullScreen();
    else
        window->showNormal();
    window->raise();
    window->activateWindow();
}

void QtPlatform::OnNewConnection() {
    while (QLocalSocket* socket = server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            const QByteArray got = socket->property("got").toByteArray() + socket->readAll();
            socket->setProperty("got", got);
            if (got.contains("raise")) {
                socket->setProperty("got", QByteArray());
                RaiseWindow();
            } else if (got.size() > 64) {
                socket->abort();  // not one of ours
            }
        });
    }
}

QPixmap QtPlatform::AppIcon() const {
    if (!emblem.isNull()) return emblem.scaled(32, 32, Qt::KeepAspectRatio, Qt::FastTransformation);
    return DrawnPencilIcon(32);
}

QString QtPlatform::MessageTitle() const {
    // The program's name, as the window was named at start (the window's own title now
    // carries the picture's name as well).
    return instanceTitle;
}

QWidget* QtPlatform::DialogParent() const { return window.get(); }

// ---- Platform -------------------------------------------------------------------------

bool QtPlatform::ActivateRunningInstance(const std::string& title) {
    instanceTitle = QString::fromStdString(title);
    // Keyed by the title and the user, in a folder only the user can write: the runtime
    // folder, or a private one of ours in the temporary folder. Without such a folder the
    // rule is not kept, rather than trusting a place others can write.
    QString dir = PrivateFolder(qEnvironmentVariable("XDG_RUNTIME_DIR"), false);
    if (dir.isEmpty())
        dir = PrivateFolder(WithSlash(QDir::tempPath()) + QStringLiteral("vellum-") + QString::number(getuid()), true);
    if (dir.isEmpty()) {
        std::fprintf(stderr, "vellum: no private folder for the single-instance rule; starting anyway\n");
        return false;
    }
    serverName = WithSlash(dir) + instanceTitle + QLatin1Char('-') + QString::number(getuid());
    // No socket options: with them Qt binds elsewhere and renames the socket over an
    // existing one, so a second instance would take over the name instead of failing.
    server = std::make_unique<QLocalServer>();
    connect(server.get(), &QLocalServer::newConnection, this, &QtPlatform::OnNewConnection);
    if (server->listen(serverName)) return false;
    if (server->serverError() == QAbstractSocket::AddressInUseError) {
        QLocalSocket socket;
        socket.connectToServer(serverName);
        if (socket.waitForConnected(1000)) {
            // Only a program of this user's is told to come forward; any other listener
            // is ignored and this program starts.
            struct ucred peer{};
            socklen_t length = sizeof peer;
            if (getsockopt(int(socket.socketDescriptor()), SOL_SOCKET, SO_PEERCRED, &peer, &length) != 0 ||
                peer.uid != getuid()) {
                std::fprintf(stderr, "vellum: %s is not ours; starting anyway\n", qPrintable(serverName));
                return false;
            }
            socket.write("raise\n");
            socket.waitForBytesWritten(1000);
            socket.disconnectFromServer();
            return true;
        }
        // Nobody answers: the socket was left behind by a run that was killed.
        QLocalServer::removeServer(serverName);
        if (server->listen(serverName)) return false;
    }
    std::fprintf(stderr, "vellum: cannot listen on %s: %s\n", qPrintable(serverName),
                 qPrintable(server->errorString()));
    return false;  // without the rule the program still runs
}

MsgAnswer QtPlatform::ShowMessage(int, const std::string& text, MsgButtons buttons) {
    // A screenshot run has nobody to answer: the text goes to stderr, the answer is Yes.
    if (!options.screenshotPath.empty()) {
        std::fprintf(stderr, "vellum: message: %s\n", text.c_str());
        return buttons == MsgButtons::YesNo ? MsgAnswer::Yes : MsgAnswer::Ok;
    }
    return RunMessageBox(DialogParent(), MessageTitle(), QString::fromStdString(text), buttons,
                         this);
}

void QtPlatform::ShowInformation(int, const std::string& text) {
    if (!options.screenshotPath.empty()) {
        std::fprintf(stderr, "vellum: message: %s\n", text.c_str());
        return;
    }
    RunMessageBox(DialogParent(), MessageTitle(), QString::fromStdString(text), MsgButtons::Ok, this,
                  true);
}

void QtPlatform::GetScreenSize(int& width, int& height) {
    width = screenWidth;
    height = screenHeight;
}

void QtPlatform::MoveFrame(int, int, int, int) {
    // The window keeps its size; full screen, while it is wanted, is the monitor.
    if (fullScreenWanted && started && !destroyed && window && window->isVisible() && !window->isFullScreen())
        window->showFullScreen();
}

bool QtPlatform::ShellFullScreen(unsigned flags) {
    // No task bar or input panel to hide on a desktop.
    lastShellFlags = flags;
    shellFlagHistory.push_back(flags);
    return true;
}

void QtPlatform::GetClientSize(int& width, int& height) {
    width = screenWidth;
    height = screenHeight;
}

void QtPlatform::SetWindowTitle(const std::string& title) {
    if (window) window->setWindowTitle(QString::fromStdString(title));
}

void QtPlatform::PostClose() {
    QMetaObject::invokeMethod(this, &QtPlatform::DestroyWindow, Qt::QueuedConnection);
}

void QtPlatform::SetTimer(int id, int milliseconds) {
    QTimer*& timer = timers[id];
    if (!timer) {
        timer = new QTimer(this);
        connect(timer, &QTimer::timeout, this, [this, id] {
            if (ViewInput* input = LiveView()) input->Timer(id);
        });
    }
    timer->start(milliseconds < 0 ? 0 : milliseconds);
}

void QtPlatform::KillTimer(int id) {
    auto it = timers.find(id);
    if (it != timers.end() && it->second) it->second->stop();
}

void QtPlatform::PresentRect(const PixelSurface& screen, int x, int y, int w, int h) {
    if (viewWidget) viewWidget->PresentRect(screen, x, y, w, h);
}

void QtPlatform::PaintRect(const PixelSurface& screen, int x, int y, int w, int h) {
    if (viewWidget) viewWidget->PresentRect(screen, x, y, w, h);
}

void QtPlatform::SetAppIcon(const PixelSurface& picture, int x, int y, int w, int h) {
    if (!picture.Exists() || w <= 0 || h <= 0 || x < 0 || y < 0 || x + w > picture.width ||
        y + h > picture.height)
        return;
    QImage icon(w, h, QImage::Format_RGB32);
    for (int row = 0; row < h; ++row)
        for (int col = 0; col < w; ++col) {
            const uint8_t* p = picture.At(x + col, y + row);
            icon.setPixel(col, row, qRgb(p[2], p[1], p[0]));
        }
    emblem = QPixmap::fromImage(icon);
    if (window) window->setWindowIcon(QIcon(emblem));
}

void QtPlatform::ShowCursor(CursorKind kind) {
    shownCursor = kind;
    if (viewWidget) viewWidget->ShowCursor(kind);
}

bool QtPlatform::SetClipboardPicture(const PixelSurface& picture) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard || !picture.Exists() || picture.width <= 0 || picture.height <= 0) return false;
    QImage image(picture.width, picture.height, QImage::Format_RGB888);
    if (image.isNull()) return false;
    for (int y = 0; y < picture.height; ++y) {
        const uint8_t* src = picture.At(0, y);  // blue, green, red
        uint8_t* dst = image.scanLine(y);       // red, green, blue
        for (int x = 0; x < picture.width; ++x, src += 3, dst += 3) {
            dst[0] = src[2];
            dst[1] = src[1];
            dst[2] = src[0];
        }
    }
    clipboard->setImage(image);
    return true;
}

bool QtPlatform::GetClipboardPicture(OwnedSurface& picture) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard) return false;
    QImage image = clipboard->image();
    if (image.isNull() || image.width() <= 0 || image.height() <= 0) return false;
    // What the picture readers would refuse is refused here too, before the copy.
    if (image.width() > kBmpMaxSide || image.height() > kBmpMaxSide ||
        int64_t(image.width()) * image.height() * 3 > kBmpMaxPixelBytes) {
        std::fprintf(stderr, "vellum: the clipboard's picture is too large (%dx%d)\n", image.width(),
                     image.height());
        return false;
    }
    if (image.hasAlphaChannel()) {
        // Transparent parts become the white of a fresh paper, not whatever colour they
        // happen to carry.
        QImage flat(image.size(), QImage::Format_RGB888);
        if (flat.isNull()) return false;
        flat.fill(Qt::white);
        QPainter painter(&flat);
        painter.drawImage(0, 0, image);
        painter.end();
        image = std::move(flat);
    } else {
        image = image.convertToFormat(QImage::Format_RGB888);
    }
    if (image.isNull() || !picture.Allocate(image.width(), image.height())) return false;
    for (int y = 0; y < image.height(); ++y) {
        const uint8_t* src = image.constScanLine(y);
        uint8_t* dst = picture->At(0, y);
        for (int x = 0; x < image.width(); ++x, src += 3, dst += 3) {
            dst[0] = src[2];
            dst[1] = src[1];
            dst[2] = src[0];
        }
    }
    return true;
}

int QtPlatform::PlatformFileDialog(int mode, OpenFileName& request) {
    EnterModal();
    const int result =
        RunFileDialog(DialogParent(), mode, request, QString::fromStdString(PicturesDir()));
    LeaveModal();
    return result;
}

void* QtPlatform::LoadLibrary(const std::string& name) { return OpenLibrary(ProgramDir(), name); }

void* QtPlatform::FindEntry(void* library, const char* entry) {
    return FindLibraryEntry(library, entry);
}

void QtPlatform::FreeLibrary(void* library) { CloseLibrary(library); }

std::string QtPlatform::UserLanguageId() {
    // VELLUM_LANGUAGE=0409 tries another language without changing the locale.
    const QString forced = qEnvironmentVariable("VELLUM_LANGUAGE");
    if (IsHexId(forced)) return forced.toUpper().toStdString();
    return LanguageIdFromLocale(QLocale::system().name().toStdString());
}

int QtPlatform::RunDialog(CDialog& dialog) {
    CQtDialog host(dialog, this, DialogParent());
    return host.Run();
}

bool QtPlatform::ReadSettingsText(std::string& text) { return ReadStoreFile(settingsPath, text); }

bool QtPlatform::WriteSettingsText(const std::string& text) {
    ++settingsWrites;
    return ReplaceStoreFile(settingsPath, text);
}

std::string QtPlatform::ProgramDir() {
    // The skin and the modules: beside the program in the build folder, or in the
    // installed data folder beside its bin folder.
    return DataDirFor(WithSlash(QCoreApplication::applicationDirPath()).toStdString());
}

std::string QtPlatform::PicturesDir() {
    const QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    if (!pictures.isEmpty() && QFileInfo(pictures).isDir()) return WithSlash(pictures).toStdString();
    return UserPicturesDir();  // ~/Pictures when it exists, else home
}

std::string QtPlatform::CommandLine() { return options.commandLine; }

int64_t QtPlatform::UndoMemoryLimit() { return int64_t(options.undoMemoryMiB) << 20; }

RecoveryStore* QtPlatform::OpenRecovery(std::string& problem) {
    // The journal is written on a thread of its own, so that a pen-up never waits for the
    // disk.
    recovery = RecoveryFolder::Open(DefaultRecoveryDir(), true, problem);
    return recovery.get();
}

}  // namespace vellum
