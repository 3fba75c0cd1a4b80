// The real desktop program started in this process: its window, its pixels, and the
// stylus, key, focus, timer and close events that reach the view.
#include <QApplication>
#include <QBackingStore>
#include <QDir>
#include <QFile>
#include <QMainWindow>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QStatusBar>
#include <QTabletEvent>
#include <QTest>
#include <QTimer>
#include <QToolBar>

#include "QtTestSupport.h"
#include "app/VellumView.h"
#include "resources/Resources.h"
#include "platform/qt/MainWindow.h"
#include "platform/qt/ViewWidget.h"

namespace vellum::test {

namespace {

// The union of the rectangles a widget was asked to paint.
struct PaintSpy : QObject {
    explicit PaintSpy(QWidget* w) { w->installEventFilter(this); }
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint) painted |= static_cast<QPaintEvent*>(e)->rect();
        return false;
    }
    QRect painted;
};

}  // namespace

namespace {

DesktopOptions AtScale(int scale) {
    DesktopOptions o;
    o.scale = scale;
    return o;
}

QRgb ScreenPixel(const PixelSurface& s, int x, int y) {
    const uint8_t* p = s.At(x, y);
    return qRgb(p[2], p[1], p[0]);
}

// Moves with the left button held, sent as the window system sends them.
void SendMove(QWidget* w, QPointF pos, Qt::MouseButtons buttons = Qt::LeftButton) {
    QMouseEvent move(QEvent::MouseMove, pos, w->mapToGlobal(pos), Qt::NoButton, buttons,
                     Qt::NoModifier);
    QCoreApplication::sendEvent(w, &move);
}

void ClickButton(QWidget* modal, QMessageBox::StandardButton which, QString* text = nullptr) {
    auto* box = qobject_cast<QMessageBox*>(modal);
    if (!box) return;
    if (text) *text = box->text();
    box->button(which)->click();
}

}  // namespace

class ProgramTest : public QObject {
    Q_OBJECT
private slots:
    void TheWindowIsTitledResizableAndBare() {
        RunningProgram program;
        QVERIFY(program.Start(AtScale(2)));
        CQtMainWindow* window = program.platform->Window();
        QCOMPARE(window->windowTitle(), QString::fromUtf8(".:Vellum:."));
        QCOMPARE(program.platform->ViewWidget()->size(), QSize(480, 640));
        // Down to the strips' least screen, and as large as the user likes.
        QCOMPARE(window->minimumSize(), QSize(480, 320));
        QVERIFY(window->maximumSize().width() > 8192);
        // No menu bar, tool bar or status line of the framework.
        QVERIFY(window->menuWidget() == nullptr);
        QVERIFY(window->findChildren<QToolBar*>().isEmpty());
        QVERIFY(window->findChildren<QStatusBar*>().isEmpty());
        // The view was made for the emulated screen; the canvas is rounded up to 8.
        int w = 0, h = 0;
        program.platform->GetClientSize(w, h);
        QCOMPARE(QSize(w, h), QSize(240, 320));
        QCOMPARE(program.app->View()->W, 240);
        QCOMPARE(program.app->View()->H, 320);
    }

    void AScreenWhoseWidthIsNotAMultipleOf8ShowsOnlyTheClient() {
        DesktopOptions o = AtScale(1);
        o.screenWidth = 250;
        o.screenHeight = 200;
        RunningProgram program;
        QVERIFY(program.Start(o));
        QCOMPARE(program.app->View()->W, 256);
        QCOMPARE(program.platform->ViewWidget()->size(), QSize(250, 200));
    }

