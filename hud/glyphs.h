// The glyph font of the score and the spare lives: its file and its drawing.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "platform/frame.h"

namespace qv {

inline constexpr int32_t glyph_side = 8;
inline constexpr int32_t glyph_bytes = glyph_side * glyph_side;
inline constexpr int32_t glyph_count = 13;

// 13 glyphs of 8 x 8 bytes, row by row; any non-zero byte is lit.
using GlyphFont = std::array<uint8_t, glyph_count * glyph_bytes>;

// Reads the first 832 bytes of a glyph file; throws DataError when it is
// missing, unreadable or shorter.
void load_glyph_file(GlyphFont& glyphs, const std::string& file_name);

// Plots the non-zero bytes of a width x height glyph in colour 48.
void draw_glyph(FrameBuffer& frame, const uint8_t* bits, int16_t x, int16_t y, int16_t width, int16_t height);

// Six digits at the top left reading kills x 100.
void draw_score(FrameBuffer& frame, const GlyphFont& glyphs, int16_t kills);

}  // namespace qv
