// The zoomed-out copy: each destination pixel the mean of a k x k block of source pixels.
// A row of blocks is summed down its k source rows first (16 bytes at a time where the
// processor has SSE2), into 16-bit sums of a chunk of the row kept on the stack; the sums
// of each block's k columns then give its mean. The source is read once, in row order.
#include "engine/pixel/PixelKernels.h"

VELLUM_PIXEL_BEGIN
namespace {

// Bytes of a row summed at a time: whole blocks of 2, 4 and 8 pixels.
constexpr int64_t kChunkBytes = 768;

// Rows r0..r0+n-1 (top-down, each a stride below the last) of `bytes` source bytes from
// `top`, summed column by column into sums. At most 8 rows: 8 x 255 fits 16 bits.
void SumRows(uint16_t* __restrict sums, const uint8_t* top, size_t stride, int n, int64_t bytes) {
    int64_t b = 0;
#if VELLUM_PIXEL_SSE2
    const __m128i zero = _mm_setzero_si128();
    for (; b + 16 <= bytes; b += 16) {
        __m128i lo = zero, hi = zero;
        const uint8_t* p = top + b;
        for (int r = 0; r < n; ++r, p -= stride) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
            lo = _mm_add_epi16(lo, _mm_unpacklo_epi8(v, zero));
            hi = _mm_add_epi16(hi, _mm_unpackhi_epi8(v, zero));
        }
        _mm_storeu_si128(reinterpret_cast<__m128i*>(sums + b), lo);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(sums + b + 8), hi);
    }
#endif
    for (int64_t k = b; k < bytes; ++k) sums[k] = 0;
    const uint8_t* p = top;
    for (int r = 0; r < n; ++r, p -= stride)
        for (int64_t k = b; k < bytes; ++k) sums[k] = uint16_t(sums[k] + p[k]);
}

// The rounded mean of a sum of n values; n a power of two for every whole block.
inline uint8_t Mean(uint32_t sum, uint32_t n, int logN) {
    if (logN >= 0) return uint8_t((sum + (n >> 1)) >> logN);
    return uint8_t((sum + n / 2) / n);
}

}  // namespace

void ShrinkRect(PixelSurface& dst, int x, int y, int w, int h, const PixelSurface& src, int sx, int sy,
                int shift) {
    if (shift < 1 || shift > 3) return;
    if (!Usable(dst) || !Usable(src)) return;
    const int64_t k = int64_t(1) << shift;
    // Offsets i whose destination column lies inside and whose block reaches a source
    // column: sx + i k + k > 0 and sx + i k < width.
    auto ceilDiv = [](int64_t a, int64_t b) { return a >= 0 ? (a + b - 1) / b : -((-a) / b); };
    Span c;
    c.i0 = std::max<int64_t>({0, -int64_t(x), ceilDiv(-int64_t(sx) - k + 1, k)});
    c.i1 = std::min<int64_t>({w, int64_t(dst.width) - x, ceilDiv(int64_t(src.width) - sx, k)});
    c.j0 = std::max<int64_t>({0, -int64_t(y), ceilDiv(-int64_t(sy) - k + 1, k)});
    c.j1 = std::min<int64_t>({h, int64_t(dst.height) - y, ceilDiv(int64_t(src.height) - sy, k)});
    if (c.Empty()) return;

    const size_t stride = size_t(src.width) * 3;
    uint16_t sums[kChunkBytes];
    for (int64_t j = c.j0; j < c.j1; ++j) {
        // The block's rows inside the source.
        const int64_t r0 = std::max<int64_t>(0, sy + j * k), r1 = std::min<int64_t>(src.height, sy + j * k + k);
        const int rows = int(r1 - r0);
        uint8_t* out = dst.bytes + OffsetOf(dst, x + c.i0, y + j);
        for (int64_t i = c.i0; i < c.i1;) {
            // Whole blocks of columns from column q0 on, a chunk at a time; a block cut by
            // the source's edge alone.
            const int64_t q0 = sx + i * k;
            int64_t blocks = 1;
            if (q0 >= 0 && q0 + k <= src.width) {
                blocks = std::min<int64_t>({c.i1 - i, (int64_t(src.width) - q0) / k, kChunkBytes / (3 * k)});
            }
            const int64_t col0 = std::max<int64_t>(0, q0), col1 = std::min<int64_t>(src.width, q0 + blocks * k);
            SumRows(sums, src.bytes + OffsetOf(src, int(col0), int(r0)), stride, rows, (col1 - col0) * 3);
            if (blocks == 1 && (q0 < 0 || q0 + k > src.width)) {
                const uint32_t n = uint32_t((col1 - col0) * rows);
                for (int ch = 0; ch < 3; ++ch) {
                    uint32_t sum = 0;
                    for (int64_t t = 0; t < col1 - col0; ++t) sum += sums[t * 3 + ch];
                    out[ch] = Mean(sum, n, -1);
                }
                out += 3;
                ++i;
                continue;
            }
            const uint32_t n = uint32_t(k * rows);
            const int logN = rows == k ? 2 * shift : -1;
            const uint16_t* s = sums;
            for (int64_t b = 0; b < blocks; ++b, out += 3, s += 3 * k) {
                uint32_t b0 = 0, g0 = 0, r = 0;
                for (int64_t t = 0; t < k; ++t) {
                    b0 += s[3 * t];
                    g0 += s[3 * t + 1];
                    r += s[3 * t + 2];
                }
                out[0] = Mean(b0, n, logN);
                out[1] = Mean(g0, n, logN);
                out[2] = Mean(r, n, logN);
            }
            i += blocks;
        }
    }
}

VELLUM_PIXEL_END
