#include "hud/cockpit.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "raster/draw.h"
#include "tests/test_world.h"

namespace qv {
namespace {

struct FarPoints {
    int16_t f1x, f1y, f2x, f2y, f3x, f3y, f4x, f4y;
};

constexpr FarPoints at_rest{-480, -300, 796, -300, -480, 496, 796, 496};

// The index of the first pixel where two pictures differ, or -1.
long first_difference(const FrameBuffer& actual, const FrameBuffer& expected) {
    const auto diff = std::mismatch(actual.begin(), actual.end(), expected.begin()).first;
    return diff == actual.end() ? -1 : diff - actual.begin();
}

// The nine frame lines, each in its own endpoint order; then, when asked, the
// motion lines at offset m (0 at every multiple of 25 frames), each probing its edges from the end the edge was
// drawn from.
FrameBuffer expected_cockpit(const FarPoints& f, int32_t m, bool motion_lines = true) {
    FrameBuffer frame{};
    const int16_t ends[9][4] = {{f.f1x, f.f1y, 145, 85},   {f.f2x, f.f2y, 175, 85},   {f.f3x, f.f3y, 145, 115},
                                {175, 115, f.f4x, f.f4y},   {145, 85, 145, 115},       {175, 85, 175, 115},
                                {145, 115, 175, 115},       {static_cast<int16_t>(f.f3x + 10), f.f3y, 155, 115},
                                {165, 115, static_cast<int16_t>(f.f4x - 10), f.f4y}};
    for (const auto& e : ends) draw_line(frame, e[0], e[1], e[2], e[3], 31);
    for (int32_t k = 0; motion_lines && k < 3; ++k) {
        const auto r = static_cast<int16_t>(175 + m + 50 * k);
        const auto l = static_cast<int16_t>(145 - m - 50 * k);
        draw_line(frame, r, line_y_at_x(f.f2x, f.f2y, 175, 85, r), r, line_y_at_x(175, 115, f.f4x, f.f4y, r), 31);
        draw_line(frame, l, line_y_at_x(f.f1x, f.f1y, 145, 85, l), l, line_y_at_x(f.f3x, f.f3y, 145, 115, l), 31);
    }
    return frame;
}

FrameBuffer cockpit_for(int32_t steer_x, int32_t steer_y, int32_t camera_z, int32_t level = 1) {
    testing::TestWorld w;
    w->state = {.level = level, .camera_z = camera_z, .steer_x = steer_x, .steer_y = steer_y};
    draw_cockpit(*w);
    return w->video.frame;
}

TEST(Cockpit, FarPointsFollowSteeringAndMotionLinesSlideTwoAFrameBackByFiftyEveryTwentyFive) {
    FrameBuffer worked = expected_cockpit(at_rest, 0, false);  // camera_z 5, at rest
    const int16_t lines[6][3] = {{185, 79, 121}, {235, 48, 152}, {285, 17, 182},
                                 {135, 79, 121}, {85, 48, 152},  {35, 17, 182}};
    for (const auto& l : lines) draw_line(worked, l[0], l[1], l[0], l[2], 31);
    EXPECT_EQ(first_difference(cockpit_for(0, 0, 5), worked), -1);
    // The x of the far points follows steer_y and their y follows steer_x.
    const FarPoints full{-800, -460, 1116, -140, -160, 336, 476, 336};
    const FarPoints reverse{-160, -140, 476, -460, -800, 656, 1116, 656};
    const FarPoints sideways{-480, -460, 796, -140, -480, 336, 796, 336};
    const struct {
        int32_t steer_x, steer_y, camera_z;
        const FarPoints& far;
        int32_t m;
    } cases[] = {{20, 20, 0, full, 0},      {-20, -20, 24, reverse, 48}, {20, 0, 3, sideways, 6},
                 {0, 0, 26, at_rest, 2},    {20, 20, 250, full, 0},      {-20, -20, 500, reverse, 0},
                 {0, 0, 2147483647, at_rest, 44}};
    for (const auto& c : cases) {
        EXPECT_EQ(first_difference(cockpit_for(c.steer_x, c.steer_y, c.camera_z), expected_cockpit(c.far, c.m)), -1)
            << c.steer_x << "," << c.steer_y << " at camera " << c.camera_z;
    }
}

TEST(Cockpit, ColourFollowsTheLevelAndRepeatsEveryElevenLevels) {
    for (const auto& [level, colour] : {std::pair{1, 31}, {2, 48}, {3, 3}, {11, 40}, {12, 31}, {13, 48}, {23, 31}}) {
        const FrameBuffer frame = cockpit_for(0, 0, 5, level);
        EXPECT_EQ(std::set<int>(frame.begin(), frame.end()), (std::set<int>{0, colour})) << level;
    }
}

}  // namespace
}  // namespace qv
