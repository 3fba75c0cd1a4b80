#include "app/Journal.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>

#include "imageio/formats/Bmp.h"
#include "platform/Platform.h"

namespace vellum {

namespace {

constexpr size_t kMaxJournal = size_t(1) << 31;

// Whether the records begin with one that is whole and checks.
bool FirstRecordComplete(const std::vector<uint8_t>& records) {
    if (records.size() < 9) return false;
    const size_t length = size_t(records[1]) | size_t(records[2]) << 8 | size_t(records[3]) << 16 |
                          size_t(records[4]) << 24;
    if (records.size() - 9 < length) return false;
    const uint8_t* crc = records.data() + 5 + length;
    const uint32_t want = uint32_t(crc[0]) | uint32_t(crc[1]) << 8 | uint32_t(crc[2]) << 16 | uint32_t(crc[3]) << 24;
    return Crc32(records.data(), 5 + length) == want;
}

bool ParseGeneration(const std::string& name, int64_t& g) {
    const std::string prefix = "journal-";
    if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0) return false;
    int64_t v = 0;
    for (size_t i = prefix.size(); i < name.size(); ++i) {
        if (name[i] < '0' || name[i] > '9' || v > (int64_t(1) << 50)) return false;
        v = v * 10 + (name[i] - '0');
    }
    g = v;
    return true;
}

}  // namespace

void RecoveryJournal::Open(Platform& platform, int32_t w, int32_t h, const std::string& path, std::string& problem) {
    width = w;
    height = h;
    header = JournalHeader{};
    header.width = w;
    header.height = h;
    header.path = path;
    journalledPath = path;
    store = platform.OpenRecovery(problem);
    if (!store) return;
    const std::vector<int64_t> found = Generations();
    generation = found.empty() ? 1 : found.front() + 1;
    corners.reserve(kStrokeRoom);
}

std::vector<int64_t> RecoveryJournal::Generations() {
    std::vector<int64_t> g;
    if (!store) return g;
    for (const std::string& name : store->List()) {
        int64_t v = 0;
        if (ParseGeneration(name, v)) g.push_back(v);
    }
    std::sort(g.rbegin(), g.rend());
    return g;
}

bool RecoveryJournal::HasOffer() {
    offered = -1;
    for (int64_t g : Generations()) {
        if (g >= generation) continue;
        std::vector<uint8_t> bytes;
        if (!store->Read(JournalName(g), bytes, kMaxJournal)) continue;
        JournalHeader h;
        size_t at = 0;
        if (!DecodeJournalHeader(bytes.data(), bytes.size(), h, at)) {
            // Not a journal this program can read: kept for the user, out of the way.
            store->SetAside(JournalName(g));
            continue;
        }
        // A picture of another size cannot go onto this canvas: left for a start that
        // has its size.
        if (h.width != width || h.height != height) continue;
        bytes.erase(bytes.begin(), bytes.begin() + long(at));
        // Nothing unsaved in the newest generation (no complete record after a saved
        // base): nothing to offer.
        if (!h.unsaved && !FirstRecordComplete(bytes)) return false;
        offered = g;
        offeredHeader = h;
        offeredRecords = std::move(bytes);
        return true;
    }
    return false;
}

bool RecoveryJournal::Restore(const PixelOps& ops, PixelSurface& canvas, std::string& path) {
    if (offered < 0 || canvas.width != width || canvas.height != height) return false;
    if (!offeredHeader.whiteBase) {
        std::vector<uint8_t> bytes;
        OwnedSurface base;
        if (!store->Read(BaseName(offered), bytes, kMaxJournal) ||
            Crc32(bytes.data(), bytes.size()) != offeredHeader.baseChecksum ||
            bytes.size() < 2 || !DecodeBmp(bytes.data(), bytes.size(), base) || base->width != width ||
            base->height != height) {
            // The base cannot be read: no offer, and the data is kept for the user.
            store->SetAside(JournalName(offered));
            store->SetAside(BaseName(offered));
            offered = -1;
            return false;
        }
        ops.copyRectRop(canvas, 0, 0, width, height, *base, 0, 0, SRCCOPY);
    } else {
        ops.fillRectWhite(canvas, 0, 0, width, height);
    }
    const ReplayResult r = ReplayJournal(ops, canvas, offeredRecords.data(), offeredRecords.size(), offeredHeader.path);
    path = r.path;
    return true;
}

void RecoveryJournal::DropOffered() {
    if (!store || offered < 0) return;
    // Every generation before this session's: the offered one and any older.
    for (int64_t g : Generations())
        if (g < generation) {
            store->Remove(JournalName(g));
            store->Remove(BaseName(g));
        }
    offered = -1;
    offeredRecords.clear();
}

