// The indexed frame buffer, the two palettes and the 16-bit picture that a
// back end shows. Everything is drawn as 8-bit palette indices and turned into
// RGB555 only when a frame is presented.
#pragma once

#include <array>
#include <cstdint>
#include <functional>

namespace qv {

struct Game;

inline constexpr int32_t screen_width = 320;
inline constexpr int32_t screen_height = 200;
inline constexpr int32_t screen_pixels = screen_width * screen_height;

// 320 x 200 palette indices, row-major, row 0 at the top.
using FrameBuffer = std::array<uint8_t, screen_pixels>;

// 15-bit colours: blue in bits 0-4, green 5-9, red 10-14; bit 15 is ignored.
using Palette = std::array<uint16_t, 256>;

// The converted picture. The recorded size stays 0 until the window has been
// created and shown, so the very first paint copies and clears nothing.
struct DisplaySurface {
    std::array<uint16_t, screen_pixels> pixels{};
    int32_t width = 0;
    int32_t height = 0;
    int32_t depth = 0;
};

struct Video {
    FrameBuffer frame{};
    Palette default_palette{};
    Palette active_palette{};
    DisplaySurface surface{};
};

// Fills the eleven named colours of the default palette; touches nothing else.
void set_default_palette(Video& video);

// Default palette, the window (through create_display_window), a cleared frame
// buffer and the active palette copied from the default one.
void init_video(Game& game, uint8_t mode);

// Surface pixel i becomes active_palette[frame[i]], for all 64000 pixels.
void convert_frame(Video& video, const FrameBuffer& frame);

// Marks the whole window for repainting; the copy happens when the pump
// delivers the paint.
void request_repaint(Game& game);

// convert_frame, request_repaint, then clear the frame buffer to index 0.
void present_frame(Game& game);

// What the window does on a paint: show the surface one-to-one at the client
// origin, then blank the surface.
void paint_handler(Game& game);

}  // namespace qv
