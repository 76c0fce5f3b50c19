// The SDL back end: a real window that shows the 320 x 200 picture blown up by a
// whole factor and centred (square pixels, or 4:3 with a sharp pre-scale), the
// mouse in picture pixels, one SDL_mixer channel for the music and message boxes
// drawn inside the window. Its events go to the player's side shared by every
// window (platform/port/player_side.h); this file does the SDL calls it asks
// for: desktop fullscreen, a hidden and confined pointer, the paused sound.
// The keyboard, game controllers (hot-plugged) and touch screens go to the
// devices shared by every window (platform/port/input_devices.h); when they
// move the crosshair the system pointer is moved after it.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/port/input_devices.h"
#include "platform/port/player_side.h"
#include "platform/port/shown_picture.h"
#include "platform/port_settings.h"
#include "platform/view_layout.h"

struct SDL_Window;
struct SDL_Renderer;
struct SDL_Texture;
union SDL_Event;
struct Mix_Chunk;

namespace qv {

class SdlBackEnd final : public BackEnd, private NativeWindow {
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
    uint64_t steady_microseconds() override;
    void message_box(const char* caption, const char* text) override;
    void play_sound(const char* file_name, bool loop) override;
    void stop_sound() override;
    void set_playing(bool playing) override { player_.set_playing(playing); }

    // The pause, the pointer and the clicks (and the test hook while paused).
    PlayerSide& player() { return player_; }
    // The keyboard, the pads and touch.
    InputDevices& devices() { return devices_; }
    size_t pads_open() const { return pads_.size(); }

    // Called on every turn of the wait while a message box is up (at least
    // every tenth of a second), so a test can look at the box and answer it.
    std::function<void()> while_box_up;

    // Read by tests.
    SDL_Window* window() const { return window_; }
    SDL_Renderer* renderer() const { return renderer_; }
    uint32_t window_id() const { return window_id_; }
    ViewRect view() const { return view_; }
    bool paused() const { return player_.paused(); }
    const PortSettings& settings() const { return settings_; }
    bool box_up() const { return player_.box_up(); }
    Mix_Chunk* chunk() const { return chunk_; }

private:
    // What the player's side needs of the system.
    void capture_pointer(bool captured) override;
    void pause_sound(bool paused) override;
    void redraw() override;
    bool toggle_fullscreen() override;
    void apply_settings(const PortSettings& settings) override;
    void wait_for_events(uint32_t milliseconds) override;

    void notice_signals();
    void size_window();
    PicturePoint picture_point(int32_t x, int32_t y) const;
    void release_window();
    void translate(const SDL_Event& event);
    void translate_key(const SDL_Event& event);
    void translate_window(const SDL_Event& event);
    void translate_finger(const SDL_Event& event);
    void open_pad(int device_index);
    void close_pad(int32_t instance_id);
    void close_pads();
    void poll_pads();
    void follow_pointer(const PointerStep& step);
    void follow_window_size();
    bool build_sharp_target();
    void upload();
    void draw_message_box();
    void box_event(const SDL_Event& event);
    void box_button(const SDL_Event& event);
    bool over_box_button(int32_t x, int32_t y) const;
    bool audio_ready();
    int mixer_volume() const;

    PortSettings settings_;
    PlayerSide player_;
    InputDevices devices_;
    bool video_ready_ = false;
    bool pads_ready_ = false;
    std::vector<int32_t> pads_;  // instance ids of the open game controllers
    SDL_Window* window_ = nullptr;
    SDL_Renderer* renderer_ = nullptr;
    SDL_Texture* texture_ = nullptr;  // the shown picture, drawn again on expose
    SDL_Texture* sharp_ = nullptr;    // the 4:3 picture's whole-factor blow-up
    Extent sharp_size_;
    uint32_t window_id_ = 0;
    ViewRect view_;
    ShownPicture picture_{xrgb_pixels};

    // The message box drawn in the window.
    bool box_answered_ = false;  // OK, Enter, Space or Esc
    bool box_pressed_ = false;   // the left button went down on OK
    bool box_hover_ = false;     // the pointer is over OK
    std::string box_caption_;
    std::string box_text_;

    // The audio device is opened on the first play; when that fails the game
    // carries on without sound and the device is never asked for again.
    bool audio_tried_ = false;
    bool audio_open_ = false;
    Mix_Chunk* chunk_ = nullptr;  // what the one channel plays, or nothing
};

}  // namespace qv
