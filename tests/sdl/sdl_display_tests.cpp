// The SDL window as the player handles it, on SDL's dummy video and audio
// drivers: the size and fullscreen from the settings and the keys, the pause
// that holds the pump, the pointer that is the game's only while playing, and
// the volume, and the message box drawn in the window that a close takes down.
#include <SDL.h>
#include <SDL_mixer.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/frame.h"
#include "platform/sdl/message_panel.h"
#include "platform/sdl/pause_overlay.h"
#include "platform/sdl/sdl_backend.h"
#include "platform/window.h"

namespace qv {
namespace {

constexpr const char* credits =
    "Lead Developer (Game Logic, Graphics, etc.): Arno Velt\nSound Programmer: Pim Oskar\n\nAnd a very special "
    "thanks to: Ida Marrow";

using Events = std::vector<WindowEvent>;
using enum WindowEvent;

class SdlDisplay : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
    }

    void open(const PortSettings& settings = {}) {
        backend = std::make_unique<SdlBackEnd>(settings);
        backend->create_window("Test window");
        drain();
    }

    Events drain() {
        Events events;
        WindowEvent event{};
        while (backend->next_event(event)) events.push_back(event);
        return events;
    }

    void push_key(SDL_Keycode key, uint16_t mod = KMOD_NONE) {
        SDL_Event event{};
        event.type = SDL_KEYDOWN;
        event.key.windowID = backend->window_id();
        event.key.keysym.sym = key;
        event.key.keysym.mod = mod;
        SDL_PushEvent(&event);
    }

    void push_button(uint32_t type, uint8_t button, int32_t x = 0, int32_t y = 0) {
        SDL_Event event{};
        event.type = type;
        event.button.windowID = backend->window_id();
        event.button.button = button;
        event.button.x = x;
        event.button.y = y;
        SDL_PushEvent(&event);
    }

    // A press and release at one point of the window.
    void push_button_at(int32_t x, int32_t y, uint8_t button = SDL_BUTTON_LEFT) {
        push_button(SDL_MOUSEBUTTONDOWN, button, x, y);
        push_button(SDL_MOUSEBUTTONUP, button, x, y);
    }

    void push_window(uint8_t what) {
        SDL_Event event{};
        event.type = SDL_WINDOWEVENT;
        event.window.windowID = backend->window_id();
        event.window.event = what;
        SDL_PushEvent(&event);
    }

    Extent window_size() {
        Extent size;
        SDL_GetWindowSize(backend->window(), &size.width, &size.height);
        return size;
    }

    bool fullscreen() {
        return (SDL_GetWindowFlags(backend->window()) & SDL_WINDOW_FULLSCREEN_DESKTOP) == SDL_WINDOW_FULLSCREEN_DESKTOP;
    }
    bool grabbed() { return (SDL_GetWindowFlags(backend->window()) & SDL_WINDOW_MOUSE_GRABBED) != 0; }
    bool cursor_shown() { return SDL_ShowCursor(SDL_QUERY) == SDL_ENABLE; }

    uint32_t pixel_at(int x, int y) {
        uint32_t pixel = 0;
        const SDL_Rect one{x, y, 1, 1};
        SDL_RenderReadPixels(backend->renderer(), &one, SDL_PIXELFORMAT_RGB888, &pixel, 4);
        return pixel & 0xFFFFFF;
    }

    // A white frame with a red top-left pixel, shown through a palette.
    void show_test_picture() {
        frame.fill(1);
        frame[0] = 2;
        palette.fill(0);
        palette[1] = 0x7FFF;
        palette[2] = 0x7C00;
        surface.pixels.fill(0);
        backend->show_frame({surface, frame, palette});
    }

    // Playing with the focus, as during a game.
    void play() {
        backend->set_playing(true);
        push_window(SDL_WINDOWEVENT_FOCUS_GAINED);
        EXPECT_TRUE(drain().empty());
    }

    std::unique_ptr<SdlBackEnd> backend;
    FrameBuffer frame{};
    Palette palette{};
    DisplaySurface surface;
};

