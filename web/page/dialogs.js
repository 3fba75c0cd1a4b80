// Questions: message boxes, the modal dialogs laid out from the program's templates, and
// the name asked for Save As where the browser has no save picker.
import { japanese, scale, trace } from "./screen.js";
import { modalBegan, modalEnded } from "./program.js";
import { codeOf } from "./keys.js";
import { filterOfName, safeName } from "./names.js";

// Dialog units from the dialog's font, measured as the desktop measures them: a
// horizontal unit is a quarter of the average letter width, a vertical one an eighth of
// the line height; both then times the page's scale.
const kDialogFamily = '"Noto Sans CJK JP", "Hiragino Sans", "Yu Gothic UI", "Meiryo", sans-serif';
const measure = document.createElement("canvas").getContext("2d");
const fontAt = (points) => `${(points * 4) / 3}px ${kDialogFamily}`;
function dialogUnits(points) {
  measure.font = fontAt(points);
  const letters = Math.round(measure.measureText("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz").width);
  const m = measure.measureText("Ag");
  const baseX = Math.max(1, Math.floor((Math.floor(letters / 26) + 1) / 2));
  const baseY = Math.max(1, Math.round(m.fontBoundingBoxAscent) + Math.round(m.fontBoundingBoxDescent));
  return { x: (d) => Math.round((d * baseX) / 4) * scale, y: (d) => Math.round((d * baseY) / 8) * scale, line: baseY };
}
// A one-line text that does not fit its control gets a smaller size, never cut off
// (the fonts at hand may be wider than the one the templates were laid out for).
// The width of a text at a size, in page pixels.
const textWidth = (text, points) => {
  measure.font = fontAt(points);
  return measure.measureText(text).width * scale;
};
// Returns the size chosen.
function fitText(element, text, room, least) {
  let points = dialog.points;
  for (; points > least; points -= 0.5)
    if (textWidth(text, points) <= room) break;
  element.style.fontSize = points === dialog.points ? "" : `${(points * 4 * scale) / 3}px`;
  return points;
}

// The open dialog: its events wait here until the program asks for the next one.
const dialog = {
  events: [], waiting: null,
  post(e) {
    if (this.waiting) { const w = this.waiting; this.waiting = null; w(e); } else this.events.push(e);
  },
};
// One control of a template. Kinds: 0 static, 1 edit, 2 check box, 3 radio button,
// 4 group box, 5 up-down, 6 push button, 7 icon. Style bits as the templates give them.
function makeControl(index, kind, style) {
  const kDigits = 1 << 1, kDefault = 1 << 0, kHorizontal = 1 << 6;
  let element;
  if (kind === 1) {
    element = document.createElement("input");
    element.type = "text";
    if (style & kDigits) element.inputMode = "numeric";
    element.addEventListener("input", () => {
      if (style & kDigits) element.value = element.value.replace(/[^0-9]/g, "");
      dialog.post({ kind: 1, index, text: element.value });
    });
    element.addEventListener("keydown", (e) => { if (e.key === "Enter") clickDefault(); });
  } else if (kind === 2 || kind === 3) {
    element = document.createElement("label");
    const input = document.createElement("input");
    input.type = kind === 2 ? "checkbox" : "radio";
    const span = document.createElement("span");
    element.append(input, span);
    // The program decides the state: the click is only told.
    element.addEventListener("click", (e) => { e.preventDefault(); dialog.post({ kind: 2, index }); });
  } else if (kind === 4) {
    element = document.createElement("fieldset");
    element.appendChild(document.createElement("legend"));
  } else if (kind === 5) {
    element = document.createElement("div");
    element.className = "spin" + (style & kHorizontal ? " horizontal" : "");
    const up = document.createElement("button"), down = document.createElement("button");
    up.textContent = style & kHorizontal ? "\u25b6" : "\u25b2";
    down.textContent = style & kHorizontal ? "\u25c0" : "\u25bc";
    up.onclick = () => dialog.post({ kind: 3, index, number: 1 });
    down.onclick = () => dialog.post({ kind: 3, index, number: -1 });
    element.append(...(style & kHorizontal ? [down, up] : [up, down]));
  } else if (kind === 6) {
    element = document.createElement("button");
    if (style & kDefault) element.dataset.default = "1";
    element.addEventListener("click", () => dialog.post({ kind: 2, index }));
  } else if (kind === 7) {
    element = document.createElement("img");
    element.src = "icon-192.png";
    element.alt = "";
  } else {
    element = document.createElement("div");
  }
  return element;
}
function clickDefault() {
  const button = dialog.body && dialog.body.querySelector("button[data-default]");
  if (button) button.click();
}

// Where the browser has no save picker: the name (and the filter) in a box of our own;
// null when cancelled.
export function askName(initial, filters, filterIndex) {
  const overlay = document.getElementById("vellum-message");
  overlay.querySelector(".icon").className = "icon";
  overlay.querySelector(".text").textContent = japanese ? "保存するファイル名" : "Save as";
  const buttons = overlay.querySelector(".buttons");
  buttons.textContent = "";
  const field = document.createElement("input");
  field.type = "text";
  field.value = initial;
  field.className = "name";
  field.style.cssText = "display:block;width:100%;margin-top:8px;font:inherit;box-sizing:border-box";
  const kind = document.createElement("select");
  kind.className = "filter";
  kind.style.cssText = "display:block;width:100%;margin:8px 0;font:inherit";
  filters.forEach((f) => kind.appendChild(new Option(f)));
  kind.selectedIndex = Math.max(0, Math.min(filters.length, filterIndex) - 1);
  field.addEventListener("input", () => {
    const f = filterOfName(field.value.trim(), kind.selectedIndex + 1);
    if (f <= filters.length) kind.selectedIndex = f - 1;
  });
  buttons.append(field, kind);
  return new Promise((resolve) => {
    const end = (result) => { overlay.style.display = "none"; resolve(result); };
    const ok = document.createElement("button"), cancel = document.createElement("button");
    ok.textContent = "OK";
    cancel.textContent = japanese ? "キャンセル" : "Cancel";
    ok.onclick = () => end(field.value.trim() ? { name: safeName(field.value.trim()), filter: kind.selectedIndex + 1 } : null);
    cancel.onclick = () => end(null);
    field.addEventListener("keydown", (e) => { if (e.key === "Enter") ok.click(); });
    buttons.append(ok, cancel);
    overlay.style.display = "flex";
    field.focus();
    field.select();
  });
}

