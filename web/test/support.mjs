// What the page's tests share: the browser, the canvas's pixels, and a BMP's pixels in the
// canvas's order.
import { chromium } from "playwright-core";
import fs from "node:fs";

// Debian's headless chromium.
export const launch = () => chromium.launch({ executablePath: "/usr/bin/chromium", args: ["--no-sandbox"] });

// The page's screen as RGBA rows, top row first.
export const canvasBytes = (page) => page.evaluate(() => {
  const c = document.getElementById("vellum-screen");
  return Array.from(c.getContext("2d").getImageData(0, 0, c.width, c.height).data);
}).then((a) => Buffer.from(a));

// A 24-bit BMP file (bottom-up BGR rows) as RGBA rows, top row first, with its size.
export function rgbaOfBmp(file) {
  const bmp = fs.readFileSync(file);
  const offset = bmp.readUInt32LE(10), width = bmp.readInt32LE(18), height = bmp.readInt32LE(22);
  const stride = (width * 3 + 3) & ~3, rgba = Buffer.alloc(width * height * 4);
  for (let y = 0; y < height; ++y) for (let x = 0; x < width; ++x) {
    const s = offset + (height - 1 - y) * stride + 3 * x, d = 4 * (y * width + x);
    rgba[d] = bmp[s + 2]; rgba[d + 1] = bmp[s + 1]; rgba[d + 2] = bmp[s]; rgba[d + 3] = 255;
  }
  return { rgba, width, height };
}

// Waits until fn (evaluated in the page) is true: polled from here, since the page's
// Content-Security-Policy forbids the string evaluation playwright's own wait uses.
export async function waitUntil(page, fn, arg, timeout = 10000) {
  const end = Date.now() + timeout;
  while (!(await page.evaluate(fn, arg))) {
    if (Date.now() > end) throw new Error("timed out waiting for " + fn);
    await page.waitForTimeout(50);
  }
}
