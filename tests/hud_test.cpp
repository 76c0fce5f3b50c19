#include "hud/hud.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "raster/draw.h"

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
    explicit HudWorld(int32_t px = 160, int32_t py = 100) {
        readings.pointer_x = px;
        readings.pointer_y = py;
        for (size_t k = 0; k < 13; ++k) glyphs[64 * k + k] = static_cast<uint8_t>(1 + 19 * k);
    }
    FrameBuffer draw() const {
        FrameBuffer frame{};
        draw_hud(frame, readings, glyphs);
        return frame;
    }
};

TEST(Hud, GaugesFillAQuarterOfTheirValueLessOneInsideTheirFrames) {
    for (const auto& [value, width] : {std::pair{0, 0u}, {3, 0u}, {7, 0u}, {8, 1u}, {75, 17u}, {76, 18u}, {240, 59u}}) {
        HudWorld h;
        h.readings.laser_energy = value;
        h.readings.shield = value;
        const FrameBuffer frame = h.draw();
        for (const auto& [top, colour] : {std::pair{6, 36}, {186, 32}}) {
            SCOPED_TRACE(::testing::Message() << "value " << value << " gauge at " << top);
            EXPECT_EQ(pixels_of(frame, colour).size(), 9 * width);
            EXPECT_EQ(pixels_of(frame, colour, 131, top, 130 + width, top + 8).size(), 9 * width);
            EXPECT_EQ(pixels_of(frame, 31, 130, top - 1, 190, top + 9).size(), 61u * 2 + 9u * 2);
        }
    }
}

TEST(Hud, CanopyCracksShowOnlyBelowSeventySixShieldAndRunFromTheCentreToTheEdges) {
    HudWorld h;
    h.readings.shield = 76;
    const FrameBuffer whole = h.draw();
    h.readings.shield = 75;
    const FrameBuffer cracked = h.draw();
    // The cracks only add white; one column less of shield is the only loss.
    std::set<Pixel> added, lost;
    for (int32_t i = 0; i < screen_pixels; ++i) {
        const Pixel p{i % 320, i / 320};
        if (cracked[size_t(i)] == whole[size_t(i)]) continue;
        (cracked[size_t(i)] == 31 ? added : lost).insert(p);
    }
    EXPECT_EQ(lost, pixels_of(whole, 32, 148, 186, 148, 194));
    EXPECT_TRUE(added.contains({160, 100})) << "where the cracks meet";
    // They reach the top, left, right and bottom of the picture.
    for (const auto& edge : {Pixel{-1, 0}, Pixel{0, -1}, Pixel{319, -1}, Pixel{-1, 199}}) {
        EXPECT_TRUE(std::any_of(added.begin(), added.end(),
                                [&](const Pixel& p) { return p.first == edge.first || p.second == edge.second; }))
            << edge.first << "," << edge.second;
    }
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

// What a quiet HUD draws, over the two beams drawn first.
FrameBuffer with_beams(const FrameBuffer& quiet, int16_t gun_y, int16_t px, int16_t py) {
    FrameBuffer expected{};
    draw_line(expected, 30, gun_y, px, py, 51);
    draw_line(expected, 290, gun_y, px, py, 51);
    for (size_t i = 0; i < quiet.size(); ++i) expected[i] = quiet[i] != 0 ? quiet[i] : expected[i];
    return expected;
}

TEST(Hud, BeamsRunFromTheGunPairOfThePhaseToThePointerOnlyWhenFiring) {
    HudWorld h(120, 70);
    const FrameBuffer quiet = h.draw();
    h.readings.beam_phase = true;  // set while not firing: no beams
    EXPECT_TRUE(h.draw() == quiet);
    h.readings.firing = true;
    EXPECT_TRUE(h.draw() == with_beams(quiet, 50, 120, 70));
    h.readings.beam_phase = false;
    EXPECT_TRUE(h.draw() == with_beams(quiet, 150, 120, 70));

    // Beams to a pointer off the picture are cut at its edge.
    HudWorld far(400, -50);
    const FrameBuffer far_quiet = far.draw();
    far.readings.firing = true;
    EXPECT_TRUE(far.draw() == with_beams(far_quiet, 150, 400, -50));
}

}  // namespace
}  // namespace qv
