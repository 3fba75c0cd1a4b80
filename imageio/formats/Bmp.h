#pragma once
// Windows BMP files: the bitmap description (40-byte info header plus colour table),
// the writer that saves a surface through it, and our own reader for the usual
// variants of the format.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/pixel/Surface.h"

namespace vellum {

// The writer's messages are fixed English texts in every language.
inline constexpr const char* kBitmapErrorText = "Bitmap Error";
inline constexpr const char* kDibSectionErrorText = "DIB Section Error";
inline constexpr const char* kFileCreateErrorText = "File create error : %s";
inline constexpr const char* kHeaderWriteErrorText = "File write error : header";
inline constexpr const char* kInfoHeaderWriteErrorText = "File write error : infoheader";
inline constexpr const char* kBmpDataWriteErrorText = "File write error : bmpdata";
inline constexpr const char* kSavedBmpText = "Saved BMP";

inline constexpr uint32_t kBmpFileHeaderSize = 14;
inline constexpr uint32_t kBmpInfoHeaderSize = 40;

// The reader's limits: anything larger is refused before a byte is allocated for it.
inline constexpr int kBmpMaxSide = 32768;
inline constexpr int64_t kBmpMaxPixelBytes = int64_t(256) << 20;  // width x height x 3
inline constexpr int64_t kBmpMaxFileSize = int64_t(1) << 30;

struct BitmapInfo {
    // The info header, in file order.
    uint32_t headerSize = kBmpInfoHeaderSize;
    int32_t width = 0;
    int32_t height = 0;  // positive: rows stored bottom-up
    uint16_t planes = 0;
    uint16_t bitCount = 0;  // the source's own bits per pixel
    uint32_t compression = 0;
    uint32_t imageSize = 0;
    int32_t xPelsPerMeter = 0;
    int32_t yPelsPerMeter = 0;
    uint32_t coloursUsed = 0;
    uint32_t coloursImportant = 0;

    // Colour depth rounded from planes x bits per pixel; entries in the (all zero)
    // colour table after the header.
    int depth = 0;
    uint32_t colourTableSize = 0;

    // Bytes of the header and its colour table as written to a file.
    uint32_t DescriptionSize() const { return kBmpInfoHeaderSize + 4 * colourTableSize; }
    uint32_t PixelDataOffset() const { return kBmpFileHeaderSize + headerSize + 4 * coloursUsed; }
    uint32_t FileSize() const { return PixelDataOffset() + imageSize; }
};

// planes x bits per pixel rounded to a depth a bitmap can have: 1 stays 1, up to 4
// gives 4, up to 8 gives 8, up to 16 gives 16, up to 24 gives 24, above 24 gives 32;
// 0 gives 4.
int RoundColourDepth(int64_t planesTimesBits);

// Describes a bitmap of the given size and format. False (the caller shows
// kBitmapErrorText) for a size or format no bitmap can have: width or height below 1,
// negative planes or bits, or a file that would pass 4 GiB.
bool CreateBitmapInfo(int width, int height, int planes, int bitsPerPixel, BitmapInfo& out);
// The description of one of our surfaces: one plane of 24 bits.
bool CreateBitmapInfo(const PixelSurface& surface, BitmapInfo& out);

// The description as it is written: 40 header bytes, then 4 x coloursUsed zero bytes.
void SerialiseBitmapInfo(const BitmapInfo& info, std::vector<uint8_t>& out);
// The 14-byte file header: "BM", file size, two zero words, pixel data offset.
void SerialiseBmpFileHeader(const BitmapInfo& info, uint8_t out[kBmpFileHeaderSize]);

// Saves the top-left width x height pixels of the source as a BMP file of that
// description and sets message to the text the user is shown. True only when the
// complete new file is in place ("Saved BMP"); on every failure an existing file at
// the path is left exactly as it was.
bool WriteBmpFile(const std::string& path, const BitmapInfo& info, const PixelSurface& source,
                  std::string& message);

// The whole BMP file of a surface: 24 bits, bottom-up, 54-byte header. Rows are padded
// to 4 bytes when the width needs it. False for an absent surface.
bool EncodeBmp24(const PixelSurface& surface, std::vector<uint8_t>& out);

// Reads a BMP of 1, 4, 8, 16, 24 or 32 bits per pixel (core, info, v4 and v5 headers;
// uncompressed, bit fields, RLE8 and RLE4) into a new 24-bit surface of its size.
// False for anything malformed or beyond the limits above; out is unchanged then.
bool DecodeBmp(const uint8_t* data, size_t size, OwnedSurface& out);
bool ReadBmpFile(const std::string& path, OwnedSurface& out);

}  // namespace vellum
