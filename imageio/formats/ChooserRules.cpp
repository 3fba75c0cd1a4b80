#include "imageio/formats/ChooserRules.h"

#include <cstring>

namespace vellum {

namespace {

template <class Text>
bool EndsWithUpperT(const Text& text, const char* suffix) {
    const size_t n = std::strlen(suffix);
    if (text.size() < n) return false;  // compared whole: shorter never equals the suffix
    const size_t start = text.size() - n;
    for (size_t i = 0; i < n; ++i) {
        uint32_t c = uint32_t(text[start + i]);
        if constexpr (sizeof(typename Text::value_type) == 1) c &= 0xFF;
        if (c >= 'a' && c <= 'z') c -= 'a' - 'A';
        if (c != uint32_t(uint8_t(suffix[i]))) return false;
    }
    return true;
}

template <class Text>
bool StripPictureExtensionT(Text& name) {
    if (!EndsWithUpperT(name, ".BMP") && !EndsWithUpperT(name, ".JPG")) return false;
    name.resize(name.size() - 4);
    return true;
}

void AppendAscii(std::u16string& text, const char* ascii) {
    for (; *ascii; ++ascii) text.push_back(char16_t(*ascii));
}

}  // namespace

bool EndsWithUpper(const std::u16string& text, const char* suffix) { return EndsWithUpperT(text, suffix); }
bool EndsWithUpper(const std::string& text, const char* suffix) { return EndsWithUpperT(text, suffix); }

bool StripPictureExtension(std::u16string& name) { return StripPictureExtensionT(name); }
bool StripPictureExtension(std::string& name) { return StripPictureExtensionT(name); }

template <class Text>
bool FormatOfNameT(const Text& name, PictureFormat& format) {
    if (EndsWithUpperT(name, ".BMP")) {
        format = PictureFormat::Bmp;
    } else if (EndsWithUpperT(name, ".PNG")) {
        format = PictureFormat::Png;
    } else if (EndsWithUpperT(name, ".JPG") || EndsWithUpperT(name, ".JPEG")) {
        format = PictureFormat::Jpeg;
    } else {
        return false;
    }
    return true;
}

bool FormatOfName(const std::u16string& name, PictureFormat& format) { return FormatOfNameT(name, format); }
bool FormatOfName(const std::string& name, PictureFormat& format) { return FormatOfNameT(name, format); }

PictureFormat WriteFormatOf(const std::string& path) {
    PictureFormat format = PictureFormat::Bmp;
    FormatOfName(path, format);
    return format;
}

void ApplySaveExtension(std::u16string& name, uint32_t filterIndex) {
    // A typed picture extension decides the format and stays as typed.
    PictureFormat typed;
    if (FormatOfName(name, typed)) return;
    // Otherwise the chosen filter's, in lower case. The second pair (all files) gives
    // JPEG, as it always has.
    static const char* const kExtensions[] = {".bmp", ".jpg", ".png", ".jpg"};
    if (filterIndex >= 1 && filterIndex <= 4) AppendAscii(name, kExtensions[filterIndex - 1]);
}

bool IsJpegName(const std::string& path) { return WriteFormatOf(path) == PictureFormat::Jpeg; }

std::u16string Utf8ToUtf16(const std::string& text) {
    std::u16string out;
    out.reserve(text.size());
    const size_t n = text.size();
    size_t i = 0;
    while (i < n) {
        const uint32_t b0 = uint8_t(text[i]);
        uint32_t cp = 0xFFFD;
        size_t length = 1;
        if (b0 < 0x80) {
            cp = b0;
        } else {
            size_t need = 0;
            uint32_t min = 0;
            if ((b0 & 0xE0) == 0xC0) {
                need = 1, min = 0x80, cp = b0 & 0x1F;
            } else if ((b0 & 0xF0) == 0xE0) {
                need = 2, min = 0x800, cp = b0 & 0x0F;
            } else if ((b0 & 0xF8) == 0xF0) {
                need = 3, min = 0x10000, cp = b0 & 0x07;
            }
            bool ok = need > 0;
            for (size_t k = 1; ok && k <= need; ++k) {
                if (i + k >= n) {
                    ok = false;
                    break;
                }
                const uint32_t b = uint8_t(text[i + k]);
                if ((b & 0xC0) != 0x80) {
                    ok = false;
                    break;
                }
                cp = cp << 6 | (b & 0x3F);
            }
            // Overlong forms, encoded surrogates and values past U+10FFFF are not text.
            if (ok && (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))) ok = false;
            if (ok) {
                length = need + 1;
            } else {
                // A byte that is not text (a file name in another encoding) is kept as the
                // lone surrogate U+DC80..U+DCFF, and comes back as itself.
                cp = 0xDC00 + b0;
            }
        }
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out.push_back(char16_t(0xD800 + (cp >> 10)));
            out.push_back(char16_t(0xDC00 + (cp & 0x3FF)));
        } else {
            out.push_back(char16_t(cp));
        }
        i += length;
    }
    return out;
}

std::string Utf16ToUtf8(const std::u16string& text) {
    std::string out;
    out.reserve(text.size());
    const size_t n = text.size();
    for (size_t i = 0; i < n; ++i) {
        uint32_t cp = text[i];
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < n && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (uint32_t(text[i + 1]) - 0xDC00);
            ++i;
        } else if (cp >= 0xDC80 && cp <= 0xDCFF) {
            out.push_back(char(cp - 0xDC00));  // a byte that was not text
            continue;
        } else if (cp >= 0xD800 && cp <= 0xDFFF) {
            cp = 0xFFFD;
        }
        if (cp < 0x80) {
            out.push_back(char(cp));
        } else if (cp < 0x800) {
            out.push_back(char(0xC0 | cp >> 6));
            out.push_back(char(0x80 | (cp & 0x3F)));
        } else if (cp < 0x10000) {
            out.push_back(char(0xE0 | cp >> 12));
            out.push_back(char(0x80 | (cp >> 6 & 0x3F)));
            out.push_back(char(0x80 | (cp & 0x3F)));
        } else {
            out.push_back(char(0xF0 | cp >> 18));
            out.push_back(char(0x80 | (cp >> 12 & 0x3F)));
            out.push_back(char(0x80 | (cp >> 6 & 0x3F)));
            out.push_back(char(0x80 | (cp & 0x3F)));
        }
    }
    return out;
}

SourceRect FitSourceRect(FitRule rule, int bw, int bh, int W, int H) {
    SourceRect r;
    switch (rule) {
        case FitRule::Corner:
            r = {0, 0, W, H};
            break;
        case FitRule::Centre:
            r = {bw / 2 - W / 2, bh / 2 - H / 2, W, H};
            break;
        case FitRule::Cover: {
            // The height of a full-width band with the canvas's proportions.
            const double t = H * (double(bw) / W);
            if (t > bh) {
                const double sw = W * (double(bh) / H);
                r.x = int32_t(double(bw / 2) - sw * 0.5);
                r.y = 0;
                r.w = int32_t(sw);
                r.h = bh;
            } else {
                r.x = 0;
                r.w = bw;
                r.y = int32_t(double(bh / 2) - t * 0.5);
                r.h = int32_t(t);
            }
            break;
        }
    }
    return r;
}

}  // namespace vellum
