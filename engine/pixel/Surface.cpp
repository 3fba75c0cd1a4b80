#include "engine/pixel/Surface.h"

#include <cstring>
#include <new>

namespace vellum {

OwnedSurface::OwnedSurface(OwnedSurface&& other) noexcept : surface(other.surface) {
    other.surface = PixelSurface{};
}

OwnedSurface& OwnedSurface::operator=(OwnedSurface&& other) noexcept {
    if (this != &other) {
        Release();
        surface = other.surface;
        other.surface = PixelSurface{};
    }
    return *this;
}

bool OwnedSurface::Allocate(int width, int height) {
    Release();
    if (width <= 0 || height <= 0) return false;
    const int64_t size = int64_t(width) * height * 3;
    if (size > INT32_MAX) return false;
    uint8_t* bytes = new (std::nothrow) uint8_t[size_t(size)];
    if (!bytes) return false;
    std::memset(bytes, 0, size_t(size));
    surface.width = width;
    surface.height = height;
    surface.bytes = bytes;
    surface.byteSize = int32_t(size);
    return true;
}

void OwnedSurface::Release() {
    delete[] surface.bytes;
    surface = PixelSurface{};
}

}  // namespace vellum
