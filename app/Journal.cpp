#include "app/Journal.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>

#include "imageio/formats/Bmp.h"
#include "seam/Platform.h"

namespace vellum {

namespace {

// A header is at most this long: its fixed fields, a path of up to 64 KiB, its checksum.
constexpr size_t kHeaderBytes = 8 + 4 + 4 + 1 + 1 + 4 + 4 + (size_t(1) << 16) + 4;

// The bytes of a picture file of the size, as the base is written.
uint64_t PictureFileBytes(int32_t w, int32_t h) { return uint64_t(w) * uint64_t(h) * 3 + uint64_t(h) * 3 + 54; }

// The most a journal of that size can hold as this program writes it: it starts afresh
// past twice a picture file, after a record that may itself be as large as a picture's
// change record. Anything larger is not ours, and is never read whole.
uint64_t JournalLimit(int32_t w, int32_t h) { return 4 * PictureFileBytes(w, h) + (uint64_t(1) << 20); }

// Whether the records begin with one that is whole and checks.
bool FirstRecordComplete(const uint8_t* records, size_t size) {
    RecordFrame frame;
    return ReadFrame(records, size, frame) == FrameStatus::Whole;
}

bool ParseNumber(const std::string& name, const std::string& prefix, const std::string& suffix, int64_t& g) {
    if (name.size() <= prefix.size() + suffix.size() || name.compare(0, prefix.size(), prefix) != 0 ||
        name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0)
        return false;
    int64_t v = 0;
    for (size_t i = prefix.size(); i < name.size() - suffix.size(); ++i) {
        if (name[i] < '0' || name[i] > '9' || v > (int64_t(1) << 50)) return false;
        v = v * 10 + (name[i] - '0');
    }
    g = v;
    return true;
}

}  // namespace

void RecoveryJournal::Open(Platform& platform, int32_t w, int32_t h, const std::string& path, std::string& problem) {
    header = JournalHeader{};
    header.width = w;
    header.height = h;
    header.path = path;
    journalledPath = path;
    store = platform.OpenRecovery(problem);
    if (!store) return;
    // A number no file of the place has used, a base left alone included.
    int64_t newest = 0;
    for (const std::string& name : store->List()) {
        int64_t g = 0;
        if (ParseNumber(name, "journal-", "", g) || ParseNumber(name, "base-", ".bmp", g)) newest = std::max(newest, g);
    }
    generation = store->FirstGeneration(newest);
}

std::vector<int64_t> RecoveryJournal::Generations() {
    std::vector<int64_t> g;
    if (!store) return g;
    for (const std::string& name : store->List()) {
        int64_t v = 0;
        if (ParseNumber(name, "journal-", "", v)) g.push_back(v);
    }
    std::sort(g.rbegin(), g.rend());
    return g;
}

std::string RecoveryJournal::Where() const { return store ? store->Where() : std::string(); }

void RecoveryJournal::SetAside(int64_t g) {
    store->SetAside(JournalName(g));
    store->SetAside(BaseName(g));
    setAside = true;
}

bool RecoveryJournal::TakeSetAside() {
    const bool was = setAside;
    setAside = false;
    return was;
}

bool RecoveryJournal::ReadHeader(int64_t g, JournalHeader& h) {
    std::vector<uint8_t> head;
    size_t at = 0;
    if (!store->ReadHead(JournalName(g), head, kHeaderBytes)) return false;
    if (DecodeJournalHeader(head.data(), head.size(), h, at)) return true;
    // Not a journal this program can read: kept for the user, out of the way.
    SetAside(g);
    return false;
}

bool RecoveryJournal::HasOffer() {
    offered = -1;
    offeredRecords.clear();
    offeredBase.Release();
    offeredDamaged = false;
    older.clear();
    std::vector<int64_t> settled;  // sessions whose newest generation holds nothing unsaved
    for (int64_t g : Generations()) {
        if (g >= generation) continue;
        const int64_t session = store->SessionOf(g);
        if (std::find(settled.begin(), settled.end(), session) != settled.end()) continue;
        if (offered >= 0) {
            // Older ones of the offered one's session go with it; another session's
            // picture (another tab closed unsaved) waits for an offer of its own.
            JournalHeader h;
            if (session == store->SessionOf(offered) && ReadHeader(g, h)) older.push_back({g, h});
            continue;
        }
        // A picture of any size is offered: it comes back at its size.
        JournalHeader h;
        std::vector<uint8_t> head;
        size_t headSize = 0;
        if (!store->ReadHead(JournalName(g), head, kHeaderBytes)) continue;
        const bool isJournal = DecodeJournalHeader(head.data(), head.size(), h, headSize);
        // A live session's picture (another tab's) is not left behind: never offered,
        // never touched. Taken over, no other session can offer it meanwhile.
        if (!store->TakeOver(g)) continue;
        if (!isJournal) {
            SetAside(g);  // not a journal this program can read: kept for the user
            continue;
        }
        std::vector<uint8_t> bytes;
        JournalHeader whole;
        size_t at = 0;
        if (!store->Read(JournalName(g), bytes, JournalLimit(h.width, h.height)) ||
            !DecodeJournalHeader(bytes.data(), bytes.size(), whole, at)) {
            SetAside(g);
            continue;
        }
        // Nothing unsaved in a session's newest generation (no complete record after a
        // saved base): nothing of that session to offer, its older generations included.
        if (!h.unsaved && !FirstRecordComplete(bytes.data() + at, bytes.size() - at)) {
            settled.push_back(store->SessionOf(g));
            continue;
        }
        // The base is checked before the user is asked: one that cannot be read is not
        // offered, and its files are kept aside.
        if (!h.whiteBase) {
            std::vector<uint8_t> base;
            OwnedSurface picture;
            if (!store->Read(BaseName(g), base, PictureFileBytes(h.width, h.height) + 4096) ||
                Crc32(base.data(), base.size()) != h.baseChecksum || !DecodeBmp(base.data(), base.size(), picture) ||
                picture->width != h.width || picture->height != h.height) {
                SetAside(g);
                continue;
            }
            offeredBase = std::move(picture);
        }
        offered = g;
        offeredHeader = h;
        offeredRecords.assign(bytes.begin() + long(at), bytes.end());
    }
    return offered >= 0;
}

bool RecoveryJournal::Restore(const PixelOps& ops, Picture& picture, bool& complete) {
    complete = false;
    if (offered < 0) return false;
    // The picture takes the base's size and pixels.
    if (!offeredBase.Exists()) {
        if (!offeredBase.Allocate(offeredHeader.width, offeredHeader.height)) return false;
        ops.fillRectWhite(*offeredBase, 0, 0, offeredHeader.width, offeredHeader.height);
    }
    if (!picture.SetBase(std::move(offeredBase))) return false;
    const ReplayResult r = ReplayJournal(ops, picture, offeredRecords.data(), offeredRecords.size(), offeredHeader.path);
    // A torn last record is the step a kill interrupted: the picture is whole without it.
    complete = !r.damaged;
    offeredDamaged = r.damaged;
    offeredBase.Release();
    return true;
}

void RecoveryJournal::DropOffered() {
    if (!store || offered < 0) return;
    // A journal whose replay stopped early is kept aside for the user, never removed.
    if (offeredDamaged) {
        SetAside(offered);
    } else {
        store->Remove(JournalName(offered));
        store->Remove(BaseName(offered));
    }
    for (const Generation& g : older) {
        store->Remove(JournalName(g.number));
        store->Remove(BaseName(g.number));
    }
    older.clear();
    offered = -1;
    offeredRecords.clear();
}

bool RecoveryJournal::Restart(const PixelSurface& canvas, bool white, const std::string& path, bool unsaved) {
    if (!store) return true;
    const int64_t previous = generation;
    const bool hadFiles = filesStarted;
    const JournalHeader previousHeader = header;
    const uint64_t previousBytes = journalBytes;
    const int previousSteps = steps;
    const int64_t previousPen = lastPen;
    const int64_t previousPaper = lastPaper;
    const std::string previousPath = journalledPath;
    ++generation;
    filesStarted = false;
    journalBytes = 0;
    steps = 0;
    header = JournalHeader{};
    header.width = canvas.width;
    header.height = canvas.height;
    header.whiteBase = white;
    header.unsaved = unsaved;
    header.path = path;
    journalledPath = path;
    lastPen = -1;
    lastPaper = -1;
    baseBytes.clear();
    if (!white) EncodeBmp24(canvas, baseBytes);
    header.baseChecksum = white ? 0 : Crc32(baseBytes.data(), baseBytes.size());
    // Unsaved work is written at once, and the old generation goes only once the new one
    // is on the disk; a saved picture's generation waits for its first step.
    if (unsaved) {
        StartFiles();
        store->Flush();
        if (store->TakeFailure()) {
            store->Remove(JournalName(generation));
            store->Remove(BaseName(generation));
            NoteFailure();
            if (hadFiles) {
                // The old generation stays whole and goes on taking the steps.
                generation = previous;
                filesStarted = true;
                header = previousHeader;
                journalBytes = previousBytes;
                steps = previousSteps;
                lastPen = previousPen;
                lastPaper = previousPaper;
                journalledPath = previousPath;
                baseBytes.clear();
            } else {
                // Nothing older to keep: the next step tries this base again.
                filesStarted = false;
                if (!white) EncodeBmp24(canvas, baseBytes);
            }
            return false;
        }
    }
    if (hadFiles) {
        store->Remove(JournalName(previous));
        store->Remove(BaseName(previous));
    }
    return true;
}

void RecoveryJournal::StartFiles() {
    if (!header.whiteBase) store->Replace(BaseName(generation), std::move(baseBytes));
    baseBytes.clear();
    std::vector<uint8_t> head = EncodeJournalHeader(header);
    journalBytes = head.size();
    store->Replace(JournalName(generation), std::move(head));
    filesStarted = true;
}

void RecoveryJournal::NoteFailure() {
    failed = true;
    failedAt = std::chrono::steady_clock::now();
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

void RecoveryJournal::Append(JournalRecord type, const std::vector<uint8_t>& record, const PixelSurface& canvas,
                             const std::string& path) {
    if (!filesStarted) StartFiles();
    if (path != journalledPath) {
        std::vector<uint8_t> p = FrameRecord(JournalRecord::Path, PathPayload(path));
        journalBytes += p.size();
        store->Append(JournalName(generation), std::move(p));
        journalledPath = path;
    }
    journalBytes += record.size();
    ++steps;
    store->Append(JournalName(generation), record);
    if (store->TakeFailure()) {
        NoteFailure();
    } else if (failed && std::chrono::steady_clock::now() - failedAt > std::chrono::seconds(10)) {
        // Try again: the picture as it stands, written whole, makes the journal whole.
        failed = false;
        Restart(canvas, false, path, true);
        return;
    }
    // A pen or paper record belongs to the stroke that follows it: a new base (which
    // holds that stroke already) never comes between them.
    if (type == JournalRecord::Pen || type == JournalRecord::Paper) return;
    // Grown past about twice a picture file, long enough that a restore would replay for
    // a while, or of another size than its base: the picture as it stands becomes the
    // base (so a journal's records are all at its header's size, which bounds it).
    if (journalBytes > 2 * PictureFileBytes(header.width, header.height) || steps >= kCompactSteps ||
        canvas.width != header.width || canvas.height != header.height)
        Restart(canvas, false, path, true);
}

void RecoveryJournal::Record(JournalRecord type, const std::vector<uint8_t>& payload, int64_t version,
                             const Picture& picture) {
    if (!store) return;
    // The pen and the paper are told anew only when they changed since this generation
    // last told them.
    if (type == JournalRecord::Pen) {
        if (version == lastPen) return;
        lastPen = version;
    } else if (type == JournalRecord::Paper) {
        if (version == lastPaper) return;
        lastPaper = version;
    }
    Append(type, FrameRecord(type, payload), picture.Canvas(), picture.Path());
    // An undo or redo record says the path itself.
    if (type == JournalRecord::Undo || type == JournalRecord::Redo) journalledPath = picture.Path();
}

void RecoveryJournal::NewBase(const Picture& picture, bool white, bool unsaved) {
    Restart(picture.Canvas(), white, picture.Path(), unsaved);
}

void RecoveryJournal::PathChanged(const Picture& picture) {
    const std::string& path = picture.Path();
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
    if (store && store->TakeFailure()) NoteFailure();
    if (!failed || told) return false;
    told = true;
    return true;
}

}  // namespace vellum
