#pragma once
// PNG pictures, read through libpng.
#include <cstddef>
#include <cstdint>

#include "engine/pixel/Surface.h"

namespace vellum {

// True when the bytes start with the PNG signature.
bool IsPngData(const uint8_t* data, size_t size);

// Reads any PNG (palette, grey, grey with alpha, RGB, RGBA; 1 to 16 bits; interlaced or
// not) into a new 24-bit surface of its size. Palette and grey are expanded, 16-bit
// samples scaled to 8, and transparency laid over white. False for anything damaged,
// truncated or beyond the BMP reader's limits (checked from the header, before the
// picture is allocated); out is unchanged then.
bool DecodePng(const uint8_t* data, size_t size, OwnedSurface& out);
// The same read from a source as the decoder asks for the bytes: the picture's header is
// checked against the limits before anything more is read, and nothing past its last
// pixel row is.
class ByteSource;
bool DecodePng(ByteSource& source, OwnedSurface& out);

}  // namespace vellum
