#pragma once
// Points and boxes in pixels, shared by the engine and everything above it.
#include <cstdint>

namespace vellum {

struct IntPoint {
    int32_t x = 0;
    int32_t y = 0;
    bool operator==(const IntPoint&) const = default;
};

// A rectangle: top-left corner and size. Empty when either size is 0 or less.
struct Box {
    int32_t x = 0;
    int32_t y = 0;
    int32_t w = 0;
    int32_t h = 0;

    bool Empty() const { return w <= 0 || h <= 0; }
    bool operator==(const Box&) const = default;
};

// The part of a box inside [0, width) x [0, height); empty when none is.
inline Box ClipBox(Box b, int32_t width, int32_t height) {
    const int64_t x0 = b.x < 0 ? 0 : b.x, y0 = b.y < 0 ? 0 : b.y;
    int64_t x1 = int64_t(b.x) + b.w, y1 = int64_t(b.y) + b.h;
    if (x1 > width) x1 = width;
    if (y1 > height) y1 = height;
    if (x1 <= x0 || y1 <= y0) return {};
    return {int32_t(x0), int32_t(y0), int32_t(x1 - x0), int32_t(y1 - y0)};
}

// The smallest box holding both; an empty box adds nothing.
inline Box UnionBox(Box a, Box b) {
    if (a.Empty()) return b;
    if (b.Empty()) return a;
    const int32_t x0 = a.x < b.x ? a.x : b.x, y0 = a.y < b.y ? a.y : b.y;
    const int64_t ar = int64_t(a.x) + a.w, br = int64_t(b.x) + b.w;
    const int64_t ab = int64_t(a.y) + a.h, bb = int64_t(b.y) + b.h;
    return {x0, y0, int32_t((ar > br ? ar : br) - x0), int32_t((ab > bb ? ab : bb) - y0)};
}

}  // namespace vellum
