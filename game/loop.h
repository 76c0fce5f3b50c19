// The frame loop at the heart of the game.
#pragma once

#include "game/game.h"

namespace qv {

// Enters the loop (running set, firing and flash_pending clear) and plays frames
// until the game is lost. A closed window ends it with WindowClosed.
void game_loop(Game& game);

// Steps 2 to 17 of one frame.
void run_frame(Game& game);

// The game-over cue and the score box.
void game_over_box(Game& game);

// game_over_box, then the end of the window.
void end_game(Game& game);

}  // namespace qv