    void TheWindowShowsTheScreenBufferScaledPixelForPixel() {
        RunningProgram program;
        QVERIFY(program.Start(AtScale(2)));
        const PixelSurface& screen = program.app->View()->screenBuffer.Get();
        const QImage shot = Grabbed(program.platform->ViewWidget());
        QCOMPARE(shot.size(), QSize(480, 640));
        int mismatches = 0;
        for (int y = 0; y < 640; ++y)
            for (int x = 0; x < 480; ++x)
                if (shot.pixel(x, y) != ScreenPixel(screen, x / 2, y / 2)) ++mismatches;
        QCOMPARE(mismatches, 0);
        // The status bar is at the top, the canvas below it is white paper.
        bool barDrawn = false;
        for (int x = 0; x < 480 && !barDrawn; ++x) barDrawn = shot.pixel(x, 20) != qRgb(255, 255, 255);
        QVERIFY(barDrawn);
        QCOMPARE(shot.pixel(240, 400), qRgb(255, 255, 255));
        QCOMPARE(shot.pixel(479, 639), qRgb(255, 255, 255));
    }

    // A present repaints just its rectangle, scaled, and the paint converts the screen
    // straight into the window's backing store: what lies outside stays as it was shown.
    void PresentPaintsOnlyTheGivenRectangleStraightIntoTheWindow() {
        RunningProgram program;
        QVERIFY(program.Start(AtScale(3)));
        CViewWidget* w = program.platform->ViewWidget();
        QCoreApplication::processEvents();
        PixelSurface& screen = program.app->View()->screenBuffer.Get();
        // Blue 1, green 2, red 3 in a block; only its inner part is presented.
        for (int y = 100; y < 120; ++y)
            for (int x = 50; x < 80; ++x) {
                uint8_t* p = screen.At(x, y);
                p[0] = 1;
                p[1] = 2;
                p[2] = 3;
            }
        PaintSpy spy(w);
        program.platform->PresentRect(screen, 60, 105, 10, 5);
        QCoreApplication::processEvents();
        QCOMPARE(spy.painted, QRect(180, 315, 30, 15));
        auto* store = static_cast<QImage*>(w->backingStore()->paintDevice());
        QVERIFY(store && store->depth() == 32);
        const QPoint at = w->mapTo(w->window(), QPoint(0, 0));
        auto shown = [&](int x, int y) { return store->pixel(at.x() + x, at.y() + y) & 0xFFFFFF; };
        QCOMPARE(shown(60 * 3, 105 * 3), 0x030201u);
        QCOMPARE(shown(69 * 3 + 2, 109 * 3 + 2), 0x030201u);
        QCOMPARE(shown(70 * 3, 105 * 3), 0xFFFFFFu);
        QCOMPARE(shown(59 * 3 + 2, 105 * 3), 0xFFFFFFu);
        QCOMPARE(shown(60 * 3, 104 * 3 + 2), 0xFFFFFFu);
        QCOMPARE(shown(60 * 3, 110 * 3), 0xFFFFFFu);
        // A rectangle reaching past every edge repaints what lies inside, and a grab
        // (another device) shows the same window.
        spy.painted = QRect();
        program.platform->PresentRect(screen, -20, -20, 1000, 1000);
        QCoreApplication::processEvents();
        QCOMPARE(spy.painted, w->rect());
        QCOMPARE(shown(50 * 3, 100 * 3), 0x030201u);
        QCOMPARE(shown(79 * 3 + 2, 119 * 3 + 2), 0x030201u);
        const QImage all = Grabbed(w);
        for (int y = 0; y < all.height(); y += 7)
            for (int x = 0; x < all.width(); x += 5) QCOMPARE(all.pixel(x, y) & 0xFFFFFF, shown(x, y));
    }

    void AStrokeDrawsOnTheCanvasAndTheWindow() {
        RunningProgram program;
        QVERIFY(program.Start(AtScale(1)));
        CVellumView* view = program.app->View();
        QWidget* w = program.platform->ViewWidget();
        QTest::mousePress(w, Qt::LeftButton, Qt::NoModifier, QPoint(100, 100));
        QCOMPARE(view->penDown, 1);
        QCOMPARE(view->lastCanvasPt.x, 100);
        QCOMPARE(view->lastCanvasPt.y, 100);
        for (int x = 102; x <= 140; x += 2) {
            QTest::mouseMove(w, QPoint(x, 100));
            QCoreApplication::processEvents();
        }
        QTest::mouseRelease(w, Qt::LeftButton, Qt::NoModifier, QPoint(140, 100));
        QCOMPARE(view->penDown, 0);
        QVERIFY(view->modified);
        QVERIFY(ScreenPixel(view->picture.Canvas(), 120, 100) != qRgb(255, 255, 255));
        const QImage shot = Grabbed(w);
        QCOMPARE(shot.pixel(120, 100), ScreenPixel(view->screenBuffer.Get(), 120, 100));
        QVERIFY(shot.pixel(120, 100) != qRgb(255, 255, 255));
        QCOMPARE(shot.pixel(120, 200), qRgb(255, 255, 255));
    }

