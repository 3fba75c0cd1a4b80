// The save chooser's extension rules, the JPEG name test, the chooser record's text
// conversion, and the fitting arithmetic.
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

TEST(SaveExtension, TheTypedExtensionDecidesElseTheFilterAddsItsOwn) {
    const struct {
        const char* name;
        uint32_t filter;
        const char* result;
    } rows[] = {
        // No picture extension: the filter's, in lower case (the second pair is JPEG).
        {"pic", 1, "pic.bmp"},         {"pic", 2, "pic.jpg"},           {"pic", 3, "pic.png"},
        {"pic", 4, "pic.jpg"},         {"a", 1, "a.bmp"},               {"bmp", 1, "bmp.bmp"},
        {"pic.txt", 3, "pic.txt.png"}, {"pic.", 1, "pic..bmp"},         {"pic", 0, "pic"},
        {"pic", 7, "pic"},
        // A typed picture extension is kept as typed, whatever the filter: never
        // pic3.png.jpg, never pic2.png.bmp.
        {"pic.JPG", 1, "pic.JPG"},     {"pic.Bmp", 1, "pic.Bmp"},       {"pic2.png", 1, "pic2.png"},
        {"pic3.png", 2, "pic3.png"},   {"pic.bmp", 2, "pic.bmp"},       {"pic.jpeg", 3, "pic.jpeg"},
        {"/x/y.JPEG", 1, "/x/y.JPEG"}, {".bmp", 4, ".bmp"},             {"pic.PNG", 0, "pic.PNG"},
        // Characters, not bytes: the multi-byte names keep every character.
        {"写真", 1, "写真.bmp"},       {"写真.JPG", 1, "写真.JPG"},     {"絵", 3, "絵.png"},
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

TEST(SaveExtension, TheExtensionDecidesTheFormatWritten) {
    for (const char* jpeg : {"a.jpg", "a.JPG", "a.jPg", "/x/pic.Jpg", "a.jpeg", "a.JPEG"})
        EXPECT_EQ(WriteFormatOf(jpeg), PictureFormat::Jpeg) << jpeg;
    for (const char* png : {"a.png", "/x/b.PNG", "c.pNg"}) EXPECT_EQ(WriteFormatOf(png), PictureFormat::Png) << png;
    for (const char* bmp : {"a.bmp", "a.jpg.bmp", "jpg", "ajpg", "png", "", "a.jp g", "untitled", "a.png.txt"})
        EXPECT_EQ(WriteFormatOf(bmp), PictureFormat::Bmp) << bmp;
}

TEST(Utf, ConvertsBothWaysAndKeepsBytesThatAreNotText) {
    const std::string text = "/tmp/絵-😀-é.bmp";
    const std::u16string wide = Utf8ToUtf16(text);
    EXPECT_EQ(wide, u"/tmp/絵-😀-é.bmp");
    EXPECT_EQ(Utf16ToUtf8(wide), text);
    // A file name's bytes that are not UTF-8 ride as U+DC80..U+DCFF and come back exactly.
    EXPECT_EQ(Utf8ToUtf16("a\xff" "b"), u"a\xDCFF" u"b");
    for (const std::string bytes : {std::string("a\xff" "b"), std::string("\xe7\xb5"), std::string("\xc0\xaf"),
                                    std::string("\xed\xa0\x80"), std::string("\xf4\x90\x80\x80"),
                                    std::string("caf\xe9.bmp")})
        EXPECT_EQ(Utf16ToUtf8(Utf8ToUtf16(bytes)), bytes);
    EXPECT_EQ(Utf8ToUtf16("\xe7\xb5"), u"\xDCE7\xDCB5");  // cut short
    // Other lone surrogates are not bytes: U+FFFD.
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

}  // namespace
}  // namespace vellum
