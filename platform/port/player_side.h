// The player's side of a game window, the same on every back end: the pause
// (Esc, the window or the page losing the player), when the pointer is the
// game's, which clicks reach the game and which are the player's own, the events
// the game is still owed, a close at any moment and the fullscreen key. A back
// end translates its native events into the calls below and does only what
// needs the system (NativeWindow); the rules live here once.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>

#include "platform/platform.h"

namespace qv {

enum class MouseButton : uint8_t { Left = 1, Right = 2 };

// What holds a button down. The game sees one left and one right button: down
// while any source holds it, up when the last lets go.
enum class InputSource : uint8_t {
    Mouse = 1,
    Keyboard = 2,
    Pad = 4,
    Touch = 8,       // a tap or a long press: a click
    TouchFire = 16,  // a second finger or the on-screen fire control, held
};

// What the player asks of the window itself.
enum class PlayerRequest {
    Pause,       // Esc: pause, or resume when paused
    Fullscreen,  // F11, Alt+Enter: between fullscreen and the window
    Close,       // Alt+F4 where no window manager does it
};

// What lies over the game's picture.
enum class Overlay { None, Paused };

// The calls of a back end that need the system.
class NativeWindow {
public:
    virtual ~NativeWindow() = default;
    // Hide the system cursor and hold it inside the picture, or show and free it.
    virtual void capture_pointer(bool captured) = 0;
    virtual void pause_sound(bool paused) = 0;
    // Show the kept picture again with the overlay now due over it.
    virtual void redraw() = 0;
    virtual void toggle_fullscreen() = 0;
    // Waits at most this long for the window's events and hands them over.
    virtual void wait_for_events(uint32_t milliseconds) = 0;
};

class PlayerSide {
public:
    explicit PlayerSide(NativeWindow& native) : native_(native) {}
    PlayerSide(const PlayerSide&) = delete;
    PlayerSide& operator=(const PlayerSide&) = delete;

    // The window was opened (with or without the focus) or is gone; either
    // starts afresh.
    void opened(bool focused);
    void closed();

    // The back end's native events. While paused a press of the mouse or a tap
    // resumes; the keys and the pad are the player's then (Esc or Start resume).
    void button(MouseButton button, bool down, InputSource source = InputSource::Mouse);
    // Every button this source holds is let go (the keys when the focus goes).
    void release_all(InputSource source);
    // A pad was unplugged: a game in play pauses, as when the focus goes.
    void pad_lost();
    void request(PlayerRequest request);
    void focus(bool focused);  // the window's focus, or whether the page is seen
    void close();              // the player closed the window

    // Told by the game (BackEnd::set_playing) and by a back end while it shows a box.
    void set_playing(bool playing);
    void box_shown(bool up);

    // The pump: start_pump() first, then next_event() until it gives nothing.
    // Both hold the game while it is paused. Each button changes at most once
    // a pump, so a click shorter than a frame still reaches the game: down in
    // one pump, up in the next.
    void start_pump();
    bool next_event(WindowEvent& event);
    // Whether next_event() has something for this pump; a back end reads its
    // native queue until it does or the queue is empty.
    bool has_event() const;

    bool is_open() const { return open_; }
    bool playing() const { return playing_; }
    bool paused() const { return paused_; }
    bool closing() const { return closing_; }
    bool focused() const { return focused_; }
    bool box_up() const { return box_up_; }
    // The crosshair is the pointer: playing, focused, not paused, no box up.
    bool captured() const { return open_ && playing_ && focused_ && !paused_ && !box_up_; }
    Overlay overlay() const { return paused_ ? Overlay::Paused : Overlay::None; }

    // Called on every turn of the wait while paused (at least every tenth of a
    // second), so a test can look at the paused window and then resume it.
    std::function<void()> while_paused;

private:
    void pause();
    void resume();
    void hold_while_paused();
    void follow_capture();
    void post(MouseButton button, bool down);

    NativeWindow& native_;
    bool open_ = false;
    bool playing_ = false;
    bool focused_ = false;
    bool paused_ = false;
    bool box_up_ = false;
    bool closing_ = false;
    bool close_delivered_ = false;
    bool capture_shown_ = false;  // what capture_pointer was last told

    std::deque<WindowEvent> pending_;
    // For the left [0] and the right [1] button, sources as InputSource bits.
    uint8_t held_[2] = {};       // whose presses the game was told of, still down
    uint8_t swallowed_[2] = {};  // whose presses were kept from the game, still down
    uint8_t changed_ = 0;        // buttons that already changed in this pump
    bool held_back_ = false;     // the rest of the queue waits for the next pump
};

}  // namespace qv
