// The journal's checksum: zlib's (or the eight-tables one) against a byte at a time, on
// every length around the eight-byte steps, every alignment, and continued in pieces.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "engine/Crc32.h"

namespace vellum {
namespace {

TEST(Crc32, FastOnesAgreeWithTheBytewiseReference) {
    std::mt19937 rng(7);
    std::vector<uint8_t> data(4096 + 16);
    for (uint8_t& b : data) b = uint8_t(rng());
    EXPECT_EQ(Crc32Bytewise(reinterpret_cast<const uint8_t*>("123456789"), 9), 0xCBF43926u);
    for (size_t offset = 0; offset < 8; ++offset)
        for (size_t n : {size_t(0), size_t(1), size_t(7), size_t(8), size_t(9), size_t(15), size_t(16), size_t(17),
                         size_t(63), size_t(64), size_t(1000), size_t(4096)}) {
            const uint8_t* p = data.data() + offset;
            const uint32_t want = Crc32Bytewise(p, n);
            EXPECT_EQ(Crc32(p, n), want) << offset << " " << n;
            EXPECT_EQ(Crc32Sliced(p, n), want) << offset << " " << n;
            // Continued from a first part.
            const size_t half = n / 3;
            EXPECT_EQ(Crc32(p + half, n - half, Crc32(p, half)), want);
            EXPECT_EQ(Crc32Sliced(p + half, n - half, Crc32Sliced(p, half)), want);
        }
}

}  // namespace
}  // namespace vellum
