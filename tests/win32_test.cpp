// The parts of the Windows back end that need no Windows: the queue between the
// window procedure and the pump, the window size and the copy into the bitmap.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "platform/win32/pending_messages.h"
#include "platform/win32/window_geometry.h"

namespace {

using qv::WindowMessage;
using namespace qv::win32;

std::vector<WindowMessage> drain(PendingMessages& pending) {
    std::vector<WindowMessage> taken;
    WindowMessage message{};
    while (take_message(pending, message)) {
        taken.push_back(message);
    }
    return taken;
}

TEST(Win32PendingMessages, PaintsFoldTogetherWhileOneWaits) {
    PendingMessages pending;
    post_message(pending, WindowMessage::LeftButtonDown);
    post_message(pending, WindowMessage::Paint);
    post_message(pending, WindowMessage::Paint);
    post_message(pending, WindowMessage::RightButtonUp);
    post_message(pending, WindowMessage::Paint);
    post_message(pending, WindowMessage::LeftButtonUp);
    EXPECT_EQ(drain(pending), (std::vector<WindowMessage>{WindowMessage::LeftButtonDown, WindowMessage::Paint,
                                                          WindowMessage::RightButtonUp, WindowMessage::LeftButtonUp}));

    // Once the waiting paint has been taken, the next one is a new paint.
    post_message(pending, WindowMessage::Paint);
    WindowMessage message{};
    ASSERT_TRUE(take_message(pending, message));
    EXPECT_EQ(message, WindowMessage::Paint);
    post_message(pending, WindowMessage::Paint);
    post_message(pending, WindowMessage::Close);
    EXPECT_EQ(drain(pending), (std::vector<WindowMessage>{WindowMessage::Paint, WindowMessage::Close}));
}

TEST(Win32PendingMessages, EveryPaintTakenIsValidatedOnce) {
    PendingMessages pending;
    EXPECT_FALSE(take_validation_due(pending));

    post_message(pending, WindowMessage::LeftButtonDown);
    post_message(pending, WindowMessage::Paint);
    WindowMessage message{};
    ASSERT_TRUE(take_message(pending, message));
    EXPECT_FALSE(take_validation_due(pending)) << "a button needs no validation";
    ASSERT_TRUE(take_message(pending, message));
    EXPECT_TRUE(take_validation_due(pending));
    EXPECT_FALSE(take_validation_due(pending)) << "validated already";

    // A paint still waiting in the queue has not been shown, so nothing is due.
    post_message(pending, WindowMessage::Paint);
    EXPECT_FALSE(take_validation_due(pending));
    EXPECT_TRUE(has_messages(pending));
}

TEST(Win32PendingMessages, DrainedQueueStartsAgainInPlace) {
    PendingMessages pending;
    const WindowMessage* storage = pending.queue.data();
    for (int round = 0; round < 1000; ++round) {
        post_message(pending, WindowMessage::RightButtonDown);
        post_message(pending, WindowMessage::Paint);
        post_message(pending, WindowMessage::RightButtonUp);
        ASSERT_EQ(drain(pending), (std::vector<WindowMessage>{WindowMessage::RightButtonDown, WindowMessage::Paint,
                                                              WindowMessage::RightButtonUp}));
        EXPECT_FALSE(has_messages(pending));
    }
    EXPECT_EQ(pending.queue.data(), storage) << "the queue must not be reallocated frame after frame";
    EXPECT_EQ(pending.head, 0u);
}

TEST(Win32WindowGeometry, OuterSizeKeepsTheWholePictureVisible) {
    // The classic frame needs less than the fixed 16 x 36: the fixed size is used.
    const Size classic = outer_window_size({320, 200}, {328, 227});
    EXPECT_EQ(classic.width, 336);
    EXPECT_EQ(classic.height, 236);
    // A frame of exactly 16 x 36.
    const Size exact = outer_window_size({320, 200}, {336, 236});
    EXPECT_EQ(exact.width, 336);
    EXPECT_EQ(exact.height, 236);
    // A thicker frame with a taller caption: the client area still holds 320 x 200.
    const Size thick = outer_window_size({320, 200}, {336, 239});
    EXPECT_EQ(thick.width, 336);
    EXPECT_EQ(thick.height, 239);
    const Size wide = outer_window_size({320, 200}, {342, 250});
    EXPECT_EQ(wide.width, 342);
    EXPECT_EQ(wide.height, 250);
}

TEST(Win32WindowGeometry, FullPictureLandsPixelForPixel) {
    std::vector<uint16_t> picture(320 * 200);
    for (size_t i = 0; i < picture.size(); ++i) {
        picture[i] = static_cast<uint16_t>(i * 7 + 3);
    }
    std::vector<uint16_t> surface(320 * 200, 0xFFFF);
    const Size shown = copy_picture(surface.data(), {320, 200}, picture.data(), {320, 200});
    EXPECT_EQ(shown.width, 320);
    EXPECT_EQ(shown.height, 200);
    EXPECT_EQ(surface, picture);
    EXPECT_EQ(surface[0], 3);                                              // top-left
    EXPECT_EQ(surface[199 * 320 + 319], static_cast<uint16_t>(63999 * 7 + 3));  // bottom-right
}

TEST(Win32WindowGeometry, PictureOfAnotherSizeIsCutOrLeftInTheCorner) {
    const uint16_t keep = 0xABCD;

    // Smaller: rows keep the surface's stride and the rest of the surface stays.
    std::vector<uint16_t> surface(4 * 3, keep);
    const std::vector<uint16_t> small{1, 2, 3, 4, 5, 6};  // 3 x 2
    Size shown = copy_picture(surface.data(), {4, 3}, small.data(), {3, 2});
    EXPECT_EQ(shown.width, 3);
    EXPECT_EQ(shown.height, 2);
    EXPECT_EQ(surface, (std::vector<uint16_t>{1, 2, 3, keep, 4, 5, 6, keep, keep, keep, keep, keep}));

    // Larger: only what fits is copied, each row read at the picture's stride.
    std::vector<uint16_t> large(5 * 4);
    for (size_t i = 0; i < large.size(); ++i) {
        large[i] = static_cast<uint16_t>(100 + i);
    }
    shown = copy_picture(surface.data(), {4, 3}, large.data(), {5, 4});
    EXPECT_EQ(shown.width, 4);
    EXPECT_EQ(shown.height, 3);
    EXPECT_EQ(surface, (std::vector<uint16_t>{100, 101, 102, 103, 105, 106, 107, 108, 110, 111, 112, 113}));

    // Nothing to show: the surface is untouched.
    std::vector<uint16_t> untouched(4 * 3, keep);
    shown = copy_picture(untouched.data(), {4, 3}, large.data(), {0, 4});
    EXPECT_EQ(shown.width * shown.height, 0);
    shown = copy_picture(untouched.data(), {4, 3}, large.data(), {5, -1});
    EXPECT_EQ(shown.width * shown.height, 0);
    EXPECT_EQ(untouched, std::vector<uint16_t>(4 * 3, keep));
}

}  // namespace
