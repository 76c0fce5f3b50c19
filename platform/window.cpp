#include "platform/window.h"

namespace qv {

namespace {

constexpr const char* window_title = "Quorvaner for Windows 95/NT";
constexpr uint32_t frame_milliseconds = 13;

}  // namespace

void create_display_window(Window& window) {
    window.backend->create_window(window_title);
    window.exists = true;
}

void destroy_display_window(Window& window) {
    if (!window.exists) return;
    window.backend->destroy_window();
    window.exists = false;
}

void pump_messages(Window& window) {
    BackEnd& backend = *window.backend;
    LiveMouse& mouse = window.mouse;
    // Sampled once, before the queue is drained; move events are never used.
    const CursorPosition cursor = backend.cursor_position();
    if (window.exists) {
        mouse.mouse_x = cursor.x;
        mouse.mouse_y = cursor.y;
    }
    bool closed = false;
    WindowEvent event{};
    while (backend.next_event(event)) {
        switch (event) {
            case WindowEvent::LeftButtonDown:
                mouse.mouse_left_down = 1;
                break;
            case WindowEvent::LeftButtonUp:
                mouse.mouse_left_down = 0;
                break;
            case WindowEvent::RightButtonDown:
                mouse.mouse_right_down = 1;
                break;
            case WindowEvent::RightButtonUp:
                mouse.mouse_right_down = 0;
                break;
            case WindowEvent::Close:
                closed = true;
                break;
        }
    }
    if (closed) throw WindowClosed();
}

void wait_frame(Window& window) { window.backend->sleep(frame_milliseconds); }

void present_frame(Video& video, Window& window) {
    convert_frame(video, video.frame);
    if (window.exists) window.backend->show_frame({video.surface, video.frame, video.active_palette});
    // Only the frame is cleared: the next present overwrites the whole surface
    // before anything reads it again, and every back end keeps its own copy of
    // what it shows, so a cleared surface would never be seen.
    video.frame.fill(0);
}

void end_frame(Video& video, Window& window, FrameEnd order) {
    switch (order) {
        case FrameEnd::PresentPumpSleep:
            present_frame(video, window);
            pump_messages(window);
            wait_frame(window);
            return;
        case FrameEnd::SleepPresentPump:
            wait_frame(window);
            present_frame(video, window);
            pump_messages(window);
            return;
        case FrameEnd::PresentSleepPump:
            present_frame(video, window);
            wait_frame(window);
            pump_messages(window);
            return;
    }
}

void read_input(const LiveMouse& live, InputState& input) {
    input.buttons.right_button = live.mouse_right_down;
    input.buttons.left_button = live.mouse_left_down;
    input.pointer.pointer_x = live.mouse_x;
    input.pointer.pointer_y = live.mouse_y;
}

void show_message(Window& window, const char* caption, const char* text) { window.backend->message_box(caption, text); }

}  // namespace qv
