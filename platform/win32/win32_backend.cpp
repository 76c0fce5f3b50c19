#include "platform/win32/win32_backend.h"

#include <mmsystem.h>

#include <algorithm>

#include "platform/win32/window_geometry.h"

namespace qv {

// Text of the program (UTF-8) for the wide calls, so any folder name and any
// letter reach the system intact.
std::wstring wide(const std::string& text) {
    if (text.empty()) return {};
    const int size = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(static_cast<size_t>(std::max(size, 0)), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size);
    return out;
}

namespace {

// Cues play asynchronously and, except for the one played once, loop.
constexpr UINT sound_once = SND_ASYNC;
constexpr UINT sound_looping = SND_ASYNC | SND_LOOP;
static_assert(sound_once == 1 && sound_looping == 9);

constexpr DWORD windowed_style = WS_OVERLAPPEDWINDOW;
constexpr DWORD fullscreen_style = WS_POPUP;

Win32BackEnd* backend_of(HWND window) {
    return reinterpret_cast<Win32BackEnd*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

// A 32-bit top-down bitmap: each pixel 0x00RRGGBB, as the shown picture keeps it.
BITMAPINFO picture_info(int32_t width, int32_t height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

// The screen's pixels per inch for a window, 96 being 100 %: from the system's
// per-monitor call where it has one (Windows 10 and later), else from the screen.
UINT window_dpi(HWND window) {
    using DpiForWindow = UINT(WINAPI*)(HWND);
    static const auto for_window = reinterpret_cast<DpiForWindow>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), "GetDpiForWindow")));
    if (for_window != nullptr && window != nullptr) {
        const UINT dpi = for_window(window);
        if (dpi > 0) return dpi;
    }
    HDC screen = GetDC(nullptr);
    const int dpi = screen != nullptr ? GetDeviceCaps(screen, LOGPIXELSX) : 96;
    if (screen != nullptr) ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<UINT>(dpi) : 96;
}

// The frame around a client area at a given DPI.
RECT framed_rect(int32_t width, int32_t height, DWORD style, UINT dpi) {
    using AdjustForDpi = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);
    static const auto adjust = reinterpret_cast<AdjustForDpi>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), "AdjustWindowRectExForDpi")));
    RECT rect{0, 0, width, height};
    if (adjust == nullptr || !adjust(&rect, style, FALSE, 0, dpi)) AdjustWindowRect(&rect, style, FALSE);
    return rect;
}

bool alt_held(LPARAM lparam) { return (lparam & (LPARAM{1} << 29)) != 0; }
bool repeated(LPARAM lparam) { return (lparam & (LPARAM{1} << 30)) != 0; }

