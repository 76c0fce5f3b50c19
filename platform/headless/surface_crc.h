// The two CRC-32 routines behind surface_crc (declared in picture_files.h).
// Both give zlib's CRC of the same 128000 bytes; tests and benchmarks hold them
// against each other.
#pragma once

#include <array>
#include <cstdint>

#include "platform/frame.h"

namespace qv {

// zlib's crc32 over the surface bytes.
uint32_t surface_crc_zlib(const std::array<uint16_t, screen_pixels>& pixels);

// True when the build has ISA-L's CRC (found when the project was configured).
bool surface_crc_has_isal();

// ISA-L's crc32_gzip_refl over the surface bytes; zlib's crc32 without ISA-L.
uint32_t surface_crc_isal(const std::array<uint16_t, screen_pixels>& pixels);

}  // namespace qv
