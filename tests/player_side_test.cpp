// The player's side of every window: the pause, the pointer, the clicks that
// are the game's and those that are the player's, short clicks and the close.
// The SDL, Windows and web windows only translate their events into these calls.
#include "fake_window.h"

namespace qv {
namespace {

using enum WindowEvent;
using testing::Events;

using Player = testing::PlayerTest;

TEST_F(Player, PointerIsTheGamesOnlyWhilePlayingFocusedNotPausedAndWithNoBox) {
    player.opened(false);
    player.set_playing(true);  // not focused yet
    player.focus(true);
    player.box_shown(true);
    player.box_shown(false);
    player.set_playing(false);
    EXPECT_EQ(native.calls, (std::vector<std::string>{"free", "capture", "free", "capture", "free"}))
        << "told once at each change";
    EXPECT_FALSE(player.captured());
    player.focus(false);
    EXPECT_FALSE(player.paused()) << "leaving the title pauses nothing";
}

TEST_F(Player, EscOrLosingThePlayerInPlayPausesHoldsThePumpAndAClickOrEscResumes) {
    in_play();
    player.request(PlayerRequest::Pause);
    EXPECT_TRUE(player.paused());
    EXPECT_EQ(native.calls, (std::vector<std::string>{"sound off", "free", "redraw"}));
    native.calls.clear();
    native.while_waiting = [&] {
        if (native.waits == 2) player.request(PlayerRequest::Pause);
    };
    EXPECT_TRUE(pump().empty());
    EXPECT_EQ(native.waits, 2) << "no frame ran until the second Esc";
    EXPECT_EQ(native.calls, (std::vector<std::string>{"sound on", "capture", "redraw"}));

    // A hidden page or another window taking the focus pauses just the same.
    player.focus(false);
    EXPECT_TRUE(player.paused());
    native.waits = 0;
    native.while_waiting = [&] {
        player.focus(true);
        click(MouseButton::Left);  // clicking back into the window resumes
    };
    EXPECT_TRUE(pump().empty()) << "the resuming click is the player's";
    EXPECT_TRUE(player.captured());

    // Under a box there is no game to pause, and Esc belongs to the box.
    player.box_shown(true);
    player.focus(false);
    player.request(PlayerRequest::Pause);
    EXPECT_FALSE(player.paused());
}

TEST_F(Player, AButtonHeldThroughAPauseOrABoxIsStillReleasedForTheGame) {
    in_play();
    player.button(MouseButton::Right, true);
    EXPECT_EQ(pump(), Events{RightButtonDown});
    player.request(PlayerRequest::Pause);
    native.while_waiting = [&] {
        player.button(MouseButton::Right, false);  // let go while paused
        player.button(MouseButton::Left, true);    // the click that resumes
    };
    EXPECT_EQ(pump(), Events{RightButtonUp});
    player.button(MouseButton::Left, false);  // the end of the resuming click
    click(MouseButton::Left);
    EXPECT_EQ(pump(), Events{LeftButtonDown});
    EXPECT_EQ(pump(), Events{LeftButtonUp});

    player.button(MouseButton::Left, true);
    EXPECT_EQ(pump(), Events{LeftButtonDown});
    player.box_shown(true);
    click(MouseButton::Right);  // clicks in the box
    player.button(MouseButton::Left, false);
    player.button(MouseButton::Left, true);  // pressed in the box, released after it
    player.box_shown(false);
    player.button(MouseButton::Left, false);
    EXPECT_EQ(pump(), Events{LeftButtonUp});
    EXPECT_TRUE(pump().empty());
}

TEST_F(Player, AClickShorterThanAFrameIsDownForOnePumpAndUpTheNext) {
    in_play();
    click(MouseButton::Left);
    click(MouseButton::Right);
    click(MouseButton::Left);  // a quick second click waits its turn, in order
    EXPECT_EQ(pump(), (Events{LeftButtonDown}));
    EXPECT_EQ(pump(), (Events{LeftButtonUp, RightButtonDown}));
    EXPECT_EQ(pump(), (Events{RightButtonUp, LeftButtonDown}));
    EXPECT_EQ(pump(), (Events{LeftButtonUp}));
    EXPECT_TRUE(pump().empty());
}

TEST_F(Player, ACloseEndsAPauseAtOnceAndIsReportedOnceAfterTheButtons) {
    in_play();
    player.button(MouseButton::Left, true);
    player.request(PlayerRequest::Pause);
    native.while_waiting = [&] { player.close(); };
    EXPECT_EQ(pump(), (Events{LeftButtonDown, Close}));
    EXPECT_EQ(native.waits, 1);
    EXPECT_TRUE(pump().empty()) << "closed once";

    // A game closed in play and its window opened again: a title, not play.
    player.opened(true);
    EXPECT_FALSE(player.closing());
    EXPECT_FALSE(player.captured());
    player.request(PlayerRequest::Close);  // Alt+F4
    EXPECT_EQ(pump(), Events{Close});

    player.closed();
    click(MouseButton::Left);
    EXPECT_TRUE(pump().empty()) << "no window, no clicks";
}

}  // namespace
}  // namespace qv