LRESULT CALLBACK window_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_NCCREATE) {
        const auto* creation = reinterpret_cast<const CREATESTRUCTA*>(lparam);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(creation->lpCreateParams));
    }
    Win32BackEnd* backend = backend_of(window);
    if (backend == nullptr) return DefWindowProcA(window, message, wparam, lparam);
    PlayerSide& player = backend->player();
    switch (message) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
            backend->pointer_at(lparam);
            player.button(MouseButton::Left, message == WM_LBUTTONDOWN);
            return 0;
        case WM_RBUTTONDOWN:
        case WM_RBUTTONUP:
            backend->pointer_at(lparam);
            player.button(MouseButton::Right, message == WM_RBUTTONDOWN);
            return 0;
        case WM_MOUSEMOVE:
            // Only the menu follows the motion; the game reads the pointer each pump.
            if (player.paused()) backend->pointer_at(lparam);
            return 0;
        case WM_SYSKEYDOWN:
            if (wparam == VK_RETURN && alt_held(lparam)) {
                if (!repeated(lparam)) player.request(PlayerRequest::Fullscreen);
                return 0;
            }
            return DefWindowProcA(window, message, wparam, lparam);  // Alt+F4 and the system menu
        case WM_KEYDOWN:
            if (repeated(lparam)) return 0;
            if (wparam == VK_F11) player.request(PlayerRequest::Fullscreen);
            if (wparam == VK_ESCAPE) player.request(PlayerRequest::Pause);
            backend->game_key(wparam, lparam, true);
            return 0;
        case WM_KEYUP:
            backend->game_key(wparam, lparam, false);
            return 0;
        case WM_SETFOCUS:
            player.focus(true);
            return 0;
        case WM_KILLFOCUS:
            // The focus moving inside the game's own window (as a style change
            // for fullscreen may do) is no reason to pause.
            if (reinterpret_cast<HWND>(wparam) != window) {
                player.focus(false);
                backend->keys_lost();
            }
            return 0;
        case WM_ERASEBKGND:
            return 1;  // the paint covers every pixel, bands included
        case WM_MOVE:
        case WM_SIZE:
            backend->moved();
            return 0;
        case WM_DPICHANGED:
            // Moved to a screen of another scale: the size the system suggests
            // keeps the window as large to the eye; the picture then takes the
            // largest whole scale that fits it.
            backend->dpi_changed(*reinterpret_cast<const RECT*>(lparam));
            return 0;
        case WM_PAINT: {
            PAINTSTRUCT paint{};
            HDC target = BeginPaint(window, &paint);
            if (target != nullptr) backend->paint(target);
            EndPaint(window, &paint);
            return 0;
        }
        case WM_CLOSE:
            player.close();
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
    : settings_(settings),
      player_(static_cast<NativeWindow&>(*this), settings),
      devices_(player_, settings),
      instance_(instance),
      show_command_(show_command) {
    settings_.volume = std::clamp(settings_.volume, 0, 100);
    settings_.scale = std::max(0, settings_.scale);
    windowed_.length = sizeof(WINDOWPLACEMENT);
    QueryPerformanceFrequency(&counter_frequency_);
    // Sleeps to the millisecond for the whole run, not to the 15.6 ms tick.
    timeBeginPeriod(1);
}

Win32BackEnd::~Win32BackEnd() {
    if (window_ != nullptr) DestroyWindow(window_);
    timeEndPeriod(1);
}

// The confinement and the hidden cursor belong to this window; the desktop gets
// the cursor back.
void Win32BackEnd::forget_window() {
    ClipCursor(nullptr);
    if (cursor_hidden_) ShowCursor(TRUE);
    cursor_hidden_ = false;
    window_ = nullptr;
}

UINT Win32BackEnd::dpi() const { return window_dpi(window_); }

