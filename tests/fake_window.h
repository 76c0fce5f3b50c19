// The player's side on a window whose system calls are a log and whose wait
// for events runs what the test says happens while the game is paused.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/port/player_side.h"
#include "platform/window.h"

namespace qv::testing {

using Events = std::vector<WindowEvent>;

struct FakeWindow final : NativeWindow {
    std::vector<std::string> calls;
    std::vector<PortSettings> applied;
    std::function<void()> while_waiting;
    int waits = 0;
    bool fullscreen = false;

    void capture_pointer(bool captured) override { calls.push_back(captured ? "capture" : "free"); }
    void pause_sound(bool paused) override { calls.push_back(paused ? "sound off" : "sound on"); }
    void redraw() override { calls.push_back("redraw"); }
    bool toggle_fullscreen() override {
        calls.push_back("fullscreen");
        return fullscreen = !fullscreen;
    }
    void apply_settings(const PortSettings& settings) override { applied.push_back(settings); }
    void wait_for_events(uint32_t) override {
        if (++waits > 50) throw std::logic_error("the pause never ended");
        if (while_waiting) while_waiting();
    }
};

struct PlayerTest : ::testing::Test {
    FakeWindow native;
    PlayerSide player{native};

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

}  // namespace qv::testing
