#include "imageio/formats/Bmp.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

#include "imageio/formats/AtomicFile.h"
#include "imageio/formats/FileBytes.h"

namespace vellum {

namespace {

void PutU16(uint8_t* p, uint32_t v) {
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
}

void PutU32(uint8_t* p, uint32_t v) {
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
    p[2] = uint8_t(v >> 16);
    p[3] = uint8_t(v >> 24);
}

uint32_t GetU16(const uint8_t* p) { return uint32_t(p[0]) | uint32_t(p[1]) << 8; }

uint32_t GetU32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

int32_t GetI32(const uint8_t* p) { return int32_t(GetU32(p)); }

// Bytes per row of a device-independent bitmap: whole 32-bit words.
int64_t DibStride(int bitCount, int64_t width) { return (int64_t(bitCount) * width + 31) / 32 * 4; }

// A temporary surface bigger than this is refused like a failed allocation.
constexpr int64_t kMaxDibBytes = int64_t(1) << 30;

// The pixel data of a description, filled from the source's top-left corner the way a
// plain block copy into a surface of that format would. False when no such surface
// can be made. The buffer holds at least imageSize bytes; bytes past the last row are
// zero.
bool BuildDibPixels(const BitmapInfo& info, const PixelSurface& source,
                    std::unique_ptr<uint8_t[]>& buffer, int64_t& bufferSize) {
    const int bits = info.bitCount;
    if (!source.Exists() || info.width < 1 || info.height < 1 || info.planes != 1 ||
        info.compression != 0)
        return false;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) return false;
    const int64_t stride = DibStride(bits, info.width);
    const int64_t rowsBytes = stride * info.height;
    bufferSize = std::max<int64_t>(rowsBytes, info.imageSize);
    if (bufferSize > kMaxDibBytes) return false;
    buffer.reset(new (std::nothrow) uint8_t[size_t(bufferSize)]);
    if (!buffer) return false;
    std::memset(buffer.get(), 0, size_t(bufferSize));

    // With the colour table all zero every palette entry is black, so each pixel of a
    // palette surface maps to index 0 and its rows stay zero.
    if (bits <= 8) return true;

    const int rows = std::min(info.height, source.height);
    const int columns = std::min(info.width, source.width);
    for (int y = 0; y < rows; ++y) {
        const uint8_t* from = source.At(0, y);
        uint8_t* to = buffer.get() + (info.height - 1 - y) * stride;
        if (bits == 24) {
            std::memcpy(to, from, size_t(columns) * 3);
        } else if (bits == 32) {
            for (int x = 0; x < columns; ++x, from += 3, to += 4) {
                to[0] = from[0];
                to[1] = from[1];
                to[2] = from[2];
            }
        } else {  // 16 bits: 5-5-5
            for (int x = 0; x < columns; ++x, from += 3, to += 2) {
                const uint32_t v = uint32_t(from[2] >> 3) << 10 | uint32_t(from[1] >> 3) << 5 |
                                   uint32_t(from[0] >> 3);
                PutU16(to, v);
            }
        }
    }
    return true;
}

}  // namespace

int RoundColourDepth(int64_t planesTimesBits) {
    const int64_t b = planesTimesBits;
    if (b == 1) return 1;
    if (b <= 4) return 4;
    if (b <= 8) return 8;
    if (b <= 16) return 16;
    if (b <= 24) return 24;
    return 32;
}

bool CreateBitmapInfo(int width, int height, int planes, int bitsPerPixel, BitmapInfo& out) {
    if (width < 1 || height < 1 || planes < 0 || bitsPerPixel < 0 || planes > 0xFFFF ||
        bitsPerPixel > 0xFFFF)
        return false;
    BitmapInfo info;
    info.depth = RoundColourDepth(int64_t(planes) * bitsPerPixel);
    info.headerSize = kBmpInfoHeaderSize;
    info.width = width;
    info.height = height;
    info.planes = uint16_t(planes);
    info.bitCount = uint16_t(bitsPerPixel);
    info.compression = 0;
    info.coloursImportant = 0;
    if (info.depth < 24) info.coloursUsed = uint32_t(1) << info.depth;
    info.colourTableSize = info.coloursUsed;
    const int64_t imageSize = (int64_t(width) + 7) / 8 * height * info.depth;
    const int64_t fileSize =
        int64_t(kBmpFileHeaderSize) + kBmpInfoHeaderSize + 4 * int64_t(info.coloursUsed) + imageSize;
    if (fileSize > int64_t(UINT32_MAX)) return false;
    info.imageSize = uint32_t(imageSize);
    out = info;
    return true;
}

bool CreateBitmapInfo(const PixelSurface& surface, BitmapInfo& out) {
    if (!surface.Exists()) return false;
    return CreateBitmapInfo(surface.width, surface.height, 1, 24, out);
}

