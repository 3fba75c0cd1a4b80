#pragma once
// Undo and redo: the picture as a sequence of steps, within a memory bound that drops the
// oldest steps first. A stroke is kept as what it changed on the canvas (engine/
// CanvasDiff.h); a step that rewrote the whole picture (the colour filter, New, Open,
// Paste, a new size) keeps the canvas on its other side whole, and taking it back or
// forward swaps the canvases (their sizes may differ). The history also remembers the
// step at which the picture was last saved, opened or started, so that undo and redo can
// tell whether the picture on the canvas has unsaved changes.
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "engine/CanvasDiff.h"
#include "engine/Geometry.h"
#include "engine/pixel/Surface.h"

namespace vellum {

enum class StepKind : uint8_t { Stroke, Filter, New, Open, Paste, Resize };

constexpr int64_t kDefaultUndoMemory = int64_t(128) << 20;
constexpr int64_t kLeastUndoMemory = int64_t(16) << 20;

class UndoHistory {
public:
    // Undo for this canvas, which the history takes back and forward from now on (it may
    // swap it for another). False when the memory for capturing steps cannot be had (the
    // program draws on without undo then).
    bool Start(OwnedSurface& canvas);
    bool Ready() const { return canvas && capture.Ready(); }
    // Forgets every step and stops recording (a benchmark's stroke without undo).
    void Stop();
    // Forgets every step and goes on recording: the canvas changed in a way no step
    // keeps (the memory for it could not be had), so none before can be reached.
    void Forget();

    // The memory the steps may take; over it the oldest steps go, the newest stays.
    void SetMemoryLimit(int64_t bytes);
    int64_t MemoryLimit() const { return limit; }
    int64_t MemoryUsed() const { return used; }

    // Before a stroke writes a box of the canvas. Never allocates.
    void BeforeWrite(Box box) {
        if (canvas) capture.BeforeWrite(**canvas, box);
    }
    // The stroke ended: what it changed becomes a step. False when it changed nothing.
    bool EndStroke();
    // The canvas was replaced whole (the filter, New, Open, Paste, a new size): before is
    // the canvas as it was, kept by the step; the paths are the file path before and
    // after it. A step whatever it changed.
    bool RecordWhole(StepKind kind, OwnedSurface&& before, const std::string& pathBefore, const std::string& pathAfter);
    // Before a whole step takes bytes more: the steps that could be redone go (the step
    // drops them anyway), then the oldest until the step fits the memory bound, so that
    // the old canvas, the new one and the history never all stand at once.
    void MakeRoom(int64_t bytes);

    bool CanUndo() const { return position > 0; }
    bool CanRedo() const { return position < steps.size(); }

    // What an undo or redo did: the canvas box it changed, whether it was a whole step
    // (then the canvas was swapped, perhaps for one of another size), and the file path
    // that goes with the picture now shown.
    struct Change {
        bool done = false;
        StepKind kind = StepKind::Stroke;
        Box box;
        std::string path;
        bool pathChanges = false;
        const std::vector<uint8_t>* changes = nullptr;  // a stroke's record applied, until the next step
    };
    Change Undo();
    Change Redo();

    // The picture now on the canvas is the one last saved (written completely), opened or
    // started.
    void MarkSaved() { savedAt = dropped + int64_t(position); }
    // Whether the picture on the canvas is that one.
    bool AtSaved() const { return savedAt == dropped + int64_t(position); }

    size_t StepCount() const { return steps.size(); }
    size_t Position() const { return position; }
    int64_t Dropped() const { return dropped; }

private:
    struct Step {
        StepKind kind;
        Box box;
        std::vector<uint8_t> changes;  // a stroke's changes
        OwnedSurface other;            // a whole step's canvas on its other side
        std::string pathBefore, pathAfter;
        int64_t Bytes() const;
    };
    bool Push(Step&& step);
    // Applies step index; the path is the one after it going forward.
    Change Apply(size_t index, bool forward);
    void Trim();

    OwnedSurface* canvas = nullptr;
    StepCapture capture;
    std::deque<Step> steps;
    size_t position = 0;  // steps before it are done; from it on they are undone
    int64_t dropped = 0;  // steps dropped at the front, so positions stay comparable
    int64_t savedAt = 0;  // the absolute position of the saved picture; -1: none reachable
    int64_t used = 0;
    int64_t limit = kDefaultUndoMemory;
    std::vector<uint8_t> scratch;  // encoding space, kept between steps
};

}  // namespace vellum
