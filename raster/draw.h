// The three raster primitives on the frame buffer. Lines are walked over their
// whole length and clipped pixel by pixel, so every picture depends only on the
// endpoints and their order.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/frame.h"

namespace qv {

// Writes the pixel when x < 320 and y < 200; a negative coordinate arrives as
// 32768 or more and is dropped like any other off-screen point.
void put_pixel(FrameBuffer& frame, uint16_t x, uint16_t y, uint8_t colour);

// draw_line for a line with an end off screen: it skips the stretches the
// walk spends outside the picture and clips the rest. Kept out of line, so the
// short lines wholly on screen that make up most of a frame pay nothing for it.
void draw_line_clipped(FrameBuffer& frame, int16_t x1, int16_t y1, int16_t x2, int16_t y2, uint8_t colour);

// Both ends inside the 320 x 200 picture.
inline bool both_ends_on_screen(int16_t x1, int16_t y1, int16_t x2, int16_t y2) {
    return static_cast<uint16_t>(x1) < screen_width && static_cast<uint16_t>(x2) < screen_width &&
           static_cast<uint16_t>(y1) < screen_height && static_cast<uint16_t>(y2) < screen_height;
}

// draw_line for a line known to have its ends at most one step apart in x and
// in y, so that they are all its points: the same pixels, without the test.
inline void draw_short_line(FrameBuffer& frame, int16_t x1, int16_t y1, int16_t x2, int16_t y2, uint8_t colour) {
    if (!both_ends_on_screen(x1, y1, x2, y2)) {
        draw_line_clipped(frame, x1, y1, x2, y2, colour);
        return;
    }
    frame[static_cast<size_t>(y1) * screen_width + static_cast<size_t>(x1)] = colour;
    frame[static_cast<size_t>(y2) * screen_width + static_cast<size_t>(x2)] = colour;
}

// Plots every point from (x1, y1) to (x2, y2), both ends included, with the
// integer walk whose error term starts at half the major length.
//
// With both ends on screen the walk moves monotonically from one to the other,
// so every point between is on screen too, and lengths below 320 keep the
// error term far from wrapping. All points of a line share its colour, so the
// ends go first; most lines of a busy frame (distant fighters and bolts) are
// one or two pixels long and need nothing more. Longer ones run the same walk
// on a pointer into the frame, with no clipping at all.
inline void draw_line(FrameBuffer& frame, int16_t x1, int16_t y1, int16_t x2, int16_t y2, uint8_t colour) {
    if (!both_ends_on_screen(x1, y1, x2, y2)) {
        draw_line_clipped(frame, x1, y1, x2, y2, colour);
        return;
    }
    uint8_t* pixel = frame.data() + static_cast<ptrdiff_t>(y1) * screen_width + x1;
    *pixel = colour;
    frame[static_cast<size_t>(y2) * screen_width + static_cast<size_t>(x2)] = colour;
    const int32_t dx = x2 - x1;
    const int32_t dy = y2 - y1;
    if ((static_cast<uint32_t>(dx + 1) | static_cast<uint32_t>(dy + 1)) <= 2) return;  // both within one step
    // Signs and the major axis by masks: their branches would be coin tosses.
    const int32_t negative_x = dx >> 31;  // all ones when dx < 0
    const int32_t negative_y = dy >> 31;
    const int32_t ax = (dx ^ negative_x) - negative_x;
    const int32_t ay = (dy ^ negative_y) - negative_y;
    const ptrdiff_t step_x = ptrdiff_t{negative_x} | 1;
    const ptrdiff_t step_y = (ptrdiff_t{screen_width} ^ negative_y) - negative_y;
    const int32_t y_major = (ax - ay) >> 31;  // all ones when ay > ax
    const int32_t swap = (ax ^ ay) & y_major;
    const int32_t major = ax ^ swap;
    const int32_t minor = ay ^ swap;
    const ptrdiff_t step_swap = (step_x ^ step_y) & y_major;
    const ptrdiff_t major_step = step_x ^ step_swap;
    const ptrdiff_t minor_step = step_y ^ step_swap;
    int32_t e = major / 2;
    for (int32_t n = major - 1; n > 0; --n) {  // the points between the ends
        e += minor;
        const bool side = e >= major;
        e -= side ? major : 0;
        pixel += major_step + (side ? minor_step : 0);
        *pixel = colour;
    }
}

// The y of the first point of that same walk whose x equals target_x.
int16_t line_y_at_x(int16_t x1, int16_t y1, int16_t x2, int16_t y2, int16_t target_x);

}  // namespace qv
