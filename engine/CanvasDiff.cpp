#include "engine/CanvasDiff.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace vellum {

namespace {

// Equal bytes between two changed ones that still go into one run: a run's header costs
// six bytes, and long runs are quick to apply.
constexpr size_t kJoinGap = 24;
constexpr size_t kCellRowBytes = size_t(kCaptureCell) * 3;

// Record layout, all integers little-endian, runs one after another:
//   u32 offset of the run's first byte in the canvas read row by row from the top
//       (row * width * 3 + column byte), u16 length, then length bytes of before ^ after.
// A run never crosses the end of a row.
constexpr size_t kRunHeader = 6;
constexpr size_t kMaxRun = 0xFFFF;

uint64_t Word(const uint8_t* p) {
    uint64_t v;
    std::memcpy(&v, p, 8);
    return v;
}

// The last and first differing byte of a word of differences (little-endian).
size_t LastByte(uint64_t x) { return size_t(7 - __builtin_clzll(x) / 8); }
size_t FirstByte(uint64_t x) { return size_t(__builtin_ctzll(x) / 8); }

// Writes runs into a buffer that only grows; a run that starts where the last one ended
// (or a short gap after it) on the same row extends it, so a change across cells stays
// one run.
class RecordWriter {
public:
    RecordWriter(std::vector<uint8_t>& b, size_t& u) : buffer(b), used(u) {}

    // The changes between before and after, n bytes at canvas offset `offset` of row y
    // and pixel x0, the row's other bytes untouched.
    void Row(const uint8_t* __restrict after, const uint8_t* __restrict before, size_t n,
             uint64_t offset, int32_t y, int32_t x0) {
        auto diff = [&](size_t k) { return Word(after + k) ^ Word(before + k); };
        size_t k = 0;
        while (k < n) {
            while (k + 8 <= n && diff(k) == 0) k += 8;
            if (k + 8 <= n) {
                k += FirstByte(diff(k));
            } else {
                while (k < n && after[k] == before[k]) ++k;
                if (k == n) break;
            }
            const size_t start = k;
            size_t end = k + 1;  // one past the last differing byte of the run
            k = end;
            while (k < n && k - end < kJoinGap) {
                if (k + 8 <= n) {
                    const uint64_t x = diff(k);
                    if (x) end = k + LastByte(x) + 1;
                    k += 8;
                } else {
                    if (after[k] != before[k]) end = k + 1;
                    ++k;
                }
            }
            k = end;
            Put(offset + start, after + start, before + start, end - start);
            const int32_t px0 = x0 + int32_t(start / 3), px1 = x0 + int32_t((end - 1) / 3);
            changed = UnionBox(changed, {px0, y, px1 - px0 + 1, 1});
        }
    }

    Box changed;

private:
    // A run of n bytes at canvas offset `at`, joined to the last run when that ends on the
    // same row no more than kJoinGap bytes before it.
    void Put(uint64_t at, const uint8_t* after, const uint8_t* before, size_t n) {
        size_t gap = 0;
        const bool join = last != SIZE_MAX && at >= lastEnd && at - lastEnd <= kJoinGap &&
                          lastRow == at / rowBytes && lastLength + (at - lastEnd) + n <= kMaxRun;
        if (join) gap = size_t(at - lastEnd);
        const size_t need = used + (join ? 0 : kRunHeader) + gap + n;
        if (need > buffer.size()) buffer.resize(need > 2 * buffer.size() ? need : 2 * buffer.size());
        uint8_t* p = buffer.data() + used;
        if (!join) {
            last = used;
            lastLength = 0;
            lastRow = at / rowBytes;
            p[0] = uint8_t(at), p[1] = uint8_t(at >> 8), p[2] = uint8_t(at >> 16), p[3] = uint8_t(at >> 24);
            p += kRunHeader;
        } else {
            std::memset(p, 0, gap);  // equal bytes: nothing to change
            p += gap;
        }
        size_t i = 0;
        for (; i + 8 <= n; i += 8) {
            const uint64_t v = Word(after + i) ^ Word(before + i);
            std::memcpy(p + i, &v, 8);
        }
        for (; i < n; ++i) p[i] = uint8_t(after[i] ^ before[i]);
        used = need;
        lastLength += gap + n;
        lastEnd = at + n;
        buffer[last + 4] = uint8_t(lastLength);
        buffer[last + 5] = uint8_t(lastLength >> 8);
    }

public:
    uint64_t rowBytes = 1;

private:
    std::vector<uint8_t>& buffer;
    size_t& used;
    size_t last = SIZE_MAX;  // where the last run's header is
    size_t lastLength = 0;
    uint64_t lastEnd = 0;
    uint64_t lastRow = 0;
};

}  // namespace

