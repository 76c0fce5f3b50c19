#include "platform/port/port_backend.h"

#include <limits>

#include "platform/excerpt.h"

namespace qv {

uint32_t PortBackEnd::ticks() {
    const uint32_t now = seed && !ticks_read_ ? *seed : wrapped().ticks();
    if (!ticks_read_) ticks_read_ = now;
    return now;
}

CursorPosition PortBackEnd::cursor_position() {
    ++pumps_;
    // The window's own pump runs every time: it keeps the window alive and
    // notices a close (or holds the game while it is paused).
    CursorPosition cursor = wrapped().cursor_position();
    if (demo) {
        if (!demo_loaded_) {
            scripted_.script = *demo;
            demo_loaded_ = true;
        }
        scripted_.follow(pumps_);
        cursor = scripted_.cursor;
    }
    mouse_.mouse_x = cursor.x;
    mouse_.mouse_y = cursor.y;
    return cursor;
}

bool PortBackEnd::next_event(WindowEvent& event) {
    if (demo) {
        // Only a close comes from the window; the buttons come from the script.
        WindowEvent native{};
        while (wrapped().next_event(native)) {
            if (native == WindowEvent::Close) close_pending_ = true;
        }
        if (scripted_.next_button_event(event)) {
        } else if (close_pending_) {
            close_pending_ = false;
            event = WindowEvent::Close;
        } else {
            note_pump_end();
            return false;
        }
    } else if (!wrapped().next_event(event)) {
        note_pump_end();
        return false;
    }
    apply_button_event(mouse_, event);
    if (event == WindowEvent::Close && !closed_at_) closed_at_ = pumps_;
    return true;
}

// The pump has dispatched everything: what the game's mouse now holds is what
// a script entry for this pump must say.
void PortBackEnd::note_pump_end() {
    if (!recording || pumps_ == 0) return;
    const MouseScriptEntry now{pumps_, mouse_.mouse_x, mouse_.mouse_y, mouse_.mouse_left_down, mouse_.mouse_right_down};
    const MouseScriptEntry before = entries_.empty() ? MouseScriptEntry{0, 0, 0, 0, 0} : entries_.back();
    if (!entries_.empty() && entries_.back().pump == pumps_) {
        entries_.back() = now;
        return;
    }
    if (now.x == before.x && now.y == before.y && now.left == before.left && now.right == before.right) return;
    entries_.push_back(now);
}

std::string PortBackEnd::recording_text() const {
    std::string text = "# args: --seed " + std::to_string(ticks_read_.value_or(0));
    // A game the player closed ends there; one that was lost ends by itself.
    if (closed_at_) text += " --max-pumps " + std::to_string(*closed_at_);
    text += "\n# A Quorvaner session: pump x y left right, from each pump on.\n";
    for (const MouseScriptEntry& e : entries_) {
        text += std::to_string(e.pump) + ' ' + std::to_string(e.x) + ' ' + std::to_string(e.y) + ' ' +
                std::to_string(e.left) + ' ' + std::to_string(e.right) + '\n';
    }
    return text;
}

std::optional<uint32_t> script_seed(const std::string& text) {
    const size_t end = text.find('\n');
    const std::string_view first(text.data(), end == std::string::npos ? text.size() : end);
    const std::vector<std::string_view> fields = split_fields(first);
    for (size_t i = 0; i + 1 < fields.size(); ++i) {
        if (fields[0] != "#" || fields.size() < 2 || fields[1] != "args:") break;
        if (fields[i] == "--seed") {
            const auto seed = parse_in_range(fields[i + 1], 0, std::numeric_limits<uint32_t>::max());
            if (seed) return static_cast<uint32_t>(*seed);
        }
    }
    return std::nullopt;
}

}  // namespace qv
