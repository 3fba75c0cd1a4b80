#pragma once
// Surfaces with guard bytes, random pictures and random rectangles for the pixel tests.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "engine/pixel/PixelOps.h"
#include "engine/pixel/Surface.h"

namespace vellum::test {

constexpr uint8_t kGuardByte = 0xA5;

// A surface inside a buffer with guard bytes on both sides. A guard of 0 gives a block of
// exactly the pixel bytes, so AddressSanitizer sees any access past them.
// The operations under test: the program's own, or with VELLUM_PIXEL_TABLE=portable the
// plain loops that a processor without SSE2 runs. The test program runs once each way.
inline const PixelOps& Ops() {
    static const PixelOps& ops = [] () -> const PixelOps& {
        const char* which = std::getenv("VELLUM_PIXEL_TABLE");
        return which && std::string(which) == "portable" ? PortablePixelOps() : FastPixelOps();
    }();
    return ops;
}

class GuardedSurface {
public:
    GuardedSurface(int width, int height, size_t guard = 32)
        : guard(guard), buffer(size_t(width) * height * 3 + 2 * guard, kGuardByte) {
        surface.width = width;
        surface.height = height;
        surface.byteSize = width * height * 3;
        Bind();
        std::fill(buffer.begin() + std::ptrdiff_t(guard), buffer.end() - std::ptrdiff_t(guard), 0);
    }
    GuardedSurface(const GuardedSurface& other)
        : guard(other.guard), buffer(other.buffer), surface(other.surface) {
        Bind();
    }
    GuardedSurface& operator=(const GuardedSurface&) = delete;

    PixelSurface& operator*() { return surface; }
    PixelSurface* operator->() { return &surface; }
    const std::vector<uint8_t>& Buffer() const { return buffer; }

    bool GuardsIntact() const {
        for (size_t k = 0; k < guard; ++k) {
            if (buffer[k] != kGuardByte || buffer[buffer.size() - 1 - k] != kGuardByte) return false;
        }
        return true;
    }
    // Channel c (0 blue, 1 green, 2 red) of pixel (x, y), y from the top.
    uint8_t& At(int x, int y, int c) { return surface.At(x, y)[c]; }
    void SetPixel(int x, int y, uint8_t blue, uint8_t green, uint8_t red) {
        uint8_t* p = surface.At(x, y);
        p[0] = blue;
        p[1] = green;
        p[2] = red;
    }
    void FillAll(uint8_t blue, uint8_t green, uint8_t red) {
        for (int y = 0; y < surface.height; ++y) {
            for (int x = 0; x < surface.width; ++x) SetPixel(x, y, blue, green, red);
        }
    }
    // Random pixels with plenty of whites, blacks and saturated channels.
    void FillRandom(std::mt19937& rng) {
        for (int32_t k = 0; k < surface.byteSize; k += 3) {
            const unsigned kind = rng() % 8;
            for (int c = 0; c < 3; ++c) {
                uint8_t v = uint8_t(rng());
                if (kind == 0) v = 255;
                else if (kind == 1) v = 0;
                else if (kind == 2 && (rng() & 1)) v = 255;
                surface.bytes[k + c] = v;
            }
        }
    }

private:
    void Bind() { surface.bytes = buffer.data() + guard; }

