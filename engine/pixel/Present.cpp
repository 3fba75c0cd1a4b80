// The window's picture of the screen: 24-bit rows turned into the 32-bit pixels a window
// image paints, each pixel repeated scale x scale times, in one pass, so that the window
// needs no second copy and no scaling of its own. Two byte orders: blue first for a
// desktop window image, red first for a browser canvas.
#include "engine/pixel/PixelKernels.h"

VELLUM_PIXEL_BEGIN
namespace {

// The screen's bytes are blue, green, red; kRedFirst swaps the first and the third.
template <bool kRedFirst>
inline uint32_t Opaque(const uint8_t* s) {
    if (kRedFirst) return uint32_t(s[2]) | uint32_t(s[1]) << 8 | uint32_t(s[0]) << 16 | 0xFF000000u;
    return uint32_t(s[0]) | uint32_t(s[1]) << 8 | uint32_t(s[2]) << 16 | 0xFF000000u;
}

// One source row of n pixels into one window row, each pixel repeated scale times.
using ExpandRowFn = void (*)(uint32_t* __restrict d, const uint8_t* __restrict s, int64_t n, int scale);

template <bool kRedFirst>
void ExpandRowPlain(uint32_t* __restrict d, const uint8_t* __restrict s, int64_t n, int scale) {
    if (scale == 1) {
        for (int64_t i = 0; i < n; ++i, s += 3) d[i] = Opaque<kRedFirst>(s);
        return;
    }
    for (int64_t i = 0; i < n; ++i, s += 3) {
        const uint32_t p = Opaque<kRedFirst>(s);
        for (int k = 0; k < scale; ++k) *d++ = p;
    }
}

#if VELLUM_PIXEL_SSE2 && (defined(__GNUC__) || defined(__clang__))
#define VELLUM_PRESENT_SSSE3 1
// Four pixels (twelve bytes) a shuffle; the fourth byte of each becomes 255 by an or.
template <bool kRedFirst>
__attribute__((target("ssse3"))) void ExpandRowShuffled(uint32_t* __restrict d, const uint8_t* __restrict s,
                                                int64_t n, int scale) {
    const __m128i spread = kRedFirst ? _mm_setr_epi8(2, 1, 0, -1, 5, 4, 3, -1, 8, 7, 6, -1, 11, 10, 9, -1)
                                     : _mm_setr_epi8(0, 1, 2, -1, 3, 4, 5, -1, 6, 7, 8, -1, 9, 10, 11, -1);
    const __m128i alpha = _mm_set1_epi32(int(0xFF000000u));
    int64_t i = 0;
    // A load takes sixteen bytes: only while six pixels remain, so that it stays in the row.
    for (; i + 6 <= n && scale <= 4; i += 4, s += 12) {
        const __m128i v = _mm_or_si128(_mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(s)), spread), alpha);
        __m128i* out = reinterpret_cast<__m128i*>(d);
        switch (scale) {
            case 1:
                _mm_storeu_si128(out, v);
                d += 4;
                break;
            case 2:
                _mm_storeu_si128(out, _mm_unpacklo_epi32(v, v));
                _mm_storeu_si128(out + 1, _mm_unpackhi_epi32(v, v));
                d += 8;
                break;
            case 3:
                _mm_storeu_si128(out, _mm_shuffle_epi32(v, 0x40));      // 0 0 0 1
                _mm_storeu_si128(out + 1, _mm_shuffle_epi32(v, 0xA5));  // 1 1 2 2
                _mm_storeu_si128(out + 2, _mm_shuffle_epi32(v, 0xFE));  // 2 3 3 3
                d += 12;
                break;
            default:
                _mm_storeu_si128(out, _mm_shuffle_epi32(v, 0x00));
                _mm_storeu_si128(out + 1, _mm_shuffle_epi32(v, 0x55));
                _mm_storeu_si128(out + 2, _mm_shuffle_epi32(v, 0xAA));
                _mm_storeu_si128(out + 3, _mm_shuffle_epi32(v, 0xFF));
                d += 16;
                break;
        }
    }
    ExpandRowPlain<kRedFirst>(d, s, n - i, scale);
}
#endif

template <bool kRedFirst>
ExpandRowFn ChooseExpandRow() {
#if VELLUM_PRESENT_SSSE3
#if defined(__SSSE3__)
    return ExpandRowShuffled<kRedFirst>;
#else
    __builtin_cpu_init();
    if (__builtin_cpu_supports("ssse3")) return ExpandRowShuffled<kRedFirst>;
#endif
#endif
    return ExpandRowPlain<kRedFirst>;
}

template <bool kRedFirst>
void ExpandRect(uint8_t* dst, int64_t dstStride, int dstWidth, int dstHeight, const PixelSurface& src, int x, int y,
                int w, int h, int scale) {
    if (!dst || scale < 1 || scale > kMaxExpandScale || dstWidth <= 0 || dstHeight <= 0 || !Usable(src)) return;
    // Clipped once: to the source, and to the source pixels the window holds whole.
    const int64_t x0 = std::max<int64_t>(x, 0), y0 = std::max<int64_t>(y, 0);
    const int64_t x1 = std::min<int64_t>({int64_t(x) + w, src.width, dstWidth / scale});
    const int64_t y1 = std::min<int64_t>({int64_t(y) + h, src.height, dstHeight / scale});
    if (x0 >= x1 || y0 >= y1) return;
    static const ExpandRowFn expand = ChooseExpandRow<kRedFirst>();
    const size_t rowBytes = size_t(x1 - x0) * size_t(scale) * 4;
    for (int64_t row = y0; row < y1; ++row) {
        uint8_t* first = dst + (row * scale) * dstStride + x0 * scale * 4;
        expand(reinterpret_cast<uint32_t*>(first), src.At(int(x0), int(row)), x1 - x0, scale);
        for (int k = 1; k < scale; ++k) std::memcpy(first + k * dstStride, first, rowBytes);
    }
}

}  // namespace

void ExpandRectRgb32(uint8_t* dst, int64_t dstStride, int dstWidth, int dstHeight, const PixelSurface& src,
                     int x, int y, int w, int h, int scale) {
    ExpandRect<false>(dst, dstStride, dstWidth, dstHeight, src, x, y, w, h, scale);
}

void ExpandRectRgba(uint8_t* dst, int64_t dstStride, int dstWidth, int dstHeight, const PixelSurface& src,
                    int x, int y, int w, int h, int scale) {
    ExpandRect<true>(dst, dstStride, dstWidth, dstHeight, src, x, y, w, h, scale);
}

VELLUM_PIXEL_END
