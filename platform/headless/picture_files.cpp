#include "platform/headless/picture_files.h"

#include <png.h>

#include <vector>

namespace qv {

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
        error = "cannot write " + path + ": " + image.message;
        png_image_free(&image);
        return false;
    }
    return true;
}

}  // namespace qv
