#include "platform/sdl/sdl_backend.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace qv {

namespace {

[[noreturn]] void fail_window(const char* what) {
    std::fprintf(stderr, "quorvaner: cannot open the game window (%s): %s\n", what, SDL_GetError());
    SDL_Quit();
    std::exit(1);
}

bool invisible_video_driver() {
    const char* driver = SDL_GetCurrentVideoDriver();
    return driver != nullptr && (std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0);
}

// Only these drivers can tell where the cursor is while it is off the window.
bool desktop_cursor_known() {
    const char* driver = SDL_GetCurrentVideoDriver();
    if (driver == nullptr) return false;
    return std::strcmp(driver, "x11") == 0 || std::strcmp(driver, "windows") == 0 ||
           std::strcmp(driver, "cocoa") == 0;
}

// XRGB8888 from RGB555, each channel widened as in every picture file of the game.
uint32_t to_xrgb(uint16_t colour) {
    return (uint32_t{widen_channel(colour >> 10)} << 16) | (uint32_t{widen_channel(colour >> 5)} << 8) |
           widen_channel(colour);
}

}  // namespace

SdlBackEnd::~SdlBackEnd() {
    stop_sound();
    if (audio_open_) {
        Mix_CloseAudio();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
    release_window();
    if (video_ready_) SDL_QuitSubSystem(SDL_INIT_VIDEO);
    SDL_Quit();
}

void SdlBackEnd::release_window() {
    if (texture_ != nullptr) SDL_DestroyTexture(texture_);
    if (renderer_ != nullptr) SDL_DestroyRenderer(renderer_);
    if (window_ != nullptr) {
        SDL_SetWindowGrab(window_, SDL_FALSE);
        SDL_DestroyWindow(window_);
    }
    texture_ = nullptr;
    renderer_ = nullptr;
    window_ = nullptr;
    window_id_ = 0;
}

// The window is rebuilt from the texture, which keeps the last picture, so an
// expose or a resize is answered without the game's help.
void SdlBackEnd::redraw() {
    SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
    SDL_RenderClear(renderer_);
    const SDL_Rect target{view_.x, view_.y, view_.width, view_.height};
    SDL_RenderCopy(renderer_, texture_, nullptr, &target);
    SDL_RenderPresent(renderer_);
}

void SdlBackEnd::follow_window_size() {
    int width = 0;
    int height = 0;
    SDL_GetRendererOutputSize(renderer_, &width, &height);
    view_ = centred_view(width, height, Aspect::SquarePixels);
}

void SdlBackEnd::translate(const SDL_Event& event) {
    switch (event.type) {
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP: {
            if (event.button.windowID != window_id_) return;
            const bool down = event.type == SDL_MOUSEBUTTONDOWN;
            if (event.button.button == SDL_BUTTON_LEFT) {
                pending_.push_back(down ? WindowEvent::LeftButtonDown : WindowEvent::LeftButtonUp);
            } else if (event.button.button == SDL_BUTTON_RIGHT) {
                pending_.push_back(down ? WindowEvent::RightButtonDown : WindowEvent::RightButtonUp);
            }
            return;
        }
        case SDL_WINDOWEVENT:
            if (event.window.windowID != window_id_) return;
            switch (event.window.event) {
                case SDL_WINDOWEVENT_SIZE_CHANGED:
                    follow_window_size();
                    redraw();
                    return;
                case SDL_WINDOWEVENT_EXPOSED:
                    redraw();
                    return;
                case SDL_WINDOWEVENT_CLOSE:
                    pending_.push_back(WindowEvent::Close);
                    return;
                default:
                    return;
            }
        case SDL_QUIT:
            pending_.push_back(WindowEvent::Close);
            return;
        default:
            return;
    }
}

bool SdlBackEnd::audio_ready() {
    if (audio_tried_) return audio_open_;
    audio_tried_ = true;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
    if (Mix_OpenAudio(MIX_DEFAULT_FREQUENCY, MIX_DEFAULT_FORMAT, 2, 2048) != 0) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    Mix_AllocateChannels(1);
    audio_open_ = true;
    return true;
}

void SdlBackEnd::create_window(const char* title) {
    if (window_ != nullptr) return;
    if (!video_ready_) {
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) fail_window("no video");
        video_ready_ = true;
        // Without a display SDL falls back to drivers that draw nowhere; a game
        // waiting for a click on a window nobody can see would hang for good.
        if (!SDL_GetHint(SDL_HINT_VIDEODRIVER) && invisible_video_driver()) {
            SDL_SetError("no display found");
            fail_window("no display");
        }
    }
    SDL_Rect desktop{};
    if (SDL_GetDisplayUsableBounds(0, &desktop) == 0) {
        scale = fitting_scale(desktop.w, desktop.h, Aspect::SquarePixels, scale);
    }
    scale = std::max(1, scale);

    window_ = SDL_CreateWindow(title, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, screen_width * scale,
                               screen_height * scale, SDL_WINDOW_SHOWN | SDL_WINDOW_RESIZABLE);
    if (window_ == nullptr) fail_window("window");
    window_id_ = SDL_GetWindowID(window_);
    SDL_SetWindowMinimumSize(window_, screen_width, screen_height);

    renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_ACCELERATED);
    if (renderer_ == nullptr) renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_SOFTWARE);
    if (renderer_ == nullptr) fail_window("renderer");
    texture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_STREAMING, screen_width,
                                 screen_height);
    if (texture_ == nullptr) fail_window("picture");
    SDL_SetTextureScaleMode(texture_, SDL_ScaleModeNearest);

    pixels_.assign(static_cast<size_t>(screen_pixels), 0);
    SDL_UpdateTexture(texture_, nullptr, pixels_.data(), screen_width * 4);
    follow_window_size();
    redraw();
    SDL_SetWindowGrab(window_, SDL_TRUE);
}

