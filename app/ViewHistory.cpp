// Undo and redo: the view's side of the history. Steps are recorded where the canvas
// changes (a stroke's end, the filter, New, Open); undo and redo show exactly what they
// changed and keep the file path and the unsaved-changes flag with the picture.
#include "app/VellumView.h"

namespace vellum {

void CVellumView::EndStrokeStep() {
    if (history.EndStroke()) UpdateUndoControls();
}

void CVellumView::RecordWholeStep(StepKind kind, const std::string& pathBefore) {
    history.RecordWhole(kind, pathBefore, filePath);
    UpdateUndoControls();
}

void CVellumView::RefreshCanvasBox(Box box) {
    if (box.Empty()) return;
    if (fullView || zoomFactor == 1) {
        RefreshRect(box.x, box.y, box.w, box.h);
        return;
    }
    const int s = zoomShift;
    // The canvas box as the zoomed view shows it; what lies off screen is clipped.
    const int64_t x = int64_t(box.x - viewOriginX) << s, y = int64_t(box.y - viewOriginY) << s;
    const int64_t w = int64_t(box.w) << s, h = int64_t(box.h) << s;
    const Box shown = ClipBox({int32_t(x), int32_t(y), int32_t(w), int32_t(h)}, W, H);
    if (!shown.Empty()) RefreshRect(shown.x, shown.y, shown.w, shown.h);
}

namespace {

void ShowChange(CVellumView& view, const UndoHistory::Change& change) {
    if (change.pathChanges) view.filePath = change.path;
    // Back at the picture last saved, opened or started: nothing is unsaved.
    view.modified = view.history.AtSaved() ? 0 : 1;
    if (change.kind == StepKind::Stroke)
        view.RefreshCanvasBox(change.box);
    else
        view.RefreshRect(0, 0, -1, -1);
    view.UpdateUndoControls();
}

}  // namespace

void CVellumView::Undo() {
    if (penDown == 1 || !canvas.Exists()) return;  // not while a stroke is drawn
    const UndoHistory::Change change = history.Undo();
    if (change.done) ShowChange(*this, change);
}

void CVellumView::Redo() {
    if (penDown == 1 || !canvas.Exists()) return;
    const UndoHistory::Change change = history.Redo();
    if (change.done) ShowChange(*this, change);
}

void CVellumView::UpdateUndoControls() {
    const bool canUndo = history.CanUndo(), canRedo = history.CanRedo();
    if (canUndo != shownCanUndo) DrawStatusBar(BarUndo, true);
    if ((canUndo != shownCanUndo || canRedo != shownCanRedo) && panelShown && panelPage == PageFile)
        DrawToolPanel(true);
    shownCanUndo = canUndo;
    shownCanRedo = canRedo;
}

}  // namespace vellum
