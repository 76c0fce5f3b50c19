// Pickup spawning, the death test, the level test and their two sequences.
#pragma once

#include <cstdint>

namespace qv {

struct Game;

void spawn_step(Game& game);      // frame step 9
void death_test(Game& game);      // frame step 10
// Frame step 11; true when a level was cleared and the frame must end.
bool level_test(Game& game);

int32_t kills_for_level(const Game& game);

void reset_board(Game& game);
void lose_life(Game& game);
void clear_level(Game& game);

}  // namespace qv
