#pragma once
// What a step changed on the canvas, kept as the exclusive-or of the bytes before and
// after, in runs along rows and only where bytes differ. The same record takes the canvas
// back (undo) and forward again (redo), since a ^ d ^ d == a; a stroke costs memory in
// proportion to the pixels it changed, not to the canvas.
//
// The bytes before are captured as a step first writes them: each 8 x 8 cell of the
// canvas is copied aside the first time a box the step is about to write touches it, and
// at the end of the step the copies are compared with the canvas. Both sides are then in
// the cache (the canvas was just drawn, the copies lie together), which a full copy of
// the canvas compared at the end is not. The copies take room in proportion to what a
// step touches, not to the canvas. Plain functions and values over surfaces: no view,
// no platform.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "engine/Geometry.h"
#include "engine/pixel/Surface.h"

namespace vellum {

constexpr int32_t kCaptureCell = 8;  // cells of 8 x 8 pixels, the last row and column cut

class StepCapture {
public:
    // For a canvas of width x height: the cells' index, and room for the cells of an
    // ordinary step (up to kKeptCells). False when the memory cannot be had (nothing is
    // captured then).
    bool Reset(int32_t width, int32_t height);
    void Release();
    bool Ready() const { return !chunks.empty(); }

    // Before a step writes a box of the canvas: the cells it touches that were not yet
    // captured in this step are copied aside. Allocates only when a step touches more
    // cells than any before it since the last Reset; a box outside the canvas captures
    // nothing.
    void BeforeWrite(const PixelSurface& canvas, Box box);
    bool Any() const { return count > 0; }
    size_t CellsCaptured() const { return count; }
    // Room for more cells could not be had: this step cannot be taken back.
    bool Failed() const { return failed; }

    // Appends the step's changes to buffer from buffer[used] on (used grows by the
    // record's length; the buffer grows only when it must, its size being room, not the
    // record's length) and forgets the capture. Returns the box of the pixels that
    // changed: empty when none did, and then nothing is appended.
    Box Encode(const PixelSurface& canvas, std::vector<uint8_t>& buffer, size_t& used);
    // Forgets the capture; room taken past kKeptCells by a large step is given back.
    void Clear();

    static constexpr size_t kChunkCells = 4096;         // cells a piece of room holds
    static constexpr size_t kKeptCells = 22 * kChunkCells;  // about 17 MiB, kept between steps

private:
    uint8_t* Slot(size_t s) { return chunks[s / kChunkCells].get() + (s % kChunkCells) * kCellBytes; }
    static constexpr size_t kCellBytes = size_t(kCaptureCell) * kCaptureCell * 3;

    int32_t width = 0, height = 0, columns = 0, rows = 0;
    std::vector<int32_t> slotOf;  // per cell: its slot, or -1
    std::vector<int32_t> cells;   // the captured cells, in the order captured
    size_t count = 0;
    bool failed = false;
    size_t keptChunks = 0;
    std::vector<std::unique_ptr<uint8_t[]>> chunks;  // the slots, kChunkCells a piece
};

// Applies a record to the canvas: what it changed is taken back, or done again. False,
// changing nothing, when the record does not fit a canvas of this size.
bool ApplyCanvasChanges(PixelSurface& canvas, const uint8_t* data, size_t size);

}  // namespace vellum
