#include "engine/pixel/PixelOps.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <iterator>

// VELLUM_PIXEL_PORTABLE forces the plain loops, so they can be tested on x86-64 too.
#if defined(__SSE2__) && !defined(VELLUM_PIXEL_PORTABLE)
#define VELLUM_PIXEL_SSE2 1
#include <emmintrin.h>
#include <tmmintrin.h>  // only used inside functions built for SSSE3
#endif

namespace vellum {
namespace {

using RowFn = void (*)(uint8_t* __restrict d, const uint8_t* __restrict s, size_t n);
using PixelFn = void (*)(uint8_t* d, const uint8_t* s);

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

Span ClipOne(const PixelSurface& d, int x, int y, int w, int h) {
    Span c;
    c.i0 = std::max<int64_t>(0, -int64_t(x));
    c.i1 = std::min<int64_t>(w, int64_t(d.width) - x);
    c.j0 = std::max<int64_t>(0, -int64_t(y));
    c.j1 = std::min<int64_t>(h, int64_t(d.height) - y);
    return c;
}

Span ClipTwo(const PixelSurface& d, int x, int y, int w, int h, const PixelSurface& s, int sx,
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
bool MayOverlap(const PixelSurface& a, int64_t ax, int64_t ay, int64_t w, int64_t h,
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

struct LightenOp {
    static uint8_t Byte(uint8_t d, uint8_t s) { return d > s ? d : s; }
#if VELLUM_PIXEL_SSE2
    static __m128i Vec(__m128i d, __m128i s) { return _mm_max_epu8(d, s); }
#endif
};
struct DarkenOp {
    static uint8_t Byte(uint8_t d, uint8_t s) { return d < s ? d : s; }
#if VELLUM_PIXEL_SSE2
    static __m128i Vec(__m128i d, __m128i s) { return _mm_min_epu8(d, s); }
#endif
};
struct AndOp {
    static uint8_t Byte(uint8_t d, uint8_t s) { return uint8_t(d & s); }
#if VELLUM_PIXEL_SSE2
    static __m128i Vec(__m128i d, __m128i s) { return _mm_and_si128(d, s); }
#endif
};
struct OrOp {
    static uint8_t Byte(uint8_t d, uint8_t s) { return uint8_t(d | s); }
#if VELLUM_PIXEL_SSE2
    static __m128i Vec(__m128i d, __m128i s) { return _mm_or_si128(d, s); }
#endif
};
struct AddOp {
    static uint8_t Byte(uint8_t d, uint8_t s) {
        const unsigned t = unsigned(d) + s;
        return uint8_t(t > 255 ? 255 : t);
    }
#if VELLUM_PIXEL_SSE2
    static __m128i Vec(__m128i d, __m128i s) { return _mm_adds_epu8(d, s); }
#endif
};
struct ReverseSubtractOp {
    static uint8_t Byte(uint8_t d, uint8_t s) { return uint8_t(s > d ? s - d : 0); }
#if VELLUM_PIXEL_SSE2
    static __m128i Vec(__m128i d, __m128i s) { return _mm_subs_epu8(s, d); }
#endif
};
struct MultiplyOp {
    static uint8_t Byte(uint8_t d, uint8_t s) { return MulDiv255(d, s); }
#if VELLUM_PIXEL_SSE2
    static __m128i Vec(__m128i d, __m128i s) { return MulDiv255(d, s); }
#endif
};
struct AmplifyOp {
    static uint8_t Byte(uint8_t d, uint8_t s) { return AddOp::Byte(d, MulDiv255(d, s)); }
#if VELLUM_PIXEL_SSE2
    static __m128i Vec(__m128i d, __m128i s) { return _mm_adds_epu8(d, MulDiv255(d, s)); }
#endif
};
struct AttenuateOp {
    // (s * d) / 255 never exceeds d, so the difference never goes below 0.
    static uint8_t Byte(uint8_t d, uint8_t s) { return uint8_t(d - MulDiv255(d, s)); }
#if VELLUM_PIXEL_SSE2
    static __m128i Vec(__m128i d, __m128i s) { return _mm_sub_epi8(d, MulDiv255(d, s)); }
#endif
};
struct NotSourceOp {
    static uint8_t Byte(uint8_t, uint8_t s) { return uint8_t(~s); }
#if VELLUM_PIXEL_SSE2
    static __m128i Vec(__m128i, __m128i s) { return _mm_xor_si128(s, _mm_set1_epi8(char(-1))); }
#endif
};

// Rows of n bytes where each byte depends only on its own d and s. Rows of 16 bytes or
// more end with one block that overlaps its neighbour; it is computed before the loop
// from the original bytes, so ops that are not idempotent stay right.
template <class Op>
void BytewiseRow(uint8_t* __restrict d, const uint8_t* __restrict s, size_t n) {
#if VELLUM_PIXEL_SSE2
    if (n >= 16) {
        const size_t last = n - 16;
        const __m128i tail = Op::Vec(Load(d + last), Load(s + last));
        size_t k = 0;
        for (; k + 32 <= last; k += 32) {
            const __m128i a = Op::Vec(Load(d + k), Load(s + k));
            const __m128i b = Op::Vec(Load(d + k + 16), Load(s + k + 16));
            Store(d + k, a);
            Store(d + k + 16, b);
        }
        for (; k < last; k += 16) Store(d + k, Op::Vec(Load(d + k), Load(s + k)));
        Store(d + last, tail);
        return;
    }
    if (n >= 8) {
        const size_t last = n - 8;
        const __m128i tail = Op::Vec(Load8(d + last), Load8(s + last));
        Store8(d, Op::Vec(Load8(d), Load8(s)));
        Store8(d + last, tail);
        return;
    }
#endif
    for (size_t k = 0; k < n; ++k) d[k] = Op::Byte(d[k], s[k]);
}

// One pixel, for rectangles that share bytes: both pixels are read before one is written.
template <class Op>
void BytewisePixel(uint8_t* d, const uint8_t* s) {
    const uint8_t s0 = s[0], s1 = s[1], s2 = s[2];
    const uint8_t d0 = d[0], d1 = d[1], d2 = d[2];
    d[0] = Op::Byte(d0, s0);
    d[1] = Op::Byte(d1, s1);
    d[2] = Op::Byte(d2, s2);
}

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

void CopyRow(uint8_t* __restrict d, const uint8_t* __restrict s, size_t n) { CopyBytes(d, s, n); }

void CopyOnePixel(uint8_t* d, const uint8_t* s) {
    const uint8_t s0 = s[0], s1 = s[1], s2 = s[2];
    d[0] = s0;
    d[1] = s1;
    d[2] = s2;
}

void CopyNonWhitePixel(uint8_t* d, const uint8_t* s) {
    const uint8_t s0 = s[0], s1 = s[1], s2 = s[2];
    if (s0 == 255 && s1 == 255 && s2 == 255) return;
    d[0] = s0;
    d[1] = s1;
    d[2] = s2;
}

#if VELLUM_PIXEL_SSE2
// 0xFF on all three bytes of each white source pixel that starts at a byte marked in lead.
inline __m128i WhitePixelMask(__m128i s, __m128i lead) {
    const __m128i e = _mm_cmpeq_epi8(s, _mm_set1_epi8(char(-1)));
    const __m128i all3 = _mm_and_si128(_mm_and_si128(e, _mm_srli_si128(e, 1)), _mm_srli_si128(e, 2));
    const __m128i m = _mm_and_si128(all3, lead);
    return _mm_or_si128(_mm_or_si128(m, _mm_slli_si128(m, 1)), _mm_slli_si128(m, 2));
}
// keep ? d : s, per byte.
inline __m128i Select(__m128i keep, __m128i d, __m128i s) {
    return _mm_or_si128(_mm_and_si128(keep, d), _mm_andnot_si128(keep, s));
}
#endif

// A white source pixel keeps its destination, any other is copied. Blocks of five
// pixels, 15 bytes apart; the sixteenth byte a block writes is rewritten by the next
// block, and the last 16 bytes of the row are done last. Each block is loaded before the
// one before it is stored, which spares the processor a stalled load.
void CopyNonWhiteRow(uint8_t* __restrict d, const uint8_t* __restrict s, size_t n) {
#if VELLUM_PIXEL_SSE2
    if (n >= 18) {
        const __m128i lead0 = _mm_setr_epi8(-1, 0, 0, -1, 0, 0, -1, 0, 0, -1, 0, 0, -1, 0, 0, 0);
        const __m128i lead1 = _mm_slli_si128(lead0, 1);
        const __m128i byte0 = _mm_setr_epi8(-1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0);
        // The last 16 bytes: five pixels from byte 1, and byte 0 ending the pixel before,
        // whose whiteness comes from the block 2 bytes earlier.
        const size_t last = n - 16;
        const __m128i sLast = Load(s + last);
        const __m128i before = _mm_srli_si128(WhitePixelMask(Load(s + last - 2), lead0), 2);
        const __m128i keepLast =
            _mm_or_si128(WhitePixelMask(sLast, lead1), _mm_and_si128(before, byte0));
        const __m128i resultLast = Select(keepLast, Load(d + last), sLast);

        size_t k = 0;
        __m128i dv = Load(d), sv = Load(s);
        for (;;) {
            const __m128i result = Select(WhitePixelMask(sv, lead0), dv, sv);
            const size_t next = k + 15;
            if (next >= last) {
                Store(d + k, result);
                break;
            }
            dv = Load(d + next);
            sv = Load(s + next);
            Store(d + k, result);
            k = next;
        }
        Store(d + last, resultLast);
        return;
    }
#endif
    for (size_t k = 0; k + 3 <= n; k += 3) CopyNonWhitePixel(d + k, s + k);
}

// Every operation works within a pixel, so rows that are whole in both surfaces can be
// joined into one run.
struct RowOps {
    RowFn row;
    PixelFn pixel;  // one pixel at a time, for rectangles that share bytes
};

// Indexed by BlendMode.
constexpr RowOps kBlendRows[] = {
    {BytewiseRow<LightenOp>, BytewisePixel<LightenOp>},
    {BytewiseRow<DarkenOp>, BytewisePixel<DarkenOp>},
    {BytewiseRow<AndOp>, BytewisePixel<AndOp>},
    {BytewiseRow<OrOp>, BytewisePixel<OrOp>},
    {BytewiseRow<AddOp>, BytewisePixel<AddOp>},
    {BytewiseRow<ReverseSubtractOp>, BytewisePixel<ReverseSubtractOp>},
    {BytewiseRow<MultiplyOp>, BytewisePixel<MultiplyOp>},
    {BytewiseRow<AmplifyOp>, BytewisePixel<AmplifyOp>},
    {BytewiseRow<AttenuateOp>, BytewisePixel<AttenuateOp>},
    {CopyNonWhiteRow, CopyNonWhitePixel},
};
static_assert(std::size(kBlendRows) == kBlendModeCount, "one row per blend mode");

struct RopRow {
    uint32_t code;
    RowOps ops;
};
constexpr RopRow kRopRows[] = {
    {SRCCOPY, {CopyRow, CopyOnePixel}},
    {NOTSRCCOPY, {BytewiseRow<NotSourceOp>, BytewisePixel<NotSourceOp>}},
    {SRCAND, {BytewiseRow<AndOp>, BytewisePixel<AndOp>}},
    {SRCPAINT, {BytewiseRow<OrOp>, BytewisePixel<OrOp>}},
};
static_assert(std::size(kRopRows) == 4, "one row per raster-operation code");

// Runs a row operation over the clipped rectangle, bottom row first (increasing memory
// order). Rectangles of one surface that share pixels go pixel by pixel in that order.
void RunTwo(PixelSurface& dst, int x, int y, int w, int h, const PixelSurface& src, int sx,
            int sy, const RowOps& ops) {
    if (!Usable(dst) || !Usable(src)) return;
    const Span c = ClipTwo(dst, x, y, w, h, src, sx, sy);
    if (c.Empty()) return;
    const int64_t cols = c.i1 - c.i0;
    const int64_t rows = c.j1 - c.j0;
    const int64_t dx = x + c.i0, dy = y + c.j1 - 1;  // bottom-left pixel of the clip
    const int64_t px = sx + c.i0, py = sy + c.j1 - 1;
    uint8_t* const d = dst.bytes + OffsetOf(dst, dx, dy);
    const uint8_t* const s = src.bytes + OffsetOf(src, px, py);
    const size_t dStride = size_t(dst.width) * 3;
    const size_t sStride = size_t(src.width) * 3;
    const size_t rowBytes = size_t(cols) * 3;

    if (MayOverlap(dst, dx, y + c.j0, cols, rows, src, px, sy + c.j0, cols, rows)) {
        for (size_t r = 0; r < size_t(rows); ++r) {
            uint8_t* dr = d + r * dStride;
            const uint8_t* sr = s + r * sStride;
            for (size_t k = 0; k < rowBytes; k += 3) ops.pixel(dr + k, sr + k);
        }
        return;
    }
    if (rowBytes == dStride && rowBytes == sStride) {
        ops.row(d, s, rowBytes * size_t(rows));  // whole rows in both: one run of bytes
        return;
    }
    for (size_t r = 0; r < size_t(rows); ++r) ops.row(d + r * dStride, s + r * sStride, rowBytes);
}

// Runs fn(rowStart, rowBytes) over the clipped rectangle of one surface, bottom row
// first; full-width rectangles come as one run.
template <class Fn>
void RunOne(PixelSurface& surface, int x, int y, int w, int h, Fn fn) {
    if (!Usable(surface)) return;
    const Span c = ClipOne(surface, x, y, w, h);
    if (c.Empty()) return;
    const size_t stride = size_t(surface.width) * 3;
    const size_t rowBytes = size_t(c.i1 - c.i0) * 3;
    const int64_t rows = c.j1 - c.j0;
    uint8_t* const d = surface.bytes + OffsetOf(surface, x + c.i0, y + c.j1 - 1);
    if (rowBytes == stride) {
        fn(d, rowBytes * size_t(rows));
        return;
    }
    for (size_t r = 0; r < size_t(rows); ++r) fn(d + r * stride, rowBytes);
}

void WashOutRun(uint8_t* __restrict d, size_t n) {
#if VELLUM_PIXEL_SSE2
    if (n >= 16) {
        const __m128i low7 = _mm_set1_epi8(0x7F);
        const __m128i add = _mm_set1_epi8(127);
        auto wash = [&](__m128i v) {
            return _mm_add_epi8(_mm_and_si128(_mm_srli_epi16(v, 1), low7), add);
        };
        const size_t last = n - 16;
        const __m128i tail = wash(Load(d + last));
        for (size_t k = 0; k < last; k += 16) Store(d + k, wash(Load(d + k)));
        Store(d + last, tail);
        return;
    }
#endif
    for (size_t k = 0; k < n; ++k) d[k] = uint8_t((d[k] >> 1) + 127);
}

// Sets n bytes to v; short runs go without a call.
inline void SetBytes(uint8_t* __restrict d, uint8_t v, size_t n) {
#if VELLUM_PIXEL_SSE2
    if (n >= 16 && n <= 32) {
        const __m128i a = _mm_set1_epi8(char(v));
        Store(d, a);
        Store(d + n - 16, a);
        return;
    }
#endif
    std::memset(d, v, n);
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

// Fills n bytes (whole pixels) with the pattern's pixel.
void FillColourRun(uint8_t* __restrict d, size_t n, const ColourPattern& pattern) {
#if VELLUM_PIXEL_SSE2
    if (n >= 16) {
        const __m128i p0 = pattern.phase[0], p1 = pattern.phase[1], p2 = pattern.phase[2];
        size_t k = 0;
        for (; k + 48 <= n; k += 48) {
            Store(d + k, p0);
            Store(d + k + 16, p1);
            Store(d + k + 32, p2);
        }
        if (k + 16 <= n) {
            Store(d + k, p0);
            k += 16;
        }
        if (k + 16 <= n) Store(d + k, p1);
        Store(d + n - 16, p2);  // n is a multiple of 3, so n - 16 has phase 2
        return;
    }
#endif
    for (size_t k = 0; k + 3 <= n; k += 3) {
        d[k] = pattern.blue;
        d[k + 1] = pattern.green;
        d[k + 2] = pattern.red;
    }
}

// ---------------------------------------------------------------------------------------
// Zoom. The first destination row of each source row is built pixel by pixel; the rows
// below it that share its source row are copies of it.

inline void CopyPixel(uint8_t* __restrict d, const uint8_t* __restrict s) {
    d[0] = s[0];
    d[1] = s[1];
    d[2] = s[2];
}

#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
#define VELLUM_PIXEL_WORDS 1
inline uint64_t Pixel24(const uint8_t* p) {
    return uint64_t(p[0]) | uint64_t(p[1]) << 8 | uint64_t(p[2]) << 16;
}
inline void StoreWord(uint8_t* p, uint64_t v) { std::memcpy(p, &v, 8); }

// Eight destination pixels q0..q7 (24-bit values) as three 64-bit words.
inline void StoreEight(uint8_t* d, uint64_t q0, uint64_t q1, uint64_t q2, uint64_t q3,
                       uint64_t q4, uint64_t q5, uint64_t q6, uint64_t q7) {
    StoreWord(d, q0 | q1 << 24 | q2 << 48);
    StoreWord(d + 8, q2 >> 16 | q3 << 8 | q4 << 32 | q5 << 56);
    StoreWord(d + 16, q5 >> 8 | q6 << 16 | q7 << 40);
}

template <int Shift>
inline void ZoomEight(uint8_t* __restrict d, const uint8_t* __restrict s) {
    if constexpr (Shift == 1) {
        const uint64_t a = Pixel24(s), b = Pixel24(s + 3), c = Pixel24(s + 6), e = Pixel24(s + 9);
        StoreEight(d, a, a, b, b, c, c, e, e);
    } else if constexpr (Shift == 2) {
        const uint64_t a = Pixel24(s), b = Pixel24(s + 3);
        StoreEight(d, a, a, a, a, b, b, b, b);
    } else {
        const uint64_t a = Pixel24(s);
        StoreEight(d, a, a, a, a, a, a, a, a);
    }
}
#endif

// A zoom copy after clipping: destination rows from `top` downwards (pixel offsets i0..i1-1
// and j0..j1-1 from the rectangle's corner) and `source`, the source pixel of offset
// (i0, j0), from which the source rows go downwards too.
struct ZoomJob {
    uint8_t* top;
    size_t dStride;
    const uint8_t* source;
    size_t sStride;
    int64_t i0, i1, j0, j1;
};

// At a factor of 2, short rows are each built from the source: the one copy of a row just
// written would wait for its stores to reach the cache, which costs more than building
// the row again. Larger factors make several copies and wait only for the first.
constexpr size_t kZoomCopyFromBytes = 256;

#if defined(__GNUC__) || defined(__clang__)
#define VELLUM_ALWAYS_INLINE __attribute__((always_inline)) inline
#else
#define VELLUM_ALWAYS_INLINE inline
#endif

// Every destination row of a job; Row::Build(d, s, i0, i1, context) makes one row.
template <int Shift, class Row>
VELLUM_ALWAYS_INLINE void ZoomRows(const ZoomJob& job, const typename Row::Context& context) {
    const size_t rowBytes = size_t(job.i1 - job.i0) * 3;
    auto rowAt = [&](int64_t j) { return job.top - size_t(j - job.j0) * job.dStride; };
    auto sourceAt = [&](int64_t j) {
        return job.source - size_t((j >> Shift) - (job.j0 >> Shift)) * job.sStride;
    };
    if (Shift == 1 && rowBytes < kZoomCopyFromBytes) {
        for (int64_t j = job.j0; j < job.j1; ++j) Row::Build(rowAt(j), sourceAt(j), job.i0, job.i1, context);
        return;
    }
    for (int64_t j = job.j0; j < job.j1;) {
        uint8_t* const first = rowAt(j);
        Row::Build(first, sourceAt(j), job.i0, job.i1, context);
        // Rows up to the next multiple of the factor share this source row.
        const int64_t nextBlock = ((j >> Shift) + 1) << Shift;
        const int64_t blockEnd = nextBlock < job.j1 ? nextBlock : job.j1;
        for (++j; j < blockEnd; ++j) CopyBytes(rowAt(j), first, rowBytes);
    }
}

// One destination row: pixel i (i0 <= i < i1) takes source pixel i >> Shift. d points at
// pixel i0, s at source pixel i0 >> Shift.
template <int Shift>
struct WordRow {
    struct Context {};
    static void Build(uint8_t* __restrict d, const uint8_t* __restrict s, int64_t i0, int64_t i1,
                      const Context&) {
        if constexpr (Shift == 0) {
            CopyBytes(d, s, size_t(i1 - i0) * 3);
        } else {
            const int64_t base = i0 >> Shift;
            int64_t i = i0;
#if VELLUM_PIXEL_WORDS
            // Single pixels up to a multiple of 8, so each block of 8 starts a source pixel.
            for (; i < i1 && (i & 7) != 0; ++i, d += 3) CopyPixel(d, s + 3 * ((i >> Shift) - base));
            for (; i + 8 <= i1; i += 8, d += 24) ZoomEight<Shift>(d, s + 3 * ((i >> Shift) - base));
#endif
            for (; i < i1; ++i, d += 3) CopyPixel(d, s + 3 * ((i >> Shift) - base));
        }
    }
};

template <int Shift>
void ZoomWords(const ZoomJob& job) {
    ZoomRows<Shift, WordRow<Shift>>(job, {});
}

using ZoomFn = void (*)(const ZoomJob& job);
constexpr ZoomFn kZoomWords[] = {ZoomWords<0>, ZoomWords<1>, ZoomWords<2>, ZoomWords<3>};

// With SSSE3 (nearly every x86-64 processor; checked at run time) a byte shuffle spreads
// the source pixels over 16 or 8 destination pixels at once.
#if VELLUM_PIXEL_SSE2 && VELLUM_PIXEL_WORDS && (defined(__GNUC__) || defined(__clang__))
#define VELLUM_PIXEL_SSSE3 1
#define VELLUM_TARGET_SSSE3 __attribute__((target("ssse3")))

// Shuffle masks: rows 0..2 make the three 16-byte parts of 16 destination pixels, rows 3
// and 4 the 16 + 8 bytes of 8 destination pixels. The source bytes are loaded as:
// shift 1 of 16: three loads at bytes 0, 4, 8; halves of bytes 0..7 and 4..11 (shift 2 of
// 16, shift 1 of 8); halves of bytes 0..3 and 2..5 (shift 3 of 16, shift 2 of 8); one
// pixel (shift 3 of 8).
struct ZoomMasks {
    int8_t m[5][16];
};
constexpr ZoomMasks MakeZoomMasks(int shift) {
    ZoomMasks z{};
    for (int o = 0; o < 5; ++o) {
        const bool eight = o >= 3;
        const int layout = eight ? shift + 1 : shift;
        for (int k = 0; k < 16; ++k) {
            const int t = (eight ? o - 3 : o) * 16 + k;   // destination byte
            const int b = 3 * ((t / 3) >> shift) + t % 3;  // source byte
            int index = b;
            if (layout == 1) index = b - 4 * o;
            if (layout == 2) index = b < 8 ? b : b + 4;
            if (layout == 3) index = b < 4 ? b : b + 2;
            if (o == 4 && k >= 8) index = -1;  // beyond the 24 bytes; never stored
            z.m[o][k] = int8_t(index);
        }
    }
    return z;
}
constexpr ZoomMasks kZoomMasks[4] = {MakeZoomMasks(0), MakeZoomMasks(1), MakeZoomMasks(2),
                                     MakeZoomMasks(3)};

inline __m128i LoadHalves8(const uint8_t* s) { return _mm_unpacklo_epi64(Load8(s), Load8(s + 4)); }
inline __m128i LoadHalves4(const uint8_t* s) {
    uint32_t a, b;
    std::memcpy(&a, s, 4);
    std::memcpy(&b, s + 2, 4);
    return _mm_unpacklo_epi32(_mm_cvtsi32_si128(int(a)), _mm_cvtsi32_si128(int(b)));
}

template <int Shift>
struct ShuffleRow {
    struct Context {
        __m128i m[5];
    };
    static VELLUM_TARGET_SSSE3 void Build(uint8_t* __restrict d, const uint8_t* __restrict s,
                                          int64_t i0, int64_t i1, const Context& c) {
        const int64_t base = i0 >> Shift;
        int64_t i = i0;
        for (; i < i1 && (i & 7) != 0; ++i, d += 3) CopyPixel(d, s + 3 * ((i >> Shift) - base));
        // Sixteen destination pixels take exactly 16 >> Shift source pixels: nothing is
        // read past them.
        for (; i + 16 <= i1; i += 16, d += 48) {
            const uint8_t* p = s + 3 * ((i >> Shift) - base);
            if constexpr (Shift == 1) {
                Store(d, _mm_shuffle_epi8(Load(p), c.m[0]));
                Store(d + 16, _mm_shuffle_epi8(Load(p + 4), c.m[1]));
                Store(d + 32, _mm_shuffle_epi8(Load(p + 8), c.m[2]));
            } else {
                const __m128i v = Shift == 2 ? LoadHalves8(p) : LoadHalves4(p);
                Store(d, _mm_shuffle_epi8(v, c.m[0]));
                Store(d + 16, _mm_shuffle_epi8(v, c.m[1]));
                Store(d + 32, _mm_shuffle_epi8(v, c.m[2]));
            }
        }
        if (i + 8 <= i1) {
            const uint8_t* p = s + 3 * ((i >> Shift) - base);
            const __m128i v = Shift == 1   ? LoadHalves8(p)
                              : Shift == 2 ? LoadHalves4(p)
                                           : _mm_cvtsi32_si128(int(Pixel24(p)));
            Store(d, _mm_shuffle_epi8(v, c.m[3]));
            Store8(d + 16, _mm_shuffle_epi8(v, c.m[4]));
            i += 8;
            d += 24;
        }
        for (; i < i1; ++i, d += 3) CopyPixel(d, s + 3 * ((i >> Shift) - base));
    }
};

template <int Shift>
VELLUM_TARGET_SSSE3 void ZoomShuffled(const ZoomJob& job) {
    typename ShuffleRow<Shift>::Context context;
    for (int o = 0; o < 5; ++o) {
        context.m[o] = Load(reinterpret_cast<const uint8_t*>(kZoomMasks[Shift].m[o]));
    }
    ZoomRows<Shift, ShuffleRow<Shift>>(job, context);
}
constexpr ZoomFn kZoomShuffled[] = {ZoomWords<0>, ZoomShuffled<1>, ZoomShuffled<2>,
                                    ZoomShuffled<3>};
#endif

const ZoomFn* ChooseZoom() {
#if VELLUM_PIXEL_SSSE3
#if defined(__SSSE3__)
    return kZoomShuffled;
#else
    __builtin_cpu_init();
    if (__builtin_cpu_supports("ssse3")) return kZoomShuffled;
#endif
#endif
    return kZoomWords;
}

}  // namespace

void BlendRect(PixelSurface& dst, int x, int y, int w, int h, const PixelSurface& src, int sx,
               int sy, int mode) {
    if (mode < 0 || mode >= kBlendModeCount) return;
    RunTwo(dst, x, y, w, h, src, sx, sy, kBlendRows[mode]);
}

void CopyRectRop(PixelSurface& dst, int x, int y, int w, int h, const PixelSurface& src, int sx,
                 int sy, uint32_t rop) {
    for (const RopRow& r : kRopRows) {
        if (r.code != rop) continue;
        RunTwo(dst, x, y, w, h, src, sx, sy, r.ops);
        return;
    }
}

void WashOutRect(PixelSurface& surface, int x, int y, int w, int h) {
    RunOne(surface, x, y, w, h, [](uint8_t* d, size_t n) { WashOutRun(d, n); });
}

void FillRectWhite(PixelSurface& surface, int x, int y, int w, int h) {
    RunOne(surface, x, y, w, h, [](uint8_t* d, size_t n) { SetBytes(d, 255, n); });
}

void FillRectBlack(PixelSurface& surface, int x, int y, int w, int h) {
    RunOne(surface, x, y, w, h, [](uint8_t* d, size_t n) { SetBytes(d, 0, n); });
}

void FillRectColour(PixelSurface& surface, int x, int y, int w, int h, uint8_t red, uint8_t green,
                    uint8_t blue) {
    const ColourPattern pattern(blue, green, red);
    RunOne(surface, x, y, w, h, [&pattern](uint8_t* d, size_t n) { FillColourRun(d, n, pattern); });
}

void ZoomCopyRect(PixelSurface& dst, int x, int y, int w, int h, const PixelSurface& src, int sx,
                  int sy, int shift) {
    if (shift < 0 || shift > 3) return;
    if (!Usable(dst) || !Usable(src)) return;
    // Offsets i whose destination column and source column (sx + (i >> shift)) both lie inside.
    const int64_t f = int64_t(1) << shift;
    Span c;
    c.i0 = std::max<int64_t>({0, -int64_t(x), std::max<int64_t>(0, -int64_t(sx)) * f});
    c.i1 = std::min<int64_t>({w, int64_t(dst.width) - x, (int64_t(src.width) - sx) * f});
    c.j0 = std::max<int64_t>({0, -int64_t(y), std::max<int64_t>(0, -int64_t(sy)) * f});
    c.j1 = std::min<int64_t>({h, int64_t(dst.height) - y, (int64_t(src.height) - sy) * f});
    if (c.Empty()) return;

    const size_t dStride = size_t(dst.width) * 3;
    const int64_t srcCol0 = sx + (c.i0 >> shift), srcCols = ((c.i1 - 1) >> shift) - (c.i0 >> shift) + 1;
    const int64_t srcRow0 = sy + (c.j0 >> shift), srcRows = ((c.j1 - 1) >> shift) - (c.j0 >> shift) + 1;
    // Top row first, going down: row j of the rectangle lies (j - j0) strides below.
    uint8_t* const top = dst.bytes + OffsetOf(dst, x + c.i0, y + c.j0);
    auto rowAt = [&](int64_t j) { return top - size_t(j - c.j0) * dStride; };
    auto sourceAt = [&](int64_t j) { return src.bytes + OffsetOf(src, srcCol0, sy + (j >> shift)); };

    if (MayOverlap(dst, x + c.i0, y + c.j0, c.i1 - c.i0, c.j1 - c.j0, src, srcCol0, srcRow0,
                   srcCols, srcRows)) {
        for (int64_t j = c.j0; j < c.j1; ++j) {
            uint8_t* d = rowAt(j);
            const uint8_t* s = sourceAt(j);
            for (int64_t i = c.i0; i < c.i1; ++i) {
                const uint8_t* p = s + 3 * ((i >> shift) - (c.i0 >> shift));
                const uint8_t p0 = p[0], p1 = p[1], p2 = p[2];
                uint8_t* q = d + 3 * (i - c.i0);
                q[0] = p0;
                q[1] = p1;
                q[2] = p2;
            }
        }
        return;
    }

    static const ZoomFn* const zoom = ChooseZoom();
    zoom[shift](ZoomJob{top, dStride, sourceAt(c.j0), size_t(src.width) * 3, c.i0, c.i1, c.j0, c.j1});
}

}  // namespace vellum
