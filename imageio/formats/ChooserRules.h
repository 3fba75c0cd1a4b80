#pragma once
// The rules around the file chooser and the picture fitting that need no platform: the
// save chooser's extension handling, the JPEG name test, the UTF-8 / UTF-16 conversion
// of the chooser record, and the arithmetic that picks the part of a picture that
// lands on the canvas.
#include <cstdint>
#include <string>

#include "engine/pixel/Surface.h"

namespace vellum {

// ---- Names ------------------------------------------------------------------------------
// The extensions are plain ASCII, so comparing the last four UTF-16 units or the last
// four UTF-8 bytes gives the same answer as comparing the last four characters: no
// other character upper-cases to one of these letters, and a multi-unit character can
// never match. A name shorter than the suffix is compared whole (and so never matches).

// True when the text's last characters, upper-cased, are `suffix` (upper case ASCII).
bool EndsWithUpper(const std::u16string& text, const char* suffix);
bool EndsWithUpper(const std::string& text, const char* suffix);

// Before the save chooser opens: a name ending in ".BMP" or ".JPG" (any case) loses
// those four characters. True when it did.
bool StripPictureExtension(std::u16string& name);
bool StripPictureExtension(std::string& name);

// The formats a picture is written in, and the one a name asks for by its extension
// (".bmp", ".png", ".jpg" or ".jpeg", in any case); false when it has none of them.
enum class PictureFormat { Bmp, Png, Jpeg };
bool FormatOfName(const std::u16string& name, PictureFormat& format);
bool FormatOfName(const std::string& name, PictureFormat& format);
// The format a picture path is written in: its extension's, else BMP.
PictureFormat WriteFormatOf(const std::string& path);

// After the save chooser: a name with a picture extension keeps it as typed (that format
// is written whatever the filter); any other name gets the chosen filter's extension in
// lower case: ".bmp" (pair 1), ".jpg" (pair 2, all files, and pair 4), ".png" (pair 3).
// Any other filter index keeps the name as returned.
void ApplySaveExtension(std::u16string& name, uint32_t filterIndex);

// A picture path written as JPEG: one ending in ".jpg" or ".jpeg", in any case.
bool IsJpegName(const std::string& path);

// UTF-8 <-> UTF-16, losslessly for file names: a byte that is not UTF-8 becomes the lone
// surrogate U+DC80..U+DCFF and turns back into itself; any other lone surrogate becomes
// U+FFFD.
std::u16string Utf8ToUtf16(const std::string& text);
std::string Utf16ToUtf8(const std::u16string& text);

// ---- Fitting ----------------------------------------------------------------------------

enum class FitRule {
    Corner,  // the picture's top-left W x H, white where it is smaller
    Centre,  // W x H from the picture's centre, centred with white where it is smaller
    Cover,   // the largest part of the canvas's proportions, cut evenly, stretched over it
};

// A rectangle of the picture. For Corner and Centre it is W x H and may reach outside
// the picture (a negative x or y when the picture is smaller); for Cover it lies inside
// the picture and is stretched onto the whole canvas.
struct SourceRect {
    int32_t x = 0;
    int32_t y = 0;
    int32_t w = 0;
    int32_t h = 0;
};

// The source rectangle of a picture bw x bh fitted by `rule` onto a canvas W x H
// (all sizes positive).
SourceRect FitSourceRect(FitRule rule, int bw, int bh, int W, int H);

}  // namespace vellum
