#include "game/controls.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "tests/test_world.h"

namespace qv {
namespace {

using testing::TestWorld;

void point_at(Game& g, int32_t x, int32_t y) {
    g.input.pointer.pointer_x = x;
    g.input.pointer.pointer_y = y;
}

TEST(Steering, EdgesMoveTheShipTwoAFrameUpToTheLimits) {
    TestWorld w;
    Game& g = *w;

    // Exactly on the edge lines nothing moves.
    for (const auto& [x, y] : std::vector<std::pair<int32_t, int32_t>>{{20, 100}, {300, 100}, {160, 20}, {160, 180}}) {
        point_at(g, x, y);
        steering_step(g);
    }
    EXPECT_EQ(g.state.steer_x, 0);
    EXPECT_EQ(g.state.steer_y, 0);

    // Left edge: ten frames from 0 to the limit, then it holds.
    point_at(g, 19, 100);
    for (int i = 0; i < 9; ++i) steering_step(g);
    EXPECT_EQ(g.state.steer_x, 18);
    steering_step(g);
    EXPECT_EQ(g.state.steer_x, 20);
    steering_step(g);
    EXPECT_EQ(g.state.steer_x, 20);
    EXPECT_EQ(g.state.steer_y, 0);

    // Away from the edges the offsets stay where they are.
    point_at(g, 160, 100);
    steering_step(g);
    EXPECT_EQ(g.state.steer_x, 20);

    // Pointer beyond the right side of the picture (on the window frame).
    point_at(g, 330, 100);
    for (int i = 0; i < 25; ++i) steering_step(g);
    EXPECT_EQ(g.state.steer_x, -20);

    point_at(g, 160, -5);
    steering_step(g);
    EXPECT_EQ(g.state.steer_y, 2);
    point_at(g, 160, 181);
    for (int i = 0; i < 25; ++i) steering_step(g);
    EXPECT_EQ(g.state.steer_y, -20);
    EXPECT_EQ(g.state.steer_x, -20);
}

TEST(Steering, CornersMoveBothOffsetsInOneFrame) {
    TestWorld w;
    Game& g = *w;
    point_at(g, 0, 0);
    steering_step(g);
    EXPECT_EQ(g.state.steer_x, 2);
    EXPECT_EQ(g.state.steer_y, 2);

    point_at(g, 319, 199);
    steering_step(g);
    steering_step(g);
    EXPECT_EQ(g.state.steer_x, -2);
    EXPECT_EQ(g.state.steer_y, -2);

    // With one offset at its limit the other still moves.
    g.state.steer_x = 20;
    g.state.steer_y = 0;
    point_at(g, 5, 190);
    steering_step(g);
    EXPECT_EQ(g.state.steer_x, 20);
    EXPECT_EQ(g.state.steer_y, -2);
}

// Runs the laser step with the button as given and returns the new firing value.
bool laser_frame(Game& g, bool held) {
    g.input.buttons.left_button = held ? 1 : 0;
    laser_step(g);
    return g.loop.firing;
}

TEST(Laser, HeldButtonCyclesOn240Off119On120) {
    TestWorld w;
    Game& g = *w;

    std::vector<std::pair<bool, int>> runs;  // (firing, frames) in the order seen
    for (int frame = 0; frame < 480; ++frame) {
        const bool on = laser_frame(g, true);
        if (runs.empty() || runs.back().first != on) runs.push_back({on, 0});
        ++runs.back().second;
        if (frame == 240) {
            EXPECT_EQ(g.state.laser_energy, 1);  // drained to 0 and already recovering
            EXPECT_EQ(g.state.laser_overheated, 1);
        }
    }
    ASSERT_EQ(runs.size(), 4u);
    EXPECT_EQ(runs[0], std::make_pair(true, 240));
    EXPECT_EQ(runs[1], std::make_pair(false, 119));
    EXPECT_EQ(runs[2], std::make_pair(true, 120));
    EXPECT_EQ(runs[3], std::make_pair(false, 1));
    EXPECT_EQ(g.state.laser_overheated, 1);
    EXPECT_EQ(g.state.laser_energy, 1);
}

TEST(Laser, ReleasingRecoversAndOverheatIgnoresTheButton) {
    TestWorld w;
    Game& g = *w;

    // Not overheated: passing 120 on the way up changes nothing, and recovery stops at 240.
    g.state.laser_energy = 100;
    for (int i = 0; i < 30; ++i) EXPECT_FALSE(laser_frame(g, false));
    EXPECT_EQ(g.state.laser_energy, 130);
    EXPECT_TRUE(laser_frame(g, true));
    EXPECT_EQ(g.state.laser_energy, 131);  // the drain starts in the next frame
    EXPECT_TRUE(laser_frame(g, true));
    EXPECT_EQ(g.state.laser_energy, 130);
    g.state.laser_energy = 239;
    g.loop.firing = false;
    laser_frame(g, false);
    laser_frame(g, false);
    EXPECT_EQ(g.state.laser_energy, 240);

    // Overheated: the button is ignored until the energy is back at 120.
    g.state.laser_energy = 117;
    g.state.laser_overheated = 1;
    g.loop.firing = false;
    EXPECT_FALSE(laser_frame(g, true));
    EXPECT_FALSE(laser_frame(g, true));
    EXPECT_TRUE(laser_frame(g, true));
    EXPECT_EQ(g.state.laser_energy, 120);
    EXPECT_EQ(g.state.laser_overheated, 0);
}

TEST(Camera, AdvancesOneUnitPerFrame) {
    TestWorld w;
    Game& g = *w;
    g.state.camera_z = 41;
    camera_step(g);
    camera_step(g);
    EXPECT_EQ(g.state.camera_z, 43);
}

}  // namespace
}  // namespace qv
