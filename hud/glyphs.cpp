#include "hud/glyphs.h"

#include <algorithm>
#include <vector>

#include "platform/file_reading.h"
#include "raster/draw.h"

namespace qv {

namespace {

constexpr uint8_t glyph_colour = 48;

}  // namespace

void load_glyph_file(GlyphFont& glyphs, const std::string& file_name) {
    const std::vector<uint8_t> bytes =
        read_file_prefix(file_name, static_cast<int32_t>(glyphs.size()), "the glyph file");
    std::copy(bytes.begin(), bytes.end(), glyphs.begin());
}

void draw_glyph(FrameBuffer& frame, const uint8_t* bits, int16_t x, int16_t y, int16_t width, int16_t height) {
    for (int32_t r = 0; r < height; ++r) {
        for (int32_t j = 0; j < width; ++j) {
            if (bits[width * r + j] != 0) {
                put_pixel(frame, static_cast<uint16_t>(x + j), static_cast<uint16_t>(y + r), glyph_colour);
            }
        }
    }
}

// The font has digits for 0 to 9999 kills only. Beyond that the thousands
// position is shown modulo 10, so the display rolls over like an odometer
// (10000 kills reads 000000, 12345 reads 234500) and never asks for a glyph
// past 9. A negative count - the low 16 bits of 32768 kills or more - shows as
// zero rather than indexing before the font.
void draw_score(FrameBuffer& frame, const GlyphFont& glyphs, int16_t kills) {
    const int32_t k = kills < 0 ? 0 : kills;
    const std::array<int32_t, 4> digits = {
        k % 10,
        (k % 100 - k % 10) / 10,
        (k % 1000 - k % 100) / 100,
        ((k - k % 1000) / 1000) % 10,
    };
    // Units first, then leftwards; the two trailing zeros turn kills into points.
    const std::array<int16_t, 4> columns = {24, 16, 8, 0};
    for (size_t i = 0; i < digits.size(); ++i) {
        draw_glyph(frame, glyphs.data() + digits[i] * glyph_bytes, columns[i], 0, glyph_side, glyph_side);
    }
    draw_glyph(frame, glyphs.data(), 32, 0, glyph_side, glyph_side);
    draw_glyph(frame, glyphs.data(), 40, 0, glyph_side, glyph_side);
}

}  // namespace qv