TEST_F(SdlDisplay, WindowSizeFollowsScaleAndAspectAndFullscreenTogglesFromSettingsAndKeys) {
    struct Case {
        int32_t scale;
        Aspect aspect;
        Extent size;
    };
    // The dummy desktop is 1024 x 768.
    for (const Case& c : {Case{0, Aspect::SquarePixels, {960, 600}}, Case{2, Aspect::SquarePixels, {640, 400}},
                          Case{0, Aspect::FourThree, {960, 720}}, Case{9, Aspect::FourThree, {960, 720}}}) {
        PortSettings settings;
        settings.scale = c.scale;
        settings.aspect = c.aspect;
        open(settings);
        const Extent size = window_size();
        EXPECT_EQ(std::pair(size.width, size.height), std::pair(c.size.width, c.size.height)) << c.scale;
        EXPECT_FALSE(fullscreen());
        const ViewRect view = backend->view();
        EXPECT_EQ(std::pair(view.width, view.height), std::pair(c.size.width, c.size.height));
    }

    PortSettings settings;
    settings.fullscreen = true;
    open(settings);
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

TEST_F(SdlDisplay, PointerIsTheGamesOnlyWhilePlayingFocusedAndNotPaused) {
    open();
    EXPECT_TRUE(cursor_shown());  // the title screen
    EXPECT_FALSE(grabbed());
    backend->set_playing(true);
    EXPECT_FALSE(grabbed());  // not focused yet
    push_window(SDL_WINDOWEVENT_FOCUS_GAINED);
    drain();
    EXPECT_TRUE(grabbed());
    EXPECT_FALSE(cursor_shown());
    backend->set_playing(false);
    EXPECT_FALSE(grabbed());
    EXPECT_TRUE(cursor_shown());

    // Losing the focus on the title does not pause; during play it does.
    push_window(SDL_WINDOWEVENT_FOCUS_LOST);
    EXPECT_TRUE(drain().empty());
    EXPECT_FALSE(backend->paused());
    play();
    int turns = 0;
    backend->while_paused = [&] {
        if (turns++ > 0) return;
        EXPECT_TRUE(backend->paused());
        EXPECT_FALSE(grabbed());
        EXPECT_TRUE(cursor_shown());
        push_button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT);  // clicking back into the window
        push_window(SDL_WINDOWEVENT_FOCUS_GAINED);
    };
    push_window(SDL_WINDOWEVENT_FOCUS_LOST);
    drain();
    EXPECT_GT(turns, 0);
    EXPECT_FALSE(backend->paused());
    EXPECT_TRUE(grabbed());
    EXPECT_FALSE(cursor_shown());
}

TEST_F(SdlDisplay, EscHoldsThePumpUnderADimmedOverlayThatLeavesTheKeptPictureAlone) {
    open();
    show_test_picture();
    ASSERT_EQ(pixel_at(0, 0), 0xFF0000u);
    ASSERT_EQ(pixel_at(3, 0), 0xFFFFFFu);
    const FrameBuffer shown = frame;
    play();
    backend->play_sound("THUNDER2.wav", true);

    std::vector<uint32_t> seen;
    backend->while_paused = [&] {
        if (!seen.empty()) return;
        seen = {pixel_at(0, 0), pixel_at(3, 0), pixel_at(959, 599)};
        EXPECT_EQ(Mix_Paused(0), 1);
        EXPECT_TRUE(cursor_shown());
        EXPECT_FALSE(grabbed());
        push_key(SDLK_ESCAPE);
    };
    const uint32_t start = SDL_GetTicks();
    push_key(SDLK_ESCAPE);
    EXPECT_TRUE(drain().empty());
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_GE(SDL_GetTicks() - start, 90u);  // at least one full wait
    for (const uint32_t pixel : seen) {
        const uint32_t red = pixel >> 16;
        EXPECT_GT(red, 0u);
        EXPECT_LT(red, 0x80u);  // dimmed, not black
    }
    EXPECT_EQ(pixel_at(0, 0), 0xFF0000u);  // the picture again as it was
    EXPECT_EQ(pixel_at(3, 0), 0xFFFFFFu);
    EXPECT_EQ(frame, shown);
    EXPECT_EQ(Mix_Paused(0), 0);
    EXPECT_EQ(Mix_Playing(0), 1);
    EXPECT_TRUE(grabbed());
}

