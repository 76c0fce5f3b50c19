// The headless back end: every call acts on the record alone.
#include <algorithm>
#include <cstring>
#include <string>

#include "platform/file_reading.h"
#include "platform/headless/headless.h"

namespace qv {

void HeadlessBackEnd::emit(const std::string& line) {
    if (trace) {
        trace(line);
    } else {
        events.push_back(line);
    }
}

void HeadlessBackEnd::create_window(const char* /*title*/) { window_open = true; }

void HeadlessBackEnd::destroy_window() { window_open = false; }

CursorPosition HeadlessBackEnd::cursor_position() {
    ++pumps;
    mouse.follow(pumps);
    return mouse.cursor;
}

bool HeadlessBackEnd::next_event(WindowEvent& event) {
    if (window_open && mouse.next_button_event(event)) return true;
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
}

void HeadlessBackEnd::sleep(uint32_t milliseconds) {
    ++sleeps;
    slept_ms += milliseconds;
}

uint32_t HeadlessBackEnd::ticks() { return start_ticks + static_cast<uint32_t>(slept_ms); }

// Frames take no time here: every frame's rest is the whole 13 ms.
uint64_t HeadlessBackEnd::steady_microseconds() { return slept_ms * 1000; }

void HeadlessBackEnd::message_box(const char* caption, const char* text) {
    emit("box " + quote_for_trace(caption) + " " + quote_for_trace(text));
}

void HeadlessBackEnd::play_sound(const char* file_name, bool loop) {
    // The cue's name: the file's, without its folder and ".wav".
    std::string name = text_of(path_of(file_name).filename());
    constexpr std::string_view suffix = ".wav";
    if (name.size() >= suffix.size() && name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0) {
        name.resize(name.size() - suffix.size());
    }
    emit("play " + name + (loop ? " loop" : " once"));
}

void HeadlessBackEnd::stop_sound() { emit("stop"); }

}  // namespace qv
