#pragma once
// CRC-32 (the zlib one: polynomial 0xEDB88320, reflected, inverted), which the recovery
// journal puts on its header, its records and its base picture.
#include <cstddef>
#include <cstdint>

namespace vellum {

// The checksum of size bytes, continuing from crc (0 to start).
uint32_t Crc32(const uint8_t* data, size_t size, uint32_t crc = 0);

// The same computed eight bytes a step (what the browser build runs), and a byte at a
// time: the reference both fast ones are tested against.
uint32_t Crc32Sliced(const uint8_t* data, size_t size, uint32_t crc = 0);
uint32_t Crc32Bytewise(const uint8_t* data, size_t size, uint32_t crc = 0);

}  // namespace vellum
