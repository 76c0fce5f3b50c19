// What the player chooses around the game: how the window shows the picture,
// how loud it plays and how fast a pad or the keys move the crosshair. None of
// it changes a frame, a rule or a trace.
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
    bool again = false;      // back to the title after the score box
    int32_t pad_speed = 5;   // the stick's top speed, 1 to 10
    int32_t key_speed = 5;   // the arrow keys' top speed, 1 to 10
    int32_t dead_zone = 20;  // percent of the stick's travel that moves nothing, 0 to 50
};

}  // namespace qv
