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
async function pictureBytes(file) {
  const bytes = new Uint8Array(await file.arrayBuffer());
  if (bytes.length >= 2 && bytes[0] === 0x42 && bytes[1] === 0x4d) return bytes;  // BMP: the program's reader
  const bitmap = await createImageBitmap(file);
  const c = document.createElement("canvas");
  c.width = bitmap.width;
  c.height = bitmap.height;
  const g = c.getContext("2d");
  g.fillStyle = "#fff";
  g.fillRect(0, 0, c.width, c.height);
  g.drawImage(bitmap, 0, 0);
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
