#include "game/controls.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "tests/test_world.h"

namespace qv {
namespace {

// Steps with the pointer at (x, y) `frames` times.
void steer(Game& g, int32_t x, int32_t y, int frames = 1) {
    g.input.pointer = PointerBlock{x, y};
    for (int i = 0; i < frames; ++i) steering_step(g);
}

TEST(Controls, SteeringMovesTwoAFrameAtTheEdgesUpToTwenty) {
    testing::TestWorld w;
    Game& g = *w;
    for (const auto& [x, y] : {std::pair{20, 100}, {300, 100}, {160, 20}, {160, 180}}) steer(g, x, y);
    EXPECT_EQ(g.state.steer_x, 0);  // the edge lines themselves do not steer
    EXPECT_EQ(g.state.steer_y, 0);
    steer(g, 19, 100, 9);
    EXPECT_EQ(g.state.steer_x, 18);
    steer(g, 19, 100, 2);
    EXPECT_EQ(g.state.steer_x, 20);
    steer(g, 160, 100);
    EXPECT_EQ(g.state.steer_x, 20);  // no drift back to the centre
    steer(g, 330, 100, 25);
    EXPECT_EQ(g.state.steer_x, -20);
    steer(g, 0, 0);  // a corner moves both
    EXPECT_EQ(g.state.steer_x, -18);
    EXPECT_EQ(g.state.steer_y, 2);
    steer(g, 319, 199, 25);
    EXPECT_EQ(g.state.steer_x, -20);
    EXPECT_EQ(g.state.steer_y, -20);
}

bool laser_frame(Game& g, bool held) {
    g.input.buttons.left_button = held ? 1 : 0;
    laser_step(g);
    return g.loop.firing;
}

TEST(Controls, LaserHeldCyclesOn240Off119On120) {
    testing::TestWorld w;
    Game& g = *w;
    std::vector<std::pair<bool, int>> runs;  // (firing, frames)
    for (int frame = 0; frame < 480; ++frame) {
        const bool on = laser_frame(g, true);
        if (runs.empty() || runs.back().first != on) runs.push_back({on, 0});
        ++runs.back().second;
        if (frame == 240) {
            EXPECT_EQ(g.state.laser_energy, 1);  // ran out and already recovering
        }
    }
    const std::vector<std::pair<bool, int>> expected = {{true, 240}, {false, 119}, {true, 120}, {false, 1}};
    EXPECT_EQ(runs, expected);
}

TEST(Controls, LaserRecoversWhenReleasedAndIgnoresTheButtonWhileOverheated) {
    testing::TestWorld w;
    Game& g = *w;
    g.state.laser_energy = 100;
    for (int i = 0; i < 30; ++i) laser_frame(g, false);
    EXPECT_EQ(g.state.laser_energy, 130);  // passing 120 changes nothing when not overheated
    EXPECT_TRUE(laser_frame(g, true));
    EXPECT_EQ(g.state.laser_energy, 131);  // the drain starts in the next frame
    g.state.laser_energy = 239;
    laser_frame(g, false);
    laser_frame(g, false);
    laser_frame(g, false);
    EXPECT_EQ(g.state.laser_energy, 240);

    g.state.laser_energy = 118;
    g.state.laser_overheated = 1;
    EXPECT_FALSE(laser_frame(g, true));
    EXPECT_TRUE(laser_frame(g, true));
    EXPECT_EQ(g.state.laser_overheated, 0);

    camera_step(g);
    EXPECT_EQ(g.state.camera_z, 1);
}

}  // namespace
}  // namespace qv