    void PositionsAreFlooredToEmulatedAndQuarterPixels() {
        RunningProgram program;
        QVERIFY(program.Start(AtScale(2)));
        program.platform->logPenEvents = true;
        QWidget* w = program.platform->ViewWidget();
        QTest::mousePress(w, Qt::LeftButton, Qt::NoModifier, QPoint(201, 203));
        SendMove(w, QPointF(201.5, 100.25));
        QCoreApplication::processEvents();
        QTest::mouseRelease(w, Qt::LeftButton, Qt::NoModifier, QPoint(211, 99));
        const auto& log = program.platform->penLog;
        QCOMPARE(int(log.size()), 3);
        QCOMPARE(log[0].kind, 'D');
        QCOMPARE(QPoint(log[0].x, log[0].y), QPoint(100, 101));
        QCOMPARE(log[1].kind, 'M');
        QCOMPARE(QPoint(log[1].x, log[1].y), QPoint(100, 50));
        QCOMPARE(int(log[1].points.size()), 1);
        QCOMPARE(QPoint(log[1].points[0].x, log[1].points[0].y), QPoint(403, 200));
        QCOMPARE(log[2].kind, 'U');
        QCOMPARE(QPoint(log[2].x, log[2].y), QPoint(105, 49));
    }

    void MovesOfOnePassBecomeOneMoveHoldingTheLatest50() {
        RunningProgram program;
        QVERIFY(program.Start(AtScale(1)));
        CVellumView* view = program.app->View();
        view->smoothing = 1;
        view->stylusMode = 1;
        program.platform->logPenEvents = true;
        QWidget* w = program.platform->ViewWidget();
        QTest::mousePress(w, Qt::LeftButton, Qt::NoModifier, QPoint(40, 100));
        // 60 raw moves before the event loop runs once.
        for (int i = 1; i <= 60; ++i) SendMove(w, QPointF(40 + i, 100 + (i % 3)));
        QCOMPARE(program.platform->ViewWidget()->DeliveredMoves(), 0);
        QCoreApplication::processEvents();
        const auto& log = program.platform->penLog;
        QCOMPARE(int(log.size()), 2);
        QCOMPARE(log[1].kind, 'M');
        QCOMPARE(QPoint(log[1].x, log[1].y), QPoint(100, 100));
        QCOMPARE(int(log[1].points.size()), kMaxBufferedPoints);
        // The latest 50: raw moves 11 to 60, in quarter pixels.
        for (int k = 0; k < kMaxBufferedPoints; ++k) {
            const int i = 11 + k;
            QCOMPARE(QPoint(log[1].points[size_t(k)].x, log[1].points[size_t(k)].y),
                     QPoint(4 * (40 + i), 4 * (100 + i % 3)));
        }
        // The view drew every one of them from the one move.
        QCOMPARE(view->movePointCount, kMaxBufferedPoints);
        QCOMPARE(view->lastCanvasPt.x, 100);
        QTest::mouseRelease(w, Qt::LeftButton, Qt::NoModifier, QPoint(100, 100));
    }

