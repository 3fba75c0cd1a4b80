#pragma once
// The file chooser: the outside chooser library "tgetfile.dll" when it is installed,
// else the platform's own open and save dialogs, both with the same request record.
#include <string>

#include "seam/OpenFileName.h"
#include "seam/Platform.h"

namespace vellum {

constexpr int kChooserOpen = 0;
constexpr int kChooserSave = 1;
// What a chooser returns when it failed rather than being cancelled.
constexpr int kChooserFailed = -1;
constexpr uint32_t kOpenFileNameSize = 76;

// Shows the chooser in mode 0 (open) or 1 (save) with the record; 1 when a file was
// chosen, 0 when cancelled, kChooserFailed when the platform's dialog failed. The library is loaded afresh on every call; when it loads but has no
// "tGetFile" entry nothing is shown and the result is 0.
int ShowFileDialog(Platform& platform, int mode, OpenFileName& request);

// Lets the user pick a picture to open, offering path (UTF-8), starting on filter pair
// filterIndex. 1 with the chosen full path in path, or 0 with path unchanged.
int ChooseOpenFile(Platform& platform, std::string& path, const char16_t* filterList, uint32_t filterIndex = 1);

// Lets the user pick a name to save under. The chooser is offered path without a ".bmp"
// or ".jpg" at its end; the chosen name gets the extension of the chosen filter. 1 with
// the final path, or 0 (cancelled) or kChooserFailed with path unchanged.
int ChooseSaveFile(Platform& platform, std::string& path, const char16_t* filterList);

}  // namespace vellum
