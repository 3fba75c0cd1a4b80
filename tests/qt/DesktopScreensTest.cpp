// The desktop program's screens as a person sees them: the five panel pages at the top
// and at the bottom, pencil strokes in two colours on two papers, and the zoomed view.
// Every window grab must be the view's screen buffer scaled pixel for pixel. With
// VELLUM_SHOTS=dir the grabs are saved there as PNG files to look at.
#include <QCoreApplication>
#include <QDir>
#include <QSet>
#include <QTest>

#include <vector>

#include "QtTestSupport.h"
#include "app/VellumView.h"
#include "platform/qt/ViewWidget.h"

namespace vellum::test {

namespace {

constexpr int kScale = 2;
const char* const kPageNames[5] = {"file", "pen", "colour", "paper", "settings"};

QRgb PixelOf(const PixelSurface& s, int x, int y) {
    const uint8_t* p = s.At(x, y);
    return qRgb(p[2], p[1], p[0]);
}

int Lightness(QRgb c) { return qRed(c) + qGreen(c) + qBlue(c); }

// A tap at an emulated-screen point, as the mouse sends it.
void Tap(QWidget* w, int x, int y) {
    const QPoint p(x * kScale, y * kScale);
    QTest::mousePress(w, Qt::LeftButton, Qt::NoModifier, p);
    QTest::mouseRelease(w, Qt::LeftButton, Qt::NoModifier, p);
    QCoreApplication::processEvents();
}

// Press, one move per event-loop pass through every point, release at the last.
void Stroke(QWidget* w, const std::vector<QPoint>& points) {
    QTest::mousePress(w, Qt::LeftButton, Qt::NoModifier, points.front() * kScale);
    for (size_t i = 1; i < points.size(); ++i) {
        QTest::mouseMove(w, points[i] * kScale);
        QCoreApplication::processEvents();
    }
    QTest::mouseRelease(w, Qt::LeftButton, Qt::NoModifier, points.back() * kScale);
    QCoreApplication::processEvents();
}

std::vector<QPoint> Line(QPoint from, QPoint to, int steps) {
    std::vector<QPoint> out;
    for (int i = 0; i <= steps; ++i)
        out.push_back(from + (to - from) * i / steps);
    return out;
}

// The window pixels that differ from the screen buffer shown scale x scale.
int MismatchesWithScreen(const QImage& shot, const PixelSurface& screen) {
    if (shot.size() != QSize(screen.width * kScale, screen.height * kScale)) return -1;
    int mismatches = 0;
    for (int y = 0; y < shot.height(); ++y) {
        const QRgb* row = reinterpret_cast<const QRgb*>(shot.constScanLine(y));
        for (int x = 0; x < shot.width(); ++x)
            if ((row[x] | 0xFF000000u) != PixelOf(screen, x / kScale, y / kScale)) ++mismatches;
    }
    return mismatches;
}

// Window pixels of the tool panel that are not the skin's tool-panel work area.
int PanelMismatches(const QImage& shot, const PixelSurface& skin, int panelY) {
    int mismatches = 0;
    for (int y = 0; y < 130; ++y)
        for (int x = 0; x < 240; ++x)
            if (shot.pixel(x * kScale, (panelY + y) * kScale) != PixelOf(skin, x, 530 + y))
                ++mismatches;
    return mismatches;
}

void SaveShot(const QImage& shot, const QString& name) {
    const QString dir = qEnvironmentVariable("VELLUM_SHOTS");
    if (dir.isEmpty()) return;
    QDir().mkpath(dir);
    QVERIFY2(shot.save(dir + "/desktop-" + name + ".png"), qPrintable(name));
}

}  // namespace

class DesktopScreensTest : public QObject {
    Q_OBJECT

