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
    // 7. The platform shows the window and paints it.
    return true;
}

void CVellumApp::OnFrameDestroyed() {
    if (view) view->OnDestroy();
}

// ---- ViewInput ------------------------------------------------------------------------

// After every event the pointer is told the tool a press would use now.
void CVellumApp::PenDown(int x, int y) {
    if (!view) return;
    view->OnPenDown(x, y);
    view->UpdateCursor();
}

void CVellumApp::PenMove(int x, int y, const PenPoint* points, int count) {
    if (view) view->OnPenMove(x, y, points, count);
}

void CVellumApp::PenUp(int x, int y) {
    if (!view) return;
    view->OnPenUp(x, y);
    view->UpdateCursor();
}

void CVellumApp::PenEraserEnd(bool inUse) {
    if (!view) return;
    view->OnPenEraserEnd(inUse);
    view->UpdateCursor();
}

void CVellumApp::Wheel(int x, int y, int steps) {
    if (view) view->OnWheel(x, y, steps);
}

void CVellumApp::PanDown(int x, int y) {
    if (!view) return;
    view->OnPanDown(x, y);
    view->UpdateCursor();
}

void CVellumApp::PanMove(int x, int y) {
    if (view) view->OnPanMove(x, y);
}

void CVellumApp::PanUp(int x, int y) {
    if (!view) return;
    view->OnPanUp(x, y);
    view->UpdateCursor();
}

void CVellumApp::PickColourAt(int x, int y) {
    if (view) view->OnPickColourAt(x, y);
}

void CVellumApp::Undo() {
    if (view) view->Undo();
}

void CVellumApp::Redo() {
    if (view) view->Redo();
}

void CVellumApp::KeyDown(uint32_t code, unsigned modifiers) {
    if (!view) return;
    view->OnKeyDown(code, modifiers);
    view->UpdateCursor();
}

void CVellumApp::KeyUp(uint32_t code, unsigned modifiers) {
    if (!view) return;
    view->OnKeyUp(code, modifiers);
    view->UpdateCursor();
}

void CVellumApp::Focus(bool gained) {
    if (!view) return;
    if (gained)
        view->OnSetFocus();
    else
        view->OnKillFocus();
}

void CVellumApp::Timer(int id) {
    if (view) view->OnTimer(id);
}

void CVellumApp::Expose(int x, int y, int w, int h) {
    if (view) view->OnPaint(x, y, w, h);
}

void CVellumApp::CloseRequest() {
    if (view) view->OnUserClose();
}

}  // namespace vellum
