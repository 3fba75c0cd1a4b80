// Real Qt dialogs built from a template of our own: placement by dialog units, the
// controls mirroring the dialog's states, and the user's actions routed to its handlers.
#include <QApplication>
#include <QCheckBox>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QToolButton>

#include "QtTestSupport.h"
#include "platform/qt/QtDialog.h"

namespace vellum::test {

namespace {

constexpr ControlTemplate kControls[] = {
    {ControlKind::GroupBox, -1, 5, 5, 110, 45, StyleNone, "オプション"},
    {ControlKind::CheckBox, 1000, 10, 15, 85, 10, StyleAutoCheck | StyleTabStop, "スタイラス入力方式"},
    {ControlKind::RadioButton, 1002, 10, 28, 40, 10, StyleAutoCheck | StyleGroupStart, "なし"},
    {ControlKind::RadioButton, 1003, 55, 28, 40, 10, StyleAutoCheck, "ふつう"},
    {ControlKind::Static, 1030, 5, 57, 10, 10, StyleLeftAlign, "R"},
    {ControlKind::Edit, 1010, 15, 55, 30, 15, StyleDigitsOnly | StyleBorder | StyleTabStop | StyleAutoHScroll, ""},
    {ControlKind::UpDown, 1011, 45, 55, 50, 15,
     StyleHorizontal | StyleAutoBuddy | StyleSetBuddyInt | StyleArrowKeys | StyleNoThousands, ""},
    {ControlKind::Icon, -1, 100, 55, 20, 20, StyleNone, nullptr},
    {ControlKind::PushButton, 1, 5, 90, 50, 20, StyleDefaultButton | StyleTabStop, "OK"},
    {ControlKind::PushButton, 2, 60, 90, 50, 20, StyleTabStop, "Cancel"},
    {ControlKind::PushButton, 1020, 5, 112, 50, 14, StyleTabStop, "隠す"},
};
constexpr DialogTemplate kTemplate = {900, "テスト設定", "ＭＳ Ｐゴシック", 9, 123, 130,
                                      kControls, int(std::size(kControls))};

enum Index { GroupIx, CheckIx, Radio0Ix, Radio1Ix, LabelIx, EditIx, SpinIx, IconIx, OkIx, CancelIx, HideIx };

class CTestDialog : public CDialog {
public:
    explicit CTestDialog(Platform& p) : CDialog(kTemplate, p) {}
    int32_t check = 1;
    int32_t choice = 1;
    int32_t value = 200;
    int destroyed = 0;

    void OnInitDialog() override {
        CDialog::OnInitDialog();
        SetRange(1011, 0, 255);
        FocusControl(1010);
    }
    void OnDestroy() override { ++destroyed; }

protected:
    bool DoDataExchange(bool save) override {
        ExchangeCheck(save, 1000, check);
        ExchangeRadio(save, 1002, choice);
        if (!ExchangeInt(save, 1010, value)) return false;
        return ValidateRange(save, 1010, value, 0, 255);
    }
    void OnButton(int id) override {
        if (id == 1020) ShowControl(1030, false);
    }
};

// Waits for one key and closes, as the key capture does; keys 134 and 135 keep it open.
constexpr ControlTemplate kCaptureControls[] = {
    {ControlKind::Static, -1, 5, 10, 60, 20, StyleLeftAlign, "設定するキーを押してください"},
};
constexpr DialogTemplate kCaptureTemplate = {901, "キー入力", "ＭＳ Ｐゴシック", 9, 71, 39,
                                             kCaptureControls, 1};

class CCaptureDialog : public CDialog {
public:
    explicit CCaptureDialog(Platform& p) : CDialog(kCaptureTemplate, p) {}
    std::vector<uint32_t> released;
    int closeRequests = 0;
    void OnKeyUp(uint32_t code) override {
        released.push_back(code);
        if (code != 134 && code != 135 && host) host->PostCloseRequest();
    }
    void OnCloseRequest() override {
        ++closeRequests;
        CDialog::OnCloseRequest();
    }
};

template <typename T>
T* Control(QWidget* dialog, int index) {
    return dialog->findChild<T*>(QStringLiteral("control%1").arg(index));
}

int DarkPixels(QWidget* w) {
    const QImage image = Grabbed(w);
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qGray(image.pixel(x, y)) < 100) ++n;
    return n;
}

}  // namespace

class DialogBuilderTest : public QObject {
    Q_OBJECT
    DesktopOptions options;
    QtPlatform* platform = nullptr;

private slots:
    void init() { platform = new QtPlatform(options); }
    void cleanup() {
        delete platform;
        platform = nullptr;
    }

