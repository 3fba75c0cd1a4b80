// The save chooser's extension rules, the JPEG name test, the chooser record's text
// conversion, and the fitting arithmetic with its nearest-pixel stretch.
#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "imageio/formats/ChooserRules.h"

namespace vellum {
namespace {

std::string AfterSave(const std::string& name, uint32_t filterIndex) {
    std::u16string text = Utf8ToUtf16(name);
    ApplySaveExtension(text, filterIndex);
    return Utf16ToUtf8(text);
}

TEST(SaveExtension, FilterPairsAddDropOrKeepTheExtension) {
    const struct {
        const char* name;
        uint32_t filter;
        const char* result;
    } rows[] = {
        {"pic", 1, "pic.bmp"},        {"pic.JPG", 1, "pic.bmp"},     {"pic.Bmp", 1, "pic.Bmp"},
        {"pic.jpg", 1, "pic.bmp"},    {"pic.png", 1, "pic.png.bmp"}, {"pic", 2, "pic.jpg"},
        {"pic.bmp", 2, "pic.jpg"},    {"pic.Jpg", 2, "pic.Jpg"},     {"pic.BMP", 2, "pic.jpg"},
        {"a", 1, "a.bmp"},            {"a", 2, "a.jpg"},             {"bmp", 1, "bmp.bmp"},
        {".bmp", 1, ".bmp"},          {".jpg", 1, ".bmp"},           {"pic.bmp", 0, "pic.bmp"},
        {"pic", 3, "pic"},            {"pic.JPG", 7, "pic.JPG"},     {"/x/y.jpeg", 2, "/x/y.jpeg.jpg"},
        // Characters, not bytes: the multi-byte names keep every character.
        {"写真", 1, "写真.bmp"},      {"写真.JPG", 1, "写真.bmp"},   {"絵.bmp", 2, "絵.jpg"},
        {"😀", 1, "😀.bmp"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(AfterSave(row.name, row.filter), row.result) << row.name << " filter " << row.filter;
}

TEST(SaveExtension, StrippedBeforeTheChooserInUtf8AndUtf16Alike) {
    const struct {
        const char* path;
        const char* stripped;
    } rows[] = {
        {"/home/u/Pictures/untitled.bmp", "/home/u/Pictures/untitled"},
        {"pic.JPG", "pic"}, {"pic.Jpg", "pic"}, {"pic.png", "pic.png"}, {"pic.jpeg", "pic.jpeg"},
        {".bmp", ""}, {"bmp", "bmp"}, {"BMP", "BMP"}, {"x.bmp.bmp", "x.bmp"}, {"絵.bmp", "絵"},
        {"絵", "絵"}, {"", ""},
    };
    for (const auto& row : rows) {
        std::string utf8 = row.path;
        EXPECT_EQ(StripPictureExtension(utf8), std::string(row.path) != row.stripped) << row.path;
        EXPECT_EQ(utf8, row.stripped);
        std::u16string utf16 = Utf8ToUtf16(row.path);
        StripPictureExtension(utf16);
        EXPECT_EQ(Utf16ToUtf8(utf16), row.stripped);
    }
    // A path that is not valid UTF-8 keeps every byte it does not lose.
    std::string raw = "\xff\xfe.bmp";
    EXPECT_TRUE(StripPictureExtension(raw));
    EXPECT_EQ(raw, "\xff\xfe");
}

TEST(SaveExtension, JpegNamesEndInJpgInAnyCase) {
    for (const char* yes : {"a.jpg", "a.JPG", "a.jPg", "jpg", "ajpg", "/x/pic.Jpg"}) EXPECT_TRUE(IsJpegName(yes)) << yes;
    for (const char* no : {"a.jpeg", "a.jpg.bmp", "jp", "", "a.bmp", "a.jp g"}) EXPECT_FALSE(IsJpegName(no)) << no;
}

TEST(Utf, ConvertsBothWaysAndReplacesWhatIsNotText) {
    const std::string text = "/tmp/絵-😀-é.bmp";
    const std::u16string wide = Utf8ToUtf16(text);
    EXPECT_EQ(wide, u"/tmp/絵-😀-é.bmp");
    EXPECT_EQ(Utf16ToUtf8(wide), text);
    EXPECT_EQ(Utf8ToUtf16("a\xff" "b"), u"a\uFFFDb");
    EXPECT_EQ(Utf8ToUtf16("\xe7\xb5"), u"\uFFFD\uFFFD");          // cut short
    EXPECT_EQ(Utf8ToUtf16("\xc0\xaf"), u"\uFFFD\uFFFD");          // overlong '/'
    EXPECT_EQ(Utf8ToUtf16("\xed\xa0\x80"), u"\uFFFD\uFFFD\uFFFD");  // an encoded surrogate
    EXPECT_EQ(Utf8ToUtf16("\xf4\x90\x80\x80"), u"\uFFFD\uFFFD\uFFFD\uFFFD");  // past U+10FFFF
    const char16_t lone[] = {u'a', char16_t(0xD800), u'b', char16_t(0xDC00), 0};
    EXPECT_EQ(Utf16ToUtf8(lone), "a\xef\xbf\xbd" "b\xef\xbf\xbd");
}

TEST(FitSourceRect, CoverFollowsTheWorkedExamples) {
    struct Row {
        int bw, bh, W, H;
        SourceRect want;
    };
    const Row rows[] = {
        {640, 480, 240, 320, {140, 0, 360, 480}},
        {480, 1280, 240, 320, {0, 320, 480, 640}},
        {200, 400, 240, 320, {0, 66, 200, 266}},
        {480, 640, 240, 320, {0, 0, 480, 640}},    // the canvas's own proportions: all of it
        {240, 320, 240, 320, {0, 0, 240, 320}},
        {241, 320, 240, 320, {0, 0, 240, 320}},    // t = 321.33 > 320, sw = 240: x = 0
        {641, 481, 240, 320, {139, 0, 360, 481}},  // 641/2 is 320 first: int(320 - 180.375)
        {1000, 10, 248, 320, {496, 0, 7, 10}},     // sw = 7.75: int(500 - 3.875), int(7.75)
    };
    for (const Row& r : rows) {
        const SourceRect got = FitSourceRect(FitRule::Cover, r.bw, r.bh, r.W, r.H);
        EXPECT_EQ(got.x, r.want.x) << r.bw << "x" << r.bh;
        EXPECT_EQ(got.y, r.want.y) << r.bw << "x" << r.bh;
        EXPECT_EQ(got.w, r.want.w) << r.bw << "x" << r.bh;
        EXPECT_EQ(got.h, r.want.h) << r.bw << "x" << r.bh;
    }
}

TEST(FitSourceRect, CornerAndCentre) {
    SourceRect r = FitSourceRect(FitRule::Corner, 640, 480, 240, 320);
    EXPECT_EQ(r.x, 0);
    EXPECT_EQ(r.y, 0);
    EXPECT_EQ(r.w, 240);
    EXPECT_EQ(r.h, 320);
    r = FitSourceRect(FitRule::Centre, 640, 480, 240, 320);
    EXPECT_EQ(r.x, 200);
    EXPECT_EQ(r.y, 80);
    EXPECT_EQ(r.w, 240);
    EXPECT_EQ(r.h, 320);
    // Halves truncate first; a smaller side gives a negative offset.
    r = FitSourceRect(FitRule::Centre, 101, 401, 240, 320);
    EXPECT_EQ(r.x, 50 - 120);
    EXPECT_EQ(r.y, 200 - 160);
    r = FitSourceRect(FitRule::Centre, 641, 1, 248, 321);
    EXPECT_EQ(r.x, 320 - 124);
    EXPECT_EQ(r.y, 0 - 160);
}

// The stretch as its contract reads, one pixel at a time.
void ReferenceStretch(PixelSurface& dst, int dx, int dy, int dw, int dh, const PixelSurface& src,
                      int sx, int sy, int sw, int sh) {
    if (sw <= 0 || sh <= 0 || dw <= 0 || dh <= 0) return;
    for (int j = 0; j < dh; ++j)
        for (int i = 0; i < dw; ++i) {
            const int x = dx + i, y = dy + j;
            const int px = int(sx + int64_t(i) * sw / dw), py = int(sy + int64_t(j) * sh / dh);
            if (x < 0 || y < 0 || x >= dst.width || y >= dst.height) continue;
            if (px < 0 || py < 0 || px >= src.width || py >= src.height) continue;
            uint8_t* to = dst.At(x, y);
            const uint8_t* from = src.At(px, py);
            to[0] = from[0], to[1] = from[1], to[2] = from[2];
        }
}

TEST(StretchCopy, MatchesThePixelRuleOnRandomRectangles) {
    std::mt19937 random(7);
    OwnedSurface src;
    ASSERT_TRUE(src.Allocate(37, 23));
    for (int32_t i = 0; i < src->byteSize; ++i) src->bytes[i] = uint8_t(random());
    OwnedSurface got, want;
    ASSERT_TRUE(got.Allocate(24, 31));
    ASSERT_TRUE(want.Allocate(24, 31));
    auto pick = [&](int lo, int hi) { return lo + int(random() % uint32_t(hi - lo + 1)); };
    for (int round = 0; round < 3000; ++round) {
        for (int32_t i = 0; i < got->byteSize; ++i) got->bytes[i] = want->bytes[i] = uint8_t(i * 7);
        const int dx = pick(-30, 30), dy = pick(-30, 30), dw = pick(0, 60), dh = pick(0, 60);
        const int sx = pick(-45, 45), sy = pick(-30, 30), sw = pick(0, 80), sh = pick(0, 50);
        StretchCopy(*got, dx, dy, dw, dh, *src, sx, sy, sw, sh);
        ReferenceStretch(*want, dx, dy, dw, dh, *src, sx, sy, sw, sh);
        ASSERT_EQ(0, std::memcmp(got->bytes, want->bytes, size_t(got->byteSize)))
            << dx << "," << dy << " " << dw << "x" << dh << " from " << sx << "," << sy << " " << sw << "x" << sh;
    }
}

TEST(StretchCopy, HalvingTakesEveryOtherPixelAndOneToOneCopies) {
    OwnedSurface src, dst;
    ASSERT_TRUE(src.Allocate(8, 4));
    ASSERT_TRUE(dst.Allocate(4, 2));
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 8; ++x) src->At(x, y)[0] = uint8_t(10 * y + x);
    StretchCopy(*dst, 0, 0, 4, 2, *src, 0, 0, 8, 4);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 4; ++x) EXPECT_EQ(dst->At(x, y)[0], 10 * 2 * y + 2 * x);
    StretchCopy(*dst, 0, 0, 4, 2, *src, 3, 1, 4, 2);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 4; ++x) EXPECT_EQ(dst->At(x, y)[0], 10 * (1 + y) + 3 + x);
}

}  // namespace
}  // namespace vellum
