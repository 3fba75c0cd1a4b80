#pragma once
// What the rectangle operations of this folder share: clipping, overlap tests, SIMD
// loads and stores, the byte copy and the repeated-colour pattern. Only for the .cpp
// files of engine/pixel; everything here is internal to each of them.
//
// Built twice: as the program's operations, and with VELLUM_PIXEL_PORTABLE into the
// namespace vellum::portable, with the plain loops only, so that the loops a processor
// without SSE2 runs are tested on this one too.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "engine/pixel/PixelOps.h"
#include "engine/pixel/Surface.h"

#if defined(__SSE2__) && !defined(VELLUM_PIXEL_PORTABLE)
#define VELLUM_PIXEL_SSE2 1
#include <emmintrin.h>
#include <tmmintrin.h>  // only used inside functions built for SSSE3
#endif

#if defined(VELLUM_PIXEL_PORTABLE)
#define VELLUM_PIXEL_BEGIN \
    namespace vellum {     \
    namespace portable {
#define VELLUM_PIXEL_END \
    }                    \
    }
#else
#define VELLUM_PIXEL_BEGIN namespace vellum {
#define VELLUM_PIXEL_END }
#endif

VELLUM_PIXEL_BEGIN

// The operations of this build, under the names the table gathers.
void BlendRect(PixelSurface& dst, int x, int y, int w, int h, const PixelSurface& src, int sx,
               int sy, int mode);
void CopyRectRop(PixelSurface& dst, int x, int y, int w, int h, const PixelSurface& src, int sx,
                 int sy, uint32_t rop);
void WashOutRect(PixelSurface& surface, int x, int y, int w, int h);
void FillRectWhite(PixelSurface& surface, int x, int y, int w, int h);
void FillRectBlack(PixelSurface& surface, int x, int y, int w, int h);
void FillRectColour(PixelSurface& surface, int x, int y, int w, int h, uint8_t red,
                    uint8_t green, uint8_t blue);
void ZoomCopyRect(PixelSurface& dst, int x, int y, int w, int h, const PixelSurface& src, int sx,
                  int sy, int shift);
void HoldColourRect(PixelSurface& colour, int x, int y, int w, int h, const PixelSurface& coverage,
                    int sx, int sy, uint8_t red, uint8_t green, uint8_t blue);
void ShrinkRect(PixelSurface& dst, int x, int y, int w, int h, const PixelSurface& src, int sx, int sy,
                int shift);
void ExpandRectRgb32(uint8_t* dst, int64_t dstStride, int dstWidth, int dstHeight, const PixelSurface& src,
                     int x, int y, int w, int h, int scale);
void ExpandRectRgba(uint8_t* dst, int64_t dstStride, int dstWidth, int dstHeight, const PixelSurface& src,
                    int x, int y, int w, int h, int scale);

namespace {
// A surface has pixels only when its bytes are there and cover its size.
bool Usable(const PixelSurface& s) {
    return s.bytes != nullptr && s.width > 0 && s.height > 0 &&
           int64_t(s.width) * s.height * 3 <= int64_t(s.byteSize);
}

// The part of a rectangle whose pixels are processed: offsets i0..i1-1 and j0..j1-1
// from the rectangle's top-left corner. 64-bit so that no sum of ints overflows.
struct Span {
    int64_t i0 = 0, i1 = 0, j0 = 0, j1 = 0;
    bool Empty() const { return i0 >= i1 || j0 >= j1; }
};

[[maybe_unused]] Span ClipOne(const PixelSurface& d, int x, int y, int w, int h) {
    Span c;
    c.i0 = std::max<int64_t>(0, -int64_t(x));
    c.i1 = std::min<int64_t>(w, int64_t(d.width) - x);
    c.j0 = std::max<int64_t>(0, -int64_t(y));
    c.j1 = std::min<int64_t>(h, int64_t(d.height) - y);
    return c;
}

[[maybe_unused]] Span ClipTwo(const PixelSurface& d, int x, int y, int w, int h, const PixelSurface& s, int sx,
             int sy) {
    Span c;
    c.i0 = std::max<int64_t>({0, -int64_t(x), -int64_t(sx)});
    c.i1 = std::min<int64_t>({w, int64_t(d.width) - x, int64_t(s.width) - sx});
    c.j0 = std::max<int64_t>({0, -int64_t(y), -int64_t(sy)});
    c.j1 = std::min<int64_t>({h, int64_t(d.height) - y, int64_t(s.height) - sy});
    return c;
}

int64_t OffsetOf(const PixelSurface& s, int64_t px, int64_t py) {
    return 3 * (px + int64_t(s.width) * (s.height - 1 - py));
}

// True when the pixels [ax, ax+w) x [ay, ay+h) of a and [bx, bx+bw) x [by, by+bh) of b
// may share bytes. Surfaces of one geometry are compared as rectangles; any other
// aliasing is judged by the byte ranges, which errs on the safe side.
[[maybe_unused]] bool MayOverlap(const PixelSurface& a, int64_t ax, int64_t ay, int64_t w, int64_t h,
                const PixelSurface& b, int64_t bx, int64_t by, int64_t bw, int64_t bh) {
    const uintptr_t aStart = reinterpret_cast<uintptr_t>(a.bytes);
    const uintptr_t bStart = reinterpret_cast<uintptr_t>(b.bytes);
    if (aStart + size_t(a.byteSize) <= bStart || bStart + size_t(b.byteSize) <= aStart) return false;
    if (a.bytes == b.bytes && a.width == b.width && a.height == b.height) {
        return ax < bx + bw && bx < ax + w && ay < by + bh && by < ay + h;
    }
    const uint8_t* aLo = a.bytes + OffsetOf(a, ax, ay + h - 1);
    const uint8_t* aHi = a.bytes + OffsetOf(a, ax + w - 1, ay) + 3;
    const uint8_t* bLo = b.bytes + OffsetOf(b, bx, by + bh - 1);
    const uint8_t* bHi = b.bytes + OffsetOf(b, bx + bw - 1, by) + 3;
    return aLo < bHi && bLo < aHi;
}

constexpr size_t kLongCopyBytes = size_t(1) << 20;

// ---------------------------------------------------------------------------------------
// Per-byte operations. Byte() is the definition; Vec() does the same to 16 bytes.

#if VELLUM_PIXEL_SSE2
inline __m128i Load(const uint8_t* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }
inline void Store(uint8_t* p, __m128i v) { _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v); }
inline __m128i Load8(const uint8_t* p) { return _mm_loadl_epi64(reinterpret_cast<const __m128i*>(p)); }
inline void Store8(uint8_t* p, __m128i v) { _mm_storel_epi64(reinterpret_cast<__m128i*>(p), v); }

