// The page as an app: fingers (a two-finger tap undoes, three fingers redo, two fingers
// scroll and pinch, a finger draws until a pen was used), offline after the first visit (the service worker), and the
// screens looked at on a tablet-sized viewport.  node page.mjs SITE_FOLDER SHOTS_FOLDER
import fs from "node:fs";
import path from "node:path";
import { serve } from "./serve.mjs";
import { canvasBytes, launch } from "./support.mjs";

const site = path.resolve(process.argv[2]);
const shots = path.resolve(process.argv[3] || ".");
fs.mkdirSync(shots, { recursive: true });
let failed = false;
const fail = (why) => { console.error("FAIL: " + why); failed = true; };
const server = await serve(site);
const browser = await launch();
const base = `http://127.0.0.1:${server.address().port}/`;
const ink = (page) => page.evaluate(() => {
  const c = document.getElementById("vellum-screen");
  const d = c.getContext("2d").getImageData(0, 40, c.width, c.height - 40).data;
  let n = 0;
  for (let i = 0; i < d.length; i += 4) if (d[i] < 200) ++n;
  return n;
});
// Started: a recovery offer from an earlier visit of the test is declined.
async function ready(page) {
  for (let k = 0; k < 40; ++k) {
    if (await page.locator("#vellum-screen[data-ready]").count()) return true;
    const no = page.locator("#vellum-message button", { hasText: /^(No|いいえ)$/ });
    if (await no.count() && await no.isVisible()) await no.click();
    await page.waitForTimeout(250);
  }
  return false;
}
// Synthetic touches: pointer events as a finger (or a pen) sends them.
const touch = (page, type, id, x, y, kind = "touch") => page.evaluate(([type, id, x, y, kind]) => {
  const c = document.getElementById("vellum-screen");
  const r = c.getBoundingClientRect();
  c.dispatchEvent(new PointerEvent(type, { pointerId: id, pointerType: kind, isPrimary: id === 11 || kind === "pen", bubbles: true,
                                           clientX: r.left + x, clientY: r.top + y, button: 0, buttons: type === "pointerup" ? 0 : 1 }));
}, [type, id, x, y, kind]);
try {
  const context = await browser.newContext({ viewport: { width: 240, height: 320 } });
  const page = await context.newPage();
  page.on("pageerror", (e) => fail("page error: " + e.message));
  await page.goto(base + "?screen=240x320&scale=1&lang=0409");
  await page.waitForSelector("#vellum-screen[data-ready]", { timeout: 20000 });

  // A finger draws a stroke.
  await touch(page, "pointerdown", 11, 60, 120);
  for (let k = 1; k <= 8; ++k) await touch(page, "pointermove", 11, 60 + 10 * k, 120 + 5 * k);
  await touch(page, "pointerup", 11, 140, 160);
  const drawn = await ink(page);
  if (drawn === 0) fail("a finger drew nothing");
  // Two fingers tapped together: Undo.
  await touch(page, "pointerdown", 11, 100, 200);
  await touch(page, "pointerdown", 12, 130, 200);
  await touch(page, "pointerup", 11, 100, 200);
  await touch(page, "pointerup", 12, 130, 200);
  await page.waitForTimeout(100);
  if ((await ink(page)) !== 0) fail("a two-finger tap did not undo the stroke");
  // Three fingers: Redo.
  for (const id of [11, 12, 13]) await touch(page, "pointerdown", id, 80 + 20 * id, 220);
  for (const id of [11, 12, 13]) await touch(page, "pointerup", id, 80 + 20 * id, 220);
  await page.waitForTimeout(100);
  if ((await ink(page)) !== drawn) fail("a three-finger tap did not redo the stroke");
  else console.log("a finger draws; two fingers undo, three redo");
  // A pen draws; from then on a finger (the palm under the hand) does not.
  await touch(page, "pointerdown", 3, 40, 250, "pen");
  for (let k = 1; k <= 8; ++k) await touch(page, "pointermove", 3, 40 + 12 * k, 250 - 4 * k, "pen");
  await touch(page, "pointerup", 3, 136, 218, "pen");
  const penned = await ink(page);
  if (penned <= drawn) fail("the pen drew nothing");
  await touch(page, "pointerdown", 11, 50, 290);
  for (let k = 1; k <= 8; ++k) await touch(page, "pointermove", 11, 50 + 12 * k, 290);
  await touch(page, "pointerup", 11, 146, 290);
  await page.waitForTimeout(200);
  if ((await ink(page)) !== penned) fail("a finger drew after the pen had been used");
  else console.log("a pen draws; after it the palm is ignored");
  // A tap of two or three fingers is no palm: after the pen it still undoes and redoes.
  const twoFingers = async (ids) => {
    for (const id of ids) await touch(page, "pointerdown", id, 40 + 30 * (id - 10), 200);
    for (const id of ids) await touch(page, "pointerup", id, 40 + 30 * (id - 10), 200);
    await page.waitForTimeout(100);
  };
  await twoFingers([11, 12]);
  const undone = await ink(page);
  await twoFingers([11, 12, 13]);
  if (undone !== drawn || (await ink(page)) !== penned) fail("after a pen, two- and three-finger taps no longer undo and redo");
  else console.log("after a pen, two fingers still undo and three redo");

  // Two fingers pinched apart zoom in a level at each half as far again, dragged they
  // scroll, pinched together they zoom back out: the screen is the one it started as, and
  // nothing was drawn.
  {
    const ctx = await browser.newContext({ viewport: { width: 240, height: 320 } });
    const p = await ctx.newPage();
    p.on("pageerror", (e) => fail("page error: " + e.message));
    await p.goto(base + "?screen=240x320&scale=1&lang=0409");
    if (!(await ready(p))) fail("the page did not start");
    await p.mouse.move(60, 200); await p.mouse.down();
    for (let k = 1; k <= 6; ++k) await p.mouse.move(60 + 20 * k, 200 + 8 * k);
    await p.mouse.up();
    const start = await canvasBytes(p);
    const fingers = async (spread0, spread1, shift0, shift1) => {
      for (let k = 0; k <= 8; ++k) {
        const spread = spread0 + ((spread1 - spread0) * k) / 8, shift = shift0 + ((shift1 - shift0) * k) / 8;
        const type = k === 0 ? "pointerdown" : "pointermove";
        await touch(p, type, 11, 120 - spread / 2 + shift, 200);
        await touch(p, type, 12, 120 + spread / 2 + shift, 200);
      }
    };
    await fingers(40, 160, 0, 0);
    const zoomed = await canvasBytes(p);
    for (const id of [11, 12]) await touch(p, "pointerup", id, 120, 200);
    await fingers(160, 160, 0, -60);
    const scrolled = await canvasBytes(p);
    for (const id of [11, 12]) await touch(p, "pointerup", id, 60, 200);
    await fingers(160, 40, 0, 0);
    for (const id of [11, 12]) await touch(p, "pointerup", id, 120, 200);
    await p.waitForTimeout(150);
    const back = await canvasBytes(p);
    if (zoomed.equals(start) || scrolled.equals(zoomed)) fail("a pinch did not zoom, or two fingers did not scroll");
    else if (!back.equals(start)) fail("pinched back, the screen is not the one it started as (something was drawn?)");
    else console.log("two fingers pinched zoom, dragged scroll, and draw nothing");
    await ctx.close();
  }

  // A gesture sends no keys: with Z bound as the eyedropper key a two-finger tap undoes,
  // and the mouse draws afterwards (a held eyedropper would draw nothing).
  {
    const ctx = await browser.newContext({ viewport: { width: 240, height: 320 } });
    await ctx.addInitScript(() => localStorage.setItem("vellum.settings", "[setting]\nkey_spoit=90\nkey_zoom=90\n"));
    const p = await ctx.newPage();
    p.on("pageerror", (e) => fail("page error: " + e.message));
    await p.goto(base + "?screen=240x320&scale=1&lang=0409");
    if (!(await ready(p))) fail("the page did not start");
    const mouseStroke = async (y) => {
      await p.mouse.move(40, y); await p.mouse.down();
      for (let k = 1; k <= 6; ++k) await p.mouse.move(40 + 20 * k, y + 5 * k);
      await p.mouse.up();
    };
    await mouseStroke(120);
    const first = await ink(p);
    for (const type of ["pointerdown", "pointerup"]) for (const id of [11, 12]) await touch(p, type, id, 60 + 40 * (id - 10), 260);
    await p.waitForTimeout(150);
    const afterTap = await ink(p);
    await mouseStroke(200);
    if (first === 0 || afterTap !== 0) fail(`with Z bound, a two-finger tap did not undo (${first} -> ${afterTap})`);
    else if ((await ink(p)) === 0) fail("after a two-finger tap with Z bound the mouse no longer draws (a key held)");
    else console.log("a gesture undoes as a verb, never as a bound key");
    await ctx.close();
  }

  // Input in the instant after an answer waits for the program instead of being lost:
  // the About box closed and a stroke drawn in the same task give the same picture as the
  // stroke drawn a moment later.
  const afterAnswer = async (sameTask) => {
    const ctx = await browser.newContext({ viewport: { width: 240, height: 320 } });
    const p = await ctx.newPage();
    p.on("pageerror", (e) => fail("page error: " + e.message));
    await p.goto(base + "?screen=240x320&scale=1&lang=0409");
    if (!(await ready(p))) fail("the page did not start");
    for (const [x, y] of [[50, 10], [200, 155]]) { await p.mouse.move(x, y); await p.mouse.down(); await p.mouse.up(); }
    await p.waitForSelector("#vellum-dialog .frame", { timeout: 5000 });
    const before = await p.evaluate(() => Array.from(document.getElementById("vellum-screen").getContext("2d")
                                                        .getImageData(0, 160, 240, 160).data));
    const stroke = () => {
      const c = document.getElementById("vellum-screen");
      const r = c.getBoundingClientRect();
      const send = (type, x, y) => c.dispatchEvent(new PointerEvent(type, {
        pointerId: 1, pointerType: "mouse", isPrimary: true, bubbles: true, cancelable: true,
        clientX: r.left + x, clientY: r.top + y, button: type === "pointermove" ? -1 : 0, buttons: type === "pointerup" ? 0 : 1 }));
      send("pointerdown", 40, 200);
      for (let k = 1; k <= 10; ++k) send("pointermove", 40 + 15 * k, 200 + 7 * k);
      send("pointerup", 190, 270);
    };
    if (sameTask) {
      await p.evaluate(`document.querySelector("#vellum-dialog .close").click(); (${stroke})()`);
    } else {
      await p.locator("#vellum-dialog .close").click();
      await p.waitForSelector("#vellum-dialog .frame", { state: "detached" });
      await p.waitForTimeout(100);
      await p.evaluate(stroke);
    }
    await p.waitForTimeout(200);
    const after = await p.evaluate(() => Array.from(document.getElementById("vellum-screen").getContext("2d")
                                                       .getImageData(0, 160, 240, 160).data));
    await ctx.close();
    return [Buffer.from(before), Buffer.from(after)];
  };
  const [plainBefore, plain] = await afterAnswer(false);
  const [, quick] = await afterAnswer(true);
  if (plain.equals(plainBefore)) fail("the stroke after the About box drew nothing");
  else if (!quick.equals(plain)) fail("a stroke right after an answer was lost or changed");
  else console.log("a stroke in the instant after an answer is drawn as a later one");

  // Every dialog's texts fit their controls in both languages, at scale 1 and on the
  // tablet: nothing cut off, nothing wrapped onto a line that is not there.
  for (const lang of ["0411", "0409"]) for (const s of [1, 2]) {
    const ctx = await browser.newContext({ viewport: { width: 240 * s, height: 320 * s } });
    const p = await ctx.newPage();
    await p.goto(base + `?screen=240x320&scale=${s}&lang=${lang}`);
    if (!(await ready(p))) fail("the page did not start");
    const tap = async (x, y) => { await p.mouse.move(x * s, y * s); await p.mouse.down(); await p.mouse.up(); };
    await tap(50, 10);  // the panel, on its file page
    for (const [name, taps] of [["about", [[200, 155]]], ["colour entry", [[20, 90], [140, 130]]],
                                 ["stylus", [[20, 70], [140, 130]]], ["keys", [[20, 130], [140, 110]]]]) {
      for (const [x, y] of taps) await tap(x, y);
      await p.waitForSelector("#vellum-dialog .frame", { timeout: 5000 });
      const cut = await p.evaluate(() => [...document.querySelectorAll(
        "#vellum-dialog .body > div:not(.spin):not([data-wraps='1']), #vellum-dialog label, #vellum-dialog .body > button, #vellum-dialog legend")]
        .filter((e) => e.textContent && (e.scrollWidth > e.clientWidth + 1 || e.scrollHeight > e.clientHeight + 1))
        .map((e) => e.textContent));
      if (cut.length) fail(`the ${name} dialog (${lang}, scale ${s}) cuts or wraps: ${cut.join(", ")}`);
      await p.locator("#vellum-dialog .close").click();
      await p.waitForSelector("#vellum-dialog .frame", { state: "detached" });
    }
    await ctx.close();
  }

  // Offline: once the worker keeps the files, the page starts without the network.
  await page.evaluate(() => navigator.serviceWorker.ready);
  await page.reload();
  if (!(await ready(page))) fail("the page did not start again");
  await context.setOffline(true);
  await page.reload();
  if (await ready(page)) console.log("the page starts offline");
  else fail("the page did not start offline");
  await context.setOffline(false);

  // The default scale: the strips a fifth of the width or more; where fingers point,
  // at least 2; never wider than the page. The screen's width a multiple of 8 within it.
  const screenOf = (p) => p.evaluate(() => {
    const c = document.getElementById("vellum-screen");
    return [c.width, c.height, c.getBoundingClientRect().width / c.width];
  });
  for (const [w, h, touch, expected] of [[800, 1280, true, 2], [800, 1280, false, 1], [1920, 1080, false, 2],
                                         [390, 844, true, 1], [1280, 800, true, 2]]) {
    const p = await browser.newPage({ viewport: { width: w, height: h }, hasTouch: touch, isMobile: touch });
    await p.goto(base + "?lang=0409");
    if (!(await ready(p))) fail(`the ${w} x ${h} page did not start`);
    const [sw, sh, scale] = await screenOf(p);
    if (scale !== expected) fail(`${w} x ${h}${touch ? " with fingers" : ""}: scale ${scale}, expected ${expected}`);
    else if (sw !== Math.floor(w / scale / 8) * 8 || sh !== Math.floor(h / scale)) fail(`${w} x ${h}: screen ${sw} x ${sh} at scale ${scale}`);
    await p.close();
  }

  // A tablet: 800 x 1280 with fingers, in both languages, the panel open.
  for (const lang of ["0411", "0409"]) {
    const tablet = await browser.newPage({ viewport: { width: 800, height: 1280 }, deviceScaleFactor: 1, hasTouch: true, isMobile: true });
    await tablet.goto(base + `?lang=${lang}`);
    if (!(await ready(tablet))) fail("the tablet page did not start");
    const [, , scale] = await screenOf(tablet);
    await tablet.touchscreen.tap(50 * scale, 10 * scale);
    await tablet.screenshot({ path: `${shots}/tablet-${lang}.png` });
    console.log(`screenshot: ${shots}/tablet-${lang}.png (scale ${scale})`);
    if (lang === "0409") {
      // Turned: the screen follows the page at the same scale (the picture keeps its
      // size), and a tap lands where it is shown: the panel toggle closes the panel.
      await tablet.setViewportSize({ width: 1280, height: 800 });
      await tablet.waitForTimeout(300);
      const [w, h, turned] = await screenOf(tablet);
      const box = await tablet.locator("#vellum-screen").boundingBox();
      if (turned !== 2 || w !== 640 || h !== 400 || box.y + box.height > 800)
        fail(`turned to 1280 x 800: screen ${w} x ${h} shown at ${turned}, bottom at ${box.y + box.height}`);
      const open = await canvasBytes(tablet);
      await tablet.touchscreen.tap(box.x + 50 * turned, box.y + 10 * turned);
      await tablet.waitForTimeout(100);
      if ((await canvasBytes(tablet)).equals(open)) fail("a tap on the turned tablet's panel toggle did nothing");
      await tablet.setViewportSize({ width: 800, height: 1280 });
      await tablet.waitForTimeout(100);
      await tablet.waitForTimeout(200);
      const [bw, bh, back] = await screenOf(tablet);
      if (back !== 2 || bw !== 400 || bh !== 640) fail(`turned back: screen ${bw} x ${bh} shown at ${back}`);
      else console.log("a turned tablet's screen follows the page, and taps land where it is shown");
    }
    await tablet.close();
  }
} finally {
  await browser.close();
  server.close();
}
process.exit(failed ? 1 : 0);
