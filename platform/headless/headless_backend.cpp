// The headless back end: every call acts on the record alone.
#include <algorithm>
#include <cstring>
#include <string>

#include "platform/headless/headless.h"

namespace qv {

void HeadlessBackEnd::emit(const std::string& line) {
    if (trace) {
        trace(line);
    } else {
        events.push_back(line);
    }
}

// Takes up every script entry whose pump has come; the script may grow while
// the program runs (a pilot can append to it when a picture is shown).
void HeadlessBackEnd::follow_script() {
    while (next_entry_ < script.size() && script[next_entry_].pump <= pumps) {
        const MouseScriptEntry& entry = script[next_entry_];
        cursor_ = CursorPosition{entry.x, entry.y};
        target_left_ = entry.left != 0 ? 1 : 0;
        target_right_ = entry.right != 0 ? 1 : 0;
        ++next_entry_;
    }
}

void HeadlessBackEnd::create_window(const char* /*title*/) {
    window_open = true;
    shown.assign(static_cast<size_t>(screen_pixels), 0);
}

void HeadlessBackEnd::destroy_window() { window_open = false; }

CursorPosition HeadlessBackEnd::cursor_position() {
    ++pumps;
    follow_script();
    return cursor_;
}

bool HeadlessBackEnd::next_event(WindowEvent& event) {
    if (window_open) {
        // Button events first, so the flags match the script once the drain is done.
        if (delivered_left_ != target_left_) {
            delivered_left_ = target_left_;
            event = target_left_ != 0 ? WindowEvent::LeftButtonDown : WindowEvent::LeftButtonUp;
            return true;
        }
        if (delivered_right_ != target_right_) {
            delivered_right_ = target_right_;
            event = target_right_ != 0 ? WindowEvent::RightButtonDown : WindowEvent::RightButtonUp;
            return true;
        }
    }
    if (!close_delivered_ && pumps >= max_pumps) {
        close_delivered_ = true;
        limit_reached = true;
        event = WindowEvent::Close;
        return true;
    }
    return false;
}

void HeadlessBackEnd::show_frame(const PresentedFrame& picture) {
    ++presents;
    if (on_present) on_present(picture);
    shown.assign(picture.surface.pixels.begin(), picture.surface.pixels.end());
}

void HeadlessBackEnd::sleep(uint32_t milliseconds) {
    ++sleeps;
    slept_ms += milliseconds;
}

uint32_t HeadlessBackEnd::ticks() { return start_ticks + static_cast<uint32_t>(slept_ms); }

void HeadlessBackEnd::message_box(const char* caption, const char* text) {
    emit("box " + quote_for_trace(caption) + " " + quote_for_trace(text));
}

void HeadlessBackEnd::play_sound(const char* file_name, bool loop) {
    std::string name = file_name;
    constexpr std::string_view suffix = ".wav";
    if (name.size() >= suffix.size() && name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0) {
        name.resize(name.size() - suffix.size());
    }
    emit("play " + name + (loop ? " loop" : " once"));
}

void HeadlessBackEnd::stop_sound() { emit("stop"); }

}  // namespace qv
