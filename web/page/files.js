// Files: the chooser's pictures (a PNG or JPEG decoded here and handed to the program as
// a BMP in its folder of pictures), the name for Save As (the browser's save picker or a
// box of our own), and the file the program wrote handed over to the user.
import { params, trace } from "./screen.js";
import { modalBegan, modalEnded } from "./program.js";
import { askName } from "./dialogs.js";
import { filterOfName, safeName } from "./names.js";

// The file the save picker gave for the Save As under way, and the picked files by the
// path the program saved into them.
let pickedHandle = null;
const savedHandles = new Map();
const mimeOf = (name) => (/\.png$/i.test(name) ? "image/png" : /\.jpe?g$/i.test(name) ? "image/jpeg" : "image/bmp");

// The reader's limits, as the program's own (a larger picture is refused before it is
// decoded: a few hundred bytes of PNG may claim gigabytes of pixels).
const kMaxSide = 32768, kMaxPixelBytes = 256 * 2 ** 20;

// A PNG's or JPEG's size from its header, or null when the header does not say.
function declaredSize(bytes) {
  const v = new DataView(bytes.buffer, bytes.byteOffset, bytes.byteLength);
  if (bytes.length >= 24 && v.getUint32(0) === 0x89504e47 && v.getUint32(12) === 0x49484452)
    return { w: v.getUint32(16), h: v.getUint32(20) };
  if (bytes.length >= 4 && bytes[0] === 0xff && bytes[1] === 0xd8) {
    // The first frame header among the markers.
    for (let at = 2; at + 9 < bytes.length;) {
      if (bytes[at] !== 0xff) return null;
      const marker = bytes[at + 1];
      if (marker === 0xff) { ++at; continue; }
      const length = v.getUint16(at + 2);
      if (marker >= 0xc0 && marker <= 0xcf && marker !== 0xc4 && marker !== 0xc8 && marker !== 0xcc)
        return { w: v.getUint16(at + 7), h: v.getUint16(at + 5) };
      at += 2 + length;
    }
  }
  return null;
}

// What the program is handed for a chosen file: a BMP as it is (the program reads it); a
// PNG or JPEG within the limits decoded here into a BMP; anything else (empty, not a
// picture, damaged, too large) as it is, so that the program tells the user it cannot
// be opened.
async function pictureBytes(file) {
  const bytes = new Uint8Array(await file.arrayBuffer());
  if (bytes.length >= 2 && bytes[0] === 0x42 && bytes[1] === 0x4d) return bytes;
  const size = declaredSize(bytes);
  if (!size || size.w < 1 || size.h < 1 || size.w > kMaxSide || size.h > kMaxSide || size.w * size.h * 3 > kMaxPixelBytes)
    return bytes;
  let bitmap;
  try {
    bitmap = await createImageBitmap(new Blob([bytes]));
  } catch (e) {
    return bytes;
  }
  const c = document.createElement("canvas");
  c.width = bitmap.width;
  c.height = bitmap.height;
  const g = c.getContext("2d");
  g.fillStyle = "#fff";
  g.fillRect(0, 0, c.width, c.height);
  g.drawImage(bitmap, 0, 0);
  bitmap.close();
  return bmpOf(g.getImageData(0, 0, c.width, c.height));
}
function bmpOf(image) {
  const { width: w, height: h, data } = image;
  const stride = (w * 3 + 3) & ~3, size = 54 + stride * h;
  const out = new Uint8Array(size), v = new DataView(out.buffer);
  out[0] = 0x42; out[1] = 0x4d;
  v.setUint32(2, size, true); v.setUint32(10, 54, true); v.setUint32(14, 40, true);
  v.setInt32(18, w, true); v.setInt32(22, h, true); v.setUint16(26, 1, true); v.setUint16(28, 24, true);
  v.setUint32(34, stride * h, true);
  for (let y = 0; y < h; ++y)
    for (let x = 0; x < w; ++x) {
      const s = 4 * (y * w + x), d = 54 + (h - 1 - y) * stride + 3 * x;
      out[d] = data[s + 2]; out[d + 1] = data[s + 1]; out[d + 2] = data[s];
    }
  return out;
}
export const pageCalls = {
  // The program has read a chosen picture: its copy leaves the page's memory.
  vellumPictureRead(path) {
    try { Module.FS.unlink(path); } catch (e) { /* not there */ }
  },
  vellumChooseOpen() {
    modalBegan();
    return new Promise((resolve) => {
      const input = document.createElement("input");
      input.type = "file";
      input.accept = ".bmp,.png,.jpg,.jpeg,image/bmp,image/png,image/jpeg";
      let done = false;
      const finish = (name) => { if (done) return; done = true; resolve(name); modalEnded(); };
      input.addEventListener("cancel", () => finish(null));
      input.addEventListener("change", async () => {
        const file = input.files && input.files[0];
        if (!file) { finish(null); return; }
        try {
          Module.FS.writeFile("/pictures/" + safeName(file.name), await pictureBytes(file));
          finish(safeName(file.name));
        } catch (e) {
          trace("cannot hand over " + file.name + ": " + e);
          finish(null);
        }
      });
      input.click();
    });
  },
  // Save As: the name (and filter) the user gives, null when cancelled, or {failed}
  // when the browser's save picker gave no file.
  async vellumChooseSave(initial, filters, filterIndex) {
    const usePicker = window.showSaveFilePicker && params.get("savepicker") !== "0";
    pickedHandle = null;
    modalBegan();
    try {
      if (usePicker) {
        try {
          pickedHandle = await window.showSaveFilePicker({ suggestedName: initial.includes(".") ? initial : initial + ".bmp" });
          const f = filterOfName(pickedHandle.name, filterIndex);
          return { name: safeName(pickedHandle.name), filter: f <= filters.length ? f : filterIndex };
        } catch (e) {
          return { failed: true };
        }
      }
      return await askName(initial, filters, filterIndex);
    } finally {
      modalEnded();
    }
  },
  // The file the program just wrote, named exactly: into the file the save picker gave
  // for it (and for its later saves), else as a download under its own name. The
  // written copy then leaves the page's memory. False when it could not be handed on.
  async vellumHandOver(path) {
    trace("hand over " + path);
    try {
      const bytes = Module.FS.readFile(path);
      const name = path.slice(path.lastIndexOf("/") + 1);
      if (pickedHandle) { savedHandles.set(path, pickedHandle); pickedHandle = null; }
      const handle = savedHandles.get(path);
      if (handle) {
        const writable = await handle.createWritable();
        await writable.write(bytes);
        await writable.close();
      } else {
        const a = document.createElement("a");
        a.href = URL.createObjectURL(new Blob([bytes], { type: mimeOf(name) }));
        a.download = name;
        document.body.appendChild(a);
        a.click();
        a.remove();
        setTimeout(() => URL.revokeObjectURL(a.href), 10000);
      }
      Module.FS.unlink(path);
      return true;
    } catch (e) {
      trace("hand over failed: " + e);
      return false;
    }
  },
};
