// The web back end: the game compiled to WebAssembly in a page. The picture goes
// to the page's <canvas>, the mouse comes from the canvas, the cues play through
// Web Audio and a message box is a modal dialog of the page. The game's blocking
// loops run unchanged: every sleep hands control back to the browser (ASYNCIFY).
// Its events go to the player's side shared by every window
// (platform/port/player_side.h): Esc, leaving the tab or the window pause.
// The keyboard, touch (the canvas as a trackpad, the page's fire and pause
// controls) and the browser's Gamepad API go to the devices shared by every
// window (platform/port/input_devices.h); what they move overrides the mouse's
// place until the mouse moves again.
//
// The page (web/page.js) supplies the JavaScript half: the canvas, the dialog,
// the audio and the test hook, all under `Module.page`.
#pragma once

#include <cstdint>

#include "platform/platform.h"
#include "platform/port/input_devices.h"
#include "platform/port/player_side.h"
#include "platform/port/shown_picture.h"
#include "platform/port_settings.h"

namespace qv {

class WebBackEnd final : public BackEnd, private NativeWindow {
public:
    WebBackEnd();
    ~WebBackEnd() override;

    void create_window(const char* title) override;
    void destroy_window() override;
    CursorPosition cursor_position() override;
    bool next_event(WindowEvent& event) override;
    void show_frame(const PresentedFrame& picture) override;
    void sleep(uint32_t milliseconds) override;
    uint32_t ticks() override;
    uint64_t steady_microseconds() override;
    void message_box(const char* caption, const char* text) override;
    void play_sound(const char* file_name, bool loop) override;
    void stop_sound() override;
    void set_playing(bool playing) override;

    // Test hook: hand the CRC-32 of every presented surface to the page.
    bool report_pictures = false;

    // Watching a recording faster: `speed` frames to each frame period of the
    // page's clock, whatever rest each frame asks for. 1 is the game's own pace.
    void set_speed(uint32_t speed);

    // Called from the browser's event callbacks.
    void pointer_at(int32_t x, int32_t y) {
        cursor_ = {x, y};
        player_.pointer_at(x, y);
    }
    // The page's own mute button.
    void set_mute(bool mute);
    PlayerSide& player() { return player_; }
    InputDevices& devices() { return devices_; }
    // Every pad the page sees, as one; a pad gone since the last look pauses.
    void poll_pads();

private:
    // What the player's side needs of the page.
    void capture_pointer(bool captured) override;
    void pause_sound(bool paused) override;
    void redraw() override;
    bool toggle_fullscreen() override;
    void apply_settings(const PortSettings& settings) override;
    void wait_for_events(uint32_t milliseconds) override;

    PortSettings settings_;  // kept by the page (localStorage), read before the rest
    PlayerSide player_;
    InputDevices devices_;
    int32_t pads_seen_ = 0;
    // The crosshair starts in the middle: a touch screen has no mouse to place it.
    CursorPosition cursor_{screen_width / 2, screen_height / 2};
    ShownPicture picture_{rgba_bytes};

    // No sleep since the last pump: the next pump yields to the browser first.
    bool pumped_since_sleep_ = false;

    // When the page last got control back from a sleep, for the frame timing.
    double woke_at_ = 0;
    // When the browser last had its turn, and, faster, when the next frame is due.
    double yielded_at_ = 0;
    uint32_t speed_ = 1;
    double due_at_ = 0;
};

// The text the page's `method` returns: its kept settings ("settingsText") or
// best scores ("scoresText"), a recording to watch or to check.
std::string page_text(const char* method);

// CRC-32 as zlib computes it, over `size` bytes (the page does without zlib:
// emscripten's is a port fetched over the network at build time).
uint32_t crc32_of(const uint8_t* bytes, size_t size);

}  // namespace qv
