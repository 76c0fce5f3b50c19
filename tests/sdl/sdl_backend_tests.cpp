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
#include "platform/platform.h"
#include "platform/sdl/sdl_backend.h"
#include "platform/window.h"

namespace qv {
namespace {

using Messages = std::vector<WindowMessage>;

class SdlBackEnd : public ::testing::Test {
protected:
    void SetUp() override {
        // Before anything starts SDL, so no display or sound card is needed.
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
    }

    void open_window() {
        platform_create_window(*backend, "Test window", 320, 200);
        drain();
    }

    Messages drain() {
        Messages messages;
        WindowMessage message{};
        while (platform_next_message(*backend, message)) messages.push_back(message);
        return messages;
    }

    void push(uint32_t type, uint8_t button = 0) {
        SDL_Event event{};
        event.type = type;
        event.button.windowID = backend->window_id;
        event.button.button = button;
        event.button.state = type == SDL_MOUSEBUTTONDOWN ? SDL_PRESSED : SDL_RELEASED;
        if (type == SDL_WINDOWEVENT) event.window.event = SDL_WINDOWEVENT_CLOSE;
        SDL_PushEvent(&event);
    }

    uint32_t pixel_at(int x, int y) {
        uint32_t pixel = 0;
        const SDL_Rect one{x, y, 1, 1};
        SDL_RenderReadPixels(backend->renderer, &one, SDL_PIXELFORMAT_RGB888, &pixel, 4);
        return pixel & 0xFFFFFF;
    }

