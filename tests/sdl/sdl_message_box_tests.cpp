// The message box drawn inside the SDL window: where its parts go for any text
// and window, and how it waits, on SDL's dummy video and audio drivers, for OK,
// Enter or a close of the window.
#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "platform/frame.h"
#include "platform/sdl/message_panel.h"
#include "platform/sdl/pause_overlay.h"
#include "platform/sdl/sdl_backend.h"
#include "platform/window.h"

namespace qv {
namespace {

using Events = std::vector<WindowEvent>;

constexpr const char* credits =
    "Lead Developer (Game Logic, Graphics, etc.): Arno Velt\nSound Programmer: Pim Oskar\n\nAnd a very special "
    "thanks to: Ida Marrow";

// About 2 KB of words and line feeds.
std::string long_text() {
    std::string text;
    for (int i = 0; text.size() < 2048; ++i) text += (i % 9 == 8) ? "paragraph\n" : "lorem ipsum ";
    return text;
}

bool inside(const PanelRect& inner, const PanelRect& outer) {
    return inner.x >= outer.x && inner.y >= outer.y && inner.x + inner.width <= outer.x + outer.width &&
           inner.y + inner.height <= outer.y + outer.height;
}

TEST(MessageText, WrapsBetweenWordsKeepsLineFeedsAndBreaksOverlongWords) {
    EXPECT_EQ(wrap_text(credits, 30, 20),
              (std::vector<std::string>{"Lead Developer (Game Logic,", "Graphics, etc.): Arno Velt",
                                        "Sound Programmer: Pim Oskar", "", "And a very special thanks to:",
                                        "Ida Marrow"}));
    EXPECT_EQ(wrap_text("abcdefghij kl", 4, 9), (std::vector<std::string>{"abcd", "efgh", "ij", "kl"}));
    EXPECT_EQ(wrap_text("one\r\ntwo\tthree\n", 20, 9), (std::vector<std::string>{"one", "two three", ""}));
    EXPECT_EQ(wrap_text("", 5, 3), std::vector<std::string>{""});
    // Exactly a line's worth: no empty line after it.
    EXPECT_EQ(wrap_text("abcd efgh", 4, 9), (std::vector<std::string>{"abcd", "efgh"}));
}

TEST(MessageText, TextThatCannotFitIsCutWithAnEllipsis) {
    const std::vector<std::string> lines = wrap_text(long_text(), 30, 6);
    ASSERT_EQ(lines.size(), 6u);
    for (const std::string& line : lines) EXPECT_LE(line.size(), 30u) << line;
    EXPECT_EQ(lines.back().substr(lines.back().size() - 3), "...");
    EXPECT_EQ(wrap_text("a b c d", 1, 2), (std::vector<std::string>{"a", "."}));
    EXPECT_EQ(wrap_text("one two three", 9, 1), std::vector<std::string>{"one tw..."});
    // A huge single word does not make a line per letter before it is cut.
    EXPECT_EQ(wrap_text(std::string(1'000'000, 'x'), 10, 2).size(), 2u);
}

TEST(MessageLayout, CreditsSitInACentredPanelAtAReadableScale) {
    const MessagePanel panel = lay_out_message("Quorvaner", credits, 960, 600);
    EXPECT_EQ(panel.unit, 2);
    EXPECT_EQ(panel.caption, "Quorvaner");
    EXPECT_EQ(panel.lines.size(), 4u) << "the credits need no wrapping at this size";
    EXPECT_EQ(panel.lines[0], "Lead Developer (Game Logic, Graphics, etc.): Arno Velt");
    EXPECT_LE(std::abs(2 * panel.frame.x + panel.frame.width - 960), 1);
    EXPECT_LE(std::abs(2 * panel.frame.y + panel.frame.height - 600), 1);
    EXPECT_GE(panel.frame.width, text_width(panel.lines[0]) * 2);
    EXPECT_TRUE(inside(panel.caption_bar, panel.frame));
    EXPECT_TRUE(inside(panel.button, panel.frame));
    const int32_t text_bottom = panel.text_y + 3 * panel.line_height + (text_glyph_height + text_descent) * 2;
    EXPECT_LE(text_bottom, panel.button.y);
    EXPECT_GE(panel.text_y, panel.caption_bar.y + panel.caption_bar.height);
    EXPECT_EQ(lay_out_message("GAME OVER", "", 1920, 1080).unit, 4);
}

TEST(MessageLayout, AnyTextStaysInsideWindowsOfAnySize) {
    const std::string text = long_text();
    const std::string caption(500, 'C');
    for (const auto& [width, height] : {std::pair{320, 200}, {960, 600}, {1920, 1080}, {333, 600}, {2000, 210}}) {
        const MessagePanel panel = lay_out_message(caption, text, width, height);
        EXPECT_TRUE(inside(panel.frame, PanelRect{0, 0, width, height})) << width << "x" << height;
        for (const std::string& line : panel.lines) {
            EXPECT_LE(panel.text_x + text_width(line) * panel.unit, panel.frame.x + panel.frame.width) << line;
        }
        EXPECT_LE(panel.caption_x + text_width(panel.caption) * panel.unit, panel.frame.x + panel.frame.width);
        EXPECT_EQ(panel.lines.back().substr(panel.lines.back().size() - 3), "...");
        EXPECT_EQ(panel.caption.substr(panel.caption.size() - 3), "...");
    }
}

TEST(MessageFont, EveryPrintableLetterHasAGlyphAndTailsHangBelowTheLine) {
    for (char letter = '!'; letter <= '~'; ++letter) {
        EXPECT_FALSE(text_cells(std::string(1, letter), 0, 0, 1).empty()) << letter;
    }
    EXPECT_TRUE(text_cells(" ", 0, 0, 1).empty());
    const auto lowest = [](const char* text) {
        int32_t bottom = 0;
        for (const TextCell& cell : text_cells(text, 0, 0, 1)) bottom = std::max(bottom, cell.y + cell.height);
        return bottom;
    };
    for (const char* tail : {"g", "j", "p", "q", "y", ","}) EXPECT_GT(lowest(tail), text_glyph_height) << tail;
    for (const char* flat : {"a", "Q", "0", "."}) EXPECT_EQ(lowest(flat), text_glyph_height) << flat;
}

class SdlMessageBox : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        backend = std::make_unique<SdlBackEnd>();
        backend->create_window("Test window");
        drain();
        // A white frame with a red top-left pixel.
        frame.fill(1);
        frame[0] = 2;
        palette[1] = 0x7FFF;
        palette[2] = 0x7C00;
        backend->show_frame({surface, frame, palette});
    }

