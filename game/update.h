// The per-frame pass over the entity list: pickups, bolts, rams, laser hits,
// enemy fire and movement.
#pragma once

#include <cstdint>

#include "world/entity.h"

namespace qv {

struct Game;

void update_entities(Game& game);

// Fresh random x, y and z (drawn in that order), depth camera_z + base + 0..39.
void respawn_fighter(Game& game, Entity& fighter, int32_t base_depth);

}  // namespace qv
