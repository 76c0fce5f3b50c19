#include "platform/win32/win32_backend.h"

#include <mmsystem.h>

#include <algorithm>

#include "platform/win32/window_geometry.h"

namespace qv {

namespace {

// Cues play asynchronously and, except for the one played once, loop.
constexpr UINT sound_once = SND_ASYNC;
constexpr UINT sound_looping = SND_ASYNC | SND_LOOP;
static_assert(sound_once == 1 && sound_looping == 9);

constexpr DWORD pause_wait_milliseconds = 100;
constexpr DWORD windowed_style = WS_OVERLAPPEDWINDOW;
constexpr DWORD fullscreen_style = WS_POPUP;

Win32BackEnd* backend_of(HWND window) {
    return reinterpret_cast<Win32BackEnd*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

// A 16-bit top-down bitmap: BI_RGB at 16 bits is exactly the game's RGB555.
BITMAPINFO picture_info() {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = screen_width;
    info.bmiHeader.biHeight = -screen_height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 16;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

// A quarter of each 5-bit channel: the paused picture, still recognisable.
uint16_t dim(uint16_t colour) { return static_cast<uint16_t>((colour >> 2) & 0x1CE7); }

bool alt_held(LPARAM lparam) { return (lparam & (LPARAM{1} << 29)) != 0; }
bool repeated(LPARAM lparam) { return (lparam & (LPARAM{1} << 30)) != 0; }

LRESULT CALLBACK window_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_NCCREATE) {
        const auto* creation = reinterpret_cast<const CREATESTRUCTA*>(lparam);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(creation->lpCreateParams));
    }
    Win32BackEnd* backend = backend_of(window);
    if (backend == nullptr) return DefWindowProcA(window, message, wparam, lparam);
    switch (message) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
            backend->button(GameButtons::Left, message == WM_LBUTTONDOWN);
            return 0;
        case WM_RBUTTONDOWN:
        case WM_RBUTTONUP:
            backend->button(GameButtons::Right, message == WM_RBUTTONDOWN);
            return 0;
        case WM_SYSKEYDOWN:
            if (wparam == VK_RETURN && alt_held(lparam)) {
                if (!repeated(lparam)) backend->toggle_fullscreen();
                return 0;
            }
            return DefWindowProcA(window, message, wparam, lparam);  // Alt+F4 and the system menu
        case WM_KEYDOWN:
            if (repeated(lparam)) return 0;
            if (wparam == VK_F11) backend->toggle_fullscreen();
            if (wparam == VK_ESCAPE) backend->toggle_pause();
            return 0;
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            backend->focus_changed(message == WM_SETFOCUS);
            return 0;
        case WM_ERASEBKGND:
            return 1;  // the paint covers every pixel, bands included
        case WM_MOVE:
        case WM_SIZE:
            // The confinement follows the window.
            backend->follow_pointer_state();
            InvalidateRect(window, nullptr, FALSE);
            return 0;
        case WM_PAINT: {
            PAINTSTRUCT paint{};
            HDC target = BeginPaint(window, &paint);
            if (target != nullptr) backend->paint(target);
            EndPaint(window, &paint);
            return 0;
        }
        case WM_CLOSE:
            backend->close();
            DestroyWindow(window);
            return 0;
        case WM_DESTROY:
            backend->forget_window();
            SetWindowLongPtrA(window, GWLP_USERDATA, 0);
            return 0;
        default:
            return DefWindowProcA(window, message, wparam, lparam);
    }
}

}  // namespace

Win32BackEnd::Win32BackEnd(HINSTANCE instance, int show_command, const PortSettings& settings)
    : settings_(settings), instance_(instance), show_command_(show_command) {
    settings_.volume = std::clamp(settings_.volume, 0, 100);
    settings_.scale = std::max(0, settings_.scale);
    windowed_.length = sizeof(WINDOWPLACEMENT);
}

