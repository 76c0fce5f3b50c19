// The cockpit frame and its motion lines, drawn first in every frame.
#pragma once

#include <array>
#include <cstdint>

namespace qv {

struct Game;

// Cockpit colour by level: index (level - 1) mod 11.
inline constexpr std::array<uint8_t, 11> level_colours = {31, 48, 3, 38, 104, 86, 64, 2, 47, 44, 40};

void draw_cockpit(Game& game);

}  // namespace qv
