// What the browser keeps for the page: the settings store in local storage, and the
// recovery journal's files in IndexedDB.
//
// The journal's files are written one by one, by name, as the program asks: each file is
// kept as numbered chunks (a replacement writes chunk 0, an append the next one), so an
// append never rewrites what is there and no write ever deletes a file it does not name.
// Every tab is a session of its own, with generation numbers of its own (a session's
// number times 2^20 and up), held with a Web Lock for the tab's life: another tab offers
// a session's pictures only once its lock is free (the tab closed or crashed), and takes
// the lock before it does, so that two tabs never offer the same picture. Writes run in
// order; a failed or stalled one is told to the program, which tells the user.
import { trace } from "./screen.js";
import { deliver } from "./program.js";

// ---- Settings ------------------------------------------------------------------------

const kSettingsKey = "vellum.settings";
// Local storage that throws (site data blocked): the program starts on its defaults and
// says that settings will not be kept.
let settingsBlocked = false;
try {
  localStorage.getItem(kSettingsKey);
} catch (e) {
  settingsBlocked = true;
}

// ---- The recovery journal --------------------------------------------------------------

const kDatabase = "vellum-recovery";
const kChunks = "chunks";  // key [name, n], value the bytes of chunk n of file name
const kSessionSpan = 2 ** 20;
const kStalled = 5000;     // a write pending this long counts as failed (ms)
const lockName = (session) => "vellum-session-" + session;

const journal = {
  db: null,
  files: new Map(),  // name -> number of chunks, for this tab's own appends
  queue: Promise.resolve(),
  pending: new Map(),  // write number -> when it was queued
  writes: 0,
  failure: "",  // why the last write failed, until the program takes it
  broken: false,  // a read failed: nothing stored is touched from then on
  told: false,  // the program has been told of a failure
};

// A failure the program did not ask about (its step is long done): it hears of it now.
function noteFailure(why) {
  journal.failure = journal.failure || why;
  if (journal.told) return;
  journal.told = true;
  deliver(() => Module._vellum_recovery_trouble());
}
// A write that never ends (a storage that stopped answering) counts as failed.
setInterval(() => {
  const now = performance.now();
  for (const since of journal.pending.values()) if (now - since > kStalled) noteFailure("stalled");
}, 1000);

const request = (r) => new Promise((resolve, reject) => {
  r.onsuccess = () => resolve(r.result);
  r.onerror = () => reject(r.error);
});
const done = (transaction) => new Promise((resolve, reject) => {
  transaction.oncomplete = () => resolve();
  transaction.onerror = () => reject(transaction.error);
  transaction.onabort = () => reject(transaction.error || new Error("aborted"));
});
const range = (name) => IDBKeyRange.bound([name, 0], [name, Infinity]);

// Takes a Web Lock and holds it until the tab goes; false when another tab holds it.
const heldLocks = new Set();
function claim(name) {
  if (heldLocks.has(name)) return Promise.resolve(true);
  return new Promise((resolve) => {
    navigator.locks.request(name, { ifAvailable: true }, (lock) => {
      if (!lock) { resolve(false); return undefined; }
      heldLocks.add(name);
      resolve(true);
      return new Promise(() => {});  // held for the tab's life
    }).catch(() => resolve(false));
  });
}

// Opens the database and lists its files; throws with the reason recovery is off.
async function openJournal() {
  if (typeof indexedDB === "undefined" || !indexedDB) throw new Error("this browser keeps no IndexedDB for the page");
  if (!navigator.locks) throw new Error("this browser cannot keep tabs apart (no Web Locks)");
  const open = indexedDB.open(kDatabase, 1);
  open.onupgradeneeded = () => open.result.createObjectStore(kChunks);
  journal.db = await request(open);
  const keys = await request(journal.db.transaction(kChunks).objectStore(kChunks).getAllKeys());
  for (const key of keys) {
    if (!Array.isArray(key) || typeof key[0] !== "string" || typeof key[1] !== "number")
      throw new Error("the browser's storage holds something this program did not write");
    journal.files.set(key[0], Math.max(journal.files.get(key[0]) || 0, key[1] + 1));
  }
}

