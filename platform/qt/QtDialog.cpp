#include "platform/qt/QtDialog.h"

#include <QCheckBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QStyle>
#include <QTimer>
#include <QToolButton>

#include "platform/qt/KeyMap.h"
#include "platform/qt/QtPlatform.h"

namespace vellum {

int MulDiv(int a, int b, int c) {
    if (c == 0) return -1;
    const long long p = (long long)a * b;
    const bool negative = (p < 0) != (c < 0);
    const long long ap = p < 0 ? -p : p, ac = c < 0 ? -(long long)c : c;
    const long long q = (ap + ac / 2) / ac;
    return int(negative ? -q : q);
}

int DialogUnits::X(int dlu) const { return MulDiv(dlu, baseX, 4); }

int DialogUnits::Y(int dlu) const { return MulDiv(dlu, baseY, 8); }

DialogUnits DialogUnitsFor(const QFont& font) {
    const QFontMetrics metrics(font);
    DialogUnits u;
    const int width =
        metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    u.baseX = (width / 26 + 1) / 2;
    u.baseY = metrics.height();
    if (u.baseX < 1) u.baseX = 1;
    if (u.baseY < 1) u.baseY = 1;
    return u;
}

QFont DialogFont(const DialogTemplate& t) {
    QFont font;
    QStringList families;
    if (t.fontFace && *t.fontFace) families << QString::fromUtf8(t.fontFace);
    for (const char* f : {"ＭＳ Ｐゴシック", "Noto Sans CJK JP", "sans-serif"}) {
        const QString name = QString::fromUtf8(f);
        if (!families.contains(name)) families << name;
    }
    font.setFamilies(families);
    font.setPointSize(t.pointSize > 0 ? t.pointSize : 9);
    return font;
}

QPixmap DrawnPencilIcon(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.scale(size / 32.0, size / 32.0);
    // A pencil lying from the bottom left to the top right.
    p.translate(16, 16);
    p.rotate(-45);
    p.setPen(QPen(QColor(60, 40, 20), 1.2));
    p.setBrush(QColor(240, 190, 60));
    p.drawRect(QRectF(-9, -4, 18, 8));
    p.setBrush(QColor(230, 120, 120));
    p.drawRect(QRectF(9, -4, 4, 8));
    QPainterPath tip;
    tip.moveTo(-9, -4);
    tip.lineTo(-15, 0);
    tip.lineTo(-9, 4);
    tip.closeSubpath();
    p.setBrush(QColor(235, 215, 180));
    p.drawPath(tip);
    QPainterPath lead;
    lead.moveTo(-13, -1.3);
    lead.lineTo(-15, 0);
    lead.lineTo(-13, 1.3);
    lead.closeSubpath();
    p.setBrush(QColor(30, 30, 30));
    p.drawPath(lead);
    return pixmap;
}

MsgAnswer RunMessageBox(QWidget* parent, const QString& title, const QString& text,
                        MsgButtons buttons, QtPlatform* platform, bool success) {
    QMessageBox box(parent);
    box.setWindowTitle(title);
    box.setTextFormat(Qt::PlainText);
    box.setText(text);
    if (buttons == MsgButtons::YesNo) {
        box.setIcon(QMessageBox::Question);
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
        box.setEscapeButton(QMessageBox::No);
    } else {
        box.setIcon(success ? QMessageBox::Information : QMessageBox::Warning);
        box.setStandardButtons(QMessageBox::Ok);
        box.setEscapeButton(QMessageBox::Ok);
    }
    if (platform) platform->EnterModal();
    const int result = box.exec();
    if (platform) platform->LeaveModal();
    if (buttons == MsgButtons::Ok) return MsgAnswer::Ok;
    return result == QMessageBox::Yes ? MsgAnswer::Yes : MsgAnswer::No;
}

CQtDialog::CQtDialog(CDialog& dialog, QtPlatform* p, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint),
      dlg(dialog), platform(p) {
    setModal(true);
    setWindowTitle(QString::fromStdString(dlg.Caption()));
    dialogFont = DialogFont(dlg.Template());
    setFont(dialogFont);
    units = DialogUnitsFor(dialogFont);
    // A dialog without focusable controls takes the keys itself (the key capture).
    setFocusPolicy(Qt::StrongFocus);
    Build();
}

CQtDialog::~CQtDialog() = default;

QWidget* CQtDialog::ControlWidget(int index) const {
    if (index < 0 || index >= int(widgets.size())) return nullptr;
    return widgets[size_t(index)];
}

void CQtDialog::Build() {
    const DialogTemplate& t = dlg.Template();
    setFixedSize(units.X(t.width), units.Y(t.height));
    const int count = dlg.ControlCount();
    widgets.assign(size_t(count), nullptr);
    spinOfBuddy.assign(size_t(count), -1);
    for (int i = 0; i < count; ++i) {
        const ControlTemplate& c = dlg.ControlAt(i);
        const QRect rect(units.X(c.x), units.Y(c.y), units.X(c.w), units.Y(c.h));
        const Qt::FocusPolicy focus = (c.style & StyleTabStop) ? Qt::StrongFocus : Qt::ClickFocus;
        QWidget* w = nullptr;
        switch (c.kind) {
            case ControlKind::Static: {
                auto* label = new QLabel(this);
                label->setTextFormat(Qt::PlainText);
                label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
                // Several lines of room: the text wraps, as a static control's does.
                label->setWordWrap(rect.height() >= 2 * QFontMetrics(dialogFont).height());
                w = label;
                break;
            }
            case ControlKind::Edit: {
                auto* edit = new QLineEdit(this);
                edit->setFrame(c.style & StyleBorder);
                if (c.style & StyleDigitsOnly)
                    edit->setValidator(new QRegularExpressionValidator(
                        QRegularExpression(QStringLiteral("[0-9]*")), edit));
                edit->setFocusPolicy(focus);
                connect(edit, &QLineEdit::textEdited, this, [this, i](const QString& text) {
                    dlg.OnEditChanged(i, text.toStdString());
                });
                w = edit;
                break;
            }
            case ControlKind::CheckBox: {
                auto* box = new QCheckBox(this);
                box->setFocusPolicy(focus);
                // The state is the dialog's: Qt's own toggle is undone by the re-sync.
                connect(box, &QCheckBox::clicked, this, [this, i] {
                    dlg.OnClicked(i);
                    Sync(i);
                });
                w = box;
                break;
            }
            case ControlKind::RadioButton: {
                auto* radio = new QRadioButton(this);
                radio->setAutoExclusive(false);
                radio->setFocusPolicy(focus);
                connect(radio, &QRadioButton::clicked, this, [this, i] {
                    dlg.OnClicked(i);
                    Sync(i);
                });
                w = radio;
                break;
            }
            case ControlKind::GroupBox: {
                auto* group = new QGroupBox(this);
                group->setFocusPolicy(Qt::NoFocus);
                w = group;
                break;
            }
            case ControlKind::UpDown: {
                // A wide pair of arrows: the left one steps down, the right one up.
                auto* holder = new QWidget(this);
                const int half = rect.width() / 2;
                auto* down = new QToolButton(holder);
                down->setObjectName(QStringLiteral("down"));
                down->setArrowType(Qt::LeftArrow);
                down->setAutoRepeat(true);
                down->setFocusPolicy(Qt::NoFocus);
                down->setGeometry(0, 0, half, rect.height());
                auto* up = new QToolButton(holder);
                up->setObjectName(QStringLiteral("up"));
                up->setArrowType(Qt::RightArrow);
                up->setAutoRepeat(true);
                up->setFocusPolicy(Qt::NoFocus);
                up->setGeometry(half, 0, rect.width() - half, rect.height());
                connect(down, &QToolButton::clicked, this, [this, i] { dlg.OnSpin(i, -1); });
                connect(up, &QToolButton::clicked, this, [this, i] { dlg.OnSpin(i, 1); });
                if ((c.style & StyleAutoBuddy) && (c.style & StyleArrowKeys) && i > 0 &&
                    dlg.ControlAt(i - 1).kind == ControlKind::Edit)
                    spinOfBuddy[size_t(i - 1)] = i;
                w = holder;
                break;
            }
            case ControlKind::PushButton: {
                auto* button = new QPushButton(this);
                button->setFocusPolicy(focus);
                if (c.style & StyleDefaultButton) button->setDefault(true);
                connect(button, &QPushButton::clicked, this, [this, i] { dlg.OnClicked(i); });
                w = button;
                break;
            }
            case ControlKind::Icon: {
                auto* label = new QLabel(this);
                const QPixmap icon = platform ? platform->AppIcon() : DrawnPencilIcon(32);
                label->setPixmap(icon.scaled(32, 32, Qt::KeepAspectRatio, Qt::FastTransformation));
                w = label;
                break;
            }
        }
        w->setObjectName(QStringLiteral("control%1").arg(i));
        w->setGeometry(c.kind == ControlKind::Icon ? QRect(rect.topLeft(), QSize(32, 32)) : rect);
        if (c.kind == ControlKind::GroupBox) w->lower();  // behind the controls it frames
        widgets[size_t(i)] = w;
    }
    for (int i = 0; i < count; ++i) {
        if (spinOfBuddy[size_t(i)] >= 0) widgets[size_t(i)]->installEventFilter(this);
        Sync(i);
    }
}

// The Japanese fallback fonts are wider than the face the templates were laid out for:
// a one-line text that does not fit its control gets a smaller size, never cut off.
static void FitText(QWidget* w, const QFont& base, const QString& text, int extra, qreal least = 6.5) {
    QFont font = base;
    const int room = w->width() - extra;
    for (qreal size = base.pointSizeF(); size >= least; size -= 0.5) {
        font.setPointSizeF(size);
        if (QFontMetrics(font).horizontalAdvance(text) <= room) break;
    }
    if (w->font() != font) w->setFont(font);
}

void CQtDialog::Sync(int index) {
    QWidget* w = ControlWidget(index);
    if (!w) return;
    const ControlState& s = dlg.State(index);
    const QString text = QString::fromStdString(s.text);
    const int indicator = style()->pixelMetric(QStyle::PM_IndicatorWidth) +
                          style()->pixelMetric(QStyle::PM_CheckBoxLabelSpacing);
    switch (dlg.ControlAt(index).kind) {
        case ControlKind::Static: {
            auto* label = static_cast<QLabel*>(w);
            label->setText(text);
            if (!label->wordWrap()) FitText(w, dialogFont, text, 0);
            break;
        }
        case ControlKind::Edit: {
            auto* edit = static_cast<QLineEdit*>(w);
            if (edit->text() != text) edit->setText(text);
            break;
        }
        case ControlKind::CheckBox:
        case ControlKind::RadioButton: {
            auto* button = static_cast<QAbstractButton*>(w);
            button->setText(text);
            button->setChecked(s.checked != 0);
            FitText(w, dialogFont, text, indicator + 2);
            break;
        }
        case ControlKind::GroupBox:
            static_cast<QGroupBox*>(w)->setTitle(text);
            FitText(w, dialogFont, text, 8);
            break;
        case ControlKind::PushButton: {
            auto* push = static_cast<QPushButton*>(w);
            push->setText(text);
            FitText(w, dialogFont, text, 6);
            // A narrow button (a key's set button naming its key) gives its text the
            // padding too, and a smaller font.
            if (QFontMetrics(w->font()).horizontalAdvance(text) > w->width() - 4) {
                if (push->styleSheet().isEmpty()) push->setStyleSheet(QStringLiteral("QPushButton { padding: 0px; }"));
                FitText(w, dialogFont, text, 2, 5.0);
            }
            break;
        }
        case ControlKind::UpDown:
        case ControlKind::Icon:
            break;
    }
    w->setHidden(!s.visible);
}

int CQtDialog::Run() {
    dlg.Attach(this);
    dlg.OnInitDialog();
    for (int i = 0; i < dlg.ControlCount(); ++i) Sync(i);
    if (!ended) {
        // With nothing focusable the dialog itself takes the keys.
        QTimer::singleShot(0, this, [this] {
            if (!focusWidget() || focusWidget() == this) QWidget::setFocus();
        });
        if (platform) platform->EnterModal();
        exec();
        if (platform) platform->LeaveModal();
    }
    NotifyDestroy();
    dlg.Attach(nullptr);
    if (dlg.EndCode() == 0) dlg.SetEndCode(2);
    return dlg.EndCode();
}

void CQtDialog::NotifyDestroy() {
    if (destroyNotified) return;
    destroyNotified = true;
    dlg.OnDestroy();
}

void CQtDialog::ForceClose() {
    if (ended) return;
    dlg.OnCloseRequest();
    if (!ended) EndDialog(2);
}

void CQtDialog::ControlChanged(int index) { Sync(index); }

void CQtDialog::SetFocus(int index) {
    QWidget* w = ControlWidget(index);
    if (!w) return;
    w->setFocus(Qt::OtherFocusReason);
    // Focus put back on an edit selects its text, so that typing replaces it.
    if (auto* edit = qobject_cast<QLineEdit*>(w)) edit->selectAll();
}

void CQtDialog::BringToTop() {
    raise();
    activateWindow();
}

void CQtDialog::EndDialog(int code) {
    if (ended) return;
    ended = true;
    if (dlg.EndCode() == 0) dlg.SetEndCode(code);
    done(code);
    NotifyDestroy();
}

void CQtDialog::PostCloseRequest() {
    QTimer::singleShot(0, this, [this] {
        if (!ended) dlg.OnCloseRequest();
    });
}

MsgAnswer CQtDialog::ShowMessage(int, const std::string& text, MsgButtons buttons) {
    const QString title = platform ? platform->MessageTitle() : windowTitle();
    return RunMessageBox(this, title, QString::fromStdString(text), buttons, platform);
}

void CQtDialog::reject() {
    if (!ended) dlg.OnCloseRequest();
}

void CQtDialog::keyReleaseEvent(QKeyEvent* event) {
    if (event->isAutoRepeat()) {
        event->ignore();
        return;
    }
    const uint32_t code = VirtualKeyFromEvent(event);
    if (code == 0 || ended) {
        event->ignore();
        return;
    }
    event->accept();
    dlg.OnKeyUp(code);
}

bool CQtDialog::eventFilter(QObject* watched, QEvent* event) {
    // The arrow keys step an up-down control from its buddy edit.
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        for (int i = 0; i < int(widgets.size()); ++i) {
            if (widgets[size_t(i)] != watched || spinOfBuddy[size_t(i)] < 0) continue;
            if (key->key() == Qt::Key_Up || key->key() == Qt::Key_Down) {
                dlg.OnSpin(spinOfBuddy[size_t(i)], key->key() == Qt::Key_Up ? 1 : -1);
                return true;
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace vellum
