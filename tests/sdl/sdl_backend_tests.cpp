// The SDL window as a window: its size from the settings and the keys, the
// picture it shows and keeps, the buttons it reports, and the one channel of
// sound.
#include <SDL_mixer.h>

#include <array>
#include <utility>

#include "sdl_fixture.h"

namespace qv::sdl_test {
namespace {

using enum WindowEvent;

TEST_F(SdlWindow, IsSizedFromTheSettingsShowsThePictureNearestNeighbourAndReportsTheLeftAndRightButtons) {
    open();
    EXPECT_FALSE(grabbed()) << "free on the title";
    push_button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT);
    push_button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_MIDDLE);
    push_button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_RIGHT);
    push_button(SDL_MOUSEBUTTONUP, SDL_BUTTON_RIGHT);
    EXPECT_EQ(drain(), (Events{LeftButtonDown, RightButtonDown}));
    EXPECT_EQ(drain(), Events{RightButtonUp});
    show_test_picture();
    const std::array<uint32_t, 3> pixels[] = {{0, 0, 0xFF0000},     {2, 2, 0xFF0000},     {3, 0, 0x0000FF},
                                              {5, 2, 0x0000FF},     {6, 0, 0xFFFFFF},     {0, 3, 0xFFFFFF},
                                              {957, 597, 0x00FF00}, {959, 599, 0x00FF00}, {956, 599, 0xFFFFFF}};
    for (const auto& [x, y, rgb] : pixels) EXPECT_EQ(pixel_at(int(x), int(y)), rgb) << x << "," << y;
    // What another window that covered it left behind, then a larger window:
    // the picture again, at the largest whole scale, centred.
    SDL_SetRenderDrawColor(backend->renderer(), 0, 0, 0, 255);
    SDL_RenderClear(backend->renderer());
    push_window(SDL_WINDOWEVENT_EXPOSED);
    EXPECT_TRUE(drain().empty());
    EXPECT_EQ(pixel_at(0, 0), 0xFF0000u) << "the expose must not leave the window black";
    SDL_SetWindowSize(backend->window(), 1000, 700);
    push_window(SDL_WINDOWEVENT_SIZE_CHANGED);
    drain();
    const ViewRect view = backend->view();
    EXPECT_EQ((std::array{view.x, view.y, view.width, view.height}), (std::array{20, 50, 960, 600}));
    EXPECT_EQ(pixel_at(20, 50), 0xFF0000u);
    EXPECT_EQ(pixel_at(19, 50), 0u);
    EXPECT_EQ(pixel_at(979, 649), 0x00FF00u);

    const uint32_t id = backend->window_id();
    backend->destroy_window();
    EXPECT_EQ(SDL_GetWindowFromID(id), nullptr);
    EXPECT_TRUE(drain().empty());

    // 4:3 on the dummy desktop of 1024 x 768: as large as fits, whatever the
    // scale asked; the pointer and the picture (through the sharp pre-scale)
    // with rows 3.6 pixels tall.
    open(PortSettings{.scale = 9, .aspect = Aspect::FourThree});
    int width = 0;
    int height = 0;
    SDL_GetWindowSize(backend->window(), &width, &height);
    EXPECT_EQ(std::pair(width, height), std::pair(960, 720));
    EXPECT_EQ(std::pair(backend->view().width, backend->view().height), std::pair(960, 720));
    EXPECT_FALSE(fullscreen());
    SDL_WarpMouseInWindow(backend->window(), 480, 719);
    EXPECT_EQ(std::pair(backend->cursor_position().x, backend->cursor_position().y), std::pair(160, 199));
    show_test_picture();
    EXPECT_EQ(pixel_at(0, 0), 0xFF0000u);
    EXPECT_EQ(pixel_at(959, 719), 0x00FF00u);
}

TEST_F(SdlWindow, FullscreenComesFromTheSettingsAndTogglesOnF11OrAltEnterButNotOnARepeat) {
    open(PortSettings{.fullscreen = true});
    EXPECT_TRUE(fullscreen());
    key(SDL_SCANCODE_F11);
    key(SDL_SCANCODE_F11, true, KMOD_NONE, true);  // the system's repeat
    EXPECT_TRUE(drain().empty());
    EXPECT_FALSE(fullscreen());
    key(SDL_SCANCODE_RETURN);
    key(SDL_SCANCODE_RETURN, false);
    EXPECT_EQ(drain(), Events{LeftButtonDown}) << "Enter alone starts";
    EXPECT_EQ(drain(), Events{LeftButtonUp});
    EXPECT_FALSE(fullscreen());
    key(SDL_SCANCODE_RETURN, true, KMOD_LALT);
    EXPECT_TRUE(drain().empty()) << "Alt+Enter is no start";
    EXPECT_TRUE(fullscreen());
    key(SDL_SCANCODE_F4, true, KMOD_RALT);
    EXPECT_EQ(drain(), Events{Close});
}

TEST_F(SdlWindow, OneChannelAtTheSettingsVolumeEachPlayEndsTheLastAndMissingOrBadFilesStaySilent) {
    backend = std::make_unique<SdlBackEnd>(PortSettings{.volume = 50});
    for (const auto& [file, plays] :
         {std::pair{"THUNDER2.wav", true}, {"NO_SUCH_CUE.wav", false}, {"GAMEOVER.wav", true}, {"dat.bin", false}}) {
        backend->play_sound(file, true);
        EXPECT_EQ(Mix_Playing(0) != 0, plays) << file;
    }
    EXPECT_EQ(Mix_Volume(0, -1), MIX_MAX_VOLUME / 2);
    backend->play_sound("GAMEOVER.wav", false);
    backend->stop_sound();
    EXPECT_EQ(Mix_Playing(0), 0);
    backend->stop_sound();  // nothing playing: no effect
    // Muted, the music still plays its course unheard.
    backend = std::make_unique<SdlBackEnd>(PortSettings{.mute = true});
    backend->play_sound("THUNDER2.wav", true);
    EXPECT_EQ(std::pair(Mix_Volume(0, -1), Mix_Playing(0)), std::pair(0, 1));
}

TEST_F(SdlWindow, WithoutAnAudioDeviceOrAWindowTheGameGoesOnSilentlyOrEndsWithAMessage) {
    backend = std::make_unique<SdlBackEnd>();
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    backend->play_sound("THUNDER2.wav", true);
    backend->play_sound("CLEAR.wav", false);
    backend->stop_sound();
    EXPECT_EQ(Mix_QuerySpec(nullptr, nullptr, nullptr), 0) << "no device was opened";
    backend->while_box_up = [] { ADD_FAILURE() << "no window: nothing to wait on"; };
    ::testing::internal::CaptureStderr();
    backend->message_box("Quorvaner", "the data folder is missing");
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
    setenv("SDL_VIDEODRIVER", "no-such-driver", 1);
    EXPECT_EXIT(backend->create_window("Never"), ::testing::ExitedWithCode(1), "cannot open the game window");
}

}  // namespace
}  // namespace qv::sdl_test
