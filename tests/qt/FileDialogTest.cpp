// The platform's own open and save dialogs honour the chooser's record.
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

#include "QtTestSupport.h"
#include "platform/qt/FileDialog.h"

namespace vellum::test {

namespace {

const char16_t kFilter[] = u"Bmp Files (*.bmp)\0*.bmp\0All Files (*.*)\0*.*\0";

struct Request {
    char16_t file[kFileBufferChars] = {};
    char16_t title[64] = {};
    const char16_t* ext = u"BMP";
    OpenFileName record = {};
    explicit Request(const QString& initial, uint32_t filterIndex = 1) {
        record.structSize = 76;
        record.filter = kFilter;
        record.filterIndex = filterIndex;
        for (int i = 0; i < initial.size(); ++i) file[i] = char16_t(initial[i].unicode());
        record.file = file;
        record.maxFile = kFileBufferSize;
        record.initialDir = u"";
        record.defExt = ext;
    }
    QString File() const {
        int n = 0;
        while (file[n]) ++n;
        return QString(reinterpret_cast<const QChar*>(file), n);
    }
};

// Types a name into the open dialog and accepts it, as the user would.
void TypeAndAccept(QWidget* modal, const QString& name, const QString& filter = QString()) {
    auto* dialog = qobject_cast<QFileDialog*>(modal);
    if (!dialog) return;
    if (!filter.isEmpty()) dialog->selectNameFilter(filter);
    if (!name.isNull()) {
        // What the user types wins over a file still selected in the list.
        for (auto* view : dialog->findChildren<QAbstractItemView*>()) view->clearSelection();
        dialog->findChild<QLineEdit*>("fileNameEdit")->setText(name);
    }
    static_cast<QDialog*>(dialog)->accept();  // QFileDialog::accept reads the name
}

}  // namespace

class FileDialogTest : public QObject {
    Q_OBJECT
    QTemporaryDir dir;

private slots:
    void TheFilterListIsReadAsPairs() {
        const QList<FilterPair> pairs = ReadFilterPairs(kFilter);
        QCOMPARE(pairs.size(), 2);
        QCOMPARE(pairs[0].display, QString("Bmp Files (*.bmp)"));
        QCOMPARE(pairs[0].pattern, QString("*.bmp"));
        QCOMPARE(pairs[1].pattern, QString("*.*"));
        // "*.*" is every file, also one without a dot; ';' separates patterns.
        QCOMPARE(QtNameFilter(pairs[1]), QString("All Files (*.*) (*)"));
        QCOMPARE(QtNameFilter({"Pictures", "*.bmp;*.jpg"}), QString("Pictures (*.bmp *.jpg)"));
        // A display text without its pattern ends the list; so does a null filter.
        QCOMPARE(ReadFilterPairs(u"Odd\0").size(), 0);
        QCOMPARE(ReadFilterPairs(nullptr).size(), 0);
    }

    void OpenOffersTheRecordAndReturnsTheChosenPath() {
        QFile(dir.filePath("one.bmp")).open(QIODevice::WriteOnly);
        QFile(dir.filePath("two.txt")).open(QIODevice::WriteOnly);
        Request r(dir.filePath("one.bmp"), 2);
        QStringList offered;
        QString selected, shownDir, shownFilter;
        WhenModalAppears([&](QWidget* modal) {
            auto* dialog = qobject_cast<QFileDialog*>(modal);
            offered = dialog->nameFilters();
            shownFilter = dialog->selectedNameFilter();
            shownDir = dialog->directory().absolutePath();
            selected = dialog->findChild<QLineEdit*>("fileNameEdit")->text();
            QCOMPARE(dialog->acceptMode(), QFileDialog::AcceptOpen);
            QCOMPARE(dialog->fileMode(), QFileDialog::ExistingFile);
            // The user sees the record's display texts, not Qt's patterns.
            auto* types = dialog->findChild<QComboBox*>("fileTypeCombo");
            QCOMPARE(types->itemText(0), QString("Bmp Files (*.bmp)"));
            QCOMPARE(types->itemText(1), QString("All Files (*.*)"));
            TypeAndAccept(modal, "two.txt");
        });
        QCOMPARE(RunFileDialog(nullptr, 0, r.record, QDir::homePath()), 1);
        QCOMPARE(offered.size(), 2);
        QVERIFY2(shownFilter.startsWith("All Files (*.*)"), qPrintable(shownFilter));  // index 2 in
        QCOMPARE(shownDir, QDir(dir.path()).absolutePath());
        QCOMPARE(selected, QString("one.bmp"));
        QCOMPARE(r.File(), QDir(dir.path()).absoluteFilePath("two.txt"));
        QCOMPARE(r.record.filterIndex, 2u);
        QCOMPARE(int(r.record.fileOffset), int(r.File().lastIndexOf('/')) + 1);
    }

    void SaveAsksNoOverwriteQuestionAndReportsTheFilter() {
        QFile(dir.filePath("exists.bmp")).open(QIODevice::WriteOnly);
        Request r(dir.filePath("untitled"), 1);
        WhenModalAppears([&](QWidget* modal) {
            auto* dialog = qobject_cast<QFileDialog*>(modal);
            QCOMPARE(dialog->acceptMode(), QFileDialog::AcceptSave);
            QVERIFY(dialog->testOption(QFileDialog::DontConfirmOverwrite));
            QCOMPARE(dialog->defaultSuffix(), QString());
            QCOMPARE(dialog->findChild<QLineEdit*>("fileNameEdit")->text(), QString("untitled"));
            TypeAndAccept(modal, "exists.bmp", dialog->nameFilters().value(1));
        });
        QCOMPARE(RunFileDialog(nullptr, 1, r.record, QDir::homePath()), 1);
        QVERIFY(QApplication::activeModalWidget() == nullptr);  // no question was left open
        QCOMPARE(r.File(), QDir(dir.path()).absoluteFilePath("exists.bmp"));
        QCOMPARE(r.record.filterIndex, 2u);
    }

    void SaveReturnsABareNameBare() {
        // The program adds the chosen filter's extension, in lower case.
        Request r(dir.filePath("pic"), 1);
        WhenModalAppears([&](QWidget* modal) { TypeAndAccept(modal, "pic"); });
        QCOMPARE(RunFileDialog(nullptr, 1, r.record, QDir::homePath()), 1);
        QCOMPARE(r.File(), QDir(dir.path()).absoluteFilePath("pic"));
        QCOMPARE(r.record.filterIndex, 1u);
    }

    void CancelLeavesTheRecordAlone() {
        Request r(dir.filePath("keep.bmp"), 2);
        WhenModalAppears([&](QWidget* modal) { qobject_cast<QFileDialog*>(modal)->reject(); });
        QCOMPARE(RunFileDialog(nullptr, 1, r.record, QDir::homePath()), 0);
        QCOMPARE(r.File(), dir.filePath("keep.bmp"));
        QCOMPARE(r.record.filterIndex, 2u);
    }

    void APathLongerThanTheBufferIsRefusedNotCut() {
        Request r(QString(), 1);
        r.record.maxFile = 8;  // room for 7 characters
        WhenModalAppears([&](QWidget* modal) { TypeAndAccept(modal, "a-rather-long-name.bmp"); });
        QCOMPARE(RunFileDialog(nullptr, 1, r.record, dir.path()), 0);
        QCOMPARE(r.File(), QString());
        QCOMPARE(RunFileDialog(nullptr, 2, r.record, dir.path()), 0);  // no such mode
    }
};

VELLUM_QT_TEST(FileDialogTest);

}  // namespace vellum::test

#include "FileDialogTest.moc"
