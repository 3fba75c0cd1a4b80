// The desktop program: the handheld's screen in a window.
#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <csignal>
#include <cstdio>
#include <string>
#include <vector>

#include "app/App.h"
#include "platform/qt/Options.h"
#include "platform/qt/QtPlatform.h"

int main(int argc, char** argv) {
    using namespace vellum;
    // A file-size limit makes a write fail with its own message instead of killing the
    // program with the picture on screen.
    std::signal(SIGXFSZ, SIG_IGN);
    std::vector<std::string> raw(argv + 1, argv + argc);
    if (WantsHelp(raw)) {
        std::fputs(DesktopUsage(), stdout);
        return 0;
    }
    // Every raw stylus position counts: Qt must not merge moves before we see them.
    QCoreApplication::setAttribute(Qt::AA_CompressHighFrequencyEvents, false);
    QCoreApplication::setAttribute(Qt::AA_CompressTabletEvents, false);
    // Whole device pixels per logical pixel keep the scaled screen's pixels square.
    QGuiApplication::setHighDpiScaleFactorRoundingPolicy(Qt::HighDpiScaleFactorRoundingPolicy::Round);
    QApplication application(argc, argv);
    application.setQuitOnLastWindowClosed(false);  // the platform ends the loop itself
    // The desktop entry it was installed with, so that the shell shows its name and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("works.orvane.vellum"));
    // Qt has taken its own options out of argv.
    DesktopOptions options;
    std::string error;
    if (!ParseDesktopOptions(std::vector<std::string>(argv + 1, argv + argc), options, error)) {
        std::fprintf(stderr, "vellum: %s\nTry 'vellum --help'.\n", error.c_str());
        return 2;
    }
    QtPlatform platform(options);
    platform.InstallSignalHandlers();
    // Qt's own words (Yes, No, the file dialog) in the language of the program's texts:
    // Japanese for the built-in ones; with the English module, Qt's own English.
    QTranslator qtWords;
    if (platform.UserLanguageId() == "0411" &&
        qtWords.load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"), QStringLiteral("_"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        application.installTranslator(&qtWords);
    CVellumApp app(platform);
    if (!platform.Start(app)) return 0;  // the program, through its way in
    return platform.Run();
}
