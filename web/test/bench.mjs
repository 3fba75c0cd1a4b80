// The page measured: the stroke benchmark in headless chromium beside the native
// bench_stroke, in turns, so that both see the same machine (per round the native stroke
// cases, Google Benchmark real time, then the page's same cases by the page's clock, and
// the ratio of each); the first paint from a warm cache; the page's files compressed.
//   node bench.mjs WEB_BUILD BENCH_STROKE [ROUNDS] [MIN_MILLIS]
// With ROUNDS 0 it only checks that the benchmark page runs every case and that the
// page's files stay within 2 MB compressed (the tests do that).
import { execFileSync } from "node:child_process";
import fs from "node:fs";
import os from "node:os";
import path from "node:path";
import zlib from "node:zlib";
import { serve } from "./serve.mjs";
import { launch } from "./support.mjs";

const web = path.resolve(process.argv[2]);
const folder = path.join(web, "bench"), site = path.join(web, "site");
const native = process.argv[3];
const rounds = parseInt(process.argv[4] ?? "5", 10);
const minMillis = parseFloat(process.argv[5] ?? "500");
const names = ["BM_Stroke/zoomshift:0/ref:0/big:0", "BM_Stroke/zoomshift:2/ref:0/big:0", "BM_Stroke/zoomshift:0/ref:0/big:1"];
const labels = { [names[0]]: "240x320 zoom 1", [names[1]]: "240x320 zoom 4", [names[2]]: "1920x1080 zoom 1" };

const scratch = fs.mkdtempSync(path.join(os.tmpdir(), "vellum-bench-"));
const nativeRound = () => {
  const file = path.join(scratch, "native.json");
  execFileSync(native, ["--benchmark_filter=BM_Stroke/.*/ref:0/.*", `--benchmark_out=${file}`, "--benchmark_out_format=json",
                        `--benchmark_min_time=${minMillis / 1000}`], { stdio: "ignore" });
  const result = {};
  for (const b of JSON.parse(fs.readFileSync(file, "utf8")).benchmarks)
    result[b.name] = b.real_time * { ns: 1e-3, us: 1, ms: 1e3 }[b.time_unit];
  return result;
};

// Every file the page serves, gzip-compressed as a server would send it.
let compressed = 0;
for (const name of fs.readdirSync(site))
  if (fs.statSync(path.join(site, name)).isFile()) compressed += zlib.gzipSync(fs.readFileSync(path.join(site, name)), { level: 9 }).length;
console.log(`the page's files: ${(compressed / 1024).toFixed(0)} KB compressed`);
let status = 0;
if (compressed > 2 * 1024 * 1024) { console.error("FAIL: the page's files exceed 2 MB compressed"); status = 1; }

const server = await serve(folder);
const browser = await launch();
try {
  const page = await browser.newPage();
  page.on("pageerror", (e) => { console.error("page error: " + e.message); status = 1; });
  await page.goto(`http://127.0.0.1:${server.address().port}/`);
  await page.waitForSelector("body[data-ready]", { timeout: 20000 });
  if (rounds === 0) {
    const web = await page.evaluate(() => window.runBench(5));
    for (const name of names)
      if (!(web[name] > 0)) { console.error(`FAIL: ${name} gave ${web[name]}`); status = 1; }
  }
  const ratios = Object.fromEntries(names.map((n) => [n, []]));
  for (let round = 1; round <= rounds; ++round) {
    const nat = nativeRound();
    const web = await page.evaluate((ms) => window.runBench(ms), minMillis);
    const line = names.map((n) => {
      ratios[n].push(web[n] / nat[n]);
      return `${labels[n]}: native ${(nat[n] / 1000).toFixed(3)} us/point, page ${(web[n] / 1000).toFixed(3)}, ${(web[n] / nat[n]).toFixed(2)}x`;
    });
    console.log(`round ${round}: ${line.join("; ")}`);
  }
  if (rounds > 0) {
    console.log("--- page / native, per point (median, spread over rounds) ---");
    for (const n of names) {
      const r = ratios[n].slice().sort((a, b) => a - b);
      console.log(`${labels[n]}: ${r[r.length >> 1].toFixed(2)}x (${r[0].toFixed(2)}-${r[r.length - 1].toFixed(2)})`);
    }
    // First paint: from navigation to the first screen on the canvas, at 800 x 1280, once
    // the service worker keeps the files (a warm cache).
    const siteServer = await serve(site);
    const context = await browser.newContext({ viewport: { width: 800, height: 1280 } });
    const p = await context.newPage();
    const readyAt = async () => {
      await p.waitForSelector("#vellum-screen[data-ready]", { timeout: 20000 });
      return p.evaluate(() => performance.getEntriesByName("vellum-ready")[0].startTime);
    };
    await p.goto(`http://127.0.0.1:${siteServer.address().port}/?lang=0409`);
    await readyAt();
    await p.evaluate(() => navigator.serviceWorker.ready);
    const paints = [];
    for (let k = 0; k < 2 + 7; ++k) {
      await p.reload();
      const ms = await readyAt();
      if (k >= 2) paints.push(ms);  // two reloads to settle the worker and the code cache
    }
    paints.sort((a, b) => a - b);
    console.log(`first paint, warm cache, 7 reloads: min ${paints[0].toFixed(0)} / median ${paints[3].toFixed(0)} / max ${paints[6].toFixed(0)} ms`);
    await context.close();
    siteServer.close();
  }
} finally {
  await browser.close();
  server.close();
  fs.rmSync(scratch, { recursive: true, force: true });
}
process.exit(status);
