// Our BMP reader: every depth and header it knows, exact pixels, and malformed files
// that must be refused without reading or allocating what they claim.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <sys/mman.h>
#include <sys/stat.h>

#include "BmpTestSupport.h"
#include "imageio/formats/Bmp.h"

namespace vellum {
namespace {

using namespace bmptest;

void Put16(std::vector<uint8_t>& b, uint32_t v) {
    b.push_back(uint8_t(v));
    b.push_back(uint8_t(v >> 8));
}
void Put32(std::vector<uint8_t>& b, uint32_t v) {
    Put16(b, v & 0xFFFF);
    Put16(b, v >> 16);
}

// A file put together field by field, so that each test states exactly what it feeds.
struct FileLayout {
    uint32_t headerSize = 40;
    int32_t width = 1;
    int32_t height = 1;
    uint16_t planes = 1;
    uint16_t bits = 24;
    uint32_t compression = 0;
    uint32_t imageSize = 0;
    uint32_t coloursUsed = 0;
    std::vector<uint32_t> masks;    // after a 40-byte header, inside the larger ones
    std::vector<uint8_t> palette;   // raw entries, 3 or 4 bytes each
    std::vector<uint8_t> pixels;    // raw rows as stored
    int64_t offset = -1;            // pixel data offset; -1 places it after the palette
};

std::vector<uint8_t> Build(const FileLayout& s) {
    std::vector<uint8_t> h;
    Put32(h, s.headerSize);
    if (s.headerSize == 12) {
        Put16(h, uint32_t(s.width));
        Put16(h, uint32_t(s.height));
        Put16(h, s.planes);
        Put16(h, s.bits);
    } else {
        Put32(h, uint32_t(s.width));
        Put32(h, uint32_t(s.height));
        Put16(h, s.planes);
        Put16(h, s.bits);
        Put32(h, s.compression);
        Put32(h, s.imageSize);
        Put32(h, 2835);
        Put32(h, 2835);
        Put32(h, s.coloursUsed);
        Put32(h, 0);
        if (s.headerSize == 40) {
            for (uint32_t m : s.masks) Put32(h, m);
        } else {
            const size_t slots = std::min<size_t>(4, (s.headerSize - 40) / 4);
            for (size_t i = 0; i < slots; ++i) Put32(h, i < s.masks.size() ? s.masks[i] : 0);
            while (h.size() < s.headerSize) h.push_back(0);
        }
    }
    h.insert(h.end(), s.palette.begin(), s.palette.end());
    const uint32_t offset = s.offset >= 0 ? uint32_t(s.offset) : uint32_t(14 + h.size());
    std::vector<uint8_t> file = {'B', 'M'};
    Put32(file, uint32_t(14 + h.size() + s.pixels.size()));
    Put32(file, 0);
    Put32(file, offset);
    file.insert(file.end(), h.begin(), h.end());
    file.insert(file.end(), s.pixels.begin(), s.pixels.end());
    return file;
}

// The picture as rows of 0xRRGGBB from the top.
std::vector<std::vector<uint32_t>> Pixels(const OwnedSurface& s) {
    std::vector<std::vector<uint32_t>> rows(size_t(s->height));
    for (int y = 0; y < s->height; ++y)
        for (int x = 0; x < s->width; ++x) {
            const uint8_t* p = s->At(x, y);
            rows[size_t(y)].push_back(uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0]);
        }
    return rows;
}

using Rows = std::vector<std::vector<uint32_t>>;

Rows Decode(const std::vector<uint8_t>& file) {
    // An exactly sized copy, so that any read past the end is caught by the sanitizer.
    std::unique_ptr<uint8_t[]> bytes(new uint8_t[file.size()]);
    std::memcpy(bytes.get(), file.data(), file.size());
    OwnedSurface out;
    if (!DecodeBmp(bytes.get(), file.size(), out)) return {};
    return Pixels(out);
}

bool Decodes(const std::vector<uint8_t>& file) {
    std::vector<uint8_t> exact(file);
    exact.shrink_to_fit();
    OwnedSurface out;
    return DecodeBmp(exact.data(), exact.size(), out);
}

std::vector<uint8_t> Bgrx(std::initializer_list<uint32_t> colours) {
    std::vector<uint8_t> p;
    for (uint32_t c : colours) Put32(p, c);
    return p;
}

TEST(BmpReader, RandomSurfacesRoundTrip) {
    const int sizes[][2] = {{1, 1}, {2, 3}, {3, 2}, {5, 7}, {7, 1}, {8, 8}, {13, 4}, {240, 320}, {33, 17}};
    uint32_t seed = 1;
    for (const auto& size : sizes) {
        OwnedSurface source;
        ASSERT_TRUE(source.Allocate(size[0], size[1]));
        FillRandom(*source, seed++);
        std::vector<uint8_t> file;
        ASSERT_TRUE(EncodeBmp24(*source, file));
        EXPECT_EQ(file.size(), 54u + size_t((3 * size[0] + 3) / 4 * 4) * size_t(size[1]));
        EXPECT_EQ(U32At(file, 2), file.size());
        OwnedSurface back;
        ASSERT_TRUE(DecodeBmp(file.data(), file.size(), back));
        ASSERT_EQ(back->width, size[0]);
        ASSERT_EQ(back->height, size[1]);
        EXPECT_EQ(std::memcmp(back->bytes, source->bytes, size_t(source->byteSize)), 0) << size[0];
    }
}

TEST(BmpReader, ReadsASavedFile) {
    ScratchFolder folder;
    OwnedSurface source;
    ASSERT_TRUE(source.Allocate(24, 5));
    FillRandom(*source, 99);
    BitmapInfo info;
    ASSERT_TRUE(CreateBitmapInfo(*source, info));
    std::string message;
    ASSERT_TRUE(WriteBmpFile(folder.File("s.bmp"), info, *source, message));
    OwnedSurface back;
    ASSERT_TRUE(ReadBmpFile(folder.File("s.bmp"), back));
    EXPECT_EQ(std::memcmp(back->bytes, source->bytes, size_t(source->byteSize)), 0);
}

TEST(BmpReader, TwentyFourBitsEveryHeaderBothDirections) {
    // 2 x 2: bottom row blue, green; top row red, white. Rows padded to 8 bytes.
    const std::vector<uint8_t> bottomUp = {0xFF, 0, 0, 0, 0xFF, 0, 0, 0,
                                           0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0};
    const std::vector<uint8_t> topDown = {0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0,
                                          0xFF, 0, 0, 0, 0xFF, 0, 0, 0};
    const Rows expected = {{0xFF0000, 0xFFFFFF}, {0x0000FF, 0x00FF00}};
    for (uint32_t header : {12u, 40u, 52u, 56u, 108u, 124u}) {
        FileLayout s;
        s.headerSize = header;
        s.width = 2;
        s.height = 2;
        s.pixels = bottomUp;
        EXPECT_EQ(Decode(Build(s)), expected) << header;
        if (header == 12) continue;  // core headers cannot say top-down
        s.height = -2;
        s.pixels = topDown;
        EXPECT_EQ(Decode(Build(s)), expected) << header << " top-down";
    }
}

TEST(BmpReader, PaletteDepths) {
    // 1 bit, 3 x 2, with a gap between palette and pixels.
    FileLayout one;
    one.width = 3;
    one.height = 2;
    one.bits = 1;
    one.palette = Bgrx({0x102030, 0xA0B0C0});
    one.pixels = {0xEE, 0xEE, 0xA0, 0, 0, 0, 0x40, 0, 0, 0};  // bottom 1 0 1, top 0 1 0
    one.offset = 14 + 40 + 8 + 2;
    EXPECT_EQ(Decode(Build(one)),
              (Rows{{0x102030, 0xA0B0C0, 0x102030}, {0xA0B0C0, 0x102030, 0xA0B0C0}}));

    // 4 bits with three colours declared: index 3 has no entry and reads black.
    FileLayout four;
    four.width = 3;
    four.height = -1;
    four.bits = 4;
    four.coloursUsed = 3;
    four.palette = Bgrx({0x000001, 0x000002, 0x000003});
    four.pixels = {0x21, 0x30, 0, 0};
    EXPECT_EQ(Decode(Build(four)), (Rows{{0x000003, 0x000002, 0x000000}}));

    // 8 bits under a core header: 3-byte palette entries.
    FileLayout core;
    core.headerSize = 12;
    core.width = 2;
    core.height = 1;
    core.bits = 8;
    for (int i = 0; i < 256; ++i) {
        core.palette.push_back(uint8_t(i));
        core.palette.push_back(uint8_t(255 - i));
        core.palette.push_back(7);
    }
    core.pixels = {0, 200, 0, 0};
    EXPECT_EQ(Decode(Build(core)), (Rows{{0x07FF00, 0x0737C8}}));
}

TEST(BmpReader, SixteenBits) {
    // Without masks 16 bits are 5-5-5; 5-bit values are spread to the full 0..255.
    FileLayout plain;
    plain.width = 4;
    plain.height = 1;
    plain.bits = 16;
    plain.pixels = {0x00, 0x7C, 0xE0, 0x03, 0x1F, 0x00, 0x01, 0x00};  // red, green, blue, blue 1
    EXPECT_EQ(Decode(Build(plain)), (Rows{{0xFF0000, 0x00FF00, 0x0000FF, 0x000008}}));

    // 5-6-5 bit fields, in a 40-byte header and in a v4 header.
    for (uint32_t header : {40u, 108u}) {
        FileLayout fields;
        fields.headerSize = header;
        fields.width = 4;
        fields.height = 1;
        fields.bits = 16;
        fields.compression = 3;
        fields.masks = {0xF800, 0x07E0, 0x001F};
        fields.pixels = {0x00, 0xF8, 0xE0, 0x07, 0x20, 0x00, 0x10, 0x84};  // red, green, green 1, grey
        EXPECT_EQ(Decode(Build(fields)), (Rows{{0xFF0000, 0x00FF00, 0x000400, 0x848284}})) << header;
    }
}

TEST(BmpReader, ThirtyTwoBits) {
    FileLayout plain;
    plain.width = 2;
    plain.height = 1;
    plain.bits = 32;
    plain.pixels = Bgrx({0xFF112233, 0x00445566});  // the top byte is ignored
    EXPECT_EQ(Decode(Build(plain)), (Rows{{0x112233, 0x445566}}));

    // Bytes in R G B A order from a v5 header.
    FileLayout rgba = plain;
    rgba.headerSize = 124;
    rgba.compression = 3;
    rgba.masks = {0x000000FF, 0x0000FF00, 0x00FF0000, 0xFF000000};
    rgba.pixels = Bgrx({0x80332211, 0x00665544});
    EXPECT_EQ(Decode(Build(rgba)), (Rows{{0x112233, 0x445566}}));

    // 10-bit channels keep their top 8 bits; alpha bit fields after a 40-byte header.
    FileLayout wide = plain;
    wide.compression = 6;
    wide.masks = {0x3FF00000, 0x000FFC00, 0x000003FF, 0xC0000000};
    wide.pixels = Bgrx({0x3FF00000 | (0x200u << 10) | 0x004, 0xC0000000});
    EXPECT_EQ(Decode(Build(wide)), (Rows{{0xFF8001, 0x000000}}));
}

TEST(BmpReader, RunLengthEncodings) {
    FileLayout rle8;
    rle8.width = 4;
    rle8.height = 3;
    rle8.bits = 8;
    rle8.compression = 1;
    rle8.coloursUsed = 4;
    rle8.palette = Bgrx({0x000000, 0x111111, 0x222222, 0x333333});
    rle8.pixels = {2, 1, 2, 2, 0, 0,           // bottom: 1 1 2 2
                   0, 3, 3, 2, 1, 0, 0, 0,     // middle: literal 3 2 1, end of row
                   0, 2, 1, 0, 1, 3,           // skip one pixel right, then a 3
                   0, 1};
    EXPECT_EQ(Decode(Build(rle8)), (Rows{{0x000000, 0x333333, 0x000000, 0x000000},
                                         {0x333333, 0x222222, 0x111111, 0x000000},
                                         {0x111111, 0x111111, 0x222222, 0x222222}}));

    FileLayout rle4 = rle8;
    rle4.height = 1;
    rle4.width = 7;
    rle4.bits = 4;
    rle4.compression = 2;
    rle4.pixels = {3, 0x12, 0, 3, 0x32, 0x10, 0, 1};  // 1 2 1, literal 3 2 1
    EXPECT_EQ(Decode(Build(rle4)),
              (Rows{{0x111111, 0x222222, 0x111111, 0x333333, 0x222222, 0x111111, 0x000000}}));

    // Runs that pass the edges are clipped, and data that simply ends ends the picture.
    FileLayout wild = rle8;
    wild.pixels = {255, 3, 0, 2, 255, 255, 0, 255, 1, 2};
    EXPECT_TRUE(Decodes(Build(wild)));
}

TEST(BmpReader, EveryTruncationFailsCleanly) {
    FileLayout fields;
    fields.width = 3;
    fields.height = 2;
    fields.bits = 16;
    fields.compression = 3;
    fields.masks = {0xF800, 0x07E0, 0x001F};
    fields.pixels = std::vector<uint8_t>(16, 0x5A);
    FileLayout palette;
    palette.width = 3;
    palette.height = 2;
    palette.bits = 8;
    palette.palette = Bgrx({1, 2, 3, 4});
    palette.coloursUsed = 4;
    palette.pixels = std::vector<uint8_t>(8, 2);
    FileLayout core = palette;
    core.headerSize = 12;
    core.coloursUsed = 0;
    core.palette = std::vector<uint8_t>(3 * 256, 9);
    FileLayout v5;
    v5.headerSize = 124;
    v5.width = 3;
    v5.height = -2;
    v5.pixels = std::vector<uint8_t>(24, 0x77);
    for (const FileLayout& layout : {fields, palette, core, v5}) {
        const std::vector<uint8_t> file = Build(layout);
        ASSERT_TRUE(Decodes(file));
        for (size_t n = 0; n < file.size(); ++n)
            EXPECT_FALSE(Decodes(std::vector<uint8_t>(file.begin(), file.begin() + long(n))))
                << layout.headerSize << " cut at " << n;
    }
    // Run-length data may end anywhere; each cut must at least stay inside the bytes.
    FileLayout rle;
    rle.width = 4;
    rle.height = 2;
    rle.bits = 8;
    rle.compression = 1;
    rle.coloursUsed = 2;
    rle.palette = Bgrx({1, 2});
    rle.pixels = {0, 5, 1, 0, 1, 0, 1, 0, 0, 2, 1, 1, 4, 1, 0, 1};
    const std::vector<uint8_t> file = Build(rle);
    for (size_t n = 0; n <= file.size(); ++n) Decodes(std::vector<uint8_t>(file.begin(), file.begin() + long(n)));
}

TEST(BmpReader, MalformedHeadersAreRefused) {
    FileLayout good;
    good.width = 2;
    good.height = 2;
    good.pixels = std::vector<uint8_t>(16, 1);
    ASSERT_TRUE(Decodes(Build(good)));
    auto refused = [&](auto change) {
        FileLayout s = good;
        change(s);
        return !Decodes(Build(s));
    };
    EXPECT_TRUE(refused([](FileLayout& s) { s.offset = 14 + 40 + 16 + 1; }));  // past the end
    EXPECT_TRUE(refused([](FileLayout& s) { s.offset = 0xFFFFFFF0; }));
    EXPECT_TRUE(refused([](FileLayout& s) { s.offset = 20; }));  // inside the header
    EXPECT_TRUE(refused([](FileLayout& s) { s.offset = 14 + 40 + 1; }));  // last row cut short
    EXPECT_TRUE(refused([](FileLayout& s) { s.width = 0; }));
    EXPECT_TRUE(refused([](FileLayout& s) { s.width = -2; }));
    EXPECT_TRUE(refused([](FileLayout& s) { s.height = 0; }));
    EXPECT_TRUE(refused([](FileLayout& s) { s.height = INT32_MIN; }));
    EXPECT_TRUE(refused([](FileLayout& s) { s.height = 40000; }));
    EXPECT_TRUE(refused([](FileLayout& s) { s.width = 40000; }));
    EXPECT_TRUE(refused([](FileLayout& s) { s.width = 32768; s.height = 32768; }));  // too many pixels
    EXPECT_TRUE(refused([](FileLayout& s) { s.planes = 0; }));
    EXPECT_TRUE(refused([](FileLayout& s) { s.planes = 2; }));
    EXPECT_TRUE(refused([](FileLayout& s) { s.headerSize = 50; }));
    EXPECT_TRUE(refused([](FileLayout& s) { s.headerSize = 64; }));
    EXPECT_TRUE(refused([](FileLayout& s) { s.bits = 0; }));
    EXPECT_TRUE(refused([](FileLayout& s) { s.bits = 2; }));
    EXPECT_TRUE(refused([](FileLayout& s) { s.compression = 4; }));        // embedded JPEG
    EXPECT_TRUE(refused([](FileLayout& s) { s.compression = 3; s.masks = {1, 2, 4}; }));  // 24-bit fields
    EXPECT_TRUE(refused([](FileLayout& s) { s.bits = 8; s.compression = 1; s.height = -2; }));  // top-down RLE
    EXPECT_TRUE(refused([](FileLayout& s) { s.bits = 8; s.coloursUsed = 0xFFFFFFFF; }));
    EXPECT_TRUE(refused([](FileLayout& s) { s.bits = 4; s.coloursUsed = 17; }));
    std::vector<uint8_t> notBmp = Build(good);
    notBmp[1] = 'A';
    EXPECT_FALSE(Decodes(notBmp));
    EXPECT_FALSE(Decodes({}));
    OwnedSurface out;
    EXPECT_FALSE(DecodeBmp(nullptr, 100, out));
}

// The claimed size is refused from the header alone: the pixels behind it are never
// touched, and no surface is made.
TEST(BmpReader, PicturesPastTheLimitAreRefusedBeforeAllocating) {
    const size_t claimed = size_t(54) + size_t(20000) * 20000 * 3;
    void* map = mmap(nullptr, claimed, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    ASSERT_NE(map, MAP_FAILED);
    FileLayout big;
    big.width = 20000;
    big.height = 20000;
    const std::vector<uint8_t> header = Build(big);
    std::memcpy(map, header.data(), header.size());
    OwnedSurface out;
    EXPECT_FALSE(DecodeBmp(static_cast<uint8_t*>(map), claimed, out));
    EXPECT_FALSE(out.Exists());
    munmap(map, claimed);

    // At one bit a pixel the files stay small: the largest picture allowed is read,
    // one row more is not.
    FileLayout wide;
    wide.width = 32768;
    wide.height = 2730;  // 32768 x 2730 x 3 is just under 256 MiB
    wide.bits = 1;
    wide.palette = Bgrx({0, 0xFFFFFF});
    wide.pixels = std::vector<uint8_t>(4096 * 2731, 0);
    wide.pixels[0] = 0x80;
    OwnedSurface largest;
    std::vector<uint8_t> file = Build(wide);
    ASSERT_TRUE(DecodeBmp(file.data(), file.size(), largest));
    EXPECT_EQ(largest->At(0, 2729)[0], 0xFF);
    EXPECT_EQ(largest->At(1, 2729)[0], 0x00);
    largest.Release();
    wide.height = 2731;
    file = Build(wide);
    EXPECT_FALSE(DecodeBmp(file.data(), file.size(), largest));
}

TEST(BmpReader, OnlyRegularFilesAreRead) {
    ScratchFolder folder;
    OwnedSurface out;
    EXPECT_FALSE(ReadBmpFile(folder.File("missing.bmp"), out));
    EXPECT_FALSE(ReadBmpFile(folder.path, out));
    ASSERT_EQ(mkfifo(folder.File("pipe.bmp").c_str(), 0644), 0);
    EXPECT_FALSE(ReadBmpFile(folder.File("pipe.bmp"), out));  // and does not wait for a writer
    WriteAll(folder.File("empty.bmp"), {});
    EXPECT_FALSE(ReadBmpFile(folder.File("empty.bmp"), out));
    EXPECT_FALSE(out.Exists());
}

}  // namespace
}  // namespace vellum
