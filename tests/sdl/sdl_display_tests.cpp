// The SDL window as the player handles it: the pointer that is the game's only
// while playing, the pause that holds the pump, the volume, and the message box
// drawn in the window that a close takes down.
#include <SDL_mixer.h>

#include <string>
#include <utility>
#include <vector>

#include "platform/sdl/message_panel.h"
#include "sdl_fixture.h"

namespace qv::sdl_test {
namespace {

using enum WindowEvent;

TEST_F(SdlWindow, PointerIsTheGamesOnlyWhilePlayingFocusedAndNotPaused) {
    open();
    EXPECT_TRUE(cursor_shown());  // the title screen
    backend->set_playing(true);
    EXPECT_FALSE(grabbed());  // not focused yet
    push_window(SDL_WINDOWEVENT_FOCUS_GAINED);
    drain();
    EXPECT_TRUE(grabbed());
    EXPECT_FALSE(cursor_shown());
    backend->set_playing(false);
    EXPECT_FALSE(grabbed());
    EXPECT_TRUE(cursor_shown());

    // Losing the focus on the title does not pause.
    push_window(SDL_WINDOWEVENT_FOCUS_LOST);
    EXPECT_TRUE(drain().empty());
    EXPECT_FALSE(backend->paused());
}

TEST_F(SdlWindow, EscHoldsThePumpUnderADimmedOverlayThatLeavesTheKeptPictureAlone) {
    open();
    show_test_picture();
    play();
    backend->play_sound("THUNDER2.wav", true);
    std::vector<uint32_t> seen;
    backend->player().while_paused = [&] {
        if (!seen.empty()) return;
        seen = {pixel_at(0, 0), pixel_at(6, 0), pixel_at(956, 599)};
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
        EXPECT_GT(pixel >> 16, 0u);
        EXPECT_LT(pixel >> 16, 0x80u);  // dimmed, not black
    }
    EXPECT_EQ(pixel_at(0, 0), 0xFF0000u);  // the picture again as it was
    EXPECT_EQ(pixel_at(6, 0), 0xFFFFFFu);
    EXPECT_EQ(Mix_Paused(0), 0);
    EXPECT_EQ(Mix_Playing(0), 1);
    EXPECT_TRUE(grabbed());
}

TEST_F(SdlWindow, TheResumingClickNeverReachesTheGameButAHeldButtonIsReleasedAndCloseStillWorks) {
    open();
    play();
    push_button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_RIGHT);
    EXPECT_EQ(drain(), Events{RightButtonDown});
    int turns = 0;
    backend->player().while_paused = [&] {
        if (turns++ > 0) return;
        EXPECT_TRUE(backend->paused());
        push_button(SDL_MOUSEBUTTONUP, SDL_BUTTON_RIGHT);  // held through the pause, let go
        push_window(SDL_WINDOWEVENT_FOCUS_GAINED);
        push_button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT);  // clicking back into the window resumes
    };
    push_window(SDL_WINDOWEVENT_FOCUS_LOST);  // leaving the window during play pauses
    EXPECT_EQ(drain(), Events{RightButtonUp});
    EXPECT_TRUE(grabbed());
    push_button(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT);  // the end of the resuming click
    push_button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT);
    push_button(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT);
    EXPECT_EQ(drain(), (Events{LeftButtonDown}));
    EXPECT_EQ(drain(), (Events{LeftButtonUp})) << "a click within one pump is up at the next";

    turns = 0;
    backend->player().while_paused = [&] {
        if (turns++ == 0) push_window(SDL_WINDOWEVENT_CLOSE);
    };
    push_key(SDLK_ESCAPE);
    EXPECT_EQ(drain(), Events{Close});
    EXPECT_TRUE(backend->paused());
    backend->destroy_window();
    EXPECT_FALSE(backend->paused());
    EXPECT_EQ(backend->cursor_position().x, 0);  // no window: nothing to wait on
}

TEST_F(SdlWindow, FourThreePointerAndVolumeOrMuteOnTheOneChannel) {
    PortSettings settings{.aspect = Aspect::FourThree, .volume = 50};
    open(settings);
    for (const auto& [x, y, picture_x, picture_y] : {std::array{480, 719, 160, 199}, {3, 4, 1, 1}}) {
        SDL_WarpMouseInWindow(backend->window(), x, y);
        const CursorPosition cursor = backend->cursor_position();
        EXPECT_EQ(std::pair(cursor.x, cursor.y), std::pair(picture_x, picture_y));
    }
    show_test_picture();  // through the sharp pre-scale
    EXPECT_EQ(pixel_at(0, 0), 0xFF0000u);
    EXPECT_EQ(pixel_at(959, 719), 0x00FF00u);

    backend->play_sound("THUNDER2.wav", true);
    EXPECT_EQ(Mix_Volume(0, -1), MIX_MAX_VOLUME / 2);
    settings.mute = true;
    open(settings);
    backend->play_sound("THUNDER2.wav", true);
    EXPECT_EQ(Mix_Volume(0, -1), 0);
    EXPECT_EQ(Mix_Playing(0), 1);  // muted, it still plays its course
}

