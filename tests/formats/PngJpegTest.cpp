// The PNG and JPEG readers, the JPEG writer, and the loader that tells the formats apart
// by their content: exact pixels for every PNG form, a lossy round trip within a small
// error, and damaged, cut-short and oversized files refused cleanly.
#include <gtest/gtest.h>

#include <csignal>
#include <random>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include "CodecTestSupport.h"
#include "imageio/formats/Bmp.h"
#include "imageio/formats/Jpeg.h"
#include "imageio/formats/PictureFile.h"
#include "imageio/formats/Png.h"

namespace vellum {
namespace {

using namespace bmptest;
using namespace codectest;

struct Rgb {
    int r, g, b;
    bool operator==(const Rgb&) const = default;
};
std::ostream& operator<<(std::ostream& o, const Rgb& c) { return o << "(" << c.r << "," << c.g << "," << c.b << ")"; }

Rgb At(const OwnedSurface& s, int x, int y) {
    const uint8_t* p = s->At(x, y);
    return {p[2], p[1], p[0]};
}

void ExpectPixels(const std::vector<uint8_t>& file, int width, const std::vector<Rgb>& want) {
    OwnedSurface picture;
    ASSERT_TRUE(DecodePng(file.data(), file.size(), picture));
    ASSERT_EQ(picture->width, width);
    ASSERT_EQ(picture->height, int(want.size()) / width);
    for (size_t i = 0; i < want.size(); ++i)
        EXPECT_EQ(At(picture, int(i) % width, int(i) / width), want[i]) << "pixel " << i;
}

// ---- PNG ------------------------------------------------------------------------------

TEST(PngReader, PaletteWithTransparencyLaysOverWhite) {
    PngPicture picture;
    picture.width = 4;
    picture.height = 2;
    picture.colourType = PNG_COLOR_TYPE_PALETTE;
    picture.bitDepth = 2;
    picture.palette = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {10, 20, 30}};
    picture.paletteAlpha = {255, 0, 128};  // entry 3 has none: opaque
    picture.rows = {{0b00011011}, {0b11100100}};
    // Half-transparent blue: (0 * 128 + 255 * 127) / 255 = 127 for red and green.
    const Rgb red{255, 0, 0}, white{255, 255, 255}, half{127, 127, 255}, dark{10, 20, 30};
    ExpectPixels(MakePng(picture), 4, {red, white, half, dark, dark, half, white, red});
}

TEST(PngReader, GreyOfEveryDepthBecomesThreeEqualChannels) {
    PngPicture one;
    one.width = 8;
    one.height = 1;
    one.colourType = PNG_COLOR_TYPE_GRAY;
    one.bitDepth = 1;
    one.rows = {{0b10110000}};
    const Rgb w{255, 255, 255}, k{0, 0, 0};
    ExpectPixels(MakePng(one), 8, {w, k, w, w, k, k, k, k});

    PngPicture four = one;
    four.width = 2;
    four.bitDepth = 4;
    four.rows = {{0x5F}};  // 5 * 17 = 85
    ExpectPixels(MakePng(four), 2, {{85, 85, 85}, {255, 255, 255}});

    PngPicture eight = one;
    eight.width = 3;
    eight.bitDepth = 8;
    eight.rows = {{0, 77, 254}};
    ExpectPixels(MakePng(eight), 3, {{0, 0, 0}, {77, 77, 77}, {254, 254, 254}});

    PngPicture sixteen = eight;
    sixteen.width = 2;
    sixteen.bitDepth = 16;
    sixteen.rows = {{0x80, 0x80, 0x12, 0x12}};  // multiples of 257 scale exactly
    ExpectPixels(MakePng(sixteen), 2, {{128, 128, 128}, {18, 18, 18}});
}

TEST(PngReader, AlphaIsCompositedOverWhiteWithTruncation) {
    PngPicture grey;
    grey.width = 3;
    grey.height = 1;
    grey.colourType = PNG_COLOR_TYPE_GRAY_ALPHA;
    grey.rows = {{100, 51, 7, 0, 7, 255}};
    // (100 * 51 + 255 * 204) / 255 = 224; alpha 0 is white; alpha 255 is the grey.
    ExpectPixels(MakePng(grey), 3, {{224, 224, 224}, {255, 255, 255}, {7, 7, 7}});

    PngPicture rgba;
    rgba.width = 2;
    rgba.height = 1;
    rgba.colourType = PNG_COLOR_TYPE_RGBA;
    rgba.rows = {{200, 100, 50, 128, 1, 2, 3, 255}};
    // (200 * 128 + 255 * 127) / 255 = 227.39, (100 ...) = 177.19, (50 ...) = 152.1.
    ExpectPixels(MakePng(rgba), 2, {{227, 177, 152}, {1, 2, 3}});

    PngPicture rgba16 = rgba;
    rgba16.width = 1;
    rgba16.bitDepth = 16;
    rgba16.rows = {{200, 200, 100, 100, 50, 50, 128, 128}};
    ExpectPixels(MakePng(rgba16), 1, {{227, 177, 152}});
}

TEST(PngReader, SixteenBitRgbAndTopRowFirst) {
    PngPicture picture;
    picture.width = 1;
    picture.height = 2;
    picture.bitDepth = 16;
    picture.rows = {{0xAB, 0xAB, 0x01, 0x01, 0xFF, 0xFF}, {0x00, 0x00, 0x7F, 0x7F, 0x10, 0x10}};
    ExpectPixels(MakePng(picture), 1, {{0xAB, 0x01, 0xFF}, {0x00, 0x7F, 0x10}});
}

TEST(PngReader, InterlacedGivesTheSamePixelsAsPlain) {
    std::mt19937 random(3);
    for (int colourType : {PNG_COLOR_TYPE_RGB, PNG_COLOR_TYPE_RGBA}) {
        PngPicture plain;
        plain.width = 13;
        plain.height = 11;
        plain.colourType = colourType;
        const int channels = colourType == PNG_COLOR_TYPE_RGB ? 3 : 4;
        for (int y = 0; y < plain.height; ++y) {
            std::vector<uint8_t> row(size_t(plain.width * channels));
            for (uint8_t& b : row) b = uint8_t(random());
            plain.rows.push_back(row);
        }
        PngPicture interlaced = plain;
        interlaced.interlaced = true;
        OwnedSurface a, b;
        const std::vector<uint8_t> fa = MakePng(plain), fb = MakePng(interlaced);
        ASSERT_TRUE(DecodePng(fa.data(), fa.size(), a));
        ASSERT_TRUE(DecodePng(fb.data(), fb.size(), b));
        ASSERT_EQ(a->byteSize, b->byteSize);
        EXPECT_EQ(0, std::memcmp(a->bytes, b->bytes, size_t(a->byteSize))) << "colour type " << colourType;
        if (channels == 3) {
            for (int y = 0; y < plain.height; ++y)
                for (int x = 0; x < plain.width; ++x) {
                    const uint8_t* p = &plain.rows[size_t(y)][size_t(x) * 3];
                    ASSERT_EQ(At(b, x, y), (Rgb{p[0], p[1], p[2]}));
                }
        }
    }
}

// Offset just past the last IDAT chunk's CRC.
size_t EndOfImageData(const std::vector<uint8_t>& png) {
    size_t at = 8, end = 0;
    while (at + 12 <= png.size()) {
        const uint32_t length = uint32_t(png[at]) << 24 | png[at + 1] << 16 | png[at + 2] << 8 | png[at + 3];
        if (std::memcmp(&png[at + 4], "IDAT", 4) == 0) end = at + 12 + length;
        at += 12 + length;
    }
    return end;
}

std::vector<uint8_t> SmallRgbPng(int width, int height) {
    PngPicture picture;
    picture.width = width;
    picture.height = height;
    for (int y = 0; y < height; ++y) {
        std::vector<uint8_t> row;
        for (int x = 0; x < width; ++x) row.insert(row.end(), {uint8_t(x * 9), uint8_t(y * 5), uint8_t(x ^ y)});
        picture.rows.push_back(row);
    }
    return MakePng(picture);
}

TEST(PngReader, EveryCutBeforeTheLastPixelDataFails) {
    const std::vector<uint8_t> file = SmallRgbPng(16, 12);
    const size_t end = EndOfImageData(file);
    ASSERT_GT(end, 40u);
    OwnedSurface picture;
    for (size_t size = 0; size < end; ++size) {
        ASSERT_FALSE(DecodePng(file.data(), size, picture)) << "cut at " << size;
        EXPECT_FALSE(picture.Exists());
    }
    EXPECT_TRUE(DecodePng(file.data(), file.size(), picture));
}

TEST(PngReader, DamagedFilesFailOrLoadButNeverCrash) {
    const std::vector<uint8_t> good = SmallRgbPng(10, 10);
    OwnedSurface picture;
    std::vector<uint8_t> bad = good;
    bad[29] ^= 0x01;  // the IHDR's CRC
    EXPECT_FALSE(DecodePng(bad.data(), bad.size(), picture));
    bad = good;
    bad[16 + 8] = 3;  // bit depth 3 does not exist
    EXPECT_FALSE(DecodePng(bad.data(), bad.size(), picture));
    const std::vector<uint8_t> junk = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    EXPECT_FALSE(DecodePng(junk.data(), junk.size(), picture));
    std::mt19937 random(11);
    int loaded = 0;
    for (int round = 0; round < 400; ++round) {
        bad = good;
        for (int k = 0; k < 3; ++k) bad[8 + random() % (bad.size() - 8)] = uint8_t(random());
        if (DecodePng(bad.data(), bad.size(), picture)) {
            ++loaded;
            EXPECT_EQ(picture->width * picture->height * 3, picture->byteSize);
        }
    }
    EXPECT_LT(loaded, 400);
}

TEST(PngReader, LimitsAreCheckedFromTheHeaderBeforeAllocating) {
    OwnedSurface picture;
    for (auto [w, h] : {std::pair{32769u, 1u}, {1u, 32769u}, {0u, 5u}, {0x80000000u, 1u}}) {
        const std::vector<uint8_t> header = PngHeaderOnly(w, h);
        EXPECT_FALSE(DecodePng(header.data(), header.size(), picture)) << w << "x" << h;
    }
    // Within the side limit but over 256 MiB of pixels: refused without touching memory.
    const std::vector<uint8_t> huge = PngHeaderOnly(32768, 32768);
    const long growth = PeakGrowthMiB([&]() {
        OwnedSurface p;
        return DecodePng(huge.data(), huge.size(), p);
    });
    EXPECT_GE(growth, 0);
    EXPECT_LT(growth, 32);
    // The side limit itself is allowed.
    const std::vector<uint8_t> wide = SmallRgbPng(32768, 1);
    ASSERT_TRUE(DecodePng(wide.data(), wide.size(), picture));
    EXPECT_EQ(picture->width, 32768);
    EXPECT_EQ(At(picture, 32767, 0), (Rgb{uint8_t(32767 * 9), 0, uint8_t(32767)}));
}

// The writer is lossless: random pictures of odd sizes come back byte for byte, as 8-bit
// RGB without alpha; a file is replaced only by a complete new one.
TEST(PngWriter, RandomPicturesComeBackByteForByte) {
    std::mt19937 rng(11);
    for (auto [w, h] : {std::pair{1, 1}, {3, 7}, {240, 320}, {333, 17}}) {
        OwnedSurface source;
        ASSERT_TRUE(source.Allocate(w, h));
        for (int32_t i = 0; i < source->byteSize; ++i) source->bytes[i] = uint8_t(rng());
        std::vector<uint8_t> file;
        ASSERT_TRUE(EncodePng(*source, file));
        EXPECT_EQ(file[24], 8);  // bit depth
        EXPECT_EQ(file[25], 2);  // colour type: RGB
        OwnedSurface back;
        ASSERT_TRUE(DecodePng(file.data(), file.size(), back));
        ASSERT_EQ(back->width, w);
        ASSERT_EQ(back->height, h);
        EXPECT_EQ(0, std::memcmp(back->bytes, source->bytes, size_t(source->byteSize))) << w << "x" << h;
    }
    ScratchFolder folder;
    OwnedSurface source;
    ASSERT_TRUE(source.Allocate(8, 4));
    FillSmooth(*source);
    std::string message;
    ASSERT_TRUE(WritePngFile(folder.File("a.png"), *source, message));
    EXPECT_EQ(message, kSavedPngText);
    OwnedSurface loaded;
    ASSERT_TRUE(LoadPictureFile(folder.File("a.png"), loaded));
    EXPECT_EQ(0, std::memcmp(loaded->bytes, source->bytes, size_t(source->byteSize)));
    EXPECT_FALSE(WritePngFile(folder.File("no such folder/a.png"), *source, message));
    EXPECT_EQ(message, "File create error : " + folder.File("no such folder/a.png"));
}

// ---- JPEG -----------------------------------------------------------------------------

TEST(JpegWriter, BaselineWithFullColourFromQualityNinety) {
    OwnedSurface source;
    ASSERT_TRUE(source.Allocate(64, 48));
    FillSmooth(*source);
    for (int quality : {100, 90, 89, 50}) {
        std::vector<uint8_t> file;
        ASSERT_TRUE(EncodeJpeg(*source, quality, file));
        ASSERT_TRUE(IsJpegData(file.data(), file.size()));
        const size_t sof = FindMarker(file, 0xC0);
        ASSERT_NE(sof, std::string::npos) << "baseline frame";
        EXPECT_EQ(FindMarker(file, 0xC2), std::string::npos) << "no progressive frame";
        ASSERT_EQ(file[sof + 9], 3);  // three components
        const uint8_t want = quality >= 90 ? 0x11 : 0x22;
        EXPECT_EQ(file[sof + 11], want) << "luma sampling at quality " << quality;
        EXPECT_EQ(file[sof + 14], 0x11);
        EXPECT_EQ(file[sof + 17], 0x11);
    }
    // Out-of-range qualities are clamped.
    std::vector<uint8_t> a, b;
    ASSERT_TRUE(EncodeJpeg(*source, 0, a));
    ASSERT_TRUE(EncodeJpeg(*source, 1, b));
    EXPECT_EQ(a, b);
    ASSERT_TRUE(EncodeJpeg(*source, 500, a));
    ASSERT_TRUE(EncodeJpeg(*source, 100, b));
    EXPECT_EQ(a, b);
    OwnedSurface absent;
    EXPECT_FALSE(EncodeJpeg(*absent, 90, a));
}

TEST(JpegReader, RoundTripOfASmoothPictureStaysClose) {
    OwnedSurface source;
    ASSERT_TRUE(source.Allocate(96, 80));
    FillSmooth(*source);
    for (int quality : {100, 70}) {
        std::vector<uint8_t> file;
        ASSERT_TRUE(EncodeJpeg(*source, quality, file));
        OwnedSurface back;
        ASSERT_TRUE(DecodeJpeg(file.data(), file.size(), back));
        ASSERT_EQ(back->width, 96);
        ASSERT_EQ(back->height, 80);
        EXPECT_LT(MeanAbsError(*source, *back), quality == 100 ? 1.0 : 3.0) << quality;
        // Not mirrored: the top-left corner stays where it was.
        EXPECT_NEAR(At(back, 0, 0).g, 200, 4);
        EXPECT_NEAR(At(back, 0, 79).g, 200 - 79 * 120 / 80, 4);
    }
}

TEST(JpegReader, GreyCmykAndProgressiveFiles) {
    const int w = 16, h = 16;
    std::vector<uint8_t> grey(size_t(w * h));
    for (int i = 0; i < w * h; ++i) grey[size_t(i)] = uint8_t(i % w * 16);
    std::vector<uint8_t> file = MakeJpeg(w, h, 1, JCS_GRAYSCALE, grey, 100, false);
    OwnedSurface picture;
    ASSERT_TRUE(DecodeJpeg(file.data(), file.size(), picture));
    for (int x = 0; x < w; ++x) {
        const Rgb c = At(picture, x, 5);
        EXPECT_EQ(c.r, c.g);
        EXPECT_EQ(c.g, c.b);
        EXPECT_NEAR(c.r, x * 16, 3);
    }

    // libjpeg marks CMYK files as Adobe's, which store the inks inverted: stored
    // (255, 0, 255, 255) is magenta ink alone.
    std::vector<uint8_t> cmyk;
    for (int i = 0; i < w * h; ++i) cmyk.insert(cmyk.end(), {255, 0, 255, 255});
    file = MakeJpeg(w, h, 4, JCS_CMYK, cmyk, 100, false);
    ASSERT_NE(FindMarker(file, 0xEE), std::string::npos) << "Adobe marker";
    ASSERT_TRUE(DecodeJpeg(file.data(), file.size(), picture));
    const Rgb magenta = At(picture, 7, 7);
    EXPECT_NEAR(magenta.r, 255, 3);
    EXPECT_NEAR(magenta.g, 0, 3);
    EXPECT_NEAR(magenta.b, 255, 3);

    OwnedSurface source;
    ASSERT_TRUE(source.Allocate(40, 24));
    FillSmooth(*source);
    std::vector<uint8_t> rgb;
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 40; ++x) {
            const uint8_t* p = source->At(x, y);
            rgb.insert(rgb.end(), {p[2], p[1], p[0]});
        }
    file = MakeJpeg(40, 24, 3, JCS_RGB, rgb, 95, true);
    ASSERT_NE(FindMarker(file, 0xC2), std::string::npos) << "progressive frame";
    ASSERT_TRUE(DecodeJpeg(file.data(), file.size(), picture));
    EXPECT_LT(MeanAbsError(*source, *picture), 3.0);
}

