// Runs every registered desktop test in one application, offscreen.
#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>
#include <utility>
#include <vector>

#include "QtTestSupport.h"

namespace vellum::test {

namespace {

std::vector<std::pair<const char*, TestFactory>>& Registry() {
    static std::vector<std::pair<const char*, TestFactory>> tests;
    return tests;
}

}  // namespace

int RegisterTest(const char* name, TestFactory factory) {
    Registry().emplace_back(name, std::move(factory));
    return int(Registry().size());
}

}  // namespace vellum::test

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    // A runtime folder of our own until the tests set theirs (Qt warns without one).
    QTemporaryDir runtime;
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        QFile::setPermissions(runtime.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    }
    // The same input settings as the program's main.
    QCoreApplication::setAttribute(Qt::AA_CompressHighFrequencyEvents, false);
    QCoreApplication::setAttribute(Qt::AA_CompressTabletEvents, false);
    QApplication application(argc, argv);
    application.setQuitOnLastWindowClosed(false);
    // test_qt CLASS [QTEST ARGS]: one class only, with QtTest's own arguments.
    QStringList args = application.arguments();
    const QString only = args.size() > 1 && !args[1].startsWith('-') ? args.takeAt(1) : QString();
    int failed = 0;
    for (auto& [name, factory] : vellum::test::Registry()) {
        if (!only.isEmpty() && only != QLatin1String(name)) continue;
        QObject* test = factory();
        test->setObjectName(QString::fromUtf8(name));
        failed += QTest::qExec(test, args);
        delete test;
    }
    std::printf("test_qt: %d failure(s)\n", failed);
    return failed == 0 ? 0 : 1;
}
