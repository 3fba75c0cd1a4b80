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
// the canvas compared at the end is not. Plain functions and values over surfaces: no
// view, no platform.
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
    // For a canvas of width x height: room for every cell once. False when the memory
    // cannot be had (nothing is captured then).
    bool Reset(int32_t width, int32_t height);
    void Release();
    bool Ready() const { return store != nullptr; }

    // Before a step writes a box of the canvas: the cells it touches that were not yet
    // captured in this step are copied aside. Never allocates (called while a stroke is
    // drawn); a box outside the canvas captures nothing.
    void BeforeWrite(const PixelSurface& canvas, Box box);
    // Before a step rewrites the whole canvas.
    void BeforeWriteAll(const PixelSurface& canvas);
    bool Any() const { return whole || count > 0; }
    size_t CellsCaptured() const { return count; }

    // Appends the step's changes to buffer from buffer[used] on (used grows by the
    // record's length; the buffer grows only when it must, its size being room, not the
    // record's length) and forgets the capture. Returns the box of the pixels that
    // changed: empty when none did, and then nothing is appended.
    Box Encode(const PixelSurface& canvas, std::vector<uint8_t>& buffer, size_t& used);
    // Forgets the capture.
    void Clear();

private:
    int32_t width = 0, height = 0, columns = 0, rows = 0;
    std::vector<int32_t> slotOf;  // per cell: its slot in store, or -1
    std::vector<int32_t> cells;   // the captured cells, in the order captured
    size_t count = 0;
    bool whole = false;           // store holds the whole canvas, row by row
    std::unique_ptr<uint8_t[]> store;
};

// Applies a record to the canvas: what it changed is taken back, or done again. False,
// changing nothing, when the record does not fit a canvas of this size.
bool ApplyCanvasChanges(PixelSurface& canvas, const uint8_t* data, size_t size);

}  // namespace vellum
