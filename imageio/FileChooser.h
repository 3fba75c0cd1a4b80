#pragma once
// The file chooser: the outside chooser library "tgetfile.dll" when it is installed,
// else the platform's own open and save dialogs, both with the same request record.
#include <string>

#include "platform/OpenFileName.h"
#include "platform/Platform.h"

namespace vellum {

constexpr int kChooserOpen = 0;
constexpr int kChooserSave = 1;
constexpr uint32_t kOpenFileNameSize = 76;

// Shows the chooser in mode 0 (open) or 1 (save) with the record; nonzero when a file
// was chosen. The library is loaded afresh on every call; when it loads but has no
// "tGetFile" entry nothing is shown and the result is 0.
int ShowFileDialog(Platform& platform, int mode, OpenFileName& request);

// Lets the user pick a picture to open, offering path (UTF-8). 1 with the chosen full
// path in path, or 0 with path unchanged.
int ChooseOpenFile(Platform& platform, std::string& path, const char16_t* filterList);

// Lets the user pick a name to save under. A ".bmp" or ".jpg" at the end of path is
// removed before the chooser opens (and stays removed when it is cancelled); the
// chosen name gets the extension of the chosen filter. 1 with the final path, or 0.
int ChooseSaveFile(Platform& platform, std::string& path, const char16_t* filterList);

}  // namespace vellum
