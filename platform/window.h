// The window as the game sees it: the mouse the window procedure keeps, the
// message pump, frame pacing, presenting and message boxes, written once on top
// of the back-end interface.
#pragma once

#include <cstdint>
#include <exception>
#include <string>

#include "platform/frame.h"
#include "platform/platform.h"

namespace qv {

// Written only by the pump: buttons as its events say, the cursor sampled once.
struct LiveMouse {
    uint8_t mouse_left_down = 0;
    uint8_t mouse_right_down = 0;
    int32_t mouse_x = 0;
    int32_t mouse_y = 0;
};

struct PointerBlock {
    int32_t pointer_x = 0;
    int32_t pointer_y = 0;
};

struct ButtonBlock {
    uint8_t right_button = 0;
    uint8_t left_button = 0;
};

// The copy of the mouse that the game reads.
struct InputState {
    PointerBlock pointer;
    ButtonBlock buttons;
};

// Sets a button of the live mouse as a button event says; other events change nothing.
void apply_button_event(LiveMouse& mouse, WindowEvent event);

// The period of a frame.
inline constexpr uint64_t frame_microseconds = 13000;

// Frames follow each other every 13 ms, counted from the start of the previous
// frame, whatever the frame's own work took: a late frame waits nothing and the
// time lost is not caught up.
struct FramePacer {
    bool started = false;
    uint64_t frame_start = 0;  // microseconds of the back end's steady clock
};

// How many milliseconds to sleep at the end of a frame that ends at `now`, and
// the start of the next frame noted in the pacer.
uint32_t frame_rest(FramePacer& pacer, uint64_t now);

struct Window {
    BackEnd* backend = nullptr;
    // Where the game's files are read from: models, glyphs, the title picture
    // and the cues. Empty for the working directory.
    std::string data_folder;
    bool exists = false;
    LiveMouse mouse;
    FramePacer pacer;
};

// Raised by the pump that sees the player close the window. Every loop of the
// program stops right there, with no further present, sleep, cue or box; the
// program's outermost frame catches it and ends normally.
struct WindowClosed : std::exception {
    const char* what() const noexcept override { return "the window was closed"; }
};

// The window captioned "Quorvaner for Windows 95/NT", for the 320 x 200 picture.
void create_display_window(Window& window);
void destroy_display_window(Window& window);

// Samples the cursor, then drains every pending event into the live mouse.
// Throws WindowClosed after the drain when one of them was a close.
void pump_messages(Window& window);

// The rest of the frame's 13 ms (see FramePacer).
void wait_frame(Window& window);

// Converts the frame, shows it, then clears the frame buffer to index 0: each
// picture is shown once.
void present_frame(Video& video, Window& window);

// The three orders in which the game ends a presented frame.
enum class FrameEnd {
    PresentPumpSleep,  // a frame of play
    SleepPresentPump,  // a frame of the life-loss and level-clear flashing
    PresentSleepPump,  // a frame of the title's zoom
};

void end_frame(Video& video, Window& window, FrameEnd order);

// Copies the live mouse into the InputState; changes nothing else.
void read_input(const LiveMouse& live, InputState& input);

// A modal box with one OK button.
void show_message(Window& window, const char* caption, const char* text);
// The box of a fault that ends the program.
void show_error(Window& window, const char* text);

}  // namespace qv
