#include "platform/headless/picture_files.h"

#include <png.h>

#include <vector>

#include "platform/excerpt.h"

namespace qv {

bool write_rgb_png(const std::string& path, int32_t width, int32_t height, const std::vector<uint8_t>& rgb,
                   std::string& error) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(width);
    image.height = static_cast<png_uint_32>(height);
    image.format = PNG_FORMAT_RGB;
    if (png_image_write_to_file(&image, path.c_str(), 0, rgb.data(), width * 3, nullptr) == 0) {
        error = "cannot write " + file_name_excerpt(path) + ": " + image.message;
        png_image_free(&image);
        return false;
    }
    return true;
}

bool write_picture_png(const std::string& path, const std::array<uint16_t, screen_pixels>& pixels, std::string& error) {
    std::vector<uint8_t> rgb;
    rgb.reserve(pixels.size() * 3);
    for (uint16_t p : pixels) {
        rgb.push_back(widen_channel(p >> 10));
        rgb.push_back(widen_channel(p >> 5));
        rgb.push_back(widen_channel(p));
    }
    return write_rgb_png(path, screen_width, screen_height, rgb, error);
}

}  // namespace qv
