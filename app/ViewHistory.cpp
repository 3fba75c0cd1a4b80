// Undo, redo and recovery: the view's side. The picture keeps its history and journals
// its steps; undo and redo show exactly what they changed and keep the unsaved-changes
// flag with the picture; at start a picture a session left unsaved is offered back.
#include "app/VellumView.h"
#include "resources/Resources.h"

namespace vellum {

void CVellumView::AfterStep() {
    UpdateUndoControls();
    TellJournalFailure();
}

void CVellumView::TellJournalFailure() {
    if (journal.TakeFailureToTell()) Message(IDS_RECOVERY_FAILED, MsgButtons::Ok);
}

bool CVellumView::RecoverAtStart() {
    if (!picture.Exists()) return false;
    std::string problem;
    journal.Open(platform, picture.Width(), picture.Height(), FilePath(), problem);
    // The picture's steps go to the journal, when there is one.
    picture.SetSink(journal.Live() ? &journal : nullptr);
    if (!problem.empty()) MessageWithDetail(IDS_RECOVERY_UNUSABLE, problem);
    const bool offer = journal.HasOffer();
    // A picture whose files are damaged is never offered: the user hears where they are.
    if (journal.TakeSetAside()) MessageWithDetail(IDS_RESTORE_DAMAGED, journal.Where());
    if (!offer) return false;
    if (Message(IDS_RESTORE, MsgButtons::YesNo) != MsgAnswer::Yes) {
        journal.DropOffered();
        return false;
    }
    // Replayed through the picture's own methods, with no history and nothing journalled.
    bool complete = false;
    picture.SetSink(nullptr);
    picture.StopHistory();
    const bool restored = journal.Restore(ops, picture, complete);
    picture.SetSink(journal.Live() ? &journal : nullptr);
    // The replay drew with the journal's pens and papers: the view's own come back.
    SelectPaper(false);
    SelectPen(-1, false);
    picture.StartHistory(platform.UndoMemoryLimit());  // without the memory, no undo
    if (!restored) {
        // The memory for its size could not be had: it stays for a later start.
        Message(IDS_MEMORY_ERROR, MsgButtons::Ok);
        return false;
    }
    // The picture as after its last complete step, unsaved, with its path; undo starts
    // here. The offered files go only once the restored picture is journalled anew.
    modified = 1;
    if (journal.Restart(picture.Canvas(), false, FilePath(), true)) journal.DropOffered();
    TellJournalFailure();
    // At its own size, in view.
    ClampOrigin();
    RefreshRect(0, 0, -1, -1);
    if (!complete) MessageWithDetail(IDS_RESTORE_INCOMPLETE, journal.Where());
    return true;
}

namespace {

void ShowChange(CVellumView& view, const UndoHistory::Change& change) {
    view.TellJournalFailure();
    // Back at the picture last saved, opened or started: nothing is unsaved.
    view.modified = view.picture.AtSaved() ? 0 : 1;
    if (change.kind == StepKind::Stroke) {
        view.RefreshCanvasBox(change.box);
    } else {
        // A whole step may give the picture another size: it stays in view.
        view.ClampOrigin();
        view.RefreshRect(0, 0, -1, -1);
    }
    view.UpdateUndoControls();
}

}  // namespace

void CVellumView::Undo() {
    if (penDown == 1 || !picture.Exists()) return;  // not while a stroke is drawn
    const UndoHistory::Change change = picture.Undo();
    if (change.done) ShowChange(*this, change);
}

void CVellumView::Redo() {
    if (penDown == 1 || !picture.Exists()) return;
    const UndoHistory::Change change = picture.Redo();
    if (change.done) ShowChange(*this, change);
}

void CVellumView::UpdateUndoControls() {
    const bool canUndo = picture.CanUndo(), canRedo = picture.CanRedo();
    if (canUndo != shownCanUndo) DrawStatusBar(BarUndo, true);
    if ((canUndo != shownCanUndo || canRedo != shownCanRedo) && panelShown && panelPage == PageFile)
        DrawToolPanel(true);
    shownCanUndo = canUndo;
    shownCanRedo = canRedo;
}

}  // namespace vellum
