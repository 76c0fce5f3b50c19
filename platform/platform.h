// The narrow edge between the game and the machine. A back end (headless, sdl,
// win32, web) implements this one interface; the entry point builds the back end
// it wants and hands it to the game, so the game never sees a system header, a
// native message or an event type, and the link graph has no loops.
#pragma once

#include <cstdint>

#include "platform/frame.h"

namespace qv {

struct CursorPosition {
    int32_t x = 0;
    int32_t y = 0;
};

// What the game hears from the window.
enum class WindowEvent {
    LeftButtonDown,
    LeftButtonUp,
    RightButtonDown,
    RightButtonUp,
    Close,  // the player closed the window
};

// One presented picture: the RGB555 surface the game's rules define, and the
// indexed frame with the palette it was converted through, for back ends that
// build their own pixel format from it. Valid only during the call.
struct PresentedFrame {
    const DisplaySurface& surface;
    const FrameBuffer& frame;
    const Palette& palette;
};

class BackEnd {
public:
    BackEnd() = default;
    BackEnd(const BackEnd&) = delete;
    BackEnd& operator=(const BackEnd&) = delete;
    virtual ~BackEnd() = default;

    // Opens the single window: a 320 x 200 picture captioned `title`, shown,
    // black until the first frame, with the cursor confined to it.
    virtual void create_window(const char* title) = 0;
    virtual void destroy_window() = 0;

    // The cursor in picture pixels (may lie off the picture). Called exactly once
    // at the start of every pump, before the events are drained.
    virtual CursorPosition cursor_position() = 0;

    // Takes the next pending event without waiting; false when none is left.
    virtual bool next_event(WindowEvent& event) = 0;

    // Shows the new picture at once. The back end keeps it and shows it again
    // whenever the window is uncovered or resized.
    virtual void show_frame(const PresentedFrame& picture) = 0;

    virtual void sleep(uint32_t milliseconds) = 0;
    // The millisecond tick count the game reads for its seed.
    virtual uint32_t ticks() = 0;
    // A steady clock for pacing frames, in microseconds; only differences count.
    virtual uint64_t steady_microseconds() = 0;

    // A modal box with one OK button; works with or without the window.
    virtual void message_box(const char* caption, const char* text) = 0;
    // A box that tells of a fault the program cannot go on with (a data file,
    // an option), with what the player can do about it where the back end knows.
    virtual void error_box(const char* text) { message_box("Quorvaner", text); }

    // One sound channel: each start ends what was playing. `file_name` is a WAV
    // file of the game's data.
    virtual void play_sound(const char* file_name, bool loop) = 0;
    virtual void stop_sound() = 0;

    // Told by the program when play starts and stops, so a window can hide the
    // system cursor and confine it only while the crosshair is the pointer, and
    // pause only a game. Changes nothing the game sees.
    virtual void set_playing(bool /*playing*/) {}
};

// A back end that hands every call on to another one, so that a wrapper names
// only the calls it changes.
class ForwardingBackEnd : public BackEnd {
public:
    explicit ForwardingBackEnd(BackEnd& inner) : inner_(inner) {}

    void create_window(const char* title) override { inner_.create_window(title); }
    void destroy_window() override { inner_.destroy_window(); }
    CursorPosition cursor_position() override { return inner_.cursor_position(); }
    bool next_event(WindowEvent& event) override { return inner_.next_event(event); }
    void show_frame(const PresentedFrame& picture) override { inner_.show_frame(picture); }
    void sleep(uint32_t milliseconds) override { inner_.sleep(milliseconds); }
    uint32_t ticks() override { return inner_.ticks(); }
    uint64_t steady_microseconds() override { return inner_.steady_microseconds(); }
    void message_box(const char* caption, const char* text) override { inner_.message_box(caption, text); }
    void error_box(const char* text) override { inner_.error_box(text); }
    void play_sound(const char* file_name, bool loop) override { inner_.play_sound(file_name, loop); }
    void stop_sound() override { inner_.stop_sound(); }
    void set_playing(bool playing) override { inner_.set_playing(playing); }

protected:
    BackEnd& wrapped() { return inner_; }

private:
    BackEnd& inner_;
};

}  // namespace qv
