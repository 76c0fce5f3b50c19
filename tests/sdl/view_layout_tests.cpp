// Where the picture sits and which picture pixel the pointer is over, in every
// way the window can show it: square or 4:3 pixels, windowed or fullscreen,
// with bands, on ordinary and high-density screens.
#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <utility>

#include "platform/view_layout.h"

namespace qv {
namespace {

using enum Aspect;

TEST(WindowSize, TheAskedScaleIsLoweredUntilTheWindowFitsTheDesktop) {
    struct Case {
        int32_t scale;
        Extent desktop;
        Aspect aspect;
        Extent size;
    };
    const Case cases[] = {
        {0, {1920, 1050}, SquarePixels, {960, 600}},  // largest that fits, at most 3
        {0, {1920, 1050}, FourThree, {960, 720}},
        {0, {1366, 728}, FourThree, {960, 720}},  // 728 / 240 = 3
        {0, {1024, 700}, FourThree, {640, 480}},
        {5, {1920, 1050}, SquarePixels, {1600, 1000}},  // asked for more than 3 and it fits
        {6, {1920, 1050}, SquarePixels, {1600, 1000}},  // lowered to 5
        {4, {800, 600}, FourThree, {640, 480}},
        {1, {300, 150}, SquarePixels, {320, 200}},  // never below 1
        {2, {0, 0}, SquarePixels, {640, 400}},      // unknown desktop: as asked
        {0, {0, 0}, FourThree, {960, 720}},
    };
    for (const Case& c : cases) {
        const Extent size = window_client_size(c.scale, c.desktop, c.aspect);
        EXPECT_EQ(std::pair(size.width, size.height), std::pair(c.size.width, c.size.height))
            << "scale " << c.scale << " on " << c.desktop.width << "x" << c.desktop.height;
    }
}

TEST(PictureView, CentredWithBandsAndSharpPrescaleAtLeastAsLargeAsTheView) {
    struct Case {
        Extent client;
        Aspect aspect;
        ViewRect view;
        Extent sharp;
    };
    const Case cases[] = {
        {{960, 600}, SquarePixels, {0, 0, 960, 600}, {960, 600}},
        {{960, 720}, FourThree, {0, 0, 960, 720}, {960, 800}},
        {{320, 240}, FourThree, {0, 0, 320, 240}, {320, 400}},
        {{1280, 1024}, SquarePixels, {0, 112, 1280, 800}, {1280, 800}},
        {{1280, 1024}, FourThree, {0, 32, 1280, 960}, {1280, 1000}},
        {{1920, 1080}, FourThree, {320, 60, 1280, 960}, {1280, 1000}},
        {{1000, 700}, SquarePixels, {20, 50, 960, 600}, {960, 600}},
        {{300, 150}, SquarePixels, {-10, -25, 320, 200}, {320, 200}},  // too small: spills evenly
    };
    for (const Case& c : cases) {
        const ViewRect v = centred_view(c.client.width, c.client.height, c.aspect);
        EXPECT_EQ((std::array{v.x, v.y, v.width, v.height}),
                  (std::array{c.view.x, c.view.y, c.view.width, c.view.height}))
            << c.client.width << "x" << c.client.height;
        const Extent sharp = sharp_prescale(v);
        EXPECT_EQ(std::pair(sharp.width, sharp.height), std::pair(c.sharp.width, c.sharp.height));
        EXPECT_EQ(sharp.width % 320 + sharp.height % 200, 0);
    }
}

TEST(PointerMapping, WindowPointsLandOnTheRightPicturePixelInEveryMode) {
    struct Case {
        const char* mode;
        int32_t x, y;
        Extent points, pixels;
        Aspect aspect;
        int32_t picture_x, picture_y;
    };
    const Case cases[] = {
        {"square, scale 3", 301, 599, {960, 600}, {960, 600}, SquarePixels, 100, 199},
        {"square, scale 3, past the corner", 960, 600, {960, 600}, {960, 600}, SquarePixels, 320, 200},
        {"square, left of the window", -1, -4, {960, 600}, {960, 600}, SquarePixels, -1, -2},
        {"resized, in the bands", 19, 49, {1000, 700}, {1000, 700}, SquarePixels, -1, -1},
        {"resized, first pixel", 20, 50, {1000, 700}, {1000, 700}, SquarePixels, 0, 0},
        {"resized, last pixel", 979, 649, {1000, 700}, {1000, 700}, SquarePixels, 319, 199},
        {"4:3, scale 3", 480, 719, {960, 720}, {960, 720}, FourThree, 160, 199},
        {"4:3, a row is 3.6 pixels tall", 0, 4, {960, 720}, {960, 720}, FourThree, 0, 1},
        {"4:3 fullscreen, top band", 0, 31, {1280, 1024}, {1280, 1024}, FourThree, 0, -1},
        {"4:3 fullscreen, first row", 0, 32, {1280, 1024}, {1280, 1024}, FourThree, 0, 0},
        {"4:3 fullscreen, last row", 1279, 991, {1280, 1024}, {1280, 1024}, FourThree, 319, 199},
        {"4:3 fullscreen, bottom band", 1279, 992, {1280, 1024}, {1280, 1024}, FourThree, 319, 200},
        {"high density", 301, 599, {960, 600}, {1920, 1200}, SquarePixels, 100, 199},
        {"high density, band", 19, 0, {1000, 600}, {2000, 1200}, SquarePixels, -1, 0},
        {"high density, 4:3 fullscreen", 640, 32, {1280, 1024}, {2560, 2048}, FourThree, 160, 0},
    };
    for (const Case& c : cases) {
        const PicturePoint p = pointer_to_picture(c.x, c.y, c.points, c.pixels, c.aspect);
        EXPECT_EQ(std::pair(p.x, p.y), std::pair(c.picture_x, c.picture_y)) << c.mode;
    }
    // Back the other way: the system pointer moved to a picture pixel reads as
    // that pixel again, in every mode, at every pixel of both edges and across.
    for (const Case& c : cases) {
        for (int32_t i = 0; i < 320; ++i) {
            for (const auto& [x, y] : {std::pair{i, i * 199 / 319}, {i, 0}, {i, 199}, {0, i * 199 / 319}}) {
                const PicturePoint at = picture_to_pointer(x, y, c.points, c.pixels, c.aspect);
                const PicturePoint back = pointer_to_picture(at.x, at.y, c.points, c.pixels, c.aspect);
                ASSERT_EQ(std::pair(back.x, back.y), std::pair(x, y)) << c.mode;
            }
        }
    }
    // Far points neither overflow nor divide by zero.
    EXPECT_EQ(window_to_picture(INT_MAX, 0, 320, 320), INT_MAX);
    EXPECT_EQ(window_to_picture(INT_MIN, 0, 960, 320), INT_MIN / 3 - 1);
    EXPECT_EQ(window_to_picture(37, 5, 0, 320), 37) << "an empty view passes the point through";
}

}  // namespace
}  // namespace qv
