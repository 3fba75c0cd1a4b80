// The page: sizes the screen, hands pointer, key and wheel events to the program in
// pixels of the emulated screen (buffered points in quarter pixels), and shows what the
// program presents. Query: ?screen=WxH&scale=N&lang=XXXX.
"use strict";
(function () {
  const params = new URLSearchParams(location.search);
  const canvas = document.getElementById("vellum-screen");
  const context = canvas.getContext("2d");
  const kStrip = 240;

  // The screen: the page divided by a whole scale at which the strips are comfortable:
  // a fifth of the width or more, as full screen on the desktop; where fingers are the
  // pointer, their 10-pixel buttons twice that in page pixels (about 5 mm); and never so
  // large that the strips no longer fit across.
  let scale = parseInt(params.get("scale") || "0", 10);
  if (!(scale >= 1 && scale <= 16)) {
    const fingers = window.matchMedia && window.matchMedia("(pointer: coarse)").matches;
    scale = Math.max(Math.ceil(window.innerWidth / 5 / kStrip), fingers ? 2 : 1);
    scale = Math.max(1, Math.min(scale, Math.floor(window.innerWidth / kStrip)));
  }
  // The width a multiple of 8, as the program's canvas is: the page's own rounded down so
  // that it fits, an asked one rounded up as the program would round it.
  let width = Math.floor(window.innerWidth / scale / 8) * 8, height = Math.floor(window.innerHeight / scale);
  const asked = /^(\d+)x(\d+)$/.exec(params.get("screen") || "");
  if (asked) { width = Math.ceil(parseInt(asked[1], 10) / 8) * 8; height = parseInt(asked[2], 10); }
  width = Math.max(kStrip, Math.min(8192, width));
  height = Math.max(160, Math.min(8192, height));
  canvas.width = width;
  canvas.height = height;
  // The screen keeps its size (the program's canvas cannot change); a turned tablet shows
  // it at the largest whole scale up to the chosen one that fits the page, or below 1 when
  // even that does not fit. Points are mapped through the size shown.
  const fit = () => {
    const room = Math.min(window.innerWidth / width, window.innerHeight / height);
    const shown = room >= scale ? scale : room >= 1 ? Math.floor(room) : room;
    canvas.style.width = width * shown + "px";
    canvas.style.height = height * shown + "px";
  };
  fit();
  window.addEventListener("resize", fit);
  // Message boxes and the name asked for Save As in the dialogs' 9 points, at the scale.
  document.getElementById("vellum-message").style.fontSize = 12 * scale + "px";
  const language = /^[0-9a-fA-F]{4}$/.test(params.get("lang") || "") ? params.get("lang")
                   : (navigator.language || "").toLowerCase().startsWith("ja") ? "0411" : "0409";

  let persistTimer = 0;
  const timers = new Map();
  let started = false;
  // While a message box or a dialog waits, the program is suspended: nothing else may
  // enter it. The user's input meanwhile (a tap in the instant after an answer, the rest
  // of a stroke under a message) waits in order and is handed on once the program is back;
  // timers that fall due meanwhile fire once then.
  let modal = 0;
  const dueWhileModal = new Set();
  const waiting = [];
  const kMaxWaiting = 4096;
  const live = () => started && modal === 0;
  const deliver = (call, droppable = false) => {
    if (!started) return;
    if (live() && waiting.length === 0) { call(); return; }
    // A flood of moves is thinned; presses, releases and keys are always kept.
    if (droppable && waiting.length >= kMaxWaiting) return;
    waiting.push(call);
  };
  const fire = (id) => { if (modal) dueWhileModal.add(id); else Module._vellum_timer(id); };
  // A question ended: the program resumes in this task's promise jobs, so the page's own
  // events (a focus, a timer) may reach it only from the next task on. Waiting input goes
  // first, each call in its turn, until one asks a question again.
  const modalEnded = () => setTimeout(() => {
    if (--modal > 0) return;
    canvas.focus();
    while (waiting.length && live()) waiting.shift()();
    if (!live()) return;
    const due = [...dueWhileModal];
    dueWhileModal.clear();
    due.forEach((id) => timers.has(id) && fire(id));
  }, 0);

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

  // ---- Files: names kept to one folder; PNG and JPEG decoded here, handed on as BMP ---
  // The file the save picker gave for the Save As under way, and the picked files by the
  // path the program saved into them.
  let pickedHandle = null;
  const savedHandles = new Map();
  const mimeOf = (name) => (/\.png$/i.test(name) ? "image/png" : /\.jpe?g$/i.test(name) ? "image/jpeg" : "image/bmp");
  const safeName = (name) => String(name).replace(/[\/\\\u0000]/g, "_").slice(0, 200) || "untitled.bmp";
  async function pictureBytes(file) {
    const bytes = new Uint8Array(await file.arrayBuffer());
    if (bytes.length >= 2 && bytes[0] === 0x42 && bytes[1] === 0x4d) return bytes;  // BMP: the program's reader
    const bitmap = await createImageBitmap(file);
    const c = document.createElement("canvas");
    c.width = bitmap.width;
    c.height = bitmap.height;
    const g = c.getContext("2d");
    g.fillStyle = "#fff";
    g.fillRect(0, 0, c.width, c.height);
    g.drawImage(bitmap, 0, 0);
    return bmpOf(g.getImageData(0, 0, c.width, c.height));
  }
  function bmpOf(image) {
    const { width: w, height: h, data } = image;
    const stride = (w * 3 + 3) & ~3, size = 54 + stride * h;
    const out = new Uint8Array(size), v = new DataView(out.buffer);
    out[0] = 0x42; out[1] = 0x4d;
    v.setUint32(2, size, true); v.setUint32(10, 54, true); v.setUint32(14, 40, true);
    v.setInt32(18, w, true); v.setInt32(22, h, true); v.setUint16(26, 1, true); v.setUint16(28, 24, true);
    v.setUint32(34, stride * h, true);
    for (let y = 0; y < h; ++y)
      for (let x = 0; x < w; ++x) {
        const s = 4 * (y * w + x), d = 54 + (h - 1 - y) * stride + 3 * x;
        out[d] = data[s + 2]; out[d + 1] = data[s + 1]; out[d + 2] = data[s];
      }
    return out;
  }
  // The filter a typed name goes with: its extension's (a typed extension decides the
  // format whatever the filter); otherwise the one shown stays.
  const filterOfName = (name, shown) => (/\.bmp$/i.test(name) ? 1 : /\.png$/i.test(name) ? 3
                                         : /\.jpe?g$/i.test(name) ? 4 : shown);
  function askName(initial, filters, filterIndex) {
    const overlay = document.getElementById("vellum-message");
    const ja = language === "0411";
    overlay.querySelector(".icon").className = "icon";
    overlay.querySelector(".text").textContent = ja ? "保存するファイル名" : "Save as";
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
      cancel.textContent = ja ? "キャンセル" : "Cancel";
      ok.onclick = () => end(field.value.trim() ? { name: safeName(field.value.trim()), filter: kind.selectedIndex + 1 } : null);
      cancel.onclick = () => end(null);
      field.addEventListener("keydown", (e) => { if (e.key === "Enter") ok.click(); });
      buttons.append(ok, cancel);
      overlay.style.display = "flex";
      field.focus();
      field.select();
    });
  }

  window.Module = {
    // The program's image of the whole canvas, seen in place; only (x, y, w, h) is put.
    vellumPut(rgba, width, height, x, y, w, h) {
      context.putImageData(new ImageData(rgba, width, height), 0, 0, x, y, w, h);
    },
    vellumSetTimer(id, ms) {
      if (params.get("trace")) console.log("timer " + id + " " + ms);
      if (timers.has(id)) clearInterval(timers.get(id));
      timers.set(id, setInterval(() => fire(id), ms));
    },
    vellumKillTimer(id) {
      if (timers.has(id)) clearInterval(timers.get(id));
      timers.delete(id);
    },
    vellumClosed() { canvas.style.opacity = "0.4"; },
    vellumMessage(text, kind) {
      if (params.get("trace")) console.log("message: " + text);
      const overlay = document.getElementById("vellum-message");
      const icon = overlay.querySelector(".icon");
      icon.className = "icon " + ["warning", "question", "information"][kind];
      icon.textContent = ["!", "?", "i"][kind];
      overlay.querySelector(".text").textContent = text;
      const buttons = overlay.querySelector(".buttons");
      buttons.textContent = "";
      ++modal;
      return new Promise((resolve) => {
        const add = (label, answer) => {
          const b = document.createElement("button");
          b.textContent = label;
          b.dataset.answer = answer;
          b.onclick = () => { overlay.style.display = "none"; resolve(answer); modalEnded(); };
          buttons.appendChild(b);
          return b;
        };
        const ja = language === "0411";
        if (kind === 1) { add(ja ? "はい" : "Yes", 1).focus(); add(ja ? "いいえ" : "No", 2); }
        else add("OK", 0).focus();
        overlay.style.display = "flex";
      });
    },
    // ---- Dialogs: the template's controls placed in dialog units --------------------
    vellumDialogOpen(id, caption, width, height, points) {
      ++modal;
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
    // The program waits on the page (an await of its own): nothing may enter it meanwhile.
    async vellumSuspended(work) {
      ++modal;
      try { return await work(); } finally { modalEnded(); }
    },
    // ---- Files -----------------------------------------------------------------------
    vellumChooseOpen() {
      ++modal;
      return new Promise((resolve) => {
        const input = document.createElement("input");
        input.type = "file";
        input.accept = ".bmp,.png,.jpg,.jpeg,image/bmp,image/png,image/jpeg";
        let done = false;
        const finish = (name) => { if (done) return; done = true; resolve(name); modalEnded(); };
        input.addEventListener("cancel", () => finish(null));
        input.addEventListener("change", async () => {
          const file = input.files && input.files[0];
          if (!file) { finish(null); return; }
          try {
            Module.FS.writeFile("/pictures/" + safeName(file.name), await pictureBytes(file));
            finish(safeName(file.name));
          } catch (e) {
            finish(null);
          }
        });
        input.click();
      });
    },
    // Save As: the name (and filter) the user gives, null when cancelled, or {failed}
    // when the browser's save picker gave no file.
    async vellumChooseSave(initial, filters, filterIndex) {
      const usePicker = window.showSaveFilePicker && params.get("savepicker") !== "0";
      pickedHandle = null;
      ++modal;
      try {
        if (usePicker) {
          try {
            pickedHandle = await window.showSaveFilePicker({ suggestedName: initial.includes(".") ? initial : initial + ".bmp" });
            const f = filterOfName(pickedHandle.name, filterIndex);
            return { name: safeName(pickedHandle.name), filter: f <= filters.length ? f : filterIndex };
          } catch (e) {
            return { failed: true };
          }
        }
        return await askName(initial, filters, filterIndex);
      } finally {
        modalEnded();
      }
    },
    // The file the program just wrote, named exactly: into the file the save picker gave
    // for it (and for its later saves), else as a download under its own name. The
    // written copy then leaves the page's memory. False when it could not be handed on.
    async vellumHandOver(path) {
      if (params.get("trace")) console.log("hand over " + path);
      try {
        const bytes = Module.FS.readFile(path);
        const name = path.slice(path.lastIndexOf("/") + 1);
        if (pickedHandle) { savedHandles.set(path, pickedHandle); pickedHandle = null; }
        const handle = savedHandles.get(path);
        if (handle) {
          const writable = await handle.createWritable();
          await writable.write(bytes);
          await writable.close();
        } else {
          const a = document.createElement("a");
          a.href = URL.createObjectURL(new Blob([bytes], { type: mimeOf(name) }));
          a.download = name;
          document.body.appendChild(a);
          a.click();
          a.remove();
          setTimeout(() => URL.revokeObjectURL(a.href), 10000);
        }
        Module.FS.unlink(path);
        return true;
      } catch (e) {
        if (params.get("trace")) console.log("hand over failed: " + e);
        return false;
      }
    },
    vellumSettingsRead() { return localStorage.getItem("vellum.settings"); },
    vellumSettingsWrite(text) {
      try { localStorage.setItem("vellum.settings", text); return true; } catch (e) { return false; }
    },
    // The journal's folder lives in IndexedDB: read in before the program starts, written
    // out shortly after each change (and at once when the page goes).
    vellumPersist() {
      if (persistTimer) return;
      persistTimer = setTimeout(() => { persistTimer = 0; Module.FS.syncfs(false, () => {}); }, 50);
    },
    async onRuntimeInitialized() {
      Module.FS.mkdir("/state");
      Module.FS.mount(Module.FS.filesystems.IDBFS, {}, "/state");
      await new Promise((resolve) => Module.FS.syncfs(true, () => resolve()));
      const ok = Module.ccall("vellum_start", "number", ["number", "number", "string"], [width, height, language],
                              { async: true });
      Promise.resolve(ok).then(() => {
        started = true;
        canvas.setAttribute("data-ready", "");
        performance.mark("vellum-ready");  // the first screen is on the canvas
        canvas.focus();
      });
    },
  };

  // ---- Pointer: pen and mouse draw; touch draws until a pen has been used -------------
  let penSeen = false;
  let active = null;  // the pointer id of the press being followed
  const at = (e) => {
    const r = canvas.getBoundingClientRect();
    return [((e.clientX - r.left) * width) / r.width, ((e.clientY - r.top) * height) / r.height];
  };
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
    // Every position since the last move, as the buffered points (the newest 50), taken
    // now: the event's list may be gone by the time a waiting move is handed on.
    const events = e.getCoalescedEvents ? e.getCoalescedEvents() : [];
    const list = (events.length ? events : [e]).slice(-50).map((c) => at(c));
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
  let held = null;     // {event, draws, timer}: a finger's press not handed on yet
  let gesture = null;  // {ids, starts, count, start, moved}
  const commitHeld = () => {
    if (!held) return;
    clearTimeout(held.timer);
    const { event: e, draws: drawing } = held;
    held = null;
    if (drawing && started && active === null) press(e);
  };
  canvas.addEventListener("pointerdown", (e) => {
    if (!started) return;
    if (e.pointerType === "touch") {
      e.preventDefault();
      if (gesture) {
        gesture.ids.add(e.pointerId);
        gesture.starts.set(e.pointerId, [e.clientX, e.clientY]);
        gesture.count = Math.max(gesture.count, gesture.ids.size);
        return;
      }
      if (held) {
        clearTimeout(held.timer);
        const first = held.event;
        gesture = { ids: new Set([first.pointerId, e.pointerId]), count: 2, start: performance.now(), moved: false,
                    starts: new Map([[first.pointerId, [first.clientX, first.clientY]], [e.pointerId, [e.clientX, e.clientY]]]) };
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
    if (active !== null || !draws(e) || e.button !== 0) return;
    e.preventDefault();
    capture(e);
    press(e);
  });
  canvas.addEventListener("pointermove", (e) => {
    if (!started) return;
    if (gesture && gesture.starts.has(e.pointerId)) {
      const [x0, y0] = gesture.starts.get(e.pointerId);
      if (Math.abs(e.clientX - x0) + Math.abs(e.clientY - y0) > kGestureSlop) gesture.moved = true;
      return;
    }
    if (held && e.pointerId === held.event.pointerId) {
      const [x0, y0] = at(held.event), [x1, y1] = at(e);
      if (Math.abs(x1 - x0) + Math.abs(y1 - y0) < 4) return;
      if (!held.draws) { clearTimeout(held.timer); held = null; return; }
      commitHeld();
    }
    if ((active !== null && e.pointerId !== active) || !draws(e)) return;
    moveTo(e);
  });
  const release = (e) => {
    if (gesture && gesture.ids.has(e.pointerId)) {
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
    if (!started || e.pointerId !== active) return;
    active = null;
    const [x, y] = at(e);
    deliver(() => Module._vellum_pen_up(Math.floor(x), Math.floor(y)));
  };
  canvas.addEventListener("pointerup", release);
  canvas.addEventListener("pointercancel", release);
  canvas.addEventListener("contextmenu", (e) => e.preventDefault());
  canvas.addEventListener("wheel", (e) => {
    if (!started || e.deltaY === 0) return;
    e.preventDefault();
    const [x, y] = at(e);
    deliver(() => Module._vellum_wheel(Math.floor(x), Math.floor(y), e.deltaY < 0 ? 1 : -1));
  }, { passive: false });

  // ---- Keys, as the virtual-key codes bindings are stored in --------------------------
  const named = { Backspace: 8, Tab: 9, Enter: 13, ShiftLeft: 16, ShiftRight: 16, ControlLeft: 17, ControlRight: 17,
                  AltLeft: 18, AltRight: 18, Pause: 19, CapsLock: 20, Escape: 27, Space: 32, PageUp: 33,
                  PageDown: 34, End: 35, Home: 36, ArrowLeft: 37, ArrowUp: 38, ArrowRight: 39, ArrowDown: 40,
                  Insert: 45, Delete: 46, Semicolon: 186, Equal: 187, Comma: 188, Minus: 189, Period: 190,
                  Slash: 191, Backquote: 192, BracketLeft: 219, Backslash: 220, BracketRight: 221, Quote: 222 };
  const codeOf = (e) => {
    let m;
    if ((m = /^Key([A-Z])$/.exec(e.code))) return m[1].charCodeAt(0);
    if ((m = /^Digit([0-9])$/.exec(e.code))) return 48 + parseInt(m[1], 10);
    if ((m = /^Numpad([0-9])$/.exec(e.code))) return 96 + parseInt(m[1], 10);
    if ((m = /^F([0-9]+)$/.exec(e.code))) return 111 + parseInt(m[1], 10);
    return named[e.code] || 0;
  };
  const modifiers = (e) => (e.ctrlKey ? 1 : 0) | (e.shiftKey ? 2 : 0) | (e.altKey ? 4 : 0) | (e.repeat ? 8 : 0);
  canvas.addEventListener("keydown", (e) => {
    const code = codeOf(e);
    if (params.get("trace")) console.log(`key ${code} started=${started} modal=${modal}`);
    if (!started || !code) return;
    e.preventDefault();
    const m = modifiers(e);
    deliver(() => Module._vellum_key(1, code, m));
  });
  canvas.addEventListener("keyup", (e) => {
    const code = codeOf(e);
    if (!started || !code) return;
    e.preventDefault();
    const m = modifiers(e) & 7;
    deliver(() => Module._vellum_key(0, code, m));
  });
  // The tab goes: the view shuts down (its settings are written), the storage follows.
  window.addEventListener("pagehide", () => {
    if (live()) Module._vellum_page_hidden();
    if (started) Module.FS.syncfs(false, () => {});
  });
  // Focus goes to a dialog and back: the program hears of both once it is back, so that a
  // key held when the dialog opened does not stay held.
  canvas.addEventListener("focus", () => deliver(() => Module._vellum_focus(1)));
  canvas.addEventListener("blur", () => deliver(() => Module._vellum_focus(0)));
})();
