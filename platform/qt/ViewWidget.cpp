#include "platform/qt/ViewWidget.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEngine>
#include <QPainter>
#include <QPaintEvent>
#include <QResizeEvent>
#include <QTabletEvent>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "engine/Screen.h"
#include "engine/pixel/PixelOps.h"
#include "platform/qt/Options.h"
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
    resize(cw * s, ch * s);
    setMinimumSize(kMinScreenWidth * s, kMinScreenHeight * s);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);  // moves without a button reach the view too
    setFocusPolicy(Qt::StrongFocus);
    setCursor(CursorFor(CursorKind::Pencil));
    // VELLUM_PEN_TRACE=1 prints what the view is sent, for looking into input problems.
    trace = qEnvironmentVariableIsSet("VELLUM_PEN_TRACE");
}

void CViewWidget::PresentRect(const PixelSurface& screen, int x, int y, int w, int h) {
    if (!screen.Exists()) return;
    // The screen buffer lives as long as the program's view; the window paints from it.
    source = &screen;
    const int x0 = std::max(x, 0), y0 = std::max(y, 0);
    const int x1 = int(std::min<int64_t>({int64_t(x) + w, screen.width, clientWidth}));
    const int y1 = int(std::min<int64_t>({int64_t(y) + h, screen.height, clientHeight}));
    if (x0 >= x1 || y0 >= y1) return;
    update(QRect(x0 * scale, y0 * scale, (x1 - x0) * scale, (y1 - y0) * scale));
}

void CViewWidget::KeepLastPicture() {
    if (!source) return;
    kept.Allocate(source->width, source->height);
    if (kept.Exists()) std::memcpy(kept->bytes, source->bytes, size_t(source->byteSize));
    source = kept.Exists() ? &*kept : nullptr;
}

QImage CViewWidget::Picture() const {
    QImage picture(width(), height(), QImage::Format_RGB32);
    picture.fill(QColor(kDeskGrey, kDeskGrey, kDeskGrey));
    if (source)
        FastPixelOps().expandRectRgb32(picture.bits(), picture.bytesPerLine(), picture.width(), picture.height(),
                                       *source, 0, 0, clientWidth, clientHeight, scale);
    return picture;
}

void CViewWidget::FillMargin(QPainter& painter, const QRect& area) {
    // The widget's pixels past the last whole screen pixel, and past a screen the
    // program has not yet grown to fit, are desk.
    const int w = source ? std::min(clientWidth, source->width) : 0, h = source ? std::min(clientHeight, source->height) : 0;
    const QColor desk(kDeskGrey, kDeskGrey, kDeskGrey);
    painter.fillRect(area & QRect(w * scale, 0, width(), height()), desk);
    painter.fillRect(area & QRect(0, h * scale, width(), height()), desk);
}

void CViewWidget::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    QPaintEngine* engine = painter.paintEngine();
    QPaintDevice* device = engine ? engine->paintDevice() : nullptr;
    const QTransform at = painter.deviceTransform();
    const QRect whole = rect();
    if (!source) {
        painter.fillRect(event->rect() & whole, Qt::white);
    } else if (device && device->devType() == QInternal::Image && at.type() <= QTransform::TxTranslate &&
               at.dx() == std::floor(at.dx()) && at.dy() == std::floor(at.dy()) &&
               static_cast<QImage*>(device)->depth() == 32) {
        // The window's own picture (the backing store, 32-bit, unscaled): the screen is
        // converted and scaled straight into it, with no copy between and no scaling by
        // Qt. Whole screen pixels are written, which lie inside this widget.
        QImage* target = static_cast<QImage*>(device);
        FillMargin(painter, event->rect() & whole);
        painter.end();
        const int ox = int(at.dx()), oy = int(at.dy());
        const QRect inTarget = QRect(-ox, -oy, target->width(), target->height()) & whole;
        for (const QRect& r : event->region()) {
            const QRect area = r & inTarget;
            if (area.isEmpty()) continue;
            const int sx0 = area.left() / scale, sy0 = area.top() / scale;
            const int sx1 = area.right() / scale + 1, sy1 = area.bottom() / scale + 1;
            // The widget's corner in the target; the scaled pixels land from there.
            uint8_t* corner = target->bits() + int64_t(oy) * target->bytesPerLine() + int64_t(ox) * 4;
            FastPixelOps().expandRectRgb32(corner, target->bytesPerLine(), std::min(whole.width(), target->width() - ox),
                                           std::min(whole.height(), target->height() - oy), *source, sx0, sy0,
                                           sx1 - sx0, sy1 - sy0, scale);
        }
    } else {
        // Any other device (a grab, a high-density screen): the exposed part, drawn.
        const QRect r = event->rect() & whole;
        if (!r.isEmpty()) {
            QImage full(whole.size(), QImage::Format_RGB32);
            const int sx0 = r.left() / scale, sy0 = r.top() / scale;
            const int sx1 = r.right() / scale + 1, sy1 = r.bottom() / scale + 1;
            full.fill(Qt::white);
            FastPixelOps().expandRectRgb32(full.bits(), full.bytesPerLine(), full.width(), full.height(), *source, sx0,
                                           sy0, sx1 - sx0, sy1 - sy0, scale);
            painter.drawImage(r.topLeft(), full, r);
            FillMargin(painter, r);
        }
    }
    if (!painted) {
        painted = true;
        emit FirstPainted();
    }
}

int CViewWidget::PixelOf(double v) const { return int(std::floor(v / scale)); }

int CViewWidget::QuarterOf(double v) const { return int(std::floor(4.0 * v / scale)); }

void CViewWidget::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    // Whole screen pixels; the few widget pixels over show the desk.
    const int cw = std::max(1, width() / scale), ch = std::max(1, height() / scale);
    if (cw == clientWidth && ch == clientHeight) return;
    clientWidth = cw;
    clientHeight = ch;
    platform.OnClientResized(cw, ch);
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
    // F11 enters and leaves full screen, Esc leaves it, before the program sees them.
    if (event->key() == Qt::Key_F11 || (event->key() == Qt::Key_Escape && platform.InFullScreen())) {
        event->accept();
        swallowedKey = code;
        if (platform.InFullScreen())
            platform.LeaveFullScreen();
        else if (!event->isAutoRepeat())
            platform.EnterFullScreen();
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
