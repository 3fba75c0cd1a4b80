// What the page and the program exchange, in one list: the calls the program makes on the
// page (Module.vellum..., from the EM_JS functions of platform/web/) and the calls the page
// makes into the program (its EMSCRIPTEN_KEEPALIVE exports). The page checks both once the
// program is loaded, so that a name changed on one side only is found at once.
export const kPageCalls = [
  // presentation
  "vellumPut", "vellumClosed",
  // the program's timers
  "vellumSetTimer", "vellumKillTimer",
  // questions and dialogs
  "vellumMessage", "vellumDialogOpen", "vellumDialogControl", "vellumDialogFocus", "vellumDialogClose",
  "vellumDialogNextEvent", "vellumSuspended",
  // files
  "vellumChooseOpen", "vellumChooseSave", "vellumHandOver", "vellumPictureRead",
  // storage
  "vellumSettingsRead", "vellumSettingsWrite", "vellumSettingsKept", "vellumRecoveryOpen", "vellumRecoveryNames",
  "vellumRecoveryRead", "vellumRecoveryTakeOver", "vellumRecoveryWrite", "vellumRecoveryFlush",
  "vellumRecoveryTakeFailure",
];

export const kProgramCalls = [
  "_vellum_start", "_vellum_points", "_vellum_points_capacity", "_vellum_pen_down", "_vellum_pen_move",
  "_vellum_pen_up", "_vellum_key", "_vellum_wheel", "_vellum_pan", "_vellum_resize", "_vellum_undo", "_vellum_redo",
  "_vellum_timer",
  "_vellum_focus", "_vellum_recovery_trouble", "_vellum_page_hidden",
];

// Throws naming what one side lacks.
export function checkExchange(module) {
  const missing = [...kPageCalls.filter((n) => typeof module[n] !== "function"),
                   ...kProgramCalls.filter((n) => typeof module[n] !== "function")];
  if (missing.length) throw new Error("the page and the program disagree: no " + missing.join(", "));
}
