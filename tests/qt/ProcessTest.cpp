// The desktop program as separate processes: --help, the screenshot option, the
// single-instance rule with a live and with a stale socket, and a termination signal.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <unistd.h>

#include "QtTestSupport.h"
#include "platform/qt/MainWindow.h"

namespace vellum::test {

namespace {

const QString kProgram = QStringLiteral(VELLUM_BIN_DIR "/vellum");

class Homes {
public:
    Homes() {
        for (const char* sub : {"home", "config", "runtime"}) QDir(root.path()).mkpath(sub);
        QFile::setPermissions(Runtime(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    QString Runtime() const { return root.path() + "/runtime"; }
    QString Settings() const { return root.path() + "/config/Orvane Works/vellum.ini"; }
    QString Socket() const {
        return Runtime() + "/.:Vellum:.-" + QString::number(getuid());
    }
    void Prepare(QProcess& p) const {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("HOME", root.path() + "/home");
        env.insert("XDG_CONFIG_HOME", root.path() + "/config");
        env.insert("XDG_RUNTIME_DIR", Runtime());
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("VELLUM_LANGUAGE", "0411");
        p.setProcessEnvironment(env);
        p.setProgram(kProgram);
    }
    QTemporaryDir root;
};

}  // namespace

class ProcessTest : public QObject {
    Q_OBJECT
private slots:
    void HelpListsTheOptionsAndBadOptionsFail() {
        Homes homes;
        QProcess help;
        homes.Prepare(help);
        help.setArguments({"--help"});
        help.start();
        QVERIFY(help.waitForFinished(10000));
        QCOMPARE(help.exitStatus(), QProcess::NormalExit);
        QCOMPARE(help.exitCode(), 0);
        const QString text = QString::fromUtf8(help.readAllStandardOutput());
        for (const char* o : {"--screen", "--scale", "--fullscreen", "--screenshot", "--help"})
            QVERIFY2(text.contains(o), o);
        QProcess bad;
        homes.Prepare(bad);
        bad.setArguments({"--scale", "zero"});
        bad.start();
        QVERIFY(bad.waitForFinished(10000));
        QCOMPARE(bad.exitCode(), 2);
        QVERIFY(bad.readAllStandardError().contains("scale"));
    }

    void TheScreenshotIsTheWindowAndWritesNoSettings() {
        Homes homes;
        const QString shot = homes.root.path() + "/shot.png";
        QProcess p;
        homes.Prepare(p);
        p.setArguments({"--scale", "2", "--screenshot", shot});
        p.start();
        QVERIFY(p.waitForFinished(15000));
        QCOMPARE(p.exitCode(), 0);
        const QImage image(shot);
        QCOMPARE(image.size(), QSize(480, 640));
        QCOMPARE(image.pixel(240, 400) & 0xFFFFFF, 0xFFFFFFu);  // the white canvas
        QVERIFY(!QFileInfo::exists(homes.Settings()));
    }

    void WithoutTheSkinTheMessageShowsAndTheStoreIsLeftAlone() {
        Homes homes;
        // The program alone in a folder: no vellum.dat beside it.
        const QString lonely = homes.root.path() + "/vellum";
        QVERIFY(QFile::copy(kProgram, lonely));
        QProcess p;
        homes.Prepare(p);
        p.setProgram(lonely);
        // The screenshot run answers the message itself and prints it.
        p.setArguments({"--screenshot", homes.root.path() + "/never.png"});
        p.start();
        QVERIFY(p.waitForFinished(10000));
        const QString err = QString::fromUtf8(p.readAllStandardError());
        QCOMPARE(err.count(QString::fromUtf8("データファイルのロードに失敗しました。")), 1);
        QCOMPARE(p.exitCode(), 1);  // the window closed before it could be grabbed
        QVERIFY(!QFileInfo::exists(homes.Settings()));
        QVERIFY(!QFileInfo::exists(homes.root.path() + "/never.png"));
    }

    void ASecondStartOnlyRaisesTheFirst() {
        Homes homes;
        QProcess first;
        homes.Prepare(first);
        first.start();
        QVERIFY(first.waitForStarted(5000));
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(homes.Socket()), 10000);
        QProcess second;
        homes.Prepare(second);
        second.start();
        QVERIFY(second.waitForFinished(5000));
        QCOMPARE(second.exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.exitCode(), 0);
        QCOMPARE(first.state(), QProcess::Running);
        // A termination signal is a close nobody asked about: settings, exit 0.
        ::kill(pid_t(first.processId()), SIGTERM);
        QVERIFY(first.waitForFinished(5000));
        QCOMPARE(first.exitStatus(), QProcess::NormalExit);
        QCOMPARE(first.exitCode(), 0);
        QFile settings(homes.Settings());
        QVERIFY(settings.open(QIODevice::ReadOnly));
        QVERIFY(settings.readAll().contains("jpeg_quality=10"));
    }

    void ASocketLeftByAKilledRunDoesNotBlockTheNext() {
        Homes homes;
        QProcess killed;
        homes.Prepare(killed);
        killed.start();
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(homes.Socket()), 10000);
        killed.kill();  // SIGKILL: the socket file stays behind
        QVERIFY(killed.waitForFinished(5000));
        QVERIFY(QFileInfo::exists(homes.Socket()));
        QProcess next;
        homes.Prepare(next);
        next.start();
        QVERIFY(next.waitForStarted(5000));
        QVERIFY(!next.waitForFinished(1500));  // it runs: it did not take itself for a second one
        // It is the running instance now: one more start gives way to it.
        QProcess third;
        homes.Prepare(third);
        third.start();
        QVERIFY(third.waitForFinished(5000));
        QCOMPARE(third.exitCode(), 0);
        QCOMPARE(next.state(), QProcess::Running);
        ::kill(pid_t(next.processId()), SIGINT);
        QVERIFY(next.waitForFinished(5000));
        QCOMPARE(next.exitCode(), 0);
    }

    void TheRunningInstanceIsRaisedByTheSecond() {
        RunningProgram program;
        DesktopOptions o;
        o.scale = 1;
        QVERIFY(program.Start(o));
        QCOMPARE(program.platform->raiseRequests, 0);
        QProcess second;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        second.setProcessEnvironment(env);  // this process's HOME and runtime folders
        second.setProgram(kProgram);
        second.start();
        QTRY_COMPARE_WITH_TIMEOUT(second.state(), QProcess::NotRunning, 5000);
        QCOMPARE(second.exitCode(), 0);
        QTRY_COMPARE(program.platform->raiseRequests, 1);
        QVERIFY(program.platform->Window()->isVisible());
    }
};

VELLUM_QT_TEST(ProcessTest);

}  // namespace vellum::test

#include "ProcessTest.moc"
