#include "platform/qt/ViewWidget.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPaintEvent>
#include <QTabletEvent>
#include <QWheelEvent>

#include <cmath>
#include <cstdio>
#include <cstring>

#include "platform/qt/Cursors.h"
#include "platform/qt/KeyMap.h"
#include "platform/qt/QtPlatform.h"

namespace vellum {

namespace {

// One notch of a mouse wheel, in angle-delta units.
constexpr int kWheelNotch = 120;

}  // namespace

CViewWidget::CViewWidget(QtPlatform& p, int cw, int ch, int s, QWidget* parent)
    : QWidget(parent), platform(p), clientWidth(cw), clientHeight(ch), scale(s) {
    // The canvas is the client width rounded up to 8; the image keeps all of it.
    const int canvasWidth = cw + (8 - cw % 8) % 8;
    image = QImage(canvasWidth, ch, QImage::Format_RGB32);
    image.fill(Qt::white);
    setFixedSize(cw * s, ch * s);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);  // moves without a button reach the view too
    setFocusPolicy(Qt::StrongFocus);
    setCursor(CursorFor(CursorKind::Pencil));
    // VELLUM_PEN_TRACE=1 prints what the view is sent, for looking into input problems.
    trace = qEnvironmentVariableIsSet("VELLUM_PEN_TRACE");
}

void CViewWidget::PresentRect(const PixelSurface& screen, int x, int y, int w, int h) {
    if (!screen.Exists()) return;
    // Clip once against the screen buffer and the window image.
    int x0 = x < 0 ? 0 : x, y0 = y < 0 ? 0 : y;
    int x1 = x + w, y1 = y + h;
    const int maxW = screen.width < image.width() ? screen.width : image.width();
    const int maxH = screen.height < image.height() ? screen.height : image.height();
    if (x1 > maxW) x1 = maxW;
    if (y1 > maxH) y1 = maxH;
    if (x0 >= x1 || y0 >= y1) return;
    for (int row = y0; row < y1; ++row) {
        const uint8_t* src = screen.At(x0, row);  // blue, green, red
        QRgb* dst = reinterpret_cast<QRgb*>(image.scanLine(row)) + x0;
        for (int col = x0; col < x1; ++col, src += 3) *dst++ = qRgb(src[2], src[1], src[0]);
    }
    update(QRect(x0 * scale, y0 * scale, (x1 - x0) * scale, (y1 - y0) * scale));
}

void CViewWidget::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    const QRect r = event->rect();
    // The exposed rectangle in emulated pixels, rounded outwards.
    int x0 = r.left() / scale, y0 = r.top() / scale;
    int x1 = (r.right() + scale) / scale, y1 = (r.bottom() + scale) / scale;
    if (x1 > clientWidth) x1 = clientWidth;
    if (y1 > clientHeight) y1 = clientHeight;
    if (x0 < x1 && y0 < y1) {
        const QRect source(x0, y0, x1 - x0, y1 - y0);
        const QRect target(x0 * scale, y0 * scale, source.width() * scale,
                           source.height() * scale);
        painter.drawImage(target, image, source);
    }
    if (!painted) {
        painted = true;
        emit FirstPainted();
    }
}

int CViewWidget::PixelOf(double v) const { return int(std::floor(v / scale)); }

int CViewWidget::QuarterOf(double v) const { return int(std::floor(4.0 * v / scale)); }

void CViewWidget::SetScale(int newScale) {
    if (newScale < 1 || newScale == scale) return;
    scale = newScale;
    setFixedSize(clientWidth * scale, clientHeight * scale);
    update();
}

void CViewWidget::ShowCursor(CursorKind kind) {
    cursorKind = kind;
    setCursor(CursorFor(kind, grabbing));
}

void CViewWidget::SetGrabbing(bool held) {
    if (held == grabbing) return;
    grabbing = held;
    if (cursorKind == CursorKind::Hand) setCursor(CursorFor(cursorKind, grabbing));
}

