#pragma once
// PNG pictures, read through libpng.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/pixel/Surface.h"

namespace vellum {

// The PNG writer's messages, fixed English texts like the BMP writer's.
inline constexpr const char* kPngEncodeErrorText = "PNG Error";
inline constexpr const char* kPngDataWriteErrorText = "File write error : pngdata";
inline constexpr const char* kSavedPngText = "Saved PNG";

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

// Encodes the surface losslessly as an 8-bit RGB PNG (no alpha, not interlaced).
bool EncodePng(const PixelSurface& source, std::vector<uint8_t>& out);

// Saves the surface as a PNG file and sets message to the text the user is shown. The
// picture is encoded in memory first and replaces an existing file only once it is
// complete ("Saved PNG"); on every failure an existing file is left as it was.
bool WritePngFile(const std::string& path, const PixelSurface& source, std::string& message);

}  // namespace vellum
