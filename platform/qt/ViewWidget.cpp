#include "platform/qt/ViewWidget.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPaintEvent>
#include <QTabletEvent>

#include <cmath>
#include <cstdio>
#include <cstring>

#include "platform/qt/KeyMap.h"
#include "platform/qt/QtPlatform.h"

namespace vellum {

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

void CViewWidget::RawMove(QPointF position) {
    if (pendingCount == kMaxBufferedPoints) {
        std::memmove(pending, pending + 1, sizeof(PenPoint) * (kMaxBufferedPoints - 1));
        --pendingCount;
    }
    pending[pendingCount++] = PenPoint{QuarterOf(position.x()), QuarterOf(position.y())};
    lastX = PixelOf(position.x());
    lastY = PixelOf(position.y());
    movePending = true;
    // One move per pass of the event loop: the moves that arrive before it runs are
    // coalesced into it.
    if (!deliveryPosted) {
        deliveryPosted = true;
        QMetaObject::invokeMethod(
            this,
            [this] {
                deliveryPosted = false;
                FlushMove();
            },
            Qt::QueuedConnection);
    }
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
    input->PenDown(x, y);
}

void CViewWidget::PenUp(QPointF position) {
    FlushMove();
    ViewInput* input = platform.LiveView();
    if (!input) return;
    const int x = PixelOf(position.x()), y = PixelOf(position.y());
    if (platform.logPenEvents) platform.penLog.push_back({'U', x, y, {}});
    if (trace) std::fprintf(stderr, "pen up %d %d\n", x, y);
    input->PenUp(x, y);
}

void CViewWidget::mousePressEvent(QMouseEvent* event) {
    event->accept();
    if (event->button() != Qt::LeftButton) return;
    // The second press of a double click comes again as the double click itself.
    if (event->flags() & Qt::MouseEventCreatedDoubleClick) return;
    PenDown(event->position());
}

void CViewWidget::mouseDoubleClickEvent(QMouseEvent* event) {
    event->accept();
    if (event->button() != Qt::LeftButton) return;
    PenDown(event->position());  // a double click is a press
}

void CViewWidget::mouseMoveEvent(QMouseEvent* event) {
    event->accept();
    RawMove(event->position());
}

void CViewWidget::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
    if (event->button() != Qt::LeftButton) return;
    PenUp(event->position());
}

void CViewWidget::tabletEvent(QTabletEvent* event) {
    // Accepted, so that Qt does not send the same stroke again as mouse events.
    event->accept();
    switch (event->type()) {
        case QEvent::TabletPress:
            if (event->button() == Qt::LeftButton) PenDown(event->position());
            break;
        case QEvent::TabletMove:
            RawMove(event->position());
            break;
        case QEvent::TabletRelease:
            if (event->button() == Qt::LeftButton) PenUp(event->position());
            break;
        default:
            break;
    }
}

void CViewWidget::keyPressEvent(QKeyEvent* event) {
    const uint32_t code = VirtualKeyFromEvent(event);
    if (code == 0) {
        event->ignore();
        return;
    }
    event->accept();
    // A held key repeats its press, which sets the same mode again.
    if (ViewInput* input = platform.LiveView()) input->KeyDown(code, ModifiersOf(event));
}

void CViewWidget::keyReleaseEvent(QKeyEvent* event) {
    const uint32_t code = VirtualKeyFromEvent(event);
    if (code == 0) {
        event->ignore();
        return;
    }
    event->accept();
    if (event->isAutoRepeat()) return;
    if (ViewInput* input = platform.LiveView()) input->KeyUp(code, ModifiersOf(event));
}

bool CViewWidget::focusNextPrevChild(bool) { return false; }

}  // namespace vellum
