// The player's side of every window: the pause, the pointer, the clicks that
// are the game's and those that are the player's, short clicks and the close.
// The SDL, Windows and web windows only translate their events into these calls.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/port/player_side.h"
#include "platform/window.h"

namespace qv {
namespace {

using enum WindowEvent;
using Events = std::vector<WindowEvent>;

// A window whose system calls are a log, and whose wait hands over the events
// a test queued for "while paused".
struct FakeWindow final : NativeWindow {
    std::vector<std::string> calls;
    std::vector<PortSettings> applied;
    bool fullscreen = false;
    std::vector<std::function<void(PlayerSide&)>> arrivals;  // one per wait
    PlayerSide* player = nullptr;
    int waits = 0;

    void capture_pointer(bool captured) override { calls.push_back(captured ? "capture" : "free"); }
    void pause_sound(bool paused) override { calls.push_back(paused ? "sound off" : "sound on"); }
    void redraw() override { calls.push_back("redraw"); }
    bool toggle_fullscreen() override {
        calls.push_back("fullscreen");
        return fullscreen = !fullscreen;
    }
    void apply_settings(const PortSettings& settings) override {
        applied.push_back(settings);
        calls.push_back("apply");
    }
    void wait_for_events(uint32_t) override {
        if (waits++ < static_cast<int>(arrivals.size())) arrivals[static_cast<size_t>(waits - 1)](*player);
        // A test that forgot to resume would hang here.
        ASSERT_LT(waits, 100) << "the pause never ended";
    }
};

struct Player : ::testing::Test {
    FakeWindow native;
    PlayerSide player{native};

    Player() { native.player = &player; }

    // One pump: what the game is told.
    Events pump() {
        player.start_pump();
        Events events;
        WindowEvent event{};
        while (player.next_event(event)) events.push_back(event);
        return events;
    }
    void click(MouseButton button) {
        player.button(button, true);
        player.button(button, false);
    }
    void in_play() {
        player.opened(true);
        player.set_playing(true);
        native.calls.clear();
    }
};

TEST_F(Player, PointerIsTheGamesOnlyWhilePlayingFocusedNotPausedAndWithNoBox) {
    player.opened(false);
    EXPECT_EQ(native.calls, std::vector<std::string>{"free"});
    player.set_playing(true);
    EXPECT_FALSE(player.captured()) << "not focused yet";
    player.focus(true);
    EXPECT_TRUE(player.captured());
    player.box_shown(true);
    EXPECT_FALSE(player.captured());
    player.box_shown(false);
    player.set_playing(false);
    EXPECT_FALSE(player.captured());
    EXPECT_EQ(native.calls, (std::vector<std::string>{"free", "capture", "free", "capture", "free"}))
        << "told once at each change";
    player.focus(false);
    EXPECT_FALSE(player.paused()) << "leaving the title pauses nothing";
}

TEST_F(Player, EscOrLosingThePlayerInPlayPausesHoldsThePumpAndAClickOrEscResumes) {
    in_play();
    player.request(PlayerRequest::Pause);
    EXPECT_TRUE(player.paused());
    EXPECT_EQ(player.overlay(), Overlay::Menu);
    EXPECT_EQ(native.calls, (std::vector<std::string>{"sound off", "free", "redraw"}));
    native.calls.clear();
    native.arrivals = {[](PlayerSide&) {}, [](PlayerSide& p) { p.request(PlayerRequest::Pause); }};
    EXPECT_TRUE(pump().empty());
    EXPECT_EQ(native.waits, 2) << "no frame ran until the second Esc";
    EXPECT_EQ(native.calls, (std::vector<std::string>{"sound on", "capture", "redraw"}));
    EXPECT_EQ(player.overlay(), Overlay::None);

    // A hidden page or another window taking the focus pauses just the same.
    player.focus(false);
    EXPECT_TRUE(player.paused());
    native.waits = 0;
    native.arrivals = {[](PlayerSide& p) {
        p.focus(true);
        p.button(MouseButton::Left, true);  // clicking back into the window resumes
        p.button(MouseButton::Left, false);
    }};
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
    native.arrivals = {[](PlayerSide& p) {
        p.button(MouseButton::Right, false);  // let go while paused
        p.button(MouseButton::Left, true);    // the click that resumes
    }};
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

    // What the game reads at the end of each pump: the click is seen.
    Window window;
    click(MouseButton::Left);
    std::vector<int> left;
    for (int i = 0; i < 3; ++i) {
        for (const WindowEvent event : pump()) apply_button_event(window.mouse, event);
        left.push_back(window.mouse.mouse_left_down);
    }
    EXPECT_EQ(left, (std::vector<int>{1, 0, 0}));
}

TEST_F(Player, ACloseEndsAPauseAtOnceAndIsReportedOnceAfterTheButtons) {
    in_play();
    player.button(MouseButton::Left, true);
    player.request(PlayerRequest::Pause);
    native.arrivals = {[](PlayerSide& p) { p.close(); }};
    EXPECT_EQ(pump(), (Events{LeftButtonDown, Close}));
    EXPECT_EQ(native.waits, 1);
    EXPECT_TRUE(pump().empty()) << "closed once";

    player.opened(true);
    EXPECT_FALSE(player.closing());
    player.request(PlayerRequest::Close);  // Alt+F4
    EXPECT_EQ(pump(), Events{Close});
    player.request(PlayerRequest::Fullscreen);
    EXPECT_EQ(native.calls.back(), "fullscreen");

    player.closed();
    click(MouseButton::Left);
    EXPECT_TRUE(pump().empty()) << "no window, no clicks";
}

TEST_F(Player, AWindowOpenedAgainAfterAGameClosedInPlayStartsAtATitleThatIsNotPlay) {
    in_play();
    player.close();  // the game ends where it is, never telling that play stopped
    EXPECT_EQ(pump(), Events{Close});
    player.closed();
    native.calls.clear();
    player.opened(true);
    EXPECT_FALSE(player.captured()) << "the pointer is the player's on the new title";
    EXPECT_EQ(native.calls, std::vector<std::string>{"free"});
    player.focus(false);
    EXPECT_FALSE(player.paused()) << "leaving the title pauses nothing";
}

}  // namespace
}  // namespace qv