void CViewWidget::RawMove(QPointF position) {
    if (pendingCount == kMaxBufferedPoints) {
        std::memmove(pending, pending + 1, sizeof(PenPoint) * (kMaxBufferedPoints - 1));
        --pendingCount;
    }
    pending[pendingCount++] = PenPoint{QuarterOf(position.x()), QuarterOf(position.y())};
    lastX = PixelOf(position.x());
    lastY = PixelOf(position.y());
    movePending = true;
    ScheduleDelivery();
}

void CViewWidget::PanMove(QPointF position) {
    panX = PixelOf(position.x());
    panY = PixelOf(position.y());
    panMovePending = true;
    ScheduleDelivery();
}

void CViewWidget::ScheduleDelivery() {
    // One move per pass of the event loop: the moves that arrive before it runs are
    // coalesced into it.
    if (deliveryPosted) return;
    deliveryPosted = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            deliveryPosted = false;
            FlushMove();
            if (panMovePending && panning) {
                panMovePending = false;
                if (ViewInput* input = platform.LiveView()) input->PanMove(panX, panY);
            }
        },
        Qt::QueuedConnection);
}

void CViewWidget::FlushMove() {
    if (!movePending) return;
    movePending = false;
    // Copied out first: the program may run a nested loop that collects new positions.
    std::memcpy(batch, pending, sizeof(PenPoint) * size_t(pendingCount));
    const int batchCount = pendingCount;
    pendingCount = 0;
    if (ViewInput* input = platform.LiveView()) {
        ++deliveredMoves;
        if (platform.logPenEvents)
            platform.penLog.push_back({'M', lastX, lastY, {batch, batch + batchCount}});
        if (trace) std::fprintf(stderr, "pen move %d %d points %d\n", lastX, lastY, batchCount);
        input->PenMove(lastX, lastY, batch, batchCount);
    }
}

void CViewWidget::PenDown(QPointF position) {
    FlushMove();  // the last raw position reaches the view before the press
    ViewInput* input = platform.LiveView();
    if (!input) return;
    const int x = PixelOf(position.x()), y = PixelOf(position.y());
    if (platform.logPenEvents) platform.penLog.push_back({'D', x, y, {}});
    if (trace) std::fprintf(stderr, "pen down %d %d\n", x, y);
    penHeld = true;
    input->PenDown(x, y);
    SetGrabbing(true);
}

void CViewWidget::PenUp(QPointF position) {
    FlushMove();
    ViewInput* input = platform.LiveView();
    if (!input) return;
    const int x = PixelOf(position.x()), y = PixelOf(position.y());
    if (platform.logPenEvents) platform.penLog.push_back({'U', x, y, {}});
    if (trace) std::fprintf(stderr, "pen up %d %d\n", x, y);
    penHeld = false;
    input->PenUp(x, y);
    SetGrabbing(false);
}

void CViewWidget::mousePressEvent(QMouseEvent* event) {
    event->accept();
    // The second press of a double click comes again as the double click itself.
    if (event->flags() & Qt::MouseEventCreatedDoubleClick) return;
    ButtonDown(event->button(), event->position());
}

void CViewWidget::mouseDoubleClickEvent(QMouseEvent* event) {
    event->accept();
    ButtonDown(event->button(), event->position());  // a double click is a press
}

void CViewWidget::ButtonDown(Qt::MouseButton button, QPointF at) {
    switch (button) {
        case Qt::LeftButton:
            // A scroll drag holds the view: the left button waits for its end.
            leftIgnored = panning;
            if (!panning) PenDown(at);
            break;
        case Qt::MiddleButton:
            if (panning || penHeld) break;
            FlushMove();
            if (ViewInput* input = platform.LiveView()) {
                panning = true;
                panMovePending = false;
                input->PanDown(PixelOf(at.x()), PixelOf(at.y()));
                SetGrabbing(true);
            }
            break;
        case Qt::RightButton:
            if (panning || penHeld) break;
            FlushMove();
            if (ViewInput* input = platform.LiveView()) input->PickColourAt(PixelOf(at.x()), PixelOf(at.y()));
            break;
        default:
            break;
    }
}

