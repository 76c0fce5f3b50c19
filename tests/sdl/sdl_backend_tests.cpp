// The SDL back end on SDL's dummy video and audio drivers, plus the music files
// it plays.
#include <SDL.h>
#include <SDL_mixer.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "game/game.h"
#include "platform/platform.h"
#include "platform/sdl/sdl_backend.h"
#include "platform/window.h"

namespace qv {
namespace {

class SdlBackEnd : public ::testing::Test {
protected:
    void SetUp() override {
        // Before anything starts SDL, so no display or sound card is needed.
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        backend = std::make_unique<BackEnd>();
    }

    void open_window() {
        platform_create_window(*backend, "Test window", 320, 200);
        drain();
    }

    std::vector<WindowMessage> drain() {
        std::vector<WindowMessage> messages;
        WindowMessage message{};
        while (platform_next_message(*backend, message)) messages.push_back(message);
        return messages;
    }

    void push_button(uint32_t type, uint8_t button) {
        SDL_Event event{};
        event.type = type;
        event.button.windowID = backend->window_id;
        event.button.button = button;
        event.button.state = type == SDL_MOUSEBUTTONDOWN ? SDL_PRESSED : SDL_RELEASED;
        SDL_PushEvent(&event);
    }

    uint32_t pixel_at(int x, int y) {
        uint32_t pixel = 0;
        const SDL_Rect one{x, y, 1, 1};
        SDL_RenderReadPixels(backend->renderer, &one, SDL_PIXELFORMAT_RGB888, &pixel, 4);
        return pixel & 0xFFFFFF;
    }

    std::unique_ptr<BackEnd> backend;
};

TEST(SdlCursorScaling, FloorDivisionKeepsTheStripOutsideThePictureNegative) {
    EXPECT_EQ(client_to_picture(0, 3), 0);
    EXPECT_EQ(client_to_picture(2, 3), 0);
    EXPECT_EQ(client_to_picture(3, 3), 1);
    EXPECT_EQ(client_to_picture(959, 3), 319);
    EXPECT_EQ(client_to_picture(960, 3), 320);
    EXPECT_EQ(client_to_picture(-1, 3), -1);
    EXPECT_EQ(client_to_picture(-3, 3), -1);
    EXPECT_EQ(client_to_picture(-4, 3), -2);
    EXPECT_EQ(client_to_picture(-7, 2), -4);
    EXPECT_EQ(client_to_picture(-5, 1), -5);
}

TEST(SdlCursorScaling, TheFactorShrinksToFitTheDesktop) {
    EXPECT_EQ(fitting_scale(320, 200, 1920, 1080, 3), 3);
    EXPECT_EQ(fitting_scale(320, 200, 1920, 1080, 8), 5);  // 1080 / 200
    EXPECT_EQ(fitting_scale(320, 200, 800, 600, 3), 2);    // 800 / 320
    EXPECT_EQ(fitting_scale(320, 200, 300, 150, 3), 1);    // never below one
}

TEST_F(SdlBackEnd, WindowIsThreeTimesThePictureTitledAndHoldsTheCursor) {
    open_window();
    ASSERT_NE(backend->window, nullptr);
    EXPECT_STREQ(SDL_GetWindowTitle(backend->window), "Test window");
    int width = 0;
    int height = 0;
    SDL_GetWindowSize(backend->window, &width, &height);
    EXPECT_EQ(backend->scale, 3);
    EXPECT_EQ(width, 960);
    EXPECT_EQ(height, 600);
    // Asked for at once; it takes hold whenever the window has the focus.
    EXPECT_NE(SDL_GetWindowFlags(backend->window) & SDL_WINDOW_MOUSE_GRABBED, 0u);

    // Client (301, 599) is inside picture pixel (100, 199).
    SDL_WarpMouseInWindow(backend->window, 301, 599);
    const CursorPosition cursor = platform_cursor_position(*backend);
    EXPECT_EQ(cursor.x, 100);
    EXPECT_EQ(cursor.y, 199);

    const uint32_t id = backend->window_id;
    platform_destroy_window(*backend);
    EXPECT_EQ(SDL_GetWindowFromID(id), nullptr);
    const CursorPosition gone = platform_cursor_position(*backend);
    EXPECT_EQ(gone.x, 0);
    EXPECT_EQ(gone.y, 0);
    EXPECT_TRUE(drain().empty());
}

TEST_F(SdlBackEnd, PictureIsBlownUpNearestNeighbourAtTheOrigin) {
    open_window();
    std::vector<uint16_t> picture(320 * 200, 0);
    picture[0] = 0x7C00;              // red, top-left
    picture[1] = 0x8000 | 0x001F;     // blue, with the ignored top bit set
    picture[320 * 200 - 1] = 0x03E0;  // green, bottom-right
    platform_show_picture(*backend, picture.data(), 320, 200);

    EXPECT_EQ(pixel_at(0, 0), 0xFF0000u);
    EXPECT_EQ(pixel_at(2, 2), 0xFF0000u);
    EXPECT_EQ(pixel_at(3, 0), 0x0000FFu);
    EXPECT_EQ(pixel_at(5, 2), 0x0000FFu);
    EXPECT_EQ(pixel_at(6, 0), 0x000000u);
    EXPECT_EQ(pixel_at(0, 3), 0x000000u);
    EXPECT_EQ(pixel_at(957, 597), 0x00FF00u);
    EXPECT_EQ(pixel_at(959, 599), 0x00FF00u);
    EXPECT_EQ(pixel_at(956, 599), 0x000000u);

    // An empty picture (the paint while the window first shows) changes nothing.
    platform_show_picture(*backend, picture.data(), 0, 0);
    EXPECT_EQ(pixel_at(1, 1), 0xFF0000u);
}

TEST_F(SdlBackEnd, ButtonsComeInOrderAndRepaintsMergeIntoOnePaint) {
    EXPECT_TRUE(drain().empty());
    platform_request_repaint(*backend);  // no window yet: nothing to paint
    EXPECT_TRUE(drain().empty());

    open_window();
    platform_request_repaint(*backend);
    platform_request_repaint(*backend);
    push_button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT);
    push_button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_MIDDLE);
    push_button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_RIGHT);
    push_button(SDL_MOUSEBUTTONUP, SDL_BUTTON_RIGHT);
    push_button(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT);
    const std::vector<WindowMessage> expected = {
        WindowMessage::LeftButtonDown, WindowMessage::RightButtonDown, WindowMessage::RightButtonUp,
        WindowMessage::LeftButtonUp,   WindowMessage::Paint,
    };
    EXPECT_EQ(drain(), expected);
    EXPECT_TRUE(drain().empty());

    platform_request_repaint(*backend);
    EXPECT_EQ(drain(), std::vector<WindowMessage>{WindowMessage::Paint});
}