TEST(JpegReader, CutShortOrDamagedFilesFailCleanly) {
    OwnedSurface source;
    ASSERT_TRUE(source.Allocate(32, 24));
    FillSmooth(*source);
    for (bool progressive : {false, true}) {
        std::vector<uint8_t> rgb(size_t(32 * 24 * 3), 90);
        const std::vector<uint8_t> file = progressive ? MakeJpeg(32, 24, 3, JCS_RGB, rgb, 90, true) : [&] {
            std::vector<uint8_t> f;
            EncodeJpeg(*source, 90, f);
            return f;
        }();
        OwnedSurface picture;
        for (size_t size = 0; size < file.size(); ++size) {  // even a missing end marker
            ASSERT_FALSE(DecodeJpeg(file.data(), size, picture)) << "cut at " << size << " of " << file.size();
            EXPECT_FALSE(picture.Exists());
        }
        EXPECT_TRUE(DecodeJpeg(file.data(), file.size(), picture));
    }
    const std::vector<uint8_t> junk = {0xFF, 0xD8, 0xFF, 0xE0, 0, 4, 1, 2, 3, 4, 5, 6, 7, 8, 9};
    OwnedSurface picture;
    EXPECT_FALSE(DecodeJpeg(junk.data(), junk.size(), picture));

    std::vector<uint8_t> good;
    ASSERT_TRUE(EncodeJpeg(*source, 80, good));
    std::mt19937 random(5);
    for (int round = 0; round < 300; ++round) {
        std::vector<uint8_t> bad = good;
        for (int k = 0; k < 3; ++k) bad[3 + random() % (bad.size() - 3)] = uint8_t(random());
        if (DecodeJpeg(bad.data(), bad.size(), picture)) {
            EXPECT_EQ(picture->width * picture->height * 3, picture->byteSize);
        }
    }
}

