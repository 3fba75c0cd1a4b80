// The page draws exactly as the headless driver: one session of pointer events at scale 1
// (mouse strokes and taps, a dialog, zoom, a hand drag, a finger, a pen with coalesced
// points, keys, the wheel, a Space drag) against the same session as a scenario script;
// the canvas and `dump window` must be the same bytes.  node exactness.mjs SITE_FOLDER SCENARIO_DRIVER
import { execFileSync } from "node:child_process";
import fs from "node:fs";
import os from "node:os";
import path from "node:path";
import { serve } from "./serve.mjs";
import { canvasBytes, launch, rgbaOfBmp } from "./support.mjs";

const site = path.resolve(process.argv[2]);
const driver = process.argv[3];
const work = fs.mkdtempSync(path.join(os.tmpdir(), "vellum-web-"));

// A session: strokes, taps, and a tap on the status bar's eraser.
const strokes = [
  [[60, 100], [64, 104], [70, 111], [80, 118], [95, 121], [110, 119]],
  [[150, 200], [151, 210], [155, 222], [162, 235], [170, 246]],
  [[30, 280]],
];
// Then the colour entry dialog from the colour page: red 200, green 40, blue 90, OK; and
// one more stroke in that colour.
let script = "screen 240 320\nlanguage 0411\nstart\n";
for (const s of strokes) {
  script += `down ${s[0][0]} ${s[0][1]}\n`;
  for (const [x, y] of s.slice(1)) script += `move ${x} ${y}\n`;
  const last = s[s.length - 1];
  script += `up ${last[0]} ${last[1]}\n`;
}
script += "up 50 10\nup 20 90\ndialog 131 set 1003 200; set 1005 40; set 1007 90; click 1\nup 140 130\nup 50 10\n";
const coloured = [[40, 200], [60, 205], [80, 214], [100, 230]];
script += `down ${coloured[0][0]} ${coloured[0][1]}\n`;
for (const [x, y] of coloured.slice(1)) script += `move ${x} ${y}\n`;
script += `up 100 230\n`;
// At zoom 2, a pen stroke whose moves carry coalesced points between quarter pixels:
// the buffered high-resolution points (used at zoom 1 and 2).
const penMoves = [];
for (let k = 1; k <= 6; ++k)
  penMoves.push([[120 + 5 * k - 2.25, 200 + 3 * k - 1.5], [120 + 5 * k - 1.5, 200 + 3 * k - 0.75], [120 + 5 * k + 0.25, 200 + 3 * k + 0.5]]);
const penEnd = penMoves[penMoves.length - 1][2];
const penScript = () => {
  let t = "down 120 200\n";
  for (const list of penMoves) {
    t += "points " + list.map(([x, y]) => `${Math.floor(4 * x)} ${Math.floor(4 * y)}`).join(" ") + "\n";
    const [x, y] = list[list.length - 1];
    t += `move ${Math.floor(x)} ${Math.floor(y)}\n`;
  }
  return t + `up ${Math.floor(penEnd[0])} ${Math.floor(penEnd[1])}\n`;
};
// Then zoomed: the status bar's zoom (one level a tap), a stroke at zoom 2, hand mode on,
// a drag that scrolls, hand mode off, zoom 4 and a last stroke.
const zoomed = [
  ["tap", 170, 10],
  ["stroke", [[100, 120], [108, 126], [118, 130], [131, 133]]],
  // A finger's stroke (before any pen: after one the palm is ignored): its press waits a
  // moment for a second finger, then draws as any.
  ["finger", [[150, 120], [160, 130], [172, 141], [185, 150], [199, 158]]],
  ["pen"],
  ["tap", 190, 10],
  ["stroke", [[160, 250], [150, 240], [132, 226], [110, 212], [96, 200]]],
  ["tap", 190, 10],
  ["tap", 170, 10],
  ["stroke", [[60, 150], [66, 160], [75, 172], [90, 181]]],
  // Keys and the wheel: E for the eraser and a stroke with it, E again, Ctrl+Z takes the
  // erasing back; a wheel notch down zooms out at the pointer; Space held with a drag pans.
  ["key", "KeyE", 69],
  ["stroke", [[50, 160], [70, 170], [95, 178], [120, 190]]],
  ["key", "KeyE", 69],
  ["ctrl", "KeyZ", 90],
  ["wheel", 120, 200],
  ["space", [[150, 220], [140, 210], [120, 196], [100, 180]]],
  ["stroke", [[40, 240], [60, 236], [85, 230], [110, 228]]],
];
const stroke = (s) => {
  let t = `down ${s[0][0]} ${s[0][1]}\n`;
  for (const [x, y] of s.slice(1)) t += `move ${x} ${y}\n`;
  return t + `up ${s[s.length - 1][0]} ${s[s.length - 1][1]}\n`;
};
// The page sends every key as it comes, the Control key itself too (with ctrl held).
const keyScript = (kind, a) => {
  if (kind === "tap") return `up ${a[0]} ${a[1]}\n`;
  if (kind === "pen") return penScript();
  if (kind === "key") return `keydown ${a[1]}\nkeyup ${a[1]}\n`;
  if (kind === "ctrl") return `keydown 17 ctrl\nkeydown ${a[1]} ctrl\nkeyup ${a[1]} ctrl\nkeyup 17\n`;
  if (kind === "wheel") return `wheel ${a[0]} ${a[1]} -1\n`;
  if (kind === "space") return `keydown 32\n${stroke(a[0])}keyup 32\n`;
  return stroke(a[0]);
};
for (const [kind, ...a] of zoomed) script += keyScript(kind, a);
script += `dump window ${work}/window.bmp\n`;
fs.writeFileSync(`${work}/session.scn`, script);
execFileSync(driver, [`${work}/session.scn`], { stdio: "ignore" });

