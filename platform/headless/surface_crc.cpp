#include "platform/headless/surface_crc.h"

#include <zlib.h>

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>

#include "platform/headless/picture_files.h"

#ifdef QV_HAVE_ISAL
#include <isa-l/crc.h>
#endif

namespace qv {

namespace {

constexpr std::size_t surface_bytes = sizeof(std::array<uint16_t, screen_pixels>);
static_assert(surface_bytes == 128000);

// The CRC covers each pixel low byte first. A little-endian machine holds the
// surface that way, so its bytes go to the CRC straight from memory; on a
// big-endian one they are put in that order a slice at a time first. `update`
// continues a CRC over more bytes, as zlib's and ISA-L's routines do.
template <typename Update>
uint32_t crc_low_bytes_first(const std::array<uint16_t, screen_pixels>& pixels, Update update) {
    static_assert(std::endian::native == std::endian::little || std::endian::native == std::endian::big);
    if constexpr (std::endian::native == std::endian::little) {
        return update(0, reinterpret_cast<const unsigned char*>(pixels.data()), surface_bytes);
    } else {
        constexpr std::size_t slice = 4000;  // pixels
        static_assert(screen_pixels % slice == 0);
        std::array<unsigned char, 2 * slice> bytes;
        uint32_t crc = 0;
        for (std::size_t first = 0; first < screen_pixels; first += slice) {
            for (std::size_t i = 0; i < slice; ++i) {
                bytes[2 * i] = static_cast<unsigned char>(pixels[first + i] & 0xFF);
                bytes[2 * i + 1] = static_cast<unsigned char>(pixels[first + i] >> 8);
            }
            crc = update(crc, bytes.data(), bytes.size());
        }
        return crc;
    }
}

}  // namespace

uint32_t surface_crc_zlib(const std::array<uint16_t, screen_pixels>& pixels) {
    return crc_low_bytes_first(pixels, [](uint32_t crc, const unsigned char* bytes, std::size_t size) {
        return static_cast<uint32_t>(crc32(crc, bytes, static_cast<uInt>(size)));
    });
}

#ifdef QV_HAVE_ISAL

bool surface_crc_has_isal() { return true; }

uint32_t surface_crc_isal(const std::array<uint16_t, screen_pixels>& pixels) {
    return crc_low_bytes_first(pixels, [](uint32_t crc, const unsigned char* bytes, std::size_t size) {
        return crc32_gzip_refl(crc, bytes, size);
    });
}

#else

bool surface_crc_has_isal() { return false; }

uint32_t surface_crc_isal(const std::array<uint16_t, screen_pixels>& pixels) { return surface_crc_zlib(pixels); }

#endif

uint32_t surface_crc(const std::array<uint16_t, screen_pixels>& pixels) { return surface_crc_isal(pixels); }

}  // namespace qv