TEST_F(SdlBackEnd, ClosingTheWindowReachesTheGame) {
    open_window();
    SDL_Event close{};
    close.type = SDL_WINDOWEVENT;
    close.window.event = SDL_WINDOWEVENT_CLOSE;
    close.window.windowID = backend->window_id;
    SDL_PushEvent(&close);
    EXPECT_EQ(drain(), std::vector<WindowMessage>{WindowMessage::Close});
    platform_destroy_window(*backend);

    // The same through the game's own window and pump.
    const auto game = std::make_unique<Game>();
    game->window.backend = backend.get();
    create_display_window(*game, 320, 200, 16, "Closing");
    EXPECT_FALSE(window_closed(*game));
    push_button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT);
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    SDL_PushEvent(&quit);
    pump_messages(*game);
    EXPECT_TRUE(window_closed(*game));
    EXPECT_EQ(game->window.mouse.mouse_left_down, 1);
    destroy_display_window(*game);
}

TEST_F(SdlBackEnd, OneChannelEachPlayEndsTheLastAndMissingFilesStaySilent) {
    platform_play_sound(*backend, "THUNDER2.wav", true);
    ASSERT_TRUE(backend->audio_open);
    ASSERT_NE(backend->chunk, nullptr);
    EXPECT_NE(Mix_Playing(0), 0);

    platform_play_sound(*backend, "NO_SUCH_CUE.wav", true);
    EXPECT_EQ(backend->chunk, nullptr);
    EXPECT_EQ(Mix_Playing(0), 0);

    platform_play_sound(*backend, "GAMEOVER.wav", false);
    EXPECT_NE(Mix_Playing(0), 0);
    platform_stop_sound(*backend);
    EXPECT_EQ(Mix_Playing(0), 0);
    platform_stop_sound(*backend);  // nothing playing: no effect
    EXPECT_EQ(backend->chunk, nullptr);

    // Not a WAV at all.
    platform_play_sound(*backend, "dat.bin", true);
    EXPECT_EQ(backend->chunk, nullptr);
    EXPECT_EQ(Mix_Playing(0), 0);
}

