#pragma once
// What a front end tells the program: the one way in. A front end pushes its events
// here and shows what the program hands it through the platform (Platform.h); it never
// reads the view's fields or surfaces. The application (app/App.h) implements it.
#include <cstdint>

namespace vellum {

// A buffered stylus point, in quarter pixels of the screen.
struct PenPoint {
    int x;
    int y;
};
// The most buffered points one move brings; a front end keeps the newest.
constexpr int kMaxBufferedPoints = 50;

// Modifier keys held with a key, as flags.
enum KeyModifier : unsigned {
    kModNone = 0,
    kModCtrl = 1,
    kModShift = 2,
    kModAlt = 4,
    kModRepeat = 8,  // the key is held and its press repeats
};

class ViewInput {
public:
    virtual ~ViewInput() = default;

    // Start-up: the single-instance rule, the language, the view and its first screen.
    // False: the process ends without showing a window.
    virtual bool Start() = 0;

    // The stylus (or mouse, or pen) in window pixels of the emulated screen. A double tap
    // comes as a press. A move brings the points collected since the previous move, in
    // quarter pixels, oldest first (count -1 when the front end could not collect them).
    virtual void PenDown(int x, int y) = 0;
    virtual void PenMove(int x, int y, const PenPoint* points, int count) = 0;
    virtual void PenUp(int x, int y) = 0;
    // A tablet pen's eraser end came into use (true) or went out of use (false): while it
    // is in use strokes erase, whatever the eraser toggle says. Told before its press.
    virtual void PenEraserEnd(bool inUse) = 0;

    // Desktop habits, in window pixels. The wheel: steps > 0 zoom in, < 0 out, one level
    // a step, keeping the canvas point under (x, y) under it. A pan drag (the middle
    // button) scrolls the zoomed view as hand mode does, without switching hand mode.
    // A pick (the right button) takes the canvas colour under (x, y), as the eyedropper.
    virtual void Wheel(int x, int y, int steps) = 0;
    virtual void PanDown(int x, int y) = 0;
    virtual void PanMove(int x, int y) = 0;
    virtual void PanUp(int x, int y) = 0;
    virtual void PickColourAt(int x, int y) = 0;

    // Undo and redo as verbs, for a front end's own gestures (a two- or three-finger tap):
    // never sent as keys, which the user's bindings could take.
    virtual void Undo() = 0;
    virtual void Redo() = 0;

    // Keys by virtual-key code, with the modifiers held (KeyModifier flags).
    virtual void KeyDown(uint32_t code, unsigned modifiers) = 0;
    virtual void KeyUp(uint32_t code, unsigned modifiers) = 0;

    virtual void Focus(bool gained) = 0;
    // The recovery place reported, of its own accord, a write that failed or stalled (the
    // browser's storage, written after the step that asked): the user is told at once,
    // once a session.
    virtual void RecoveryTrouble() = 0;
    // A timer the program set (Platform::SetTimer) fell due.
    virtual void Timer(int id) = 0;
    // The window needs a rectangle painted again (-1 sizes: all of it); the program
    // hands it over through Platform::PaintRect.
    virtual void Expose(int x, int y, int w, int h) = 0;
    // The window's client area became width x height screen pixels (a resize, a
    // maximise, full screen or back, a tablet turned): the screen follows at once and is
    // presented whole; the picture keeps its size.
    virtual void Resize(int width, int height) = 0;
    // The user asks to close the window (its close button): the quit questions.
    virtual void CloseRequest() = 0;
    // The window is going: after a close the program posted, or one nobody asked the
    // user about (a signal, the session ending). The view shuts down, once.
    virtual void WindowDestroyed() = 0;
};

}  // namespace vellum
