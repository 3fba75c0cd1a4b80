#include "app/App.h"

#include "resources/Resources.h"

namespace vellum {

CVellumApp::CVellumApp(Platform& p, const PixelOps& o) : platform(p), ops(o) {}

CVellumApp::~CVellumApp() = default;

bool CVellumApp::InitInstance() {
    // 1. A running instance is found by its window title and brought forward.
    if (platform.ActivateRunningInstance(kWindowTitle)) return false;
    // 2. The settings store's company key is "Orvane Works": the platform's store lives
    //    in that folder.
    // 3. The language module, unless the user's language is Japanese.
    languageModule = Resources::Active().ChooseLanguageModule(platform);
    // 4-6. The view; the command line is never opened by the framework: the view's timer
    //    does it.
    view = std::make_unique<CVellumView>(platform, ops);
    if (!view->OnCreate()) {
        view.reset();
        return false;
    }
    view->OnInitialUpdate();
    view->UpdateTitle();  // a picture restored at start is unsaved
    // 7. The platform shows the window and paints it.
    return true;
}

void CVellumApp::OnFrameDestroyed() {
    if (view) view->OnDestroy();
}

// ---- ViewInput ------------------------------------------------------------------------

// After every event that may change them, the pointer is told the tool a press would use
// now, and the title the picture's name and state.
void CVellumApp::AfterEvent() {
    view->UpdateCursor();
    if (!gShutdownDone) view->UpdateTitle();
}

void CVellumApp::PenDown(int x, int y) {
    if (!view) return;
    view->OnPenDown(x, y);
    AfterEvent();
}

void CVellumApp::PenMove(int x, int y, const PenPoint* points, int count) {
    if (view) view->OnPenMove(x, y, points, count);
}

void CVellumApp::PenUp(int x, int y) {
    if (!view) return;
    view->OnPenUp(x, y);
    AfterEvent();
}

void CVellumApp::PenEraserEnd(bool inUse) {
    if (!view) return;
    view->OnPenEraserEnd(inUse);
    AfterEvent();
}

void CVellumApp::Wheel(int x, int y, int steps) {
    if (view) view->OnWheel(x, y, steps);
}

void CVellumApp::PanDown(int x, int y) {
    if (!view) return;
    view->OnPanDown(x, y);
    AfterEvent();
}

void CVellumApp::PanMove(int x, int y) {
    if (view) view->OnPanMove(x, y);
}

void CVellumApp::PanUp(int x, int y) {
    if (!view) return;
    view->OnPanUp(x, y);
    AfterEvent();
}

void CVellumApp::PickColourAt(int x, int y) {
    if (view) view->OnPickColourAt(x, y);
}

void CVellumApp::Resize(int width, int height) {
    if (view) view->OnResize(width, height);
}

void CVellumApp::Undo() {
    if (!view) return;
    view->Undo();
    AfterEvent();
}

void CVellumApp::Redo() {
    if (!view) return;
    view->Redo();
    AfterEvent();
}

void CVellumApp::KeyDown(uint32_t code, unsigned modifiers) {
    if (!view) return;
    view->OnKeyDown(code, modifiers);
    AfterEvent();
}

void CVellumApp::KeyUp(uint32_t code, unsigned modifiers) {
    if (!view) return;
    view->OnKeyUp(code, modifiers);
    AfterEvent();
}

void CVellumApp::Focus(bool gained) {
    if (!view) return;
    if (gained)
        view->OnSetFocus();
    else
        view->OnKillFocus();
}

void CVellumApp::RecoveryTrouble() {
    if (view && !gShutdownDone) view->TellJournalFailure();
}

void CVellumApp::Timer(int id) {
    if (!view) return;
    view->OnTimer(id);
    AfterEvent();
}

void CVellumApp::Expose(int x, int y, int w, int h) {
    if (view) view->OnPaint(x, y, w, h);
}

void CVellumApp::CloseRequest() {
    if (!view) return;
    view->OnUserClose();
    AfterEvent();
}

}  // namespace vellum
