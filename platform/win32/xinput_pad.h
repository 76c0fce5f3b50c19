// Xbox-style pads on Windows through XInput, loaded at run time from the
// system's own DLL (xinput1_4.dll, else xinput1_3.dll or xinput9_1_0.dll), so
// the game starts on any Windows with or without it, and without pads. Read
// once a pump; what a pad holds is mapped by pad_from_xinput
// (platform/port/input_devices.h), tested on every system.
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <cstdint>

#include "platform/port/input_devices.h"

namespace qv {

class XInputPads {
public:
    XInputPads();
    ~XInputPads();
    XInputPads(const XInputPads&) = delete;
    XInputPads& operator=(const XInputPads&) = delete;

    // Every connected pad as one. `unplugged` is set when a pad that was
    // connected at the last poll is gone.
    PadState poll(bool& unplugged);

private:
    using GetState = DWORD(WINAPI*)(DWORD, void*);

    HMODULE library_ = nullptr;
    GetState get_state_ = nullptr;
    uint8_t connected_ = 0;  // one bit per user slot
    uint32_t polls_ = 0;
};

}  // namespace qv
