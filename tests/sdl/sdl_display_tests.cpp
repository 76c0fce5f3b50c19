// The SDL window as the player handles it: the pause that holds the pump under
// the menu, and the message box drawn in the window that a close takes down.
// The rules of the pause are the player's side's (player_side_test).
#include <SDL_mixer.h>

#include <string>
#include <utility>
#include <vector>

#include "platform/sdl/message_panel.h"
#include "sdl_fixture.h"

namespace qv::sdl_test {
namespace {

using enum WindowEvent;

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
        key(SDL_SCANCODE_ESCAPE);
    };
    const uint32_t start = SDL_GetTicks();
    key(SDL_SCANCODE_ESCAPE);
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

TEST_F(SdlWindow, BoxHoldsUntilOkIsClickedOrEnterIsPressedAndThenShowsThePictureAgain) {
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
        if (++turns == 1) {
            EXPECT_TRUE(cursor_shown());
            EXPECT_FALSE(grabbed());
            seen = {pixel_at(0, 0), pixel_at(480, bar_y)};
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
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_GT(seen[0] >> 16, 0u) << "the picture dimmed, not black";
    EXPECT_LT(seen[0] >> 16, 0x80u);
    EXPECT_EQ(seen[1], 0x2C3A68u) << "the caption bar";

    backend->while_box_up = [&] {
        push_window(SDL_WINDOWEVENT_FOCUS_GAINED);  // the focus back while a box is up
        key(SDL_SCANCODE_RETURN);
    };
    backend->message_box("GAME OVER", "You've been Quorvaned! Your final score was 700");
    EXPECT_FALSE(backend->box_up());
    EXPECT_FALSE(backend->paused());
    EXPECT_TRUE(grabbed()) << "confined again after the box";
    EXPECT_TRUE(drain().empty()) << "the box's clicks are not the game's";
    EXPECT_EQ(pixel_at(0, 0), 0xFF0000u) << "the box must not leave the window black";
    EXPECT_EQ(pixel_at(480, bar_y), 0xFFFFFFu);
}

// Two kilobytes of words, and a resize under the box: the box is drawn again
// at the new size, and Esc answers it.
TEST_F(SdlWindow, ABoxOfTwoKilobytesIsDrawnAgainAfterAResizeAndEscAnswersIt) {
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
            key(SDL_SCANCODE_ESCAPE);
        }
    };
    backend->message_box("Quorvaner", text.c_str());
    EXPECT_TRUE(checked);
    EXPECT_LE(turns, 40) << "answered a few events after Esc, whatever the text";
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
        backend->message_box("Quorvaner", credits);
        EXPECT_EQ(turns, 2) << type;
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

}  // namespace
}  // namespace qv::sdl_test