    size_t guard;
    std::vector<uint8_t> buffer;
    PixelSurface surface;
};

// A rectangle plus its source corner, as the two-surface operations take them.
struct Placement {
    int x = 0, y = 0, w = 0, h = 0, sx = 0, sy = 0;
    std::string Describe() const {
        return "x=" + std::to_string(x) + " y=" + std::to_string(y) + " w=" + std::to_string(w) +
               " h=" + std::to_string(h) + " sx=" + std::to_string(sx) + " sy=" + std::to_string(sy);
    }
};

inline int RandomIn(std::mt19937& rng, int lo, int hi) {
    return std::uniform_int_distribution<int>(lo, hi)(rng);
}

// Corners anywhere from well before to well past each surface, sizes from negative to
// larger than the surface, so every edge of both surfaces gets hung over.
inline Placement RandomPlacement(std::mt19937& rng, const PixelSurface& dst,
                                 const PixelSurface& src) {
    Placement p;
    p.x = RandomIn(rng, -dst.width / 2 - 3, dst.width + 2);
    p.y = RandomIn(rng, -dst.height / 2 - 3, dst.height + 2);
    p.sx = RandomIn(rng, -src.width / 2 - 3, src.width + 2);
    p.sy = RandomIn(rng, -src.height / 2 - 3, src.height + 2);
    p.w = RandomIn(rng, 0, 9) == 0 ? RandomIn(rng, -3, 0) : RandomIn(rng, 1, dst.width + 8);
    p.h = RandomIn(rng, 0, 9) == 0 ? RandomIn(rng, -3, 0) : RandomIn(rng, 1, dst.height + 8);
    return p;
}

// Guard bytes half of the time; exact-size blocks the other half.
inline size_t RandomGuard(std::mt19937& rng) { return (rng() & 1) ? 1 + rng() % 40 : 0; }

// Runs trials of a two-surface operation on random pictures and placements: the fast
// and the reference version must leave identical bytes, guards included. A quarter of
// the trials use one surface as both source and destination.
template <class Fast, class Ref>
void CompareTwoSurfaceOp(uint32_t seed, int trials, Fast fast, Ref ref) {
    std::mt19937 rng(seed);
    for (int t = 0; t < trials; ++t) {
        const int dw = RandomIn(rng, 1, (t % 5 == 0) ? 70 : 41);
        const int dh = RandomIn(rng, 1, 23);
        const bool sameSurface = rng() % 4 == 0;
        const bool sameSize = rng() % 3 == 0;
        const int sw = sameSize ? dw : RandomIn(rng, 1, 41);
        const int sh = sameSize ? dh : RandomIn(rng, 1, 23);

        GuardedSurface a(dw, dh, RandomGuard(rng));
        a.FillRandom(rng);
        GuardedSurface src(sw, sh, RandomGuard(rng));
        src.FillRandom(rng);
        GuardedSurface& source = sameSurface ? a : src;
        Placement p = RandomPlacement(rng, *a, *source);
        if (sameSurface && (rng() & 1)) {
            // Side by side or one above the other, never sharing a pixel.
            if (rng() & 1) p.sx = p.x + (p.w > 0 ? p.w : 0) + RandomIn(rng, 0, 3);
            else p.sy = p.y + (p.h > 0 ? p.h : 0) + RandomIn(rng, 0, 3);
            if (rng() & 1) {
                std::swap(p.x, p.sx);
                std::swap(p.y, p.sy);
            }
        }
        SCOPED_TRACE("trial " + std::to_string(t) + " dst " + std::to_string(dw) + "x" +
                     std::to_string(dh) + (sameSurface ? " same surface " : " src ") +
                     std::to_string(source->width) + "x" + std::to_string(source->height) +
                     " " + p.Describe());

        GuardedSurface b(a);
        const GuardedSurface srcBefore(src);
        if (sameSurface) {
            fast(*a, p, *a);
            ref(*b, p, *b);
        } else {
            fast(*a, p, *src);
            ref(*b, p, *src);
            ASSERT_EQ(src.Buffer(), srcBefore.Buffer()) << "the source changed";
        }
        ASSERT_TRUE(a.GuardsIntact());
        ASSERT_EQ(a.Buffer(), b.Buffer());
    }
}

// The same for an operation on one surface.
template <class Fast, class Ref>
void CompareOneSurfaceOp(uint32_t seed, int trials, Fast fast, Ref ref) {
    std::mt19937 rng(seed);
    for (int t = 0; t < trials; ++t) {
        const int dw = RandomIn(rng, 1, (t % 5 == 0) ? 70 : 41);
        const int dh = RandomIn(rng, 1, 23);
        GuardedSurface a(dw, dh, RandomGuard(rng));
        a.FillRandom(rng);
        const Placement p = RandomPlacement(rng, *a, *a);
        SCOPED_TRACE("trial " + std::to_string(t) + " surface " + std::to_string(dw) + "x" +
                     std::to_string(dh) + " " + p.Describe());
        GuardedSurface b(a);
        fast(*a, p);
        ref(*b, p);
        ASSERT_TRUE(a.GuardsIntact());
        ASSERT_EQ(a.Buffer(), b.Buffer());
    }
}

}  // namespace vellum::test
