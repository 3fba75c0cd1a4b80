// Keys, as the virtual-key codes bindings are stored in.
const named = { Backspace: 8, Tab: 9, Enter: 13, ShiftLeft: 16, ShiftRight: 16, ControlLeft: 17, ControlRight: 17,
                AltLeft: 18, AltRight: 18, Pause: 19, CapsLock: 20, Escape: 27, Space: 32, PageUp: 33,
                PageDown: 34, End: 35, Home: 36, ArrowLeft: 37, ArrowUp: 38, ArrowRight: 39, ArrowDown: 40,
                Insert: 45, Delete: 46, Semicolon: 186, Equal: 187, Comma: 188, Minus: 189, Period: 190,
                Slash: 191, Backquote: 192, BracketLeft: 219, Backslash: 220, BracketRight: 221, Quote: 222 };
export const codeOf = (e) => {
  let m;
  if ((m = /^Key([A-Z])$/.exec(e.code))) return m[1].charCodeAt(0);
  if ((m = /^Digit([0-9])$/.exec(e.code))) return 48 + parseInt(m[1], 10);
  if ((m = /^Numpad([0-9])$/.exec(e.code))) return 96 + parseInt(m[1], 10);
  if ((m = /^F([0-9]+)$/.exec(e.code))) return 111 + parseInt(m[1], 10);
  return named[e.code] || 0;
};
// The modifiers held, as the program's flags (repeat only where a press repeats).
export const modifiers = (e) => (e.ctrlKey ? 1 : 0) | (e.shiftKey ? 2 : 0) | (e.altKey ? 4 : 0) | (e.repeat ? 8 : 0);
