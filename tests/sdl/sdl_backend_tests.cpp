// The SDL window as a window: its size from the settings and the keys, the
// picture it shows and keeps, the buttons and the close it reports, and the
// one channel of sound.
#include <SDL_mixer.h>

#include <array>
#include <tuple>
#include <utility>

#include "sdl_fixture.h"

namespace qv::sdl_test {
namespace {

using enum WindowEvent;

TEST_F(SdlWindow, IsSizedFromTheSettingsAndShowsThePictureNearestNeighbour) {
    open();
    EXPECT_STREQ(SDL_GetWindowTitle(backend->window()), "Test window");
    EXPECT_FALSE(grabbed()) << "free on the title";
    SDL_WarpMouseInWindow(backend->window(), 301, 599);  // inside picture pixel (100, 199)
    const CursorPosition cursor = backend->cursor_position();
    EXPECT_EQ(std::pair(cursor.x, cursor.y), std::pair(100, 199));
    show_test_picture();
    const std::array<uint32_t, 3> pixels[] = {{0, 0, 0xFF0000},     {2, 2, 0xFF0000},     {3, 0, 0x0000FF},
                                              {5, 2, 0x0000FF},     {6, 0, 0xFFFFFF},     {0, 3, 0xFFFFFF},
                                              {957, 597, 0x00FF00}, {959, 599, 0x00FF00}, {956, 599, 0xFFFFFF}};
    for (const auto& [x, y, rgb] : pixels) EXPECT_EQ(pixel_at(int(x), int(y)), rgb) << x << "," << y;

    const uint32_t id = backend->window_id();
    backend->destroy_window();
    EXPECT_EQ(SDL_GetWindowFromID(id), nullptr);
    EXPECT_TRUE(drain().empty());

    // The dummy desktop is 1024 x 768: the default above is 960 x 600.
    for (const auto& [scale, aspect, width, height] : {std::tuple{2, Aspect::SquarePixels, 640, 400},
                                                       {0, Aspect::FourThree, 960, 720},
                                                       {9, Aspect::FourThree, 960, 720}}) {
        open(PortSettings{.scale = scale, .aspect = aspect});
        int w = 0, h = 0;
        SDL_GetWindowSize(backend->window(), &w, &h);
        EXPECT_EQ(std::pair(w, h), std::pair(width, height)) << scale;
        EXPECT_EQ(std::pair(backend->view().width, backend->view().height), std::pair(width, height));
        EXPECT_FALSE(fullscreen());
    }
}

TEST_F(SdlWindow, FullscreenComesFromTheSettingsAndTogglesOnF11OrAltEnter) {
    open(PortSettings{.fullscreen = true});
    EXPECT_TRUE(fullscreen());
    push_key(SDLK_F11);
    EXPECT_TRUE(drain().empty());
    EXPECT_FALSE(fullscreen());
    push_key(SDLK_RETURN);  // Enter alone is nothing
    drain();
    EXPECT_FALSE(fullscreen());
    push_key(SDLK_RETURN, KMOD_LALT);
    EXPECT_TRUE(drain().empty());
    EXPECT_TRUE(fullscreen());
    push_key(SDLK_F4, KMOD_RALT);
    EXPECT_EQ(drain(), Events{Close});
}

TEST_F(SdlWindow, KeepsShowingTheLastPictureAfterAnExposeOrAResize) {
    open();
    show_test_picture();
    // What another window that covered it left behind.
    SDL_SetRenderDrawColor(backend->renderer(), 0, 0, 0, 255);
    SDL_RenderClear(backend->renderer());
    ASSERT_EQ(pixel_at(0, 0), 0u);
    push_window(SDL_WINDOWEVENT_EXPOSED);
    EXPECT_TRUE(drain().empty());
    EXPECT_EQ(pixel_at(0, 0), 0xFF0000u) << "the expose must not leave the window black";
    EXPECT_EQ(pixel_at(959, 599), 0x00FF00u);

    // A larger window shows the picture at the largest whole scale, centred.
    SDL_SetWindowSize(backend->window(), 1000, 700);
    push_window(SDL_WINDOWEVENT_SIZE_CHANGED);
    drain();
    const ViewRect view = backend->view();
    EXPECT_EQ((std::array{view.x, view.y, view.width, view.height}), (std::array{20, 50, 960, 600}));
    EXPECT_EQ(pixel_at(20, 50), 0xFF0000u);
    EXPECT_EQ(pixel_at(19, 50), 0u);
    EXPECT_EQ(pixel_at(979, 649), 0x00FF00u);
}

TEST_F(SdlWindow, ButtonsComeInOrderAndACloseReachesTheGame) {
    open();
    for (const auto& [type, button] : {std::pair<uint32_t, uint8_t>{SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT},
                                       {SDL_MOUSEBUTTONDOWN, SDL_BUTTON_MIDDLE},
                                       {SDL_MOUSEBUTTONDOWN, SDL_BUTTON_RIGHT},
                                       {SDL_MOUSEBUTTONUP, SDL_BUTTON_RIGHT},
                                       {SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT}}) {
        push_button(type, button);
    }
    EXPECT_EQ(drain(), (Events{LeftButtonDown, RightButtonDown}));
    EXPECT_EQ(drain(), (Events{RightButtonUp, LeftButtonUp}));
    push_window(SDL_WINDOWEVENT_CLOSE);
    EXPECT_EQ(drain(), Events{Close});
}

TEST_F(SdlWindow, OneChannelEachPlayEndsTheLastAndMissingOrBadFilesStaySilent) {
    backend = std::make_unique<SdlBackEnd>();
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
    backend = std::make_unique<SdlBackEnd>();
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    backend->play_sound("THUNDER2.wav", true);
    backend->play_sound("CLEAR.wav", false);
    backend->stop_sound();
    EXPECT_EQ(Mix_QuerySpec(nullptr, nullptr, nullptr), 0) << "no device was opened";
    setenv("SDL_VIDEODRIVER", "no-such-driver", 1);
    EXPECT_EXIT(backend->create_window("Never"), ::testing::ExitedWithCode(1), "cannot open the game window");
}

}  // namespace
}  // namespace qv::sdl_test
