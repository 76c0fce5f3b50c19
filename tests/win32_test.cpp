// The parts of the Windows back end that need no Windows: the queue between the
// window procedure and the pump, the window size and the copy into the bitmap.
#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <utility>
#include <vector>

#include "platform/win32/pending_messages.h"
#include "platform/win32/window_geometry.h"

namespace {

using namespace qv::win32;
using enum qv::WindowMessage;
using Messages = std::vector<qv::WindowMessage>;
using Pixels = std::vector<uint16_t>;

Messages drain(PendingMessages& pending) {
    Messages taken;
    qv::WindowMessage message{};
    while (take_message(pending, message)) taken.push_back(message);
    return taken;
}

std::pair<int32_t, int32_t> dims(Size size) { return {size.width, size.height}; }

void post(PendingMessages& pending, std::initializer_list<qv::WindowMessage> messages) {
    for (const qv::WindowMessage message : messages) post_message(pending, message);
}

TEST(Win32PendingMessages, WaitingPaintsFoldIntoOneAndEachPaintTakenIsValidatedOnce) {
    PendingMessages pending;
    const qv::WindowMessage* storage = pending.queue.data();
    post(pending, {LeftButtonDown, Paint, Paint, RightButtonUp, Paint, LeftButtonUp});
    qv::WindowMessage first{};
    ASSERT_TRUE(take_message(pending, first));
    EXPECT_FALSE(take_validation_due(pending)) << "a button needs no validation";
    EXPECT_EQ(drain(pending), (Messages{Paint, RightButtonUp, LeftButtonUp}));
    EXPECT_TRUE(take_validation_due(pending));
    EXPECT_FALSE(take_validation_due(pending)) << "validated already";

    // A paint still queued has not been shown; once taken, the next one is new.
    post(pending, {Paint});
    EXPECT_FALSE(take_validation_due(pending));
    ASSERT_TRUE(take_message(pending, first));
    post(pending, {Paint, Close});
    EXPECT_EQ(drain(pending), (Messages{Paint, Close}));

    for (int round = 0; round < 1000; ++round) {
        post(pending, {RightButtonDown, Paint, RightButtonUp});
        ASSERT_EQ(drain(pending), (Messages{RightButtonDown, Paint, RightButtonUp}));
    }
    EXPECT_EQ(pending.queue.data(), storage) << "the queue must not be reallocated frame after frame";
    EXPECT_EQ(pending.head, 0u);
}

TEST(Win32WindowGeometry, OuterSizeHoldsThePictureAndThePictureLandsInTheTopLeftCorner) {
    // The classic frame needs less than 16 x 36; newer, thicker frames need more.
    const Size cases[][2] = {{{328, 227}, {336, 236}}, {{336, 236}, {336, 236}}, {{336, 239}, {336, 239}},
                             {{342, 250}, {342, 250}}};
    for (const auto& [framed, outer] : cases) {
        EXPECT_EQ(dims(outer_window_size({320, 200}, framed)), dims(outer)) << framed.width << "x" << framed.height;
    }

    Pixels full(320 * 200);
    for (size_t i = 0; i < full.size(); ++i) full[i] = static_cast<uint16_t>(i * 7 + 3);
    Pixels screen(320 * 200, 0xFFFF);
    Size shown = copy_picture(screen.data(), {320, 200}, full.data(), {320, 200});
    EXPECT_EQ(dims(shown), std::pair(320, 200));
    EXPECT_EQ(screen, full);

    // Smaller: rows keep the surface's stride and the rest of the surface stays.
    const uint16_t k = 0xABCD;
    Pixels surface(4 * 3, k);
    const Pixels small{1, 2, 3, 4, 5, 6};  // 3 x 2
    shown = copy_picture(surface.data(), {4, 3}, small.data(), {3, 2});
    EXPECT_EQ(dims(shown), std::pair(3, 2));
    EXPECT_EQ(surface, (Pixels{1, 2, 3, k, 4, 5, 6, k, k, k, k, k}));

    // Larger: only what fits is copied, each row read at the picture's stride.
    Pixels large(5 * 4);
    for (size_t i = 0; i < large.size(); ++i) large[i] = static_cast<uint16_t>(100 + i);
    shown = copy_picture(surface.data(), {4, 3}, large.data(), {5, 4});
    EXPECT_EQ(dims(shown), std::pair(4, 3));
    EXPECT_EQ(surface, (Pixels{100, 101, 102, 103, 105, 106, 107, 108, 110, 111, 112, 113}));

    // Nothing to show: the surface is untouched.
    Pixels untouched(4 * 3, k);
    for (const Size empty : {Size{0, 4}, Size{5, -1}}) {
        shown = copy_picture(untouched.data(), {4, 3}, large.data(), empty);
        EXPECT_EQ(shown.width * shown.height, 0);
    }
    EXPECT_EQ(untouched, Pixels(4 * 3, k));
}

}  // namespace
