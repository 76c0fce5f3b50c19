#include "hud/cockpit.h"

#include <cstddef>
#include <cstdint>

#include "raster/draw.h"

namespace qv {

namespace {

struct ScreenPoint {
    int32_t x;
    int32_t y;
};

// Every cockpit coordinate fits in 16 bits; the line primitives take them so.
int16_t narrow(int32_t value) { return static_cast<int16_t>(value); }

void line(FrameBuffer& frame, ScreenPoint from, ScreenPoint to, uint8_t colour) {
    draw_line(frame, narrow(from.x), narrow(from.y), narrow(to.x), narrow(to.y), colour);
}

// The probe must walk an edge from the same end the edge was drawn from, or it
// may report a row the drawn edge never lit.
int32_t edge_y_at(ScreenPoint from, ScreenPoint to, int32_t x) {
    return line_y_at_x(narrow(from.x), narrow(from.y), narrow(to.x), narrow(to.y), narrow(x));
}

uint8_t cockpit_colour(int32_t level) {
    // Levels start at 1, but a stray value must still land inside the table.
    int32_t index = (level - 1) % static_cast<int32_t>(level_colours.size());
    if (index < 0) index += static_cast<int32_t>(level_colours.size());
    return level_colours[static_cast<size_t>(index)];
}

// The pattern repeats every 25 frames; reducing camera_z first keeps the
// doubling clear of overflow on very long runs.
int32_t motion_offset(int32_t camera_z) {
    int32_t m = (camera_z % 25) * 2;
    if (m < 0) m += 50;
    return m;
}

}  // namespace

void draw_cockpit(FrameBuffer& frame, const CockpitView& view) {
    const int32_t sx = view.steer_x;
    const int32_t sy = view.steer_y;
    const uint8_t colour = cockpit_colour(view.level);

    // The far ends swing with steering: horizontal offsets move them up and down,
    // vertical offsets move them sideways, so the frame tilts as the ship turns.
    const ScreenPoint f1{-16 * sy - 480, -8 * sx - 300};
    const ScreenPoint f2{16 * sy + 796, 8 * sx - 300};
    const ScreenPoint f3{16 * sy - 480, 496 - 8 * sx};
    const ScreenPoint f4{796 - 16 * sy, 496 - 8 * sx};

    const ScreenPoint i1{145, 85};
    const ScreenPoint i2{175, 85};
    const ScreenPoint i3{145, 115};
    const ScreenPoint i4{175, 115};

    line(frame, f1, i1, colour);
    line(frame, f2, i2, colour);
    line(frame, f3, i3, colour);
    line(frame, i4, f4, colour);  // the one edge walked outwards
    line(frame, i1, i3, colour);
    line(frame, i2, i4, colour);
    line(frame, i3, i4, colour);  // the top side stays open
    line(frame, {f3.x + 10, f3.y}, {155, 115}, colour);
    line(frame, {165, 115}, {f4.x - 10, f4.y}, colour);

    const int32_t m = motion_offset(view.camera_z);
    for (int32_t k = 0; k < 3; ++k) {
        const int32_t x = 175 + m + 50 * k;
        const int32_t top = edge_y_at(f2, i2, x);
        const int32_t bottom = edge_y_at(i4, f4, x);
        line(frame, {x, top}, {x, bottom}, colour);
    }
    for (int32_t k = 0; k < 3; ++k) {
        const int32_t x = 145 - m - 50 * k;
        const int32_t top = edge_y_at(f1, i1, x);
        const int32_t bottom = edge_y_at(f3, i3, x);
        line(frame, {x, top}, {x, bottom}, colour);
    }
}

}  // namespace qv