Win32BackEnd::~Win32BackEnd() {
    if (window_ != nullptr) DestroyWindow(window_);
}

// The confinement and the hidden cursor belong to this window; the desktop gets
// the cursor back.
void Win32BackEnd::forget_window() {
    ClipCursor(nullptr);
    if (cursor_hidden_) ShowCursor(TRUE);
    cursor_hidden_ = false;
    window_ = nullptr;
}

ViewRect Win32BackEnd::view() const {
    RECT client{};
    if (window_ == nullptr || !GetClientRect(window_, &client)) return unscaled_view(settings_.aspect);
    return centred_view(client.right - client.left, client.bottom - client.top, settings_.aspect);
}

void Win32BackEnd::repaint() {
    if (window_ == nullptr) return;
    HDC target = GetDC(window_);
    if (target != nullptr) {
        paint(target);
        ReleaseDC(window_, target);
    }
}

void Win32BackEnd::paint(HDC target) {
    RECT client{};
    GetClientRect(window_, &client);
    const ViewRect v = view();
    // The bands around the picture stay black.
    HBRUSH black = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    const RECT bands[4] = {{0, 0, client.right, v.y},
                           {0, v.y + v.height, client.right, client.bottom},
                           {0, v.y, v.x, v.y + v.height},
                           {v.x + v.width, v.y, client.right, v.y + v.height}};
    for (const RECT& band : bands) {
        if (band.right > band.left && band.bottom > band.top) FillRect(target, &band, black);
    }
    const BITMAPINFO info = picture_info();
    // 4:3 rows are not a whole number of pixels tall: smoothed, they stay even.
    if (settings_.aspect == Aspect::FourThree) {
        SetStretchBltMode(target, HALFTONE);
        SetBrushOrgEx(target, 0, 0, nullptr);
    } else {
        SetStretchBltMode(target, COLORONCOLOR);
    }
    const std::vector<uint16_t>& shown = paused_ ? dimmed_ : picture_;
    StretchDIBits(target, v.x, v.y, v.width, v.height, 0, 0, screen_width, screen_height, shown.data(), &info,
                  DIB_RGB_COLORS, SRCCOPY);
    if (paused_) paint_pause_overlay(target, v);
}

// The words over the dimmed copy; the kept picture itself is never touched.
void Win32BackEnd::paint_pause_overlay(HDC target, const ViewRect& v) {
    SetBkMode(target, TRANSPARENT);
    SetTextAlign(target, TA_CENTER | TA_BASELINE);
    const int centre = v.x + v.width / 2;
    const int middle = v.y + v.height / 2;
    HFONT big = CreateFontA(v.height / 6, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                            CLIP_DEFAULT_PRECIS, NONANTIALIASED_QUALITY, FIXED_PITCH | FF_MODERN, "Courier New");
    HFONT small = CreateFontA(v.height / 20, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                              CLIP_DEFAULT_PRECIS, NONANTIALIASED_QUALITY, FIXED_PITCH | FF_MODERN, "Courier New");
    HGDIOBJ before = SelectObject(target, big);
    SetTextColor(target, RGB(255, 255, 255));
    TextOutA(target, centre, middle, "PAUSED", 6);
    SelectObject(target, small);
    SetTextColor(target, RGB(170, 170, 170));
    constexpr char hint[] = "CLICK OR ESC TO RESUME";
    TextOutA(target, centre, middle + v.height / 8, hint, static_cast<int>(sizeof(hint) - 1));
    SelectObject(target, before);
    DeleteObject(big);
    DeleteObject(small);
}

// The system cursor is hidden and held inside the window only while the
// crosshair is the pointer: playing, focused, not paused and no box up.
void Win32BackEnd::follow_pointer_state() {
    if (window_ == nullptr) return;
    const bool captured = playing_ && focused_ && !paused_ && !box_up_;
    if (captured) {
        RECT confinement{};
        GetWindowRect(window_, &confinement);
        ClipCursor(&confinement);
    } else {
        ClipCursor(nullptr);
    }
    if (captured != cursor_hidden_) {
        ShowCursor(captured ? FALSE : TRUE);
        cursor_hidden_ = captured;
    }
}

