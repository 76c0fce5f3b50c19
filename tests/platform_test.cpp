// Presenting, the message pump, sound cues and boxes on the headless back end,
// and the view layout every back end with a real window shares.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <climits>
#include <string>
#include <vector>

#include "platform/frame.h"
#include "platform/headless/headless.h"
#include "platform/sound.h"
#include "platform/view_layout.h"
#include "platform/window.h"
#include "test_world.h"

namespace qv {
namespace {

size_t at(int x, int y) { return static_cast<size_t>(y * screen_width + x); }

// x, y, left and right as the game read them.
std::array<int, 4> reading(const Window& window) {
    InputState s;
    read_input(window.mouse, s);
    return {s.pointer.pointer_x, s.pointer.pointer_y, s.buttons.left_button, s.buttons.right_button};
}

TEST(Present, ConvertsThroughTheActivePaletteShowsOnceAndClearsTheFrame) {
    testing::TestWorld w;
    Game& g = *w;
    g.video.active_palette[0] = 0x7FE0;  // every undrawn pixel takes entry 0
    g.video.frame[at(0, 0)] = 40;
    g.video.frame[at(5, 3)] = 15;
    g.video.frame[at(319, 199)] = 48;
    present_frame(g.video, g.window);
    const std::vector<uint16_t>& seen = w.backend.shown;
    EXPECT_EQ(seen[at(0, 0)], 0x7C00);
    EXPECT_EQ(seen[at(5, 3)], 0xFFFF);
    EXPECT_EQ(seen[63999], 0x03E0);
    EXPECT_EQ(std::count(seen.begin(), seen.end(), uint16_t{0x7FE0}), screen_pixels - 3);
    EXPECT_EQ(g.video.frame, FrameBuffer{});
    EXPECT_TRUE(
        std::all_of(g.video.surface.pixels.begin(), g.video.surface.pixels.end(), [](uint16_t p) { return p == 0; }));

    // A palette change shows from the next present on; nothing is shown
    // without a window.
    g.video.active_palette[0] = 0x0010;
    present_frame(g.video, g.window);
    EXPECT_EQ(w.backend.shown[at(6, 3)], 0x0010);
    destroy_display_window(g.window);
    EXPECT_FALSE(w.backend.window_open);
    present_frame(g.video, g.window);
    EXPECT_EQ(w.backend.presents, 2u);
}

TEST(Pump, ReadsTheCursorOnceAPumpKeepsButtonsUntilReleasedAndRaisesTheCloseAfterTheDrain) {
    testing::TestWorld w(false);
    Game& g = *w;
    w.backend.script = {{1, 50, 60, 1, 1}, {3, 10, -5, 1, 0}, {5, 400, 250, 0, 1}, {7, 1, 2, 0, 0}};
    // Before the window exists the game sees nothing, but the pump counts.
    pump_messages(g.window);
    EXPECT_EQ(reading(g.window), (std::array<int, 4>{0, 0, 0, 0}));
    create_display_window(g.window);
    const std::array<int, 4> pumps[] = {
        {50, 60, 1, 1},  // pump 2: the buttons the script held from pump 1
        {10, -5, 1, 0},  // positions off the picture pass unchanged
        {10, -5, 1, 0},  // a button stays held until released
        {400, 250, 0, 1}, {400, 250, 0, 1},
    };
    for (const auto& want : pumps) {
        pump_messages(g.window);
        EXPECT_EQ(reading(g.window), want) << "pump " << w.backend.pumps;
    }
    // The window closes itself at pump 7: the pump takes in that pump's events first.
    w.backend.max_pumps = 7;
    EXPECT_THROW(pump_messages(g.window), WindowClosed);
    EXPECT_EQ(reading(g.window), (std::array<int, 4>{1, 2, 0, 0}));
    EXPECT_TRUE(w.backend.limit_reached);
    EXPECT_NO_THROW(pump_messages(g.window)) << "the close comes only once";
}

TEST(Sound, CuesLoopExceptTheGameOverAndBoxesBecomeTraceLines) {
    testing::TestWorld w;
    Game& g = *w;
    // Without a trace sink the back end keeps the lines.
    play_cue(g.window, "CLEAR");
    EXPECT_EQ(w.backend.events, std::vector<std::string>{"play CLEAR loop"});

    std::vector<std::string> lines;
    w.backend.trace = [&lines](const std::string& line) { lines.push_back(line); };
    for (const char* cue : {"THUNDER2", "GAMEOVER", "gameover", "GAMEOVER2"}) play_cue(g.window, cue);
    stop_cue(g.window);
    show_message(g.window, "Quorvaner", "Line \"one\"\nback\\slash");
    const std::vector<std::string> expected = {
        "play THUNDER2 loop",
        "play GAMEOVER once",
        "play gameover loop",
        "play GAMEOVER2 loop",
        "stop",
        "box \"Quorvaner\" \"Line \\\"one\\\"\\nback\\\\slash\"",
    };
    EXPECT_EQ(lines, expected);
    EXPECT_EQ(w.backend.events.size(), 1u) << "a trace sink takes every line";
}

TEST(ViewLayout, WholeScalesCentredWithBandsAndNeverBelowOne) {
    const struct {
        int32_t width, height;
        Aspect aspect;
        int32_t most, scale;
    } scales[] = {
        {960, 600, Aspect::SquarePixels, 0, 3},   {1920, 1080, Aspect::SquarePixels, 0, 5},
        {1920, 1080, Aspect::SquarePixels, 3, 3}, {630, 390, Aspect::SquarePixels, 0, 1},
        {300, 150, Aspect::SquarePixels, 0, 1},   {1280, 960, Aspect::FourThree, 0, 4},
        {1280, 959, Aspect::FourThree, 0, 3},     {1279, 960, Aspect::FourThree, 0, 3},
    };
    for (const auto& c : scales) {
        EXPECT_EQ(fitting_scale(c.width, c.height, c.aspect, c.most), c.scale) << c.width << " x " << c.height;
    }

    const auto rect = [](const ViewRect& r) { return std::array<int32_t, 4>{r.x, r.y, r.width, r.height}; };
    EXPECT_EQ(rect(unscaled_view(Aspect::FourThree)), (std::array<int32_t, 4>{0, 0, 320, 240}));
    const struct {
        int32_t width, height;
        Aspect aspect;
        std::array<int32_t, 4> view;
    } views[] = {
        {960, 600, Aspect::SquarePixels, {0, 0, 960, 600}},
        {1000, 700, Aspect::SquarePixels, {20, 50, 960, 600}},
        {630, 390, Aspect::SquarePixels, {155, 95, 320, 200}},
        {300, 150, Aspect::SquarePixels, {-10, -25, 320, 200}},  // too small: the picture spills over evenly
        {1024, 768, Aspect::FourThree, {32, 24, 960, 720}},
        {1366, 768, Aspect::FourThree, {203, 24, 960, 720}},
    };
    for (const auto& c : views) {
        EXPECT_EQ(rect(centred_view(c.width, c.height, c.aspect)), c.view) << c.width << " x " << c.height;
    }
}

TEST(ViewLayout, WindowPointsMapToPicturePixelsByFloorDivision) {
    const struct {
        int32_t client, origin, extent, picture, pixel;
    } points[] = {
        // Across at 3x with a band of 20: the band maps off the picture on both sides.
        {20, 20, 960, 320, 0},
        {22, 20, 960, 320, 0},
        {23, 20, 960, 320, 1},
        {979, 20, 960, 320, 319},
        {980, 20, 960, 320, 320},
        {19, 20, 960, 320, -1},
        {17, 20, 960, 320, -1},
        {16, 20, 960, 320, -2},
        {0, 20, 960, 320, -7},
        {-1000, 20, 960, 320, -340},
        {5000, 20, 960, 320, 1660},
        // Down at 4:3, 200 rows shown as 720: not a whole number of points a row.
        {24, 24, 720, 200, 0},
        {27, 24, 720, 200, 0},
        {28, 24, 720, 200, 1},
        {743, 24, 720, 200, 199},
        {744, 24, 720, 200, 200},
        {23, 24, 720, 200, -1},
        // Far points do not overflow; an empty view passes the point through.
        {INT_MAX, 0, 320, 320, INT_MAX},
        {INT_MIN, 0, 960, 320, INT_MIN / 3 - 1},
        {37, 5, 0, 320, 37},
    };
    for (const auto& p : points) {
        EXPECT_EQ(window_to_picture(p.client, p.origin, p.extent, p.picture), p.pixel)
            << p.client << " in " << p.origin << " + " << p.extent;
    }
}

}  // namespace
}  // namespace qv
