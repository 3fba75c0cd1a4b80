#include "imageio/formats/Jpeg.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>

#include <jpeglib.h>
#include <jerror.h>

#include "imageio/formats/AtomicFile.h"
#include "imageio/formats/Bmp.h"
#include "imageio/formats/FileBytes.h"

namespace vellum {

namespace {

// A progressive file may hold any number of scans; past this many it is taken as an
// attempt to keep the decoder busy, not a picture.
constexpr int kMaxScans = 1000;
// What the decoder may allocate besides the picture: what the picture itself may take,
// and a little for its tables and rows. A progressive or multi-scan file keeps all of its
// coefficients, whatever its data holds: 3 bytes a pixel at 4:2:0, like the picture, but
// up to 8, so without this bound a file of a hundred bytes could take nearly a gigabyte.
constexpr long kMaxDecoderMemory = long(kBmpMaxPixelBytes) + (16L << 20);

struct JpegErrorManager {
    jpeg_error_mgr base;
    jmp_buf jump;
};

// Errors return to the setjmp of the job; nothing is printed.
[[noreturn]] void OnJpegError(j_common_ptr codec) {
    std::longjmp(reinterpret_cast<JpegErrorManager*>(codec->err)->jump, 1);
}

// Warnings about damaged data are borne, as every viewer does, but a file that ends
// before its picture does is refused: the decoder would make up the rest.
void OnJpegMessage(j_common_ptr codec, int level) {
    if (level < 0 && codec->err->msg_code == JWRN_JPEG_EOF) OnJpegError(codec);
}

void OnJpegOutput(j_common_ptr) {}

void InstallErrorManager(JpegErrorManager& err) {
    jpeg_std_error(&err.base);
    err.base.error_exit = OnJpegError;
    err.base.emit_message = OnJpegMessage;
    err.base.output_message = OnJpegOutput;
}

void OnJpegProgress(j_common_ptr codec) {
    if (!codec->is_decompressor) return;
    const j_decompress_ptr decoder = reinterpret_cast<j_decompress_ptr>(codec);
    if (decoder->input_scan_number > kMaxScans) OnJpegError(codec);
}

// The decoder's input, taken from the source a buffer at a time as it asks. At the end a
// fake end marker goes in with the libjpeg warning that the file ended early, which the
// message handler above turns into a refusal.
struct SourceReader {
    jpeg_source_mgr base;
    ByteSource* source;
    JOCTET buffer[65536];
    JOCTET end[2];
};

void InitSource(j_decompress_ptr) {}

boolean FillInput(j_decompress_ptr codec) {
    SourceReader* r = reinterpret_cast<SourceReader*>(codec->src);
    const size_t n = r->source->Read(r->buffer, sizeof r->buffer);
    if (n == 0) {
        WARNMS(codec, JWRN_JPEG_EOF);
        r->end[0] = 0xFF;
        r->end[1] = JPEG_EOI;
        r->base.next_input_byte = r->end;
        r->base.bytes_in_buffer = 2;
        return TRUE;
    }
    r->base.next_input_byte = r->buffer;
    r->base.bytes_in_buffer = n;
    return TRUE;
}

void SkipInput(j_decompress_ptr codec, long count) {
    SourceReader* r = reinterpret_cast<SourceReader*>(codec->src);
    while (count > long(r->base.bytes_in_buffer)) {
        count -= long(r->base.bytes_in_buffer);
        FillInput(codec);
    }
    if (count > 0) {
        r->base.next_input_byte += count;
        r->base.bytes_in_buffer -= size_t(count);
    }
}

void TermSource(j_decompress_ptr) {}

// Everything that must outlive a longjmp lives here, in the caller's frame; the jump
// lands in the function that called setjmp, whose own locals are plain values.
struct DecodeJob {
    JpegErrorManager err;
    jpeg_decompress_struct codec;
    jpeg_progress_mgr progress;
    SourceReader reader;
    bool created = false;
    OwnedSurface picture;
    std::unique_ptr<uint8_t[]> cmykRow;
};

// Adobe's CMYK files store the inks inverted (255 = no ink); others store them plain.
void CmykToBgr(const uint8_t* from, uint8_t* to, uint32_t width, bool inverted) {
    for (uint32_t x = 0; x < width; ++x, from += 4, to += 3) {
        uint32_t c = from[0], m = from[1], y = from[2], k = from[3];
        if (!inverted) {
            c = 255 - c;
            m = 255 - m;
            y = 255 - y;
            k = 255 - k;
        }
        to[0] = uint8_t(y * k / 255);
        to[1] = uint8_t(m * k / 255);
        to[2] = uint8_t(c * k / 255);
    }
}

bool ReadPicture(DecodeJob& job, ByteSource& source) {
    j_decompress_ptr codec = &job.codec;
    if (setjmp(job.err.jump)) return false;

    job.created = true;  // destroying a half-made decoder is safe, leaking it is not
    jpeg_create_decompress(codec);
    codec->err = &job.err.base;
    codec->mem->max_memory_to_use = kMaxDecoderMemory;
    job.progress.progress_monitor = OnJpegProgress;
    codec->progress = &job.progress;
    job.reader.source = &source;
    job.reader.base.init_source = InitSource;
    job.reader.base.fill_input_buffer = FillInput;
    job.reader.base.skip_input_data = SkipInput;
    job.reader.base.resync_to_restart = jpeg_resync_to_restart;
    job.reader.base.term_source = TermSource;
    job.reader.base.next_input_byte = nullptr;
    job.reader.base.bytes_in_buffer = 0;
    codec->src = &job.reader.base;
    if (jpeg_read_header(codec, TRUE) != JPEG_HEADER_OK) return false;

    const uint32_t width = codec->image_width, height = codec->image_height;
    if (width < 1 || height < 1 || width > uint32_t(kBmpMaxSide) || height > uint32_t(kBmpMaxSide))
        return false;
    if (int64_t(width) * int64_t(height) * 3 > kBmpMaxPixelBytes) return false;

    const bool cmyk = codec->jpeg_color_space == JCS_CMYK || codec->jpeg_color_space == JCS_YCCK;
    codec->out_color_space = cmyk ? JCS_CMYK : JCS_EXT_BGR;
    codec->scale_num = 1;
    codec->scale_denom = 1;
    jpeg_start_decompress(codec);
    const int components = cmyk ? 4 : 3;
    if (codec->output_width != width || codec->output_height != height ||
        codec->output_components != components)
        return false;

    if (!job.picture.Allocate(int(width), int(height))) return false;
    PixelSurface& picture = *job.picture;
    if (cmyk) {
        job.cmykRow.reset(new (std::nothrow) uint8_t[size_t(width) * 4]);
        if (!job.cmykRow) return false;
    }
    const bool inverted = codec->saw_Adobe_marker;
    while (codec->output_scanline < height) {
        const int y = int(codec->output_scanline);
        JSAMPROW row = cmyk ? job.cmykRow.get() : picture.At(0, y);
        if (jpeg_read_scanlines(codec, &row, 1) != 1) return false;
        if (cmyk) CmykToBgr(job.cmykRow.get(), picture.At(0, y), width, inverted);
    }
    // Every row is in; what follows the last scan is not read.
    return true;
}

struct EncodeJob {
    JpegErrorManager err;
    jpeg_compress_struct codec;
    bool created = false;
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
};

bool WritePicture(EncodeJob& job, const PixelSurface& source, int quality) {
    j_compress_ptr codec = &job.codec;
    if (setjmp(job.err.jump)) return false;

    job.created = true;
    jpeg_create_compress(codec);
    codec->err = &job.err.base;
    jpeg_mem_dest(codec, &job.buffer, &job.size);
    codec->image_width = JDIMENSION(source.width);
    codec->image_height = JDIMENSION(source.height);
    codec->input_components = 3;
    codec->in_color_space = JCS_EXT_BGR;
    jpeg_set_defaults(codec);
    jpeg_set_quality(codec, quality, TRUE);  // baseline: 8-bit quantisation tables
    if (quality >= 90) {
        for (int i = 0; i < codec->num_components; ++i) {
            codec->comp_info[i].h_samp_factor = 1;
            codec->comp_info[i].v_samp_factor = 1;
        }
    }
    jpeg_start_compress(codec, TRUE);
    while (codec->next_scanline < codec->image_height) {
        JSAMPROW row = const_cast<uint8_t*>(source.At(0, int(codec->next_scanline)));
        if (jpeg_write_scanlines(codec, &row, 1) != 1) return false;
    }
    jpeg_finish_compress(codec);
    return true;
}

}  // namespace

bool IsJpegData(const uint8_t* data, size_t size) {
    return data != nullptr && size >= 3 && data[0] == 0xFF && data[1] == 0xD8 && data[2] == 0xFF;
}

bool DecodeJpeg(const uint8_t* data, size_t size, OwnedSurface& out) {
    if (!IsJpegData(data, size)) return false;
    MemorySource source(data, size);
    return DecodeJpeg(source, out);
}

bool DecodeJpeg(ByteSource& source, OwnedSurface& out) {
    std::unique_ptr<DecodeJob> job(new (std::nothrow) DecodeJob);
    if (!job) return false;
    std::memset(&job->codec, 0, sizeof job->codec);
    std::memset(&job->progress, 0, sizeof job->progress);
    InstallErrorManager(job->err);
    job->codec.err = &job->err.base;
    const bool read = ReadPicture(*job, source);
    if (job->created) jpeg_destroy_decompress(&job->codec);
    if (!read) return false;
    out = std::move(job->picture);
    return true;
}

bool EncodeJpeg(const PixelSurface& source, int quality, std::vector<uint8_t>& out) {
    if (!source.Exists() || source.width < 1 || source.height < 1 || source.width > JPEG_MAX_DIMENSION ||
        source.height > JPEG_MAX_DIMENSION)
        return false;
    if (quality < 1) quality = 1;
    if (quality > 100) quality = 100;
    std::unique_ptr<EncodeJob> job(new (std::nothrow) EncodeJob);
    if (!job) return false;
    std::memset(&job->codec, 0, sizeof job->codec);
    InstallErrorManager(job->err);
    job->codec.err = &job->err.base;
    const bool written = WritePicture(*job, source, quality);
    if (job->created) jpeg_destroy_compress(&job->codec);
    if (written) out.assign(job->buffer, job->buffer + job->size);
    std::free(job->buffer);
    return written;
}

bool WriteJpegFile(const std::string& path, const PixelSurface& source, int quality,
                   std::string& message) {
    std::vector<uint8_t> bytes;
    if (!EncodeJpeg(source, quality, bytes)) {
        message = kJpegEncodeErrorText;
        return false;
    }
    // Like the BMP writer: the old file is replaced only by a complete new one.
    AtomicFileWriter file;
    if (!file.Open(path)) {
        message = "File create error : " + path;
        return false;
    }
    if (!file.Write(bytes.data(), bytes.size()) || !file.Commit()) {
        message = kJpegDataWriteErrorText;
        return false;
    }
    message = kSavedJpegText;
    return true;
}

}  // namespace vellum
