#pragma once
// Real Qt dialogs for our dialog templates, and the message boxes.
#include <QDialog>
#include <QFont>
#include <QPixmap>
#include <QString>

#include <vector>

#include "dialogs/Dialog.h"

namespace vellum {

class QtPlatform;

// Dialog units to pixels through the dialog font's metrics, rounded as MulDiv does.
struct DialogUnits {
    int baseX = 1;
    int baseY = 1;
    int X(int dlu) const;
    int Y(int dlu) const;
};
DialogUnits DialogUnitsFor(const QFont& font);
// The template's face, then the fallbacks that render Japanese.
QFont DialogFont(const DialogTemplate& dialogTemplate);
// a * b / c rounded to the nearest, halves away from zero.
int MulDiv(int a, int b, int c);

// A pencil drawn for the application icon when the skin's emblem is not at hand.
QPixmap DrawnPencilIcon(int size);

// A message box with OK or Yes and No; platform (may be null) counts the modal loop.
// Yes and No ask (a question mark); OK tells of a failure (a warning), or of a success
// (information) when success is set.
MsgAnswer RunMessageBox(QWidget* parent, const QString& title, const QString& text,
                        MsgButtons buttons, QtPlatform* platform, bool success = false);

class CQtDialog : public QDialog, public DialogHost {
    Q_OBJECT
public:
    // platform may be null (then the icon is a drawn one and nothing counts the loop).
    CQtDialog(CDialog& dialog, QtPlatform* platform, QWidget* parent);
    ~CQtDialog() override;

    // Builds the controls, initialises the dialog and runs it modally; the end code.
    int Run();
    // The widget that shows control index (for up-down controls, the arrows' holder).
    QWidget* ControlWidget(int index) const;
    const DialogUnits& Units() const { return units; }
    // Ends the dialog even if its handlers would keep it open (the program is closing).
    void ForceClose();

    // ---- DialogHost ---------------------------------------------------------------------
    void ControlChanged(int index) override;
    void SetFocus(int index) override;
    void BringToTop() override;
    void EndDialog(int code) override;
    void PostCloseRequest() override;
    MsgAnswer ShowMessage(int id, const std::string& text, MsgButtons buttons) override;

protected:
    // Esc and the caption's close button ask the dialog; they never close it directly.
    void reject() override;
    void keyReleaseEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Build();
    void Sync(int index);
    void NotifyDestroy();

    CDialog& dlg;
    QtPlatform* platform;
    QFont dialogFont;
    DialogUnits units;
    std::vector<QWidget*> widgets;
    std::vector<int> spinOfBuddy;  // per control: the up-down control it is the buddy of
    bool ended = false;
    bool destroyNotified = false;
};

}  // namespace vellum
