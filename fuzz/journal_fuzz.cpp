// The recovery journal's reader: a header, then records replayed onto a small canvas.
#include <string>

#include "app/JournalFormat.h"
#include "fuzz/FuzzTarget.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace vellum;
    JournalHeader header;
    size_t at = 0;
    if (!DecodeJournalHeader(data, size, header, at)) {
        at = 0;  // the records alone, as after a header
        header = JournalHeader{};
    }
    OwnedSurface canvas;
    if (!canvas.Allocate(64, 48)) return 0;
    ReplayJournal(FastPixelOps(), *canvas, data + at, size - at, header.path);
    return 0;
}