TEST_F(SdlWindow, BoxHoldsUntilOkIsClickedOrEnterIsPressedAndThenShowsThePictureAgain) {
    open();
    show_test_picture();
    play();
    const MessagePanel panel = lay_out_message("Quorvaner", credits, 960, 600);
    const int32_t ok_x = panel.button.x + panel.button.width / 2;
    const int32_t ok_y = panel.button.y + panel.button.height / 2;
    const int32_t bar_y = panel.caption_bar.y + panel.caption_bar.height / 2;
    const auto click = [&](int32_t x, int32_t y, uint8_t button = SDL_BUTTON_LEFT) {
        push_button(SDL_MOUSEBUTTONDOWN, button, x, y);
        push_button(SDL_MOUSEBUTTONUP, button, x, y);
    };
    int turns = 0;
    std::vector<uint32_t> seen;
    backend->while_box_up = [&] {
        if (++turns == 1) {
            EXPECT_TRUE(backend->box_up());
            EXPECT_TRUE(cursor_shown());
            EXPECT_FALSE(grabbed());
            seen = {pixel_at(0, 0), pixel_at(6, 0), pixel_at(480, bar_y)};
            click(5, 5);                          // beside the panel
            click(ok_x, ok_y, SDL_BUTTON_RIGHT);  // not the button that answers
            push_window(SDL_WINDOWEVENT_EXPOSED);
            push_window(SDL_WINDOWEVENT_FOCUS_LOST);  // no pause under a box
        } else if (turns == 8) {
            click(ok_x, ok_y);
        }
    };
    backend->message_box("Quorvaner", credits);
    // Not before the click on OK; soon after it, though a loaded machine may
    // queue a few window events of its own ahead of the click.
    EXPECT_GE(turns, 8);
    EXPECT_LE(turns, 40);
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_GT(seen[0] >> 16, 0u) << "the picture dimmed, not black";
    EXPECT_LT(seen[0] >> 16, 0x80u);
    EXPECT_LT(seen[1] & 0xFF, 0x80u);
    EXPECT_EQ(seen[2], 0x2C3A68u) << "the caption bar";

    backend->while_box_up = [&] {
        push_window(SDL_WINDOWEVENT_FOCUS_GAINED);  // the focus back while a box is up
        push_key(SDLK_RETURN);
    };
    backend->message_box("GAME OVER", "You've been Quorvaned! Your final score was 700");
    EXPECT_FALSE(backend->box_up());
    EXPECT_FALSE(backend->paused());
    EXPECT_TRUE(grabbed()) << "confined again after the box";
    EXPECT_TRUE(drain().empty()) << "the box's clicks are not the game's";
    EXPECT_EQ(pixel_at(0, 0), 0xFF0000u) << "the box must not leave the window black";
    EXPECT_EQ(pixel_at(480, bar_y), 0xFFFFFFu);
}

TEST_F(SdlWindow, AWindowCloseTakesABoxDownAtOnceAndReachesTheNextPump) {
    open();
    for (const uint32_t type : {uint32_t{SDL_WINDOWEVENT}, uint32_t{SDL_QUIT}}) {
        int turns = 0;
        backend->while_box_up = [&] {
            if (turns++ > 0) return;
            SDL_Event event{.type = type};
            event.window.event = SDL_WINDOWEVENT_CLOSE;
            push(event);
        };
        const uint32_t start = SDL_GetTicks();
        backend->message_box("Quorvaner", credits);
        EXPECT_EQ(turns, 2) << type;
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

TEST_F(SdlWindow, TwoKilobytesInABoxNeitherGrowTheWindowNorHangAndAResizeRedrawsTheBox) {
    open();
    std::string text;
    while (text.size() < 2048) text += "lorem ipsum dolor\n";
    int turns = 0;
    bool checked = false;
    backend->while_box_up = [&] {
        if (++turns == 1) {
            SDL_SetWindowSize(backend->window(), 700, 500);
            push_window(SDL_WINDOWEVENT_SIZE_CHANGED);
        } else if (!checked && SDL_PeepEvents(nullptr, 0, SDL_PEEKEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) == 0) {
            checked = true;
            const MessagePanel panel = lay_out_message("Quorvaner", text, 700, 500);
            EXPECT_EQ(pixel_at(panel.frame.x + panel.frame.width / 2, panel.caption_bar.y + 1), 0x2C3A68u);
            push_key(SDLK_ESCAPE);
        }
    };
    backend->message_box("Quorvaner", text.c_str());
    EXPECT_TRUE(checked);
    EXPECT_LE(turns, 40) << "answered a few events after Esc, whatever the text";
    int width = 0, height = 0;
    SDL_GetWindowSize(backend->window(), &width, &height);
    EXPECT_EQ(std::pair(width, height), std::pair(700, 500));
}

}  // namespace
}  // namespace qv::sdl_test
