// Undo and redo: the view's side of the history. Steps are recorded where the canvas
// changes (a stroke's end, the filter, New, Open); undo and redo show exactly what they
// changed and keep the file path and the unsaved-changes flag with the picture.
#include "app/VellumView.h"
#include "resources/Resources.h"

namespace vellum {

void CVellumView::EndStrokeStep() {
    if (history.EndStroke()) UpdateUndoControls();
    if (!canvas.Exists() || !skinImage.Exists()) return;
    const SkinRect mask = PenIconRect(penIndex);
    journal.EndStroke(*skinImage, mask.x, mask.y, penColour, eraser != 0 || eraserEnd, *paperSurface, paperVersion, *canvas,
                      filePath);
    TellJournalFailure();
}

void CVellumView::TellJournalFailure() {
    if (journal.TakeFailureToTell()) Message(IDS_RECOVERY_FAILED, MsgButtons::Ok);
}

bool CVellumView::RecoverAtStart() {
    if (!canvas.Exists()) return false;
    std::string problem;
    journal.Open(platform, W, H, filePath, problem);
    if (!problem.empty()) MessageWithDetail(IDS_RECOVERY_UNUSABLE, problem);
    const bool offer = journal.HasOffer();
    // A picture whose files are damaged is never offered: the user hears where they are.
    if (journal.TakeSetAside()) MessageWithDetail(IDS_RESTORE_DAMAGED, journal.Where());
    if (!offer) return false;
    if (Message(IDS_RESTORE, MsgButtons::YesNo) != MsgAnswer::Yes) {
        journal.DropOffered();
        return false;
    }
    std::string path;
    bool complete = false;
    if (!journal.Restore(ops, *canvas, path, complete)) return false;
    // The picture as after its last complete step, unsaved, with its path; undo starts here.
    filePath = path;
    modified = 1;
    if (history.Start(*canvas)) history.SetMemoryLimit(platform.UndoMemoryLimit());
    // The offered files go only once the restored picture is journalled anew.
    if (journal.Restart(*canvas, false, filePath, true)) journal.DropOffered();
    TellJournalFailure();
    RefreshRect(0, 0, -1, -1);
    if (!complete) MessageWithDetail(IDS_RESTORE_INCOMPLETE, journal.Where());
    return true;
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

void ShowChange(CVellumView& view, const UndoHistory::Change& change, bool redo) {
    if (change.pathChanges) view.filePath = change.path;
    if (view.canvas.Exists()) view.journal.UndoRedo(redo, change, *view.canvas, view.filePath);
    view.TellJournalFailure();
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
    if (change.done) ShowChange(*this, change, false);
}

void CVellumView::Redo() {
    if (penDown == 1 || !canvas.Exists()) return;
    const UndoHistory::Change change = history.Redo();
    if (change.done) ShowChange(*this, change, true);
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
