// The native Windows back end: one overlapped window showing the picture scaled
// and centred with StretchDIBits, the mouse through the window procedure and
// the cursor position, PlaySoundA for the cues. Only this folder includes
// <windows.h>. Its events go to the player's side shared by every window
// (platform/port/player_side.h); this file does the Win32 calls it asks for:
// fullscreen as a borderless window over the monitor, a cursor hidden and
// confined to the client area, the cue stopped while paused. The volume goes
// to the wave output (waveOutSetVolume); mute plays no cue at all, as
// PlaySoundA has no volume of its own. The keyboard and XInput pads go to the
// devices shared by every window (platform/port/input_devices.h); when they
// move the crosshair the system cursor is moved after it.
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <cstdint>
#include <string>

#include "platform/platform.h"
#include "platform/port/input_devices.h"
#include "platform/port/player_side.h"
#include "platform/port/shown_picture.h"
#include "platform/port_settings.h"
#include "platform/view_layout.h"
#include "platform/win32/xinput_pad.h"

namespace qv {

// UTF-8 text as the wide (UTF-16) calls take it.
std::wstring wide(const std::string& text);

class Win32BackEnd final : public BackEnd, private NativeWindow {
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
    uint64_t steady_microseconds() override;
    void message_box(const char* caption, const char* text) override;
    void error_box(const char* text) override;
    void play_sound(const char* file_name, bool loop) override;
    void stop_sound() override;
    void set_playing(bool playing) override { player_.set_playing(playing); }
    const PortSettings& settings() const { return settings_; }

    // Added under every error box: what a player of the zip can do about it.
    std::string error_hint;

    // The window procedure's side.
    PlayerSide& player() { return player_; }
    // A key's message (WM_KEYDOWN, WM_KEYUP) for the game's keys; the window's
    // own keys (Esc, F11, Alt+Enter) are the procedure's.
    void game_key(WPARAM virtual_key, LPARAM flags, bool down);
    void keys_lost() { devices_.keys_lost(); }
    void moved();
    // Where a point of the client area lies on the picture, for the menu.
    void pointer_at(LPARAM client_point);
    void dpi_changed(const RECT& suggested);
    void paint(HDC target);
    void forget_window();

private:
    // What the player's side needs of the system.
    void capture_pointer(bool captured) override;
    void pause_sound(bool paused) override;
    void redraw() override;
    bool toggle_fullscreen() override;
    void apply_settings(const PortSettings& settings) override;
    void wait_for_events(uint32_t milliseconds) override;
    void size_window();

    ViewRect view() const;
    UINT dpi() const;
    void dispatch_pending(bool wait, uint32_t milliseconds);
    void paint_sharp(HDC target, const ViewRect& v);
    void poll_pads();
    CursorPosition follow_devices(CursorPosition mouse);

    PortSettings settings_;
    PlayerSide player_;
    InputDevices devices_;
    XInputPads pads_;
    HINSTANCE instance_ = nullptr;
    int show_command_ = SW_SHOWDEFAULT;
    HWND window_ = nullptr;  // null before the window is created and once it is gone
    LARGE_INTEGER counter_frequency_{};

    // The shown picture, kept so that the window can be drawn again whenever
    // the system asks (uncovered, resized, under a message box), black before the first.
    ShownPicture picture_{xrgb_pixels};
    CursorPosition last_cursor_;  // reported while there is no window to ask

    bool cursor_hidden_ = false;
    bool fullscreen_ = false;
    bool resize_after_fullscreen_ = false;  // the scale or aspect changed in fullscreen
    WINDOWPLACEMENT windowed_{};            // where the window was before fullscreen
    std::string cue_;                       // the looping cue, started again on resume
    bool cue_loops_ = false;
};

}  // namespace qv
