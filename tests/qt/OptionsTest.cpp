// The desktop program's command line.
#include <QTest>

#include "QtTestSupport.h"

namespace vellum::test {

class OptionsTest : public QObject {
    Q_OBJECT
private slots:
    void DefaultsAreTheHandheldScreenAtTheFittingScale() {
        DesktopOptions o;
        std::string error;
        QVERIFY(ParseDesktopOptions({}, o, error));
        QCOMPARE(o.screenWidth, 240);
        QCOMPARE(o.screenHeight, 320);
        QCOMPARE(o.scale, 0);
        QVERIFY(!o.fullscreen);
        QVERIFY(o.commandLine.empty());
    }

    void ScreenScaleFullscreenAndScreenshot() {
        DesktopOptions o;
        std::string error;
        QVERIFY(ParseDesktopOptions({"--screen", "480x640", "--scale=3", "--fullscreen",
                                     "--screenshot", "/tmp/a.png"},
                                    o, error));
        QCOMPARE(o.screenWidth, 480);
        QCOMPARE(o.screenHeight, 640);
        QCOMPARE(o.scale, 3);
        QVERIFY(o.fullscreen);
        QCOMPARE(o.screenshotPath, std::string("/tmp/a.png"));
    }

    void UndoMemoryInMiBAtLeastSixteen() {
        DesktopOptions o;
        std::string error;
        QCOMPARE(o.undoMemoryMiB, 128);
        QVERIFY(ParseDesktopOptions({"--undo-memory", "16"}, o, error));
        QCOMPARE(o.undoMemoryMiB, 16);
        QVERIFY(ParseDesktopOptions({"--undo-memory=2048", "pic.bmp"}, o, error));
        QCOMPARE(o.undoMemoryMiB, 2048);
        QCOMPARE(o.commandLine, std::string("pic.bmp"));
        for (const char* bad : {"15", "0", "-5", "lots", "99999999"}) {
            QVERIFY2(!ParseDesktopOptions({"--undo-memory", bad}, o, error), bad);
            QVERIFY(error.find("16") != std::string::npos);
        }
        QVERIFY(!WantsHelp({"--undo-memory", "-h"}));
    }

    void ThePictureIsTheRestOfTheLineJoinedBySpaces() {
        DesktopOptions o;
        std::string error;
        QVERIFY(ParseDesktopOptions({"--scale", "2", "/home/u/my", "picture.bmp", "--scale"}, o,
                                    error));
        QCOMPARE(o.commandLine, std::string("/home/u/my picture.bmp --scale"));
        QVERIFY(ParseDesktopOptions({"--", "-odd.bmp"}, o, error));
        QCOMPARE(o.commandLine, std::string("-odd.bmp"));
    }

    void BadValuesAreRefusedWithAMessage() {
        const std::vector<std::vector<std::string>> bad = {
            {"--screen", "240"},   {"--screen", "100x320"}, {"--screen", "240x100"},
            {"--screen=x"},        {"--scale", "0"},        {"--scale", "17"},
            {"--scale", "2.5"},    {"--scale"},             {"--screenshot"},
            {"--frobnicate"},      {"--screen", "99999x320"},
        };
        for (const auto& args : bad) {
            DesktopOptions o;
            std::string error;
            QVERIFY2(!ParseDesktopOptions(args, o, error), args[0].c_str());
            QVERIFY(!error.empty());
        }
    }

    // By default the 240-pixel strips take about a fifth of the monitor's width; the
    // monitor divided by the scale never gets smaller than the least screen.
    void FullScreenScaleFollowsTheMonitor() {
        // The strips (240 pixels) a fifth of the width or more.
        QCOMPARE(FullScreenScale(1024, 768, 0), 1);
        QCOMPARE(FullScreenScale(1366, 768, 0), 2);
        QCOMPARE(FullScreenScale(1600, 1200, 0), 2);
        QCOMPARE(FullScreenScale(1920, 1080, 0), 2);
        QCOMPARE(FullScreenScale(2560, 1440, 0), 3);
        QCOMPARE(FullScreenScale(3840, 2160, 0), 4);
        QCOMPARE(FullScreenScale(7680, 4320, 0), 7);
        QCOMPARE(FullScreenScale(640, 480, 0), 1);
        QCOMPARE(FullScreenScale(100, 50, 0), 1);  // smaller than any screen: still 1
        // A wide but low monitor: the height decides.
        QCOMPARE(FullScreenScale(3840, 400, 0), 2);
        // Asked for: kept while the screen stays large enough.
        QCOMPARE(FullScreenScale(1920, 1080, 1), 1);
        QCOMPARE(FullScreenScale(1920, 1080, 4), 4);
        QCOMPARE(FullScreenScale(1920, 1080, 16), 6);  // 1920 / 8 = 240, 1080 / 8 = 135: lower
        QCOMPARE(FullScreenScale(800, 600, 16), 3);
    }

    void WindowScaleFitsTheAreaBelowItsFrame() {
        QCOMPARE(WindowScale(1920, 1040, 240, 320, kMaxScale), 3);  // (1040 - 64) / 320
        QCOMPARE(WindowScale(1920, 1040, 240, 320, 2), 2);
        QCOMPARE(WindowScale(600, 2000, 240, 320, kMaxScale), 2);  // the width decides
        QCOMPARE(WindowScale(800, 600, 800, 600, 4), 1);          // nothing fits: 1
        QCOMPARE(WindowScale(800, 600, 400, 300, 2), 1);
        QCOMPARE(WindowScale(10000, 10000, 240, 160, kMaxScale), kMaxScale);
        QCOMPARE(WindowScale(800, 600, 0, 0, 4), 1);
    }

    void HelpIsAskedBeforeThePicture() {
        QVERIFY(WantsHelp({"--help"}));
        QVERIFY(WantsHelp({"--scale", "2", "-h"}));
        QVERIFY(!WantsHelp({"--", "--help"}));
        QVERIFY(!WantsHelp({"picture", "--help"}));
        const std::string usage = DesktopUsage();
        for (const char* o : {"--screen", "--scale", "--fullscreen", "--screenshot", "--undo-memory", "--help"})
            QVERIFY2(usage.find(o) != std::string::npos, o);
    }
};

VELLUM_QT_TEST(OptionsTest);

}  // namespace vellum::test

#include "OptionsTest.moc"