async function readFile(name, limit, headOnly) {
  const store = journal.db.transaction(kChunks).objectStore(kChunks);
  const parts = [];
  let size = 0;
  if (headOnly) {
    // Chunk by chunk until the head is in.
    await new Promise((resolve, reject) => {
      const cursor = store.openCursor(range(name));
      cursor.onerror = () => reject(cursor.error);
      cursor.onsuccess = () => {
        const c = cursor.result;
        if (!c || size >= limit) { resolve(); return; }
        parts.push(c.value);
        size += c.value.length;
        c.continue();
      };
    });
  } else {
    for (const part of await request(store.getAll(range(name)))) {
      size += part.length;
      if (size > limit) return null;
      parts.push(part);
    }
  }
  if (!parts.length) return null;
  const bytes = new Uint8Array(headOnly ? Math.min(size, limit) : size);
  let at = 0;
  for (const part of parts) {
    const n = Math.min(part.length, bytes.length - at);
    bytes.set(part.subarray(0, n), at);
    at += n;
  }
  return bytes;
}

// A file kept aside for the user: copied under another name in the storage, and handed
// over as a download.
async function setAside(name, transaction) {
  const store = transaction.objectStore(kChunks);
  const parts = await request(store.getAll(range(name)));
  if (!parts.length) return;
  const aside = name + ".aside-" + Math.floor(Date.now() / 1000);
  parts.forEach((part, n) => store.put(part, [aside, n]));
  store.delete(range(name));
  const a = document.createElement("a");
  a.href = URL.createObjectURL(new Blob(parts, { type: "application/octet-stream" }));
  a.download = "vellum-" + aside;
  document.body.appendChild(a);
  a.click();
  a.remove();
  setTimeout(() => URL.revokeObjectURL(a.href), 10000);
}

async function write(op, name, bytes) {
  const transaction = journal.db.transaction(kChunks, "readwrite");
  const finished = done(transaction);  // watched from the start: it may end during an await
  const store = transaction.objectStore(kChunks);
  if (op === "replace") {
    store.delete(range(name));
    store.put(bytes, [name, 0]);
    journal.files.set(name, 1);
  } else if (op === "append") {
    const n = journal.files.get(name) || 0;
    store.put(bytes, [name, n]);
    journal.files.set(name, n + 1);
  } else if (op === "remove") {
    store.delete(range(name));
    journal.files.delete(name);
  } else if (op === "aside") {
    await setAside(name, transaction);
    journal.files.delete(name);
  }
  await finished;
}

export const pageCalls = {
  vellumSettingsRead() {
    if (settingsBlocked) return null;
    try { return localStorage.getItem(kSettingsKey); } catch (e) { settingsBlocked = true; return null; }
  },
  vellumSettingsWrite(text) {
    try { localStorage.setItem(kSettingsKey, text); return true; } catch (e) { return false; }
  },
  vellumSettingsKept() { return !settingsBlocked; },

  // The journal's place for this tab: its first generation number, or the reason there
  // is none (nothing stored is touched then).
  async vellumRecoveryOpen() {
    try {
      await openJournal();
      // A session above every generation stored (a base left alone included).
      let newest = 0;
      for (const name of journal.files.keys()) {
        const m = /^(?:journal|base)-(\d+)/.exec(name);
        if (m) newest = Math.max(newest, parseInt(m[1], 10));
      }
      let session = Math.floor(newest / kSessionSpan) + 1;
      while (!(await claim(lockName(session)))) ++session;
      return { first: session * kSessionSpan + 1 };
    } catch (e) {
      trace("recovery off: " + e);
      journal.broken = true;
      return { problem: e && e.message ? e.message : String(e) };
    }
  },
  vellumRecoveryNames() { return [...journal.files.keys()]; },
  async vellumRecoveryRead(name, limit, headOnly) {
    if (journal.broken) return null;
    try {
      return await readFile(name, limit, headOnly);
    } catch (e) {
      // The storage cannot be read: from now on nothing stored is touched.
      trace("read failed: " + e);
      journal.broken = true;
      journal.failure = "the browser's storage could not be read";
      return null;
    }
  },
  // Whether a session has ended (its tab closed or crashed): its lock is then this tab's.
  vellumRecoveryTakeOver(generation) { return claim(lockName(Math.floor(generation / kSessionSpan))); },
  vellumRecoveryWrite(op, name, bytes) {
    if (journal.broken) { journal.failure = journal.failure || "the browser's storage is not written"; return; }
    const id = ++journal.writes;
    journal.pending.set(id, performance.now());
    journal.queue = journal.queue.then(() => write(op, name, bytes)).catch((e) => {
      trace("write failed: " + e);
      noteFailure(e && e.name ? e.name : String(e));
    }).finally(() => journal.pending.delete(id));
  },
  vellumRecoveryFlush() { return journal.queue; },
  // A write failed, or has waited too long (a storage that never answers), since the last
  // call.
  vellumRecoveryTakeFailure() {
    const failed = journal.failure;
    journal.failure = "";
    return failed;
  },
};
