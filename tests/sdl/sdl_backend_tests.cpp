// The SDL back end on SDL's dummy video and audio drivers.
#include <SDL.h>
#include <SDL_mixer.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <utility>
#include <vector>

#include "game/game.h"
#include "platform/sdl/sdl_backend.h"
#include "platform/window.h"

namespace qv {
namespace {

using Events = std::vector<WindowEvent>;

class SdlWindow : public ::testing::Test {
protected:
    void SetUp() override {
        // Before anything starts SDL, so no display or sound card is needed.
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        backend = std::make_unique<SdlBackEnd>();
    }

    void open_window() {
        backend->create_window("Test window");
        drain();
    }

    Events drain() {
        Events events;
        WindowEvent event{};
        while (backend->next_event(event)) events.push_back(event);
        return events;
    }

    void push(uint32_t type, uint8_t button = 0, uint8_t window_event = SDL_WINDOWEVENT_CLOSE) {
        SDL_Event event{};
        event.type = type;
        if (type == SDL_WINDOWEVENT) {
            event.window.windowID = backend->window_id();
            event.window.event = window_event;
        } else {
            event.button.windowID = backend->window_id();
            event.button.button = button;
            event.button.state = type == SDL_MOUSEBUTTONDOWN ? SDL_PRESSED : SDL_RELEASED;
        }
        SDL_PushEvent(&event);
    }

    uint32_t pixel_at(int x, int y) {
        uint32_t pixel = 0;
        const SDL_Rect one{x, y, 1, 1};
        SDL_RenderReadPixels(backend->renderer(), &one, SDL_PIXELFORMAT_RGB888, &pixel, 4);
        return pixel & 0xFFFFFF;
    }

    // A picture with red at the top left, blue (with the ignored top bit set)
    // beside it and green at the bottom right, on black.
    void show_probe_picture() {
        video.active_palette[1] = 0x7C00;
        video.active_palette[2] = 0x8000 | 0x001F;
        video.active_palette[3] = 0x03E0;
        video.frame[0] = 1;
        video.frame[1] = 2;
        video.frame[screen_pixels - 1] = 3;
        convert_frame(video, video.frame);
        backend->show_frame({video.surface, video.frame, video.active_palette});
    }

