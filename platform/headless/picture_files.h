// The picture as the replay tool records it: a CRC of the surface bytes and PNG shots.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "platform/frame.h"

namespace qv {

// CRC-32 (zlib's) of the 128000 surface bytes, each pixel low byte first.
uint32_t surface_crc(const std::array<uint16_t, screen_pixels>& pixels);

// A 5-bit channel widened to 8 bits: (c << 3) | (c >> 2).
uint8_t widen_channel(uint32_t channel);

// Writes a 320 x 200 RGB PNG of the RGB555 pixels (bit 15 ignored). Returns
// false with a reason in `error` when the file cannot be written.
bool write_picture_png(const std::string& path, const std::array<uint16_t, screen_pixels>& pixels, std::string& error);

}  // namespace qv