    void ControlsArePlacedByDialogUnitsOfTheDialogFont() {
        CTestDialog dlg(*platform);
        CQtDialog host(dlg, platform, nullptr);
        const QFont font = DialogFont(kTemplate);
        QCOMPARE(font.families().value(0), QString::fromUtf8("ＭＳ Ｐゴシック"));
        QCOMPARE(font.families().value(1), QString::fromUtf8("Noto Sans CJK JP"));
        QCOMPARE(font.pointSize(), 9);
        const QFontMetrics metrics(font);
        const int baseX =
            (metrics.horizontalAdvance("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz") / 26 + 1) / 2;
        QCOMPARE(host.Units().baseX, baseX);
        QCOMPARE(host.Units().baseY, metrics.height());
        auto px = [&](int dlu) { return (dlu * baseX + 2) / 4; };
        auto py = [&](int dlu) { return (dlu * metrics.height() + 4) / 8; };
        QCOMPARE(host.size(), QSize(px(123), py(130)));
        for (int i = 0; i < int(std::size(kControls)); ++i) {
            if (i == IconIx) continue;
            const ControlTemplate& c = kControls[i];
            QCOMPARE(host.ControlWidget(i)->geometry(), QRect(px(c.x), py(c.y), px(c.w), py(c.h)));
        }
        QVERIFY(qobject_cast<QGroupBox*>(host.ControlWidget(GroupIx)));
        QVERIFY(qobject_cast<QCheckBox*>(host.ControlWidget(CheckIx)));
        QVERIFY(qobject_cast<QRadioButton*>(host.ControlWidget(Radio1Ix)));
        QVERIFY(qobject_cast<QLineEdit*>(host.ControlWidget(EditIx)));
        QVERIFY(qobject_cast<QPushButton*>(host.ControlWidget(OkIx))->isDefault());
        QVERIFY(!qobject_cast<QPushButton*>(host.ControlWidget(CancelIx))->isDefault());
        // The up-down control is a wide pair of arrows filling its rectangle.
        auto* down = host.ControlWidget(SpinIx)->findChild<QToolButton*>("down");
        auto* up = host.ControlWidget(SpinIx)->findChild<QToolButton*>("up");
        QCOMPARE(down->arrowType(), Qt::LeftArrow);
        QCOMPARE(up->arrowType(), Qt::RightArrow);
        QCOMPARE(down->width() + up->width(), px(50));
        QVERIFY(down->autoRepeat() && up->autoRepeat());
        // The group box lies behind the controls it frames.
        QCOMPARE(host.children().indexOf(host.ControlWidget(GroupIx)), 0);
        auto* icon = qobject_cast<QLabel*>(host.ControlWidget(IconIx));
        QCOMPARE(icon->pixmap().size(), QSize(32, 32));
        QCOMPARE(MulDiv(5, 7, 4), 9);    // 8.75
        QCOMPARE(MulDiv(3, 6, 4), 5);    // 4.5 rounds up
        QCOMPARE(MulDiv(-3, 6, 4), -5);  // and away from zero below it
    }

    void TheUsersActionsReachTheHandlersAndTheControlsFollowTheStates() {
        CTestDialog dlg(*platform);
        CQtDialog host(dlg, platform, nullptr);
        bool acted = false;
        WhenModalAppears([&](QWidget* modal) {
            QCOMPARE(modal, &host);
            QCOMPARE(host.windowTitle(), QString::fromUtf8("テスト設定"));
            auto* check = Control<QCheckBox>(modal, CheckIx);
            auto* radio0 = Control<QRadioButton>(modal, Radio0Ix);
            auto* radio1 = Control<QRadioButton>(modal, Radio1Ix);
            auto* edit = Control<QLineEdit>(modal, EditIx);
            // Opened from the fields, focus on the edit.
            QVERIFY(check->isChecked());
            QVERIFY(!radio0->isChecked() && radio1->isChecked());
            QCOMPARE(edit->text(), QString("200"));
            QTRY_COMPARE(modal->focusWidget(), static_cast<QWidget*>(edit));
            // A click on the check box toggles the dialog's state, which the box shows.
            QTest::mouseClick(check, Qt::LeftButton);
            QCOMPARE(dlg.State(CheckIx).checked, 0);
            QVERIFY(!check->isChecked());
            // Radio buttons: the dialog unchecks the group's others; a click on the
            // checked one leaves it checked.
            QTest::mouseClick(radio0, Qt::LeftButton);
            QVERIFY(radio0->isChecked() && !radio1->isChecked());
            QTest::mouseClick(radio0, Qt::LeftButton);
            QVERIFY(radio0->isChecked());
            QCOMPARE(dlg.State(Radio0Ix).checked, 1);
            QCOMPARE(dlg.State(Radio1Ix).checked, 0);
            // The arrows step the buddy edit and stop at the range's end.
            auto* up = modal->findChild<QToolButton*>("up");
            auto* down = modal->findChild<QToolButton*>("down");
            QTest::mouseClick(up, Qt::LeftButton);
            QCOMPARE(edit->text(), QString("201"));
            for (int i = 0; i < 60; ++i) up->click();
            QCOMPARE(edit->text(), QString("255"));
            down->click();
            QCOMPARE(edit->text(), QString("254"));
            // Typing: digits only, and every change reaches the dialog.
            edit->setFocus();
            edit->selectAll();
            QTest::keyClicks(edit, "4x2");
            QCOMPARE(edit->text(), QString("42"));
            QCOMPARE(dlg.State(EditIx).text, std::string("42"));
            QTest::keyClick(edit, Qt::Key_Up);  // the arrow keys step it too
            QCOMPARE(edit->text(), QString("43"));
            // A button of the dialog's own hides a control.
            QTest::mouseClick(Control<QPushButton>(modal, HideIx), Qt::LeftButton);
            QVERIFY(Control<QLabel>(modal, LabelIx)->isHidden());
            // Enter in the edit presses the default button: OK.
            // (The focus goes back there first: a focused push button takes the Enter.)
            edit->setFocus();
            QTest::keyClick(edit, Qt::Key_Return);
            acted = true;
        });
        QCOMPARE(host.Run(), 1);
        QVERIFY(acted);
        QCOMPARE(dlg.check, 0);
        QCOMPARE(dlg.choice, 0);
        QCOMPARE(dlg.value, 43);
        QCOMPARE(dlg.destroyed, 1);
        QVERIFY(!host.isVisible());
    }

