// The native Windows back end: one overlapped window showing the 16-bit picture
// scaled and centred with StretchDIBits, the mouse through the window procedure
// and the cursor position, PlaySoundA for the cues. Only this folder includes
// <windows.h>. The player's side as in the SDL back end: fullscreen as a
// borderless window over the monitor (Alt+Enter, F11), a pause on Esc or on
// losing the focus during play, and a pointer hidden and confined only while
// playing. The volume goes to the wave output (waveOutSetVolume); mute plays
// no cue at all, as PlaySoundA has no volume of its own.
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "platform/game_buttons.h"
#include "platform/platform.h"
#include "platform/port_settings.h"
#include "platform/view_layout.h"

namespace qv {

class Win32BackEnd final : public BackEnd {
public:
    Win32BackEnd(HINSTANCE instance, int show_command, const PortSettings& settings = {});
    ~Win32BackEnd() override;

    void create_window(const char* title) override;
    void destroy_window() override;
    CursorPosition cursor_position() override;
    bool next_event(WindowEvent& event) override;
    void show_frame(const PresentedFrame& picture) override;
    void sleep(uint32_t milliseconds) override;
    uint32_t ticks() override;
    void message_box(const char* caption, const char* text) override;
    void play_sound(const char* file_name, bool loop) override;
    void stop_sound() override;
    void set_playing(bool playing) override;

    // The window procedure's side: what it records for the pump and what it draws.
    void post(WindowEvent event) { pending_.push_back(event); }
    void close();
    void button(GameButtons::Button button, bool down);
    void toggle_fullscreen();
    void toggle_pause();
    void focus_changed(bool focused);
    void follow_pointer_state();
    void paint(HDC target);
    void forget_window();

private:
    ViewRect view() const;
    void pause();
    void resume();
    void hold_while_paused();
    void paint_pause_overlay(HDC target, const ViewRect& v);
    void repaint();

    PortSettings settings_;
    HINSTANCE instance_ = nullptr;
    int show_command_ = SW_SHOWDEFAULT;
    HWND window_ = nullptr;  // null before the window is created and once it is gone

    // The last picture, kept so that the window can be drawn again whenever the
    // system asks (uncovered, resized, under a message box), black before the first.
    std::vector<uint16_t> picture_;
    std::deque<WindowEvent> pending_;
    CursorPosition last_cursor_;  // reported while there is no window to ask

    bool playing_ = false;
    bool focused_ = false;
    bool paused_ = false;
    bool box_up_ = false;
    bool closing_ = false;
    bool cursor_hidden_ = false;
    bool fullscreen_ = false;
    WINDOWPLACEMENT windowed_{};  // where the window was before fullscreen
    GameButtons buttons_;
    std::vector<uint16_t> dimmed_;  // the paused picture
    std::string cue_;               // the looping cue, started again on resume
    bool cue_loops_ = false;
};

}  // namespace qv
