// Sizes and copies that the native window needs, kept free of system headers.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace qv::win32 {

struct Size {
    int32_t width = 0;
    int32_t height = 0;
};

// The frame and caption of an overlapped window take 16 by 36 pixels on the
// systems the game was drawn for. Newer systems draw a thicker frame, so the
// size the system asks for (`framed`, from its own frame metrics) wins when it
// is larger: the whole picture must stay visible.
inline Size outer_window_size(Size client, Size framed) {
    return {std::max(client.width + 16, framed.width), std::max(client.height + 36, framed.height)};
}

// Copies a width x height picture into the top-left corner of a surface of
// surface.width x surface.height pixels (both row-major, top row first, no gaps
// between rows). Whatever lies outside the surface is left out; the part of the
// surface the picture does not cover keeps its pixels. Returns the area copied,
// which is the area to show.
inline Size copy_picture(uint16_t* surface_pixels, Size surface, const uint16_t* pixels, Size picture) {
    const Size area{std::clamp(picture.width, 0, surface.width), std::clamp(picture.height, 0, surface.height)};
    if (area.width == 0 || area.height == 0) {
        return {};
    }
    if (area.width == surface.width && area.width == picture.width) {
        std::memcpy(surface_pixels, pixels, sizeof(uint16_t) * static_cast<size_t>(area.width * area.height));
        return area;
    }
    for (int32_t row = 0; row < area.height; ++row) {
        std::memcpy(surface_pixels + static_cast<size_t>(row * surface.width),
                    pixels + static_cast<size_t>(row * picture.width), sizeof(uint16_t) * static_cast<size_t>(area.width));
    }
    return area;
}

}  // namespace qv::win32
