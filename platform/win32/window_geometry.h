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

}  // namespace qv::win32
