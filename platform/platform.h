// The narrow edge between the game and the machine. Each back end (headless,
// sdl, win32) defines `struct BackEnd` and these functions; which one a program
// uses is decided when it is linked. Nothing outside platform/ includes a
// system header.
#pragma once

#include <cstdint>

namespace qv {

struct BackEnd;

struct CursorPosition {
    int32_t x = 0;
    int32_t y = 0;
};

enum class WindowMessage {
    LeftButtonDown,
    LeftButtonUp,
    RightButtonDown,
    RightButtonUp,
    Paint,
    Close,  // the player closed the window
    Other,
};

// Opens the single window: client area at least width x height, captioned
// `title`, shown, with the cursor confined to it.
void platform_create_window(BackEnd& backend, const char* title, int32_t width, int32_t height);
void platform_destroy_window(BackEnd& backend);

// The cursor in client coordinates. Called exactly once at the start of every
// pump, before the queue is drained.
CursorPosition platform_cursor_position(BackEnd& backend);

// Takes the next pending window message without waiting; false when none is left.
bool platform_next_message(BackEnd& backend, WindowMessage& message);

// Asks for a Paint message to be delivered by a later drain.
void platform_request_repaint(BackEnd& backend);

// Copies a width x height RGB555 picture one-to-one to the client origin.
void platform_show_picture(BackEnd& backend, const uint16_t* pixels, int32_t width, int32_t height);

void platform_sleep(BackEnd& backend, uint32_t milliseconds);
uint32_t platform_ticks(BackEnd& backend);

// A modal box with one OK button; works with or without the window.
void platform_message_box(BackEnd& backend, const char* caption, const char* text);

// One sound channel: each start ends what was playing. `file_name` is a WAV
// file relative to the working directory.
void platform_play_sound(BackEnd& backend, const char* file_name, bool loop);
void platform_stop_sound(BackEnd& backend);

}  // namespace qv