    void TheLastRawPositionReachesTheViewBeforeTheRelease() {
        RunningProgram program;
        QVERIFY(program.Start(AtScale(1)));
        program.platform->logPenEvents = true;
        QWidget* w = program.platform->ViewWidget();
        QTest::mousePress(w, Qt::LeftButton, Qt::NoModifier, QPoint(50, 100));
        SendMove(w, QPointF(51, 100));
        SendMove(w, QPointF(52, 101));
        SendMove(w, QPointF(53, 102));
        // Released before the loop ran: the waiting move is delivered first.
        QTest::mouseRelease(w, Qt::LeftButton, Qt::NoModifier, QPoint(53, 102));
        QCoreApplication::processEvents();
        const auto& log = program.platform->penLog;
        QCOMPARE(int(log.size()), 3);
        QCOMPARE(log[1].kind, 'M');
        QCOMPARE(QPoint(log[1].x, log[1].y), QPoint(53, 102));
        QCOMPARE(int(log[1].points.size()), 3);
        QCOMPARE(log[1].points[2].x, 212);
        QCOMPARE(log[2].kind, 'U');
        // The next move's buffer starts afresh.
        SendMove(w, QPointF(60, 110), Qt::NoButton);
        QCoreApplication::processEvents();
        QCOMPARE(int(log.size()), 4);
        QCOMPARE(int(log[3].points.size()), 1);
    }

    void MovesWithoutAButtonReachTheViewAndOtherButtonsDoNot() {
        RunningProgram program;
        QVERIFY(program.Start(AtScale(1)));
        program.platform->logPenEvents = true;
        QWidget* w = program.platform->ViewWidget();
        QVERIFY(w->hasMouseTracking());
        SendMove(w, QPointF(30, 200), Qt::NoButton);
        QCoreApplication::processEvents();
        QTest::mousePress(w, Qt::RightButton, Qt::NoModifier, QPoint(30, 200));
        QTest::mouseRelease(w, Qt::RightButton, Qt::NoModifier, QPoint(30, 200));
        QTest::mousePress(w, Qt::MiddleButton, Qt::NoModifier, QPoint(30, 200));
        QTest::mouseRelease(w, Qt::MiddleButton, Qt::NoModifier, QPoint(30, 200));
        const auto& log = program.platform->penLog;
        QCOMPARE(int(log.size()), 1);
        QCOMPARE(log[0].kind, 'M');
    }

    void ADoubleClickIsAPress() {
        RunningProgram program;
        QVERIFY(program.Start(AtScale(1)));
        program.platform->logPenEvents = true;
        QWidget* w = program.platform->ViewWidget();
        QTest::mouseDClick(w, Qt::LeftButton, Qt::NoModifier, QPoint(70, 90));
        const auto& log = program.platform->penLog;
        QVERIFY(log.size() >= 1);
        QCOMPARE(log[0].kind, 'D');
        QCOMPARE(QPoint(log[0].x, log[0].y), QPoint(70, 90));
        QCOMPARE(program.app->View()->penDown, 1);
    }

    void TabletEventsDriveTheStylusAndAreAccepted() {
        RunningProgram program;
        QVERIFY(program.Start(AtScale(2)));
        program.platform->logPenEvents = true;
        QWidget* w = program.platform->ViewWidget();
        auto send = [w](QEvent::Type type, QPointF pos, Qt::MouseButton button,
                        Qt::MouseButtons buttons) {
            QTabletEvent e(type, QPointingDevice::primaryPointingDevice(), pos,
                           w->mapToGlobal(pos), 0.5, 0, 0, 0, 0, 0, Qt::NoModifier, button,
                           buttons);
            e.ignore();
            QCoreApplication::sendEvent(w, &e);
            return e.isAccepted();
        };
        QVERIFY(send(QEvent::TabletPress, QPointF(300.0, 300.0), Qt::LeftButton, Qt::LeftButton));
        QVERIFY(send(QEvent::TabletMove, QPointF(300.75, 301.5), Qt::NoButton, Qt::LeftButton));
        QVERIFY(send(QEvent::TabletMove, QPointF(302.25, 303.0), Qt::NoButton, Qt::LeftButton));
        QCoreApplication::processEvents();
        QVERIFY(send(QEvent::TabletRelease, QPointF(302.25, 303.0), Qt::LeftButton, Qt::NoButton));
        const auto& log = program.platform->penLog;
        QCOMPARE(int(log.size()), 3);
        QCOMPARE(log[0].kind, 'D');
        QCOMPARE(QPoint(log[0].x, log[0].y), QPoint(150, 150));
        QCOMPARE(log[1].kind, 'M');
        QCOMPARE(QPoint(log[1].x, log[1].y), QPoint(151, 151));
        // Sub-pixel tablet positions give real quarter pixels: 4 * 300.75 / 2 = 601.5.
        QCOMPARE(int(log[1].points.size()), 2);
        QCOMPARE(QPoint(log[1].points[0].x, log[1].points[0].y), QPoint(601, 603));
        QCOMPARE(QPoint(log[1].points[1].x, log[1].points[1].y), QPoint(604, 606));
        QCOMPARE(log[2].kind, 'U');
    }

