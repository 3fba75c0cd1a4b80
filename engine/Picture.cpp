#include "engine/Picture.h"

#include <cstring>
#include <utility>

namespace vellum {

namespace {

bool SizeInRange(int32_t w, int32_t h) { return w >= 1 && h >= 1 && w <= kMaxPictureSide && h <= kMaxPictureSide; }

int64_t SurfaceBytes(int32_t w, int32_t h) { return int64_t(w) * h * 3; }

}  // namespace

bool Picture::Create(const PixelOps& ops, int32_t width, int32_t height) {
    Release();
    if (!SizeInRange(width, height) || !canvas.Allocate(width, height) || !layers.Reset(width, height) ||
        !pen.Allocate(kPenBufferWidth, kPenBufferHeight) || !tile.Allocate(kPaperTile, kPaperTile)) {
        Release();
        return false;
    }
    ops.fillRectWhite(*canvas, 0, 0, width, height);
    corners.reserve(kStrokeRoom);
    return true;
}

void Picture::Release() {
    history.Stop();
    canvas.Release();
    layers.Release();
    pen.Release();
    tile.Release();
}

void Picture::Emit(JournalRecord type, const std::vector<uint8_t>& payload, int64_t version) {
    if (sink) sink->Record(type, payload, version, *this);
}

bool Picture::FitLayers() {
    if (layers.Fit(canvas->width, canvas->height)) return true;
    // The paper goes with the picture whatever its size.
    OwnedSurface kept;
    if (layers.Ready() && kept.Allocate(layers.Tile().width, layers.Tile().height))
        std::memcpy(kept->bytes, layers.Tile().bytes, size_t(kept->byteSize));
    if (!layers.Reset(canvas->width, canvas->height)) return false;
    if (kept.Exists()) layers.SetPaper(*kept);
    return true;
}

bool Picture::TakeCanvas(OwnedSurface& next) {
    std::swap(canvas, next);
    if (canvas.Exists() && FitLayers()) return true;
    // No stroke layers for its size: the picture stays as it was.
    std::swap(canvas, next);
    if (canvas.Exists()) FitLayers();
    return false;
}

// ---- Path and saved mark -----------------------------------------------------------------

void Picture::Rename(const std::string& p) {
    path = p;
    if (sink) sink->PathChanged(*this);
}

void Picture::Saved() {
    history.MarkSaved();
    // The saved picture is the new base: nothing in the journal is unsaved now.
    if (sink) sink->NewBase(*this, false, false);
}

// ---- Undo --------------------------------------------------------------------------------

bool Picture::StartHistory(int64_t limit) {
    if (!canvas.Exists() || !history.Start(canvas)) return false;
    history.SetMemoryLimit(limit);
    return true;
}

namespace {

// After an undo or redo: a stroke's record, or for a whole step the picture as it stands
// (a whole step may change the size, which no change record can carry).
void Journal(EditSink* sink, const Picture& picture, JournalRecord type, const UndoHistory::Change& change) {
    if (!sink) return;
    if (change.changes)
        sink->Record(type, UndoRedoPayload(change.pathChanges, change.path, change.changes->data(), change.changes->size()),
                     0, picture);
    else
        sink->NewBase(picture, false, !picture.AtSaved());
}

}  // namespace

UndoHistory::Change Picture::Undo() {
    UndoHistory::Change change = history.Undo();
    if (!change.done) return change;
    if (change.pathChanges) path = change.path;
    if (!change.changes) FitLayers();
    Journal(sink, *this, JournalRecord::Undo, change);
    return change;
}

UndoHistory::Change Picture::Redo() {
    UndoHistory::Change change = history.Redo();
    if (!change.done) return change;
    if (change.pathChanges) path = change.path;
    if (!change.changes) FitLayers();
    Journal(sink, *this, JournalRecord::Redo, change);
    return change;
}

// ---- Pen and paper -----------------------------------------------------------------------

void Picture::SetPen(const PixelOps& ops, const PixelSurface& masks, int maskX, int maskY, Rgb c) {
    if (!pen.Exists()) return;
    penColour = c;
    BuildPenStamp(ops, *pen, masks, maskX, maskY, c);
    penRecord = PenPayload(masks, maskX, maskY, c);
    ++penVersion;
}

void Picture::SetPaper(const PixelOps& ops, const PixelSurface& texture, int x, int y, int w, int h, bool inverted) {
    if (!tile.Exists() || w < 1 || h < 1 || w > kPaperTile || h > kPaperTile) return;
    // The tile as the paper holds it, repeated from the canvas's corner.
    if ((tile->width != w || tile->height != h) && !tile.Allocate(w, h)) return;
    ops.copyRectRop(*tile, 0, 0, w, h, texture, x, y, inverted ? NOTSRCCOPY : SRCCOPY);
    if (!layers.SetPaper(*tile)) return;
    paperRecord = PaperPayload(*tile);
    ++paperVersion;
}

// ---- Edits --------------------------------------------------------------------------------

void Picture::BeginStroke(bool eraser) {
    drawing = true;
    strokeEraser = eraser;
    corners.clear();
    stamped = false;
}

Box Picture::Segment(const PixelOps& ops, int x0, int y0, int x1, int y1) {
    if (!canvas.Exists() || !layers.Ready()) return {};
    history.BeforeWrite(SegmentBox(x0, y0, x1, y1));
    // A stroke is one chain of corners; a jump starts it anew.
    if (corners.empty() || corners.back() != IntPoint{x0, y0}) {
        corners.clear();
        corners.push_back({x0, y0});
    }
    if (corners.size() < corners.capacity()) corners.push_back({x1, y1});
    return DrawSegment(ops, *canvas, layers, Pencil{*pen, penColour, strokeEraser}, x0, y0, x1, y1);
}

Box Picture::Stamp(const PixelOps& ops, int x, int y) {
    if (!canvas.Exists()) return {};
    history.BeforeWrite(StampBox(x, y));
    stamped = true;
    stampAt = {x, y};
    return StampPen(ops, *canvas, Pencil{*pen, penColour, strokeEraser}, x, y);
}

void Picture::EndStroke() {
    if (!drawing) return;
    drawing = false;
    // What the stroke changed becomes a step.
    history.EndStroke();
    if (corners.size() < 2 && !stamped) return;
    // The journal's record: the pen and the paper it was drawn with (the eraser needs no
    // paper), then the stroke.
    Emit(JournalRecord::Pen, penRecord, penVersion);
    if (!strokeEraser) Emit(JournalRecord::Paper, paperRecord, paperVersion);
    static const std::vector<IntPoint> kNone;
    Emit(JournalRecord::Stroke, StrokePayload(strokeEraser, corners.size() >= 2 ? corners : kNone, stamped, stampAt));
}

void Picture::RecordWhole(StepKind kind, OwnedSurface&& before, const std::string& pathBefore) {
    if (!history.Ready()) return;
    if (!history.RecordWhole(kind, std::move(before), pathBefore, path)) history.Forget();
}

Box Picture::Filter(const PixelOps& ops, Rgb c) {
    if (!canvas.Exists() || !layers.Ready()) return {};
    const int w = canvas->width, h = canvas->height;
    // The step keeps the picture as it was; without the memory for it no step before
    // can be reached any more.
    OwnedSurface before;
    if (history.Ready()) {
        history.MakeRoom(SurfaceBytes(w, h));
        if (before.Allocate(w, h))
            std::memcpy(before->bytes, canvas->bytes, size_t(canvas->byteSize));
        else
            history.Forget();
    }
    // The coverage layer is only scratch between strokes, so it holds the colour, over
    // the whole canvas or a band of rows at a time.
    if (layers.Whole()) {
        ops.fillRectColour(layers.coverage, 0, 0, w, h, c.red, c.green, c.blue);
        ops.blendRect(*canvas, 0, 0, w, h, layers.coverage, 0, 0, Multiply);
    } else {
        const int rows = layers.BandRows(w);
        layers.LayOver(0, 0, w, rows);
        ops.fillRectColour(layers.coverage, 0, 0, w, rows, c.red, c.green, c.blue);
        for (int top = 0; top < h; top += rows) ops.blendRect(*canvas, 0, top, w, rows, layers.coverage, 0, 0, Multiply);
    }
    if (before.Exists()) RecordWhole(StepKind::Filter, std::move(before), path);
    Emit(JournalRecord::Filter, FilterPayload(c));
    return {0, 0, w, h};
}

bool Picture::Resize(const PixelOps& ops, int32_t width, int32_t height) {
    if (!canvas.Exists() || !SizeInRange(width, height)) return false;
    if (width == canvas->width && height == canvas->height) return true;
    if (history.Ready()) history.MakeRoom(SurfaceBytes(canvas->width, canvas->height));
    OwnedSurface next;
    if (!next.Allocate(width, height)) return false;
    // Top-left kept; what the old picture does not reach is white.
    ops.fillRectWhite(*next, 0, 0, width, height);
    ops.copyRectRop(*next, 0, 0, width, height, *canvas, 0, 0, SRCCOPY);
    if (!TakeCanvas(next)) return false;
    RecordWhole(StepKind::Resize, std::move(next), path);
    Emit(JournalRecord::Size, SizePayload(width, height));
    return true;
}

Box Picture::Replace(StepKind kind, OwnedSurface&& next, const std::string& newPath) {
    if (!next.Exists() || !SizeInRange(next->width, next->height)) return {};
    if (history.Ready()) history.MakeRoom(canvas.Exists() ? SurfaceBytes(canvas->width, canvas->height) : 0);
    if (!TakeCanvas(next)) return {};
    const std::string pathBefore = path;
    path = newPath;
    if (next.Exists()) RecordWhole(kind, std::move(next), pathBefore);
    // New and Open start a picture as it stands in its file (or white); a paste is work
    // saved nowhere, journalled at once.
    if (kind != StepKind::Paste) history.MarkSaved();
    if (sink) sink->NewBase(*this, kind == StepKind::New, kind == StepKind::Paste);
    return {0, 0, canvas->width, canvas->height};
}

bool Picture::ApplyRecordedChanges(const uint8_t* changes, size_t size, bool pathChanges, const std::string& stepPath) {
    if (!canvas.Exists() || !ApplyCanvasChanges(*canvas, changes, size)) return false;
    if (pathChanges) path = stepPath;
    return true;
}

bool Picture::SetBase(OwnedSurface&& base) {
    if (!base.Exists() || !SizeInRange(base->width, base->height)) return false;
    return TakeCanvas(base);
}

}  // namespace vellum
