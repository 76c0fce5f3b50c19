// draw_line and line_y_at_x skip the off-screen parts of a line in closed form,
// and draw_line walks lines wholly on screen without clipping; here they are
// held against the walk they replace, taken one point at a time.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <random>

#include "platform/frame.h"
#include "raster/draw.h"

namespace {

using qv::FrameBuffer;

// The step-by-step walk: differences, step counter and error term in 16 bits,
// the position a full integer. `visit` returns true to stop.
template <typename Visit>
void reference_walk(int16_t x1, int16_t y1, int16_t x2, int16_t y2, Visit&& visit) {
    const int16_t dx = static_cast<int16_t>(x2 - x1);
    const int16_t dy = static_cast<int16_t>(y2 - y1);
    const int16_t ax = static_cast<int16_t>(dx < 0 ? -dx : dx);
    const int16_t ay = static_cast<int16_t>(dy < 0 ? -dy : dy);
    const int32_t sx = (dx > 0) - (dx < 0);
    const int32_t sy = (dy > 0) - (dy < 0);
    int32_t x = x1;
    int32_t y = y1;
    if (visit(x, y)) return;
    const bool x_major = ax >= ay;
    const int16_t major = x_major ? ax : ay;
    const int16_t minor = x_major ? ay : ax;
    int16_t e = static_cast<int16_t>(major / 2);
    for (int16_t i = 0; i < major; i = static_cast<int16_t>(i + 1)) {
        e = static_cast<int16_t>(e + minor);
        const bool side_step = e >= major;
        if (side_step) e = static_cast<int16_t>(e - major);
        if (x_major) {
            y += side_step ? sy : 0;
            x += sx;
        } else {
            x += side_step ? sx : 0;
            y += sy;
        }
        if (visit(x, y)) return;
    }
}

void reference_line(FrameBuffer& frame, int16_t x1, int16_t y1, int16_t x2, int16_t y2, uint8_t colour) {
    reference_walk(x1, y1, x2, y2, [&](int32_t x, int32_t y) {
        qv::put_pixel(frame, static_cast<uint16_t>(x), static_cast<uint16_t>(y), colour);
        return false;
    });
}

int16_t reference_probe(int16_t x1, int16_t y1, int16_t x2, int16_t y2, int16_t target) {
    int32_t found = y2;
    reference_walk(x1, y1, x2, y2, [&](int32_t x, int32_t y) {
        if (static_cast<int16_t>(x) != target) return false;
        found = y;
        return true;
    });
    return static_cast<int16_t>(found);
}

struct Segment {
    int16_t x1, y1, x2, y2;
};

// Ends near the picture, on and just off its edges, far outside it, anywhere
// in 16 bits, and on the values where the 16-bit terms wrap.
class Segments {
public:
    Segment next() {
        return {coordinate(screen_width_ish), coordinate(screen_height_ish), coordinate(screen_width_ish),
                coordinate(screen_height_ish)};
    }

    int16_t any() { return static_cast<int16_t>(random_()); }

private:
    static constexpr int screen_width_ish = 320;
    static constexpr int screen_height_ish = 200;

    int16_t coordinate(int size) {
        static constexpr std::array<int, 12> edges = {-32768, 32767, -32767, 32766, 0,   -1,
                                                      1,      319,   320,    199,   200, -16384};
        switch (random_() % 6) {
            case 0:
                return static_cast<int16_t>(static_cast<int>(random_() % (size + 20)) - 10);
            case 1:
                return static_cast<int16_t>(static_cast<int>(random_() % (size * 4)) - size * 2);
            case 2:
                return static_cast<int16_t>(static_cast<int>(random_() % 4000) - 2000);
            case 3:
                return static_cast<int16_t>(edges[random_() % edges.size()] + static_cast<int>(random_() % 3) - 1);
            case 4:
                return static_cast<int16_t>((random_() % 2 == 0 ? -2 : size - 1) + static_cast<int>(random_() % 4));
            default:
                return static_cast<int16_t>(random_());
        }
    }