bool StepCapture::Reset(int32_t w, int32_t h) {
    Release();
    if (w <= 0 || h <= 0) return false;
    width = w;
    height = h;
    columns = (width + kCaptureCell - 1) / kCaptureCell;
    rows = (height + kCaptureCell - 1) / kCaptureCell;
    const size_t all = size_t(columns) * size_t(rows);
    slotOf.assign(all, -1);
    cells.assign(all, 0);
    // Room for every cell of a small canvas; a large one's ordinary strokes fit the kept
    // room, and a step beyond it takes more while it lasts.
    const size_t kept = std::min(all, kKeptCells);
    keptChunks = (kept + kChunkCells - 1) / kChunkCells;
    for (size_t i = 0; i < keptChunks; ++i) {
        chunks.emplace_back(new (std::nothrow) uint8_t[kChunkCells * kCellBytes]);
        if (!chunks.back()) {
            Release();
            return false;
        }
    }
    count = 0;
    failed = false;
    return true;
}

void StepCapture::Release() {
    chunks.clear();
    slotOf = {};
    cells = {};
    count = 0;
    failed = false;
    keptChunks = 0;
    width = height = columns = rows = 0;
}

void StepCapture::BeforeWrite(const PixelSurface& canvas, Box box) {
    if (chunks.empty() || failed || canvas.width != width || canvas.height != height) return;
    const Box b = ClipBox(box, width, height);
    if (b.Empty()) return;
    const int32_t c0 = b.x / kCaptureCell, c1 = (b.x + b.w - 1) / kCaptureCell;
    const int32_t r0 = b.y / kCaptureCell, r1 = (b.y + b.h - 1) / kCaptureCell;
    for (int32_t r = r0; r <= r1; ++r)
        for (int32_t c = c0; c <= c1; ++c) {
            const size_t cell = size_t(r) * size_t(columns) + size_t(c);
            if (slotOf[cell] >= 0) continue;
            if (count == chunks.size() * kChunkCells) {
                chunks.emplace_back(new (std::nothrow) uint8_t[kChunkCells * kCellBytes]);
                if (!chunks.back()) {
                    chunks.pop_back();
                    failed = true;
                    return;
                }
            }
            slotOf[cell] = int32_t(count);
            cells[count] = int32_t(cell);
            uint8_t* to = Slot(count);
            ++count;
            const int32_t x = c * kCaptureCell, y0 = r * kCaptureCell;
            const int32_t w = std::min(kCaptureCell, width - x), h = std::min(kCaptureCell, height - y0);
            if (w == kCaptureCell) {
                // Whole cell rows: copies of a size known here, which need no call.
                for (int32_t j = 0; j < h; ++j) std::memcpy(to + size_t(j) * kCellRowBytes, canvas.At(x, y0 + j), kCellRowBytes);
            } else {
                for (int32_t j = 0; j < h; ++j) std::memcpy(to + size_t(j) * kCellRowBytes, canvas.At(x, y0 + j), size_t(w) * 3);
            }
        }
}

void StepCapture::Clear() {
    for (size_t i = 0; i < count; ++i) slotOf[size_t(cells[i])] = -1;
    count = 0;
    failed = false;
    if (chunks.size() > keptChunks) chunks.resize(keptChunks);
}

