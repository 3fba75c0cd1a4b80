// PNG and JPEG in the browser: the page decodes them when a file is chosen and hands the
// program a BMP, so the decoders here only ever see what did not decode there; a JPEG is
// encoded by the browser's encoder at the stored quality, a PNG by its lossless one (the
// page has no libpng: every pixel comes back as it went in, the file's bytes are the
// browser's own).
#include <emscripten.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "imageio/formats/Jpeg.h"
#include "imageio/formats/Png.h"

// kind 0: JPEG at quality (1..100), 1: PNG.
EM_ASYNC_JS(int, vellum_js_encode, (const uint8_t* rgba, int width, int height, int kind, int quality, uint8_t** out), {
    const c = document.createElement("canvas");
    c.width = width;
    c.height = height;
    c.getContext("2d").putImageData(new ImageData(new Uint8ClampedArray(HEAPU8.subarray(rgba, rgba + width * height * 4)), width, height), 0, 0);
    const blob = await Module.vellumSuspended(
        () => new Promise((resolve) => kind ? c.toBlob(resolve, "image/png") : c.toBlob(resolve, "image/jpeg", quality / 100)));
    if (!blob) return -1;
    const bytes = new Uint8Array(await blob.arrayBuffer());
    const ptr = _malloc(bytes.length);
    HEAPU8.set(bytes, ptr);
    HEAP32[out >> 2] = ptr;
    return bytes.length;
});

namespace vellum {

namespace {

// The browser's encoding of a surface: 0 JPEG at quality, 1 PNG.
bool EncodeInBrowser(const PixelSurface& source, int kind, int quality, std::vector<uint8_t>& out) {
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
    const int size = vellum_js_encode(rgba.data(), source.width, source.height, kind, quality, &encoded);
    if (size <= 0 || !encoded) return false;
    out.assign(encoded, encoded + size);
    std::free(encoded);
    return true;
}

// Written whole or not at all, as the desktop's atomic writer does.
bool WriteEncoded(const std::string& path, const std::vector<uint8_t>& bytes) {
    const std::string temp = path + ".part";
    std::FILE* f = std::fopen(temp.c_str(), "wb");
    bool ok = f && std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    if (f) ok = std::fclose(f) == 0 && ok;
    ok = ok && std::rename(temp.c_str(), path.c_str()) == 0;
    if (!ok) std::remove(temp.c_str());
    return ok;
}

}  // namespace

bool EncodeJpeg(const PixelSurface& source, int quality, std::vector<uint8_t>& out) {
    return EncodeInBrowser(source, 0, quality, out);
}

bool EncodePng(const PixelSurface& source, std::vector<uint8_t>& out) { return EncodeInBrowser(source, 1, 0, out); }

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
    if (!WriteEncoded(path, bytes)) {
        message = kJpegDataWriteErrorText;
        return false;
    }
    message = kSavedJpegText;
    return true;
}

bool WritePngFile(const std::string& path, const PixelSurface& source, std::string& message) {
    std::vector<uint8_t> bytes;
    if (!EncodePng(source, bytes)) {
        message = kPngEncodeErrorText;
        return false;
    }
    if (!WriteEncoded(path, bytes)) {
        message = kPngDataWriteErrorText;
        return false;
    }
    message = kSavedPngText;
    return true;
}

}  // namespace vellum
