// The message pump and box lines on the headless back end.
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "platform/frame.h"
#include "platform/headless/headless.h"
#include "platform/window.h"
#include "test_world.h"

namespace qv {
namespace {

// x, y, left and right as the game read them.
std::array<int, 4> reading(const Window& window) {
    InputState s;
    read_input(window.mouse, s);
    return {s.pointer.pointer_x, s.pointer.pointer_y, s.buttons.left_button, s.buttons.right_button};
}

TEST(Pump, ReadsTheCursorOnceAPumpKeepsButtonsUntilReleasedAndRaisesTheCloseAfterTheDrain) {
    testing::TestWorld w(false);
    Game& g = *w;
    w.backend.script = {{1, 50, 60, 1, 1}, {3, 10, -5, 1, 0}, {5, 400, 250, 0, 1}, {7, 1, 2, 0, 0}};
    // Before the window exists the game sees nothing and nothing is shown, but
    // the pump counts.
    pump_messages(g.window);
    present_frame(g.video, g.window);
    EXPECT_EQ(reading(g.window), (std::array<int, 4>{0, 0, 0, 0}));
    EXPECT_EQ(w.backend.presents, 0u);
    create_display_window(g.window);
    const std::array<int, 4> pumps[] = {
        {50, 60, 1, 1},  // pump 2: the buttons the script held from pump 1
        {10, -5, 1, 0},  // positions off the picture pass unchanged
        {10, -5, 1, 0},  // a button stays held until released
        {400, 250, 0, 1}, {400, 250, 0, 1},
    };
    for (const auto& want : pumps) {
        pump_messages(g.window);
        EXPECT_EQ(reading(g.window), want) << "pump " << w.backend.pumps;
    }
    // The window closes itself at pump 7: the pump takes in that pump's events first.
    w.backend.max_pumps = 7;
    EXPECT_THROW(pump_messages(g.window), WindowClosed);
    EXPECT_EQ(reading(g.window), (std::array<int, 4>{1, 2, 0, 0}));
    EXPECT_TRUE(w.backend.limit_reached);
    EXPECT_NO_THROW(pump_messages(g.window)) << "the close comes only once";
}

TEST(Trace, BoxTextIsQuotedSoThatNoCaptionOrTextCanBreakTheLine) {
    EXPECT_EQ(quote_for_trace("Line \"one\"\nback\\slash"), "\"Line \\\"one\\\"\\nback\\\\slash\"");
}

}  // namespace
}  // namespace qv
