// Presentation, paints, the window's message handling, mouse input and sound
// cues, driven through the headless back end.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <memory>
#include <string>
#include <vector>

#include "game/game.h"
#include "platform/frame.h"
#include "platform/headless/headless.h"
#include "platform/sound.h"
#include "platform/window.h"
#include "tests/test_world.h"

namespace qv {
namespace {

size_t at(int x, int y) { return static_cast<size_t>(y * screen_width + x); }

template <typename Pixels>
bool all_equal(const Pixels& pixels, uint16_t value) {
    return std::all_of(pixels.begin(), pixels.end(), [value](auto p) { return p == value; });
}

// x, y, left, right and the two spare bytes the game read.
std::array<int, 6> reading(const InputState& s) {
    return {s.pointer.pointer_x, s.pointer.pointer_y, s.buttons.left_button, s.buttons.right_button,
            s.buttons.unused[0], s.buttons.unused[1]};
}

TEST(Video, DefaultPaletteAndOpeningTheWindow) {
    Video video;
    video.default_palette.fill(0x1111);
    set_default_palette(video);
    const std::pair<int, uint16_t> named[] = {
        {1, 0x0010},  {12, 0x5108}, {15, 0xFFFF}, {31, 0xFFFF}, {32, 0x001F}, {36, 0x7C1F},
        {40, 0x7C00}, {44, 0x7FE0}, {48, 0x03E0}, {51, 0x03FF}, {52, 0x03FF},
    };
    for (const auto& [index, colour] : named) EXPECT_EQ(video.default_palette[index], colour) << "entry " << index;
    EXPECT_EQ(std::count(video.default_palette.begin(), video.default_palette.end(), 0x1111), 256 - 11);
    EXPECT_TRUE(all_equal(video.active_palette, 0));

    // The window's first paint comes while it is being created: it shows the
    // blank surface and leaves the surface alone.
    // On a bare game, before start-up.
    BackEnd backend;
    const auto game = std::make_unique<Game>();
    Game& g = *game;
    g.window.backend = &backend;
    g.video.frame.fill(7);
    g.video.surface.pixels.fill(0x1234);
    init_video(g, 0x13);
    EXPECT_TRUE(all_equal(g.video.frame, 0));
    EXPECT_EQ(g.video.active_palette, g.video.default_palette);
    EXPECT_EQ(g.video.active_palette[44], 0x7FE0);
    EXPECT_TRUE(g.window.exists);
    EXPECT_TRUE(backend.window_open);
    EXPECT_EQ((std::array<int, 3>{g.video.surface.width, g.video.surface.height, g.video.surface.depth}),
              (std::array<int, 3>{320, 200, 16}));
    EXPECT_EQ(backend.paints, 1u);
    ASSERT_EQ(backend.shown.size(), static_cast<size_t>(screen_pixels));
    EXPECT_TRUE(all_equal(backend.shown, 0));
    EXPECT_TRUE(all_equal(g.video.surface.pixels, 0x1234));
}

TEST(Present, ConvertsThroughActivePaletteAndClearsFrame) {
    testing::TestWorld w;
    Game& g = *w;
    g.video.active_palette[0] = 0x7FE0;  // every undrawn pixel takes entry 0
    g.video.frame[at(0, 0)] = 40;
    g.video.frame[at(5, 3)] = 15;
    g.video.frame[at(319, 199)] = 48;
    std::vector<uint16_t> seen;
    g.present_hook = [&seen](const Game& game) {
        seen.assign(game.video.surface.pixels.begin(), game.video.surface.pixels.end());
    };
    present_frame(g);
    ASSERT_EQ(seen.size(), static_cast<size_t>(screen_pixels));
    EXPECT_EQ(seen[at(0, 0)], 0x7C00);
    EXPECT_EQ(seen[at(5, 3)], 0xFFFF);
    EXPECT_EQ(seen[63999], 0x03E0);
    EXPECT_EQ(std::count(seen.begin(), seen.end(), uint16_t{0x7FE0}), screen_pixels - 3);
    EXPECT_TRUE(all_equal(g.video.frame, 0));

    // A palette change shows only from the next present on.
    g.video.active_palette[0] = 0x0010;
    EXPECT_EQ(g.video.surface.pixels[at(6, 3)], 0x7FE0);
    present_frame(g);
    EXPECT_TRUE(all_equal(seen, 0x0010));
}

TEST(Paint, NothingBeforeTheWindowThenRepaintsAndASecondPaintIsBlack) {
    testing::TestWorld w;
    Game& g = *w;
    // Before the window exists the reader sees zeros, but pumps and sleeps count.
    w.backend.script.push_back({1, 50, 60, 1, 1});
    g.window.input_reader = read_input;
    present_frame(g);
    pump_messages(g);
    wait_frame(g);
    call_input_reader(g);
    EXPECT_EQ(reading(g.input), (std::array<int, 6>{0, 0, 0, 0, 0, 0}));
    EXPECT_EQ((std::array<uint64_t, 3>{w.backend.repaints, w.backend.pumps, w.backend.sleeps}),
              (std::array<uint64_t, 3>{0, 1, 1}));

    init_video(g, 0x13);
    g.video.frame[at(10, 20)] = 44;
    present_frame(g);
    EXPECT_EQ(w.backend.repaints, 1u);
    EXPECT_EQ(w.backend.paints, 1u) << "nothing is shown before the pump";
    pump_messages(g);
    call_input_reader(g);
    EXPECT_EQ(reading(g.input), (std::array<int, 6>{50, 60, 1, 1, 0, 0}));
    EXPECT_EQ(w.backend.paints, 2u);
    EXPECT_EQ(w.backend.shown[at(10, 20)], 0x7FE0);
    EXPECT_EQ(w.backend.shown[at(11, 20)], 0x0000);
    EXPECT_TRUE(all_equal(g.video.surface.pixels, 0)) << "the paint blanks the surface";
    pump_messages(g);
    EXPECT_EQ(w.backend.paints, 2u) << "no present, no paint";
    window_proc(g, WindowMessage::Paint);
    EXPECT_EQ(w.backend.paints, 3u);
    EXPECT_TRUE(all_equal(w.backend.shown, 0));

    destroy_display_window(g);
    EXPECT_FALSE(g.window.exists);
    EXPECT_FALSE(w.backend.window_open);
    present_frame(g);
    EXPECT_EQ(w.backend.repaints, 1u);
}

TEST(Input, ClicksBetweenPumpsAreLostAndTheScriptIsKeyedToPumpCount) {
    testing::TestWorld w;
    Game& g = *w;
    init_video(g, 0x13);
    w.backend.script = {{3, 10, -5, 1, 0}, {5, 400, 250, 0, 1}};
    auto pump_and_read = [&g] {
        pump_messages(g);
        InputState s;
        read_input(g.window.mouse, s.pointer, s.buttons);
        return reading(s);
    };
    // A press and a release between two pumps leave nothing; a lone press stays held.
    window_proc(g, WindowMessage::LeftButtonDown);
    window_proc(g, WindowMessage::LeftButtonUp);
    window_proc(g, WindowMessage::RightButtonDown);
    window_proc(g, WindowMessage::Other);
    EXPECT_EQ(pump_and_read(), (std::array<int, 6>{0, 0, 0, 1, 0, 0}));
    window_proc(g, WindowMessage::RightButtonUp);
    EXPECT_FALSE(window_closed(g));

    EXPECT_EQ(pump_and_read(), (std::array<int, 6>{0, 0, 0, 0, 0, 0}));
    // Positions off the picture pass unchanged; a button stays held until released.
    EXPECT_EQ(pump_and_read(), (std::array<int, 6>{10, -5, 1, 0, 0, 0}));
    EXPECT_EQ(pump_and_read(), (std::array<int, 6>{10, -5, 1, 0, 0, 0}));
    EXPECT_EQ(pump_and_read(), (std::array<int, 6>{400, 250, 0, 1, 0, 0}));

    // The window closes itself once, after the last allowed pump.
    w.backend.max_pumps = 7;
    pump_messages(g);
    EXPECT_FALSE(window_closed(g));
    EXPECT_FALSE(w.backend.limit_reached);
    pump_messages(g);
    EXPECT_TRUE(window_closed(g));
    EXPECT_TRUE(w.backend.limit_reached);
    g.window.closed = false;
    pump_messages(g);
    EXPECT_FALSE(window_closed(g)) << "the close comes only once";
    EXPECT_EQ(w.backend.pumps, 8u);
}

TEST(Sound, CuesAndBoxesBecomeTraceLines) {
    testing::TestWorld w;
    Game& g = *w;
    // Without a trace sink the back end keeps the lines.
    play_cue(g, "CLEAR");
    silent_cue(g, "LASER");
    EXPECT_EQ(w.backend.events, std::vector<std::string>{"play CLEAR loop"});

    std::vector<std::string> lines;
    w.backend.trace = [&lines](const std::string& line) { lines.push_back(line); };
    play_cue(g, "THUNDER2");
    play_cue(g, "GAMEOVER");
    play_cue(g, "gameover");
    play_cue(g, "GAMEOVER2");
    silent_cue(g, "LASER");
    stop_cue(g);
    stop_cue(g);
    show_notice(g, "Line \"one\"\nback\\slash");
    const std::vector<std::string> expected = {
        "play THUNDER2 loop", "play GAMEOVER once", "play gameover loop", "play GAMEOVER2 loop", "stop", "stop",
        "box \"Quorvaner\" \"Line \\\"one\\\"\\nback\\\\slash\"",
    };
    EXPECT_EQ(lines, expected);
    EXPECT_EQ(w.backend.events.size(), 1u) << "a trace sink takes every line";
}

}  // namespace
}  // namespace qv
