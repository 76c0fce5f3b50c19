// The instruments drawn over the world every frame.
#pragma once

#include <array>
#include <cstdint>

#include "platform/frame.h"

namespace qv {

struct Game;

// 13 glyphs of 8 x 8 bytes, row by row; any non-zero byte is lit.
using GlyphFont = std::array<uint8_t, 832>;

struct HudState {
    bool beam_phase = false;  // which gun pair fires next; flips after every firing frame
};

// Beams, crosshair, gauges, gun housings, cracks, score and spare lives.
void draw_hud(Game& game);

// Plots the non-zero bytes of a width x height glyph in colour 48.
void draw_glyph(FrameBuffer& frame, const uint8_t* bits, int16_t x, int16_t y, int16_t width, int16_t height);

// Six digits at the top left reading kills x 100.
void draw_score(FrameBuffer& frame, const GlyphFont& glyphs, int16_t kills);

}  // namespace qv
