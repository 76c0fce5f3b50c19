// The SDL back end: a real window that shows the 320 x 200 picture blown up by a
// whole factor and centred, the mouse in picture pixels, one SDL_mixer channel
// for the music and plain message boxes.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <vector>

#include "platform/platform.h"
#include "platform/port_settings.h"
#include "platform/view_layout.h"

struct SDL_Window;
struct SDL_Renderer;
struct SDL_Texture;
union SDL_Event;
struct Mix_Chunk;

namespace qv {

inline constexpr int32_t default_window_scale = 3;

class SdlBackEnd final : public BackEnd {
public:
    SdlBackEnd() = default;
    explicit SdlBackEnd(const PortSettings& settings) : settings_(settings) {
        if (settings.scale > 0) scale = settings.scale;
    }
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

    // How much the picture is blown up when the window opens; lowered so the
    // window fits on the desktop.
    int32_t scale = default_window_scale;

    // Read by tests.
    SDL_Window* window() const { return window_; }
    SDL_Renderer* renderer() const { return renderer_; }
    uint32_t window_id() const { return window_id_; }
    ViewRect view() const { return view_; }

private:
    void release_window();
    void translate(const SDL_Event& event);
    void follow_window_size();
    void redraw();
    bool audio_ready();

    PortSettings settings_;
    bool video_ready_ = false;
    SDL_Window* window_ = nullptr;
    SDL_Renderer* renderer_ = nullptr;
    SDL_Texture* texture_ = nullptr;  // the last picture, drawn again on expose
    uint32_t window_id_ = 0;
    ViewRect view_;

    // The picture in the texture's own format, made straight from the indexed
    // frame through a table built from the palette it was converted with.
    std::vector<uint32_t> pixels_;
    std::array<uint32_t, 256> colours_{};
    std::array<uint16_t, 256> colours_from_{};
    bool colours_valid_ = false;

    std::deque<WindowEvent> pending_;

    // The audio device is opened on the first play; when that fails the game
    // carries on without sound and the device is never asked for again.
    bool audio_tried_ = false;
    bool audio_open_ = false;
    Mix_Chunk* chunk_ = nullptr;  // what the one channel plays, or nothing
};

}  // namespace qv
