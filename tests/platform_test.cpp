// Presentation, paints, the window's message handling, mouse input and sound
// cues, driven through the headless back end.
#include <gtest/gtest.h>

#include <algorithm>
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

bool all_equal(const std::vector<uint16_t>& pixels, uint16_t value) {
    return std::all_of(pixels.begin(), pixels.end(), [value](uint16_t p) { return p == value; });
}

template <size_t N>
bool all_equal(const std::array<uint16_t, N>& pixels, uint16_t value) {
    return std::all_of(pixels.begin(), pixels.end(), [value](uint16_t p) { return p == value; });
}

bool frame_clear(const FrameBuffer& frame) {
    return std::all_of(frame.begin(), frame.end(), [](uint8_t b) { return b == 0; });
}

// A bare game on a headless back end, before start-up.
struct BareWorld {
    BackEnd backend;
    std::unique_ptr<Game> game = std::make_unique<Game>();
    BareWorld() { game->window.backend = &backend; }
};

TEST(Palette, DefaultHoldsElevenColoursAndTouchesNothingElse) {
    Video video;
    video.default_palette.fill(0x1111);
    set_default_palette(video);
    const std::vector<std::pair<int, uint16_t>> named = {
        {1, 0x0010},  {12, 0x5108}, {15, 0xFFFF}, {31, 0xFFFF}, {32, 0x001F}, {36, 0x7C1F},
        {40, 0x7C00}, {44, 0x7FE0}, {48, 0x03E0}, {51, 0x03FF}, {52, 0x03FF},
    };
    for (const auto& [index, colour] : named) EXPECT_EQ(video.default_palette[index], colour) << "entry " << index;
    int untouched = 0;
    for (uint16_t entry : video.default_palette) untouched += entry == 0x1111 ? 1 : 0;
    EXPECT_EQ(untouched, 256 - 11);
    EXPECT_TRUE(all_equal(video.active_palette, 0));
}

TEST(InitVideo, OpensWindowClearsFrameAndCopiesPalette) {
    BareWorld w;
    Game& g = *w.game;
    g.video.frame.fill(7);
    init_video(g, 0x13);

    EXPECT_TRUE(frame_clear(g.video.frame));
    EXPECT_EQ(g.video.active_palette, g.video.default_palette);
    int coloured = 0;
    for (uint16_t entry : g.video.active_palette) coloured += entry != 0 ? 1 : 0;
    EXPECT_EQ(coloured, 11);
    EXPECT_EQ(g.video.active_palette[44], 0x7FE0);

    EXPECT_TRUE(g.window.exists);
    EXPECT_TRUE(w.backend.window_open);
    EXPECT_EQ(g.video.surface.width, 320);
    EXPECT_EQ(g.video.surface.height, 200);
    EXPECT_EQ(g.video.surface.depth, 16);
}

TEST(Paint, FirstPaintWhileCreatingCopiesAndClearsNothing) {
    BareWorld w;
    Game& g = *w.game;
    g.video.surface.pixels.fill(0x1234);
    init_video(g, 0x13);

    EXPECT_EQ(w.backend.paints, 1u);
    ASSERT_EQ(w.backend.shown.size(), static_cast<size_t>(screen_pixels));
    EXPECT_TRUE(all_equal(w.backend.shown, 0));
    EXPECT_TRUE(all_equal(g.video.surface.pixels, 0x1234));
}

TEST(Present, ConvertsThroughActivePaletteAndClearsFrame) {
    testing::TestWorld w;
    Game& g = *w;
    g.video.active_palette[0] = 0x7FE0;  // yellow background
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
    EXPECT_EQ(seen[at(6, 3)], 0x7FE0);
    EXPECT_EQ(std::count(seen.begin(), seen.end(), uint16_t{0x7FE0}), screen_pixels - 3);
    EXPECT_TRUE(frame_clear(g.video.frame));

    // A palette change shows only from the next present on.
    g.video.active_palette[0] = 0x0010;
    EXPECT_EQ(g.video.surface.pixels[at(6, 3)], 0x7FE0);
    present_frame(g);
    EXPECT_TRUE(all_equal(seen, 0x0010));
}

