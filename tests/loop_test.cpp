// The frame's order where the golden replays cannot see it: its pacing, a life
// lost and a level cleared in one frame, and the last frame of a game.
#include "game/loop.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "test_world.h"

namespace qv {
namespace {

using Events = std::vector<std::string>;

// A world in play.
struct Playing : testing::TestWorld {
    Playing() { game->loop.running = true; }
};

TEST(Loop, LifeLossRunsBeforeALevelClearInTheSameFrameWhichThenEndsAtOnce) {
    Playing p;
    Game& g = *p;
    g.state = {.shield = 0, .kills = 100, .camera_z = 10};
    g.loop.firing = true;
    g.window.mouse = LiveMouse{0, 0, 5, 5};  // would steer, and switch the laser off
    run_frame(g);
    EXPECT_EQ(g.state.lives, 2);
    EXPECT_EQ(g.state.level, 2);
    EXPECT_EQ(g.state.camera_z, 10);
    EXPECT_EQ(g.state.steer_x, 0);
    EXPECT_TRUE(g.loop.firing);
    EXPECT_EQ(p.backend.events,
              (Events{"stop", "play THUNDER2 loop", "stop", "play CLEAR loop", "stop", "play THUNDER2 loop"}));
    ASSERT_EQ(p.backgrounds.size(), 105u + 245u);  // the sequences' own presents only
    EXPECT_EQ(p.backgrounds[1], 0x7FE0);
    EXPECT_EQ(p.backgrounds[106], 0x7C1F);
    // Each flashing frame sleeps 13 ms before its present; the frame that
    // cleared the level then ends with no sleep of its own.
    for (size_t k = 0; k < p.clock.size(); ++k) ASSERT_EQ(p.clock[k], 13 * (k + 1)) << "present " << k + 1;
    EXPECT_EQ(p.backend.slept_ms, 13u * 350u);
    EXPECT_EQ(p.backend.sleeps, 350u);
    EXPECT_EQ(p.backend.pumps, 350u);
}

TEST(Loop, AFrameOfPlayPresentsThenPumpsThenSleeps) {
    Playing p;
    p.backend.script = {{2, 7, 9, 0, 0}};
    for (int i = 0; i < 3; ++i) run_frame(*p);
    EXPECT_EQ(p.clock, (std::vector<uint64_t>{0, 13, 26}));
    EXPECT_EQ(p.backend.slept_ms, 39u);
    EXPECT_EQ(p.backend.sleeps, 3u);
    // The pump came before the sleep and the next frame reads what it left.
    EXPECT_EQ(std::pair(p->input.pointer.pointer_x, p->input.pointer.pointer_y), std::pair(7, 9));
}

TEST(Loop, GameOverFrameRunsToItsEndAndTheBoxShowsTheScore) {
    Playing p;
    Game& g = *p;
    g.state = {.lives = 0, .shield = 0, .kills = 7};
    // Left over from before the loop, which starts without them.
    g.loop.flash_pending = true;
    g.loop.beam_phase = true;
    g.video.active_palette[0] = 0x1234;
    g.window.mouse = LiveMouse{1, 0, 5, 195};
    game_loop(g);
    EXPECT_EQ(g.state.game_over, 1);
    EXPECT_EQ(std::pair(g.state.steer_x, g.state.steer_y), std::pair(2, -2));
    EXPECT_TRUE(g.loop.firing);
    EXPECT_EQ(g.state.camera_z, 1);
    EXPECT_EQ(p.backgrounds, (std::vector<uint16_t>{0x1234}));
    EXPECT_EQ(p.backend.sleeps, 1u);
    EXPECT_FALSE(g.loop.beam_phase);
    end_game(g);
    const std::string text = "You've been Quorvaned! Your final score was 700";
    EXPECT_EQ(p.backend.events, (Events{"stop", "play GAMEOVER once", "box \"GAME OVER\" \"" + text + "\""}));
}

}  // namespace
}  // namespace qv