void SerialiseBitmapInfo(const BitmapInfo& info, std::vector<uint8_t>& out) {
    out.assign(info.DescriptionSize(), 0);
    uint8_t* p = out.data();
    PutU32(p + 0, info.headerSize);
    PutU32(p + 4, uint32_t(info.width));
    PutU32(p + 8, uint32_t(info.height));
    PutU16(p + 12, info.planes);
    PutU16(p + 14, info.bitCount);
    PutU32(p + 16, info.compression);
    PutU32(p + 20, info.imageSize);
    PutU32(p + 24, uint32_t(info.xPelsPerMeter));
    PutU32(p + 28, uint32_t(info.yPelsPerMeter));
    PutU32(p + 32, info.coloursUsed);
    PutU32(p + 36, info.coloursImportant);
}

void SerialiseBmpFileHeader(const BitmapInfo& info, uint8_t out[kBmpFileHeaderSize]) {
    out[0] = 'B';
    out[1] = 'M';
    PutU32(out + 2, info.FileSize());
    PutU16(out + 6, 0);
    PutU16(out + 8, 0);
    PutU32(out + 10, info.PixelDataOffset());
}

bool WriteBmpFile(const std::string& path, const BitmapInfo& info, const PixelSurface& source,
                  std::string& message) {
    std::unique_ptr<uint8_t[]> pixels;
    int64_t pixelBytes = 0;
    if (!BuildDibPixels(info, source, pixels, pixelBytes)) {
        message = kDibSectionErrorText;
        return false;
    }

    // The new picture goes to a temporary file that replaces the old one only once it
    // is complete, so a failed save never costs the picture saved before.
    AtomicFileWriter file;
    if (!file.Open(path)) {
        message = "File create error : " + path;
        return false;
    }
    uint8_t header[kBmpFileHeaderSize];
    SerialiseBmpFileHeader(info, header);
    if (!file.Write(header, sizeof header)) {
        message = kHeaderWriteErrorText;
        return false;
    }
    std::vector<uint8_t> description;
    SerialiseBitmapInfo(info, description);
    if (!file.Write(description.data(), description.size())) {
        message = kInfoHeaderWriteErrorText;
        return false;
    }
    // Flushing and renaming are part of getting the pixels to disk.
    if (!file.Write(pixels.get(), info.imageSize) || !file.Commit()) {
        message = kBmpDataWriteErrorText;
        return false;
    }
    message = kSavedBmpText;
    return true;
}

bool EncodeBmp24(const PixelSurface& surface, std::vector<uint8_t>& out) {
    BitmapInfo info;
    if (!CreateBitmapInfo(surface, info)) return false;
    // For widths that are not a multiple of 8 the row count of the description would
    // not match the padded rows; a file of ours always states its real size.
    const int64_t stride = DibStride(24, surface.width);
    info.imageSize = uint32_t(stride * surface.height);
    std::unique_ptr<uint8_t[]> pixels;
    int64_t pixelBytes = 0;
    if (!BuildDibPixels(info, surface, pixels, pixelBytes)) return false;
    out.assign(info.FileSize(), 0);
    SerialiseBmpFileHeader(info, out.data());
    std::vector<uint8_t> description;
    SerialiseBitmapInfo(info, description);
    std::memcpy(out.data() + kBmpFileHeaderSize, description.data(), description.size());
    std::memcpy(out.data() + info.PixelDataOffset(), pixels.get(), info.imageSize);
    return true;
}

// ---- Reading -----------------------------------------------------------------------

namespace {

constexpr uint32_t kCompressionRgb = 0;
constexpr uint32_t kCompressionRle8 = 1;
constexpr uint32_t kCompressionRle4 = 2;
constexpr uint32_t kCompressionBitFields = 3;
constexpr uint32_t kCompressionAlphaBitFields = 6;

// One colour channel of a bit-field pixel, scaled to 8 bits whatever the mask's width.
struct Channel {
    uint32_t mask = 0;
    int shift = 0;
    int bits = 0;
    uint8_t scale[256] = {};  // for masks of up to 8 bits

    void Set(uint32_t m) {
        mask = m;
        shift = 0;
        bits = 0;
        if (m == 0) return;
        while (!((m >> shift) & 1)) ++shift;
        const uint32_t top = m >> shift;
        while (bits < 32 && (top >> bits) != 0) ++bits;
        if (bits <= 8) {
            for (uint32_t v = 0; v <= top; ++v) scale[v] = uint8_t((v * 255 + top / 2) / top);
        }
    }

