#include "platform/win32/xinput_pad.h"

#include <xinput.h>

namespace qv {

namespace {

constexpr DWORD user_slots = 4;
// Asking an empty slot is slow; they are asked again only every so many polls
// (about two seconds of pumps), which is soon enough for a pad plugged in.
constexpr uint32_t empty_slot_polls = 150;

}  // namespace

XInputPads::XInputPads() {
    for (const wchar_t* name : {L"xinput1_4.dll", L"xinput1_3.dll", L"xinput9_1_0.dll"}) {
        library_ = LoadLibraryW(name);
        if (library_ != nullptr) break;
    }
    if (library_ == nullptr) return;
    get_state_ = reinterpret_cast<GetState>(reinterpret_cast<void*>(GetProcAddress(library_, "XInputGetState")));
}

XInputPads::~XInputPads() {
    if (library_ != nullptr) FreeLibrary(library_);
}

PadState XInputPads::poll(bool& unplugged) {
    unplugged = false;
    PadState all;
    if (get_state_ == nullptr) return all;
    const bool ask_empty = polls_++ % empty_slot_polls == 0;
    uint8_t now = 0;
    for (DWORD slot = 0; slot < user_slots; ++slot) {
        const auto bit = static_cast<uint8_t>(1u << slot);
        if ((connected_ & bit) == 0 && !ask_empty) continue;
        XINPUT_STATE state{};
        if (get_state_(slot, &state) != ERROR_SUCCESS) continue;
        now |= bit;
        const XINPUT_GAMEPAD& pad = state.Gamepad;
        all = combine(all, pad_from_xinput({pad.wButtons, pad.bLeftTrigger, pad.bRightTrigger, pad.sThumbLX,
                                            pad.sThumbLY, pad.sThumbRX, pad.sThumbRY}));
    }
    unplugged = (connected_ & ~now) != 0;
    connected_ = now;
    return all;
}

}  // namespace qv
