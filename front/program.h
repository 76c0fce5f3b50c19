// The program from start to end, as every entry point runs it.
#pragma once

#include <functional>

#include "game/game.h"

namespace qv {

// The whole program on the back end in game.window.backend: models, starting
// fighters, start-up, title, play and the score box. A closed window ends it
// early and quietly. Throws DataError when a data file cannot be used. With
// `again` the score box leads back to the title and a fresh game instead of
// the end (the program then ends only when the window is closed).
void run_program(Game& game, bool again = false);
// The same, asking `again` after each score box (the player may change it
// during the game).
void run_program(Game& game, const std::function<bool()>& again);

// run_program for an entry point: a DataError is shown in a message box and on
// standard error. Returns the process exit status (0, or 1 after such an error).
int run_game(Game& game, bool again = false);
int run_game(Game& game, const std::function<bool()>& again);

}  // namespace qv
