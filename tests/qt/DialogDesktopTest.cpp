// The stylus settings, colour entry, key settings and key capture dialogs in the desktop
// program, opened from their panel buttons, in Japanese and in English. Each dialog is
// grabbed to /tmp/vellum-dialog-ID-LANG.png, and every text must fit its control.
#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTest>
#include <QTimer>

#include <functional>

#include "QtTestSupport.h"
#include "app/VellumView.h"
#include "resources/DialogTemplate.h"
#include "platform/qt/QtDialog.h"
#include "platform/qt/ViewWidget.h"
#include "resources/Resources.h"

namespace vellum::test {

namespace {

// Acts on the first visible modal window other than outer (the dialog that opened it).
void WhenModalOpens(QWidget* outer, std::function<void(CQtDialog*)> act) {
    auto* timer = new QTimer;
    auto* elapsed = new QElapsedTimer;
    elapsed->start();
    QObject::connect(timer, &QTimer::timeout, [timer, elapsed, outer, act] {
        QWidget* modal = QApplication::activeModalWidget();
        const bool found = modal && modal != outer && modal->isVisible();
        if (!found && elapsed->elapsed() < 5000) return;
        timer->stop();
        timer->deleteLater();
        delete elapsed;
        auto* dialog = found ? qobject_cast<CQtDialog*>(modal) : nullptr;
        if (!dialog) {
            qWarning("no dialog opened");
            if (modal && modal != outer) modal->close();
            return;
        }
        act(dialog);
    });
    timer->start(10);
}

// The widget of the control with this id.
template <class W>
W* Control(CQtDialog* dialog, const DialogTemplate& t, int id) {
    for (int i = 0; i < t.controlCount; ++i)
        if (t.controls[i].id == id) return qobject_cast<W*>(dialog->ControlWidget(i));
    return nullptr;
}

// The texts of visible controls that do not fit their boxes, one line each.
QStringList TextsThatDoNotFit(CQtDialog* dialog, const DialogTemplate& t) {
    QStringList out;
    for (int i = 0; i < t.controlCount; ++i) {
        QWidget* w = dialog->ControlWidget(i);
        if (!w || w->isHidden()) continue;
        const QFontMetrics fm(w->font());
        QString text;
        int room = w->width();
        bool fits = true;
        if (auto* label = qobject_cast<QLabel*>(w)) {
            text = label->text();
            if (label->wordWrap())
                fits = label->heightForWidth(label->width()) <= label->height();
            else
                fits = fm.horizontalAdvance(text) <= room;
        } else if (qobject_cast<QCheckBox*>(w) || qobject_cast<QRadioButton*>(w)) {
            auto* button = static_cast<QAbstractButton*>(w);
            text = button->text();
            QStyleOptionButton option;
            option.initFrom(button);
            option.text = text;
            const bool check = qobject_cast<QCheckBox*>(w) != nullptr;
            room = w->style()
                       ->subElementRect(check ? QStyle::SE_CheckBoxContents
                                              : QStyle::SE_RadioButtonContents,
                                        &option, w)
                       .width();
            fits = fm.horizontalAdvance(text) <= room;
        } else if (auto* push = qobject_cast<QPushButton*>(w)) {
            text = push->text();
            // A narrow button without padding (a key's set button) has all but its frame.
            const bool unpadded = push->styleSheet().contains(QStringLiteral("padding: 0px"));
            fits = fm.horizontalAdvance(text) <= room - (unpadded ? 2 : 4);
        } else if (auto* group = qobject_cast<QGroupBox*>(w)) {
            text = group->title();
            fits = fm.horizontalAdvance(text) <= room - 16;
        }
        if (!fits) out << QStringLiteral("control %1 \"%2\" in %3 px").arg(i).arg(text).arg(room);
    }
    return out;
}

void Tap(QWidget* view, int x, int y) {
    QTest::mouseClick(view, Qt::LeftButton, Qt::NoModifier, QPoint(x, y));
    QCoreApplication::processEvents();
}

// Closes the dialog if a failed check left it open, so that the test goes on.
struct CloseAtEnd {
    CQtDialog* dialog;
    ~CloseAtEnd() {
        if (dialog->isVisible()) dialog->ForceClose();
    }
};

struct Seen {
    bool opened = false;
    QStringList misfits;
    QSize size;
};

}  // namespace

class DialogDesktopTest : public QObject {
    Q_OBJECT

