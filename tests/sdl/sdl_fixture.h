// A window of the SDL back end on SDL's dummy video and audio drivers (no
// display or sound card needed), with the events a player would cause and what
// the window then shows.
#pragma once

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

#include "platform/frame.h"
#include "platform/sdl/sdl_backend.h"
#include "platform/window.h"

namespace qv::sdl_test {

constexpr const char* credits =
    "Lead Developer (Game Logic, Graphics, etc.): Arno Velt\nSound Programmer: Pim Oskar\n\nAnd a very special "
    "thanks to: Ida Marrow";

using Events = std::vector<WindowEvent>;

class SdlWindow : public ::testing::Test {
protected:
    void SetUp() override {
        // Before anything starts SDL.
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        // SDL hears pads only while one of the program's windows has the
        // keyboard focus, which no window on the dummy driver ever gets.
        setenv("SDL_JOYSTICK_ALLOW_BACKGROUND_EVENTS", "1", 1);
    }

    void open(const PortSettings& settings = {}) {
        backend = std::make_unique<SdlBackEnd>(settings);
        backend->create_window("Test window");
        drain();
    }

    // One pump as the game's: the crosshair, then the events.
    Events drain() {
        crosshair = backend->cursor_position();
        Events events;
        WindowEvent event{};
        while (backend->next_event(event)) events.push_back(event);
        return events;
    }
    CursorPosition aim() {
        drain();
        return crosshair;
    }

    void push(SDL_Event event) {
        event.window.windowID = backend->window_id();  // the same place in every window event
        SDL_PushEvent(&event);
    }
    // A key by its place on the keyboard, as SDL gives it.
    void key(SDL_Scancode code, bool down = true, uint16_t mod = KMOD_NONE, bool repeat = false) {
        SDL_Event event{.type = down ? uint32_t{SDL_KEYDOWN} : uint32_t{SDL_KEYUP}};
        event.key.keysym.scancode = code;
        event.key.keysym.sym = SDL_GetKeyFromScancode(code);
        event.key.keysym.mod = mod;
        event.key.repeat = repeat ? 1 : 0;
        push(event);
    }
    void push_button(uint32_t type, uint8_t button, int32_t x = 0, int32_t y = 0) {
        SDL_Event event{.type = type};
        event.button.button = button;
        event.button.x = x;
        event.button.y = y;
        push(event);
    }
    void click(int32_t x, int32_t y, uint8_t button = SDL_BUTTON_LEFT) {
        push_button(SDL_MOUSEBUTTONDOWN, button, x, y);
        push_button(SDL_MOUSEBUTTONUP, button, x, y);
    }
    void push_window(uint8_t what) {
        SDL_Event event{.type = SDL_WINDOWEVENT};
        event.window.event = what;
        push(event);
    }

    bool grabbed() { return (SDL_GetWindowFlags(backend->window()) & SDL_WINDOW_MOUSE_GRABBED) != 0; }
    bool cursor_shown() { return SDL_ShowCursor(SDL_QUERY) == SDL_ENABLE; }
    bool fullscreen() {
        return (SDL_GetWindowFlags(backend->window()) & SDL_WINDOW_FULLSCREEN_DESKTOP) == SDL_WINDOW_FULLSCREEN_DESKTOP;
    }

    uint32_t pixel_at(int x, int y) {
        uint32_t pixel = 0;
        const SDL_Rect one{x, y, 1, 1};
        SDL_RenderReadPixels(backend->renderer(), &one, SDL_PIXELFORMAT_RGB888, &pixel, 4);
        return pixel & 0xFFFFFF;
    }

    // White, with red at the top left, blue (the ignored top bit set) beside it
    // and green at the bottom right.
    void show_test_picture() {
        frame.fill(1);
        frame[0] = 2;
        frame[1] = 3;
        frame[screen_pixels - 1] = 4;
        palette = {0, 0x7FFF, 0x7C00, 0x8000 | 0x001F, 0x03E0};
        backend->show_frame({surface, frame, palette});
    }

    // Playing with the focus, as during a game.
    void play() {
        backend->set_playing(true);
        push_window(SDL_WINDOWEVENT_FOCUS_GAINED);
        EXPECT_TRUE(drain().empty());
    }

    std::unique_ptr<SdlBackEnd> backend;
    CursorPosition crosshair{};
    FrameBuffer frame{};
    Palette palette{};
    DisplaySurface surface;
};

}  // namespace qv::sdl_test
