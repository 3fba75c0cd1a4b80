// Files in the page against the headless driver: Open of a BMP and of a PNG (decoded by the
// browser, at its own size) gives the driver's screen; Ctrl+S hands over a
// BMP byte for byte the driver's, at once; Save As with a .jpg name hands over the browser's JPEG of the
// same picture at the stored quality.
//   node files.mjs SITE_FOLDER SCENARIO_DRIVER SOURCE_FOLDER
import { execFileSync } from "node:child_process";
import fs from "node:fs";
import os from "node:os";
import path from "node:path";
import { serve } from "./serve.mjs";
import { canvasBytes, launch, rgbaOfBmp, waitUntil } from "./support.mjs";

const site = path.resolve(process.argv[2]);
const driver = process.argv[3];
const source = path.resolve(process.argv[4]);
const work = fs.mkdtempSync(path.join(os.tmpdir(), "vellum-web-files-"));
const png = path.join(source, "tests/scenario/bands-640x480.png");
let failed = false;
const fail = (why) => { console.error("FAIL: " + why); failed = true; };

// A small BMP of our own to open: a gradient.
function writeBmp(file, w, h, colour) {
  const stride = (w * 3 + 3) & ~3, size = 54 + stride * h;
  const out = Buffer.alloc(size);
  out.write("BM", 0); out.writeUInt32LE(size, 2); out.writeUInt32LE(54, 10); out.writeUInt32LE(40, 14);
  out.writeInt32LE(w, 18); out.writeInt32LE(h, 22); out.writeUInt16LE(1, 26); out.writeUInt16LE(24, 28);
  out.writeUInt32LE(stride * h, 34);
  for (let y = 0; y < h; ++y) for (let x = 0; x < w; ++x) {
    const [r, g, b] = colour(x, y), d = 54 + (h - 1 - y) * stride + 3 * x;
    out[d] = b; out[d + 1] = g; out[d + 2] = r;
  }
  fs.writeFileSync(file, out);
}
const picture = path.join(work, "gradient.bmp");
writeBmp(picture, 200, 150, (x, y) => [x, y, (x * y) & 255]);

// The driver: open the BMP (Ctrl+O), draw, save over it (Ctrl+S, no questions), then open
// the PNG (Shrink it? Yes).
const driverDir = path.join(work, "driver");
fs.mkdirSync(driverDir);
fs.copyFileSync(picture, path.join(driverDir, "gradient.bmp"));
const script = `screen 240 320\nlanguage 0411\nstart\nchoose ${driverDir}/gradient.bmp\nkeydown 79 ctrl\n` +
  `dump window ${work}/opened.bmp\ndown 50 200\nmove 70 210\nmove 90 230\nup 90 230\n` +
  `keydown 83 ctrl\nchoose ${png}\nkeydown 79 ctrl\n` +
  `dump window ${work}/png.bmp\n`;
fs.writeFileSync(`${work}/session.scn`, script);
execFileSync(driver, [`${work}/session.scn`], { stdio: "ignore" });

