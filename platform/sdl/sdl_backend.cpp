#include "platform/sdl/sdl_backend.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace qv {

int32_t client_to_picture(int32_t client, int32_t scale) {
    if (scale <= 1) return client;
    const int32_t quotient = client / scale;
    return (client % scale != 0 && client < 0) ? quotient - 1 : quotient;
}

int32_t fitting_scale(int32_t width, int32_t height, int32_t bounds_width, int32_t bounds_height, int32_t wanted) {
    if (width <= 0 || height <= 0) return 1;
    const int32_t fit = std::min(bounds_width / width, bounds_height / height);
    return std::max(1, std::min(wanted, fit));
}

namespace {

[[noreturn]] void fail_window(const char* what) {
    std::fprintf(stderr, "quorvaner: cannot open the game window (%s): %s\n", what, SDL_GetError());
    SDL_Quit();
    std::exit(1);
}

void release_window(BackEnd& backend) {
    if (backend.texture != nullptr) SDL_DestroyTexture(backend.texture);
    if (backend.renderer != nullptr) SDL_DestroyRenderer(backend.renderer);
    if (backend.window != nullptr) {
        SDL_SetWindowGrab(backend.window, SDL_FALSE);
        SDL_DestroyWindow(backend.window);
    }
    backend.texture = nullptr;
    backend.renderer = nullptr;
    backend.window = nullptr;
    backend.window_id = 0;
}

// Rebuilds the window from the texture, which keeps the last picture, so an
// expose or a resize can be answered without the game's help.
void present_texture(BackEnd& backend) {
    SDL_SetRenderDrawColor(backend.renderer, 0, 0, 0, 255);
    SDL_RenderClear(backend.renderer);
    const SDL_Rect target{0, 0, backend.picture_width * backend.scale, backend.picture_height * backend.scale};
    SDL_RenderCopy(backend.renderer, backend.texture, nullptr, &target);
    SDL_RenderPresent(backend.renderer);
}

void follow_window_size(BackEnd& backend) {
    int width = 0;
    int height = 0;
    SDL_GetWindowSize(backend.window, &width, &height);
    // No upper bound: a window the player makes bigger gets a bigger picture.
    backend.scale = fitting_scale(backend.picture_width, backend.picture_height, width, height, width + height);
}

void translate_event(BackEnd& backend, const SDL_Event& event) {
    switch (event.type) {
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP: {
            if (event.button.windowID != backend.window_id) return;
            const bool down = event.type == SDL_MOUSEBUTTONDOWN;
            if (event.button.button == SDL_BUTTON_LEFT) {
                backend.pending.push_back(down ? WindowMessage::LeftButtonDown : WindowMessage::LeftButtonUp);
            } else if (event.button.button == SDL_BUTTON_RIGHT) {
                backend.pending.push_back(down ? WindowMessage::RightButtonDown : WindowMessage::RightButtonUp);
            }
            return;
        }
        case SDL_WINDOWEVENT:
            if (event.window.windowID != backend.window_id) return;
            switch (event.window.event) {
                case SDL_WINDOWEVENT_SIZE_CHANGED:
                    follow_window_size(backend);
                    backend.paint_pending = true;
                    return;
                case SDL_WINDOWEVENT_EXPOSED:
                    backend.paint_pending = true;
                    return;
                case SDL_WINDOWEVENT_CLOSE:
                    backend.pending.push_back(WindowMessage::Close);
                    return;
                default:
                    return;
            }
        case SDL_QUIT:
            backend.pending.push_back(WindowMessage::Close);
            return;
        default:
            return;
    }
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

bool audio_ready(BackEnd& backend) {
    if (backend.audio_tried) return backend.audio_open;
    backend.audio_tried = true;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
    if (Mix_OpenAudio(MIX_DEFAULT_FREQUENCY, MIX_DEFAULT_FORMAT, 2, 2048) != 0) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    Mix_AllocateChannels(1);
    backend.audio_open = true;
    return true;
}

}  // namespace

BackEnd::~BackEnd() {
    platform_stop_sound(*this);
    if (audio_open) {
        Mix_CloseAudio();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
    release_window(*this);
    if (video_ready) SDL_QuitSubSystem(SDL_INIT_VIDEO);
    SDL_Quit();
}

void platform_create_window(BackEnd& backend, const char* title, int32_t width, int32_t height) {
    if (backend.window != nullptr) return;
    if (!backend.video_ready) {
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) fail_window("no video");
        backend.video_ready = true;
        // Without a display SDL falls back to drivers that draw nowhere; a game
        // waiting for a click on a window nobody can see would hang for good.
        if (!SDL_GetHint(SDL_HINT_VIDEODRIVER) && invisible_video_driver()) {
            SDL_SetError("no display found");
            fail_window("no display");
        }
    }
    SDL_Rect desktop{};
    if (SDL_GetDisplayUsableBounds(0, &desktop) == 0) {
        backend.scale = fitting_scale(width, height, desktop.w, desktop.h, backend.scale);
    }
    backend.scale = std::max(1, backend.scale);
    backend.picture_width = width;
    backend.picture_height = height;

    backend.window = SDL_CreateWindow(title, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width * backend.scale,
                                      height * backend.scale, SDL_WINDOW_SHOWN | SDL_WINDOW_RESIZABLE);
    if (backend.window == nullptr) fail_window("window");
    backend.window_id = SDL_GetWindowID(backend.window);
    SDL_SetWindowMinimumSize(backend.window, width, height);

    backend.renderer = SDL_CreateRenderer(backend.window, -1, SDL_RENDERER_ACCELERATED);
    if (backend.renderer == nullptr) backend.renderer = SDL_CreateRenderer(backend.window, -1, SDL_RENDERER_SOFTWARE);
    if (backend.renderer == nullptr) fail_window("renderer");
    backend.texture =
        SDL_CreateTexture(backend.renderer, SDL_PIXELFORMAT_RGB555, SDL_TEXTUREACCESS_STREAMING, width, height);
    if (backend.texture == nullptr) fail_window("picture");
    SDL_SetTextureScaleMode(backend.texture, SDL_ScaleModeNearest);

    const std::vector<uint16_t> black(static_cast<size_t>(width) * static_cast<size_t>(height), 0);
    SDL_UpdateTexture(backend.texture, nullptr, black.data(), width * 2);
    present_texture(backend);
    SDL_SetWindowGrab(backend.window, SDL_TRUE);
}

void platform_destroy_window(BackEnd& backend) {
    release_window(backend);
    backend.pending.clear();
    backend.paint_pending = false;
}

CursorPosition platform_cursor_position(BackEnd& backend) {
    if (backend.window == nullptr) return {};
    int x = 0;
    int y = 0;
    if (SDL_GetMouseFocus() == backend.window || !desktop_cursor_known()) {
        SDL_GetMouseState(&x, &y);
    } else {
        // Outside the window (it lost the focus and with it the confinement) the
        // per-window state is stale; the desktop position tells where the cursor
        // really is, possibly left of or above the picture.
        int window_x = 0;
        int window_y = 0;
        SDL_GetGlobalMouseState(&x, &y);
        SDL_GetWindowPosition(backend.window, &window_x, &window_y);
        x -= window_x;
        y -= window_y;
    }
    return {client_to_picture(x, backend.scale), client_to_picture(y, backend.scale)};
}

bool platform_next_message(BackEnd& backend, WindowMessage& message) {
    if (backend.window != nullptr && backend.pending.empty()) {
        SDL_Event event;
        while (backend.pending.empty() && SDL_PollEvent(&event) != 0) translate_event(backend, event);
    }
    if (!backend.pending.empty()) {
        message = backend.pending.front();
        backend.pending.pop_front();
        return true;
    }
    // Like an invalid region, a paint waits until every other message is taken.
    if (backend.paint_pending) {
        backend.paint_pending = false;
        message = WindowMessage::Paint;
        return true;
    }
    return false;
}

void platform_request_repaint(BackEnd& backend) {
    if (backend.window != nullptr) backend.paint_pending = true;
}

void platform_show_picture(BackEnd& backend, const uint16_t* pixels, int32_t width, int32_t height) {
    if (backend.window == nullptr) return;
    const int32_t shown_width = std::min(width, backend.picture_width);
    const int32_t shown_height = std::min(height, backend.picture_height);
    if (shown_width > 0 && shown_height > 0) {
        // Only the top-left part is replaced; the rest of the window keeps what it showed.
        const SDL_Rect area{0, 0, shown_width, shown_height};
        SDL_UpdateTexture(backend.texture, &area, pixels, width * 2);
    }
    present_texture(backend);
}

void platform_sleep(BackEnd& /*backend*/, uint32_t milliseconds) { SDL_Delay(milliseconds); }

uint32_t platform_ticks(BackEnd& /*backend*/) { return SDL_GetTicks(); }

void platform_message_box(BackEnd& backend, const char* caption, const char* text) {
    // A confined cursor could not reach the box's button.
    if (backend.window != nullptr) SDL_SetWindowGrab(backend.window, SDL_FALSE);
    if (SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_INFORMATION, caption, text, backend.window) != 0) {
        // No way to show a box (no display): the words still reach the player.
        std::fprintf(stderr, "%s: %s\n", caption, text);
    }
    if (backend.window != nullptr) SDL_SetWindowGrab(backend.window, SDL_TRUE);
}

void platform_play_sound(BackEnd& backend, const char* file_name, bool loop) {
    platform_stop_sound(backend);
    if (!audio_ready(backend)) return;
    backend.chunk = Mix_LoadWAV(file_name);
    if (backend.chunk == nullptr) return;
    if (Mix_PlayChannel(0, backend.chunk, loop ? -1 : 0) < 0) platform_stop_sound(backend);
}

void platform_stop_sound(BackEnd& backend) {
    if (backend.chunk == nullptr) return;
    Mix_HaltChannel(0);
    Mix_FreeChunk(backend.chunk);
    backend.chunk = nullptr;
}

}  // namespace qv
