#include "game/controls.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "tests/test_world.h"

namespace qv {
namespace {

TEST(Controls, SteeringMovesTwoAFrameNearTheEdgesUpToTwentyAndCornersMoveBoth) {
    testing::TestWorld w;
    Game& g = *w;
    // The pointer, the frames it is held there, and the steering after them.
    const int32_t moves[][5] = {{20, 100, 1, 0, 0},  {300, 100, 1, 0, 0}, {160, 20, 1, 0, 0},  // edge lines do not steer
                                {160, 180, 1, 0, 0}, {19, 100, 9, 18, 0}, {19, 100, 2, 20, 0},
                                {160, 100, 1, 20, 0},  // no drift back to the centre
                                {330, 100, 25, -20, 0}, {0, 0, 1, -18, 2}, {319, 199, 25, -20, -20}};
    for (const auto& [x, y, frames, steer_x, steer_y] : moves) {
        g.input.pointer = PointerBlock{x, y};
        for (int i = 0; i < frames; ++i) steering_step(g);
        EXPECT_EQ(std::pair(g.state.steer_x, g.state.steer_y), std::pair(steer_x, steer_y)) << x << "," << y;
    }
}

// One laser step with the button held or not; true when the laser fires after it.
bool laser_frame(Game& g, bool held) {
    g.input.buttons.left_button = held ? 1 : 0;
    laser_step(g);
    return g.loop.firing;
}

TEST(Controls, LaserHeldCyclesOn240Off119On120) {
    testing::TestWorld w;
    std::vector<std::pair<bool, int>> runs;  // (firing, frames)
    for (int frame = 0; frame < 480; ++frame) {
        const bool on = laser_frame(*w, true);
        if (runs.empty() || runs.back().first != on) runs.push_back({on, 0});
        ++runs.back().second;
        EXPECT_TRUE(frame != 240 || w->state.laser_energy == 1);  // ran out and already recovering
    }
    EXPECT_EQ(runs, (std::vector<std::pair<bool, int>>{{true, 240}, {false, 119}, {true, 120}, {false, 1}}));
}

TEST(Controls, LaserRecoversOneAFrameWhenReleasedUpToFull) {
    testing::TestWorld w;
    Game& g = *w;
    g.state.laser_energy = 100;
    for (int i = 0; i < 30; ++i) laser_frame(g, false);
    EXPECT_EQ(g.state.laser_energy, 130);  // passing 120 changes nothing when not overheated
    EXPECT_TRUE(laser_frame(g, true));
    EXPECT_EQ(g.state.laser_energy, 131);  // the drain starts in the next frame
    g.state.laser_energy = 239;
    for (int i = 0; i < 4; ++i) laser_frame(g, false);  // one drain, then 239, 240 and no further
    EXPECT_EQ(g.state.laser_energy, 240);
}

}  // namespace
}  // namespace qv
