#pragma once
// A 24-bit picture buffer: blue, green, red; rows stored bottom-up, each exactly
// 3 x width bytes with no padding. Coordinates count y from the top.
#include <cstdint>

namespace vellum {

struct PixelSurface {
    int32_t width = 0;
    int32_t height = 0;
    uint8_t* bytes = nullptr;
    int32_t byteSize = 0;

    bool Exists() const { return bytes != nullptr; }
    // Byte offset of pixel (x, y), y counted from the top.
    int64_t Offset(int x, int y) const {
        return 3 * (int64_t(x) + int64_t(width) * (height - 1 - y));
    }
    uint8_t* At(int x, int y) { return bytes + Offset(x, y); }
    const uint8_t* At(int x, int y) const { return bytes + Offset(x, y); }
};

// A surface that owns its bytes. Allocation never throws: it fails by leaving the
// surface absent. Bytes start zeroed.
class OwnedSurface {
public:
    OwnedSurface() = default;
    OwnedSurface(const OwnedSurface&) = delete;
    OwnedSurface& operator=(const OwnedSurface&) = delete;
    OwnedSurface(OwnedSurface&& other) noexcept;
    OwnedSurface& operator=(OwnedSurface&& other) noexcept;
    ~OwnedSurface() { Release(); }

    // Allocates width x height (both >= 1); false (and absent) when that fails.
    bool Allocate(int width, int height);
    void Release();

    bool Exists() const { return surface.bytes != nullptr; }
    PixelSurface& operator*() { return surface; }
    const PixelSurface& operator*() const { return surface; }
    PixelSurface* operator->() { return &surface; }
    const PixelSurface* operator->() const { return &surface; }
    PixelSurface& Get() { return surface; }
    const PixelSurface& Get() const { return surface; }

private:
    PixelSurface surface;
};

}  // namespace vellum
