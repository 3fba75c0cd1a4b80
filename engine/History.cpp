#include "engine/History.h"

namespace vellum {

int64_t UndoHistory::Step::Bytes() const {
    return int64_t(sizeof(Step)) + int64_t(changes.capacity()) + int64_t(pathBefore.capacity()) +
           int64_t(pathAfter.capacity());
}

bool UndoHistory::Start(PixelSurface& picture) {
    steps.clear();
    position = 0;
    dropped = 0;
    savedAt = 0;
    used = 0;
    canvas = nullptr;
    if (!picture.Exists() || !capture.Reset(picture.width, picture.height)) return false;
    canvas = &picture;
    return true;
}

void UndoHistory::Stop() {
    steps.clear();
    position = 0;
    used = 0;
    capture.Release();
    canvas = nullptr;
}

void UndoHistory::SetMemoryLimit(int64_t bytes) {
    limit = bytes > 0 ? bytes : 0;
    Trim();
}

bool UndoHistory::EndStroke() {
    if (!Ready() || !capture.Any()) return false;
    size_t length = 0;
    const Box box = capture.Encode(*canvas, scratch, length);
    if (box.Empty()) return false;
    Step step{StepKind::Stroke, box, std::vector<uint8_t>(scratch.begin(), scratch.begin() + long(length)), {}, {}};
    return Push(std::move(step));
}

bool UndoHistory::RecordWhole(StepKind kind, const std::string& pathBefore, const std::string& pathAfter) {
    if (!Ready()) return false;
    size_t length = 0;
    capture.Encode(*canvas, scratch, length);
    // Recorded even when no pixel changed (New on a white picture, the filter with
    // white): the user took the step and may want to take it back with its path.
    Step step{kind, {0, 0, canvas->width, canvas->height},
              std::vector<uint8_t>(scratch.begin(), scratch.begin() + long(length)), pathBefore, pathAfter};
    return Push(std::move(step));
}

bool UndoHistory::Push(Step&& step) {
    // A new step drops the steps that could have been redone; a saved picture among
    // them can no longer be reached.
    while (steps.size() > position) {
        used -= steps.back().Bytes();
        steps.pop_back();
    }
    if (savedAt > dropped + int64_t(position)) savedAt = -1;
    used += step.Bytes();
    steps.push_back(std::move(step));
    ++position;
    Trim();
    return true;
}

void UndoHistory::Trim() {
    // The oldest go first; the newest step is always kept.
    while (used > limit && steps.size() > 1 && position > 0) {
        used -= steps.front().Bytes();
        steps.pop_front();
        --position;
        ++dropped;
    }
}

UndoHistory::Change UndoHistory::Apply(size_t index, bool forward) {
    Change change;
    const Step& step = steps[index];
    if (!ApplyCanvasChanges(*canvas, step.changes.data(), step.changes.size())) return change;
    change.done = true;
    change.kind = step.kind;
    change.box = step.box;
    change.pathChanges = step.kind == StepKind::New || step.kind == StepKind::Open;
    change.path = forward ? step.pathAfter : step.pathBefore;
    change.changes = &step.changes;
    return change;
}

UndoHistory::Change UndoHistory::Undo() {
    if (!Ready() || !CanUndo()) return {};
    const Change change = Apply(position - 1, false);
    if (change.done) --position;
    return change;
}

UndoHistory::Change UndoHistory::Redo() {
    if (!Ready() || !CanRedo()) return {};
    const Change change = Apply(position, true);
    if (change.done) ++position;
    return change;
}

}  // namespace vellum