export const pageCalls = {
  vellumMessage(text, kind) {
    trace("message: " + text);
    const overlay = document.getElementById("vellum-message");
    const icon = overlay.querySelector(".icon");
    icon.className = "icon " + ["warning", "question", "information"][kind];
    icon.textContent = ["!", "?", "i"][kind];
    overlay.querySelector(".text").textContent = text;
    const buttons = overlay.querySelector(".buttons");
    buttons.textContent = "";
    modalBegan();
    return new Promise((resolve) => {
      const add = (label, answer) => {
        const b = document.createElement("button");
        b.textContent = label;
        b.dataset.answer = answer;
        b.onclick = () => { overlay.style.display = "none"; resolve(answer); modalEnded(); };
        buttons.appendChild(b);
        return b;
      };
      if (kind === 1) { add(japanese ? "はい" : "Yes", 1).focus(); add(japanese ? "いいえ" : "No", 2); }
      else add("OK", 0).focus();
      overlay.style.display = "flex";
    });
  },
  // ---- Dialogs: the template's controls placed in dialog units --------------------
  vellumDialogOpen(id, caption, width, height, points) {
    modalBegan();
    dialog.events = [];
    dialog.waiting = null;
    dialog.points = points > 0 ? points : 9;
    dialog.units = dialogUnits(dialog.points);
    const root = document.getElementById("vellum-dialog");
    root.textContent = "";
    const frame = document.createElement("div");
    frame.className = "frame";
    frame.tabIndex = -1;
    frame.dataset.id = id;
    frame.style.fontFamily = kDialogFamily;
    frame.style.fontSize = `${(dialog.points * 4 * scale) / 3}px`;
    const title = document.createElement("div");
    title.className = "title";
    title.append(caption);
    const close = document.createElement("button");
    close.textContent = "\u00d7";
    close.className = "close";
    close.onclick = () => dialog.post({ kind: 5 });
    title.appendChild(close);
    const body = document.createElement("div");
    body.className = "body";
    body.style.width = dialog.units.x(width) + "px";
    body.style.height = dialog.units.y(height) + "px";
    frame.append(title, body);
    frame.addEventListener("keyup", (e) => {
      const code = codeOf(e);
      if (code) dialog.post({ kind: 4, number: code });
    });
    root.appendChild(frame);
    root.style.display = "flex";
    dialog.frame = frame;
    dialog.body = body;
    dialog.controls = [];
    frame.focus();
  },
  vellumDialogControl(index, id, kind, x, y, w, h, style, text, checked, visible) {
    let element = dialog.controls[index];
    const u = dialog.units;
    if (!element) {
      element = makeControl(index, kind, style);
      element.style.left = u.x(x) + "px";
      element.style.top = u.y(y) + "px";
      // The icon keeps its own size, as on the desktop.
      element.style.width = (kind === 7 ? 32 * scale : u.x(w)) + "px";
      element.style.height = (kind === 7 ? 32 * scale : u.y(h)) + "px";
      // A static of two lines or more wraps; the others keep one line and fit it.
      element.dataset.wraps = kind === 0 && u.y(h) >= 2 * u.line * scale ? "1" : "";
      dialog.controls[index] = element;
      dialog.body.appendChild(element);
    }
    const room = u.x(w);
    element.dataset.index = index;
    if (id >= 0) element.dataset.id = id;
    element.style.display = visible ? "" : "none";
    const input = element.querySelector("input") || (element.tagName === "INPUT" ? element : null);
    if (kind === 1) { if (element.value !== text) element.value = text; }
    else if (kind === 2 || kind === 3) {
      input.checked = !!checked;
      element.querySelector("span").textContent = text;
      fitText(element, text, room - 18 * scale, 6.5);
    } else if (kind === 4) {
      element.querySelector("legend").textContent = text;
      fitText(element.querySelector("legend"), text, room - 8 * scale, 6.5);
    } else if (kind === 6) {
      element.textContent = text;
      const points = fitText(element, text, room - 6 * scale, 6.5);
      // A narrow button (a key's set button naming its key) gives its text the padding
      // too, and a smaller font.
      const tight = textWidth(text, points) > room - 4 * scale;
      element.classList.toggle("tight", tight);
      if (tight) fitText(element, text, room - 2 * scale, 5);
    } else if (kind === 0) {
      element.textContent = text;
      if (!element.dataset.wraps) fitText(element, text, room, 6.5);
    }
  },
  vellumDialogFocus(index) {
    const element = dialog.controls[index];
    if (!element) return;
    const target = element.querySelector("input") || element;
    target.focus();
    if (target.select) target.select();
  },
  vellumDialogClose() {
    const root = document.getElementById("vellum-dialog");
    root.style.display = "none";
    root.textContent = "";
    modalEnded();
  },
  vellumDialogNextEvent() {
    if (dialog.events.length) return Promise.resolve(dialog.events.shift());
    return new Promise((resolve) => { dialog.waiting = resolve; });
  },
};
