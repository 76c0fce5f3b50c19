// platform.h on the Win32 interface. The game's own window logic lives in
// platform/window.cpp and sees the native messages only as WindowMessage values,
// which the window procedure below queues while the pump dispatches.
#include "platform/win32/win32_backend.h"

#include <mmsystem.h>

#include "platform/win32/window_geometry.h"

namespace qv {

namespace {

// Cues play asynchronously and, except for the one played once, loop.
constexpr UINT sound_once = SND_ASYNC;
constexpr UINT sound_looping = SND_ASYNC | SND_LOOP;
static_assert(sound_once == 1 && sound_looping == 9);

// The background the system erases to outside the picture.
constexpr INT_PTR class_background = COLOR_WINDOW + 1;

BackEnd* backend_of(HWND window) { return reinterpret_cast<BackEnd*>(GetWindowLongPtrA(window, GWLP_USERDATA)); }

void blit_surface(const BackEnd& backend, HDC target) {
    if (backend.surface == nullptr || backend.shown_width == 0 || backend.shown_height == 0) {
        return;
    }
    HDC memory = CreateCompatibleDC(target);
    HGDIOBJ kept = SelectObject(memory, backend.surface);
    BitBlt(target, 0, 0, backend.shown_width, backend.shown_height, memory, 0, 0, SRCCOPY);
    SelectObject(memory, kept);
    DeleteDC(memory);
}

// Marks the window painted; the system erases first if the invalid region
// asked for it, so this comes before the picture is drawn.
void validate(HWND window) {
    PAINTSTRUCT paint{};
    BeginPaint(window, &paint);
    EndPaint(window, &paint);
}

// A paint asked for while the game is not pumping (window creation, a message
// box, a window being moved): the kept picture is drawn again at once, since
// leaving the window invalid would flood that loop with paints.
void redraw_kept_picture(const BackEnd& backend, HWND window) {
    PAINTSTRUCT paint{};
    HDC target = BeginPaint(window, &paint);
    if (target != nullptr) {
        blit_surface(backend, target);
    }
    EndPaint(window, &paint);
}

bool dispatching_own_paint(const BackEnd& backend, HWND window) {
    return backend.dispatching != nullptr && backend.dispatching->message == WM_PAINT &&
           backend.dispatching->hwnd == window;
}

LRESULT CALLBACK window_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_NCCREATE) {
        const auto* creation = reinterpret_cast<const CREATESTRUCTA*>(lparam);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(creation->lpCreateParams));
    }
    BackEnd* backend = backend_of(window);
    if (backend == nullptr) {
        return DefWindowProcA(window, message, wparam, lparam);
    }
    switch (message) {
    case WM_LBUTTONDOWN:
        win32::post_message(backend->pending, WindowMessage::LeftButtonDown);
        return 0;
    case WM_LBUTTONUP:
        win32::post_message(backend->pending, WindowMessage::LeftButtonUp);
        return 0;
    case WM_RBUTTONDOWN:
        win32::post_message(backend->pending, WindowMessage::RightButtonDown);
        return 0;
    case WM_RBUTTONUP:
        win32::post_message(backend->pending, WindowMessage::RightButtonUp);
        return 0;
    case WM_PAINT:
        if (dispatching_own_paint(*backend, window)) {
            // Validated once the game has shown its picture, or at the next
            // take if it showed none.
            win32::post_message(backend->pending, WindowMessage::Paint);
        } else {
            redraw_kept_picture(*backend, window);
        }
        return 0;
    case WM_CLOSE:
        win32::post_message(backend->pending, WindowMessage::Close);
        DestroyWindow(window);
        return 0;
    case WM_DESTROY:
        // The confinement belongs to this window; the desktop gets the cursor back.
        ClipCursor(nullptr);
        backend->window = nullptr;
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        return 0;
    default:
        return DefWindowProcA(window, message, wparam, lparam);
    }
}

void create_surface(BackEnd& backend, int32_t width, int32_t height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down: the first row in memory is the top row
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 16;
    info.bmiHeader.biCompression = BI_RGB;
    static_assert(sizeof(BITMAPINFOHEADER) == 40);

    HDC screen = GetDC(nullptr);
    void* bits = nullptr;
    backend.surface = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    ReleaseDC(nullptr, screen);
    if (backend.surface != nullptr && bits != nullptr) {
        backend.surface_pixels = static_cast<uint16_t*>(bits);
        backend.surface_width = width;
        backend.surface_height = height;
    }
}

}  // namespace