TEST_F(SdlDisplay, TheResumingClickNeverReachesTheGameButAHeldButtonIsReleasedAndCloseStillWorks) {
    open();
    play();
    push_button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_RIGHT);
    EXPECT_EQ(drain(), Events{RightButtonDown});
    int turns = 0;
    backend->while_paused = [&] {
        if (turns++ > 0) return;
        push_button(SDL_MOUSEBUTTONUP, SDL_BUTTON_RIGHT);   // held through the pause, let go
        push_button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT);  // resumes
    };
    push_key(SDLK_ESCAPE);
    EXPECT_EQ(drain(), Events{RightButtonUp});
    push_button(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT);  // the end of the resuming click
    push_button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT);
    push_button(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT);
    EXPECT_EQ(drain(), (Events{LeftButtonDown, LeftButtonUp}));

    turns = 0;
    backend->while_paused = [&] {
        if (turns++ == 0) push_window(SDL_WINDOWEVENT_CLOSE);
    };
    push_key(SDLK_ESCAPE);
    EXPECT_EQ(drain(), Events{Close});
    EXPECT_TRUE(backend->paused());
    backend->destroy_window();
    EXPECT_FALSE(backend->paused());
    EXPECT_EQ(backend->cursor_position().x, 0);  // no window: nothing to wait on
}

TEST_F(SdlDisplay, FourThreePointerAndVolumeOrMuteOnTheOneChannel) {
    PortSettings settings;
    settings.aspect = Aspect::FourThree;
    settings.volume = 50;
    open(settings);
    SDL_WarpMouseInWindow(backend->window(), 480, 719);
    CursorPosition cursor = backend->cursor_position();
    EXPECT_EQ(std::pair(cursor.x, cursor.y), std::pair(160, 199));
    SDL_WarpMouseInWindow(backend->window(), 3, 4);
    cursor = backend->cursor_position();
    EXPECT_EQ(std::pair(cursor.x, cursor.y), std::pair(1, 1));

    show_test_picture();  // through the sharp pre-scale
    EXPECT_EQ(pixel_at(0, 0), 0xFF0000u);
    EXPECT_EQ(pixel_at(959, 719), 0xFFFFFFu);

    backend->play_sound("THUNDER2.wav", true);
    EXPECT_EQ(Mix_Volume(0, -1), MIX_MAX_VOLUME / 2);
    backend.reset();

    settings.mute = true;
    open(settings);
    backend->play_sound("THUNDER2.wav", true);
    EXPECT_EQ(Mix_Volume(0, -1), 0);
    EXPECT_EQ(Mix_Playing(0), 1);  // muted, it still plays its course
}

TEST_F(SdlDisplay, BoxHoldsUntilOkIsClickedOrEnterIsPressedAndThenShowsThePictureAgain) {
    open();
    show_test_picture();
    play();
    const MessagePanel panel = lay_out_message("Quorvaner", credits, 960, 600);
    const int32_t ok_x = panel.button.x + panel.button.width / 2;
    const int32_t ok_y = panel.button.y + panel.button.height / 2;
    const int32_t bar_y = panel.caption_bar.y + panel.caption_bar.height / 2;
    int turns = 0;
    std::vector<uint32_t> seen;
    backend->while_box_up = [&] {
        ++turns;
        if (turns == 1) {
            EXPECT_TRUE(backend->box_up());
            EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_ENABLE);
            EXPECT_EQ(SDL_GetWindowFlags(backend->window()) & SDL_WINDOW_MOUSE_GRABBED, 0u);
            seen = {pixel_at(0, 0), pixel_at(3, 0), pixel_at(480, bar_y)};
            push_button_at(5, 5);                          // beside the panel
            push_button_at(ok_x, ok_y, SDL_BUTTON_RIGHT);  // not the button that answers
            push_window(SDL_WINDOWEVENT_EXPOSED);
            push_window(SDL_WINDOWEVENT_FOCUS_LOST);  // no pause under a box
        } else if (turns == 8) {
            push_button_at(ok_x, ok_y);
        }
    };
    backend->message_box("Quorvaner", credits);
    EXPECT_GE(turns, 8);
    EXPECT_LE(turns, 12);
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_GT(seen[0] >> 16, 0u) << "the picture dimmed, not black";
    EXPECT_LT(seen[0] >> 16, 0x80u);
    EXPECT_LT(seen[1] & 0xFF, 0x80u);
    EXPECT_EQ(seen[2], 0x2C3A68u) << "the caption bar";
    EXPECT_FALSE(backend->box_up());
    EXPECT_FALSE(backend->paused());
    EXPECT_TRUE(drain().empty()) << "the box's clicks are not the game's";
    EXPECT_EQ(pixel_at(0, 0), 0xFF0000u);
    EXPECT_EQ(pixel_at(480, bar_y), 0xFFFFFFu);

    turns = 0;
    backend->while_box_up = [&] {
        if (++turns == 3) push_key(SDLK_RETURN);
    };
    backend->message_box("GAME OVER", "You've been Quorvaned! Your final score was 700");
    EXPECT_GE(turns, 4) << "three turns, then the key";
    EXPECT_LE(turns, 6);
    EXPECT_EQ(pixel_at(480, 300), 0xFFFFFFu);
}

