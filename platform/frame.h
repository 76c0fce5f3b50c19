// The indexed frame buffer, the two palettes and the 16-bit picture that a
// back end shows. Everything is drawn as 8-bit palette indices and turned into
// RGB555 only when a frame is presented.
#pragma once

#include <array>
#include <cstdint>

namespace qv {

inline constexpr int32_t screen_width = 320;
inline constexpr int32_t screen_height = 200;
inline constexpr int32_t screen_pixels = screen_width * screen_height;

// 320 x 200 palette indices, row-major, row 0 at the top.
using FrameBuffer = std::array<uint8_t, screen_pixels>;

// 15-bit colours: blue in bits 0-4, green 5-9, red 10-14; bit 15 is ignored.
using Palette = std::array<uint16_t, 256>;

// The converted picture, 320 x 200 RGB555 pixels.
struct DisplaySurface {
    std::array<uint16_t, screen_pixels> pixels{};
};

struct Video {
    FrameBuffer frame{};
    Palette default_palette{};
    Palette active_palette{};
    DisplaySurface surface{};
};

// Fills the eleven named colours of the default palette; touches nothing else.
void set_default_palette(Video& video);

// Surface pixel i becomes active_palette[frame[i]], for all 64000 pixels.
void convert_frame(Video& video, const FrameBuffer& frame);

// A 5-bit colour channel widened to 8 bits, (c << 3) | (c >> 2), as every
// picture of the game is shown on 8-bit-per-channel screens and files.
constexpr uint8_t widen_channel(uint32_t channel) {
    const uint32_t c = channel & 31;
    return static_cast<uint8_t>((c << 3) | (c >> 2));
}

}  // namespace qv
