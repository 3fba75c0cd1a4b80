// Input: pen, mouse and fingers (fingers draw until a pen was used; a tap of two fingers
// undoes, of three redoes; two fingers dragged scroll, pinched zoom), keys, the wheel, the
// middle button's scroll and the focus, handed to the program in pixels of the screen,
// the buffered points in quarter pixels.
import { at, canvas, trace } from "./screen.js";
import { deliver, live, started } from "./program.js";
import { codeOf, modifiers } from "./keys.js";

export function startInput() {
  // The most buffered points one move brings, as the program's buffer holds them.
  const pointCapacity = Module._vellum_points_capacity();
  // ---- Pointer: pen and mouse draw; touch draws until a pen has been used -------------
  let penSeen = false;
  let active = null;  // the pointer id of the press being followed
  let panning = false;  // that press is the middle button's scroll
  const draws = (e) => {
    if (e.pointerType === "pen") penSeen = true;
    return !(e.pointerType === "touch" && penSeen);
  };
  // A synthetic pointer (a test's) cannot be captured: the canvas then follows it anyway.
  const capture = (e) => { try { canvas.setPointerCapture(e.pointerId); } catch (err) { /* not a real pointer */ } };
  const press = (e) => {
    active = e.pointerId;
    const [x, y] = at(e);
    deliver(() => Module._vellum_pen_down(Math.floor(x), Math.floor(y)));
  };
  const moveTo = (e) => {
    // Every position since the last move, as the buffered points (the newest that fit),
    // taken now: the event's list may be gone by the time a waiting move is handed on.
    const events = e.getCoalescedEvents ? e.getCoalescedEvents() : [];
    const list = (events.length ? events : [e]).slice(-pointCapacity).map((c) => at(c));
    const [x, y] = at(e);
    deliver(() => {
      const points = Module._vellum_points() >> 2;
      list.forEach(([px, py], i) => {
        HEAP32[points + 2 * i] = Math.floor(4 * px);
        HEAP32[points + 2 * i + 1] = Math.floor(4 * py);
      });
      Module._vellum_pen_move(Math.floor(x), Math.floor(y), list.length);
    }, true);
  };

  // A finger's press waits a moment: a second or third finger then makes a tap of two
  // (Undo) or three (Redo) instead of a stroke. After a pen was used a finger never draws
  // (it is a palm), but a tap of two or three fingers still undoes and redoes.
  const kGestureWait = 120, kGestureTime = 500, kGestureSlop = 12;
  // A pinch steps one zoom level each time the fingers' distance grows or shrinks by this.
  const kPinchStep = 1.5;
  let held = null;     // {event, draws, timer}: a finger's press not handed on yet
  let gesture = null;  // {ids, starts, now, count, start, moved, panning, spread}
  // Two fingers: their middle in screen pixels, and how far apart they are.
  const middle = (g) => {
    const [[ax, ay], [bx, by]] = [...g.now.values()];
    const [mx, my] = at({ clientX: (ax + bx) / 2, clientY: (ay + by) / 2 });
    return [Math.floor(mx), Math.floor(my), Math.hypot(ax - bx, ay - by)];
  };
  const endPan = (g) => {
    if (!g.panning) return;
    g.panning = false;
    const [x, y] = g.last;
    deliver(() => Module._vellum_pan(2, x, y));
  };
  const commitHeld = () => {
    if (!held) return;
    clearTimeout(held.timer);
    const { event: e, draws: drawing } = held;
    held = null;
    if (drawing && started() && active === null) press(e);
  };
  canvas.addEventListener("pointerdown", (e) => {
    if (!started()) return;
    if (e.pointerType === "touch") {
      e.preventDefault();
      if (gesture) {
        gesture.ids.add(e.pointerId);
        gesture.starts.set(e.pointerId, [e.clientX, e.clientY]);
        gesture.count = Math.max(gesture.count, gesture.ids.size);
        endPan(gesture);  // a third finger: a tap, not a scroll
        return;
      }
      if (held) {
        clearTimeout(held.timer);
        const first = held.event;
        const starts = new Map([[first.pointerId, [first.clientX, first.clientY]], [e.pointerId, [e.clientX, e.clientY]]]);
        gesture = { ids: new Set([first.pointerId, e.pointerId]), count: 2, start: performance.now(), moved: false,
                    starts, now: new Map(starts), panning: false, spread: 0, last: [0, 0] };
        held = null;
        return;
      }
      if (active !== null) return;
      const drawing = draws(e);
      if (drawing) capture(e);
      // A palm's finger is only watched for a second one.
      held = { event: e, draws: drawing, timer: drawing ? setTimeout(commitHeld, kGestureWait)
                                                        : setTimeout(() => { held = null; }, kGestureTime) };
      return;
    }
    if (e.pointerType === "mouse" && e.button === 1 && active === null) {
      // The middle button scrolls, as on the desktop.
      e.preventDefault();
      capture(e);
      active = e.pointerId;
      panning = true;
      const [x, y] = at(e);
      deliver(() => Module._vellum_pan(0, Math.floor(x), Math.floor(y)));
      return;
    }
    if (active !== null || !draws(e) || e.button !== 0) return;
    e.preventDefault();
    capture(e);
    press(e);
  });
  canvas.addEventListener("pointermove", (e) => {
    if (!started()) return;
    if (gesture && gesture.starts.has(e.pointerId)) {
      const g = gesture;
      const [x0, y0] = g.starts.get(e.pointerId);
      if (Math.abs(e.clientX - x0) + Math.abs(e.clientY - y0) > kGestureSlop) g.moved = true;
      if (g.now.has(e.pointerId)) g.now.set(e.pointerId, [e.clientX, e.clientY]);
      // Two fingers that moved: their middle scrolls the picture, their spread zooms it.
      if (!g.moved || g.count !== 2 || g.ids.size !== 2) return;
      const [x, y, spread] = middle(g);
      g.last = [x, y];
      if (!g.panning) {
        g.panning = true;
        g.spread = spread;
        deliver(() => Module._vellum_pan(0, x, y));
        return;
      }
      deliver(() => Module._vellum_pan(1, x, y), true);
      if (g.spread > 0 && (spread > g.spread * kPinchStep || spread < g.spread / kPinchStep)) {
        const steps = spread > g.spread ? 1 : -1;
        g.spread = spread;
        // The scroll ends, the zoom steps at the fingers, and the scroll goes on from there.
        deliver(() => Module._vellum_pan(2, x, y));
        deliver(() => Module._vellum_wheel(x, y, steps));
        deliver(() => Module._vellum_pan(0, x, y));
      }
      return;
    }
    if (held && e.pointerId === held.event.pointerId) {
      const [x0, y0] = at(held.event), [x1, y1] = at(e);
      if (Math.abs(x1 - x0) + Math.abs(y1 - y0) < 4) return;
      if (!held.draws) { clearTimeout(held.timer); held = null; return; }
      commitHeld();
    }
    if (panning && e.pointerId === active) {
      const [x, y] = at(e);
      deliver(() => Module._vellum_pan(1, Math.floor(x), Math.floor(y)), true);
      return;
    }
    if ((active !== null && e.pointerId !== active) || !draws(e)) return;
    moveTo(e);
  });
  const release = (e) => {
    if (gesture && gesture.ids.has(e.pointerId)) {
      endPan(gesture);
      gesture.ids.delete(e.pointerId);
      if (gesture.ids.size === 0) {
        const g = gesture;
        gesture = null;
        if (!g.moved && performance.now() - g.start < kGestureTime) {
          if (g.count === 2) deliver(() => Module._vellum_undo());
          else if (g.count === 3) deliver(() => Module._vellum_redo());
        }
      }
      return;
    }
    if (held && e.pointerId === held.event.pointerId) {
      if (held.draws) commitHeld();  // a quick tap
      else { clearTimeout(held.timer); held = null; }
    }
    if (!started() || e.pointerId !== active) return;
    active = null;
    const [x, y] = at(e);
    if (panning) {
      panning = false;
      deliver(() => Module._vellum_pan(2, Math.floor(x), Math.floor(y)));
      return;
    }
    deliver(() => Module._vellum_pen_up(Math.floor(x), Math.floor(y)));
  };
  canvas.addEventListener("pointerup", release);
  canvas.addEventListener("pointercancel", release);
  canvas.addEventListener("contextmenu", (e) => e.preventDefault());
  canvas.addEventListener("wheel", (e) => {
    if (!started() || e.deltaY === 0) return;
    e.preventDefault();
    const [x, y] = at(e);
    deliver(() => Module._vellum_wheel(Math.floor(x), Math.floor(y), e.deltaY < 0 ? 1 : -1));
  }, { passive: false });

  canvas.addEventListener("keydown", (e) => {
    const code = codeOf(e);
    trace(`key ${code}`);
    if (!started() || !code) return;
    e.preventDefault();
    const m = modifiers(e);
    deliver(() => Module._vellum_key(1, code, m));
  });
  canvas.addEventListener("keyup", (e) => {
    const code = codeOf(e);
    if (!started() || !code) return;
    e.preventDefault();
    const m = modifiers(e) & 7;
    deliver(() => Module._vellum_key(0, code, m));
  });
  // The tab goes: the view shuts down (its settings are written).
  window.addEventListener("pagehide", () => {
    if (live()) Module._vellum_page_hidden();
  });
  // Focus goes to a dialog and back: the program hears of both once it is back, so that a
  // key held when the dialog opened does not stay held.
  canvas.addEventListener("focus", () => deliver(() => Module._vellum_focus(1)));
  canvas.addEventListener("blur", () => deliver(() => Module._vellum_focus(0)));
}