TEST(Paint, PumpShowsPresentedPictureThenSecondPaintIsBlack) {
    BareWorld w;
    Game& g = *w.game;
    init_video(g, 0x13);
    g.video.frame[at(10, 20)] = 44;
    present_frame(g);
    EXPECT_EQ(w.backend.paints, 1u) << "nothing is shown before the pump";
    pump_messages(g);

    EXPECT_EQ(w.backend.paints, 2u);
    EXPECT_EQ(w.backend.shown[at(10, 20)], 0x7FE0);
    EXPECT_EQ(w.backend.shown[at(11, 20)], 0x0000);
    EXPECT_TRUE(all_equal(g.video.surface.pixels, 0)) << "the paint blanks the surface";

    pump_messages(g);
    EXPECT_EQ(w.backend.paints, 2u) << "no present, no paint";
    window_proc(g, WindowMessage::Paint);
    EXPECT_EQ(w.backend.paints, 3u);
    EXPECT_TRUE(all_equal(w.backend.shown, 0));
}

TEST(Window, RepaintsOnlyWhileWindowExists) {
    BareWorld w;
    Game& g = *w.game;
    present_frame(g);
    EXPECT_EQ(w.backend.repaints, 0u);
    init_video(g, 0x13);
    present_frame(g);
    EXPECT_EQ(w.backend.repaints, 1u);
    destroy_display_window(g);
    EXPECT_FALSE(g.window.exists);
    EXPECT_FALSE(w.backend.window_open);
    present_frame(g);
    EXPECT_EQ(w.backend.repaints, 1u);
}

TEST(Input, BeforeWindowExistsReadsZerosButPumpAndSleepStillCount) {
    BareWorld w;
    Game& g = *w.game;
    w.backend.script.push_back({1, 50, 60, 1, 1});
    g.window.input_reader = read_input;
    pump_messages(g);
    wait_frame(g);
    call_input_reader(g);
    EXPECT_EQ(w.backend.pumps, 1u);
    EXPECT_EQ(w.backend.sleeps, 1u);
    EXPECT_EQ(g.input.pointer.pointer_x, 0);
    EXPECT_EQ(g.input.pointer.pointer_y, 0);
    EXPECT_EQ(g.input.buttons.left_button, 0);
    EXPECT_EQ(g.input.buttons.right_button, 0);

    init_video(g, 0x13);
    pump_messages(g);
    call_input_reader(g);
    EXPECT_EQ(g.input.pointer.pointer_x, 50);
    EXPECT_EQ(g.input.pointer.pointer_y, 60);
    EXPECT_EQ(g.input.buttons.left_button, 1);
    EXPECT_EQ(g.input.buttons.right_button, 1);
}

TEST(Input, ScriptIsKeyedToPumpCount) {
    testing::TestWorld w;
    Game& g = *w;
    init_video(g, 0x13);
    w.backend.script = {{3, 10, -5, 1, 0}, {5, 400, 250, 0, 1}};

    pump_messages(g);
    pump_messages(g);
    read_input(g.window.mouse, g.input.pointer, g.input.buttons);
    EXPECT_EQ(g.input.pointer.pointer_x, 0);
    EXPECT_EQ(g.input.buttons.left_button, 0);

    pump_messages(g);  // 3
    read_input(g.window.mouse, g.input.pointer, g.input.buttons);
    EXPECT_EQ(g.input.pointer.pointer_x, 10);
    EXPECT_EQ(g.input.pointer.pointer_y, -5) << "positions off the picture pass unchanged";
    EXPECT_EQ(g.input.buttons.left_button, 1);
    EXPECT_EQ(g.input.buttons.right_button, 0);
    EXPECT_EQ(g.input.buttons.unused[0], 0);
    EXPECT_EQ(g.input.buttons.unused[1], 0);

    pump_messages(g);  // 4: the button stays held
    EXPECT_EQ(g.window.mouse.mouse_left_down, 1);

    pump_messages(g);  // 5
    InputState first;
    InputState second;
    read_input(g.window.mouse, first.pointer, first.buttons);
    read_input(g.window.mouse, second.pointer, second.buttons);
    EXPECT_EQ(first.pointer.pointer_x, 400);
    EXPECT_EQ(first.pointer.pointer_y, 250);
    EXPECT_EQ(first.buttons.left_button, 0);
    EXPECT_EQ(first.buttons.right_button, 1);
    EXPECT_EQ(second.pointer.pointer_x, first.pointer.pointer_x);
    EXPECT_EQ(second.buttons.right_button, first.buttons.right_button);
}