    // Visits the five pages by their tabs with the strips at panelY, checking each grab.
    void VisitEveryPage(RunningProgram& program, const char* where) {
        CVellumView* view = program.app->View();
        QWidget* w = program.platform->ViewWidget();
        const PixelSurface& skin = view->skinImage.Get();
        const int panelY = view->PanelY();
        QSet<QByteArray> bodies;
        for (int page = 0; page < 5; ++page) {
            Tap(w, 20, panelY + 20 + 20 * page);
            QCOMPARE(view->panelPage, page);
            QVERIFY(view->panelShown);
            const QImage shot = Grabbed(w);
            SaveShot(shot, QStringLiteral("%1-%2-%3").arg(where).arg(page).arg(kPageNames[page]));
            QCOMPARE(MismatchesWithScreen(shot, view->screenBuffer.Get()), 0);
            QCOMPARE(PanelMismatches(shot, skin, panelY), 0);
            // The tab mark sits at this page's tab only: the work area differs from the
            // pristine panel there and nowhere else in the tab column.
            for (int tab = 0; tab < 5; ++tab) {
                int marked = 0;
                for (int y = 0; y < 10; ++y)
                    for (int x = 15; x < 25; ++x)
                        if (PixelOf(skin, x, 530 + 20 + 20 * tab + y) !=
                            PixelOf(skin, x, 30 + 20 + 20 * tab + y))
                            ++marked;
                if (tab == page)
                    QVERIFY2(marked > 0, kPageNames[page]);
                else
                    QCOMPARE(marked, 0);
            }
            QByteArray body;
            for (int y = 0; y < 130; ++y)
                for (int x = 40; x < 240; ++x) body.append(reinterpret_cast<const char*>(skin.At(x, 530 + y)), 3);
            bodies.insert(body);
        }
        QCOMPARE(int(bodies.size()), 5);  // five different page contents
    }

private slots:
    void TheFivePagesShowAtTheTopAndAtTheBottom() {
        RunningProgram program;
        DesktopOptions options;
        options.scale = kScale;
        QVERIFY(program.Start(options));
        CVellumView* view = program.app->View();
        QWidget* w = program.platform->ViewWidget();
        QCOMPARE(w->size(), QSize(480, 640));

        Tap(w, 50, 15);
        QVERIFY(view->panelShown);
        VisitEveryPage(program, "top");

        Tap(w, 230, 15);
        QVERIFY(view->panelAtBottom);
        QCOMPARE(view->PanelY(), 160);
        VisitEveryPage(program, "bottom");
        // The strips have left the top: white paper where they were.
        const QImage shot = Grabbed(w);
        int notWhite = 0;
        for (int y = 0; y < 160 * kScale; ++y)
            for (int x = 0; x < 480; ++x)
                if (shot.pixel(x, y) != qRgb(255, 255, 255)) ++notWhite;
        QCOMPARE(notWhite, 0);
        // The bar is the bottom 30 rows.
        bool barDrawn = false;
        for (int x = 0; x < 480 && !barDrawn; ++x) barDrawn = shot.pixel(x, 305 * kScale) != qRgb(255, 255, 255);
        QVERIFY(barDrawn);
    }

