// Sizes the native window needs, kept free of system headers.
#pragma once

#include <algorithm>
#include <cstdint>

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

// The picture's scale when the player chose none: three times at 100 %
// (96 pixels per inch), and as large to the eye on a screen of another scale
// (three times at 125 %, four at 150 %, six at 200 %). The window is made smaller
// still when the screen cannot hold it.
inline int32_t default_scale(uint32_t dpi) { return std::max<int32_t>(1, static_cast<int32_t>(dpi * 3 / 96)); }

}  // namespace qv::win32
