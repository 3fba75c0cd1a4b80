// The program's availability. While a message box, a dialog or any await of its own
// waits, the program is suspended: nothing else may enter it. The user's input meanwhile
// (a tap in the instant after an answer, the rest of a stroke under a message) waits in
// order and is handed on once the program is back; timers that fall due meanwhile fire
// once then.
import { canvas, trace } from "./screen.js";

const kMaxWaiting = 4096;
const state = { started: false, modal: 0 };
const waiting = [];
const timers = new Map();
const dueWhileModal = new Set();

export const started = () => state.started;
export const live = () => state.started && state.modal === 0;
export function markStarted() { state.started = true; }

// Hands a call to the program now, or once it is back. A flood of moves is thinned;
// presses, releases and keys are always kept.
export function deliver(call, droppable = false) {
  if (!state.started) return;
  if (live() && waiting.length === 0) { call(); return; }
  if (droppable && waiting.length >= kMaxWaiting) return;
  waiting.push(call);
}

const fire = (id) => { if (state.modal) dueWhileModal.add(id); else Module._vellum_timer(id); };

// A question begins: the program waits on the page.
export function modalBegan() { ++state.modal; }
// A question ended: the program resumes in this task's promise jobs, so the page's own
// events (a focus, a timer) may reach it only from the next task on. Waiting input goes
// first, each call in its turn, until one asks a question again.
export function modalEnded() {
  setTimeout(() => {
    if (--state.modal > 0) return;
    canvas.focus();
    while (waiting.length && live()) waiting.shift()();
    if (!live()) return;
    const due = [...dueWhileModal];
    dueWhileModal.clear();
    due.forEach((id) => timers.has(id) && fire(id));
  }, 0);
}

export const pageCalls = {
  vellumSetTimer(id, ms) {
    trace("timer " + id + " " + ms);
    if (timers.has(id)) clearInterval(timers.get(id));
    timers.set(id, setInterval(() => fire(id), ms));
  },
  vellumKillTimer(id) {
    if (timers.has(id)) clearInterval(timers.get(id));
    timers.delete(id);
  },
  // The program waits on the page (an await of its own): nothing may enter it meanwhile.
  async vellumSuspended(work) {
    modalBegan();
    try { return await work(); } finally { modalEnded(); }
  },
};