    void StrokesShowTheGrainDeepenAndZoom() {
        RunningProgram program;
        DesktopOptions options;
        options.scale = kScale;
        QVERIFY(program.Start(options));
        CVellumView* view = program.app->View();
        QWidget* w = program.platform->ViewWidget();
        const PixelSurface& skin = view->skinImage.Get();
        const PixelSurface& canvas = view->picture.Canvas();

        // Pen 5 (index 4), a warm colour from the palette, the first paper.
        Tap(w, 50, 15);
        Tap(w, 20, 70);
        Tap(w, 140, 70);
        QCOMPARE(view->penIndex, 4);
        Tap(w, 20, 90);
        Tap(w, 58, 95);
        QCOMPARE(view->paletteMark.x, 58);
        QCOMPARE(view->paletteMark.y, 65);
        const QRgb warm = PixelOf(skin, 8, 225);
        QCOMPARE(view->currentColour, uint32_t(qRed(warm) | qGreen(warm) << 8 | qBlue(warm) << 16));
        {
            const QImage shot = Grabbed(w);
            SaveShot(shot, "colour-picked");
            QCOMPARE(MismatchesWithScreen(shot, view->screenBuffer.Get()), 0);
            QCOMPARE(PanelMismatches(shot, skin, 30), 0);
        }
        Tap(w, 20, 110);
        Tap(w, 80, 90);
        QCOMPARE(view->paperIndex, 0);
        Tap(w, 50, 15);
        QVERIFY(!view->panelShown);

        // One horizontal stroke, and one that runs up under the status bar.
        const std::vector<QPoint> across = Line(QPoint(40, 120), QPoint(200, 120), 80);
        Stroke(w, across);
        Stroke(w, Line(QPoint(110, 180), QPoint(90, 4), 60));
        QVERIFY(view->modified);
        std::vector<QRgb> firstPass;
        for (int y = 110; y < 131; ++y)
            for (int x = 50; x < 190; ++x) firstPass.push_back(PixelOf(canvas, x, y));
        {
            const QImage shot = Grabbed(w);
            SaveShot(shot, "strokes-first-pass");
        }

        // The same stroke again deepens the mark.
        Stroke(w, across);
        long before = 0, after = 0;
        int darker = 0, lighter = 0;
        size_t i = 0;
        for (int y = 110; y < 131; ++y)
            for (int x = 50; x < 190; ++x, ++i) {
                const QRgb now = PixelOf(canvas, x, y);
                before += Lightness(firstPass[i]);
                after += Lightness(now);
                if (Lightness(now) < Lightness(firstPass[i])) ++darker;
                if (Lightness(now) > Lightness(firstPass[i]) + 3) ++lighter;
            }
        QVERIFY2(after < before - 140 * 20, qPrintable(QStringLiteral("%1 -> %2").arg(before).arg(after)));
        QVERIFY(darker > 140 * 5);
        // Where both layers saturate within one segment the colour layer outgrows the
        // coverage and a channel lightens; that stays rare (the two strokes' crossing).
        QVERIFY2(lighter * 20 < darker, qPrintable(QStringLiteral("%1 lighter").arg(lighter)));

        // A cool colour on the second texture, from the bar's swatch and the panel.
        Tap(w, 130, 15);
        QVERIFY(view->panelShown);
        QCOMPARE(view->panelPage, int(PageColour));
        Tap(w, 150, 95);
        const QRgb cool = PixelOf(skin, 100, 225);
        QCOMPARE(view->currentColour, uint32_t(qRed(cool) | qGreen(cool) << 8 | qBlue(cool) << 16));
        Tap(w, 20, 110);
        Tap(w, 160, 90);
        QCOMPARE(view->paperIndex, 2);
        Tap(w, 50, 15);
        QVERIFY(!view->panelShown);
        std::vector<QPoint> wave;
        for (int x = 40; x <= 200; x += 2)
            wave.push_back(QPoint(x, 200 + (x / 20 % 2 ? (x % 20) : 20 - x % 20) - 10));
        Stroke(w, Line(QPoint(40, 240), QPoint(200, 240), 80));
        Stroke(w, wave);

        // Grain: the stroke's middle row is not one flat colour, on either paper.
        for (int y : {120, 240}) {
            QSet<QRgb> shades;
            int marked = 0;
            for (int x = 60; x < 180; ++x) {
                const QRgb c = PixelOf(canvas, x, y);
                shades.insert(c);
                if (c != qRgb(255, 255, 255)) ++marked;
            }
            QVERIFY2(marked > 100, qPrintable(QString::number(y)));
            QVERIFY2(shades.size() >= 10, qPrintable(QStringLiteral("row %1: %2 shades").arg(y).arg(shades.size())));
        }
        // The cool stroke is bluer than the warm one.
        long warmBlueMinusRed = 0, coolBlueMinusRed = 0;
        for (int x = 60; x < 180; ++x) {
            warmBlueMinusRed += qBlue(PixelOf(canvas, x, 120)) - qRed(PixelOf(canvas, x, 120));
            coolBlueMinusRed += qBlue(PixelOf(canvas, x, 240)) - qRed(PixelOf(canvas, x, 240));
        }
        QVERIFY(coolBlueMinusRed > warmBlueMinusRed);

        // The bar lies over the strokes washed out and multiplied; its swatch square is true.
        const QImage shot = Grabbed(w);
        SaveShot(shot, "strokes");
        QCOMPARE(MismatchesWithScreen(shot, view->screenBuffer.Get()), 0);
        int barMismatches = 0, underBar = 0;
        for (int y = 0; y < 30; ++y)
            for (int x = 0; x < 240; ++x) {
                const QRgb c = PixelOf(canvas, x, y);
                const QRgb bar = PixelOf(skin, x, 500 + y);
                const bool swatch = x >= 125 && x < 135 && y >= 14 && y < 24;
                auto lay = [swatch](int c, int b) { return swatch ? b : ((c >> 1) + 127) * b / 255; };
                const QRgb want = qRgb(lay(qRed(c), qRed(bar)), lay(qGreen(c), qGreen(bar)),
                                       lay(qBlue(c), qBlue(bar)));
                if (shot.pixel(x * kScale, y * kScale) != want) ++barMismatches;
                if (c != qRgb(255, 255, 255)) ++underBar;
            }
        QCOMPARE(barMismatches, 0);
        QVERIFY(underBar > 50);  // the second stroke did reach under the bar

        // Zoom 2 from the bar, centred: each canvas pixel a 2 x 2 block below the bar.
        Tap(w, 170, 15);
        QCOMPARE(view->zoomFactor, 2);
        const QImage zoomed = Grabbed(w);
        SaveShot(zoomed, "zoom2");
        QCOMPARE(MismatchesWithScreen(zoomed, view->screenBuffer.Get()), 0);
        int zoomMismatches = 0;
        for (int y = 30; y < 320; ++y)
            for (int x = 0; x < 240; ++x)
                if (zoomed.pixel(x * kScale, y * kScale) !=
                    PixelOf(canvas, view->viewOriginX + x / 2, view->viewOriginY + y / 2))
                    ++zoomMismatches;
        QCOMPARE(zoomMismatches, 0);
    }
};

VELLUM_QT_TEST(DesktopScreensTest);

}  // namespace vellum::test

#include "DesktopScreensTest.moc"