    void HoldKeysBoundInTheSettingsSetTheHoldMode() {
        RunningProgram program;
        QVERIFY(program.Start(AtScale(1), "[setting]\nkey_spoit=65\nkey_zoom=112\n"));
        CVellumView* view = program.app->View();
        QCOMPARE(view->keyCodes[KeyEyedropper], 65u);
        QWidget* w = program.platform->ViewWidget();
        QTest::keyPress(w, Qt::Key_A);
        QCOMPARE(view->holdMode, 1);
        QTest::keyRelease(w, Qt::Key_A);
        QCOMPARE(view->holdMode, 0);
        QTest::keyPress(w, Qt::Key_F1);
        QCOMPARE(view->holdMode, 2);
        // A repeat's release is not the key coming up.
        QKeyEvent repeat(QEvent::KeyRelease, Qt::Key_F1, Qt::NoModifier, QString(), true);
        QCoreApplication::sendEvent(w, &repeat);
        QCOMPARE(view->holdMode, 2);
        QTest::keyRelease(w, Qt::Key_F1);
        QCOMPARE(view->holdMode, 0);
        // Tab is a key here too, not a move of the focus.
        QTest::keyClick(w, Qt::Key_Tab);
        QVERIFY(w->hasFocus());
    }

    void FocusChangesRouteTheFullScreenFlags() {
        RunningProgram program;
        QVERIFY(program.Start(AtScale(1)));
        QtPlatform& p = *program.platform;
        QVERIFY(!p.shellFlagHistory.empty());
        QCOMPARE(p.shellFlagHistory.front(), 0x0Au);  // the view's creation
        for (unsigned f : p.shellFlagHistory) QCOMPARE(f, 0x0Au);
        QEvent deactivate(QEvent::WindowDeactivate);
        QCoreApplication::sendEvent(p.Window(), &deactivate);
        QCOMPARE(p.lastShellFlags, 0x05u);
        QEvent activate(QEvent::WindowActivate);
        QCoreApplication::sendEvent(p.Window(), &activate);
        QCOMPARE(p.lastShellFlags, 0x0Au);
    }

    void ThePictureOnTheCommandLineOpensByTheTimer() {
        RunningProgram program;
        const QString path = program.root.path() + "/home/red picture.bmp";
        QImage red(240, 320, QImage::Format_RGB888);
        red.fill(qRgb(200, 10, 20));
        QVERIFY(red.save(path, "BMP"));
        DesktopOptions o = AtScale(1);
        o.commandLine = path.toStdString();
        QVERIFY(program.Start(o));
        CVellumView* view = program.app->View();
        QTRY_COMPARE_WITH_TIMEOUT(ScreenPixel(view->picture.Canvas(), 120, 200), qRgb(200, 10, 20), 3000);
        QCOMPARE(view->FilePath(), path.toStdString());
        QTRY_COMPARE(Grabbed(program.platform->ViewWidget()).pixel(120, 200), qRgb(200, 10, 20));
    }

    void SettingsAreWrittenOnceWhenTheWindowCloses() {
        RunningProgram program;
        QVERIFY(program.Start(AtScale(1)));
        program.app->View()->smoothing = 3;
        QTimer::singleShot(0, program.platform.get(), [&] { program.platform->PostClose(); });
        QCOMPARE(program.platform->Run(), 0);
        QVERIFY(program.platform->WindowDestroyed());
        QVERIFY(!program.platform->Window()->isVisible());
        QCOMPARE(program.platform->settingsWrites, 1);
        QFile file(program.SettingsPath());
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(file.readAll());
        QVERIFY(text.contains("pen=3"));
        QVERIFY(text.contains("key_Save=1"));
        QCOMPARE(text.count('='), 13);
    }

