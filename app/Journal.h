#pragma once
// Crash recovery: every completed step is journalled, beside a base picture, in the
// recovery place the platform keeps, so that after any abrupt end the next start can offer
// the picture back exactly as it was after the last completed step. The journal starts
// afresh (a new generation: base and header) at start-up, New, Open, a successful save,
// a restore, and when it has grown past about twice a picture file or a thousand steps;
// an older generation goes only once the new one is on the disk, and only the user's own
// choices remove a picture: the one offered (and older ones of its session) when they say
// No or have it back, this session's at an orderly quit.
#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/History.h"
#include "engine/JournalFormat.h"
#include "engine/Picture.h"
#include "engine/Geometry.h"
#include "engine/pixel/PixelOps.h"
#include "seam/RecoveryStore.h"

namespace vellum {

class Platform;

class RecoveryJournal : public EditSink {
public:
    // Takes the platform's recovery place. problem: why it cannot be used, for one message
    // (empty when it can). The first generation is the white canvas with this path.
    void Open(Platform& platform, int32_t width, int32_t height, const std::string& path, std::string& problem);
    bool Live() const { return store != nullptr; }

    // A picture a session left that ended without its user choosing, of any size: the
    // newest generation holding unsaved work whose base can be read. Journals
    // are known by their headers; only the offered one is read whole. Generations found
    // damaged on the way are set aside for the user (TakeSetAside says so).
    bool HasOffer();
    // The offered picture onto the picture (which takes the journal's size, and has no
    // sink and no history while it is replayed through its own methods), its path with
    // it. False when it could not be had (the memory for its size). complete:
    // every record of it applied (else the picture stops at the first damaged one, and
    // the journal is set aside when the offer is dropped).
    bool Restore(const PixelOps& ops, Picture& picture, bool& complete);
    // The user said No, or has the picture back journalled anew: the offered generation
    // goes, with older ones of its session; never a picture the user was not offered.
    void DropOffered();
    // Whether damaged journals were set aside since the last call.
    bool TakeSetAside();
    // Where the recovery place is, for messages.
    std::string Where() const;

    // A new generation: the canvas as it stands (white: nothing to keep) with its path.
    // unsaved: the canvas holds work not saved anywhere, so it is written at once and the
    // old generation goes only once the new one is on the disk. False when it could not
    // be written: the old generation is kept and goes on taking the steps.
    bool Restart(const PixelSurface& canvas, bool white, const std::string& path, bool unsaved);
    // The user let the picture go (an orderly quit): this session's files go.
    void Discard();
    // Everything written and flushed (an outside close).
    void Flush();

    // ---- Steps: the picture's sink ------------------------------------------------------
    void Record(JournalRecord type, const std::vector<uint8_t>& payload, int64_t version,
                const Picture& picture) override;
    void NewBase(const Picture& picture, bool white, bool unsaved) override;
    void PathChanged(const Picture& picture) override;

    // A write failed since the last call: the user is told once a session.
    bool TakeFailureToTell();

    // A generation takes at most this many steps before the picture becomes its base, so
    // that a restore replays no more than these.
    static constexpr int kCompactSteps = 1000;

private:
    // What a journal's header says, read without its records.
    struct Generation {
        int64_t number = 0;
        JournalHeader header;
    };
    void Append(JournalRecord type, const std::vector<uint8_t>& record, const PixelSurface& canvas,
                const std::string& path);
    void StartFiles();
    void NoteFailure();
    void SetAside(int64_t g);
    std::string JournalName(int64_t g) const { return "journal-" + std::to_string(g); }
    std::string BaseName(int64_t g) const { return "base-" + std::to_string(g) + ".bmp"; }
    // The generations found in the place, newest first, by number alone.
    std::vector<int64_t> Generations();
    // A generation's header; false (and the journal set aside) when it is not one.
    bool ReadHeader(int64_t g, JournalHeader& header);

    RecoveryStore* store = nullptr;

    int64_t generation = 0;
    bool filesStarted = false;  // this generation's files exist
    JournalHeader header;
    std::vector<uint8_t> baseBytes;  // the base picture, until written
    uint64_t journalBytes = 0;
    int steps = 0;  // records since the base

    int64_t offered = -1;  // the generation offered at start
    JournalHeader offeredHeader;
    std::vector<uint8_t> offeredRecords;
    OwnedSurface offeredBase;
    bool offeredDamaged = false;  // its replay stopped early
    std::vector<Generation> older;  // older generations of the offered one's session
    bool setAside = false;

    // What this generation last told of the pen and the paper (their versions), and of
    // the path.
    int64_t lastPen = -1;
    int64_t lastPaper = -1;
    std::string journalledPath;

    bool failed = false, told = false;
    std::chrono::steady_clock::time_point failedAt;
};

}  // namespace vellum
