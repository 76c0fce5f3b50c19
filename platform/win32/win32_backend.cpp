#include "platform/win32/win32_backend.h"

#include <mmsystem.h>

#include "platform/win32/window_geometry.h"

namespace qv {

namespace {

// Cues play asynchronously and, except for the one played once, loop.
constexpr UINT sound_once = SND_ASYNC;
constexpr UINT sound_looping = SND_ASYNC | SND_LOOP;
static_assert(sound_once == 1 && sound_looping == 9);

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

LRESULT CALLBACK window_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_NCCREATE) {
        const auto* creation = reinterpret_cast<const CREATESTRUCTA*>(lparam);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(creation->lpCreateParams));
    }
    Win32BackEnd* backend = backend_of(window);
    if (backend == nullptr) return DefWindowProcA(window, message, wparam, lparam);
    switch (message) {
        case WM_LBUTTONDOWN:
            backend->post(WindowEvent::LeftButtonDown);
            return 0;
        case WM_LBUTTONUP:
            backend->post(WindowEvent::LeftButtonUp);
            return 0;
        case WM_RBUTTONDOWN:
            backend->post(WindowEvent::RightButtonDown);
            return 0;
        case WM_RBUTTONUP:
            backend->post(WindowEvent::RightButtonUp);
            return 0;
        case WM_ERASEBKGND:
            return 1;  // the paint covers every pixel, bands included
        case WM_SIZE:
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
            backend->post(WindowEvent::Close);
            DestroyWindow(window);
            return 0;
        case WM_DESTROY:
            // The confinement belongs to this window; the desktop gets the cursor back.
            ClipCursor(nullptr);
            backend->forget_window();
            SetWindowLongPtrA(window, GWLP_USERDATA, 0);
            return 0;
        default:
            return DefWindowProcA(window, message, wparam, lparam);
    }
}

}  // namespace

Win32BackEnd::~Win32BackEnd() {
    if (window_ != nullptr) DestroyWindow(window_);
}

ViewRect Win32BackEnd::view() const {
    RECT client{};
    if (window_ == nullptr || !GetClientRect(window_, &client)) return unscaled_view(Aspect::SquarePixels);
    return centred_view(client.right - client.left, client.bottom - client.top, Aspect::SquarePixels);
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
    SetStretchBltMode(target, COLORONCOLOR);
    StretchDIBits(target, v.x, v.y, v.width, v.height, 0, 0, screen_width, screen_height, picture_.data(), &info,
                  DIB_RGB_COLORS, SRCCOPY);
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

    RECT framed{0, 0, screen_width, screen_height};
    AdjustWindowRect(&framed, WS_OVERLAPPEDWINDOW, FALSE);
    const win32::Size outer = win32::outer_window_size({screen_width, screen_height},
                                                       {framed.right - framed.left, framed.bottom - framed.top});

    window_ = CreateWindowExA(0, title, title, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, outer.width,
                              outer.height, nullptr, nullptr, instance_, this);
    if (window_ == nullptr) {
        // Without a window nothing could ever be clicked: the first pump ends
        // the program as if the player had closed it.
        post(WindowEvent::Close);
        return;
    }
    ShowWindow(window_, show_command_);
    UpdateWindow(window_);

    RECT confinement{};
    GetWindowRect(window_, &confinement);
    ClipCursor(&confinement);
}

void Win32BackEnd::destroy_window() {
    if (window_ != nullptr) DestroyWindow(window_);
    window_ = nullptr;
    PostQuitMessage(0);
}

CursorPosition Win32BackEnd::cursor_position() {
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
    while (pending_.empty() && window_ != nullptr && PeekMessageA(&native, window_, 0, 0, PM_REMOVE)) {
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
    if (window_ == nullptr) return;
    HDC target = GetDC(window_);
    if (target != nullptr) {
        paint(target);
        ReleaseDC(window_, target);
    }
}

void Win32BackEnd::sleep(uint32_t milliseconds) { Sleep(milliseconds); }

uint32_t Win32BackEnd::ticks() { return GetTickCount(); }

void Win32BackEnd::message_box(const char* caption, const char* text) {
    MessageBoxA(window_, text, caption, MB_OK);
}

void Win32BackEnd::play_sound(const char* file_name, bool loop) {
    PlaySoundA(file_name, nullptr, loop ? sound_looping : sound_once);
}

void Win32BackEnd::stop_sound() { PlaySoundA(nullptr, nullptr, sound_once); }

}  // namespace qv
