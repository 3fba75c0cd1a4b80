#include "platform/qt/Cursors.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include "platform/qt/QtDialog.h"

namespace vellum {

namespace {

constexpr int kSize = 32;

QPixmap Blank() {
    QPixmap pixmap(kSize, kSize);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

// Every outline is drawn twice, wide and white under narrow and dark, so that the shape
// shows on a black paper as well as on a white one.
void Outlined(QPainter& p, const QPainterPath& path, const QColor& fill) {
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(255, 255, 255, 220), 3.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(path);
    p.setBrush(fill);
    p.setPen(QPen(QColor(40, 30, 20), 1.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(path);
}

// The tools lie from the bottom left, where they touch the paper, to the top right.
void LayDiagonal(QPainter& p) {
    p.setRenderHint(QPainter::Antialiasing, true);
    p.translate(16, 16);
    p.rotate(-45);
}

QCursor Pencil() {
    // The application's pencil; its lead is at (-15, 0) before it is laid down.
    return QCursor(DrawnPencilIcon(kSize), 5, 26);
}

// A tool of two parts laid along the pencil's diagonal, each outlined.
QCursor DiagonalTool(const QPainterPath& first, QColor firstColour, const QPainterPath& second,
                     QColor secondColour, int hotX, int hotY) {
    QPixmap pixmap = Blank();
    QPainter p(&pixmap);
    LayDiagonal(p);
    Outlined(p, first, firstColour);
    Outlined(p, second, secondColour);
    p.end();
    return QCursor(pixmap, hotX, hotY);
}

QCursor Eraser() {
    QPainterPath sleeve, rubber;
    sleeve.addRect(QRectF(-2, -6, 14, 12));
    rubber.addRect(QRectF(-13, -6, 11, 12));
    // The middle of the rubbing edge.
    return DiagonalTool(sleeve, QColor(70, 110, 200), rubber, QColor(250, 245, 240), 7, 25);
}

QCursor Eyedropper() {
    QPainterPath tube, bulb;
    tube.moveTo(-15, 0);
    tube.lineTo(-11, -1.5);
    tube.lineTo(5, -1.5);
    tube.lineTo(5, 1.5);
    tube.lineTo(-11, 1.5);
    tube.closeSubpath();
    bulb.addRoundedRect(QRectF(5, -3.5, 10, 7), 3, 3);
    return DiagonalTool(tube, QColor(225, 235, 245), bulb, QColor(60, 60, 60), 5, 26);
}

QCursor Magnifier() {
    QPixmap pixmap = Blank();
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing, true);
    QPainterPath handle;
    handle.moveTo(18, 18);
    handle.lineTo(29, 29);
    p.setPen(QPen(QColor(255, 255, 255, 220), 6.0, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(handle);
    p.setPen(QPen(QColor(40, 30, 20), 3.5, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(handle);
    QPainterPath glass;
    glass.addEllipse(QPointF(12, 12), 8, 8);
    Outlined(p, glass, QColor(200, 225, 255, 120));
    p.end();
    // The middle of the glass: what the zoom will centre on.
    return QCursor(pixmap, 12, 12);
}

}  // namespace

QCursor CursorFor(CursorKind kind, bool grabbing) {
    switch (kind) {
        case CursorKind::Eraser:
            return Eraser();
        case CursorKind::Eyedropper:
            return Eyedropper();
        case CursorKind::Zoom:
            return Magnifier();
        case CursorKind::Hand:
            return QCursor(grabbing ? Qt::ClosedHandCursor : Qt::OpenHandCursor);
        case CursorKind::Pencil:
            break;
    }
    return Pencil();
}

}  // namespace vellum
