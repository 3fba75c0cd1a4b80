// PNG and JPEG in the browser: the page decodes them when a file is chosen and hands the
// program a BMP, so the decoders here only ever see what did not decode there; a JPEG is
// encoded by the browser's encoder at the stored quality.
#include <emscripten.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "imageio/formats/Jpeg.h"
#include "imageio/formats/Png.h"

EM_ASYNC_JS(int, vellum_js_encode_jpeg, (const uint8_t* rgba, int width, int height, int quality, uint8_t** out), {
    const c = document.createElement("canvas");
    c.width = width;
    c.height = height;
    c.getContext("2d").putImageData(new ImageData(new Uint8ClampedArray(HEAPU8.subarray(rgba, rgba + width * height * 4)), width, height), 0, 0);
    const blob = await Module.vellumSuspended(() => new Promise((resolve) => c.toBlob(resolve, "image/jpeg", quality / 100)));
    if (!blob) return -1;
    const bytes = new Uint8Array(await blob.arrayBuffer());
    const ptr = _malloc(bytes.length);
    HEAPU8.set(bytes, ptr);
    HEAP32[out >> 2] = ptr;
    return bytes.length;
});

namespace vellum {

bool EncodeJpeg(const PixelSurface& source, int quality, std::vector<uint8_t>& out) {
    if (!source.Exists() || source.width <= 0 || source.height <= 0) return false;
    std::vector<uint8_t> rgba(size_t(source.width) * size_t(source.height) * 4);
    uint8_t* d = rgba.data();
    for (int y = 0; y < source.height; ++y) {
        const uint8_t* s = source.At(0, y);
        for (int x = 0; x < source.width; ++x, s += 3, d += 4) {
            d[0] = s[2];
            d[1] = s[1];
            d[2] = s[0];
            d[3] = 255;
        }
    }
    uint8_t* encoded = nullptr;
    const int size = vellum_js_encode_jpeg(rgba.data(), source.width, source.height, quality, &encoded);
    if (size <= 0 || !encoded) return false;
    out.assign(encoded, encoded + size);
    std::free(encoded);
    return true;
}

bool IsPngData(const uint8_t* data, size_t size) {
    static const uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    return size >= 8 && std::memcmp(data, kSignature, 8) == 0;
}
bool DecodePng(const uint8_t*, size_t, OwnedSurface&) { return false; }
bool DecodePng(ByteSource&, OwnedSurface&) { return false; }

bool IsJpegData(const uint8_t* data, size_t size) { return size >= 3 && data[0] == 0xFF && data[1] == 0xD8 && data[2] == 0xFF; }
bool DecodeJpeg(const uint8_t*, size_t, OwnedSurface&) { return false; }
bool DecodeJpeg(ByteSource&, OwnedSurface&) { return false; }
bool WriteJpegFile(const std::string& path, const PixelSurface& source, int quality, std::string& message) {
    std::vector<uint8_t> bytes;
    if (!EncodeJpeg(source, quality, bytes)) {
        message = kJpegEncodeErrorText;
        return false;
    }
    std::FILE* f = std::fopen(path.c_str(), "wb");
    bool ok = f && std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    if (f) ok = std::fclose(f) == 0 && ok;
    if (!ok) {
        std::remove(path.c_str());
        message = kJpegDataWriteErrorText;
        return false;
    }
    message = kSavedJpegText;
    return true;
}

}  // namespace vellum