// The frame header's height and width, patched in place.
std::vector<uint8_t> WithFrameSize(std::vector<uint8_t> file, uint8_t frameMarker, int width, int height) {
    const size_t sof = FindMarker(file, frameMarker);
    EXPECT_NE(sof, std::string::npos);
    file[sof + 5] = uint8_t(height >> 8);
    file[sof + 6] = uint8_t(height);
    file[sof + 7] = uint8_t(width >> 8);
    file[sof + 8] = uint8_t(width);
    return file;
}

TEST(JpegReader, LimitsAreCheckedFromTheHeaderBeforeDecoding) {
    OwnedSurface source;
    ASSERT_TRUE(source.Allocate(16, 16));
    FillSmooth(*source);
    std::vector<uint8_t> baseline;
    ASSERT_TRUE(EncodeJpeg(*source, 90, baseline));
    OwnedSurface picture;
    for (auto [w, h] : {std::pair{32769, 16}, {16, 32769}, {65500, 65500}}) {
        const std::vector<uint8_t> file = WithFrameSize(baseline, 0xC0, w, h);
        EXPECT_FALSE(DecodeJpeg(file.data(), file.size(), picture)) << w << "x" << h;
    }
    std::vector<uint8_t> rgb(16 * 16 * 3, 128);
    const std::vector<uint8_t> progressive = MakeJpeg(16, 16, 3, JCS_RGB, rgb, 90, true);
    for (const auto& file : {WithFrameSize(baseline, 0xC0, 20000, 20000), WithFrameSize(progressive, 0xC2, 20000, 20000)}) {
        const long growth = PeakGrowthMiB([&]() {
            OwnedSurface p;
            return DecodeJpeg(file.data(), file.size(), p);
        });
        EXPECT_GE(growth, 0);
        EXPECT_LT(growth, 32);
    }
}