void SdlBackEnd::destroy_window() {
    release_window();
    pending_.clear();
}

CursorPosition SdlBackEnd::cursor_position() {
    if (window_ == nullptr) return {};
    int x = 0;
    int y = 0;
    if (SDL_GetMouseFocus() == window_ || !desktop_cursor_known()) {
        SDL_GetMouseState(&x, &y);
    } else {
        // Outside the window (it lost the focus and with it the confinement) the
        // per-window state is stale; the desktop position tells where the cursor
        // really is, possibly left of or above the picture.
        int window_x = 0;
        int window_y = 0;
        SDL_GetGlobalMouseState(&x, &y);
        SDL_GetWindowPosition(window_, &window_x, &window_y);
        x -= window_x;
        y -= window_y;
    }
    // Mouse positions come in window points; the view is in output pixels.
    int points_w = 0, points_h = 0, pixels_w = 0, pixels_h = 0;
    SDL_GetWindowSize(window_, &points_w, &points_h);
    SDL_GetRendererOutputSize(renderer_, &pixels_w, &pixels_h);
    if (points_w > 0 && points_h > 0) {
        x = static_cast<int>(int64_t{x} * pixels_w / points_w);
        y = static_cast<int>(int64_t{y} * pixels_h / points_h);
    }
    return {window_to_picture(x, view_.x, view_.width, screen_width),
            window_to_picture(y, view_.y, view_.height, screen_height)};
}

bool SdlBackEnd::next_event(WindowEvent& event) {
    if (window_ != nullptr && pending_.empty()) {
        SDL_Event native;
        while (pending_.empty() && SDL_PollEvent(&native) != 0) translate(native);
    }
    if (pending_.empty()) return false;
    event = pending_.front();
    pending_.pop_front();
    return true;
}

void SdlBackEnd::show_frame(const PresentedFrame& picture) {
    if (window_ == nullptr) return;
    // The table follows the palette; a flash changes one entry, most frames none.
    if (!colours_valid_ || colours_from_ != picture.palette) {
        for (size_t i = 0; i < colours_.size(); ++i) colours_[i] = to_xrgb(picture.palette[i]);
        colours_from_ = picture.palette;
        colours_valid_ = true;
    }
    const uint8_t* __restrict from = picture.frame.data();
    uint32_t* __restrict to = pixels_.data();
    for (int32_t i = 0; i < screen_pixels; ++i) to[i] = colours_[from[i]];
    SDL_UpdateTexture(texture_, nullptr, pixels_.data(), screen_width * 4);
    redraw();
}

void SdlBackEnd::sleep(uint32_t milliseconds) { SDL_Delay(milliseconds); }

uint32_t SdlBackEnd::ticks() { return SDL_GetTicks(); }

void SdlBackEnd::message_box(const char* caption, const char* text) {
    // A confined cursor could not reach the box's button.
    if (window_ != nullptr) SDL_SetWindowGrab(window_, SDL_FALSE);
    // Without a display no box can be shown; the only box that can come then
    // is a data error's, which the program has written to standard error.
    SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_INFORMATION, caption, text, window_);
    if (window_ != nullptr) {
        SDL_SetWindowGrab(window_, SDL_TRUE);
        // The box covered part of the window.
        redraw();
    }
}

void SdlBackEnd::play_sound(const char* file_name, bool loop) {
    stop_sound();
    if (!audio_ready()) return;
    chunk_ = Mix_LoadWAV(file_name);
    if (chunk_ == nullptr) return;
    if (Mix_PlayChannel(0, chunk_, loop ? -1 : 0) < 0) stop_sound();
}

void SdlBackEnd::stop_sound() {
    if (chunk_ == nullptr) return;
    Mix_HaltChannel(0);
    Mix_FreeChunk(chunk_);
    chunk_ = nullptr;
}

}  // namespace qv