    Events drain() {
        Events events;
        WindowEvent event{};
        while (backend->next_event(event)) events.push_back(event);
        return events;
    }

    void push_key(SDL_Keycode key) {
        SDL_Event event{};
        event.type = SDL_KEYDOWN;
        event.key.windowID = backend->window_id();
        event.key.keysym.sym = key;
        SDL_PushEvent(&event);
    }

    void push_click(int32_t x, int32_t y, uint8_t button = SDL_BUTTON_LEFT) {
        for (const uint32_t type : {SDL_MOUSEBUTTONDOWN, SDL_MOUSEBUTTONUP}) {
            SDL_Event event{};
            event.type = type;
            event.button.windowID = backend->window_id();
            event.button.button = button;
            event.button.x = x;
            event.button.y = y;
            SDL_PushEvent(&event);
        }
    }

    void push_window(uint8_t what) {
        SDL_Event event{};
        event.type = SDL_WINDOWEVENT;
        event.window.windowID = backend->window_id();
        event.window.event = what;
        SDL_PushEvent(&event);
    }

    uint32_t pixel_at(int x, int y) {
        uint32_t pixel = 0;
        const SDL_Rect one{x, y, 1, 1};
        SDL_RenderReadPixels(backend->renderer(), &one, SDL_PIXELFORMAT_RGB888, &pixel, 4);
        return pixel & 0xFFFFFF;
    }

    std::unique_ptr<SdlBackEnd> backend;
    FrameBuffer frame{};
    Palette palette{};
    DisplaySurface surface;
};

TEST_F(SdlMessageBox, HoldsUntilOkIsClickedOrEnterIsPressedAndThenShowsThePictureAgain) {
    backend->set_playing(true);
    push_window(SDL_WINDOWEVENT_FOCUS_GAINED);
    drain();
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
            push_click(5, 5);                                // beside the panel
            push_click(ok_x, ok_y, SDL_BUTTON_RIGHT);        // not the button that answers
            push_window(SDL_WINDOWEVENT_EXPOSED);
            push_window(SDL_WINDOWEVENT_FOCUS_LOST);         // no pause under a box
        } else if (turns == 8) {
            push_click(ok_x, ok_y);
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

TEST_F(SdlMessageBox, AWindowCloseTakesTheBoxDownAtOnceAndReachesTheNextPump) {
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

TEST_F(SdlMessageBox, TwoKilobytesOfTextNeitherGrowTheWindowNorHangAndAResizeRedrawsTheBox) {
    const std::string text = long_text();
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

TEST(SdlMessageBoxWithoutWindow, ReturnsSilentlyWhereNoBoxCanBeShown) {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    SdlBackEnd backend;
    backend.while_box_up = [] { ADD_FAILURE() << "no window: nothing to wait on"; };
    ::testing::internal::CaptureStderr();
    backend.message_box("Quorvaner", "the data folder is missing");
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
}

}  // namespace
}  // namespace qv