// A progressive file keeps every coefficient of its picture, whatever its data holds.
// These 129 bytes claim the largest picture allowed with three full-resolution
// components: their coefficients alone would take twice the picture's memory, so the
// file is refused before any of it is touched. At a size whose coefficients fit, the
// same file is read, its missing data borne as grey.
TEST(JpegReader, ProgressiveCoefficientsAreBoundedLikeThePicture) {
    std::vector<uint8_t> file = {0xFF, 0xD8, 0xFF, 0xDB, 0x00, 0x43, 0x00};
    file.insert(file.end(), 64, 1);  // a quantisation table of ones
    const std::vector<uint8_t> rest = {
        // Progressive frame: 8 bits, 2730 rows of 32768, three components sampled 1x1.
        0xFF, 0xC2, 0x00, 0x11, 0x08, 0x0A, 0xAA, 0x80, 0x00, 0x03,
        0x01, 0x11, 0x00, 0x02, 0x11, 0x00, 0x03, 0x11, 0x00,
        // One DC table: the single one-bit code 0 means "no change".
        0xFF, 0xC4, 0x00, 0x14, 0x00,
        0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,  // lengths
        0x00,                                                                                    // symbol
        // A DC scan of all three components, one byte of data, and the end.
        0xFF, 0xDA, 0x00, 0x0C, 0x03, 0x01, 0x00, 0x02, 0x00, 0x03, 0x00, 0x00, 0x00, 0x00,
        0x00, 0xFF, 0xD9};
    file.insert(file.end(), rest.begin(), rest.end());
    ASSERT_EQ(file.size(), 129u);

    const long growth = PeakGrowthMiB([&]() {
        OwnedSurface p;
        return DecodeJpeg(file.data(), file.size(), p);
    });
    EXPECT_GE(growth, 0) << "read, or the decode died";
    EXPECT_LT(growth, 32);

    const std::vector<uint8_t> fits = WithFrameSize(file, 0xC2, 4096, 4096);
    OwnedSurface picture;
    ASSERT_TRUE(DecodeJpeg(fits.data(), fits.size(), picture));
    EXPECT_EQ(picture->width, 4096);
    EXPECT_EQ(picture->height, 4096);
    EXPECT_EQ(At(picture, 4095, 4095), (Rgb{128, 128, 128}));
}

