#pragma once
// Test pictures made with libpng and libjpeg directly, in every form the readers must
// take, and a child process that reports how much memory a decode touched.
#include <gtest/gtest.h>

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <string>
#include <sys/resource.h>
#include <vector>

#include <jpeglib.h>

#include "BmpTestSupport.h"
#include "engine/pixel/Surface.h"

namespace vellum::codectest {

struct PngPicture {
    int width = 0;
    int height = 0;
    int colourType = PNG_COLOR_TYPE_RGB;
    int bitDepth = 8;
    bool interlaced = false;
    std::vector<png_color> palette;
    std::vector<png_byte> paletteAlpha;  // tRNS of a palette picture
    // Rows as the file stores them: packed samples, big-endian 16-bit.
    std::vector<std::vector<uint8_t>> rows;
};

inline void AppendToVector(png_structp png, png_bytep data, png_size_t n) {
    auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + n);
}
inline void NoFlush(png_structp) {}

inline bool WritePngTo(const PngPicture& picture, std::vector<uint8_t>& out, png_structp png, png_infop info,
                       std::vector<png_bytep>& rowPointers) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_set_write_fn(png, &out, AppendToVector, NoFlush);
    png_set_IHDR(png, info, png_uint_32(picture.width), png_uint_32(picture.height), picture.bitDepth, picture.colourType,
                 picture.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    if (!picture.palette.empty()) png_set_PLTE(png, info, picture.palette.data(), int(picture.palette.size()));
    if (!picture.paletteAlpha.empty())
        png_set_tRNS(png, info, picture.paletteAlpha.data(), int(picture.paletteAlpha.size()), nullptr);
    png_write_info(png, info);
    png_write_image(png, rowPointers.data());
    png_write_end(png, info);
    return true;
}

inline std::vector<uint8_t> MakePng(const PngPicture& picture) {
    std::vector<uint8_t> out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    std::vector<png_bytep> rowPointers;
    for (const auto& row : picture.rows) rowPointers.push_back(const_cast<png_bytep>(row.data()));
    const bool ok = WritePngTo(picture, out, png, info, rowPointers);
    png_destroy_write_struct(&png, &info);
    EXPECT_TRUE(ok) << "libpng refused the test picture";
    return out;
}

inline uint32_t Crc32(const uint8_t* data, size_t n) {
    uint32_t crc = 0xFFFFFFFFu;
    for (size_t i = 0; i < n; ++i) {
        crc ^= data[i];
        for (int k = 0; k < 8; ++k) crc = crc & 1 ? 0xEDB88320u ^ (crc >> 1) : crc >> 1;
    }
    return ~crc;
}

// A PNG signature and IHDR only: any size, no pixels.
inline std::vector<uint8_t> PngHeaderOnly(uint32_t width, uint32_t height) {
    std::vector<uint8_t> out = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0, 0, 0, 13, 'I', 'H', 'D', 'R'};
    auto be32 = [&](uint32_t v) {
        for (int s = 24; s >= 0; s -= 8) out.push_back(uint8_t(v >> s));
    };
    be32(width);
    be32(height);
    out.insert(out.end(), {8, 2, 0, 0, 0});  // 8-bit RGB
    const uint32_t crc = Crc32(out.data() + 12, 17);
    be32(crc);
    return out;
}

// A JPEG from raw samples (components 1, 3 or 4, in `space`).
inline std::vector<uint8_t> MakeJpeg(int width, int height, int components, J_COLOR_SPACE space,
                                     const std::vector<uint8_t>& samples, int quality, bool progressive) {
    jpeg_compress_struct codec;
    jpeg_error_mgr err;
    codec.err = jpeg_std_error(&err);
    jpeg_create_compress(&codec);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&codec, &buffer, &size);
    codec.image_width = JDIMENSION(width);
    codec.image_height = JDIMENSION(height);
    codec.input_components = components;
    codec.in_color_space = space;
    jpeg_set_defaults(&codec);
    jpeg_set_quality(&codec, quality, TRUE);
    if (progressive) jpeg_simple_progression(&codec);
    jpeg_start_compress(&codec, TRUE);
    while (codec.next_scanline < codec.image_height) {
        JSAMPROW row = const_cast<uint8_t*>(samples.data()) + size_t(codec.next_scanline) * width * components;
        jpeg_write_scanlines(&codec, &row, 1);
    }
    jpeg_finish_compress(&codec);
    jpeg_destroy_compress(&codec);
    std::vector<uint8_t> out(buffer, buffer + size);
    std::free(buffer);
    return out;
}

// Offset of the first marker 0xFF code in a JPEG, or npos.
inline size_t FindMarker(const std::vector<uint8_t>& jpeg, uint8_t code) {
    for (size_t i = 0; i + 1 < jpeg.size(); ++i)
        if (jpeg[i] == 0xFF && jpeg[i + 1] == code) return i;
    return std::string::npos;
}

// A smooth test picture: gentle gradients a lossy codec keeps well.
inline void FillSmooth(PixelSurface& s) {
    for (int y = 0; y < s.height; ++y)
        for (int x = 0; x < s.width; ++x) {
            uint8_t* p = s.At(x, y);
            p[0] = uint8_t(40 + x * 150 / s.width);
            p[1] = uint8_t(200 - y * 120 / s.height);
            p[2] = uint8_t(60 + (x + y) * 100 / (s.width + s.height));
        }
}

inline double MeanAbsError(const PixelSurface& a, const PixelSurface& b) {
    if (a.width != b.width || a.height != b.height) return 1e9;
    double sum = 0;
    for (int32_t i = 0; i < a.byteSize; ++i) sum += std::abs(int(a.bytes[i]) - int(b.bytes[i]));
    return sum / a.byteSize;
}

// Peak resident memory of this process in KiB (VmHWM), after resetting the peak when
// reset is set.
inline long PeakResidentKiB(bool reset) {
    if (reset) {
        if (FILE* f = std::fopen("/proc/self/clear_refs", "w")) {
            std::fputs("5", f);
            std::fclose(f);
        }
    }
    long kib = -1;
    if (FILE* f = std::fopen("/proc/self/status", "r")) {
        char line[256];
        while (std::fgets(line, sizeof line, f))
            if (std::sscanf(line, "VmHWM: %ld", &kib) == 1) break;
        std::fclose(f);
    }
    return kib;
}

// Runs decode in a child and returns how many MiB its peak memory grew by while it ran
// a decode that failed; -1 when the decode succeeded or the child died.
template <class Fn>
long PeakGrowthMiB(Fn decode) {
    const std::string text = bmptest::RunInChild([&]() {
        const long before = PeakResidentKiB(true);
        const bool loaded = decode();
        const long after = PeakResidentKiB(false);
        return std::string(loaded ? "loaded " : "refused ") + std::to_string((after - before) / 1024);
    });
    if (text.rfind("refused ", 0) != 0) return -1;
    return std::stol(text.substr(8));
}

}  // namespace vellum::codectest