void Win32BackEnd::set_playing(bool playing) {
    playing_ = playing;
    follow_pointer_state();
}

void Win32BackEnd::focus_changed(bool focused) {
    focused_ = focused;
    if (!focused && playing_) pause();
    follow_pointer_state();
}

void Win32BackEnd::close() {
    closing_ = true;
    post(WindowEvent::Close);
}

void Win32BackEnd::button(GameButtons::Button button, bool down) {
    if (paused_) {
        // A click resumes and is the player's, not the game's.
        if (buttons_.kept_from_game(button, down)) post(GameButtons::event(button, down));
        if (down) resume();
        return;
    }
    if (buttons_.in_play(button, down)) post(GameButtons::event(button, down));
}

// Fullscreen is the same window without its frame, covering its monitor.
void Win32BackEnd::toggle_fullscreen() {
    if (window_ == nullptr) return;
    if (!fullscreen_) {
        MONITORINFO monitor{};
        monitor.cbSize = sizeof(monitor);
        if (!GetMonitorInfoA(MonitorFromWindow(window_, MONITOR_DEFAULTTONEAREST), &monitor)) return;
        GetWindowPlacement(window_, &windowed_);
        SetWindowLongPtrA(window_, GWL_STYLE, fullscreen_style | WS_VISIBLE);
        const RECT& area = monitor.rcMonitor;
        SetWindowPos(window_, HWND_TOP, area.left, area.top, area.right - area.left, area.bottom - area.top,
                     SWP_FRAMECHANGED | SWP_NOOWNERZORDER);
        fullscreen_ = true;
    } else {
        SetWindowLongPtrA(window_, GWL_STYLE, windowed_style | WS_VISIBLE);
        SetWindowPlacement(window_, &windowed_);
        SetWindowPos(window_, nullptr, 0, 0, 0, 0,
                     SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOOWNERZORDER);
        fullscreen_ = false;
    }
    settings_.fullscreen = fullscreen_;
    follow_pointer_state();
    InvalidateRect(window_, nullptr, FALSE);
}

void Win32BackEnd::toggle_pause() {
    if (paused_) {
        resume();
    } else {
        pause();
    }
}

// PlaySoundA cannot hold a cue where it is: the music stops, and a looping cue
// starts again on resume.
void Win32BackEnd::pause() {
    if (paused_ || window_ == nullptr) return;
    paused_ = true;
    dimmed_.resize(picture_.size());
    std::transform(picture_.begin(), picture_.end(), dimmed_.begin(), dim);
    PlaySoundA(nullptr, nullptr, sound_once);
    follow_pointer_state();
    repaint();
}

void Win32BackEnd::resume() {
    if (!paused_) return;
    paused_ = false;
    if (cue_loops_ && !settings_.mute) PlaySoundA(cue_.c_str(), nullptr, sound_looping);
    follow_pointer_state();
    repaint();
}

// No frame runs while paused: the pump waits here on the window's messages
// until a click or Esc resumes or the window is closed.
void Win32BackEnd::hold_while_paused() {
    while (paused_ && window_ != nullptr && !closing_) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, pause_wait_milliseconds, QS_ALLINPUT);
        MSG native{};
        while (window_ != nullptr && PeekMessageA(&native, window_, 0, 0, PM_REMOVE)) {
            TranslateMessage(&native);
            DispatchMessageA(&native);
        }
    }
}