TEST(JpegWriter, FileIsReplacedOnlyWhenComplete) {
    ScratchFolder folder;
    OwnedSurface canvas;
    ASSERT_TRUE(canvas.Allocate(240, 320));
    FillSmooth(*canvas);
    std::string message;
    const std::string path = folder.File("pic.jpg");
    ASSERT_TRUE(WriteJpegFile(path, *canvas, 100, message));
    EXPECT_EQ(message, "Saved JPEG");
    std::vector<uint8_t> expected;
    ASSERT_TRUE(EncodeJpeg(*canvas, 100, expected));
    EXPECT_EQ(ReadAll(path), expected);

    const std::string missing = folder.File("nowhere/pic.jpg");
    EXPECT_FALSE(WriteJpegFile(missing, *canvas, 100, message));
    EXPECT_EQ(message, "File create error : " + missing);
    EXPECT_FALSE(FileExists(missing));

    // A full disk, as a file size limit: the old file stays and no temporary is left.
    const std::vector<uint8_t> old = {1, 2, 3};
    WriteAll(path, old);
    const std::vector<std::string> before = folder.Entries();
    for (rlim_t limit : {rlim_t(0), rlim_t(100), rlim_t(expected.size() - 1)}) {
        const std::string text = RunInChild([&]() {
            signal(SIGXFSZ, SIG_IGN);
            struct rlimit rl = {limit, limit};
            if (setrlimit(RLIMIT_FSIZE, &rl) != 0) return std::string("no limit");
            std::string m;
            return WriteJpegFile(path, *canvas, 100, m) ? std::string("saved") : m;
        });
        EXPECT_EQ(text, "File write error : jpegdata") << limit;
        EXPECT_EQ(ReadAll(path), old);
        EXPECT_EQ(folder.Entries(), before);
    }
}

