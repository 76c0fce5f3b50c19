#include "raster/draw.h"

#include <algorithm>
#include <cstddef>
#include <optional>

namespace qv {

namespace {

// The one integer walk behind both draw_line and line_y_at_x, so the probe
// always finds exactly the points the line lights. Both take the closed form
// below when they can; this step-by-step walk handles the lines it cannot. The differences, the step
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

// The same walk, told in closed form. While the error term cannot leave 16
// bits (neither length is -32768 and their sum is at most 32768) it is exact
// integer division: after i major steps the minor axis has moved
// (half + i * minor) / major times, half being major / 2. With both lengths
// below 32769 every such product fits in 32 bits. That lets a line skip
// the stretches it walks off screen instead of visiting them point by point.
struct Walk {
    bool x_major = true;
    int32_t major = 0;  // steps along the major axis
    int32_t minor = 0;  // steps along the minor axis over the whole line
    int32_t half = 0;   // the error term's start
    int32_t major_start = 0, major_step = 0;
    int32_t minor_start = 0, minor_step = 0;

    // Minor steps taken after `i` major steps.
    int32_t minor_steps(int32_t i) const { return i == 0 || major == 0 ? 0 : (half + i * minor) / major; }

    // The first major step at which the minor axis has moved `q` times (0 < q <= minor).
    int32_t first_step_with(int32_t q) const {
        const int32_t need = q * major - half;  // half + i * minor >= q * major
        return need <= 0 ? 0 : (need + minor - 1) / minor;
    }
};

inline std::optional<Walk> closed_form(int16_t x1, int16_t y1, int16_t x2, int16_t y2) {
    const int16_t dx = static_cast<int16_t>(x2 - x1);
    const int16_t dy = static_cast<int16_t>(y2 - y1);
    const int32_t ax = static_cast<int16_t>(dx < 0 ? -dx : dx);
    const int32_t ay = static_cast<int16_t>(dy < 0 ? -dy : dy);
    if (ax < 0 || ay < 0 || ax + ay > 32768) return std::nullopt;
    const int32_t sx = (dx > 0) - (dx < 0);
    const int32_t sy = (dy > 0) - (dy < 0);
    Walk w;
    w.x_major = ax >= ay;
    if (w.x_major) {
        w.major = ax, w.minor = ay, w.major_start = x1, w.major_step = sx, w.minor_start = y1, w.minor_step = sy;
    } else {
        w.major = ay, w.minor = ax, w.major_start = y1, w.major_step = sy, w.minor_start = x1, w.minor_step = sx;
    }
    w.half = w.major / 2;
    return w;
}

// The steps k in [0, count] at which a coordinate starting at `start` and
// moving by `step` (-1, 0 or 1) each time reads below `size` as a 16-bit
// unsigned value, the way put_pixel reads it. Counts stay below 32769, so the
// coordinate passes the window's arc of the 16-bit circle at most once.
struct Span {
    int32_t first = 0;
    int32_t last = -1;  // empty when last < first
};

inline Span on_screen(int32_t start, int32_t step, int32_t count, int32_t size) {
    const int32_t p = start & 0xFFFF;
    Span span;
    if (step == 0) {
        if (p < size) span = {0, count};
    } else if (step > 0) {
        span = p < size ? Span{0, size - 1 - p} : Span{65536 - p, 65536 - p + size - 1};
    } else {
        span = p < size ? Span{0, p} : Span{p - size + 1, p};
    }
    span.first = std::max(span.first, 0);
    span.last = std::min(span.last, count);
    return span;
}

void draw_walk(FrameBuffer& frame, const Walk& w, uint8_t colour) {
    const int32_t major_size = w.x_major ? screen_width : screen_height;
    const int32_t minor_size = w.x_major ? screen_height : screen_width;
    Span along = on_screen(w.major_start, w.major_step, w.major, major_size);
    const Span across = on_screen(w.minor_start, w.minor_step, w.minor, minor_size);
    if (across.last < across.first) return;
    if (w.minor > 0) {
        // The minor axis is on screen from its first to its last visible move.
        if (across.first > 0) along.first = std::max(along.first, w.first_step_with(across.first));
        if (across.last < w.minor) along.last = std::min(along.last, w.first_step_with(across.last + 1) - 1);
    }
    if (along.last < along.first) return;

    // Every point from here to along.last is on screen, so the walk runs on
    // the 16-bit coordinates of the first one and writes without checks.
    const int32_t i = along.first;
    int32_t e = i == 0 || w.major == 0 ? w.half : (w.half + i * w.minor) % w.major;
    const int32_t u = (w.major_start + w.major_step * i) & 0xFFFF;
    const int32_t v = (w.minor_start + w.minor_step * w.minor_steps(i)) & 0xFFFF;
    const int32_t x = w.x_major ? u : v;
    const int32_t y = w.x_major ? v : u;
    const ptrdiff_t major_stride = w.x_major ? w.major_step : w.major_step * ptrdiff_t{screen_width};
    const ptrdiff_t minor_stride = w.x_major ? w.minor_step * ptrdiff_t{screen_width} : w.minor_step;
    const ptrdiff_t diagonal_stride = major_stride + minor_stride;
    uint8_t* pixel = frame.data() + static_cast<ptrdiff_t>(y) * screen_width + x;
    *pixel = colour;
    for (int32_t n = along.last - i; n > 0; --n) {
        e += w.minor;
        if (e >= w.major) {
            e -= w.major;
            pixel += diagonal_stride;
        } else {
            pixel += major_stride;
        }
        *pixel = colour;
    }
}

}  // namespace

void put_pixel(FrameBuffer& frame, uint16_t x, uint16_t y, uint8_t colour) {
    if (x < screen_width && y < screen_height) {
        frame[static_cast<size_t>(y) * screen_width + x] = colour;
    }
}

void draw_line_clipped(FrameBuffer& frame, int16_t x1, int16_t y1, int16_t x2, int16_t y2, uint8_t colour) {
    // Both ends beyond the same edge: every point of the walk lies between
    // them (the ends cannot be 32768 or more apart), so none is on screen.
    if ((x1 < 0 && x2 < 0) || (y1 < 0 && y2 < 0) || (x1 >= screen_width && x2 >= screen_width) ||
        (y1 >= screen_height && y2 >= screen_height)) {
        return;
    }
    if (const std::optional<Walk> walk = closed_form(x1, y1, x2, y2)) {
        draw_walk(frame, *walk, colour);
        return;
    }
    walk_line(x1, y1, x2, y2, [&](int32_t x, int32_t y) {
        put_pixel(frame, static_cast<uint16_t>(x), static_cast<uint16_t>(y), colour);
        return false;
    });
}

int16_t line_y_at_x(int16_t x1, int16_t y1, int16_t x2, int16_t y2, int16_t target_x) {
    // A target outside the line's columns never matches; the walk then ends at
    // (x2, y2) and that row is the answer.
    if (const std::optional<Walk> walk = closed_form(x1, y1, x2, y2)) {
        const Walk& w = *walk;
        const int32_t relative = int32_t{x1} - target_x;  // 0 on the target, modulo 2^16
        if (w.x_major) {
            const Span hit = on_screen(relative, w.major_step, w.major, 1);
            if (hit.last < hit.first) return y2;
            return static_cast<int16_t>(w.minor_start + w.minor_step * w.minor_steps(hit.first));
        }
        const Span hit = on_screen(relative, w.minor_step, w.minor, 1);
        if (hit.last < hit.first) return y2;
        const int32_t i = hit.first == 0 ? 0 : w.first_step_with(hit.first);
        return static_cast<int16_t>(w.major_start + w.major_step * i);
    }
    int32_t found = y2;
    walk_line(x1, y1, x2, y2, [&](int32_t x, int32_t y) {
        if (static_cast<int16_t>(x) != target_x) return false;
        found = y;
        return true;
    });
    return static_cast<int16_t>(found);
}

}  // namespace qv