TEST(Input, PressAndReleaseBetweenPumpsLeaveZero) {
    testing::TestWorld w;
    Game& g = *w;
    init_video(g, 0x13);
    window_proc(g, WindowMessage::LeftButtonDown);
    window_proc(g, WindowMessage::LeftButtonUp);
    window_proc(g, WindowMessage::RightButtonDown);
    window_proc(g, WindowMessage::Other);
    pump_messages(g);
    call_input_reader(g);
    EXPECT_EQ(g.input.buttons.left_button, 0);
    EXPECT_EQ(g.input.buttons.right_button, 1) << "a press with no release stays held";
    window_proc(g, WindowMessage::RightButtonUp);
    EXPECT_EQ(g.window.mouse.mouse_right_down, 0);
    EXPECT_FALSE(window_closed(g));
}

TEST(Window, ClosesOnceAfterTheLastAllowedPump) {
    testing::TestWorld w;
    Game& g = *w;
    init_video(g, 0x13);
    w.backend.max_pumps = 3;
    pump_messages(g);
    pump_messages(g);
    EXPECT_FALSE(window_closed(g));
    EXPECT_FALSE(w.backend.limit_reached);
    pump_messages(g);
    EXPECT_TRUE(window_closed(g));
    EXPECT_TRUE(w.backend.limit_reached);

    g.window.closed = false;
    pump_messages(g);
    EXPECT_FALSE(window_closed(g)) << "the close comes only once";
    EXPECT_EQ(w.backend.pumps, 4u);
}

TEST(Window, NoticeAndTicksGoToTheBackEnd) {
    testing::TestWorld w;
    Game& g = *w;
    w.backend.ticks = 4294967295u;
    EXPECT_EQ(platform_ticks(w.backend), 4294967295u);
    show_notice(g, "Line \"one\"\nback\\slash");
    ASSERT_EQ(w.backend.events.size(), 1u);
    EXPECT_EQ(w.backend.events[0], "box \"Quorvaner\" \"Line \\\"one\\\"\\nback\\\\slash\"");
    wait_frame(g);
    wait_frame(g);
    EXPECT_EQ(w.backend.sleeps, 2u);
}

TEST(Sound, CuesBecomeTraceLines) {
    testing::TestWorld w;
    Game& g = *w;
    std::vector<std::string> lines;
    w.backend.trace = [&lines](const std::string& line) { lines.push_back(line); };

    play_cue(g, "THUNDER2");
    play_cue(g, "GAMEOVER");
    play_cue(g, "gameover");
    play_cue(g, "GAMEOVER2");
    silent_cue(g, "LASER");
    stop_cue(g);
    stop_cue(g);

    const std::vector<std::string> expected = {
        "play THUNDER2 loop", "play GAMEOVER once", "play gameover loop", "play GAMEOVER2 loop", "stop", "stop",
    };
    EXPECT_EQ(lines, expected);
    EXPECT_TRUE(w.backend.events.empty()) << "a trace sink takes every line";
}

TEST(Sound, WithoutTraceSinkLinesAreKept) {
    testing::TestWorld w;
    Game& g = *w;
    play_cue(g, "CLEAR");
    silent_cue(g, "LASER");
    const std::vector<std::string> expected = {"play CLEAR loop"};
    EXPECT_EQ(w.backend.events, expected);
}

}  // namespace
}  // namespace qv
