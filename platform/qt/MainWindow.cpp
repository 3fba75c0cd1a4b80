#include "platform/qt/MainWindow.h"

#include <QCloseEvent>
#include <QGuiApplication>

#include "platform/qt/QtPlatform.h"

namespace vellum {

CQtMainWindow::CQtMainWindow(QtPlatform& p)
    // The canvas has a fixed size, so there is nothing to maximise.
    : QMainWindow(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                               Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                               Qt::WindowCloseButtonHint),
      platform(p) {
    setAttribute(Qt::WA_DeleteOnClose, false);  // the platform owns the window
    setContextMenuPolicy(Qt::NoContextMenu);     // no tool bar menu either
}

void CQtMainWindow::closeEvent(QCloseEvent* event) {
    if (closing) {
        event->accept();
        return;
    }
    event->ignore();
    // The session ending closes windows too; that close asks nothing.
    if (qApp->isSavingSession())
        platform.RequestOutsideClose();
    else
        platform.RequestUserClose();
}

bool CQtMainWindow::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate)
        platform.OnWindowActivation(true);
    else if (event->type() == QEvent::WindowDeactivate)
        platform.OnWindowActivation(false);
    return QMainWindow::event(event);
}

}  // namespace vellum