    void TheCloseButtonAsksAndNoKeepsTheProgramOpen() {
        RunningProgram program;
        QVERIFY(program.Start(AtScale(1)));
        QString asked;
        WhenModalAppears([&](QWidget* m) { ClickButton(m, QMessageBox::No, &asked); });
        program.platform->Window()->close();
        QTRY_COMPARE(asked, QString::fromUtf8("終了しますか？"));
        QCoreApplication::processEvents();
        QVERIFY(!program.platform->WindowDestroyed());
        QVERIFY(program.platform->Window()->isVisible());
        QCOMPARE(program.platform->settingsWrites, 0);
        // Yes quits: settings once, the window gone.
        WhenModalAppears([&](QWidget* m) { ClickButton(m, QMessageBox::Yes); });
        program.platform->Window()->close();
        QTRY_VERIFY(program.platform->WindowDestroyed());
        QCOMPARE(program.platform->settingsWrites, 1);
    }

    void ACloseFromOutsideAsksNothing() {
        RunningProgram program;
        QVERIFY(program.Start(AtScale(1)));
        program.app->View()->modified = 1;  // unsaved: still no question
        bool asked = false;
        WhenModalAppears([&](QWidget* m) { asked = true; m->close(); }, 500);
        program.platform->RequestOutsideClose();
        QTRY_VERIFY(program.platform->WindowDestroyed());
        QTest::qWait(600);
        QVERIFY(!asked);
        QCOMPARE(program.platform->settingsWrites, 1);
    }

    void ACloseFromOutsideEndsAnOpenQuestionFirst() {
        RunningProgram program;
        QVERIFY(program.Start(AtScale(1)));
        // The user's close shows the question; the session ends while it is open.
        WhenModalAppears([&](QWidget*) { program.platform->RequestOutsideClose(); });
        program.platform->Window()->close();
        QTRY_VERIFY_WITH_TIMEOUT(program.platform->WindowDestroyed(), 5000);
        QVERIFY(QApplication::activeModalWidget() == nullptr);
        QCOMPARE(program.platform->settingsWrites, 1);
    }

    void PlacesComeFromTheProgramAndTheUsersFolders() {
        RunningProgram program;
        QtPlatform platform{DesktopOptions{}};
        QCOMPARE(QString::fromStdString(platform.ProgramDir()), QStringLiteral(VELLUM_BIN_DIR "/"));
        const QString home = program.root.path() + "/home";
        QCOMPARE(QString::fromStdString(platform.PicturesDir()), home + "/");
        QDir(home).mkpath("Pictures");
        QCOMPARE(QString::fromStdString(platform.PicturesDir()), home + "/Pictures/");
        QCOMPARE(QString::fromStdString(platform.SettingsPath()), program.SettingsPath());
        std::string text;
        QVERIFY(!platform.ReadSettingsText(text));  // no store yet
        QVERIFY(platform.WriteSettingsText("[setting]\npen=4\n"));
        QVERIFY(platform.ReadSettingsText(text));
        QCOMPARE(text, std::string("[setting]\npen=4\n"));
    }

    void AnotherLanguageLoadsTheModuleBesideTheProgram() {
        RunningProgram program;
        qputenv("VELLUM_LANGUAGE", "0409");
        QVERIFY(program.Start(AtScale(1)));
        QCOMPARE(program.platform->UserLanguageId(), std::string("0409"));
        QCOMPARE(program.app->LanguageModule(), std::string("vellum.i18"));
        QString asked;
        WhenModalAppears([&](QWidget* m) { ClickButton(m, QMessageBox::No, &asked); });
        program.platform->Window()->close();
        QTRY_VERIFY(!asked.isEmpty());
        QVERIFY(asked != QString::fromUtf8("終了しますか？"));
        Resources::Active().UseBuiltIn();  // the other tests read the Japanese texts
        qputenv("VELLUM_LANGUAGE", "0411");
    }
};

VELLUM_QT_TEST(ProgramTest);

}  // namespace vellum::test

#include "ProgramTest.moc"
