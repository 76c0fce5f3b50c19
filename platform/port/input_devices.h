// The player's hands on every device, the same on every back end. The mouse,
// the keyboard, pads and touch all reach the game as what it already reads:
// the pointer in picture pixels and a left and a right button, through the
// player's side of the window (player_side.h), so no rule changes and a
// recording replays whatever the player held. A back end hands over what its
// devices did in the terms below; the dead zone, the speed curves, the ramps
// and the touch gestures live here once.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/platform.h"
#include "platform/port/player_side.h"
#include "platform/port_settings.h"

namespace qv {

// Positions and moves of the crosshair are kept in 1/256 of a picture pixel,
// so a slow stick moves it less than a pixel a pump and still gets there.
inline constexpr int32_t subpixels = 256;

struct Motion {
    int32_t dx = 0;  // subpixels, right positive
    int32_t dy = 0;  // subpixels, down positive
};

// ---- Pads: every pad API reduced to what the game needs.

enum PadButton : uint8_t {
    pad_a = 1,
    pad_b = 2,
    pad_start = 4,
    pad_up = 8,  // the d-pad, for the menu
    pad_down = 16,
    pad_left = 32,
    pad_right = 64,
};

struct PadState {
    uint8_t buttons = 0;  // PadButton bits
    uint8_t trigger = 0;  // the further pulled trigger, 0 to 255
    int16_t stick_x = 0;  // the left stick: right positive
    int16_t stick_y = 0;  // down positive
};

// Several pads played as one: the buttons of either, the further trigger, the
// sticks added.
PadState combine(const PadState& a, const PadState& b);

// A trigger pulled past this fires.
inline constexpr uint8_t trigger_threshold = 30;

// XInput's XINPUT_GAMEPAD field for field, so that its mapping is tested anywhere.
struct XInputGamepad {
    uint16_t buttons = 0;
    uint8_t left_trigger = 0;
    uint8_t right_trigger = 0;
    int16_t thumb_lx = 0;
    int16_t thumb_ly = 0;  // up positive
    int16_t thumb_rx = 0;
    int16_t thumb_ry = 0;
};
inline constexpr uint16_t xinput_up = 0x0001;
inline constexpr uint16_t xinput_down = 0x0002;
inline constexpr uint16_t xinput_left = 0x0004;
inline constexpr uint16_t xinput_right = 0x0008;
inline constexpr uint16_t xinput_start = 0x0010;
inline constexpr uint16_t xinput_a = 0x1000;
inline constexpr uint16_t xinput_b = 0x2000;

PadState pad_from_xinput(const XInputGamepad& pad);

// The crosshair's move in one pump for a stick at (x, y) (each -32768 to
// 32767): nothing inside the dead zone (percent of the travel, round), then a
// curve that is slow near the centre for fine aim and reaches the top speed
// `speed` (1 to 10) at the rim for a fast sweep.
Motion stick_motion(int32_t x, int32_t y, int32_t dead_zone_percent, int32_t speed);

// The move of an aiming key held for `held_pumps` pumps before this one, in
// subpixels: a quarter of the top speed at first for fine aim, the top speed
// `speed` (1 to 10) after about half a second.
int32_t key_step(int32_t held_pumps, int32_t speed);

// ---- Keys: what a key does, from each system's names for it.

enum class KeyRole : uint8_t {
    None,
    Left,
    Right,
    Up,
    Down,
    Fire,     // Space, Ctrl: the left button
    Start,    // Enter: the left button on the title
    Credits,  // C: the right button
};

// From a USB keyboard usage (SDL's scan codes are these): by position, so WASD
// are the same keys on every layout.
KeyRole key_role_for_usb_usage(uint32_t usage);
// From a Windows virtual-key code.
KeyRole key_role_for_virtual_key(uint32_t code);
// From a browser's KeyboardEvent.code ("ArrowLeft", "KeyW", "Space").
KeyRole key_role_for_code(std::string_view code);

// ---- The crosshair: the mouse places it, the other devices move it.

struct PointerStep {
    CursorPosition at;   // what the game gets this pump
    bool moved = false;  // a device other than the mouse moved it: the system pointer should follow
};

class Crosshair {
public:
    // Once a pump: `mouse` is where the system's pointer is (picture pixels,
    // possibly off the picture). When it has moved since the last pump the
    // crosshair jumps there; then `motion` moves it, kept on the picture so
    // that holding a device at full deflection ends in an edge zone and steers.
    PointerStep follow(CursorPosition mouse, Motion motion);
    // The system pointer was moved after the crosshair: reading `at` from now
    // on (possibly a few pumps late) is no move of the mouse.
    void expect(CursorPosition at);

private:
    bool placed_ = false;
    int32_t x_ = 0;  // subpixels
    int32_t y_ = 0;
    CursorPosition last_read_;
    std::array<CursorPosition, 4> expected_{};
    size_t expected_count_ = 0;
    size_t next_expected_ = 0;
};

// ---- Everything together, as a back end uses it.

class InputDevices {
public:
    InputDevices(PlayerSide& player, const PortSettings& settings);
    // The player changed the speeds or the dead zone in the menu.
    void set_speeds(const PortSettings& settings);

