// The zoomed copy: nearest-neighbour magnification by 1, 2, 4 or 8.
#include "engine/pixel/PixelKernels.h"

VELLUM_PIXEL_BEGIN
namespace {

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

VELLUM_PIXEL_END
