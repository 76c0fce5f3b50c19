// The headless back end: every platform call acts on the BackEnd record alone.
#include <algorithm>
#include <cstddef>
#include <cstring>
#include <string>

#include "platform/frame.h"
#include "platform/headless/headless.h"
#include "platform/platform.h"

namespace qv {

namespace {

void emit(BackEnd& backend, const std::string& line) {
    if (backend.trace) {
        backend.trace(line);
    } else {
        backend.events.push_back(line);
    }
}

// Takes up every script entry whose pump has come; the script may grow while
// the program runs (a pilot can append to it from the present hook).
void follow_script(BackEnd& backend) {
    while (backend.next_entry < backend.script.size() && backend.script[backend.next_entry].pump <= backend.pumps) {
        const MouseScriptEntry& entry = backend.script[backend.next_entry];
        backend.cursor = CursorPosition{entry.x, entry.y};
        backend.target_left = entry.left != 0 ? 1 : 0;
        backend.target_right = entry.right != 0 ? 1 : 0;
        ++backend.next_entry;
    }
}

}  // namespace

BackEnd::BackEnd() = default;

void platform_create_window(BackEnd& backend, const char* /*title*/, int32_t /*width*/, int32_t /*height*/) {
    backend.window_open = true;
    backend.paint_pending = false;
    backend.shown.assign(static_cast<size_t>(screen_pixels), 0);
}

void platform_destroy_window(BackEnd& backend) {
    backend.window_open = false;
    backend.paint_pending = false;
}

CursorPosition platform_cursor_position(BackEnd& backend) {
    ++backend.pumps;
    follow_script(backend);
    return backend.cursor;
}

bool platform_next_message(BackEnd& backend, WindowMessage& message) {
    if (backend.window_open) {
        // Button messages first, so the flags match the script once the drain is done.
        if (backend.delivered_left != backend.target_left) {
            backend.delivered_left = backend.target_left;
            message = backend.target_left != 0 ? WindowMessage::LeftButtonDown : WindowMessage::LeftButtonUp;
            return true;
        }
        if (backend.delivered_right != backend.target_right) {
            backend.delivered_right = backend.target_right;
            message = backend.target_right != 0 ? WindowMessage::RightButtonDown : WindowMessage::RightButtonUp;
            return true;
        }
        if (backend.paint_pending) {
            backend.paint_pending = false;
            message = WindowMessage::Paint;
            return true;
        }
    }
    if (!backend.close_delivered && backend.pumps >= backend.max_pumps) {
        backend.close_delivered = true;
        backend.limit_reached = true;
        message = WindowMessage::Close;
        return true;
    }
    return false;
}

void platform_request_repaint(BackEnd& backend) {
    ++backend.repaints;
    if (backend.window_open) backend.paint_pending = true;
}

void platform_show_picture(BackEnd& backend, const uint16_t* pixels, int32_t width, int32_t height) {
    ++backend.paints;
    if (backend.shown.size() != static_cast<size_t>(screen_pixels)) {
        backend.shown.assign(static_cast<size_t>(screen_pixels), 0);
    }
    const int32_t columns = std::clamp<int32_t>(width, 0, screen_width);
    const int32_t rows = std::clamp<int32_t>(height, 0, screen_height);
    for (int32_t y = 0; y < rows; ++y) {
        const uint16_t* source = pixels + static_cast<std::ptrdiff_t>(y) * width;
        std::copy(source, source + columns, backend.shown.begin() + static_cast<std::ptrdiff_t>(y) * screen_width);
    }
}

void platform_sleep(BackEnd& backend, uint32_t /*milliseconds*/) { ++backend.sleeps; }

uint32_t platform_ticks(BackEnd& backend) { return backend.ticks; }

void platform_message_box(BackEnd& backend, const char* caption, const char* text) {
    emit(backend, "box " + quote_for_trace(caption) + " " + quote_for_trace(text));
}

void platform_play_sound(BackEnd& backend, const char* file_name, bool loop) {
    std::string name = file_name;
    constexpr const char* suffix = ".wav";
    const size_t suffix_length = std::strlen(suffix);
    if (name.size() >= suffix_length && name.compare(name.size() - suffix_length, suffix_length, suffix) == 0) {
        name.resize(name.size() - suffix_length);
    }
    emit(backend, "play " + name + (loop ? " loop" : " once"));
}

void platform_stop_sound(BackEnd& backend) { emit(backend, "stop"); }

}  // namespace qv
