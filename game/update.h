// The per-frame pass over the entity list: pickups, bolts, rams, laser hits,
// enemy fire and movement.
#pragma once

#include <cstdint>

#include "game/random.h"
#include "game/state.h"
#include "platform/window.h"
#include "world/entity.h"
#include "world/model.h"

namespace qv {

// Applies the rules to every entity and moves it; flashes are only requested
// (see flash.h), kills and damage go into the state.
void update_entities(EntityList& list, GameState& state, LoopValues& loop, const PointerBlock& pointer,
                     const Models& models, Random& random);

// Fresh random x, y and z (drawn in that order), depth camera_z + base + 0..39.
void respawn_fighter(Entity& fighter, int32_t base_depth, int32_t camera_z, Random& random);

}  // namespace qv
