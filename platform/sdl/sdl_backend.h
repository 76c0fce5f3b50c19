// The SDL back end: a real window that shows the 320 x 200 picture blown up by a
// whole factor, the mouse in picture pixels, one SDL_mixer channel for the music
// and plain message boxes.
#pragma once

#include <cstdint>
#include <deque>

#include "platform/platform.h"

struct SDL_Window;
struct SDL_Renderer;
struct SDL_Texture;
struct Mix_Chunk;

namespace qv {

inline constexpr int32_t default_window_scale = 3;

// Client coordinate -> picture pixel. Floor division, so the strip left of or
// above the picture maps to negative pixels rather than folding onto pixel 0.
int32_t client_to_picture(int32_t client, int32_t scale);

// The largest whole factor, at most `wanted`, at which a width x height picture
// fits into bounds_width x bounds_height; never below 1.
int32_t fitting_scale(int32_t width, int32_t height, int32_t bounds_width, int32_t bounds_height, int32_t wanted);

struct BackEnd {
    BackEnd() = default;
    BackEnd(const BackEnd&) = delete;
    BackEnd& operator=(const BackEnd&) = delete;
    ~BackEnd();

    // How much the picture is blown up; may be lowered at window creation so the
    // window fits on the desktop.
    int32_t scale = default_window_scale;

    bool video_ready = false;
    SDL_Window* window = nullptr;
    SDL_Renderer* renderer = nullptr;
    SDL_Texture* texture = nullptr;
    int32_t picture_width = 0;
    int32_t picture_height = 0;
    uint32_t window_id = 0;

    // Button and close messages waiting for the game; a paint is a flag because
    // any number of requests and exposes before a drain make one paint.
    std::deque<WindowMessage> pending;
    bool paint_pending = false;

    // The audio device is opened on the first play; when that fails the game
    // carries on without sound and the device is never asked for again.
    bool audio_tried = false;
    bool audio_open = false;
    Mix_Chunk* chunk = nullptr;  // what the one channel plays, or nothing
};

}  // namespace qv