    Video video;
    std::unique_ptr<SdlBackEnd> backend;
};

TEST_F(SdlWindow, IsThreeTimesThePictureAndShowsItNearestNeighbour) {
    open_window();
    ASSERT_NE(backend->window(), nullptr);
    EXPECT_STREQ(SDL_GetWindowTitle(backend->window()), "Test window");
    int width = 0, height = 0;
    SDL_GetWindowSize(backend->window(), &width, &height);
    EXPECT_EQ(std::pair(width, height), std::pair(960, 600));
    EXPECT_EQ(SDL_GetWindowFlags(backend->window()) & SDL_WINDOW_MOUSE_GRABBED, 0u) << "free on the title";
    SDL_WarpMouseInWindow(backend->window(), 301, 599);  // inside picture pixel (100, 199)
    const CursorPosition cursor = backend->cursor_position();
    EXPECT_EQ(std::pair(cursor.x, cursor.y), std::pair(100, 199));

    show_probe_picture();
    const std::array<uint32_t, 3> pixels[] = {
        {0, 0, 0xFF0000}, {2, 2, 0xFF0000},     {3, 0, 0x0000FF},     {5, 2, 0x0000FF}, {6, 0, 0},
        {0, 3, 0},        {957, 597, 0x00FF00}, {959, 599, 0x00FF00}, {956, 599, 0}};
    for (const auto& [x, y, rgb] : pixels) EXPECT_EQ(pixel_at(int(x), int(y)), rgb) << x << "," << y;

    const uint32_t id = backend->window_id();
    backend->destroy_window();
    EXPECT_EQ(SDL_GetWindowFromID(id), nullptr);
    EXPECT_EQ(backend->cursor_position().x, 0);
    EXPECT_TRUE(drain().empty());
}

TEST_F(SdlWindow, KeepsShowingTheLastPictureAfterABoxAnExposeOrAResize) {
    open_window();
    show_probe_picture();
    backend->set_playing(true);
    push(SDL_WINDOWEVENT, 0, SDL_WINDOWEVENT_FOCUS_GAINED);
    EXPECT_TRUE(drain().empty());
    // The box is drawn in the window and answered here with Enter.
    backend->while_box_up = [&] {
        SDL_Event enter{};
        enter.type = SDL_KEYDOWN;
        enter.key.windowID = backend->window_id();
        enter.key.keysym.sym = SDLK_RETURN;
        SDL_PushEvent(&enter);
    };
    ::testing::internal::CaptureStderr();
    backend->message_box("Quorvaner", "Credits");
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(pixel_at(0, 0), 0xFF0000u) << "the box must not leave the window black";
    push(SDL_WINDOWEVENT, 0, SDL_WINDOWEVENT_EXPOSED);
    EXPECT_TRUE(drain().empty());
    EXPECT_EQ(pixel_at(0, 0), 0xFF0000u) << "the expose must not leave the window black";
    EXPECT_EQ(pixel_at(959, 599), 0x00FF00u);
    EXPECT_NE(SDL_GetWindowFlags(backend->window()) & SDL_WINDOW_MOUSE_GRABBED, 0u) << "confined again after the box";

    // A larger window shows the picture at the largest whole scale, centred.
    SDL_SetWindowSize(backend->window(), 1000, 700);
    push(SDL_WINDOWEVENT, 0, SDL_WINDOWEVENT_SIZE_CHANGED);
    drain();
    const ViewRect view = backend->view();
    EXPECT_EQ((std::array<int32_t, 4>{view.x, view.y, view.width, view.height}),
              (std::array<int32_t, 4>{20, 50, 960, 600}));
    EXPECT_EQ(pixel_at(20, 50), 0xFF0000u);
    EXPECT_EQ(pixel_at(19, 50), 0u);
    EXPECT_EQ(pixel_at(979, 649), 0x00FF00u);
}

TEST_F(SdlWindow, ButtonsComeInOrderAndACloseReachesTheGame) {
    open_window();
    for (const auto& [type, button] : {std::pair<uint32_t, uint8_t>{SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT},
                                       {SDL_MOUSEBUTTONDOWN, SDL_BUTTON_MIDDLE},
                                       {SDL_MOUSEBUTTONDOWN, SDL_BUTTON_RIGHT},
                                       {SDL_MOUSEBUTTONUP, SDL_BUTTON_RIGHT},
                                       {SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT}}) {
        push(type, button);
    }
    using enum WindowEvent;
    EXPECT_EQ(drain(), (Events{LeftButtonDown, RightButtonDown, RightButtonUp, LeftButtonUp}));
    push(SDL_WINDOWEVENT);
    EXPECT_EQ(drain(), Events{Close});
    backend->destroy_window();

    // The same through the game's own window and pump.
    Window window;
    window.backend = backend.get();
    create_display_window(window);
    push(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT);
    push(SDL_QUIT);
    EXPECT_THROW(pump_messages(window), WindowClosed);
    EXPECT_EQ(window.mouse.mouse_left_down, 1);
    destroy_display_window(window);
}

TEST_F(SdlWindow, OneChannelEachPlayEndsTheLastAndMissingOrBadFilesStaySilent) {
    for (const auto& [file, plays] :
         {std::pair{"THUNDER2.wav", true}, {"NO_SUCH_CUE.wav", false}, {"GAMEOVER.wav", true}, {"dat.bin", false}}) {
        backend->play_sound(file, true);
        EXPECT_EQ(Mix_Playing(0) != 0, plays) << file;
    }
    backend->play_sound("GAMEOVER.wav", false);
    backend->stop_sound();
    EXPECT_EQ(Mix_Playing(0), 0);
    backend->stop_sound();  // nothing playing: no effect
}

TEST_F(SdlWindow, WithoutAnAudioDeviceOrAWindowTheGameGoesOnSilentlyOrEndsWithAMessage) {
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    backend->play_sound("THUNDER2.wav", true);
    backend->play_sound("CLEAR.wav", false);
    backend->stop_sound();
    EXPECT_EQ(Mix_QuerySpec(nullptr, nullptr, nullptr), 0) << "no device was opened";
    setenv("SDL_VIDEODRIVER", "no-such-driver", 1);
    EXPECT_EXIT(backend->create_window("Never"), ::testing::ExitedWithCode(1), "cannot open the game window");
}

}  // namespace
}  // namespace qv
