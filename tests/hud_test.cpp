#include "hud/hud.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>
#include <vector>

#include "raster/draw.h"
#include "tests/test_world.h"

namespace qv {
namespace {

using Pixel = std::pair<int32_t, int32_t>;

uint8_t at(const FrameBuffer& frame, int32_t x, int32_t y) { return frame[static_cast<size_t>(y * 320 + x)]; }

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

// A quiet HUD: pointer mid-screen, not firing, full gauges, three lives.
struct HudWorld {
    testing::TestWorld world;
    Game& game = *world;
    explicit HudWorld(int32_t px = 160, int32_t py = 100) {
        game.input.pointer = {px, py};
        for (size_t k = 0; k < 13; ++k) game.glyphs[64 * k + k] = static_cast<uint8_t>(1 + 19 * k);
    }
    FrameBuffer draw() {
        game.video.frame.fill(0);
        draw_hud(game);
        return game.video.frame;
    }
};

TEST(Hud, GaugesFillAQuarterOfTheirValueLessOneInsideTheirFrames) {
    for (const auto& [value, width] : {std::pair{0, 0u}, {3, 0u}, {7, 0u}, {8, 1u}, {75, 17u}, {76, 18u}, {240, 59u}}) {
        HudWorld h;
        h.game.state.laser_energy = value;
        h.game.state.shield = value;
        const FrameBuffer frame = h.draw();
        for (const auto& [top, colour] : {std::pair{6, 36}, {186, 32}}) {
            SCOPED_TRACE(::testing::Message() << "value " << value << " gauge at " << top);
            EXPECT_EQ(pixels_of(frame, colour).size(), 9 * width);
            EXPECT_EQ(pixels_of(frame, colour, 131, top, 130 + width, top + 8).size(), 9 * width);
            EXPECT_EQ(pixels_of(frame, 31, 130, top - 1, 190, top + 9).size(), 61u * 2 + 9u * 2);
        }
    }
}

TEST(Hud, CanopyCracksShowOnlyBelowSeventySixShield) {
    HudWorld h;
    h.game.state.shield = 76;
    FrameBuffer expected = h.draw();
    h.game.state.shield = 75;
    const FrameBuffer cracked = h.draw();
    EXPECT_EQ(at(expected, 160, 100), 0);
    // Three chains of cracks, each segment drawn from the end given first.
    const std::vector<std::vector<int16_t>> chains = {
        {30, 0, 40, 50, 70, 80, 120, 85, 160, 100, 100, 130, 80, 160, 20, 170, 0, 192},
        {160, 100, 215, 140, 180, 155, 220, 200},
        {160, 100, 215, 85, 200, 70, 215, 50, 319, 40}};
    for (const auto& c : chains) {
        for (size_t i = 0; i + 3 < c.size(); i += 2) draw_line(expected, c[i], c[i + 1], c[i + 2], c[i + 3], 31);
    }
    for (int32_t y = 186; y <= 194; ++y) expected[static_cast<size_t>(y * 320 + 148)] = 0;  // one less shield
    EXPECT_TRUE(cracked == expected);
    EXPECT_EQ(at(cracked, 160, 100), 31);  // where the four cracks meet
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
        draw_score(frame, h.game.glyphs, kills);
        EXPECT_EQ(score_shown(frame), shown) << kills;
    }
    h.game.state.kills = 65536 + 42;  // the HUD passes the low 16 bits
    EXPECT_EQ(score_shown(h.draw()), "004200");

    for (const auto& [lives, icons] : {std::pair{0, 0}, {3, 3}, {5, 5}, {6, 0}, {40, 0}}) {
        h.game.state.lives = lives;
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

TEST(Hud, GunPairsTakeTurnsOnlyInFiringFramesStartingWithTheLowerPair) {
    HudWorld h(120, 70);
    const FrameBuffer quiet = h.draw();
    const FrameBuffer lower = with_beams(quiet, 150, 120, 70);
    const FrameBuffer upper = with_beams(quiet, 50, 120, 70);
    // One letter a frame: the lower pair, the upper pair, or not firing; a pause skips no pair.
    const std::string frames = "LU..L.U";
    for (size_t i = 0; i < frames.size(); ++i) {
        h.game.loop.firing = frames[i] != '.';
        EXPECT_TRUE(h.draw() == (frames[i] == 'L' ? lower : frames[i] == 'U' ? upper : quiet)) << "frame " << i;
    }

    // Beams to a pointer off the picture are cut at its edge.
    HudWorld far(400, -50);
    const FrameBuffer far_quiet = far.draw();
    far.game.loop.firing = true;
    EXPECT_TRUE(far.draw() == with_beams(far_quiet, 150, 400, -50));
}

TEST(Hud, CrosshairHasInwardSerifsAndGunHousingsMirrorEachOther) {
    const auto crosshair_at = [](int32_t px, int32_t py) {
        std::set<Pixel> shape;
        for (int32_t d = -10; d <= 10; ++d) {
            for (const Pixel& p : {Pixel{px - 10, py + d}, {px + 10, py + d}, {px + d, py - 10}, {px + d, py + 10}}) {
                const bool on_bar = p.first == px - 10 || p.first == px + 10 || d <= -5 || d >= 5;
                if (on_bar && p.first >= 0 && p.first < 320 && p.second >= 0 && p.second < 200) shape.insert(p);
            }
        }
        return shape;
    };
    const FrameBuffer frame = HudWorld(100, 110).draw();
    EXPECT_EQ(pixels_of(frame, 31, 80, 90, 120, 130), crosshair_at(100, 110));
    EXPECT_EQ(crosshair_at(100, 110).size(), 62u);
    EXPECT_EQ(at(frame, 100, 110), 0);
    const FrameBuffer corner = HudWorld(3, 195).draw();
    EXPECT_EQ(pixels_of(corner, 31, 0, 170, 40, 199), crosshair_at(3, 195));
    EXPECT_TRUE(pixels_of(corner, 31, 300, 170, 319, 199).empty());  // nothing wraps round

    const std::set<Pixel> red = pixels_of(frame, 40);
    EXPECT_EQ(red.size(), 4u * 90u);  // 97 line pixels per housing, 7 of them where lines meet
    for (const auto& [x, y] : red) {
        EXPECT_TRUE(red.contains({319 - x, y}) && red.contains({x, y < 100 ? y + 100 : y - 100})) << x << "," << y;
    }
    for (int32_t y : {50, 150}) {
        EXPECT_EQ(pixels_of(frame, 40, 21, y, 298, y).size(), 20u) << y;  // barrels end at x = 30 and 289
        EXPECT_EQ(at(frame, 30, y) + at(frame, 289, y), 80);
    }
}

}  // namespace
}  // namespace qv