TEST_F(SdlDisplay, AWindowCloseTakesABoxDownAtOnceAndReachesTheNextPump) {
    open();
    for (const bool quit : {false, true}) {
        int turns = 0;
        backend->while_box_up = [&] {
            if (turns++ > 0) return;
            if (quit) {
                SDL_Event event{};
                event.type = SDL_QUIT;
                SDL_PushEvent(&event);
            } else {
                push_window(SDL_WINDOWEVENT_CLOSE);
            }
        };
        const uint32_t start = SDL_GetTicks();
        backend->message_box("Quorvaner", credits);
        EXPECT_EQ(turns, 2) << quit;
        EXPECT_LT(SDL_GetTicks() - start, 500u);
        // Any later box is no reason to wait: the close is still to be reported.
        backend->while_box_up = [&] { ADD_FAILURE() << "a box after the close"; };
        backend->message_box("GAME OVER", "late");
        Window window;
        window.backend = backend.get();
        window.exists = true;
        EXPECT_THROW(pump_messages(window), WindowClosed);
        backend->destroy_window();
        backend->create_window("Test window");
        drain();
    }
}

TEST_F(SdlDisplay, TwoKilobytesInABoxNeitherGrowTheWindowNorHangAndAResizeRedrawsTheBox) {
    open();
    std::string text;
    while (text.size() < 2048) text += "lorem ipsum dolor\n";
    int turns = 0;
    bool checked = false;
    backend->while_box_up = [&] {
        ++turns;
        if (turns == 1) {
            SDL_SetWindowSize(backend->window(), 700, 500);
            push_window(SDL_WINDOWEVENT_SIZE_CHANGED);
        } else if (!checked && SDL_PeepEvents(nullptr, 0, SDL_PEEKEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) == 0) {
            checked = true;
            const MessagePanel panel = lay_out_message("Quorvaner", text, 700, 500);
            EXPECT_EQ(pixel_at(panel.frame.x + panel.frame.width / 2, panel.caption_bar.y + 1), 0x2C3A68u);
            push_key(SDLK_ESCAPE);
        }
    };
    const uint32_t start = SDL_GetTicks();
    backend->message_box("Quorvaner", text.c_str());
    EXPECT_TRUE(checked);
    EXPECT_LE(turns, 8);
    EXPECT_LT(SDL_GetTicks() - start, 1000u);
    int width = 0;
    int height = 0;
    SDL_GetWindowSize(backend->window(), &width, &height);
    EXPECT_EQ(std::pair(width, height), std::pair(700, 500));
}

TEST(PauseWords, CellsFollowTheFontAndRunsOfARowMerge) {
    EXPECT_EQ(text_width("PAUSED"), 35);
    EXPECT_EQ(text_width(""), 0);
    // 'L': one cell in each of the six upper rows, a full bottom row as one run.
    const std::vector<TextCell> l = text_cells("L", 10, 20, 2);
    ASSERT_EQ(l.size(), 7u);
    for (size_t row = 0; row < 6; ++row) {
        EXPECT_EQ((std::array{l[row].x, l[row].y, l[row].width, l[row].height}),
                  (std::array{10, 20 + 2 * int32_t(row), 2, 2}));
    }
    EXPECT_EQ((std::array{l[6].x, l[6].y, l[6].width}), (std::array{10, 32, 10}));
    // A letter the font lacks is a gap of one advance.
    const std::vector<TextCell> gap = text_cells("\x7FL", 0, 0, 1);
    ASSERT_EQ(gap.size(), 7u);
    EXPECT_EQ(gap[0].x, text_advance);
}

}  // namespace
}  // namespace qv
