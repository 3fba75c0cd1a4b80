// What the browser keeps: a tab closed in mid-session offers its picture back on the next
// visit, exactly as it was; settings changed in a dialog are there after a reload.
//   node storage.mjs SITE_FOLDER
import path from "node:path";
import { serve } from "./serve.mjs";
import { canvasBytes, launch } from "./support.mjs";

const site = path.resolve(process.argv[2]);
let failed = false;
const fail = (why) => { console.error("FAIL: " + why); failed = true; };
const server = await serve(site);
const browser = await launch();
const url = `http://127.0.0.1:${server.address().port}/?screen=240x320&scale=1&lang=0409`;
const open = async (context) => {
  const page = await context.newPage();
  page.on("pageerror", (e) => fail("page error: " + e.message));
  await page.goto(url);
  return page;
};
try {
  const context = await browser.newContext({ viewport: { width: 240, height: 320 } });
  let page = await open(context);
  await page.waitForSelector("#vellum-screen[data-ready]", { timeout: 20000 });
  for (const [x0, y0, x1, y1] of [[40, 100, 120, 160], [60, 250, 200, 200]]) {
    await page.mouse.move(x0, y0); await page.mouse.down();
    for (let k = 1; k <= 6; ++k) await page.mouse.move(x0 + (x1 - x0) * k / 6, y0 + (y1 - y0) * k / 6);
    await page.mouse.up();
  }
  // Stylus settings from the pen page: anti-jump on.
  for (const [x, y] of [[50, 10], [20, 70], [140, 130]]) { await page.mouse.move(x, y); await page.mouse.down(); await page.mouse.up(); }
  await page.waitForSelector("#vellum-dialog .frame");
  await page.locator('#vellum-dialog [data-id="1001"]').click();
  await page.locator("#vellum-dialog button", { hasText: "OK" }).click();
  await page.waitForSelector("#vellum-dialog .frame", { state: "detached" });
  await page.mouse.move(50, 10); await page.mouse.down(); await page.mouse.up();
  const before = await canvasBytes(page);
  await page.waitForTimeout(300);  // the journal reaches IndexedDB
  await page.close({ runBeforeUnload: true });

  page = await open(context);
  const offer = page.locator("#vellum-message .text");
  await offer.waitFor({ timeout: 20000 });
  console.log("offered: " + (await offer.textContent()).slice(0, 60));
  await page.locator("#vellum-message button", { hasText: "Yes" }).click();
  await page.waitForSelector("#vellum-screen[data-ready]", { timeout: 20000 });
  // The picture below the status bar (whose undo slot starts afresh with the history).
  const below = (b) => b.subarray(240 * 30 * 4);
  const after = await canvasBytes(page);
  if (!below(after).equals(below(before))) {
    let n = 0; for (let i = 240 * 30 * 4; i < after.length; ++i) if (after[i] !== before[i]) ++n;
    fail(`the restored picture differs in ${n} bytes`);
  } else console.log("the closed tab's picture came back byte for byte");
  const settings = await page.evaluate(() => localStorage.getItem("vellum.settings"));
  if (!/antijump=1/.test(settings || "")) fail("the settings were not kept: " + settings);
  else console.log("settings kept across the reload");

  // A setting changed is in the store soon after the dialog's OK, before any page hide or
  // shutdown: a crash then does not lose it.
  for (const [x, y] of [[50, 10], [20, 70], [140, 130]]) { await page.mouse.move(x, y); await page.mouse.down(); await page.mouse.up(); }
  await page.waitForSelector("#vellum-dialog .frame");
  await page.locator('#vellum-dialog [data-id="1005"]').click();  // "smooth"
  await page.locator("#vellum-dialog button", { hasText: "OK" }).click();
  await page.waitForSelector("#vellum-dialog .frame", { state: "detached" });
  await page.waitForTimeout(100);
  const stored = await page.evaluate(() => localStorage.getItem("vellum.settings"));
  if (!/pen=4/.test(stored || "")) fail("a setting changed before a crash was lost: " + stored);
  else console.log("a setting changed before a crash is kept");
} finally {
  await browser.close();
  server.close();
}
process.exit(failed ? 1 : 0);