void CViewWidget::mouseMoveEvent(QMouseEvent* event) {
    event->accept();
    if (panning)
        PanMove(event->position());
    else
        RawMove(event->position());
}

void CViewWidget::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
    if (event->button() == Qt::LeftButton) {
        if (leftIgnored) {
            leftIgnored = false;
            return;
        }
        PenUp(event->position());
    } else if (event->button() == Qt::MiddleButton && panning) {
        FlushMove();
        panning = false;
        panMovePending = false;
        if (ViewInput* input = platform.LiveView())
            input->PanUp(PixelOf(event->position().x()), PixelOf(event->position().y()));
        SetGrabbing(false);
    }
}

void CViewWidget::wheelEvent(QWheelEvent* event) {
    event->accept();
    const int delta = event->angleDelta().y();  // sideways scrolling means nothing here
    if (delta == 0) return;
    // Touchpads send small deltas: they add up to whole steps. A turn the other way
    // starts afresh.
    if (wheelRemainder != 0 && (delta > 0) != (wheelRemainder > 0)) wheelRemainder = 0;
    wheelRemainder += delta;
    const int steps = wheelRemainder / kWheelNotch;
    if (steps == 0) return;
    wheelRemainder -= steps * kWheelNotch;
    FlushMove();
    if (ViewInput* input = platform.LiveView())
        input->Wheel(PixelOf(event->position().x()), PixelOf(event->position().y()), steps);
}

void CViewWidget::tabletEvent(QTabletEvent* event) {
    // Accepted, so that Qt does not send the same stroke again as mouse events.
    event->accept();
    switch (event->type()) {
        case QEvent::TabletPress:
            if (event->button() != Qt::LeftButton || panning) break;
            if (event->pointerType() == QPointingDevice::PointerType::Eraser) {
                if (ViewInput* input = platform.LiveView()) {
                    eraserEndDown = true;
                    input->PenEraserEnd(true);
                }
            }
            PenDown(event->position());
            break;
        case QEvent::TabletMove:
            RawMove(event->position());
            break;
        case QEvent::TabletRelease:
            if (event->button() != Qt::LeftButton) break;
            PenUp(event->position());
            if (eraserEndDown) {
                eraserEndDown = false;
                if (ViewInput* input = platform.LiveView()) input->PenEraserEnd(false);
            }
            break;
        default:
            break;
    }
}

void CViewWidget::keyPressEvent(QKeyEvent* event) {
    const uint32_t code = VirtualKeyFromEvent(event);
    // Esc and F11 leave full screen, before the program sees them.
    if ((event->key() == Qt::Key_Escape || event->key() == Qt::Key_F11) && platform.InFullScreen()) {
        event->accept();
        swallowedKey = code;
        platform.LeaveFullScreen();
        return;
    }
    if (code == 0) {
        event->ignore();
        return;
    }
    event->accept();
    if (code == swallowedKey && event->isAutoRepeat()) return;
    // A held key repeats its press; the program decides what acts again.
    unsigned modifiers = ModifiersOf(event);
    if (event->isAutoRepeat()) modifiers |= kModRepeat;
    if (ViewInput* input = platform.LiveView()) input->KeyDown(code, modifiers);
}

void CViewWidget::keyReleaseEvent(QKeyEvent* event) {
    const uint32_t code = VirtualKeyFromEvent(event);
    if (code == 0) {
        event->ignore();
        return;
    }
    event->accept();
    if (event->isAutoRepeat()) return;
    if (code == swallowedKey) {
        swallowedKey = 0;
        return;
    }
    if (ViewInput* input = platform.LiveView()) input->KeyUp(code, ModifiersOf(event));
}

bool CViewWidget::focusNextPrevChild(bool) { return false; }

}  // namespace vellum
