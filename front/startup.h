// Everything prepared before the first picture: the random seed, the first
// reading of the mouse, the glyph file and the window.
#pragma once

#include "game/game.h"

namespace qv {

void start_up(Game& game);

// The default palette, the window, a cleared frame buffer and the active
// palette copied from the default one.
void init_video(Video& video, Window& window);

}  // namespace qv
