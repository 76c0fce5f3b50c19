#include <gtest/gtest.h>
#include <zlib.h>

#include <array>
#include <cstdint>
#include <random>
#include <vector>

#include "platform/frame.h"
#include "platform/headless/picture_files.h"
#include "platform/headless/surface_crc.h"

namespace {

using Pixels = std::array<uint16_t, qv::screen_pixels>;

// zlib's CRC of the pixels written out low byte first, one byte at a time.
uint32_t zlib_crc_of(const Pixels& pixels) {
    std::vector<Bytef> bytes;
    for (uint16_t p : pixels) {
        bytes.push_back(static_cast<Bytef>(p & 0xFF));
        bytes.push_back(static_cast<Bytef>(p >> 8));
    }
    return static_cast<uint32_t>(crc32(crc32(0L, Z_NULL, 0), bytes.data(), static_cast<uInt>(bytes.size())));
}

TEST(SurfaceCrc, EqualsZlibOnRandomAndSparseSurfaces) {
    std::mt19937 random(99);
    for (int round = 0; round < 12; ++round) {
        Pixels pixels{};
        // Dense noise, then pictures like the game's: mostly one colour with a
        // few others, and one with a single differing pixel at either end.
        for (std::size_t i = 0; i < pixels.size(); ++i) {
            if (round < 4 || random() % 50 == 0) pixels[i] = static_cast<uint16_t>(random());
        }
        if (round >= 10) {
            pixels.fill(0);
            pixels[round == 10 ? 0 : 63999] = round == 10 ? 1 : 0x8000;
        }
        const uint32_t expected = zlib_crc_of(pixels);
        ASSERT_EQ(qv::surface_crc(pixels), expected) << "round " << round;
        ASSERT_EQ(qv::surface_crc_zlib(pixels), expected) << "round " << round;
        ASSERT_EQ(qv::surface_crc_isal(pixels), expected) << "round " << round;
    }
}

}  // namespace