// The driver's window in the canvas's order.
const { rgba: expected, width: w, height: h } = rgbaOfBmp(`${work}/window.bmp`);

const server = await serve(site);
const browser = await launch();
let failed = false;
try {
  const page = await browser.newPage({ viewport: { width: 240, height: 320 } });
  page.on("pageerror", (e) => { console.error("page error:", e.message); failed = true; });
  await page.goto(`http://127.0.0.1:${server.address().port}/?screen=240x320&scale=1&lang=0411`);
  await page.waitForSelector("#vellum-screen[data-ready]", { timeout: 20000 });
  for (const s of strokes) {
    await page.mouse.move(s[0][0] + 0.0, s[0][1]);
    await page.mouse.down();
    for (const [x, y] of s.slice(1)) await page.mouse.move(x, y);
    await page.mouse.up();
  }
  const tap = async (x, y) => { await page.mouse.move(x, y); await page.mouse.down(); await page.mouse.up(); };
  await tap(50, 10);
  await tap(20, 90);
  await tap(140, 130);
  await page.waitForSelector("#vellum-dialog .frame", { timeout: 5000 });
  for (const [id, value] of [[1003, "200"], [1005, "40"], [1007, "90"]])
    await page.locator(`#vellum-dialog input[data-id="${id}"]`).fill(value);
  await page.screenshot({ path: `${work}/dialog.png` });
  await page.locator("#vellum-dialog button", { hasText: "OK" }).click();
  await page.waitForSelector("#vellum-dialog .frame", { state: "detached", timeout: 5000 });
  await tap(50, 10);
  await page.mouse.move(coloured[0][0], coloured[0][1]);
  await page.mouse.down();
  for (const [x, y] of coloured.slice(1)) await page.mouse.move(x, y);
  await page.mouse.up();
  const penStroke = () => page.evaluate(([moves, end]) => {
    const c = document.getElementById("vellum-screen");
    const r = c.getBoundingClientRect();
    const pen = (type, x, y, extra = {}) => new PointerEvent(type, {
      pointerId: 7, pointerType: "pen", isPrimary: true, bubbles: true, cancelable: true, clientX: r.left + x,
      clientY: r.top + y, button: type === "pointermove" ? -1 : 0, buttons: type === "pointerup" ? 0 : 1, pressure: 0.5, ...extra });
    c.dispatchEvent(pen("pointerdown", 120, 200));
    for (const list of moves) {
      const [x, y] = list[list.length - 1];
      c.dispatchEvent(pen("pointermove", x, y, { coalescedEvents: list.map(([cx, cy]) => pen("pointermove", cx, cy)) }));
    }
    c.dispatchEvent(pen("pointerup", end[0], end[1]));
  }, [penMoves, penEnd]);
  for (const [kind, ...a] of zoomed) {
    if (kind === "tap") { await tap(a[0], a[1]); continue; }
    if (kind === "pen") { await penStroke(); continue; }
    if (kind === "key") { await page.keyboard.press(a[0]); continue; }
    if (kind === "ctrl") { await page.keyboard.press("Control+" + a[0]); continue; }
    if (kind === "wheel") { await page.mouse.move(a[0], a[1]); await page.mouse.wheel(0, 100); continue; }
    if (kind === "finger") {
      await page.evaluate((points) => {
        const c = document.getElementById("vellum-screen");
        const r = c.getBoundingClientRect();
        points.forEach(([x, y], i) => c.dispatchEvent(new PointerEvent(
          i === 0 ? "pointerdown" : i === points.length - 1 ? "pointerup" : "pointermove",
          { pointerId: 21, pointerType: "touch", isPrimary: true, bubbles: true, cancelable: true, clientX: r.left + x,
            clientY: r.top + y, button: i === 0 || i === points.length - 1 ? 0 : -1, buttons: i === points.length - 1 ? 0 : 1 })));
      }, [...a[0], a[0][a[0].length - 1]]);
      continue;
    }
    if (kind === "space") await page.keyboard.down("Space");
    const s = a[0];
    await page.mouse.move(s[0][0], s[0][1]);
    await page.mouse.down();
    for (const [x, y] of s.slice(1)) await page.mouse.move(x, y);
    await page.mouse.up();
    if (kind === "space") await page.keyboard.up("Space");
  }
  await page.waitForTimeout(100);  // the wheel's event comes by itself
  const shown = await canvasBytes(page);
  if (shown.length !== expected.length) {
    console.error(`FAIL: the canvas has ${shown.length / 4} pixels, the driver's window ${expected.length / 4}`);
    failed = true;
  } else {
    let differing = 0, first = -1;
    for (let i = 0; i < shown.length; ++i) if (shown[i] !== expected[i]) { if (first < 0) first = i; ++differing; }
    if (differing) {
      const p = first >> 2;
      console.error(`FAIL: ${differing} bytes differ; first at (${p % w}, ${Math.floor(p / w)})`);
      failed = true;
    } else {
      console.log(`the page's canvas equals the driver's window: ${w} x ${h}, byte for byte`);
    }
  }
  await page.screenshot({ path: `${work}/page.png` });
  console.log(`screenshot: ${work}/page.png`);
} finally {
  await browser.close();
  server.close();
}
process.exit(failed ? 1 : 0);
