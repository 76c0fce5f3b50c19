// The game state record and the values the frame loop keeps between frames.
#pragma once

#include <cstdint>

namespace qv {

inline constexpr int32_t full_shield = 240;
inline constexpr int32_t full_energy = 240;

struct GameState {
    int32_t level = 1;
    int32_t lives = 3;  // spare lives, not counting the one in play
    int32_t shield = full_shield;
    int32_t laser_energy = full_energy;
    int32_t laser_overheated = 0;
    int32_t invulnerable_timer = 0;
    int32_t kills = 0;  // the score is kills x 100
    int32_t game_over = 0;
    int32_t camera_z = 0;
    int32_t steer_x = 0;
    int32_t steer_y = 0;
};

struct LoopValues {
    bool running = false;
    bool firing = false;
    bool flash_pending = false;  // a flash shows this frame and goes at the next flash step
    bool beam_phase = false;     // which gun pair fires next; flips after every firing frame
    // The colour the update pass flashed last, shown by this frame's present; 0
    // when it asked for none (a ram shakes the screen without a colour).
    uint16_t flash_colour = 0;
    bool flash_coloured = false;
};

}  // namespace qv
