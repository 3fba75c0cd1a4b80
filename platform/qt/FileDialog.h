#pragma once
// The platform's own open and save dialogs, reading and filling the chooser's record.
#include <QList>
#include <QString>

#include "seam/OpenFileName.h"

class QWidget;

namespace vellum {

struct FilterPair {
    QString display;  // "Bmp Files (*.bmp)"
    QString pattern;  // "*.bmp"; several are separated by ';'
};

// The record's filter: pairs of NUL-terminated strings ended by an empty one.
QList<FilterPair> ReadFilterPairs(const char16_t* filter);
// The pair as a Qt name filter whose patterns match as the chooser's do ("*.*" is
// every file); the display text stays as the record gives it.
QString QtNameFilter(const FilterPair& pair);

// Mode 0 open (the file must exist), 1 save (no overwrite question: the program asks
// itself). On a choice writes the full path into the file buffer and the 1-based pair
// index into filterIndex and returns 1; 0 when cancelled, or when the path does not fit.
int RunFileDialog(QWidget* parent, int mode, OpenFileName& request, const QString& defaultDir);

}  // namespace vellum
