// What desktop users bring, from real Qt events: the wheel zooms at the pointer, the
// middle button scrolls, the right button picks a colour, a pen's eraser end erases,
// the pointer shows the tool, message boxes carry the fitting icon, the clipboard holds
// the picture, and a full-screen run can become a window.
#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPointingDevice>
#include <QTabletEvent>
#include <QTest>
#include <QWheelEvent>

#include <cstring>
#include <vector>

#include "QtTestSupport.h"
#include "app/VellumView.h"
#include "platform/qt/Cursors.h"
#include "platform/qt/MainWindow.h"
#include "platform/qt/ViewWidget.h"

namespace vellum::test {

namespace {

DesktopOptions AtScale(int scale) {
    DesktopOptions o;
    o.scale = scale;
    return o;
}

std::vector<uint8_t> Canvas(const CVellumView& view) {
    return {view.picture.Canvas().bytes, view.picture.Canvas().bytes + view.picture.Canvas().byteSize};
}

// A picture pixel; one outside the picture reads as no colour at all.
QRgb CanvasPixel(const CVellumView& view, int x, int y) {
    const PixelSurface& c = view.picture.Canvas();
    if (x < 0 || y < 0 || x >= c.width || y >= c.height) return 0;
    const uint8_t* p = c.At(x, y);
    return qRgb(p[2], p[1], p[0]);
}

// A colour as the view keeps it: 0x00BBGGRR.
uint32_t ViewColour(QRgb c) { return uint32_t(qRed(c)) | uint32_t(qGreen(c)) << 8 | uint32_t(qBlue(c)) << 16; }

void Wheel(QWidget* w, QPointF at, int angle) {
    QWheelEvent e(at, w->mapToGlobal(at), QPoint(), QPoint(0, angle), Qt::NoButton, Qt::NoModifier,
                  Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(w, &e);
}

// The canvas point the view shows at a window point of the drawing area.
QPoint CanvasPointAt(const CVellumView& v, QPoint window) {
    return {v.viewOriginX + (window.x() >> v.zoomShift), v.viewOriginY + (window.y() >> v.zoomShift)};
}

void DrawStroke(QWidget* w, QPoint from, QPoint to) {
    QTest::mousePress(w, Qt::LeftButton, Qt::NoModifier, from);
    for (int i = 1; i <= 8; ++i) {
        QTest::mouseMove(w, from + (to - from) * i / 8);
        QCoreApplication::processEvents();
    }
    QTest::mouseRelease(w, Qt::LeftButton, Qt::NoModifier, to);
}

QImage CursorImage(const QCursor& c) { return c.pixmap().toImage().convertToFormat(QImage::Format_ARGB32); }

// Answers the next message box with button, noting its icon.
void AnswerBox(QMessageBox::Icon* icon, QMessageBox::StandardButton button) {
    WhenModalAppears([icon, button](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        if (!box) return;
        *icon = box->icon();
        if (QAbstractButton* b = box->button(button)) b->click();
    });
}

}  // namespace

class DesktopHabitsTest : public QObject {
    Q_OBJECT
private slots:
    void TheWheelZoomsAtThePointerAndBack() {
        RunningProgram program;
        QVERIFY(program.Start(AtScale(2)));
        CVellumView* view = program.app->View();
        QWidget* w = program.platform->ViewWidget();
        const QPoint pointer(150, 200);  // window pixels; the widget shows them doubled
        const QPoint under = CanvasPointAt(*view, pointer);
        Wheel(w, QPointF(pointer * 2), 120);
        QCOMPARE(view->zoomShift, 1);
        QCOMPARE(CanvasPointAt(*view, pointer), under);
        // Two notches at once are two levels.
        Wheel(w, QPointF(pointer * 2), 240);
        QCOMPARE(view->zoomShift, 3);
        QCOMPARE(CanvasPointAt(*view, pointer), under);
        Wheel(w, QPointF(pointer * 2), -360);
        QCOMPARE(view->zoomShift, 0);
        QCOMPARE(view->zoomFactor, 1);
        // The picture itself is untouched by zooming.
        QVERIFY(!view->modified);
    }

