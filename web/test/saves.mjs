// Saving a new picture from the page, against the headless driver: every filter, typed
// names with and without an extension, with the chooser's name box and with the
// browser's save picker; the handed-over file is the driver's byte for byte (a JPEG:
// the browser's encoding of the driver's picture; a PNG: the driver's pixels exactly,
// also when opened again). A picker that gives no file, or a file that cannot be written,
// is told as a failed save and never as saved, and the tab's title keeps the unsaved
// mark; Ctrl+S on a named picture saves it at once, without a box.
//   node saves.mjs SITE_FOLDER SCENARIO_DRIVER
import { execFileSync } from "node:child_process";
import fs from "node:fs";
import os from "node:os";
import path from "node:path";
import { serve } from "./serve.mjs";
import { launch, rgbaOfBmp, waitUntil } from "./support.mjs";

const site = path.resolve(process.argv[2]);
const driver = process.argv[3];
const work = fs.mkdtempSync(path.join(os.tmpdir(), "vellum-web-saves-"));
let failed = false;
const fail = (why) => { console.error("FAIL: " + why); failed = true; };

// One stroke on a new picture, in the driver and in the page.
const stroke = [[60, 120], [80, 140], [110, 150], [150, 190], [170, 230]];
const script = "screen 240 320\nlanguage 0409\nstart\n" +
  `down ${stroke[0][0]} ${stroke[0][1]}\n` + stroke.slice(1).map(([x, y]) => `move ${x} ${y}\n`).join("") +
  `up ${stroke[4][0]} ${stroke[4][1]}\ndump canvas ${work}/drawn.bmp\n`;
fs.writeFileSync(`${work}/draw.scn`, script);
execFileSync(driver, [`${work}/draw.scn`], { stdio: "ignore" });
const drawn = fs.readFileSync(`${work}/drawn.bmp`);

const server = await serve(site);
const browser = await launch();
const base = `http://127.0.0.1:${server.address().port}/?screen=240x320&scale=1&lang=0409`;

// A page that has drawn the stroke. picker: how the mocked save picker behaves ("give",
// "abort": the user dismissed it, "unwritable": its file refuses to be written), or none.
async function drawnPage(picker) {
  const context = await browser.newContext({ viewport: { width: 240, height: 320 }, acceptDownloads: true });
  if (picker)
    await context.addInitScript((mode) => {
      window.pickerWrites = {};
      window.showSaveFilePicker = async ({ suggestedName }) => {
        if (mode === "abort") throw new DOMException("The user aborted a request.", "AbortError");
        const name = window.pickedName || suggestedName;
        return {
          name,
          async createWritable() {
            if (mode === "unwritable") throw new DOMException("Not allowed", "NotAllowedError");
            const parts = [];
            return { async write(b) { parts.push(new Uint8Array(b)); },
                     async close() { window.pickerWrites[name] = parts.flatMap((p) => Array.from(p)); } };
          },
        };
      };
    }, picker);
  const page = await context.newPage();
  page.on("pageerror", (e) => fail("page error: " + e.message));
  await page.goto(base + (picker ? "" : "&savepicker=0"));
  await page.waitForSelector("#vellum-screen[data-ready]", { timeout: 20000 });
  await page.mouse.move(...stroke[0]);
  await page.mouse.down();
  for (const p of stroke.slice(1)) await page.mouse.move(...p);
  await page.mouse.up();
  return { context, page };
}
const messageText = (page) => page.locator("#vellum-message .text").textContent();
const ok = async (page) => {
  await page.locator("#vellum-message button", { hasText: "OK" }).click();
  await page.waitForTimeout(50);
};
// A PNG's pixels as the page decodes them, RGBA rows.
const pngPixels = (page, bytes) => page.evaluate(async (b) => {
  const bitmap = await createImageBitmap(new Blob([new Uint8Array(b)], { type: "image/png" }));
  const c = document.createElement("canvas");
  c.width = bitmap.width; c.height = bitmap.height;
  const g = c.getContext("2d");
  g.drawImage(bitmap, 0, 0);
  return Array.from(g.getImageData(0, 0, c.width, c.height).data);
}, Array.from(bytes)).then((a) => Buffer.from(a));
const title = (page) => page.evaluate(() => document.title);

// The JPEG the browser makes of the driver's picture at the stored quality (100 %).
async function browserJpeg(page) {
  const picture = rgbaOfBmp(`${work}/drawn.bmp`);
  return Buffer.from(await page.evaluate(async ([rgba, w, h]) => {
    const c = document.createElement("canvas");
    c.width = w; c.height = h;
    c.getContext("2d").putImageData(new ImageData(new Uint8ClampedArray(rgba), w, h), 0, 0);
    const blob = await new Promise((resolve) => c.toBlob(resolve, "image/jpeg", 1));
    return Array.from(new Uint8Array(await blob.arrayBuffer()));
  }, [Array.from(picture.rgba), picture.width, picture.height]));
}

