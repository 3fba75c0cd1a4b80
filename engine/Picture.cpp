#include "engine/Picture.h"

namespace vellum {

bool Picture::Create(const PixelOps& ops, int32_t width, int32_t height) {
    Release();
    if (width < 1 || height < 1 || !canvas.Allocate(width, height) || !colour.Allocate(width, height) ||
        !coverage.Allocate(width, height) || !paper.Allocate(width, height) ||
        !pen.Allocate(kPenBufferWidth, kPenBufferHeight) || !tile.Allocate(kPaperTile, kPaperTile)) {
        Release();
        return false;
    }
    ops.fillRectWhite(*canvas, 0, 0, width, height);
    ops.fillRectWhite(*colour, 0, 0, width, height);
    ops.fillRectWhite(*coverage, 0, 0, width, height);
    corners.reserve(kStrokeRoom);
    return true;
}

void Picture::Release() {
    history.Stop();
    canvas.Release();
    colour.Release();
    coverage.Release();
    paper.Release();
    pen.Release();
    tile.Release();
}

void Picture::Emit(JournalRecord type, const std::vector<uint8_t>& payload, int64_t version) {
    if (sink) sink->Record(type, payload, version, *this);
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
    if (!canvas.Exists() || !history.Start(*canvas)) return false;
    history.SetMemoryLimit(limit);
    return true;
}

UndoHistory::Change Picture::Undo() {
    UndoHistory::Change change = history.Undo();
    if (!change.done) return change;
    if (change.pathChanges) path = change.path;
    if (change.changes)
        Emit(JournalRecord::Undo, UndoRedoPayload(change.pathChanges, change.path, change.changes->data(), change.changes->size()));
    return change;
}

UndoHistory::Change Picture::Redo() {
    UndoHistory::Change change = history.Redo();
    if (!change.done) return change;
    if (change.pathChanges) path = change.path;
    if (change.changes)
        Emit(JournalRecord::Redo, UndoRedoPayload(change.pathChanges, change.path, change.changes->data(), change.changes->size()));
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
    if (!paper.Exists() || w < 1 || h < 1 || w > kPaperTile || h > kPaperTile) return;
    // The tile as the paper surface holds it, then repeated from the canvas's corner.
    if ((tile->width != w || tile->height != h) && !tile.Allocate(w, h)) return;
    ops.copyRectRop(*tile, 0, 0, w, h, texture, x, y, inverted ? NOTSRCCOPY : SRCCOPY);
    TilePaper(*paper, *tile);
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
    if (!canvas.Exists()) return {};
    history.BeforeWrite(SegmentBox(x0, y0, x1, y1));
    // A stroke is one chain of corners; a jump starts it anew.
    if (corners.empty() || corners.back() != IntPoint{x0, y0}) {
        corners.clear();
        corners.push_back({x0, y0});
    }
    if (corners.size() < corners.capacity()) corners.push_back({x1, y1});
    const StrokeSurfaces surfaces{*canvas, *coverage, *colour, *paper};
    return DrawSegment(ops, surfaces, Pencil{*pen, penColour, strokeEraser}, x0, y0, x1, y1);
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

Box Picture::Filter(const PixelOps& ops, Rgb c) {
    if (!canvas.Exists()) return {};
    const int w = canvas->width, h = canvas->height;
    // The coverage layer is only scratch between strokes, so it holds the colour.
    ops.fillRectColour(*coverage, 0, 0, w, h, c.red, c.green, c.blue);
    history.BeforeWriteAll();
    ops.blendRect(*canvas, 0, 0, w, h, *coverage, 0, 0, Multiply);
    history.RecordWhole(StepKind::Filter, path, path);
    Emit(JournalRecord::Filter, FilterPayload(c));
    return {0, 0, w, h};
}

PixelSurface& Picture::BeginReplace() {
    history.BeforeWriteAll();
    return *canvas;
}

Box Picture::EndReplace(StepKind kind, const std::string& newPath) {
    const std::string before = path;
    path = newPath;
    history.RecordWhole(kind, before, path);
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

}  // namespace vellum
