#include "hud/hud.h"

#include <array>
#include <cstddef>
#include <cstdint>

#include "raster/draw.h"

namespace qv {

namespace {

constexpr uint8_t beam_colour = 51;
constexpr uint8_t white = 31;
constexpr uint8_t energy_colour = 36;
constexpr uint8_t shield_colour = 32;
constexpr uint8_t housing_colour = 40;

constexpr int32_t life_glyph = 11;
constexpr int32_t most_lives_shown = 5;
constexpr int32_t crack_shield = 76;  // cracks show below this

struct Segment {
    int16_t x1, y1, x2, y2;
};

// Each housing: a 10 x 30 block on the screen side, a 10 x 10 block in front of
// it and a barrel whose tip is at the height where the beams start. The right
// side mirrors the left about x = 159.5.
constexpr std::array<Segment, 28> housing_lines = {{
    {0, 35, 10, 35},      {0, 65, 10, 65},      {10, 35, 10, 65},     {10, 45, 20, 45},
    {10, 55, 20, 55},     {20, 45, 20, 55},     {20, 50, 30, 50},  // upper left
    {0, 135, 10, 135},    {0, 165, 10, 165},    {10, 135, 10, 165},   {10, 145, 20, 145},
    {10, 155, 20, 155},   {20, 145, 20, 155},   {20, 150, 30, 150},  // lower left
    {319, 35, 309, 35},   {319, 65, 309, 65},   {309, 35, 309, 65},   {309, 45, 299, 45},
    {309, 55, 299, 55},   {299, 45, 299, 55},   {299, 50, 289, 50},  // upper right
    {319, 135, 309, 135}, {319, 165, 309, 165}, {309, 135, 309, 165}, {309, 145, 299, 145},
    {309, 155, 299, 155}, {299, 145, 299, 155}, {299, 150, 289, 150},  // lower right
}};

// Four jagged cracks meeting at the screen centre. The eleventh ends one row
// below the picture on purpose; its last pixel is clipped away.
constexpr std::array<Segment, 15> crack_lines = {{
    {30, 0, 40, 50},
    {40, 50, 70, 80},
    {70, 80, 120, 85},
    {120, 85, 160, 100},
    {160, 100, 100, 130},
    {100, 130, 80, 160},
    {80, 160, 20, 170},
    {20, 170, 0, 192},
    {160, 100, 215, 140},
    {215, 140, 180, 155},
    {180, 155, 220, 200},
    {160, 100, 215, 85},
    {215, 85, 200, 70},
    {200, 70, 215, 50},
    {215, 50, 319, 40},
}};

void draw_segments(FrameBuffer& frame, const Segment* segments, size_t count, uint8_t colour) {
    for (size_t i = 0; i < count; ++i) {
        const Segment& s = segments[i];
        draw_line(frame, s.x1, s.y1, s.x2, s.y2, colour);
    }
}

// Pointer-relative points may lie far off the screen; the line primitives take
// their low 16 bits and clip pixel by pixel.
void line(FrameBuffer& frame, int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint8_t colour) {
    draw_line(frame, static_cast<int16_t>(x1), static_cast<int16_t>(y1), static_cast<int16_t>(x2),
              static_cast<int16_t>(y2), colour);
}

void draw_beams(FrameBuffer& frame, bool beam_phase, int32_t px, int32_t py) {
    const int32_t gun_y = beam_phase ? 50 : 150;
    line(frame, 30, gun_y, px, py, beam_colour);
    line(frame, 290, gun_y, px, py, beam_colour);
}

void draw_crosshair(FrameBuffer& frame, int32_t px, int32_t py) {
    line(frame, px - 10, py - 10, px - 10, py + 10, white);
    line(frame, px + 10, py - 10, px + 10, py + 10, white);
    line(frame, px - 10, py - 10, px - 5, py - 10, white);
    line(frame, px + 10, py - 10, px + 5, py - 10, white);
    line(frame, px - 10, py + 10, px - 5, py + 10, white);
    line(frame, px + 10, py + 10, px + 5, py + 10, white);
}

void draw_gauge_frame(FrameBuffer& frame, int16_t edge_y, int16_t far_y) {
    draw_line(frame, 130, edge_y, 190, edge_y, white);
    draw_line(frame, 130, far_y, 190, far_y, white);
    draw_line(frame, 130, edge_y, 130, far_y, white);
    draw_line(frame, 190, edge_y, 190, far_y, white);
}

// A quarter of the value less one, so a full 240 fills exactly the 59 pixels
// inside the frame. Values above the gauge's range are held to the row so a
// corrupt state cannot write past the picture.
int32_t gauge_width(int32_t value) {
    if (value <= 3) return 0;
    const int32_t w = value / 4 - 1;
    constexpr int32_t room = screen_width - 131;
    return w < room ? w : room;
}

void fill_gauge(FrameBuffer& frame, int32_t top_row, int32_t value, uint8_t colour) {
    const int32_t w = gauge_width(value);
    for (int32_t y = top_row; y < top_row + 9; ++y) {
        const size_t start = static_cast<size_t>(y * screen_width + 131);
        for (int32_t i = 0; i < w; ++i) frame[start + static_cast<size_t>(i)] = colour;
    }
}

void draw_spare_lives(FrameBuffer& frame, const GlyphFont& glyphs, int32_t lives) {
    // The row beside the shield gauge has room for five icons; a larger count
    // shows none rather than a clipped row.
    if (lives == 0 || lives > most_lives_shown) return;
    const uint8_t* icon = glyphs.data() + life_glyph * glyph_bytes;
    for (int32_t i = 0; i < lives; ++i) {
        draw_glyph(frame, icon, static_cast<int16_t>(200 + 10 * i), 186, glyph_side, glyph_side);
    }
}

}  // namespace

void draw_hud(FrameBuffer& frame, const HudReadings& state, const GlyphFont& glyphs) {
    const int32_t px = state.pointer_x;
    const int32_t py = state.pointer_y;

    if (state.firing) draw_beams(frame, state.beam_phase, px, py);
    draw_crosshair(frame, px, py);

    draw_gauge_frame(frame, 5, 15);
    fill_gauge(frame, 6, state.laser_energy, energy_colour);
    draw_gauge_frame(frame, 195, 185);
    fill_gauge(frame, 186, state.shield, shield_colour);

    draw_segments(frame, housing_lines.data(), housing_lines.size(), housing_colour);
    if (state.shield < crack_shield) draw_segments(frame, crack_lines.data(), crack_lines.size(), white);

    draw_score(frame, glyphs, static_cast<int16_t>(state.kills));
    draw_spare_lives(frame, glyphs, state.lives);
}

}  // namespace qv
