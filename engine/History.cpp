#include "engine/History.h"

namespace vellum {

int64_t UndoHistory::Step::Bytes() const {
    return int64_t(sizeof(Step)) + int64_t(changes.capacity()) + (other.Exists() ? int64_t(other->byteSize) : 0) +
           int64_t(pathBefore.capacity()) + int64_t(pathAfter.capacity());
}

bool UndoHistory::Start(OwnedSurface& picture) {
    steps.clear();
    position = 0;
    dropped = 0;
    savedAt = 0;
    used = 0;
    canvas = nullptr;
    capture.Release();
    if (!picture.Exists() || !capture.Reset(picture->width, picture->height)) return false;
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

void UndoHistory::Forget() {
    dropped += int64_t(position);
    steps.clear();
    position = 0;
    used = 0;
    savedAt = -1;
}

void UndoHistory::SetMemoryLimit(int64_t bytes) {
    limit = bytes > 0 ? bytes : 0;
    Trim();
}

bool UndoHistory::EndStroke() {
    if (!Ready()) return false;
    if (capture.Failed()) {
        // The stroke's change could not be kept: no step before it can be reached across
        // it, and the picture is no longer the saved one.
        capture.Clear();
        Forget();
        return false;
    }
    if (!capture.Any()) return false;
    size_t length = 0;
    const Box box = capture.Encode(**canvas, scratch, length);
    if (box.Empty()) return false;
    Step step{StepKind::Stroke, box, std::vector<uint8_t>(scratch.begin(), scratch.begin() + long(length)), {}, {}, {}};
    return Push(std::move(step));
}

bool UndoHistory::RecordWhole(StepKind kind, OwnedSurface&& before, const std::string& pathBefore,
                              const std::string& pathAfter) {
    if (!Ready() || !before.Exists()) return false;
    // A stroke's capture in progress belongs to no step now.
    capture.Clear();
    // A canvas of another size (a new size, an opened picture) needs a capture of its own.
    if ((before->width != (*canvas)->width || before->height != (*canvas)->height) &&
        !capture.Reset((*canvas)->width, (*canvas)->height)) {
        Stop();
        return false;
    }
    // Recorded even when no pixel changed (New on a white picture, the filter with
    // white): the user took the step and may want to take it back with its path.
    Step step{kind, {0, 0, (*canvas)->width, (*canvas)->height}, {}, std::move(before), pathBefore, pathAfter};
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

void UndoHistory::MakeRoom(int64_t bytes) {
    while (steps.size() > position) {
        used -= steps.back().Bytes();
        steps.pop_back();
    }
    if (savedAt > dropped + int64_t(position)) savedAt = -1;
    while (position > 0 && used + bytes > limit) {
        used -= steps.front().Bytes();
        steps.pop_front();
        --position;
        ++dropped;
    }
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
    Step& step = steps[index];
    if (step.kind == StepKind::Stroke) {
        if (!ApplyCanvasChanges(**canvas, step.changes.data(), step.changes.size())) return change;
        change.changes = &step.changes;
    } else {
        // The canvases change places; one of another size needs a capture of its own.
        const bool resized = step.other->width != (*canvas)->width || step.other->height != (*canvas)->height;
        std::swap(*canvas, step.other);
        if (resized && !capture.Reset((*canvas)->width, (*canvas)->height)) {
            Stop();
            return change;
        }
    }
    change.done = true;
    change.kind = step.kind;
    change.box = step.kind == StepKind::Stroke ? step.box : Box{0, 0, (*canvas)->width, (*canvas)->height};
    change.pathChanges = step.kind == StepKind::New || step.kind == StepKind::Open;
    change.path = forward ? step.pathAfter : step.pathBefore;
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
