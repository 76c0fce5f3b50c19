#include "platform/port/input_devices.h"

#include <algorithm>
#include <cstdlib>

#include "platform/frame.h"

namespace qv {

namespace {

constexpr int32_t stick_rim = 32767;
// Each step of a speed setting, in subpixels a pump: at the default 5 the
// crosshair crosses from the centre to an edge in about half a second.
constexpr int32_t speed_unit = 200;
// Pumps until a held key reaches its top speed.
constexpr int32_t key_ramp_pumps = 40;
// A finger that moves no further than this from where it went down is a click.
constexpr int32_t touch_slop = 6 * subpixels;
// A click held this long is one of the right button.
constexpr uint32_t long_press_milliseconds = 600;
// A drag moves the crosshair this much further (numerator / denominator), so a
// small screen's width reaches from edge to edge.
constexpr int32_t drag_gain_numerator = 3;
constexpr int32_t drag_gain_denominator = 2;

int64_t integer_sqrt(int64_t value) {
    if (value <= 0) return 0;
    int64_t root = 0;
    int64_t bit = int64_t{1} << 62;
    while (bit > value) bit >>= 2;
    while (bit != 0) {
        if (value >= root + bit) {
            value -= root + bit;
            root = (root >> 1) + bit;
        } else {
            root >>= 1;
        }
        bit >>= 2;
    }
    return root;
}

int16_t saturated(int32_t value) { return static_cast<int16_t>(std::clamp(value, -32768, 32767)); }

bool same(CursorPosition a, CursorPosition b) { return a.x == b.x && a.y == b.y; }

}  // namespace

PadState combine(const PadState& a, const PadState& b) {
    return {static_cast<uint8_t>(a.buttons | b.buttons), std::max(a.trigger, b.trigger),
            saturated(a.stick_x + b.stick_x), saturated(a.stick_y + b.stick_y)};
}

PadState pad_from_xinput(const XInputGamepad& pad) {
    PadState state;
    if ((pad.buttons & xinput_a) != 0) state.buttons |= pad_a;
    if ((pad.buttons & xinput_b) != 0) state.buttons |= pad_b;
    if ((pad.buttons & xinput_start) != 0) state.buttons |= pad_start;
    if ((pad.buttons & xinput_up) != 0) state.buttons |= pad_up;
    if ((pad.buttons & xinput_down) != 0) state.buttons |= pad_down;
    if ((pad.buttons & xinput_left) != 0) state.buttons |= pad_left;
    if ((pad.buttons & xinput_right) != 0) state.buttons |= pad_right;
    state.trigger = std::max(pad.left_trigger, pad.right_trigger);
    state.stick_x = pad.thumb_lx;
    state.stick_y = saturated(-int32_t{pad.thumb_ly});  // XInput's up is the picture's down
    return state;
}

Motion stick_motion(int32_t x, int32_t y, int32_t dead_zone_percent, int32_t speed) {
    const int64_t length = integer_sqrt(int64_t{x} * x + int64_t{y} * y);
    const int64_t dead = int64_t{stick_rim} * std::clamp(dead_zone_percent, 0, 50) / 100;
    if (length <= dead) return {};
    const int64_t beyond = std::min<int64_t>(length, stick_rim) - dead;
    const int64_t deflection = beyond * 1024 / (stick_rim - dead);  // 0 to 1024
    // A quarter linear, three quarters square: fine near the centre, fast at the rim.
    const int64_t curve = (deflection + 3 * deflection * deflection / 1024) / 4;
    const int64_t step = int64_t{speed_unit} * std::clamp(speed, 1, 10) * curve / 1024;
    return {static_cast<int32_t>(step * x / length), static_cast<int32_t>(step * y / length)};
}

int32_t key_step(int32_t held_pumps, int32_t speed) {
    const int32_t top = speed_unit * std::clamp(speed, 1, 10);
    const int32_t first = top / 4;
    return first + (top - first) * std::clamp(held_pumps, 0, key_ramp_pumps) / key_ramp_pumps;
}

KeyRole key_role_for_usb_usage(uint32_t usage) {
    switch (usage) {
        case 0x50:  // Left arrow
        case 0x04:  // A
            return KeyRole::Left;
        case 0x4F:  // Right arrow
        case 0x07:  // D
            return KeyRole::Right;
        case 0x52:  // Up arrow
        case 0x1A:  // W
            return KeyRole::Up;
        case 0x51:  // Down arrow
        case 0x16:  // S
            return KeyRole::Down;
        case 0x2C:  // Space
        case 0xE0:  // left Ctrl
        case 0xE4:  // right Ctrl
            return KeyRole::Fire;
        case 0x28:  // Enter
        case 0x58:  // keypad Enter
            return KeyRole::Start;
        case 0x06:  // C
            return KeyRole::Credits;
        default:
            return KeyRole::None;
    }
}

KeyRole key_role_for_virtual_key(uint32_t code) {
    switch (code) {
        case 0x25:  // VK_LEFT
        case 'A':
            return KeyRole::Left;
        case 0x27:  // VK_RIGHT
        case 'D':
            return KeyRole::Right;
        case 0x26:  // VK_UP
        case 'W':
            return KeyRole::Up;
        case 0x28:  // VK_DOWN
        case 'S':
            return KeyRole::Down;
        case 0x20:  // VK_SPACE
        case 0x11:  // VK_CONTROL
        case 0xA2:  // VK_LCONTROL
        case 0xA3:  // VK_RCONTROL
            return KeyRole::Fire;
        case 0x0D:  // VK_RETURN
            return KeyRole::Start;
        case 'C':
            return KeyRole::Credits;
        default:
            return KeyRole::None;
    }
}

KeyRole key_role_for_code(std::string_view code) {
    struct Name {
        std::string_view code;
        KeyRole role;
    };
    static constexpr Name names[] = {
        {"ArrowLeft", KeyRole::Left},    {"KeyA", KeyRole::Left},         {"ArrowRight", KeyRole::Right},
        {"KeyD", KeyRole::Right},        {"ArrowUp", KeyRole::Up},        {"KeyW", KeyRole::Up},
        {"ArrowDown", KeyRole::Down},    {"KeyS", KeyRole::Down},         {"Space", KeyRole::Fire},
        {"ControlLeft", KeyRole::Fire},  {"ControlRight", KeyRole::Fire}, {"Enter", KeyRole::Start},
        {"NumpadEnter", KeyRole::Start}, {"KeyC", KeyRole::Credits},
    };
    for (const Name& name : names) {
        if (name.code == code) return name.role;
    }
    return KeyRole::None;
}

// ---- The crosshair.

PointerStep Crosshair::follow(CursorPosition mouse, Motion motion) {
    bool expected = false;
    for (size_t i = 0; i < expected_count_; ++i) expected = expected || same(mouse, expected_[i]);
    if (!placed_ || (!same(mouse, last_read_) && !expected)) {
        // The mouse moved: the crosshair is where it points, at the pixel's centre.
        placed_ = true;
        x_ = mouse.x * subpixels + subpixels / 2;
        y_ = mouse.y * subpixels + subpixels / 2;
        expected_count_ = 0;
    }
    last_read_ = mouse;
    if (motion.dx != 0 || motion.dy != 0) {
        x_ = std::clamp(x_ + motion.dx, 0, screen_width * subpixels - 1);
        y_ = std::clamp(y_ + motion.dy, 0, screen_height * subpixels - 1);
    }
    // Floor division: a crosshair placed off the picture by the mouse stays there.
    const CursorPosition at{x_ >= 0 ? x_ / subpixels : -((-x_ + subpixels - 1) / subpixels),
                            y_ >= 0 ? y_ / subpixels : -((-y_ + subpixels - 1) / subpixels)};
    return {at, motion.dx != 0 || motion.dy != 0};
}

void Crosshair::expect(CursorPosition at) {
    expected_[next_expected_] = at;
    next_expected_ = (next_expected_ + 1) % expected_.size();
    expected_count_ = std::min(expected_count_ + 1, expected_.size());
}

// ---- Everything together.

InputDevices::InputDevices(PlayerSide& player, const PortSettings& settings)
    : player_(player),
      pad_speed_(std::clamp(settings.pad_speed, 1, 10)),
      key_speed_(std::clamp(settings.key_speed, 1, 10)),
      dead_zone_(std::clamp(settings.dead_zone, 0, 50)) {}

void InputDevices::set_speeds(const PortSettings& settings) {
    pad_speed_ = std::clamp(settings.pad_speed, 1, 10);
    key_speed_ = std::clamp(settings.key_speed, 1, 10);
    dead_zone_ = std::clamp(settings.dead_zone, 0, 50);
}

// The keyboard is one source of each button: Space and Ctrl hold the left
// one, and so does Enter when it went down on the title.
bool InputDevices::held(KeyRole role) const {
    return std::any_of(keys_.begin(), keys_.end(), [role](const HeldKey& key) { return key.role == role; });
}

void InputDevices::keyboard_buttons() {
    const bool left = held(KeyRole::Fire) || start_holds_;
    const bool right = held(KeyRole::Credits);
    if (left != keyboard_left_) player_.button(MouseButton::Left, left, InputSource::Keyboard);
    if (right != keyboard_right_) player_.button(MouseButton::Right, right, InputSource::Keyboard);
    keyboard_left_ = left;
    keyboard_right_ = right;
}

void InputDevices::key(uint32_t code, KeyRole role, bool down) {
    if (role == KeyRole::None) return;
    const auto found =
        std::find_if(keys_.begin(), keys_.end(), [code](const HeldKey& key) { return key.code == code; });
    if (down == (found != keys_.end())) return;
    if (down && player_.paused()) {
        switch (role) {
            case KeyRole::Up:
                player_.menu_input(MenuInput::Up);
                break;
            case KeyRole::Down:
                player_.menu_input(MenuInput::Down);
                break;
            case KeyRole::Left:
                player_.menu_input(MenuInput::Left);
                break;
            case KeyRole::Right:
                player_.menu_input(MenuInput::Right);
                break;
            case KeyRole::Fire:
            case KeyRole::Start:
                // Held on for nothing: the game never hears of it (see PlayerSide::button).
                keys_.push_back({code, role == KeyRole::Start ? KeyRole::None : role});
                keyboard_buttons();
                player_.menu_input(MenuInput::Select);
                return;
            default:
                break;
        }
    }
    if (down) {
        // Enter starts on the title only; pressed in play it holds nothing.
        if (role == KeyRole::Start && !held(KeyRole::Start)) start_holds_ = !player_.playing();
        keys_.push_back({code, role});
    } else {
        keys_.erase(found);
        if (role == KeyRole::Start && !held(KeyRole::Start)) start_holds_ = false;
    }
    keyboard_buttons();
}

void InputDevices::keys_lost() {
    keys_.clear();
    start_holds_ = false;
    keyboard_buttons();
    ramp_x_ = ramp_y_ = 0;
}

void InputDevices::pad(const PadState& state) {
    const auto pressed = [&](uint8_t button) { return (state.buttons & button) != 0 && (pad_.buttons & button) == 0; };
    const bool start_pressed = pressed(pad_start);
    const bool a_pressed = pressed(pad_a);
    const bool b_pressed = pressed(pad_b);
    pad_ = state;
    const bool left = (state.buttons & pad_a) != 0 || state.trigger > trigger_threshold;
    const bool right = (state.buttons & pad_b) != 0;
    if (left != pad_left_) player_.button(MouseButton::Left, left, InputSource::Pad);
    if (right != pad_right_) player_.button(MouseButton::Right, right, InputSource::Pad);
    pad_left_ = left;
    pad_right_ = right;
    // Each push of the stick or the d-pad moves the menu once; A chooses, B
    // goes back. What is held as the menu opens moves nothing.
    constexpr int32_t push = 16384;
    auto directions = static_cast<uint8_t>(state.buttons & (pad_up | pad_down | pad_left | pad_right));
    if (state.stick_y < -push) directions |= pad_up;
    if (state.stick_y > push) directions |= pad_down;
    if (state.stick_x < -push) directions |= pad_left;
    if (state.stick_x > push) directions |= pad_right;
    const bool was_paused = player_.paused();
    if (start_pressed) player_.request(PlayerRequest::Pause);
    if (!was_paused || !player_.paused()) {
        pad_menu_ = directions;
        return;
    }
    const auto fresh = static_cast<uint8_t>(directions & ~pad_menu_);
    pad_menu_ = directions;
    if ((fresh & pad_up) != 0) player_.menu_input(MenuInput::Up);
    if ((fresh & pad_down) != 0) player_.menu_input(MenuInput::Down);
    if ((fresh & pad_left) != 0) player_.menu_input(MenuInput::Left);
    if ((fresh & pad_right) != 0) player_.menu_input(MenuInput::Right);
    if (a_pressed) player_.menu_input(MenuInput::Select);
    if (b_pressed) player_.menu_input(MenuInput::Back);
}

void InputDevices::pad_removed() { player_.pad_lost(); }

InputDevices::Finger* InputDevices::finger(int64_t id) {
    const auto found = std::find_if(fingers_.begin(), fingers_.end(), [id](const Finger& f) { return f.id == id; });
    return found == fingers_.end() ? nullptr : &*found;
}

void InputDevices::fire_fingers_changed(int before) {
    const bool was = before > 0 || fire_control_;
    const bool now = fire_fingers_ > 0 || fire_control_;
    if (was != now) player_.button(MouseButton::Left, now, InputSource::TouchFire);
}

void InputDevices::finger_down(int64_t id, int32_t x, int32_t y, uint32_t time) {
    if (finger(id) != nullptr) return;
    const bool aims = std::none_of(fingers_.begin(), fingers_.end(), [](const Finger& f) { return f.aims; });
    fingers_.push_back({id, aims, x, y, x, y, time, false});
    if (!aims) {
        const int before = fire_fingers_++;
        fire_fingers_changed(before);
    }
}

void InputDevices::finger_move(int64_t id, int32_t x, int32_t y) {
    Finger* f = finger(id);
    if (f == nullptr) return;
    if (f->aims) {
        drag_.dx += (x - f->x) * drag_gain_numerator / drag_gain_denominator;
        drag_.dy += (y - f->y) * drag_gain_numerator / drag_gain_denominator;
        if (std::abs(x - f->start_x) > touch_slop || std::abs(y - f->start_y) > touch_slop) f->strayed = true;
    }
    f->x = x;
    f->y = y;
}

void InputDevices::finger_up(int64_t id, uint32_t time) {
    Finger* f = finger(id);
    if (f == nullptr) return;
    const Finger lifted = *f;
    fingers_.erase(fingers_.begin() + (f - fingers_.data()));
    if (!lifted.aims) {
        const int before = fire_fingers_--;
        fire_fingers_changed(before);
        return;
    }
    if (lifted.strayed) return;
    // A tap on the menu chooses what it touched.
    if (player_.paused()) {
        player_.tap(lifted.x / subpixels, lifted.y / subpixels);
        return;
    }
    // A click: down in one pump, up in the next (the player's side sees to it).
    const MouseButton button =
        time - lifted.start_time >= long_press_milliseconds ? MouseButton::Right : MouseButton::Left;
    player_.button(button, true, InputSource::Touch);
    player_.button(button, false, InputSource::Touch);
}

void InputDevices::finger_cancelled(int64_t id) {
    if (Finger* f = finger(id)) f->strayed = true;
    finger_up(id, 0);
}

void InputDevices::fire_control(bool down) {
    if (down == fire_control_) return;
    const bool was = fire_fingers_ > 0 || fire_control_;
    fire_control_ = down;
    const bool now = fire_fingers_ > 0 || fire_control_;
    if (was != now) player_.button(MouseButton::Left, now, InputSource::TouchFire);
}

void InputDevices::touches_lost() {
    fingers_.clear();
    fire_fingers_ = 0;
    fire_control_ = false;
    drag_ = {};
    player_.release_all(InputSource::TouchFire);
}

PointerStep InputDevices::pointer(CursorPosition mouse) {
    Motion motion;
    if (player_.captured()) {
        motion = stick_motion(pad_.stick_x, pad_.stick_y, dead_zone_, pad_speed_);
        const int across = int{held(KeyRole::Right)} - int{held(KeyRole::Left)};
        const int down = int{held(KeyRole::Down)} - int{held(KeyRole::Up)};
        motion.dx += across * key_step(ramp_x_, key_speed_);
        motion.dy += down * key_step(ramp_y_, key_speed_);
        ramp_x_ = across != 0 ? ramp_x_ + 1 : 0;
        ramp_y_ = down != 0 ? ramp_y_ + 1 : 0;
        motion.dx += drag_.dx;
        motion.dy += drag_.dy;
    } else {
        ramp_x_ = ramp_y_ = 0;
    }
    drag_ = {};
    return crosshair_.follow(mouse, motion);
}

}  // namespace qv
