#pragma once
// The main frame: a plain container for the view widget, with no menu bar, tool bar or
// status line.
#include <QMainWindow>

namespace vellum {

class QtPlatform;

class CQtMainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit CQtMainWindow(QtPlatform& platform);
    // Set once the window is being destroyed for good: closes are then let through.
    void AllowClose() { closing = true; }

protected:
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;

private:
    QtPlatform& platform;
    bool closing = false;
};

}  // namespace vellum
