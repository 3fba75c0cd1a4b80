// Presentation: the emulated screen's size and scale from the page and its query
// (?screen=WxH&scale=N&lang=XXXX), the canvas that shows it, and what the program
// presents into it.
export const params = new URLSearchParams(location.search);
export const trace = (text) => { if (params.get("trace")) console.log(text); };
export const canvas = document.getElementById("vellum-screen");
const context = canvas.getContext("2d");
const kStrip = 240;

// The screen: the page divided by a whole scale at which the strips are comfortable: a
// fifth of the width or more, as full screen on the desktop; where fingers are the
// pointer, their 10-pixel buttons twice that in page pixels (about 5 mm); and never so
// large that the strips no longer fit across.
export let scale = parseInt(params.get("scale") || "0", 10);
if (!(scale >= 1 && scale <= 16)) {
  const fingers = window.matchMedia && window.matchMedia("(pointer: coarse)").matches;
  scale = Math.max(Math.ceil(window.innerWidth / 5 / kStrip), fingers ? 2 : 1);
  scale = Math.max(1, Math.min(scale, Math.floor(window.innerWidth / kStrip)));
}
// The width a multiple of 8, as the program's screen is: the page's own rounded down so
// that it fits, an asked one rounded up as the program would round it.
const asked = /^(\d+)x(\d+)$/.exec(params.get("screen") || "");
const pageSize = () => {
  let w = Math.floor(window.innerWidth / scale / 8) * 8, h = Math.floor(window.innerHeight / scale);
  if (asked) { w = Math.ceil(parseInt(asked[1], 10) / 8) * 8; h = parseInt(asked[2], 10); }
  return [Math.max(kStrip, Math.min(8192, w)), Math.max(160, Math.min(8192, h))];
};
export let [width, height] = pageSize();
canvas.width = width;
canvas.height = height;

// The screen follows the page's size (a window resized, a tablet turned), the picture
// keeping its own; a screen asked for in the query keeps its size, shown at the largest
// whole scale up to the chosen one that fits the page, or below 1 when even that does
// not fit. Points are mapped through the size shown.
const fit = () => {
  const room = Math.min(window.innerWidth / width, window.innerHeight / height);
  const shown = room >= scale ? scale : room >= 1 ? Math.floor(room) : room;
  canvas.style.width = width * shown + "px";
  canvas.style.height = height * shown + "px";
};
fit();
let resized = null;  // the program's answer to a new size, once it runs
export function onScreenResize(f) { resized = f; }
window.addEventListener("resize", () => {
  const [w, h] = pageSize();
  if (w !== width || h !== height) {
    width = w;
    height = h;
    // A new size clears the canvas; the program presents it whole at once.
    canvas.width = width;
    canvas.height = height;
    if (resized) resized(width, height);
  }
  fit();
});
// Message boxes and the name asked for Save As in the dialogs' 9 points, at the scale.
document.getElementById("vellum-message").style.fontSize = 12 * scale + "px";

export const language = /^[0-9a-fA-F]{4}$/.test(params.get("lang") || "") ? params.get("lang")
  : (navigator.language || "").toLowerCase().startsWith("ja") ? "0411" : "0409";
export const japanese = language === "0411";

// A page point of an event in screen pixels (fractions kept).
export const at = (e) => {
  const r = canvas.getBoundingClientRect();
  return [((e.clientX - r.left) * width) / r.width, ((e.clientY - r.top) * height) / r.height];
};

export const pageCalls = {
  // The program's image of the whole canvas, seen in place; only (x, y, w, h) is put.
  vellumPut(rgba, imageWidth, imageHeight, x, y, pw, ph) {
    context.putImageData(new ImageData(rgba, imageWidth, imageHeight), 0, 0, x, y, pw, ph);
  },
  vellumClosed() { canvas.style.opacity = "0.4"; },
};
