// The cockpit frame past what the golden replays reach, which pin its lines
// pixel for pixel: levels beyond the colour table and very long flights.
#include "hud/cockpit.h"

#include <gtest/gtest.h>

#include <climits>
#include <set>

namespace qv {
namespace {

FrameBuffer cockpit(int32_t camera_z, int32_t level = 1) {
    FrameBuffer frame{};
    draw_cockpit(frame, {.level = level, .camera_z = camera_z});
    return frame;
}

TEST(Cockpit, MotionLinesRepeatEveryTwentyFiveFramesEvenOnAVeryLongFlight) {
    EXPECT_EQ(cockpit(5 + 25 * 4000), cockpit(5));
    EXPECT_EQ(cockpit(INT_MAX), cockpit(INT_MAX % 25)) << "the offset must not overflow";
}

TEST(Cockpit, ColourFollowsTheLevelAndRepeatsEveryElevenLevels) {
    for (const auto& [level, colour] : {std::pair{1, 31}, {2, 48}, {3, 3}, {11, 40}, {12, 31}, {13, 48}, {23, 31}}) {
        const FrameBuffer frame = cockpit(5, level);
        EXPECT_EQ(std::set<int>(frame.begin(), frame.end()), (std::set<int>{0, colour})) << level;
    }
}

}  // namespace
}  // namespace qv
