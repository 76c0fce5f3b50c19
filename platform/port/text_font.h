// A small built-in 5 x 7 bitmap font (printable ASCII, with two rows below the
// line for the tails of g, j, p, q and y) for the words the window shows around
// the game: the pause overlay and the message box. Text comes out as a list of
// filled cells, so it can be drawn into an image or with plain rectangles.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace qv {

struct TextCell {
    int32_t x = 0;
    int32_t y = 0;
    int32_t width = 0;
    int32_t height = 0;
};

inline constexpr int32_t text_glyph_width = 5;
inline constexpr int32_t text_glyph_height = 7;  // capitals and digits
inline constexpr int32_t text_descent = 2;       // the tails below the line
inline constexpr int32_t text_advance = 6;

// The width of `text` at one pixel per font cell.
int32_t text_width(std::string_view text);

// The lit cells of `text` with its top-left corner at (x, y), each font cell
// `unit` pixels square; the cells of one row that touch are merged into one
// rectangle. Letters the font lacks are left blank.
std::vector<TextCell> text_cells(std::string_view text, int32_t x, int32_t y, int32_t unit);

}  // namespace qv
