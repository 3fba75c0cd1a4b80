#include "QtTestSupport.h"

#include <QApplication>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QPointer>
#include <QTimer>
#include <QDir>
#include <QFile>
#include <QTest>

#include "app/VellumView.h"
#include "platform/qt/MainWindow.h"
#include "platform/qt/QtDialog.h"

namespace vellum::test {

void UseHomeBelow(const QString& root) {
    for (const char* sub : {"home", "config", "runtime"}) QDir(root).mkpath(QLatin1String(sub));
    QFile::setPermissions(root + "/runtime", QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv("HOME", QFile::encodeName(root + "/home"));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(root + "/config"));
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(root + "/runtime"));
    qputenv("VELLUM_LANGUAGE", "0411");  // the built-in Japanese texts
}

RunningProgram::RunningProgram() { UseHomeBelow(root.path()); }

RunningProgram::~RunningProgram() {
    if (started && platform && !platform->WindowDestroyed()) CloseAndWait();
    app.reset();
    platform.reset();
}

QString RunningProgram::SettingsPath() const {
    return root.path() + "/config/Orvane Works/vellum.ini";
}

bool RunningProgram::Start(const DesktopOptions& options, const std::string& settingsText) {
    if (!settingsText.empty()) {
        QDir().mkpath(root.path() + "/config/Orvane Works");
        QFile file(SettingsPath());
        if (!file.open(QIODevice::WriteOnly)) return false;
        file.write(settingsText.data(), qint64(settingsText.size()));
    }
    gShutdownDone = false;  // one shutdown per process, and every test is a process run
    platform = std::make_unique<QtPlatform>(options);
    app = std::make_unique<CVellumApp>(*platform);
    started = platform->Start(*app);
    if (started) {
        if (!QTest::qWaitForWindowExposed(platform->Window())) return false;
        QCoreApplication::processEvents();
    }
    return started;
}

bool RunningProgram::CloseAndWait() {
    platform->PostClose();
    return QTest::qWaitFor([this] { return platform->WindowDestroyed(); }, 5000);
}

void WhenModalAppears(std::function<void(QWidget*)> act, int timeoutMs) {
    auto* timer = new QTimer;
    auto* elapsed = new QElapsedTimer;
    elapsed->start();
    QObject::connect(timer, &QTimer::timeout, [timer, elapsed, act, timeoutMs] {
        QWidget* modal = QApplication::activeModalWidget();
        const bool found = modal && modal->isVisible();
        if (!found && elapsed->elapsed() < timeoutMs) return;
        timer->stop();
        timer->deleteLater();
        delete elapsed;
        if (!found) return;
        QPointer<QWidget> guard(modal);
        act(modal);
        // An act that failed half-way must not leave the test hanging in the loop.
        if (guard && guard->isVisible()) {
            if (auto* dialog = qobject_cast<CQtDialog*>(guard.data()))
                dialog->ForceClose();
            else
                guard->close();
        }
    });
    timer->start(10);
}

QImage Grabbed(QWidget* widget) {
    return widget->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

}  // namespace vellum::test
