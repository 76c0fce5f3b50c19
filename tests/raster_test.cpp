#include <gtest/gtest.h>

#include <cstddef>
#include <set>
#include <utility>
#include <vector>

#include "platform/frame.h"
#include "raster/draw.h"

namespace {

using qv::FrameBuffer;
using Point = std::pair<int, int>;

std::set<Point> drawn(int x1, int y1, int x2, int y2) {
    FrameBuffer frame{};
    qv::draw_line(frame, static_cast<int16_t>(x1), static_cast<int16_t>(y1), static_cast<int16_t>(x2),
                  static_cast<int16_t>(y2), 31);
    std::set<Point> lit;
    for (std::size_t i = 0; i < frame.size(); ++i) {
        if (frame[i] != 0) lit.insert({static_cast<int>(i) % qv::screen_width, static_cast<int>(i) / qv::screen_width});
    }
    return lit;
}

int probe(int x1, int y1, int x2, int y2, int target) {
    return qv::line_y_at_x(static_cast<int16_t>(x1), static_cast<int16_t>(y1), static_cast<int16_t>(x2),
                           static_cast<int16_t>(y2), static_cast<int16_t>(target));
}

TEST(PutPixel, WritesInsideAndDropsEverythingOutside) {
    FrameBuffer frame{};
    qv::put_pixel(frame, 319, 199, 7);
    qv::put_pixel(frame, 0, 0, 9);
    EXPECT_EQ(frame[63999], 7);
    EXPECT_EQ(frame[0], 9);

    const FrameBuffer before = frame;
    for (const auto& [x, y] : {Point{320, 0}, Point{0, 200}, Point{65535, 10}, Point{10, 65535}, Point{65535, 65535}})
        qv::put_pixel(frame, static_cast<uint16_t>(x), static_cast<uint16_t>(y), 5);
    EXPECT_EQ(frame, before);
}

// Worked examples in plotting order, including both directions of the shallow
// and the steep line: the walk's direction decides which pixels light.
const struct {
    int x1, y1, x2, y2;
    std::vector<Point> points;
} worked[] = {
    {0, 0, 5, 2, {{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 2}, {5, 2}}},
    {0, 0, 10, 3, {{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 1}, {5, 2}, {6, 2}, {7, 2}, {8, 2}, {9, 3}, {10, 3}}},
    {0, 0, 2, 5, {{0, 0}, {0, 1}, {1, 2}, {1, 3}, {2, 4}, {2, 5}}},
    {2, 5, 0, 0, {{2, 5}, {2, 4}, {1, 3}, {1, 2}, {0, 1}, {0, 0}}},  // the error reaches 5 on the second step
    {0, 0, 4, 1, {{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 1}}},
    {4, 1, 0, 0, {{4, 1}, {3, 1}, {2, 0}, {1, 0}, {0, 0}}},
    {0, 0, 4, 4, {{0, 0}, {1, 1}, {2, 2}, {3, 3}, {4, 4}}},
    {3, 3, 3, 3, {{3, 3}}},
    {7, 9, 7, 6, {{7, 9}, {7, 8}, {7, 7}, {7, 6}}},
    {9, 2, 6, 2, {{9, 2}, {8, 2}, {7, 2}, {6, 2}}},
};

TEST(DrawLine, WorkedExamplesLightExactlyTheirPoints) {
    for (const auto& w : worked) {
        SCOPED_TRACE(::testing::Message() << "(" << w.x1 << "," << w.y1 << ") to (" << w.x2 << "," << w.y2 << ")");
        EXPECT_EQ(drawn(w.x1, w.y1, w.x2, w.y2), std::set<Point>(w.points.begin(), w.points.end()));
    }
}

TEST(DrawLine, ClipsPixelByPixel) {
    FrameBuffer frame{};
    qv::draw_line(frame, -10, 5, 330, 5, 12);
    for (std::size_t i = 0; i < frame.size(); ++i)
        ASSERT_EQ(frame[i], i / qv::screen_width == 5 ? 12 : 0) << "byte " << i;

    const int outside[][4] = {{-50, -50, -10, -5}, {400, 10, 500, 300}, {330, -20, 600, 250}, {-300, 250, 900, 210}};
    for (const auto& l : outside) EXPECT_TRUE(drawn(l[0], l[1], l[2], l[3]).empty()) << l[0] << "," << l[1];

    // The walk is not restarted at the picture's edge: shifting both ends by
    // (40, 30) shifts every pixel lit in the overlap the same way.
    std::set<Point> moved, shifted;
    for (const auto& [x, y] : drawn(-300, -100, 500, 250))
        if (x + 40 < qv::screen_width && y + 30 < qv::screen_height) moved.insert({x + 40, y + 30});
    for (const auto& [x, y] : drawn(-260, -70, 540, 280))
        if (x >= 40 && y >= 30) shifted.insert({x, y});
    EXPECT_FALSE(moved.empty());
    EXPECT_EQ(moved, shifted);
}

TEST(LineProbe, FollowsTheWalkAndTakesTheFirstMatch) {
    // Every column of every worked example: the row of the first point reached there.
    for (const auto& w : worked) {
        for (std::size_t i = 0; i < w.points.size(); ++i) {
            const auto [x, y] = w.points[i];
            if (i > 0 && w.points[i - 1].first == x) continue;
            EXPECT_EQ(probe(w.x1, w.y1, w.x2, w.y2, x), y)
                << "(" << w.x1 << "," << w.y1 << ") to (" << w.x2 << "," << w.y2 << "), column " << x;
        }
    }
    EXPECT_EQ(probe(175, 115, 500, 300, 175), 115);  // the first point counts

    // Negative coordinates compare as 16-bit values. Error 20, +14 a step: it
    // reaches 40 exactly on step 10, and "greater or equal" moves the row there.
    EXPECT_EQ(probe(-20, -7, 20, 7, -10), -3);
    // Steep, x steps on odd steps (error from 900): column 600 is reached on
    // step 1799, one row before the end.
    EXPECT_EQ(probe(-300, 900, 600, -900, 600), -899);
}

}  // namespace
