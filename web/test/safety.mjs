// The browser keeps a drawing as safely as the desktop: two tabs keep their journals
// apart and both come back, one offer each; a storage that cannot be read, written or had
// at all is told and never costs a drawing or a file command; blocked site data, files the
// browser cannot decode, huge pictures and a damaged journal are told; the page runs under
// its Content-Security-Policy; the service worker keeps to its own files and never mixes
// two builds.
//   node safety.mjs SITE_FOLDER
import fs from "node:fs";
import http from "node:http";
import os from "node:os";
import path from "node:path";
import { serve } from "./serve.mjs";
import { launch, waitUntil } from "./support.mjs";

const site = path.resolve(process.argv[2]);
const work = fs.mkdtempSync(path.join(os.tmpdir(), "vellum-web-safety-"));
let failed = false;
const fail = (why) => { console.error("FAIL: " + why); failed = true; };
const server = await serve(site);
const browser = await launch();
const base = `http://127.0.0.1:${server.address().port}/`;
const url = base + "?screen=240x320&scale=1&lang=0409&savepicker=0";

const message = (page) => page.locator("#vellum-message .text");
const click = (page, label) => page.locator("#vellum-message button", { hasText: label }).click();
// The text of the program's next message box (one with its mark: not the name asked for
// Save As), matching `like` when given, within a few seconds; null when none comes.
async function nextMessage(page, timeout = 8000, like = null) {
  const end = Date.now() + timeout;
  while (Date.now() < end) {
    const shown = await page.evaluate(() => {
      const box = document.getElementById("vellum-message");
      const marked = box.querySelector(".icon").className.trim() !== "icon";
      return box.style.display === "flex" && marked ? box.querySelector(".text").textContent : null;
    }).catch(() => null);
    if (shown !== null && (!like || like.test(shown))) return shown;
    await page.waitForTimeout(50);
  }
  return null;
}
async function ready(page) {
  await page.locator("#vellum-screen[data-ready]").waitFor({ timeout: 20000 });
}
async function stroke(page, x0, y0, x1, y1) {
  await page.mouse.move(x0, y0);
  await page.mouse.down();
  for (let k = 1; k <= 8; ++k) await page.mouse.move(x0 + ((x1 - x0) * k) / 8, y0 + ((y1 - y0) * k) / 8);
  await page.mouse.up();
}
// The picture below the status bar (whose undo slot starts afresh with a restore).
const picture = (page) => page.evaluate(() => {
  const c = document.getElementById("vellum-screen");
  return Array.from(c.getContext("2d").getImageData(0, 30, c.width, c.height - 30).data);
}).then((a) => Buffer.from(a));
async function open(context, address = url) {
  const page = await context.newPage();
  page.on("pageerror", (e) => fail("page error: " + e.message));
  await page.goto(address);
  return page;
}
// The recovery journal's files as the page stores them.
const storedNames = (page) => page.evaluate(() => new Promise((resolve) => {
  const r = indexedDB.open("vellum-recovery", 1);
  r.onsuccess = () => {
    const keys = r.result.transaction("chunks").objectStore("chunks").getAllKeys();
    keys.onsuccess = () => resolve([...new Set(keys.result.map((k) => k[0]))].sort());
  };
}));

// Each part on its own: one that fails (or throws) does not keep the others from running.
async function section(title, body) {
  if (process.env.ONLY && !title.includes(process.env.ONLY)) return;
  try {
    await body();
  } catch (e) {
    fail(`${title}: ${e.message.split("\n")[0]}`);
  }
}

