// The window procedure's logic, the message pump, frame pacing and mouse input,
// written once on top of platform.h.
#pragma once

#include <cstdint>

#include "platform/platform.h"

namespace qv {

struct Game;

// Written only by window_proc (buttons) and pump_messages (cursor).
struct LiveMouse {
    uint8_t mouse_left_down = 0;
    uint8_t mouse_right_down = 0;
    int32_t mouse_x = 0;
    int32_t mouse_y = 0;
};

struct PointerBlock {
    int32_t pointer_x = 0;
    int32_t pointer_y = 0;
};

// Byte 0 is the right button, byte 1 the left; the other two stay 0.
struct ButtonBlock {
    uint8_t right_button = 0;
    uint8_t left_button = 0;
    uint8_t unused[2] = {0, 0};
};

// The copy of the mouse that the game reads.
struct InputState {
    PointerBlock pointer;
    ButtonBlock buttons;
};

using InputReader = void (*)(const LiveMouse& live, PointerBlock& pointer, ButtonBlock& buttons);

struct Window {
    BackEnd* backend = nullptr;
    bool exists = false;
    // Set once the player has closed the window: every frame loop stops right
    // after the pump that saw it and the program winds down without a word.
    bool closed = false;
    LiveMouse mouse;
    InputReader input_reader = nullptr;
};

void create_display_window(Game& game, int32_t width, int32_t height, int32_t depth, const char* title);
void destroy_display_window(Game& game);

void window_proc(Game& game, WindowMessage message);

// Samples the cursor, then drains and dispatches every pending message.
void pump_messages(Game& game);

void wait_frame(Game& game);  // 13 ms
void idle_hook(Game& game);   // does nothing

// Copies the live mouse into the blocks; changes nothing else.
void read_input(const LiveMouse& live, PointerBlock& pointer, ButtonBlock& buttons);

// Calls the reader stored in the input_reader slot with the game's InputState.
void call_input_reader(Game& game);

// A modal box captioned "Quorvaner" with one OK button.
void show_notice(Game& game, const char* text);

bool window_closed(const Game& game);

}  // namespace qv
