#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <set>
#include <utility>
#include <vector>

#include "platform/frame.h"
#include "raster/draw.h"

namespace {

using qv::FrameBuffer;
using Point = std::pair<int, int>;

std::set<Point> lit_points(const FrameBuffer& frame) {
    std::set<Point> lit;
    for (int y = 0; y < qv::screen_height; ++y) {
        for (int x = 0; x < qv::screen_width; ++x) {
            if (frame[static_cast<std::size_t>(y * qv::screen_width + x)] != 0) lit.insert({x, y});
        }
    }
    return lit;
}

std::set<Point> drawn(int x1, int y1, int x2, int y2) {
    FrameBuffer frame{};
    qv::draw_line(frame, static_cast<int16_t>(x1), static_cast<int16_t>(y1), static_cast<int16_t>(x2),
                  static_cast<int16_t>(y2), 31);
    return lit_points(frame);
}

int probe(int x1, int y1, int x2, int y2, int target) {
    return qv::line_y_at_x(static_cast<int16_t>(x1), static_cast<int16_t>(y1), static_cast<int16_t>(x2),
                           static_cast<int16_t>(y2), static_cast<int16_t>(target));
}

TEST(PutPixel, WritesInsideAndDropsEverythingOutside) {
    FrameBuffer frame{};
    qv::put_pixel(frame, 319, 199, 7);
    EXPECT_EQ(frame[63999], 7);

    qv::put_pixel(frame, 0, 0, 9);
    EXPECT_EQ(frame[0], 9);

    FrameBuffer before = frame;
    qv::put_pixel(frame, 320, 0, 5);
    qv::put_pixel(frame, 0, 200, 5);
    qv::put_pixel(frame, static_cast<uint16_t>(-1), 10, 5);  // arrives as 65535
    qv::put_pixel(frame, 10, static_cast<uint16_t>(-1), 5);
    qv::put_pixel(frame, 65535, 65535, 5);
    EXPECT_EQ(frame, before);
}

TEST(DrawLine, WorkedExamplesLightExactlyTheirPoints) {
    EXPECT_EQ(drawn(0, 0, 5, 2), (std::set<Point>{{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 2}, {5, 2}}));
    EXPECT_EQ(drawn(0, 0, 10, 3), (std::set<Point>{{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 1}, {5, 2}, {6, 2}, {7, 2},
                                                   {8, 2}, {9, 3}, {10, 3}}));
    EXPECT_EQ(drawn(0, 0, 2, 5), (std::set<Point>{{0, 0}, {0, 1}, {1, 2}, {1, 3}, {2, 4}, {2, 5}}));
    EXPECT_EQ(drawn(0, 0, 4, 4), (std::set<Point>{{0, 0}, {1, 1}, {2, 2}, {3, 3}, {4, 4}}));
    EXPECT_EQ(drawn(3, 3, 3, 3), (std::set<Point>{{3, 3}}));
    // Vertical and horizontal lines in the negative directions.
    EXPECT_EQ(drawn(7, 9, 7, 6), (std::set<Point>{{7, 6}, {7, 7}, {7, 8}, {7, 9}}));
    EXPECT_EQ(drawn(9, 2, 6, 2), (std::set<Point>{{6, 2}, {7, 2}, {8, 2}, {9, 2}}));
}

TEST(DrawLine, DirectionDecidesWhichPixelsLight) {
    const std::set<Point> forward = drawn(0, 0, 4, 1);
    const std::set<Point> backward = drawn(4, 1, 0, 0);
    EXPECT_EQ(forward, (std::set<Point>{{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 1}}));
    EXPECT_EQ(backward, (std::set<Point>{{4, 1}, {3, 1}, {2, 0}, {1, 0}, {0, 0}}));
    EXPECT_NE(forward, backward);

    // The steep example walked from its other end: the error reaches the major
    // length on the second step, so the column changes one row earlier.
    EXPECT_EQ(drawn(2, 5, 0, 0), (std::set<Point>{{2, 5}, {2, 4}, {1, 3}, {1, 2}, {0, 1}, {0, 0}}));
}

TEST(DrawLine, ClipsPixelByPixel) {
    FrameBuffer frame{};
    qv::draw_line(frame, -10, 5, 330, 5, 12);
    for (int y = 0; y < qv::screen_height; ++y) {
        for (int x = 0; x < qv::screen_width; ++x) {
            EXPECT_EQ(frame[static_cast<std::size_t>(y * qv::screen_width + x)], y == 5 ? 12 : 0) << x << "," << y;
        }
    }

    // Lines that never touch the picture change nothing, however they slant.
    EXPECT_TRUE(drawn(-50, -50, -10, -5).empty());
    EXPECT_TRUE(drawn(400, 10, 500, 300).empty());
    EXPECT_TRUE(drawn(330, -20, 600, 250).empty());
    EXPECT_TRUE(drawn(-300, 250, 900, 210).empty());

    // A line starting off screen lights the same pixels as its on-screen part
    // would if the whole line were in view: the walk is not restarted at the
    // edge. Shifting both ends by (40, 30) shifts every lit pixel the same way.
    const std::set<Point> clipped = drawn(-300, -100, 500, 250);
    const std::set<Point> shifted = drawn(-260, -70, 540, 280);
    std::set<Point> moved;
    for (const auto& [x, y] : clipped) {
        if (x + 40 < qv::screen_width && y + 30 < qv::screen_height) moved.insert({x + 40, y + 30});
    }
    std::set<Point> shifted_in_overlap;
    for (const auto& [x, y] : shifted) {
        if (x >= 40 && y >= 30) shifted_in_overlap.insert({x, y});
    }
    EXPECT_FALSE(moved.empty());
    EXPECT_EQ(moved, shifted_in_overlap);
}

TEST(LineProbe, FollowsTheWalkAndTakesTheFirstMatch) {
    EXPECT_EQ(probe(175, 115, 500, 300, 175), 115);  // the first point counts
    EXPECT_EQ(probe(0, 0, 2, 5, 1), 2);              // (1,2) comes before (1,3)
    EXPECT_EQ(probe(2, 5, 0, 0, 1), 3);              // walked the other way, (1,3) comes first
    EXPECT_EQ(probe(0, 0, 2, 5, 0), 0);
    EXPECT_EQ(probe(0, 0, 2, 5, 2), 4);

    const int expected[] = {0, 0, 1, 1, 1, 2, 2, 2, 2, 3, 3};
    for (int x = 0; x <= 10; ++x) EXPECT_EQ(probe(0, 0, 10, 3, x), expected[x]) << "column " << x;

    EXPECT_EQ(probe(4, 1, 0, 0, 2), 0);  // the backward walk of the shallow example
    EXPECT_EQ(probe(0, 0, 4, 1, 2), 1);

    // Off-screen and negative coordinates are compared as 16-bit values.
    // Error 20, +14 a step: it reaches 40 exactly on step 10, and "greater or
    // equal" moves the row there, to the fourth change.
    EXPECT_EQ(probe(-20, -7, 20, 7, -10), -3);
    // Steep, so x steps on every other row (odd steps, with the error starting
    // at 900): column 600 is reached on step 1799, one row before the end.
    EXPECT_EQ(probe(-300, 900, 600, -900, 600), -899);
}

}  // namespace