void Win32BackEnd::dpi_changed(const RECT& suggested) {
    if (window_ == nullptr || fullscreen_) return;
    SetWindowPos(window_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

ViewRect Win32BackEnd::view() const {
    RECT client{};
    if (window_ == nullptr || !GetClientRect(window_, &client)) return unscaled_view(settings_.aspect);
    return centred_view(client.right - client.left, client.bottom - client.top, settings_.aspect);
}

void Win32BackEnd::redraw() {
    if (window_ == nullptr) return;
    picture_.set_overlay(player_);
    HDC target = GetDC(window_);
    if (target != nullptr) {
        paint(target);
        ReleaseDC(window_, target);
    }
}

// The confinement follows the window.
void Win32BackEnd::moved() {
    if (player_.captured()) capture_pointer(true);
    InvalidateRect(window_, nullptr, FALSE);
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
    if (settings_.aspect == Aspect::FourThree) {
        paint_sharp(target, v);
        return;
    }
    const BITMAPINFO info = picture_info(screen_width, screen_height);
    SetStretchBltMode(target, COLORONCOLOR);
    StretchDIBits(target, v.x, v.y, v.width, v.height, 0, 0, screen_width, screen_height, picture_.pixels(), &info,
                  DIB_RGB_COLORS, SRCCOPY);
}

// 4:3 rows are not a whole number of pixels tall: the picture is blown up by
// whole factors with nearest neighbour first, then smoothed down to the view,
// so the pixels stay sharp and the rows even.
void Win32BackEnd::paint_sharp(HDC target, const ViewRect& v) {
    const Extent size = sharp_prescale(v);
    HDC memory = CreateCompatibleDC(target);
    HBITMAP bitmap = CreateCompatibleBitmap(target, size.width, size.height);
    if (memory == nullptr || bitmap == nullptr) {
        if (bitmap != nullptr) DeleteObject(bitmap);
        if (memory != nullptr) DeleteDC(memory);
        return;
    }
    HGDIOBJ before = SelectObject(memory, bitmap);
    const BITMAPINFO info = picture_info(screen_width, screen_height);
    SetStretchBltMode(memory, COLORONCOLOR);
    StretchDIBits(memory, 0, 0, size.width, size.height, 0, 0, screen_width, screen_height, picture_.pixels(), &info,
                  DIB_RGB_COLORS, SRCCOPY);
    SetStretchBltMode(target, HALFTONE);
    SetBrushOrgEx(target, 0, 0, nullptr);
    StretchBlt(target, v.x, v.y, v.width, v.height, memory, 0, 0, size.width, size.height, SRCCOPY);
    SelectObject(memory, before);
    DeleteObject(bitmap);
    DeleteDC(memory);
}

// Hidden and held inside the client area while the crosshair is the pointer.
void Win32BackEnd::capture_pointer(bool captured) {
    if (window_ == nullptr) return;
    RECT client{};
    if (captured && GetClientRect(window_, &client)) {
        MapWindowPoints(window_, nullptr, reinterpret_cast<POINT*>(&client), 2);
        ClipCursor(&client);
    } else {
        ClipCursor(nullptr);
    }
    if (captured != cursor_hidden_) {
        ShowCursor(captured ? FALSE : TRUE);
        cursor_hidden_ = captured;
    }
}

// PlaySoundA cannot hold a cue where it is: the music stops, and a looping cue
// starts again on resume.
void Win32BackEnd::pause_sound(bool paused) {
    if (paused) {
        PlaySoundA(nullptr, nullptr, sound_once);
    } else if (cue_loops_ && !settings_.mute) {
        PlaySoundW(wide(cue_).c_str(), nullptr, sound_looping);
    }
}

// Fullscreen is the same window without its frame, covering its monitor.
bool Win32BackEnd::toggle_fullscreen() {
    if (window_ == nullptr) return settings_.fullscreen;
    if (!fullscreen_) {
        MONITORINFO monitor{};
        monitor.cbSize = sizeof(monitor);
        if (!GetMonitorInfoA(MonitorFromWindow(window_, MONITOR_DEFAULTTONEAREST), &monitor)) return false;
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
        if (resize_after_fullscreen_) size_window();
    }
    settings_.fullscreen = fullscreen_;
    moved();
    return fullscreen_;
}

// The client area at the scale (or the largest that fits its monitor), on the
// window's monitor.
void Win32BackEnd::size_window() {
    resize_after_fullscreen_ = false;
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    if (!GetMonitorInfoA(MonitorFromWindow(window_, MONITOR_DEFAULTTONEAREST), &monitor)) return;
    const RECT& work = monitor.rcWork;
    const UINT window_dpi_now = dpi();
    const int32_t scale = settings_.scale > 0 ? settings_.scale : win32::default_scale(window_dpi_now);
    const RECT frame = framed_rect(0, 0, windowed_style, window_dpi_now);
    const Extent inside{work.right - work.left - std::max<LONG>(16, frame.right - frame.left),
                        work.bottom - work.top - std::max<LONG>(36, frame.bottom - frame.top)};
    const Extent client = window_client_size(scale, inside, settings_.aspect);
    const RECT framed = framed_rect(client.width, client.height, windowed_style, window_dpi_now);
    const win32::Size outer = win32::outer_window_size({client.width, client.height},
                                                       {framed.right - framed.left, framed.bottom - framed.top});
    const int32_t left = work.left + std::max<int32_t>(0, (work.right - work.left - outer.width) / 2);
    const int32_t top = work.top + std::max<int32_t>(0, (work.bottom - work.top - outer.height) / 2);
    SetWindowPos(window_, nullptr, left, top, outer.width, outer.height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32BackEnd::apply_settings(const PortSettings& wanted) {
    const PortSettings before = settings_;
    settings_ = wanted;
    settings_.volume = std::clamp(settings_.volume, 0, 100);
    settings_.scale = std::max(0, settings_.scale);
    settings_.fullscreen = fullscreen_;
    devices_.set_speeds(settings_);
    const DWORD level = static_cast<DWORD>(settings_.volume) * 0xFFFF / 100;
    waveOutSetVolume(reinterpret_cast<HWAVEOUT>(static_cast<UINT_PTR>(WAVE_MAPPER)), level | (level << 16));
    // Muted, no cue plays; the looping one starts again when the sound is back
    // (after the pause, which holds it anyway).
    if (settings_.mute && !before.mute) PlaySoundA(nullptr, nullptr, sound_once);
    if (window_ == nullptr) return;
    if (before.scale != settings_.scale || before.aspect != settings_.aspect) {
        if (fullscreen_) {
            resize_after_fullscreen_ = true;
        } else {
            size_window();
        }
    }
    if (wanted.fullscreen != fullscreen_) toggle_fullscreen();
    InvalidateRect(window_, nullptr, FALSE);
    redraw();
}

void Win32BackEnd::pointer_at(LPARAM client_point) {
    const int32_t x = static_cast<int16_t>(LOWORD(client_point));
    const int32_t y = static_cast<int16_t>(HIWORD(client_point));
    const ViewRect v = view();
    player_.pointer_at(window_to_picture(x, v.x, v.width, screen_width),
                       window_to_picture(y, v.y, v.height, screen_height));
}

// Filtered to the window: messages posted to the thread itself stay queued.
void Win32BackEnd::dispatch_pending(bool wait, uint32_t milliseconds) {
    if (wait) MsgWaitForMultipleObjects(0, nullptr, FALSE, milliseconds, QS_ALLINPUT);
    MSG native{};
    while (window_ != nullptr && PeekMessageA(&native, window_, 0, 0, PM_REMOVE)) {
        TranslateMessage(&native);
        DispatchMessageA(&native);
    }
}

void Win32BackEnd::wait_for_events(uint32_t milliseconds) {
    dispatch_pending(true, milliseconds);
    poll_pads();  // Start resumes
}

// One key tells itself from another by its scan code (the left and the right
// Ctrl are both VK_CONTROL); what it does comes from its virtual-key code.
void Win32BackEnd::game_key(WPARAM virtual_key, LPARAM flags, bool down) {
    const auto code = static_cast<uint32_t>((flags >> 16) & 0x1FF);
    devices_.key(code, key_role_for_virtual_key(static_cast<uint32_t>(virtual_key)), down);
}

void Win32BackEnd::poll_pads() {
    bool unplugged = false;
    const PadState pads = pads_.poll(unplugged);
    if (unplugged) devices_.pad_removed();
    devices_.pad(pads);
}

// The crosshair the game gets; when a key or a pad moved it, the system cursor
// goes to the middle of its pixel, so the mouse goes on from there.
CursorPosition Win32BackEnd::follow_devices(CursorPosition mouse) {
    poll_pads();
    const PointerStep step = devices_.pointer(mouse);
    if (!step.moved || window_ == nullptr) return step.at;
    const ViewRect v = view();
    POINT point{v.x + (2 * step.at.x + 1) * v.width / (2 * screen_width),
                v.y + (2 * step.at.y + 1) * v.height / (2 * screen_height)};
    const CursorPosition reads{window_to_picture(point.x, v.x, v.width, screen_width),
                               window_to_picture(point.y, v.y, v.height, screen_height)};
    if (ClientToScreen(window_, &point) && SetCursorPos(point.x, point.y)) devices_.pointer_moved_to(reads);
    return step.at;
}

void Win32BackEnd::create_window(const char* title) {
    picture_.clear();

    WNDCLASSA window_class{};
    window_class.lpfnWndProc = window_procedure;
    window_class.hInstance = instance_;
    window_class.hIcon = LoadIconA(instance_, MAKEINTRESOURCEA(1));
    if (window_class.hIcon == nullptr) window_class.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
    window_class.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    window_class.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    window_class.lpszClassName = title;
    RegisterClassA(&window_class);

    // In the screen's own pixels (the program is aware of each monitor's
    // scale): a picture of whole pixels, as large to the eye as at 100 %.
    RECT work{};
    Extent desktop{};
    if (SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0)) desktop = {work.right - work.left, work.bottom - work.top};
    const UINT screen_dpi = window_dpi(nullptr);
    const int32_t scale = settings_.scale > 0 ? settings_.scale : win32::default_scale(screen_dpi);
    // The frame must fit on the screen too.
    const RECT frame = framed_rect(0, 0, windowed_style, screen_dpi);
    const Extent inside{desktop.width - std::max<LONG>(16, frame.right - frame.left),
                        desktop.height - std::max<LONG>(36, frame.bottom - frame.top)};
    const Extent client = window_client_size(scale, desktop.width > 0 ? inside : desktop, settings_.aspect);
    const RECT framed = framed_rect(client.width, client.height, windowed_style, screen_dpi);
    const win32::Size outer = win32::outer_window_size({client.width, client.height},
                                                       {framed.right - framed.left, framed.bottom - framed.top});

    fullscreen_ = false;
    window_ = CreateWindowExA(0, title, title, windowed_style, CW_USEDEFAULT, CW_USEDEFAULT, outer.width, outer.height,
                              nullptr, nullptr, instance_, this);
    if (window_ == nullptr) {
        // Without a window nothing could ever be clicked: the first pump ends
        // the program as if the player had closed it.
        player_.opened(false);
        player_.close();
        return;
    }
    player_.opened(false);
    ShowWindow(window_, show_command_);
    UpdateWindow(window_);
    player_.focus(GetFocus() == window_);
    if (settings_.fullscreen) toggle_fullscreen();

    const DWORD level = static_cast<DWORD>(settings_.volume) * 0xFFFF / 100;
    waveOutSetVolume(reinterpret_cast<HWAVEOUT>(static_cast<UINT_PTR>(WAVE_MAPPER)), level | (level << 16));
}

void Win32BackEnd::destroy_window() {
    player_.closed();
    if (window_ != nullptr) DestroyWindow(window_);
    window_ = nullptr;
    PostQuitMessage(0);
}

CursorPosition Win32BackEnd::cursor_position() {
    player_.start_pump();
    if (window_ == nullptr) return last_cursor_;
    POINT point{};
    if (GetCursorPos(&point) && ScreenToClient(window_, &point)) {
        const ViewRect v = view();
        last_cursor_ = {window_to_picture(point.x, v.x, v.width, screen_width),
                        window_to_picture(point.y, v.y, v.height, screen_height)};
    }
    return follow_devices(last_cursor_);
}

bool Win32BackEnd::next_event(WindowEvent& event) {
    MSG native{};
    while (!player_.has_event() && window_ != nullptr && PeekMessageA(&native, window_, 0, 0, PM_REMOVE)) {
        TranslateMessage(&native);
        DispatchMessageA(&native);
    }
    return player_.next_event(event);
}

void Win32BackEnd::show_frame(const PresentedFrame& picture) {
    picture_.set_frame(picture.frame, picture.palette);
    redraw();
}

void Win32BackEnd::sleep(uint32_t milliseconds) { Sleep(milliseconds); }

uint32_t Win32BackEnd::ticks() { return GetTickCount(); }

uint64_t Win32BackEnd::steady_microseconds() {
    LARGE_INTEGER now{};
    QueryPerformanceCounter(&now);
    const uint64_t count = static_cast<uint64_t>(now.QuadPart);
    const uint64_t frequency = static_cast<uint64_t>(std::max<LONGLONG>(1, counter_frequency_.QuadPart));
    return count / frequency * 1000000 + count % frequency * 1000000 / frequency;
}

void Win32BackEnd::message_box(const char* caption, const char* text) {
    // A hidden or confined cursor could not reach the box's button.
    player_.box_shown(true);
    MessageBoxW(window_, wide(text).c_str(), wide(caption).c_str(), MB_OK);
    player_.box_shown(false);
}

void Win32BackEnd::error_box(const char* text) {
    player_.box_shown(true);
    const std::string shown = error_hint.empty() ? std::string(text) : std::string(text) + "\n\n" + error_hint;
    MessageBoxW(window_, wide(shown).c_str(), L"Quorvaner", MB_OK | MB_ICONERROR);
    player_.box_shown(false);
}

void Win32BackEnd::play_sound(const char* file_name, bool loop) {
    cue_ = file_name;
    cue_loops_ = loop;
    if (settings_.mute) return;
    PlaySoundW(wide(file_name).c_str(), nullptr, loop ? sound_looping : sound_once);
}

void Win32BackEnd::stop_sound() {
    cue_.clear();
    cue_loops_ = false;
    PlaySoundA(nullptr, nullptr, sound_once);
}

}  // namespace qv
