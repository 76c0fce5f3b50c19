#include "raster/draw.h"

#include <cstddef>

namespace qv {

namespace {

// The one integer walk behind both draw_line and line_y_at_x, so the probe
// always finds exactly the points the line lights. The differences, the step
// counter and the error term live in 16 bits as the line routines always have;
// the walking position is a full integer. `visit` returns true to stop early.
template <typename Visit>
void walk_line(int16_t x1, int16_t y1, int16_t x2, int16_t y2, Visit&& visit) {
    const int16_t dx = static_cast<int16_t>(x2 - x1);
    const int16_t dy = static_cast<int16_t>(y2 - y1);
    const int16_t ax = static_cast<int16_t>(dx < 0 ? -dx : dx);
    const int16_t ay = static_cast<int16_t>(dy < 0 ? -dy : dy);
    const int32_t sx = (dx > 0) - (dx < 0);
    const int32_t sy = (dy > 0) - (dy < 0);

    int32_t x = x1;
    int32_t y = y1;
    if (visit(x, y)) return;

    if (ax >= ay) {
        int16_t e = static_cast<int16_t>(ax / 2);
        for (int16_t i = 0; i < ax; i = static_cast<int16_t>(i + 1)) {
            e = static_cast<int16_t>(e + ay);
            if (e >= ax) {
                e = static_cast<int16_t>(e - ax);
                y += sy;
            }
            x += sx;
            if (visit(x, y)) return;
        }
    } else {
        int16_t e = static_cast<int16_t>(ay / 2);
        for (int16_t i = 0; i < ay; i = static_cast<int16_t>(i + 1)) {
            e = static_cast<int16_t>(e + ax);
            if (e >= ay) {
                e = static_cast<int16_t>(e - ay);
                x += sx;
            }
            y += sy;
            if (visit(x, y)) return;
        }
    }
}

}  // namespace

void put_pixel(FrameBuffer& frame, uint16_t x, uint16_t y, uint8_t colour) {
    if (x < screen_width && y < screen_height) {
        frame[static_cast<size_t>(y) * screen_width + x] = colour;
    }
}

void draw_line(FrameBuffer& frame, int16_t x1, int16_t y1, int16_t x2, int16_t y2, uint8_t colour) {
    walk_line(x1, y1, x2, y2, [&](int32_t x, int32_t y) {
        put_pixel(frame, static_cast<uint16_t>(x), static_cast<uint16_t>(y), colour);
        return false;
    });
}

int16_t line_y_at_x(int16_t x1, int16_t y1, int16_t x2, int16_t y2, int16_t target_x) {
    // A target outside the line's columns never matches; the walk then ends at
    // (x2, y2) and that row is the answer.
    int32_t found = y2;
    walk_line(x1, y1, x2, y2, [&](int32_t x, int32_t y) {
        if (static_cast<int16_t>(x) != target_x) return false;
        found = y;
        return true;
    });
    return static_cast<int16_t>(found);
}

}  // namespace qv