    std::mt19937 random_{31337};
};

TEST(LineWalk, LightsExactlyThePointsOfTheStepByStepWalk) {
    Segments segments;
    for (int batch = 0; batch < 400; ++batch) {
        // Sixteen lines a picture in distinct colours, so order and overlap count too.
        FrameBuffer fast{}, slow{};
        std::array<Segment, 16> drawn{};
        for (uint8_t k = 0; k < drawn.size(); ++k) {
            const Segment s = drawn[k] = segments.next();
            qv::draw_line(fast, s.x1, s.y1, s.x2, s.y2, static_cast<uint8_t>(k + 1));
            reference_line(slow, s.x1, s.y1, s.x2, s.y2, static_cast<uint8_t>(k + 1));
        }
        if (fast != slow) {
            for (const Segment& s : drawn) {
                FrameBuffer one{}, other{};
                qv::draw_line(one, s.x1, s.y1, s.x2, s.y2, 1);
                reference_line(other, s.x1, s.y1, s.x2, s.y2, 1);
                EXPECT_EQ(one, other) << "(" << s.x1 << "," << s.y1 << ") to (" << s.x2 << "," << s.y2 << ")";
            }
            FAIL() << "batch " << batch;
        }
    }
}

// Lines with both ends on screen take their own walk: short ones in every
// direction from the corners, edges and middle, and long ones from the corners
// to every point of the border and of a coarse grid, so each octant, the
// diagonals and the longest spans are all drawn. One picture per start point,
// the lines in turn in distinct colours.
TEST(LineWalk, LinesWhollyOnScreenMatchTheStepByStepWalk) {
    const std::array<std::array<int16_t, 2>, 9> starts = {
        {{0, 0}, {319, 0}, {0, 199}, {319, 199}, {160, 100}, {1, 198}, {318, 1}, {0, 100}, {160, 199}}};
    for (const auto& [x1, y1] : starts) {
        FrameBuffer fast{}, slow{};
        uint8_t colour = 0;
        const auto both = [&](int x2, int y2) {
            if (x2 < 0 || x2 >= qv::screen_width || y2 < 0 || y2 >= qv::screen_height) return;
            colour = static_cast<uint8_t>(colour % 255 + 1);
            qv::draw_line(fast, x1, y1, static_cast<int16_t>(x2), static_cast<int16_t>(y2), colour);
            reference_line(slow, x1, y1, static_cast<int16_t>(x2), static_cast<int16_t>(y2), colour);
        };
        for (int dy = -4; dy <= 4; ++dy)
            for (int dx = -4; dx <= 4; ++dx) both(x1 + dx, y1 + dy);
        for (int x = 0; x < qv::screen_width; ++x) both(x, 0), both(x, qv::screen_height - 1);
        for (int y = 0; y < qv::screen_height; ++y) both(0, y), both(qv::screen_width - 1, y);
        for (int y = 3; y < qv::screen_height; y += 13)
            for (int x = 5; x < qv::screen_width; x += 17) both(x, y);
        ASSERT_EQ(fast, slow) << "from (" << x1 << "," << y1 << ")";
    }
}

TEST(LineWalk, ProbeFindsTheFirstMatchOfTheStepByStepWalk) {
    Segments segments;
    for (int round = 0; round < 1500; ++round) {
        const Segment s = segments.next();
        // Columns on and around both ends, in the picture, and anywhere.
        const std::array<int16_t, 9> targets = {s.x1,
                                                s.x2,
                                                static_cast<int16_t>(s.x1 + 1),
                                                static_cast<int16_t>(s.x2 - 1),
                                                static_cast<int16_t>((s.x1 + s.x2) / 2),
                                                static_cast<int16_t>(s.x1 + (s.x2 - s.x1) / 3),
                                                static_cast<int16_t>(round % 320),
                                                segments.any(),
                                                -32768};
        for (int16_t t : targets) {
            ASSERT_EQ(qv::line_y_at_x(s.x1, s.y1, s.x2, s.y2, t), reference_probe(s.x1, s.y1, s.x2, s.y2, t))
                << "(" << s.x1 << "," << s.y1 << ") to (" << s.x2 << "," << s.y2 << "), column " << t;
        }
    }
}

}  // namespace
