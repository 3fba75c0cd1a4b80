// The rectangle operations: blends, raster-operation copies, wash-out, fills and the
// colour hold, each a row of a table indexed by its mode or code.
#include <iterator>

#include "engine/pixel/PixelKernels.h"

VELLUM_PIXEL_BEGIN
namespace {

using RowFn = void (*)(uint8_t* __restrict d, const uint8_t* __restrict s, size_t n);
using PixelFn = void (*)(uint8_t* d, const uint8_t* s);
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

// The colour hold: each byte of the colour layer is held to what the coverage beside it
// allows of the pencil's colour, colour x coverage / 255.
void HoldColourRun(uint8_t* __restrict b, const uint8_t* __restrict a, size_t n,
                   const ColourPattern& pencil) {
#if VELLUM_PIXEL_SSE2
    if (n >= 16) {
        auto hold = [](__m128i bv, __m128i av, __m128i pv) { return _mm_min_epu8(bv, MulDiv255(pv, av)); };
        // n is a multiple of 3, so the last block starts at phase 2.
        const size_t last = n - 16;
        const __m128i tail = hold(Load(b + last), Load(a + last), pencil.phase[2]);
        size_t k = 0;
        for (; k + 48 <= last; k += 48) {
            Store(b + k, hold(Load(b + k), Load(a + k), pencil.phase[0]));
            Store(b + k + 16, hold(Load(b + k + 16), Load(a + k + 16), pencil.phase[1]));
            Store(b + k + 32, hold(Load(b + k + 32), Load(a + k + 32), pencil.phase[2]));
        }
        for (int phase = 0; k < last; k += 16, ++phase)
            Store(b + k, hold(Load(b + k), Load(a + k), pencil.phase[phase]));
        Store(b + last, tail);
        return;
    }
#endif
    const uint8_t most[3] = {pencil.blue, pencil.green, pencil.red};
    for (size_t k = 0; k + 3 <= n; k += 3)
        for (int c = 0; c < 3; ++c) {
            const uint8_t limit = MulDiv255(most[c], a[k + c]);
            if (b[k + c] > limit) b[k + c] = limit;
        }
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

void HoldColourRect(PixelSurface& colour, int x, int y, int w, int h, const PixelSurface& coverage,
                    int sx, int sy, uint8_t red, uint8_t green, uint8_t blue) {
    if (!Usable(colour) || !Usable(coverage)) return;
    const Span c = ClipTwo(colour, x, y, w, h, coverage, sx, sy);
    if (c.Empty()) return;
    const ColourPattern pencil(blue, green, red);
    const int64_t cols = c.i1 - c.i0, rows = c.j1 - c.j0;
    const int64_t dx = x + c.i0, dy = y + c.j1 - 1;  // bottom-left pixel of the clip
    const int64_t px = sx + c.i0, py = sy + c.j1 - 1;
    uint8_t* const b = colour.bytes + OffsetOf(colour, dx, dy);
    const uint8_t* const a = coverage.bytes + OffsetOf(coverage, px, py);
    const size_t bStride = size_t(colour.width) * 3, aStride = size_t(coverage.width) * 3;
    const size_t rowBytes = size_t(cols) * 3;
    if (MayOverlap(colour, dx, y + c.j0, cols, rows, coverage, px, sy + c.j0, cols, rows)) {
        // Each byte depends on its own pair only, so a byte at a time is safe.
        const uint8_t most[3] = {blue, green, red};
        for (size_t r = 0; r < size_t(rows); ++r)
            for (size_t k = 0; k < rowBytes; ++k) {
                const uint8_t limit = MulDiv255(most[k % 3], a[r * aStride + k]);
                if (b[r * bStride + k] > limit) b[r * bStride + k] = limit;
            }
        return;
    }
    if (rowBytes == bStride && rowBytes == aStride) {
        HoldColourRun(b, a, rowBytes * size_t(rows), pencil);
        return;
    }
    for (size_t r = 0; r < size_t(rows); ++r)
        HoldColourRun(b + r * bStride, a + r * aStride, rowBytes, pencil);
}

VELLUM_PIXEL_END

namespace vellum {

namespace {
#if defined(VELLUM_PIXEL_PORTABLE)
namespace impl = vellum::portable;
#else
namespace impl = vellum;
#endif
constexpr PixelOps kOps = {impl::BlendRect,     impl::CopyRectRop,    impl::WashOutRect,
                           impl::FillRectWhite, impl::FillRectBlack,  impl::FillRectColour,
                           impl::ZoomCopyRect,  impl::HoldColourRect, impl::ExpandRectRgb32,
                           impl::ExpandRectRgba, impl::ShrinkRect};
}  // namespace

#if defined(VELLUM_PIXEL_PORTABLE)
const PixelOps& PortablePixelOps() { return kOps; }
#else
const PixelOps& FastPixelOps() { return kOps; }
#endif

}  // namespace vellum
