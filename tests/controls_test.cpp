#include "game/controls.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace qv {
namespace {

TEST(Controls, SteeringMovesTwoAFrameNearTheEdgesUpToTwentyAndCornersMoveBoth) {
    GameState s;
    // The pointer, the frames it is held there, and the steering after them.
    const int32_t moves[][5] = {
        {20, 100, 1, 0, 0},     {300, 100, 1, 0, 0}, {160, 20, 1, 0, 0},  // edge lines do not steer
        {160, 180, 1, 0, 0},    {19, 100, 9, 18, 0}, {19, 100, 2, 20, 0},
        {160, 100, 1, 20, 0},  // no drift back to the centre
        {330, 100, 25, -20, 0}, {0, 0, 1, -18, 2},   {319, 199, 25, -20, -20}};
    for (const auto& [x, y, frames, steer_x, steer_y] : moves) {
        for (int i = 0; i < frames; ++i) steering_step(s, PointerBlock{x, y});
        EXPECT_EQ(std::pair(s.steer_x, s.steer_y), std::pair(steer_x, steer_y)) << x << "," << y;
    }
}

// The laser's state, and one step with the button held or not; true when the
// laser fires after it.
struct Laser {
    GameState state;
    bool firing = false;
    bool frame(bool held) {
        laser_step(state, firing, ButtonBlock{.left_button = static_cast<uint8_t>(held ? 1 : 0)});
        return firing;
    }
};

TEST(Controls, LaserHeldCyclesOn240Off119On120) {
    Laser w;
    std::vector<std::pair<bool, int>> runs;  // (firing, frames)
    for (int frame = 0; frame < 480; ++frame) {
        const bool on = w.frame(true);
        if (runs.empty() || runs.back().first != on) runs.push_back({on, 0});
        ++runs.back().second;
        EXPECT_TRUE(frame != 240 || w.state.laser_energy == 1);  // ran out and already recovering
    }
    EXPECT_EQ(runs, (std::vector<std::pair<bool, int>>{{true, 240}, {false, 119}, {true, 120}, {false, 1}}));
}

TEST(Controls, LaserRecoversOneAFrameWhenReleasedUpToFull) {
    Laser g;
    g.state.laser_energy = 100;
    for (int i = 0; i < 30; ++i) g.frame(false);
    EXPECT_EQ(g.state.laser_energy, 130);  // passing 120 changes nothing when not overheated
    EXPECT_TRUE(g.frame(true));
    EXPECT_EQ(g.state.laser_energy, 131);  // the drain starts in the next frame
    g.state.laser_energy = 239;
    for (int i = 0; i < 4; ++i) g.frame(false);  // one drain, then 239, 240 and no further
    EXPECT_EQ(g.state.laser_energy, 240);
}

}  // namespace
}  // namespace qv