    void ATouchpadsSmallDeltasAddUpAndSidewaysMeansNothing() {
        RunningProgram program;
        QVERIFY(program.Start(AtScale(1)));
        CVellumView* view = program.app->View();
        QWidget* w = program.platform->ViewWidget();
        Wheel(w, QPointF(150, 200), 40);
        Wheel(w, QPointF(150, 200), 40);
        QCOMPARE(view->zoomShift, 0);
        Wheel(w, QPointF(150, 200), 40);
        QCOMPARE(view->zoomShift, 1);
        // A turn back drops what was gathered the other way.
        Wheel(w, QPointF(150, 200), 100);
        Wheel(w, QPointF(150, 200), -100);
        QCOMPARE(view->zoomShift, 1);
        Wheel(w, QPointF(150, 200), -20);
        QCOMPARE(view->zoomShift, 0);
        QWheelEvent sideways(QPointF(150, 200), w->mapToGlobal(QPointF(150, 200)), QPoint(), QPoint(480, 0),
                             Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(w, &sideways);
        QCOMPARE(view->zoomShift, 0);
    }

    void AMiddleDragScrollsWithoutHandModeOrInk() {
        RunningProgram program;
        QVERIFY(program.Start(AtScale(2)));
        program.platform->logPenEvents = true;
        CVellumView* view = program.app->View();
        QWidget* w = program.platform->ViewWidget();
        Wheel(w, QPointF(300, 400), 120);
        QCOMPARE(view->zoomShift, 1);
        const int x0 = view->viewOriginX, y0 = view->viewOriginY;
        const std::vector<uint8_t> before = Canvas(*view);
        program.platform->penLog.clear();
        QTest::mousePress(w, Qt::MiddleButton, Qt::NoModifier, QPoint(300, 400));
        QCOMPARE(program.platform->ShownCursor(), CursorKind::Hand);
        QCOMPARE(w->cursor().shape(), Qt::ClosedHandCursor);
        for (int i = 1; i <= 4; ++i) {
            QTest::mouseMove(w, QPoint(300 + 10 * i, 400 + 10 * i));
            QCoreApplication::processEvents();
        }
        // A left press meanwhile draws nothing.
        QTest::mousePress(w, Qt::LeftButton, Qt::NoModifier, QPoint(340, 440));
        QTest::mouseRelease(w, Qt::LeftButton, Qt::NoModifier, QPoint(340, 440));
        QTest::mouseRelease(w, Qt::MiddleButton, Qt::NoModifier, QPoint(340, 440));
        // Dragged 20 window pixels down and right: the view shows 10 canvas pixels
        // further up and left.
        QCOMPARE(view->viewOriginX, x0 - 10);
        QCOMPARE(view->viewOriginY, y0 - 10);
        QCOMPARE(view->handMode, 0);
        QCOMPARE(view->zoomShift, 1);
        QVERIFY(program.platform->penLog.empty());
        QVERIFY(Canvas(*view) == before);
        QCOMPARE(program.platform->ShownCursor(), CursorKind::Pencil);
        // The next left drag draws again.
        DrawStroke(w, QPoint(200, 300), QPoint(260, 330));
        QVERIFY(Canvas(*view) != before);
    }

    void TheRightButtonPicksTheCanvasColourUnderIt() {
        RunningProgram program;
        QVERIFY(program.Start(AtScale(2)));
        CVellumView* view = program.app->View();
        QWidget* w = program.platform->ViewWidget();
        DrawStroke(w, QPoint(200, 300), QPoint(300, 360));
        // A pixel the stroke drew, and one it left white.
        QPoint drawn(-1, -1);
        for (int y = 140; y <= 190 && drawn.x() < 0; ++y)
            for (int x = 90; x <= 160; ++x)
                if (CanvasPixel(*view, x, y) != qRgb(255, 255, 255)) {
                    drawn = QPoint(x, y);
                    break;
                }
        QVERIFY(drawn.x() >= 0);
        const std::vector<uint8_t> before = Canvas(*view);
        QTest::mouseClick(w, Qt::RightButton, Qt::NoModifier, QPoint(400, 600));
        QCOMPARE(view->currentColour, ViewColour(qRgb(255, 255, 255)));
        QTest::mouseClick(w, Qt::RightButton, Qt::NoModifier, drawn * 2);
        QCOMPARE(view->currentColour, ViewColour(CanvasPixel(*view, drawn.x(), drawn.y())));
        QVERIFY(view->currentColour != ViewColour(qRgb(255, 255, 255)));
        QVERIFY(Canvas(*view) == before);  // picking never draws
        // Zoomed, the pick takes the canvas point under the pointer.
        Wheel(w, QPointF(drawn * 2), 120);
        QCOMPARE(view->zoomShift, 1);
        QTest::mouseClick(w, Qt::RightButton, Qt::NoModifier, QPoint(400, 600));
        QTest::mouseClick(w, Qt::RightButton, Qt::NoModifier, drawn * 2);
        QCOMPARE(view->currentColour, ViewColour(CanvasPixel(*view, drawn.x(), drawn.y())));
    }

    void ThePensEraserEndErasesForItsStrokeOnly() {
        RunningProgram program;
        QVERIFY(program.Start(AtScale(2)));
        CVellumView* view = program.app->View();
        QWidget* w = program.platform->ViewWidget();
        const std::vector<uint8_t> white = Canvas(*view);
        DrawStroke(w, QPoint(200, 300), QPoint(300, 300));
        QVERIFY(Canvas(*view) != white);
        QPointingDevice eraserEnd(QStringLiteral("pen eraser"), 4242, QInputDevice::DeviceType::Stylus,
                                  QPointingDevice::PointerType::Eraser,
                                  QInputDevice::Capability::Position | QInputDevice::Capability::Pressure, 1, 3);
        auto send = [&](QEvent::Type type, QPointF pos, Qt::MouseButton button, Qt::MouseButtons buttons) {
            QTabletEvent e(type, &eraserEnd, pos, w->mapToGlobal(pos), 1.0, 0, 0, 0, 0, 0, Qt::NoModifier,
                           button, buttons);
            QCoreApplication::sendEvent(w, &e);
        };
        // Rubbed to and fro over the line.
        send(QEvent::TabletPress, QPointF(190, 300), Qt::LeftButton, Qt::LeftButton);
        QCOMPARE(program.platform->ShownCursor(), CursorKind::Eraser);
        for (int pass = 0; pass < 3; ++pass)
            for (int x = 190; x <= 310; x += 4) {
                for (int dy = -12; dy <= 12; dy += 6) send(QEvent::TabletMove, QPointF(x, 300 + dy), Qt::NoButton, Qt::LeftButton);
                QCoreApplication::processEvents();
            }
        send(QEvent::TabletRelease, QPointF(310, 300), Qt::LeftButton, Qt::NoButton);
        QCOMPARE(view->eraser, 0);  // the toggle was never touched
        int dark = 0;
        for (int x = 100; x <= 150; ++x)
            if (CanvasPixel(*view, x, 150) != qRgb(255, 255, 255)) ++dark;
        QCOMPARE(dark, 0);
        QCOMPARE(program.platform->ShownCursor(), CursorKind::Pencil);
        // The tip draws again.
        const std::vector<uint8_t> erased = Canvas(*view);
        DrawStroke(w, QPoint(200, 400), QPoint(300, 400));
        QVERIFY(Canvas(*view) != erased);
    }

    void ThePointerShowsTheTool() {
        RunningProgram program;
        QVERIFY(program.Start(AtScale(1), "[setting]\nkey_spoit=65\nkey_zoom=112\n"));
        QtPlatform& p = *program.platform;
        QWidget* w = p.ViewWidget();
        const QImage pencil = CursorImage(CursorFor(CursorKind::Pencil));
        QCOMPARE(p.ShownCursor(), CursorKind::Pencil);
        QCOMPARE(CursorImage(w->cursor()), pencil);
        QTest::keyClick(w, Qt::Key_E);
        QCOMPARE(p.ShownCursor(), CursorKind::Eraser);
        QCOMPARE(CursorImage(w->cursor()), CursorImage(CursorFor(CursorKind::Eraser)));
        QVERIFY(CursorImage(w->cursor()) != pencil);
        QTest::keyClick(w, Qt::Key_H);
        QCOMPARE(p.ShownCursor(), CursorKind::Hand);
        QCOMPARE(w->cursor().shape(), Qt::OpenHandCursor);
        // The hand closes while it drags.
        QTest::mousePress(w, Qt::LeftButton, Qt::NoModifier, QPoint(150, 200));
        QCOMPARE(w->cursor().shape(), Qt::ClosedHandCursor);
        QTest::mouseRelease(w, Qt::LeftButton, Qt::NoModifier, QPoint(150, 200));
        QCOMPARE(w->cursor().shape(), Qt::OpenHandCursor);
        QTest::keyClick(w, Qt::Key_H);
        QCOMPARE(p.ShownCursor(), CursorKind::Eraser);
        QTest::keyClick(w, Qt::Key_E);
        QCOMPARE(p.ShownCursor(), CursorKind::Pencil);
        QCOMPARE(CursorImage(w->cursor()), pencil);
        // The hold keys: the eyedropper and the magnifier while held.
        QTest::keyPress(w, Qt::Key_A);
        QCOMPARE(p.ShownCursor(), CursorKind::Eyedropper);
        QCOMPARE(CursorImage(w->cursor()), CursorImage(CursorFor(CursorKind::Eyedropper)));
        QTest::keyRelease(w, Qt::Key_A);
        QTest::keyPress(w, Qt::Key_F1);
        QCOMPARE(p.ShownCursor(), CursorKind::Zoom);
        QCOMPARE(CursorImage(w->cursor()), CursorImage(CursorFor(CursorKind::Zoom)));
        QTest::keyRelease(w, Qt::Key_F1);
        QCOMPARE(p.ShownCursor(), CursorKind::Pencil);
        // Every tool has a shape of its own.
        const CursorKind drawn[] = {CursorKind::Pencil, CursorKind::Eraser, CursorKind::Eyedropper, CursorKind::Zoom};
        for (CursorKind a : drawn)
            for (CursorKind b : drawn)
                if (a != b) QVERIFY(CursorImage(CursorFor(a)) != CursorImage(CursorFor(b)));
    }

    void AHeldKeyRepeatsOnlyWhatShouldRepeat() {
        RunningProgram program;
        QVERIFY(program.Start(AtScale(1)));
        CVellumView* view = program.app->View();
        QWidget* w = program.platform->ViewWidget();
        auto press = [w](int key, Qt::KeyboardModifiers mods, bool repeat) {
            QKeyEvent e(QEvent::KeyPress, key, mods, QString(), repeat);
            QCoreApplication::sendEvent(w, &e);
        };
        press(Qt::Key_E, Qt::NoModifier, false);
        QCOMPARE(view->eraser, 1);
        for (int i = 0; i < 3; ++i) {
            press(Qt::Key_E, Qt::NoModifier, true);
            QCOMPARE(view->eraser, 1);  // the toggle acts once for a held key
        }
        QTest::keyRelease(w, Qt::Key_E);
        QTest::keyClick(w, Qt::Key_E);
        QCOMPARE(view->eraser, 0);
        // Undo goes on while held.
        const std::vector<uint8_t> white = Canvas(*view);
        DrawStroke(w, QPoint(100, 200), QPoint(140, 220));
        DrawStroke(w, QPoint(100, 250), QPoint(140, 270));
        press(Qt::Key_Z, Qt::ControlModifier, false);
        QVERIFY(Canvas(*view) != white);
        press(Qt::Key_Z, Qt::ControlModifier, true);
        QVERIFY(Canvas(*view) == white);
    }

    void MessageBoxesCarryTheFittingIcon() {
        RunningProgram program;
        QVERIFY(program.Start(AtScale(1)));
        CVellumView* view = program.app->View();
        QWidget* w = program.platform->ViewWidget();
        DrawStroke(w, QPoint(100, 200), QPoint(140, 220));
        view->picture.SetPath((program.root.path() + "/home/saved.bmp").toStdString());
        QMessageBox::Icon asked = QMessageBox::NoIcon, told = QMessageBox::NoIcon;
        WhenModalAppears([&](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            if (!box) return;
            asked = box->icon();
            AnswerBox(&told, QMessageBox::Ok);  // the next box: the outcome
            box->button(QMessageBox::Yes)->click();
        });
        // The file page's Save asks, and tells the outcome.
        QTest::keyClick(w, Qt::Key_Tab);
        QTest::mouseClick(w, Qt::LeftButton, Qt::NoModifier, QPoint(200, 80));
        QTRY_VERIFY(told != QMessageBox::NoIcon);
        QCOMPARE(asked, QMessageBox::Question);
        QCOMPARE(told, QMessageBox::Information);
        QVERIFY(QFile::exists(program.root.path() + "/home/saved.bmp"));
        QCOMPARE(view->modified, 0);
        QCOMPARE(program.platform->Window()->windowTitle(), QString("saved.bmp - .:Vellum:."));

        // Ctrl+S on a named picture saves without a question; a folder that is not there:
        // the failure warns, and the title keeps the unsaved mark.
        DrawStroke(w, QPoint(100, 250), QPoint(140, 270));
        view->picture.SetPath((program.root.path() + "/no such folder/saved.bmp").toStdString());
        told = QMessageBox::NoIcon;
        WhenModalAppears([&](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            if (!box) return;
            told = box->icon();
            box->button(QMessageBox::Ok)->click();
        });
        QTest::keyClick(w, Qt::Key_S, Qt::ControlModifier);
        QTRY_VERIFY(told != QMessageBox::NoIcon);
        QCOMPARE(told, QMessageBox::Warning);
        QCOMPARE(view->modified, 1);
        QCOMPARE(program.platform->Window()->windowTitle(), QString("*saved.bmp - .:Vellum:."));
    }

    void TheClipboardTakesAndGivesThePicture() {
        RunningProgram program;
        QVERIFY(program.Start(AtScale(1)));
        CVellumView* view = program.app->View();
        QWidget* w = program.platform->ViewWidget();
        QClipboard* clipboard = QGuiApplication::clipboard();
        clipboard->clear();
        DrawStroke(w, QPoint(100, 200), QPoint(160, 230));
        QTest::keyClick(w, Qt::Key_C, Qt::ControlModifier);
        const QImage copied = clipboard->image().convertToFormat(QImage::Format_RGB32);
        QCOMPARE(copied.size(), QSize(view->W, view->H));
        int differing = 0, dark = 0;
        for (int y = 0; y < copied.height(); ++y)
            for (int x = 0; x < copied.width(); ++x) {
                if (copied.pixel(x, y) != CanvasPixel(*view, x, y)) ++differing;
                if (copied.pixel(x, y) != qRgb(255, 255, 255)) ++dark;
            }
        QCOMPARE(differing, 0);
        QVERIFY(dark > 0);

        // A smaller picture becomes the picture at its own size, as one undo step.
        QImage small(100, 80, QImage::Format_RGB32);
        for (int y = 0; y < 80; ++y)
            for (int x = 0; x < 100; ++x) small.setPixel(x, y, qRgb(2 * x, 3 * y, 90));
        clipboard->setImage(small);
        const std::vector<uint8_t> drawn = Canvas(*view);
        QTest::keyClick(w, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(CanvasPixel(*view, 0, 0), qRgb(0, 0, 90));
        QCOMPARE(CanvasPixel(*view, 99, 79), qRgb(198, 237, 90));
        QCOMPARE(CanvasPixel(*view, 37, 51), qRgb(74, 153, 90));
        QCOMPARE(view->picture.Width(), 100);
        QCOMPARE(view->picture.Height(), 80);
        QCOMPARE(view->modified, 1);
        QTest::keyClick(w, Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(Canvas(*view) == drawn);
        QTest::keyClick(w, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);

        // Transparent parts are white paper.
        QImage clear(20, 10, QImage::Format_ARGB32);
        clear.fill(Qt::transparent);
        clear.setPixel(3, 4, qRgba(10, 20, 30, 255));
        clipboard->setImage(clear);
        QTest::keyClick(w, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(CanvasPixel(*view, 3, 4), qRgb(10, 20, 30));
        QCOMPARE(CanvasPixel(*view, 5, 5), qRgb(255, 255, 255));
        QCOMPARE(view->picture.Width(), 20);

        // No picture, or one larger than any picture file may be, changes nothing.
        const std::vector<uint8_t> before = Canvas(*view);
        clipboard->setText(QStringLiteral("words"));
        QTest::keyClick(w, Qt::Key_V, Qt::ControlModifier);
        QVERIFY(Canvas(*view) == before);
        QImage wide(32769, 1, QImage::Format_RGB32);
        wide.fill(Qt::red);
        clipboard->setImage(wide);
        OwnedSurface got;
        QVERIFY(!program.platform->GetClipboardPicture(got));
        QVERIFY(!got.Exists());
        QTest::keyClick(w, Qt::Key_V, Qt::ControlModifier);
        QVERIFY(Canvas(*view) == before);
        clipboard->clear();
        QVERIFY(!program.platform->GetClipboardPicture(got));
    }

    // The window resizes and maximises; the screen is its client area divided by the
    // scale and follows at once; the picture keeps its size.
    void TheScreenFollowsTheWindow() {
        RunningProgram program;
        QVERIFY(program.Start(AtScale(2)));
        QtPlatform& p = *program.platform;
        CVellumView* view = program.app->View();
        p.Window()->resize(1001, 703);
        QTRY_COMPARE(p.ViewWidget()->size(), QSize(1001, 703));
        int sw = 0, sh = 0;
        p.GetClientSize(sw, sh);
        QCOMPARE(QSize(sw, sh), QSize(500, 351));
        QCOMPARE(view->W, 504);
        QCOMPARE(view->H, 351);
        QCOMPARE(view->picture.Width(), 240);
        QCOMPARE(view->picture.Height(), 320);
        // The picture is centred on the desk; a stroke lands where it is drawn.
        QCOMPARE(view->viewOriginX, -132);  // centred on the screen, 504 wide
        const QPoint at(250 * 2, 300 * 2);
        DrawStroke(p.ViewWidget(), at, at + QPoint(20, 0));
        QVERIFY(CanvasPixel(*view, 250 + view->viewOriginX + 3, 300 + view->viewOriginY) != qRgb(255, 255, 255));
        // What the window shows: the desk around the picture, the widget's odd pixel too.
        const QImage shown = p.ViewWidget()->Picture();
        QCOMPARE(shown.pixel(10, 690), qRgb(kDeskGrey, kDeskGrey, kDeskGrey));
        QCOMPARE(shown.pixel(1000, 702), qRgb(kDeskGrey, kDeskGrey, kDeskGrey));
        const Qt::WindowFlags flags = p.Window()->windowFlags();
        QVERIFY(flags & Qt::WindowMinimizeButtonHint);
        QVERIFY(flags & Qt::WindowCloseButtonHint);
        QVERIFY(flags & Qt::WindowTitleHint);
    }

    // F11 enters and leaves full screen and Esc leaves it, not the program's then;
    // leaving gives back the window as it was (a run that started full screen: the one
    // --screen asks for), at the same scale, and the screen follows each.
    void F11AndEscTakeTheWindowFullScreenAndBack() {
        RunningProgram program;
        DesktopOptions o = AtScale(2);
        o.fullscreen = true;
        QVERIFY(program.Start(o, "[setting]\nkey_spoit=27\n"));
        QtPlatform& p = *program.platform;
        CVellumView* view = program.app->View();
        QWidget* w = p.ViewWidget();
        QTRY_VERIFY(p.Window()->isFullScreen());
        QTest::keyPress(w, Qt::Key_Escape);
        QCOMPARE(view->holdMode, 0);
        QTest::keyRelease(w, Qt::Key_Escape);
        QTRY_VERIFY(!p.Window()->isFullScreen());
        QTRY_COMPARE(w->size(), QSize(o.screenWidth * 2, o.screenHeight * 2));
        QCOMPARE(p.Scale(), 2);
        int sw = 0, sh = 0;
        p.GetClientSize(sw, sh);
        QCOMPARE(QSize(sw, sh), QSize(o.screenWidth, o.screenHeight));
        QCOMPARE(view->W, o.screenWidth);
        // A stroke lands where it is drawn.
        const QPoint at(sw / 2 * 2, sh * 3 / 4 * 2);
        DrawStroke(w, at, at + QPoint(20, 0));
        int dark = 0;
        for (int x = sw / 2 - 2; x <= sw / 2 + 12; ++x)
            for (int y = sh * 3 / 4 - 3; y <= sh * 3 / 4 + 3; ++y)
                if (CanvasPixel(*view, x + view->viewOriginX, y + view->viewOriginY) != qRgb(255, 255, 255)) ++dark;
        QVERIFY(dark > 0);
        // Esc is the program's in a window.
        QTest::keyPress(w, Qt::Key_Escape);
        QCOMPARE(view->holdMode, 1);
        QTest::keyRelease(w, Qt::Key_Escape);
        // F11 and back: the window as it was.
        p.Window()->resize(700, 500);
        QTRY_COMPARE(w->size(), QSize(700, 500));
        QTest::keyClick(w, Qt::Key_F11);
        QTRY_VERIFY(p.Window()->isFullScreen());
        QTest::keyClick(w, Qt::Key_F11);
        QTRY_VERIFY(!p.Window()->isFullScreen());
        QTRY_COMPARE(w->size(), QSize(700, 500));
        p.GetClientSize(sw, sh);
        QCOMPARE(QSize(sw, sh), QSize(350, 250));
        // Asking the window forward does not make it full screen again.
        p.MoveFrame(0, 0, sw, sh);
        QVERIFY(!p.Window()->isFullScreen());
    }

    void AWindowedRunLeavesEscToTheProgram() {
        RunningProgram program;
        QVERIFY(program.Start(AtScale(1), "[setting]\nkey_spoit=27\n"));
        QVERIFY(!program.platform->InFullScreen());
        QTest::keyPress(program.platform->ViewWidget(), Qt::Key_Escape);
        QCOMPARE(program.app->View()->holdMode, 1);
        QTest::keyRelease(program.platform->ViewWidget(), Qt::Key_Escape);
        QCOMPARE(program.app->View()->holdMode, 0);
    }
};

VELLUM_QT_TEST(DesktopHabitsTest);

}  // namespace vellum::test

#include "DesktopHabitsTest.moc"
