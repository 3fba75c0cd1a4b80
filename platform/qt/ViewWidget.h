#pragma once
// The view's window: shows the window image (what the view has presented of its screen
// buffer) scaled by an integer factor with square pixels, and turns mouse, tablet and
// key events into the view's stylus and key handlers, and the wheel and the other buttons
// into its zoom, scroll and colour pick.
#include <QImage>
#include <QPointF>
#include <QWidget>

#include "app/ViewInput.h"
#include "engine/pixel/Surface.h"
#include "seam/Platform.h"

class QPainter;
class QTabletEvent;

namespace vellum {

class QtPlatform;

class CViewWidget : public QWidget {
    Q_OBJECT
public:
    // clientWidth x clientHeight screen pixels, each shown scale x scale; the client area
    // follows the widget's size.
    CViewWidget(QtPlatform& platform, int clientWidth, int clientHeight, int scale,
                QWidget* parent = nullptr);

    // Shows the rectangle of the screen buffer: the window paints it from the screen
    // buffer, converted and scaled in one pass into what the window paints.
    void PresentRect(const PixelSurface& screen, int x, int y, int w, int h);
    // The program's view is going: the window keeps a copy of its last picture.
    void KeepLastPicture();
    // What the window shows, scaled, as a picture of its own.
    QImage Picture() const;

    // Delivers a move that is still waiting (before a press or release, and in tests).
    void FlushMove();
    int DeliveredMoves() const { return deliveredMoves; }
    // The pointer's shape over the view: the tool, or the hand that grabs while a scroll
    // drag is held.
    void ShowCursor(CursorKind kind);

signals:
    void FirstPainted();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void tabletEvent(QTabletEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    // Tab is a key like any other here, not a focus move.
    bool focusNextPrevChild(bool next) override;

private:
    void PenDown(QPointF position);
    void PenUp(QPointF position);
    void RawMove(QPointF position);
    // The left button draws, the middle one scrolls, the right one picks a colour.
    void ButtonDown(Qt::MouseButton button, QPointF at);
    void PanMove(QPointF position);
    void ScheduleDelivery();
    void SetGrabbing(bool held);
    int PixelOf(double v) const;
    void FillMargin(QPainter& painter, const QRect& area);
    int QuarterOf(double v) const;

    QtPlatform& platform;
    int clientWidth;
    int clientHeight;
    int scale;
    // The screen the program presents (its screen buffer), or the kept copy of it.
    const PixelSurface* source = nullptr;
    OwnedSurface kept;

    // Raw positions since the last move delivered, latest kMaxBufferedPoints kept.
    PenPoint pending[kMaxBufferedPoints];
    int pendingCount = 0;
    bool movePending = false;
    bool deliveryPosted = false;
    int lastX = 0, lastY = 0;
    // The points handed to the program with the move it is handling.
    PenPoint batch[kMaxBufferedPoints];
    int deliveredMoves = 0;
    // A middle-button scroll drag: its latest position waits like a move does.
    bool panning = false;
    bool panMovePending = false;
    int panX = 0, panY = 0;
    bool leftIgnored = false;    // a left press not handed on (a scroll drag was held)
    bool penHeld = false;        // a press was handed on and its release not yet
    bool grabbing = false;       // a drag is held: the hand closes
    bool eraserEndDown = false;  // the program was told of the pen's eraser end
    int wheelRemainder = 0;      // angle delta short of a whole step (touchpads)
    uint32_t swallowedKey = 0;   // a key that left full screen; its release goes nowhere
    CursorKind cursorKind = CursorKind::Pencil;
    bool painted = false;
    bool trace = false;
};

}  // namespace vellum
