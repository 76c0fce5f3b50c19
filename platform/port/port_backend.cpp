#include "platform/port/port_backend.h"

#include <chrono>
#include <random>
#include <string_view>

namespace qv {

uint32_t fresh_seed() {
    std::random_device entropy;
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    const auto micro = static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::microseconds>(now).count());
    // The wall clock too, in case the system's random source is a fixed sequence.
    return entropy() ^ static_cast<uint32_t>(micro) ^ static_cast<uint32_t>(micro >> 32);
}

// The game reads the tick count only to draw the seed of a game.
uint32_t PortBackEnd::ticks() {
    const bool first = !game_seed_;
    uint32_t now = 0;
    if (first && seed) {
        now = *seed;
    } else if (!first && next_seed) {
        now = next_seed();
    } else {
        now = wrapped().ticks();
    }
    game_seed_ = now;
    // The game before is over: its recording gets its last entry.
    if (pending_) write_entry();
    if (game_started) game_started(now);
    return now;
}

// The game shows this box only when it is lost, with the score in it.
void PortBackEnd::message_box(const char* caption, const char* text) {
    const bool score_box = caption != nullptr && std::string_view(caption) == "GAME OVER";
    if (score_box && game_over) game_over();
    wrapped().message_box(caption, text);
    if (score_box && score_box_closed) score_box_closed();
}

bool PortBackEnd::faster() const { return demo && demo_speed > 1; }

void PortBackEnd::sleep(uint32_t milliseconds) { wrapped().sleep(faster() ? milliseconds / demo_speed : milliseconds); }

uint64_t PortBackEnd::steady_microseconds() {
    return faster() ? wrapped().steady_microseconds() * demo_speed : wrapped().steady_microseconds();
}

void PortBackEnd::create_window(const char* title) {
    wrapped().create_window(title);
    if (notice_shown_ || notice.empty()) return;
    notice_shown_ = true;
    wrapped().message_box("Quorvaner", notice.c_str());
}

CursorPosition PortBackEnd::cursor_position() {
    if (pending_) write_entry();
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
        if (demo_end && pumps_ >= *demo_end) close_pending_ = true;
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
// a script entry for this pump must say, if it changed.
void PortBackEnd::note_pump_end() {
    if (!write_ || pumps_ == recorded_from_) return;
    const MouseScriptEntry now{pumps_ - recorded_from_, mouse_.mouse_x, mouse_.mouse_y, mouse_.mouse_left_down,
                               mouse_.mouse_right_down};
    const MouseScriptEntry& before = last_;
    if (now.x == before.x && now.y == before.y && now.left == before.left && now.right == before.right) {
        pending_.reset();
        return;
    }
    pending_ = now;
}

std::string PortBackEnd::entry_line(const MouseScriptEntry& e) const {
    return std::to_string(e.pump) + ' ' + std::to_string(e.x) + ' ' + std::to_string(e.y) + ' ' +
           std::to_string(e.left) + ' ' + std::to_string(e.right) + '\n';
}

void PortBackEnd::write_entry() {
    if (write_) write_(entry_line(*pending_));
    last_ = *pending_;
    pending_.reset();
}

void PortBackEnd::start_recording(std::function<void(const std::string&)> write) {
    if (pending_) write_entry();
    write_ = std::move(write);
    recorded_from_ = pumps_;
    last_ = MouseScriptEntry{0, 0, 0, 0, 0};
    closed_at_.reset();
    write_("# args: --seed " + std::to_string(game_seed_.value_or(seed.value_or(0))) +
           "\n# A Quorvaner session: pump x y left right, from each pump on.\n");
}

void PortBackEnd::finish_recording() {
    if (!write_) return;
    if (pending_) write_entry();
    // A game the player closed ends there; one that was lost ends by itself.
    if (closed_at_) write_("# args: --max-pumps " + std::to_string(*closed_at_ - recorded_from_) + "\n");
}

std::string PortBackEnd::recording_cut() const {
    if (!write_) return {};
    return (pending_ ? entry_line(*pending_) : std::string()) + "# args: --max-pumps " +
           std::to_string(pumps_ - recorded_from_) + "\n";
}

}  // namespace qv
