// The mouse buttons as the game was told of them. Some clicks belong to the
// player and not to the game (the click that ends a pause, clicks in a box
// drawn in the window): they never reach the game, nor does their release,
// while a button the game holds down and that is let go meanwhile is still
// released for it. Shared by the back ends with a real window.
#pragma once

#include <cstdint>

#include "platform/platform.h"

namespace qv {

class GameButtons {
public:
    enum Button : uint8_t { Left = 1, Right = 2 };

    static WindowEvent event(Button button, bool down) {
        if (button == Left) return down ? WindowEvent::LeftButtonDown : WindowEvent::LeftButtonUp;
        return down ? WindowEvent::RightButtonDown : WindowEvent::RightButtonUp;
    }

    void reset() { held_ = swallowed_ = 0; }

    // A press or release while the game has the mouse: true when the game gets
    // it (not the release of a press kept from it).
    bool in_play(Button button, bool down) {
        if (down) {
            swallowed_ &= static_cast<uint8_t>(~button);
            held_ |= button;
            return true;
        }
        if ((swallowed_ & button) != 0) {
            swallowed_ &= static_cast<uint8_t>(~button);
            return false;
        }
        held_ &= static_cast<uint8_t>(~button);
        return true;
    }

    // A press or release that belongs to the player: true only for the release
    // of a button the game holds, which the game must still get.
    bool kept_from_game(Button button, bool down) {
        if (down) {
            swallowed_ |= button;
            return false;
        }
        swallowed_ &= static_cast<uint8_t>(~button);
        if ((held_ & button) == 0) return false;
        held_ &= static_cast<uint8_t>(~button);
        return true;
    }

private:
    uint8_t held_ = 0;       // buttons the game was told are down
    uint8_t swallowed_ = 0;  // presses kept from the game whose release is still to come
};

}  // namespace qv