    uint8_t Extract(uint32_t pixel) const {
        if (bits == 0) return 0;
        const uint32_t v = (pixel & mask) >> shift;
        return bits <= 8 ? scale[v] : uint8_t(v >> (bits - 8));
    }
};

struct BmpLayout {
    int width = 0;
    int height = 0;
    bool topDown = false;
    int bits = 0;
    uint32_t compression = 0;
    uint32_t pixelOffset = 0;
    uint32_t imageSize = 0;
    uint32_t masks[3] = {};
    int paletteCount = 0;
    uint8_t palette[256][3] = {};  // blue, green, red; entries past the count stay black
};

bool ParseLayout(const uint8_t* data, size_t size, BmpLayout& layout) {
    if (!data || size < kBmpFileHeaderSize + 4) return false;
    if (data[0] != 'B' || data[1] != 'M') return false;
    const uint32_t pixelOffset = GetU32(data + 10);
    const uint32_t headerSize = GetU32(data + 14);
    if (headerSize != 12 && headerSize != 40 && headerSize != 52 && headerSize != 56 &&
        headerSize != 108 && headerSize != 124)
        return false;
    if (size < size_t(kBmpFileHeaderSize) + headerSize) return false;
    const uint8_t* h = data + kBmpFileHeaderSize;

    int64_t width, height;
    uint32_t planes, bits, compression = kCompressionRgb, coloursUsed = 0, imageSize = 0;
    bool topDown = false;
    if (headerSize == 12) {
        width = GetU16(h + 4);
        height = GetU16(h + 6);
        planes = GetU16(h + 8);
        bits = GetU16(h + 10);
    } else {
        width = GetI32(h + 4);
        height = GetI32(h + 8);
        planes = GetU16(h + 12);
        bits = GetU16(h + 14);
        compression = GetU32(h + 16);
        imageSize = GetU32(h + 20);
        coloursUsed = GetU32(h + 32);
        if (height < 0) {
            topDown = true;
            height = -height;  // 64-bit, so the most negative height cannot overflow
        }
    }
    if (planes != 1) return false;
    if (width < 1 || height < 1 || width > kBmpMaxSide || height > kBmpMaxSide) return false;
    if (width * height * 3 > kBmpMaxPixelBytes) return false;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) return false;

    switch (compression) {
    case kCompressionRgb:
        break;
    case kCompressionRle8:
        if (bits != 8 || topDown) return false;
        break;
    case kCompressionRle4:
        if (bits != 4 || topDown) return false;
        break;
    case kCompressionBitFields:
    case kCompressionAlphaBitFields:
        if (bits != 16 && bits != 32) return false;
        break;
    default:
        return false;
    }

    // The masks of an info header follow it; the later headers hold them inside.
    size_t headerEnd = kBmpFileHeaderSize + headerSize;
    if (compression == kCompressionBitFields || compression == kCompressionAlphaBitFields) {
        const uint8_t* m = h + 40;
        if (headerSize == 40) {
            headerEnd += compression == kCompressionAlphaBitFields ? 16 : 12;
            if (size < headerEnd) return false;
        }
        for (int c = 0; c < 3; ++c) layout.masks[c] = GetU32(m + 4 * c);
    } else if (bits == 16) {
        layout.masks[0] = 0x7C00;
        layout.masks[1] = 0x03E0;
        layout.masks[2] = 0x001F;
    } else if (bits == 32) {
        layout.masks[0] = 0xFF0000;
        layout.masks[1] = 0x00FF00;
        layout.masks[2] = 0x0000FF;
    }

    if (pixelOffset < headerEnd || pixelOffset > size) return false;

    if (bits <= 8) {
        const uint32_t most = uint32_t(1) << bits;
        uint32_t count = coloursUsed == 0 ? most : coloursUsed;
        if (count > most) return false;
        // A palette shorter than declared ends where the pixels begin.
        const size_t entrySize = headerSize == 12 ? 3 : 4;
        count = uint32_t(std::min<size_t>(count, (pixelOffset - headerEnd) / entrySize));
        const uint8_t* p = data + headerEnd;
        for (uint32_t i = 0; i < count; ++i, p += entrySize) {
            layout.palette[i][0] = p[0];
            layout.palette[i][1] = p[1];
            layout.palette[i][2] = p[2];
        }
        layout.paletteCount = int(count);
    }

    if (compression == kCompressionRgb || compression == kCompressionBitFields ||
        compression == kCompressionAlphaBitFields) {
        const int64_t need = DibStride(int(bits), width) * height;
        if (need > int64_t(size - pixelOffset)) return false;
    }

    layout.width = int(width);
    layout.height = int(height);
    layout.topDown = topDown;
    layout.bits = int(bits);
    layout.compression = compression;
    layout.pixelOffset = pixelOffset;
    layout.imageSize = imageSize;
    return true;
}

