// The desktop program against other users: a single-instance socket in a folder others
// can write is not trusted, and the program starts.
#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QFile>
#include <QLocalServer>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

#include "QtTestSupport.h"
#include "app/VellumView.h"
#include "platform/qt/MainWindow.h"

namespace vellum::test {

class HardeningDesktopTest : public QObject {
    Q_OBJECT
private slots:
    void ASocketInAFolderOthersCanWriteIsNotTrusted() {
        QTemporaryDir temp;
        const QByteArray oldTmp = qgetenv("TMPDIR"), oldRuntime = qgetenv("XDG_RUNTIME_DIR");
        qputenv("TMPDIR", QFile::encodeName(temp.path()));
        qunsetenv("XDG_RUNTIME_DIR");
        // Someone else got there first: the folder is open to all, and a listener waits
        // under our name.
        const QString shared = temp.path() + QStringLiteral("/vellum-") + QString::number(getuid());
        QVERIFY(QDir().mkpath(shared));
        ::chmod(QFile::encodeName(shared).constData(), 0777);
        QLocalServer impostor, inTheOpen;
        QVERIFY(impostor.listen(shared + QStringLiteral("/.:Vellum:.-") + QString::number(getuid())));
        // ... and one right in the shared temporary folder.
        QVERIFY(inTheOpen.listen(temp.path() + QStringLiteral("/.:Vellum:.-") + QString::number(getuid())));
        {
            RunningProgram program;
            qunsetenv("XDG_RUNTIME_DIR");
            QVERIFY2(program.Start(DesktopOptions{}), "the program starts and shows its window");
            QCOMPARE(impostor.hasPendingConnections(), false);
            QCOMPARE(inTheOpen.hasPendingConnections(), false);
        }
        qputenv("TMPDIR", oldTmp);
        if (!oldRuntime.isEmpty()) qputenv("XDG_RUNTIME_DIR", oldRuntime);
    }

    // The window's close button pressed while a dialog is open is not dropped: once the
    // dialog ends, the quit question comes.
    void ACloseDuringADialogWaitsForIt() {
        RunningProgram program;
        QVERIFY(program.Start(DesktopOptions{}));
        bool asked = false;
        WhenModalAppears([&](QWidget* about) {
            program.platform->Window()->close();  // the window system's close request
            WhenModalAppears([&](QWidget* question) {
                auto* box = qobject_cast<QMessageBox*>(question);
                asked = box != nullptr;
                if (box) box->button(QMessageBox::No)->click();
            });
            about->close();
        });
        program.app->View()->ShowAbout();
        QVERIFY(QTest::qWaitFor([&] { return asked; }, 5000));
        QVERIFY2(!program.platform->WindowDestroyed(), "No keeps the program open");
    }
};

VELLUM_QT_TEST(HardeningDesktopTest);

}  // namespace vellum::test

#include "HardeningDesktopTest.moc"
