#pragma once
// JPEG pictures, read and written through libjpeg-turbo.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/pixel/Surface.h"

namespace vellum {

// The JPEG writer's messages, fixed English texts like the BMP writer's.
inline constexpr const char* kJpegEncodeErrorText = "JPEG Error";
inline constexpr const char* kJpegDataWriteErrorText = "File write error : jpegdata";
inline constexpr const char* kSavedJpegText = "Saved JPEG";

// True when the bytes start with a JPEG start-of-image marker.
bool IsJpegData(const uint8_t* data, size_t size);

// Reads a baseline or progressive JPEG (grey, YCbCr, RGB, CMYK or YCCK) into a new
// 24-bit surface of its size. False for anything damaged, cut short or beyond the BMP
// reader's limits (checked from the header, before decoding), and for a progressive or
// multi-scan file whose coefficients would need more memory than the picture may take
// (4:4:4 and CMYK files near the limit); out is unchanged then.
bool DecodeJpeg(const uint8_t* data, size_t size, OwnedSurface& out);
// The same read from a source as the decoder asks for the bytes: the header is checked
// before any scan is read, and nothing past the last row is.
class ByteSource;
bool DecodeJpeg(ByteSource& source, OwnedSurface& out);

// Encodes the surface as a baseline JPEG at libjpeg quality 1..100 (clamped); from
// quality 90 on the colour is kept at full resolution (4:4:4), below that 4:2:0.
bool EncodeJpeg(const PixelSurface& source, int quality, std::vector<uint8_t>& out);

// Saves the surface as a JPEG file and sets message to the text the user is shown.
// The picture is encoded in memory first and replaces an existing file only once it
// is complete ("Saved JPEG"); on every failure an existing file is left as it was.
bool WriteJpegFile(const std::string& path, const PixelSurface& source, int quality,
                   std::string& message);

}  // namespace vellum
