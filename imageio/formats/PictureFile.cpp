#include "imageio/formats/PictureFile.h"

#include <cstdint>
#include <memory>

#include "imageio/formats/Bmp.h"
#include "imageio/formats/FileBytes.h"
#include "imageio/formats/Jpeg.h"
#include "imageio/formats/Png.h"

namespace vellum {

bool LoadPictureFile(const std::string& path, OwnedSurface& out) {
    out.Release();
    std::unique_ptr<uint8_t[]> bytes;
    size_t size = 0;
    if (!ReadWholeFile(path, 3, kBmpMaxFileSize, bytes, size)) return false;
    // The content decides the format, not the name.
    const uint8_t* data = bytes.get();
    if (size >= 2 && data[0] == 'B' && data[1] == 'M') return DecodeBmp(data, size, out);
    if (IsPngData(data, size)) return DecodePng(data, size, out);
    if (IsJpegData(data, size)) return DecodeJpeg(data, size, out);
    return false;
}

}  // namespace vellum
