// The HUD's edges that the golden replays never reach: the cracks' threshold,
// scores past the odometer's range and more spare lives than the row holds.
#include "hud/hud.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>

namespace qv {
namespace {

using Pixel = std::pair<int32_t, int32_t>;

// The pixels of one colour inside the box [x0, x1] x [y0, y1].
std::set<Pixel> pixels_of(const FrameBuffer& frame, uint8_t colour, int32_t x0 = 0, int32_t y0 = 0, int32_t x1 = 319,
                          int32_t y1 = 199) {
    std::set<Pixel> found;
    for (int32_t i = y0 * 320 + x0; i <= y1 * 320 + x1; ++i) {
        if (frame[static_cast<size_t>(i)] == colour && i % 320 >= x0 && i % 320 <= x1) found.insert({i % 320, i / 320});
    }
    return found;
}

// The glyph in the 8 x 8 cell at (x, y), or -1 unless it holds one green pixel:
// the test font's glyph k lights only its k-th byte, with varying non-zero values.
int32_t glyph_in_cell(const FrameBuffer& frame, int32_t x, int32_t y) {
    const std::set<Pixel> lit = pixels_of(frame, 48, x, y, x + 7, y + 7);
    return lit.size() == 1 ? (lit.begin()->second - y) * 8 + lit.begin()->first - x : -1;
}

std::string score_shown(const FrameBuffer& frame) {
    std::string digits;
    for (int32_t x = 0; x < 48; x += 8) digits += static_cast<char>('0' + glyph_in_cell(frame, x, 0));
    return digits;
}

// A quiet HUD: pointer mid-screen, not firing, full gauges, three lives; the
// test font's glyph k lights only its k-th byte.
struct HudWorld {
    HudReadings readings{.pointer_x = 160, .pointer_y = 100, .laser_energy = 240, .shield = 240, .lives = 3};
    GlyphFont glyphs{};
    HudWorld() {
        for (size_t k = 0; k < 13; ++k) glyphs[64 * k + k] = static_cast<uint8_t>(1 + 19 * k);
    }
    FrameBuffer draw() const {
        FrameBuffer frame{};
        draw_hud(frame, readings, glyphs);
        return frame;
    }
};

TEST(Hud, CanopyCracksShowOnlyBelowSeventySixShield) {
    // Where the cracks meet; the crosshair around it leaves its centre dark.
    const size_t centre = 100 * screen_width + 160;
    HudWorld h;
    h.readings.shield = 76;
    EXPECT_EQ(h.draw()[centre], 0);
    h.readings.shield = 75;
    EXPECT_EQ(h.draw()[centre], 31);
}

TEST(Hud, ScoreShowsKillsTimesAHundredAndOneIconPerSpareLifeUpToFive) {
    // Past 9999 the thousands position keeps its last digit, like an odometer;
    // a negative 16-bit count shows as zero.
    const std::pair<int16_t, std::string> scores[] = {{0, "000000"},     {7, "000700"},     {1234, "123400"},
                                                      {9999, "999900"},  {10000, "000000"}, {12345, "234500"},
                                                      {32767, "276700"}, {-1, "000000"},    {-32768, "000000"}};
    HudWorld h;
    for (const auto& [kills, shown] : scores) {
        FrameBuffer frame{};
        draw_score(frame, h.glyphs, kills);
        EXPECT_EQ(score_shown(frame), shown) << kills;
    }
    h.readings.kills = 65536 + 42;  // the HUD passes the low 16 bits
    EXPECT_EQ(score_shown(h.draw()), "004200");

    for (const auto& [lives, icons] : {std::pair{0, 0}, {3, 3}, {5, 5}, {6, 0}, {40, 0}}) {
        h.readings.lives = lives;
        const FrameBuffer frame = h.draw();
        for (int32_t i = 0; i < icons; ++i) EXPECT_EQ(glyph_in_cell(frame, 200 + 10 * i, 186), 11) << lives;
        EXPECT_EQ(pixels_of(frame, 48, 0, 8).size(), static_cast<size_t>(icons)) << lives;
    }
}

}  // namespace
}  // namespace qv
