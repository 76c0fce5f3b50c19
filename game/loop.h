// The program from start to end, and the frame loop at its heart.
#pragma once

namespace qv {

struct Game;

// The whole program on the back end in game.window.backend: models, starting
// fighters, start-up, title, play and the score box. Throws DataError when a
// data file cannot be used.
void run_program(Game& game);

// Enters the loop (running set, firing and flash_pending clear) and plays frames
// until the game is lost or the window is closed.
void game_loop(Game& game);

// Steps 2 to 17 of one frame.
void run_frame(Game& game);

// Step 5: takes a pending flash away and applies the blue protection tint.
void flash_step(Game& game);

// The score box, the end of the window and the quit request.
void end_game(Game& game);

}  // namespace qv

namespace qv {

// run_program for an entry point: a DataError is shown in a message box and on
// standard error. Returns the process exit status (0, or 1 after such an error).
int run_game(Game& game);

}  // namespace qv
