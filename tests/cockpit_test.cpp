#include "hud/cockpit.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "raster/draw.h"
#include "tests/test_world.h"

namespace qv {
namespace {

struct FarPoints {
    int16_t f1x, f1y, f2x, f2y, f3x, f3y, f4x, f4y;
};

constexpr FarPoints at_rest{-480, -300, 796, -300, -480, 496, 796, 496};

std::string first_difference(const FrameBuffer& actual, const FrameBuffer& expected) {
    for (size_t i = 0; i < actual.size(); ++i) {
        if (actual[i] != expected[i]) {
            return "(" + std::to_string(i % 320) + ", " + std::to_string(i / 320) + ")";
        }
    }
    return "";
}

// The nine frame lines, each in its own endpoint order; then, when asked, the
// motion lines at offset m, each probing its edges from the end the edge was
// drawn from.
FrameBuffer expected_cockpit(const FarPoints& f, int32_t m, bool motion_lines = true) {
    FrameBuffer frame{};
    draw_line(frame, f.f1x, f.f1y, 145, 85, 31);
    draw_line(frame, f.f2x, f.f2y, 175, 85, 31);
    draw_line(frame, f.f3x, f.f3y, 145, 115, 31);
    draw_line(frame, 175, 115, f.f4x, f.f4y, 31);
    draw_line(frame, 145, 85, 145, 115, 31);
    draw_line(frame, 175, 85, 175, 115, 31);
    draw_line(frame, 145, 115, 175, 115, 31);
    draw_line(frame, static_cast<int16_t>(f.f3x + 10), f.f3y, 155, 115, 31);
    draw_line(frame, 165, 115, static_cast<int16_t>(f.f4x - 10), f.f4y, 31);
    for (int32_t k = 0; motion_lines && k < 3; ++k) {
        const auto right = static_cast<int16_t>(175 + m + 50 * k);
        draw_line(frame, right, line_y_at_x(f.f2x, f.f2y, 175, 85, right), right,
                  line_y_at_x(175, 115, f.f4x, f.f4y, right), 31);
    }
    for (int32_t k = 0; motion_lines && k < 3; ++k) {
        const auto left = static_cast<int16_t>(145 - m - 50 * k);
        draw_line(frame, left, line_y_at_x(f.f1x, f.f1y, 145, 85, left), left,
                  line_y_at_x(f.f3x, f.f3y, 145, 115, left), 31);
    }
    return frame;
}

FrameBuffer cockpit_for(int32_t steer_x, int32_t steer_y, int32_t camera_z, int32_t level = 1) {
    testing::TestWorld w;
    Game& g = *w;
    g.state.steer_x = steer_x;
    g.state.steer_y = steer_y;
    g.state.camera_z = camera_z;
    g.state.level = level;
    draw_cockpit(g);
    return g.video.frame;
}

TEST(Cockpit, MotionLinesAtCameraFiveMatchTheWorkedExample) {
    FrameBuffer expected = expected_cockpit(at_rest, 0, false);
    const int16_t lines[6][3] = {{185, 79, 121}, {235, 48, 152}, {285, 17, 182},
                                 {135, 79, 121}, {85, 48, 152},  {35, 17, 182}};
    for (const auto& l : lines) draw_line(expected, l[0], l[1], l[0], l[2], 31);
    EXPECT_EQ(first_difference(cockpit_for(0, 0, 5), expected), "");
}

TEST(Cockpit, FarPointsFollowSteeringAndLinesSlideWithTheCamera) {
    // The x of the far points follows steer_y and their y follows steer_x.
    const FarPoints full{-800, -460, 1116, -140, -160, 336, 476, 336};
    const FarPoints reverse{-160, -140, 476, -460, -800, 656, 1116, 656};
    const FarPoints sideways{-480, -460, 796, -140, -480, 336, 796, 336};
    EXPECT_EQ(first_difference(cockpit_for(20, 20, 0), expected_cockpit(full, 0)), "");
    EXPECT_EQ(first_difference(cockpit_for(-20, -20, 24), expected_cockpit(reverse, 48)), "");
    EXPECT_EQ(first_difference(cockpit_for(20, 0, 3), expected_cockpit(sideways, 6)), "");
    // Two pixels a frame, back by 50 every 25 frames, also on very long runs.
    EXPECT_EQ(first_difference(cockpit_for(0, 0, 26), expected_cockpit(at_rest, 2)), "");
    EXPECT_EQ(first_difference(cockpit_for(0, 0, 2147483647), expected_cockpit(at_rest, 44)), "");
}

TEST(Cockpit, EveryTwentyFiveFramesTheFirstMotionLinesCoverTheRectangleSides) {
    // At m = 0 the lines at 145 and 175 run from 85 to 115 whatever the steering,
    // so those columns hold the frame's own pixels and nothing else.
    const int32_t steering[][2] = {{0, 0}, {20, 20}, {-20, -20}, {20, -20}, {-20, 20}, {-6, 14}};
    for (const auto& s : steering) {
        const FrameBuffer moving = cockpit_for(s[0], s[1], 250);
        const FrameBuffer still = cockpit_for(s[0], s[1], 5);
        for (int32_t x : {145, 175}) {
            for (int32_t y = 60; y <= 116; ++y) {
                const size_t i = static_cast<size_t>(y * 320 + x);
                EXPECT_EQ(moving[i] != 0, y >= 85 && y <= 115) << s[0] << "," << s[1] << " at " << x << "," << y;
                EXPECT_EQ(moving[i], still[i]);
            }
        }
    }
}

TEST(Cockpit, ColourFollowsTheLevelAndRepeatsEveryElevenLevels) {
    const std::pair<int32_t, uint8_t> cases[] = {{1, 31}, {2, 48}, {3, 3}, {11, 40}, {12, 31}, {13, 48}, {23, 31}};
    for (const auto& [level, colour] : cases) {
        const FrameBuffer frame = cockpit_for(0, 0, 5, level);
        EXPECT_EQ(std::set<uint8_t>(frame.begin(), frame.end()), (std::set<uint8_t>{0, colour})) << level;
    }
}

}  // namespace
}  // namespace qv
