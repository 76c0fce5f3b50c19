// The player's side of a game window, the same on every back end: the pause
// (Esc, the window or the page losing the player), when the pointer is the
// game's, which clicks reach the game and which are the player's own, the events
// the game is still owed, a close at any moment and the fullscreen key. A back
// end translates its native events into the calls below and does only what
// needs the system (NativeWindow); the rules live here once. The pause shows
// the menu (pause_menu.h) over the picture: its options change the player's
// settings at once, through the window, and are handed on to be saved.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>

#include "platform/platform.h"
#include "platform/port/pause_menu.h"
#include "platform/port_settings.h"

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
enum class Overlay { None, Menu };

// The calls of a back end that need the system.
class NativeWindow {
public:
    virtual ~NativeWindow() = default;
    // Hide the system cursor and hold it inside the picture, or show and free it.
    virtual void capture_pointer(bool captured) = 0;
    virtual void pause_sound(bool paused) = 0;
    // Show the kept picture again with the overlay now due over it.
    virtual void redraw() = 0;
    // Between fullscreen and the window; returns whether it is fullscreen now.
    virtual bool toggle_fullscreen() = 0;
    // The player changed an option: the window follows it at once (its size,
    // fullscreen, aspect, the volume, the speeds).
    virtual void apply_settings(const PortSettings& settings) = 0;
    // Waits at most this long for the window's events and hands them over.
    virtual void wait_for_events(uint32_t milliseconds) = 0;
};

class PlayerSide {
public:
    explicit PlayerSide(NativeWindow& native, const PortSettings& settings = {}, MenuOffer offer = {})
        : native_(native), settings_(settings) {
        menu_.offer = offer;
    }
    PlayerSide(const PlayerSide&) = delete;
    PlayerSide& operator=(const PlayerSide&) = delete;

    // The window was opened (with or without the focus) or is gone; either
    // starts afresh.
    void opened(bool focused);
    void closed();

    // The back end's native events. While paused the clicks are the menu's (at
    // the pointer's last place) and the keys and the pad are the player's.
    void button(MouseButton button, bool down, InputSource source = InputSource::Mouse);
    // Every button this source holds is let go (the keys when the focus goes).
    void release_all(InputSource source);
    // A pad was unplugged: a game in play pauses, as when the focus goes.
    void pad_lost();
    // Esc and Start: pause, or back in the menu (which resumes from its main page).
    void request(PlayerRequest request);
    // While the menu is up: the keys and the pad move in it.
    void menu_input(MenuInput input);
    // Where the mouse is, in picture pixels: the menu row under it is selected.
    void pointer_at(int32_t x, int32_t y);
    // A tap of a finger at a place of the picture, while the menu is up.
    void tap(int32_t x, int32_t y);
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

    // The table the menu's best scores page shows.
    void set_scores(const ScoreTable& table) { menu_.set_scores(table, std::nullopt); }
    // After a score box: the table with the game's place marked, over the
    // picture, until the player leaves it (or closes the window).
    void show_scores(const ScoreTable& table, size_t place);

    const PortSettings& settings() const { return settings_; }
    // A setting changed outside the menu (a page's own mute button): taken,
    // applied and handed on as the menu's changes are.
    void change_setting(const PortSettings& settings, std::string_view key);
    // Every change of a setting the player made in the window (the menu, the
    // fullscreen keys), with the key that changed, to be saved.
    std::function<void(const PortSettings& settings, std::string_view key)> settings_changed;

    bool is_open() const { return open_; }
    bool playing() const { return playing_; }
    bool paused() const { return paused_; }
    bool closing() const { return closing_; }
    bool focused() const { return focused_; }
    bool box_up() const { return box_up_; }
    // The crosshair is the pointer: playing, focused, not paused, no box up.
    bool captured() const { return open_ && playing_ && focused_ && !paused_ && !box_up_; }
    Overlay overlay() const { return paused_ ? Overlay::Menu : Overlay::None; }
    // Changes whenever what lies over the picture changes.
    uint64_t overlay_serial() const { return overlay_serial_; }
    MenuLayout menu_layout() const { return menu_.layout(settings_); }
    MenuPage menu_page() const { return menu_.page(); }

    // Called on every turn of the wait while paused (at least every tenth of a
    // second), so a test can look at the paused window and then resume it.
    std::function<void()> while_paused;

private:
    void pause();
    void resume();
    void hold_while_paused();
    void follow_capture();
    void post(MouseButton button, bool down);
    void follow(const MenuOutcome& outcome);
    void menu_changed();

    NativeWindow& native_;
    PortSettings settings_;
    PauseMenu menu_;
    uint64_t overlay_serial_ = 0;
    int32_t pointer_x_ = -1;  // picture pixels, where the mouse was last seen
    int32_t pointer_y_ = -1;
    bool sound_paused_ = false;
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