void platform_create_window(BackEnd& backend, const char* title, int32_t width, int32_t height) {
    create_surface(backend, width, height);

    WNDCLASSA window_class{};
    window_class.style = 0;
    window_class.lpfnWndProc = window_procedure;
    window_class.cbClsExtra = 0;
    window_class.cbWndExtra = 0;
    window_class.hInstance = backend.instance;
    window_class.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
    window_class.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    window_class.hbrBackground = reinterpret_cast<HBRUSH>(class_background);
    window_class.lpszMenuName = nullptr;
    window_class.lpszClassName = title;
    RegisterClassA(&window_class);

    RECT framed{0, 0, width, height};
    AdjustWindowRect(&framed, WS_OVERLAPPEDWINDOW, FALSE);
    const win32::Size outer =
        win32::outer_window_size({width, height}, {framed.right - framed.left, framed.bottom - framed.top});

    backend.window = CreateWindowExA(0, title, title, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, outer.width,
                                     outer.height, nullptr, nullptr, backend.instance, &backend);
    if (backend.window == nullptr) {
        // Without a window nothing could ever be clicked: the first pump ends
        // the program as if the player had closed it.
        win32::post_message(backend.pending, WindowMessage::Close);
        return;
    }
    ShowWindow(backend.window, backend.show_command);
    UpdateWindow(backend.window);

    RECT confinement{};
    GetWindowRect(backend.window, &confinement);
    ClipCursor(&confinement);
}

void platform_destroy_window(BackEnd& backend) {
    if (backend.window != nullptr) {
        DestroyWindow(backend.window);
    }
    backend.window = nullptr;
    if (backend.surface != nullptr) {
        DeleteObject(backend.surface);
        backend.surface = nullptr;
        backend.surface_pixels = nullptr;
        backend.surface_width = 0;
        backend.surface_height = 0;
    }
    PostQuitMessage(0);
}

CursorPosition platform_cursor_position(BackEnd& backend) {
    if (backend.window == nullptr) {
        return backend.last_cursor;
    }
    POINT point{};
    if (GetCursorPos(&point) && ScreenToClient(backend.window, &point)) {
        backend.last_cursor = {static_cast<int32_t>(point.x), static_cast<int32_t>(point.y)};
    }
    return backend.last_cursor;
}

bool platform_next_message(BackEnd& backend, WindowMessage& message) {
    if (win32::take_validation_due(backend.pending) && backend.window != nullptr) {
        validate(backend.window);
    }
    if (win32::take_message(backend.pending, message)) {
        return true;
    }
    // Filtered to the window: messages posted to the thread itself stay queued.
    MSG native{};
    while (backend.window != nullptr && PeekMessageA(&native, backend.window, 0, 0, PM_REMOVE)) {
        TranslateMessage(&native);
        backend.dispatching = &native;
        DispatchMessageA(&native);
        backend.dispatching = nullptr;
        if (win32::take_message(backend.pending, message)) {
            return true;
        }
    }
    return false;
}

void platform_request_repaint(BackEnd& backend) {
    if (backend.window != nullptr) {
        InvalidateRect(backend.window, nullptr, FALSE);
    }
}

void platform_show_picture(BackEnd& backend, const uint16_t* pixels, int32_t width, int32_t height) {
    if (backend.surface_pixels == nullptr) {
        return;
    }
    const win32::Size shown = win32::copy_picture(
        backend.surface_pixels, {backend.surface_width, backend.surface_height}, pixels, {width, height});
    backend.shown_width = shown.width;
    backend.shown_height = shown.height;
    if (backend.window == nullptr) {
        return;
    }
    if (win32::take_validation_due(backend.pending)) {
        validate(backend.window);
    }
    HDC target = GetDC(backend.window);
    if (target != nullptr) {
        blit_surface(backend, target);
        ReleaseDC(backend.window, target);
    }
}

void platform_sleep(BackEnd&, uint32_t milliseconds) { Sleep(milliseconds); }

uint32_t platform_ticks(BackEnd&) { return GetTickCount(); }

void platform_message_box(BackEnd& backend, const char* caption, const char* text) {
    MessageBoxA(backend.window, text, caption, MB_OK);
}

void platform_play_sound(BackEnd&, const char* file_name, bool loop) {
    PlaySoundA(file_name, nullptr, loop ? sound_looping : sound_once);
}

void platform_stop_sound(BackEnd&) { PlaySoundA(nullptr, nullptr, sound_once); }

}  // namespace qv