    void AValueOutOfRangeKeepsTheDialogOpen() {
        CTestDialog dlg(*platform);
        CQtDialog host(dlg, platform, nullptr);
        QString message;
        WhenModalAppears([&](QWidget* modal) {
            auto* edit = Control<QLineEdit>(modal, EditIx);
            edit->selectAll();
            QTest::keyClicks(edit, "300");
            WhenModalAppears([&](QWidget* box) {
                message = qobject_cast<QMessageBox*>(box)->text();
                qobject_cast<QMessageBox*>(box)->button(QMessageBox::Ok)->click();
            });
            QTest::mouseClick(Control<QPushButton>(modal, OkIx), Qt::LeftButton);
            QVERIFY(!message.isEmpty());
            QVERIFY(message.contains("255"));
            QVERIFY(modal->isVisible());
            // The focus is back on the edit, its text selected for typing over.
            QTRY_COMPARE(modal->focusWidget(), static_cast<QWidget*>(edit));
            QCOMPARE(edit->selectedText(), QString("300"));
            // Esc asks the dialog to close; it cancels.
            QTest::keyClick(modal, Qt::Key_Escape);
        });
        QCOMPARE(host.Run(), 2);
        QCOMPARE(dlg.check, 1);  // nothing read back but the refused edit
        QCOMPARE(dlg.destroyed, 1);
    }

    void KeyReleasesGoToTheDialogWhichClosesItselfByRequest() {
        CCaptureDialog dlg(*platform);
        CQtDialog host(dlg, platform, nullptr);
        WhenModalAppears([&](QWidget* modal) {
            QTRY_VERIFY(modal->hasFocus());  // no focusable control: the dialog has the keys
            QTest::keyPress(modal, Qt::Key_F23);
            QTest::keyRelease(modal, Qt::Key_F23);
            QCoreApplication::processEvents();
            QVERIFY(modal->isVisible());  // 134 keeps it open
            QTest::keyPress(modal, Qt::Key_A);
            QTest::keyRelease(modal, Qt::Key_A);
        });
        QCOMPARE(host.Run(), 2);
        QCOMPARE(dlg.released, (std::vector<uint32_t>{134, 65}));
        QCOMPARE(dlg.closeRequests, 1);
    }

    void TheCaptionsCloseButtonAsksTheDialog() {
        CCaptureDialog dlg(*platform);
        CQtDialog host(dlg, platform, nullptr);
        WhenModalAppears([&](QWidget* modal) { modal->close(); });
        QCOMPARE(host.Run(), 2);
        QCOMPARE(dlg.closeRequests, 1);
        QVERIFY(dlg.released.empty());
        const Qt::WindowFlags flags = host.windowFlags();
        QVERIFY(flags & Qt::WindowCloseButtonHint);
        QVERIFY(!(flags & Qt::WindowContextHelpButtonHint));
    }

    void JapaneseTextsRender() {
        const QFont font = DialogFont(kTemplate);
        const QFontInfo info(font);
        QVERIFY2(QFontMetrics(font).inFontUcs4(0x30B9), qPrintable(info.family()));  // ス
        CCaptureDialog dlg(*platform);
        CQtDialog host(dlg, platform, nullptr);
        QImage shot;
        WhenModalAppears([&](QWidget* modal) {
            auto* label = Control<QLabel>(modal, 0);
            QVERIFY(label->wordWrap());  // two lines of room
            shot = Grabbed(modal);
            const int inked = DarkPixels(label);
            label->setText(QString());
            QVERIFY2(inked > 150, qPrintable(QString::number(inked)));
            QCOMPARE(DarkPixels(label), 0);
            modal->close();
        });
        host.Run();
        // VELLUM_SHOTS=folder keeps pictures of both dialogs to look at.
        const QString shots = qEnvironmentVariable("VELLUM_SHOTS");
        if (!shots.isEmpty()) {
            shot.save(shots + "/dialog-capture.png");
            CTestDialog settings(*platform);
            CQtDialog settingsHost(settings, platform, nullptr);
            WhenModalAppears([&](QWidget* modal) { Grabbed(modal).save(shots + "/dialog-test.png"); });
            settingsHost.Run();
        }
    }
};

VELLUM_QT_TEST(DialogBuilderTest);

}  // namespace vellum::test

#include "DialogBuilderTest.moc"