void RecoveryJournal::Restart(const PixelSurface& canvas, bool white, const std::string& path, bool unsaved) {
    if (!store) return;
    const int64_t previous = generation;
    const bool hadFiles = filesStarted;
    ++generation;
    filesStarted = false;
    journalBytes = 0;
    header = JournalHeader{};
    header.width = width;
    header.height = height;
    header.whiteBase = white;
    header.unsaved = unsaved;
    header.path = path;
    journalledPath = path;
    lastPen.clear();
    lastPaper = -1;
    baseBytes.clear();
    if (!white) EncodeBmp24(canvas, baseBytes);
    header.baseChecksum = white ? 0 : Crc32(baseBytes.data(), baseBytes.size());
    // Unsaved work is written at once, before the old generation goes; a saved picture's
    // generation waits for its first step.
    if (unsaved) StartFiles();
    if (hadFiles) {
        store->Remove(JournalName(previous));
        store->Remove(BaseName(previous));
    }
}

void RecoveryJournal::StartFiles() {
    if (!header.whiteBase) store->Replace(BaseName(generation), std::move(baseBytes));
    baseBytes.clear();
    std::vector<uint8_t> head = EncodeJournalHeader(header);
    journalBytes = head.size();
    store->Replace(JournalName(generation), std::move(head));
    filesStarted = true;
}

void RecoveryJournal::Discard() {
    if (!store) return;
    if (filesStarted) {
        store->Remove(JournalName(generation));
        store->Remove(BaseName(generation));
    }
    filesStarted = false;
    store->Flush();
}

void RecoveryJournal::Flush() {
    if (store) store->Flush();
}

void RecoveryJournal::Segment(int x0, int y0, int x1, int y1) {
    if (!store) return;
    if (corners.empty() || corners.back() != IntPoint{x0, y0}) {
        corners.clear();  // a stroke is one chain; a jump starts it anew
        corners.push_back({x0, y0});
    }
    corners.push_back({x1, y1});
}

void RecoveryJournal::Stamp(int x, int y) {
    if (!store) return;
    stamped = true;
    stampAt = {x, y};
}

void RecoveryJournal::Append(const std::vector<uint8_t>& record, const PixelSurface& canvas, const std::string& path) {
    if (!filesStarted) StartFiles();
    if (path != journalledPath) {
        std::vector<uint8_t> p = FrameRecord(JournalRecord::Path, PathPayload(path));
        journalBytes += p.size();
        store->Append(JournalName(generation), std::move(p));
        journalledPath = path;
    }
    journalBytes += record.size();
    store->Append(JournalName(generation), record);
    if (store->TakeFailure()) {
        failed = true;
        failedAt = std::chrono::steady_clock::now();
    } else if (failed && std::chrono::steady_clock::now() - failedAt > std::chrono::seconds(10)) {
        // Try again: the picture as it stands, written whole, makes the journal whole.
        failed = false;
        Restart(canvas, false, path, true);
        return;
    }
    // Grown past about twice a picture file: the picture as it stands becomes the base.
    const uint64_t pictureFile = uint64_t(width) * uint64_t(height) * 3 + 54;
    if (journalBytes > 2 * pictureFile) Restart(canvas, false, path, true);
}

void RecoveryJournal::EndStroke(const PixelSurface& skin, int maskX, int maskY, Rgb colour, bool eraser,
                                const PixelSurface& paper, int64_t paperVersion, const PixelSurface& canvas,
                                const std::string& path) {
    if (!store) return;
    const bool drew = corners.size() >= 2 || stamped;
    if (drew) {
        std::vector<uint8_t> pen = PenPayload(skin, maskX, maskY, colour);
        if (pen != lastPen) {
            Append(FrameRecord(JournalRecord::Pen, pen), canvas, path);
            lastPen = std::move(pen);
        }
        if (!eraser && paperVersion != lastPaper) {
            Append(FrameRecord(JournalRecord::Paper, PaperPayload(paper)), canvas, path);
            lastPaper = paperVersion;
        }
        const std::vector<IntPoint> points = corners.size() >= 2 ? corners : std::vector<IntPoint>{};
        Append(FrameRecord(JournalRecord::Stroke, StrokePayload(eraser, points, stamped, stampAt)), canvas, path);
    }
    corners.clear();
    stamped = false;
}

void RecoveryJournal::Filter(Rgb colour, const PixelSurface& canvas, const std::string& path) {
    if (store) Append(FrameRecord(JournalRecord::Filter, FilterPayload(colour)), canvas, path);
}

void RecoveryJournal::UndoRedo(bool redo, const UndoHistory::Change& change, const PixelSurface& canvas,
                               const std::string& path) {
    if (!store || !change.changes) return;
    Append(FrameRecord(redo ? JournalRecord::Redo : JournalRecord::Undo,
                       UndoRedoPayload(change.pathChanges, change.path, change.changes->data(), change.changes->size())),
           canvas, path);
    // The record says the path itself.
    journalledPath = path;
}

void RecoveryJournal::NotePath(const std::string& path) {
    if (!store || path == journalledPath) return;
    if (!filesStarted) {
        header.path = path;
        journalledPath = path;
        return;
    }
    store->Append(JournalName(generation), FrameRecord(JournalRecord::Path, PathPayload(path)));
    journalledPath = path;
}

bool RecoveryJournal::TakeFailureToTell() {
    if (store && store->TakeFailure()) {
        failed = true;
        failedAt = std::chrono::steady_clock::now();
    }
    if (!failed || told) return false;
    told = true;
    return true;
}

}  // namespace vellum
