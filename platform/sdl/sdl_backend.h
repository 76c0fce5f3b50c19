// The SDL back end: a real window that shows the 320 x 200 picture blown up by a
// whole factor and centred (square pixels, or 4:3 with a sharp pre-scale), the
// mouse in picture pixels, one SDL_mixer channel for the music and message boxes
// drawn inside the window. The player's side lives here too: desktop fullscreen
// on Alt+Enter or F11, a pause on Esc or when the window loses the focus during
// play, a pointer that is hidden and confined only while the game is being
// played, and a close that ends the program at any moment, a box up or not.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "platform/game_buttons.h"
#include "platform/platform.h"
#include "platform/port_settings.h"
#include "platform/view_layout.h"

struct SDL_Window;
struct SDL_Renderer;
struct SDL_Texture;
union SDL_Event;
struct Mix_Chunk;

namespace qv {

class SdlBackEnd final : public BackEnd {
public:
    explicit SdlBackEnd(const PortSettings& settings = {});
    ~SdlBackEnd() override;

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
    void set_playing(bool playing) override;

    // Between desktop fullscreen and the window, as Alt+Enter and F11 do.
    void toggle_fullscreen();

    // Called on every turn of the wait while paused (at least every tenth of a
    // second), so a test can look at the paused window and then resume it.
    std::function<void()> while_paused;

    // Called on every turn of the wait while a message box is up (at least
    // every tenth of a second), so a test can look at the box and answer it.
    std::function<void()> while_box_up;

    // Read by tests.
    SDL_Window* window() const { return window_; }
    SDL_Renderer* renderer() const { return renderer_; }
    uint32_t window_id() const { return window_id_; }
    ViewRect view() const { return view_; }
    bool paused() const { return paused_; }
    bool box_up() const { return box_up_; }
    Mix_Chunk* chunk() const { return chunk_; }

private:
    void release_window();
    void translate(const SDL_Event& event);
    void translate_key(const SDL_Event& event);
    void translate_button(const SDL_Event& event);
    void follow_window_size();
    bool build_sharp_target();
    void redraw();
    void draw_pause_overlay();
    void draw_message_box();
    void box_event(const SDL_Event& event);
    void box_key(const SDL_Event& event);
    void box_button(const SDL_Event& event);
    bool over_box_button(int32_t x, int32_t y) const;
    void pause();
    void resume();
    void hold_while_paused();
    void close();
    void free_pointer();
    void follow_pointer_state();
    bool audio_ready();
    int mixer_volume() const;

    PortSettings settings_;
    bool video_ready_ = false;
    SDL_Window* window_ = nullptr;
    SDL_Renderer* renderer_ = nullptr;
    SDL_Texture* texture_ = nullptr;  // the last picture, drawn again on expose
    SDL_Texture* sharp_ = nullptr;    // the 4:3 picture's whole-factor blow-up
    Extent sharp_size_;
    uint32_t window_id_ = 0;
    ViewRect view_;

    // The picture in the texture's own format, made straight from the indexed
    // frame through a table built from the palette it was converted with.
    std::vector<uint32_t> pixels_;
    std::array<uint32_t, 256> colours_{};
    std::array<uint16_t, 256> colours_from_{};
    bool colours_valid_ = false;

    std::deque<WindowEvent> pending_;

    // The player's side of the window.
    bool playing_ = false;
    bool focused_ = false;
    bool paused_ = false;
    bool box_up_ = false;
    bool box_answered_ = false;  // OK, Enter, Space or Esc
    bool box_pressed_ = false;   // the left button went down on OK
    bool box_hover_ = false;     // the pointer is over OK
    std::string box_caption_;
    std::string box_text_;
    bool closing_ = false;  // the player closed the window
    GameButtons buttons_;

    // The audio device is opened on the first play; when that fails the game
    // carries on without sound and the device is never asked for again.
    bool audio_tried_ = false;
    bool audio_open_ = false;
    Mix_Chunk* chunk_ = nullptr;  // what the one channel plays, or nothing
};

}  // namespace qv
