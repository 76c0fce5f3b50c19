// Pickup spawning, the death test, the level test and their two sequences.
#pragma once

#include <cstdint>

#include "game/game.h"

namespace qv {

void spawn_step(EntityList& list, const Models& models, Random& random, int32_t camera_z);  // frame step 9
void death_test(Game& game);                                                                // frame step 10
// Frame step 11; true when a level was cleared and the frame must end.
bool level_test(Game& game);

int32_t kills_for_level(const GameState& state);

// The head fighter and every fighter after it go back into the distance; shots
// and pickups leave the list.
void reset_board(EntityList& list, Random& random, int32_t camera_z);
void lose_life(Game& game);
void clear_level(Game& game);

}  // namespace qv
