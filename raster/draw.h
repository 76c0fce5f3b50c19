// The three raster primitives on the frame buffer. Lines are walked over their
// whole length and clipped pixel by pixel, so every picture depends only on the
// endpoints and their order.
#pragma once

#include <cstdint>

#include "platform/frame.h"

namespace qv {

// Writes the pixel when x < 320 and y < 200; a negative coordinate arrives as
// 32768 or more and is dropped like any other off-screen point.
void put_pixel(FrameBuffer& frame, uint16_t x, uint16_t y, uint8_t colour);

// Plots every point from (x1, y1) to (x2, y2), both ends included, with the
// integer walk whose error term starts at half the major length.
void draw_line(FrameBuffer& frame, int16_t x1, int16_t y1, int16_t x2, int16_t y2, uint8_t colour);

// The y of the first point of that same walk whose x equals target_x.
int16_t line_y_at_x(int16_t x1, int16_t y1, int16_t x2, int16_t y2, int16_t target_x);

}  // namespace qv
