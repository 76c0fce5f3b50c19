// The native Windows back end: one overlapped window showing the 16-bit picture
// scaled and centred with StretchDIBits, the mouse through the window procedure
// and the cursor position, PlaySoundA for the cues. Only this folder includes
// <windows.h>.
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
#include <vector>

#include "platform/platform.h"
#include "platform/view_layout.h"

namespace qv {

class Win32BackEnd final : public BackEnd {
public:
    Win32BackEnd(HINSTANCE instance, int show_command) : instance_(instance), show_command_(show_command) {}
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

    // The window procedure's side: what it records for the pump and what it draws.
    void post(WindowEvent event) { pending_.push_back(event); }
    void paint(HDC target);
    void forget_window() { window_ = nullptr; }

private:
    ViewRect view() const;

    HINSTANCE instance_ = nullptr;
    int show_command_ = SW_SHOWDEFAULT;
    HWND window_ = nullptr;  // null before the window is created and once it is gone

    // The last picture, kept so that the window can be drawn again whenever the
    // system asks (uncovered, resized, under a message box), black before the first.
    std::vector<uint16_t> picture_;
    std::deque<WindowEvent> pending_;
    CursorPosition last_cursor_;  // reported while there is no window to ask
};

}  // namespace qv
