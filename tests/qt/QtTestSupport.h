#pragma once
// Shared pieces of the desktop platform's tests: the test registry that the one main
// runs, and the real program started in this process with its own home folders.
#include <QImage>
#include <QObject>
#include <QTemporaryDir>

#include <functional>
#include <memory>
#include <string>

#include "app/App.h"
#include "platform/qt/Options.h"
#include "platform/qt/QtPlatform.h"

namespace vellum::test {

// Each test class registers itself; main runs them all in one QApplication.
using TestFactory = std::function<QObject*()>;
int RegisterTest(const char* name, TestFactory factory);
#define VELLUM_QT_TEST(Class) \
    static const int registered_##Class = ::vellum::test::RegisterTest(#Class, [] { return new Class; })

// Points HOME, XDG_CONFIG_HOME and XDG_RUNTIME_DIR at fresh folders below root.
void UseHomeBelow(const QString& root);

// The desktop program, started in this process as main starts it.
class RunningProgram {
public:
    RunningProgram();
    ~RunningProgram();
    // Writes the settings store first when settingsText is not empty. False when the
    // program decided not to open its window.
    bool Start(const DesktopOptions& options, const std::string& settingsText = "");
    // Posts the close nobody asked about and waits until the window is gone.
    bool CloseAndWait();
    QString SettingsPath() const;

    QTemporaryDir root;
    std::unique_ptr<QtPlatform> platform;
    std::unique_ptr<CVellumApp> app;
    bool started = false;
};

// Acts on the next modal window once it shows (a message box, a dialog, a file
// dialog); gives up after timeoutMs. Queue it before the call that opens the window.
void WhenModalAppears(std::function<void(QWidget*)> act, int timeoutMs = 5000);

// The PNG of a QWidget::grab as an image of 32-bit pixels.
QImage Grabbed(QWidget* widget);

}  // namespace vellum::test
