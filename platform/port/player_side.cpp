#include "platform/port/player_side.h"

namespace qv {

namespace {

constexpr uint32_t pause_wait_milliseconds = 100;

WindowEvent button_event(MouseButton button, bool down) {
    if (button == MouseButton::Left) return down ? WindowEvent::LeftButtonDown : WindowEvent::LeftButtonUp;
    return down ? WindowEvent::RightButtonDown : WindowEvent::RightButtonUp;
}

uint8_t changed_button(WindowEvent event) {
    switch (event) {
        case WindowEvent::LeftButtonDown:
        case WindowEvent::LeftButtonUp:
            return static_cast<uint8_t>(MouseButton::Left);
        case WindowEvent::RightButtonDown:
        case WindowEvent::RightButtonUp:
            return static_cast<uint8_t>(MouseButton::Right);
        case WindowEvent::Close:
            return 0;
    }
    return 0;
}

size_t slot(MouseButton button) { return button == MouseButton::Left ? 0 : 1; }

}  // namespace

void PlayerSide::opened(bool focused) {
    open_ = true;
    // Play starts when the program says so, also in a window opened again
    // after a game that was closed in play.
    playing_ = false;
    focused_ = focused;
    if (paused_) ++overlay_serial_;
    paused_ = false;
    sound_paused_ = false;
    box_up_ = false;
    closing_ = false;
    close_delivered_ = false;
    pending_.clear();
    held_[0] = held_[1] = swallowed_[0] = swallowed_[1] = changed_ = 0;
    held_back_ = false;
    capture_shown_ = captured();
    native_.capture_pointer(capture_shown_);
}

void PlayerSide::closed() {
    if (sound_paused_) native_.pause_sound(false);
    sound_paused_ = false;
    if (paused_) ++overlay_serial_;
    paused_ = false;
    open_ = false;
    capture_shown_ = false;
    pending_.clear();
}

void PlayerSide::follow_capture() {
    const bool now = captured();
    if (now == capture_shown_) return;
    capture_shown_ = now;
    native_.capture_pointer(now);
}

void PlayerSide::post(MouseButton button, bool down) { pending_.push_back(button_event(button, down)); }

// While paused or with a box up the clicks are the player's: they never reach
// the game, nor does their release, but a button the game holds down and that
// is let go meanwhile is still released for it. The game hears of a button when
// its first source presses it and when its last source lets go.
void PlayerSide::button(MouseButton button, bool down, InputSource source) {
    if (!open_) return;
    const auto s = static_cast<uint8_t>(source);
    const auto not_s = static_cast<uint8_t>(~s);
    uint8_t& held = held_[slot(button)];
    uint8_t& swallowed = swallowed_[slot(button)];
    if (down) {
        if (paused_ || box_up_) {
            if ((held & s) == 0) swallowed |= s;
            if (paused_ && (source == InputSource::Mouse || source == InputSource::Touch)) {
                follow(menu_.click(pointer_x_, pointer_y_, settings_));
            }
            return;
        }
        swallowed &= not_s;
        if ((held & s) != 0) return;  // a repeat: the game holds it already
        if (held == 0) post(button, true);
        held |= s;
        return;
    }
    if ((swallowed & s) != 0) {
        swallowed &= not_s;
        return;
    }
    if ((held & s) == 0) return;
    held &= not_s;
    if (held == 0) post(button, false);
}

void PlayerSide::release_all(InputSource source) {
    for (const MouseButton button : {MouseButton::Left, MouseButton::Right}) this->button(button, false, source);
}

void PlayerSide::pad_lost() {
    if (open_ && playing_ && !box_up_) pause();
}

void PlayerSide::request(PlayerRequest request) {
    if (!open_) return;
    switch (request) {
        case PlayerRequest::Pause:
            if (box_up_) return;
            if (paused_) {
                follow(menu_.input(MenuInput::Back, settings_));
            } else {
                pause();
            }
            return;
        case PlayerRequest::Fullscreen:
            settings_.fullscreen = native_.toggle_fullscreen();
            if (settings_changed) settings_changed(settings_, "fullscreen");
            if (paused_) menu_changed();
            return;
        case PlayerRequest::Close:
            close();
            return;
    }
}

void PlayerSide::menu_input(MenuInput input) {
    if (open_ && paused_) follow(menu_.input(input, settings_));
}

void PlayerSide::pointer_at(int32_t x, int32_t y) {
    pointer_x_ = x;
    pointer_y_ = y;
    if (open_ && paused_ && menu_.hover(x, y, settings_)) menu_changed();
}

void PlayerSide::tap(int32_t x, int32_t y) {
    if (open_ && paused_) follow(menu_.click(x, y, settings_));
}

void PlayerSide::menu_changed() {
    ++overlay_serial_;
    native_.redraw();
}

// A changed option takes effect and is handed on; then the menu resumes,
// ends the program as a closed window does, or shows what changed.
void PlayerSide::follow(const MenuOutcome& outcome) {
    if (!outcome.setting.empty()) {
        native_.apply_settings(settings_);
        if (settings_changed) settings_changed(settings_, outcome.setting);
    }
    if (outcome.quit) {
        close();
    } else if (outcome.resume) {
        resume();
    } else {
        menu_changed();
    }
}

void PlayerSide::change_setting(const PortSettings& settings, std::string_view key) {
    settings_ = settings;
    MenuOutcome outcome;
    outcome.setting = key;
    if (paused_) {
        follow(outcome);
        return;
    }
    native_.apply_settings(settings_);
    if (settings_changed) settings_changed(settings_, key);
}

void PlayerSide::show_scores(const ScoreTable& table, size_t place) {
    menu_.set_scores(table, place);
    if (!open_ || closing_ || paused_) return;
    menu_.open(MenuPage::Scores, true);
    paused_ = true;
    ++overlay_serial_;
    follow_capture();
    native_.redraw();
    hold_while_paused();
    // The marked place is this game's only.
    menu_.set_scores(table, std::nullopt);
}

// A box is no game to pause: losing the player then only lets the pointer go.
void PlayerSide::focus(bool focused) {
    if (!open_) return;
    focused_ = focused;
    if (!focused && playing_ && !box_up_) pause();
    follow_capture();
}

// Once the player has closed the window nothing waits again, paused or not:
// what follows must run to the end.
void PlayerSide::close() { closing_ = true; }

void PlayerSide::set_playing(bool playing) {
    playing_ = playing;
    follow_capture();
}

void PlayerSide::box_shown(bool up) {
    box_up_ = up;
    follow_capture();
}

void PlayerSide::pause() {
    if (paused_ || !open_) return;
    paused_ = true;
    menu_.open();
    ++overlay_serial_;
    sound_paused_ = true;
    native_.pause_sound(true);
    follow_capture();
    native_.redraw();
}

void PlayerSide::resume() {
    if (!paused_) return;
    paused_ = false;
    ++overlay_serial_;
    if (sound_paused_) native_.pause_sound(false);
    sound_paused_ = false;
    follow_capture();
    native_.redraw();
}

// No frame runs while paused: the pump waits here on the window's events
// until a click or Esc resumes or the window is closed.
void PlayerSide::hold_while_paused() {
    while (paused_ && open_ && !closing_) {
        native_.wait_for_events(pause_wait_milliseconds);
        if (while_paused) while_paused();
    }
}

void PlayerSide::start_pump() {
    hold_while_paused();
    changed_ = 0;
    held_back_ = false;
}

bool PlayerSide::has_event() const { return (!held_back_ && !pending_.empty()) || (closing_ && !close_delivered_); }

bool PlayerSide::next_event(WindowEvent& event) {
    hold_while_paused();
    if (!held_back_ && !pending_.empty()) {
        const uint8_t b = changed_button(pending_.front());
        if ((changed_ & b) == 0) {
            changed_ |= b;
            event = pending_.front();
            pending_.pop_front();
            return true;
        }
        // A second change of a button in one pump would undo the first before
        // the game saw it: it and everything after it wait for the next pump.
        held_back_ = true;
    }
    if (closing_ && !close_delivered_) {
        close_delivered_ = true;
        event = WindowEvent::Close;
        return true;
    }
    return false;
}

}  // namespace qv