void Win32BackEnd::create_window(const char* title) {
    picture_.assign(static_cast<size_t>(screen_pixels), 0);

    WNDCLASSA window_class{};
    window_class.lpfnWndProc = window_procedure;
    window_class.hInstance = instance_;
    window_class.hIcon = LoadIconA(instance_, MAKEINTRESOURCEA(1));
    if (window_class.hIcon == nullptr) window_class.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
    window_class.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    window_class.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    window_class.lpszClassName = title;
    RegisterClassA(&window_class);

    RECT work{};
    Extent desktop{};
    if (SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0)) desktop = {work.right - work.left, work.bottom - work.top};
    const Extent client = window_client_size(settings_.scale, desktop, settings_.aspect);
    RECT framed{0, 0, client.width, client.height};
    AdjustWindowRect(&framed, windowed_style, FALSE);
    const win32::Size outer = win32::outer_window_size({client.width, client.height},
                                                       {framed.right - framed.left, framed.bottom - framed.top});

    paused_ = false;
    closing_ = false;
    fullscreen_ = false;
    buttons_.reset();
    window_ = CreateWindowExA(0, title, title, windowed_style, CW_USEDEFAULT, CW_USEDEFAULT, outer.width, outer.height,
                              nullptr, nullptr, instance_, this);
    if (window_ == nullptr) {
        // Without a window nothing could ever be clicked: the first pump ends
        // the program as if the player had closed it.
        post(WindowEvent::Close);
        return;
    }
    ShowWindow(window_, show_command_);
    UpdateWindow(window_);
    focused_ = GetFocus() == window_;
    if (settings_.fullscreen) toggle_fullscreen();
    follow_pointer_state();

    const DWORD level = static_cast<DWORD>(settings_.volume) * 0xFFFF / 100;
    waveOutSetVolume(reinterpret_cast<HWAVEOUT>(static_cast<UINT_PTR>(WAVE_MAPPER)), level | (level << 16));
}

void Win32BackEnd::destroy_window() {
    if (window_ != nullptr) DestroyWindow(window_);
    window_ = nullptr;
    paused_ = false;
    PostQuitMessage(0);
}

CursorPosition Win32BackEnd::cursor_position() {
    hold_while_paused();
    if (window_ == nullptr) return last_cursor_;
    POINT point{};
    if (GetCursorPos(&point) && ScreenToClient(window_, &point)) {
        const ViewRect v = view();
        last_cursor_ = {window_to_picture(point.x, v.x, v.width, screen_width),
                        window_to_picture(point.y, v.y, v.height, screen_height)};
    }
    return last_cursor_;
}

bool Win32BackEnd::next_event(WindowEvent& event) {
    // Filtered to the window: messages posted to the thread itself stay queued.
    MSG native{};
    while (pending_.empty() && window_ != nullptr) {
        if (paused_ && !closing_) {
            hold_while_paused();
            continue;
        }
        if (!PeekMessageA(&native, window_, 0, 0, PM_REMOVE)) break;
        TranslateMessage(&native);
        DispatchMessageA(&native);
    }
    if (pending_.empty()) return false;
    event = pending_.front();
    pending_.pop_front();
    return true;
}

void Win32BackEnd::show_frame(const PresentedFrame& picture) {
    picture_.assign(picture.surface.pixels.begin(), picture.surface.pixels.end());
    repaint();
}

void Win32BackEnd::sleep(uint32_t milliseconds) { Sleep(milliseconds); }

uint32_t Win32BackEnd::ticks() { return GetTickCount(); }

void Win32BackEnd::message_box(const char* caption, const char* text) {
    // A hidden or confined cursor could not reach the box's button.
    box_up_ = true;
    follow_pointer_state();
    MessageBoxA(window_, text, caption, MB_OK);
    box_up_ = false;
    follow_pointer_state();
}

void Win32BackEnd::play_sound(const char* file_name, bool loop) {
    cue_ = file_name;
    cue_loops_ = loop;
    if (settings_.mute) return;
    PlaySoundA(file_name, nullptr, loop ? sound_looping : sound_once);
}

void Win32BackEnd::stop_sound() {
    cue_.clear();
    cue_loops_ = false;
    PlaySoundA(nullptr, nullptr, sound_once);
}

}  // namespace qv
