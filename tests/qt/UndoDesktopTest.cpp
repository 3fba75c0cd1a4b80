// Undo and redo in the desktop program: Ctrl+Z, Ctrl+Shift+Z and Ctrl+Y from real key
// events, the status bar's undo slot from a real click, and --undo-memory.
#include <QTest>

#include <cstring>
#include <vector>

#include "QtTestSupport.h"
#include "app/VellumView.h"
#include "platform/qt/ViewWidget.h"

namespace vellum::test {

namespace {

std::vector<uint8_t> Canvas(const CVellumView& view) {
    return {view.picture.Canvas().bytes, view.picture.Canvas().bytes + view.picture.Canvas().byteSize};
}

void DrawStroke(QWidget* w) {
    QTest::mousePress(w, Qt::LeftButton, Qt::NoModifier, QPoint(100, 200));
    for (int x = 102; x <= 140; x += 3) {
        QTest::mouseMove(w, QPoint(x, 200 + (x - 100) / 2));
        QCoreApplication::processEvents();
    }
    QTest::mouseRelease(w, Qt::LeftButton, Qt::NoModifier, QPoint(140, 220));
}

}  // namespace

class UndoDesktopTest : public QObject {
    Q_OBJECT
private slots:
    void ShortcutsAndTheBarsUndoSlot() {
        RunningProgram program;
        DesktopOptions options;
        options.scale = 1;
        QVERIFY(program.Start(options));
        CVellumView* view = program.app->View();
        QWidget* w = program.platform->ViewWidget();
        const std::vector<uint8_t> white = Canvas(*view);
        DrawStroke(w);
        const std::vector<uint8_t> drawn = Canvas(*view);
        QVERIFY(drawn != white);

        QTest::keyClick(w, Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(Canvas(*view) == white);
        QCOMPARE(Grabbed(w).pixel(120, 210), qRgb(255, 255, 255));
        QTest::keyClick(w, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QVERIFY(Canvas(*view) == drawn);
        QVERIFY(Grabbed(w).pixel(120, 210) != qRgb(255, 255, 255));
        QTest::keyClick(w, Qt::Key_Z, Qt::ControlModifier);
        QTest::keyClick(w, Qt::Key_Y, Qt::ControlModifier);
        QVERIFY(Canvas(*view) == drawn);
        // Z alone is no shortcut.
        QTest::keyClick(w, Qt::Key_Z);
        QVERIFY(Canvas(*view) == drawn);

        // A click on the bar's undo slot, where the pristine bar has the emblem.
        QTest::mouseClick(w, Qt::LeftButton, Qt::NoModifier, QPoint(210, 12));
        QVERIFY(Canvas(*view) == white);
        QVERIFY(!view->picture.History().CanUndo());
        QCOMPARE(view->modified, 0);
    }

    // The bar and the file page with nothing to undo, then with a stroke to undo: the
    // undo slot and the buttons change, nothing else of the strips does. With
    // VELLUM_SHOTS=dir the grabs are saved there to look at.
    void TheStripsShowWhetherThereIsAnythingToUndo() {
        RunningProgram program;
        DesktopOptions options;
        options.scale = 2;
        QVERIFY(program.Start(options));
        QWidget* w = program.platform->ViewWidget();
        QTest::mouseClick(w, Qt::LeftButton, Qt::NoModifier, QPoint(100, 20));  // the panel
        const QImage before = Grabbed(w);
        QTest::mousePress(w, Qt::LeftButton, Qt::NoModifier, QPoint(200, 400));
        QTest::mouseMove(w, QPoint(260, 440));
        QCoreApplication::processEvents();
        QTest::mouseRelease(w, Qt::LeftButton, Qt::NoModifier, QPoint(260, 440));
        const QImage after = Grabbed(w);
        const QString dir = qEnvironmentVariable("VELLUM_SHOTS");
        if (!dir.isEmpty()) {
            QVERIFY(before.save(dir + "/desktop-undo-unavailable.png"));
            QVERIFY(after.save(dir + "/desktop-undo-available.png"));
        }
        // Rows of the strips (bar 0..29, panel 30..159 at scale 2) that differ.
        int barSlot = 0, barElsewhere = 0, buttons = 0, panelElsewhere = 0;
        for (int y = 0; y < 320; ++y)
            for (int x = 0; x < 480; ++x) {
                if (before.pixel(x, y) == after.pixel(x, y)) continue;
                const int sx = x / 2, sy = y / 2;
                if (sy < 30)
                    ++((sx >= 200 && sx < 220 && sy >= 5 && sy < 25) ? barSlot : barElsewhere);
                else
                    ++((sx >= 60 && sx < 140 && sy - 30 >= 75 && sy - 30 < 110) ? buttons : panelElsewhere);
            }
        QVERIFY(barSlot > 0);
        QVERIFY(buttons > 0);
        QCOMPARE(barElsewhere, 0);
        QCOMPARE(panelElsewhere, 0);
    }

    void UndoMemoryComesFromTheCommandLine() {
        RunningProgram program;
        DesktopOptions options;
        options.scale = 1;
        options.undoMemoryMiB = 16;
        QVERIFY(program.Start(options));
        QCOMPARE(program.app->View()->picture.History().MemoryLimit(), int64_t(16) << 20);
    }
};

VELLUM_QT_TEST(UndoDesktopTest);

}  // namespace vellum::test

#include "UndoDesktopTest.moc"
