#include "imageio/formats/Png.h"

#include <png.h>

#include <csetjmp>
#include <cstring>
#include <memory>
#include <new>

#include "imageio/formats/AtomicFile.h"
#include "imageio/formats/Bmp.h"
#include "imageio/formats/FileBytes.h"

namespace vellum {

namespace {

const uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};

// libpng asks for the bytes it needs: a file is read no further than the picture's end.
void ReadFromSource(png_structp png, png_bytep out, png_size_t count) {
    ByteSource* source = static_cast<ByteSource*>(png_get_io_ptr(png));
    if (source->Read(out, count) != count) png_error(png, "truncated");
}

// Errors return to the setjmp in ReadPicture; nothing is printed.
[[noreturn]] void OnPngError(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void OnPngWarning(png_structp, png_const_charp) {}

// Everything that must outlive a longjmp lives here, in the caller's frame: the jump
// lands in ReadPicture, whose own locals are all plain values.
struct PngJob {
    png_structp png = nullptr;
    png_infop info = nullptr;
    OwnedSurface picture;
    std::unique_ptr<uint8_t[]> alphaRows;  // BGRA rows of a picture with transparency
    std::unique_ptr<png_bytep[]> rowPointers;
};

// Lays a BGRA row over white into a BGR row: c' = (c a + 255 (255 - a)) / 255.
void CompositeOverWhite(const uint8_t* from, uint8_t* to, uint32_t width) {
    for (uint32_t x = 0; x < width; ++x, from += 4, to += 3) {
        const uint32_t a = from[3];
        const uint32_t white = 255 * (255 - a);
        to[0] = uint8_t((from[0] * a + white) / 255);
        to[1] = uint8_t((from[1] * a + white) / 255);
        to[2] = uint8_t((from[2] * a + white) / 255);
    }
}

bool ReadPicture(PngJob& job) {
    png_structp png = job.png;
    png_infop info = job.info;
    if (setjmp(png_jmpbuf(png))) return false;

    // A header over the limits is an error inside png_read_info, before any pixel.
    png_set_user_limits(png, kBmpMaxSide, kBmpMaxSide);
    png_read_info(png, info);
    png_uint_32 width = 0, height = 0;
    int bitDepth = 0, colourType = 0, interlace = 0;
    if (!png_get_IHDR(png, info, &width, &height, &bitDepth, &colourType, &interlace, nullptr, nullptr))
        return false;
    if (width < 1 || height < 1 || width > uint32_t(kBmpMaxSide) || height > uint32_t(kBmpMaxSide))
        return false;
    if (int64_t(width) * int64_t(height) * 3 > kBmpMaxPixelBytes) return false;

    // Everything becomes 8-bit blue, green, red, with alpha where the file has any.
    png_set_expand(png);  // palette to RGB, grey below 8 bits to 8, tRNS to alpha
#ifdef PNG_READ_SCALE_16_TO_8_SUPPORTED
    png_set_scale_16(png);
#else
    png_set_strip_16(png);
#endif
    png_set_gray_to_rgb(png);
    png_set_bgr(png);
    const int passes = png_set_interlace_handling(png);
    png_read_update_info(png, info);

    const int channels = png_get_channels(png, info);
    if (png_get_bit_depth(png, info) != 8 || (channels != 3 && channels != 4)) return false;
    if (png_get_rowbytes(png, info) != size_t(width) * size_t(channels)) return false;

    if (!job.picture.Allocate(int(width), int(height))) return false;
    PixelSurface& picture = *job.picture;

    if (channels == 3) {
        // Rows go straight into the picture (whose rows are stored bottom-up).
        job.rowPointers.reset(new (std::nothrow) png_bytep[height]);
        if (!job.rowPointers) return false;
        for (uint32_t y = 0; y < height; ++y) job.rowPointers[y] = picture.At(0, int(y));
        png_read_image(png, job.rowPointers.get());
        return true;
    }

    // With alpha: one BGRA row at a time, or the whole picture when interlaced, since
    // every pass adds to rows already read.
    const size_t rowBytes = size_t(width) * 4;
    const uint32_t bufferRows = passes > 1 ? height : 1;
    job.alphaRows.reset(new (std::nothrow) uint8_t[rowBytes * bufferRows]);
    if (!job.alphaRows) return false;
    if (passes > 1) {
        job.rowPointers.reset(new (std::nothrow) png_bytep[height]);
        if (!job.rowPointers) return false;
        for (uint32_t y = 0; y < height; ++y) job.rowPointers[y] = job.alphaRows.get() + rowBytes * y;
        png_read_image(png, job.rowPointers.get());
        for (uint32_t y = 0; y < height; ++y)
            CompositeOverWhite(job.rowPointers[y], picture.At(0, int(y)), width);
        return true;
    }
    for (uint32_t y = 0; y < height; ++y) {
        png_read_row(png, job.alphaRows.get(), nullptr);
        CompositeOverWhite(job.alphaRows.get(), picture.At(0, int(y)), width);
    }
    return true;
}

}  // namespace

bool IsPngData(const uint8_t* data, size_t size) {
    return data != nullptr && size >= sizeof kPngSignature &&
           std::memcmp(data, kPngSignature, sizeof kPngSignature) == 0;
}

namespace {

void AppendToVector(png_structp png, png_bytep data, png_size_t n) {
    auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + n);
}
void NoFlush(png_structp) {}

bool WritePicture(png_structp png, png_infop info, const PixelSurface& source, std::vector<uint8_t>& out) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_set_write_fn(png, &out, AppendToVector, NoFlush);
    png_set_IHDR(png, info, png_uint_32(source.width), png_uint_32(source.height), 8, PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    png_set_bgr(png);  // the surfaces hold blue, green, red
    for (int y = 0; y < source.height; ++y) png_write_row(png, const_cast<png_bytep>(source.At(0, y)));
    png_write_end(png, info);
    return true;
}

}  // namespace

