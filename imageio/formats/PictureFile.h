#pragma once
// The picture loader every image file of the program goes through: the skin, custom
// palettes, pens and papers, and opened pictures. BMP, PNG and JPEG are told apart by
// their first bytes, whatever the name says. The result is always 24-bit.
#include <string>

#include "engine/pixel/Surface.h"

namespace vellum {

// False when the file is missing, not a picture format the loader knows, damaged, or
// beyond the reader's limits; `out` is then absent.
bool LoadPictureFile(const std::string& path, OwnedSurface& out);

}  // namespace vellum
