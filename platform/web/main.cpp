// The browser front end: the page calls these with the user's events, in pixels of the
// emulated screen; the program answers through the web platform.
#include <emscripten.h>
#include <sys/stat.h>

#include <memory>
#include <string>

#include "app/App.h"
#include "platform/web/WebPlatform.h"

namespace {

std::unique_ptr<vellum::WebPlatform> gPlatform;
std::unique_ptr<vellum::CVellumApp> gApp;
// The move's buffered points, in quarter pixels, filled by the page before the call.
vellum::PenPoint gPoints[vellum::kMaxBufferedPoints];

vellum::ViewInput* Input() {
    return gApp && gPlatform && !gPlatform->closePosted ? gApp.get() : nullptr;
}

}  // namespace

extern "C" {

EMSCRIPTEN_KEEPALIVE int vellum_start(int width, int height, const char* language) {
    // The folder the chooser's files live in.
    mkdir("/pictures", 0777);
    gPlatform = std::make_unique<vellum::WebPlatform>(width, height, language);
    gApp = std::make_unique<vellum::CVellumApp>(*gPlatform);
    if (!gApp->Start()) return 0;
    gApp->Expose(0, 0, -1, -1);
    return 1;
}

EMSCRIPTEN_KEEPALIVE vellum::PenPoint* vellum_points() { return gPoints; }
// How many points the buffer holds: the page hands no more with a move.
EMSCRIPTEN_KEEPALIVE int vellum_points_capacity() { return vellum::kMaxBufferedPoints; }

EMSCRIPTEN_KEEPALIVE void vellum_pen_down(int x, int y) {
    if (auto* in = Input()) in->PenDown(x, y);
}
EMSCRIPTEN_KEEPALIVE void vellum_pen_move(int x, int y, int count) {
    if (auto* in = Input()) in->PenMove(x, y, gPoints, count);
}
EMSCRIPTEN_KEEPALIVE void vellum_pen_up(int x, int y) {
    if (auto* in = Input()) in->PenUp(x, y);
}
EMSCRIPTEN_KEEPALIVE void vellum_key(int down, unsigned code, unsigned modifiers) {
    auto* in = Input();
    if (!in) return;
    if (down)
        in->KeyDown(code, modifiers);
    else
        in->KeyUp(code, modifiers);
}
// A two-finger tap undoes, a three-finger tap redoes: verbs, never keys.
EMSCRIPTEN_KEEPALIVE void vellum_undo() {
    if (auto* in = Input()) in->Undo();
}
EMSCRIPTEN_KEEPALIVE void vellum_redo() {
    if (auto* in = Input()) in->Redo();
}
EMSCRIPTEN_KEEPALIVE void vellum_wheel(int x, int y, int steps) {
    if (auto* in = Input()) in->Wheel(x, y, steps);
}
// A pan drag (two fingers, the middle button): phase 0 press, 1 move, 2 release.
EMSCRIPTEN_KEEPALIVE void vellum_pan(int phase, int x, int y) {
    auto* in = Input();
    if (!in) return;
    if (phase == 0)
        in->PanDown(x, y);
    else if (phase == 1)
        in->PanMove(x, y);
    else
        in->PanUp(x, y);
}
// The page's size changed (a window resized, a tablet turned): the screen follows.
EMSCRIPTEN_KEEPALIVE void vellum_resize(int width, int height) {
    if (!gPlatform || width < 1 || height < 1) return;
    gPlatform->Resize(width, height);
    if (auto* in = Input()) in->Resize(width, height);
}
EMSCRIPTEN_KEEPALIVE void vellum_timer(int id) {
    if (auto* in = Input()) in->Timer(id);
}
EMSCRIPTEN_KEEPALIVE void vellum_focus(int gained) {
    if (auto* in = Input()) in->Focus(gained != 0);
}
EMSCRIPTEN_KEEPALIVE void vellum_recovery_trouble() {
    if (auto* in = Input()) in->RecoveryTrouble();
}
EMSCRIPTEN_KEEPALIVE void vellum_page_hidden() {
    // A closed tab: the view shuts down as after a close nobody asked about.
    if (auto* in = Input()) in->WindowDestroyed();
}

}  // extern "C"

int main() { return 0; }