Box StepCapture::Encode(const PixelSurface& canvas, std::vector<uint8_t>& buffer, size_t& used) {
    if (chunks.empty() || failed || !Any() || canvas.width != width || canvas.height != height) {
        Clear();
        return {};
    }
    RecordWriter out(buffer, used);
    const uint64_t rowBytes = uint64_t(width) * 3;
    out.rowBytes = rowBytes;
    {
        // Row by row across the captured cells, so that a change crossing cells is one run.
        std::sort(cells.begin(), cells.begin() + long(count));
        struct Place {
            int32_t x, w;
            const uint8_t* before;  // the cell's first captured row
        };
        Place places[256];
        for (size_t first = 0; first < count;) {
            const int32_t r = cells[first] / columns;
            size_t last = first;
            while (last < count && last - first < 256 && cells[last] / columns == r) ++last;
            for (size_t i = first; i < last; ++i) {
                const int32_t x = (cells[i] % columns) * kCaptureCell;
                places[i - first] = {x, std::min(kCaptureCell, width - x),
                                     Slot(size_t(slotOf[size_t(cells[i])]))};
            }
            const int32_t y1 = std::min(height, (r + 1) * kCaptureCell);
            for (int32_t y = r * kCaptureCell; y < y1; ++y) {
                const size_t j = size_t(y - r * kCaptureCell) * kCellRowBytes;
                const uint8_t* row = canvas.At(0, y);
                for (size_t i = 0; i < last - first; ++i) {
                    const Place& p = places[i];
                    const uint8_t* after = row + size_t(p.x) * 3;
                    const uint8_t* before = p.before + j;
                    // Most captured cell rows did not change: three words tell.
                    if (p.w == kCaptureCell && Word(after) == Word(before) && Word(after + 8) == Word(before + 8) &&
                        Word(after + 16) == Word(before + 16))
                        continue;
                    out.Row(after, before, size_t(p.w) * 3, uint64_t(y) * rowBytes + uint64_t(p.x) * 3, y, p.x);
                }
            }
            first = last;
        }
    }
    Clear();
    return out.changed;
}

bool ApplyCanvasChanges(PixelSurface& canvas, const uint8_t* data, size_t size) {
    if (!canvas.Exists() || (size && !data)) return false;
    const uint64_t rowBytes = uint64_t(canvas.width) * 3;
    // Checked whole before a byte is changed, so a damaged record changes nothing.
    for (size_t at = 0; at < size;) {
        if (size - at < kRunHeader) return false;
        const uint64_t offset = uint64_t(data[at]) | uint64_t(data[at + 1]) << 8 |
                                uint64_t(data[at + 2]) << 16 | uint64_t(data[at + 3]) << 24;
        const size_t length = size_t(data[at + 4]) | size_t(data[at + 5]) << 8;
        at += kRunHeader;
        if (length == 0 || size - at < length || offset / rowBytes >= uint64_t(canvas.height) ||
            offset % rowBytes + length > rowBytes)
            return false;
        at += length;
    }
    for (size_t at = 0; at < size;) {
        const uint64_t offset = uint64_t(data[at]) | uint64_t(data[at + 1]) << 8 |
                                uint64_t(data[at + 2]) << 16 | uint64_t(data[at + 3]) << 24;
        const size_t length = size_t(data[at + 4]) | size_t(data[at + 5]) << 8;
        at += kRunHeader;
        uint8_t* __restrict c = canvas.At(0, int(offset / rowBytes)) + size_t(offset % rowBytes);
        const uint8_t* __restrict d = data + at;
        size_t k = 0;
        for (; k + 8 <= length; k += 8) {
            const uint64_t v = Word(c + k) ^ Word(d + k);
            std::memcpy(c + k, &v, 8);
        }
        for (; k < length; ++k) c[k] = uint8_t(c[k] ^ d[k]);
        at += length;
    }
    return true;
}

}  // namespace vellum
