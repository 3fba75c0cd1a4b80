#include "imageio/formats/PictureFile.h"

#include <cstdint>
#include <memory>

#include "imageio/formats/Bmp.h"
#include "imageio/formats/FileBytes.h"
#include "imageio/formats/Jpeg.h"
#include "imageio/formats/Png.h"

namespace vellum {

namespace {

uint32_t U32(const uint8_t* p) { return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24; }
uint16_t U16(const uint8_t* p) { return uint16_t(p[0] | p[1] << 8); }

// How much of a file the picture needs, from its header: a BMP's pixel rows end where its
// header says (a 1 GiB file that declares 10 x 10 pixels is read for 10 x 10), and one
// declaring more pixels than the limits allow is refused unread.
uint64_t PictureBytesNeeded(const uint8_t* head, size_t n, uint64_t fileSize) {
    if (n < 2 || head[0] != 'B' || head[1] != 'M') return fileSize;
    if (n < 30) return fileSize;  // too short to say: the decoder refuses it
    const uint64_t offBits = U32(head + 10);
    const uint32_t infoSize = U32(head + 14);
    int64_t w = 0, h = 0;
    uint32_t bpp = 0, compression = 0;
    if (infoSize == 12) {
        w = U16(head + 18);
        h = U16(head + 20);
        bpp = U16(head + 24);
    } else {
        if (n < 38) return fileSize;
        w = int32_t(U32(head + 18));
        h = int32_t(U32(head + 22));
        bpp = U16(head + 28);
        compression = U32(head + 30);
    }
    if (h < 0) h = -h;
    if (w <= 0 || h <= 0 || w > 32768 || h > 32768 || w * h * 3 > kBmpMaxPixelBytes) return 0;
    const uint64_t rowBytes = ((uint64_t(w) * bpp + 31) / 32) * 4;
    uint64_t data = rowBytes * uint64_t(h);
    if (compression == 1 || compression == 2) data = uint64_t(w) * uint64_t(h) * 2 + uint64_t(h) * 2 + 64;
    return offBits + data + 1024;  // a little more than needed costs nothing
}

}  // namespace

bool LoadPictureFile(const std::string& path, OwnedSurface& out) {
    out.Release();
    FileSource file;
    if (!file.Open(path, 3, kBmpMaxFileSize)) return false;
    // The content decides the format, not the name. PNG and JPEG are read as their
    // decoders ask: a header over the limits is refused before more is read, and nothing
    // past the picture's end is.
    uint8_t head[8];
    const size_t n = file.Peek(head, sizeof head);
    if (IsPngData(head, n)) return DecodePng(file, out);
    if (IsJpegData(head, n)) return DecodeJpeg(file, out);
    if (n < 2 || head[0] != 'B' || head[1] != 'M') return false;
    std::unique_ptr<uint8_t[]> bytes;
    size_t size = 0;
    if (!ReadFileAsNeeded(path, 3, kBmpMaxFileSize, PictureBytesNeeded, bytes, size)) return false;
    return DecodeBmp(bytes.get(), size, out);
}

}  // namespace vellum
