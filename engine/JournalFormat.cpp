#include "engine/JournalFormat.h"

#include <cstring>

#include "engine/CanvasDiff.h"
#include "engine/Picture.h"

namespace vellum {

namespace {

constexpr char kMagic[8] = {'V', 'E', 'L', 'L', 'U', 'M', 'J', '1'};
constexpr uint32_t kMaxPath = 1 << 16;
constexpr uint32_t kMaxRecord = 1u << 30;
constexpr int32_t kMaxStrokePoints = 1 << 24;

class Writer {
public:
    std::vector<uint8_t> bytes;
    void U8(uint8_t v) { bytes.push_back(v); }
    void U16(uint16_t v) {
        U8(uint8_t(v));
        U8(uint8_t(v >> 8));
    }
    void U32(uint32_t v) {
        for (int i = 0; i < 4; ++i) U8(uint8_t(v >> (8 * i)));
    }
    void I32(int32_t v) { U32(uint32_t(v)); }
    void Bytes(const uint8_t* p, size_t n) { bytes.insert(bytes.end(), p, p + n); }
    void Text(const std::string& s) {
        U32(uint32_t(s.size()));
        Bytes(reinterpret_cast<const uint8_t*>(s.data()), s.size());
    }
};

// Reads what it is asked or fails for good: every read checks the bytes are there.
class Reader {
public:
    Reader(const uint8_t* d, size_t n) : data(d), size(n) {}
    bool ok = true;
    size_t at = 0;
    size_t Left() const { return ok ? size - at : 0; }
    uint8_t U8() {
        if (!Need(1)) return 0;
        return data[at++];
    }
    uint16_t U16() {
        const uint16_t lo = U8();
        return uint16_t(lo | U8() << 8);
    }
    uint32_t U32() {
        uint32_t v = 0;
        for (int i = 0; i < 4; ++i) v |= uint32_t(U8()) << (8 * i);
        return v;
    }
    int32_t I32() { return int32_t(U32()); }
    const uint8_t* Bytes(size_t n) {
        if (!Need(n)) return nullptr;
        const uint8_t* p = data + at;
        at += n;
        return p;
    }
    bool Text(std::string& s, uint32_t limit) {
        const uint32_t n = U32();
        if (!ok || n > limit) return ok = false;
        const uint8_t* p = Bytes(n);
        if (!p) return false;
        s.assign(reinterpret_cast<const char*>(p), n);
        return true;
    }

private:
    bool Need(size_t n) {
        if (!ok || size - at < n) return ok = false;
        return true;
    }
    const uint8_t* data;
    size_t size;
};

// What a replay has been told so far: a stroke needs a pen, and one that is no eraser a
// paper too.
struct ReplayState {
    bool hasPen = false, hasPaper = false;
};

bool ApplyRecord(const PixelOps& ops, Picture& picture, ReplayState& state, JournalRecord type, Reader& r) {
    switch (type) {
        case JournalRecord::Pen: {
            const uint8_t red = r.U8(), green = r.U8(), blue = r.U8();
            const uint8_t* mask = r.Bytes(size_t(kStampSize) * kStampSize * 3);
            if (!mask || r.Left() != 0) return false;
            OwnedSurface masks;
            if (!masks.Allocate(kStampSize, kStampSize)) return false;
            for (int y = 0; y < kStampSize; ++y)
                std::memcpy(masks->At(0, y), mask + size_t(y) * kStampSize * 3, size_t(kStampSize) * 3);
            picture.SetPen(ops, *masks, 0, 0, {red, green, blue});
            state.hasPen = true;
            return true;
        }
        case JournalRecord::Paper: {
            const int w = r.U16(), h = r.U16();
            if (w <= 0 || h <= 0 || w > kPaperTile || h > kPaperTile) return false;
            const uint8_t* bytes = r.Bytes(size_t(w) * size_t(h) * 3);
            if (!bytes || r.Left() != 0) return false;
            OwnedSurface tile;
            if (!tile.Allocate(w, h)) return false;
            for (int y = 0; y < h; ++y) std::memcpy(tile->At(0, y), bytes + size_t(y) * size_t(w) * 3, size_t(w) * 3);
            picture.SetPaper(ops, *tile, 0, 0, w, h, false);
            state.hasPaper = true;
            return true;
        }
        case JournalRecord::Stroke: {
            const bool eraser = r.U8() != 0;
            const uint32_t n = r.U32();
            if (!r.ok || n > uint32_t(kMaxStrokePoints) || n == 1 || !state.hasPen) return false;
            if (!eraser && !state.hasPaper && n > 0) return false;
            // Every corner is checked before anything is drawn: the program records only
            // points within the canvas plus the stamp's reach, so one beyond it is damage
            // (and a far one would cost a replay without end).
            const uint8_t* points = r.Bytes(size_t(n) * 8);
            const bool stamped = r.U8() != 0;
            const IntPoint stamp{r.I32(), r.I32()};
            if (!points || !r.ok || r.Left() != 0) return false;
            auto corner = [points](uint32_t i) {
                const uint8_t* p = points + size_t(i) * 8;
                return IntPoint{int32_t(uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24),
                                int32_t(uint32_t(p[4]) | uint32_t(p[5]) << 8 | uint32_t(p[6]) << 16 | uint32_t(p[7]) << 24)};
            };
            const int w = picture.Width(), h = picture.Height();
            for (uint32_t i = 0; i < n; ++i)
                if (!StrokeCornerInReach(corner(i).x, corner(i).y, w, h)) return false;
            if (stamped && !StrokeCornerInReach(stamp.x, stamp.y, w, h)) return false;
            picture.BeginStroke(eraser);
            for (uint32_t i = 1; i < n; ++i) {
                const IntPoint a = corner(i - 1), b = corner(i);
                picture.Segment(ops, a.x, a.y, b.x, b.y);
            }
            if (stamped) picture.Stamp(ops, stamp.x, stamp.y);
            picture.EndStroke();
            return true;
        }
        case JournalRecord::Filter: {
            const uint8_t red = r.U8(), green = r.U8(), blue = r.U8();
            if (!r.ok || r.Left() != 0) return false;
            picture.Filter(ops, {red, green, blue});
            return true;
        }
        case JournalRecord::Undo:
        case JournalRecord::Redo: {
            const bool pathChanges = r.U8() != 0;
            std::string stepPath;
            if (!r.Text(stepPath, kMaxPath)) return false;
            const size_t n = r.Left();
            const uint8_t* changes = r.Bytes(n);
            return r.ok && picture.ApplyRecordedChanges(changes, n, pathChanges, stepPath);
        }
        case JournalRecord::Size: {
            const int32_t w = r.I32(), h = r.I32();
            return r.ok && r.Left() == 0 && w >= 1 && h >= 1 && w <= kMaxPictureSide && h <= kMaxPictureSide &&
                   picture.Resize(ops, w, h);
        }
        case JournalRecord::Path: {
            const size_t n = r.Left();
            const uint8_t* text = r.Bytes(n);
            if (!r.ok || n > kMaxPath) return false;
            picture.SetPath(std::string(reinterpret_cast<const char*>(text), n));
            return true;
        }
    }
    return false;
}

}  // namespace

std::vector<uint8_t> EncodeJournalHeader(const JournalHeader& h) {
    Writer w;
    w.Bytes(reinterpret_cast<const uint8_t*>(kMagic), sizeof kMagic);
    w.I32(h.width);
    w.I32(h.height);
    w.U8(h.whiteBase ? 1 : 0);
    w.U8(h.unsaved ? 1 : 0);
    w.U32(h.baseChecksum);
    w.Text(h.path);
    w.U32(Crc32(w.bytes.data(), w.bytes.size()));
    return w.bytes;
}

bool DecodeJournalHeader(const uint8_t* data, size_t size, JournalHeader& h, size_t& headerSize) {
    Reader r(data, size);
    const uint8_t* magic = r.Bytes(sizeof kMagic);
    if (!magic || std::memcmp(magic, kMagic, sizeof kMagic) != 0) return false;
    h.width = r.I32();
    h.height = r.I32();
    h.whiteBase = r.U8() != 0;
    h.unsaved = r.U8() != 0;
    h.baseChecksum = r.U32();
    if (!r.Text(h.path, kMaxPath)) return false;
    const size_t covered = r.at;
    const uint32_t crc = r.U32();
    if (!r.ok || crc != Crc32(data, covered)) return false;
    if (h.width <= 0 || h.height <= 0 || h.width > kMaxPictureSide || h.height > kMaxPictureSide) return false;
    headerSize = r.at;
    return true;
}

std::vector<uint8_t> FrameRecord(JournalRecord type, const std::vector<uint8_t>& payload) {
    Writer w;
    w.U8(uint8_t(type));
    w.U32(uint32_t(payload.size()));
    w.Bytes(payload.data(), payload.size());
    w.U32(Crc32(w.bytes.data(), w.bytes.size()));
    return w.bytes;
}

std::vector<uint8_t> PenPayload(const PixelSurface& mask, int maskX, int maskY, Rgb colour) {
    Writer w;
    w.U8(colour.red);
    w.U8(colour.green);
    w.U8(colour.blue);
    for (int y = 0; y < kStampSize; ++y) w.Bytes(mask.At(maskX, maskY + y), size_t(kStampSize) * 3);
    return w.bytes;
}

std::vector<uint8_t> PaperPayload(const PixelSurface& paper) {
    // The surface is one tile repeated from its corner: the tile is enough.
    const int w = paper.width < 100 ? paper.width : 100, h = paper.height < 100 ? paper.height : 100;
    Writer out;
    out.U16(uint16_t(w));
    out.U16(uint16_t(h));
    for (int y = 0; y < h; ++y) out.Bytes(paper.At(0, y), size_t(w) * 3);
    return out.bytes;
}

std::vector<uint8_t> StrokePayload(bool eraser, const std::vector<IntPoint>& corners, bool stamped,
                                   IntPoint stamp) {
    Writer w;
    w.U8(eraser ? 1 : 0);
    w.U32(uint32_t(corners.size()));
    for (const IntPoint& p : corners) {
        w.I32(p.x);
        w.I32(p.y);
    }
    w.U8(stamped ? 1 : 0);
    w.I32(stamp.x);
    w.I32(stamp.y);
    return w.bytes;
}

std::vector<uint8_t> FilterPayload(Rgb colour) { return {colour.red, colour.green, colour.blue}; }

std::vector<uint8_t> UndoRedoPayload(bool pathChanges, const std::string& path, const uint8_t* changes,
                                     size_t size) {
    Writer w;
    w.U8(pathChanges ? 1 : 0);
    w.Text(path);
    w.Bytes(changes, size);
    return w.bytes;
}

std::vector<uint8_t> SizePayload(int32_t width, int32_t height) {
    Writer w;
    w.I32(width);
    w.I32(height);
    return w.bytes;
}

std::vector<uint8_t> PathPayload(const std::string& path) {
    return {path.begin(), path.end()};
}

FrameStatus ReadFrame(const uint8_t* data, size_t size, RecordFrame& frame) {
    Reader r(data, size);
    const uint8_t type = r.U8();
    const uint32_t length = r.U32();
    // Cut short by the end (the record a kill interrupted), or a length no record has.
    if (!r.ok) return FrameStatus::CutShort;
    if (length > kMaxRecord) return FrameStatus::Damaged;
    if (r.Left() < size_t(length) + 4) return FrameStatus::CutShort;
    frame.type = type;
    frame.payload = r.Bytes(length);
    frame.length = length;
    const uint32_t crc = r.U32();
    frame.size = r.at;
    return crc == Crc32(data, 5 + size_t(length)) ? FrameStatus::Whole : FrameStatus::Damaged;
}

ReplayResult ReplayJournal(const PixelOps& ops, Picture& picture, const uint8_t* records, size_t size,
                           const std::string& startPath) {
    ReplayResult result;
    picture.SetPath(startPath);
    ReplayState state;
    size_t at = 0;
    while (at < size) {
        RecordFrame frame;
        const FrameStatus status = ReadFrame(records + at, size - at, frame);
        if (status != FrameStatus::Whole) {
            result.damaged = status == FrameStatus::Damaged;
            break;
        }
        Reader r(frame.payload, frame.length);
        if (frame.type < 1 || frame.type > kLastJournalRecord || !ApplyRecord(ops, picture, state, JournalRecord(frame.type), r)) {
            result.damaged = true;
            break;
        }
        at += frame.size;
        ++result.records;
        result.validBytes = at;
    }
    result.stoppedEarly = at < size;
    result.path = picture.Path();
    return result;
}

}  // namespace vellum
