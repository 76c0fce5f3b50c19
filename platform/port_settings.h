// What the player chooses around the game: how the window shows the picture and
// how loud it plays. None of it changes a frame, a rule or a trace.
#pragma once

#include <cstdint>

#include "platform/view_layout.h"

namespace qv {

struct PortSettings {
    bool fullscreen = false;  // desktop fullscreen
    int32_t scale = 0;        // whole factor of the window; 0 picks the largest that fits, at most 3
    Aspect aspect = Aspect::SquarePixels;
    int32_t volume = 100;  // 0 to 100
    bool mute = false;
    bool again = false;  // back to the title after the score box
};

}  // namespace qv
