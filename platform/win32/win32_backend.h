// The native Windows back end: one overlapped window showing a 16-bit top-down
// bitmap section, the mouse through the window procedure and the cursor
// position, PlaySoundA for the cues. Only this folder includes <windows.h>.
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <cstdint>

#include "platform/platform.h"
#include "platform/win32/pending_messages.h"

namespace qv {

struct BackEnd {
    // Given by the entry point before the game starts.
    HINSTANCE instance = nullptr;
    int show_command = SW_SHOWDEFAULT;

    // Null before the window is created and once it has been destroyed.
    HWND window = nullptr;

    // The bitmap section the game's pictures are copied into and blitted from.
    // It keeps the last picture, so that the window can be redrawn when the
    // system asks outside the game's pump (while a message box or a window move
    // is under way).
    HBITMAP surface = nullptr;
    uint16_t* surface_pixels = nullptr;
    int32_t surface_width = 0;
    int32_t surface_height = 0;
    int32_t shown_width = 0;  // the area of the last picture; 0 before the first
    int32_t shown_height = 0;

    // The message the pump is dispatching, so that the window procedure can
    // tell the pump's own paint from one sent by a loop nested inside it.
    const MSG* dispatching = nullptr;
    win32::PendingMessages pending;

    // Reported while there is no window to ask.
    CursorPosition last_cursor;
};

}  // namespace qv
