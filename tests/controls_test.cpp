// Steering on the edge lines and in the corners; the laser's cycle and the
// steering inside the zones are pinned frame by frame by the golden replays.
#include "game/controls.h"

#include <gtest/gtest.h>

#include <utility>

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

}  // namespace
}  // namespace qv
