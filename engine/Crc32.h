#pragma once
// CRC-32 (the zlib one: polynomial 0xEDB88320, reflected, inverted), which the recovery
// journal puts on its header, its records and its base picture.
#include <cstddef>
#include <cstdint>

namespace vellum {

// The checksum of size bytes, continuing from crc (0 to start).
uint32_t Crc32(const uint8_t* data, size_t size, uint32_t crc = 0);

// The same computed a byte at a time: the reference the fast one is tested against.
uint32_t Crc32Bytewise(const uint8_t* data, size_t size, uint32_t crc = 0);

}  // namespace vellum
