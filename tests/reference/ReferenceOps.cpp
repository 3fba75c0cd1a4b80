#include "tests/reference/ReferenceOps.h"

namespace vellum::reference {
namespace {

// A surface has pixels only when its bytes are there and cover its size.
bool Usable(const PixelSurface& s) {
    return s.bytes != nullptr && s.width > 0 && s.height > 0 &&
           int64_t(s.width) * s.height * 3 <= int64_t(s.byteSize);
}

bool Inside(const PixelSurface& s, int64_t px, int64_t py) {
    return px >= 0 && px < s.width && py >= 0 && py < s.height;
}

uint8_t* PixelAt(PixelSurface& s, int64_t px, int64_t py) {
    return s.bytes + 3 * (px + int64_t(s.width) * (s.height - 1 - py));
}
const uint8_t* PixelAt(const PixelSurface& s, int64_t px, int64_t py) {
    return s.bytes + 3 * (px + int64_t(s.width) * (s.height - 1 - py));
}

int BlendChannel(int mode, int d, int s) {
    switch (mode) {
        case Lighten: return d > s ? d : s;
        case Darken: return d < s ? d : s;
        case And: return d & s;
        case Or: return d | s;
        case Add: return d + s > 255 ? 255 : d + s;
        case ReverseSubtract: return s - d < 0 ? 0 : s - d;
        case Multiply: return (s * d) / 255;
        case Amplify: {
            const int t = d + (s * d) / 255;
            return t > 255 ? 255 : t;
        }
        case Attenuate: {
            const int t = d - (s * d) / 255;
            return t < 0 ? 0 : t;
        }
        default: return d;
    }
}

int RopChannel(uint32_t rop, int d, int s) {
    switch (rop) {
        case SRCCOPY: return s;
        case NOTSRCCOPY: return 255 - s;
        case SRCAND: return d & s;
        case SRCPAINT: return d | s;
        default: return d;
    }
}

// Visits the rectangle bottom row first, each row left to right, calling
// fn(destination pixel, source pixel) for each pair that lies inside both surfaces.
template <class Fn>
void ForEachPair(PixelSurface& dst, int x, int y, int w, int h, const PixelSurface& src, int sx,
                 int sy, Fn fn) {
    if (!Usable(dst) || !Usable(src)) return;
    for (int64_t j = int64_t(h) - 1; j >= 0; --j) {
        for (int64_t i = 0; i < w; ++i) {
            if (!Inside(dst, x + i, y + j) || !Inside(src, sx + i, sy + j)) continue;
            fn(PixelAt(dst, x + i, y + j), PixelAt(src, sx + i, sy + j));
        }
    }
}

template <class Fn>
void ForEachPixel(PixelSurface& surface, int x, int y, int w, int h, Fn fn) {
    if (!Usable(surface)) return;
    for (int64_t j = int64_t(h) - 1; j >= 0; --j) {
        for (int64_t i = 0; i < w; ++i) {
            if (Inside(surface, x + i, y + j)) fn(PixelAt(surface, x + i, y + j));
        }
    }
}

}  // namespace

void RefBlendRect(PixelSurface& dst, int x, int y, int w, int h, const PixelSurface& src, int sx,
                  int sy, int mode) {
    if (mode < 0 || mode >= kBlendModeCount) return;
    ForEachPair(dst, x, y, w, h, src, sx, sy, [mode](uint8_t* d, const uint8_t* s) {
        const uint8_t sv[3] = {s[0], s[1], s[2]};
        const uint8_t dv[3] = {d[0], d[1], d[2]};
        if (mode == CopyNonWhite) {
            if (sv[0] == 255 && sv[1] == 255 && sv[2] == 255) return;
            for (int c = 0; c < 3; ++c) d[c] = sv[c];
            return;
        }
        for (int c = 0; c < 3; ++c) d[c] = uint8_t(BlendChannel(mode, dv[c], sv[c]));
    });
}

void RefCopyRectRop(PixelSurface& dst, int x, int y, int w, int h, const PixelSurface& src, int sx,
                    int sy, uint32_t rop) {
    if (rop != SRCCOPY && rop != NOTSRCCOPY && rop != SRCAND && rop != SRCPAINT) return;
    ForEachPair(dst, x, y, w, h, src, sx, sy, [rop](uint8_t* d, const uint8_t* s) {
        const uint8_t sv[3] = {s[0], s[1], s[2]};
        const uint8_t dv[3] = {d[0], d[1], d[2]};
        for (int c = 0; c < 3; ++c) d[c] = uint8_t(RopChannel(rop, dv[c], sv[c]));
    });
}

void RefWashOutRect(PixelSurface& surface, int x, int y, int w, int h) {
    ForEachPixel(surface, x, y, w, h, [](uint8_t* d) {
        for (int c = 0; c < 3; ++c) d[c] = uint8_t((d[c] >> 1) + 127);
    });
}

void RefFillRectWhite(PixelSurface& surface, int x, int y, int w, int h) {
    RefFillRectColour(surface, x, y, w, h, 255, 255, 255);
}

void RefFillRectBlack(PixelSurface& surface, int x, int y, int w, int h) {
    RefFillRectColour(surface, x, y, w, h, 0, 0, 0);
}

void RefFillRectColour(PixelSurface& surface, int x, int y, int w, int h, uint8_t red,
                       uint8_t green, uint8_t blue) {
    ForEachPixel(surface, x, y, w, h, [=](uint8_t* d) {
        d[0] = blue;
        d[1] = green;
        d[2] = red;
    });
}

void RefZoomCopyRect(PixelSurface& dst, int x, int y, int w, int h, const PixelSurface& src,
                     int sx, int sy, int shift) {
    if (shift < 0 || shift > 3) return;
    if (!Usable(dst) || !Usable(src)) return;
    // Top row first, going down.
    for (int64_t j = 0; j < h; ++j) {
        for (int64_t i = 0; i < w; ++i) {
            const int64_t px = sx + (i >> shift), py = sy + (j >> shift);
            if (!Inside(dst, x + i, y + j) || !Inside(src, px, py)) continue;
            const uint8_t* s = PixelAt(src, px, py);
            const uint8_t sv[3] = {s[0], s[1], s[2]};
            uint8_t* d = PixelAt(dst, x + i, y + j);
            for (int c = 0; c < 3; ++c) d[c] = sv[c];
        }
    }
}

void RefHoldColourRect(PixelSurface& colour, int x, int y, int w, int h,
                       const PixelSurface& coverage, int sx, int sy, uint8_t red, uint8_t green,
                       uint8_t blue) {
    const int pencil[3] = {blue, green, red};
    ForEachPair(colour, x, y, w, h, coverage, sx, sy, [&](uint8_t* b, const uint8_t* a) {
        const uint8_t av[3] = {a[0], a[1], a[2]};
        for (int c = 0; c < 3; ++c) {
            const int most = pencil[c] * av[c] / 255;
            if (b[c] > most) b[c] = uint8_t(most);
        }
    });
}

namespace {
void RefExpand(uint8_t* dst, int64_t dstStride, int dstWidth, int dstHeight, const PixelSurface& src, int x, int y,
               int w, int h, int scale, bool redFirst) {
    if (!dst || scale < 1 || scale > kMaxExpandScale || !src.bytes) return;
    for (int64_t wy = 0; wy < dstHeight; ++wy)
        for (int64_t wx = 0; wx < dstWidth; ++wx) {
            const int64_t sx = wx / scale, sy = wy / scale;
            // Only source pixels inside the rectangle and the source, shown whole.
            if (sx < x || sx >= int64_t(x) + w || sy < y || sy >= int64_t(y) + h) continue;
            if (sx >= src.width || sy >= src.height) continue;
            if ((sx + 1) * scale > dstWidth || (sy + 1) * scale > dstHeight) continue;
            const uint8_t* p = src.At(int(sx), int(sy));
            uint8_t* d = dst + wy * dstStride + wx * 4;
            d[0] = redFirst ? p[2] : p[0];
            d[1] = p[1];
            d[2] = redFirst ? p[0] : p[2];
            d[3] = 255;
        }
}
}  // namespace

void RefExpandRectRgb32(uint8_t* dst, int64_t dstStride, int dstWidth, int dstHeight, const PixelSurface& src,
                        int x, int y, int w, int h, int scale) {
    RefExpand(dst, dstStride, dstWidth, dstHeight, src, x, y, w, h, scale, false);
}

void RefExpandRectRgba(uint8_t* dst, int64_t dstStride, int dstWidth, int dstHeight, const PixelSurface& src,
                       int x, int y, int w, int h, int scale) {
    RefExpand(dst, dstStride, dstWidth, dstHeight, src, x, y, w, h, scale, true);
}

void RefShrinkRect(PixelSurface& dst, int x, int y, int w, int h, const PixelSurface& src, int sx, int sy,
                   int shift) {
    if (shift < 1 || shift > 3) return;
    if (!Usable(dst) || !Usable(src)) return;
    const int64_t k = int64_t(1) << shift;
    for (int64_t j = 0; j < h; ++j) {
        for (int64_t i = 0; i < w; ++i) {
            if (!Inside(dst, x + i, y + j)) continue;
            int64_t sum[3] = {0, 0, 0}, n = 0;
            for (int64_t v = 0; v < k; ++v)
                for (int64_t u = 0; u < k; ++u) {
                    const int64_t px = sx + i * k + u, py = sy + j * k + v;
                    if (!Inside(src, px, py)) continue;
                    const uint8_t* s = PixelAt(src, px, py);
                    for (int c = 0; c < 3; ++c) sum[c] += s[c];
                    ++n;
                }
            if (n == 0) continue;
            uint8_t* d = PixelAt(dst, x + i, y + j);
            // Rounded to nearest, halves up.
            for (int c = 0; c < 3; ++c) d[c] = uint8_t((2 * sum[c] + n) / (2 * n));
        }
    }
}

const PixelOps& ReferencePixelOps() {
    static const PixelOps ops = {RefBlendRect,     RefCopyRectRop,    RefWashOutRect,
                                 RefFillRectWhite, RefFillRectBlack,  RefFillRectColour,
                                 RefZoomCopyRect,  RefHoldColourRect, RefExpandRectRgb32,
                                 RefExpandRectRgba, RefShrinkRect};
    return ops;
}

}  // namespace vellum::reference