// ---- The loader -----------------------------------------------------------------------

// PNG and JPEG files are read as their decoders ask: a picture followed by half a
// gigabyte (a sparse file here) loads without reading the rest, and a header over the
// limits is refused before more of the file is read.
TEST(LoadPictureFile, PngAndJpegAreReadAsTheDecoderAsks) {
    ScratchFolder folder;
    OwnedSurface source;
    ASSERT_TRUE(source.Allocate(8, 4));
    FillSmooth(*source);
    std::vector<uint8_t> jpeg;
    ASSERT_TRUE(EncodeJpeg(*source, 100, jpeg));
    WriteAll(folder.File("long.png"), SmallRgbPng(8, 4));
    WriteAll(folder.File("long.jpg"), jpeg);
    WriteAll(folder.File("huge.png"), PngHeaderOnly(32768, 32768));
    for (const char* name : {"long.png", "long.jpg", "huge.png"})
        ASSERT_EQ(truncate(folder.File(name).c_str(), off_t(512) << 20), 0);
    for (const char* name : {"long.png", "long.jpg", "huge.png"}) {
        const std::string text = bmptest::RunInChild([&]() {
            const long before = PeakResidentKiB(true);
            OwnedSurface picture;
            const bool loaded = LoadPictureFile(folder.File(name), picture);
            const long after = PeakResidentKiB(false);
            return std::string(loaded ? "loaded " : "refused ") + std::to_string((after - before) / 1024);
        });
        SCOPED_TRACE(name + (" " + text));
        EXPECT_EQ(text.rfind(std::string(name) == "huge.png" ? "refused " : "loaded ", 0), 0u);
        const size_t space = text.find(' ');
        ASSERT_NE(space, std::string::npos);
        EXPECT_LT(std::stol(text.substr(space + 1)), 32) << "MiB more at the peak";
    }
}

