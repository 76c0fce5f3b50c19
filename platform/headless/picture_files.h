// The picture as the replay tool and the data tools record it: a CRC of the
// surface bytes and PNG files.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/frame.h"

namespace qv {

// CRC-32 (zlib's) of the 128000 surface bytes, each pixel low byte first.
uint32_t surface_crc(const std::array<uint16_t, screen_pixels>& pixels);

// Writes a width x height PNG of packed 8-bit RGB triples. Returns false with a
// reason in `error` when the file cannot be written.
bool write_rgb_png(const std::string& path, int32_t width, int32_t height, const std::vector<uint8_t>& rgb,
                   std::string& error);

// A 320 x 200 RGB PNG of the RGB555 pixels (bit 15 ignored), each channel widened.
bool write_picture_png(const std::string& path, const std::array<uint16_t, screen_pixels>& pixels, std::string& error);

}  // namespace qv
