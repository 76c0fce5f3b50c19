#include "platform/headless/surface_crc.h"

#include <zlib.h>

#include <bit>

#include "platform/headless/picture_files.h"

#ifdef QV_HAVE_ISAL
#include <isa-l/crc.h>
#endif

namespace qv {

// The CRC covers each pixel low byte first, which is how a little-endian
// machine holds the surface: the bytes are taken straight from memory.
static_assert(std::endian::native == std::endian::little, "the surface bytes are read in memory order");

namespace {

constexpr std::size_t surface_bytes = sizeof(std::array<uint16_t, screen_pixels>);
static_assert(surface_bytes == 128000);

const unsigned char* bytes_of(const std::array<uint16_t, screen_pixels>& pixels) {
    return reinterpret_cast<const unsigned char*>(pixels.data());
}

}  // namespace

uint32_t surface_crc_zlib(const std::array<uint16_t, screen_pixels>& pixels) {
    return static_cast<uint32_t>(crc32(crc32(0L, Z_NULL, 0), bytes_of(pixels), static_cast<uInt>(surface_bytes)));
}

#ifdef QV_HAVE_ISAL

bool surface_crc_has_isal() { return true; }

uint32_t surface_crc_isal(const std::array<uint16_t, screen_pixels>& pixels) {
    return crc32_gzip_refl(0, bytes_of(pixels), surface_bytes);
}

#else

bool surface_crc_has_isal() { return false; }

uint32_t surface_crc_isal(const std::array<uint16_t, screen_pixels>& pixels) { return surface_crc_zlib(pixels); }

#endif

uint32_t surface_crc(const std::array<uint16_t, screen_pixels>& pixels) { return surface_crc_isal(pixels); }

}  // namespace qv
