// What the browser keeps for the page: the settings store in local storage, the recovery
// journal's folder in IndexedDB (read in before the program starts, written out shortly
// after each change).
let persistTimer = 0;

// Reads the journal's folder in; resolves when the program may start.
export async function mountRecovery() {
  Module.FS.mkdir("/state");
  Module.FS.mount(Module.FS.filesystems.IDBFS, {}, "/state");
  await new Promise((resolve) => Module.FS.syncfs(true, () => resolve()));
}
// The tab goes: what is not written yet is written now.
export function persistNow() { Module.FS.syncfs(false, () => {}); }

export const pageCalls = {
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
};