// (d * s) / 255 truncated, per byte. For t < 65536, t / 255 == (t * 0x8081) >> 23.
inline __m128i MulDiv255(__m128i d, __m128i s) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i magic = _mm_set1_epi16(short(0x8081));
    __m128i lo = _mm_mullo_epi16(_mm_unpacklo_epi8(d, zero), _mm_unpacklo_epi8(s, zero));
    __m128i hi = _mm_mullo_epi16(_mm_unpackhi_epi8(d, zero), _mm_unpackhi_epi8(s, zero));
    lo = _mm_srli_epi16(_mm_mulhi_epu16(lo, magic), 7);
    hi = _mm_srli_epi16(_mm_mulhi_epu16(hi, magic), 7);
    return _mm_packus_epi16(lo, hi);
}
#endif

inline uint8_t MulDiv255(uint8_t d, uint8_t s) { return uint8_t((uint32_t(d) * s) / 255u); }

// Copies n bytes. Short runs, such as the rows of a pen stamp, go without a call. Long
// ones go in 64-byte steps through the cache: the C library's copy may bypass the cache
// for blocks of several megabytes, which is slower when the screen is read again soon.
inline void CopyBytes(uint8_t* __restrict d, const uint8_t* __restrict s, size_t n) {
#if VELLUM_PIXEL_SSE2
    if (n >= 16 && n <= 32) {
        const __m128i a = Load(s), b = Load(s + n - 16);
        Store(d, a);
        Store(d + n - 16, b);
        return;
    }
    if (n >= 8 && n < 16) {
        const __m128i a = Load8(s), b = Load8(s + n - 8);
        Store8(d, a);
        Store8(d + n - 8, b);
        return;
    }
    if (n >= kLongCopyBytes) {
        size_t k = 0;
        for (; k + 64 <= n; k += 64) {
            const __m128i a = Load(s + k), b = Load(s + k + 16), c = Load(s + k + 32),
                          e = Load(s + k + 48);
            Store(d + k, a);
            Store(d + k + 16, b);
            Store(d + k + 32, c);
            Store(d + k + 48, e);
        }
        for (; k + 16 <= n; k += 16) Store(d + k, Load(s + k));
        Store(d + n - 16, Load(s + n - 16));
        return;
    }
#endif
    std::memcpy(d, s, n);
}

// A pixel repeated, as 16-byte blocks that start at each of the three byte phases.
struct ColourPattern {
    uint8_t blue, green, red;
#if VELLUM_PIXEL_SSE2
    __m128i phase[3];
#endif
    ColourPattern(uint8_t b, uint8_t g, uint8_t r) : blue(b), green(g), red(r) {
#if VELLUM_PIXEL_SSE2
        const uint64_t starts[3] = {
            uint64_t(b) | uint64_t(g) << 8 | uint64_t(r) << 16,
            uint64_t(g) | uint64_t(r) << 8 | uint64_t(b) << 16,
            uint64_t(r) | uint64_t(b) << 8 | uint64_t(g) << 16,
        };
        for (int p = 0; p < 3; ++p) {
            const uint64_t c = starts[p];
            const uint64_t lo = c | c << 24 | c << 48;
            const uint64_t hi = c >> 16 | c << 8 | c << 32 | c << 56;
            phase[p] = _mm_set_epi64x(int64_t(hi), int64_t(lo));
        }
#endif
    }
};

}  // namespace

VELLUM_PIXEL_END