try {
  // The name box: Ctrl+S on the new picture is Save As; typed name, filter, download.
  for (const [typed, filter, expectName] of [["sketch1", 1, "sketch1.bmp"], ["sk4.bmp", 1, "sk4.bmp"],
                                             ["sketch2", 2, "sketch2.jpg"], [".hidden", 1, ".hidden.bmp"],
                                             ["pic3.png", 2, "pic3.png"], ["pic4", 3, "pic4.png"],
                                             ["pic6.JPEG", 1, "pic6.JPEG"]]) {
    const { context, page } = await drawnPage(null);
    const download = page.waitForEvent("download", { timeout: 10000 }).catch(() => null);
    await page.keyboard.press("Control+KeyS");
    await page.locator("#vellum-message input.name").fill(typed);
    await page.locator("#vellum-message select.filter").selectOption({ index: filter - 1 });
    await page.locator("#vellum-message button", { hasText: "OK" }).click();
    const got = await download;
    if (!got) { fail(`"${typed}" (filter ${filter}): nothing was handed over`); await context.close(); continue; }
    await got.saveAs(`${work}/got`);
    const bytes = fs.readFileSync(`${work}/got`);
    const png = expectName.endsWith(".png");
    const want = /\.jpe?g$/i.test(expectName) ? await browserJpeg(page) : drawn;
    const said = await messageText(page);
    const drawnRgba = rgbaOfBmp(`${work}/drawn.bmp`).rgba;
    // A browser takes a leading dot off a download's name.
    if (got.suggestedFilename() !== expectName.replace(/^\./, ""))
      fail(`"${typed}" (filter ${filter}) was handed over as ${got.suggestedFilename()}, not ${expectName}`);
    else if (png ? !(await pngPixels(page, bytes)).equals(drawnRgba) : !bytes.equals(want))
      fail(`"${typed}" (filter ${filter}): the file differs from the driver's picture`);
    else if (!/^Saved/.test(said)) fail(`"${typed}": the page said "${said}"`);
    else console.log(`"${typed}" with filter ${filter} hands over ${expectName}, the driver's picture`);
    await ok(page);
    const shown = await title(page);
    if (shown !== `${expectName} - .:Vellum:.`) fail(`after saving ${expectName} the title is "${shown}"`);
    if (png) {
      // Opened again in the page: the canvas is the driver's picture byte for byte.
      const chooser = page.waitForEvent("filechooser");
      await page.keyboard.press("Control+KeyO");
      await (await chooser).setFiles(`${work}/got`);
      await waitUntil(page, () => document.title.startsWith("got"));
      const canvas = Buffer.from(await page.evaluate(() => {
        const c = document.getElementById("vellum-screen");
        return Array.from(c.getContext("2d").getImageData(0, 30, 240, 290).data);
      }));
      if (!canvas.equals(drawnRgba.subarray(240 * 30 * 4))) fail(`${expectName} opened again differs from the picture drawn`);
      else console.log(`${expectName} opened again is the picture drawn, byte for byte`);
      // Drawn on and saved with Ctrl+S: at once, no box, the title clean again.
      await page.mouse.move(30, 300); await page.mouse.down(); await page.mouse.up();
      if (!(await title(page)).startsWith("*")) fail("a changed picture's title has no unsaved mark");
      const again = page.waitForEvent("download", { timeout: 10000 }).catch(() => null);
      await page.keyboard.press("Control+KeyS");
      if (!(await again)) fail("Ctrl+S on a named picture handed nothing over");
      await page.waitForTimeout(200);
      if (await page.locator("#vellum-message").isVisible()) fail(`Ctrl+S showed "${await messageText(page)}"`);
      else if ((await title(page)) !== "got - .:Vellum:.") fail(`after Ctrl+S the title is "${await title(page)}"`);
      else console.log("Ctrl+S on a named picture saves at once, without a box");
    }
    await context.close();
  }

  // The save picker gives the file: the picture goes into it.
  {
    const { context, page } = await drawnPage("give");
    await page.evaluate(() => { window.pickedName = "picked"; });
    await page.keyboard.press("Control+KeyS");
    await page.waitForSelector("#vellum-message .icon.information", { timeout: 10000 });
    const written = Buffer.from(await page.evaluate(() => window.pickerWrites["picked"] || []));
    if (!written.equals(drawn)) fail(`the picked file holds ${written.length} bytes, not the driver's picture`);
    else console.log("the save picker's file gets the driver's picture");
    await ok(page);
    await context.close();
  }
  // The picker gives no file, or a file that cannot be written: a failed save, said so.
  for (const [mode, what] of [["abort", "is dismissed"], ["unwritable", "gives a file that cannot be written"]]) {
    const { context, page } = await drawnPage(mode);
    await page.keyboard.press("Control+KeyS");
    await page.waitForSelector("#vellum-message .icon.warning", { timeout: 10000 });
    const said = await messageText(page);
    if (said !== "The picture was not saved.") fail(`a picker that ${what}: the page said "${said}"`);
    else console.log(`a picker that ${what}: "${said}"`);
    await ok(page);
    await page.waitForTimeout(100);
    if (await page.locator("#vellum-message").isVisible()) fail(`after the ${mode}, the page said "${await messageText(page)}"`);
    if (!(await title(page)).startsWith("*")) fail(`after the ${mode} the picture is no longer marked unsaved`);
    await context.close();
  }
} finally {
  await browser.close();
  server.close();
  fs.rmSync(work, { recursive: true, force: true });
}
process.exit(failed ? 1 : 0);
