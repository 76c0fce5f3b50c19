#include "platform/window.h"

#include "game/game.h"
#include "platform/frame.h"

namespace qv {

void create_display_window(Game& game, int32_t width, int32_t height, int32_t depth, const char* title) {
    DisplaySurface& surface = game.video.surface;
    surface.width = 0;
    surface.height = 0;
    surface.depth = 0;
    if (game.window.backend != nullptr) {
        platform_create_window(*game.window.backend, title, width, height);
    }
    game.window.exists = true;
    // Showing the window paints it at once, before the size is recorded.
    paint_handler(game);
    surface.width = width;
    surface.height = height;
    surface.depth = depth;
}

void destroy_display_window(Game& game) {
    if (!game.window.exists) return;
    if (game.window.backend != nullptr) platform_destroy_window(*game.window.backend);
    game.window.exists = false;
}

void window_proc(Game& game, WindowMessage message) {
    LiveMouse& mouse = game.window.mouse;
    switch (message) {
        case WindowMessage::LeftButtonDown:
            mouse.mouse_left_down = 1;
            break;
        case WindowMessage::LeftButtonUp:
            mouse.mouse_left_down = 0;
            break;
        case WindowMessage::RightButtonDown:
            mouse.mouse_right_down = 1;
            break;
        case WindowMessage::RightButtonUp:
            mouse.mouse_right_down = 0;
            break;
        case WindowMessage::Paint:
            paint_handler(game);
            break;
        case WindowMessage::Close:
            game.window.closed = true;
            break;
        case WindowMessage::Other:
            break;
    }
}

void pump_messages(Game& game) {
    if (game.window.backend == nullptr) return;
    BackEnd& backend = *game.window.backend;
    // Sampled once, before the queue is drained; move messages are never used.
    const CursorPosition cursor = platform_cursor_position(backend);
    if (game.window.exists) {
        game.window.mouse.mouse_x = cursor.x;
        game.window.mouse.mouse_y = cursor.y;
    }
    WindowMessage message{};
    while (platform_next_message(backend, message)) window_proc(game, message);
}

void wait_frame(Game& game) {
    if (game.window.backend != nullptr) platform_sleep(*game.window.backend, 13);
}

void idle_hook(Game& /*game*/) {}

void read_input(const LiveMouse& live, PointerBlock& pointer, ButtonBlock& buttons) {
    buttons.right_button = live.mouse_right_down;
    buttons.left_button = live.mouse_left_down;
    pointer.pointer_x = live.mouse_x;
    pointer.pointer_y = live.mouse_y;
}

void call_input_reader(Game& game) {
    // A world built without start-up has an empty slot; it reads the mouse the
    // same way start-up would have arranged.
    const InputReader reader = game.window.input_reader != nullptr ? game.window.input_reader : read_input;
    reader(game.window.mouse, game.input.pointer, game.input.buttons);
}

void show_notice(Game& game, const char* text) {
    if (game.window.backend != nullptr) platform_message_box(*game.window.backend, "Quorvaner", text);
}

bool window_closed(const Game& game) { return game.window.closed; }

}  // namespace qv
