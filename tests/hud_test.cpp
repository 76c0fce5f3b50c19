#include "hud/hud.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>

#include "raster/draw.h"
#include "tests/test_world.h"

namespace qv {
namespace {

using Pixel = std::pair<int32_t, int32_t>;

uint8_t at(const FrameBuffer& frame, int32_t x, int32_t y) { return frame[static_cast<size_t>(y * 320 + x)]; }

// The pixels of one colour inside the box [x0, x1] x [y0, y1].
std::set<Pixel> pixels_of(const FrameBuffer& frame, uint8_t colour, int32_t x0, int32_t y0, int32_t x1, int32_t y1) {
    std::set<Pixel> found;
    for (int32_t y = y0; y <= y1; ++y) {
        for (int32_t x = x0; x <= x1; ++x) {
            if (at(frame, x, y) == colour) found.insert({x, y});
        }
    }
    return found;
}

// Glyph k lights only its k-th byte, so a cell tells which glyph landed there;
// the lit values vary because any non-zero byte counts.
GlyphFont numbered_font() {
    GlyphFont font{};
    for (size_t k = 0; k < 13; ++k) font[64 * k + k] = static_cast<uint8_t>(1 + 19 * k);
    return font;
}

// The glyph in the 8 x 8 cell at (x, y), or -1 unless it holds one green pixel.
int32_t glyph_in_cell(const FrameBuffer& frame, int32_t x, int32_t y) {
    const std::set<Pixel> lit = pixels_of(frame, 48, x, y, x + 7, y + 7);
    return lit.size() == 1 ? (lit.begin()->second - y) * 8 + lit.begin()->first - x : -1;
}

std::string score_shown(const FrameBuffer& frame) {
    std::string digits;
    for (int32_t x = 0; x < 48; x += 8) {
        const int32_t glyph = glyph_in_cell(frame, x, 0);
        digits += glyph >= 0 && glyph <= 9 ? static_cast<char>('0' + glyph) : '?';
    }
    return digits;
}

// A quiet HUD: pointer mid-screen, not firing, full gauges, three lives.
struct HudWorld {
    testing::TestWorld world;
    Game& game = *world;
    HudWorld(int32_t px = 160, int32_t py = 100) {
        game.input.pointer = {px, py};
        game.glyphs = numbered_font();
    }
    FrameBuffer draw() {
        game.video.frame.fill(0);
        draw_hud(game);
        return game.video.frame;
    }
};

TEST(Hud, GaugesFillAQuarterOfTheirValueLessOneInsideTheirFrames) {
    const std::pair<int32_t, size_t> cases[] = {{0, 0}, {3, 0}, {7, 0}, {8, 1}, {75, 17}, {76, 18}, {240, 59}};
    for (const auto& [value, width] : cases) {
        HudWorld h;
        h.game.state.laser_energy = value;
        h.game.state.shield = value;
        const FrameBuffer frame = h.draw();
        for (const auto& [top, colour] : {std::pair{6, 36}, std::pair{186, 32}}) {
            SCOPED_TRACE(::testing::Message() << "value " << value << " gauge at " << top);
            EXPECT_EQ(pixels_of(frame, colour, 0, 0, 319, 199).size(), 9 * width);
            EXPECT_EQ(pixels_of(frame, colour, 131, top, 130 + width, top + 8).size(), 9 * width);
            EXPECT_EQ(pixels_of(frame, 31, 130, top - 1, 190, top + 9).size(), 61u * 2 + 9u * 2);
        }
    }
}

TEST(Hud, CanopyCracksShowOnlyBelowSeventySixShield) {
    HudWorld h;
    h.game.state.shield = 76;
    const FrameBuffer intact = h.draw();
    h.game.state.shield = 75;
    const FrameBuffer cracked = h.draw();

    const int16_t cracks[15][4] = {
        {30, 0, 40, 50},      {40, 50, 70, 80},     {70, 80, 120, 85},    {120, 85, 160, 100}, {160, 100, 100, 130},
        {100, 130, 80, 160},  {80, 160, 20, 170},   {20, 170, 0, 192},    {160, 100, 215, 140}, {215, 140, 180, 155},
        {180, 155, 220, 200}, {160, 100, 215, 85},  {215, 85, 200, 70},   {200, 70, 215, 50},  {215, 50, 319, 40}};
    FrameBuffer expected = intact;
    for (const auto& c : cracks) draw_line(expected, c[0], c[1], c[2], c[3], 31);
    for (int32_t y = 186; y <= 194; ++y) expected[static_cast<size_t>(y * 320 + 148)] = 0;  // one less shield
    EXPECT_TRUE(cracked == expected);
    EXPECT_EQ(at(cracked, 160, 100), 31);  // where the four cracks meet
    EXPECT_EQ(at(intact, 160, 100), 0);
}

TEST(Hud, ScoreShowsKillsTimesAHundredAndRollsOverPastTheFont) {
    // Past 9999 the thousands position keeps its last digit, like an odometer;
    // a negative 16-bit count shows as zero.
    const std::pair<int16_t, std::string> cases[] = {{0, "000000"},     {7, "000700"},     {1234, "123400"},
                                                     {9999, "999900"},  {10000, "000000"}, {12345, "234500"},
                                                     {32767, "276700"}, {-1, "000000"},    {-32768, "000000"}};
    for (const auto& [kills, shown] : cases) {
        FrameBuffer frame{};
        draw_score(frame, numbered_font(), kills);
        EXPECT_EQ(score_shown(frame), shown) << kills;
    }
    HudWorld h;
    h.game.state.kills = 65536 + 42;  // the HUD passes the low 16 bits
    EXPECT_EQ(score_shown(h.draw()), "004200");
}

TEST(Hud, OneIconPerSpareLifeUpToFive) {
    const std::pair<int32_t, int32_t> cases[] = {{0, 0}, {3, 3}, {5, 5}, {6, 0}, {40, 0}};
    for (const auto& [lives, icons] : cases) {
        HudWorld h;
        h.game.state.lives = lives;
        const FrameBuffer frame = h.draw();
        for (int32_t i = 0; i < icons; ++i) {
            EXPECT_EQ(glyph_in_cell(frame, 200 + 10 * i, 186), 11) << lives << " lives, icon " << i;
        }
        EXPECT_EQ(pixels_of(frame, 48, 0, 8, 319, 199).size(), static_cast<size_t>(icons)) << lives;
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

TEST(Hud, GunPairsTakeTurnsOnlyInFiringFrames) {
    HudWorld h(120, 70);
    const FrameBuffer quiet = h.draw();
    const FrameBuffer lower = with_beams(quiet, 150, 120, 70);
    const FrameBuffer upper = with_beams(quiet, 50, 120, 70);
    // firing per frame, and the pair expected: the first firing frame uses the
    // lower pair and a pause does not skip one.
    const std::pair<bool, const FrameBuffer*> frames[] = {{true, &lower}, {true, &upper}, {false, &quiet},
                                                          {false, &quiet}, {true, &lower}, {false, &quiet},
                                                          {true, &upper}};
    int frame_number = 0;
    for (const auto& [firing, expected] : frames) {
        h.game.loop.firing = firing;
        EXPECT_TRUE(h.draw() == *expected) << "frame " << frame_number++;
    }

    // Beams to a pointer off the picture are cut at its edge.
    HudWorld far(400, -50);
    const FrameBuffer far_quiet = far.draw();
    far.game.loop.firing = true;
    EXPECT_TRUE(far.draw() == with_beams(far_quiet, 150, 400, -50));
}

std::set<Pixel> crosshair_at(int32_t px, int32_t py) {
    std::set<Pixel> shape;
    for (int32_t d = -10; d <= 10; ++d) {
        for (const Pixel& p : {Pixel{px - 10, py + d}, {px + 10, py + d}, {px + d, py - 10}, {px + d, py + 10}}) {
            const bool on_bar = p.first == px - 10 || p.first == px + 10 || d <= -5 || d >= 5;
            if (on_bar && p.first >= 0 && p.first < 320 && p.second >= 0 && p.second < 200) shape.insert(p);
        }
    }
    return shape;
}

TEST(Hud, CrosshairIsTwoBarsWithInwardSerifsClippedAtTheEdges) {
    const FrameBuffer middle = HudWorld(100, 110).draw();
    EXPECT_EQ(pixels_of(middle, 31, 80, 90, 120, 130), crosshair_at(100, 110));
    EXPECT_EQ(crosshair_at(100, 110).size(), 62u);
    EXPECT_EQ(at(middle, 100, 110), 0);

    const FrameBuffer corner = HudWorld(3, 195).draw();
    EXPECT_EQ(pixels_of(corner, 31, 0, 170, 40, 199), crosshair_at(3, 195));
    EXPECT_TRUE(pixels_of(corner, 31, 300, 170, 319, 199).empty());  // nothing wraps round
}

TEST(Hud, GunHousingsMirrorEachOtherWithBarrelTipsWhereTheBeamsStart) {
    const FrameBuffer frame = HudWorld().draw();
    const std::set<Pixel> red = pixels_of(frame, 40, 0, 0, 319, 199);
    EXPECT_EQ(red.size(), 4u * 90u);  // 97 line pixels per housing, 7 of them where lines meet
    for (const auto& [x, y] : red) {
        EXPECT_TRUE(red.contains({319 - x, y}) && red.contains({x, y < 100 ? y + 100 : y - 100})) << x << "," << y;
    }
    for (int32_t y : {50, 150}) {
        EXPECT_EQ(pixels_of(frame, 40, 21, y, 298, y).size(), 20u) << y;  // barrels end at x = 30 and 289
        EXPECT_EQ(at(frame, 30, y) + at(frame, 289, y), 80);
    }
}

TEST(Hud, GlyphsAreGreenTransparentAndClipped) {
    std::array<uint8_t, 64> checker{};
    for (size_t i = 0; i < 64; ++i) checker[i] = (i / 8 + i % 8) % 2 == 0 ? 255 : 0;
    FrameBuffer frame{};
    frame.fill(7);
    draw_glyph(frame, checker.data(), 100, 50, 8, 8);
    EXPECT_EQ(pixels_of(frame, 48, 0, 0, 319, 199).size(), 32u);
    EXPECT_EQ(at(frame, 100, 50), 48);
    EXPECT_EQ(at(frame, 101, 50), 7);  // a zero byte leaves the pixel as it was
    EXPECT_EQ(at(frame, 107, 57), 48);

    std::array<uint8_t, 64> solid{};
    solid.fill(9);
    frame.fill(0);
    draw_glyph(frame, solid.data(), 316, 196, 8, 8);
    draw_glyph(frame, solid.data(), -3, -5, 8, 8);
    EXPECT_EQ(pixels_of(frame, 48, 0, 0, 319, 199).size(), 16u + 15u);
    EXPECT_EQ(pixels_of(frame, 48, 316, 196, 319, 199).size(), 16u);
    EXPECT_EQ(pixels_of(frame, 48, 0, 0, 4, 2).size(), 15u);
}

}  // namespace
}  // namespace qv
