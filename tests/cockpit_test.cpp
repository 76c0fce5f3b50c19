// The cockpit frame: its colour by level and its motion lines, checked against
// columns worked out by hand. The steered frames are covered pixel for pixel by
// the golden replays.
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

bool lit(const FrameBuffer& frame, int x, int y) { return frame[static_cast<size_t>(y * screen_width + x)] != 0; }

TEST(Cockpit, MotionLinesRunBetweenTheFrameEdgesAndSlideTwoAFrameBackByFiftyEveryTwentyFive) {
    // At rest, five frames in: offset 10, so the lines stand at 185, 235 and 285
    // and mirrored at 135, 85 and 35, each from the upper edge to the lower one.
    const FrameBuffer frame = cockpit(5);
    const int lines[][3] = {{185, 79, 121}, {235, 48, 152}, {285, 17, 182},
                            {135, 79, 121}, {85, 48, 152},  {35, 17, 182}};
    for (const auto& [x, top, bottom] : lines) {
        SCOPED_TRACE(x);
        for (int y = top; y <= bottom; ++y) EXPECT_TRUE(lit(frame, x, y)) << y;
        EXPECT_FALSE(lit(frame, x, top - 1));
        EXPECT_FALSE(lit(frame, x, bottom + 1));
        EXPECT_FALSE(lit(frame, x + 2, (top + bottom) / 2)) << "a line stands in one column";
    }
    EXPECT_FALSE(lit(cockpit(4), 185, 100)) << "one frame earlier the line is two columns in";
    EXPECT_TRUE(lit(cockpit(4), 183, 100));

    EXPECT_EQ(cockpit(30), frame);
    EXPECT_EQ(cockpit(5 + 25 * 4000), frame);
    EXPECT_EQ(cockpit(INT_MAX), cockpit(INT_MAX % 25)) << "a very long flight must not overflow the offset";
}

TEST(Cockpit, ColourFollowsTheLevelAndRepeatsEveryElevenLevels) {
    for (const auto& [level, colour] : {std::pair{1, 31}, {2, 48}, {3, 3}, {11, 40}, {12, 31}, {13, 48}, {23, 31}}) {
        const FrameBuffer frame = cockpit(5, level);
        EXPECT_EQ(std::set<int>(frame.begin(), frame.end()), (std::set<int>{0, colour})) << level;
    }
}

}  // namespace
}  // namespace qv
