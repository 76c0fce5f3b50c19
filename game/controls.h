// The three controls applied at the end of a frame.
#pragma once

#include "game/state.h"
#include "platform/window.h"

namespace qv {

void steering_step(GameState& s, const PointerBlock& p);                  // frame step 12
void laser_step(GameState& s, bool& firing, const ButtonBlock& buttons);  // frame step 13
void camera_step(GameState& s);                                           // frame step 14

}  // namespace qv
