#include "platform/sdl/pause_overlay.h"

#include <array>

namespace qv {

namespace {

struct Glyph {
    char letter;
    std::array<uint8_t, text_glyph_height> rows;  // bit 4 is the leftmost column
};

// Only the letters the overlay says.
constexpr Glyph glyphs[] = {
    {'A', {0x0E, 0x11, 0x11, 0x1F, 0x11, 0x11, 0x11}}, {'C', {0x0E, 0x11, 0x10, 0x10, 0x10, 0x11, 0x0E}},
    {'D', {0x1E, 0x11, 0x11, 0x11, 0x11, 0x11, 0x1E}}, {'E', {0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x1F}},
    {'I', {0x0E, 0x04, 0x04, 0x04, 0x04, 0x04, 0x0E}}, {'K', {0x11, 0x12, 0x14, 0x18, 0x14, 0x12, 0x11}},
    {'L', {0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0x1F}}, {'M', {0x11, 0x1B, 0x15, 0x15, 0x11, 0x11, 0x11}},
    {'O', {0x0E, 0x11, 0x11, 0x11, 0x11, 0x11, 0x0E}}, {'P', {0x1E, 0x11, 0x11, 0x1E, 0x10, 0x10, 0x10}},
    {'R', {0x1E, 0x11, 0x11, 0x1E, 0x14, 0x12, 0x11}}, {'S', {0x0F, 0x10, 0x10, 0x0E, 0x01, 0x01, 0x1E}},
    {'T', {0x1F, 0x04, 0x04, 0x04, 0x04, 0x04, 0x04}}, {'U', {0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x0E}},
};

const Glyph* glyph_of(char letter) {
    for (const Glyph& glyph : glyphs) {
        if (glyph.letter == letter) return &glyph;
    }
    return nullptr;
}

}  // namespace

int32_t text_width(std::string_view text) {
    return text.empty() ? 0 : static_cast<int32_t>(text.size()) * text_advance - 1;
}

std::vector<TextCell> text_cells(std::string_view text, int32_t x, int32_t y, int32_t unit) {
    std::vector<TextCell> cells;
    for (size_t i = 0; i < text.size(); ++i) {
        const Glyph* glyph = glyph_of(text[i]);
        if (glyph == nullptr) continue;
        const int32_t left = x + static_cast<int32_t>(i) * text_advance * unit;
        for (int32_t row = 0; row < text_glyph_height; ++row) {
            int32_t column = 0;
            while (column < text_glyph_width) {
                const auto lit = [&](int32_t c) { return (glyph->rows[static_cast<size_t>(row)] >> (4 - c)) & 1; };
                if (!lit(column)) {
                    ++column;
                    continue;
                }
                int32_t end = column;
                while (end < text_glyph_width && lit(end)) ++end;
                cells.push_back({left + column * unit, y + row * unit, (end - column) * unit, unit});
                column = end;
            }
        }
    }
    return cells;
}

}  // namespace qv
