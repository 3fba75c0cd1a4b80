#pragma once
// Qt key events as the standard virtual-key codes that key bindings are stored in, so
// that a binding means the same key on every platform.
#include <cstdint>

#include <Qt>

class QKeyEvent;

namespace vellum {

// The virtual-key code of a Qt key, as it comes with these modifiers (the keypad
// modifier tells the number pad's keys apart); 0 for a key that has no code.
uint32_t VirtualKeyFromQt(int key, Qt::KeyboardModifiers modifiers);
uint32_t VirtualKeyFromEvent(const QKeyEvent* event);

// The modifier keys held with a key event, as the program's flags (kModCtrl, kModShift,
// kModAlt). Ctrl is Qt's ControlModifier, the Ctrl key on every keyboard here.
unsigned ModifierFlags(Qt::KeyboardModifiers modifiers);
unsigned ModifiersOf(const QKeyEvent* event);

}  // namespace vellum
