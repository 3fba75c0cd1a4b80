// The page: the program in a canvas. The modules each bring the calls the program makes on
// the page for their concern (screen, program, dialogs, files, storage); they are put
// together here as the emscripten Module, checked against the one list of names both sides
// use, and the program is loaded and started.
import * as screen from "./screen.js";
import * as program from "./program.js";
import * as dialogs from "./dialogs.js";
import * as files from "./files.js";
import * as storage from "./storage.js";
import { startInput } from "./input.js";
import { checkExchange } from "./exchange.js";

window.Module = {
  ...screen.pageCalls, ...program.pageCalls, ...dialogs.pageCalls, ...files.pageCalls, ...storage.pageCalls,
  async onRuntimeInitialized() {
    checkExchange(Module);
    const startWidth = screen.width, startHeight = screen.height;
    const ok = Module.ccall("vellum_start", "number", ["number", "number", "string"],
                            [startWidth, startHeight, screen.language], { async: true });
    Promise.resolve(ok).then(() => {
      program.markStarted();
      // The screen follows the page from now on, a change while it started included.
      const resize = (w, h) => program.deliver(() => Module._vellum_resize(w, h));
      screen.onScreenResize(resize);
      if (screen.width !== startWidth || screen.height !== startHeight) resize(screen.width, screen.height);
      startInput();
      screen.canvas.setAttribute("data-ready", "");
      performance.mark("vellum-ready");  // the first screen is on the canvas
      screen.canvas.focus();
    });
  },
};

// The program, now that the page is ready for it.
const script = document.createElement("script");
script.src = "vellum.js";
document.body.appendChild(script);

if ("serviceWorker" in navigator) navigator.serviceWorker.register("sw.js").catch(() => {});