void DecodeUncompressed(const BmpLayout& layout, const uint8_t* pixels, PixelSurface& out) {
    const int w = layout.width;
    const int64_t stride = DibStride(layout.bits, w);
    Channel channels[3];  // red, green, blue
    if (layout.bits == 16 || layout.bits == 32)
        for (int c = 0; c < 3; ++c) channels[c].Set(layout.masks[c]);
    const bool plain32 = layout.bits == 32 && layout.masks[0] == 0xFF0000 &&
                         layout.masks[1] == 0x00FF00 && layout.masks[2] == 0x0000FF;

    for (int r = 0; r < layout.height; ++r) {
        const uint8_t* from = pixels + r * stride;
        const int destRow = layout.topDown ? layout.height - 1 - r : r;
        uint8_t* to = out.bytes + int64_t(destRow) * w * 3;
        switch (layout.bits) {
        case 24:
            std::memcpy(to, from, size_t(w) * 3);
            break;
        case 32:
            for (int x = 0; x < w; ++x, from += 4, to += 3) {
                if (plain32) {
                    to[0] = from[0];
                    to[1] = from[1];
                    to[2] = from[2];
                } else {
                    const uint32_t p = GetU32(from);
                    to[0] = channels[2].Extract(p);
                    to[1] = channels[1].Extract(p);
                    to[2] = channels[0].Extract(p);
                }
            }
            break;
        case 16:
            for (int x = 0; x < w; ++x, from += 2, to += 3) {
                const uint32_t p = GetU16(from);
                to[0] = channels[2].Extract(p);
                to[1] = channels[1].Extract(p);
                to[2] = channels[0].Extract(p);
            }
            break;
        default: {  // 1, 4 or 8 bits of palette index, high bits first
            const int bits = layout.bits;
            const int perByte = 8 / bits;
            const uint32_t indexMask = (1u << bits) - 1;
            for (int x = 0; x < w; ++x, to += 3) {
                const int shift = 8 - bits * (x % perByte + 1);
                const uint32_t index = (uint32_t(from[x / perByte]) >> shift) & indexMask;
                std::memcpy(to, layout.palette[index], 3);
            }
            break;
        }
        }
    }
}

// Run-length pixels, bottom row first. Pixels that the runs skip stay black; data that
// ends early ends the picture.
void DecodeRunLength(const BmpLayout& layout, const uint8_t* d, size_t length, PixelSurface& out) {
    const int w = layout.width;
    const int h = layout.height;
    const bool four = layout.compression == kCompressionRle4;
    int x = 0, y = 0;
    auto put = [&](uint32_t index) {
        if (x < w) std::memcpy(out.bytes + (int64_t(y) * w + x) * 3, layout.palette[index & 0xFF], 3);
        if (x < w) ++x;
    };
    size_t i = 0;
    while (i + 1 < length && y < h) {
        const uint32_t count = d[i];
        const uint32_t value = d[i + 1];
        i += 2;
        if (count > 0) {
            for (uint32_t k = 0; k < count && x < w; ++k)
                put(four ? (k & 1 ? value & 15 : value >> 4) : value);
        } else if (value == 0) {  // end of row
            x = 0;
            ++y;
        } else if (value == 1) {  // end of picture
            break;
        } else if (value == 2) {  // move right and up
            if (i + 1 >= length) break;
            x = int(std::min<int64_t>(int64_t(x) + d[i], w));
            y += d[i + 1];
            i += 2;
        } else {  // literal indices, padded to a 16-bit boundary
            const size_t bytes = four ? (value + 1) / 2 : value;
            const size_t available = std::min(bytes, length - i);
            for (uint32_t k = 0; k < value; ++k) {
                const size_t at = four ? k / 2 : k;
                if (at >= available) break;
                const uint32_t b = d[i + at];
                put(four ? (k & 1 ? b & 15 : b >> 4) : b);
            }
            i += std::min(length - i, (bytes + 1) & ~size_t(1));
        }
    }
}

}  // namespace

bool DecodeBmp(const uint8_t* data, size_t size, OwnedSurface& out) {
    BmpLayout layout;
    if (!ParseLayout(data, size, layout)) return false;
    OwnedSurface picture;
    if (!picture.Allocate(layout.width, layout.height)) return false;
    const uint8_t* pixels = data + layout.pixelOffset;
    if (layout.compression == kCompressionRle8 || layout.compression == kCompressionRle4) {
        size_t length = size - layout.pixelOffset;
        if (layout.imageSize != 0) length = std::min<size_t>(length, layout.imageSize);
        DecodeRunLength(layout, pixels, length, *picture);
    } else {
        DecodeUncompressed(layout, pixels, *picture);
    }
    out = std::move(picture);
    return true;
}

bool ReadBmpFile(const std::string& path, OwnedSurface& out) {
    std::unique_ptr<uint8_t[]> bytes;
    size_t size = 0;
    if (!ReadWholeFile(path, kBmpFileHeaderSize, kBmpMaxFileSize, bytes, size)) return false;
    return DecodeBmp(bytes.get(), size, out);
}

}  // namespace vellum