    // Grabs the dialog, records what does not fit, and names the picture by language.
    void Look(CQtDialog* dialog, const DialogTemplate& t, const char* lang, Seen& seen) {
        QCoreApplication::processEvents();
        seen.opened = true;
        seen.size = dialog->size();
        seen.misfits = TextsThatDoNotFit(dialog, t);
        const QString path = QStringLiteral("/tmp/vellum-dialog-%1-%2.png").arg(t.id).arg(lang);
        dialog->grab().save(path);
    }

    // One session in the given language: every dialog from its button, with values
    // exchanged as given, and the store written at exit.
    void RunSession(const char* languageId, const char* lang, bool english) {
        RunningProgram program;
        qputenv("VELLUM_LANGUAGE", languageId);
        QVERIFY(program.Start([] {
            DesktopOptions o;
            o.scale = 1;
            return o;
        }()));
        CVellumView* view = program.app->View();
        QCOMPARE(Resources::Active().FromModule(), english);
        QWidget* w = program.platform->ViewWidget();

        // Pen page: the stylus settings button.
        Tap(w, 50, 10);
        Tap(w, 20, 70);
        QCOMPARE(view->panelPage, int(PagePen));
        Seen stylus;
        WhenModalOpens(nullptr, [&](CQtDialog* d) {
            CloseAtEnd guard{d};
            Look(d, kStylusSettingsTemplate, lang, stylus);
            auto* normal = Control<QRadioButton>(d, kStylusSettingsTemplate, IDC_SMOOTH_NORMAL);
            auto* smooth = Control<QRadioButton>(d, kStylusSettingsTemplate, IDC_SMOOTH_SMOOTH);
            auto* stylusInput = Control<QCheckBox>(d, kStylusSettingsTemplate, IDC_STYLUS_INPUT);
            QVERIFY(normal && smooth && stylusInput);
            QVERIFY(normal->isChecked());
            QVERIFY(stylusInput->isChecked());
            QCOMPARE(d->windowTitle(), QStringLiteral("Stylus Setting"));
            QCOMPARE(smooth->text(), english ? QStringLiteral("Smooth") : QStringLiteral("なめらか"));
            // Qt takes a click on the mark or the text, not on the empty rest of the box.
            QTest::mouseClick(smooth, Qt::LeftButton, Qt::NoModifier, QPoint(6, smooth->height() / 2));
            QVERIFY(smooth->isChecked() && !normal->isChecked());
            QTest::mouseClick(stylusInput, Qt::LeftButton, Qt::NoModifier,
                              QPoint(6, stylusInput->height() / 2));
            Control<QPushButton>(d, kStylusSettingsTemplate, 1)->click();
        });
        Tap(w, 140, 130);
        QVERIFY(stylus.opened);
        QCOMPARE(view->smoothing, 4);
        QCOMPARE(view->stylusMode, 0);

        // Colour page: the colour entry button, after a palette pick.
        Tap(w, 20, 90);
        Tap(w, 100, 80);
        const uint8_t* swatch = view->skinImage->At(130, 517);
        const QString red = QString::number(swatch[2]);
        Seen colour;
        WhenModalOpens(nullptr, [&](CQtDialog* d) {
            CloseAtEnd guard{d};
            Look(d, kColourEntryTemplate, lang, colour);
            auto* redEdit = Control<QLineEdit>(d, kColourEntryTemplate, IDC_RED_EDIT);
            QVERIFY(redEdit);
            QCOMPARE(redEdit->text(), red);
            QVERIFY(redEdit->hasFocus());
            redEdit->selectAll();
            QTest::keyClicks(redEdit, QStringLiteral("12"));
            Control<QLineEdit>(d, kColourEntryTemplate, IDC_GREEN_EDIT)->setText(QString());
            QTest::keyClicks(Control<QLineEdit>(d, kColourEntryTemplate, IDC_GREEN_EDIT),
                             QStringLiteral("34"));
            auto* blue = Control<QLineEdit>(d, kColourEntryTemplate, IDC_BLUE_EDIT);
            blue->selectAll();
            QTest::keyClicks(blue, QStringLiteral("56"));
            Control<QPushButton>(d, kColourEntryTemplate, 1)->click();
        });
        Tap(w, 140, 130);
        QVERIFY(colour.opened);
        QCOMPARE(view->currentColour, 0x0038220Cu);

        // Settings page: key settings, and the eyedropper's set button with its capture.
        Tap(w, 20, 130);
        QCOMPARE(view->panelPage, int(PageSettings));
        // Keys with the longest names, which the set buttons must show whole.
        const uint32_t bound[kKeyCount] = {32, 33, 144, 121, 135, 193, 37, 17, 90};
        for (int i = 0; i < kKeyCount; ++i) view->keyCodes[i] = bound[i];
        Seen keys, capture;
        WhenModalOpens(nullptr, [&](CQtDialog* d) {
            CloseAtEnd guard{d};
            Look(d, kKeySettingsTemplate, lang, keys);
            // All nine rows act, so all nine are offered.
            QVERIFY(!Control<QLineEdit>(d, kKeySettingsTemplate, 1012)->isHidden());
            QVERIFY(!Control<QLineEdit>(d, kKeySettingsTemplate, 1010)->isHidden());
            WhenModalOpens(d, [&](CQtDialog* c) {
                CloseAtEnd guard{c};
            Look(c, kKeyCaptureTemplate, lang, capture);
                QTest::keyPress(c, Qt::Key_A);
                QTest::keyRelease(c, Qt::Key_A);
            });
            Control<QPushButton>(d, kKeySettingsTemplate, 1011)->click();
            QCOMPARE(Control<QLineEdit>(d, kKeySettingsTemplate, 1010)->text(), QStringLiteral("65"));
            Control<QPushButton>(d, kKeySettingsTemplate, 1)->click();
        });
        Tap(w, 140, 110);
        QVERIFY(keys.opened);
        QVERIFY(capture.opened);
        QCOMPARE(view->keyCodes[KeyEyedropper], 65u);

        // File page: the picture size button; the size typed in becomes the picture's.
        Tap(w, 20, 50);
        QCOMPARE(view->panelPage, int(PageFile));
        Seen size;
        WhenModalOpens(nullptr, [&](CQtDialog* d) {
            CloseAtEnd guard{d};
            Look(d, kPictureSizeTemplate, lang, size);
            auto* width = Control<QLineEdit>(d, kPictureSizeTemplate, IDC_PICTURE_WIDTH);
            auto* height = Control<QLineEdit>(d, kPictureSizeTemplate, IDC_PICTURE_HEIGHT);
            QVERIFY(width && height);
            QCOMPARE(d->windowTitle(), english ? QStringLiteral("Picture size") : QStringLiteral("絵の大きさ"));
            QCOMPARE(width->text(), QString::number(view->picture.Width()));
            QVERIFY(width->hasFocus());
            width->selectAll();
            QTest::keyClicks(width, QStringLiteral("1200"));
            height->selectAll();
            QTest::keyClicks(height, QStringLiteral("900"));
            Control<QPushButton>(d, kPictureSizeTemplate, 1)->click();
        });
        Tap(w, 160, 120);
        QVERIFY(size.opened);
        QCOMPARE(view->picture.Width(), 1200);
        QCOMPARE(view->picture.Height(), 900);

        QVERIFY(program.CloseAndWait());
        QFile store(program.SettingsPath());
        QVERIFY(store.open(QIODevice::ReadOnly));
        const QByteArray text = store.readAll();
        QVERIFY(text.contains("\npen=4\n"));
        QVERIFY(text.contains("\nstylus=0\n"));
        QVERIFY(text.contains("\nkey_spoit=65\n"));

        for (const Seen* s : {&stylus, &colour, &keys, &capture, &size}) {
            if (s->misfits.isEmpty()) continue;
            const QString all = s->misfits.join(QStringLiteral("; "));
            // Our own English words must fit; the Japanese ones are the templates' own.
            if (english)
                QFAIL(qPrintable(QStringLiteral("English text does not fit: ") + all));
            else
                qWarning("Japanese text does not fit: %s", qPrintable(all));
        }
    }

private slots:
    void cleanup() {
        Resources::Active().UseBuiltIn();
        qputenv("VELLUM_LANGUAGE", "0411");
    }

    void EveryDialogOpensFromItsButtonInJapanese() { RunSession("0411", "ja", false); }
    void EveryDialogOpensFromItsButtonInEnglish() { RunSession("0409", "en", true); }
};

VELLUM_QT_TEST(DialogDesktopTest);

}  // namespace vellum::test

#include "DialogDesktopTest.moc"
