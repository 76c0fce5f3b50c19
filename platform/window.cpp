#include "platform/window.h"

namespace qv {

namespace {

constexpr const char* window_title = "Quorvaner for Windows 95/NT";

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
        apply_button_event(mouse, event);
        if (event == WindowEvent::Close) closed = true;
    }
    if (closed) throw WindowClosed();
}

void apply_button_event(LiveMouse& mouse, WindowEvent event) {
    switch (event) {
        case WindowEvent::LeftButtonDown:
            mouse.mouse_left_down = 1;
            return;
        case WindowEvent::LeftButtonUp:
            mouse.mouse_left_down = 0;
            return;
        case WindowEvent::RightButtonDown:
            mouse.mouse_right_down = 1;
            return;
        case WindowEvent::RightButtonUp:
            mouse.mouse_right_down = 0;
            return;
        case WindowEvent::Close:
            return;
    }
}

uint32_t frame_rest(FramePacer& pacer, uint64_t now) {
    if (!pacer.started) {
        pacer.started = true;
        pacer.frame_start = now;
    }
    const uint64_t end = pacer.frame_start + frame_microseconds;
    if (now >= end) {
        pacer.frame_start = now;
        return 0;
    }
    // The next frame starts when this one's period ends, even when the sleep
    // wakes a little early or late, so the rounding never adds up.
    pacer.frame_start = end;
    return static_cast<uint32_t>((end - now + 500) / 1000);
}

// Always a sleep, also of 0 ms: a back end that shares its thread (a web page)
// gets its turn once a frame, however late the frame is.
void wait_frame(Window& window) {
    BackEnd& backend = *window.backend;
    backend.sleep(frame_rest(window.pacer, backend.steady_microseconds()));
}

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

void show_error(Window& window, const char* text) { window.backend->error_box(text); }

}  // namespace qv
