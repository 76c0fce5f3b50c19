#include "platform/headless/picture_files.h"

#include <png.h>
#include <zlib.h>

#include <vector>

#include "platform/excerpt.h"

namespace qv {

uint32_t surface_crc(const std::array<uint16_t, screen_pixels>& pixels) {
    // Byte order is fixed here rather than taken from memory, so the CRC is the
    // same on every machine.
    std::vector<Bytef> bytes;
    bytes.reserve(pixels.size() * 2);
    for (uint16_t p : pixels) {
        bytes.push_back(static_cast<Bytef>(p & 0xFF));
        bytes.push_back(static_cast<Bytef>(p >> 8));
    }
    const uLong crc = crc32(crc32(0L, Z_NULL, 0), bytes.data(), static_cast<uInt>(bytes.size()));
    return static_cast<uint32_t>(crc);
}

uint8_t widen_channel(uint32_t channel) {
    const uint32_t c = channel & 31;
    return static_cast<uint8_t>((c << 3) | (c >> 2));
}

bool write_picture_png(const std::string& path, const std::array<uint16_t, screen_pixels>& pixels, std::string& error) {
    std::vector<uint8_t> rgb;
    rgb.reserve(pixels.size() * 3);
    for (uint16_t p : pixels) {
        rgb.push_back(widen_channel(p >> 10));
        rgb.push_back(widen_channel(p >> 5));
        rgb.push_back(widen_channel(p));
    }
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(screen_width);
    image.height = static_cast<png_uint_32>(screen_height);
    image.format = PNG_FORMAT_RGB;
    if (png_image_write_to_file(&image, path.c_str(), 0, rgb.data(), screen_width * 3, nullptr) == 0) {
        error = "cannot write " + file_name_excerpt(path) + ": " + image.message;
        png_image_free(&image);
        return false;
    }
    return true;
}

}  // namespace qv
