// The headless back end: no window, no sound device, no real sleeping. The mouse
// follows a script keyed to the pump count, and every sound call and message box
// becomes a trace line. Tests and the replay tool drive the game through it.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/mouse_script.h"
#include "platform/platform.h"

namespace qv {

class HeadlessBackEnd final : public BackEnd {
public:
    // Set by the owner before the game starts.
    ScriptedMouse mouse;
    std::vector<MouseScriptEntry>& script = mouse.script;  // may grow while the game runs
    uint64_t max_pumps = 10000000;                         // the pump after which the window closes itself
    uint32_t start_ticks = 0;                              // what the tick count reads before any sleep
    // Receives "play NAME loop", "play NAME once", "stop" and "box ..." lines;
    // when empty they are kept in `events`.
    std::function<void(const std::string&)> trace;
    std::vector<std::string> events;
    // Called with every picture shown, before anything else happens.
    std::function<void(const PresentedFrame&)> on_present;

    // Counted by the back end.
    uint64_t pumps = 0;
    uint64_t presents = 0;
    uint64_t sleeps = 0;
    uint64_t slept_ms = 0;  // the fake clock: every sleep moves it on at once
    bool limit_reached = false;

    // Whether the window is open; no picture is kept (on_present sees each one).
    bool window_open = false;

    void create_window(const char* title) override;
    void destroy_window() override;
    CursorPosition cursor_position() override;
    bool next_event(WindowEvent& event) override;
    void show_frame(const PresentedFrame& picture) override;
    void sleep(uint32_t milliseconds) override;
    uint32_t ticks() override;
    uint64_t steady_microseconds() override;
    void message_box(const char* caption, const char* text) override;
    void play_sound(const char* file_name, bool loop) override;
    void stop_sound() override;

private:
    void emit(const std::string& line);

    bool close_delivered_ = false;
};

// "box" lines escape \ and " with a backslash and write a line feed as \n.
std::string quote_for_trace(const std::string& text);

}  // namespace qv
