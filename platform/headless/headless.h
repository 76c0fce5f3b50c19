// The headless back end: no window, no sound device, no real sleeping. The mouse
// follows a script keyed to the pump count, and every sound call and message box
// becomes a trace line. Tests and the replay tool drive the game through it.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace qv {

// From pump `pump` on (counting from 1), the cursor rests at (x, y) and the
// buttons are left as given once the pump has dispatched.
struct MouseScriptEntry {
    uint64_t pump = 1;
    int32_t x = 0;
    int32_t y = 0;
    uint8_t left = 0;
    uint8_t right = 0;
};

struct BackEnd {
    // Defined beside the back-end functions, so that any program that builds a
    // BackEnd links them in, whatever order the static libraries come in.
    BackEnd();

    // Set by the owner before the game starts.
    std::vector<MouseScriptEntry> script;  // strictly increasing pumps
    uint64_t max_pumps = 10000000;         // the pump after which the window closes itself
    uint32_t ticks = 0;                    // what the tick count reads
    // Receives "play NAME loop", "play NAME once", "stop" and "box ..." lines;
    // when empty they are kept in `events`.
    std::function<void(const std::string&)> trace;
    std::vector<std::string> events;

    // Counted by the back end.
    uint64_t pumps = 0;
    uint64_t repaints = 0;
    uint64_t sleeps = 0;
    bool limit_reached = false;

    // The window as the player would see it.
    bool window_open = false;
    bool paint_pending = false;
    std::vector<uint16_t> shown;  // the picture of the last paint, 320 x 200
    uint64_t paints = 0;

    // Where the scripted mouse stands.
    size_t next_entry = 0;
    CursorPosition cursor;
    uint8_t target_left = 0;
    uint8_t target_right = 0;
    uint8_t delivered_left = 0;
    uint8_t delivered_right = 0;
    bool close_delivered = false;
};

// "box" lines escape \ and " with a backslash and write a line feed as \n.
std::string quote_for_trace(const std::string& text);

}  // namespace qv