TEST(LoadPictureFile, TheContentDecidesTheFormatNotTheName) {
    ScratchFolder folder;
    OwnedSurface source;
    ASSERT_TRUE(source.Allocate(8, 4));
    FillSmooth(*source);
    std::vector<uint8_t> bmp, jpeg;
    ASSERT_TRUE(EncodeBmp24(*source, bmp));
    ASSERT_TRUE(EncodeJpeg(*source, 100, jpeg));
    WriteAll(folder.File("really-a-bmp.jpg"), bmp);
    WriteAll(folder.File("really-a-png.bmp"), SmallRgbPng(8, 4));
    WriteAll(folder.File("really-a-jpeg.png"), jpeg);
    WriteAll(folder.File("text.bmp"), {'h', 'e', 'l', 'l', 'o'});
    WriteAll(folder.File("short.bmp"), {'B', 'M'});
    WriteAll(folder.File("empty.png"), {});

    OwnedSurface picture;
    ASSERT_TRUE(LoadPictureFile(folder.File("really-a-bmp.jpg"), picture));
    EXPECT_EQ(0, std::memcmp(picture->bytes, source->bytes, size_t(source->byteSize)));
    ASSERT_TRUE(LoadPictureFile(folder.File("really-a-png.bmp"), picture));
    EXPECT_EQ(At(picture, 3, 2), (Rgb{27, 10, 1}));
    ASSERT_TRUE(LoadPictureFile(folder.File("really-a-jpeg.png"), picture));
    EXPECT_LT(MeanAbsError(*source, *picture), 3.0);
    for (const char* name : {"text.bmp", "short.bmp", "empty.png", "missing.bmp", ""}) {
        EXPECT_FALSE(LoadPictureFile(folder.File(name), picture)) << name;
        EXPECT_FALSE(picture.Exists());
    }
    EXPECT_FALSE(LoadPictureFile(folder.path, picture));  // a folder
}

}  // namespace
}  // namespace vellum
