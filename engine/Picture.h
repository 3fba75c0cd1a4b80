#pragma once
// The picture: its pixels (the canvas), its file path and saved mark, its undo history,
// the pen and paper its strokes are drawn with, and the sink its steps are journalled to.
// It is the picture's one door: every edit (a stroke's segments and stamps, the colour
// filter, a new size, a whole replacement by New, Open or Paste, undo, redo) goes through
// these methods, which capture history and hand the journal its record in one place and
// one order, and return the box of the canvas they changed. The canvas has a size of its
// own, 1..kMaxPictureSide each way, which only a new size, a replacement, or undo and
// redo across them change. The recovery journal's replay
// calls the same methods, so a replay cannot drift from what the user saw. Plain
// object: no view, no platform.
#include <cstdint>
#include <string>
#include <vector>

#include "engine/Geometry.h"
#include "engine/History.h"
#include "engine/JournalFormat.h"
#include "engine/Pencil.h"
#include "engine/pixel/PixelOps.h"
#include "engine/pixel/Surface.h"

namespace vellum {

class Picture;

constexpr int32_t kMaxPictureSide = 8192;

// Where a picture's steps are journalled (the recovery journal). Each call comes after
// the picture has changed, with the picture as it stands.
class EditSink {
public:
    virtual ~EditSink() = default;
    // One record of a step, framed as the journal format frames it. Pen and paper records
    // come before every stroke; version tells them apart (it changes whenever the pen or
    // paper does), so the sink writes each only when it is not the one it wrote last.
    virtual void Record(JournalRecord type, const std::vector<uint8_t>& payload, int64_t version,
                        const Picture& picture) = 0;
    // The picture was replaced whole or saved: it stands as a new base. white: nothing to
    // keep; unsaved: it holds work saved nowhere (a paste, a restore).
    virtual void NewBase(const Picture& picture, bool white, bool unsaved) = 0;
    // The picture's path changed without a step (a Save As that wrote nothing).
    virtual void PathChanged(const Picture& picture) = 0;
};

class Picture {
public:
    Picture() = default;
    Picture(const Picture&) = delete;
    Picture& operator=(const Picture&) = delete;

    // The canvas of width x height, white, its stroke layers, paper and pen buffer. False
    // when the memory cannot be had or the size is out of range (the canvas is then
    // absent).
    bool Create(const PixelOps& ops, int32_t width, int32_t height);
    void Release();
    bool Exists() const { return canvas.Exists(); }
    int32_t Width() const { return canvas.Exists() ? canvas->width : 0; }
    int32_t Height() const { return canvas.Exists() ? canvas->height : 0; }
    const PixelSurface& Canvas() const { return *canvas; }

    // Where steps go: the journal, or nothing (nullptr).
    void SetSink(EditSink* s) { sink = s; }

    // ---- Path and saved mark -------------------------------------------------------------
    const std::string& Path() const { return path; }
    // The path of a picture just started or restored, told to nobody.
    void SetPath(const std::string& p) { path = p; }
    // A name chosen without a step (a Save As that wrote nothing): the journal notes it.
    void Rename(const std::string& p);
    // The picture was written completely under its path: it is the saved one, and the
    // journal's new base.
    void Saved();
    // Whether the picture on the canvas is the one last saved, opened or started.
    bool AtSaved() const { return history.AtSaved(); }

    // ---- Undo ---------------------------------------------------------------------------
    // Undo for this picture from now on (the history as it starts, at the picture as it
    // stands), within limit bytes. False when the memory for it cannot be had.
    bool StartHistory(int64_t limit);
    // Forgets every step and records none (a benchmark's stroke without undo).
    void StopHistory() { history.Stop(); }
    const UndoHistory& History() const { return history; }
    bool CanUndo() const { return history.CanUndo(); }
    bool CanRedo() const { return history.CanRedo(); }
    // Takes the last step back, or the next one forward: its kind and the box it changed
    // (done false when there was none); the path goes with the picture.
    UndoHistory::Change Undo();
    UndoHistory::Change Redo();

