// PNG and JPEG in the browser: told apart by their signatures here; decoding and JPEG
// encoding are to be the browser's (not done yet: such pictures do not open, and a JPEG
// name saves nothing).
#include <cstring>

#include "imageio/formats/Jpeg.h"
#include "imageio/formats/Png.h"

namespace vellum {

bool IsPngData(const uint8_t* data, size_t size) {
    static const uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    return size >= 8 && std::memcmp(data, kSignature, 8) == 0;
}
bool DecodePng(const uint8_t*, size_t, OwnedSurface&) { return false; }

bool IsJpegData(const uint8_t* data, size_t size) { return size >= 3 && data[0] == 0xFF && data[1] == 0xD8 && data[2] == 0xFF; }
bool DecodeJpeg(const uint8_t*, size_t, OwnedSurface&) { return false; }
bool EncodeJpeg(const PixelSurface&, int, std::vector<uint8_t>&) { return false; }
bool WriteJpegFile(const std::string&, const PixelSurface&, int, std::string& message) {
    message = kJpegEncodeErrorText;
    return false;
}

}  // namespace vellum
