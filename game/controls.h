// The three controls applied at the end of a frame.
#pragma once

namespace qv {

struct Game;

void steering_step(Game& game);  // frame step 12
void laser_step(Game& game);     // frame step 13
void camera_step(Game& game);    // frame step 14

}  // namespace qv
