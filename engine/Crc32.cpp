#include "engine/Crc32.h"

// Where the build has zlib (the desktop program and the headless driver) its crc32 does
// the work; elsewhere (the browser) eight tables take eight bytes a step.
#if defined(VELLUM_ZLIB)
#include <zlib.h>
#endif

namespace vellum {

namespace {

struct Tables {
    uint32_t t[8][256];
};

const Tables& CrcTables() {
    static const Tables tables = [] {
        Tables s{};
        for (uint32_t i = 0; i < 256; ++i) {
            uint32_t c = i;
            for (int k = 0; k < 8; ++k) c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            s.t[0][i] = c;
        }
        for (uint32_t i = 0; i < 256; ++i)
            for (int k = 1; k < 8; ++k) s.t[k][i] = (s.t[k - 1][i] >> 8) ^ s.t[0][s.t[k - 1][i] & 0xFF];
        return s;
    }();
    return tables;
}

}  // namespace

uint32_t Crc32Bytewise(const uint8_t* data, size_t size, uint32_t crc) {
    const Tables& s = CrcTables();
    crc = ~crc;
    for (size_t i = 0; i < size; ++i) crc = s.t[0][(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

uint32_t Crc32Sliced(const uint8_t* data, size_t size, uint32_t crc) {
    const Tables& s = CrcTables();
    crc = ~crc;
    while (size >= 8) {
        const uint32_t lo = (uint32_t(data[0]) | uint32_t(data[1]) << 8 | uint32_t(data[2]) << 16 |
                             uint32_t(data[3]) << 24) ^ crc;
        crc = s.t[7][lo & 0xFF] ^ s.t[6][(lo >> 8) & 0xFF] ^ s.t[5][(lo >> 16) & 0xFF] ^ s.t[4][lo >> 24] ^
              s.t[3][data[4]] ^ s.t[2][data[5]] ^ s.t[1][data[6]] ^ s.t[0][data[7]];
        data += 8;
        size -= 8;
    }
    while (size-- > 0) crc = s.t[0][(crc ^ *data++) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

uint32_t Crc32(const uint8_t* data, size_t size, uint32_t crc) {
#if defined(VELLUM_ZLIB)
    // zlib takes its length as an unsigned int: the bytes go in pieces.
    while (size > 0) {
        const uInt n = size > 0x40000000u ? 0x40000000u : uInt(size);
        crc = uint32_t(crc32(uLong(crc), data, n));
        data += n;
        size -= n;
    }
    return crc;
#else
    return Crc32Sliced(data, size, crc);
#endif
}

}  // namespace vellum
