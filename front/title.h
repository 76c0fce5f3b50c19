// The title screen: the picture zooms in, music plays, the right button shows
// the credits and the left button starts the game.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/frame.h"
#include "platform/window.h"

namespace qv {

inline constexpr int32_t title_file_size = 65078;
inline constexpr int32_t title_colour_table_offset = 54;
inline constexpr int32_t title_pixels_offset = 1078;

inline constexpr const char* credits_text =
    "Lead Developer (Game Logic, Graphics, etc.): Arno Velt\nSound Programmer: Pim Oskar\n\n"
    "And a very special thanks to: Ida Marrow";

// The first 65078 bytes of a title picture; throws DataError when it is
// missing, unreadable or shorter.
std::vector<uint8_t> load_title_picture(const std::string& file_name);

// The colour table at offset 54 turned into 15-bit colours.
void title_palette(const std::vector<uint8_t>& picture, Palette& palette);

// Nearest-neighbour scaling with 4 fraction bits.
void scale_image(const uint8_t* src, uint8_t* dst, int32_t src_width, int32_t src_height, int32_t dst_width,
                 int32_t dst_height);

// Copies a packed image into the frame buffer at (x, y); rows at y 200 or more are skipped.
void blit_image(FrameBuffer& frame, const uint8_t* image, int32_t x, int32_t y, int32_t width, int32_t height);

// Runs the title screen with a picture already read by load_title_picture (the
// program reads it before the window opens, so a bad file never flashes a window).
// Returns on a left click with the game's palette back in place.
void show_title(Video& video, Window& window, InputState& input, const std::vector<uint8_t>& title_picture);

}  // namespace qv
