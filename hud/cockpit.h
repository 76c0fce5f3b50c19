// The cockpit frame and its motion lines, drawn first in every frame.
#pragma once

#include <array>
#include <cstdint>

#include "platform/frame.h"

namespace qv {

// What the cockpit depends on: its colour comes from the level, its tilt from
// the steering, its motion lines from the distance flown.
struct CockpitView {
    int32_t level = 1;
    int32_t steer_x = 0;
    int32_t steer_y = 0;
    int32_t camera_z = 0;
};

// Cockpit colour by level: index (level - 1) mod 11.
inline constexpr std::array<uint8_t, 11> level_colours = {31, 48, 3, 38, 104, 86, 64, 2, 47, 44, 40};

void draw_cockpit(FrameBuffer& frame, const CockpitView& view);

}  // namespace qv