    std::unique_ptr<BackEnd> backend = std::make_unique<BackEnd>();
};

TEST(SdlCursorScaling, FloorDivisionKeepsTheStripOutsideThePictureNegativeAndTheWindowFits) {
    const std::array<int32_t, 3> cases[] = {{0, 3, 0},   {2, 3, 0},   {3, 3, 1},   {959, 3, 319}, {960, 3, 320},
                                            {-1, 3, -1}, {-3, 3, -1}, {-4, 3, -2}, {-7, 2, -4},   {-5, 1, -5}};
    for (const auto& [client, scale, pixel] : cases) EXPECT_EQ(client_to_picture(client, scale), pixel) << client;
    EXPECT_EQ(fitting_scale(320, 200, 1920, 1080, 3), 3);
    EXPECT_EQ(fitting_scale(320, 200, 1920, 1080, 8), 5);  // 1080 / 200
    EXPECT_EQ(fitting_scale(320, 200, 800, 600, 3), 2);    // 800 / 320
    EXPECT_EQ(fitting_scale(320, 200, 300, 150, 3), 1);    // never below one
}

TEST_F(SdlBackEnd, WindowIsThreeTimesThePictureAndShowsItNearestNeighbour) {
    open_window();
    ASSERT_NE(backend->window, nullptr);
    EXPECT_STREQ(SDL_GetWindowTitle(backend->window), "Test window");
    int width = 0, height = 0;
    SDL_GetWindowSize(backend->window, &width, &height);
    EXPECT_EQ(std::pair(width, height), std::pair(960, 600));
    EXPECT_NE(SDL_GetWindowFlags(backend->window) & SDL_WINDOW_MOUSE_GRABBED, 0u);
    SDL_WarpMouseInWindow(backend->window, 301, 599);  // inside picture pixel (100, 199)
    const CursorPosition cursor = platform_cursor_position(*backend);
    EXPECT_EQ(std::pair(cursor.x, cursor.y), std::pair(100, 199));

    std::vector<uint16_t> picture(320 * 200, 0);
    picture[0] = 0x7C00;              // red, top-left
    picture[1] = 0x8000 | 0x001F;     // blue, with the ignored top bit set
    picture[320 * 200 - 1] = 0x03E0;  // green, bottom-right
    platform_show_picture(*backend, picture.data(), 320, 200);
    platform_show_picture(*backend, picture.data(), 0, 0);  // the empty first paint changes nothing
    const std::array<uint32_t, 3> pixels[] = {{0, 0, 0xFF0000},   {2, 2, 0xFF0000},   {3, 0, 0x0000FF},
                                              {5, 2, 0x0000FF},   {6, 0, 0},          {0, 3, 0},
                                              {957, 597, 0x00FF00}, {959, 599, 0x00FF00}, {956, 599, 0}};
    for (const auto& [x, y, rgb] : pixels) EXPECT_EQ(pixel_at(int(x), int(y)), rgb) << x << "," << y;

    const uint32_t id = backend->window_id;
    platform_destroy_window(*backend);
    EXPECT_EQ(SDL_GetWindowFromID(id), nullptr);
    EXPECT_EQ(platform_cursor_position(*backend).x, 0);
    EXPECT_TRUE(drain().empty());
}

TEST_F(SdlBackEnd, ButtonsComeInOrderRepaintsMergeIntoOnePaintAndCloseReachesTheGame) {
    platform_request_repaint(*backend);  // no window yet: nothing to paint
    EXPECT_TRUE(drain().empty());
    open_window();
    platform_request_repaint(*backend);
    platform_request_repaint(*backend);
    for (const auto& [type, button] : {std::pair<uint32_t, uint8_t>{SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT},
                                       {SDL_MOUSEBUTTONDOWN, SDL_BUTTON_MIDDLE}, {SDL_MOUSEBUTTONDOWN, SDL_BUTTON_RIGHT},
                                       {SDL_MOUSEBUTTONUP, SDL_BUTTON_RIGHT}, {SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT}}) {
        push(type, button);
    }
    using enum WindowMessage;
    EXPECT_EQ(drain(), (Messages{LeftButtonDown, RightButtonDown, RightButtonUp, LeftButtonUp, Paint}));
    platform_request_repaint(*backend);
    EXPECT_EQ(drain(), Messages{Paint});
    push(SDL_WINDOWEVENT);
    EXPECT_EQ(drain(), Messages{Close});
    platform_destroy_window(*backend);

    // The same through the game's own window and pump.
    const auto game = std::make_unique<Game>();
    game->window.backend = backend.get();
    create_display_window(*game, 320, 200, 16, "Closing");
    EXPECT_FALSE(window_closed(*game));
    push(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT);
    push(SDL_QUIT);
    pump_messages(*game);
    EXPECT_TRUE(window_closed(*game));
    EXPECT_EQ(game->window.mouse.mouse_left_down, 1);
    destroy_display_window(*game);
}

TEST_F(SdlBackEnd, OneChannelEachPlayEndsTheLastAndMissingOrBadFilesStaySilent) {
    for (const auto& [file, plays] : {std::pair{"THUNDER2.wav", true}, {"NO_SUCH_CUE.wav", false},
                                      {"GAMEOVER.wav", true}, {"dat.bin", false}}) {
        platform_play_sound(*backend, file, true);
        EXPECT_EQ(Mix_Playing(0) != 0, plays) << file;
        EXPECT_EQ(backend->chunk != nullptr, plays) << file;
    }
    platform_play_sound(*backend, "GAMEOVER.wav", false);
    platform_stop_sound(*backend);
    EXPECT_EQ(Mix_Playing(0), 0);
    platform_stop_sound(*backend);  // nothing playing: no effect
    EXPECT_EQ(backend->chunk, nullptr);
}

TEST_F(SdlBackEnd, WithoutAnAudioDeviceOrAWindowTheGameGoesOnSilentlyOrEndsWithAMessage) {
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    platform_play_sound(*backend, "THUNDER2.wav", true);
    platform_play_sound(*backend, "CLEAR.wav", false);
    platform_stop_sound(*backend);
    EXPECT_TRUE(backend->audio_tried && !backend->audio_open && backend->chunk == nullptr);
    setenv("SDL_VIDEODRIVER", "no-such-driver", 1);
    EXPECT_EXIT(platform_create_window(*backend, "Never", 320, 200), ::testing::ExitedWithCode(1),
                "cannot open the game window");
}

}  // namespace
}  // namespace qv