TEST_F(SdlBackEnd, WithoutAnAudioDeviceTheGameCarriesOnSilently) {
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    platform_play_sound(*backend, "THUNDER2.wav", true);
    EXPECT_TRUE(backend->audio_tried);
    EXPECT_FALSE(backend->audio_open);
    EXPECT_EQ(backend->chunk, nullptr);
    platform_play_sound(*backend, "CLEAR.wav", false);
    platform_stop_sound(*backend);
    EXPECT_EQ(backend->chunk, nullptr);
}

TEST_F(SdlBackEnd, AWindowThatCannotOpenEndsTheProgramWithAClearMessage) {
    EXPECT_EXIT(
        {
            setenv("SDL_VIDEODRIVER", "no-such-driver", 1);
            BackEnd doomed;
            platform_create_window(doomed, "Never", 320, 200);
        },
        ::testing::ExitedWithCode(1), "cannot open the game window");
}

// ---------------------------------------------------------------- the music

struct Sound {
    std::vector<int16_t> samples;
    SDL_AudioSpec spec{};
    size_t file_bytes = 0;
};

Sound load_sound(const std::string& name) {
    Sound sound;
    const std::string path = std::string(QV_DATA_DIR) + "/" + name + ".wav";
    std::ifstream file(path, std::ios::binary | std::ios::ate);
    sound.file_bytes = file ? static_cast<size_t>(file.tellg()) : 0;
    Uint8* data = nullptr;
    Uint32 length = 0;
    if (SDL_LoadWAV(path.c_str(), &sound.spec, &data, &length) == nullptr) return sound;
    sound.samples.resize(length / 2);
    for (size_t i = 0; i < sound.samples.size(); ++i) {
        sound.samples[i] = static_cast<int16_t>(data[2 * i] | (data[2 * i + 1] << 8));
    }
    SDL_FreeWAV(data);
    return sound;
}

int step(const std::vector<int16_t>& s, size_t from, size_t to) {
    return std::abs(static_cast<int>(s[to]) - static_cast<int>(s[from]));
}

TEST(SdlMusic, EveryCueIsShortCleanMonoAndLoopsWithoutAClick) {
    struct Expected {
        const char* name;
        double shortest;
        double longest;
        bool loops;
    };
    const Expected cues[] = {
        {"THUNDER2", 8, 16, true}, {"BADSONG1", 12, 20, true}, {"CREDITS", 8, 12, true},
        {"CLEAR", 3, 4, true},     {"GAMEOVER", 3, 4, false},
    };
    size_t total_bytes = 0;
    for (const Expected& cue : cues) {
        SCOPED_TRACE(cue.name);
        const Sound sound = load_sound(cue.name);
        ASSERT_FALSE(sound.samples.empty());
        total_bytes += sound.file_bytes;
        EXPECT_EQ(sound.spec.freq, 22050);
        EXPECT_EQ(sound.spec.format, AUDIO_S16LSB);
        EXPECT_EQ(sound.spec.channels, 1);
        const double length = static_cast<double>(sound.samples.size()) / 22050.0;
        EXPECT_GE(length, cue.shortest);
        EXPECT_LE(length, cue.longest);

        int peak = 0;
        for (int16_t s : sound.samples) peak = std::max(peak, std::abs(static_cast<int>(s)));
        EXPECT_LT(peak, 32000) << "too close to clipping";
        EXPECT_GT(peak, 8000) << "too quiet";

        const std::vector<int16_t>& s = sound.samples;
        const size_t last = s.size() - 1;
        if (cue.loops) {
            // The step across the joint is no bigger than the music's own steps near it.
            int nearby = 0;
            for (size_t i = 0; i < 64; ++i) nearby = std::max({nearby, step(s, i, i + 1), step(s, last - i - 1, last - i)});
            EXPECT_LE(step(s, last, 0), 2 * nearby);
        } else {
            // Played once: begins and ends in silence.
            EXPECT_LT(std::abs(static_cast<int>(s.front())), 64);
            EXPECT_LT(std::abs(static_cast<int>(s.back())), 64);
        }
    }
    EXPECT_LT(total_bytes, 4u * 1024u * 1024u);
}

}  // namespace
}  // namespace qv