const server = await serve(site);
const browser = await launch();
// The canvas once it shows the expected bytes, or after five seconds whatever it shows.
const settled = async (page, expected) => {
  let bytes = await canvasBytes(page);
  for (let k = 0; k < 50 && !bytes.equals(expected); ++k) {
    await page.waitForTimeout(100);
    bytes = await canvasBytes(page);
  }
  return bytes;
};
// An answer, then a moment: the program takes the page's events again from the next task.
const answer = async (page, label) => {
  await page.locator("#vellum-message button", { hasText: label }).click();
  await page.waitForTimeout(50);
};
try {
  const context = await browser.newContext({ viewport: { width: 240, height: 320 }, acceptDownloads: true });
  const page = await context.newPage();
  page.on("pageerror", (e) => fail("page error: " + e.message + "\n" + e.stack));
  page.on("console", (m) => process.env.VELLUM_WEB_CONSOLE && console.log("console:", m.text()));
  const url = `http://127.0.0.1:${server.address().port}/?screen=240x320&scale=1&lang=0411&savepicker=0&trace=1`;
  await page.goto(url);
  await page.waitForSelector("#vellum-screen[data-ready]", { timeout: 20000 });
  await page.locator("#vellum-screen").focus();

  let chooser = page.waitForEvent("filechooser");
  await page.keyboard.press("Control+KeyO");
  await (await chooser).setFiles(picture);
  await waitUntil(page, () => document.title.length > 0);
  const opened = rgbaOfBmp(`${work}/opened.bmp`).rgba;
  if (!(await settled(page, opened)).equals(opened)) fail("the opened BMP differs from the driver's");

  await page.mouse.move(50, 200); await page.mouse.down(); await page.mouse.move(70, 210);
  await page.mouse.move(90, 230); await page.mouse.up();
  const download = page.waitForEvent("download");
  await page.keyboard.press("Control+KeyS");
  const saved = await download;
  await saved.saveAs(`${work}/saved-by-page.bmp`);
  if (saved.suggestedFilename() !== "gradient.bmp") fail(`the download is named ${saved.suggestedFilename()}`);
  if (!fs.readFileSync(`${work}/saved-by-page.bmp`).equals(fs.readFileSync(`${driverDir}/gradient.bmp`)))
    fail("the saved BMP differs from the driver's");
  else console.log("Save hands over the driver's BMP byte for byte");

  // Save As with a .jpg name: the browser's encoder at the stored quality (level 10, 100 %)
  // over the same picture, byte for byte what the page's own canvas gives at that quality.
  const jpegDownload = page.waitForEvent("download");
  await page.keyboard.press("Control+Shift+KeyS");
  await page.locator("#vellum-message input.name").fill("gradient.jpg");
  await page.locator("#vellum-message button", { hasText: "OK" }).click();
  const jpeg = await jpegDownload;
  await jpeg.saveAs(`${work}/saved-by-page.jpg`);
  await answer(page, "OK");
  const jpegBytes = fs.readFileSync(`${work}/saved-by-page.jpg`);
  const picked = rgbaOfBmp(`${driverDir}/gradient.bmp`);
  const expectedJpeg = Buffer.from(await page.evaluate(async ([rgba, w, h]) => {
    const c = document.createElement("canvas");
    c.width = w; c.height = h;
    c.getContext("2d").putImageData(new ImageData(new Uint8ClampedArray(rgba), w, h), 0, 0);
    const blob = await new Promise((resolve) => c.toBlob(resolve, "image/jpeg", 1));
    return Array.from(new Uint8Array(await blob.arrayBuffer()));
  }, [Array.from(picked.rgba), picked.width, picked.height]));
  if (jpeg.suggestedFilename() !== "gradient.jpg") fail(`the JPEG download is named ${jpeg.suggestedFilename()}`);
  else if (!jpegBytes.equals(expectedJpeg)) fail(`the saved JPEG (${jpegBytes.length} bytes) is not the browser's encoding of the picture (${expectedJpeg.length})`);
  else console.log("Save As a .jpg hands over the browser's JPEG of the picture at the stored quality");

  chooser = page.waitForEvent("filechooser");
  await page.keyboard.press("Control+KeyO");
  await (await chooser).setFiles(png);
  const expected = rgbaOfBmp(`${work}/png.bmp`).rgba;
  const shown = await settled(page, expected);
  if (!shown.equals(expected)) {
    let n = 0; for (let i = 0; i < shown.length; ++i) if (shown[i] !== expected[i]) ++n;
    fail(`the opened PNG differs from the driver's in ${n} bytes`);
  } else console.log("Open of a BMP and of a PNG gives the driver's canvas");
  await page.screenshot({ path: `${work}/page.png` });
  console.log(`screenshot: ${work}/page.png`);
} finally {
  await browser.close();
  server.close();
}
process.exit(failed ? 1 : 0);
