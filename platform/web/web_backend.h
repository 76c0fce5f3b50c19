// The web back end: the game compiled to WebAssembly in a page. The picture goes
// to the page's <canvas>, the mouse comes from the canvas, the cues play through
// Web Audio and a message box is a modal dialog of the page. The game's blocking
// loops run unchanged: every sleep hands control back to the browser (ASYNCIFY).
//
// The page (web/page.js) supplies the JavaScript half: the canvas, the dialog,
// the audio and the test hook, all under `Module.page`.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <memory>
#include <vector>

#include "platform/headless/headless.h"
#include "platform/platform.h"

namespace qv {

class WebBackEnd final : public BackEnd {
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
    void message_box(const char* caption, const char* text) override;
    void play_sound(const char* file_name, bool loop) override;
    void stop_sound() override;
    // While playing, the crosshair is the pointer: the page hides its own over the canvas.
    void set_playing(bool playing) override;

    // Test hook: from now on the tick count starts at `seed` and moves only with
    // the game's sleeps, the mouse follows `script` exactly as in the replay tool
    // (real mouse events are ignored), and the CRC-32 of every presented surface
    // is handed to the page.
    void follow_script(uint32_t seed, std::vector<MouseScriptEntry> script);

    // Called from the browser's event callbacks.
    void pointer_at(int32_t x, int32_t y);
    void button(WindowEvent event);

private:
    bool window_open_ = false;
    CursorPosition cursor_;
    std::deque<WindowEvent> pending_;

    // The picture as RGBA bytes for the canvas, made from the indexed frame
    // through a table that follows the palette.
    std::vector<uint32_t> pixels_;
    std::array<uint32_t, 256> colours_{};
    std::array<uint16_t, 256> colours_from_{};
    bool colours_valid_ = false;

    // No sleep since the last pump: the next pump yields to the browser first.
    bool pumped_since_sleep_ = false;

    // When the page last got control back from a sleep, for the frame timing.
    double woke_at_ = 0;

    // The scripted mouse of the test hook, or nothing.
    std::unique_ptr<HeadlessBackEnd> script_;
};

// CRC-32 as zlib computes it, over `size` bytes.
uint32_t crc32_of(const uint8_t* bytes, size_t size);

}  // namespace qv
