// The program's own dialogs through the desktop platform: the About box framed by
// leaving and entering full screen, the key capture taking an application button.
#include <QApplication>
#include <QLabel>
#include <QTest>

#include "QtTestSupport.h"
#include "app/VellumView.h"
#include "dialogs/AboutDialog.h"
#include "dialogs/KeySettingsDialog.h"

namespace vellum::test {

namespace {

void KeepShot(QWidget* modal, const char* name) {
    const QString shots = qEnvironmentVariable("VELLUM_SHOTS");
    if (!shots.isEmpty()) Grabbed(modal).save(shots + "/" + name + ".png");
}

}  // namespace

class ProgramDialogsTest : public QObject {
    Q_OBJECT
private slots:
    void TheAboutBoxIsFramedAndClosedByItsCaption() {
        RunningProgram program;
        QVERIFY(program.Start(DesktopOptions{}));
        QtPlatform& p = *program.platform;
        unsigned flagsWhileOpen = 0;
        bool iconShown = false;
        WhenModalAppears([&](QWidget* modal) {
            flagsWhileOpen = p.lastShellFlags;
            for (QLabel* label : modal->findChildren<QLabel*>())
                if (!label->pixmap().isNull()) iconShown = true;
            KeepShot(modal, "about");
            modal->close();
        });
        program.app->View()->ShowAbout();
        QCOMPARE(flagsWhileOpen, 0x05u);
        QCOMPARE(p.lastShellFlags, 0x0Au);
        QVERIFY(iconShown);
        QVERIFY(QApplication::activeModalWidget() == nullptr);
    }

    void TheKeyCaptureTakesTheReleasedKeysCode() {
        RunningProgram program;
        QVERIFY(program.Start(DesktopOptions{}));
        CKeyCaptureDialog capture(*program.platform);
        QString caption;
        WhenModalAppears([&](QWidget* modal) {
            caption = modal->windowTitle();
            KeepShot(modal, "key-capture");
            QTest::keyPress(modal, Qt::Key_F23);
            QTest::keyRelease(modal, Qt::Key_F23);  // 134 keeps it open
            QCoreApplication::processEvents();
            QVERIFY(modal->isVisible());
            QTest::keyRelease(modal, Qt::Key_Launch0);  // the first application button
        });
        program.platform->RunDialog(capture);
        QCOMPARE(caption, QString::fromUtf8("キー入力"));
        QCOMPARE(capture.keyCode, 193u);
    }
};

VELLUM_QT_TEST(ProgramDialogsTest);

}  // namespace vellum::test

#include "ProgramDialogsTest.moc"
