#pragma once
// The recovery journal's format: a header naming the base picture, then one record per
// completed step, each with its length and a checksum, and the replay that turns a base
// and its records into the picture again through the engine's own pencil. Plain
// functions: no view, no platform, no files (docs/journal-format.md describes the bytes).
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/Crc32.h"
#include "engine/Pencil.h"
#include "engine/pixel/PixelOps.h"
#include "engine/pixel/Surface.h"

namespace vellum {

enum class JournalRecord : uint8_t {
    Pen = 1,     // the pen stamp's mask and colour from now on
    Paper = 2,   // the paper tile from now on
    Stroke = 3,  // segments between stamp corners, and the release's single stamp
    Filter = 4,  // the whole picture multiplied by a colour
    Undo = 5,    // a step taken back: its exclusive-or record, and the path that goes back
    Redo = 6,    // ... done again
    Path = 7,    // the file path changed without a new base
    Size = 8,    // a new size: the pixels kept at the top-left, white beyond them
};
constexpr uint8_t kLastJournalRecord = 8;

struct JournalHeader {
    int32_t width = 0;
    int32_t height = 0;
    bool whiteBase = true;   // the base is a white canvas; else the base picture file
    bool unsaved = false;    // the base itself holds work not saved anywhere
    uint32_t baseChecksum = 0;  // CRC-32 of the base picture file's bytes
    std::string path;        // the file path that goes with the base
};


// The journal file starts with the header.
std::vector<uint8_t> EncodeJournalHeader(const JournalHeader& header);
// Reads the header; false when it is not one (too short, another magic, a bad checksum,
// sizes out of range). `size` tells where the records begin.
bool DecodeJournalHeader(const uint8_t* data, size_t size, JournalHeader& header, size_t& headerSize);

// One record, framed: type, length, payload, checksum.
std::vector<uint8_t> FrameRecord(JournalRecord type, const std::vector<uint8_t>& payload);

// Payloads.
std::vector<uint8_t> PenPayload(const PixelSurface& mask, int maskX, int maskY, Rgb colour);
std::vector<uint8_t> PaperPayload(const PixelSurface& paper);
// Stroke: the stamp corners the segments join (two or more, or none), and the release's
// single stamp when there was one.
std::vector<uint8_t> StrokePayload(bool eraser, const std::vector<IntPoint>& corners, bool stamped,
                                   IntPoint stamp);
std::vector<uint8_t> FilterPayload(Rgb colour);
std::vector<uint8_t> UndoRedoPayload(bool pathChanges, const std::string& path, const uint8_t* changes,
                                     size_t size);
std::vector<uint8_t> PathPayload(const std::string& path);
std::vector<uint8_t> SizePayload(int32_t width, int32_t height);

// One framed record as it lies in the bytes: type, payload and the bytes the frame takes.
struct RecordFrame {
    uint8_t type = 0;
    const uint8_t* payload = nullptr;
    uint32_t length = 0;
    size_t size = 0;
};
// Whole (with its checksum right), cut short by the end of the bytes (the record a kill
// interrupted), or damaged (a bad checksum, a length no record has).
enum class FrameStatus { Whole, CutShort, Damaged };
FrameStatus ReadFrame(const uint8_t* data, size_t size, RecordFrame& frame);

// The picture as the journal leaves it: its canvas holds the base, and every complete,
// valid record is applied in order through the picture's own methods (with no sink and no
// history, as the caller leaves it); replay stops at the first record that is cut short,
// has a bad checksum or cannot apply. The path starts as the header's and follows the
// records.
class Picture;
struct ReplayResult {
    size_t records = 0;      // applied
    size_t validBytes = 0;   // of the records, up to the last applied one
    bool stoppedEarly = false;
    // It stopped at a whole record that failed its checksum or could not apply: damage,
    // not the torn end a kill in mid-write leaves.
    bool damaged = false;
    std::string path;
};
ReplayResult ReplayJournal(const PixelOps& ops, Picture& picture, const uint8_t* records, size_t size,
                           const std::string& startPath);

}  // namespace vellum