    // A key went down or up: `code` tells one key from another (two keys of
    // one role are held until both are let go); a second press of a key that
    // is down is a repeat and nothing. While the menu is up the aiming keys
    // move in it and the fire and start keys choose.
    void key(uint32_t code, KeyRole role, bool down);
    // The focus is gone: every key is up.
    void keys_lost();

    // All pads together, read at least once a pump (also while paused, so that
    // the menu follows the pad: the stick or the d-pad moves, A chooses, B and
    // Start go back).
    void pad(const PadState& state);
    // A pad was unplugged: a game in play pauses.
    void pad_removed();

    // Touch as a trackpad, positions in subpixels of the picture (off it too),
    // times in milliseconds. The first finger aims: dragging it moves the
    // crosshair by the drag (a little more), so it never hides the crosshair;
    // lifted where it went down, it is a click of the left button, or of the
    // right after a long press. Any further finger fires while held.
    void finger_down(int64_t finger, int32_t x, int32_t y, uint32_t time);
    void finger_move(int64_t finger, int32_t x, int32_t y);
    void finger_up(int64_t finger, uint32_t time);
    // The system took the finger over (a cancelled touch): no click.
    void finger_cancelled(int64_t finger);
    // An on-screen fire control, held.
    void fire_control(bool down);
    // The touches were taken away (the page hid, the window lost them).
    void touches_lost();

    // Once a pump, from where the system's pointer is now: the crosshair the
    // game gets. The keys, the stick and the drags move it only while it is
    // the game's pointer (PlayerSide::captured).
    PointerStep pointer(CursorPosition mouse);
    // The system pointer was moved after the crosshair and now reads `at`.
    void pointer_moved_to(CursorPosition at) { crosshair_.expect(at); }

    const PadState& pad_state() const { return pad_; }

private:
    struct Finger {
        int64_t id = 0;
        bool aims = false;
        int32_t x = 0;  // last position
        int32_t y = 0;
        int32_t start_x = 0;
        int32_t start_y = 0;
        uint32_t start_time = 0;
        bool strayed = false;  // moved too far to be a click
    };

    void keyboard_buttons();
    void fire_fingers_changed(int before);
    Finger* finger(int64_t id);

    PlayerSide& player_;
    int32_t pad_speed_;
    int32_t key_speed_;
    int32_t dead_zone_;
    Crosshair crosshair_;

    struct HeldKey {
        uint32_t code = 0;
        KeyRole role = KeyRole::None;
    };
    bool held(KeyRole role) const;

    std::vector<HeldKey> keys_;
    bool start_holds_ = false;    // Enter went down on the title and is still held
    bool keyboard_left_ = false;  // what the keyboard told the player's side
    bool keyboard_right_ = false;
    int32_t ramp_x_ = 0;  // pumps an aiming key has been held on each axis
    int32_t ramp_y_ = 0;

    PadState pad_;
    uint8_t pad_menu_ = 0;  // the directions the pad already moved the menu in, as PadButton bits
    bool pad_left_ = false;
    bool pad_right_ = false;

    std::vector<Finger> fingers_;
    int fire_fingers_ = 0;
    bool fire_control_ = false;
    Motion drag_;  // the aiming finger's moves since the last pump
};

}  // namespace qv
