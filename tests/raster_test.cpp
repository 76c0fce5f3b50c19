#include <gtest/gtest.h>

#include <cstddef>
#include <set>
#include <utility>

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

// Worked examples, including both directions of the shallow and the steep line:
// the walk's direction decides which pixels light. They anchor the step-by-step
// walk that the line walk tests hold the clipped drawing and the probe against.
const struct {
    int x1, y1, x2, y2;
    std::set<Point> points;
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
        EXPECT_EQ(drawn(w.x1, w.y1, w.x2, w.y2), w.points);
    }
}

}  // namespace