try {
  // ---- Two tabs
  await section('Two tabs', async () => {
    const context = await browser.newContext({ viewport: { width: 240, height: 320 }, acceptDownloads: true });
    const a = await open(context);
    await ready(a);
    await stroke(a, 40, 100, 200, 160);
    const b = await open(context);
    if (await nextMessage(b, 3000)) fail("a second tab offered the first, still open, tab's picture");
    await ready(b);
    await stroke(b, 60, 250, 180, 120);
    await a.waitForTimeout(300);
    const pictures = [await picture(a), await picture(b)];
    const before = await storedNames(a);
    await a.close({ runBeforeUnload: true });
    await b.close({ runBeforeUnload: true });
    const back = [];
    const witnesses = [];
    for (let k = 0; k < 2; ++k) {
      const c = await open(context);
      const offer = await nextMessage(c);
      if (!offer || !/Restore it/.test(offer)) { fail(`tab ${k + 1} after the two was offered nothing (${offer})`); break; }
      await click(c, "Yes");
      await ready(c);
      back.push(await picture(c));
      witnesses.push(c);  // kept open: its picture is its own session's now
    }
    const found = pictures.map((p) => back.some((q) => q.equals(p)));
    if (found.every(Boolean)) console.log("two tabs closed unsaved give two offers and both pictures back byte for byte");
    else fail(`after two tabs: pictures back ${found} (journals before: ${before})`);
    const third = await open(context);
    if (await nextMessage(third, 3000)) fail("a third tab was offered a picture of a tab still open");
    await context.close();
  });

  // ---- A storage that cannot be read is never written
  await section('A storage that cannot be read is never written', async () => {
    const context = await browser.newContext({ viewport: { width: 240, height: 320 } });
    await context.addInitScript(() => {
      if (!location.search.includes("fault")) return;
      IDBObjectStore.prototype.getAllKeys = function () { throw new DOMException("The disk is unreadable", "UnknownError"); };
    });
    const a = await open(context);
    await ready(a);
    await stroke(a, 40, 100, 200, 160);
    await a.waitForTimeout(300);
    const kept = await picture(a);
    await a.close({ runBeforeUnload: true });
    const b = await open(context, url + "&fault=1");
    const said = await nextMessage(b);
    if (!said || !/recovery folder cannot be used/.test(said) || !/unreadable/.test(said)) fail(`a read error at start said "${said}"`);
    await click(b, "OK");
    await ready(b);
    await stroke(b, 30, 200, 200, 220);
    await b.waitForTimeout(300);
    await b.close({ runBeforeUnload: true });
    // Nothing stored was touched: the next tab gets the first picture back.
    const c = await open(context);
    const offer = await nextMessage(c);
    if (offer && /Restore it/.test(offer)) await click(c, "Yes");
    await ready(c);
    if (!offer || !(await picture(c)).equals(kept)) fail("after a read error the stored picture was lost");
    else console.log("a read error at start is told, recovery is off for the tab, and nothing stored is touched");
    await context.close();
  });

  // ---- Writes that fail are told, once
  await section('Writes that fail are told, once', async () => {
    const context = await browser.newContext({ viewport: { width: 240, height: 320 } });
    await context.addInitScript(() => {
      IDBObjectStore.prototype.put = function () { throw new DOMException("The quota has been exceeded.", "QuotaExceededError"); };
    });
    const a = await open(context);
    await ready(a);
    await stroke(a, 40, 100, 200, 160);
    const said = await nextMessage(a);
    if (!said || !/recovery journal/.test(said)) fail(`a failed write said "${said}"`);
    else {
      await click(a, "OK");
      await stroke(a, 40, 200, 200, 260);
      if (await nextMessage(a, 1500)) fail("a failed write was told twice");
      else console.log("a storage that refuses writes is told once, and drawing goes on");
    }
    await context.close();
  });

  // ---- No IndexedDB at all: no recovery, said, and every file command works
  await section('No IndexedDB at all: no recovery, said, and every file command works', async () => {
    const context = await browser.newContext({ viewport: { width: 240, height: 320 }, acceptDownloads: true });
    await context.addInitScript(() => { Object.defineProperty(window, "indexedDB", { value: undefined }); });
    const a = await open(context);
    const said = await nextMessage(a);
    if (!said || !/recovery folder cannot be used/.test(said)) fail(`without IndexedDB the page said "${said}"`);
    await click(a, "OK");
    await ready(a);
    await stroke(a, 40, 100, 200, 160);
    const download = a.waitForEvent("download", { timeout: 10000 }).catch(() => null);
    await a.keyboard.press("Control+KeyS");
    await a.locator("#vellum-message input.name").fill("kept");
    await click(a, "OK");
    const got = await download;
    const saved = await nextMessage(a, 8000, /Saved/);
    await click(a, "OK");
    await a.waitForTimeout(100);
    await a.keyboard.press("Control+KeyN");
    const asked = await nextMessage(a, 8000, /new picture/);
    await click(a, "Yes");
    if (!got || !/Saved/.test(saved || "") || !/new picture/.test(asked || ""))
      fail(`without IndexedDB: save ${!!got} "${saved}", new "${asked}"`);
    else console.log("without IndexedDB the page runs without recovery, says so, and saves");
    await context.close();
  });

  // ---- Site data blocked: defaults, and said
  await section('Site data blocked: defaults, and said', async () => {
    const context = await browser.newContext({ viewport: { width: 240, height: 320 } });
    await context.addInitScript(() => {
      Object.defineProperty(window, "localStorage", { get() { throw new DOMException("The operation is insecure.", "SecurityError"); } });
    });
    const a = await open(context);
    const said = await nextMessage(a);
    if (!said || !/cannot save its settings/.test(said)) fail(`with site data blocked the page said "${said}"`);
    else console.log("with site data blocked the page starts on its defaults and says so");
    await click(a, "OK");
    await ready(a);
    await context.close();
  });

  // ---- Settings that cannot be written are told; a NUL in them is kept
  await section('Settings that cannot be written are told; a NUL in them is kept', async () => {
    const context = await browser.newContext({ viewport: { width: 240, height: 320 } });
    await context.addInitScript(() => {
      if (!localStorage.getItem("vellum.settings")) localStorage.setItem("vellum.settings", "[setting]\nnote=a\u0000b\npen=2\n");
    });
    const a = await open(context);
    await ready(a);
    const stylus = async (id) => {
      for (const [x, y] of [[50, 10], [20, 70], [140, 130]]) { await a.mouse.move(x, y); await a.mouse.down(); await a.mouse.up(); }
      await a.waitForSelector("#vellum-dialog .frame");
      await a.locator(`#vellum-dialog [data-id="${id}"]`).click();
      await a.locator("#vellum-dialog button", { hasText: "OK" }).click();
      await a.waitForSelector("#vellum-dialog .frame", { state: "detached" });
      await a.mouse.move(50, 10); await a.mouse.down(); await a.mouse.up();
    };
    await stylus(1005);
    const stored = await a.evaluate(() => localStorage.getItem("vellum.settings"));
    if (!stored.includes("note=a\u0000b") || !/pen=4/.test(stored)) fail(`the stored settings lost a part: ${JSON.stringify(stored)}`);
    else console.log("a NUL in the stored settings and what follows it are kept");
    await a.evaluate(() => { Storage.prototype.setItem = function () { throw new DOMException("full", "QuotaExceededError"); }; });
    await a.waitForTimeout(1100);
    await stylus(1003);
    const said = await nextMessage(a);
    if (!said || !/cannot save its settings/.test(said)) fail(`settings that could not be written said "${said}"`);
    else console.log("settings that cannot be written are told");
    await context.close();
  });

  // ---- Files the browser cannot decode, huge pictures
  await section('Files the browser cannot decode, huge pictures', async () => {
    const files = path.join(work, "files");
    fs.mkdirSync(files);
    const png = Buffer.alloc(64);
    Buffer.from([0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a, 0, 0, 0, 13, 0x49, 0x48, 0x44, 0x52]).copy(png);
    png.writeUInt32BE(20000, 16); png.writeUInt32BE(20000, 20); png[24] = 8; png[25] = 2;
    fs.writeFileSync(path.join(files, "huge.png"), png);
    fs.writeFileSync(path.join(files, "empty.png"), Buffer.alloc(0));
    fs.writeFileSync(path.join(files, "text.jpg"), "not a picture");
    fs.writeFileSync(path.join(files, "cut.jpg"), Buffer.from([0xff, 0xd8, 0xff, 0xe0, 0, 16, 0x4a, 0x46]));
    const context = await browser.newContext({ viewport: { width: 240, height: 320 } });
    const a = await open(context);
    await ready(a);
    for (const name of ["huge.png", "empty.png", "text.jpg", "cut.jpg"]) {
      const chooser = a.waitForEvent("filechooser");
      const started = Date.now();
      await a.keyboard.press("Control+KeyO");
      await (await chooser).setFiles(path.join(files, name));
      const said = await nextMessage(a);
      if (said !== "The file could not be opened.") fail(`${name}: the page said "${said}"`);
      else if (Date.now() - started > 5000) fail(`${name} kept the page busy for ${Date.now() - started} ms`);
      await click(a, "OK");
      await a.waitForTimeout(100);
    }
    const left = await a.evaluate(() => Module.FS.readdir("/pictures").filter((n) => n !== "." && n !== ".."));
    if (left.length) fail("opened files stay in the page's memory: " + left);
    else console.log("files the browser cannot decode, and huge ones, are told; no copy stays in memory");
    await context.close();
  });

  // ---- A damaged journal: restored as far as it goes, said, kept for the user
  await section('A damaged journal: restored as far as it goes, said, kept for the user', async () => {
    const context = await browser.newContext({ viewport: { width: 240, height: 320 }, acceptDownloads: true });
    const a = await open(context);
    await ready(a);
    await stroke(a, 40, 100, 200, 160);
    await stroke(a, 40, 200, 200, 260);
    await a.waitForTimeout(300);
    await a.close({ runBeforeUnload: true });
    // A byte of the last stroke's record changed in the stored journal.
    const probe = await context.newPage();
    await probe.goto(base + "icon-192.png");
    await probe.evaluate(() => new Promise((resolve) => {
      const r = indexedDB.open("vellum-recovery", 1);
      r.onsuccess = () => {
        const store = r.result.transaction("chunks", "readwrite").objectStore("chunks");
        const keys = store.getAllKeys();
        keys.onsuccess = () => {
          const last = keys.result.filter((k) => k[0].startsWith("journal-")).pop();
          const get = store.get(last);
          get.onsuccess = () => {
            const bytes = new Uint8Array(get.result);
            bytes[20] ^= 0x55;
            store.put(bytes, last).onsuccess = () => resolve();
          };
        };
      };
    }));
    await probe.close();
    const b = await open(context);
    const download = b.waitForEvent("download", { timeout: 10000 }).catch(() => null);
    const offer = await nextMessage(b);
    if (!offer || !/Restore it/.test(offer)) fail(`a damaged journal: offered "${offer}"`);
    await click(b, "Yes");
    await b.waitForTimeout(300);
    const said = await nextMessage(b);
    const got = await download;
    if (!said || !/Only part of the picture/.test(said)) fail(`a damaged journal restored: "${said}"`);
    else if (!got) fail("the damaged journal was not handed to the user");
    else console.log("a damaged journal is restored as far as it goes, said, and handed to the user");
    await context.close();
  });

  // ---- The page under its Content-Security-Policy
  await section('The page under its Content-Security-Policy', async () => {
    const context = await browser.newContext({ viewport: { width: 240, height: 320 } });
    await context.addInitScript(() => {
      window.violations = [];
      document.addEventListener("securitypolicyviolation", (e) => window.violations.push(e.violatedDirective + " " + e.blockedURI));
    });
    const a = await open(context);
    await ready(a);
    await stroke(a, 40, 100, 200, 160);
    for (const [x, y] of [[50, 10], [20, 90], [140, 130]]) { await a.mouse.move(x, y); await a.mouse.down(); await a.mouse.up(); }
    await a.waitForSelector("#vellum-dialog .frame");
    await a.locator("#vellum-dialog button", { hasText: "Cancel" }).click();
    const policy = await a.evaluate(() => document.querySelector('meta[http-equiv="Content-Security-Policy"]')?.content || "");
    const violations = await a.evaluate(() => window.violations);
    const inline = await a.evaluate(() => [...document.scripts].filter((s) => !s.src).length);
    if (!/default-src 'self'/.test(policy) || !/object-src 'none'/.test(policy) || !/base-uri 'none'/.test(policy))
      fail("the page's policy: " + policy);
    else if (violations.length || inline) fail(`under the policy: ${violations.length} violations (${violations}), ${inline} inline scripts`);
    else console.log("the page runs under its Content-Security-Policy without a violation");
    await context.close();
  });

  // ---- The service worker: its own files, from its own cache
  await section('The service worker: its own files, from its own cache', async () => {
    const context = await browser.newContext({ viewport: { width: 240, height: 320 } });
    const a = await open(context);
    await ready(a);
    await waitUntil(a, () => navigator.serviceWorker.controller !== null, undefined, 15000).catch(() => {});
    await a.reload();
    await ready(a);
    const answers = await a.evaluate(async () => {
      const other = await caches.open("another-app");
      await other.put(new URL("elsewhere.txt", location.href).href, new Response("another app's"));
      const nested = await fetch("nested/");
      const elsewhere = await fetch("elsewhere.txt");
      return { controlled: !!navigator.serviceWorker.controller, nested: nested.status, elsewhere: elsewhere.status,
               elsewhereText: await elsewhere.text() };
    });
    if (!answers.controlled) fail("the service worker does not control the page");
    else if (answers.nested === 200 || answers.elsewhereText === "another app's")
      fail(`the service worker answered what is not its own: ${JSON.stringify(answers)}`);
    else console.log("the service worker answers only the site's own files, from its own cache");
    await context.close();
  });

  // ---- A new build is never kept beside the old one's files
  await section("A new build is never kept beside the old one's files", async () => {
    // A copy of the site behind a server whose answers say "keep for an hour": build 1,
    // then build 2 (a changed vellum.js and worker stamp) installs build 2's files.
    const copy = path.join(work, "site");
    fs.cpSync(site, copy, { recursive: true });
    const cached = http.createServer((request, response) => {
      const name = decodeURIComponent(new URL(request.url, "http://x").pathname);
      const file = path.join(copy, name === "/" ? "index.html" : name);
      if (!file.startsWith(copy) || !fs.existsSync(file) || fs.statSync(file).isDirectory()) { response.writeHead(404); response.end(); return; }
      const type = { ".html": "text/html", ".js": "text/javascript", ".wasm": "application/wasm", ".css": "text/css" }[path.extname(file)];
      response.writeHead(200, { "Content-Type": type || "application/octet-stream", "Cache-Control": name === "/sw.js" ? "no-cache" : "max-age=3600" });
      fs.createReadStream(file).pipe(response);
    });
    await new Promise((resolve) => cached.listen(0, "127.0.0.1", resolve));
    const address = `http://127.0.0.1:${cached.address().port}/?screen=240x320&scale=1&lang=0409`;
    const context = await browser.newContext({ viewport: { width: 240, height: 320 } });
    const a = await open(context, address);
    await ready(a);
    await waitUntil(a, () => navigator.serviceWorker.controller !== null, undefined, 15000).catch(() => {});
    fs.appendFileSync(path.join(copy, "vellum.js"), "\n// build 2\n");
    const sw = fs.readFileSync(path.join(copy, "sw.js"), "utf8").replace(/const kCache = "vellum-[^"]*"/, 'const kCache = "vellum-build-2"');
    fs.writeFileSync(path.join(copy, "sw.js"), sw);
    const installed = await a.evaluate(async () => {
      const registration = await navigator.serviceWorker.getRegistration();
      await registration.update();
      // Installed once its cache holds every file (addAll puts them all at once).
      const key = new URL("vellum.js", location.href).href;
      let script;
      for (let k = 0; k < 150 && !script; ++k) {
        if (await caches.has("vellum-build-2")) script = await (await caches.open("vellum-build-2")).match(key);
        if (!script) await new Promise((r) => setTimeout(r, 100));
      }
      return script ? (await script.text()).includes("// build 2") : null;
    });
    if (installed !== true) fail(`a new build's worker kept ${installed === null ? "no" : installed === false ? "the old" : installed} vellum.js`);
    else console.log("a new build installs its own files, never the HTTP cache's old ones");
    await context.close();
    cached.close();
  });
} finally {
  await browser.close();
  server.close();
  fs.rmSync(work, { recursive: true, force: true });
}
process.exit(failed ? 1 : 0);