    // ---- Pen and paper ------------------------------------------------------------------
    // The pen stamp from the 10 x 10 mask at (maskX, maskY) of masks and the colour.
    void SetPen(const PixelOps& ops, const PixelSurface& masks, int maskX, int maskY, Rgb colour);
    // The paper from a tile (up to 100 x 100) of texture at (x, y, w, h), inverted or as
    // it is, repeated from the canvas's corner.
    void SetPaper(const PixelOps& ops, const PixelSurface& texture, int x, int y, int w, int h, bool inverted);
    const PixelSurface& PenBuffer() const { return *pen; }
    // The stroke layers and the paper as they lie now: canvas-sized on a canvas that fits
    // them, else the last band a segment was drawn through.
    const PixelSurface& PaperSurface() const { return layers.paper; }
    const PixelSurface& CoverageLayer() const { return layers.coverage; }
    const PixelSurface& ColourLayer() const { return layers.colour; }

    // ---- Edits --------------------------------------------------------------------------
    // A stroke: its segments between stamp corners, the release's single stamp, its end
    // (which makes it one step). Never allocate for a stroke of up to kStrokeRoom corners.
    void BeginStroke(bool eraser);
    Box Segment(const PixelOps& ops, int x0, int y0, int x1, int y1);
    Box Stamp(const PixelOps& ops, int x, int y);
    void EndStroke();
    bool StrokeDrawn() const { return drawing; }
    // The whole picture multiplied by a colour: one step.
    Box Filter(const PixelOps& ops, Rgb colour);
    // A new size (1..kMaxPictureSide each way): the pixels kept at the top-left, cropped
    // or extended with white at the right and bottom. One step; false, changing nothing,
    // when the size is out of range or the memory cannot be had.
    bool Resize(const PixelOps& ops, int32_t width, int32_t height);
    // A whole replacement (New, Open, Paste): the new canvas, of any size, takes the old
    // one's place (kept by the step), with the picture's path from now on. New and Open
    // start a picture saved as it is; a paste is work saved nowhere.
    Box Replace(StepKind kind, OwnedSurface&& next, const std::string& newPath);
    // A step's change record applied as the journal recorded it (a replay's undo or
    // redo), with the path that goes with the picture then. False when it does not fit.
    bool ApplyRecordedChanges(const uint8_t* changes, size_t size, bool pathChanges, const std::string& stepPath);
    // The canvas written directly, without a step (a test's setup).
    PixelSurface& BaseCanvas() { return *canvas; }
    // The canvas replaced whole by the journal's base picture (before a replay): no step.
    // False when it is out of range or the stroke layers cannot be had for its size.
    bool SetBase(OwnedSurface&& base);

    static constexpr size_t kStrokeRoom = 1 << 16;

private:
    void Emit(JournalRecord type, const std::vector<uint8_t>& payload, int64_t version = 0);
    // The canvas changed place with another of perhaps another size: the stroke layers
    // follow it, the paper kept.
    bool FitLayers();
    // The canvas takes next's place, the old one going into next, the stroke layers
    // following it; false, everything as it was, when they cannot be had for its size.
    bool TakeCanvas(OwnedSurface& next);
    // The old canvas, replaced whole, becomes the step of kind: the history keeps it.
    void RecordWhole(StepKind kind, OwnedSurface&& before, const std::string& pathBefore);

    OwnedSurface canvas, pen, tile;
    StrokeLayers layers;
    std::string path;
    UndoHistory history;
    EditSink* sink = nullptr;

    // The pen as drawn with and as the journal records it.
    Rgb penColour;
    std::vector<uint8_t> penRecord, paperRecord;
    int64_t penVersion = 0, paperVersion = 0;

    // The stroke being drawn: the stamp corners its segments join, and the release's stamp.
    bool drawing = false;
    bool strokeEraser = false;
    std::vector<IntPoint> corners;
    bool stamped = false;
    IntPoint stampAt;
};

}  // namespace vellum
