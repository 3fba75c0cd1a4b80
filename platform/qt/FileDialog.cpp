#include "platform/qt/FileDialog.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QStringList>

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <string>

#include "imageio/formats/ChooserRules.h"

namespace vellum {

namespace {

// A runaway list (no terminator) is cut off here.
constexpr int kMaxFilterChars = 32768;

QString FromWide(const char16_t* text, int limit) {
    if (!text) return QString();
    int n = 0;
    while (n < limit && text[n]) ++n;
    // A name's bytes that are not UTF-8 (carried as U+DC80..U+DCFF) shown as Qt shows
    // such a file name.
    return QFile::decodeName(QByteArray::fromStdString(Utf16ToUtf8(std::u16string(text, size_t(n)))));
}

// The bytes of a chosen path. Qt shows a name that is not UTF-8 with replacement
// characters, which name no file: such a name is looked up in its folder among the
// entries that Qt would show the same way, and the entry's own bytes are taken.
std::string FileSystemBytes(const QString& path) {
    const QByteArray encoded = QFile::encodeName(path);
    struct stat st;
    if (!path.contains(QChar(0xFFFD)) || ::lstat(encoded.constData(), &st) == 0) return encoded.toStdString();
    const int slash = int(path.lastIndexOf(QLatin1Char('/')));
    const QString folder = slash > 0 ? path.left(slash) : QStringLiteral("/");
    const QString name = path.mid(slash + 1);
    const QByteArray folderBytes = QFile::encodeName(folder);
    std::string found;
    int matches = 0;
    if (DIR* d = ::opendir(folderBytes.constData())) {
        while (dirent* e = ::readdir(d))
            if (QFile::decodeName(QByteArray(e->d_name)) == name) {
                found = e->d_name;
                ++matches;
            }
        ::closedir(d);
    }
    if (matches != 1) return encoded.toStdString();
    return folderBytes.toStdString() + (folderBytes.endsWith('/') ? "" : "/") + found;
}

// Writes text and its NUL into a buffer of size characters; false when it does not fit.
bool ToWide(const QString& text, char16_t* buffer, uint32_t size) {
    if (!buffer || uint32_t(text.size()) + 1 > size) return false;
    for (int i = 0; i < text.size(); ++i) buffer[i] = char16_t(text[i].unicode());
    buffer[text.size()] = 0;
    return true;
}

}  // namespace

QList<FilterPair> ReadFilterPairs(const char16_t* filter) {
    QList<FilterPair> pairs;
    if (!filter) return pairs;
    int i = 0;
    while (i < kMaxFilterChars && filter[i]) {
        const QString display = FromWide(filter + i, kMaxFilterChars - i);
        i += int(display.size()) + 1;
        if (i >= kMaxFilterChars || !filter[i]) break;  // a display without its pattern
        const QString pattern = FromWide(filter + i, kMaxFilterChars - i);
        i += int(pattern.size()) + 1;
        pairs.append({display, pattern});
    }
    return pairs;
}

QString QtNameFilter(const FilterPair& pair) {
    QStringList patterns;
    for (QString p : pair.pattern.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        p = p.trimmed();
        if (p == QLatin1String("*.*")) p = QStringLiteral("*");
        if (!p.isEmpty()) patterns << p;
    }
    if (patterns.isEmpty()) patterns << QStringLiteral("*");
    // The dialog hides this last bracket, so the user sees the display text alone.
    return pair.display + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) +
           QLatin1Char(')');
}

int RunFileDialog(QWidget* parent, int mode, OpenFileName& r, const QString& defaultDir) {
    if (mode != 0 && mode != 1) return 0;
    if (!r.file || r.maxFile == 0) return 0;
    QFileDialog dialog(parent);
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    dialog.setOption(QFileDialog::HideNameFilterDetails, true);
    if (mode == 0) {
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFile);
    } else {
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
    }
    const QString title = FromWide(r.title, 1024);
    if (!title.isEmpty()) dialog.setWindowTitle(title);

    const QList<FilterPair> pairs = ReadFilterPairs(r.filter);
    QStringList filters;
    for (const FilterPair& pair : pairs) filters << QtNameFilter(pair);
    if (!filters.isEmpty()) {
        dialog.setNameFilters(filters);
        const int index = r.filterIndex >= 1 && r.filterIndex <= uint32_t(filters.size())
                              ? int(r.filterIndex) - 1
                              : 0;
        dialog.selectNameFilter(filters[index]);
    }
    // The record's default extension is not the dialog's to add: the program gives a bare
    // name the chosen filter's extension itself (in lower case), and a typed one is kept.

    // The initial name: a full path also names the folder to start in.
    const QString initial = FromWide(r.file, int(r.maxFile));
    const QString initialDir = FromWide(r.initialDir, 4096);
    QString folder = !initialDir.isEmpty() ? initialDir : defaultDir;
    QString name = initial;
    if (!initial.isEmpty() && QFileInfo(initial).isAbsolute()) {
        const QFileInfo info(initial);
        if (info.absoluteDir().exists()) folder = info.absolutePath();
        name = info.fileName();
    }
    if (!folder.isEmpty()) dialog.setDirectory(folder);
    if (!name.isEmpty()) dialog.selectFile(name);

    if (dialog.exec() != QDialog::Accepted) return 0;
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty()) return 0;
    const QString path = QDir::cleanPath(chosen.first());
    // The name as the file system spells it, byte for byte: the record carries bytes that
    // are not UTF-8 as U+DC80..U+DCFF.
    const std::u16string exact = Utf8ToUtf16(FileSystemBytes(path));
    // A path that does not fit the buffer is refused, never cut short.
    if (exact.size() + 1 > r.maxFile) return 0;
    std::copy(exact.begin(), exact.end(), r.file);
    r.file[exact.size()] = 0;
    // With the patterns hidden the dialog may report the display text alone.
    const QString selectedFilter = dialog.selectedNameFilter();
    int chosenFilter = int(filters.indexOf(selectedFilter));
    for (int i = 0; chosenFilter < 0 && i < pairs.size(); ++i)
        if (pairs[i].display == selectedFilter) chosenFilter = i;
    if (!filters.isEmpty()) r.filterIndex = uint32_t(chosenFilter >= 0 ? chosenFilter + 1 : 1);
    // Where the name and its extension start, and the name alone when asked for.
    const int slash = int(path.lastIndexOf(QLatin1Char('/')));
    const int nameStart = slash + 1;
    const int dot = int(path.lastIndexOf(QLatin1Char('.')));
    r.fileOffset = uint16_t(nameStart);
    r.fileExtension = uint16_t(dot > nameStart ? dot + 1 : 0);
    if (r.fileTitle && r.maxFileTitle > 0) ToWide(path.mid(nameStart), r.fileTitle, r.maxFileTitle);
    return 1;
}

}  // namespace vellum