bool EncodePng(const PixelSurface& source, std::vector<uint8_t>& out) {
    out.clear();
    if (!source.Exists() || source.width < 1 || source.height < 1) return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, OnPngError, OnPngWarning);
    if (!png) return false;
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        return false;
    }
    const bool written = WritePicture(png, info, source, out);
    png_destroy_write_struct(&png, &info);
    if (!written) out.clear();
    return written;
}

bool WritePngFile(const std::string& path, const PixelSurface& source, std::string& message) {
    std::vector<uint8_t> bytes;
    if (!EncodePng(source, bytes)) {
        message = kPngEncodeErrorText;
        return false;
    }
    // Like the BMP writer: the old file is replaced only by a complete new one.
    AtomicFileWriter file;
    if (!file.Open(path)) {
        message = "File create error : " + path;
        return false;
    }
    if (!file.Write(bytes.data(), bytes.size()) || !file.Commit()) {
        message = kPngDataWriteErrorText;
        return false;
    }
    message = kSavedPngText;
    return true;
}

bool DecodePng(ByteSource& source, OwnedSurface& out) {
    uint8_t signature[sizeof kPngSignature];
    if (source.Read(signature, sizeof signature) != sizeof signature || !IsPngData(signature, sizeof signature))
        return false;
    PngJob job;
    job.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, OnPngError, OnPngWarning);
    if (!job.png) return false;
    job.info = png_create_info_struct(job.png);
    if (!job.info) {
        png_destroy_read_struct(&job.png, nullptr, nullptr);
        return false;
    }
    png_set_read_fn(job.png, &source, ReadFromSource);
    png_set_sig_bytes(job.png, int(sizeof signature));
    const bool read = ReadPicture(job);
    png_destroy_read_struct(&job.png, &job.info, nullptr);
    if (!read) return false;
    out = std::move(job.picture);
    return true;
}

bool DecodePng(const uint8_t* data, size_t size, OwnedSurface& out) {
    if (!IsPngData(data, size)) return false;
    MemorySource source(data, size);
    return DecodePng(source, out);
}

}  // namespace vellum
