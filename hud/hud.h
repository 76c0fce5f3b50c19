// The instruments drawn over the world every frame.
#pragma once

#include <cstdint>

#include "hud/glyphs.h"
#include "platform/frame.h"

namespace qv {

// What the instruments show, read off the game for one frame.
struct HudReadings {
    int32_t pointer_x = 0;
    int32_t pointer_y = 0;
    bool firing = false;
    bool beam_phase = false;  // which gun pair fires: the upper one when set
    int32_t laser_energy = 0;
    int32_t shield = 0;
    int32_t kills = 0;
    int32_t lives = 0;
};

// Beams, crosshair, gauges, gun housings, cracks, score and spare lives.
void draw_hud(FrameBuffer& frame, const HudReadings& state, const GlyphFont& glyphs);

}  // namespace qv
